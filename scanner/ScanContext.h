#pragma once
// Everything one scan shares between its scanners, made by the window thread
// before the worker starts and left alone by it until the worker has ended
// (only the stop event and the feed are touched by both threads).
#include "framework/Afx.h"
#include "scanner/RegProblem.h"
#include "scanner/IgnoreMatcher.h"
#include "scanner/PathTest.h"
#include "scanner/ScanFeed.h"
#include <atomic>
#include <functional>

#define SCAN_CATEGORIES 15
// REGISTRY_ERROR_1 .. REGISTRY_ERROR_33
#define SCAN_DESCRIPTIONS 34

class CScanContext
{
public:
    CScanContext();
    ~CScanContext();
    CScanContext(const CScanContext&) = delete;
    CScanContext& operator=(const CScanContext&) = delete;

    // TRUE once the scan's own stop event is set. The event is polled with a
    // zero time-out on every few calls (each poll is a server round trip under
    // Wine); Stop also sets a flag that every call reads.
    BOOL IsStopped();
    // Sets the event (never replaced while the scan lives) and the flag.
    void Stop();
    // Remembers the item under examination for the scan page's label.
    void ShowCurrentItem(const CString& strItem)
    {
        m_feed.SetCurrentItem(strItem);
        if (m_fnItemShown)
            m_fnItemShown(strItem);
    }
    // The problem list of a category (1..15).
    CArray<CRegProblem>& ProblemList(int nCategory);

    HANDLE m_hStopEvent;                  // manual reset, made for this scan only
    CScanFeed m_feed;
    CArray<CRegProblem>* m_pProblems;     // 15 lists in key order
    CArray<CRegProblem>* m_pRepair;       // 15 lists in key order
    int m_nNextProblem;                   // 1-based number of the next problem
    int m_nCategoryCount[SCAN_CATEGORIES];  // per category - 1: the next count
    BOOL m_bScanCategory[SCAN_CATEGORIES];  // key order
    CString m_strCategoryNames[SCAN_CATEGORIES];  // display order
    CString m_strDescriptions[SCAN_DESCRIPTIONS];  // REGISTRY_ERROR_n texts
    CIgnoreMatcher m_ignoreList;
    CPathTest m_pathTest;
    BOOL m_bWow64;
    // Set when a problem was left out because its key cannot be changed.
    BOOL m_bUnwritableSkipped;
    // 1 after every scanner has returned and the scan was not stopped.
    std::atomic<int> m_bCompleted;
    // Set once the class key name lists were rebuilt for this scan.
    BOOL m_bClassListsBuilt;
    // Called on the worker with each item shown (tests and measurements).
    std::function<void(const CString&)> m_fnItemShown;

private:
    std::atomic<int> m_bStopSeen;
    unsigned m_nPolls;
};
