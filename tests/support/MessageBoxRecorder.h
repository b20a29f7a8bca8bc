#pragma once
// Answers the program's message boxes while it lives: each box takes the next
// queued answer (IDOK when the queue is empty) and is recorded.
#include "framework/Wnd.h"
#include <deque>
#include <string>
#include <vector>

namespace testsupport {

struct RecordedMessageBox
{
    HWND hWndOwner;
    std::wstring strText;
    std::wstring strCaption;
    UINT nType;
};

class MessageBoxRecorder
{
public:
    MessageBoxRecorder();
    ~MessageBoxRecorder();

    void QueueAnswer(int nAnswer);
    std::vector<RecordedMessageBox> Boxes() const;
    size_t Count() const;
    // The last box's text, or empty.
    std::wstring LastText() const;

    MessageBoxRecorder(const MessageBoxRecorder&) = delete;
    MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

private:
    static int Handler(HWND hWndOwner, LPCTSTR lpszText, LPCTSTR lpszCaption, UINT nType);
    int Record(HWND hWndOwner, LPCTSTR lpszText, LPCTSTR lpszCaption, UINT nType);

    AFX_MESSAGEBOX_HANDLER m_pfnPrevious;
    mutable CRITICAL_SECTION m_cs;
    std::deque<int> m_answers;
    std::vector<RecordedMessageBox> m_boxes;
};

} // namespace testsupport
