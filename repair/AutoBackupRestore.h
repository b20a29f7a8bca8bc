#pragma once
// Puts an automatic backup back: imports the registry-editor files it holds,
// each in the registry view its name gives, and returns every shortcut file
// to the path that ShortCuts.txt names for it.
// Reads nothing unchecked, writes over no file that is there, and keeps the
// first thing that did not come back.
#include "framework/Afx.h"

#include <atomic>
#include <memory>
#include <vector>

class CTamselApp;
class CRestoreWorkFolder;

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

// A registry key a restore writes, as it really writes it: the path without
// a Wow6432Node step, and the view only that key is in (0: both views share
// it, or there is one view).
struct CRestoreKey
{
    CString m_strPath;
    REGSAM m_samView = 0;
};

// Whether an automatic backup's .reg, imported in samView, holds only what a
// repair can have written: key lines under the roots the category scanners
// of that view walk, their values, and no deletion. nLine and strLine give
// the first line that is not; keys gets every key line's key as it is
// written. pbStop ends the check at once (FALSE, line 0).
BOOL CheckAutoBackupRegFile(const CString& strPath, REGSAM samView, int& nLine, CString& strLine,
                            std::vector<CRestoreKey>& keys, const std::atomic<bool>* pbStop = nullptr);

class CAutoBackupRestore
{
public:
    CAutoBackupRestore();
    ~CAutoBackupRestore();

    // Polled per entry and block of the unpacking, per line of the checks,
    // per key line of the imports (never within a key), per shortcut and
    // per file of the work folder's removal: once set, the step ends early
    // with m_bStopped TRUE, and what is left of the work folder is cleared
    // by the next Prepare below the same parent. NULL polls nothing.
    void SetStopFlag(const std::atomic<bool>* pbStop);
    BOOL IsStopped() const { return m_pbStop != nullptr && m_pbStop->load(); }

    // The read-and-check step: unpacks the archive into a folder of its own
    // below strWorkParent, checks every registry file and lists what Write
    // would put back (m_keys, m_arrFiles). Writes nothing. TRUE when there is
    // something to write; a registry file that fails CheckAutoBackupRegFile
    // refuses the whole archive (m_bRefused). A damaged or unknown entry is
    // noted in m_failure and left out.
    BOOL Prepare(const CString& strArchive, const CString& strWorkParent);
    // The write step, after Prepare returned TRUE and the user agreed. TRUE
    // only when every entry read back with its checksum, the registry import
    // applied every line and every shortcut was placed.
    BOOL Write();
    // Removes what Prepare unpacked, writing nothing.
    void Discard();
    // Both steps without a question between them.
    BOOL Restore(const CString& strArchive, const CString& strWorkParent);

    std::vector<CRestoreKey> m_keys;    // the keys the registry files write
    CStringArray m_arrFiles;            // the paths the shortcuts go back to
    CRestoreFailure m_failure;
    int m_nRegFilesImported;
    int m_nShortcutsPlaced;
    int m_nRegKeys;             // key lines of the checked registry files
    BOOL m_bRefused;
    BOOL m_bStopped;            // the stop flag ended the last step early

private:
    void PlaceShortcuts(const CString& strList, const CStringArray& arrShortcuts);
    BOOL EndStopped();

    std::unique_ptr<CRestoreWorkFolder> m_pWork;
    CString m_strArchive;
    CString m_strShortcutList;
    CStringArray m_arrShortcuts;
    CStringArray m_arrRegFiles, m_arrRegNames;
    const std::atomic<bool>* m_pbStop = nullptr;
};
