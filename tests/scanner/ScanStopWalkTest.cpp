// A stop reaches the loops below the scanners: the enumeration of a key, the
// look-ups of one long command line and the recording of what a cut-short
// check found; and a walk stopped in a key visits nothing after it.
#include "tests/scanner/ScanTestSupport.h"
#include "scanner/ClassKeyLists.h"
#include "scanner/CommandLine.h"
#include "scanner/KeyReader.h"
#include "scanner/ProblemRecorder.h"
#include "scanner/ScanStop.h"
#include <shlwapi.h>

using namespace scantest;

namespace {

const int kNames = 300;

// HKEY_CURRENT_USER\Software\TamselScanStop<tag> with kNames subkeys and
// kNames values; removed at the end.
class BigKey
{
public:
    BigKey() : m_strPath(L"Software\\TamselScanStop" + NewGuid().substr(1, 8))
    {
        HKEY hKey = NULL;
        if (::RegCreateKeyExW(HKEY_CURRENT_USER, m_strPath.c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL, &hKey, NULL) !=
            ERROR_SUCCESS)
            return;
        for (int i = 0; i < kNames; i++)
        {
            wchar_t szName[32];
            wsprintfW(szName, L"Entry%04d", i);
            HKEY hChild = NULL;
            if (::RegCreateKeyExW(hKey, szName, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &hChild, NULL) == ERROR_SUCCESS)
                ::RegCloseKey(hChild);
            ::RegSetValueExW(hKey, szName, 0, REG_SZ, (const BYTE*)L"x", 4);
        }
        ::RegCloseKey(hKey);
        m_bMade = true;
    }
    ~BigKey() { ::SHDeleteKeyW(HKEY_CURRENT_USER, m_strPath.c_str()); }
    const std::wstring& Path() const { return m_strPath; }
    bool Made() const { return m_bMade; }

private:
    std::wstring m_strPath;
    bool m_bMade = false;
};

} // namespace

TEST(ScanStopWalk, EnumerationsEndAtTheStopOfTheThreadsScan)
{
    BigKey big;
    ASSERT_TRUE(big.Made());
    CKeyReader key;
    ASSERT_EQ(key.Open(HKEY_CURRENT_USER, big.Path().c_str()), ERROR_SUCCESS);

    CScanContext scan;
    CScanStopScope scope(scan);
    CStringArray arrKeys, arrValues;
    EXPECT_EQ(key.GetSubKeyNames(arrKeys), ERROR_SUCCESS);
    EXPECT_EQ(key.GetValueNames(arrValues), ERROR_SUCCESS);
    EXPECT_EQ(arrKeys.GetSize(), kNames);
    EXPECT_EQ(arrValues.GetSize(), kNames);

    // Another scan's stop is not this thread's.
    CScanContext other;
    other.Stop();
    arrKeys.RemoveAll();
    EXPECT_EQ(key.GetSubKeyNames(arrKeys), ERROR_SUCCESS);
    EXPECT_EQ(arrKeys.GetSize(), kNames);

    scan.Stop();
    arrKeys.RemoveAll();
    arrValues.RemoveAll();
    EXPECT_EQ(key.GetSubKeyNames(arrKeys), ERROR_CANCELLED);
    EXPECT_EQ(key.GetSubKeyNames(arrKeys, 10), ERROR_CANCELLED);
    EXPECT_EQ(key.GetValueNames(arrValues), ERROR_CANCELLED);
    EXPECT_EQ(arrKeys.GetSize(), 0);
    EXPECT_EQ(arrValues.GetSize(), 0);
    // A list read after the stop is not taken for a whole one.
    CClassKeyList list;
    EXPECT_FALSE(list.FillFromKey(HKEY_CURRENT_USER, big.Path().c_str()));
    EXPECT_FALSE(list.IsUsable());
}

TEST(ScanStopWalk, ScopesNestAndEnd)
{
    BigKey big;
    ASSERT_TRUE(big.Made());
    CKeyReader key;
    ASSERT_EQ(key.Open(HKEY_CURRENT_USER, big.Path().c_str()), ERROR_SUCCESS);
    CScanContext outer, inner;
    outer.Stop();
    CStringArray arrNames;
    {
        CScanStopScope outerScope(outer);
        {
            CScanStopScope innerScope(inner);
            EXPECT_FALSE(IsThreadScanStopped());
        }
        EXPECT_TRUE(IsThreadScanStopped());
    }
    EXPECT_FALSE(IsThreadScanStopped());
    // Outside any scan every name is read.
    EXPECT_EQ(key.GetSubKeyNames(arrNames), ERROR_SUCCESS);
    EXPECT_EQ(arrNames.GetSize(), kNames);
}

// Every blank of an unquoted command starts a candidate with look-ups of its
// own; after a stop the text is left untested instead of being read through.
TEST(ScanStopWalk, ALongCommandIsLeftUntestedAfterTheStop)
{
    CString strCommand = L"C:\\TamselNoSuchFolder\\tool";
    for (int i = 0; i < 500; i++)
        strCommand += L" word";
    CPathTest pathTest;
    CScanContext scan;
    CScanStopScope scope(scan);
    CCommandProgram whole = FindCommandProgram(strCommand, pathTest);
    EXPECT_TRUE(whole.bTestable);
    EXPECT_FALSE(whole.bExists);

    scan.Stop();
    CCommandProgram stopped = FindCommandProgram(strCommand, pathTest);
    EXPECT_FALSE(stopped.bTestable);
    // A missing bare name is not called missing either: the search gives up.
    EXPECT_TRUE(pathTest.FindInSearchPath(L"TamselNoSuchProgram.exe"));
}

TEST(ScanStopWalk, NothingIsRecordedAfterTheStop)
{
    HeadlessScan run;
    CFoundProblem found;
    found.hRoot = HKEY_CURRENT_USER;
    found.strKey = L"Software";
    found.bValue = TRUE;
    found.strValueName = L"TamselNoSuchValue";
    EXPECT_TRUE(RecordProblem(run.scan, 11, found));
    run.scan.Stop();
    EXPECT_FALSE(RecordProblem(run.scan, 11, found));
    EXPECT_EQ(run.scan.ProblemList(11).GetSize(), 1);
    EXPECT_EQ(run.scan.m_nNextProblem, 2);
    Deliver(run.scan.m_feed, run.sink);
    EXPECT_EQ(run.sink.m_arrRows.size(), 1u);
}

namespace {

// HKEY_USERS of this process redirected to a scratch key holding one hive of
// kNames empty keys, so that the empty-key walk sees nothing else.
class ScratchUsers
{
public:
    ScratchUsers() : m_strPath(L"Software\\TamselScanStopUsers" + NewGuid().substr(1, 8))
    {
        if (::RegCreateKeyExW(HKEY_CURRENT_USER, m_strPath.c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL, &m_hKey, NULL) !=
            ERROR_SUCCESS)
            return;
        HKEY hHive = NULL;
        if (::RegCreateKeyExW(m_hKey, L"S-1-5-21-Tamsel", 0, NULL, 0, KEY_ALL_ACCESS, NULL, &hHive, NULL) != ERROR_SUCCESS)
            return;
        for (int i = 0; i < kNames; i++)
        {
            wchar_t szName[32];
            wsprintfW(szName, L"Empty%04d", i);
            HKEY hChild = NULL;
            if (::RegCreateKeyExW(hHive, szName, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &hChild, NULL) == ERROR_SUCCESS)
                ::RegCloseKey(hChild);
        }
        ::RegCloseKey(hHive);
        m_bOverridden = ::RegOverridePredefKey(HKEY_USERS, m_hKey) == ERROR_SUCCESS;
    }
    ~ScratchUsers()
    {
        if (m_bOverridden)
            ::RegOverridePredefKey(HKEY_USERS, NULL);
        if (m_hKey != NULL)
            ::RegCloseKey(m_hKey);
        ::SHDeleteKeyW(HKEY_CURRENT_USER, m_strPath.c_str());
    }
    bool Ready() const { return m_bOverridden; }
    // How many of the empty keys are still there.
    int Remaining() const
    {
        CKeyReader hive;
        if (hive.Open(HKEY_CURRENT_USER, (m_strPath + L"\\S-1-5-21-Tamsel").c_str()) != ERROR_SUCCESS)
            return -1;
        DWORD nKeys = 0;
        hive.GetCounts(&nKeys, NULL);
        return (int)nKeys;
    }

private:
    std::wstring m_strPath;
    HKEY m_hKey = NULL;
    bool m_bOverridden = false;
};

} // namespace

// Stopped while it shows the fifth key of a large key, the walk shows and
// records no key after it; unstopped, it finds every one.
TEST(ScanStopWalk, AStoppedWalkVisitsNoFurtherKey)
{
    ScratchUsers users;
    ASSERT_TRUE(users.Ready());
    {
        HeadlessScan whole;
        whole.Only({15});
        whole.Run();
        EXPECT_TRUE(whole.scan.m_bCompleted);
        EXPECT_EQ(whole.sink.m_arrRows.size(), (size_t)kNames);
    }
    HeadlessScan run;
    run.Only({15});
    int nShown = 0, nShownAfterStop = 0;
    run.scan.m_fnItemShown = [&](const CString& strItem) {
        if (strItem.Find(L"\\Empty") < 0)
            return;
        if (run.scan.IsStopped())
            nShownAfterStop++;
        else if (++nShown == 5)
            run.scan.Stop();
    };
    run.Run();
    EXPECT_FALSE(run.scan.m_bCompleted);
    EXPECT_EQ(nShown, 5);
    EXPECT_EQ(nShownAfterStop, 0);
    // The four before the stop, none after it.
    EXPECT_EQ(run.sink.m_arrRows.size(), 4u);
    EXPECT_EQ(users.Remaining(), kNames);
    for (const CScanFeedItem& item : run.items)
        EXPECT_NE(item.nKind, FEED_CATEGORY_END);
}
