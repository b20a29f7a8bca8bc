#include "tests/optimizer_services/ServiceTestSupport.h"
#include "optimizer/OptimizerText.h"
#include "optimizer/shared/IniFile.h"
#include <cstdlib>

using namespace optest;

namespace svctest {

DWORD QueryStartType(LPCWSTR lpszName)
{
    DWORD dwStart = 0;
    SC_HANDLE hManager = ::OpenSCManagerW(NULL, NULL, SC_MANAGER_CONNECT);
    if (hManager == NULL)
        return 0;
    SC_HANDLE hService = ::OpenServiceW(hManager, lpszName, SERVICE_QUERY_CONFIG);
    if (hService != NULL)
    {
        BYTE buffer[8192];
        DWORD cb = 0;
        if (::QueryServiceConfigW(hService, (LPQUERY_SERVICE_CONFIGW)buffer, sizeof(buffer), &cb))
            dwStart = ((LPQUERY_SERVICE_CONFIGW)buffer)->dwStartType;
        ::CloseServiceHandle(hService);
    }
    ::CloseServiceHandle(hManager);
    return dwStart;
}

bool SetStartType(LPCWSTR lpszName, DWORD dwStart)
{
    SC_HANDLE hManager = ::OpenSCManagerW(NULL, NULL, SC_MANAGER_CONNECT);
    if (hManager == NULL)
        return false;
    SC_HANDLE hService = ::OpenServiceW(hManager, lpszName, SERVICE_CHANGE_CONFIG);
    bool bOK = hService != NULL && ::ChangeServiceConfigW(hService, SERVICE_NO_CHANGE, dwStart, SERVICE_NO_CHANGE,
                                                          NULL, NULL, NULL, NULL, NULL, NULL, NULL);
    if (hService != NULL)
        ::CloseServiceHandle(hService);
    ::CloseServiceHandle(hManager);
    return bOK;
}

DWORD RegistryStartType(LPCWSTR lpszName)
{
    std::wstring strKey = std::wstring(L"SYSTEM\\CurrentControlSet\\Services\\") + lpszName;
    DWORD dwStart = 0, cb = sizeof(dwStart), dwType = 0;
    if (::RegGetValueW(HKEY_LOCAL_MACHINE, strKey.c_str(), L"Start", RRF_RT_REG_DWORD, &dwType, &dwStart, &cb) != ERROR_SUCCESS)
        return 0;
    return dwStart;
}

bool IsDriverHost(LPCWSTR lpszName)
{
    return _wcsnicmp(lpszName, L"Winedevice", 10) == 0;
}

// The manager of a freshly copied prefix answers as soon as services.exe runs:
// wait (bounded) until it lists the prefix's services and every start type it
// gives equals the registry's Start value.
bool WaitForServiceManager(std::string& strWhy)
{
    static bool s_bReady = false;
    for (int nRound = 0; nRound < 60 && !s_bReady; ++nRound)
    {
        if (nRound > 0)
            ::Sleep(500);
        std::vector<CServiceRecord> services;
        if (EnumerateServices(services, -1, 6) != 0)
        {
            strWhy = "no enumeration";
            continue;
        }
        int nListed = 0;
        strWhy.clear();
        for (const CServiceRecord& record : services)
        {
            if (IsDriverHost(record.szServiceName))
                continue;
            ++nListed;
            const DWORD dwRegistry = RegistryStartType(record.szServiceName);
            if (record.dwStartType == 0 || record.dwStartType != dwRegistry)
                strWhy += " " + std::string(CString(record.szServiceName).ToUtf8()) + "=" +
                          std::to_string(record.dwStartType) + "/" + std::to_string(dwRegistry);
        }
        if (nListed < 14)
            strWhy += " only " + std::to_string(nListed) + " services";
        s_bReady = strWhy.empty();
    }
    return s_bReady;
}

void ShootIfAsked(HWND hWnd, const std::string& strName)
{
    const char* pszDir = std::getenv("TAMSEL_SCREENSHOT_DIR");
    if (pszDir == NULL || *pszDir == 0)
        return;
    Pump(300);
    ::RedrawWindow(hWnd, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE | RDW_ALLCHILDREN);
    Pump(200);
    RECT rc;
    ::GetWindowRect(hWnd, &rc);
    const std::string strGeometry = std::to_string(rc.right - rc.left) + "x" + std::to_string(rc.bottom - rc.top) +
                                    "+" + std::to_string(rc.left) + "+" + std::to_string(rc.top);
    testsupport::RunHostCommand("import -window root -crop " + strGeometry + " +repage " + pszDir + "/" + strName +
                                ".png");
}

PixelCount CountPixels(HWND hLabel)
{
    PixelCount count;
    RECT rc;
    ::GetClientRect(hLabel, &rc);
    HDC hDC = ::GetDC(hLabel);
    for (int y = rc.top; y < rc.bottom; ++y)
    {
        for (int x = rc.left; x < rc.right; ++x)
        {
            const COLORREF cr = ::GetPixel(hDC, x, y);
            if (cr == CLR_INVALID)
                continue;
            ++count.nAll;
            count.nWhite += cr == RGB(255, 255, 255);
            count.nDark += GetRValue(cr) + GetGValue(cr) + GetBValue(cr) < 3 * 128;
        }
    }
    ::ReleaseDC(hLabel, hDC);
    return count;
}

void ServiceStartTypes::SetUp()
{
    std::string strWhy;
    ASSERT_TRUE(WaitForServiceManager(strWhy)) << "manager and registry differ:" << strWhy;
    std::vector<CServiceRecord> services;
    ASSERT_EQ(EnumerateServices(services, -1, 6), 0);
    for (const CServiceRecord& record : services)
        m_before[record.szServiceName] = QueryStartType(record.szServiceName);
    ASSERT_GE(m_before.size(), 10u);
    SetOptimizerLanguageFile(EnglishLanguageFile().c_str());
    CIniFile::SetHostFolderForTests(m_folder.Path().c_str());
}

void ServiceStartTypes::TearDown()
{
    SetServiceLockForTests(NULL);
    for (const auto& entry : m_before)
    {
        // Wine's driver hosts (Winedevice<n>) come and go on their own.
        const DWORD dwNow = QueryStartType(entry.first.c_str());
        if (entry.second == 0 || dwNow == 0)
            continue;
        if (dwNow != entry.second)
            SetStartType(entry.first.c_str(), entry.second);
        EXPECT_EQ(QueryStartType(entry.first.c_str()), entry.second) << "restored: " << Narrow(entry.first);
        if (!IsDriverHost(entry.first.c_str()))
        {
            EXPECT_EQ(RegistryStartType(entry.first.c_str()), entry.second) << "registry: " << Narrow(entry.first);
        }
    }
    CIniFile::SetHostFolderForTests(NULL);
}

void ServiceStartTypes::WriteRow(int n, LPCWSTR lpszKey, LPCWSTR lpszProfile, LPCWSTR lpszValue)
{
    std::wstring strIni = m_folder.File(L"Tunekit.ini");
    std::wstring strSection = L"ITEM" + std::to_wstring(n);
    ::WritePrivateProfileStringW(strSection.c_str(), L"key", lpszKey, strIni.c_str());
    ::WritePrivateProfileStringW(strSection.c_str(), lpszProfile, lpszValue, strIni.c_str());
}

} // namespace svctest
