#pragma once
// The programs of the system folder as a user of 64-bit Windows gets them. A
// 32-bit process there sees SysWOW64 as its System32 and reaches the real one
// only as %windir%\Sysnative; elsewhere the system folder is the real one.
// Every program the product starts from the system folder is found here.
#include "framework/Afx.h"

// The system folder as the process names it, without a trailing backslash;
// empty when it cannot be read.
CString SystemFolderPath();

// The file to start for the system program pszName ("rundll32.exe"): the
// real System32's through Sysnative in a 32-bit process on 64-bit Windows
// when that file exists there, the system folder's otherwise. Empty when the
// system folder cannot be read.
CString SystemProgramPath(LPCWSTR pszName);

// The file to start for the program a command names, when that program is
// one of the system folder's: a bare name ("rundll32", "MsiExec.exe") found
// there, or a path below the system folder as the process names it. Empty
// for any other program (one named in SysWOW64 or Sysnative stays as named).
CString SystemProgramOf(const CString& strProgram);

// Starts the system program pszName with pszArguments (may be NULL), in the
// system folder. FALSE with the error when it did not start; with phProcess
// the caller gets the process handle and closes it.
BOOL StartSystemProgram(LPCWSTR pszName, LPCWSTR pszArguments, HANDLE* phProcess = NULL, DWORD* pdwError = NULL);
