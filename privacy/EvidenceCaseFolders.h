#pragma once
// The folders the cases start from, each ending in a backslash. FALSE when it
// cannot be had: the case then adds nothing further.
#include "framework/Afx.h"

// The application-data folder, without a trailing backslash (the cases add
// their own "\...").
BOOL GetCaseAppData(CString& strFolder);
// The profile folder with a trailing backslash.
BOOL GetCaseProfile(CString& strFolder);
// A shell folder with a trailing backslash.
BOOL GetCaseShellFolder(int nCsidl, CString& strFolder);
// <APPDATA><product>Profiles\<profile dir>\ for "\Mozilla\Firefox\" and the like.
BOOL GetCaseMozillaFolder(LPCWSTR pszProduct, CString& strFolder);
// A folder that a registry value names, with a trailing backslash: absolute,
// plain and no drive root, else FALSE.
BOOL GetCaseRegistryFolder(HKEY hRoot, LPCWSTR pszPath, LPCWSTR pszValueName, CString& strFolder);
// Makes a folder text end in exactly one backslash and checks it as above.
BOOL MakeCaseFolder(const CString& strText, CString& strFolder);
