#include "tests/scanner/ScanTestSupport.h"
#include "app/TamselApp.h"
#include "app/TamselDlg.h"
#include "scanner/ScanThread.h"
#include "tests/support/MessageBoxRecorder.h"
#include "tests/support/TestSupport.h"
#include <cstdlib>
#include <memory>
#include <string>

using testsupport::MessageBoxRecorder;
using testsupport::WaitFor;

namespace {
CTamselApp* App()
{
    return static_cast<CTamselApp*>(AfxGetApp());
}

class ScanPageTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        CTamselApp* pApp = App();
        pApp->m_strAppDir = m_folder.Path().c_str();
        pApp->m_strSettingsFile = pApp->m_strAppDir + L"Settings.ini";
        pApp->m_strLangFile.Empty();
        pApp->m_bAutoUpdate = 0;
        pApp->m_bAutoRepair = 0;
        pApp->m_bCloseAfterScan = 0;
        pApp->m_bWow64 = FALSE;
        for (int i = 0; i < TAMSEL_CATEGORY_COUNT; i++)
            pApp->m_bScanCategory[i] = 1;
        m_hGate = ::CreateEventW(NULL, TRUE, FALSE, NULL);
        SetScanStartGate(m_hGate);
    }
    void TearDown() override
    {
        if (m_pDlg)
        {
            m_pDlg->m_pageScan.m_bLeaving = 1;
            if (m_pDlg->m_pageScan.IsScanThreadRunning())
            {
                MessageBoxRecorder recorder;
                m_pDlg->m_pageScan.StopScan();
            }
            if (m_pDlg->m_hWnd != NULL)
                m_pDlg->DestroyWindow();
            m_pDlg.reset();
        }
        SetScanStartGate(NULL);
        ::CloseHandle(m_hGate);
        MSG msg;
        while (::PeekMessageW(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE))
        {
        }
    }
    void CreateMainWindow()
    {
        m_pDlg.reset(new CTamselDlg);
        ASSERT_TRUE(m_pDlg->Create(IDD_MAIN_WINDOW, NULL));
        WaitFor([] { return false; }, 100);
    }
    void OnlyCategory(int nKeySlot)
    {
        for (int i = 0; i < HOME_CATEGORY_COUNT; i++)
            m_pDlg->m_pageHome.m_chkCategory[i].SetCheck(i == nKeySlot ? 1 : 0);
    }
    bool IsVisible(CWnd& page) { return page.m_hWnd != NULL && page.IsWindowVisible(); }

    testsupport::ScratchFolder m_folder;
    std::unique_ptr<CTamselDlg> m_pDlg;
    HANDLE m_hGate = NULL;
};
}  // namespace

// A confirmed stop: the worker is gone before the next page shows; a stopped
// scan is never "no problems" and never repaired; the next scan runs.
TEST_F(ScanPageTest, AStoppedScanSaysNothingRepairsNothingAndANewOneRuns)
{
    App()->m_bAutoRepair = 1;
    CreateMainWindow();
    OnlyCategory(12);  // Drivers: nothing to find yet
    m_pDlg->m_pageHome.SendDlgItemMessage(1001, BM_CLICK);
    ASSERT_TRUE(m_pDlg->m_pageScan.IsScanThreadRunning());
    EXPECT_TRUE(IsVisible(m_pDlg->m_pageScan));
    EXPECT_EQ(m_pDlg->m_pageScan.m_bScanning, 1);
    // A second start while the worker lives is refused.
    m_pDlg->m_pageScan.m_bStartPending = 1;
    EXPECT_FALSE(m_pDlg->m_pageScan.StartScan());

    MessageBoxRecorder recorder;
    recorder.QueueAnswer(IDCANCEL);
    m_pDlg->m_pageScan.SendDlgItemMessage(1001, BM_CLICK);
    EXPECT_TRUE(m_pDlg->m_pageScan.IsScanThreadRunning());
    recorder.QueueAnswer(IDOK);
    m_pDlg->m_pageScan.SendDlgItemMessage(1001, BM_CLICK);
    EXPECT_FALSE(m_pDlg->m_pageScan.IsScanThreadRunning());
    EXPECT_EQ(m_pDlg->m_pageScan.m_bScanning, 0);
    EXPECT_TRUE(IsVisible(m_pDlg->m_pageHome));
    WaitFor([] { return false; }, 300);
    EXPECT_EQ(recorder.Count(), 2u);  // the two questions, no "no problems"
    EXPECT_EQ(m_pDlg->m_pageScanResult.m_bAfterScan, 0);
    EXPECT_EQ(m_pDlg->m_pageScan.m_bFinished, 0);

    ::SetEvent(m_hGate);
    App()->m_bAutoRepair = 0;
    m_pDlg->m_pageHome.SendDlgItemMessage(1001, BM_CLICK);
    EXPECT_TRUE(WaitFor([&] { return m_pDlg->m_pageScan.m_bScanning == 0; }, 10000));
    EXPECT_EQ(m_pDlg->m_pageScan.m_bFinished, 1);
    // Finished without rows: "no problems" once, then home.
    ASSERT_EQ(recorder.Count(), 3u);
    EXPECT_EQ(recorder.LastText(), std::wstring(App()->GetLangString(L"M_NO_PROBLEM")));
    EXPECT_TRUE(IsVisible(m_pDlg->m_pageHome));
    // The 15 category rows reached the result page (which drops them again
    // when shown without problems).
    int nNames = 0;
    for (const CString& strName : m_pDlg->m_pageScanResult.m_strTreeNames)
        nNames += strName.IsEmpty() ? 0 : 1;
    EXPECT_EQ(nNames, 15);
}

TEST_F(ScanPageTest, AFinishedScanWithProblemsShowsTheResultPage)
{
    scantest::ClassesKeys keys;
    std::wstring strClass = scantest::NewGuid();
    ASSERT_TRUE(keys.SetString(L"CLSID\\" + strClass + L"\\InprocServer32", L"", L"C:\\tamsel\\gone.dll"));
    ::SetEvent(m_hGate);
    CreateMainWindow();
    OnlyCategory(0);
    MessageBoxRecorder recorder;
    m_pDlg->m_pageHome.SendDlgItemMessage(1001, BM_CLICK);
    EXPECT_TRUE(WaitFor([&] { return m_pDlg->m_pageScan.m_bScanning == 0; }, 20000));
    EXPECT_TRUE(IsVisible(m_pDlg->m_pageScanResult));
    EXPECT_EQ(recorder.Count(), 0u);
    EXPECT_GE(App()->m_nNextProblem, 2);
    // The page takes its after-scan flag on its first paint; the rows stay.
    CTreeListCtrl& tree = m_pDlg->m_pageScanResult.m_tree;
    bool bFound = false;
    for (CTreeListItem* pCat = tree.GetRootItem(); pCat != NULL; pCat = tree.GetNextSiblingItem(pCat))
    {
        for (CTreeListItem* pRow = tree.GetChildItem(pCat); pRow != NULL; pRow = tree.GetNextSiblingItem(pRow))
            bFound = bFound || tree.GetItemText(pRow, 0).Find(strClass.c_str()) >= 0;
    }
    EXPECT_TRUE(bFound);
}

TEST_F(ScanPageTest, ProblemsLeftOutForLackOfRightsAreReportedOnce)
{
    scantest::ClassesKeys keys;
    std::wstring strServer = L"CLSID\\" + scantest::NewGuid() + L"\\InprocServer32";
    ASSERT_TRUE(keys.SetString(strServer, L"", L"C:\\tamsel\\gone.dll"));
    ASSERT_TRUE(keys.MakeReadOnly(strServer));
    ::SetEvent(m_hGate);
    CreateMainWindow();
    OnlyCategory(0);
    MessageBoxRecorder recorder;
    m_pDlg->m_pageHome.SendDlgItemMessage(1001, BM_CLICK);
    EXPECT_TRUE(WaitFor([&] { return m_pDlg->m_pageScan.m_bScanning == 0; }, 20000));
    WaitFor([] { return false; }, 200);
    std::wstring strNotice = (LPCWSTR)App()->GetLangString(L"M_SCAN_UNWRITABLE");
    int nNotices = 0;
    for (const auto& box : recorder.Boxes())
        nNotices += box.strText == strNotice;
    EXPECT_EQ(nNotices, 1);
    ASSERT_FALSE(recorder.Boxes().empty());
    EXPECT_EQ(recorder.Boxes()[0].strText, strNotice);
}

TEST_F(ScanPageTest, ClosingDuringAScanWaitsForTheWorker)
{
    CreateMainWindow();
    m_pDlg->m_pageHome.SendDlgItemMessage(1001, BM_CLICK);
    ASSERT_TRUE(m_pDlg->m_pageScan.IsScanThreadRunning());
    MessageBoxRecorder recorder;
    recorder.QueueAnswer(IDOK);
    EXPECT_TRUE(m_pDlg->CloseMainWindow());
    EXPECT_FALSE(m_pDlg->m_pageScan.IsScanThreadRunning());
    EXPECT_EQ(recorder.Count(), 1u);
}

TEST_F(ScanPageTest, HomePageOn64BitWindowsKeepsServicesAndEmptyKeysOff)
{
    App()->m_bWow64 = TRUE;
    CreateMainWindow();
    CHomePage& home = m_pDlg->m_pageHome;
    EXPECT_FALSE(home.m_chkCategory[3].IsWindowEnabled());
    EXPECT_FALSE(home.m_chkCategory[14].IsWindowEnabled());
    EXPECT_EQ(home.m_chkCategory[3].GetCheck(), 0);
    EXPECT_EQ(home.m_chkSelectAll.GetCheck(), 0);
    home.m_chkSelectAll.SendMessage(BM_CLICK);
    ASSERT_EQ(home.m_chkSelectAll.GetCheck(), 1);
    EXPECT_EQ(home.m_chkCategory[0].GetCheck(), 1);
    EXPECT_EQ(home.m_chkCategory[3].GetCheck(), 0);
    EXPECT_EQ(home.m_chkCategory[14].GetCheck(), 0);
    home.StoreCategorySwitches();
    EXPECT_EQ(App()->m_bScanCategory[3], 0);
    App()->m_bWow64 = FALSE;
}

TEST_F(ScanPageTest, HomePageBoxesAndScanNowWithNothingChecked)
{
    CreateMainWindow();
    CHomePage& home = m_pDlg->m_pageHome;
    EXPECT_EQ(home.m_chkSelectAll.GetCheck(), 1);
    home.m_chkCategory[5].SendMessage(BM_CLICK);
    EXPECT_EQ(home.m_chkCategory[5].GetCheck(), 0);
    EXPECT_EQ(home.m_chkSelectAll.GetCheck(), 0);
    // Checking the last unchecked box checks Select All.
    home.m_chkCategory[5].SendMessage(BM_CLICK);
    EXPECT_EQ(home.m_chkSelectAll.GetCheck(), 1);
    home.m_chkSelectAll.SendMessage(BM_CLICK);
    EXPECT_EQ(home.m_chkCategory[0].GetCheck(), 0);
    OnlyCategory(-1);
    MessageBoxRecorder recorder;
    home.SendDlgItemMessage(1001, BM_CLICK);
    ASSERT_EQ(recorder.Count(), 1u);
    EXPECT_EQ(recorder.LastText(), std::wstring(App()->GetLangString(L"M_NOITEM")));
    EXPECT_FALSE(m_pDlg->m_pageScan.IsScanThreadRunning());
    EXPECT_TRUE(IsVisible(home));
}

// Pictures for a person to look at: only when TAMSEL_SCREENSHOT_DIR names a
// (Linux) folder for the PNG files.
TEST_F(ScanPageTest, Screenshots)
{
    const char* pszDir = std::getenv("TAMSEL_SCREENSHOT_DIR");
    if (pszDir == NULL)
        GTEST_SKIP() << "TAMSEL_SCREENSHOT_DIR is not set";
    auto shoot = [&](const std::string& strName) {
        WaitFor([] { return false; }, 600);
        m_pDlg->RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE | RDW_ALLCHILDREN);
        WaitFor([] { return false; }, 400);
        CRect rc;
        m_pDlg->GetWindowRect(&rc);
        std::string strGeometry = std::to_string(rc.Width()) + "x" + std::to_string(rc.Height()) + "+" +
                                  std::to_string(rc.left) + "+" + std::to_string(rc.top);
        testsupport::RunHostCommand("import -window root -crop " + strGeometry + " +repage " + pszDir + "/" +
                                    strName + ".png");
    };
    scantest::ClassesKeys keys;
    for (int i = 0; i < 3; i++)
        ASSERT_TRUE(keys.SetString(L"CLSID\\" + scantest::NewGuid() + L"\\InprocServer32", L"",
                                   L"C:\\Program Files\\<Gone & Co>\\server" + std::to_wstring(i) + L".dll"));
    CreateMainWindow();
    shoot("scan_00_home");
    MessageBoxRecorder recorder;
    m_pDlg->m_pageHome.SendDlgItemMessage(1001, BM_CLICK);
    shoot("scan_01_scanning");
    ::SetEvent(m_hGate);
    EXPECT_TRUE(WaitFor([&] { return m_pDlg->m_pageScan.m_bScanning == 0; }, 20000));
    m_pDlg->ShowPage(PAGE_SCAN);
    shoot("scan_02_scan_page_done");
    m_pDlg->ShowPage(PAGE_SCAN_RESULT);
    shoot("scan_03_result");
}
