#include "scanner/ClassKeyWalker.h"
#include "scanner/CommandLine.h"
#include "scanner/ProblemRecorder.h"

BOOL CheckShellCommand(CScanContext& scan, int nCategory, const CKeyReader& command)
{
    DWORD nValues = 0;
    if (command.GetCounts(NULL, &nValues) != ERROR_SUCCESS)
        return TRUE;
    const CString& strKey = command.GetPath();
    if (nValues == 0)
        return !RecordProblem(scan, nCategory, HKEY_CLASSES_ROOT, strKey, FALSE, CString(), CString(), 16);
    DWORD dwType = REG_NONE;
    CString strCommand = command.ReadString(L"", L"ERR", dwType);
    if (dwType != REG_SZ && dwType != REG_EXPAND_SZ)
        return TRUE;
    if (strCommand.IsEmpty())
    {
        // Beside other values (DelegateExecute) an empty command is normal.
        if (nValues == 1)
            return !RecordProblem(scan, nCategory, HKEY_CLASSES_ROOT, strKey, TRUE, CString(), CString(), 16);
        return TRUE;
    }
    if (strCommand == L"ERR")
        return TRUE;
    CCommandProgram program = FindCommandProgram(strCommand, scan.m_pathTest);
    if (!program.bTestable || program.bExists)
        return TRUE;
    BOOL bValue = nValues > 1;
    return !RecordProblem(scan, nCategory, HKEY_CLASSES_ROOT, strKey, bValue, CString(), strCommand, 22);
}
