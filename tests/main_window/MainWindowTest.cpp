#include "tests/main_window/MainWindowFixture.h"
#include "scanner/ScanThread.h"
#include "app/SplashWnd.h"
#include <atomic>

using testsupport::MessageBoxRecorder;
using testsupport::WaitFor;

TEST_F(MainWindowTest, StartsWithEveryPageCreatedHiddenAndTheHomePageShown)
{
    m_pDlg.reset(new CTamselDlg);
    ASSERT_TRUE(m_pDlg->Create(IDD_MAIN_WINDOW, NULL));
    // The window shows before its pages and navigation buttons are made.
    EXPECT_TRUE(m_pDlg->ArePagesPending());
    EXPECT_EQ(m_pDlg->GetCurrentPage(), PAGE_HOME);
    EXPECT_EQ(m_pDlg->m_pageHome.m_hWnd, (HWND)NULL);
    CGuiOutLook* bars[] = {&m_pDlg->m_barScanClean, &m_pDlg->m_barOptimize, &m_pDlg->m_barBackup,
                           &m_pDlg->m_barIeTools,   &m_pDlg->m_barWindows,  &m_pDlg->m_barOptions};
    const int nButtons[] = {5, 5, 3, 3, 3, 4};
    for (int i = 0; i < 6; i++)
        EXPECT_EQ(bars[i]->GetItemCount(), 0) << i;
    HWND hFocus = ::GetFocus();
    // The page on show comes first, and shown.
    EXPECT_TRUE(WaitFor([&] { return m_pDlg->m_pageHome.m_hWnd != NULL; }, 20000));
    EXPECT_EQ(VisiblePage(), PAGE_HOME);
    EXPECT_TRUE(WaitFor([&] { return !m_pDlg->ArePagesPending(); }, 20000));
    for (int i = 0; i < 6; i++)
    {
        ASSERT_EQ(bars[i]->GetItemCount(), nButtons[i]) << i;
        EXPECT_NE(bars[i]->GetItem(0)->button.m_hWnd, (HWND)NULL) << i;
    }
    EXPECT_EQ(m_pDlg->m_barOptimize.GetItem(4)->button.GetCaption(), CString(L"Memory Optimizer"));
    // Made in the background: the home page keeps the focus and stays alone.
    EXPECT_EQ(::GetFocus(), hFocus);
    ASSERT_EQ(m_pDlg->GetPageCount(), PAGE_COUNT);
    for (int i = 0; i < PAGE_COUNT; i++)
    {
        PageInfo* pInfo = m_pDlg->GetPageInfo(i);
        if (i == 3 || i == 10)
        {
            EXPECT_EQ(pInfo->pPage, nullptr) << i;
            continue;
        }
        ASSERT_NE(pInfo->pPage, nullptr) << i;
        ASSERT_NE(pInfo->pPage->m_hWnd, (HWND)NULL) << i;
        EXPECT_EQ(pInfo->pPage->GetParent()->m_hWnd, m_pDlg->m_hWnd) << i;
        CRect rc;
        pInfo->pPage->GetWindowRect(&rc);
        m_pDlg->ScreenToClient(&rc);
        EXPECT_EQ(rc, m_pDlg->m_rcPage) << i;
    }
    EXPECT_EQ(m_pDlg->GetCurrentPage(), PAGE_HOME);
    EXPECT_EQ(VisiblePage(), PAGE_HOME);
    EXPECT_STREQ(m_pDlg->GetPageInfo(26)->strName, L"Home");
    EXPECT_STREQ(m_pDlg->GetPageInfo(27)->strName, L"Microsoft Update");
    // The table is fixed once the window exists.
    EXPECT_FALSE(m_pDlg->AddPage(&m_pDlg->m_pageHome, 131, L"Again"));
    EXPECT_EQ(m_pDlg->GetPageCount(), PAGE_COUNT);
    // The single-instance search finds the window by the executable's name.
    EXPECT_NE(::GetPropW(m_pDlg->m_hWnd, CTamselDlg::GetInstancePropertyName()), (HANDLE)NULL);
    // The built-in English file was written and is offered with its flag.
    EXPECT_NE(::GetFileAttributesW(m_folder.File(L"Language\\English.ini").c_str()), INVALID_FILE_ATTRIBUTES);
    ASSERT_EQ(m_pDlg->m_comboLanguage.GetCount(), 2);
    EXPECT_EQ(m_pDlg->m_comboLanguage.GetCurSel(), 0);
    EXPECT_NE(m_pDlg->m_comboLanguage.GetItemIcon(0), (HICON)NULL);
    EXPECT_EQ(m_pDlg->m_comboLanguage.GetItemIcon(1), (HICON)NULL);
}

// A page switch before the background creation is done makes that page and
// the result page a scan fills, not every page: the others still come in
// slices, and the page switched to stays on show.
TEST_F(MainWindowTest, ASwitchBeforeThePagesAreMadeMakesOnlyThatPage)
{
    m_pDlg.reset(new CTamselDlg);
    ASSERT_TRUE(m_pDlg->Create(IDD_MAIN_WINDOW, NULL));
    ASSERT_TRUE(m_pDlg->ArePagesPending());
    ASSERT_EQ(m_pDlg->m_barWindows.GetItemCount(), 0);
    EXPECT_TRUE(m_pDlg->ShowPage(PAGE_SCAN));
    EXPECT_TRUE(m_pDlg->ArePagesPending());
    EXPECT_NE(m_pDlg->m_pageScan.m_hWnd, (HWND)NULL);
    EXPECT_NE(m_pDlg->m_pageScanResult.m_hWnd, (HWND)NULL);
    EXPECT_EQ(m_pDlg->m_pageFavorites.m_hWnd, (HWND)NULL);
    // The bars are all filled: a switch may bring any folder to the front.
    EXPECT_EQ(m_pDlg->m_barWindows.GetItemCount(), 3);
    EXPECT_EQ(VisiblePage(), PAGE_SCAN);
    // The idle creation makes the rest and shows nothing else.
    ASSERT_TRUE(WaitFor([&] { return !m_pDlg->ArePagesPending(); }, 20000));
    for (int i = 0; i < PAGE_COUNT; i++)
    {
        PageInfo* pInfo = m_pDlg->GetPageInfo(i);
        if (pInfo->pPage != NULL)
            EXPECT_NE(pInfo->pPage->m_hWnd, (HWND)NULL) << i;
    }
    EXPECT_EQ(VisiblePage(), PAGE_SCAN);
    EXPECT_EQ(m_pDlg->GetCurrentPage(), PAGE_SCAN);
}

// The home page is the page on show before it exists: a switch to it then
// still makes and shows it, and the other pages follow.
TEST_F(MainWindowTest, ASwitchToTheHomePageBeforeItIsMadeShowsIt)
{
    m_pDlg.reset(new CTamselDlg);
    ASSERT_TRUE(m_pDlg->Create(IDD_MAIN_WINDOW, NULL));
    ASSERT_EQ(m_pDlg->m_pageHome.m_hWnd, (HWND)NULL);
    EXPECT_TRUE(m_pDlg->ShowPage(PAGE_HOME));
    EXPECT_EQ(VisiblePage(), PAGE_HOME);
    EXPECT_EQ(m_pDlg->m_barScanClean.GetItemCount(), 5);
    ASSERT_TRUE(WaitFor([&] { return !m_pDlg->ArePagesPending(); }, 20000));
    EXPECT_EQ(VisiblePage(), PAGE_HOME);
}

namespace {

// A main window whose navigation cannot be built.
class CNoNavigationDlg : public CTamselDlg
{
protected:
    BOOL CreateNavigation() override { return FALSE; }
};

struct Watchdog
{
    CDialog* pDlg;
    HANDLE hDone;
};

UINT __cdecl EndStuckDialogThreadProc(LPVOID pParam)
{
    // Only when the window did not end by itself: the run must not hang.
    Watchdog* pWatch = static_cast<Watchdog*>(pParam);
    if (::WaitForSingleObject(pWatch->hDone, 15000) == WAIT_TIMEOUT)
        pWatch->pDlg->EndDialog(IDCANCEL);
    return 0;
}

int VisibleWindowsOfThisProcess()
{
    struct Counter
    {
        static BOOL CALLBACK Count(HWND hWnd, LPARAM lParam)
        {
            DWORD dwProcessId = 0;
            ::GetWindowThreadProcessId(hWnd, &dwProcessId);
            if (dwProcessId == ::GetCurrentProcessId() && ::IsWindowVisible(hWnd))
                ++*(int*)lParam;
            return TRUE;
        }
    };
    int nCount = 0;
    ::EnumWindows(Counter::Count, (LPARAM)&nCount);
    return nCount;
}

} // namespace

// Without navigation the window has nothing to offer: it ends at once, as
// the program runs it, and leaves no window, page or splash behind.
TEST_F(MainWindowTest, AWindowWhoseNavigationFailsEndsCleanly)
{
    int nVisibleBefore = VisibleWindowsOfThisProcess();
    CNoNavigationDlg dlg;
    Watchdog watch{ &dlg, ::CreateEventW(NULL, TRUE, FALSE, NULL) };
    HANDLE hWatchdog = AfxBeginWorker(EndStuckDialogThreadProc, &watch);
    ASSERT_NE(hWatchdog, (HANDLE)NULL);
    DWORD dwStart = ::GetTickCount();
    INT_PTR nResult = dlg.DoModal();
    EXPECT_LT(::GetTickCount() - dwStart, 10000u) << "the window stayed until the watchdog ended it";
    EXPECT_EQ(nResult, IDABORT);
    EXPECT_EQ(dlg.m_hWnd, (HWND)NULL);
    EXPECT_EQ(dlg.m_pageHome.m_hWnd, (HWND)NULL);
    EXPECT_EQ(dlg.m_pageSettings.m_hWnd, (HWND)NULL);
    EXPECT_EQ(CSplashWnd::GetSplashWnd(), (CSplashWnd*)NULL);
    // Nothing of it is left to be found by a second start either.
    EXPECT_EQ(::FindWindowW(NULL, L"Tamsel"), (HWND)NULL);
    WaitFor([] { return false; }, 100);
    EXPECT_EQ(VisibleWindowsOfThisProcess(), nVisibleBefore);
    ::SetEvent(watch.hDone);
    EXPECT_EQ(::WaitForSingleObject(hWatchdog, 20000), WAIT_OBJECT_0);
    ::CloseHandle(hWatchdog);
    ::CloseHandle(watch.hDone);
}

TEST_F(MainWindowTest, ShowPageRefusesEmptyAndOutOfRangeRowsAndKeepsThePageShown)
{
    CreateMainWindow();
    for (int nIndex : {3, 10, -1, 28, 100})
    {
        EXPECT_FALSE(m_pDlg->ShowPage(nIndex)) << nIndex;
        EXPECT_EQ(m_pDlg->GetCurrentPage(), PAGE_HOME);
        EXPECT_EQ(VisiblePage(), PAGE_HOME) << nIndex;
    }
    EXPECT_TRUE(m_pDlg->ShowPage(PAGE_HELP));
    EXPECT_EQ(VisiblePage(), PAGE_HELP);
    // The same page again changes nothing.
    EXPECT_TRUE(m_pDlg->ShowPage(PAGE_HELP));
    EXPECT_EQ(VisiblePage(), PAGE_HELP);
}

TEST_F(MainWindowTest, EveryNavigationCommandReachesItsPage)
{
    CreateMainWindow();
    const struct
    {
        UINT nCommand;
        int nPage;
    } table[] = {
        {5601, 0}, {5605, 27}, {5611, 11}, {5612, 12}, {5613, 14}, {5614, 15}, {5615, 16}, {5616, 25},
        {5621, 7}, {5623, 21}, {5625, 25}, {5641, 17}, {5642, 19}, {5643, 18}, {5644, 2}, {5708, 8},
        {5709, 9}, {5624, 22}, {5645, 1}, {1121, 26},
    };
    for (const auto& row : table)
    {
        m_pDlg->ShowPage(row.nPage == 4 ? 0 : 4);
        SendCommand(row.nCommand);
        EXPECT_EQ(m_pDlg->GetCurrentPage(), row.nPage) << row.nCommand;
        EXPECT_EQ(VisiblePage(), row.nPage) << row.nCommand;
    }
}

TEST_F(MainWindowTest, FolderCaptionsShowTheirHubPagesAndOpenTheirFolders)
{
    CreateMainWindow();
    const struct
    {
        UINT nCommand;
        int nPage;
        int nFolder;
    } table[] = {
        {5701, 13, 0}, {5702, 23, 2}, {5703, 20, 3}, {5704, 11, 4}, {5705, 1, 5}, {5706, 4, 6}, {5707, 24, 1},
        {1025, 4, 6},
    };
    for (const auto& row : table)
    {
        m_pDlg->m_wndFolder.SelectFolder(row.nFolder == 0 ? 1 : 0);
        SendCommand(row.nCommand);
        EXPECT_EQ(VisiblePage(), row.nPage) << row.nCommand;
        EXPECT_EQ(m_pDlg->m_wndFolder.GetOpenFolder(), row.nFolder) << row.nCommand;
    }
}

TEST_F(MainWindowTest, LeavingARunningScanAsksAndKeepsTheScanOnCancel)
{
    CreateMainWindow();
    m_pDlg->m_pageHome.SendDlgItemMessage(1001, BM_CLICK);
    ASSERT_EQ(VisiblePage(), PAGE_SCAN);
    ASSERT_EQ(m_pDlg->m_pageScan.m_bScanning, 1);

    MessageBoxRecorder recorder;
    recorder.QueueAnswer(IDCANCEL);
    SendCommand(5707);  // a folder caption: the folder must not follow a refused switch
    EXPECT_EQ(recorder.Count(), 1u);
    EXPECT_EQ(recorder.LastText(), std::wstring(TestApp()->GetLangString(L"M_WARNING_SCANNING")));
    EXPECT_EQ(VisiblePage(), PAGE_SCAN);
    EXPECT_EQ(m_pDlg->m_wndFolder.GetOpenFolder(), FOLDER_SCAN_CLEAN);
    EXPECT_TRUE(m_pDlg->m_pageScan.IsScanThreadRunning());

    recorder.QueueAnswer(IDOK);
    EXPECT_TRUE(m_pDlg->SelectPage(PAGE_SETTINGS));
    EXPECT_EQ(VisiblePage(), PAGE_SETTINGS);
    EXPECT_EQ(m_pDlg->m_pageScan.m_bLeaving, 1);
    EXPECT_TRUE(m_pDlg->m_pageScan.WaitForScanEnd(5000));
    // The ending scan did not switch pages behind the user's back.
    WaitFor([] { return false; }, 200);
    EXPECT_EQ(VisiblePage(), PAGE_SETTINGS);
}

namespace {

struct CloseSender
{
    HWND hWnd;
    std::atomic<DWORD> dwAnsweredAt;
};

UINT __cdecl SendDuringCloseThreadProc(LPVOID pParam)
{
    CloseSender* pSender = static_cast<CloseSender*>(pParam);
    ::Sleep(1000);
    // Blocks until the main window's thread dispatches it.
    ::SendMessageW(pSender->hWnd, WM_GETTEXTLENGTH, 0, 0);
    pSender->dwAnsweredAt = ::GetTickCount();
    return 0;
}

} // namespace

// A worker that takes 10 s to notice it should stop: closing waits for it,
// answering sent messages meanwhile, and only then ends the pages.
TEST_F(MainWindowTest, ClosingWaitsForASlowScanWorkerBeforeThePagesGo)
{
    CreateMainWindow();
    SetScanStartGate(m_hScanGate, 10000);
    m_pDlg->m_pageScan.StartScan();
    ASSERT_TRUE(m_pDlg->m_pageScan.IsScanThreadRunning());
    CloseSender sender{ m_pDlg->m_hWnd, {0} };
    HANDLE hSender = AfxBeginWorker(SendDuringCloseThreadProc, &sender);
    ASSERT_NE(hSender, (HANDLE)NULL);

    MessageBoxRecorder recorder;
    DWORD dwStart = ::GetTickCount();
    EXPECT_TRUE(m_pDlg->CloseMainWindow());
    DWORD dwClosed = ::GetTickCount();
    EXPECT_FALSE(m_pDlg->m_pageScan.IsScanThreadRunning());
    EXPECT_GE(dwClosed - dwStart, 8000u);
    // The sender got its answer while the close was still waiting.
    EXPECT_NE(sender.dwAnsweredAt.load(), 0u);
    EXPECT_LT(sender.dwAnsweredAt.load() - dwStart, dwClosed - dwStart);
    EXPECT_EQ(::WaitForSingleObject(hSender, 5000), WAIT_OBJECT_0);
    ::CloseHandle(hSender);
    // The one question is whether to stop the scan.
    EXPECT_EQ(recorder.Count(), 1u);
    EXPECT_EQ(recorder.LastText(), std::wstring(TestApp()->GetLangString(L"M_WARNING_SCANNING")));
}

TEST_F(MainWindowTest, LeavingTheResultPageAsksWithYesNo)
{
    CreateMainWindow();
    m_pDlg->ShowPage(PAGE_SCAN_RESULT);
    MessageBoxRecorder recorder;
    recorder.QueueAnswer(IDNO);
    EXPECT_FALSE(m_pDlg->SelectPage(PAGE_HOME));
    EXPECT_EQ(VisiblePage(), PAGE_SCAN_RESULT);
    ASSERT_EQ(recorder.Count(), 1u);
    EXPECT_EQ(recorder.Boxes()[0].nType & MB_TYPEMASK, (UINT)MB_YESNO);
    recorder.QueueAnswer(IDYES);
    EXPECT_TRUE(m_pDlg->SelectPage(PAGE_HOME));
    EXPECT_EQ(VisiblePage(), PAGE_HOME);
    EXPECT_EQ(m_pDlg->m_pageScanResult.m_bLeaving, 1);
}

TEST_F(MainWindowTest, EnterAndEscapeDoNotCloseTheWindowOrAPage)
{
    CreateMainWindow();
    SendCommand(IDOK);
    SendCommand(IDCANCEL);
    m_pDlg->m_pageSettings.SendMessage(WM_COMMAND, IDCANCEL);
    m_pDlg->m_pageHome.SendMessage(WM_COMMAND, IDOK);
    WaitFor([] { return false; }, 100);
    EXPECT_TRUE(m_pDlg->IsWindowVisible());
    EXPECT_EQ(VisiblePage(), PAGE_HOME);
}

TEST_F(MainWindowTest, RegionIsCutFromTheSkinsKeyColourInTheCorners)
{
    CreateMainWindow();
    m_pDlg->RedrawWindow();
    CRect rcClient;
    m_pDlg->GetClientRect(&rcClient);
    CRgn rgn;
    rgn.CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(m_pDlg->GetWindowRgn(rgn), ERROR);
    int W = rcClient.Width(), H = rcClient.Height();
    for (CPoint pt : {CPoint(0, 0), CPoint(W - 1, 0), CPoint(0, H - 1), CPoint(W - 1, H - 1)})
        EXPECT_FALSE(rgn.PtInRegion(pt)) << pt.x << "," << pt.y;
    for (CPoint pt : {CPoint(7, 7), CPoint(W / 2, 0), CPoint(0, H / 2), CPoint(W - 8, H - 8)})
        EXPECT_TRUE(rgn.PtInRegion(pt)) << pt.x << "," << pt.y;
}

TEST_F(MainWindowTest, SkinWithoutKeyPixelsGivesARectangularWindow)
{
    CreateMainWindow();
    CClientDC dc(m_pDlg.get());
    CDC dcMem;
    dcMem.CreateCompatibleDC(&dc);
    CBitmap bmp;
    bmp.CreateCompatibleBitmap(&dc, 50, 40);
    CBitmap* pOld = dcMem.SelectObject(&bmp);
    dcMem.FillSolidRect(0, 0, 50, 40, RGB(10, 20, 30));
    m_pDlg->SetSkinRegion(&dcMem, 50, 40);
    dcMem.SelectObject(pOld);
    CRgn rgn;
    rgn.CreateRectRgn(0, 0, 0, 0);
    m_pDlg->GetWindowRgn(rgn);
    CRect rcBox;
    EXPECT_EQ(rgn.GetRgnBox(&rcBox), SIMPLEREGION);
    EXPECT_EQ(rcBox, CRect(0, 0, 50, 40));
}

TEST_F(MainWindowTest, DraggingTheSurfaceMovesTheWindowButNotFromTheBandOrCorners)
{
    CreateMainWindow();
    CRect rcBefore;
    m_pDlg->GetWindowRect(&rcBefore);
    // The 4-pixel band and a 3 x 3 corner square start no drag.
    for (CPoint pt : {CPoint(2, 100), CPoint(5, 5)})
    {
        m_pDlg->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(pt.x, pt.y));
        ::SetCursorPos(rcBefore.left + pt.x + 40, rcBefore.top + pt.y + 30);
        WaitFor([] { return false; }, 150);
        m_pDlg->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(pt.x, pt.y));
        CRect rc;
        m_pDlg->GetWindowRect(&rc);
        EXPECT_EQ(rc, rcBefore) << pt.x << "," << pt.y;
    }
    CPoint ptGrab(300, 40);
    m_pDlg->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(ptGrab.x, ptGrab.y));
    EXPECT_EQ(m_pDlg->m_bDragging, 1);
    ::SetCursorPos(rcBefore.left + ptGrab.x - 60, rcBefore.top + ptGrab.y - 25);
    EXPECT_TRUE(WaitFor([&] {
        CRect rc;
        m_pDlg->GetWindowRect(&rc);
        return rc.left == rcBefore.left - 60 && rc.top == rcBefore.top - 25;
    }, 3000));
    m_pDlg->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(ptGrab.x, ptGrab.y));
    EXPECT_EQ(m_pDlg->m_bDragging, 0);
    CRect rcAfter;
    m_pDlg->GetWindowRect(&rcAfter);
    EXPECT_EQ(rcAfter.Size(), rcBefore.Size());
}

TEST_F(MainWindowTest, MinimiseButtonMinimisesAndRestoresAMaximisedWindow)
{
    CreateMainWindow();
    m_pDlg->m_btnMinimize.SendMessage(BM_CLICK);
    EXPECT_TRUE(WaitFor([&] { return m_pDlg->IsIconic() != FALSE; }, 10000));
    m_pDlg->ShowWindow(SW_RESTORE);
    m_pDlg->ShowWindow(SW_MAXIMIZE);
    m_pDlg->m_btnMinimize.SendMessage(BM_CLICK);
    EXPECT_TRUE(WaitFor([&] { return !m_pDlg->IsZoomed() && !m_pDlg->IsIconic(); }, 10000));
}

TEST_F(MainWindowTest, ClosingDuringAScanAsksAndWaitsForTheScanThread)
{
    CreateMainWindow();
    m_pDlg->m_pageHome.m_chkCategory[3].SetCheck(BST_UNCHECKED);
    m_pDlg->m_pageHome.SendDlgItemMessage(1001, BM_CLICK);
    ASSERT_TRUE(m_pDlg->m_pageScan.IsScanThreadRunning());

    MessageBoxRecorder recorder;
    recorder.QueueAnswer(IDCANCEL);
    m_pDlg->SendMessage(WM_CLOSE);
    EXPECT_TRUE(m_pDlg->IsWindowVisible());
    EXPECT_TRUE(m_pDlg->m_pageScan.IsScanThreadRunning());

    TestApp()->m_bScanCategory[5] = 0;
    recorder.QueueAnswer(IDOK);
    m_pDlg->m_btnClose.SendMessage(BM_CLICK);
    // The thread is gone before the pages are, and the switches were kept.
    EXPECT_FALSE(m_pDlg->m_pageScan.IsScanThreadRunning());
    EXPECT_EQ(TestApp()->m_bScanCategory[3], 0);
    EXPECT_EQ(TestApp()->m_bScanCategory[5], 1);
    EXPECT_TRUE(WaitFor([&] { return !m_pDlg->IsWindowVisible(); }, 10000));
    EXPECT_EQ(recorder.Count(), 2u);
}

TEST_F(MainWindowTest, StartLauncherOptimizerButtonsOpenTheOptimizeFolder)
{
    CreateMainWindow();
    m_pDlg->ShowPage(PAGE_HOME_LAUNCHER);
    m_pDlg->m_pageHomeLauncher.SendDlgItemMessage(1003, BM_CLICK);
    EXPECT_EQ(VisiblePage(), PAGE_STARTUP);
    EXPECT_EQ(m_pDlg->m_wndFolder.GetOpenFolder(), FOLDER_OPTIMIZE);
    m_pDlg->ShowPage(PAGE_HOME_LAUNCHER);
    m_pDlg->m_pageHomeLauncher.SendDlgItemMessage(1001, BM_CLICK);
    EXPECT_EQ(VisiblePage(), PAGE_HOME);
    EXPECT_EQ(m_pDlg->m_wndFolder.GetOpenFolder(), FOLDER_SCAN_CLEAN);
}

TEST_F(MainWindowTest, LauncherButtonsSwitchPagesAndWindowsVersionPicksTheTool)
{
    CreateMainWindow();
    m_pDlg->ShowPage(PAGE_SETTINGS);
    m_pDlg->m_pageSettings.SendDlgItemMessage(1003, BM_CLICK);
    EXPECT_EQ(VisiblePage(), PAGE_IGNORE);
    m_pDlg->ShowPage(PAGE_OPTIMIZE);
    m_pDlg->m_pageOptimize.SendDlgItemMessage(1002, BM_CLICK);
    EXPECT_EQ(VisiblePage(), PAGE_UNINSTALL);
    m_pDlg->ShowPage(PAGE_REGISTRY);
    m_pDlg->m_pageRegistry.SendDlgItemMessage(1005, BM_CLICK);
    EXPECT_EQ(VisiblePage(), PAGE_PATCH_UPDATE);
    EXPECT_STREQ(CComputerToolsPage::GetDefragmenter(5), L"dfrg.msc");
    EXPECT_STREQ(CComputerToolsPage::GetWindowsUpdateTool(5), L"wupdmgr.exe");
    EXPECT_STREQ(CComputerToolsPage::GetDefragmenter(6), L"dfrgui.exe");
    EXPECT_STREQ(CComputerToolsPage::GetWindowsUpdateTool(10), L"wuapp.exe");
    EXPECT_STREQ(CComputerToolsPage::GetDefragmenter(0), L"dfrg.msc");
    // A page shown again takes the language file's caption and description.
    ::WritePrivateProfileStringW(L"String", L"IDD_133_1001", L"Allgemein\\nKurz gesagt", TestApp()->m_strLangFile);
    m_pDlg->ShowPage(PAGE_SETTINGS);
    CString strText;
    m_pDlg->m_pageSettings.GetDlgItemText(1001, strText);
    EXPECT_EQ(strText, CString(L"Allgemein\nKurz gesagt"));
}

TEST_F(MainWindowTest, F1WithoutAHelpFileIsNoError)
{
    MessageBoxRecorder recorder;
    MSG msg = {};
    msg.message = WM_KEYDOWN;
    msg.wParam = VK_F1;
    TestApp()->m_strAppDir = m_folder.Path().c_str();
    EXPECT_TRUE(TestApp()->PreTranslateMessage(&msg));
    EXPECT_EQ(recorder.Count(), 0u);
}

// The outline is cut once for a skin and size, and setting it asks for no
// new paint: a painted window stays painted.
TEST_F(MainWindowTest, TheWindowRegionIsCutOnceAndAsksForNoRepaint)
{
    CreateMainWindow();
    m_pDlg->ShowWindow(SW_SHOW);
    m_pDlg->UpdateWindow();
    CRect rcWindow;
    m_pDlg->GetWindowRect(&rcWindow);
    EXPECT_EQ(m_pDlg->m_sizeSkinRegion, CSize(rcWindow.Width(), rcWindow.Height()));
    HRGN hRgn = ::CreateRectRgn(0, 0, 0, 0);
    EXPECT_NE(m_pDlg->GetWindowRgn(hRgn), ERROR);
    // A corner pixel of the key colour is cut out, the middle is not.
    EXPECT_TRUE(::PtInRegion(hRgn, rcWindow.Width() / 2, rcWindow.Height() / 2));
    ::DeleteObject(hRgn);
    EXPECT_FALSE(::GetUpdateRect(m_pDlg->m_hWnd, NULL, FALSE));
    m_pDlg->Invalidate();
    m_pDlg->UpdateWindow();
    EXPECT_FALSE(::GetUpdateRect(m_pDlg->m_hWnd, NULL, FALSE));
}

namespace {

UINT __cdecl GatedScheduleThreadProc(LPVOID pParam)
{
    ::WaitForSingleObject((HANDLE)pParam, 20000);
    return 0;
}

UINT __cdecl ReleaseAfterThreadProc(LPVOID pParam)
{
    ::Sleep(500);
    ::SetEvent((HANDLE)pParam);
    return 0;
}

} // namespace

// The weekly-task request still being made when the window closes is waited
// for by the close, and its outcome taken, before anything goes.
TEST_F(MainWindowTest, ClosingWaitsForTheScheduleRequest)
{
    CreateMainWindow();
    CTamselApp* pApp = TestApp();
    ASSERT_EQ(pApp->m_hScheduleThread, (HANDLE)NULL);
    HANDLE hGate = ::CreateEventW(NULL, TRUE, FALSE, NULL);
    HANDLE hThread = AfxBeginWorker(GatedScheduleThreadProc, hGate);
    ASSERT_NE(hThread, (HANDLE)NULL);
    HANDLE hWatch = NULL;
    ::DuplicateHandle(::GetCurrentProcess(), hThread, ::GetCurrentProcess(), &hWatch, SYNCHRONIZE, FALSE, 0);
    ASSERT_NE(hWatch, (HANDLE)NULL);
    pApp->m_hScheduleThread = hThread;
    pApp->m_nScheduleResult = 0;
    pApp->m_bScheduleTask = 1;
    HANDLE hReleaser = AfxBeginWorker(ReleaseAfterThreadProc, hGate);
    ASSERT_NE(hReleaser, (HANDLE)NULL);

    EXPECT_TRUE(m_pDlg->CloseMainWindow());
    EXPECT_EQ(::WaitForSingleObject(hWatch, 0), WAIT_OBJECT_0) << "the close did not wait for the request";
    EXPECT_EQ(pApp->m_hScheduleThread, (HANDLE)NULL);
    EXPECT_EQ(pApp->m_bScheduleTask, 0);

    ::WaitForSingleObject(hReleaser, 20000);
    ::CloseHandle(hReleaser);
    ::CloseHandle(hWatch);
    ::CloseHandle(hGate);
    pApp->m_nScheduleResult = -1;
}
