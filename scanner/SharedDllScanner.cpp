#include "scanner/Scanners.h"
#include "scanner/KeyWalk.h"
#include "scanner/ProblemRecorder.h"
#include "scanner/ScanRoots.h"

namespace {
const int SHARED_DLL_CATEGORY = 5;
const wchar_t* const SHARED_DLLS_KEY = SCAN_KEY_SHARED_DLLS;
}  // namespace

void ScanSharedDlls(CScanContext& scan)
{
    if (!BeginCategory(scan, SHARED_DLL_CATEGORY))
        return;
    CKeyReader shared;
    if (shared.Open(HKEY_LOCAL_MACHINE, SHARED_DLLS_KEY) == ERROR_SUCCESS)
    {
        PathView view = scan.m_pathTest.ViewOfKey(shared);
        // The value names are the files (the counts are the data).
        if (!WalkValuesOfType(scan, shared, REG_DWORD, FALSE, [&](const CString& strName) {
                // Installers write the names with references such as %SystemRoot%;
                // a count dropped for a present file lets an uninstaller delete it.
                if (!scan.m_pathTest.FileExists(strName, view))
                    RecordProblem(scan, SHARED_DLL_CATEGORY, HKEY_LOCAL_MACHINE, SHARED_DLLS_KEY, TRUE, strName,
                                  CString(), 31);
            }))
            return;
    }
    EndCategory(scan, SHARED_DLL_CATEGORY);
}
