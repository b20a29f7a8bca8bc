#include "scanner/ScanThread.h"
#include "scanner/Scanners.h"
#include "scanner/ScanStop.h"
#include "app/TamselApp.h"
#include <atomic>

const int g_nScanOrder[SCAN_CATEGORIES] = {1, 2, 3, 4, 5, 6, 13, 7, 8, 9, 10, 11, 12, 14, 15};

ScanCategoryProc GetCategoryScanner(int nCategory)
{
    static const ScanCategoryProc s_pfnScanners[SCAN_CATEGORIES] = {
        ScanComObjects,   ScanUninstallEntries, ScanAppPaths,       ScanFonts,          ScanSharedDlls,
        ScanHelpFiles,    ScanServices,         ScanShortcuts,      ScanFileAssociations, ScanSounds,
        ScanMruLists,     ScanStartupItems,     ScanDrivers,        ScanFileExtensions, ScanEmptyKeys};
    if (nCategory < 1 || nCategory > SCAN_CATEGORIES)
        return NULL;
    return s_pfnScanners[nCategory - 1];
}

static std::atomic<HANDLE> s_hStartGate(NULL);
static std::atomic<DWORD> s_dwDeafMs(0);

void SetScanStartGate(HANDLE hGate, DWORD dwDeafMs)
{
    s_hStartGate = hGate;
    s_dwDeafMs = dwDeafMs;
}

BOOL IsSkippedOnWow64(int nCategory)
{
    return nCategory == 7 || nCategory == 15;
}

void RunScan(CScanContext& scan)
{
    // The enumerations and look-ups below the scanners see the stop too.
    CScanStopScope stopScope(scan);
    for (int i = 0; i < SCAN_CATEGORIES; i++)
    {
        scan.m_pProblems[i].RemoveAll();
    }
    if (scan.m_pRepair != NULL)
    {
        for (int i = 0; i < SCAN_CATEGORIES; i++)
            scan.m_pRepair[i].RemoveAll();
    }
    scan.m_nNextProblem = 1;

    CScanFeedItem clear;
    clear.nKind = FEED_CLEAR_RESULTS;
    scan.m_feed.Push(clear);
    CScanFeedItem categories;
    categories.nKind = FEED_CATEGORY_ROWS;
    for (int i = 0; i < SCAN_CATEGORIES; i++)
        categories.arrNames.Add(scan.m_strCategoryNames[i]);
    scan.m_feed.Push(categories);

    HANDLE hGate = s_hStartGate;
    if (hGate != NULL)
    {
        // A worker that is slow to notice a stop, for the close path's tests.
        DWORD dwDeafMs = s_dwDeafMs;
        if (dwDeafMs != 0)
            ::WaitForSingleObject(hGate, dwDeafMs);
        HANDLE hWait[2] = {hGate, scan.m_hStopEvent};
        ::WaitForMultipleObjects(2, hWait, FALSE, 60000);
    }
    scan.m_pathTest.BeginThread();
    for (int i = 0; i < SCAN_CATEGORIES && !scan.IsStopped(); i++)
    {
        int nCategory = g_nScanOrder[i];
        if (!scan.m_bScanCategory[CTamselApp::KeySlotOfCategory(nCategory)])
            continue;
        if (scan.m_bWow64 && IsSkippedOnWow64(nCategory))
            continue;
        ScanCategoryProc pfnScan = GetCategoryScanner(nCategory);
        if (pfnScan != NULL)
            pfnScan(scan);
    }
    scan.m_pathTest.EndThread();
    // A poll on the event itself: the flag alone may lag a few polls behind.
    if (::WaitForSingleObject(scan.m_hStopEvent, 0) != WAIT_OBJECT_0)
        scan.m_bCompleted = 1;

    CScanFeedItem end;
    end.nKind = FEED_SCAN_END;
    scan.m_feed.Push(end);
}

UINT __cdecl ScanThreadProc(LPVOID pParam)
{
    RunScan(*static_cast<CScanContext*>(pParam));
    return 0;
}
