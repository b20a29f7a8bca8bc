#include "app/RunAtStartup.h"
#include "tests/support/TestSupport.h"
#include <gtest/gtest.h>
#include <string>

namespace {

const wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// The value as stored, or "(none)"; the prefix's own value is put back after.
class RunAtStartupTest : public ::testing::Test
{
protected:
    void SetUp() override { m_bHad = Read(&m_strBefore); }
    void TearDown() override
    {
        SetRunAtStartup(FALSE);
        if (m_bHad)
            Write(m_strBefore);
    }

    static bool Read(std::wstring* pstrValue)
    {
        HKEY hKey = NULL;
        if (::RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_QUERY_VALUE, &hKey) != ERROR_SUCCESS)
            return false;
        WCHAR szValue[1024] = L"";
        DWORD dwSize = sizeof(szValue) - sizeof(WCHAR);
        bool bFound = ::RegQueryValueExW(hKey, L"Tamsel", NULL, NULL, (BYTE*)szValue, &dwSize) == ERROR_SUCCESS;
        ::RegCloseKey(hKey);
        *pstrValue = bFound ? szValue : L"(none)";
        return bFound;
    }

    static void Write(const std::wstring& strValue)
    {
        HKEY hKey = NULL;
        ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, NULL, 0, KEY_SET_VALUE, NULL, &hKey, NULL),
                  ERROR_SUCCESS);
        ::RegSetValueExW(hKey, L"Tamsel", 0, REG_SZ, (const BYTE*)strValue.c_str(),
                         (DWORD)((strValue.size() + 1) * sizeof(WCHAR)));
        ::RegCloseKey(hKey);
    }

    static std::wstring Stored()
    {
        std::wstring strValue;
        Read(&strValue);
        return strValue;
    }

    bool m_bHad = false;
    std::wstring m_strBefore;
};

} // namespace

// Written, the value is the quoted path of this program, once; removed, it is
// gone and the setting reads off. Removing it twice is no error.
TEST_F(RunAtStartupTest, WritesTheQuotedPathAndRemovesIt)
{
    WCHAR szPath[520] = L"";
    ::GetModuleFileNameW(NULL, szPath, 520);
    EXPECT_TRUE(SetRunAtStartup(TRUE));
    EXPECT_TRUE(SetRunAtStartup(TRUE));
    EXPECT_EQ(Stored(), L"\"" + std::wstring(szPath) + L"\"");
    EXPECT_TRUE(IsRunAtStartup());

    EXPECT_TRUE(SetRunAtStartup(FALSE));
    EXPECT_EQ(Stored(), L"(none)");
    EXPECT_FALSE(IsRunAtStartup());
    EXPECT_TRUE(SetRunAtStartup(FALSE));
}

// Another program's path, even an empty text, still means "starts with Windows".
TEST_F(RunAtStartupTest, AnyValueCountsAsOn)
{
    for (const wchar_t* pszValue : {L"C:\\Elsewhere\\Tamsel.exe", L""})
    {
        Write(pszValue);
        EXPECT_TRUE(IsRunAtStartup()) << pszValue;
    }
    SetRunAtStartup(FALSE);
    // A value of another name is not ours.
    HKEY hKey = NULL;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, NULL, 0, KEY_SET_VALUE, NULL, &hKey, NULL),
              ERROR_SUCCESS);
    ::RegSetValueExW(hKey, L"Tamsel Helper", 0, REG_SZ, (const BYTE*)L"x", 4);
    EXPECT_FALSE(IsRunAtStartup());
    ::RegDeleteValueW(hKey, L"Tamsel Helper");
    ::RegCloseKey(hKey);
}
