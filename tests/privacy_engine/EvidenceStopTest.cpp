// A stopped evidence clean leaves what it has not reached: the files, folders,
// traces and values after the stop are all still there.
#include "EngineTestSupport.h"
#include "EvidenceTestEnvironment.h"
#include "privacy/EvidenceItem.h"
#include "tests/support/TestSupport.h"
#include <gtest/gtest.h>

namespace {

// Counts as the page's report does and asks to stop once nStopAfter entries
// have been reported (0: from the start).
class CStoppingReport : public CCountingReport
{
public:
    explicit CStoppingReport(int nStopAfter) : m_nStopAfter(nStopAfter) {}
    BOOL IsStopRequested() override
    {
        ++m_nPolls;
        return m_nDeleted + m_nUndeleted >= m_nStopAfter;
    }
    int m_nStopAfter;
    int m_nPolls = 0;
};

EvidenceTrace EveryFileTrace(const std::wstring& strFolder)
{
    EvidenceTrace trace;
    EXPECT_TRUE(FillEvidenceTrace(trace, NULL, strFolder.c_str(), L"*.*", EVIDENCE_MODE_EVERY_FILE));
    return trace;
}

// trace\d1 .. d3 with ten files each, nothing else in trace\.
std::wstring PlantTree(const testsupport::ScratchFolder& scratch)
{
    std::wstring strRoot = scratch.Path() + L"trace\\";
    for (int nFolder = 1; nFolder <= 3; nFolder++)
        for (int nFile = 0; nFile < 10; nFile++)
            PlantFile(strRoot + L"d" + std::to_wstring(nFolder) + L"\\f" + std::to_wstring(nFile) + L".txt");
    return strRoot;
}

int CountFiles(const std::wstring& strRoot)
{
    int nFiles = 0;
    for (int nFolder = 1; nFolder <= 3; nFolder++)
        for (int nFile = 0; nFile < 10; nFile++)
            if (FileExists(strRoot + L"d" + std::to_wstring(nFolder) + L"\\f" + std::to_wstring(nFile) + L".txt"))
                nFiles++;
    return nFiles;
}

int CountFolders(const std::wstring& strRoot)
{
    int nFolders = 0;
    for (int nFolder = 1; nFolder <= 3; nFolder++)
        if (FolderExists(strRoot + L"d" + std::to_wstring(nFolder)))
            nFolders++;
    return nFolders;
}

} // namespace

// Stopped before it starts, a clean of every file deletes nothing and removes
// no folder; stopped after ten files, the other twenty and every folder stay
// (the one it emptied too); unstopped, the whole tree goes.
TEST(EvidenceStop, AFolderCleanEndsAtTheStopAndLeavesTheRestOfTheTree)
{
    CTestEvidenceEnvironment environment;
    testsupport::ScratchFolder scratch;
    std::wstring strRoot = PlantTree(scratch);
    {
        CStoppingReport report(0);
        CleanEvidenceTrace(EveryFileTrace(strRoot), &report);
        EXPECT_EQ(report.m_nDeleted + report.m_nUndeleted, 0);
        EXPECT_EQ(CountFiles(strRoot), 30);
        EXPECT_EQ(CountFolders(strRoot), 3);
    }
    {
        CStoppingReport report(10);
        CleanEvidenceTrace(EveryFileTrace(strRoot), &report);
        EXPECT_EQ(report.m_nDeleted, 10);
        EXPECT_EQ(report.m_nUndeleted, 0);
        EXPECT_GE(report.m_nPolls, 10) << "asked per entry";
        EXPECT_EQ(CountFiles(strRoot), 20);
        EXPECT_EQ(CountFolders(strRoot), 3) << "no folder is removed past the stop";
        EXPECT_TRUE(FolderExists(strRoot));
    }
    CCountingReport report;
    CleanEvidenceTrace(EveryFileTrace(strRoot), &report);
    EXPECT_EQ(report.m_nDeleted, 20);
    EXPECT_EQ(CountFiles(strRoot), 0);
    EXPECT_EQ(CountFolders(strRoot), 0);
}

// An item's traces are cleaned in order and the stop is seen between them:
// stopped after its first (a value), the value beside it and its folder
// trace are untouched.
TEST(EvidenceStop, AnItemStoppedAfterOneTraceLeavesTheLaterTraces)
{
    CTestEvidenceEnvironment environment;
    testsupport::ScratchFolder scratch;
    testsupport::ScratchRegKey key;
    std::wstring strRoot = PlantTree(scratch);
    HKEY hKey = NULL;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, key.Path().c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL, &hKey, NULL),
              ERROR_SUCCESS);
    for (LPCWSTR pszName : {L"first", L"second"})
        ::RegSetValueExW(hKey, pszName, 0, REG_SZ, (const BYTE*)L"x", 4);
    ::RegCloseKey(hKey);
    auto valueExists = [&](LPCWSTR pszName) {
        HKEY hOpen = NULL;
        if (::RegOpenKeyExW(HKEY_CURRENT_USER, key.Path().c_str(), 0, KEY_READ, &hOpen) != ERROR_SUCCESS)
            return false;
        bool bExists = ::RegQueryValueExW(hOpen, pszName, NULL, NULL, NULL, NULL) == ERROR_SUCCESS;
        ::RegCloseKey(hOpen);
        return bExists;
    };

    CEvidenceItem item;
    ASSERT_TRUE(AddEvidenceTrace(&item, HKEY_CURRENT_USER, key.Path().c_str(), L"first", 0));
    ASSERT_TRUE(AddEvidenceTrace(&item, HKEY_CURRENT_USER, key.Path().c_str(), L"second", 0));
    ASSERT_TRUE(AddEvidenceTrace(&item, NULL, strRoot.c_str(), L"*.*", EVIDENCE_MODE_EVERY_FILE));
    {
        CStoppingReport report(1);
        CleanEvidenceItem(&item, &report);
        EXPECT_EQ(report.m_nDeleted, 1);
        EXPECT_FALSE(valueExists(L"first"));
        EXPECT_TRUE(valueExists(L"second"));
        EXPECT_EQ(CountFiles(strRoot), 30);
    }
    CCountingReport report;
    CleanEvidenceItem(&item, &report);
    EXPECT_EQ(report.m_nDeleted, 31);
    EXPECT_FALSE(valueExists(L"second"));
    EXPECT_EQ(CountFiles(strRoot), 0);
}
