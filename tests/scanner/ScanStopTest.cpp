#include "tests/scanner/ScanTestSupport.h"

using namespace scantest;

// A stop at each walk of category 1 ends the worker (a limit only a worker
// that ignores the stop misses), leaves the category unfinished and the scan
// not completed; a new scan then runs.
TEST(ScanStop, EachStageEnds)
{
    for (const wchar_t* pszStage :
         {L"HKEY_CLASSES_ROOT\\CLSID\\", L"HKEY_CLASSES_ROOT\\TypeLib\\", L"HKEY_CLASSES_ROOT\\Interface\\"})
    {
        HeadlessScan run;
        run.Only({1});
        DWORD dwTaken = run.StopAtItem(pszStage);
        EXPECT_LT(dwTaken, 10000u) << testing::PrintToString(std::wstring(pszStage));
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
