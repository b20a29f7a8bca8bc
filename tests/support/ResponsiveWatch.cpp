#include "tests/support/ResponsiveWatch.h"
#include "framework/WinThread.h"
#include "framework/WorkerCall.h"

namespace testsupport {

ResponsiveWatch::ResponsiveWatch(HWND hWnd, DWORD nIntervalMs, DWORD nLimitMs)
    : m_hWnd(hWnd), m_nIntervalMs(nIntervalMs), m_nLimitMs(nLimitMs)
{
    m_hStop = ::CreateEventW(NULL, TRUE, FALSE, NULL);
    m_hThread = AfxBeginWorker(WatchThreadProc, this);
}

ResponsiveWatch::~ResponsiveWatch()
{
    Stop();
    if (m_hStop != NULL)
        ::CloseHandle(m_hStop);
}

void ResponsiveWatch::Stop()
{
    if (m_hThread == NULL)
        return;
    ::SetEvent(m_hStop);
    // The watcher may be inside a send to this very thread: keep answering.
    AfxWaitForObjectPumping(m_hThread, INFINITE);
    ::CloseHandle(m_hThread);
    m_hThread = NULL;
}

UINT ResponsiveWatch::WatchThreadProc(LPVOID pParam)
{
    ResponsiveWatch* pWatch = (ResponsiveWatch*)pParam;
    while (::WaitForSingleObject(pWatch->m_hStop, pWatch->m_nIntervalMs) == WAIT_TIMEOUT)
    {
        if (!::IsWindow(pWatch->m_hWnd))
            break;
        DWORD nStart = ::GetTickCount();
        DWORD_PTR nResult = 0;
        LRESULT lSent = ::SendMessageTimeoutW(pWatch->m_hWnd, WM_NULL, 0, 0, SMTO_NORMAL, pWatch->m_nLimitMs, &nResult);
        DWORD nWait = ::GetTickCount() - nStart;
        pWatch->m_nSends++;
        if (lSent == 0)
        {
            pWatch->m_nUnanswered++;
            if (nWait < pWatch->m_nLimitMs)
                nWait = pWatch->m_nLimitMs;
        }
        if (nWait > pWatch->m_nLongest.load())
            pWatch->m_nLongest.store(nWait);
    }
    return 0;
}

} // namespace testsupport
