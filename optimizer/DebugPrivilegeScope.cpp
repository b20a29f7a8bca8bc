#include "optimizer/DebugPrivilegeScope.h"
#include <vector>

CDebugPrivilegeScope::CDebugPrivilegeScope() : m_hToken(NULL), m_bChanged(FALSE), m_previous()
{
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &m_hToken))
    {
        m_hToken = NULL;
        return;
    }
    TOKEN_PRIVILEGES tp = {};
    tp.PrivilegeCount = 1;
    tp.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (!::LookupPrivilegeValueW(NULL, L"SeDebugPrivilege", &tp.Privileges[0].Luid))
        return;
    DWORD cbPrevious = sizeof(m_previous);
    if (::AdjustTokenPrivileges(m_hToken, FALSE, &tp, sizeof(m_previous), &m_previous, &cbPrevious) &&
        ::GetLastError() == ERROR_SUCCESS)
        m_bChanged = TRUE;
}

CDebugPrivilegeScope::~CDebugPrivilegeScope()
{
    // The previous state holds only what was changed; nothing when it was on already.
    if (m_bChanged && m_previous.PrivilegeCount > 0)
        ::AdjustTokenPrivileges(m_hToken, FALSE, &m_previous, 0, NULL, NULL);
    if (m_hToken != NULL)
        ::CloseHandle(m_hToken);
}

BOOL CDebugPrivilegeScope::IsDebugPrivilegeOn()
{
    HANDLE hToken = NULL;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &hToken))
        return FALSE;
    BOOL bOn = FALSE;
    LUID luid;
    DWORD cb = 0;
    ::GetTokenInformation(hToken, TokenPrivileges, NULL, 0, &cb);
    if (cb > 0 && ::LookupPrivilegeValueW(NULL, L"SeDebugPrivilege", &luid))
    {
        std::vector<BYTE> buffer(cb);
        if (::GetTokenInformation(hToken, TokenPrivileges, buffer.data(), cb, &cb))
        {
            const TOKEN_PRIVILEGES* pPrivileges = (const TOKEN_PRIVILEGES*)buffer.data();
            for (DWORD i = 0; i < pPrivileges->PrivilegeCount; ++i)
            {
                const LUID_AND_ATTRIBUTES& entry = pPrivileges->Privileges[i];
                if (entry.Luid.LowPart == luid.LowPart && entry.Luid.HighPart == luid.HighPart)
                    bOn = (entry.Attributes & SE_PRIVILEGE_ENABLED) != 0;
            }
        }
    }
    ::CloseHandle(hToken);
    return bOn;
}
