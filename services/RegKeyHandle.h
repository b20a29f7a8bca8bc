#pragma once
// An open registry key that closes itself on every path out of a function.
#include <windows.h>

class CRegKeyHandle
{
public:
    CRegKeyHandle() {}
    explicit CRegKeyHandle(HKEY hKey) : m_hKey(hKey) {}
    ~CRegKeyHandle() { Close(); }
    CRegKeyHandle(const CRegKeyHandle&) = delete;
    CRegKeyHandle& operator=(const CRegKeyHandle&) = delete;

    HKEY Get() const { return m_hKey; }
    operator HKEY() const { return m_hKey; }
    // For the open and create calls that hand the key back through a pointer.
    HKEY* Receive() { Close(); return &m_hKey; }
    BOOL IsOpen() const { return m_hKey != NULL; }

    void Close()
    {
        if (m_hKey)
            RegCloseKey(m_hKey);
        m_hKey = NULL;
    }

private:
    HKEY m_hKey = NULL;
};
