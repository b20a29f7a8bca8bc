// Workers handing calls to a window's thread, waiting for workers while sent
// messages keep flowing, and threads that fail.
#include "framework/Afx.h"
#include "WindowTestHelpers.h"
#include "tests/support/ResponsiveWatch.h"
#include <gtest/gtest.h>
#include <atomic>
#include <memory>

namespace {

// The pump gives each wait of these tests five seconds.
bool PumpUntil(const std::function<bool()>& fnDone, DWORD dwTimeoutMs = 5000)
{
    return testsupport::PumpUntil(fnDone, dwTimeoutMs);
}

struct PostJob
{
    HWND hWnd;
    std::atomic<DWORD>* pRunOn;
    std::atomic<int>* pOrder;
    std::atomic<BOOL> bPosted;
};

UINT __cdecl PostingThreadProc(LPVOID pParam)
{
    PostJob* pJob = static_cast<PostJob*>(pParam);
    BOOL bAll = TRUE;
    for (int i = 0; i < 3; i++)
    {
        std::atomic<DWORD>* pRunOn = pJob->pRunOn;
        std::atomic<int>* pOrder = pJob->pOrder;
        bAll &= AfxPostCall(pJob->hWnd, [=]() {
            *pRunOn = ::GetCurrentThreadId();
            // Runs in the order posted: each call sees the count of those before.
            if (pOrder->load() == i)
                ++*pOrder;
        });
    }
    pJob->bPosted = bAll;
    return 0;
}

// Counts how many copies of it are alive.
struct LiveCounter
{
    explicit LiveCounter(std::atomic<int>& nLive) : m_pLive(&nLive) { ++*m_pLive; }
    LiveCounter(const LiveCounter& other) : m_pLive(other.m_pLive) { ++*m_pLive; }
    ~LiveCounter() { --*m_pLive; }
    std::atomic<int>* m_pLive;
};

} // namespace

TEST(WorkerCall, RunsOnTheWindowsThreadInOrder)
{
    CWnd wnd;
    ASSERT_TRUE(windowtest::CreateTopLevel(wnd));
    std::atomic<DWORD> dwRunOn(0);
    std::atomic<int> nOrder(0);
    PostJob job{ wnd.m_hWnd, &dwRunOn, &nOrder, {FALSE} };
    HANDLE hThread = AfxBeginWorker(PostingThreadProc, &job);
    ASSERT_NE(hThread, (HANDLE)NULL);
    ASSERT_EQ(::WaitForSingleObject(hThread, 5000), WAIT_OBJECT_0);
    ::CloseHandle(hThread);
    EXPECT_TRUE(job.bPosted);
    // Nothing runs before this thread dispatches.
    EXPECT_EQ(dwRunOn.load(), 0u);
    EXPECT_EQ(AfxGetPendingCallCount(wnd.m_hWnd), 3);
    EXPECT_TRUE(PumpUntil([&]() { return nOrder.load() == 3; }));
    EXPECT_EQ(dwRunOn.load(), ::GetCurrentThreadId());
    EXPECT_EQ(AfxGetPendingCallCount(wnd.m_hWnd), 0);
    wnd.DestroyWindow();
}

TEST(WorkerCall, CallsForAGoneOrDestroyedWindowAreFreedNotRun)
{
    std::atomic<int> nLive(0);
    std::atomic<int> nRun(0);
    {
        LiveCounter counter(nLive);
        // No window, and a window that is not a framework window.
        EXPECT_FALSE(AfxPostCall(NULL, [counter, &nRun]() { ++nRun; }));
        HWND hPlain = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
        ASSERT_NE(hPlain, (HWND)NULL);
        EXPECT_FALSE(AfxPostCall(hPlain, [counter, &nRun]() { ++nRun; }));
        ::DestroyWindow(hPlain);

        CWnd wnd;
        ASSERT_TRUE(windowtest::CreateTopLevel(wnd));
        HWND hWnd = wnd.m_hWnd;
        EXPECT_TRUE(AfxPostCall(hWnd, [counter, &nRun]() { ++nRun; }));
        EXPECT_TRUE(AfxPostCall(hWnd, [counter, &nRun]() { ++nRun; }));
        EXPECT_EQ(nLive.load(), 3);  // ours and the two queued
        wnd.DestroyWindow();
        EXPECT_EQ(AfxGetPendingCallCount(hWnd), 0);
        EXPECT_FALSE(AfxPostCall(hWnd, [counter, &nRun]() { ++nRun; }));
        EXPECT_EQ(nLive.load(), 1);
    }
    PumpUntil([]() { return false; }, 100);
    EXPECT_EQ(nRun.load(), 0);
    EXPECT_EQ(nLive.load(), 0);
}

TEST(WorkerCall, AThrowingCallDoesNotStopTheNext)
{
    CWnd wnd;
    ASSERT_TRUE(windowtest::CreateTopLevel(wnd));
    std::atomic<int> nRun(0);
    EXPECT_TRUE(AfxPostCall(wnd.m_hWnd, []() { throw 1; }));
    EXPECT_TRUE(AfxPostCall(wnd.m_hWnd, [&nRun]() { ++nRun; }));
    EXPECT_TRUE(PumpUntil([&]() { return nRun.load() == 1; }));
    wnd.DestroyWindow();
}

namespace {

struct SendJob
{
    HWND hWnd;
    LRESULT lAnswer;
};

UINT __cdecl SendingThreadProc(LPVOID pParam)
{
    SendJob* pJob = static_cast<SendJob*>(pParam);
    ::Sleep(50);
    // Blocks until the window's thread dispatches it.
    pJob->lAnswer = ::SendMessageW(pJob->hWnd, WM_GETTEXTLENGTH, 0, 0);
    return 0;
}

// Runs until the test lets it go (or, should a wait never time out, for 20 s).
UINT __cdecl GatedThreadProc(LPVOID pParam)
{
    ::WaitForSingleObject((HANDLE)pParam, 20000);
    return 0;
}

} // namespace

TEST(WorkerCall, WaitingDispatchesSentMessagesAndTimesOut)
{
    CWnd wnd;
    ASSERT_TRUE(windowtest::CreateTopLevel(wnd, L"Seven"));
    SendJob job{ wnd.m_hWnd, 0 };
    HANDLE hThread = AfxBeginWorker(SendingThreadProc, &job);
    ASSERT_NE(hThread, (HANDLE)NULL);
    // A plain wait here would never end: the worker waits for us.
    EXPECT_EQ(AfxWaitForObjectPumping(hThread, 5000), (DWORD)WAIT_OBJECT_0);
    EXPECT_EQ(job.lAnswer, 5);
    ::CloseHandle(hThread);

    HANDLE hGate = ::CreateEventW(NULL, TRUE, FALSE, NULL);
    hThread = AfxBeginWorker(GatedThreadProc, hGate);
    ASSERT_NE(hThread, (HANDLE)NULL);
    DWORD dwStart = ::GetTickCount();
    EXPECT_EQ(AfxWaitForObjectPumping(hThread, 100), (DWORD)WAIT_TIMEOUT);
    // Bounded by its time-out, not by the thread.
    EXPECT_LT(::GetTickCount() - dwStart, 10000u);
    EXPECT_EQ(AfxWaitForObjectPumping(hThread, 0), (DWORD)WAIT_TIMEOUT);
    ::SetEvent(hGate);
    EXPECT_EQ(AfxWaitForObjectPumping(hThread, 20000), (DWORD)WAIT_OBJECT_0);
    ::CloseHandle(hThread);
    ::CloseHandle(hGate);
    EXPECT_EQ(AfxWaitForObjectPumping(NULL, 10), (DWORD)WAIT_FAILED);
    wnd.DestroyWindow();
}

namespace {

std::atomic<int> g_nThrowingObjectsFreed(0);

struct FreedOnUnwind
{
    ~FreedOnUnwind() { ++g_nThrowingObjectsFreed; }
};

UINT __cdecl ThrowingThreadProc(LPVOID pParam)
{
    FreedOnUnwind freed;
    // A temporary of this thread, freed as the thread ends.
    CWnd::FromHandle(::GetDesktopWindow());
    if (pParam != NULL)
        throw 42;
    return 7;
}

} // namespace

TEST(WorkerCall, AnExceptionEndsOnlyItsThread)
{
    g_nThrowingObjectsFreed = 0;
    HANDLE hThread = AfxBeginWorker(ThrowingThreadProc, (LPVOID)1);
    ASSERT_NE(hThread, (HANDLE)NULL);
    ASSERT_EQ(::WaitForSingleObject(hThread, 5000), WAIT_OBJECT_0);
    DWORD dwExit = 0;
    EXPECT_TRUE(::GetExitCodeThread(hThread, &dwExit));
    EXPECT_EQ(dwExit, (DWORD)-1);
    EXPECT_EQ(g_nThrowingObjectsFreed.load(), 1);
    ::CloseHandle(hThread);

    hThread = AfxBeginWorker(ThrowingThreadProc, NULL);
    ASSERT_NE(hThread, (HANDLE)NULL);
    ASSERT_EQ(::WaitForSingleObject(hThread, 5000), WAIT_OBJECT_0);
    EXPECT_TRUE(::GetExitCodeThread(hThread, &dwExit));
    EXPECT_EQ(dwExit, 7u);
    ::CloseHandle(hThread);
}
