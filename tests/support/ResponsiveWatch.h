#pragma once
// Watches that a window's thread keeps answering while a long task runs: a
// thread of its own sends WM_NULL with a time-out at short intervals and keeps
// the longest wait. The window's thread must go on dispatching messages (a
// modal loop, a pump in the test) while the task runs.
//
// The limit only tells a hang from an answer: a shared, busy machine can delay
// any one answer by far more than a user would notice on an idle one, so how
// long answers take is for the benchmarks to print, not for tests to assert.
#include <windows.h>
#include <atomic>

namespace testsupport {

class ResponsiveWatch
{
public:
    // Long enough that only a window that stopped answering misses it.
    static const DWORD kHangLimitMs = 10000;

    // Starts sending to hWnd every nIntervalMs; each send waits at most
    // nLimitMs before it counts as unanswered.
    explicit ResponsiveWatch(HWND hWnd, DWORD nIntervalMs = 50, DWORD nLimitMs = kHangLimitMs);
    ~ResponsiveWatch();
    ResponsiveWatch(const ResponsiveWatch&) = delete;
    ResponsiveWatch& operator=(const ResponsiveWatch&) = delete;

    // Ends the watch (waits for the watching thread); further calls do nothing.
    void Stop();

    // The longest time one WM_NULL took to be answered, in milliseconds
    // (nLimitMs or more when one was not answered at all).
    DWORD LongestWait() const { return m_nLongest.load(); }
    // How many sends were not answered within the limit.
    int Unanswered() const { return m_nUnanswered.load(); }
    // How many sends were made: a watch that made none proved nothing.
    int Sends() const { return m_nSends.load(); }

private:
    static UINT WatchThreadProc(LPVOID pParam);

    HWND m_hWnd;
    DWORD m_nIntervalMs;
    DWORD m_nLimitMs;
    HANDLE m_hStop = NULL;
    HANDLE m_hThread = NULL;
    std::atomic<DWORD> m_nLongest{0};
    std::atomic<int> m_nUnanswered{0};
    std::atomic<int> m_nSends{0};
};

// Dispatches this thread's messages until fnDone() returns true or
// nTimeoutMs passes; true when fnDone() became true.
template <typename Done>
bool PumpUntil(Done fnDone, DWORD nTimeoutMs)
{
    DWORD nStart = ::GetTickCount();
    while (!fnDone())
    {
        if (::GetTickCount() - nStart >= nTimeoutMs)
            return false;
        MSG msg;
        while (::PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE))
        {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::MsgWaitForMultipleObjects(0, NULL, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

} // namespace testsupport
