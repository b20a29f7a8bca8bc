#include "tests/main_window/MainWindowFixture.h"

using testsupport::WaitFor;

namespace {
BOOL CALLBACK CountWaitingChild(HWND hChild, LPARAM lParam)
{
    if (::IsWindowVisible(hChild) && ::GetUpdateRect(hChild, NULL, FALSE))
        ++*(int*)lParam;
    return TRUE;
}

// Visible windows at or under hWnd that still wait for a paint.
int WindowsWaitingForPaint(HWND hWnd)
{
    int nCount = ::IsWindowVisible(hWnd) && ::GetUpdateRect(hWnd, NULL, FALSE) ? 1 : 0;
    ::EnumChildWindows(hWnd, CountWaitingChild, (LPARAM)&nCount);
    return nCount;
}
} // namespace

// The window is painted whole as it comes up, before the page creation and
// whatever else is queued: no paint is left for later.
TEST_F(MainWindowTest, TheFirstShowingPaintsTheWholeWindow)
{
    m_pDlg.reset(new CTamselDlg);
    ASSERT_TRUE(m_pDlg->Create(IDD_MAIN_WINDOW, NULL));
    ASSERT_TRUE(m_pDlg->IsWindowVisible());
    EXPECT_EQ(WindowsWaitingForPaint(m_pDlg->m_hWnd), 0);
    EXPECT_EQ(m_pDlg->m_bFirstPaint, 0);
}

// A switch hides the old page and shows the new one under one redraw and
// paints it before returning: a busy queue (a scan starting) cannot hold
// the paint back and leave the screen with parts of both pages.
TEST_F(MainWindowTest, APageSwitchIsPaintedBeforeShowPageReturns)
{
    CreateMainWindow();
    ASSERT_TRUE(WaitFor([&] { return !m_pDlg->ArePagesPending(); }, 20000));
    m_pDlg->RedrawWindow(NULL, NULL, RDW_UPDATENOW | RDW_ALLCHILDREN);
    for (int nPage : {PAGE_SCAN, PAGE_FULL_BACKUP, PAGE_IE_TOOLS, PAGE_HOME_LAUNCHER, PAGE_HOME})
    {
        ASSERT_TRUE(m_pDlg->ShowPage(nPage));
        EXPECT_EQ(VisiblePage(), nPage);
        EXPECT_EQ(WindowsWaitingForPaint(m_pDlg->m_hWnd), 0) << nPage;
        // The old page is hidden, the new one laid over the page area.
        CRect rc;
        m_pDlg->GetPageInfo(nPage)->pPage->GetWindowRect(&rc);
        m_pDlg->ScreenToClient(&rc);
        EXPECT_EQ(rc, m_pDlg->m_rcPage);
    }
    // A switch in a hidden window paints nothing and shows nothing.
    m_pDlg->ShowWindow(SW_HIDE);
    ASSERT_TRUE(m_pDlg->ShowPage(PAGE_SCAN));
    EXPECT_FALSE(m_pDlg->IsWindowVisible());
    EXPECT_TRUE(m_pDlg->m_pageScan.GetStyle() & WS_VISIBLE);
}
