#include "scanner/Scanners.h"
#include "scanner/KeyReader.h"
#include "scanner/ProblemRecorder.h"

namespace {
const int SHARED_DLL_CATEGORY = 5;
const wchar_t SHARED_DLLS_KEY[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
}  // namespace

void ScanSharedDlls(CScanContext& scan)
{
    if (!BeginCategory(scan, SHARED_DLL_CATEGORY))
        return;
    CKeyReader shared;
    if (shared.Open(HKEY_LOCAL_MACHINE, SHARED_DLLS_KEY) == ERROR_SUCCESS)
    {
        PathView view = scan.m_pathTest.ViewOfKey(shared);
        CStringArray arrNames;
        shared.GetValueNames(arrNames);
        for (int i = 0; i < arrNames.GetSize(); i++)
        {
            if (scan.IsStopped())
                return;
            const CString& strName = arrNames[i];
            scan.ShowCurrentItem(strName);
            DWORD dwType = REG_NONE;
            if (!shared.GetValueType(strName, dwType) || dwType != REG_DWORD)
                continue;
            // Installers write the names with references such as %SystemRoot%;
            // a count dropped for a present file lets an uninstaller delete it.
            if (!scan.m_pathTest.FileExists(strName, view))
                RecordProblem(scan, SHARED_DLL_CATEGORY, HKEY_LOCAL_MACHINE, SHARED_DLLS_KEY, TRUE, strName, CString(),
                              31);
        }
    }
    EndCategory(scan, SHARED_DLL_CATEGORY);
}
