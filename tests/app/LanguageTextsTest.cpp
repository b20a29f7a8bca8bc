// The kept copy of a language file's texts answers exactly as a profile read
// of the file does, and follows the file when it changes.
#include "app/LanguageTexts.h"
#include "tests/support/TestSupport.h"
#include <gtest/gtest.h>
#include <string>

namespace {

CString ProfileText(const std::wstring& strFile, LPCWSTR pszKey, DWORD nChars)
{
    std::wstring strBuffer(nChars, L'\0');
    ::GetPrivateProfileStringW(L"String", pszKey, L"", &strBuffer[0], nChars, strFile.c_str());
    return strBuffer.c_str();
}

} // namespace

TEST(LanguageTexts, AnswerAsAProfileReadDoes)
{
    testsupport::ScratchFolder folder;
    std::wstring strFile = folder.File(L"Test.ini");
    std::string strLong(1500, 'x');
    ASSERT_TRUE(testsupport::WriteFileBytes(strFile,
        "[General Settings]\r\nLanguage=Test\r\nPlain=not this section\r\n"
        "[String]\r\n"
        "Plain=Plain text\r\n"
        "  Spaced  =   around it   \r\n"
        "Quoted=\"in quotes\"\r\n"
        "Single='single'\r\n"
        "HalfQuoted=\"open only\r\n"
        "Inner=a \"quoted\" word\r\n"
        "Equals=a=b\r\n"
        "Break=one\\ntwo\r\n"
        "Twice=first\r\n"
        "twice=second\r\n"
        "Empty=\r\n"
        "Long=" + strLong + "\r\n"
        "; a comment\r\n"
        "[Other]\r\nPlain=other\r\n"));
    CLanguageTexts texts;
    for (LPCWSTR pszKey : { L"Plain", L"PLAIN", L"Spaced", L"Quoted", L"Single", L"HalfQuoted", L"Inner", L"Equals",
                            L"Break", L"Twice", L"Empty", L"Long", L"Missing", L"Other" })
    {
        EXPECT_STREQ(texts.Get(strFile.c_str(), pszKey, 1000), ProfileText(strFile, pszKey, 1000)) << pszKey;
    }
    EXPECT_STREQ(texts.Get(strFile.c_str(), L"Plain", 1000), L"Plain text");
    EXPECT_EQ(texts.Get(strFile.c_str(), L"Long", 1000).GetLength(), 999);
    // A file that does not exist has no texts.
    EXPECT_TRUE(texts.Get(folder.File(L"None.ini").c_str(), L"Plain", 1000).IsEmpty());
}

TEST(LanguageTexts, FollowTheFileWhenItChanges)
{
    testsupport::ScratchFolder folder;
    std::wstring strFirst = folder.File(L"First.ini"), strSecond = folder.File(L"Second.ini");
    ASSERT_TRUE(testsupport::WriteFileBytes(strFirst, "[String]\r\nKey=first\r\n"));
    ASSERT_TRUE(testsupport::WriteFileBytes(strSecond, "[String]\r\nKey=second\r\n"));
    CLanguageTexts texts;
    EXPECT_STREQ(texts.Get(strFirst.c_str(), L"Key", 1000), L"first");
    EXPECT_STREQ(texts.Get(strSecond.c_str(), L"Key", 1000), L"second");
    // Written by the program itself, as a profile write does.
    ASSERT_TRUE(::WritePrivateProfileStringW(L"String", L"Added", L"new text", strSecond.c_str()));
    EXPECT_STREQ(texts.Get(strSecond.c_str(), L"Added", 1000), L"new text");
    ASSERT_TRUE(::WritePrivateProfileStringW(L"String", L"Key", L"changed", strSecond.c_str()));
    EXPECT_STREQ(texts.Get(strSecond.c_str(), L"Key", 1000), L"changed");
    EXPECT_STREQ(texts.Get(strFirst.c_str(), L"Key", 1000), L"first");
}

// A language file whose texts are far too long to keep (16 MiB and more of
// them) is read key by key, with the answers of a profile read, and again
// whole once it is small enough.
TEST(LanguageTexts, ReadAFileTooLargeToKeepKeyByKey)
{
    testsupport::ScratchFolder folder;
    std::wstring strFile = folder.File(L"Huge.ini");
    std::string strText;
    while (strText.size() < 100 * 1024)
        strText += "Auto backup and undo repairs of detected items ";
    std::string strContent = "[String]\r\n";
    for (int i = 0; i < 180; i++)
        strContent += "Key" + std::to_string(i) + "=" + std::to_string(i) + " " + strText + "\r\n";
    ASSERT_TRUE(testsupport::WriteFileBytes(strFile, strContent));
    CLanguageTexts texts;
    for (LPCWSTR pszKey : {L"Key0", L"KEY17", L"Key179", L"Missing"})
        EXPECT_STREQ(texts.Get(strFile.c_str(), pszKey, 1000), ProfileText(strFile, pszKey, 1000)) << pszKey;
    EXPECT_EQ(texts.Get(strFile.c_str(), L"Key17", 1000).GetLength(), 999);
    EXPECT_EQ(texts.Get(strFile.c_str(), L"Key17", 1000).Left(3), CString(L"17 "));
    // Once small, the same path is kept whole again and follows the change.
    ASSERT_TRUE(testsupport::WriteFileBytes(strFile, "[String]\r\nKey0=short now\r\n"));
    EXPECT_STREQ(texts.Get(strFile.c_str(), L"Key0", 1000), L"short now");
    EXPECT_TRUE(texts.Get(strFile.c_str(), L"Key17", 1000).IsEmpty());
}
