#include "scanner/Scanners.h"
#include "scanner/CommandLine.h"
#include "scanner/KeyWalk.h"
#include "scanner/ProblemRecorder.h"
#include "scanner/ScanRoots.h"

namespace {
const int SERVICE_CATEGORY = 7;
const wchar_t* const SERVICES_KEY = SCAN_KEY_SERVICES;

// An image path as the service manager reads it: "\??\" prefixes dropped,
// "\SystemRoot\" and paths relative to the Windows folder made full.
CString ImageCommand(const CString& strImagePath)
{
    CString strCommand = strImagePath;
    strCommand.Replace(L"\\??\\", L"");
    strCommand.Trim();
    strCommand = ResolveSystemRoot(strCommand);
    if (!strCommand.IsEmpty() && strCommand[0] != L'"' && strCommand[0] != L'%' && strCommand.Find(L":\\") < 0 &&
        strCommand.Left(2) != L"\\\\")
    {
        CString strFirst = strCommand.SpanExcluding(L" ");
        // A bare program name is looked up along the search path.
        if (strFirst.Find(L'\\') >= 0)
        {
            strCommand.TrimLeft(L'\\');
            strCommand = GetWindowsFolder() + strCommand;
        }
    }
    return strCommand;
}

void CheckService(CScanContext& scan, const CKeyReader& service)
{
    CStringArray arrValues;
    service.GetValueNames(arrValues);
    BOOL bHasImagePath = FALSE;
    for (int j = 0; j < arrValues.GetSize(); j++)
        bHasImagePath = bHasImagePath || arrValues[j] == L"ImagePath";
    if (!bHasImagePath)
        return;
    CString strImagePath = service.ReadString(L"ImagePath", L"ERR");
    if (strImagePath == L"ERR" || strImagePath.IsEmpty())
        return;
    // The service manager is a 64-bit program on 64-bit Windows: System32 is
    // the real one there, never SysWOW64.
    PathView view = scan.m_pathTest.Is64BitWindows() ? PATH_VIEW_64 : PATH_VIEW_ANY;
    CCommandProgram program = FindCommandProgram(ImageCommand(strImagePath), scan.m_pathTest, view);
    // "\Folder\x.exe" of a program service is a path on the system drive.
    CString strStored = strImagePath;
    strStored.Trim();
    if (program.bTestable && !program.bExists && strStored.GetLength() >= 2 && strStored[0] == L'\\' &&
        strStored[1] != L'\\' && strStored[1] != L'?')
        program = FindCommandProgram(strStored, scan.m_pathTest, view);
    if (program.bTestable && !program.bExists)
        RecordProblem(scan, SERVICE_CATEGORY, HKEY_LOCAL_MACHINE, service.GetPath(), FALSE, L"ImagePath", strImagePath,
                      26);
}
}  // namespace

void ScanServices(CScanContext& scan)
{
    if (!BeginCategory(scan, SERVICE_CATEGORY))
        return;
    CKeyReader base;
    base.Open(HKEY_LOCAL_MACHINE, SERVICES_KEY);
    if (!WalkEntries(scan, base, [&](const CKeyReader& service, const CString&) {
            CheckService(scan, service);
            return TRUE;
        }))
        return;
    EndCategory(scan, SERVICE_CATEGORY);
}
