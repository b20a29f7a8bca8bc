// Registry links (symbolic-link keys): what Wine's registry does with them,
// and exports that write a linked tree once, under its own name.
#include "services/RegFile.h"
#include "services/RegistryLink.h"
#include "tests/services_registry/RegTestUtil.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <iostream>
#include <shlwapi.h>
#include <sddl.h>

using namespace regtest;
using testsupport::ScratchFolder;
using testsupport::ScratchRegKey;

namespace {

// The current user's SID as text ("S-1-5-21-...").
std::wstring UserSid()
{
    HANDLE hToken = NULL;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &hToken))
        return std::wstring();
    BYTE buffer[512];
    DWORD dwSize = 0;
    std::wstring strSid;
    if (::GetTokenInformation(hToken, TokenUser, buffer, sizeof(buffer), &dwSize))
    {
        LPWSTR pszSid = NULL;
        if (::ConvertSidToStringSidW(((TOKEN_USER*)buffer)->User.Sid, &pszSid))
        {
            strSid = pszSid;
            ::LocalFree(pszSid);
        }
    }
    ::CloseHandle(hToken);
    return strSid;
}

// A scratch key of its own with a tree "Target" and, beside it, a link "Link"
// to it. The link is removed as a link: a plain delete of its name would
// follow it and delete the target.
class RegistryLinkTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_strSid = UserSid();
        ASSERT_FALSE(m_strSid.empty());
        HKEY hTarget = CreateKey(m_key.Key(), L"Target");
        ASSERT_NE(hTarget, (HKEY)NULL);
        SetText(hTarget, L"v", L"target");
        HKEY hSub = CreateKey(hTarget, L"Sub");
        SetDword(hSub, L"n", 7);
        ::RegCloseKey(hSub);
        ::RegCloseKey(hTarget);
        m_strTargetNt = L"\\REGISTRY\\USER\\" + m_strSid + L"\\" + m_key.Path() + L"\\Target";
        ASSERT_TRUE(CreateLink(m_key.Key(), L"Link", m_strTargetNt));
    }
    void TearDown() override
    {
        for (const std::wstring& strLink : m_links)
            DeleteLink(strLink);
    }

    // A link key hParent\pszName to the NT path strTarget.
    bool CreateLink(HKEY hParent, const wchar_t* pszName, const std::wstring& strTarget)
    {
        if (!CreateLinkKey(hParent, pszName, strTarget))
            return false;
        m_links.push_back(m_key.Path() + L"\\" + RelativeName(hParent, pszName));
        return true;
    }
    std::wstring RelativeName(HKEY hParent, const wchar_t* pszName)
    {
        if (hParent == m_key.Key())
            return pszName;
        CString strParent, strTop;
        GetRegistryKeyNtPath(hParent, strParent);
        GetRegistryKeyNtPath(m_key.Key(), strTop);
        return strParent.Mid(strTop.GetLength() + 1).Str() + L"\\" + pszName;
    }
    static void DeleteLink(const std::wstring& strPath) { DeleteLinkKey(HKEY_CURRENT_USER, strPath); }
    std::wstring UsersPath() const { return L"HKEY_USERS\\" + m_strSid + L"\\" + m_key.Path(); }
    static size_t Count(const std::wstring& strText, const std::wstring& strPart)
    {
        size_t nCount = 0;
        for (size_t n = strText.find(strPart); n != std::wstring::npos; n = strText.find(strPart, n + 1))
            nCount++;
        return nCount;
    }
    std::wstring Export(const std::wstring& strKeyPath, DWORD* pdwResult = NULL)
    {
        std::wstring strFile = m_folder.File(L"export.reg");
        DWORD dwResult = ExportWithRegFile(strFile, strKeyPath);
        if (pdwResult != NULL)
            *pdwResult = dwResult;
        bool bBom = false;
        return ReadRegText(strFile, bBom);
    }

    ScratchRegKey m_key;
    ScratchFolder m_folder;
    std::wstring m_strSid;
    std::wstring m_strTargetNt;
    std::vector<std::wstring> m_links;
};

} // namespace

// Wine 8 keeps links as Windows does: a plain open follows the link, an open
// with REG_OPTION_OPEN_LINK gets the link itself with its REG_LINK value.
TEST_F(RegistryLinkTest, PlainOpenFollowsAndOpenLinkShowsTheLink)
{
    RawValue value;
    ASSERT_TRUE(GetRaw(m_key.Key(), L"Link", L"v", value));
    EXPECT_EQ(value.data, TextBytes(L"target"));

    HKEY hLink = NULL;
    ASSERT_EQ(ERROR_SUCCESS, ::RegOpenKeyExW(m_key.Key(), L"Link", REG_OPTION_OPEN_LINK, KEY_READ, &hLink));
    DWORD dwType = REG_NONE, dwSize = 0;
    EXPECT_EQ(ERROR_SUCCESS, ::RegQueryValueExW(hLink, L"SymbolicLinkValue", NULL, &dwType, NULL, &dwSize));
    EXPECT_EQ((DWORD)REG_LINK, dwType);
    EXPECT_EQ(m_strTargetNt.size() * sizeof(wchar_t), (size_t)dwSize);
    EXPECT_NE(ERROR_SUCCESS, ::RegQueryValueExW(hLink, L"v", NULL, NULL, NULL, NULL));
    DWORD dwSubKeys = 99;
    EXPECT_EQ(ERROR_SUCCESS, ::RegQueryInfoKeyW(hLink, NULL, NULL, NULL, &dwSubKeys, NULL, NULL, NULL, NULL, NULL,
                                                NULL, NULL));
    EXPECT_EQ(0u, dwSubKeys);
    CString strTarget;
    EXPECT_TRUE(GetRegistryLinkTarget(hLink, &strTarget));
    EXPECT_EQ(m_strTargetNt, strTarget.Str());
    ::RegCloseKey(hLink);

    // Our helpers: the link is one, its target and a plain key are not.
    EXPECT_TRUE(IsRegistryLink(m_key.Key(), L"Link"));
    EXPECT_FALSE(IsRegistryLink(m_key.Key(), L"Target"));
    EXPECT_FALSE(IsRegistryLink(m_key.Key(), L"Missing"));
    CString strNt;
    HKEY hTarget = NULL;
    ASSERT_EQ(ERROR_SUCCESS, ::RegOpenKeyExW(m_key.Key(), L"Target", 0, KEY_READ, &hTarget));
    EXPECT_TRUE(GetRegistryKeyNtPath(hTarget, strNt));
    ::RegCloseKey(hTarget);
    EXPECT_EQ(0, strNt.CompareNoCase(m_strTargetNt.c_str())) << strNt.Str();
    EXPECT_TRUE(IsRegistryPathWithin(strNt, L"\\REGISTRY\\USER\\" + CString(m_strSid.c_str())));
    EXPECT_FALSE(IsRegistryPathWithin(strNt + L"2", strNt + L"\\"));
    EXPECT_FALSE(IsRegistryPathWithin(strNt, strNt + L"\\Sub"));
}

// The export of a tree that holds both a link and its target writes the
// target once, under its own name, whether the tree is named through
// HKEY_CURRENT_USER or HKEY_USERS; a target outside the tree is never read
// under the link's name: the link is left out and counted, and a key that
// is itself a link writes nothing.
TEST_F(RegistryLinkTest, ExportWritesALinkedTreeOnce)
{
    for (const std::wstring& strTop : { L"HKEY_CURRENT_USER\\" + m_key.Path(), UsersPath() })
    {
        SCOPED_TRACE(std::string(strTop.begin(), strTop.end()));
        DWORD dwResult = 1;
        std::wstring strText = Export(strTop, &dwResult);
        EXPECT_EQ(0u, dwResult);
        EXPECT_EQ(1u, Count(strText, L"\"v\"=\"target\""));
        EXPECT_EQ(1u, Count(strText, L"\"n\"=dword:00000007"));
        EXPECT_EQ(0u, Count(strText, L"\\Link]"));
        EXPECT_EQ(0u, Count(strText, L"SymbolicLinkValue"));
        EXPECT_EQ(1u, Count(strText, L"[" + strTop + L"\\Target\\Sub]\r\n"));
    }

    HKEY hOther = CreateKey(m_key.Key(), L"Other");
    ASSERT_TRUE(CreateLink(hOther, L"Inner", m_strTargetNt));
    ::RegCloseKey(hOther);
    std::wstring strOther = L"HKEY_CURRENT_USER\\" + m_key.Path() + L"\\Other";
    std::wstring strFile = m_folder.File(L"other.reg");
    HANDLE hFile = ::CreateFileW(strFile.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    ASSERT_NE(hFile, INVALID_HANDLE_VALUE);
    CRegFile regFile;
    BeginRegFile(regFile, hFile);
    EXPECT_EQ(0u, regFile.ExportKey(strOther.c_str()));
    EXPECT_EQ(1, regFile.GetLinksLeftOut());
    // The link itself, named as the key to write.
    EXPECT_EQ((DWORD)CRegFile::ExportLinkNotWritten, regFile.ExportKey((strOther + L"\\Inner").c_str()));
    EXPECT_EQ(1, regFile.GetLinksLeftOut());
    // The look-alike: its target, a plain key, is written whole.
    EXPECT_EQ(0u, regFile.ExportKey((L"HKEY_CURRENT_USER\\" + m_key.Path() + L"\\Target").c_str()));
    EXPECT_EQ(0, regFile.GetLinksLeftOut());
    ::CloseHandle(hFile);
    bool bBom = false;
    std::wstring strText = ReadRegText(strFile, bBom);
    EXPECT_EQ(1u, Count(strText, L"[" + strOther + L"]\r\n"));
    EXPECT_EQ(0u, Count(strText, L"\\Inner"));
    EXPECT_EQ(1u, Count(strText, L"\"v\"=\"target\""));
    EXPECT_EQ(1u, Count(strText, L"\"n\"=dword:00000007"));
}

// The full export (HKEY_LOCAL_MACHINE and HKEY_USERS) writes no link's
// content: neither the planted one nor the system's own (CurrentControlSet,
// a user's Software\Classes) where this registry has them as links.
TEST_F(RegistryLinkTest, FullExportWritesNoLink)
{
    std::wstring strText = Export(L"");
    ASSERT_NE(std::wstring::npos, strText.find(L"[HKEY_USERS]\r\n"));
    EXPECT_EQ(1u, Count(strText, L"[" + UsersPath() + L"\\Target]\r\n\"v\"=\"target\"\r\n"));
    EXPECT_EQ(0u, Count(strText, L"[" + UsersPath() + L"\\Link]"));
    EXPECT_EQ(0u, Count(strText, L"[" + UsersPath() + L"\\Link\\"));

    struct SystemLink { HKEY hRoot; std::wstring strParent, strName, strText; } links[] = {
        { HKEY_LOCAL_MACHINE, L"SYSTEM", L"CurrentControlSet", L"[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet" },
        { HKEY_USERS, m_strSid + L"\\Software", L"Classes", L"[HKEY_USERS\\" + m_strSid + L"\\Software\\Classes" },
    };
    // The registry keeps the case a key was made with ("System").
    std::wstring strLower = strText;
    ::CharLowerBuffW(&strLower[0], (DWORD)strLower.size());
    for (const SystemLink& link : links)
    {
        HKEY hParent = NULL;
        ASSERT_EQ(ERROR_SUCCESS, ::RegOpenKeyExW(link.hRoot, link.strParent.c_str(), 0, KEY_READ, &hParent));
        HKEY hKey = NULL;
        bool bExists = ::RegOpenKeyExW(hParent, link.strName.c_str(), REG_OPTION_OPEN_LINK, KEY_READ, &hKey) ==
                       ERROR_SUCCESS;
        if (bExists)
            ::RegCloseKey(hKey);
        bool bLink = IsRegistryLink(hParent, link.strName.c_str()) != FALSE;
        ::RegCloseKey(hParent);
        if (!bExists)
            continue;
        std::cout << std::string(link.strName.begin(), link.strName.end()) << (bLink ? ": a link\n" : ": a key\n");
        // Written exactly when it is a real key here.
        std::wstring strLine = link.strText + L"]\r\n";
        ::CharLowerBuffW(&strLine[0], (DWORD)strLine.size());
        EXPECT_EQ(bLink, strLower.find(strLine) == std::wstring::npos)
            << std::string(link.strName.begin(), link.strName.end()) << (bLink ? " is a link" : " is a key");
    }
}

// Wine's regedit imports our export of the tree: the target comes back and
// the link stays a link to it (nothing was written through it twice).
TEST_F(RegistryLinkTest, RegeditImportOfTheExportKeepsTheLink)
{
    std::wstring strFile = m_folder.File(L"tree.reg");
    ASSERT_EQ(0u, ExportWithRegFile(strFile, L"HKEY_CURRENT_USER\\" + m_key.Path()));
    TreeSnapshot before = Snapshot(m_key.Key(), L"Target");
    ASSERT_EQ(ERROR_SUCCESS, ::SHDeleteKeyW(m_key.Key(), L"Target"));
    int nResult = RunWindowsProgram(L"regedit.exe /S \"" + strFile + L"\"");
    if (nResult == -1)
        TAMSEL_PEER_MISSING("Wine's regedit.exe could not be started");
    EXPECT_EQ(L"", Difference(before, Snapshot(m_key.Key(), L"Target")));
    EXPECT_TRUE(IsRegistryLink(m_key.Key(), L"Link"));
    RawValue value;
    ASSERT_TRUE(GetRaw(m_key.Key(), L"Link\\Sub", L"n", value));
    EXPECT_EQ(REG_DWORD, (int)value.dwType);
}
