#pragma once
// Turns SeDebugPrivilege on for one operation and back to what it was after.
#include "framework/Afx.h"

class CDebugPrivilegeScope
{
public:
    CDebugPrivilegeScope();
    ~CDebugPrivilegeScope();
    BOOL IsEnabled() const { return m_bChanged; }
    // Whether the privilege is on in this process's token now.
    static BOOL IsDebugPrivilegeOn();

private:
    CDebugPrivilegeScope(const CDebugPrivilegeScope&) = delete;
    CDebugPrivilegeScope& operator=(const CDebugPrivilegeScope&) = delete;
    HANDLE m_hToken;
    BOOL m_bChanged;
    TOKEN_PRIVILEGES m_previous;
};
