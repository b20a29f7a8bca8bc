#include "optimizer/ServiceControl.h"
#include "optimizer/shared/IniFile.h"
#include "services/ScopedHandle.h"

namespace {
PFN_LOCK_SERVICE_DATABASE s_pfnLock = NULL;
// Repeated enumerations stop here even if the manager keeps asking for more.
const int kEnumRounds = 64;

void CopyBounded(WCHAR* pDest, size_t nSize, LPCWSTR lpszSrc)
{
    pDest[0] = 0;
    if (lpszSrc != NULL)
        lstrcpynW(pDest, lpszSrc, (int)nSize);
}

void ReadConfiguration(SC_HANDLE hManager, CServiceRecord& record, int nMajorVersion)
{
    CServiceHandle hService(::OpenServiceW(hManager, record.szServiceName, SERVICE_QUERY_CONFIG));
    if (hService == NULL)
        return;
    DWORD cbNeeded = 0;
    ::QueryServiceConfigW(hService, NULL, 0, &cbNeeded);
    if (cbNeeded > 0 && cbNeeded < 1024 * 1024)
    {
        std::vector<BYTE> buffer(cbNeeded);
        if (::QueryServiceConfigW(hService, (LPQUERY_SERVICE_CONFIGW)buffer.data(), cbNeeded, &cbNeeded))
            record.dwStartType = ((LPQUERY_SERVICE_CONFIGW)buffer.data())->dwStartType;
    }
    if (nMajorVersion >= 6)
        return;
    cbNeeded = 0;
    ::QueryServiceConfig2W(hService, SERVICE_CONFIG_DESCRIPTION, NULL, 0, &cbNeeded);
    if (cbNeeded > 0 && cbNeeded < 1024 * 1024)
    {
        std::vector<BYTE> buffer(cbNeeded);
        if (::QueryServiceConfig2W(hService, SERVICE_CONFIG_DESCRIPTION, buffer.data(), cbNeeded, &cbNeeded))
        {
            LPCWSTR lpszText = ((LPSERVICE_DESCRIPTIONW)buffer.data())->lpDescription;
            if (lpszText != NULL && lpszText[0] != 0)
                CopyBounded(record.szDescription, 512, lpszText);
        }
    }
}
} // namespace

void SetServiceLockForTests(PFN_LOCK_SERVICE_DATABASE pfnLock)
{
    s_pfnLock = pfnLock;
}

int EnumerateServices(std::vector<CServiceRecord>& services, int nMax, int nMajorVersion)
{
    services.clear();
    // Least rights, so a standard user still sees the list.
    CServiceHandle hManager(::OpenSCManagerW(NULL, L"ServicesActive", SC_MANAGER_CONNECT | SC_MANAGER_ENUMERATE_SERVICE));
    if (hManager == NULL)
        return -1;
    DWORD dwResume = 0;
    for (int nRound = 0; nRound < kEnumRounds; ++nRound)
    {
        DWORD cbNeeded = 0, nReturned = 0;
        const DWORD dwResumeBefore = dwResume;
        BOOL bOK = ::EnumServicesStatusW(hManager, SERVICE_WIN32, SERVICE_STATE_ALL, NULL, 0, &cbNeeded, &nReturned,
                                         &dwResume);
        if (bOK)
            break; // nothing (more) to list
        if (::GetLastError() != ERROR_MORE_DATA || cbNeeded == 0)
            return services.empty() ? -3 : 0;
        dwResume = dwResumeBefore;
        std::vector<BYTE> buffer(cbNeeded);
        bOK = ::EnumServicesStatusW(hManager, SERVICE_WIN32, SERVICE_STATE_ALL, (LPENUM_SERVICE_STATUSW)buffer.data(),
                                    cbNeeded, &cbNeeded, &nReturned, &dwResume);
        const bool bMore = !bOK && ::GetLastError() == ERROR_MORE_DATA;
        if (!bOK && !bMore)
            return -5;
        const ENUM_SERVICE_STATUSW* pStatus = (const ENUM_SERVICE_STATUSW*)buffer.data();
        for (DWORD i = 0; i < nReturned; ++i)
        {
            if (nMax >= 0 && (int)services.size() >= nMax)
                break;
            CServiceRecord record = {};
            record.dwServiceType = pStatus[i].ServiceStatus.dwServiceType;
            record.dwCurrentState = pStatus[i].ServiceStatus.dwCurrentState;
            CopyBounded(record.szServiceName, 256, pStatus[i].lpServiceName);
            CopyBounded(record.szDisplayName, 256, pStatus[i].lpDisplayName);
            services.push_back(record);
        }
        if (!bMore || nReturned == 0 || (nMax >= 0 && (int)services.size() >= nMax))
            break;
    }
    for (CServiceRecord& record : services)
        ReadConfiguration(hManager, record, nMajorVersion);
    return 0;
}

bool IsGuardedService(LPCWSTR lpszName)
{
    static const LPCWSTR kGuarded[] = {L"RpcSs", L"DcomLaunch", L"RpcEptMapper", L"PlugPlay", L"SamSs",
                                       L"ProfSvc", L"LSM", L"BrokerInfrastructure", L"Power"};
    for (LPCWSTR lpszGuarded : kGuarded)
    {
        if (lstrcmpiW(lpszName, lpszGuarded) == 0)
            return true;
    }
    return false;
}

DWORD StartTypeFromWord(LPCWSTR lpszWord)
{
    if (wcscmp(lpszWord, L"DISABLED") == 0)
        return SERVICE_DISABLED;
    if (wcscmp(lpszWord, L"AUTO") == 0)
        return SERVICE_AUTO_START;
    if (wcscmp(lpszWord, L"DEMAND") == 0)
        return SERVICE_DEMAND_START;
    return 0;
}

int ChangeServiceStartType(const CServiceRecord& record)
{
    const DWORD dwStart = record.dwStartType;
    if (dwStart < SERVICE_AUTO_START || dwStart > SERVICE_DISABLED)
        return -4;
    if (dwStart != SERVICE_AUTO_START && IsGuardedService(record.szServiceName))
        return -4;
    CServiceHandle hManager(::OpenSCManagerW(NULL, NULL, SC_MANAGER_ALL_ACCESS));
    if (hManager == NULL)
        return -1;
    SC_LOCK hLock = s_pfnLock != NULL ? s_pfnLock(hManager) : ::LockServiceDatabase(hManager);
    if (hLock == NULL)
        return -1;
    int nResult = 0;
    {
        CServiceHandle hService(::OpenServiceW(hManager, record.szServiceName, SERVICE_CHANGE_CONFIG));
        if (hService == NULL)
            nResult = -2;
        else if (!::ChangeServiceConfigW(hService, SERVICE_NO_CHANGE, dwStart, SERVICE_NO_CHANGE, NULL, NULL, NULL,
                                         NULL, NULL, NULL, NULL))
            nResult = -3;
    }
    ::UnlockServiceDatabase(hLock);
    return nResult;
}

BOOL ApplyServiceProfile(CIniFile& ini, LPCWSTR lpszProfile, std::vector<CServiceRecord>& services,
                         PFN_CHANGE_START_TYPE pfnChange)
{
    BOOL bAllDone = TRUE;
    for (int n = 0;; ++n)
    {
        CString strSection;
        strSection.Format(L"ITEM%d", n);
        CString strKey;
        if (!ini.ReadString(strSection, L"key", strKey) || strKey.IsEmpty())
            break;
        strKey = strKey.Left(260);
        // The service manager compares names without case.
        CServiceRecord* pRecord = NULL;
        for (CServiceRecord& record : services)
        {
            if (lstrcmpiW(record.szServiceName, (LPCWSTR)strKey) == 0)
            {
                pRecord = &record;
                break;
            }
        }
        if (pRecord == NULL)
            continue;
        CString strValue;
        if (!ini.ReadString(strSection, lpszProfile, strValue))
            continue;
        const DWORD dwStart = StartTypeFromWord(strValue.Left(64));
        // Unknown word, same value, or an unread configuration: nothing to change.
        if (dwStart == 0 || pRecord->dwStartType == dwStart || pRecord->dwStartType < SERVICE_AUTO_START)
            continue;
        if (dwStart != SERVICE_AUTO_START && IsGuardedService(pRecord->szServiceName))
            continue;
        CServiceRecord changed = *pRecord;
        changed.dwStartType = dwStart;
        if (pfnChange(changed) == 0)
            pRecord->dwStartType = dwStart;
        else
            bAllDone = FALSE;
    }
    return bAllDone;
}
