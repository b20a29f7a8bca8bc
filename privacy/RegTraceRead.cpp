#include "privacy/RegTraceRead.h"
#include "services/ScopedHandle.h"

namespace {

// The raw text of a string value, terminated and bounded; the type comes back.
BOOL ReadRawText(HKEY hRoot, LPCWSTR pszPath, LPCWSTR pszValueName, DWORD dwAllowedTypes, DWORD& dwType,
                 std::vector<wchar_t>& text)
{
    CRegKeyHandle key;
    if (::RegOpenKeyExW(hRoot, pszPath, 0, KEY_READ, key.Receive()) != ERROR_SUCCESS)
        return FALSE;
    DWORD nBytes = 0;
    if (::RegQueryValueExW(key, pszValueName, NULL, &dwType, NULL, &nBytes) != ERROR_SUCCESS)
        return FALSE;
    BOOL bAllowed = (dwType == REG_SZ && (dwAllowedTypes & 1)) || (dwType == REG_EXPAND_SZ && (dwAllowedTypes & 2)) ||
                    (dwType == REG_MULTI_SZ && (dwAllowedTypes & 4));
    if (!bAllowed || nBytes == 0 || nBytes > (REG_TRACE_MAX_TEXT + 2) * sizeof(wchar_t) * 2)
        return FALSE;
    // Two spare characters: the stored text need not be terminated.
    text.assign(nBytes / sizeof(wchar_t) + 2, L'\0');
    DWORD nRead = nBytes;
    DWORD dwTypeNow = 0;
    if (::RegQueryValueExW(key, pszValueName, NULL, &dwTypeNow, (BYTE*)text.data(), &nRead) != ERROR_SUCCESS ||
        dwTypeNow != dwType)
        return FALSE;
    text[text.size() - 1] = L'\0';
    text[text.size() - 2] = L'\0';
    return TRUE;
}

BOOL TakeText(const wchar_t* pszText, DWORD dwType, CString& strText)
{
    strText.Empty();
    CString strRaw = pszText;
    if (dwType == REG_EXPAND_SZ)
    {
        DWORD nNeeded = ::ExpandEnvironmentStringsW(strRaw, NULL, 0);
        if (nNeeded == 0 || nNeeded > REG_TRACE_MAX_TEXT * 2)
            return FALSE;
        std::vector<wchar_t> expanded(nNeeded + 1, L'\0');
        DWORD nDone = ::ExpandEnvironmentStringsW(strRaw, expanded.data(), nNeeded);
        if (nDone == 0 || nDone > nNeeded)
            return FALSE;
        strRaw = expanded.data();
    }
    if (strRaw.IsEmpty() || strRaw.GetLength() > REG_TRACE_MAX_TEXT)
        return FALSE;
    strText = strRaw;
    return TRUE;
}

} // namespace

BOOL ReadRegString(HKEY hRoot, LPCWSTR pszPath, LPCWSTR pszValueName, CString& strText)
{
    strText.Empty();
    DWORD dwType = 0;
    std::vector<wchar_t> text;
    if (!ReadRawText(hRoot, pszPath, pszValueName, 1 | 2, dwType, text))
        return FALSE;
    return TakeText(text.data(), dwType, strText);
}

BOOL RegReadValue(HKEY hRoot, LPCWSTR pszPath, LPCWSTR pszValueName, CString& strText)
{
    return ReadRegString(hRoot, pszPath, pszValueName, strText);
}

BOOL ReadRegFirstString(HKEY hRoot, LPCWSTR pszPath, LPCWSTR pszValueName, CString& strText)
{
    strText.Empty();
    DWORD dwType = 0;
    std::vector<wchar_t> text;
    if (!ReadRawText(hRoot, pszPath, pszValueName, 1 | 4, dwType, text))
        return FALSE;
    return TakeText(text.data(), dwType, strText);
}

BOOL ReadRegSubKeys(HKEY hRoot, LPCWSTR pszPath, CStringArray& arrNames)
{
    CRegKeyHandle key;
    if (::RegOpenKeyExW(hRoot, pszPath, 0, KEY_READ, key.Receive()) != ERROR_SUCCESS)
        return FALSE;
    // Key names are at most 255 characters; the buffer lives on the heap.
    std::vector<wchar_t> name(256 + 1, L'\0');
    for (DWORD nIndex = 0;; ++nIndex)
    {
        DWORD nLength = (DWORD)name.size();
        LONG nResult = ::RegEnumKeyExW(key, nIndex, name.data(), &nLength, NULL, NULL, NULL, NULL);
        if (nResult == ERROR_MORE_DATA)
            continue;  // a name longer than any key may have: skip it
        if (nResult != ERROR_SUCCESS)
            break;
        arrNames.Add(CString(name.data(), (int)nLength));
    }
    return TRUE;
}
