#pragma once
// IgnoreList.dat: one entry per line, "index;key path|value name|data" with
// the category number less 1 as index, UTF-16LE with a byte-order mark and
// LF line ends. A line break inside an entry is stored as U+240A (LF) or
// U+240D (CR), so every entry stays on its line.
#include "app/TamselApp.h"

#include <string>

class CIgnoreListFile
{
public:
    // The entry of a found problem of category nCategory (1 to 15).
    static CString FormatEntry(int nCategory, const CRegProblem& problem);

    static CString EncodeLine(const CString& strEntry);
    static CString DecodeLine(const CString& strLine);

    // Reads the entries of the file (a missing file is an empty list), each
    // without its line end, empty lines left out. FALSE when the file could
    // not be read cleanly as text (a part of it is not text of its encoding,
    // such as a zero or U+FFFF unit); the entries still hold every line.
    static BOOL ReadFile(const CString& strFile, CStringArray& arrEntries);
    // Whether the file may be rewritten: it is missing or reads cleanly. A
    // list that was not read cleanly is never written back over its file.
    static BOOL IsFileRewritable(const CString& strFile);

    // Rewrites the file from the array: a new file beside it first, then
    // moved over the old one, so a failure leaves the old file as it was.
    // FALSE with the error when the file could not be replaced.
    static BOOL WriteFile(const CString& strFile, const CStringArray& arrEntries, DWORD* pdwError = NULL);

    // The whole text of the file for the entries: the mark, then each entry
    // encoded and ended by LF; empty entries left out.
    static std::wstring FileText(const CStringArray& arrEntries);
    // WriteFile of a text made by FileText.
    static BOOL WriteText(const CString& strFile, const std::wstring& strText, DWORD* pdwError = NULL);

    enum SaveResult
    {
        Saved,
        NotSaved,    // the file could not be replaced; it is as it was
        Unreadable,  // the file does not read cleanly, so it was left alone
    };
    // A rewrite that may run on a worker: the file is replaced by the text
    // unless it does not read cleanly.
    static SaveResult SaveText(const CString& strFile, const std::wstring& strText);

    // Appends an entry to the application's list and rewrites the file; on
    // failure the list is as before and FALSE comes back. *pbUnreadable
    // (optional) tells that the file was left alone because it does not
    // read cleanly.
    static BOOL AddEntry(CTamselApp* pApp, const CString& strEntry, BOOL* pbUnreadable = NULL);
    // Removes entry nIndex and rewrites the file; on failure the list is as
    // before and FALSE comes back, *pbUnreadable as for AddEntry.
    static BOOL RemoveEntry(CTamselApp* pApp, INT_PTR nIndex, BOOL* pbUnreadable = NULL);

    static CString FileOf(CTamselApp* pApp) { return pApp->m_strAppDir + L"IgnoreList.dat"; }
};
