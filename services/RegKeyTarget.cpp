#include "services/RegKeyTarget.h"
#include "services/RegHive.h"
#include "services/RegistryLink.h"
#include "services/ScopedHandle.h"
#include "services/Wow64.h"

namespace {

// The mirror steps of the 32-bit view, below their roots.
struct MirrorStep
{
    LPCWSTR pszRoot;
    LPCWSTR pszParent;  // the key that holds Wow6432Node, with its backslash; may be empty
};
const MirrorStep kMirrors[] = {
    {L"HKEY_LOCAL_MACHINE", L"SOFTWARE\\"},
    {L"HKEY_CLASSES_ROOT", L""},
    {L"HKEY_LOCAL_MACHINE", L"SOFTWARE\\Classes\\"},
    {L"HKEY_CURRENT_USER", L"Software\\Classes\\"},
};

BOOL StartsWithNoCase(const CString& str, const CString& strStart)
{
    return str.GetLength() >= strStart.GetLength() && str.Left(strStart.GetLength()).CompareNoCase(strStart) == 0;
}

// The NT path of hRoot\strPath's deepest existing part in samView, and how
// many characters of strPath that part is; FALSE when not even the root opens.
BOOL DeepestNtPath(HKEY hRoot, const CString& strPath, REGSAM samView, CString& strNtPath, int& nLength)
{
    nLength = strPath.GetLength();
    for (;;)
    {
        CRegKeyHandle key;
        CString strPart = strPath.Left(nLength);
        if (::RegOpenKeyExW(hRoot, strPart.IsEmpty() ? NULL : (LPCWSTR)strPart, 0, KEY_QUERY_VALUE | samView,
                            key.Receive()) == ERROR_SUCCESS)
            return GetRegistryKeyNtPath(key, strNtPath);
        if (nLength == 0)
            return FALSE;
        int nSlash = strPart.ReverseFind(L'\\');
        nLength = nSlash < 0 ? 0 : nSlash;
    }
}

} // namespace

BOOL HasTwoRegistryViews()
{
#ifdef _WIN64
    return TRUE;
#else
    return IsRunningOnWow64();
#endif
}

REGSAM OwnRegistryView()
{
#ifdef _WIN64
    return KEY_WOW64_64KEY;
#else
    return IsRunningOnWow64() ? KEY_WOW64_32KEY : 0;
#endif
}

REGSAM WholeRegistryView()
{
    return HasTwoRegistryViews() ? KEY_WOW64_64KEY : 0;
}

BOOL RemoveRegMirrorStep(const CString& strRoot, CString& strRest)
{
    for (const MirrorStep& mirror : kMirrors)
    {
        CString strMirror = CString(mirror.pszParent) + L"Wow6432Node\\";
        if (strRoot.CompareNoCase(mirror.pszRoot) == 0 && StartsWithNoCase(strRest, strMirror) &&
            strRest.GetLength() > strMirror.GetLength())
        {
            strRest = strRest.Left(lstrlenW(mirror.pszParent)) + strRest.Mid(strMirror.GetLength());
            return TRUE;
        }
    }
    return FALSE;
}

RegKeyTarget ResolveRegKeyTarget(const CString& strKeyPath, REGSAM samView)
{
    RegKeyTarget target;
    int nSlash = strKeyPath.Find(L'\\');
    CString strRoot = nSlash < 0 ? strKeyPath : strKeyPath.Left(nSlash);
    CString strRest = nSlash < 0 ? CString() : strKeyPath.Mid(nSlash + 1);
    const RegHive* pHive = FindRegHive(strRoot, REG_HIVE_FILE, TRUE);
    target.m_strPath = pHive != NULL ? CString(pHive->pszName) + (nSlash < 0 ? L"" : L"\\" + strRest) : strKeyPath;
    if (!HasTwoRegistryViews())
        return target;

    REGSAM samTarget = samView & (KEY_WOW64_32KEY | KEY_WOW64_64KEY);
    if (samTarget == 0)
        samTarget = OwnRegistryView();
    // Wow6432Node names the 32-bit view's key in either view.
    if (pHive != NULL && RemoveRegMirrorStep(pHive->pszName, strRest))
    {
        target.m_strPath = CString(pHive->pszName) + L"\\" + strRest;
        samTarget = KEY_WOW64_32KEY;
    }
    target.m_samView = samTarget;
    if (pHive == NULL)
        return target;

    // One key for both views when the deepest existing part is one key.
    REGSAM samOther = samTarget == KEY_WOW64_32KEY ? KEY_WOW64_64KEY : KEY_WOW64_32KEY;
    CString strNt, strOtherNt;
    int nLength = 0, nOtherLength = 0;
    if (DeepestNtPath(pHive->hRoot, strRest, samTarget, strNt, nLength) &&
        DeepestNtPath(pHive->hRoot, strRest, samOther, strOtherNt, nOtherLength) && nLength == nOtherLength &&
        strNt.CompareNoCase(strOtherNt) == 0)
        target.m_samView = 0;
    return target;
}
