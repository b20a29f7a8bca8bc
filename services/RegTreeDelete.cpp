#include "services/RegTreeDelete.h"
#include "services/RegistryLink.h"
#include "services/ScopedHandle.h"

#include <vector>

namespace {

// Deeper than any real tree.
const int kMaxDepth = 512;

typedef LONG(WINAPI* PFN_REG_DELETE_KEY_EX)(HKEY, LPCWSTR, REGSAM, DWORD);

// By name: only where the system cannot delete an open key.
LONG DeleteOneKey(HKEY hParent, LPCWSTR pszName, REGSAM samView)
{
    if (samView == 0)
        return ::RegDeleteKeyW(hParent, pszName);
    static PFN_REG_DELETE_KEY_EX s_pfnDeleteEx =
        (PFN_REG_DELETE_KEY_EX)(void*)::GetProcAddress(::GetModuleHandleW(L"advapi32.dll"), "RegDeleteKeyExW");
    return s_pfnDeleteEx != NULL ? s_pfnDeleteEx(hParent, pszName, samView, 0) : (LONG)ERROR_NOT_SUPPORTED;
}

BOOL IsWellFormedPath(LPCWSTR pszPath)
{
    if (pszPath == NULL || pszPath[0] == L'\0' || pszPath[0] == L'\\')
        return FALSE;
    for (const wchar_t* p = pszPath; *p != L'\0'; ++p)
        if (*p == L'\\' && (p[1] == L'\\' || p[1] == L'\0'))
            return FALSE;
    return TRUE;
}

CString LastName(const CString& strPath)
{
    int nSlash = strPath.ReverseFind(L'\\');
    return nSlash < 0 ? strPath : strPath.Mid(nSlash + 1);
}

// A registry NT path ("\REGISTRY\MACHINE\SOFTWARE\...") that stands for a
// root or a hive's mount point: fewer than three names after "\REGISTRY".
BOOL IsProtectedNtPath(const CString& strNtPath)
{
    const CString strTop = L"\\REGISTRY\\";
    if (strNtPath.GetLength() <= strTop.GetLength() ||
        strNtPath.Left(strTop.GetLength()).CompareNoCase(strTop) != 0)
        return TRUE;
    CString strRest = strNtPath.Mid(strTop.GetLength());
    int nNames = 1;
    for (int i = 0; i < strRest.GetLength(); i++)
        if (strRest[i] == L'\\')
            nNames++;
    return nNames < 3 || LastName(strRest).CompareNoCase(L"Wow6432Node") == 0;
}

// strPath is hParent\strName as the caller named it, for the report.
LONG DeleteTreeBelow(HKEY hParent, const CString& strName, const CString& strPath, REGSAM samView, int nDepth,
                     CRegTreeDeleteResult& result)
{
    if (nDepth > kMaxDepth)
    {
        result.strLeft = strPath;
        return ERROR_NOT_SUPPORTED;
    }
    CRegKeyHandle key;
    // Write access too: a key that may not be changed is not deleted. Opened
    // as a link, a link is the key at hand, never its target.
    LONG nResult = ::RegOpenKeyExW(hParent, strName, REG_OPTION_OPEN_LINK,
                                   KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE | KEY_SET_VALUE | DELETE | samView,
                                   key.Receive());
    if (nResult != ERROR_SUCCESS)
    {
        result.strLeft = strPath;
        return nResult;
    }
    if (GetRegistryLinkTarget(key))
    {
        // Only the link goes; where it cannot go as itself it stays.
        nResult = DeleteRegistryKeyHandle(key);
        if (nResult != ERROR_SUCCESS)
        {
            result.strLeft = strPath;
            return nResult;
        }
        result.nKeysDeleted++;
        return ERROR_SUCCESS;
    }
    DWORD dwValues = 0;
    int nOwnValues = 0;
    if (::RegQueryInfoKeyW(key, NULL, NULL, NULL, NULL, NULL, NULL, &dwValues, NULL, NULL, NULL, NULL) ==
        ERROR_SUCCESS)
        nOwnValues = (int)dwValues;
    // Names first: deleting while enumerating would shift the indexes.
    std::vector<CString> children;
    wchar_t szName[256];
    for (DWORD dwIndex = 0;; dwIndex++)
    {
        DWORD dwLength = 256;
        LONG nEnum = ::RegEnumKeyExW(key, dwIndex, szName, &dwLength, NULL, NULL, NULL, NULL);
        if (nEnum == ERROR_NO_MORE_ITEMS)
            break;
        if (nEnum != ERROR_SUCCESS)
        {
            result.strLeft = strPath;
            return nEnum;
        }
        children.push_back(CString(szName, (int)dwLength));
    }
    for (const CString& strChild : children)
    {
        nResult = DeleteTreeBelow(key, strChild, strPath + L"\\" + strChild, samView, nDepth + 1, result);
        if (nResult != ERROR_SUCCESS)
            return nResult;
    }
    // The open key itself: its name cannot have turned into a link since.
    nResult = DeleteRegistryKeyHandle(key);
    if (nResult == ERROR_NOT_SUPPORTED)
    {
        key.Close();
        nResult = DeleteOneKey(hParent, strName, samView);
    }
    if (nResult != ERROR_SUCCESS)
    {
        result.strLeft = strPath;
        return nResult;
    }
    result.nKeysDeleted++;
    result.nValuesDeleted += nOwnValues;
    return ERROR_SUCCESS;
}

} // namespace

BOOL IsProtectedRegKey(HKEY hRoot, LPCWSTR pszPath, REGSAM samView)
{
    if (hRoot == NULL || pszPath == NULL || pszPath[0] == L'\0')
        return TRUE;
    CString strPath = pszPath;
    strPath.Trim(L'\\');
    if (strPath.IsEmpty() || LastName(strPath).CompareNoCase(L"Wow6432Node") == 0)
        return TRUE;
    // Named from a root that is a hive or stands for one, a key of one name
    // is a hive's own key or its mount point. HKEY_CLASSES_ROOT merges keys
    // that lie deeper; the NT path below judges them.
    if (strPath.Find(L'\\') < 0 && (hRoot == HKEY_LOCAL_MACHINE || hRoot == HKEY_USERS ||
                                    hRoot == HKEY_CURRENT_USER || hRoot == HKEY_CURRENT_CONFIG))
        return TRUE;
    samView &= KEY_WOW64_32KEY | KEY_WOW64_64KEY;
    CRegKeyHandle key;
    if (::RegOpenKeyExW(hRoot, strPath, REG_OPTION_OPEN_LINK, KEY_QUERY_VALUE | samView, key.Receive()) !=
        ERROR_SUCCESS)
        return FALSE;
    // A link that stands for a hive (a user's Software\Classes) is kept as
    // the hive is.
    CString strTarget;
    if (GetRegistryLinkTarget(key, &strTarget) && IsProtectedNtPath(strTarget))
        return TRUE;
    CString strNtPath;
    if (!GetRegistryKeyNtPath(key, strNtPath))
        return FALSE;
    return IsProtectedNtPath(strNtPath);
}

LONG DeleteRegTree(HKEY hRoot, LPCWSTR pszPath, REGSAM samView, CRegTreeDeleteResult* pResult)
{
    CRegTreeDeleteResult result;
    LONG nResult = ERROR_INVALID_PARAMETER;
    if (hRoot != NULL && IsWellFormedPath(pszPath))
    {
        if (IsProtectedRegKey(hRoot, pszPath, samView))
        {
            nResult = ERROR_ACCESS_DENIED;
            result.strLeft = pszPath;
        }
        else
        {
            nResult = DeleteTreeBelow(hRoot, pszPath, pszPath, samView, 0, result);
            // A key that was never there leaves nothing behind.
            if (nResult == ERROR_FILE_NOT_FOUND && result.nKeysDeleted == 0 && result.strLeft == pszPath)
                result.strLeft.Empty();
        }
    }
    else if (pszPath != NULL)
    {
        result.strLeft = pszPath;
    }
    if (pResult != NULL)
        *pResult = result;
    return nResult;
}
