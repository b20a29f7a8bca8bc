#include "tests/support/MessageBoxRecorder.h"

namespace testsupport {

namespace {
// Boxes can come from worker threads, so the active recorder is shared.
MessageBoxRecorder* s_pActive = NULL;
}

MessageBoxRecorder::MessageBoxRecorder()
{
    InitializeCriticalSection(&m_cs);
    s_pActive = this;
    m_pfnPrevious = AfxSetMessageBoxHandler(&Handler);
}

MessageBoxRecorder::~MessageBoxRecorder()
{
    AfxSetMessageBoxHandler(m_pfnPrevious);
    s_pActive = NULL;
    DeleteCriticalSection(&m_cs);
}

int MessageBoxRecorder::Handler(HWND hWndOwner, LPCTSTR lpszText, LPCTSTR lpszCaption, UINT nType)
{
    return s_pActive != NULL ? s_pActive->Record(hWndOwner, lpszText, lpszCaption, nType) : IDOK;
}

int MessageBoxRecorder::Record(HWND hWndOwner, LPCTSTR lpszText, LPCTSTR lpszCaption, UINT nType)
{
    EnterCriticalSection(&m_cs);
    m_boxes.push_back({ hWndOwner, lpszText != NULL ? lpszText : L"", lpszCaption != NULL ? lpszCaption : L"",
                        nType });
    int nAnswer = IDOK;
    if (!m_answers.empty())
    {
        nAnswer = m_answers.front();
        m_answers.pop_front();
    }
    LeaveCriticalSection(&m_cs);
    return nAnswer;
}

void MessageBoxRecorder::QueueAnswer(int nAnswer)
{
    EnterCriticalSection(&m_cs);
    m_answers.push_back(nAnswer);
    LeaveCriticalSection(&m_cs);
}

std::vector<RecordedMessageBox> MessageBoxRecorder::Boxes() const
{
    EnterCriticalSection(&m_cs);
    std::vector<RecordedMessageBox> boxes = m_boxes;
    LeaveCriticalSection(&m_cs);
    return boxes;
}

size_t MessageBoxRecorder::Count() const
{
    EnterCriticalSection(&m_cs);
    size_t nCount = m_boxes.size();
    LeaveCriticalSection(&m_cs);
    return nCount;
}

std::wstring MessageBoxRecorder::LastText() const
{
    EnterCriticalSection(&m_cs);
    std::wstring strText = m_boxes.empty() ? std::wstring() : m_boxes.back().strText;
    LeaveCriticalSection(&m_cs);
    return strText;
}

} // namespace testsupport
