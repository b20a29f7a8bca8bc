#include "scanner/Scanners.h"
#include "scanner/CommandLine.h"
#include "scanner/KeyWalk.h"
#include "scanner/ProblemRecorder.h"
#include "scanner/ScanRoots.h"

namespace {
const int APP_PATH_CATEGORY = 3;
const wchar_t* const APP_PATHS_KEY = SCAN_KEY_APP_PATHS;

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
    // The program is started as a command names it; an empty one names nothing.
    CString strTrimmed = strText;
    strTrimmed.Trim();
    CCommandProgram program = FindCommandProgram(strTrimmed, scan.m_pathTest, view);
    if (strTrimmed.IsEmpty() || (program.bTestable && !program.bExists))
        RecordProblem(scan, APP_PATH_CATEGORY, HKEY_LOCAL_MACHINE, entry.GetPath(), FALSE, CString(), strText, 20, 1,
                      entry.GetView());
}
}  // namespace

void ScanAppPaths(CScanContext& scan)
{
    if (!BeginCategory(scan, APP_PATH_CATEGORY))
        return;
    if (!WalkEntriesOfBothViews(scan, HKEY_LOCAL_MACHINE, APP_PATHS_KEY,
                                [&](const CKeyReader& entry, PathView view) { CheckEntry(scan, entry, view); }))
        return;
    EndCategory(scan, APP_PATH_CATEGORY);
}
