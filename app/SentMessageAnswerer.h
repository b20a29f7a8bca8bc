#pragma once
// While an object of this class lives, the thread that made it answers
// messages other threads send it every few milliseconds, also in the middle
// of long work that sends its own windows messages (making a page, the first
// paint of the window). Nothing is taken from the message queue.
#include <windows.h>

class CSentMessageAnswerer
{
public:
    CSentMessageAnswerer();
    ~CSentMessageAnswerer();
    // Answers what waits now, for work that sends no message for a while.
    static void AnswerNow();

private:
    CSentMessageAnswerer(const CSentMessageAnswerer&) = delete;
    CSentMessageAnswerer& operator=(const CSentMessageAnswerer&) = delete;
    static LRESULT CALLBACK CallWndProcHook(int nCode, WPARAM wParam, LPARAM lParam);

    HHOOK m_hHook;
};
