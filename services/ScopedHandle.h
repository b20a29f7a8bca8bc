#pragma once
// Owners of one system handle each: the handle is closed on every path out of
// the function that opened it. Header-only so the libraries use them too.
#include <windows.h>

// An open registry key.
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

// A file opened with CreateFile; INVALID_HANDLE_VALUE when the open failed.
class CFileHandle
{
public:
    explicit CFileHandle(HANDLE hFile) : m_hFile(hFile) {}
    ~CFileHandle()
    {
        if (IsValid())
            CloseHandle(m_hFile);
    }
    CFileHandle(const CFileHandle&) = delete;
    CFileHandle& operator=(const CFileHandle&) = delete;

    BOOL IsValid() const { return m_hFile != INVALID_HANDLE_VALUE; }
    operator HANDLE() const { return m_hFile; }

private:
    HANDLE m_hFile;
};

// A FindFirstFile search.
class CFindHandle
{
public:
    explicit CFindHandle(HANDLE hFind) : m_hFind(hFind) {}
    ~CFindHandle()
    {
        if (IsValid())
            FindClose(m_hFind);
    }
    CFindHandle(const CFindHandle&) = delete;
    CFindHandle& operator=(const CFindHandle&) = delete;

    bool IsValid() const { return m_hFind != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return m_hFind; }
    operator HANDLE() const { return m_hFind; }

private:
    HANDLE m_hFind;
};

// A service control manager or service handle; NULL when the open failed.
class CServiceHandle
{
public:
    explicit CServiceHandle(SC_HANDLE hService) : m_hService(hService) {}
    ~CServiceHandle()
    {
        if (m_hService != NULL)
            CloseServiceHandle(m_hService);
    }
    CServiceHandle(const CServiceHandle&) = delete;
    CServiceHandle& operator=(const CServiceHandle&) = delete;

    operator SC_HANDLE() const { return m_hService; }

private:
    SC_HANDLE m_hService;
};
