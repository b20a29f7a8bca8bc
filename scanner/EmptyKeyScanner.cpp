#include "scanner/Scanners.h"
#include "scanner/KeyWalk.h"
#include "scanner/ProblemRecorder.h"
#include "services/RegistryLink.h"
#include "services/RegistryVolatile.h"

namespace {
const int EMPTY_KEY_CATEGORY = 15;

// A registry link (Software\Classes of a user hive leads to <SID>_Classes,
// which is walked as a hive of its own). Only names that are links in the
// system's own layout are asked: one more open per key would double the walk.
BOOL IsLinkKey(const CKeyReader& parent, const CString& strName)
{
    if (strName.CompareNoCase(L"Classes") != 0 && strName.CompareNoCase(L"Wow6432Node") != 0)
        return FALSE;
    return IsRegistryLink(parent.GetHandle(), strName);
}

// FALSE when the scan was stopped.
BOOL FindEmptyKeys(CScanContext& scan, const CKeyReader& key, int nDepth)
{
    if (scan.IsStopped())
        return FALSE;
    DWORD nSubKeys = 0, nValues = 0;
    if (key.GetCounts(&nSubKeys, &nValues) != ERROR_SUCCESS)
        return TRUE;
    if (nSubKeys == 0)
    {
        // A volatile key, or one whose kind cannot be told, is kept: nothing
        // deleted there could be stored again.
        if (nValues == 0 && GetRegistryKeyVolatility(key.GetHandle(), L"") == RegKeyLasting)
            RecordProblem(scan, EMPTY_KEY_CATEGORY, HKEY_USERS, key.GetPath(), FALSE, CString(), CString(), 18);
        return TRUE;
    }
    if (nDepth >= KEY_WALK_MAX_DEPTH)
        return TRUE;
    CStringArray arrNames;
    key.GetSubKeyNames(arrNames, nSubKeys);
    for (int i = 0; i < arrNames.GetSize(); i++)
    {
        if (scan.IsStopped())
            return FALSE;
        if (IsLinkKey(key, arrNames[i]))
            continue;
        CKeyReader child;
        if (child.OpenChild(key, arrNames[i]) != ERROR_SUCCESS)
            continue;
        scan.ShowCurrentItem(L"HKEY_USERS\\" + child.GetPath());
        if (!FindEmptyKeys(scan, child, nDepth + 1))
            return FALSE;
    }
    return TRUE;
}
}  // namespace

void ScanEmptyKeys(CScanContext& scan)
{
    if (!BeginCategory(scan, EMPTY_KEY_CATEGORY))
        return;
    CKeyReader users;
    users.Open(HKEY_USERS, CString());
    CStringArray arrHives, arrScanned;
    users.GetSubKeyNames(arrHives);
    for (int i = 0; i < arrHives.GetSize(); i++)
    {
        // The classes of the two service accounts are not theirs to clean.
        if (arrHives[i].CompareNoCase(L"S-1-5-19_Classes") != 0 && arrHives[i].CompareNoCase(L"S-1-5-20_Classes") != 0)
            arrScanned.Add(arrHives[i]);
    }
    if (!WalkEntries(scan, users, arrScanned,
                     [&](const CKeyReader& hive, const CString&) { return FindEmptyKeys(scan, hive, 0); }))
        return;
    EndCategory(scan, EMPTY_KEY_CATEGORY);
}
