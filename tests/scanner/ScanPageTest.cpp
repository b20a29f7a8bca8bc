#include "tests/scanner/ScanPageFixture.h"
#include "scanner/ScanThread.h"
#include "tests/scanner/ScanTestSupport.h"
#include "tests/support/MessageBoxRecorder.h"
#include "tests/support/TestSupport.h"
#include <string>

using testsupport::MessageBoxRecorder;
using testsupport::WaitFor;

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
