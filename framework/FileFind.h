#pragma once
// Walks the entries of one folder that match a pattern. The usual loop:
//   BOOL bMore = finder.FindFile(L"C:\\dir\\*.*");
//   while (bMore) { bMore = finder.FindNextFile(); ... use the entry ... }
#include "framework/AfxDefs.h"
#include "framework/String.h"
#include "framework/Time.h"

class CFileFind
{
public:
    CFileFind();
    virtual ~CFileFind();

    // NULL means "*.*" in the current folder. TRUE when something matched.
    virtual BOOL FindFile(LPCWSTR pstrName = NULL, DWORD dwUnused = 0);
    // Moves to the next entry; FALSE when that entry is the last one.
    virtual BOOL FindNextFile();
    void Close();

    ULONGLONG GetLength() const;
    virtual CString GetFileName() const;
    virtual CString GetFilePath() const;
    virtual CString GetFileTitle() const;
    virtual CString GetFileURL() const;
    // The folder searched, with a trailing backslash.
    virtual CString GetRoot() const { return m_strRoot; }

    BOOL GetLastWriteTime(FILETIME* pTimeStamp) const;
    BOOL GetLastAccessTime(FILETIME* pTimeStamp) const;
    BOOL GetCreationTime(FILETIME* pTimeStamp) const;
    BOOL GetLastWriteTime(CTime& refTime) const;
    BOOL GetLastAccessTime(CTime& refTime) const;
    BOOL GetCreationTime(CTime& refTime) const;

    virtual BOOL IsDots() const;
    BOOL MatchesMask(DWORD dwMask) const;
    BOOL IsReadOnly() const { return MatchesMask(FILE_ATTRIBUTE_READONLY); }
    BOOL IsDirectory() const { return MatchesMask(FILE_ATTRIBUTE_DIRECTORY); }
    BOOL IsCompressed() const { return MatchesMask(FILE_ATTRIBUTE_COMPRESSED); }
    BOOL IsSystem() const { return MatchesMask(FILE_ATTRIBUTE_SYSTEM); }
    BOOL IsHidden() const { return MatchesMask(FILE_ATTRIBUTE_HIDDEN); }
    BOOL IsTemporary() const { return MatchesMask(FILE_ATTRIBUTE_TEMPORARY); }
    BOOL IsNormal() const { return MatchesMask(FILE_ATTRIBUTE_NORMAL); }
    BOOL IsArchived() const { return MatchesMask(FILE_ATTRIBUTE_ARCHIVE); }

private:
    HANDLE m_hFind;
    BOOL m_bHaveNext;      // m_findNext holds an entry not yet handed out
    BOOL m_bHaveCurrent;   // FindNextFile has handed out m_findCurrent
    WIN32_FIND_DATAW m_findNext;
    WIN32_FIND_DATAW m_findCurrent;
    CString m_strRoot;

    CFileFind(const CFileFind&) = delete;
    CFileFind& operator=(const CFileFind&) = delete;
};
