#include "tests/main_window/MainWindowFixture.h"
#include "tests/support/ResponsiveWatch.h"
#include "app/SentMessageAnswerer.h"
#include "framework/WinThread.h"
#include <atomic>

using testsupport::PumpUntil;
using testsupport::ResponsiveWatch;

namespace {

int MadePageCount(CTamselDlg& dlg)
{
    int nMade = 0;
    for (int i = 0; i < dlg.GetPageCount(); i++)
    {
        PageInfo* pInfo = dlg.GetPageInfo(i);
        nMade += pInfo->pPage != NULL && pInfo->pPage->m_hWnd != NULL;
    }
    return nMade;
}

// Another thread that sends one message and tells when it came back.
struct CSender
{
    HWND hWnd = NULL;
    UINT nMessage = WM_NULL;
    WPARAM wParam = 0;
    std::atomic<bool> bSending{false};
    std::atomic<bool> bAnswered{false};
    HANDLE hThread = NULL;

    void Start(HWND hTarget, UINT nMsg, WPARAM wp = 0)
    {
        hWnd = hTarget;
        nMessage = nMsg;
        wParam = wp;
        hThread = AfxBeginWorker(SenderThreadProc, this);
    }
    // Without dispatching anything: until the send is on its way.
    bool WaitUntilSending() const
    {
        for (int i = 0; i < 2000 && !bSending; i++)
            ::Sleep(10);
        return bSending;
    }
    void Join()
    {
        if (hThread != NULL)
        {
            ::WaitForSingleObject(hThread, 30000);
            ::CloseHandle(hThread);
            hThread = NULL;
        }
    }
    static UINT __cdecl SenderThreadProc(LPVOID pParam)
    {
        CSender* pSender = static_cast<CSender*>(pParam);
        pSender->bSending = true;
        DWORD_PTR dwResult = 0;
        if (::SendMessageTimeoutW(pSender->hWnd, pSender->nMessage, pSender->wParam, 0, SMTO_NORMAL, 30000, &dwResult))
            pSender->bAnswered = true;
        return 0;
    }
};

// Work on the window's thread that only sends its own windows messages
// (as making a page does), until fnDone() or the bound.
template <typename Done>
void BusyUntil(HWND hWnd, Done fnDone, DWORD dwBoundMs)
{
    DWORD dwStart = ::GetTickCount();
    while (!fnDone() && ::GetTickCount() - dwStart < dwBoundMs)
        ::SendMessageW(hWnd, WM_GETTEXTLENGTH, 0, 0);
}

// What the test saw while the first page was in its WM_INITDIALOG.
struct CInitDialogProbe
{
    CTamselDlg* pDlg = NULL;
    HWND hPage = NULL;
    bool bInside = false;
    bool bAnswered = false;
    int nCurrentPage = -1;
    int nMadeBefore = -1;
    int nMadeAfter = -1;
};
CInitDialogProbe* s_pProbe = NULL;

// While the first page of the main window is in WM_INITDIALOG, another
// thread asks for a navigation; the page's making goes on (sending its
// own windows messages) until that send was answered.
LRESULT CALLBACK InitDialogHookProc(int nCode, WPARAM wParam, LPARAM lParam)
{
    const CWPSTRUCT* pMsg = reinterpret_cast<const CWPSTRUCT*>(lParam);
    CInitDialogProbe* pProbe = s_pProbe;
    if (nCode == HC_ACTION && pProbe != NULL && pProbe->hPage == NULL && !pProbe->bInside &&
        pMsg->message == WM_INITDIALOG && ::GetParent(pMsg->hwnd) == pProbe->pDlg->m_hWnd)
    {
        pProbe->bInside = true;
        pProbe->hPage = pMsg->hwnd;
        pProbe->nMadeBefore = MadePageCount(*pProbe->pDlg);
        CSender sender;
        sender.Start(pProbe->pDlg->m_hWnd, WM_COMMAND, MAKEWPARAM(ID_NAV_GENERAL_SETTINGS, BN_CLICKED));
        sender.WaitUntilSending();
        BusyUntil(pMsg->hwnd, [&] { return sender.bAnswered.load(); }, 20000);
        pProbe->bAnswered = sender.bAnswered;
        pProbe->nCurrentPage = pProbe->pDlg->GetCurrentPage();
        pProbe->nMadeAfter = MadePageCount(*pProbe->pDlg);
        sender.Join();
        pProbe->bInside = false;
    }
    return ::CallNextHookEx(NULL, nCode, wParam, lParam);
}

} // namespace

// The pages and bars made after the window shows come in slices: messages
// sent from another thread are answered all along (a hang alone would miss
// the watch's limit), and the work still ends with every page and bar made.
TEST_F(MainWindowTest, AnswersSentMessagesWhileTheRemainingPagesAreMade)
{
    m_pDlg.reset(new CTamselDlg);
    ASSERT_TRUE(m_pDlg->Create(IDD_MAIN_WINDOW, NULL));
    ASSERT_TRUE(m_pDlg->IsWindowVisible());
    ASSERT_TRUE(m_pDlg->ArePagesPending());
    ASSERT_EQ(m_pDlg->m_barWindows.GetItemCount(), 0);

    ResponsiveWatch watch(m_pDlg->m_hWnd, 5);
    ASSERT_TRUE(PumpUntil([&] { return !m_pDlg->ArePagesPending(); }, 60000));
    // Sends after the last slice too.
    int nSends = watch.Sends();
    PumpUntil([&] { return watch.Sends() >= nSends + 2; }, 20000);
    watch.Stop();
    EXPECT_GE(watch.Sends(), 2);
    EXPECT_EQ(watch.Unanswered(), 0) << "longest wait " << watch.LongestWait() << " ms";

    for (int i = 0; i < m_pDlg->GetPageCount(); i++)
    {
        PageInfo* pInfo = m_pDlg->GetPageInfo(i);
        if (pInfo->pPage != NULL)
        {
            EXPECT_NE(pInfo->pPage->m_hWnd, (HWND)NULL) << i;
        }
    }
    EXPECT_EQ(m_pDlg->m_barWindows.GetItemCount(), 3);
    EXPECT_EQ(m_pDlg->m_barOptions.GetItemCount(), 4);
    // Made in the background: the home page stays the one on show.
    EXPECT_EQ(m_pDlg->GetCurrentPage(), PAGE_HOME);
    EXPECT_EQ(VisiblePage(), PAGE_HOME);
}

// A page in the middle of being made answers other threads, but a navigation
// one of them asks for then is not done around the half-made page: it comes
// once the page is whole, and the window ends on the page asked for.
TEST_F(MainWindowTest, ANavigationSentWhileAPageIsMadeWaitsForThePage)
{
    m_pDlg.reset(new CTamselDlg);
    CInitDialogProbe probe;
    probe.pDlg = m_pDlg.get();
    s_pProbe = &probe;
    HHOOK hHook = ::SetWindowsHookExW(WH_CALLWNDPROC, InitDialogHookProc, NULL, ::GetCurrentThreadId());
    ASSERT_NE(hHook, (HHOOK)NULL);
    bool bCreated = m_pDlg->Create(IDD_MAIN_WINDOW, NULL) != FALSE;
    if (bCreated)
        PumpUntil([&] { return probe.hPage != NULL && !probe.bInside; }, 60000);
    ::UnhookWindowsHookEx(hHook);
    s_pProbe = NULL;
    ASSERT_TRUE(bCreated);
    ASSERT_NE(probe.hPage, (HWND)NULL) << "no page was made";

    // Answered in the middle of the page's making...
    EXPECT_TRUE(probe.bAnswered);
    // ...without a switch or another page made meanwhile.
    EXPECT_EQ(probe.nCurrentPage, PAGE_HOME);
    EXPECT_EQ(probe.nMadeAfter, probe.nMadeBefore);

    // Then the navigation is done, on the whole page set.
    ASSERT_TRUE(PumpUntil([&] { return m_pDlg->GetCurrentPage() == PAGE_GENERAL; }, 20000));
    PumpUntil([&] { return VisiblePage() == PAGE_GENERAL; }, 20000);
    EXPECT_EQ(VisiblePage(), PAGE_GENERAL);
    CWnd* pHalfMade = CWnd::FromHandlePermanent(probe.hPage);
    ASSERT_NE(pHalfMade, (CWnd*)NULL);
    EXPECT_NE(::GetWindow(probe.hPage, GW_CHILD), (HWND)NULL) << "the page was made whole";
    CRect rcPage;
    ::GetWindowRect(probe.hPage, &rcPage);
    CRect rcGeneral;
    m_pDlg->GetPageInfo(PAGE_GENERAL)->pPage->GetWindowRect(&rcGeneral);
    EXPECT_EQ(rcPage, rcGeneral) << "both pages sit in the page area";
}

// Closing before the background creation is done leaves nothing to finish:
// the pages never made are skipped and the window goes at once.
TEST_F(MainWindowTest, ClosingWhileThePagesAreMadeEndsTheCreation)
{
    m_pDlg.reset(new CTamselDlg);
    ASSERT_TRUE(m_pDlg->Create(IDD_MAIN_WINDOW, NULL));
    ASSERT_TRUE(m_pDlg->ArePagesPending());
    // One slice at most, then the window goes: a fast machine makes every
    // page within a few ticks, so no tick after the first is dispatched.
    MSG msg;
    for (int i = 0; i < 20 && ::PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE); i++)
    {
        ::DispatchMessageW(&msg);
        if (msg.message == WM_TIMER && msg.hwnd == m_pDlg->m_hWnd && msg.wParam == PAGE_CREATION_TIMER)
            break;
    }
    int nMissing = 0;
    for (int i = 0; i < m_pDlg->GetPageCount(); i++)
    {
        PageInfo* pInfo = m_pDlg->GetPageInfo(i);
        nMissing += pInfo->pPage != NULL && pInfo->pPage->m_hWnd == NULL;
    }
    EXPECT_GT(nMissing, 0);
    HWND hWnd = m_pDlg->m_hWnd;
    m_pDlg->DestroyWindow();
    EXPECT_FALSE(::IsWindow(hWnd));
    EXPECT_FALSE(m_pDlg->ArePagesPending());
    PumpUntil([] { return false; }, 100);
    for (int i = 0; i < m_pDlg->GetPageCount(); i++)
    {
        PageInfo* pInfo = m_pDlg->GetPageInfo(i);
        if (pInfo->pPage != NULL)
        {
            EXPECT_EQ(pInfo->pPage->m_hWnd, (HWND)NULL) << i;
        }
    }
}

// Work that only sends messages to the thread's own windows (making a page,
// the first paint) still answers other threads, and only while it lasts.
TEST(SentMessageAnswerer, AnswersOtherThreadsDuringWorkThatDispatchesNothing)
{
    HWND hWnd = ::CreateWindowW(L"STATIC", L"", 0, 0, 0, 0, 0, NULL, NULL, NULL, NULL);
    ASSERT_NE(hWnd, (HWND)NULL);
    {
        CSender sender;
        sender.Start(hWnd, WM_NULL);
        ASSERT_TRUE(sender.WaitUntilSending());
        bool bAnsweredInWork = false;
        {
            CSentMessageAnswerer answerer;
            BusyUntil(hWnd, [&] { return sender.bAnswered.load(); }, 20000);
            bAnsweredInWork = sender.bAnswered;
        }
        EXPECT_TRUE(bAnsweredInWork);
        sender.Join();
    }
    {
        // Without it the same work keeps the other thread waiting until the
        // thread looks at its messages again.
        CSender sender;
        sender.Start(hWnd, WM_NULL);
        ASSERT_TRUE(sender.WaitUntilSending());
        BusyUntil(hWnd, [] { return false; }, 300);
        EXPECT_FALSE(sender.bAnswered.load());
        EXPECT_TRUE(PumpUntil([&] { return sender.bAnswered.load(); }, 20000));
        sender.Join();
    }
    ::DestroyWindow(hWnd);
}
