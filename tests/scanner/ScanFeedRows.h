#pragma once
// Problem rows queued as the scan thread queues them, for the tests of the
// hand-over to the window.
#include "scanner/ScanFeed.h"
#include "scanner/ScanResultSink.h"

// nCount rows "row 0", "row 1", ... of one category, each its own item data.
inline void QueueRows(CScanFeed& feed, int nCount)
{
    for (int i = 0; i < nCount; i++)
    {
        CScanFeedItem item;
        item.nKind = FEED_PROBLEM_ROW;
        item.nCategory = 13;
        item.nNumber = i + 1;
        item.nTotal = i + 1;
        item.row.nCategory = 13;
        item.row.strText.Format(L"row %d", i);
        item.row.dwItemData = (DWORD_PTR)i;
        item.row.nState = SCAN_PROBLEM_ROW_STATE;
        feed.Push(item);
    }
}
