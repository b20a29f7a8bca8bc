// Which INI files the profile functions may read and rewrite: every form the
// program writes or Windows reads passes, anything else is left byte for byte.
#include "services/IniFileCheck.h"
#include "tests/support/TestSupport.h"
#include <gtest/gtest.h>

namespace {

std::string Utf16Le(const std::wstring& text)
{
    std::string bytes;
    for (wchar_t ch : text)
        bytes += std::string{(char)(ch & 0xFF), (char)(ch >> 8)};
    return bytes;
}

std::string Utf16Be(const std::wstring& text)
{
    std::string bytes;
    for (wchar_t ch : text)
        bytes += std::string{(char)(ch >> 8), (char)(ch & 0xFF)};
    return bytes;
}

const wchar_t kText[] = L"[General Settings]\r\nAutoUpdate=0\r\nLanguage=Deutsch \u00e4.ini\r\n";

int ReadAutoUpdate(const std::wstring& strFile)
{
    return (int)::GetPrivateProfileIntW(L"General Settings", L"AutoUpdate", 7, strFile.c_str());
}

} // namespace

TEST(IniFileCheck, EveryFormTheProfileFunctionsReadPassesAsItIs)
{
    testsupport::ScratchFolder folder;
    std::wstring strFile = folder.File(L"Settings.ini");
    EXPECT_EQ(CheckIniFile(strFile.c_str()).nForm, IniFileMissing);
    EXPECT_TRUE(PrepareIniFile(strFile.c_str()));
    EXPECT_EQ(::GetFileAttributesW(strFile.c_str()), INVALID_FILE_ATTRIBUTES) << "nothing made";

    const std::pair<const char*, std::string> forms[] = {
        {"ANSI", "[General Settings]\r\nAutoUpdate=0\r\n"},
        {"UTF-16LE with its mark", "\xFF\xFE" + Utf16Le(kText)},
        {"UTF-16BE with its mark", "\xFE\xFF" + Utf16Be(kText)},
        {"empty", ""},
        // As long as a line the profile functions still read whole.
        {"longest line", "[General Settings]\r\nAutoUpdate=0\r\nX=" + std::string(INI_MAX_LINE_CHARS - 2, 'a') + "\r\n"},
    };
    for (const auto& form : forms)
    {
        ASSERT_TRUE(testsupport::WriteFileBytes(strFile, form.second));
        EXPECT_EQ(CheckIniFile(strFile.c_str()).nForm, IniFileReadable) << form.first;
        EXPECT_TRUE(PrepareIniFile(strFile.c_str())) << form.first;
        EXPECT_EQ(testsupport::ReadFileBytes(strFile), form.second) << form.first;
    }
}

// UTF-16 without its mark reads as empty to the profile functions: it gets
// its mark, in front of the very same bytes, and then reads.
TEST(IniFileCheck, UnmarkedUtf16GetsItsMarkAndReads)
{
    testsupport::ScratchFolder folder;
    std::wstring strFile = folder.File(L"Settings.ini");
    std::string bytes = Utf16Le(kText);
    ASSERT_TRUE(testsupport::WriteFileBytes(strFile, bytes));
    EXPECT_EQ(CheckIniFile(strFile.c_str()).nForm, IniFileUnmarked);
    IniFileCheck check;
    ASSERT_TRUE(PrepareIniFile(strFile.c_str(), &check));
    EXPECT_EQ(check.nForm, IniFileReadable);
    EXPECT_EQ(testsupport::ReadFileBytes(strFile), "\xFF\xFE" + bytes);
    EXPECT_EQ(ReadAutoUpdate(strFile), 0);
    wchar_t szLanguage[64] = {};
    ::GetPrivateProfileStringW(L"General Settings", L"Language", L"", szLanguage, 64, strFile.c_str());
    EXPECT_STREQ(szLanguage, L"Deutsch \u00e4.ini");
    EXPECT_EQ(::GetFileAttributesW(folder.File(L"Settings.ini.tmp").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(IniFileCheck, WhatDoesNotReadIsLeftByteForByte)
{
    testsupport::ScratchFolder folder;
    std::wstring strFile = folder.File(L"Settings.ini");
    struct Case
    {
        const char* pszName;
        std::string bytes;
        IniFileForm nForm;
        int nLine;
    };
    std::string longLine = "[General Settings]\r\nAutoUpdate=0\r\nX=" + std::string(10 * 1024 * 1024, 'a') + "\r\nY=1\r\n";
    const Case cases[] = {
        {"one 10 MiB line", longLine, IniFileLongLine, 3},
        {"one character too long", "[A]\nX=" + std::string(INI_MAX_LINE_CHARS - 1, 'a') + "\n", IniFileLongLine, 2},
        {"a long UTF-16 line", "\xFF\xFE" + Utf16Le(L"[A]\r\nX=" + std::wstring(INI_MAX_LINE_CHARS, L'a')),
         IniFileLongLine, 2},
        {"UTF-32LE", std::string("\xFF\xFE\0\0", 4) + std::string("[\0\0\0", 4), IniFileNotText, 0},
        {"UTF-16 cut in half a character", "\xFF\xFE" + Utf16Le(kText) + "x", IniFileNotText, 0},
        {"UTF-16BE without its mark", Utf16Be(kText), IniFileNotText, 0},
        {"bytes with zeros", std::string("\x01\0\0\x02[=", 6), IniFileNotText, 0},
    };
    for (const Case& c : cases)
    {
        ASSERT_TRUE(testsupport::WriteFileBytes(strFile, c.bytes));
        IniFileCheck check;
        EXPECT_FALSE(PrepareIniFile(strFile.c_str(), &check)) << c.pszName;
        EXPECT_EQ(check.nForm, c.nForm) << c.pszName;
        EXPECT_EQ(check.nLine, c.nLine) << c.pszName;
        EXPECT_TRUE(testsupport::ReadFileBytes(strFile) == c.bytes) << c.pszName;
    }
}

// Too large to be a settings file: not read at all, not touched.
TEST(IniFileCheck, AFileLargerThanAnySettingsFileIsNotRead)
{
    testsupport::ScratchFolder folder;
    std::wstring strFile = folder.File(L"Settings.ini");
    std::string bytes = "[A]\r\n";
    std::string line = "X=" + std::string(1000, 'b') + "\r\n";
    while (bytes.size() <= INI_MAX_FILE_BYTES)
        bytes += line;
    ASSERT_TRUE(testsupport::WriteFileBytes(strFile, bytes));
    IniFileCheck check;
    EXPECT_FALSE(PrepareIniFile(strFile.c_str(), &check));
    EXPECT_EQ(check.nForm, IniFileLongLine);
    EXPECT_EQ(testsupport::ReadFileBytes(strFile).size(), bytes.size());
}
