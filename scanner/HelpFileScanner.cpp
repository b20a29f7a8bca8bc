#include "scanner/Scanners.h"
#include "scanner/KeyReader.h"
#include "scanner/ProblemRecorder.h"
#include <shlwapi.h>

namespace {
const int HELP_CATEGORY = 6;

// FALSE when the scan was stopped.
BOOL WalkHelpKey(CScanContext& scan, LPCWSTR pszKey)
{
    CKeyReader help;
    if (help.Open(HKEY_LOCAL_MACHINE, pszKey) != ERROR_SUCCESS)
        return TRUE;
    PathView view = scan.m_pathTest.ViewOfKey(help);
    CStringArray arrNames;
    help.GetValueNames(arrNames);
    for (int i = 0; i < arrNames.GetSize(); i++)
    {
        if (scan.IsStopped())
            return FALSE;
        const CString& strName = arrNames[i];
        if (strName.IsEmpty())
            continue;
        scan.ShowCurrentItem(strName);
        DWORD dwType = REG_NONE;
        if (!help.GetValueType(strName, dwType) || dwType != REG_SZ)
            continue;
        CString strText = help.ReadString(strName, L"ERR");
        if (strText == L"ERR" || strText.IsEmpty())
            continue;
        CString strFolder = strText;
        strFolder.Trim();
        ::PathUnquoteSpacesW(strFolder.GetBuffer(strFolder.GetLength() + 1));
        strFolder.ReleaseBuffer();
        if (strFolder.Right(1) != L"\\")
            strFolder += L"\\";
        if (!scan.m_pathTest.FileExists(strFolder + strName, view))
            RecordProblem(scan, HELP_CATEGORY, HKEY_LOCAL_MACHINE, pszKey, TRUE, strName, strText, 25);
    }
    return TRUE;
}
}  // namespace

void ScanHelpFiles(CScanContext& scan)
{
    if (!BeginCategory(scan, HELP_CATEGORY))
        return;
    if (!WalkHelpKey(scan, L"SOFTWARE\\Microsoft\\Windows\\Help") ||
        !WalkHelpKey(scan, L"SOFTWARE\\Microsoft\\Windows\\Html Help"))
        return;
    EndCategory(scan, HELP_CATEGORY);
}
