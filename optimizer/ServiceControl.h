#pragma once
// The service manager as the service optimizer uses it: the list of Win32
// services and the change of one start type.
#include "framework/Afx.h"
#include <vector>

class CIniFile;

struct CServiceRecord
{
    DWORD dwServiceType;
    DWORD dwStartType;   // 2 automatic, 3 on demand, 4 disabled; 0 when unread
    DWORD dwCurrentState;
    WCHAR szServiceName[256];
    WCHAR szDisplayName[256];
    WCHAR szDescription[512];
};

// Fills services; nMax -1 for all. 0 or a negative code (manager -1,
// size query -2/-3, enumeration -5).
int EnumerateServices(std::vector<CServiceRecord>& services, int nMax, int nMajorVersion);

// 0, or -1 database not locked, -2 service not opened, -3 change failed,
// -4 start type refused (not 2, 3 or 4, or a guarded service lowered).
int ChangeServiceStartType(const CServiceRecord& record);

// Services the system cannot start without: never set below automatic.
bool IsGuardedService(LPCWSTR lpszName);
// "DISABLED" 4, "AUTO" 2, "DEMAND" 3, exactly; anything else 0.
DWORD StartTypeFromWord(LPCWSTR lpszWord);

// The profile walk over Tunekit.ini's ITEM rows. Returns FALSE when some change failed.
typedef int (*PFN_CHANGE_START_TYPE)(const CServiceRecord&);
BOOL ApplyServiceProfile(CIniFile& ini, LPCWSTR lpszProfile, std::vector<CServiceRecord>& services,
                         PFN_CHANGE_START_TYPE pfnChange = &ChangeServiceStartType);

// Tests: the lock call (Wine's always succeeds). NULL restores the system's.
typedef SC_LOCK(WINAPI* PFN_LOCK_SERVICE_DATABASE)(SC_HANDLE);
void SetServiceLockForTests(PFN_LOCK_SERVICE_DATABASE pfnLock);
