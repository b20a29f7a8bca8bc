#pragma once
// Reads of the registry that the cases make: a text value, the subkeys of a
// key. Read access only; a wrong type, an empty text or a failure is "missing".
#include "framework/Afx.h"

enum
{
    // The largest text a case takes from the registry, in characters.
    REG_TRACE_MAX_TEXT = 1024,
};

// A REG_SZ or REG_EXPAND_SZ value (the latter expanded) of root\path; FALSE
// when the key or value is missing, of another type, empty or too long.
BOOL ReadRegString(HKEY hRoot, LPCWSTR pszPath, LPCWSTR pszValueName, CString& strText);
// The same read, under the second name the cases use for it.
BOOL RegReadValue(HKEY hRoot, LPCWSTR pszPath, LPCWSTR pszValueName, CString& strText);
// The first string of a REG_MULTI_SZ value, or a REG_SZ value as it stands.
BOOL ReadRegFirstString(HKEY hRoot, LPCWSTR pszPath, LPCWSTR pszValueName, CString& strText);

// The subkey names of root\path in enumeration order; stops at any answer but
// success or ERROR_MORE_DATA. FALSE when the key does not open.
BOOL ReadRegSubKeys(HKEY hRoot, LPCWSTR pszPath, CStringArray& arrNames);
