// The repair dialog: the worker's steps, a backup that fails, a worker that
// cannot start, Escape and a quit message while the worker runs, and the
// report page and the close after it.
#include "tests/repair/RepairTestSupport.h"
#include "app/TamselDlg.h"
#include "repair/RepairDlg.h"
#include "services/ZipWriter.h"
#include "tests/support/MessageBoxRecorder.h"

#include <shlwapi.h>

using namespace repairtest;

namespace {

const wchar_t kKey[] = L"Software\\TamselRepairDlgTest";

void PlantValue()
{
    HKEY hKey = NULL;
    RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &hKey, NULL);
    RegSetValueExW(hKey, L"v", 0, REG_SZ, (const BYTE*)L"data", 10);
    RegCloseKey(hKey);
}

bool ValuePlanted()
{
    HKEY hKey = NULL;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return false;
    bool bThere = RegQueryValueExW(hKey, L"v", NULL, NULL, NULL, NULL) == ERROR_SUCCESS;
    RegCloseKey(hKey);
    return bThere;
}

CString ScanLog(CTamselApp* pApp, LPCWSTR pszKey)
{
    WritePrivateProfileStringW(NULL, NULL, NULL, pApp->m_strSettingsFile);
    wchar_t sz[64] = {};
    GetPrivateProfileStringW(L"ScanLog", pszKey, L"(none)", sz, 64, pApp->m_strSettingsFile);
    return sz;
}

// Pumps for a while; whether a quit message came by.
bool PumpSeesQuit(DWORD dwMs)
{
    DWORD dwStart = GetTickCount();
    while (GetTickCount() - dwStart < dwMs)
    {
        MSG msg;
        while (PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE))
        {
            if (msg.message == WM_QUIT)
                return true;
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        MsgWaitForMultipleObjects(0, NULL, FALSE, 20, QS_ALLINPUT);
    }
    return false;
}

class RepairDlgTest : public RepairWindowTest
{
protected:
    void SetUp() override
    {
        RepairWindowTest::SetUp();
        SHDeleteKeyW(HKEY_CURRENT_USER, kKey);
    }
    void TearDown() override
    {
        SetAutoBackupHooks(NULL, NULL);
        CRepairDlg::s_bRefuseWorker = FALSE;
        SHDeleteKeyW(HKEY_CURRENT_USER, kKey);
        RepairWindowTest::TearDown();
    }
    void ChooseValue()
    {
        PlantValue();
        RepairListOf(m_pApp, 4).Add(ValueProblem(L"HKEY_CURRENT_USER", kKey, L"v", L"data"));
    }
};

// While the worker is held in the backup, Escape, the cancel command, the
// close command and a quit message reach the dialog.
CRepairDlg* g_pRunning = NULL;
bool g_bVisibleAfterEscape = false;
bool g_bPostQuit = false;

ZipResult HoldAndPoke(ZipHandle hZip)
{
    HWND hWnd = g_pRunning != NULL ? g_pRunning->m_hWnd : NULL;
    if (hWnd != NULL)
    {
        PostMessageW(hWnd, WM_KEYDOWN, VK_ESCAPE, 0);
        PostMessageW(hWnd, WM_COMMAND, IDCANCEL, 0);
        PostMessageW(hWnd, WM_CLOSE, 0, 0);
        if (g_bPostQuit)
            PostThreadMessageW(GetWindowThreadProcessId(hWnd, NULL), WM_QUIT, 0, 0);
        Sleep(400);
        if (!g_bPostQuit)
            SaveScreenshot("repair");
        g_bVisibleAfterEscape = IsWindow(hWnd) && IsWindowVisible(hWnd);
    }
    return CloseZipWriter(hZip);
}

} // namespace

TEST_F(RepairDlgTest, RunsTheStepsWritesStatisticsAndShowsTheReport)
{
    ChooseValue();
    m_pApp->m_nErrors[0] = 77;  // an earlier run's: replaced
    g_pRunning = NULL;
    CRepairDlg dlg;
    dlg.m_pOwner = m_pDlg;
    dlg.m_bStart = 1;
    dlg.m_nErrors[3] = 2;
    SetAutoBackupHooks(HoldAndPoke, NULL);
    g_pRunning = &dlg;
    g_bPostQuit = false;
    g_bVisibleAfterEscape = false;
    INT_PTR nResult = dlg.DoModal();
    g_pRunning = NULL;

    EXPECT_EQ(nResult, IDOK);
    EXPECT_TRUE(g_bVisibleAfterEscape) << "Escape or the close command ended the dialog";
    EXPECT_TRUE(dlg.m_bRepaired);
    EXPECT_FALSE(ValuePlanted());
    EXPECT_EQ(m_pDlg->GetCurrentPage(), PAGE_REPORT);
    EXPECT_EQ(m_pApp->m_nErrors[0], 0);
    EXPECT_EQ(m_pApp->m_nErrors[3], 2);
    EXPECT_EQ(m_pApp->m_nCleaned[3], 1);
    EXPECT_EQ(ScanLog(m_pApp, L"Error4"), L"2");
    EXPECT_EQ(ScanLog(m_pApp, L"Cleaned4"), L"1");
    EXPECT_EQ(ScanLog(m_pApp, L"LastScanTime"), m_pApp->m_strLastScanTime);
    EXPECT_EQ(m_pApp->m_strLastScanTime.GetLength(), 14);
    // The report shows what was written.
    CWnd* pValue = m_pDlg->m_pageReport.GetDlgItem(1083);
    ASSERT_NE(pValue, nullptr);
    CString strValue;
    pValue->GetWindowText(strValue);
    EXPECT_EQ(strValue, L"2/1");
    // Shown by a repair without CloseAfterScan: the program goes on.
    EXPECT_FALSE(PumpSeesQuit(300));
    EXPECT_TRUE(m_pDlg->IsWindowVisible());
}

TEST_F(RepairDlgTest, EmptyListsStillGiveFourStepsAndStatistics)
{
    RecordingLog log;
    RepairJob job;
    job.pApp = m_pApp;
    job.pLog = &log;
    job.hWndNotify = NULL;
    job.bRepaired = FALSE;
    RepairThreadProc(&job);
    std::vector<std::wstring> expected = { L"Creating backup...", L"Finished backup.", L"Start clear...",
                                           L"Finished clear." };
    EXPECT_EQ(log.m_log, expected);
    EXPECT_TRUE(job.bRepaired);

    CRepairDlg dlg;
    dlg.m_pOwner = m_pDlg;
    dlg.m_bStart = 1;
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(ScanLog(m_pApp, L"Cleaned1"), L"0");
    EXPECT_EQ(ScanLog(m_pApp, L"Error15"), L"0");
    EXPECT_EQ(m_pDlg->GetCurrentPage(), PAGE_REPORT);
}

TEST_F(RepairDlgTest, FailedBackupRepairsNothingAndWritesNoStatistics)
{
    ChooseValue();
    testsupport::WriteFileBytes(m_folder.File(L"AutoBackup"), "in the way");
    m_pApp->m_nErrors[3] = 9;
    m_pApp->m_strLastScanTime = L"20200101000000";
    testsupport::MessageBoxRecorder boxes;
    CRepairDlg dlg;
    dlg.m_pOwner = m_pDlg;
    dlg.m_bStart = 1;
    dlg.m_nErrors[3] = 1;
    int nPageBefore = m_pDlg->GetCurrentPage();
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_FALSE(dlg.m_bRepaired);
    EXPECT_TRUE(ValuePlanted());
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.LastText().find(L"Backup failed: "), 0u);
    EXPECT_NE(boxes.LastText().find(L"Nothing was repaired."), std::wstring::npos);
    EXPECT_EQ(ScanLog(m_pApp, L"Error4"), L"(none)");
    EXPECT_EQ(m_pApp->m_nErrors[3], 9);
    EXPECT_EQ(m_pApp->m_strLastScanTime, L"20200101000000");
    EXPECT_EQ(m_pDlg->GetCurrentPage(), nPageBefore);
}

TEST_F(RepairDlgTest, WorkerThatCannotStartEndsTheDialogWithAMessage)
{
    ChooseValue();
    CRepairDlg::s_bRefuseWorker = TRUE;
    testsupport::MessageBoxRecorder boxes;
    CRepairDlg dlg;
    dlg.m_pOwner = m_pDlg;
    dlg.m_bStart = 1;
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_EQ(boxes.Count(), 1u);
    EXPECT_TRUE(ValuePlanted());
    EXPECT_EQ(ScanLog(m_pApp, L"LastScanTime"), L"(none)");
}

// A quit message ends the loop, but not before the worker is done with
// what the dialog owns; the quit goes on to the outer loop. The program is
// closing: the worker stops, so the backup it had not verified is dropped
// and nothing is repaired.
TEST_F(RepairDlgTest, QuitWhileRepairingWaitsForTheWorker)
{
    ChooseValue();
    CRepairDlg dlg;
    dlg.m_pOwner = m_pDlg;
    dlg.m_bStart = 1;
    SetAutoBackupHooks(HoldAndPoke, NULL);
    g_pRunning = &dlg;
    g_bPostQuit = true;
    dlg.DoModal();
    g_pRunning = NULL;
    g_bPostQuit = false;
    EXPECT_TRUE(ValuePlanted()) << "the repair went on after the quit";
    EXPECT_FALSE(dlg.m_bRepaired);
    EXPECT_TRUE(FolderFiles(m_folder.File(L"AutoBackup")).empty());
    MSG msg;
    EXPECT_TRUE(PeekMessageW(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the quit message was swallowed";
}

TEST_F(RepairDlgTest, CloseAfterScanEndsTheProgramOnlyAfterARepair)
{
    m_pApp->m_bCloseAfterScan = 1;
    // From the navigation: the page never closes the program.
    m_pDlg->SelectPage(PAGE_REPORT);
    EXPECT_FALSE(PumpSeesQuit(300));
    EXPECT_TRUE(m_pDlg->IsWindowVisible());
    m_pDlg->ShowPage(PAGE_HOME);

    ChooseValue();
    CRepairDlg dlg;
    dlg.m_pOwner = m_pDlg;
    dlg.m_bStart = 1;
    EXPECT_EQ(dlg.DoModal(), IDOK);
    // The close is posted: it has not happened when the dialog returns.
    EXPECT_TRUE(m_pDlg->IsWindowVisible());
    EXPECT_EQ(m_pDlg->GetCurrentPage(), PAGE_REPORT);
    EXPECT_TRUE(PumpSeesQuit(2000));
    EXPECT_EQ(ScanLog(m_pApp, L"Cleaned4"), L"1");
    EXPECT_EQ(m_pDlg->m_pageReport.m_bAfterRepair, 0);
}
