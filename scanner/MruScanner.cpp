#include "scanner/Scanners.h"
#include "scanner/KeyWalk.h"
#include "scanner/ProblemRecorder.h"
#include "scanner/ScanRoots.h"

namespace {
const int MRU_CATEGORY = 11;
const wchar_t* const OPEN_SAVE_KEY = SCAN_KEY_OPEN_SAVE;
const wchar_t* const MUI_CACHE_KEY = SCAN_KEY_MUI_CACHE;
const wchar_t* const USER_ASSIST_KEY = SCAN_KEY_USER_ASSIST;

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
    base.Open(HKEY_CURRENT_USER, OPEN_SAVE_KEY);
    return WalkEntries(scan, base, [&](const CKeyReader& list, const CString&) {
        CStringArray arrValues;
        list.GetValueNames(arrValues);
        if (arrValues.GetSize() == 0)
        {
            RecordProblem(scan, MRU_CATEGORY, HKEY_CURRENT_USER, list.GetPath(), FALSE, CString(), CString(), 27);
            return TRUE;
        }
        for (int j = 0; j < arrValues.GetSize(); j++)
        {
            if (scan.IsStopped())
                return FALSE;
            const CString& strName = arrValues[j];
            if (strName.IsEmpty() || strName == L"MRUList" || !IsStringValue(list, strName))
                continue;
            CString strText = list.ReadString(strName, L"ERR");
            if (strText == L"ERR" || strText.IsEmpty())
                continue;
            if (PathMissing(scan, strText))
                RecordProblem(scan, MRU_CATEGORY, HKEY_CURRENT_USER, list.GetPath(), TRUE, strName, strText, 27);
        }
        return TRUE;
    });
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
