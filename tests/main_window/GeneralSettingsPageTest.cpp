#include "tests/main_window/MainWindowFixture.h"
#include "app/GeneralSettingsPage.h"
#include "app/RunAtStartup.h"
#include <vector>

using testsupport::MessageBoxRecorder;

namespace {

const WCHAR s_szRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

std::vector<std::wstring> s_opened;

BOOL RecordShellOpen(HWND, LPCTSTR, LPCTSTR lpszFile, LPCTSTR, LPCTSTR, int)
{
    s_opened.push_back(lpszFile);
    return TRUE;
}

// Records what the program opens through the shell while it lives.
struct CShellOpenRecorder
{
    CShellOpenRecorder()
    {
        s_opened.clear();
        m_pfnPrevious = AfxSetShellOpenHandler(&RecordShellOpen);
    }
    ~CShellOpenRecorder() { AfxSetShellOpenHandler(m_pfnPrevious); }
    AFX_SHELLOPEN_HANDLER m_pfnPrevious;
};

// The Run value's data, or "(none)".
std::wstring RunValue()
{
    HKEY hKey = NULL;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, s_szRunKey, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return L"(none)";
    WCHAR szData[1024] = L"";
    DWORD dwSize = sizeof(szData), dwType = 0;
    LONG lResult = ::RegQueryValueExW(hKey, L"Tamsel", NULL, &dwType, (BYTE*)szData, &dwSize);
    ::RegCloseKey(hKey);
    return lResult == ERROR_SUCCESS && dwType == REG_SZ ? szData : L"(none)";
}

void DeleteRunValue()
{
    HKEY hKey = NULL;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, s_szRunKey, 0, KEY_SET_VALUE, &hKey) == ERROR_SUCCESS)
    {
        ::RegDeleteValueW(hKey, L"Tamsel");
        ::RegCloseKey(hKey);
    }
}

class GeneralSettingsTest : public MainWindowTest
{
protected:
    void SetUp() override
    {
        MainWindowTest::SetUp();
        DeleteRunValue();
        ::CreateDirectoryW(m_folder.File(L"Language").c_str(), NULL);
        testsupport::WriteFileBytes(m_folder.File(L"Language\\Zulu.ini"),
                                    "[General Settings]\r\nLanguage=Zulu test\r\n[String]\r\nIDD_102_MORE=Ezinye izilimi...\r\n"
                                    "IDD_234_1009=Qala\r\n");
        testsupport::WriteFileBytes(m_folder.File(L"Language\\Empty.ini"), "[General Settings]\r\nOrder=3\r\n");
    }
    void TearDown() override
    {
        DeleteRunValue();
        MainWindowTest::TearDown();
    }
    CGeneralSettingsPage& Page() { return m_pDlg->m_pageGeneral; }
    void ShowPage()
    {
        m_pDlg->ShowPageByName(&Page());
        ASSERT_TRUE(Page().IsWindowVisible());
    }
    CString LastItem(CComboBox& combo)
    {
        CString str;
        combo.GetLBText(combo.GetCount() - 1, str);
        return str;
    }
    void ChooseInPage(int nIndex)
    {
        Page().m_comboLanguage.SetCurSel(nIndex);
        Page().SendMessage(WM_COMMAND, MAKEWPARAM(1029, CBN_SELCHANGE), (LPARAM)Page().m_comboLanguage.m_hWnd);
    }
    // A user's click: the box turns itself over, then the page hears of it.
    void Click(UINT nID)
    {
        Page().SendMessage(WM_COMMAND, MAKEWPARAM(nID, BN_CLICKED), (LPARAM)Page().GetDlgItem(nID)->GetSafeHwnd());
    }
    std::wstring QuotedExe()
    {
        WCHAR szPath[520];
        ::GetModuleFileNameW(NULL, szPath, 520);
        return L"\"" + std::wstring(szPath) + L"\"";
    }
};

} // namespace

TEST_F(GeneralSettingsTest, RunAtStartupWritesOneQuotedValueAndRemovesIt)
{
    CreateMainWindow();
    ShowPage();
    EXPECT_EQ(Page().m_chkStartup.GetCheck(), BST_UNCHECKED);
    Click(1009);
    EXPECT_EQ(Page().m_chkStartup.GetCheck(), BST_CHECKED);
    EXPECT_EQ(RunValue(), QuotedExe());
    // Written twice in a row: still one value, the quoted path of this program.
    EXPECT_TRUE(SetRunAtStartup(TRUE));
    EXPECT_EQ(RunValue(), QuotedExe());
    EXPECT_TRUE(IsRunAtStartup());
    Click(1009);
    EXPECT_EQ(RunValue(), L"(none)");
    // A missing value is no error.
    EXPECT_TRUE(SetRunAtStartup(FALSE));
    EXPECT_EQ(RunValue(), L"(none)");
    // Whatever the value holds, its existence checks the box when the page shows.
    HKEY hKey = NULL;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, s_szRunKey, 0, NULL, 0, KEY_SET_VALUE, NULL, &hKey, NULL), ERROR_SUCCESS);
    ::RegSetValueExW(hKey, L"Tamsel", 0, REG_SZ, (const BYTE*)L"x", 4);
    ::RegCloseKey(hKey);
    Page().ShowWindow(SW_HIDE);
    Page().ShowWindow(SW_SHOW);
    EXPECT_EQ(Page().m_chkStartup.GetCheck(), BST_CHECKED);
}

TEST_F(GeneralSettingsTest, OptionBoxesReachTheApplicationAtOnceAndWhenHidden)
{
    TestApp()->m_bAutoRepair = 0;
    TestApp()->m_bCloseAfterScan = 1;
    CreateMainWindow();
    ShowPage();
    EXPECT_EQ(Page().m_chkCloseAfterRepair.GetCheck(), BST_CHECKED);
    Click(1008);
    EXPECT_TRUE(TestApp()->m_bAutoRepair);
    Click(1108);
    EXPECT_FALSE(TestApp()->m_bCloseAfterScan);
    Click(1108);
    Page().m_chkAutoUpdate.SetCheck(BST_CHECKED);
    Page().m_chkCloseAfterRepair.SetCheck(BST_UNCHECKED);
    Page().ShowWindow(SW_HIDE);
    EXPECT_TRUE(TestApp()->m_bAutoUpdate);
    EXPECT_FALSE(TestApp()->m_bCloseAfterScan);
    TestApp()->m_bAutoUpdate = 0;
}

TEST_F(GeneralSettingsTest, TheLanguageListAndItsLastItem)
{
    MessageBoxRecorder recorder;
    CShellOpenRecorder shell;
    CreateMainWindow();
    ShowPage();
    CIconComboBox& combo = Page().m_comboLanguage;
    // English (written at start) and Zulu; the file without a Language value is left out.
    ASSERT_EQ(combo.GetCount(), 3);
    EXPECT_EQ(LastItem(combo), CString(L"More Languages..."));
    int nZulu = TestApp()->FindLanguageIndex(L"Zulu.ini");
    ASSERT_GE(nZulu, 0);
    CString strBefore = TestApp()->m_strLangFile;

    // The last item opens the web page and changes nothing.
    ChooseInPage(combo.GetCount() - 1);
    ASSERT_EQ(s_opened.size(), 1u);
    EXPECT_NE(s_opened[0].find(L"language.php"), std::wstring::npos);
    EXPECT_EQ(TestApp()->m_strLangFile, strBefore);
    EXPECT_EQ(combo.GetCurSel(), combo.GetCount() - 1);

    // No selection: nothing happens.
    ChooseInPage(-1);
    EXPECT_EQ(TestApp()->m_strLangFile, strBefore);
    EXPECT_EQ(s_opened.size(), 1u);

    // A change here: both lists end with the new language's text.
    ChooseInPage(nZulu);
    EXPECT_NE(TestApp()->m_strLangFile.Find(L"Zulu.ini"), -1);
    EXPECT_EQ(LastItem(combo), CString(L"Ezinye izilimi..."));
    EXPECT_EQ(LastItem(m_pDlg->m_comboLanguage), CString(L"Ezinye izilimi..."));
    EXPECT_EQ(m_pDlg->m_comboLanguage.GetCurSel(), nZulu);
    CString strText;
    Page().GetDlgItemText(1009, strText);
    EXPECT_EQ(strText, CString(L"Qala"));

    // And a change in the main window's list reaches this list's last item.
    int nEnglish = TestApp()->FindLanguageIndex(L"English.ini");
    m_pDlg->m_comboLanguage.SetCurSel(nEnglish);
    m_pDlg->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_LANGUAGE_COMBO, CBN_SELCHANGE), (LPARAM)m_pDlg->m_comboLanguage.m_hWnd);
    EXPECT_EQ(LastItem(combo), CString(L"More Languages..."));
    EXPECT_EQ(LastItem(m_pDlg->m_comboLanguage), CString(L"More Languages..."));
}

TEST_F(GeneralSettingsTest, ALanguageValueWithoutIniMeansTheSystemLanguage)
{
    MessageBoxRecorder recorder;
    ::WritePrivateProfileStringW(L"General Settings", L"Language", L"Zulu test", m_folder.File(L"Settings.ini").c_str());
    CreateMainWindow();
    Page().FillLanguageList();
    CString strSystem = TestApp()->GetLanguageFileForCode(TestApp()->GetSystemLanguageCode());
    EXPECT_EQ(Page().m_comboLanguage.GetCurSel(), TestApp()->FindLanguageIndex(strSystem));
    ::WritePrivateProfileStringW(L"General Settings", L"Language", L"Zulu.INI", m_folder.File(L"Settings.ini").c_str());
    Page().FillLanguageList();
    EXPECT_EQ(Page().m_comboLanguage.GetCurSel(), TestApp()->FindLanguageIndex(L"Zulu.ini"));
}

// The Check Update button's pictures are cut out where they are pure green:
// a smoothed corner blended with that green would stay as green pixels.
TEST(GeneralSettingsPictures, CheckUpdateHasNoGreenBlendsAtItsEdge)
{
    for (UINT nID : {1137u, 1138u})
    {
        HBITMAP hBitmap = (HBITMAP)::LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW(nID), IMAGE_BITMAP, 0, 0,
                                                LR_CREATEDIBSECTION);
        ASSERT_TRUE(hBitmap != NULL) << nID;
        DIBSECTION dib = {};
        ASSERT_NE(::GetObjectW(hBitmap, sizeof(dib), &dib), 0);
        ASSERT_EQ(dib.dsBm.bmBitsPixel, 24);
        int nKey = 0, nBlend = 0;
        for (int y = 0; y < dib.dsBm.bmHeight; y++)
        {
            const BYTE* pRow = (const BYTE*)dib.dsBm.bmBits + (size_t)y * dib.dsBm.bmWidthBytes;
            for (int x = 0; x < dib.dsBm.bmWidth; x++)
            {
                BYTE b = pRow[3 * x], g = pRow[3 * x + 1], r = pRow[3 * x + 2];
                if (r == 0 && g == 255 && b == 0)
                    ++nKey;
                else if (g > r + 60 && g > b + 60)
                    ++nBlend;
            }
        }
        EXPECT_GT(nKey, 0) << nID << ": the corners are cut out";
        EXPECT_EQ(nBlend, 0) << nID;
        ::DeleteObject(hBitmap);
    }
}
