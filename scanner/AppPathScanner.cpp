#include "scanner/Scanners.h"
#include "scanner/KeyReader.h"
#include "scanner/ProblemRecorder.h"

namespace {
const int APP_PATH_CATEGORY = 3;
const wchar_t APP_PATHS_KEY[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths";

void CheckEntry(CScanContext& scan, const CKeyReader& entry, PathView view)
{
    DWORD nSubKeys = 0, nValues = 0;
    // Entries with subkeys of their own are left alone, also when they cannot be counted.
    if (entry.GetCounts(&nSubKeys, &nValues) != ERROR_SUCCESS || nSubKeys != 0)
        return;
    if (nValues == 0)
    {
        RecordProblem(scan, APP_PATH_CATEGORY, HKEY_LOCAL_MACHINE, entry.GetPath(), FALSE, CString(), CString(), 20, 1,
                      entry.GetView());
        return;
    }
    DWORD dwType = REG_NONE;
    if (!entry.GetValueType(L"", dwType) || dwType != REG_SZ)
        return;
    CString strText = entry.ReadString(L"", L"ERR");
    if (strText == L"ERR")
        return;
    if (!scan.m_pathTest.FileExists(strText, view))
        RecordProblem(scan, APP_PATH_CATEGORY, HKEY_LOCAL_MACHINE, entry.GetPath(), FALSE, CString(), strText, 20, 1,
                      entry.GetView());
}
// The entries below an open base key; FALSE when the scan was stopped.
BOOL ScanEntries(CScanContext& scan, const CKeyReader& base)
{
    if (!base.IsOpen())
        return TRUE;
    // Paths mean what they mean to the programs of the view they were read from.
    PathView view = scan.m_pathTest.ViewOfKey(base);
    CStringArray arrEntries;
    base.GetSubKeyNames(arrEntries);
    for (int i = 0; i < arrEntries.GetSize(); i++)
    {
        if (scan.IsStopped())
            return FALSE;
        CKeyReader entry;
        if (entry.OpenChild(base, arrEntries[i]) != ERROR_SUCCESS)
            continue;
        scan.ShowCurrentItem(L"HKEY_LOCAL_MACHINE\\" + entry.GetPath());
        CheckEntry(scan, entry, view);
    }
    return TRUE;
}
}  // namespace

void ScanAppPaths(CScanContext& scan)
{
    if (!BeginCategory(scan, APP_PATH_CATEGORY))
        return;
    // 32-bit and 64-bit programs each register in their own registry view,
    // unless the views share the key.
    CKeyReader own, other;
    own.Open(HKEY_LOCAL_MACHINE, APP_PATHS_KEY);
    other.OpenOtherView(HKEY_LOCAL_MACHINE, APP_PATHS_KEY, own);
    if (!ScanEntries(scan, own) || !ScanEntries(scan, other))
        return;
    EndCategory(scan, APP_PATH_CATEGORY);
}
