#pragma once
// The program of a command line, found where CreateProcess and ShellExecute
// find it. Every category that judges a command line asks this one rule.
#include "scanner/PathTest.h"

struct CCommandProgram
{
    CString strProgram;  // the program part, environment references expanded
    CString strLibrary;  // for a rundll32 line: the library part, expanded
    BOOL bTestable;      // FALSE: the rule cannot tell (empty, a %1-like placeholder, ...)
    BOOL bExists;
};

// The command is judged as stored, in the given view:
// - a quoted program is the quoted part, tried as given and with ".exe";
// - an unquoted one is the first blank-separated prefix, left to right, that
//   names a file (not a folder) as given or with ".exe";
// - a bare name is looked up in App Paths (of the view), then in the System
//   and Windows folders and along PATH;
// - "\Windows\..." is a path on the system drive;
// - a rundll32 line is judged by its library as well.
// When nothing is found, the text up to its first " -", " /", ",", " \"" or
// placeholder is reported as the program.
CCommandProgram FindCommandProgram(const CString& strCommand, CPathTest& pathTest, PathView view = PATH_VIEW_ANY);

// A bare program name ("app.exe", "app") as ShellExecute finds it: App Paths
// of the view, then the System and Windows folders and PATH.
BOOL BareProgramExists(const CString& strName, CPathTest& pathTest, PathView view = PATH_VIEW_ANY);

// The Windows folder with a trailing backslash.
CString GetWindowsFolder();
// "\SystemRoot\..." and "SystemRoot\..." (any case) as a path below the
// Windows folder; other texts unchanged.
CString ResolveSystemRoot(const CString& strPath);
