#include "scanner/Scanners.h"
#include "scanner/CommandLine.h"
#include "scanner/KeyReader.h"
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
}  // namespace

void ScanServices(CScanContext& scan)
{
    if (!BeginCategory(scan, SERVICE_CATEGORY))
        return;
    CKeyReader base;
    if (base.Open(HKEY_LOCAL_MACHINE, SERVICES_KEY) == ERROR_SUCCESS)
    {
        CStringArray arrServices;
        base.GetSubKeyNames(arrServices);
        for (int i = 0; i < arrServices.GetSize(); i++)
        {
            if (scan.IsStopped())
                return;
            CKeyReader service;
            if (service.OpenChild(base, arrServices[i]) != ERROR_SUCCESS)
                continue;
            scan.ShowCurrentItem(L"HKEY_LOCAL_MACHINE\\" + service.GetPath());
            CStringArray arrValues;
            service.GetValueNames(arrValues);
            BOOL bHasImagePath = FALSE;
            for (int j = 0; j < arrValues.GetSize(); j++)
                bHasImagePath = bHasImagePath || arrValues[j] == L"ImagePath";
            if (!bHasImagePath)
                continue;
            CString strImagePath = service.ReadString(L"ImagePath", L"ERR");
            if (strImagePath == L"ERR" || strImagePath.IsEmpty())
                continue;
            CCommandProgram program = FindCommandProgram(ImageCommand(strImagePath), scan.m_pathTest);
            if (program.bTestable && !program.bExists)
                RecordProblem(scan, SERVICE_CATEGORY, HKEY_LOCAL_MACHINE, service.GetPath(), FALSE, L"ImagePath",
                              strImagePath, 26);
        }
    }
    EndCategory(scan, SERVICE_CATEGORY);
}
