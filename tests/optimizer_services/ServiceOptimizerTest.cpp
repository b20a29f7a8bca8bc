// The service optimizer against the prefix's real service manager. Every test
// that may change a start type records them all first and puts them back.
#include "optimizer/OptimizerText.h"
#include "optimizer/ServiceControl.h"
#include "optimizer/ServiceOptimizerDlg.h"
#include "optimizer/TunekitSettings.h"
#include "optimizer/shared/IniFile.h"
#include "tests/optimizer/OptimizerTestSupport.h"
#include "tests/optimizer_services/ServiceTestSupport.h"
#include <cstdlib>
#include <map>
#include <sstream>

using namespace optest;
using namespace svctest;

namespace {

std::vector<CServiceRecord> g_calls;
int g_nFailFor = -1;
int RecordChange(const CServiceRecord& record)
{
    g_calls.push_back(record);
    return (int)g_calls.size() - 1 == g_nFailFor ? -3 : 0;
}

CServiceRecord Record(LPCWSTR lpszName, DWORD dwStart)
{
    CServiceRecord record = {};
    lstrcpynW(record.szServiceName, lpszName, 256);
    record.dwStartType = dwStart;
    return record;
}

SC_LOCK WINAPI FailLock(SC_HANDLE)
{
    ::SetLastError(ERROR_SERVICE_DATABASE_LOCKED);
    return NULL;
}

DWORD HandleCount()
{
    DWORD n = 0;
    ::GetProcessHandleCount(::GetCurrentProcess(), &n);
    return n;
}

} // namespace

TEST_F(ServiceStartTypes, EnumerationMatchesTheManagerForEveryService)
{
    std::vector<CServiceRecord> services;
    ASSERT_EQ(EnumerateServices(services, -1, 6), 0);
    EXPECT_GE(services.size(), 15u);
    bool bServer = false;
    for (const CServiceRecord& record : services)
    {
        EXPECT_EQ(record.dwStartType, QueryStartType(record.szServiceName)) << Narrow(record.szServiceName);
        EXPECT_TRUE(record.dwServiceType & SERVICE_WIN32);
        EXPECT_LT(wcslen(record.szDisplayName), 256u);
        EXPECT_EQ(record.szDescription[0], 0) << "no descriptions from version 6 on";
        bServer |= lstrcmpiW(record.szServiceName, L"lanmanserver") == 0;
    }
    EXPECT_TRUE(bServer);
    std::vector<CServiceRecord> capped;
    ASSERT_EQ(EnumerateServices(capped, 3, 6), 0);
    EXPECT_EQ(capped.size(), 3u);

    // Below version 6 descriptions are read (bounded); the list shows them in column 1.
    std::vector<CServiceRecord> old;
    ASSERT_EQ(EnumerateServices(old, -1, 5), 0);
    int nDescribed = 0;
    for (const CServiceRecord& record : old)
    {
        nDescribed += record.szDescription[0] != 0;
        EXPECT_LT(wcslen(record.szDescription), 512u);
    }
    EXPECT_GE(nDescribed, 0);
}

TEST_F(ServiceStartTypes, ProfileWalkSkipsMendsAndGuards)
{
    std::vector<CServiceRecord> services = {Record(L"Spooler", 2), Record(L"RpcSs", 2), Record(L"wuauserv", 2),
                                            Record(L"Unread", 0), Record(L"Same", 4), Record(L"Late", 2)};
    WriteRow(0, L"NotInstalled", L"campus", L"DISABLED");
    WriteRow(1, L"SPOOLER", L"campus", L"DISABLED");  // case-insensitive name
    WriteRow(2, L"rpcss", L"campus", L"DISABLED");    // guarded: never lowered
    WriteRow(3, L"wuauserv", L"campus", L"auto");     // not a profile word
    WriteRow(4, L"Unread", L"campus", L"DISABLED");   // configuration never read
    WriteRow(5, L"Same", L"campus", L"DISABLED");     // already so
    WriteRow(7, L"Late", L"campus", L"DISABLED");     // after the gap: never read
    CIniFile ini(L"Tunekit.ini");
    g_calls.clear();
    g_nFailFor = -1;
    EXPECT_TRUE(ApplyServiceProfile(ini, L"campus", services, &RecordChange));
    ASSERT_EQ(g_calls.size(), 1u);
    EXPECT_STREQ(g_calls[0].szServiceName, L"Spooler");
    EXPECT_EQ(g_calls[0].dwStartType, 4u);
    EXPECT_EQ(services[0].dwStartType, 4u) << "a change is kept in the record";
    EXPECT_EQ(services[5].dwStartType, 2u);
    EXPECT_EQ(StartTypeFromWord(L"DEMAND"), 3u);
    EXPECT_EQ(StartTypeFromWord(L"Auto"), 0u);

    // A failed change is reported, and the record keeps its old value.
    services[0].dwStartType = 2;
    g_calls.clear();
    g_nFailFor = 0;
    EXPECT_FALSE(ApplyServiceProfile(ini, L"campus", services, &RecordChange));
    EXPECT_EQ(services[0].dwStartType, 2u);
    g_nFailFor = -1;
}

TEST_F(ServiceStartTypes, ChangeRefusesBadValuesAndReleasesOnEveryPath)
{
    // Refused before the manager is asked.
    EXPECT_EQ(ChangeServiceStartType(Record(L"Spooler", 0)), -4);
    EXPECT_EQ(ChangeServiceStartType(Record(L"Spooler", 5)), -4);
    EXPECT_EQ(ChangeServiceStartType(Record(L"RpcSs", 4)), -4);
    EXPECT_EQ(ChangeServiceStartType(Record(L"plugplay", 3)), -4);
    const DWORD dwSpooler = QueryStartType(L"Spooler");
    ASSERT_NE(dwSpooler, 0u);
    const DWORD dwOther = dwSpooler == 4 ? 3 : 4;

    const DWORD nHandles = HandleCount();
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(ChangeServiceStartType(Record(L"NoSuchServiceHere", 3)), -2);
    SetServiceLockForTests(&FailLock);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(ChangeServiceStartType(Record(L"Spooler", dwOther)), -1);
    SetServiceLockForTests(NULL);
    EXPECT_EQ(QueryStartType(L"Spooler"), dwSpooler) << "a failed lock changes nothing";
    EXPECT_LE(HandleCount(), nHandles) << "manager, service and lock released";
    // The next change works: the database was unlocked.
    EXPECT_EQ(ChangeServiceStartType(Record(L"Spooler", dwOther)), 0);
    EXPECT_EQ(QueryStartType(L"Spooler"), dwOther);
    EXPECT_EQ(ChangeServiceStartType(Record(L"Spooler", dwSpooler)), 0);
    EXPECT_LE(HandleCount(), nHandles);
}

namespace {
// "Start" values as Wine's reg tool prints them, by lower-case service name.
std::map<std::wstring, DWORD> RegStartValues(const std::wstring& strFile)
{
    std::map<std::wstring, DWORD> values;
    std::istringstream in(testsupport::ReadFileBytes(strFile));
    std::string strLine, strKey;
    while (std::getline(in, strLine))
    {
        if (!strLine.empty() && strLine.back() == '\r')
            strLine.pop_back();
        size_t nSlash = strLine.rfind('\\');
        if (strLine.rfind("HKEY_", 0) == 0 && nSlash != std::string::npos)
            strKey = strLine.substr(nSlash + 1);
        size_t nHex = strLine.find("REG_DWORD");
        if (nHex != std::string::npos && strLine.find("Start") != std::string::npos)
        {
            std::wstring strName;
            for (char ch : strKey)
                strName += (wchar_t)tolower((unsigned char)ch);
            values[strName] = (DWORD)strtoul(strLine.c_str() + strLine.find("0x", nHex), NULL, 16);
        }
    }
    return values;
}
} // namespace

namespace {
// Every service's Start value as Wine's reg tool prints it (tried up to three
// times: a reg process can fail to start while other suites load the host).
std::map<std::wstring, DWORD> QueryRegTool(const std::string& strFile)
{
    // Single backslashes: the command line doubles them and sh's double quotes undo that.
    testsupport::RunHostCommand("for i in 1 2 3; do wine64 reg query \"HKLM\\SYSTEM\\CurrentControlSet\\Services\" /v Start /s > '" +
                                    strFile + "' 2>/dev/null && break; sleep 1; done",
                                180000);
    return RegStartValues(testsupport::HostPath(strFile));
}

std::wstring Lower(LPCWSTR lpsz)
{
    std::wstring str;
    for (; *lpsz; ++lpsz)
        str += (wchar_t)towlower(*lpsz);
    return str;
}

LPCWSTR StartText(DWORD dwStart)
{
    return dwStart == 2 ? L"Auto" : dwStart == 3 ? L"Manual" : dwStart == 4 ? L"Disable" : L"";
}

void ClickOptimize(CServiceOptimizerDlg& view, int nProfile)
{
    for (int i = 0; i < CServiceOptimizerDlg::PROFILE_COUNT; ++i)
        view.GetRadio(i).SetChecked(i == nProfile);
    ASSERT_STREQ(view.CheckedProfile(), CServiceOptimizerDlg::ProfileKey(nProfile));
    view.SendMessage(WM_COMMAND, MAKEWPARAM(5063, BN_CLICKED), (LPARAM)::GetDlgItem(view.m_hWnd, 5063));
}
} // namespace

// Optimize with each of the six profiles on the prefix's manager: the start
// types Wine's reg tool reads afterwards, the table's values and the refilled
// list agree for every table row the prefix has.
TEST_F(ServiceStartTypes, SixProfilesOnTheRealManagerGiveTheTableAndRegAgrees)
{
    const bool bReg = testsupport::RunHostCommand("command -v wine64") == 0;
    if (!bReg)
        TAMSEL_PEER_MISSING("wine64 is missing on the host: reg not compared");
    WriteDefaultSettings();
    // Suites side by side repeat process ids: the salt keeps this folder ours.
    const std::string strUnix = "/tmp/tamsel-service-peer-" + std::to_string(testsupport::ProcessSalt()) + "/";
    ASSERT_EQ(testsupport::RunHostCommand("rm -rf '" + strUnix + "' && mkdir -p '" + strUnix + "'"), 0);
    HostWindow host;
    CServiceOptimizerDlg view;
    ASSERT_TRUE(view.Create(CServiceOptimizerDlg::IDD, host.Wnd()));
    CIniFile ini(L"Tunekit.ini");
    std::map<std::wstring, DWORD> current = m_before;
    for (int nProfile = 0; nProfile < CServiceOptimizerDlg::PROFILE_COUNT; ++nProfile)
    {
        const LPCWSTR lpszProfile = CServiceOptimizerDlg::ProfileKey(nProfile);
        {
            testsupport::MessageBoxRecorder recorder;
            ClickOptimize(view, nProfile);
            ASSERT_EQ(recorder.Count(), 1u);
            EXPECT_EQ(recorder.LastText(), L"Service Optimization is completed.") << Narrow(lpszProfile);
        }
        const std::map<std::wstring, DWORD> reg =
            QueryRegTool(strUnix + "profile" + std::to_string(nProfile) + ".txt");
        ASSERT_GE(reg.size(), 14u) << "reg query gave too few services";
        const std::vector<CServiceRecord>& services = view.GetServices();
        CMyListCtrl& list = view.GetList();
        ASSERT_EQ(list.GetItemCount(), (int)services.size()) << "refilled";
        int nMatched = 0;
        for (int n = 0;; ++n)
        {
            CString strSection;
            strSection.Format(L"ITEM%d", n);
            CString strKey, strValue;
            if (!ini.ReadString(strSection, L"key", strKey) || strKey.IsEmpty())
                break;
            ini.ReadString(strSection, lpszProfile, strValue);
            for (size_t i = 0; i < services.size(); ++i)
            {
                const CServiceRecord& record = services[i];
                if (lstrcmpiW(record.szServiceName, strKey) != 0)
                    continue;
                ++nMatched;
                DWORD dwWant = StartTypeFromWord(strValue);
                if (IsGuardedService(record.szServiceName) && dwWant != 2)
                    dwWant = current[record.szServiceName];
                const std::string strWhere = Narrow(lpszProfile) + " " + Narrow(record.szServiceName);
                EXPECT_EQ(QueryStartType(record.szServiceName), dwWant) << strWhere;
                const auto it = reg.find(Lower(record.szServiceName));
                EXPECT_TRUE(it != reg.end() && it->second == dwWant) << "reg: " << strWhere;
                EXPECT_EQ(list.GetItemText((int)i, 2), CString(StartText(dwWant))) << "list: " << strWhere;
            }
        }
        // Wine's 16 services meet twelve table rows once names compare without case.
        EXPECT_GE(nMatched, 12) << Narrow(lpszProfile);
        for (const CServiceRecord& record : services)
            current[record.szServiceName] = record.dwStartType;
    }
    view.DestroyWindow();
    testsupport::RunHostCommand("rm -rf '" + strUnix + "'");
}

TEST_F(ServiceStartTypes, ViewListsServicesAndOptimizeTellsTheResult)
{
    WriteDefaultSettings();
    HostWindow host;
    CServiceOptimizerDlg view;
    ASSERT_TRUE(view.Create(CServiceOptimizerDlg::IDD, host.Wnd()));
    view.ShowWindow(SW_SHOW);
    ShootIfAsked(view.m_hWnd, "optimizer_services");
    view.UpdateWindow();
    Pump(100);
    // The profile labels read dark on white.
    for (int nID = 5089; nID <= 5094; ++nID)
    {
        const PixelCount count = CountPixels(::GetDlgItem(view.m_hWnd, nID));
        EXPECT_GT(count.nWhite, count.nAll / 2) << "label " << nID;
        EXPECT_GT(count.nDark, 0) << "label " << nID;
    }
    CMyListCtrl& list = view.GetList();
    ASSERT_TRUE(list.GetSafeHwnd() != NULL);
    ASSERT_EQ(list.GetItemCount(), (int)view.GetServices().size());
    EXPECT_STREQ(view.CheckedProfile(), L"default");
    for (int i = 0; i < list.GetItemCount(); ++i)
    {
        const CServiceRecord& record = view.GetServices()[i];
        EXPECT_EQ(list.GetItemText(i, 1), CString(record.szServiceName));
        CString strState = list.GetItemText(i, 3);
        if (record.dwCurrentState == SERVICE_RUNNING || record.dwCurrentState == SERVICE_STOPPED)
        {
            EXPECT_EQ(strState, CString(record.dwCurrentState == SERVICE_RUNNING ? L"Start" : L"Stop"));
        }
    }
    // A record whose start type was not read keeps the state in Status.
    std::vector<CServiceRecord> odd = {Record(L"X", 0)};
    odd[0].dwCurrentState = SERVICE_RUNNING;
    FillServiceList(list, odd, 6);
    EXPECT_EQ(list.GetItemText(0, 2), CString(L""));
    EXPECT_EQ(list.GetItemText(0, 3), CString(L"Start"));

    view.GetRadio(0).SetChecked(FALSE);
    view.GetRadio(5).SetChecked(FALSE);
    view.GetRadio(0).SetChecked(TRUE);
    EXPECT_STREQ(view.CheckedProfile(), L"campus");
    {
        testsupport::MessageBoxRecorder recorder;
        view.SendMessage(WM_COMMAND, MAKEWPARAM(5063, BN_CLICKED), (LPARAM)::GetDlgItem(view.m_hWnd, 5063));
        ASSERT_EQ(recorder.Count(), 1u);
        EXPECT_EQ(recorder.LastText(), L"Service Optimization is completed.");
    }
    EXPECT_EQ(QueryStartType(L"Spooler"), 4u) << "campus disables the spooler";
    ASSERT_EQ(list.GetItemCount(), (int)view.GetServices().size()) << "refilled";
    for (int i = 0; i < list.GetItemCount(); ++i)
    {
        if (lstrcmpiW(view.GetServices()[i].szServiceName, L"Spooler") == 0)
        {
            EXPECT_EQ(list.GetItemText(i, 2), CString(L"Disable"));
        }
    }
    // A change that fails gives the failure notice, not the success text.
    SetServiceLockForTests(&FailLock);
    view.GetRadio(0).SetChecked(FALSE);
    view.GetRadio(5).SetChecked(TRUE);
    {
        testsupport::MessageBoxRecorder recorder;
        view.SendMessage(WM_COMMAND, MAKEWPARAM(5063, BN_CLICKED), (LPARAM)::GetDlgItem(view.m_hWnd, 5063));
        ASSERT_EQ(recorder.Count(), 1u);
        EXPECT_NE(recorder.LastText(), L"Service Optimization is completed.");
    }
    SetServiceLockForTests(NULL);
    Pump(200);
    view.DestroyWindow();
}
