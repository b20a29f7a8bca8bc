#include "services/RegTreeDelete.h"
#include "services/ScopedHandle.h"

#include <vector>

namespace {

// Deeper than any real tree; a loop of links ends here.
const int kMaxDepth = 512;

typedef LONG(WINAPI* PFN_REG_DELETE_KEY_EX)(HKEY, LPCWSTR, REGSAM, DWORD);

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

// strPath is hParent\strName as the caller named it, for the report.
LONG DeleteTreeBelow(HKEY hParent, const CString& strName, const CString& strPath, REGSAM samView, int nDepth,
                     CRegTreeDeleteResult& result)
{
    if (nDepth > kMaxDepth)
    {
        result.strLeft = strPath;
        return ERROR_NOT_SUPPORTED;
    }
    int nOwnValues = 0;
    {
        CRegKeyHandle key;
        // Write access too: a key that may not be changed is not deleted.
        LONG nResult = ::RegOpenKeyExW(hParent, strName, 0,
                                       KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE | KEY_SET_VALUE | DELETE | samView,
                                       key.Receive());
        if (nResult != ERROR_SUCCESS)
        {
            result.strLeft = strPath;
            return nResult;
        }
        DWORD dwValues = 0;
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
    }
    LONG nResult = DeleteOneKey(hParent, strName, samView);
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

LONG DeleteRegTree(HKEY hRoot, LPCWSTR pszPath, REGSAM samView, CRegTreeDeleteResult* pResult)
{
    CRegTreeDeleteResult result;
    LONG nResult = ERROR_INVALID_PARAMETER;
    if (hRoot != NULL && IsWellFormedPath(pszPath))
    {
        nResult = DeleteTreeBelow(hRoot, pszPath, pszPath, samView, 0, result);
        // A key that was never there leaves nothing behind.
        if (nResult == ERROR_FILE_NOT_FOUND && result.nKeysDeleted == 0 && result.strLeft == pszPath)
            result.strLeft.Empty();
    }
    else if (pszPath != NULL)
    {
        result.strLeft = pszPath;
    }
    if (pResult != NULL)
        *pResult = result;
    return nResult;
}
