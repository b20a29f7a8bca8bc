#include "services/IniSection.h"
#include "tests/support/TestSupport.h"
#include <gtest/gtest.h>

namespace {
// Every value must read as the system's own profile functions read it.
TEST(IniSection, ReadsEveryValueAsTheProfileFunctionsDo)
{
    testsupport::ScratchFolder folder;
    std::wstring strFile = folder.File(L"Settings.ini");
    const char* pszText =
        "[Other]\r\nA=99\r\n"
        "[General]\r\n"
        "A=12\r\n"
        " Spaced = 7 \r\n"
        "Quoted=\"5\"\r\n"
        "Single='6'\r\n"
        "Hex=0x1F\r\n"
        "Octal=0o17\r\n"
        "Negative=-3\r\n"
        "Plus=+4\r\n"
        "Word=abc\r\n"
        "Empty=\r\n"
        "Trailing=12abc\r\n"
        "Long=000000000000000000000000000009\r\n"
        "Dup=1\r\nDUP=2\r\n"
        "NoEquals\r\n"
        "Text=  a \"b\" c  \r\n"
        "HalfQuote=\"x\r\n";
    HANDLE hFile = ::CreateFileW(strFile.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    ASSERT_NE(hFile, INVALID_HANDLE_VALUE);
    DWORD nWritten = 0;
    ::WriteFile(hFile, pszText, (DWORD)strlen(pszText), &nWritten, NULL);
    ::CloseHandle(hFile);

    CIniSection section;
    ASSERT_TRUE(section.Read(strFile.c_str(), L"General"));
    const wchar_t* keys[] = {L"A",     L"spaced", L"Quoted",   L"Single", L"Hex",  L"Octal",    L"Negative",
                             L"Plus",  L"Word",   L"Empty",    L"Trailing", L"Long", L"dup",    L"NoEquals",
                             L"Missing", L"Text", L"HalfQuote"};
    for (const wchar_t* pszKey : keys)
    {
        EXPECT_EQ(section.GetInt(pszKey, 42), (int)::GetPrivateProfileIntW(L"General", pszKey, 42, strFile.c_str()))
            << pszKey;
        wchar_t szValue[256] = {};
        DWORD nLength = ::GetPrivateProfileStringW(L"General", pszKey, L"<none>", szValue, 256, strFile.c_str());
        CString strValue;
        BOOL bFound = section.GetString(pszKey, strValue);
        EXPECT_EQ(std::wstring(bFound ? (LPCWSTR)strValue : L"<none>"), std::wstring(szValue, nLength)) << pszKey;
    }
    // A missing section or file reads as empty.
    EXPECT_TRUE(section.Read(strFile.c_str(), L"Absent"));
    EXPECT_EQ(section.GetInt(L"A", 42), 42);
    EXPECT_TRUE(section.Read(folder.File(L"none.ini").c_str(), L"General"));
    EXPECT_EQ(section.GetInt(L"A", 42), 42);
}
} // namespace
