#include "app/TamselApp.h"
#include "tools/IeRestorePage.h"
#include "tests/support/MessageBoxRecorder.h"
#include "tests/support/TestSupport.h"
#include "tests/tools/IeRestoreKeys.h"
#include "tests/tools/ToolTestSupport.h"

#include <gtest/gtest.h>
#include <shlwapi.h>
#include <memory>

using namespace ierestoretest;
using namespace tooltest;
using testsupport::MessageBoxRecorder;
using testsupport::ScratchFolder;

namespace {

const wchar_t kScratch[] = L"Software\\TamselIeRestoreTest";
const wchar_t kStartLink[] = L"http://go.microsoft.com/fwlink/?LinkId=69157";
const wchar_t kSearchLink[] = L"http://go.microsoft.com/fwlink/?LinkId=54896";

class HostWnd : public CWnd
{
};

bool KeyExists(HKEY hRoot, const std::wstring& key)
{
    HKEY hKey = NULL;
    if (RegOpenKeyExW(hRoot, key.c_str(), 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return false;
    RegCloseKey(hKey);
    return true;
}

// Subkeys and values directly under a key; -1 when it does not open.
int CountEntries(HKEY hRoot, const std::wstring& key)
{
    HKEY hKey = NULL;
    if (RegOpenKeyExW(hRoot, key.c_str(), 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return -1;
    DWORD nKeys = 0, nValues = 0;
    RegQueryInfoKeyW(hKey, NULL, NULL, NULL, &nKeys, NULL, NULL, &nValues, NULL, NULL, NULL, NULL);
    RegCloseKey(hKey);
    return (int)(nKeys + nValues);
}

std::wstring Text(HKEY hRoot, const std::wstring& key, const std::wstring& name, DWORD* pType = NULL)
{
    DWORD dwType = 0;
    Bytes data;
    if (!GetValue(hRoot, key, name, dwType, data))
        return L"<missing>";
    if (pType != NULL)
        *pType = dwType;
    data.resize(data.size() + 2, 0);
    return std::wstring(reinterpret_cast<const wchar_t*>(data.data()));
}

class IeRestorePageTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_pApp = static_cast<CTamselApp*>(AfxGetApp());
        ASSERT_TRUE(m_pApp != NULL);
        WritePrivateProfileSectionW(L"String", NULL, (m_folder.Path() + L"English.ini").c_str());
        for (int i = 1; i <= 9; ++i)
            WritePrivateProfileStringW(L"String", (L"IDD_413_1013_" + std::to_wstring(i)).c_str(),
                                       (L"Repair " + std::to_wstring(i)).c_str(), (m_folder.Path() + L"English.ini").c_str());
        WritePrivateProfileStringW(L"String", L"M_IERESTORE", L"IE Restore Finished!", (m_folder.Path() + L"English.ini").c_str());
        WritePrivateProfileStringW(L"String", L"M_IERESTORE_FAILED", L"These repairs could not be completed:",
                                   (m_folder.Path() + L"English.ini").c_str());
        m_pApp->m_strLangFile = (m_folder.Path() + L"English.ini").c_str();

        LPCTSTR lpszClass = AfxRegisterWndClass(0, ::LoadCursorW(NULL, IDC_ARROW), (HBRUSH)(COLOR_WINDOW + 1));
        ASSERT_TRUE(m_wndHost.CreateEx(0, lpszClass, L"IE host", WS_OVERLAPPEDWINDOW, 0, 0, 640, 480, NULL, NULL));
        m_pPage.reset(new CIeRestorePage());
        ASSERT_TRUE(m_pPage->Create(413, &m_wndHost));
        m_pPage->ShowWindow(SW_SHOW);

        SHDeleteKeyW(HKEY_CURRENT_USER, kScratch);
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, (std::wstring(kScratch) + L"\\User").c_str(), 0, NULL, 0,
                                                 KEY_ALL_ACCESS, NULL, &m_hUser, NULL));
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, (std::wstring(kScratch) + L"\\Machine").c_str(), 0, NULL,
                                                 0, KEY_ALL_ACCESS, NULL, &m_hMachine, NULL));
    }
    void TearDown() override
    {
        Unredirect();
        m_pPage.reset();
        if (::IsWindow(m_wndHost.m_hWnd))
            m_wndHost.DestroyWindow();
        for (HKEY* phKey : {&m_hUser, &m_hMachine, &m_hVolatile})
        {
            if (*phKey != NULL)
                RegCloseKey(*phKey);
            *phKey = NULL;
        }
        SHDeleteKeyW(HKEY_CURRENT_USER, kScratch);
        m_pApp->m_strLangFile.Empty();
    }
    void Redirect(HKEY hMachine)
    {
        ASSERT_EQ(ERROR_SUCCESS, RegOverridePredefKey(HKEY_CURRENT_USER, m_hUser));
        ASSERT_EQ(ERROR_SUCCESS, RegOverridePredefKey(HKEY_LOCAL_MACHINE, hMachine));
        m_bRedirected = true;
    }
    void Unredirect()
    {
        if (!m_bRedirected)
            return;
        RegOverridePredefKey(HKEY_CURRENT_USER, NULL);
        RegOverridePredefKey(HKEY_LOCAL_MACHINE, NULL);
        m_bRedirected = false;
    }
    void CheckOnly(std::initializer_list<int> rows)
    {
        CXListCtrl& list = m_pPage->GetList();
        ASSERT_EQ(9, list.GetItemCount());
        for (int i = 0; i < 9; ++i)
            list.SetCheckbox(i, 0, 1);
        for (int nRow : rows)
            list.SetCheckbox(nRow - 1, 0, 2);
    }

    ScratchFolder m_folder;
    CTamselApp* m_pApp = NULL;
    HostWnd m_wndHost;
    std::unique_ptr<CIeRestorePage> m_pPage;
    HKEY m_hUser = NULL;
    HKEY m_hMachine = NULL;
    HKEY m_hVolatile = NULL;
    bool m_bRedirected = false;
};

TEST_F(IeRestorePageTest, ShowingFillsNineCheckedRowsAgain)
{
    CXListCtrl& list = m_pPage->GetList();
    ASSERT_EQ(9, list.GetItemCount());
    EXPECT_EQ(L"Repair 3", std::wstring((LPCWSTR)list.GetItemText(2, 1)));
    list.SetCheckbox(4, 0, 1);
    m_pPage->ShowWindow(SW_HIDE);
    m_pPage->ShowWindow(SW_SHOW);
    for (int i = 0; i < 9; ++i)
        EXPECT_EQ(2, list.GetCheckbox(i, 0)) << i;
}

TEST_F(IeRestorePageTest, EveryRowWritesItsValuesWithTheirTypes)
{
    Redirect(m_hMachine);
    SetValue(HKEY_CURRENT_USER, kSystem, L"DisableRegistryTools", REG_DWORD, {1, 0, 0, 0});
    SetText(HKEY_CURRENT_USER, kSystem, L"Other", L"kept");
    SetValue(HKEY_CURRENT_USER, kRestrictions, L"NoBrowserContextMenu", REG_DWORD, {1, 0, 0, 0});
    SetValue(HKEY_LOCAL_MACHINE, kRestrictions, L"NoPrinting", REG_DWORD, {1, 0, 0, 0});
    SetText(HKEY_LOCAL_MACHINE, kControlPanel, L"HomePage", L"1");
    SetText(HKEY_CURRENT_USER, std::wstring(kMenuExt) + L"\\Add to Foo", L"", L"res://foo");
    SetText(HKEY_CURRENT_USER, kTypedUrls, L"url1", L"http://example.org/");
    SetText(HKEY_CURRENT_USER, kToolbar, L"LinksFolderName", L"Linky");
    MessageBoxRecorder boxes;
    m_pPage->OnRestore();
    DWORD dwType = 0;
    EXPECT_EQ(kStartLink, Text(HKEY_LOCAL_MACHINE, kIeMain, L"Start Page", &dwType));
    EXPECT_EQ((DWORD)REG_SZ, dwType);
    EXPECT_EQ(kStartLink, Text(HKEY_LOCAL_MACHINE, kIeMain, L"Default_Page_URL"));
    EXPECT_EQ(kStartLink, Text(HKEY_CURRENT_USER, kIeMain, L"Start Page"));
    EXPECT_EQ(kSearchLink, Text(HKEY_LOCAL_MACHINE, kIeMain, L"Search Page", &dwType));
    EXPECT_EQ((DWORD)REG_SZ, dwType);
    EXPECT_EQ(kSearchLink, Text(HKEY_LOCAL_MACHINE, kIeMain, L"Default_Search_URL"));
    EXPECT_EQ(kSearchLink, Text(HKEY_CURRENT_USER, kIeMain, L"Search Page"));
    // The editor is enabled by removing the policy, not by writing 1.
    EXPECT_EQ(L"<missing>", Text(HKEY_CURRENT_USER, kSystem, L"DisableRegistryTools"));
    EXPECT_EQ(L"kept", Text(HKEY_CURRENT_USER, kSystem, L"Other"));
    EXPECT_EQ(0, CountEntries(HKEY_CURRENT_USER, kRestrictions));
    EXPECT_EQ(0, CountEntries(HKEY_LOCAL_MACHINE, kRestrictions));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kControlPanel));
    EXPECT_EQ(0, CountEntries(HKEY_CURRENT_USER, kMenuExt));
    EXPECT_EQ(0, CountEntries(HKEY_CURRENT_USER, kTypedUrls));
    EXPECT_EQ(L"Links", Text(HKEY_CURRENT_USER, kToolbar, L"LinksFolderName", &dwType));
    EXPECT_EQ((DWORD)REG_SZ, dwType);
    Unredirect();
    ASSERT_EQ(1u, boxes.Count());
    EXPECT_EQ(L"IE Restore Finished!", boxes.LastText());
}

TEST_F(IeRestorePageTest, RemovalsTouchOnlyWhatExists)
{
    Redirect(m_hMachine);
    {
        // No policy keys at all: rows 2, 5 and 6 create none.
        MessageBoxRecorder boxes;
        CheckOnly({2, 5, 6});
        m_pPage->OnRestore();
        EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kSystem));
        EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kRestrictions));
        EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kRestrictions));
        EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kControlPanel));
        EXPECT_EQ(L"IE Restore Finished!", boxes.LastText());
    }
    {
        // Row 5 removes only the context menu policy.
        SetValue(HKEY_CURRENT_USER, kRestrictions, L"NoBrowserContextMenu", REG_DWORD, {1, 0, 0, 0});
        SetValue(HKEY_CURRENT_USER, kRestrictions, L"NoPrinting", REG_DWORD, {1, 0, 0, 0});
        SetValue(HKEY_LOCAL_MACHINE, kRestrictions, L"NoBrowserContextMenu", REG_DWORD, {1, 0, 0, 0});
        MessageBoxRecorder boxes;
        CheckOnly({5});
        m_pPage->OnRestore();
        EXPECT_EQ(1, CountEntries(HKEY_CURRENT_USER, kRestrictions));
        EXPECT_NE(L"<missing>", Text(HKEY_CURRENT_USER, kRestrictions, L"NoPrinting"));
        EXPECT_EQ(0, CountEntries(HKEY_LOCAL_MACHINE, kRestrictions));
    }
    {
        // Row 4 without the keys leaves them empty in both hives.
        SHDeleteKeyW(HKEY_CURRENT_USER, L"Software\\Policies");
        SHDeleteKeyW(HKEY_LOCAL_MACHINE, L"Software\\Policies");
        MessageBoxRecorder boxes;
        CheckOnly({4});
        m_pPage->OnRestore();
        EXPECT_EQ(0, CountEntries(HKEY_CURRENT_USER, kRestrictions));
        EXPECT_EQ(0, CountEntries(HKEY_LOCAL_MACHINE, kRestrictions));
    }
}

TEST_F(IeRestorePageTest, NothingCheckedChangesNothing)
{
    Redirect(m_hMachine);
    MessageBoxRecorder boxes;
    CheckOnly({});
    m_pPage->OnRestore();
    EXPECT_EQ(0, CountEntries(m_hUser, L""));
    EXPECT_EQ(0, CountEntries(m_hMachine, L""));
    Unredirect();
    EXPECT_EQ(L"IE Restore Finished!", boxes.LastText());
}

TEST_F(IeRestorePageTest, FailedRowsAreNamedInsteadOfFinished)
{
    // Non-volatile keys cannot be created below a volatile one (1021).
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, (std::wstring(kScratch) + L"\\Volatile").c_str(), 0, NULL,
                                             REG_OPTION_VOLATILE, KEY_ALL_ACCESS, NULL, &m_hVolatile, NULL));
    HKEY hProbe = NULL;
    ASSERT_EQ(ERROR_CHILD_MUST_BE_VOLATILE, RegCreateKeyExW(m_hVolatile, L"probe", 0, NULL, 0, KEY_ALL_ACCESS, NULL, &hProbe, NULL));
    Redirect(m_hVolatile);
    MessageBoxRecorder boxes;
    CheckOnly({1, 9});
    m_pPage->OnRestore();
    EXPECT_EQ(L"Links", Text(HKEY_CURRENT_USER, kToolbar, L"LinksFolderName"));
    Unredirect();
    ASSERT_EQ(1u, boxes.Count());
    std::wstring text = boxes.LastText();
    EXPECT_EQ(std::wstring::npos, text.find(L"Finished"));
    EXPECT_NE(std::wstring::npos, text.find(L"Repair 1"));
    EXPECT_EQ(std::wstring::npos, text.find(L"Repair 9"));
}

} // namespace
