#include "optimizer/TuningOps.h"

namespace {
void RunAt(CRegistry& reg, HKEY hRoot, const CString& strPath, const CRegOp& op)
{
    switch (op.nKind)
    {
    case OP_DWORD:
        reg.SetDword(hRoot, strPath, op.pszValue, op.dwValue);
        break;
    case OP_STRING:
        reg.SetString(hRoot, strPath, op.pszValue, op.pszText);
        break;
    case OP_BINARY:
        reg.SetBinary(hRoot, strPath, op.pszValue, op.pBytes, op.cbBytes);
        break;
    case OP_BINARY_HEAD:
        reg.SetBinaryHead(hRoot, strPath, op.pszValue, op.pBytes, op.cbBytes);
        break;
    case OP_DELETE:
        reg.DeleteValue(hRoot, strPath, op.pszValue);
        break;
    case OP_MTU:
    case OP_MTU_DELETE:
    {
        std::vector<CString> names;
        reg.ListSubkeys(hRoot, strPath, names);
        for (const CString& strName : names)
        {
            CString strKey = strPath + L"\\" + strName;
            if (op.nKind == OP_MTU)
                reg.SetDword(hRoot, strKey, L"MTU", op.dwValue);
            else
                reg.DeleteValue(hRoot, strKey, L"MTU");
        }
        break;
    }
    }
}
} // namespace

void RunRegOp(CRegistry& reg, const CRegOp& op)
{
    if (op.nRoot == ROOT_HKCU)
        RunAt(reg, HKEY_CURRENT_USER, op.pszPath, op);
    else if (op.nRoot == ROOT_HKLM)
        RunAt(reg, HKEY_LOCAL_MACHINE, op.pszPath, op);
    else
    {
        // Never create a control set that Windows does not have.
        if (reg.KeyExists(HKEY_LOCAL_MACHINE, L"SYSTEM\\ControlSet001"))
            RunAt(reg, HKEY_LOCAL_MACHINE, CString(L"SYSTEM\\ControlSet001\\") + op.pszPath, op);
        RunAt(reg, HKEY_LOCAL_MACHINE, CString(L"SYSTEM\\CurrentControlSet\\") + op.pszPath, op);
    }
}

void RunRegOps(CRegistry& reg, const CRegOp* pOps, int nCount)
{
    for (int i = 0; i < nCount; i++)
        RunRegOp(reg, pOps[i]);
}
