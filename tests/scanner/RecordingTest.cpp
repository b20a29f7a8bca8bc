#include "tests/scanner/ScanTestSupport.h"
#include "scanner/IgnoreMatcher.h"
#include "scanner/ProblemRecorder.h"
#include "app/TamselApp.h"
#include "scanner/ScanThread.h"

using namespace scantest;

namespace {
CIgnoreMatcher ListOf(std::initializer_list<LPCWSTR> entries)
{
    CStringArray arr;
    for (LPCWSTR psz : entries)
        arr.Add(psz);
    CIgnoreMatcher list;
    list.Load(arr);
    return list;
}
}  // namespace

TEST(IgnoreList, MatchesWholeFieldsWithoutRegardToCaseInAnyCategory)
{
    CIgnoreMatcher list = ListOf({L"3;HKEY_LOCAL_MACHINE\\Software\\Foo|{Default}|"});
    // Category index 3 stored, any category asks: the index is not compared.
    EXPECT_TRUE(IsIgnored(list, HKEY_LOCAL_MACHINE, L"software\\FOO", L"", L""));
    // An unreadable value ("ERR") is the empty data.
    EXPECT_TRUE(IsIgnored(list, HKEY_LOCAL_MACHINE, L"Software\\Foo", L"", L"ERR"));
    // Look-alikes: another hive, another value, some data, a longer key.
    EXPECT_FALSE(IsIgnored(list, HKEY_CURRENT_USER, L"Software\\Foo", L"", L""));
    EXPECT_FALSE(IsIgnored(list, HKEY_LOCAL_MACHINE, L"Software\\Foo", L"Name", L""));
    EXPECT_FALSE(IsIgnored(list, HKEY_LOCAL_MACHINE, L"Software\\Foo", L"", L"x"));
    EXPECT_FALSE(IsIgnored(list, HKEY_LOCAL_MACHINE, L"Software\\Foo\\Bar", L"", L""));
    // "ERR" in another case is data like any other.
    EXPECT_FALSE(IsIgnored(list, HKEY_LOCAL_MACHINE, L"Software\\Foo", L"", L"err"));
}

TEST(IgnoreList, EntriesWithoutAnEarlySemicolonNeverMatch)
{
    CIgnoreMatcher list = ListOf({L"HKEY_USERS\\A|{Default}|", L"1234;HKEY_USERS\\B|{Default}|", L"12;HKEY_USERS\\C|{Default}|"});
    EXPECT_FALSE(IsIgnored(list, HKEY_USERS, L"A", L"", L""));
    EXPECT_FALSE(IsIgnored(list, HKEY_USERS, L"B", L"", L""));
    EXPECT_TRUE(IsIgnored(list, HKEY_USERS, L"C", L"", L""));
}

TEST(IgnoreList, BarsInsideFieldsAndLineEndsDoNotShiftTheFields)
{
    CIgnoreMatcher list = ListOf({L"0;HKEY_CLASSES_ROOT\\K|x|Value|a|b\r\n", L"7;C:\\Links\\Old.lnk|{Default}|\n"});
    // A "|" inside the key name: the whole text is compared.
    EXPECT_TRUE(IsIgnored(list, HKEY_CLASSES_ROOT, L"K|x", L"Value", L"a|b"));
    EXPECT_FALSE(IsIgnored(list, HKEY_CLASSES_ROOT, L"K|x", L"Value", L"a"));
    // A file problem has no hive; the entry came with a bare line feed.
    EXPECT_TRUE(IsIgnored(list, NULL, L"C:\\Links\\Old.lnk", L"", L""));
    EXPECT_FALSE(IsIgnored(list, NULL, L"C:\\Links\\Old.lnk\r", L"", L""));
}

TEST(RowText, BothFormatsWithRegistryTextsEscaped)
{
    CRegProblem problem;
    problem.m_strDescription = L"Invalid server command";
    problem.m_strKeyPath = L"HKEY_CLASSES_ROOT\\CLSID\\{X}\\InprocServer32";
    problem.m_strData = L"<b>C:\\A&B\\x.dll</b>";
    EXPECT_STREQ(BuildRowText(problem),
                 L"<font color=#ff0000><b>Invalid server command.</b></font><br><b>Key:</b> "
                 L"HKEY_CLASSES_ROOT\\CLSID\\{X}\\InprocServer32<br><b>Value:</b> {Default}="
                 L"&lt;b&gt;C:\\A&amp;B\\x.dll&lt;/b&gt;<br>");
    problem.m_strValueName = L"AppID";
    problem.m_strData = L"{1}";
    EXPECT_STREQ(BuildRowText(problem),
                 L"<font color=#ff0000><b>Invalid server command.</b></font><br><b>Key:</b> "
                 L"HKEY_CLASSES_ROOT\\CLSID\\{X}\\InprocServer32<br><b>Value:</b> AppID={1}<br>");
    EXPECT_STREQ(EscapeRowText(L"&lt;"), L"&amp;lt;");
}

// One problem through the recorder: the ignore test, the list, the row, the counters.
TEST(RecordProblem, ListsRowsAndCountersInStep)
{
    ClassesKeys keys;
    std::wstring strKey = L"CLSID\\" + NewGuid();
    ASSERT_TRUE(keys.Create(strKey));
    HeadlessScan run;
    run.Ignore(CString(L"0;HKEY_CLASSES_ROOT\\") + strKey.c_str() + L"|Ignored|");
    run.scan.m_ignoreList.Load(run.arrIgnore);
    CFoundProblem found;
    found.hRoot = HKEY_CLASSES_ROOT;
    found.strKey = strKey.c_str();
    found.bValue = TRUE;
    found.strDescription = L"Found";
    for (LPCWSTR pszName : {L"One", L"Ignored", L"Two"})
    {
        found.strValueName = pszName;
        RecordProblem(run.scan, 9, found);
    }
    found.strValueName = L"Other";
    RecordProblem(run.scan, 14, found);

    std::vector<CScanFeedItem> items = Deliver(run.scan.m_feed, run.sink);
    ASSERT_EQ(items.size(), 3u);
    ASSERT_EQ(run.sink.m_arrRows.size(), 3u);
    EXPECT_EQ(run.sink.m_nBatches, 1);
    CArray<CRegProblem>& list9 = run.arrProblems[CTamselApp::KeySlotOfCategory(9)];
    ASSERT_EQ(list9.GetSize(), 2);
    EXPECT_STREQ(list9[1].m_strValueName, L"Two");
    EXPECT_STREQ(list9[1].m_strKeyPath, (L"HKEY_CLASSES_ROOT\\" + strKey).c_str());
    EXPECT_EQ(run.arrProblems[CTamselApp::KeySlotOfCategory(14)].GetSize(), 1);
    // Item data: the index in the category's own list; state 0xD0; counters per category and in total.
    EXPECT_EQ(run.sink.m_arrRows[1].dwItemData, 1u);
    EXPECT_EQ(run.sink.m_arrRows[2].dwItemData, 0u);
    EXPECT_EQ(run.sink.m_arrRows[2].nCategory, 14);
    EXPECT_EQ(run.sink.m_arrRows[0].nState, 0xD0u);
    EXPECT_EQ(items[1].nNumber, 2);
    EXPECT_EQ(items[2].nNumber, 1);
    EXPECT_EQ(items[2].nTotal, 3);
    EXPECT_EQ(run.scan.m_nNextProblem, 4);
}

TEST(RecordProblem, AKeyTheRepairCannotChangeIsLeftOutAndNoted)
{
    ClassesKeys keys;
    std::wstring strKey = L"CLSID\\" + NewGuid();
    ASSERT_TRUE(keys.Create(strKey + L"\\Child"));
    ASSERT_TRUE(keys.MakeReadOnly(strKey));
    HeadlessScan run;
    CFoundProblem found;
    found.hRoot = HKEY_CLASSES_ROOT;
    found.strKey = strKey.c_str();
    found.bValue = TRUE;
    found.strValueName = L"AppID";
    EXPECT_FALSE(RecordProblem(run.scan, 1, found));
    found.bValue = FALSE;
    EXPECT_FALSE(RecordProblem(run.scan, 1, found));
    EXPECT_TRUE(run.scan.m_bUnwritableSkipped);
    // Its writable child is recorded.
    found.strKey = (strKey + L"\\Child").c_str();
    EXPECT_TRUE(RecordProblem(run.scan, 1, found));
    EXPECT_EQ(run.arrProblems[0].GetSize(), 1);
}

// The whole road without windows: the order the sink sees, the 15 category
// rows whatever was scanned, each category's start and end.
TEST(HeadlessScanOrder, ClearCategoriesRowsAndEnd)
{
    HeadlessScan run;
    run.Only({1, 13});
    run.arrProblems[3].Add(CRegProblem());  // an old scan's problem goes
    run.arrRepair[3].Add(CRegProblem());
    ClassesKeys keys;
    std::wstring strClass = L"CLSID\\" + NewGuid();
    ASSERT_TRUE(keys.SetString(strClass + L"\\InprocServer32", L"", L"C:\\nowhere\\tamsel_missing.dll"));
    run.Run();

    ASSERT_GE(run.sink.m_arrCalls.size(), 3u);
    EXPECT_EQ(run.sink.m_arrCalls[0], L"clear");
    EXPECT_EQ(run.sink.m_arrCalls[1], L"categories");
    EXPECT_EQ(run.sink.m_arrCalls[2], L"rows");
    ASSERT_EQ(run.sink.m_arrCategories.size(), 15u);
    EXPECT_EQ(run.sink.m_arrCategories[14], L"Category slot 14");
    EXPECT_EQ(run.arrProblems[3].GetSize(), 0);
    EXPECT_EQ(run.arrRepair[3].GetSize(), 0);
    ASSERT_FALSE(run.items.empty());
    EXPECT_EQ(run.items.back().nKind, FEED_SCAN_END);
    int nStarts = 0, nEnds = 0;
    for (const CScanFeedItem& item : run.items)
    {
        nStarts += item.nKind == FEED_CATEGORY_START;
        if (item.nKind == FEED_CATEGORY_END)
        {
            nEnds++;
            if (item.nCategory == 1)
            {
                EXPECT_EQ(item.nNumber, 1);  // problems found
            }
        }
    }
    EXPECT_EQ(nStarts, 2);
    EXPECT_EQ(nEnds, 2);
    // Drivers (13) runs before System Services, after Help Files: here right after 1.
    std::vector<int> arrOrder;
    for (const CScanFeedItem& item : run.items)
        if (item.nKind == FEED_CATEGORY_START)
            arrOrder.push_back(item.nCategory);
    EXPECT_EQ(arrOrder, (std::vector<int>{1, 13}));
    EXPECT_EQ(run.RowsWith(strClass).size(), 1u);
    EXPECT_EQ(run.scan.m_nNextProblem, (int)run.sink.m_arrRows.size() + 1);
    EXPECT_TRUE(run.scan.m_bCompleted);
}
