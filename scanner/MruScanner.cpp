#include "scanner/Scanners.h"
#include "scanner/KeyReader.h"
#include "scanner/ProblemRecorder.h"

namespace {
const int MRU_CATEGORY = 11;
const wchar_t OPEN_SAVE_KEY[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ComDlg32\\OpenSaveMRU";
const wchar_t MUI_CACHE_KEY[] = L"Software\\Microsoft\\Windows\\ShellNoRoam\\MUICache";
const wchar_t USER_ASSIST_KEY[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\UserAssist\\{75048700-EF1F-11D0-9888-006097DEACF9}\\Count";

BOOL IsStringValue(const CKeyReader& key, const CString& strName)
{
    DWORD dwType = REG_NONE;
    return key.GetValueType(strName, dwType) && dwType == REG_SZ;
}

BOOL PathMissing(CScanContext& scan, const CString& strText)
{
    return !scan.m_pathTest.FileExists(strText);
}

BOOL ScanOpenSaveLists(CScanContext& scan)
{
    CKeyReader base;
    if (base.Open(HKEY_CURRENT_USER, OPEN_SAVE_KEY) != ERROR_SUCCESS)
        return TRUE;
    CStringArray arrTypes;
    base.GetSubKeyNames(arrTypes);
    for (int i = 0; i < arrTypes.GetSize(); i++)
    {
        if (scan.IsStopped())
            return FALSE;
        CKeyReader list;
        if (list.OpenChild(base, arrTypes[i]) != ERROR_SUCCESS)
            continue;
        scan.ShowCurrentItem(L"HKEY_CURRENT_USER\\" + list.GetPath());
        CStringArray arrValues;
        list.GetValueNames(arrValues);
        if (arrValues.GetSize() == 0)
        {
            RecordProblem(scan, MRU_CATEGORY, HKEY_CURRENT_USER, list.GetPath(), FALSE, CString(), CString(), 27);
            continue;
        }
        for (int j = 0; j < arrValues.GetSize(); j++)
        {
            const CString& strName = arrValues[j];
            if (strName.IsEmpty() || strName == L"MRUList" || !IsStringValue(list, strName))
                continue;
            CString strText = list.ReadString(strName, L"ERR");
            if (strText == L"ERR" || strText.IsEmpty())
                continue;
            if (PathMissing(scan, strText))
                RecordProblem(scan, MRU_CATEGORY, HKEY_CURRENT_USER, list.GetPath(), TRUE, strName, strText, 27);
        }
    }
    return TRUE;
}

BOOL ScanDisplayNames(CScanContext& scan)
{
    CKeyReader cache;
    if (cache.Open(HKEY_CURRENT_USER, MUI_CACHE_KEY) != ERROR_SUCCESS)
        return TRUE;
    CStringArray arrValues;
    cache.GetValueNames(arrValues);
    if (arrValues.GetSize() == 0)
        RecordProblem(scan, MRU_CATEGORY, HKEY_CURRENT_USER, MUI_CACHE_KEY, FALSE, CString(), CString(), 27);
    for (int i = 0; i < arrValues.GetSize(); i++)
    {
        if (scan.IsStopped())
            return FALSE;
        const CString& strName = arrValues[i];
        if (strName.IsEmpty() || strName.Find(L'@') >= 0 || strName.CompareNoCase(L"LangID") == 0 ||
            !IsStringValue(cache, strName))
            continue;
        CString strText = cache.ReadString(strName, L"ERR");
        if (strText == L"ERR" || strText.IsEmpty())
            continue;
        scan.ShowCurrentItem(strText);
        if (PathMissing(scan, strName))
            RecordProblem(scan, MRU_CATEGORY, HKEY_CURRENT_USER, MUI_CACHE_KEY, TRUE, strName, strText, 27);
    }
    return TRUE;
}

BOOL ScanUseCounters(CScanContext& scan)
{
    CKeyReader counters;
    if (counters.Open(HKEY_CURRENT_USER, USER_ASSIST_KEY) != ERROR_SUCCESS)
        return TRUE;
    scan.ShowCurrentItem(CString(L"HKEY_CURRENT_USER\\") + USER_ASSIST_KEY);
    CStringArray arrValues;
    counters.GetValueNames(arrValues);
    for (int i = 0; i < arrValues.GetSize(); i++)
    {
        if (scan.IsStopped())
            return FALSE;
        RecordProblem(scan, MRU_CATEGORY, HKEY_CURRENT_USER, USER_ASSIST_KEY, TRUE, arrValues[i], CString(), 11, 3);
    }
    return TRUE;
}
}  // namespace

void ScanMruLists(CScanContext& scan)
{
    if (!BeginCategory(scan, MRU_CATEGORY))
        return;
    if (!ScanOpenSaveLists(scan) || !ScanDisplayNames(scan) || !ScanUseCounters(scan))
        return;
    EndCategory(scan, MRU_CATEGORY);
}
