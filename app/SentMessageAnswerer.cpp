#include "app/SentMessageAnswerer.h"

namespace {
// How often the work stops to answer.
const DWORD ANSWER_PERIOD_MS = 5;
// One user-interface thread: the last time it answered.
DWORD s_nLastAnswer = 0;
} // namespace

CSentMessageAnswerer::CSentMessageAnswerer()
{
    s_nLastAnswer = ::GetTickCount();
    m_hHook = ::SetWindowsHookExW(WH_CALLWNDPROC, CallWndProcHook, NULL, ::GetCurrentThreadId());
}

CSentMessageAnswerer::~CSentMessageAnswerer()
{
    if (m_hHook != NULL)
        ::UnhookWindowsHookEx(m_hHook);
}

void CSentMessageAnswerer::AnswerNow()
{
    // Peeking for sent messages only handles the ones from other threads.
    s_nLastAnswer = ::GetTickCount();
    MSG msg;
    ::PeekMessageW(&msg, NULL, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
}

LRESULT CALLBACK CSentMessageAnswerer::CallWndProcHook(int nCode, WPARAM wParam, LPARAM lParam)
{
    // Called for every message the thread's own windows are sent.
    if (nCode == HC_ACTION && ::GetTickCount() - s_nLastAnswer >= ANSWER_PERIOD_MS)
        AnswerNow();
    return ::CallNextHookEx(NULL, nCode, wParam, lParam);
}
