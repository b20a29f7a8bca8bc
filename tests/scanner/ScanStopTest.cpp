#include "tests/scanner/ScanTestSupport.h"
#include "scanner/ScanThread.h"

using namespace scantest;

namespace {
// Runs category 1 on a worker, holds it at the first item under the given
// key, stops it from this thread and measures how long it takes to end.
DWORD StopAtStage(HeadlessScan& run, const std::wstring& strPrefix)
{
    HANDLE hReached = ::CreateEventW(NULL, TRUE, FALSE, NULL);
    HANDLE hStopped = ::CreateEventW(NULL, TRUE, FALSE, NULL);
    bool bFired = false;
    run.scan.m_fnItemShown = [&](const CString& strItem) {
        if (bFired || strItem.Find(strPrefix.c_str()) != 0)
            return;
        bFired = true;
        ::SetEvent(hReached);
        ::WaitForSingleObject(hStopped, 10000);
    };
    run.scan.m_ignoreList.Load(run.arrIgnore);
    HANDLE hThread = AfxBeginWorker(ScanThreadProc, &run.scan, 8 * 1024 * 1024, STACK_SIZE_PARAM_IS_A_RESERVATION);
    EXPECT_NE(hThread, nullptr);
    if (hThread == NULL)
        return INFINITE;
    DWORD dwTaken = INFINITE;
    if (::WaitForSingleObject(hReached, 30000) == WAIT_OBJECT_0)
    {
        DWORD dwStart = ::GetTickCount();
        run.scan.Stop();
        ::SetEvent(hStopped);
        if (::WaitForSingleObject(hThread, 5000) == WAIT_OBJECT_0)
            dwTaken = ::GetTickCount() - dwStart;
    }
    ::SetEvent(hStopped);
    ::WaitForSingleObject(hThread, 30000);
    ::CloseHandle(hThread);
    ::CloseHandle(hReached);
    ::CloseHandle(hStopped);
    run.items = Deliver(run.scan.m_feed, run.sink);
    return dwTaken;
}
}  // namespace

// A stop at each walk of category 1 ends the worker within a second, leaves
// the category unfinished and the scan not completed; a new scan then runs.
TEST(ScanStop, EachStageEndsWithinASecond)
{
    for (const wchar_t* pszStage :
         {L"HKEY_CLASSES_ROOT\\CLSID\\", L"HKEY_CLASSES_ROOT\\TypeLib\\", L"HKEY_CLASSES_ROOT\\Interface\\"})
    {
        HeadlessScan run;
        run.Only({1});
        DWORD dwTaken = StopAtStage(run, pszStage);
        EXPECT_LT(dwTaken, 1000u) << testing::PrintToString(std::wstring(pszStage));
        EXPECT_FALSE(run.scan.m_bCompleted);
        for (const CScanFeedItem& item : run.items)
            EXPECT_NE(item.nKind, FEED_CATEGORY_END);
        ASSERT_FALSE(run.items.empty());
        EXPECT_EQ(run.items.back().nKind, FEED_SCAN_END);
    }
    HeadlessScan again;
    again.Only({1});
    again.Run();
    EXPECT_TRUE(again.scan.m_bCompleted);
}

TEST(ScanStop, AStopBeforeTheStartRunsNoScanner)
{
    HeadlessScan run;
    run.Only({1});
    run.scan.Stop();
    run.Run();
    EXPECT_FALSE(run.scan.m_bCompleted);
    EXPECT_TRUE(run.sink.m_arrRows.empty());
    // The rows of the categories are there all the same.
    EXPECT_EQ(run.sink.m_arrCategories.size(), 15u);
}
