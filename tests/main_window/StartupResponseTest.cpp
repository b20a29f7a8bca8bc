#include "tests/main_window/MainWindowFixture.h"
#include "tests/support/ResponsiveWatch.h"
#include "app/SentMessageAnswerer.h"

using testsupport::PumpUntil;
using testsupport::ResponsiveWatch;

namespace {
// How long the window's thread may take to answer a sent message while the
// pages it did not need for the first paint are being made.
const DWORD kAnswerLimitMs = 50;
} // namespace

// The pages and bars made after the window shows come in slices: a message
// sent from another thread is answered between two of them, never after the
// whole lot, and the work still ends with every page and bar made.
TEST_F(MainWindowTest, AnswersSentMessagesWhileTheRemainingPagesAreMade)
{
    m_pDlg.reset(new CTamselDlg);
    ASSERT_TRUE(m_pDlg->Create(IDD_MAIN_WINDOW, NULL));
    ASSERT_TRUE(m_pDlg->IsWindowVisible());
    ASSERT_TRUE(m_pDlg->ArePagesPending());
    ASSERT_EQ(m_pDlg->m_barWindows.GetItemCount(), 0);

    ResponsiveWatch watch(m_pDlg->m_hWnd, 5, kAnswerLimitMs);
    ASSERT_TRUE(PumpUntil([&] { return !m_pDlg->ArePagesPending(); }, 20000));
    // A few more sends after the last slice.
    PumpUntil([] { return false; }, 50);
    watch.Stop();
    EXPECT_GE(watch.Sends(), 5);
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

// Closing before the background creation is done leaves nothing to finish:
// the pages never made are skipped and the window goes at once.
TEST_F(MainWindowTest, ClosingWhileThePagesAreMadeEndsTheCreation)
{
    m_pDlg.reset(new CTamselDlg);
    ASSERT_TRUE(m_pDlg->Create(IDD_MAIN_WINDOW, NULL));
    ASSERT_TRUE(m_pDlg->ArePagesPending());
    // One slice at most, then the window goes.
    MSG msg;
    for (int i = 0; i < 20 && ::PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE); i++)
        ::DispatchMessageW(&msg);
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
    auto fnBusy = [hWnd](DWORD nMs) {
        DWORD nStart = ::GetTickCount();
        while (::GetTickCount() - nStart < nMs)
            ::SendMessageW(hWnd, WM_GETTEXTLENGTH, 0, 0);
    };
    {
        ResponsiveWatch watch(hWnd, 5, kAnswerLimitMs);
        {
            CSentMessageAnswerer answerer;
            fnBusy(300);
        }
        watch.Stop();
        EXPECT_GE(watch.Sends(), 3);
        EXPECT_EQ(watch.Unanswered(), 0) << "longest wait " << watch.LongestWait() << " ms";
    }
    {
        // Without it the same work keeps the other thread waiting.
        ResponsiveWatch watch(hWnd, 5, kAnswerLimitMs);
        fnBusy(300);
        watch.Stop();
        EXPECT_GT(watch.Unanswered(), 0);
    }
    ::DestroyWindow(hWnd);
}
