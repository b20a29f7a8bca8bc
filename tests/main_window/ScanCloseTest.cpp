// Closing the window during a scan whose rows ran ahead of the window: one
// question, then the worker stops; the close puts at most one share of the
// queued rows into the result tree, switches to no page, and the window goes.
#include "tests/scanner/ScanFeedRows.h"
#include "tests/main_window/MainWindowFixture.h"
#include "scanner/ScanPage.h"

using testsupport::MessageBoxRecorder;
using testsupport::WaitFor;

namespace {

class ScanCloseTest : public MainWindowTest
{
protected:
    int ResultRows()
    {
        CTreeListCtrl& tree = m_pDlg->m_pageScanResult.m_tree;
        int nRows = 0;
        for (CTreeListItem* pCat = tree.GetRootItem(); pCat != NULL; pCat = tree.GetNextSiblingItem(pCat))
        {
            for (CTreeListItem* pRow = tree.GetChildItem(pCat); pRow != NULL; pRow = tree.GetNextSiblingItem(pRow))
                nRows++;
        }
        return nRows;
    }
};


} // namespace

TEST_F(ScanCloseTest, AClosedScanTakesOneShareOfItsRowsAndShowsNoPage)
{
    CreateMainWindow();
    CScanResultPage& result = m_pDlg->m_pageScanResult;
    ASSERT_TRUE(WaitFor([&] { return result.m_hWnd != NULL; }, 20000));
    m_pDlg->m_pageHome.SendDlgItemMessage(1001, BM_CLICK);
    ASSERT_TRUE(m_pDlg->m_pageScan.IsScanThreadRunning());
    ASSERT_EQ(m_pDlg->GetCurrentPage(), PAGE_SCAN);
    // The worker's category rows are in the tree before the rows it "found".
    ASSERT_TRUE(WaitFor([&] { return !result.m_strTreeNames[0].IsEmpty(); }, 10000));
    const int nQueued = 8 * SCAN_DRAIN_ITEMS;
    QueueRows(m_pDlg->m_pageScan.m_pScan->m_feed, nQueued);

    MessageBoxRecorder recorder;
    recorder.QueueAnswer(IDOK);
    m_pDlg->SendMessage(WM_CLOSE);
    EXPECT_EQ(recorder.Count(), 1u);
    EXPECT_FALSE(m_pDlg->m_pageScan.IsScanThreadRunning());
    EXPECT_LE(ResultRows(), SCAN_DRAIN_ITEMS);
    // A stopped scan would show the home page; a closing one shows none.
    EXPECT_EQ(m_pDlg->GetCurrentPage(), PAGE_SCAN);
    EXPECT_TRUE(WaitFor([&] { return !m_pDlg->IsWindowVisible(); }, 10000));
}

// Kept on the question, the scan goes on and its rows keep coming.
TEST_F(ScanCloseTest, AKeptScanGoesOnTakingItsRows)
{
    CreateMainWindow();
    CScanResultPage& result = m_pDlg->m_pageScanResult;
    ASSERT_TRUE(WaitFor([&] { return result.m_hWnd != NULL; }, 20000));
    m_pDlg->m_pageHome.SendDlgItemMessage(1001, BM_CLICK);
    ASSERT_TRUE(WaitFor([&] { return !result.m_strTreeNames[0].IsEmpty(); }, 10000));
    const int nQueued = 3 * SCAN_DRAIN_ITEMS;
    QueueRows(m_pDlg->m_pageScan.m_pScan->m_feed, nQueued);

    MessageBoxRecorder recorder;
    recorder.QueueAnswer(IDCANCEL);
    m_pDlg->SendMessage(WM_CLOSE);
    EXPECT_TRUE(m_pDlg->IsWindowVisible());
    EXPECT_TRUE(m_pDlg->m_pageScan.IsScanThreadRunning());
    EXPECT_EQ(m_pDlg->m_pageScan.m_bLeaving, 0);
    EXPECT_TRUE(WaitFor([&] { return ResultRows() == nQueued; }, 20000));
    EXPECT_EQ(m_pDlg->GetCurrentPage(), PAGE_SCAN);
}
