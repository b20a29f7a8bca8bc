#include "scanner/Scanners.h"
#include "scanner/CommandLine.h"
#include "scanner/KeyWalk.h"
#include "scanner/ProblemRecorder.h"
#include "scanner/ScanRoots.h"

namespace {

const int UNINSTALL_CATEGORY = 2;
const wchar_t* const UNINSTALL_KEY = SCAN_KEY_UNINSTALL;

// Value names compare exactly, as the entries are written by installers.
BOOL HasExactValue(const CStringArray& arrValues, LPCWSTR pszName)
{
    for (int i = 0; i < arrValues.GetSize(); i++)
    {
        if (arrValues[i] == pszName)
            return TRUE;
    }
    return FALSE;
}

void CheckInstallSource(CScanContext& scan, const CKeyReader& entry, PathView view)
{
    CString strText = entry.ReadString(L"InstallSource", L"ERR");
    if (strText == L"ERR")
        return;
    if (!scan.m_pathTest.FileExists(strText, view))
        RecordProblem(scan, UNINSTALL_CATEGORY, HKEY_LOCAL_MACHINE, entry.GetPath(), TRUE, L"InstallSource", strText,
                      10, 1, entry.GetView());
}

void CheckDisplayIcon(CScanContext& scan, const CKeyReader& entry, PathView view)
{
    CString strText = entry.ReadString(L"DisplayIcon", L"ERR");
    if (strText == L"ERR")
        return;
    if (!scan.m_pathTest.IconFileExists(strText, view))
        RecordProblem(scan, UNINSTALL_CATEGORY, HKEY_LOCAL_MACHINE, entry.GetPath(), TRUE, L"DisplayIcon", strText, 3, 1,
                      entry.GetView());
}

void CheckUninstallCommand(CScanContext& scan, const CKeyReader& entry, PathView view)
{
    CString strText = entry.ReadString(L"UninstallString", L"ERR");
    if (strText == L"ERR")
        return;
    CString strTrimmed = strText;
    strTrimmed.Trim();
    // An empty command uninstalls nothing.
    CCommandProgram program = FindCommandProgram(strTrimmed, scan.m_pathTest, view);
    if (!strTrimmed.IsEmpty() && (!program.bTestable || program.bExists))
        return;
    RecordProblem(scan, UNINSTALL_CATEGORY, HKEY_LOCAL_MACHINE, entry.GetPath(), FALSE, L"UninstallString", strText,
                  33, 1, entry.GetView());
}

void CheckEntry(CScanContext& scan, const CKeyReader& entry, PathView view)
{
    CStringArray arrValues;
    entry.GetValueNames(arrValues);
    if (HasExactValue(arrValues, L"InstallSource"))
        CheckInstallSource(scan, entry, view);
    if (HasExactValue(arrValues, L"DisplayIcon"))
        CheckDisplayIcon(scan, entry, view);
    if (HasExactValue(arrValues, L"UninstallString"))
    {
        CheckUninstallCommand(scan, entry, view);
        return;
    }
    // Entries without a command by design: not removable, system parts,
    // installer products and updates listed under a parent.
    if ((HasExactValue(arrValues, L"NoRemove") && entry.ReadDword(L"NoRemove", 0) == 1) ||
        (HasExactValue(arrValues, L"SystemComponent") && entry.ReadDword(L"SystemComponent", 0) == 1) ||
        (HasExactValue(arrValues, L"WindowsInstaller") && entry.ReadDword(L"WindowsInstaller", 0) == 1) ||
        HasExactValue(arrValues, L"ParentKeyName"))
        return;
    RecordProblem(scan, UNINSTALL_CATEGORY, HKEY_LOCAL_MACHINE, entry.GetPath(), FALSE, CString(), CString(), 32, 1,
                  entry.GetView());
}

}  // namespace

void ScanUninstallEntries(CScanContext& scan)
{
    if (!BeginCategory(scan, UNINSTALL_CATEGORY))
        return;
    if (!WalkEntriesOfBothViews(scan, HKEY_LOCAL_MACHINE, UNINSTALL_KEY,
                                [&](const CKeyReader& entry, PathView view) { CheckEntry(scan, entry, view); }))
        return;
    EndCategory(scan, UNINSTALL_CATEGORY);
}
