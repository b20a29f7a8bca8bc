#include "tests/tools_update/UpdatePageFixture.h"
#include "tools/UpdateCallbacks.h"

namespace {

CTamselApp s_app;

const wchar_t* const kKeys[][2] = {
    {L"M_UPDATE_INIT", L"Initializing..."},
    {L"M_UPDATE_SESSION_FAILED_1", L"Microsoft.Update.Session not registered."},
    {L"M_UPDATE_SESSION_FAILED_2", L"Microsoft.Update.Session not started."},
    {L"M_UPDATE_START_SEARCH", L"Searching Windows Updates..."},
    {L"M_UPDATE_END_SEARCH", L"Finish Searching."},
    {L"M_INSTALL_NOT_ALLOWED", L"Try to install while another install is going on or reboot is pending."},
    {L"M_UPDATE_DOWNLOAD", L"Downloading..."},
    {L"M_UPDATE_INSTALL", L"Installing..."},
    {L"M_UPDATE_SEARCH_FAILED", L"The search for updates failed."},
    {L"M_UPDATE_RUN_LIMIT", L"One run downloads at most 100 updates."},
    {L"M_UPDATE_ERR_SERVER", L"Windows Update could not reach its server."},
    {L"M_UPDATE_ERR_DOWNLOAD", L"Windows Update could not download the update."},
    {L"M_UPDATE_ERR_INSTALL", L"Windows Update could not install the update."},
    {L"M_UPDATE_ERR_AGENT", L"The Windows Update Agent reported an error."},
    {L"M_UPDATE_ERR_ADVICE", L"Check the connection, then try again."},
    {L"DOWNLOAD_RESULT_3", L"Download Success"},
    {L"DOWNLOAD_RESULT_5", L"Download Failed"},
    {L"DOWNLOAD_RESULT_6", L"Download Aborted"},
    {L"INSTALL_RESULT_3", L"Install Success"},
    {L"INSTALL_RESULT_5", L"Install Failed"},
    {L"INSTALL_RESULT_6", L"Install Aborted"},
    {L"SEVERITY_1", L"Critical"},
    {L"SEVERITY_2", L"Important"},
    {L"SEVERITY_3", L"Moderate"},
    {L"SEVERITY_4", L"Low"},
    {L"IDD_425_1116", L"Click Here"},
    {L"IDD_425_1151", L"Please click Scan button to search patches."},
    {L"LIST_UPDATE_1", L"Title"},
    {L"LIST_UPDATE_2", L"Severity"},
    {L"LIST_UPDATE_3", L"Progress"},
};

} // namespace

void UpdatePageTest::SetUp()
{
    m_pApp = static_cast<CTamselApp*>(AfxGetApp());
    ASSERT_TRUE(m_pApp != NULL);
    std::wstring strIni = m_folder.File(L"English.ini");
    for (const auto& key : kKeys)
        WritePrivateProfileStringW(L"String", key[0], key[1], strIni.c_str());
    m_pApp->m_strLangFile = strIni.c_str();
    m_nLiveBefore = fakeagent::LiveObjects();
    m_nCallbacksBefore = GetLiveUpdateCallbackCount();
    fakeagent::Install(Updates(3));
    m_pBoxes.reset(new testsupport::MessageBoxRecorder);

    LPCTSTR lpszClass = AfxRegisterWndClass(0, ::LoadCursorW(NULL, IDC_ARROW), (HBRUSH)(COLOR_WINDOW + 1));
    ASSERT_TRUE(m_wndHost.CreateEx(0, lpszClass, L"Update host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 560, 440, NULL, NULL));
    m_pPage.reset(new CPatchUpdatePage());
    ASSERT_TRUE(m_pPage->Create(425, &m_wndHost));
    m_pPage->ShowWindow(SW_SHOW);
}

void UpdatePageTest::TearDown()
{
    m_pPage.reset();
    if (::IsWindow(m_wndHost.m_hWnd))
        m_wndHost.DestroyWindow();
    if (m_pApp->m_pComObject != NULL)
        m_pApp->m_pComObject->Release();
    m_pApp->m_pComObject = NULL;
    m_pApp->m_arrUpdateInfo.RemoveAll();
    fakeagent::Uninstall();
    // Every agent object and callback the page took is let go.
    EXPECT_TRUE(testsupport::WaitFor([&] { return fakeagent::LiveObjects() == m_nLiveBefore; }, 10000))
        << fakeagent::LiveObjects() - m_nLiveBefore << " fake objects still referenced";
    EXPECT_EQ(m_nCallbacksBefore, GetLiveUpdateCallbackCount());
    m_pBoxes.reset();
    m_pApp->m_strLangFile.Empty();
}

fakeagent::Scenario UpdatePageTest::Updates(int nCount)
{
    static const wchar_t* const kSeverities[] = {L"Critical", L"", L"Unspecified", L"Low"};
    fakeagent::Scenario scenario;
    for (int i = 0; i < nCount; ++i)
    {
        fakeagent::FakeUpdatePlan plan;
        plan.strTitle = L"U" + std::to_wstring(i + 1);
        plan.strSeverity = kSeverities[i % 4];
        scenario.arrUpdates.push_back(plan);
    }
    return scenario;
}

bool UpdatePageTest::WaitIdle(DWORD dwTimeoutMs)
{
    return testsupport::WaitFor([&] { return !m_pPage->IsBusy(); }, dwTimeoutMs);
}

void UpdatePageTest::Scan()
{
    m_pPage->SendMessage(WM_COMMAND, MAKEWPARAM(1001, BN_CLICKED), (LPARAM)m_pPage->GetDlgItem(1001)->m_hWnd);
    ASSERT_TRUE(WaitIdle()) << "the search did not end";
}

void UpdatePageTest::InstallAndWait(DWORD dwTimeoutMs)
{
    m_pPage->SendMessage(WM_COMMAND, MAKEWPARAM(1002, BN_CLICKED), (LPARAM)m_pPage->GetDlgItem(1002)->m_hWnd);
    ASSERT_TRUE(WaitIdle(dwTimeoutMs)) << "the run did not end";
}

std::wstring UpdatePageTest::Cell(int nRow, int nColumn)
{
    return std::wstring((LPCWSTR)m_pPage->GetList().GetItemText(nRow, nColumn));
}

int UpdatePageTest::Image(int nRow)
{
    return m_pPage->GetList().GetItemImage(nRow, 3);
}

bool UpdatePageTest::Enabled(UINT nID)
{
    return ::IsWindowEnabled(m_pPage->GetDlgItem(nID)->m_hWnd) != FALSE;
}

bool UpdatePageTest::Visible(UINT nID)
{
    return ::IsWindowVisible(m_pPage->GetDlgItem(nID)->m_hWnd) != FALSE;
}

std::vector<std::wstring> UpdatePageTest::Logged(const std::wstring& strPrefix)
{
    std::vector<std::wstring> arrTitles;
    for (const std::wstring& strLine : fakeagent::Log())
        if (strLine.compare(0, strPrefix.size(), strPrefix) == 0)
            arrTitles.push_back(strLine.substr(strPrefix.size()));
    return arrTitles;
}
