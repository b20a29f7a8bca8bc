#include "scanner/Scanners.h"
#include "scanner/ScanRoots.h"
#include "scanner/KeyWalk.h"
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
    // The value names are the help files, the data their folder.
    return WalkTextValues(scan, help, [&](const CString& strName, const CString& strText) {
        if (strText.IsEmpty())
            return;
        CString strFolder = strText;
        strFolder.Trim();
        ::PathUnquoteSpacesW(strFolder.GetBuffer(strFolder.GetLength() + 1));
        strFolder.ReleaseBuffer();
        if (strFolder.Right(1) != L"\\")
            strFolder += L"\\";
        if (!scan.m_pathTest.FileExists(strFolder + strName, view))
            RecordProblem(scan, HELP_CATEGORY, HKEY_LOCAL_MACHINE, pszKey, TRUE, strName, strText, 25);
    });
}
}  // namespace

void ScanHelpFiles(CScanContext& scan)
{
    if (!BeginCategory(scan, HELP_CATEGORY))
        return;
    if (!WalkHelpKey(scan, SCAN_KEY_HELP) ||
        !WalkHelpKey(scan, SCAN_KEY_HTML_HELP))
        return;
    EndCategory(scan, HELP_CATEGORY);
}
