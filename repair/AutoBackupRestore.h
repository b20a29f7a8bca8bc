#pragma once
// Puts an automatic backup back: imports the registry-editor files it holds,
// each in the registry view its name gives, and returns every shortcut file
// to the path that ShortCuts.txt names for it.
// Reads nothing unchecked, writes over no file that is there, and keeps the
// first thing that did not come back.
#include "framework/Afx.h"

class CTamselApp;

// What went wrong first in a restore; the texts are language keys.
struct CRestoreFailure
{
    LPCWSTR m_pszKey = NULL;    // NULL: nothing failed
    CString m_strItem;          // the file, entry or path concerned
    DWORD m_dwCode = 0;         // a system or import error, 0 when none

    BOOL IsSet() const { return m_pszKey != NULL; }
    // Keeps only the first failure.
    void Note(LPCWSTR pszKey, const CString& strItem, DWORD dwCode = 0);
    // The failure's own text.
    CString GetDetail(CTamselApp* pApp) const;
    // "M_RESTORE_INCOMPLETE" with the failure's own text in it.
    CString GetMessage(CTamselApp* pApp) const;
};

// A shortcut path from ShortCuts.txt that a restore may write: a full path on
// a drive ("C:\..."), ending in ".lnk", with no "." or ".." step, no stream
// colon, no wildcard and no empty step.
BOOL IsRestorableShortcutPath(const CString& strPath);

// The most one entry of an automatic backup may unpack to.
#define AUTOBACKUP_MAX_ENTRY_BYTES (256u * 1024 * 1024)

// Whether an automatic backup's .reg holds only what a repair can have
// written: key lines under the roots the category scanners walk, their
// values, and no deletion. nLine and strLine give the first line that is
// not; nKeys counts the key lines.
BOOL CheckAutoBackupRegFile(const CString& strPath, int& nLine, CString& strLine, int& nKeys);

class CAutoBackupRestore
{
public:
    CAutoBackupRestore();

    // Restores the archive, unpacking into a folder of its own below
    // strWorkParent. TRUE only when something was restored, every entry read
    // back with its checksum, the registry import applied every line and
    // every shortcut was placed. A registry file that fails
    // CheckAutoBackupRegFile refuses the whole archive before anything is
    // written (m_bRefused).
    BOOL Restore(const CString& strArchive, const CString& strWorkParent);

    CRestoreFailure m_failure;
    int m_nRegFilesImported;
    int m_nShortcutsPlaced;
    int m_nRegKeys;             // key lines of the checked registry files
    BOOL m_bRefused;

private:
    void PlaceShortcuts(const CString& strList, const CStringArray& arrShortcuts);
};
