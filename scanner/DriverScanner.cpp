#include "scanner/Scanners.h"
#include "scanner/CommandLine.h"
#include "scanner/KeyWalk.h"
#include "scanner/ProblemRecorder.h"
#include "services/PathString.h"
#include "scanner/ScanRoots.h"

namespace {
const int DRIVER_CATEGORY = 13;
const wchar_t* const DRIVERS_KEY = SCAN_KEY_DRIVERS;

BOOL IsAbsolute(const CString& strPath)
{
    return strPath.Find(L':') >= 0 || (strPath.GetLength() >= 2 && strPath[0] == L'\\' && strPath[1] == L'\\');
}

BOOL DriverExists(CScanContext& scan, const CString& strText, PathView view)
{
    CString strRaw = ResolveSystemRoot(strText);
    CString strPath = CPathString(strRaw).GetString();
    if (IsAbsolute(strPath))
        return scan.m_pathTest.FileExists(strRaw, view);
    if (strPath.Find(L'%') >= 0)
        return TRUE;  // an unknown reference cannot be tested
    strPath.TrimLeft(L'\\');
    CString strSystem = GetWindowsFolder() + L"System32\\";
    return scan.m_pathTest.FileExists(strSystem + strPath, view) ||
           scan.m_pathTest.FileExists(strSystem + L"drivers\\" + strPath, view);
}
}  // namespace

void ScanDrivers(CScanContext& scan)
{
    if (!BeginCategory(scan, DRIVER_CATEGORY))
        return;
    CKeyReader drivers;
    if (drivers.Open(HKEY_LOCAL_MACHINE, DRIVERS_KEY) == ERROR_SUCCESS)
    {
        PathView view = scan.m_pathTest.ViewOfKey(drivers);
        if (!WalkTextValues(scan, drivers, [&](const CString& strName, const CString& strText) {
                if (strText.IsEmpty())
                    RecordProblem(scan, DRIVER_CATEGORY, HKEY_LOCAL_MACHINE, DRIVERS_KEY, TRUE, strName, strText, 17);
                else if (!DriverExists(scan, strText, view))
                    RecordProblem(scan, DRIVER_CATEGORY, HKEY_LOCAL_MACHINE, DRIVERS_KEY, TRUE, strName, strText, 23);
            }))
            return;
    }
    EndCategory(scan, DRIVER_CATEGORY);
}
