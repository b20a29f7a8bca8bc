#pragma once
// The scan worker: empties the problem lists, asks for the 15 category rows
// and runs each switched-on category's scanner in the scan order. It touches
// no window: all it shows goes through the scan's feed, which ends with
// FEED_SCAN_END as its last act.
#include "scanner/ScanContext.h"

// Categories in the order they are scanned and shown.
extern const int g_nScanOrder[SCAN_CATEGORIES];

// pParam: the scan's CScanContext, which outlives the thread.
UINT __cdecl ScanThreadProc(LPVOID pParam);
// The same work on the calling thread.
void RunScan(CScanContext& scan);
// Categories that a 64-bit Windows does not scan (their fixes would harm it).
BOOL IsSkippedOnWow64(int nCategory);
// For tests of the windows around a scan: while the gate (a manual-reset
// event) is unsignalled, workers wait before their first scanner until the
// scan is stopped (at most a minute). NULL, the default, opens it. With
// dwDeafMs the worker first ignores a stop for that long.
void SetScanStartGate(HANDLE hGate, DWORD dwDeafMs = 0);
