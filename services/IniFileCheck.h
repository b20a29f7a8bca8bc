#pragma once
// Whether the profile functions may read and rewrite an INI file. They read
// ANSI text and text with a byte-order mark; anything else (UTF-16 without
// its mark, a line longer than they read, other bytes) reads as empty, and
// their next write would replace the whole file with what they made of it.
#include "framework/Afx.h"

// Longest line the profile functions read whole (the most a section read
// returns); a longer one is not read.
#define INI_MAX_LINE_CHARS 32767
// A settings file is small: a larger one is not read at all.
#define INI_MAX_FILE_BYTES (16u * 1024 * 1024)

enum IniFileForm
{
    IniFileMissing,      // no file yet: the first write makes it
    IniFileReadable,     // ANSI, or text with its byte-order mark
    IniFileUnmarked,     // UTF-16LE without its mark: readable once marked
    IniFileLongLine,     // a line longer than INI_MAX_LINE_CHARS
    IniFileNotText,      // not text in an encoding the profile functions read
    IniFileNotOpened     // there, but it could not be read
};

struct IniFileCheck
{
    IniFileForm nForm = IniFileMissing;
    int nLine = 0;              // the over-long line, from 1
    DWORD dwError = 0;          // why the file could not be opened
};

IniFileCheck CheckIniFile(LPCTSTR lpszFile);

// Readies a file for the profile functions: a UTF-16 file without its mark
// gets it (through a new file moved over the old one). TRUE when they may
// now read and write it; FALSE leaves the file byte for byte as it was,
// with the reason in *pCheck.
BOOL PrepareIniFile(LPCTSTR lpszFile, IniFileCheck* pCheck = NULL);
