#include "scanner/ClassKeyLists.h"
#include "scanner/KeyReader.h"

std::wstring CClassKeyList::Fold(const CString& strName)
{
    std::wstring text((LPCWSTR)strName, (size_t)strName.GetLength());
    if (!text.empty())
        ::CharUpperBuffW(&text[0], (DWORD)text.size());
    return text;
}

void CClassKeyList::Clear()
{
    m_arrNames.RemoveAll();
    m_folded.clear();
    m_bUsable = FALSE;
}

void CClassKeyList::Add(const CString& strName)
{
    if (m_folded.insert(Fold(strName)).second)
        m_arrNames.Add(strName);
}

BOOL CClassKeyList::Contains(const CString& strName) const
{
    return m_folded.count(Fold(strName)) != 0;
}

BOOL CClassKeyList::FillFromKey(HKEY hRoot, const CString& strPath, REGSAM samView)
{
    Clear();
    return AddFromKey(hRoot, strPath, samView);
}

BOOL CClassKeyList::AddFromKey(HKEY hRoot, const CString& strPath, REGSAM samView)
{
    CKeyReader key;
    if (key.Open(hRoot, strPath, samView) != ERROR_SUCCESS)
    {
        m_bUsable = FALSE;
        return FALSE;
    }
    CStringArray arrNames;
    LONG nResult = key.GetSubKeyNames(arrNames);
    for (int i = 0; i < arrNames.GetSize(); i++)
        Add(arrNames[i]);
    m_bUsable = nResult == ERROR_SUCCESS;
    return m_bUsable;
}

CClassKeyLists& ClassKeyLists()
{
    static CClassKeyLists s_lists;
    return s_lists;
}

static const LPCWSTR s_pszExcludedNames[] = {
    L"AppID", L"CLSID", L"Interface", L"Installer", L"TypeLib", L"Folder", L"Applications",
    L"SystemFileAssociations", L"MIME", L"Component Categories", L"Licenses", L"PROTOCOLS", L"Record",
    L"Software", L"DirectShow", L"*", L"CID", L"VerID", L"Wow6432Node"};

static BOOL IsExcludedName(const CString& strName)
{
    for (LPCWSTR pszName : s_pszExcludedNames)
    {
        if (strName.CompareNoCase(pszName) == 0)
            return TRUE;
    }
    return FALSE;
}

int BuildKeyNameLists(const CString& strKeyPath)
{
    CClassKeyLists& lists = ClassKeyLists();
    CClassKeyList* pSorted[] = {&lists.m_extensions, &lists.m_classNames, &lists.m_progIds, &lists.m_allNames};
    CKeyReader key;
    LONG nOpen = key.Open(HKEY_CLASSES_ROOT, strKeyPath);
    if (nOpen != ERROR_SUCCESS)
    {
        for (CClassKeyList* pList : pSorted)
            pList->SetUsable(FALSE);
        return -1;
    }
    CStringArray arrNames;
    LONG nResult = key.GetSubKeyNames(arrNames);
    for (int i = 0; i < arrNames.GetSize(); i++)
    {
        const CString& strName = arrNames[i];
        lists.m_allNames.Add(strName);
        if (IsExcludedName(strName))
            continue;
        int nDot = strName.Find(L'.');
        if (nDot == 0)
            lists.m_extensions.Add(strName);
        else if (nDot < 0)
            lists.m_classNames.Add(strName);
        else
            lists.m_progIds.Add(strName);
    }
    for (CClassKeyList* pList : pSorted)
        pList->SetUsable(nResult == ERROR_SUCCESS);
    return nResult == ERROR_SUCCESS ? 1 : (int)nResult;
}

BOOL IsListedProgId(const CString& strName)
{
    return ClassKeyLists().m_progIds.Contains(strName);
}

BOOL IsListedClassName(const CString& strName)
{
    return ClassKeyLists().m_classNames.Contains(strName);
}

BOOL IsListedApplication(const CString& strName)
{
    return ClassKeyLists().m_applications.Contains(strName);
}

BOOL IsListedClsid(const CString& strName)
{
    return ClassKeyLists().m_clsids.Contains(strName);
}

BOOL FillClsidList(BOOL bWow64)
{
    CClassKeyList& list = ClassKeyLists().m_clsids;
    if (!bWow64)
        return list.FillFromKey(HKEY_CLASSES_ROOT, L"CLSID");
    // 64-bit shell extensions are registered in the 64-bit view only.
    BOOL bUsable = list.FillFromKey(HKEY_CLASSES_ROOT, L"CLSID", KEY_WOW64_32KEY);
    bUsable = list.AddFromKey(HKEY_CLASSES_ROOT, L"CLSID", KEY_WOW64_64KEY) && bUsable;
    list.SetUsable(bUsable);
    return bUsable;
}
