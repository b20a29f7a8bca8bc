#include "scanner/ClassKeyWalker.h"
#include "scanner/CommandLine.h"
#include "scanner/ProblemRecorder.h"

BOOL CheckShellCommand(CScanContext& scan, int nCategory, const CKeyReader& command)
{
    CStringArray arrValues;
    command.GetValueNames(arrValues);
    const CString& strKey = command.GetPath();
    if (arrValues.GetSize() == 0)
        return !RecordProblem(scan, nCategory, HKEY_CLASSES_ROOT, strKey, FALSE, CString(), CString(), 16);
    DWORD dwType = REG_NONE;
    if (!command.GetValueType(L"", dwType) || (dwType != REG_SZ && dwType != REG_EXPAND_SZ))
        return TRUE;
    CString strCommand = command.ReadString(L"", L"ERR");
    if (strCommand.IsEmpty())
    {
        // Beside other values (DelegateExecute) an empty command is normal.
        if (arrValues.GetSize() == 1)
            return !RecordProblem(scan, nCategory, HKEY_CLASSES_ROOT, strKey, TRUE, CString(), CString(), 16);
        return TRUE;
    }
    if (strCommand == L"ERR")
        return TRUE;
    CString strLower = strCommand;
    strLower.MakeLower();
    if (strLower.Find(L"rundll32") >= 0 || strLower.Find(L"wmplayer") >= 0)
        return TRUE;
    CCommandProgram program = FindCommandProgram(strCommand, scan.m_pathTest);
    if (!program.bTestable || program.bExists)
        return TRUE;
    BOOL bValue = arrValues.GetSize() > 1;
    return !RecordProblem(scan, nCategory, HKEY_CLASSES_ROOT, strKey, bValue, CString(), strCommand, 22);
}
