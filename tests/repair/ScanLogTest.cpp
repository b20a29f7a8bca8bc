// [ScanLog] of Settings.ini without windows: what the repair writes is what
// the report page reads, under the keys earlier versions stored.
#include "repair/ScanLog.h"
#include "tests/support/HostSupport.h"
#include "tests/support/TestSupport.h"
#include <gtest/gtest.h>
#include <string>

namespace {
std::wstring IniValue(const std::wstring& strFile, const wchar_t* pszSection, const wchar_t* pszKey)
{
    wchar_t szValue[256] = {};
    GetPrivateProfileStringW(pszSection, pszKey, L"<none>", szValue, 256, strFile.c_str());
    return szValue;
}

// Distinct counts per category, so a swapped or shifted key shows.
CScanLog FilledLog(const std::wstring& strFile, int nBase)
{
    CScanLog log(strFile.c_str());
    log.m_strLastScanTime = L"20231231235959";
    for (int i = 0; i < CScanLog::CATEGORY_COUNT; i++)
    {
        log.m_nErrors[i] = nBase + 2 * i + 1;
        log.m_nCleaned[i] = nBase + i;
    }
    return log;
}
} // namespace

TEST(ScanLog, WriteThenReadGivesEveryCountBackUnderTheStoredKeys)
{
    testsupport::ScratchFolder folder;
    const std::wstring strFile = folder.File(L"Settings.ini");
    WritePrivateProfileStringW(L"General", L"Language", L"English", strFile.c_str());
    ASSERT_TRUE(FilledLog(strFile, 10).Write());

    CScanLog log(strFile.c_str());
    log.Read(L"20000101000000");
    EXPECT_EQ(log.m_strLastScanTime, L"20231231235959");
    for (int i = 0; i < CScanLog::CATEGORY_COUNT; i++)
    {
        SCOPED_TRACE(i);
        EXPECT_EQ(log.m_nErrors[i], 10 + 2 * i + 1);
        EXPECT_EQ(log.m_nCleaned[i], 10 + i);
    }
    // The stored form: decimal text, keys numbered from 1.
    EXPECT_EQ(IniValue(strFile, L"ScanLog", L"LastScanTime"), L"20231231235959");
    EXPECT_EQ(IniValue(strFile, L"ScanLog", L"Error1"), L"11");
    EXPECT_EQ(IniValue(strFile, L"ScanLog", L"Error15"), L"39");
    EXPECT_EQ(IniValue(strFile, L"ScanLog", L"Cleaned1"), L"10");
    EXPECT_EQ(IniValue(strFile, L"ScanLog", L"Cleaned15"), L"24");
    EXPECT_EQ(IniValue(strFile, L"ScanLog", L"Error0"), L"<none>");
    EXPECT_EQ(IniValue(strFile, L"ScanLog", L"Cleaned16"), L"<none>");
    // Other sections are left as they were.
    EXPECT_EQ(IniValue(strFile, L"General", L"Language"), L"English");
}

TEST(ScanLog, MissingFileSectionOrKeysReadAsTheDefaultStampAndZeros)
{
    testsupport::ScratchFolder folder;
    struct Case
    {
        const char* pszName;
        const wchar_t* pszContent;  // NULL: no file at all
    };
    const Case cases[] = {
        { "no file", NULL },
        { "no section", L"[General]\r\nError1=7\r\nLastScanTime=20990101000000\r\n" },
        { "empty section", L"[ScanLog]\r\n[General]\r\nCleaned1=7\r\n" },
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        const std::wstring strFile = folder.File(L"Settings.ini");
        DeleteFileW(strFile.c_str());
        if (c.pszContent != NULL)
        {
            std::wstring strContent = c.pszContent;
            testsupport::WriteFileBytes(strFile, std::string(strContent.begin(), strContent.end()));
        }
        CScanLog log(strFile.c_str());
        log.m_nErrors[3] = 99;  // what was read before does not linger
        log.Read(L"20240102030405");
        EXPECT_EQ(log.m_strLastScanTime, L"20240102030405");
        for (int i = 0; i < CScanLog::CATEGORY_COUNT; i++)
        {
            EXPECT_EQ(log.m_nErrors[i], 0) << i;
            EXPECT_EQ(log.m_nCleaned[i], 0) << i;
        }
        // Reading writes nothing.
        EXPECT_EQ(IniValue(strFile, L"ScanLog", L"LastScanTime"), L"<none>");
    }

    // Some keys present: those count, the others are zero.
    const std::wstring strFile = folder.File(L"Partial.ini");
    testsupport::WriteFileBytes(strFile, "[ScanLog]\r\nError2=4\r\nCleaned2=3\r\nCleaned9=1\r\n");
    CScanLog log(strFile.c_str());
    log.Read(L"20240102030405");
    EXPECT_EQ(log.m_strLastScanTime, L"20240102030405");
    EXPECT_EQ(log.m_nErrors[1], 4);
    EXPECT_EQ(log.m_nCleaned[1], 3);
    EXPECT_EQ(log.m_nCleaned[8], 1);
    EXPECT_EQ(log.m_nErrors[8], 0);
    EXPECT_EQ(log.m_nErrors[0], 0);
}

TEST(ScanLog, EachRepairReplacesTheLastAndItsCountsAddUp)
{
    testsupport::ScratchFolder folder;
    const std::wstring strFile = folder.File(L"Settings.ini");
    ASSERT_TRUE(FilledLog(strFile, 100).Write());

    // The second repair found less: its counts stand alone, nothing accumulates.
    CScanLog second(strFile.c_str());
    second.m_strLastScanTime = L"20240615120000";
    int nErrorTotal = 0, nCleanedTotal = 0;
    for (int i = 0; i < CScanLog::CATEGORY_COUNT; i++)
    {
        second.m_nErrors[i] = i % 4;
        second.m_nCleaned[i] = i % 4 == 0 ? 0 : i % 4 - 1;
        nErrorTotal += second.m_nErrors[i];
        nCleanedTotal += second.m_nCleaned[i];
    }
    ASSERT_TRUE(second.Write());

    CScanLog log(strFile.c_str());
    log.Read(L"");
    EXPECT_EQ(log.m_strLastScanTime, L"20240615120000");
    int nErrorRead = 0, nCleanedRead = 0;
    for (int i = 0; i < CScanLog::CATEGORY_COUNT; i++)
    {
        EXPECT_LE(log.m_nCleaned[i], log.m_nErrors[i]) << i;
        nErrorRead += log.m_nErrors[i];
        nCleanedRead += log.m_nCleaned[i];
    }
    EXPECT_EQ(nErrorRead, nErrorTotal);
    EXPECT_EQ(nCleanedRead, nCleanedTotal);
    EXPECT_EQ(IniValue(strFile, L"ScanLog", L"Error1"), L"0");
}

TEST(ScanLog, WriteIntoAMissingFolderFails)
{
    testsupport::ScratchFolder folder;
    const std::wstring strFile = folder.File(L"missing\\Settings.ini");
    EXPECT_FALSE(FilledLog(strFile, 1).Write());
    EXPECT_EQ(GetFileAttributesW(strFile.c_str()), INVALID_FILE_ATTRIBUTES);
}
