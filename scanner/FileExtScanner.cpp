#include "scanner/Scanners.h"
#include "scanner/ClassKeyLists.h"
#include "scanner/ClassKeyWalker.h"
#include "scanner/KeyWalk.h"
#include "scanner/ProblemRecorder.h"
#include "scanner/ScanRoots.h"

namespace {
const int EXT_CATEGORY = 14;
const wchar_t* const FILE_EXTS_KEY = SCAN_KEY_FILE_EXTS;

BOOL Record(CScanContext& scan, HKEY hRoot, const CString& strKey, BOOL bValue, const CString& strValueName,
            const CString& strData, int nDescription)
{
    return RecordProblem(scan, EXT_CATEGORY, hRoot, strKey, bValue, strValueName, strData, nDescription);
}

void CheckExtension(CScanContext& scan, const CKeyReader& ext)
{
    DWORD nSubKeys = 0, nValues = 0;
    if (ext.GetCounts(&nSubKeys, &nValues) != ERROR_SUCCESS)
        return;
    if (nValues == 0)
    {
        if (nSubKeys == 0)
            Record(scan, HKEY_CLASSES_ROOT, ext.GetPath(), FALSE, CString(), CString(), 15);
        return;
    }
    DWORD dwType = REG_NONE;
    CString strClass = ext.ReadString(L"", L"ERR", dwType);
    if ((dwType != REG_SZ && dwType != REG_EXPAND_SZ) || strClass == L"ERR")
        return;
    CString strLower = strClass;
    strLower.MakeLower();
    if (strLower.Find(L"clsid") >= 0 || (!strClass.IsEmpty() && IsKnownClassName(strClass)))
        return;
    if (Record(scan, HKEY_CLASSES_ROOT, ext.GetPath(), TRUE, CString(), strClass, 21) && nSubKeys == 0 &&
        nValues == 1)
        Record(scan, HKEY_CLASSES_ROOT, ext.GetPath(), FALSE, CString(), CString(), 4);
}

// The OpenWithProgids subkey of an entry; TRUE when it was reported whole.
BOOL CheckProgids(CScanContext& scan, const CKeyReader& progids, int nEmptyDescription)
{
    CStringArray arrValues;
    progids.GetValueNames(arrValues);
    if (arrValues.GetSize() == 0)
        return Record(scan, HKEY_CURRENT_USER, progids.GetPath(), FALSE, CString(), CString(), nEmptyDescription);
    int nValid = 0;
    for (int i = 0; i < arrValues.GetSize(); i++)
    {
        if (arrValues[i].IsEmpty())
            continue;
        if (IsKnownClassName(arrValues[i]))
            nValid++;
        else
            Record(scan, HKEY_CURRENT_USER, progids.GetPath(), TRUE, arrValues[i], CString(), 29);
    }
    if (nValid > 0)
        return FALSE;
    Record(scan, HKEY_CURRENT_USER, progids.GetPath(), FALSE, CString(), CString(), 2);
    return TRUE;
}

// TRUE when the OpenWithList subkey holds nothing and was reported.
BOOL CheckOpenWithList(CScanContext& scan, const CKeyReader& list)
{
    DWORD nValues = 0;
    if (list.GetCounts(NULL, &nValues) != ERROR_SUCCESS || nValues != 0)
        return FALSE;
    return Record(scan, HKEY_CURRENT_USER, list.GetPath(), FALSE, CString(), CString(), 19);
}

void CheckEntry(CScanContext& scan, const CKeyReader& entry)
{
    CStringArray arrSubKeys;
    entry.GetSubKeyNames(arrSubKeys);
    DWORD nValues = 0;
    if (entry.GetCounts(NULL, &nValues) != ERROR_SUCCESS)
        return;
    if (arrSubKeys.GetSize() == 0)
    {
        if (nValues == 0)
            Record(scan, HKEY_CURRENT_USER, entry.GetPath(), FALSE, CString(), CString(), 2);
        return;
    }
    if (arrSubKeys.GetSize() > 2)
        return;
    BOOL bOnly = arrSubKeys.GetSize() == 1;
    int nReported = 0, nChecked = 0;
    for (int i = 0; i < arrSubKeys.GetSize(); i++)
    {
        CKeyReader sub;
        if (sub.OpenChild(entry, arrSubKeys[i]) != ERROR_SUCCESS)
            continue;
        if (arrSubKeys[i].CompareNoCase(L"OpenWithList") == 0)
        {
            nChecked++;
            DWORD nListValues = 0;
            BOOL bEmpty = sub.GetCounts(NULL, &nListValues) == ERROR_SUCCESS && nListValues == 0;
            BOOL bRecorded = CheckOpenWithList(scan, sub);
            // An ignored empty list alone still leaves the entry without content.
            if (bRecorded || (bOnly && bEmpty))
                nReported++;
        }
        else if (arrSubKeys[i].CompareNoCase(L"OpenWithProgids") == 0)
        {
            nChecked++;
            if (CheckProgids(scan, sub, bOnly ? 29 : 2))
                nReported++;
        }
    }
    if (nValues == 0 && nChecked == arrSubKeys.GetSize() && nReported == nChecked)
        Record(scan, HKEY_CURRENT_USER, entry.GetPath(), FALSE, CString(), CString(), 2);
}

// FALSE when the scan was stopped.
BOOL CheckFileExts(CScanContext& scan)
{
    CKeyReader base;
    base.Open(HKEY_CURRENT_USER, FILE_EXTS_KEY);
    return WalkEntries(scan, base, [&](const CKeyReader& entry, const CString&) {
        CheckEntry(scan, entry);
        return TRUE;
    });
}
}  // namespace

void ScanFileExtensions(CScanContext& scan)
{
    if (!BeginCategory(scan, EXT_CATEGORY))
        return;
    RebuildClassKeyLists(scan);
    CKeyReader root;
    root.Open(HKEY_CLASSES_ROOT, CString());
    if (!WalkEntries(scan, root, ClassKeyLists().m_extensions.GetNames(), [&](const CKeyReader& ext, const CString&) {
            CheckExtension(scan, ext);
            return WalkClassKeys(scan, EXT_CATEGORY, ext);
        }))
        return;
    if (!CheckFileExts(scan))
        return;
    EndCategory(scan, EXT_CATEGORY);
}
