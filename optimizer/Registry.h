#pragma once
// Registry writes of the tuning pages: each opens one key with the least
// rights it needs, acts on one value and closes the key. Failures are
// counted, so that a partial application is told, not hidden.
#include "framework/Afx.h"
#include <vector>

class CRegistry
{
public:
    CRegistry();

    // Each creates a missing key path.
    BOOL SetDword(HKEY hRoot, LPCWSTR lpszPath, LPCWSTR lpszValue, DWORD dwValue);
    BOOL SetString(HKEY hRoot, LPCWSTR lpszPath, LPCWSTR lpszValue, LPCWSTR lpszText);
    BOOL SetBinary(HKEY hRoot, LPCWSTR lpszPath, LPCWSTR lpszValue, const BYTE* pData, DWORD cbData);
    // Replaces the first bytes of a binary value and keeps the rest.
    BOOL SetBinaryHead(HKEY hRoot, LPCWSTR lpszPath, LPCWSTR lpszValue, const BYTE* pData, DWORD cbData);
    // Creates nothing; a missing key or value is no failure.
    BOOL DeleteValue(HKEY hRoot, LPCWSTR lpszPath, LPCWSTR lpszValue);
    BOOL KeyExists(HKEY hRoot, LPCWSTR lpszPath) const;
    // The names of the subkeys; FALSE when the key cannot be read.
    BOOL ListSubkeys(HKEY hRoot, LPCWSTR lpszPath, std::vector<CString>& names) const;

    int GetFailureCount() const { return m_nFailures; }
    // Tests follow the order of the writes: each value name written or deleted.
    void SetTrace(std::vector<CString>* pTrace) { m_pTrace = pTrace; }
    // Every instance made from now on traces into the list (NULL stops it).
    static void TraceAllInto(std::vector<CString>* pTrace);

private:
    REGSAM Access(HKEY hRoot, LPCWSTR lpszPath, REGSAM samDesired) const;
    BOOL Record(LONG lResult, LPCWSTR lpszValue);
    LONG CreateKey(HKEY hRoot, LPCWSTR lpszPath, REGSAM samDesired, HKEY* phKey) const;

    int m_nFailures;
    std::vector<CString>* m_pTrace;
};

// Lets this process trim other processes' working sets.
void EnableDebugPrivilege();
