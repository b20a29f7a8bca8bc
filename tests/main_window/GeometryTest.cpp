#include "tests/main_window/LayoutCheck.h"
#include "tests/main_window/MainWindowFixture.h"
#include "controls/skin/ButtonST.h"
#include <algorithm>
#include <cstdio>
#include <sstream>

// The geometry of what a user sees, on every page, every library view and the
// navigation: nothing outside its area, no text cut (the suite runs themed and
// classic).
namespace {

std::string Report(const std::vector<std::wstring>& faults)
{
    std::ostringstream out;
    for (const std::wstring& strFault : faults)
        out << "\n  " << std::string(strFault.begin(), strFault.end());
    return out.str();
}

CRect ScreenRect(CWnd* pParent, CRect rc)
{
    pParent->ClientToScreen(&rc);
    return rc;
}

} // namespace

TEST_F(MainWindowTest, EveryPageKeepsItsControlsWholeInsideThePageArea)
{
    CreateMainWindow();
    const CRect rcArea = ScreenRect(m_pDlg.get(), m_pDlg->m_rcPage);
    CLayoutCheck check(m_pDlg->m_hWnd);
    int nChecked = 0;
    for (int i = 0; i < m_pDlg->GetPageCount(); i++)
    {
        PageInfo* pInfo = m_pDlg->GetPageInfo(i);
        if (pInfo->pPage == NULL)
            continue;
        ASSERT_TRUE(m_pDlg->ShowPage(i)) << i;
        testsupport::WaitFor([] { return false; }, 50);
        ASSERT_TRUE(pInfo->pPage->IsWindowVisible()) << i;
        // Some controls fit their texts when they paint.
        pInfo->pPage->RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        std::wstring strWhere = L"page " + std::to_wstring(i) + L" (" + (LPCWSTR)pInfo->strName + L")";
        CRect rcPage;
        pInfo->pPage->GetWindowRect(&rcPage);
        EXPECT_EQ(rcPage, rcArea) << i;
        check.CheckControls(pInfo->pPage->m_hWnd, rcArea, strWhere);
        ++nChecked;
    }
    EXPECT_EQ(nChecked, 26);
    EXPECT_TRUE(check.m_faults.empty()) << Report(check.m_faults);
}

TEST_F(MainWindowTest, NavigationAndTheWindowsOwnControlsShowTheirWholeText)
{
    CreateMainWindow();
    CLayoutCheck check(m_pDlg->m_hWnd);
    check.CheckTexts(m_pDlg->m_hWnd, L"main window");
    std::vector<CWnd*> bars = {&m_pDlg->m_barScanClean, &m_pDlg->m_barOptimize, &m_pDlg->m_barBackup,
                               &m_pDlg->m_barIeTools,   &m_pDlg->m_barWindows,  &m_pDlg->m_barOptions,
                               &m_pDlg->m_barHelp};
    // A bar gets its buttons when its folder opens.
    for (int i = 0; i < m_pDlg->m_wndFolder.GetFolderCount(); i++)
    {
        m_pDlg->m_wndFolder.SelectFolder(i);
        testsupport::WaitFor([] { return false; }, 50);
        check.CheckNavigation(&m_pDlg->m_wndFolder, {bars[i]});
    }
    check.CheckNavigation(&m_pDlg->m_wndFolder, {});
    int nItems = 0;
    for (CWnd* pBar : bars)
        nItems += static_cast<CGuiOutLook*>(pBar)->GetItemCount();
    EXPECT_EQ(nItems, 23);
    // Duplicates come from the folder pass after each bar: keep one of each.
    std::sort(check.m_faults.begin(), check.m_faults.end());
    check.m_faults.erase(std::unique(check.m_faults.begin(), check.m_faults.end()), check.m_faults.end());
    EXPECT_TRUE(check.m_faults.empty()) << Report(check.m_faults);
}

TEST_F(MainWindowTest, LibraryViewsKeepTheirControlsWholeInsideThePageArea)
{
    CopyLibraries(true, true);
    CreateMainWindow();
    const CRect rcArea = ScreenRect(m_pDlg.get(), m_pDlg->m_rcPage);
    // The views are placed 10 pixels left of the page area.
    CRect rcViewArea = rcArea;
    rcViewArea.left -= 10;
    const struct
    {
        UINT nCommand;
        UINT nView;
        const wchar_t* pszName;
    } views[] = {
        {ID_NAV_EVIDENCE_CLEANER, 4000, L"evidence cleaner"},   {ID_NAV_JUNK_CLEANER, 350, L"junk cleaner"},
        {ID_NAV_FILE_SHREDDER, 157, L"file shredder"},          {ID_NAV_SYSTEM_OPTIMIZER, 0x11, L"system optimizer"},
        {ID_NAV_SERVICE_OPTIMIZER, 0x12, L"service optimizer"}, {ID_NAV_MEMORY_OPTIMIZER, 0x13, L"memory optimizer"},
    };
    std::vector<std::wstring> faults;
    for (const auto& view : views)
    {
        SendCommand(view.nCommand);
        testsupport::WaitFor([] { return false; }, 100);
        HWND hView = LibraryView(view.nView);
        ASSERT_NE(hView, (HWND)NULL) << view.nView;
        ASSERT_TRUE(::IsWindowVisible(hView)) << view.nView;
        std::wstring strWhere = std::wstring(L"view ") + view.pszName;
        CLayoutCheck check(m_pDlg->m_hWnd);
        CRect rcView;
        ::GetWindowRect(hView, &rcView);
        CRect rcInside;
        rcInside.IntersectRect(&rcView, &rcViewArea);
        if (rcInside != rcView)
            check.m_faults.push_back(strWhere + L": control " + std::to_wstring(view.nView) + L" (the view) is " +
                                     std::to_wstring(rcView.Width()) + L" x " + std::to_wstring(rcView.Height()) +
                                     L" and reaches outside the page area");
        check.CheckControls(hView, rcViewArea, strWhere);
        faults.insert(faults.end(), check.m_faults.begin(), check.m_faults.end());
    }
    EXPECT_TRUE(faults.empty()) << Report(faults);
}

// After a library view, the pages that follow own the page area alone: no
// strip of the view (it stands 10 pixels further left) stays beside them.
TEST_F(MainWindowTest, PagesAfterALibraryViewLeaveNoStripOfIt)
{
    CopyLibraries(true, true);
    CreateMainWindow();
    const CRect rcArea = ScreenRect(m_pDlg.get(), m_pDlg->m_rcPage);
    CRect rcViewArea = rcArea;
    rcViewArea.left -= 10;
    const UINT views[] = {ID_NAV_SYSTEM_OPTIMIZER, ID_NAV_SERVICE_OPTIMIZER, ID_NAV_MEMORY_OPTIMIZER,
                          ID_NAV_EVIDENCE_CLEANER, ID_NAV_JUNK_CLEANER,     ID_NAV_FILE_SHREDDER};
    const UINT pages[] = {ID_NAV_AUTO_BACKUP, ID_NAV_FULL_BACKUP, ID_NAV_IE_PROBLEMS};
    CLayoutCheck check(m_pDlg->m_hWnd);
    for (UINT nView : views)
    {
        for (UINT nPage : pages)
        {
            SendCommand(nView);
            testsupport::WaitFor([] { return false; }, 50);
            SendCommand(nPage);
            testsupport::WaitFor([] { return false; }, 50);
            PageInfo* pInfo = m_pDlg->GetPageInfo(VisiblePage());
            ASSERT_TRUE(pInfo != NULL && pInfo->pPage != NULL) << nView << " " << nPage;
            std::wstring strWhere = L"view " + std::to_wstring(nView) + L", then page " + std::to_wstring(nPage);
            check.CheckPageAreaOwner(m_pDlg->m_hWnd, pInfo->pPage->m_hWnd, rcArea, strWhere);
            check.CheckPaintedWhole(m_pDlg->m_hWnd, rcViewArea, strWhere);
        }
    }
    EXPECT_TRUE(check.m_faults.empty()) << Report(check.m_faults);
}

// The check itself: each rule with a fault and a look-alike that is fine.
TEST(CLayoutCheck, FindsCutTextsAndControlsOutsideTheirArea)
{
    CWnd host;
    ASSERT_TRUE(host.CreateEx(0, AfxRegisterWndClass(0), L"Host", WS_POPUP | WS_VISIBLE, 0, 0, 400, 300, NULL, NULL));
    auto make = [&](LPCWSTR pszClass, LPCWSTR pszText, DWORD dwStyle, int x, int y, int cx, int cy, int nID) {
        HWND hWnd = ::CreateWindowExW(0, pszClass, pszText, WS_CHILD | WS_VISIBLE | dwStyle, x, y, cx, cy, host.m_hWnd,
                                      (HMENU)(INT_PTR)nID, NULL, NULL);
        ::SendMessageW(hWnd, WM_SETFONT, (WPARAM)::GetStockObject(DEFAULT_GUI_FONT), FALSE);
        return hWnd;
    };
    HFONT hFont = (HFONT)::GetStockObject(DEFAULT_GUI_FONT);
    const CString strLabel = L"Shut down after repairing";
    const int nText = MeasureText(host.m_hWnd, hFont, strLabel, DT_SINGLELINE, 0).cx;
    make(L"Static", strLabel, SS_LEFTNOWORDWRAP, 0, 0, nText + 2, 20, 101);       // fits
    make(L"Static", strLabel, SS_LEFTNOWORDWRAP, 0, 30, nText - 4, 20, 102);      // cut
    make(L"Button", strLabel, BS_AUTOCHECKBOX, 0, 60, nText + 20, 20, 103);       // fits beside its box
    make(L"Button", strLabel, BS_AUTOCHECKBOX, 0, 90, nText + 4, 20, 104);        // the box takes the room
    make(L"Static", strLabel, SS_LEFT | SS_ENDELLIPSIS, 0, 120, 20, 20, 105);     // shortens itself
    make(L"Static", strLabel, SS_LEFT, 0, 150, nText / 2 + 10, 18, 106);          // wraps into unseen lines
    make(L"Static", L"", SS_LEFT, 350, 200, 100, 20, 107);                        // reaches past the area

    // A skinned check box draws in its own font right of its box.
    CButtonST check;
    HWND hCheck = make(L"Button", strLabel, BS_AUTOCHECKBOX, 0, 240, 400, 20, 108);
    ASSERT_TRUE(check.SubclassWindow(hCheck));
    CLayoutCheck check1(host.m_hWnd);
    CRect rcArea;
    host.GetWindowRect(&rcArea);
    check1.CheckControls(host.m_hWnd, rcArea, L"host");
    std::string strFaults = Report(check1.m_faults);
    for (int nID : {102, 104, 106, 107})
        EXPECT_NE(strFaults.find(": control " + std::to_string(nID) + " ("), std::string::npos) << nID << strFaults;
    for (int nID : {101, 103, 105, 108})
        EXPECT_EQ(strFaults.find(": control " + std::to_string(nID) + " ("), std::string::npos) << nID << strFaults;

    HFONT hVerdana = ::CreateFontW(13, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, FF_SWISS, L"Verdana");
    const int nSkinText = MeasureText(host.m_hWnd, hVerdana, strLabel, DT_SINGLELINE, 0).cx;
    ::DeleteObject(hVerdana);
    // As wide as the text alone: the box's 16 pixels are missing.
    check.MoveWindow(0, 240, nSkinText + 8, 20);
    CLayoutCheck check2(host.m_hWnd);
    check2.CheckTexts(host.m_hWnd, L"host");
    EXPECT_NE(Report(check2.m_faults).find(": control 108 ("), std::string::npos) << Report(check2.m_faults);
    check.UnsubclassWindow();

    // The page area: the page itself and a window beside the area pass; a
    // window left visible over the area's edge does not.
    HWND hPage = make(L"Static", L"", SS_LEFT, 100, 265, 200, 30, 120);
    make(L"Static", L"", SS_LEFT, 310, 265, 50, 30, 121);
    HWND hLeft = make(L"Static", L"", SS_LEFT, 90, 265, 200, 30, 122);
    CRect rcPageArea(100, 265, 300, 295);
    host.ClientToScreen(&rcPageArea);
    CLayoutCheck check3(host.m_hWnd);
    check3.CheckPageAreaOwner(host.m_hWnd, hPage, rcPageArea, L"area");
    std::string strArea = Report(check3.m_faults);
    EXPECT_NE(strArea.find(": control 122 ("), std::string::npos) << strArea;
    EXPECT_EQ(strArea.find(": control 120 ("), std::string::npos) << strArea;
    EXPECT_EQ(strArea.find(": control 121 ("), std::string::npos) << strArea;
    // A frame: a label inside passes, one across its edge does not.
    make(L"Button", L"Frame", BS_GROUPBOX, 100, 200, 200, 60, 130);
    make(L"Static", L"", SS_LEFT, 120, 220, 100, 14, 131);
    make(L"Static", L"", SS_LEFT, 250, 220, 80, 14, 132);
    make(L"Static", L"", SS_LEFT, 240, 240, 60, 14, 133);  // inside, over the right edge line
    CRect rcHost;
    host.GetWindowRect(&rcHost);
    CLayoutCheck check5(host.m_hWnd);
    check5.CheckControls(host.m_hWnd, rcHost, L"frame");
    std::string strFrame = Report(check5.m_faults);
    EXPECT_NE(strFrame.find(": control 132 (Static \"\") lies across the edge of frame 130"), std::string::npos)
        << strFrame;
    EXPECT_NE(strFrame.find(": control 133 ("), std::string::npos) << strFrame;
    EXPECT_EQ(strFrame.find(": control 131 ("), std::string::npos) << strFrame;
    ::ShowWindow(hLeft, SW_HIDE);
    CLayoutCheck check4(host.m_hWnd);
    check4.CheckPageAreaOwner(host.m_hWnd, hPage, rcPageArea, L"area");
    EXPECT_TRUE(check4.m_faults.empty()) << Report(check4.m_faults);
    host.DestroyWindow();
}

// A picture that carries its text gets no caption over it; a bare icon gets one.
TEST_F(MainWindowTest, PictureButtonsShowTheirTextExactlyOnce)
{
    CreateMainWindow();
    m_pDlg->ShowPage(PAGE_GENERAL);
    EXPECT_EQ(::GetWindowTextLengthW(::GetDlgItem(m_pDlg->m_pageGeneral.m_hWnd, 1001)), 0);
    m_pDlg->ShowPage(PAGE_IGNORE);
    WCHAR szText[64] = L"";
    ::GetWindowTextW(::GetDlgItem(m_pDlg->m_pageIgnore.m_hWnd, 1001), szText, 64);
    EXPECT_EQ(CString(szText), TestApp()->GetLangString(L"BTN_235_1001"));
    EXPECT_EQ(CString(szText), CString(L"Remove"));
}
