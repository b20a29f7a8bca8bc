#include "services/RegistryLink.h"
#include "services/ScopedHandle.h"
#include "services/Wow64.h"

#include <vector>

BOOL GetRegistryLinkTarget(HKEY hKey, CString* pstrTarget)
{
    DWORD dwType = REG_NONE, dwSize = 0;
    LONG nResult = ::RegQueryValueExW(hKey, L"SymbolicLinkValue", NULL, &dwType, NULL, &dwSize);
    if (nResult != ERROR_SUCCESS || dwType != REG_LINK)
        return FALSE;
    if (pstrTarget == NULL)
        return TRUE;
    pstrTarget->Empty();
    // An NT path is at most 32767 characters.
    if (dwSize == 0 || dwSize > 65536)
        return TRUE;
    std::vector<wchar_t> buffer(dwSize / sizeof(wchar_t) + 1, L'\0');
    DWORD dwRead = dwSize;
    if (::RegQueryValueExW(hKey, L"SymbolicLinkValue", NULL, &dwType, (BYTE*)buffer.data(), &dwRead) == ERROR_SUCCESS)
    {
        // REG_LINK data carries no terminating zero.
        size_t nChars = dwRead / sizeof(wchar_t);
        while (nChars > 0 && buffer[nChars - 1] == L'\0')
            nChars--;
        *pstrTarget = CString(buffer.data(), (int)nChars);
    }
    return TRUE;
}

BOOL IsRegistryLink(HKEY hParent, LPCWSTR pszName, REGSAM samView, CString* pstrTarget)
{
    CRegKeyHandle link;
    if (::RegOpenKeyExW(hParent, pszName, REG_OPTION_OPEN_LINK, KEY_QUERY_VALUE | samView, link.Receive()) !=
        ERROR_SUCCESS)
        return FALSE;
    return GetRegistryLinkTarget(link, pstrTarget);
}

REGSAM ViewOfLinkedKey(HKEY hRoot, LPCWSTR pszPath, REGSAM samView)
{
    const REGSAM samBoth = KEY_WOW64_32KEY | KEY_WOW64_64KEY;
    REGSAM samOwn = samView & samBoth;
    if (samOwn == 0)
    {
#ifdef _WIN64
        samOwn = KEY_WOW64_64KEY;
#else
        if (!IsRunningOnWow64())
            return samView;
        samOwn = KEY_WOW64_32KEY;
#endif
    }
    if (samOwn == samBoth || pszPath == NULL || pszPath[0] == L'\0')
        return samView;
    const REGSAM samOther = samOwn == KEY_WOW64_32KEY ? KEY_WOW64_64KEY : KEY_WOW64_32KEY;
    CRegKeyHandle link, otherLink;
    if (::RegOpenKeyExW(hRoot, pszPath, REG_OPTION_OPEN_LINK, KEY_QUERY_VALUE | samOwn, link.Receive()) !=
            ERROR_SUCCESS ||
        !GetRegistryLinkTarget(link))
        return samView;
    // A link in both views has no view of its own to go to.
    if (::RegOpenKeyExW(hRoot, pszPath, REG_OPTION_OPEN_LINK, KEY_QUERY_VALUE | samOther, otherLink.Receive()) !=
            ERROR_SUCCESS ||
        GetRegistryLinkTarget(otherLink))
        return samView;
    // The link must lead to the other view's key itself, not elsewhere.
    CRegKeyHandle through, other;
    CString strThrough, strOther;
    if (::RegOpenKeyExW(hRoot, pszPath, 0, KEY_QUERY_VALUE | samOwn, through.Receive()) != ERROR_SUCCESS ||
        ::RegOpenKeyExW(hRoot, pszPath, 0, KEY_QUERY_VALUE | samOther, other.Receive()) != ERROR_SUCCESS ||
        !GetRegistryKeyNtPath(through, strThrough) || !GetRegistryKeyNtPath(other, strOther) ||
        strThrough.CompareNoCase(strOther) != 0)
        return samView;
    return samOther;
}

namespace {
// KEY_NAME_INFORMATION of NtQueryKey.
const int kKeyNameInformation = 3;
typedef LONG(WINAPI* PFN_NT_QUERY_KEY)(HANDLE, int, PVOID, ULONG, PULONG);
typedef LONG(WINAPI* PFN_NT_DELETE_KEY)(HANDLE);
typedef ULONG(WINAPI* PFN_NT_STATUS_TO_ERROR)(LONG);
} // namespace

LONG DeleteRegistryKeyHandle(HKEY hKey)
{
    // Looked up at run time: the native call is the only delete that acts on
    // an open handle rather than on a name that a link could redirect.
    static PFN_NT_DELETE_KEY s_pfnDeleteKey =
        (PFN_NT_DELETE_KEY)(void*)::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtDeleteKey");
    static PFN_NT_STATUS_TO_ERROR s_pfnToError =
        (PFN_NT_STATUS_TO_ERROR)(void*)::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "RtlNtStatusToDosError");
    if (hKey == NULL)
        return ERROR_INVALID_HANDLE;
    if (s_pfnDeleteKey == NULL)
        return ERROR_NOT_SUPPORTED;
    LONG nStatus = s_pfnDeleteKey(hKey);
    if (nStatus >= 0)
        return ERROR_SUCCESS;
    LONG nError = s_pfnToError != NULL ? (LONG)s_pfnToError(nStatus) : (LONG)ERROR_ACCESS_DENIED;
    return nError != ERROR_SUCCESS ? nError : (LONG)ERROR_ACCESS_DENIED;
}

BOOL GetRegistryKeyNtPath(HKEY hKey, CString& strPath)
{
    strPath.Empty();
    static PFN_NT_QUERY_KEY s_pfnQueryKey =
        (PFN_NT_QUERY_KEY)(void*)::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtQueryKey");
    if (s_pfnQueryKey == NULL || hKey == NULL)
        return FALSE;
    // A length in bytes, then the name; key paths stay far below 64 KB.
    std::vector<BYTE> buffer(65536 + sizeof(ULONG));
    ULONG nNeeded = 0;
    if (s_pfnQueryKey(hKey, kKeyNameInformation, buffer.data(), (ULONG)buffer.size(), &nNeeded) != 0)
        return FALSE;
    ULONG nBytes = *(const ULONG*)buffer.data();
    if (nBytes > buffer.size() - sizeof(ULONG))
        return FALSE;
    strPath = CString((const wchar_t*)(buffer.data() + sizeof(ULONG)), (int)(nBytes / sizeof(wchar_t)));
    return !strPath.IsEmpty();
}

BOOL IsRegistryPathWithin(const CString& strPath, const CString& strTop)
{
    CString strBase = strTop;
    strBase.TrimRight(L'\\');
    int nLength = strBase.GetLength();
    if (nLength == 0 || strPath.GetLength() < nLength || strPath.Left(nLength).CompareNoCase(strBase) != 0)
        return FALSE;
    return strPath.GetLength() == nLength || strPath[nLength] == L'\\';
}
