// The stop flag of CRegFile: an export ends at the next key or value, a check
// at the next line, an import only at the next key line, so that no key is
// ever left half written.
#include "services/RegFile.h"
#include "tests/services_registry/RegTestUtil.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

using namespace regtest;
using testsupport::ScratchFolder;
using testsupport::ScratchRegKey;

namespace {

const std::wstring kHeader = L"Windows Registry Editor Version 5.00\r\n\r\n";

// Answers the stop flag's polls: stopped from poll nStopAt on (counted from 1).
class CStopAtPoll : public CRegFile
{
public:
    explicit CStopAtPoll(int nStopAt) : m_nStopAt(nStopAt) {}
    mutable int m_nPolls = 0;

protected:
    BOOL IsStopRequested() const override { return ++m_nPolls >= m_nStopAt; }

private:
    int m_nStopAt;
};

std::wstring KeyOf(const ScratchRegKey& scratch, const std::wstring& strSub)
{
    return L"HKEY_CURRENT_USER\\" + scratch.Path() + L"\\" + strSub;
}

// Three keys: One with three values, then Two and Three with one each.
std::wstring ThreeKeys(const ScratchRegKey& scratch)
{
    return kHeader + L"[" + KeyOf(scratch, L"One") + L"]\r\n\"a\"=\"1\"\r\n\"b\"=\"2\"\r\n\"c\"=dword:00000003\r\n\r\n" +
           L"[" + KeyOf(scratch, L"Two") + L"]\r\n\"a\"=\"1\"\r\n\r\n" + L"[" + KeyOf(scratch, L"Three") +
           L"]\r\n\"a\"=\"1\"\r\n";
}

int ValueCount(const ScratchRegKey& scratch, const std::wstring& strSub)
{
    HKEY hKey = NULL;
    if (::RegOpenKeyExW(scratch.Key(), strSub.c_str(), 0, KEY_QUERY_VALUE, &hKey) != ERROR_SUCCESS)
        return -1;
    DWORD dwValues = 0;
    ::RegQueryInfoKeyW(hKey, NULL, NULL, NULL, NULL, NULL, NULL, &dwValues, NULL, NULL, NULL, NULL);
    ::RegCloseKey(hKey);
    return (int)dwValues;
}

} // namespace

TEST(RegFileStop, ImportEndsOnlyBetweenTwoKeys)
{
    ScratchRegKey scratch;
    ScratchFolder folder;
    std::wstring strFile = folder.File(L"in.reg");
    ASSERT_TRUE(WriteRegText(strFile, ThreeKeys(scratch)));

    // Stopped at the second key line: the first key has every value, no
    // later key exists, and the values never polled.
    CStopAtPoll stopAtSecond(2);
    EXPECT_EQ((DWORD)ERROR_CANCELLED, stopAtSecond.ImportFile(strFile.c_str()));
    EXPECT_TRUE(stopAtSecond.WasStopped());
    EXPECT_EQ(2, stopAtSecond.m_nPolls);
    EXPECT_EQ(3, ValueCount(scratch, L"One"));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, scratch.Path() + L"\\Two"));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, scratch.Path() + L"\\Three"));
    ASSERT_EQ(ERROR_SUCCESS, ::RegDeleteKeyW(scratch.Key(), L"One"));

    // The flag set before the import: not even the first key is made.
    std::atomic<bool> bStop(true);
    CRegFile stopped;
    stopped.SetStopFlag(&bStop);
    EXPECT_EQ((DWORD)ERROR_CANCELLED, stopped.ImportFile(strFile.c_str()));
    EXPECT_TRUE(stopped.WasStopped());
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, scratch.Path() + L"\\One"));

    // Not set: the same object imports everything, and says it was not stopped.
    bStop = false;
    EXPECT_EQ((DWORD)ERROR_SUCCESS, stopped.ImportFile(strFile.c_str()));
    EXPECT_FALSE(stopped.WasStopped());
    EXPECT_EQ(3, ValueCount(scratch, L"One"));
    EXPECT_EQ(1, ValueCount(scratch, L"Two"));
    EXPECT_EQ(1, ValueCount(scratch, L"Three"));
}

TEST(RegFileStop, CheckEndsAtTheNextLineAndRefusesNothing)
{
    ScratchRegKey scratch;
    ScratchFolder folder;
    std::wstring strFile = folder.File(L"in.reg");
    // A deletion last: a check that reads to the end refuses its line.
    std::wstring strText = ThreeKeys(scratch) + L"\r\n[-" + KeyOf(scratch, L"Gone") + L"]\r\n";
    ASSERT_TRUE(WriteRegText(strFile, strText));
    std::atomic<bool> bStop(false);
    int nKeys = 0, nValues = 0;
    RegKeyRule rule = [&](const CString&) {
        ++nKeys;
        // Set while the first key line is judged.
        bStop = true;
        return (int)RegKeyWithValues;
    };
    RegValueSink sink = [&](const CString&, DWORD, const std::vector<BYTE>&) { ++nValues; };
    CRegFile check;
    check.SetStopFlag(&bStop);
    int nLine = -1;
    EXPECT_EQ((DWORD)ERROR_CANCELLED, check.CheckFile(strFile.c_str(), rule, sink, nLine));
    EXPECT_TRUE(check.WasStopped());
    EXPECT_EQ(1, nKeys);
    EXPECT_EQ(0, nValues);
    EXPECT_EQ(0, nLine);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, scratch.Path() + L"\\One"));

    // Without a stop it reads on to the deletion and names its line.
    bStop = false;
    RegKeyRule allow = [](const CString&) { return (int)RegKeyWithValues; };
    CRegFile full;
    full.SetStopFlag(&bStop);
    EXPECT_EQ((DWORD)ERROR_ACCESS_DENIED, full.CheckFile(strFile.c_str(), allow, sink, nLine));
    EXPECT_FALSE(full.WasStopped());
    EXPECT_EQ(14, nLine);
    EXPECT_EQ(5, nValues);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, scratch.Path() + L"\\One"));

    // A long value spread over continued lines: the check ends within it
    // (polls: the key line, the value line, then each continuation).
    std::wstring strLong = kHeader + L"[" + KeyOf(scratch, L"Long") + L"]\r\n\"bin\"=hex:00,01,\\\r\n  02,03,\\\r\n  04\r\n";
    ASSERT_TRUE(WriteRegText(strFile, strLong));
    nValues = 0;
    CStopAtPoll within(3);
    EXPECT_EQ((DWORD)ERROR_CANCELLED, within.CheckFile(strFile.c_str(), allow, sink, nLine));
    EXPECT_EQ(3, within.m_nPolls);
    EXPECT_EQ(0, nLine);
    EXPECT_EQ(0, nValues);
    CStopAtPoll never(1000);
    EXPECT_EQ((DWORD)ERROR_SUCCESS, never.CheckFile(strFile.c_str(), allow, sink, nLine));
    EXPECT_EQ(1, nValues);
}

TEST(RegFileStop, ExportEndsAtTheNextKeyOrValue)
{
    ScratchRegKey scratch;
    ScratchFolder folder;
    HKEY hTop = CreateKey(scratch.Key(), L"Top");
    ASSERT_NE((HKEY)NULL, hTop);
    SetText(hTop, L"a", L"1");
    SetText(hTop, L"b", L"2");
    ::RegCloseKey(CreateKey(hTop, L"Sub"));
    ::RegCloseKey(hTop);
    std::wstring strTop = L"HKEY_CURRENT_USER\\" + scratch.Path() + L"\\Top";

    // Polls: the key Top, its values a and b, then the key Sub.
    struct Case
    {
        int nStopAt;
        std::wstring strExpected;
    };
    const Case cases[] = {
        {1, kHeader},
        {3, kHeader + L"[" + strTop + L"]\r\n\"a\"=\"1\"\r\n"},
        {4, kHeader + L"[" + strTop + L"]\r\n\"a\"=\"1\"\r\n\"b\"=\"2\"\r\n\r\n"},
        {1000, kHeader + L"[" + strTop + L"]\r\n\"a\"=\"1\"\r\n\"b\"=\"2\"\r\n\r\n[" + strTop + L"\\Sub]\r\n\r\n"},
    };
    for (const Case& c : cases)
    {
        std::wstring strFile = folder.File(L"out.reg");
        HANDLE hFile = ::CreateFileW(strFile.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
        ASSERT_NE(INVALID_HANDLE_VALUE, hFile);
        CStopAtPoll regFile(c.nStopAt);
        BeginRegFile(regFile, hFile);
        DWORD dwResult = regFile.ExportKey(strTop.c_str());
        ::CloseHandle(hFile);
        bool bStopped = c.nStopAt < 1000;
        EXPECT_EQ(bStopped ? (DWORD)ERROR_CANCELLED : 0u, dwResult) << c.nStopAt;
        EXPECT_EQ(bStopped ? (DWORD)ERROR_CANCELLED : 0u, regFile.GetExportError()) << c.nStopAt;
        EXPECT_EQ(bStopped, regFile.WasStopped() != FALSE) << c.nStopAt;
        bool bBom = false;
        EXPECT_EQ(c.strExpected, ReadRegText(strFile, bBom)) << c.nStopAt;
    }
}

TEST(RegFileStop, LineOfAMessageIsNotReadOnceStopped)
{
    ScratchFolder folder;
    std::wstring strFile = folder.File(L"in.reg");
    ASSERT_TRUE(WriteRegText(strFile, kHeader + L"[HKEY_CURRENT_USER\\Software\\TamselNone]\r\n"));
    std::atomic<bool> bStop(false);
    EXPECT_STREQ(L"[HKEY_CURRENT_USER\\Software\\TamselNone]", ReadRegFileLine(strFile.c_str(), 3, &bStop));
    bStop = true;
    EXPECT_STREQ(L"", ReadRegFileLine(strFile.c_str(), 3, &bStop));
}
