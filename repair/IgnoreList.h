#pragma once
// IgnoreList.dat: one entry per line, "index;key path|value name|data" with
// the category number less 1 as index, UTF-16LE with a byte-order mark and
// LF line ends. A line break inside an entry is stored as U+240A (LF) or
// U+240D (CR), so every entry stays on its line.
#include "app/TamselApp.h"

class CIgnoreListFile
{
public:
    // The entry of a found problem of category nCategory (1 to 15).
    static CString FormatEntry(int nCategory, const CRegProblem& problem);

    static CString EncodeLine(const CString& strEntry);
    static CString DecodeLine(const CString& strLine);

    // Rewrites the file from the array: a new file beside it first, then
    // moved over the old one, so a failure leaves the old file as it was.
    // FALSE with the error when the file could not be replaced.
    static BOOL WriteFile(const CString& strFile, const CStringArray& arrEntries, DWORD* pdwError = NULL);

    // Appends an entry to the application's list and rewrites the file; on
    // failure the list is as before and FALSE comes back.
    static BOOL AddEntry(CTamselApp* pApp, const CString& strEntry);
    // Removes entry nIndex and rewrites the file; on failure the list is as
    // before and FALSE comes back.
    static BOOL RemoveEntry(CTamselApp* pApp, INT_PTR nIndex);

    static CString FileOf(CTamselApp* pApp) { return pApp->m_strAppDir + L"IgnoreList.dat"; }
};
