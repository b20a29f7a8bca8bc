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

// Closes one kind of handle on every path; Traits give the handle type, the
// value of a failed open and the close call.
template <class TTraits>
class CScopedHandle
{
public:
    typedef typename TTraits::Handle Handle;

    explicit CScopedHandle(Handle h) : m_h(h) {}
    ~CScopedHandle()
    {
        if (IsValid())
            TTraits::Close(m_h);
    }
    CScopedHandle(const CScopedHandle&) = delete;
    CScopedHandle& operator=(const CScopedHandle&) = delete;

    BOOL IsValid() const { return m_h != TTraits::Invalid(); }
    Handle Get() const { return m_h; }
    operator Handle() const { return m_h; }

private:
    Handle m_h;
};

struct FileHandleTraits
{
    typedef HANDLE Handle;
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE hFile) { CloseHandle(hFile); }
};

struct FindHandleTraits
{
    typedef HANDLE Handle;
    static HANDLE Invalid() { return INVALID_HANDLE_VALUE; }
    static void Close(HANDLE hFind) { FindClose(hFind); }
};

struct ServiceHandleTraits
{
    typedef SC_HANDLE Handle;
    static SC_HANDLE Invalid() { return NULL; }
    static void Close(SC_HANDLE hService) { CloseServiceHandle(hService); }
};

// A file opened with CreateFile; INVALID_HANDLE_VALUE when the open failed.
typedef CScopedHandle<FileHandleTraits> CFileHandle;
// A FindFirstFile search.
typedef CScopedHandle<FindHandleTraits> CFindHandle;
// A service control manager or service handle; NULL when the open failed.
typedef CScopedHandle<ServiceHandleTraits> CServiceHandle;
