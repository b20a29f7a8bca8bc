// The hand-over of a scan's rows to the window: however many the worker
// queued, one share at a time, with the window's own messages between two;
// after a stop the page takes one share at once and the rest as the loop
// turns, none lost and in order.
#include "tests/scanner/ScanFeedRows.h"
#include "tests/scanner/ScanPageFixture.h"
#include "tests/scanner/ScanTestSupport.h"
#include "tests/support/MessageBoxRecorder.h"
#include "tests/support/TestSupport.h"

using testsupport::MessageBoxRecorder;
using testsupport::WaitFor;

namespace {

const int kQueued = 5 * SCAN_DRAIN_ITEMS + 17;


bool InOrder(const std::vector<CScanResultRow>& rows)
{
    for (size_t i = 0; i < rows.size(); i++)
    {
        if (rows[i].dwItemData != (DWORD_PTR)i)
            return false;
    }
    return true;
}

} // namespace

TEST(ScanHandOverFeed, TakesAtMostTheShareAskedAndSaysWhatIsLeft)
{
    CScanFeed feed;
    QueueRows(feed, 2500);
    std::vector<CScanFeedItem> items;
    EXPECT_TRUE(feed.Take(items, 1000));
    EXPECT_EQ(items.size(), 1000u);
    EXPECT_TRUE(feed.Take(items, 1000));
    QueueRows(feed, 3);
    EXPECT_FALSE(feed.Take(items, 1000));
    ASSERT_EQ(items.size(), 2503u);
    for (size_t i = 0; i < 2500; i++)
        EXPECT_EQ(items[i].row.dwItemData, (DWORD_PTR)i);
    EXPECT_EQ(items[2500].row.dwItemData, 0u);
    EXPECT_FALSE(feed.Take(items, 1000));
    EXPECT_EQ(items.size(), 2503u);
    // What a share left behind comes with the next whole take.
    QueueRows(feed, 10);
    std::vector<CScanFeedItem> rest;
    EXPECT_TRUE(feed.Take(rest, 4));
    feed.TakeAll(rest);
    ASSERT_EQ(rest.size(), 10u);
    EXPECT_EQ(rest[9].row.dwItemData, 9u);
}

// Rows queued faster than the window takes them: a confirmed stop shows one
// share at once, and the page then gets every other row as the loop turns.
TEST_F(ScanPageTest, ScanHandOverAfterAStopTakesOneShareAtOnceAndTheRestLater)
{
    scantest::CRecordingSink sink;
    CreateMainWindow();
    OnlyCategory(12);  // Drivers: the gate holds the worker before it
    m_pDlg->m_pageScan.m_pResultSink = &sink;
    m_pDlg->m_pageHome.SendDlgItemMessage(1001, BM_CLICK);
    ASSERT_TRUE(m_pDlg->m_pageScan.IsScanThreadRunning());
    // The worker's first items (clear, category rows) are in before ours.
    ASSERT_TRUE(WaitFor([&] { return sink.m_arrCategories.size() == 15u; }, 10000));
    QueueRows(m_pDlg->m_pageScan.m_pScan->m_feed, kQueued);

    MessageBoxRecorder recorder;
    recorder.QueueAnswer(IDOK);
    ASSERT_EQ(m_pDlg->m_pageScan.StopScan(), 1);
    EXPECT_FALSE(m_pDlg->m_pageScan.IsScanThreadRunning());
    EXPECT_EQ(m_pDlg->m_pageScan.m_bScanning, 0);
    EXPECT_LE(sink.m_arrRows.size(), (size_t)SCAN_DRAIN_ITEMS);
    EXPECT_TRUE(IsVisible(m_pDlg->m_pageHome));

    EXPECT_TRUE(WaitFor([&] { return sink.m_arrRows.size() >= (size_t)kQueued; }, 20000));
    EXPECT_EQ(sink.m_arrRows.size(), (size_t)kQueued);
    EXPECT_TRUE(InOrder(sink.m_arrRows));
    EXPECT_GE(sink.m_nBatches, kQueued / SCAN_DRAIN_ITEMS);
    m_pDlg->m_pageScan.m_pResultSink = NULL;
}

// While a share is shown the window's own input waits at most for that share:
// a message posted behind the worker's rows is answered before the last row.
TEST_F(ScanPageTest, ScanHandOverLetsTheWindowsMessagesInBetweenShares)
{
    scantest::CRecordingSink sink;
    CreateMainWindow();
    OnlyCategory(12);
    m_pDlg->m_pageScan.m_pResultSink = &sink;
    m_pDlg->m_pageHome.SendDlgItemMessage(1001, BM_CLICK);
    ASSERT_TRUE(WaitFor([&] { return sink.m_arrCategories.size() == 15u; }, 10000));
    QueueRows(m_pDlg->m_pageScan.m_pScan->m_feed, kQueued);
    // Posted after the rows' wake-up, as a click on Stop would come.
    size_t nRowsWhenAnswered = 0;
    bool bAnswered = false;
    HWND hWnd = m_pDlg->m_pageScan.m_hWnd;
    AfxPostCall(hWnd, [&] {
        nRowsWhenAnswered = sink.m_arrRows.size();
        bAnswered = true;
    });
    EXPECT_TRUE(WaitFor([&] { return sink.m_arrRows.size() >= (size_t)kQueued && bAnswered; }, 20000));
    EXPECT_TRUE(bAnswered);
    EXPECT_LT(nRowsWhenAnswered, (size_t)kQueued);
    EXPECT_TRUE(InOrder(sink.m_arrRows));

    MessageBoxRecorder recorder;
    recorder.QueueAnswer(IDOK);
    m_pDlg->m_pageScan.StopScan();
    m_pDlg->m_pageScan.m_pResultSink = NULL;
}
