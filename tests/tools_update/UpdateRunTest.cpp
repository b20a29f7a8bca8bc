#include "tests/tools_update/UpdatePageFixture.h"
#include "tools/UpdateCallbacks.h"
#include "tools/UpdateRun.h"

namespace {

typedef std::vector<std::wstring> Lines;

// Position of a log line, or -1.
int At(const Lines& arrLog, const std::wstring& strLine)
{
    for (size_t i = 0; i < arrLog.size(); ++i)
        if (arrLog[i] == strLine)
            return (int)i;
    return -1;
}

TEST_F(UpdatePageTest, ThreeSuccessesInstallInRowOrderEachAfterItsDownload)
{
    Scan();
    fakeagent::ClearLog();
    InstallAndWait();
    EXPECT_EQ((Lines{L"U1", L"U2", L"U3"}), Logged(L"install-begin:"));
    Lines arrLog = fakeagent::Log();
    for (const wchar_t* pszTitle : {L"U1", L"U2", L"U3"})
    {
        int nDone = At(arrLog, std::wstring(L"download-done:") + pszTitle);
        int nInstall = At(arrLog, std::wstring(L"install-begin:") + pszTitle);
        ASSERT_GE(nDone, 0) << pszTitle;
        EXPECT_GT(nInstall, nDone) << pszTitle << " installed before its download was over";
    }
    for (int i = 0; i < 3; ++i)
    {
        EXPECT_EQ(L"Install Success", Cell(i, 3)) << i;
        EXPECT_EQ(8, Image(i)) << i;
    }
    EXPECT_EQ(0u, m_pBoxes->Count()) << m_pBoxes->LastText();
    EXPECT_TRUE(Enabled(1001) && Enabled(1002));
    EXPECT_TRUE(m_pPage->GetList().GetCheckboxEnabled(0, 0));
}

TEST_F(UpdatePageTest, AFailedDownloadIsNotInstalledAndTheOthersKeepTheirRows)
{
    fakeagent::Scenario scenario = Updates(3);
    scenario.arrUpdates[1].nDownloadResult = 4;
    // U1 installs with errors, U3 fails: each row shows its own result.
    scenario.arrUpdates[0].nInstallResult = 3;
    scenario.arrUpdates[2].nInstallResult = 4;
    fakeagent::Install(scenario);
    Scan();
    InstallAndWait();
    EXPECT_EQ((Lines{L"U1", L"U3"}), Logged(L"install-begin:"));
    EXPECT_EQ(L"Install Success", Cell(0, 3));
    EXPECT_EQ(8, Image(0));
    EXPECT_EQ(L"Download Failed", Cell(1, 3));
    EXPECT_EQ(9, Image(1));
    // The third job's overall result is failed (it covers U2 too); the row
    // still reads its own download's success and then its own installation.
    EXPECT_EQ(L"Install Failed", Cell(2, 3));
    EXPECT_EQ(9, Image(2));
}

TEST_F(UpdatePageTest, TheQueueEndsWithoutAnySuccessAndWithTheLastRowUnchecked)
{
    fakeagent::Scenario scenario = Updates(2);
    for (auto& plan : scenario.arrUpdates)
        plan.nDownloadResult = 4;
    fakeagent::Install(scenario);
    Scan();
    InstallAndWait(10000);
    EXPECT_TRUE(Logged(L"install-begin:").empty());
    EXPECT_EQ(L"Download Failed", Cell(1, 3));

    fakeagent::Install(Updates(3));
    Scan();
    m_pPage->GetList().SetCheckbox(2, 0, 1);
    InstallAndWait(10000);
    EXPECT_EQ((Lines{L"U1", L"U2"}), Logged(L"install-begin:"));
    EXPECT_EQ(L"", Cell(2, 3));

    // Nothing checked at all.
    for (int i = 0; i < 3; ++i)
        m_pPage->GetList().SetCheckbox(i, 0, 1);
    fakeagent::ClearLog();
    InstallAndWait(10000);
    EXPECT_TRUE(Logged(L"download-begin:").empty());
}

TEST_F(UpdatePageTest, AbortStopsTheRunAndTheControlsReturnOnlyWhenBothThreadsEnded)
{
    fakeagent::Scenario scenario = Updates(3);
    scenario.bDownloadsWaitForAbort = TRUE;
    fakeagent::Install(scenario);
    Scan();
    m_pPage->SendMessage(WM_COMMAND, MAKEWPARAM(1002, BN_CLICKED), (LPARAM)m_pPage->GetDlgItem(1002)->m_hWnd);
    ASSERT_TRUE(testsupport::WaitFor([&] { return Cell(0, 3) == L"Downloading..."; }, 10000));
    EXPECT_EQ(10, Image(0));
    EXPECT_FALSE(Enabled(1001) || Enabled(1002));
    EXPECT_FALSE(m_pPage->GetList().GetCheckboxEnabled(1, 0));
    EXPECT_TRUE(Enabled(1003));
    m_pPage->SendMessage(WM_COMMAND, MAKEWPARAM(1003, BN_CLICKED), (LPARAM)m_pPage->GetDlgItem(1003)->m_hWnd);
    // Abort alone brings nothing back: the workers have not ended yet.
    EXPECT_FALSE(Enabled(1002));
    ASSERT_TRUE(WaitIdle(10000));
    EXPECT_TRUE(Enabled(1001) && Enabled(1002));
    EXPECT_EQ(L"Download Aborted", Cell(0, 3));
    EXPECT_EQ(9, Image(0));
    EXPECT_EQ(L"", Cell(1, 3));
    EXPECT_EQ(L"", Cell(2, 3));
    EXPECT_EQ((Lines{L"U1"}), Logged(L"download-begin:"));
    EXPECT_TRUE(Logged(L"install-begin:").empty());
    EXPECT_EQ(0u, m_pBoxes->Count()) << m_pBoxes->LastText();

    // A refused abort is told, and the run still ends.
    scenario.hrRequestAbort = E_FAIL;
    fakeagent::Install(scenario);
    DWORD dwOldWait = g_dwUpdateAbortWaitMs.exchange(300);
    m_pPage->OnInstall();
    ASSERT_TRUE(testsupport::WaitFor([&] { return Cell(0, 3) == L"Downloading..."; }, 10000));
    m_pPage->OnAbort();
    EXPECT_TRUE(WaitIdle(10000));
    g_dwUpdateAbortWaitMs = dwOldWait;
    EXPECT_EQ(L"Request Abort Failed", m_pBoxes->LastText());
    EXPECT_EQ(L"Download Aborted", Cell(0, 3));
}

TEST_F(UpdatePageTest, InstallNotAllowedAndOtherBeginFailures)
{
    fakeagent::Scenario scenario = Updates(2);
    scenario.hrBeginDownload = UPDATE_E_INSTALL_NOT_ALLOWED;
    fakeagent::Install(scenario);
    Scan();
    InstallAndWait();
    ASSERT_EQ(1u, m_pBoxes->Count());
    EXPECT_EQ(L"Try to install while another install is going on or reboot is pending.", m_pBoxes->LastText());
    EXPECT_EQ((UINT)MB_ICONEXCLAMATION, m_pBoxes->Boxes().back().nType & MB_ICONMASK);
    EXPECT_TRUE(Enabled(1002));

    scenario.hrBeginDownload = S_OK;
    scenario.hrBeginInstall = (HRESULT)0x80240001;
    fakeagent::Install(scenario);
    InstallAndWait();
    // An agent code the system has no text for: what failed, the code, and what to do.
    EXPECT_EQ(std::wstring(L"The Windows Update Agent reported an error. (Error Code: 80240001)\n\n") +
                  (LPCWSTR)m_pApp->GetLangString(L"M_UPDATE_ERR_ADVICE"),
              m_pBoxes->LastText());
    EXPECT_EQ((UINT)MB_ICONEXCLAMATION, m_pBoxes->Boxes().back().nType & MB_ICONMASK);
    EXPECT_EQ(L"Download Success", Cell(0, 3));
}

TEST_F(UpdatePageTest, AHundredAndOneSuccessesStopAtTheHundredth)
{
    fakeagent::Scenario scenario = Updates(101);
    scenario.dwDownloadMs = 0;
    scenario.dwInstallMs = 0;
    fakeagent::Install(scenario);
    Scan();
    ASSERT_EQ(101, m_pPage->GetList().GetItemCount());
    InstallAndWait(60000);
    EXPECT_EQ(100u, Logged(L"install-begin:").size());
    EXPECT_EQ(L"Install Success", Cell(99, 3));
    EXPECT_EQ(L"", Cell(100, 3));
    ASSERT_EQ(1u, m_pBoxes->Count());
    EXPECT_EQ(L"One run downloads at most 100 updates.", m_pBoxes->LastText());
}

TEST_F(UpdatePageTest, RunsGiveBackEveryReferenceAndHandle)
{
    Scan();
    InstallAndWait();
    fakeagent::Install(Updates(3));
    Scan();
    // One warm-up run above; the second must leave nothing behind.
    DWORD dwBefore = 0;
    GetProcessHandleCount(GetCurrentProcess(), &dwBefore);
    fakeagent::Scenario scenario = Updates(3);
    scenario.arrUpdates[1].nDownloadResult = 4;
    fakeagent::Install(scenario);
    InstallAndWait();
    EXPECT_TRUE(testsupport::WaitFor(
        [&] {
            DWORD dwNow = 0;
            GetProcessHandleCount(GetCurrentProcess(), &dwNow);
            return dwNow <= dwBefore;
        },
        5000));
    // Only the found collection is still held, by the application.
    ASSERT_TRUE(m_pApp->m_pComObject != NULL);
    EXPECT_EQ(1u, fakeagent::RefCount(m_pApp->m_pComObject));
    EXPECT_EQ(m_nCallbacksBefore, GetLiveUpdateCallbackCount());
}

TEST_F(UpdatePageTest, DestroyingThePageDuringADownloadThatNeverEndsReturnsInTime)
{
    fakeagent::Scenario scenario = Updates(2);
    scenario.bDownloadsNeverComplete = TRUE;
    fakeagent::Install(scenario);
    Scan();
    DWORD dwOldLimit = CPatchUpdatePage::s_dwStopLimitMs;
    // The worker's own wait is far longer than the page's: a page that waited
    // for the worker would be caught whatever the machine's load.
    DWORD dwOldWait = g_dwUpdateAbortWaitMs.exchange(12000);
    // The worker outlives the page: it only posts to a window that is gone.
    CPatchUpdatePage::s_dwStopLimitMs = 1000;
    m_pPage->OnInstall();
    ASSERT_TRUE(testsupport::WaitFor([&] { return Cell(0, 3) == L"Downloading..."; }, 10000));
    DWORD dwStart = GetTickCount();
    m_pPage.reset();
    DWORD dwTook = GetTickCount() - dwStart;
    CPatchUpdatePage::s_dwStopLimitMs = dwOldLimit;
    EXPECT_LT(dwTook, 9000u);
    EXPECT_GE(dwTook, 900u);
    // The worker gives up on the job, lets go of everything and ends (the
    // job itself holds the completion callback until the doubles let it go).
    fakeagent::Uninstall();
    EXPECT_TRUE(testsupport::WaitFor([&] { return GetLiveUpdateCallbackCount() == m_nCallbacksBefore; }, 30000));
    g_dwUpdateAbortWaitMs = dwOldWait;
}

} // namespace

namespace {

// A finished run with every kind of row, and one row's details: what the page
// looks like (TAMSEL_UPDATE_HOLD_MS keeps it on screen for a screenshot).
TEST_F(UpdatePageTest, AFinishedRunShowsEachRowsOwnStateAndPicture)
{
    fakeagent::Scenario scenario = Updates(5);
    scenario.arrUpdates[0].strTitle = L"Security Update for Windows XP (KB950000)";
    scenario.arrUpdates[1].strTitle = L"Cumulative Security Update for Internet Explorer 7 (KB950759)";
    scenario.arrUpdates[1].nDownloadResult = 4;
    scenario.arrUpdates[2].strTitle = L"Update for Windows XP (KB951072)";
    scenario.arrUpdates[2].nInstallResult = 4;
    scenario.arrUpdates[3].strTitle = L"Windows Malicious Software Removal Tool - June 2008 (KB890830)";
    scenario.arrUpdates[4].strTitle = L"Root Certificates Update";
    fakeagent::Install(scenario);
    Scan();
    m_pPage->GetList().SetCheckbox(4, 0, 1);
    InstallAndWait();
    EXPECT_EQ(L"Install Success", Cell(0, 3));
    EXPECT_EQ(L"Download Failed", Cell(1, 3));
    EXPECT_EQ(L"Install Failed", Cell(2, 3));
    EXPECT_EQ(L"Install Success", Cell(3, 3));
    EXPECT_EQ(L"", Cell(4, 3));
    EXPECT_EQ(9, Image(1));
    EXPECT_EQ(9, Image(2));

    UpdateInfo& info = m_pApp->m_arrUpdateInfo[0];
    info.m_strMaxSize = L"1536000";
    info.m_strDate = L"6-14-2008";
    info.m_strArticle = L"950000";
    info.m_strMoreInfoUrl = L"http://more.example/kb950000";
    info.m_strDescription = L"A security issue has been identified that could allow an attacker to compromise "
                            L"your system. See http://support.example/kb/950000 for details.";
    CXListCtrl& list = m_pPage->GetList();
    list.SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
    NMITEMACTIVATE click = {};
    click.hdr.hwndFrom = list.m_hWnd;
    click.hdr.idFrom = 1013;
    click.hdr.code = NM_CLICK;
    CRect rcRow;
    list.GetItemRect(0, &rcRow, LVIR_BOUNDS);
    click.ptAction = rcRow.CenterPoint();
    m_pPage->SendMessage(WM_NOTIFY, 1013, (LPARAM)&click);
    CString strSize;
    m_pPage->GetDlgItemText(1039, strSize);
    EXPECT_EQ(L"1500.00 KB", std::wstring((LPCWSTR)strSize));

    wchar_t szHold[32] = {};
    if (GetEnvironmentVariableW(L"TAMSEL_UPDATE_HOLD_MS", szHold, 32) > 0)
        testsupport::WaitFor([] { return false; }, (DWORD)_wtoi(szHold));
}

} // namespace
