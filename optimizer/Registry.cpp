#include "optimizer/Registry.h"
#include "services/ScopedHandle.h"
#include "services/Wow64.h"

namespace {
std::vector<CString>* s_pTraceAll = NULL;
} // namespace

CRegistry::CRegistry() : m_nFailures(0), m_pTrace(s_pTraceAll)
{
}

void CRegistry::TraceAllInto(std::vector<CString>* pTrace)
{
    s_pTraceAll = pTrace;
}

REGSAM CRegistry::Access(HKEY hRoot, LPCWSTR lpszPath, REGSAM samDesired) const
{
    // A 32-bit process on 64-bit Windows would write the redirected copy.
    if (hRoot == HKEY_LOCAL_MACHINE && ::_wcsnicmp(lpszPath, L"SOFTWARE\\", 9) == 0 && IsRunningOnWow64())
        samDesired |= KEY_WOW64_64KEY;
    return samDesired;
}

BOOL CRegistry::Record(LONG lResult, LPCWSTR lpszValue)
{
    if (m_pTrace != NULL)
        m_pTrace->push_back(lpszValue);
    if (lResult == ERROR_SUCCESS)
        return TRUE;
    ++m_nFailures;
    return FALSE;
}

LONG CRegistry::CreateKey(HKEY hRoot, LPCWSTR lpszPath, REGSAM samDesired, HKEY* phKey) const
{
    return ::RegCreateKeyExW(hRoot, lpszPath, 0, NULL, 0, Access(hRoot, lpszPath, samDesired), NULL, phKey, NULL);
}

BOOL CRegistry::SetDword(HKEY hRoot, LPCWSTR lpszPath, LPCWSTR lpszValue, DWORD dwValue)
{
    CRegKeyHandle key;
    LONG lResult = CreateKey(hRoot, lpszPath, KEY_SET_VALUE, key.Receive());
    if (lResult == ERROR_SUCCESS)
        lResult = ::RegSetValueExW(key, lpszValue, 0, REG_DWORD, (const BYTE*)&dwValue, sizeof(dwValue));
    return Record(lResult, lpszValue);
}

BOOL CRegistry::SetString(HKEY hRoot, LPCWSTR lpszPath, LPCWSTR lpszValue, LPCWSTR lpszText)
{
    CRegKeyHandle key;
    LONG lResult = CreateKey(hRoot, lpszPath, KEY_SET_VALUE, key.Receive());
    if (lResult == ERROR_SUCCESS)
        lResult = ::RegSetValueExW(key, lpszValue, 0, REG_SZ, (const BYTE*)lpszText,
                                   (DWORD)((wcslen(lpszText) + 1) * sizeof(WCHAR)));
    return Record(lResult, lpszValue);
}

BOOL CRegistry::SetBinary(HKEY hRoot, LPCWSTR lpszPath, LPCWSTR lpszValue, const BYTE* pData, DWORD cbData)
{
    CRegKeyHandle key;
    LONG lResult = CreateKey(hRoot, lpszPath, KEY_SET_VALUE, key.Receive());
    if (lResult == ERROR_SUCCESS)
        lResult = ::RegSetValueExW(key, lpszValue, 0, REG_BINARY, pData, cbData);
    return Record(lResult, lpszValue);
}

BOOL CRegistry::SetBinaryHead(HKEY hRoot, LPCWSTR lpszPath, LPCWSTR lpszValue, const BYTE* pData, DWORD cbData)
{
    CRegKeyHandle key;
    LONG lResult = CreateKey(hRoot, lpszPath, KEY_SET_VALUE | KEY_QUERY_VALUE, key.Receive());
    if (lResult == ERROR_SUCCESS)
    {
        std::vector<BYTE> bytes(pData, pData + cbData);
        DWORD dwType = 0, cbOld = 0;
        if (::RegQueryValueExW(key, lpszValue, NULL, &dwType, NULL, &cbOld) == ERROR_SUCCESS && dwType == REG_BINARY &&
            cbOld > cbData && cbOld <= 4096)
        {
            std::vector<BYTE> old(cbOld);
            if (::RegQueryValueExW(key, lpszValue, NULL, &dwType, old.data(), &cbOld) == ERROR_SUCCESS &&
                cbOld > cbData)
                bytes.insert(bytes.end(), old.begin() + cbData, old.begin() + cbOld);
        }
        lResult = ::RegSetValueExW(key, lpszValue, 0, REG_BINARY, bytes.data(), (DWORD)bytes.size());
    }
    return Record(lResult, lpszValue);
}

BOOL CRegistry::DeleteValue(HKEY hRoot, LPCWSTR lpszPath, LPCWSTR lpszValue)
{
    CRegKeyHandle key;
    LONG lResult = ::RegOpenKeyExW(hRoot, lpszPath, 0, Access(hRoot, lpszPath, KEY_SET_VALUE), key.Receive());
    if (lResult == ERROR_SUCCESS)
        lResult = ::RegDeleteValueW(key, lpszValue);
    if (lResult == ERROR_FILE_NOT_FOUND)
        lResult = ERROR_SUCCESS;
    return Record(lResult, lpszValue);
}

BOOL CRegistry::KeyExists(HKEY hRoot, LPCWSTR lpszPath) const
{
    CRegKeyHandle key;
    return ::RegOpenKeyExW(hRoot, lpszPath, 0, Access(hRoot, lpszPath, KEY_READ), key.Receive()) == ERROR_SUCCESS;
}

BOOL CRegistry::ListSubkeys(HKEY hRoot, LPCWSTR lpszPath, std::vector<CString>& names) const
{
    names.clear();
    CRegKeyHandle key;
    if (::RegOpenKeyExW(hRoot, lpszPath, 0, Access(hRoot, lpszPath, KEY_READ), key.Receive()) != ERROR_SUCCESS)
        return FALSE;
    std::vector<WCHAR> name(256);
    for (DWORD nIndex = 0;; nIndex++)
    {
        // The size goes in as the buffer's and comes back as the name's.
        DWORD cchName = (DWORD)name.size();
        LONG lResult = ::RegEnumKeyExW(key, nIndex, name.data(), &cchName, NULL, NULL, NULL, NULL);
        if (lResult == ERROR_MORE_DATA && name.size() < 32768)
        {
            name.resize(32768);
            nIndex--;
            continue;
        }
        if (lResult != ERROR_SUCCESS)
            break;
        names.push_back(CString(name.data(), (int)cchName));
    }
    return TRUE;
}

void EnableDebugPrivilege()
{
    HANDLE hToken = NULL;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &hToken))
        return;
    TOKEN_PRIVILEGES tp = {};
    tp.PrivilegeCount = 1;
    tp.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    if (::LookupPrivilegeValueW(NULL, L"SeDebugPrivilege", &tp.Privileges[0].Luid))
        ::AdjustTokenPrivileges(hToken, FALSE, &tp, 0, NULL, NULL);
    ::CloseHandle(hToken);
}
