#pragma once
// The program part of a command line, found the way the system starts it.
#include "scanner/PathTest.h"

struct CCommandProgram
{
    CString strProgram;  // the program part, environment references expanded
    BOOL bTestable;      // FALSE: nothing to test (empty, or a %1-like placeholder)
    BOOL bExists;
};

// A quoted program is the quoted part, whatever the quotes hold. An unquoted
// one is the first blank-separated prefix that exists (".exe" tried too);
// when none does, the text up to its first " -", " /", ",", " \"" or
// placeholder. The program is judged as stored, in the given view.
CCommandProgram FindCommandProgram(const CString& strCommand, CPathTest& pathTest, PathView view = PATH_VIEW_ANY);

// The Windows folder with a trailing backslash.
CString GetWindowsFolder();
// "\SystemRoot\..." and "SystemRoot\..." (any case) as a path below the
// Windows folder; other texts unchanged.
CString ResolveSystemRoot(const CString& strPath);
