// The service optimizer in a process that sees Windows 5.2 (the suite sets
// Wine's per-program version): descriptions are read and shown in the second
// column. Start types the tests change are put back by the fixture.
#include "optimizer/OptimizerText.h"
#include "optimizer/ServiceControl.h"
#include "optimizer/ServiceOptimizerDlg.h"
#include "optimizer/TunekitSettings.h"
#include "tests/optimizer/OptimizerTestSupport.h"
#include "tests/optimizer_services/ServiceTestSupport.h"
#include <vector>

using namespace optest;
using namespace svctest;

namespace {

// The description through the test's own QueryServiceConfig2W; empty when none.
std::wstring QueryDescription(LPCWSTR lpszName)
{
    std::wstring strText;
    SC_HANDLE hManager = ::OpenSCManagerW(NULL, NULL, SC_MANAGER_CONNECT);
    if (hManager == NULL)
        return strText;
    SC_HANDLE hService = ::OpenServiceW(hManager, lpszName, SERVICE_QUERY_CONFIG);
    if (hService != NULL)
    {
        std::vector<BYTE> buffer(16384);
        DWORD cb = 0;
        if (::QueryServiceConfig2W(hService, SERVICE_CONFIG_DESCRIPTION, buffer.data(), (DWORD)buffer.size(), &cb))
        {
            LPCWSTR lpsz = ((LPSERVICE_DESCRIPTIONW)buffer.data())->lpDescription;
            if (lpsz != NULL)
                strText = lpsz;
        }
        ::CloseServiceHandle(hService);
    }
    ::CloseServiceHandle(hManager);
    return strText;
}

bool SetDescription(LPCWSTR lpszName, const std::wstring& strText)
{
    SC_HANDLE hManager = ::OpenSCManagerW(NULL, NULL, SC_MANAGER_CONNECT);
    if (hManager == NULL)
        return false;
    SC_HANDLE hService = ::OpenServiceW(hManager, lpszName, SERVICE_CHANGE_CONFIG);
    SERVICE_DESCRIPTIONW description = {(LPWSTR)strText.c_str()};
    const bool bOK = hService != NULL && ::ChangeServiceConfig2W(hService, SERVICE_CONFIG_DESCRIPTION, &description);
    if (hService != NULL)
        ::CloseServiceHandle(hService);
    ::CloseServiceHandle(hManager);
    return bOK;
}

// Puts a service's description back however the test ends.
class DescriptionRestore
{
public:
    DescriptionRestore(LPCWSTR lpszName, const std::wstring& strText) : m_strName(lpszName), m_strText(strText) {}
    ~DescriptionRestore()
    {
        SetDescription(m_strName.c_str(), m_strText);
        EXPECT_EQ(QueryDescription(m_strName.c_str()), m_strText) << "description restored";
    }

private:
    std::wstring m_strName, m_strText;
};

CString ColumnText(CListCtrl& list, int nColumn, int* pWidth)
{
    WCHAR sz[128] = {};
    LVCOLUMNW column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = sz;
    column.cchTextMax = 128;
    ::SendMessageW(list.m_hWnd, LVM_GETCOLUMNW, (WPARAM)nColumn, (LPARAM)&column);
    *pWidth = column.cx;
    return sz;
}

int RowOf(CServiceOptimizerDlg& view, LPCWSTR lpszName)
{
    const std::vector<CServiceRecord>& services = view.GetServices();
    for (size_t i = 0; i < services.size(); ++i)
    {
        if (lstrcmpiW(services[i].szServiceName, lpszName) == 0)
            return (int)i;
    }
    return -1;
}

} // namespace

TEST(XpVersion, ThisProcessSeesFivePointTwo)
{
    OSVERSIONINFOEXW info = {};
    info.dwOSVersionInfoSize = sizeof(info);
    ASSERT_TRUE(::GetVersionExW((OSVERSIONINFOW*)&info));
    EXPECT_EQ(info.dwMajorVersion, 5u) << "run as the suite (TAMSEL_WINDOWS_VERSION=winxp64)";
    EXPECT_EQ(info.dwMinorVersion, 2u);
}

TEST_F(ServiceStartTypes, OlderLayoutShowsEachServicesDescription)
{
    HostWindow host;
    CServiceOptimizerDlg view;
    ASSERT_TRUE(view.Create(CServiceOptimizerDlg::IDD, host.Wnd()));
    view.ShowWindow(SW_SHOW);
    ShootIfAsked(view.m_hWnd, "optimizer_services_xp");
    EXPECT_EQ(GetOptimizerWindowsMajor(), 5);
    CMyListCtrl& list = view.GetList();
    const LPCWSTR kHeaders[4] = {L"Display Name", L"Description", L"Type", L"Status"};
    const int kWidths[4] = {100, 280, 100, 100};
    for (int i = 0; i < 4; ++i)
    {
        int nWidth = 0;
        EXPECT_EQ(ColumnText(list, i, &nWidth), CString(kHeaders[i]));
        EXPECT_EQ(nWidth, kWidths[i]) << i;
    }
    const std::vector<CServiceRecord>& services = view.GetServices();
    ASSERT_EQ(list.GetItemCount(), (int)services.size());
    ASSERT_GE(services.size(), 14u);
    int nDescribed = 0;
    for (int i = 0; i < list.GetItemCount(); ++i)
    {
        const CServiceRecord& record = services[i];
        const std::wstring strWant = QueryDescription(record.szServiceName).substr(0, 511);
        EXPECT_EQ(std::wstring(record.szDescription), strWant) << Narrow(record.szServiceName);
        EXPECT_EQ(list.GetItemText(i, 0), CString(record.szDisplayName));
        EXPECT_EQ(list.GetItemText(i, 1), CString(strWant.c_str())) << "the description, not the name";
        EXPECT_EQ(record.dwStartType, QueryStartType(record.szServiceName)) << Narrow(record.szServiceName);
        nDescribed += !strWant.empty();
    }
    EXPECT_GE(nDescribed, 10) << "Wine's services carry descriptions";
    view.DestroyWindow();
}

TEST_F(ServiceStartTypes, LongDescriptionIsCutAndOptimizeKeepsTheLayout)
{
    const std::wstring strOld = QueryDescription(L"Spooler");
    ASSERT_FALSE(strOld.empty());
    std::wstring strLong;
    for (int i = 0; i < 700; ++i)
        strLong += (wchar_t)(L'a' + i % 26);
    DescriptionRestore restore(L"Spooler", strOld);
    ASSERT_TRUE(SetDescription(L"Spooler", strLong));
    WriteDefaultSettings();
    HostWindow host;
    CServiceOptimizerDlg view;
    ASSERT_TRUE(view.Create(CServiceOptimizerDlg::IDD, host.Wnd()));
    int nRow = RowOf(view, L"Spooler");
    ASSERT_GE(nRow, 0);
    EXPECT_EQ(std::wstring(view.GetServices()[nRow].szDescription), strLong.substr(0, 511)) << "cut, terminated";

    // Campus disables the spooler; the refilled list keeps descriptions in column 1.
    for (int i = 0; i < CServiceOptimizerDlg::PROFILE_COUNT; ++i)
        view.GetRadio(i).SetChecked(i == 0);
    {
        testsupport::MessageBoxRecorder recorder;
        view.SendMessage(WM_COMMAND, MAKEWPARAM(5063, BN_CLICKED), (LPARAM)::GetDlgItem(view.m_hWnd, 5063));
        ASSERT_EQ(recorder.Count(), 1u);
        EXPECT_EQ(recorder.LastText(), L"Service Optimization is completed.");
    }
    nRow = RowOf(view, L"Spooler");
    ASSERT_GE(nRow, 0);
    EXPECT_EQ(QueryStartType(L"Spooler"), 4u);
    EXPECT_EQ(RegistryStartType(L"Spooler"), 4u);
    EXPECT_EQ(view.GetList().GetItemText(nRow, 2), CString(L"Disable"));
    EXPECT_EQ(view.GetList().GetItemText(nRow, 1), CString(strLong.substr(0, 511).c_str()));
    view.DestroyWindow();
}
