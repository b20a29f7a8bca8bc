#pragma once
// One registry change of a tuning page, and tables of them.
#include "optimizer/Registry.h"

enum RegRoot
{
    ROOT_HKCU,
    ROOT_HKLM,
    // HKLM "SYSTEM\ControlSet001\<path>" (when that control set exists), then
    // HKLM "SYSTEM\CurrentControlSet\<path>".
    ROOT_BOTH_SETS
};

enum RegOpKind
{
    OP_DWORD,
    OP_STRING,
    OP_BINARY,
    OP_BINARY_HEAD,  // the first bytes of a binary value, the rest kept
    OP_DELETE,
    OP_MTU,          // "MTU" of every subkey of the path
    OP_MTU_DELETE
};

struct CRegOp
{
    int nRoot;
    LPCWSTR pszPath;
    LPCWSTR pszValue;
    int nKind;
    DWORD dwValue;
    LPCWSTR pszText;
    const BYTE* pBytes;
    DWORD cbBytes;
};

inline CRegOp RegDword(int nRoot, LPCWSTR pszPath, LPCWSTR pszValue, DWORD dwValue)
{
    return {nRoot, pszPath, pszValue, OP_DWORD, dwValue, NULL, NULL, 0};
}
inline CRegOp RegString(int nRoot, LPCWSTR pszPath, LPCWSTR pszValue, LPCWSTR pszText)
{
    return {nRoot, pszPath, pszValue, OP_STRING, 0, pszText, NULL, 0};
}
inline CRegOp RegBinary(int nRoot, LPCWSTR pszPath, LPCWSTR pszValue, const BYTE* pBytes, DWORD cbBytes)
{
    return {nRoot, pszPath, pszValue, OP_BINARY, 0, NULL, pBytes, cbBytes};
}
inline CRegOp RegBinaryHead(int nRoot, LPCWSTR pszPath, LPCWSTR pszValue, const BYTE* pBytes, DWORD cbBytes)
{
    return {nRoot, pszPath, pszValue, OP_BINARY_HEAD, 0, NULL, pBytes, cbBytes};
}
inline CRegOp RegDelete(int nRoot, LPCWSTR pszPath, LPCWSTR pszValue)
{
    return {nRoot, pszPath, pszValue, OP_DELETE, 0, NULL, NULL, 0};
}

void RunRegOp(CRegistry& reg, const CRegOp& op);
template <size_t N>
void RunRegOps(CRegistry& reg, const CRegOp (&ops)[N])
{
    for (size_t i = 0; i < N; i++)
        RunRegOp(reg, ops[i]);
}
void RunRegOps(CRegistry& reg, const CRegOp* pOps, int nCount);
