#include "EngineTestSupport.h"
#include "privacy/RegTraceRead.h"
#include "framework/WinThread.h"
#include "tests/support/TestSupport.h"
#include <gtest/gtest.h>
#include <map>

namespace {

void SetValue(HKEY hRoot, const std::wstring& strPath, const std::wstring& strName, const std::wstring& strText)
{
    HKEY hKey = NULL;
    ASSERT_EQ(::RegCreateKeyExW(hRoot, strPath.c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL, &hKey, NULL), ERROR_SUCCESS);
    ::RegSetValueExW(hKey, strName.c_str(), 0, REG_SZ, (const BYTE*)strText.c_str(),
                     (DWORD)((strText.size() + 1) * sizeof(wchar_t)));
    ::RegCloseKey(hKey);
}

bool KeyExists(HKEY hRoot, const std::wstring& strPath)
{
    HKEY hKey = NULL;
    if (::RegOpenKeyExW(hRoot, strPath.c_str(), 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return false;
    ::RegCloseKey(hKey);
    return true;
}

EvidenceTrace RegistryTrace(HKEY hRoot, const std::wstring& strPath, LPCWSTR pszName)
{
    EvidenceTrace trace;
    EXPECT_TRUE(FillEvidenceTrace(trace, hRoot, strPath.c_str(), pszName, 0));
    return trace;
}

// "key|value" lines of `reg query KEY /s` (hive spelled out, "(Default)" as "").
bool RegQueryLines(const std::wstring& strKey, std::set<std::string>& lines, int& nExit)
{
    std::wstring strFile = HostOutputFile();
    std::string strOut = UnixPathOf(strFile);
    nExit = testsupport::RunHostCommand("command -v wine64");
    if (nExit != 0)
        return false;
    nExit = testsupport::RunHostCommand("wine64 reg query \"HKCU\\" + Narrow(strKey) + "\" /s > '" + strOut + "' 2>/dev/null",
                                        120000);
    std::string strText = testsupport::ReadFileBytes(strFile);
    ::DeleteFileW(strFile.c_str());
    std::string strCurrentKey;
    lines.clear();
    size_t nStart = 0;
    while (nStart < strText.size())
    {
        size_t nEnd = strText.find('\n', nStart);
        if (nEnd == std::string::npos)
            nEnd = strText.size();
        std::string strLine = strText.substr(nStart, nEnd - nStart);
        nStart = nEnd + 1;
        if (!strLine.empty() && strLine.back() == '\r')
            strLine.pop_back();
        if (strLine.compare(0, 5, "HKEY_") == 0)
            strCurrentKey = strLine;
        else if (strLine.compare(0, 4, "    ") == 0)
        {
            size_t nType = strLine.find("    REG_");
            if (nType == std::string::npos)
                continue;
            std::string strName = strLine.substr(4, nType - 4);
            if (strName == "(Default)")
                strName.clear();
            lines.insert(strCurrentKey + "|" + strName);
        }
    }
    return true;
}

} // namespace

// A whole key lists its deepest values first, matches Wine's reg tool, and its
// clean takes the key with everything below it and nothing beside it.
TEST(RegistryTrace, WholeKeyListedDeepestFirstThenDeletedAlone)
{
    testsupport::ScratchRegKey scratch;
    const std::wstring strTrace = scratch.Path() + L"\\Trace";
    SetValue(HKEY_CURRENT_USER, strTrace, L"a", L"1");
    SetValue(HKEY_CURRENT_USER, strTrace, L"b", L"2");
    SetValue(HKEY_CURRENT_USER, strTrace + L"\\Sub1", L"x", L"3");
    SetValue(HKEY_CURRENT_USER, strTrace + L"\\Sub1\\Deep", L"", L"default");
    SetValue(HKEY_CURRENT_USER, strTrace + L"\\Sub1\\Deep", L"y", L"4");
    HKEY hEmpty = NULL;
    ::RegCreateKeyExW(HKEY_CURRENT_USER, (strTrace + L"\\Sub2").c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL, &hEmpty, NULL);
    ::RegCloseKey(hEmpty);
    SetValue(HKEY_CURRENT_USER, scratch.Path() + L"\\Sibling", L"s", L"5");
    SetValue(HKEY_CURRENT_USER, scratch.Path() + L"\\TracePrefix", L"p", L"6");

    EvidenceTrace trace = RegistryTrace(HKEY_CURRENT_USER, strTrace, EVIDENCE_WHOLE_KEY);
    CRecordingSink sink;
    EXPECT_EQ(ListEvidenceTrace(NULL, trace, sink), 5);
    const std::wstring strLocation = L"HKEY_CURRENT_USER\\" + strTrace;
    std::vector<std::wstring> expected = {strLocation + L"\\Sub1\\Deep|", strLocation + L"\\Sub1\\Deep|y",
                                          strLocation + L"\\Sub1|x", strLocation + L"|a", strLocation + L"|b"};
    EXPECT_EQ(sink.Lines(), expected);
    for (const EvidenceRow& row : sink.m_rows)
        EXPECT_EQ(row.nKind, EVIDENCE_ROW_REGISTRY);

    std::set<std::string> peer;
    int nExit = 0;
    if (!RegQueryLines(strTrace, peer, nExit))
        TAMSEL_PEER_MISSING("wine64 is missing on the host");
    std::set<std::string> ours;
    for (const std::wstring& strLine : sink.Lines())
        ours.insert(Narrow(strLine));
    EXPECT_EQ(ours, peer);

    CCountingReport report;
    CleanEvidenceTrace(trace, &report);
    EXPECT_EQ(report.m_nDeleted, 5);
    EXPECT_EQ(report.m_nUndeleted, 0);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, strTrace));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, scratch.Path() + L"\\Sibling"));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, scratch.Path() + L"\\TracePrefix"));
    RegQueryLines(strTrace, peer, nExit);
    EXPECT_NE(nExit, 0) << "reg query still finds the key";
    RegQueryLines(scratch.Path() + L"\\Sibling", peer, nExit);
    EXPECT_EQ(peer, std::set<std::string>({"HKEY_CURRENT_USER\\" + Narrow(scratch.Path()) + "\\Sibling|s"}));
}

// A key with no value at all still counts as one deleted entry.
TEST(RegistryTrace, AnEmptyKeyCountsOnce)
{
    testsupport::ScratchRegKey scratch;
    const std::wstring strTrace = scratch.Path() + L"\\Empty";
    HKEY hKey = NULL;
    ::RegCreateKeyExW(HKEY_CURRENT_USER, strTrace.c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL, &hKey, NULL);
    ::RegCloseKey(hKey);
    CCountingReport report;
    CleanEvidenceTrace(RegistryTrace(HKEY_CURRENT_USER, strTrace, EVIDENCE_WHOLE_KEY), &report);
    EXPECT_EQ(report.m_nDeleted, 1);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, strTrace));
}

// A whole-key delete refuses short or empty paths and any root but the
// predefined keys; the look-alike of three parts goes.
TEST(RegistryTrace, WholeKeyDeleteRefusesShortPathsAndUnknownRoots)
{
    testsupport::ScratchRegKey scratch;
    SetValue(HKEY_CURRENT_USER, scratch.Path() + L"\\A\\B\\C", L"v", L"1");
    CCountingReport report;
    for (const std::wstring& strPath : {std::wstring(L""), std::wstring(L"Software"), std::wstring(L"Software\\TamselTest"),
                                        scratch.Path() + L"\\", L"\\" + scratch.Path()})
        CleanEvidenceTrace(RegistryTrace(HKEY_CURRENT_USER, strPath, EVIDENCE_WHOLE_KEY), &report);
    // The scratch key opened as a root: a real key, but no predefined one.
    CleanEvidenceTrace(RegistryTrace(scratch.Key(), L"A\\B\\C", EVIDENCE_WHOLE_KEY), &report);
    CleanEvidenceTrace(RegistryTrace(scratch.Key(), L"A\\B\\C", L"v"), &report);
    CRecordingSink sink;
    EXPECT_EQ(ListEvidenceTrace(NULL, RegistryTrace(scratch.Key(), L"A\\B\\C", EVIDENCE_WHOLE_KEY), sink), 0);
    EXPECT_EQ(report.m_nDeleted + report.m_nUndeleted, 0);
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, scratch.Path() + L"\\A\\B\\C"));
    CEvidenceTraceList list;
    EXPECT_FALSE(list.AddRegistry(scratch.Key(), L"A\\B\\C", EVIDENCE_WHOLE_KEY));

    CleanEvidenceTrace(RegistryTrace(HKEY_CURRENT_USER, scratch.Path() + L"\\A", EVIDENCE_WHOLE_KEY), &report);
    EXPECT_EQ(report.m_nDeleted, 1);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, scratch.Path() + L"\\A"));
}

// A named value: listed and deleted when it is there, nothing when it is not.
TEST(RegistryTrace, NamedValueListedAndDeleted)
{
    testsupport::ScratchRegKey scratch;
    SetValue(HKEY_CURRENT_USER, scratch.Path(), L"lastkey", L"HKEY_CURRENT_USER\\Software");
    SetValue(HKEY_CURRENT_USER, scratch.Path(), L"lastkey2", L"keep");
    EvidenceTrace trace = RegistryTrace(HKEY_CURRENT_USER, scratch.Path(), L"lastkey");
    CRecordingSink sink;
    EXPECT_EQ(ListEvidenceTrace(NULL, trace, sink), 1);
    EXPECT_EQ(sink.Lines(), std::vector<std::wstring>({L"HKEY_CURRENT_USER\\" + scratch.Path() + L"|lastkey"}));
    CCountingReport report;
    CleanEvidenceTrace(trace, &report);
    CleanEvidenceTrace(trace, &report);
    EXPECT_EQ(report.m_nDeleted, 1);
    EXPECT_EQ(report.m_nUndeleted, 0);
    CRecordingSink after;
    EXPECT_EQ(ListEvidenceTrace(NULL, trace, after), 0);
    EXPECT_EQ(ListEvidenceTrace(NULL, RegistryTrace(HKEY_CURRENT_USER, scratch.Path(), L"lastkey2"), after), 1);
}

// Listing polls the stop between values: a stop after the first row ends it.
TEST(RegistryTrace, ListingStopsWhenAsked)
{
    testsupport::ScratchRegKey scratch;
    for (int i = 0; i < 20; ++i)
        SetValue(HKEY_CURRENT_USER, scratch.Path() + L"\\T\\K" + std::to_wstring(i), L"v", L"1");
    CRecordingSink sink;
    sink.m_nStopAfter = 1;
    ListEvidenceTrace(NULL, RegistryTrace(HKEY_CURRENT_USER, scratch.Path() + L"\\T", EVIDENCE_WHOLE_KEY), sink);
    EXPECT_EQ(sink.m_rows.size(), 1u);
}

// Under Wine this key's enumeration answers error 6 for ever: the listing
// must still end.
TEST(RegistryTrace, AnEnumerationThatFailsEnds)
{
    struct Run
    {
        static UINT __cdecl ThreadProc(LPVOID pParam)
        {
            CRecordingSink sink;
            EvidenceTrace trace;
            FillEvidenceTrace(trace, HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Perflib\\009",
                              EVIDENCE_WHOLE_KEY, 0);
            *(int*)pParam = ListEvidenceTrace(NULL, trace, sink);
            return 0;
        }
    };
    int nRows = -1;
    HANDLE hThread = AfxBeginWorker(Run::ThreadProc, &nRows);
    ASSERT_NE(hThread, (HANDLE)NULL);
    DWORD dwWait = ::WaitForSingleObject(hThread, 30000);
    if (dwWait != WAIT_OBJECT_0)
        ::TerminateThread(hThread, 1);
    ::CloseHandle(hThread);
    EXPECT_EQ(dwWait, (DWORD)WAIT_OBJECT_0);
}

// The registry reads of the cases: text types only, terminated, bounded;
// empty counts as missing.
TEST(RegTraceRead, OnlyTextsAndNotEmptyOnes)
{
    testsupport::ScratchRegKey scratch;
    HKEY hKey = scratch.Key();
    auto set = [&](LPCWSTR pszName, DWORD dwType, const void* pData, DWORD nBytes) {
        ::RegSetValueExW(hKey, pszName, 0, dwType, (const BYTE*)pData, nBytes);
    };
    set(L"sz", REG_SZ, L"C:\\Data", 16);
    // Stored without its terminator.
    set(L"open", REG_SZ, L"C:\\Open", 14);
    set(L"empty", REG_SZ, L"", 2);
    DWORD dwNumber = 0x003A0043;  // reads as "C:" if taken for text
    set(L"dword", REG_DWORD, &dwNumber, 4);
    set(L"binary", REG_BINARY, L"C:\\Bin", 14);
    set(L"multi", REG_MULTI_SZ, L"C:\\One\0C:\\Two\0", 30);
    ::SetEnvironmentVariableW(L"TAMSEL_ENGINE_TEST", L"C:\\Expanded");
    set(L"expand", REG_EXPAND_SZ, L"%TAMSEL_ENGINE_TEST%\\x", 46);
    std::wstring strLong(2000, L'a');
    set(L"long", REG_SZ, strLong.c_str(), (DWORD)((strLong.size() + 1) * 2));

    CString strText;
    const std::wstring& strPath = scratch.Path();
    EXPECT_TRUE(ReadRegString(HKEY_CURRENT_USER, strPath.c_str(), L"sz", strText));
    EXPECT_STREQ(strText, L"C:\\Data");
    EXPECT_TRUE(RegReadValue(HKEY_CURRENT_USER, strPath.c_str(), L"open", strText));
    EXPECT_STREQ(strText, L"C:\\Open");
    EXPECT_TRUE(ReadRegString(HKEY_CURRENT_USER, strPath.c_str(), L"expand", strText));
    EXPECT_STREQ(strText, L"C:\\Expanded\\x");
    for (LPCWSTR pszName : {L"empty", L"dword", L"binary", L"multi", L"long", L"missing"})
    {
        EXPECT_FALSE(ReadRegString(HKEY_CURRENT_USER, strPath.c_str(), pszName, strText)) << Narrow(pszName);
        EXPECT_TRUE(strText.IsEmpty());
    }
    EXPECT_FALSE(ReadRegString(HKEY_CURRENT_USER, (strPath + L"\\Missing").c_str(), L"sz", strText));
    EXPECT_TRUE(ReadRegFirstString(HKEY_CURRENT_USER, strPath.c_str(), L"multi", strText));
    EXPECT_STREQ(strText, L"C:\\One");
    ::SetEnvironmentVariableW(L"TAMSEL_ENGINE_TEST", NULL);
}

// A read-only key still reads: the cases ask for read access only.
TEST(RegTraceRead, AReadOnlyKeyReads)
{
    testsupport::ScratchRegKey scratch;
    SetValue(HKEY_CURRENT_USER, scratch.Path() + L"\\RO", L"MainDir", L"C:\\Yahoo");
    HKEY hKey = NULL;
    ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, (scratch.Path() + L"\\RO").c_str(), 0, KEY_ALL_ACCESS, &hKey), ERROR_SUCCESS);
    PSECURITY_DESCRIPTOR pDescriptor = NULL;
    typedef BOOL(WINAPI * CONVERT)(LPCWSTR, DWORD, PSECURITY_DESCRIPTOR*, PULONG);
    CONVERT pfnConvert = (CONVERT)::GetProcAddress(::GetModuleHandleW(L"advapi32.dll"),
                                                   "ConvertStringSecurityDescriptorToSecurityDescriptorW");
    ASSERT_NE(pfnConvert, (CONVERT)NULL);
    ASSERT_TRUE(pfnConvert(L"D:P(A;;KR;;;WD)", 1, &pDescriptor, NULL));
    EXPECT_EQ(::RegSetKeySecurity(hKey, DACL_SECURITY_INFORMATION, pDescriptor), ERROR_SUCCESS);
    ::LocalFree(pDescriptor);
    ::RegCloseKey(hKey);
    CString strText;
    EXPECT_TRUE(ReadRegString(HKEY_CURRENT_USER, (scratch.Path() + L"\\RO").c_str(), L"MainDir", strText));
    EXPECT_STREQ(strText, L"C:\\Yahoo");
}

namespace {

// Makes a key read-only for everyone (Wine enforces a key's access list).
bool MakeReadOnly(HKEY hRoot, const std::wstring& strPath, LPCWSTR pszDescriptor = L"D:P(A;;KR;;;WD)")
{
    return testsupport::SetKeyAccess(hRoot, strPath, pszDescriptor);
}

} // namespace

// A subkey that may not be deleted ends the clean of its key: what went is
// counted deleted, the rest one undeleted entry, and the key stays. A value
// in a key that may not be changed is undeleted too.
TEST(RegistryTrace, AnUndeletableSubkeyIsCountedNotHidden)
{
    testsupport::ScratchRegKey scratch;
    const std::wstring strTrace = scratch.Path() + L"\\Trace";
    SetValue(HKEY_CURRENT_USER, strTrace + L"\\A", L"a", L"1");
    SetValue(HKEY_CURRENT_USER, strTrace + L"\\B", L"b", L"2");
    SetValue(HKEY_CURRENT_USER, strTrace, L"t", L"3");
    ASSERT_TRUE(MakeReadOnly(HKEY_CURRENT_USER, strTrace + L"\\B"));
    HKEY hProbe = NULL;
    LONG nProbe = ::RegOpenKeyExW(HKEY_CURRENT_USER, (strTrace + L"\\B").c_str(), 0, KEY_SET_VALUE | DELETE, &hProbe);
    if (nProbe == ERROR_SUCCESS)
        ::RegCloseKey(hProbe);
    ASSERT_NE(nProbe, ERROR_SUCCESS) << "this registry does not enforce the access list";
    CCountingReport report;
    CleanEvidenceTrace(RegistryTrace(HKEY_CURRENT_USER, strTrace, EVIDENCE_WHOLE_KEY), &report);
    EXPECT_EQ(report.m_nDeleted, 1);  // A's value
    EXPECT_EQ(report.m_nUndeleted, 1);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, strTrace + L"\\A"));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, strTrace + L"\\B"));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, strTrace));

    CCountingReport valueReport;
    CleanEvidenceTrace(RegistryTrace(HKEY_CURRENT_USER, strTrace + L"\\B", L"b"), &valueReport);
    CleanEvidenceTrace(RegistryTrace(HKEY_CURRENT_USER, strTrace + L"\\B", L"missing"), &valueReport);
    EXPECT_EQ(valueReport.m_nDeleted, 0);
    EXPECT_EQ(valueReport.m_nUndeleted, 1);
    // Opened up again so the scratch key can go.
    MakeReadOnly(HKEY_CURRENT_USER, strTrace + L"\\B", L"D:P(A;;KA;;;WD)");
}
