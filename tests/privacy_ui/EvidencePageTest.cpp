// The evidence cleaner page driven through the library's exports and its
// commands, over a registry key planted in the suite's own prefix.
#include "optimizer/shared/IniFile.h"
#include "privacy/CleanProgressDlg.h"
#include "privacy/EvidenceCatalogue.h"
#include "privacy/EvidenceCleanerDlg.h"
#include "privacy/PrivacyState.h"
#include "privacy/SweepkitExports.h"
#include "tests/privacy_ui/PrivacyUiSupport.h"
#include <shlwapi.h>
#include <shlobj.h>
#include <atomic>

using namespace privtest;

namespace {
// Item 113 lists this whole key; item 125 one value of the Regedit key.
const wchar_t kRunMRU[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU";
const wchar_t kRegedit[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Regedit";

void PlantValues(const wchar_t* pszKey, int nCount, const wchar_t* pszPrefix = L"v")
{
    HKEY hKey = NULL;
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, pszKey, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &hKey, NULL), ERROR_SUCCESS);
    for (int i = 0; i < nCount; i++)
    {
        wchar_t szName[32];
        swprintf(szName, 32, L"%ls%05d", pszPrefix, i);
        ::RegSetValueExW(hKey, szName, 0, REG_SZ, (const BYTE*)L"C:\\x.exe", 18);
    }
    ::RegCloseKey(hKey);
}

bool ValueExists(const wchar_t* pszKey, const wchar_t* pszName)
{
    HKEY hKey = NULL;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, pszKey, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return false;
    bool bExists = ::RegQueryValueExW(hKey, pszName, NULL, NULL, NULL, NULL) == ERROR_SUCCESS;
    ::RegCloseKey(hKey);
    return bExists;
}

bool KeyExists(const wchar_t* pszKey)
{
    HKEY hKey = NULL;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, pszKey, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return false;
    ::RegCloseKey(hKey);
    return true;
}

// Holds the scan worker before the item with the held id until released or
// stopped (at most 20 s).
std::atomic<int> s_nHeldItem{0};
HANDLE s_hRelease = NULL;
std::atomic<bool> s_bHeld{false};
// A worker stuck in a call that does not look at its stop event.
std::atomic<bool> s_bIgnoreStop{false};
void HoldBeforeItem(CEvidenceItem* pItem, HANDLE hStop)
{
    if (pItem->m_nStringID != s_nHeldItem.load())
        return;
    s_bHeld = true;
    HANDLE handles[2] = {s_hRelease, hStop};
    ::WaitForMultipleObjects(s_bIgnoreStop.load() ? 1 : 2, handles, FALSE, 20000);
}

class EvidencePageTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        s_hRelease = ::CreateEventW(NULL, TRUE, FALSE, NULL);
        s_bHeld = false;
        s_bIgnoreStop = false;
        s_nHeldItem = 0;
        CEvidenceCleanerDlg::SetScanItemHookForTests(&HoldBeforeItem);
        CIniFile::SetHostFolderForTests(m_folder.Path().c_str());
        ::SHDeleteKeyW(HKEY_CURRENT_USER, kRunMRU);
        FunPrivacySwitchLanguage(EnglishLanguageFile().c_str());
        FunInitPrivacy(m_host.m_hWnd, 1, 0, 0, L"", L"", L"");
        m_pPage = PrivacyEvidencePage();
        ASSERT_NE(m_pPage, (CEvidenceCleanerDlg*)NULL);
        FunShowWindow(1, 1);
    }
    void TearDown() override
    {
        ::SetEvent(s_hRelease);
        FunExitPrivacy();
        EXPECT_EQ(FunIsThread(), 0);
        CEvidenceCleanerDlg::SetScanItemHookForTests(NULL);
        ::CloseHandle(s_hRelease);
        HKEY hKey = NULL;
        if (::RegOpenKeyExW(HKEY_CURRENT_USER, kRegedit, 0, KEY_SET_VALUE, &hKey) == ERROR_SUCCESS)
        {
            ::RegDeleteValueW(hKey, L"lastkey");
            ::RegCloseKey(hKey);
        }
        ::SHDeleteKeyW(HKEY_CURRENT_USER, kRunMRU);
        CIniFile::SetHostFolderForTests(NULL);
    }
    // Only these items checked.
    void Choose(std::initializer_list<int> ids)
    {
        CMyTreeCtrl& tree = m_pPage->GetTree();
        tree.UncheckAll(PrivacyCatalogue());
        for (int nID : ids)
            ASSERT_TRUE(tree.CheckItemById(PrivacyCatalogue(), nID));
    }
    void Command(UINT nID) { m_pPage->SendMessage(WM_COMMAND, MAKEWPARAM(nID, BN_CLICKED), 0); }
    bool WaitScanEnd(DWORD dwMs = 60000)
    {
        return testsupport::WaitFor([&] { return !m_pPage->IsScanning() && FunIsThread() == 0; }, dwMs);
    }
    int Rows() { return m_pPage->GetResultList().GetItemCount(); }

    testsupport::ScratchFolder m_folder;
    HostWindow m_host;
    CEvidenceCleanerDlg* m_pPage = NULL;
};
} // namespace

TEST_F(EvidencePageTest, FlagsAreUpWhenScanReturnsAndRowsArriveInBatches)
{
    PlantValues(kRunMRU, 1500);
    Choose({113});
    Command(CEvidenceCleanerDlg::IDC_SCAN);
    // The host may ask before the worker has run a single line.
    EXPECT_EQ(FunIsThread(), 1);
    EXPECT_TRUE(m_pPage->IsScanning());
    EXPECT_FALSE(m_pPage->GetButton(CEvidenceCleanerDlg::IDC_CLEAN).IsButtonEnabled());
    ASSERT_TRUE(WaitScanEnd());
    EXPECT_EQ(Rows(), 1500);
    EXPECT_EQ(m_pPage->GetRowCount(), 1500);
    EXPECT_LT(m_pPage->GetBatchCount(), 1500 / 4) << "rows went in one by one";
    EXPECT_GE(m_pPage->GetBatchCount(), 1);
    CEvidenceItem* pItem = FindCatalogueItem(PrivacyCatalogue(), 113);
    EXPECT_EQ(pItem->m_nFoundCount, 1500);
    EXPECT_EQ(pItem->m_pParent->m_pParent->m_nFoundCount, 1500) << "the root counts the item's rows";
    EXPECT_EQ(m_pPage->GetResultList().GetItemText(0, 2),
              CString(L"HKEY_CURRENT_USER\\") + kRunMRU);
    EXPECT_EQ(m_pPage->GetResultList().GetItemData(0), (DWORD_PTR)1) << "a registry row";
    EXPECT_TRUE(m_pPage->GetButton(CEvidenceCleanerDlg::IDC_CLEAN).IsButtonEnabled());
    // The scan wrote the choice it scanned.
    CIniFile ini(L"Sweepkit.ini");
    EXPECT_EQ(ini.ReadInt(L"RecentItem", L"RecentItems"), 1);
    EXPECT_EQ(ini.ReadInt(L"RecentItem", L"item0"), 113);
    CMyTreeCtrl& tree = m_pPage->GetTree();
    tree.Expand(pItem->m_pParent->m_pParent->m_hItem, TVE_EXPAND);
    tree.Expand(pItem->m_pParent->m_hItem, TVE_EXPAND);
    tree.SelectItem(FindCatalogueItem(PrivacyCatalogue(), 109)->m_hItem);
    m_pPage->GetResultList().SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
    Shoot(m_pPage->m_hWnd, "privacy_evidence_page");
}

TEST_F(EvidencePageTest, StopWhileHiddenEndsTheScanAndEachRunHasItsOwnStopEvent)
{
    PlantValues(kRunMRU, 3000);
    PlantValues(kRegedit, 0);
    {
        HKEY hKey = NULL;
        ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, kRegedit, 0, KEY_SET_VALUE, &hKey), ERROR_SUCCESS);
        ::RegSetValueExW(hKey, L"lastkey", 0, REG_SZ, (const BYTE*)L"My Computer", 24);
        ::RegCloseKey(hKey);
    }
    Choose({113, 125});
    s_nHeldItem = 125;
    Command(CEvidenceCleanerDlg::IDC_SCAN);
    ASSERT_TRUE(testsupport::WaitFor([&] { return s_bHeld.load() && Rows() == 3000; }, 30000));
    // The host moved to another view; its stop still reaches the scan.
    FunShowWindow(0, 0);
    EXPECT_FALSE(m_pPage->IsWindowVisible());
    EXPECT_EQ(FunIsThread(), 1);
    FunStopThread();
    ASSERT_TRUE(WaitScanEnd());
    EXPECT_EQ(Rows(), 3000) << "item 125 was not listed after the stop";
    EXPECT_EQ(m_pPage->GetTree().GetScanListCount(), 1) << "the list is cut after the item that was listed";
    EXPECT_EQ(m_pPage->GetStopEvent(), (HANDLE)NULL) << "closed once its thread had ended";

    // The next run starts with an event nobody has signalled.
    s_nHeldItem = 0;
    FunShowWindow(1, 1);
    Command(CEvidenceCleanerDlg::IDC_SCAN);
    EXPECT_NE(m_pPage->GetStopEvent(), (HANDLE)NULL);
    EXPECT_EQ(::WaitForSingleObject(m_pPage->GetStopEvent(), 0), (DWORD)WAIT_TIMEOUT);
    ASSERT_TRUE(WaitScanEnd());
    EXPECT_EQ(Rows(), 3001);
    EXPECT_EQ(m_pPage->GetTree().GetScanListCount(), 2);
}

TEST_F(EvidencePageTest, NothingCheckedScansNothingAndSavesAnEmptyChoice)
{
    m_pPage->GetTree().UncheckAll(PrivacyCatalogue());
    Command(CEvidenceCleanerDlg::IDC_SCAN);
    ASSERT_TRUE(WaitScanEnd());
    EXPECT_EQ(Rows(), 0);
    EXPECT_EQ(CIniFile(L"Sweepkit.ini").ReadInt(L"RecentItem", L"RecentItems"), 0);
    Command(CEvidenceCleanerDlg::IDC_CLEAN);
    EXPECT_EQ(m_pPage->GetProgressDialog(), (CCleanProgressDlg*)NULL);
}

TEST_F(EvidencePageTest, ShowingThePageAgainLeavesARunningScansRows)
{
    PlantValues(kRunMRU, 600);
    Choose({113, 125});
    s_nHeldItem = 125;
    Command(CEvidenceCleanerDlg::IDC_SCAN);
    ASSERT_TRUE(testsupport::WaitFor([&] { return s_bHeld.load() && Rows() == 600; }, 30000));
    FunShowWindow(0, 0);
    FunShowWindow(1, 1);  // ResetView while the scan runs
    EXPECT_EQ(Rows(), 600);
    ::SetEvent(s_hRelease);
    ASSERT_TRUE(WaitScanEnd());
    EXPECT_EQ(Rows(), 600);
    EXPECT_EQ(m_pPage->GetRowCount(), 600);
    EXPECT_EQ(FindCatalogueItem(PrivacyCatalogue(), 113)->m_nFoundCount, 600);
    // Shown again when idle, the results go.
    FunShowWindow(0, 0);
    FunShowWindow(1, 1);
    EXPECT_EQ(Rows(), 0);
    EXPECT_EQ(FindCatalogueItem(PrivacyCatalogue(), 113)->m_nFoundCount, 0);
}

TEST_F(EvidencePageTest, DeleteRowDropsARowOnlyWhenItsValueIsGone)
{
    PlantValues(kRunMRU, 3);
    Choose({113});
    Command(CEvidenceCleanerDlg::IDC_SCAN);
    ASSERT_TRUE(WaitScanEnd());
    ASSERT_EQ(Rows(), 3);
    CMyListCtrl& list = m_pPage->GetResultList();
    Command(CEvidenceCleanerDlg::IDC_DELETE);
    EXPECT_EQ(Rows(), 3) << "no row selected";

    // Row 0 names v00000: deleted, the row goes.
    list.SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    Command(CEvidenceCleanerDlg::IDC_DELETE);
    EXPECT_EQ(Rows(), 2);
    EXPECT_EQ(m_pPage->GetRowCount(), 2);
    EXPECT_FALSE(ValueExists(kRunMRU, L"v00000"));
    EXPECT_TRUE(ValueExists(kRunMRU, L"v00001"));

    // A root the page does not know deletes nothing and keeps the row.
    list.SetItemText(0, 2, CString(L"HKEY_NOWHERE\\") + kRunMRU);
    list.SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
    Command(CEvidenceCleanerDlg::IDC_DELETE);
    EXPECT_EQ(Rows(), 2);
    EXPECT_TRUE(ValueExists(kRunMRU, L"v00001"));

    // A value already gone lets its row go.
    HKEY hKey = NULL;
    ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, kRunMRU, 0, KEY_SET_VALUE, &hKey), ERROR_SUCCESS);
    ::RegDeleteValueW(hKey, L"v00002");
    ::RegCloseKey(hKey);
    list.SetItemState(0, 0, LVIS_SELECTED);
    list.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
    Command(CEvidenceCleanerDlg::IDC_DELETE);
    EXPECT_EQ(Rows(), 1);

    // A file row whose file cannot go stays.
    std::wstring strFile = m_folder.File(L"held.txt");
    testsupport::WriteFileBytes(strFile, "held");
    HANDLE hHeld = ::CreateFileW(strFile.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(hHeld, INVALID_HANDLE_VALUE);
    int nRow = list.InsertItem(1, L"Test");
    list.SetItemText(nRow, 1, L"held.txt");
    list.SetItemText(nRow, 2, m_folder.Path().c_str());
    list.SetItemData(nRow, 0);
    list.SetItemState(0, 0, LVIS_SELECTED);
    list.SetItemState(nRow, LVIS_SELECTED, LVIS_SELECTED);
    Command(CEvidenceCleanerDlg::IDC_DELETE);
    EXPECT_EQ(Rows(), 2);
    ::CloseHandle(hHeld);
    Command(CEvidenceCleanerDlg::IDC_DELETE);
    EXPECT_EQ(Rows(), 1) << "deleted once it was free";
    EXPECT_EQ(::GetFileAttributesW(strFile.c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(EvidencePageTest, CleanRunsUnderTheProgressDialogAndAsksNothingWhenAllWent)
{
    PlantValues(kRunMRU, 25);
    Choose({113});
    Command(CEvidenceCleanerDlg::IDC_CLEAN);
    EXPECT_EQ(m_pPage->GetProgressDialog(), (CCleanProgressDlg*)NULL) << "nothing scanned, no dialog";
    Command(CEvidenceCleanerDlg::IDC_SCAN);
    ASSERT_TRUE(WaitScanEnd());
    ASSERT_EQ(Rows(), 25);
    testsupport::MessageBoxRecorder boxes;
    int nDeleted = -1, nStep = -1;
    ModalScript script({[&] {
        CCleanProgressDlg* pDlg = m_pPage->GetProgressDialog();
        if (pDlg == NULL || !pDlg->IsWorkDone())
            return false;
        nDeleted = pDlg->GetDeletedCount();
        nStep = pDlg->GetProgressStep();
        ::SendMessageW(pDlg->m_hWnd, WM_COMMAND, CCleanProgressDlg::IDC_EXIT, 0);
        return true;
    }});
    Command(CEvidenceCleanerDlg::IDC_CLEAN);
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(nDeleted, 25);
    EXPECT_EQ(nStep, 10);
    EXPECT_FALSE(KeyExists(kRunMRU));
    EXPECT_EQ(Rows(), 0);
    EXPECT_EQ(m_pPage->GetTree().GetScanListCount(), 0);
    EXPECT_EQ(boxes.Count(), 0u) << "no restart question";
}

TEST_F(EvidencePageTest, CheckCommandsAskFirstAndWaitWhileScanning)
{
    testsupport::MessageBoxRecorder boxes;
    CMyTreeCtrl& tree = m_pPage->GetTree();
    CEvidenceItem* pCatalogue = PrivacyCatalogue();
    // No Sweepkit.ini: the default choice.
    EXPECT_EQ(tree.GetCheckState(FindCatalogueItem(pCatalogue, 104)->m_hItem), CMyTreeCtrl::STATE_CHECKED);
    EXPECT_EQ(tree.GetCheckState(FindCatalogueItem(pCatalogue, 110)->m_hItem), CMyTreeCtrl::STATE_UNCHECKED);
    boxes.QueueAnswer(IDNO);
    Command(CEvidenceCleanerDlg::IDC_CHECK_ALL);
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.Boxes()[0].strCaption, L"warning");
    EXPECT_NE(boxes.Boxes()[0].strText.find(L"\n"), std::wstring::npos) << "line breaks made of \\n";
    EXPECT_EQ(tree.GetCheckState(FindCatalogueItem(pCatalogue, 110)->m_hItem), CMyTreeCtrl::STATE_UNCHECKED);
    boxes.QueueAnswer(IDYES);
    Command(CEvidenceCleanerDlg::IDC_CHECK_ALL);
    EXPECT_EQ(tree.GetCheckState(FindCatalogueItem(pCatalogue, 110)->m_hItem), CMyTreeCtrl::STATE_CHECKED);
    Command(CEvidenceCleanerDlg::IDC_UNCHECK_ALL);
    EXPECT_EQ(tree.GetCheckState(FindCatalogueItem(pCatalogue, 102)->m_hItem), CMyTreeCtrl::STATE_UNCHECKED);

    PlantValues(kRunMRU, 20);
    Choose({113});
    s_nHeldItem = 113;
    Command(CEvidenceCleanerDlg::IDC_SCAN);
    Command(CEvidenceCleanerDlg::IDC_DEFAULT);
    Command(CEvidenceCleanerDlg::IDC_CHECK_ALL);
    EXPECT_EQ(tree.GetCheckState(FindCatalogueItem(pCatalogue, 104)->m_hItem), CMyTreeCtrl::STATE_UNCHECKED)
        << "the choice stays while scanning";
    EXPECT_EQ(boxes.Count(), 2u);
    // Scan pressed again stops the scan.
    Command(CEvidenceCleanerDlg::IDC_SCAN);
    ASSERT_TRUE(WaitScanEnd());
    Command(CEvidenceCleanerDlg::IDC_DEFAULT);
    EXPECT_EQ(tree.GetCheckState(FindCatalogueItem(pCatalogue, 104)->m_hItem), CMyTreeCtrl::STATE_CHECKED);
}

TEST_F(EvidencePageTest, ExitMidScanWaitsForTheWorker)
{
    PlantValues(kRunMRU, 500);
    Choose({113, 125});
    s_nHeldItem = 125;
    Command(CEvidenceCleanerDlg::IDC_SCAN);
    ASSERT_TRUE(testsupport::WaitFor([&] { return s_bHeld.load(); }, 30000));
    // The worker is held until its stop event is set: the exit must set it and wait.
    FunExitPrivacy();
    EXPECT_EQ(FunIsThread(), 0) << "the worker had ended";
    EXPECT_EQ(PrivacyEvidencePage(), (CEvidenceCleanerDlg*)NULL);
    EXPECT_EQ(PrivacyCatalogue(), (CEvidenceItem*)NULL);
    EXPECT_EQ(PrivacyHook(), (HHOOK)NULL);
    Pump(200);  // posted rows of a gone page go nowhere
}

TEST_F(EvidencePageTest, ACleanThatLeftAFileAsksBeforeAnyRestartAndNoRestartsNothing)
{
    wchar_t szAppData[MAX_PATH] = L"";
    ASSERT_EQ(::SHGetFolderPathW(NULL, CSIDL_APPDATA, NULL, 0, szAppData), S_OK);
    const std::wstring strFolder = std::wstring(szAppData) + L"\\Microsoft\\Internet Explorer\\";
    ::SHCreateDirectoryExW(NULL, strFolder.c_str(), NULL);
    const std::wstring strFree = strFolder + L"setup1.txt", strHeld = strFolder + L"setup2.txt";
    const std::wstring strOther = strFolder + L"keep.log";
    ASSERT_TRUE(testsupport::WriteFileBytes(strFree, "a"));
    ASSERT_TRUE(testsupport::WriteFileBytes(strHeld, "b"));
    ASSERT_TRUE(testsupport::WriteFileBytes(strOther, "c"));
    HANDLE hHeld = ::CreateFileW(strHeld.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(hHeld, INVALID_HANDLE_VALUE);

    Choose({138});
    Command(CEvidenceCleanerDlg::IDC_SCAN);
    ASSERT_TRUE(WaitScanEnd());
    EXPECT_EQ(Rows(), 2) << "the two .txt files";
    testsupport::MessageBoxRecorder boxes;
    ExitWindowsRecorder exits;
    boxes.QueueAnswer(IDNO);
    int nUndeleted = -1;
    bool bAlert = false;
    ModalScript script({[&] {
        CCleanProgressDlg* pDlg = m_pPage->GetProgressDialog();
        if (pDlg == NULL || !pDlg->IsWorkDone())
            return false;
        nUndeleted = pDlg->GetUndeletedCount();
        bAlert = pDlg->GetAlertText().IsWindowVisible() != FALSE;
        ::SendMessageW(pDlg->m_hWnd, WM_COMMAND, CCleanProgressDlg::IDC_EXIT, 0);
        return true;
    }});
    Command(CEvidenceCleanerDlg::IDC_CLEAN);
    ::CloseHandle(hHeld);
    // The held file was left for the next start: forget that again.
    HKEY hKey = NULL;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"System\\CurrentControlSet\\Control\\Session Manager", 0, KEY_SET_VALUE,
                        &hKey) == ERROR_SUCCESS)
    {
        ::RegDeleteValueW(hKey, L"PendingFileRenameOperations");
        ::RegCloseKey(hKey);
    }
    EXPECT_EQ(nUndeleted, 1);
    EXPECT_TRUE(bAlert);
    EXPECT_EQ(::GetFileAttributesW(strFree.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(::GetFileAttributesW(strOther.c_str()), INVALID_FILE_ATTRIBUTES) << "another extension stays";
    ASSERT_EQ(boxes.Count(), 1u) << "the restart is asked";
    EXPECT_EQ(boxes.Boxes()[0].nType & MB_TYPEMASK, (UINT)MB_YESNO);
    EXPECT_TRUE(exits.m_calls.empty()) << "No restarts nothing";
    ::DeleteFileW(strHeld.c_str());
    ::DeleteFileW(strOther.c_str());
}

TEST_F(EvidencePageTest, AWaitThatRunsOutLeavesTheWorkerItsPage)
{
    PlantValues(kRunMRU, 10);
    Choose({113, 125});
    s_nHeldItem = 125;
    s_bIgnoreStop = true;
    Command(CEvidenceCleanerDlg::IDC_SCAN);
    ASSERT_TRUE(testsupport::WaitFor([&] { return s_bHeld.load(); }, 30000));
    const DWORD dwStart = ::GetTickCount();
    m_pPage->StopAndWait(300);
    EXPECT_LT(::GetTickCount() - dwStart, 5000u) << "the wait keeps its limit";
    EXPECT_EQ(FunIsThread(), 1);
    EXPECT_TRUE(m_pPage->IsScanning());
    EXPECT_NE(m_pPage->GetStopEvent(), (HANDLE)NULL) << "the worker's event stays open";
    ::SetEvent(s_hRelease);
    ASSERT_TRUE(WaitScanEnd());
    EXPECT_EQ(Rows(), 10);
    EXPECT_EQ(m_pPage->GetTree().GetScanListCount(), 1) << "it saw the stop before the next item";
}

TEST_F(EvidencePageTest, ALanguageSwitchRelabelsButtonsHeadersAndTree)
{
    testsupport::ScratchFolder folder;
    const std::wstring strFile = folder.File(L"Other.ini");
    ::WritePrivateProfileStringW(L"String", L"IDC_BTN_SCAN", L"Suchen", strFile.c_str());
    ::WritePrivateProfileStringW(L"String", L"IDC_LIST_SCAN_COLUMN_2", L"Wert", strFile.c_str());
    ::WritePrivateProfileStringW(L"String", L"IDS_STR_WCH_WET", L"Windows-Eintr\u00e4ge", strFile.c_str());
    FunPrivacySwitchLanguage(strFile.c_str());
    CString strText;
    m_pPage->GetButton(CEvidenceCleanerDlg::IDC_SCAN).GetWindowText(strText);
    EXPECT_EQ(strText, CString(L"Suchen"));
    EXPECT_EQ(CString(m_pPage->GetButton(CEvidenceCleanerDlg::IDC_SCAN).GetTooltipText()), CString(L"Suchen"));
    wchar_t szHeader[64] = L"";
    LVCOLUMNW lvc = {};
    lvc.mask = LVCF_TEXT;
    lvc.pszText = szHeader;
    lvc.cchTextMax = 64;
    ASSERT_TRUE(m_pPage->GetResultList().GetColumn(1, &lvc));
    EXPECT_EQ(std::wstring(szHeader), L"Wert");
    CEvidenceItem* pNode = FindCatalogueItem(PrivacyCatalogue(), 103);
    EXPECT_EQ(m_pPage->GetTree().GetItemText(pNode->m_hItem), CString(L"Windows-Eintr\u00e4ge"));
    FunPrivacySwitchLanguage(EnglishLanguageFile().c_str());
    m_pPage->GetButton(CEvidenceCleanerDlg::IDC_SCAN).GetWindowText(strText);
    EXPECT_EQ(strText, CString(L"Scan"));
}
