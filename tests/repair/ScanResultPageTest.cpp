// The scan result page: rows from the scan's sink, FIX & Continue with its
// counts and repair lists, a second FIX after a restore, Open and Ignore,
// and the automatic repair after a scan.
#include "tests/repair/RepairTestSupport.h"
#include "app/TamselDlg.h"
#include "repair/IgnoreListFile.h"
#include "services/RegFile.h"
#include "services/ZipReader.h"
#include "tests/support/HostSupport.h"
#include "tests/support/MessageBoxRecorder.h"

#include <shlwapi.h>

using namespace repairtest;

namespace {

const wchar_t kKey[] = L"Software\\TamselResultTest";

std::wstring g_strVerb, g_strFile;
int g_nShellCalls = 0;

HINSTANCE WINAPI RecordShell(HWND, LPCWSTR pszVerb, LPCWSTR pszFile, LPCWSTR, LPCWSTR, INT)
{
    g_strVerb = pszVerb != NULL ? pszVerb : L"";
    g_strFile = pszFile != NULL ? pszFile : L"";
    g_nShellCalls++;
    return (HINSTANCE)(INT_PTR)33;
}

bool KeyThere(const std::wstring& strSub)
{
    HKEY hKey = NULL;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, (std::wstring(kKey) + L"\\" + strSub).c_str(), 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return false;
    RegCloseKey(hKey);
    return true;
}

void PlantKey(const std::wstring& strSub)
{
    HKEY hKey = NULL;
    RegCreateKeyExW(HKEY_CURRENT_USER, (std::wstring(kKey) + L"\\" + strSub).c_str(), 0, NULL, 0, KEY_ALL_ACCESS,
                    NULL, &hKey, NULL);
    RegSetValueExW(hKey, L"v", 0, REG_SZ, (const BYTE*)L"x", 4);
    RegCloseKey(hKey);
}

class ScanResultPageTest : public RepairWindowTest
{
protected:
    void SetUp() override
    {
        RepairWindowTest::SetUp();
        SHDeleteKeyW(HKEY_CURRENT_USER, kKey);
        CScanResultPage::s_pfnShellExecute = RecordShell;
        g_nShellCalls = 0;
        m_pDlg->ShowPage(PAGE_SCAN_RESULT);
        Pump(50);
    }
    void TearDown() override
    {
        CScanResultPage::s_pfnShellExecute = ::ShellExecuteW;
        SHDeleteKeyW(HKEY_CURRENT_USER, kKey);
        RepairWindowTest::TearDown();
    }

    CScanResultPage& Page() { return m_pDlg->m_pageScanResult; }
    CTreeListCtrl& Tree() { return Page().m_tree; }

    // What a scan hands over: the 15 category rows, then the problems.
    void Fill(const std::vector<std::pair<int, CRegProblem>>& problems)
    {
        Page().ClearResults();
        Page().AddCategoryRows(m_pApp->m_strCategoryNames, TAMSEL_CATEGORY_COUNT);
        std::vector<CScanResultRow> rows;
        for (const auto& p : problems)
        {
            INT_PTR nIndex = FoundListOf(m_pApp, p.first).Add(p.second);
            CScanResultRow row;
            row.nCategory = p.first;
            row.strText = L"<b>" + p.second.m_strKeyPath + L"</b>";
            row.dwItemData = (DWORD_PTR)nIndex;
            row.nState = SCAN_PROBLEM_ROW_STATE;
            rows.push_back(row);
        }
        if (!rows.empty())
            Page().AddProblemRows(rows.data(), (int)rows.size());
        m_pApp->m_nNextProblem = (int)problems.size() + 1;
    }

    CTreeListItem* ProblemRow(const CString& strKeyPath)
    {
        for (CTreeListItem* pCat = Tree().GetRootItem(); pCat != NULL; pCat = Tree().GetNextSiblingItem(pCat))
        {
            for (CTreeListItem* p = Tree().GetChildItem(pCat); p != NULL; p = Tree().GetNextSiblingItem(p))
            {
                if (Page().GetItemKeyPath(p) == strKeyPath)
                    return p;
            }
        }
        return NULL;
    }

    void PressFix() { Page().SendMessage(WM_COMMAND, MAKEWPARAM(1001, BN_CLICKED), (LPARAM)Page().m_btnFix.m_hWnd); }

    void Click(UINT nCode, CTreeListItem* pItem)
    {
        Tree().SelectItem(pItem);
        NMTREELIST nm = {};
        nm.hdr.hwndFrom = Tree().m_hWnd;
        nm.hdr.idFrom = 1113;
        nm.hdr.code = nCode;
        nm.pItem = pItem;
        Page().SendMessage(WM_NOTIFY, 1113, (LPARAM)&nm);
    }

    CString Full(const std::wstring& strSub) const { return (L"HKEY_CURRENT_USER\\" + std::wstring(kKey) + L"\\" + strSub).c_str(); }
    CString Sub(const std::wstring& strSub) const { return (std::wstring(kKey) + L"\\" + strSub).c_str(); }
};

} // namespace

// FIX, restore from the archive, uncheck one, FIX: the unchecked entry stays.
TEST_F(ScanResultPageTest, SecondFixRepairsOnlyWhatIsCheckedNow)
{
    PlantKey(L"A");
    PlantKey(L"B");
    Fill({ { 15, KeyProblem(L"HKEY_CURRENT_USER", Sub(L"A")) }, { 15, KeyProblem(L"HKEY_CURRENT_USER", Sub(L"B")) } });
    PressFix();
    EXPECT_FALSE(KeyThere(L"A"));
    EXPECT_FALSE(KeyThere(L"B"));
    EXPECT_EQ(m_pDlg->GetCurrentPage(), PAGE_REPORT);
    EXPECT_EQ(m_pApp->m_nErrors[14], 2);

    std::vector<std::wstring> archives = FolderFiles(m_folder.File(L"AutoBackup"));
    ASSERT_EQ(archives.size(), 1u);
    ZipHandle hZip = OpenZipArchive(m_folder.File(L"AutoBackup\\" + archives[0]).c_str(), 0, ZipKindFile);
    ASSERT_NE(hZip, nullptr);
    std::wstring strReg = m_folder.File(L"restore.reg");
    EXPECT_EQ(ExtractZipArchiveItem(hZip, 0, strReg.c_str(), 0, ZipKindFile), ZipOk);
    CloseZipReader(hZip);
    CRegFile importer;
    EXPECT_EQ(importer.ImportFile(strReg.c_str()), (DWORD)ERROR_SUCCESS);
    ASSERT_TRUE(KeyThere(L"A") && KeyThere(L"B"));

    m_pDlg->ShowPage(PAGE_SCAN_RESULT);
    Tree().SetCheck(ProblemRow(Full(L"A")), FALSE);
    PressFix();
    EXPECT_TRUE(KeyThere(L"A")) << "an unchecked entry was repaired again";
    EXPECT_FALSE(KeyThere(L"B"));
    ASSERT_EQ(RepairListOf(m_pApp, 15).GetSize(), 1);
    EXPECT_EQ(RepairListOf(m_pApp, 15)[0].m_strKeyPath, Full(L"B"));
    EXPECT_EQ(m_pApp->m_nErrors[14], 1);
}

TEST_F(ScanResultPageTest, PartlyCheckedRowCountsButIsNotRepaired)
{
    PlantKey(L"A");
    PlantKey(L"B");
    Fill({ { 15, KeyProblem(L"HKEY_CURRENT_USER", Sub(L"A")) }, { 3, ValueProblem(L"HKEY_CURRENT_USER", Sub(L"B"), L"v") } });
    CTreeListItem* pKeyRow = ProblemRow(Full(L"A"));
    CTreeListItem* pValueRow = ProblemRow(Full(L"B"));
    ASSERT_NE(pKeyRow, nullptr);
    ASSERT_NE(pValueRow, nullptr);
    // The key row partly checked, the value row unchecked: nothing chosen.
    Tree().SetItemState(pKeyRow, TLIS_CHECKED | TLIS_UNCHECKED);
    ASSERT_EQ(Tree().GetCheck(pKeyRow), 2);
    Tree().SetCheck(pValueRow, FALSE);
    testsupport::MessageBoxRecorder boxes;
    PressFix();
    EXPECT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.LastText(), L"No item selected!");
    EXPECT_TRUE(KeyThere(L"A"));
    EXPECT_EQ(RepairListOf(m_pApp, 15).GetSize(), 0);

    // Checked again, the value goes; the partly checked row only counts.
    Tree().SetCheck(pValueRow, TRUE);
    PressFix();
    EXPECT_TRUE(KeyThere(L"A"));
    EXPECT_EQ(m_pApp->m_nErrors[14], 1);
    EXPECT_EQ(m_pApp->m_nCleaned[14], 0);
    EXPECT_EQ(m_pApp->m_nErrors[2], 1);
    EXPECT_EQ(m_pApp->m_nCleaned[2], 1);
}

TEST_F(ScanResultPageTest, EmptyTreeGoesStraightToTheRepair)
{
    Page().ClearResults();
    testsupport::MessageBoxRecorder boxes;
    PressFix();
    EXPECT_EQ(boxes.Count(), 0u);
    EXPECT_EQ(m_pDlg->GetCurrentPage(), PAGE_REPORT);
}

// The category names change with the language; the rows keep theirs.
TEST_F(ScanResultPageTest, LanguageChangeBeforeFixKeepsEveryRowsCategory)
{
    PlantKey(L"A");
    Fill({ { 15, KeyProblem(L"HKEY_CURRENT_USER", Sub(L"A")) } });
    for (int i = 0; i < TAMSEL_CATEGORY_COUNT; i++)
        m_pApp->m_strCategoryNames[i] = L"Renamed";
    PressFix();
    EXPECT_FALSE(KeyThere(L"A"));
    EXPECT_EQ(m_pApp->m_nCleaned[14], 1);
}

TEST_F(ScanResultPageTest, OpenExploresAShortcutsFolderAndIgnoreTakesTheRowAway)
{
    PlantKey(L"A");
    Fill({ { SHORTCUT_CATEGORY, ShortcutProblem(L"C:\\Links\\Old\\gone.lnk") },
           { 15, KeyProblem(L"HKEY_CURRENT_USER", Sub(L"A")) } });
    Click(TLN_OPENCLICK, ProblemRow(L"C:\\Links\\Old\\gone.lnk"));
    EXPECT_EQ(g_nShellCalls, 1);
    EXPECT_EQ(g_strVerb, L"explore");
    EXPECT_EQ(g_strFile, L"C:\\Links\\Old");

    // A category row opens nothing.
    Click(TLN_OPENCLICK, Tree().GetRootItem());
    EXPECT_EQ(g_nShellCalls, 1);

    Click(TLN_IGNORECLICK, ProblemRow(Full(L"A")));
    EXPECT_EQ(ProblemRow(Full(L"A")), nullptr);
    EXPECT_EQ(m_pApp->m_nNextProblem, 2);
    EXPECT_EQ(Page().m_wndTotal.GetText(), L"1");
    m_pApp->LoadIgnoreList();
    ASSERT_EQ(m_pApp->m_arrIgnoreList.GetSize(), 1);
    EXPECT_EQ(m_pApp->m_arrIgnoreList[0], L"14;" + Full(L"A") + L"|{Default}|");
    // Shown again, the empty category row is gone.
    m_pDlg->ShowPage(PAGE_HOME);
    m_pDlg->ShowPage(PAGE_SCAN_RESULT);
    int nCategories = 0;
    for (CTreeListItem* pCat = Tree().GetRootItem(); pCat != NULL; pCat = Tree().GetNextSiblingItem(pCat))
        nCategories++;
    EXPECT_EQ(nCategories, 1);
    TakeScreenshot("result");
}

// An ignore list that does not read whole is not written to: the row stays
// and the box says why.
TEST_F(ScanResultPageTest, IgnoreIntoAnUnreadableListSaysSoAndKeepsTheRow)
{
    PlantKey(L"A");
    Fill({ { 15, KeyProblem(L"HKEY_CURRENT_USER", Sub(L"A")) } });
    CString strFile = CIgnoreListFile::FileOf(m_pApp);
    // UTF-16 with a U+FFFF unit: readable line by line, but not as text.
    const char bytes[] = "\xFF\xFE" "0\0;\0X\0\n\0" "\xFF\xFF" "\n\0";
    std::string strBytes(bytes, sizeof(bytes) - 1);
    ASSERT_TRUE(testsupport::WriteFileBytes(std::wstring(strFile), strBytes));
    testsupport::MessageBoxRecorder boxes;
    Click(TLN_IGNORECLICK, ProblemRow(Full(L"A")));
    EXPECT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.LastText(), std::wstring(m_pApp->GetLangString(L"M_IGNORE_UNREADABLE")));
    EXPECT_NE(ProblemRow(Full(L"A")), nullptr);
    EXPECT_EQ(testsupport::ReadFileBytes(std::wstring(strFile)), strBytes);
    ::DeleteFileW(strFile);
}

TEST_F(ScanResultPageTest, AutomaticRepairRunsOnceAfterAScan)
{
    PlantKey(L"A");
    Fill({ { 15, KeyProblem(L"HKEY_CURRENT_USER", Sub(L"A")) } });
    m_pApp->m_bAutoRepair = 1;
    m_pDlg->ShowPage(PAGE_HOME);
    Page().SetAfterScan(TRUE);
    m_pDlg->ShowPage(PAGE_SCAN_RESULT);
    testsupport::WaitFor([this] { return m_pDlg->GetCurrentPage() == PAGE_REPORT; }, 10000);
    EXPECT_FALSE(KeyThere(L"A"));
    EXPECT_EQ(m_pDlg->GetCurrentPage(), PAGE_REPORT);
    EXPECT_EQ(Page().m_bAfterScan, 0);

    // Shown again from the navigation: no second repair.
    PlantKey(L"A");
    m_pDlg->ShowPage(PAGE_SCAN_RESULT);
    Pump(300);
    EXPECT_TRUE(KeyThere(L"A"));
}

TEST_F(ScanResultPageTest, EmptyResultAfterAScanClosesWithCloseAfterScan)
{
    Fill({});
    m_pApp->m_bCloseAfterScan = 1;
    m_pDlg->ShowPage(PAGE_HOME);
    Page().SetAfterScan(TRUE);
    m_pDlg->ShowPage(PAGE_SCAN_RESULT);
    bool bQuit = false;
    DWORD dwStart = GetTickCount();
    while (!bQuit && GetTickCount() - dwStart < 3000)
    {
        MSG msg;
        while (PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE))
        {
            if (msg.message == WM_QUIT)
                bQuit = true;
            else
                DispatchMessageW(&msg);
        }
        Sleep(10);
    }
    EXPECT_TRUE(bQuit);
}
