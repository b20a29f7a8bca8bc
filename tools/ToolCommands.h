#pragma once
// Window-free helpers of the tool pages: starting a command line, finding the
// program a command names, reading a file's version texts, and the icons of
// the rows.
#include "framework/Afx.h"

// Longest command line CreateProcessW takes, without its terminator.
#define TOOL_MAX_COMMAND 32767

// Starts the command line whole, in a buffer of its own size, and closes the
// process and thread handles at once. A program of the system folder is the
// one a user of 64-bit Windows gets (SystemProgramOfCommand); the command
// line stays as written. FALSE with the error: a command over
// TOOL_MAX_COMMAND characters (ERROR_FILENAME_EXCED_RANGE, nothing started),
// an empty one, or the error of CreateProcessW.
BOOL StartCommandLine(const CString& strCommand, DWORD* pdwError = NULL);
// The file StartCommandLine starts the command with: the system program its
// first part (quoted, or up to the first blank) names; empty when the program
// is left to CreateProcessW's own search.
CString SystemProgramOfCommand(const CString& strCommand);

// The program of a startup command: unquoted, in lower case, cut behind the
// first ".exe" and trimmed at its end.
CString ProgramPathOfCommand(const CString& strCommand);

// The DLL of a browser helper object as a file path: environment references
// expanded, and a path without a drive taken from the system folder.
CString BhoDllFilePath(const CString& strPath);

// The four detail texts of a file (file, product, description, company);
// all empty when the file is missing, all the file name without a version
// resource. FALSE when the file is missing.
BOOL ReadFileDetails(const CString& strPath, CString strTexts[4]);

// The first icon of a file, or NULL (ExtractIconW's 1, "not an icon file",
// counts as none). The caller destroys it.
HICON ExtractFirstIcon(const CString& strFile);
// The program's own icon at 16 x 16; the caller destroys it.
HICON LoadOwnSmallIcon();
// A neutral program icon, 16 x 16, owned by the caller: for entries whose
// file has none (our own icon there would read as a ticked check box).
HICON LoadProgramSmallIcon();
// Icon 1502 of appwiz.cpl in the system folder, loaded as data; else the
// program's own icon. The caller destroys it.
HICON LoadUninstallDefaultIcon();
