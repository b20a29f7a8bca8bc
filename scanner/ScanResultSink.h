#pragma once
// Where a scan's rows end up: the result page's tree, or a recording sink in
// tests. Every call comes on the thread that owns the result window; the scan
// worker queues its rows and that thread hands them over in batches.
#include "framework/Afx.h"

#define SCAN_CATEGORY_ROWS 15
// Problem rows: check box (0x10), "Open" link (0x40), "Ignore" link (0x80).
#define SCAN_PROBLEM_ROW_STATE 0xD0

// One problem row as the scan produced it.
struct CScanResultRow
{
    int nCategory;         // 1..15
    CString strText;       // row markup; registry texts inside are already escaped
    DWORD_PTR dwItemData;  // index of the problem in its category's problem list
    UINT nState;           // SCAN_PROBLEM_ROW_STATE
};

class CScanResultSink
{
public:
    virtual ~CScanResultSink() {}

    // Removes every row (category rows included).
    virtual void ClearResults() = 0;
    // Appends the 15 top-level category rows in display order (slot 0..14);
    // they are appended whatever categories the scan runs.
    virtual void AddCategoryRows(const CString* pNames, int nCount) = 0;
    // Appends each row as the last child of its category's row, checked, with
    // its item data and state. One call per batch: redraw once at its end.
    virtual void AddProblemRows(const CScanResultRow* pRows, int nCount) = 0;
    // TRUE only for a scan that ran to its end (never for a stopped one): the
    // page may then repair at once (AutoRepair) or, when it holds no problem
    // row, close the program (CloseAfterScan). The "no problems" message is
    // the scan page's; the result page does not show it.
    virtual void SetAfterScan(BOOL bAfterScan) = 0;
    // Cleared right before the scan shows the result page.
    virtual void SetLeaving(BOOL bLeaving) = 0;
};
