#include "scanner/KeyWalk.h"

BOOL WalkEntries(CScanContext& scan, const CKeyReader& base, const CStringArray& arrNames,
                 const EntryCheckProc& fnCheck)
{
    if (!base.IsOpen())
        return TRUE;
    CString strHive = GetHiveName(base.GetRoot()) + L"\\";
    for (int i = 0; i < arrNames.GetSize(); i++)
    {
        if (scan.IsStopped())
            return FALSE;
        CKeyReader entry;
        if (entry.OpenChild(base, arrNames[i]) != ERROR_SUCCESS)
            continue;
        scan.ShowCurrentItem(strHive + entry.GetPath());
        if (!fnCheck(entry, arrNames[i]))
            return FALSE;
    }
    return TRUE;
}

BOOL WalkEntries(CScanContext& scan, const CKeyReader& base, const EntryCheckProc& fnCheck)
{
    CStringArray arrNames;
    base.GetSubKeyNames(arrNames);
    return WalkEntries(scan, base, arrNames, fnCheck);
}

BOOL WalkEntriesOfBothViews(CScanContext& scan, HKEY hRoot, LPCWSTR pszPath,
                            const std::function<void(const CKeyReader& entry, PathView view)>& fnCheck)
{
    CKeyReader views[2];
    views[0].Open(hRoot, pszPath);
    views[1].OpenOtherView(hRoot, pszPath, views[0]);
    for (const CKeyReader& base : views)
    {
        if (!base.IsOpen())
            continue;
        PathView view = scan.m_pathTest.ViewOfKey(base);
        if (!WalkEntries(scan, base, [&](const CKeyReader& entry, const CString&) {
                fnCheck(entry, view);
                return TRUE;
            }))
            return FALSE;
    }
    return TRUE;
}

BOOL WalkValuesOfType(CScanContext& scan, const CKeyReader& key, DWORD dwType, BOOL bNamedOnly,
                      const std::function<void(const CString& strName)>& fnCheck)
{
    CStringArray arrNames;
    key.GetValueNames(arrNames);
    for (int i = 0; i < arrNames.GetSize(); i++)
    {
        if (scan.IsStopped())
            return FALSE;
        const CString& strName = arrNames[i];
        if (bNamedOnly && strName.IsEmpty())
            continue;
        scan.ShowCurrentItem(strName);
        DWORD dwTypeRead = REG_NONE;
        if (key.GetValueType(strName, dwTypeRead) && dwTypeRead == dwType)
            fnCheck(strName);
    }
    return TRUE;
}

BOOL WalkTextValues(CScanContext& scan, const CKeyReader& key,
                    const std::function<void(const CString& strName, const CString& strText)>& fnCheck)
{
    return WalkValuesOfType(scan, key, REG_SZ, TRUE, [&](const CString& strName) {
        CString strText = key.ReadString(strName, L"ERR");
        if (strText != L"ERR")
            fnCheck(strName, strText);
    });
}
