#pragma once
// Paths longer than MAX_PATH: the "\\?\" form that reaches them, a failure
// that comes from a path's length, and where a path leads.
#include "framework/Afx.h"

// The longest path the system opens, in characters of the "\\?\" form.
const int kLongestPath = 32767;

// A full path (drive or server) in the "\\?\" form, made absolute and with
// "." and ".." resolved; a path already in that form is returned as it is.
CString LongPathForm(const CString& strPath);
// Paths shorter than MAX_PATH as they are, longer ones in the "\\?\" form.
CString SystemPathForm(const CString& strPath);
// Whether a call on strPath failed because the path is too long for the
// system to open (past kLongestPath, or refused as too long).
BOOL IsPathTooLong(const CString& strPath, DWORD dwError);
// Where an existing file or folder leads once every link is followed, as a
// plain path without a trailing backslash. ERROR_SUCCESS, the error of the
// open, or ERROR_NOT_SUPPORTED where the system cannot tell: it has no
// resolver (and no folder links but reparse points), or its resolver stops
// short of this path's length, and so of every longer one.
DWORD GetResolvedPath(const CString& strPath, CString& strResolved);
// Whether the system has that resolver at all (Vista and later).
BOOL HasPathResolver();
