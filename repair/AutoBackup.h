#pragma once
// The automatic backup written before every repair: the keys of the chosen
// registry problems as registry-editor files (one per registry view) and the
// chosen shortcut files, in AutoBackup\AutoBackup<stamp>.zip. The archive is read back and checked
// before anything is repaired; the repair then removes only what it covers.
#include "app/TamselApp.h"
#include "services/ZipFormat.h"

#include <atomic>
#include <map>
#include <set>
#include <string>
#include <vector>

class CAutoBackup
{
public:
    CAutoBackup();

    // Writes and verifies the archive of what the repair lists name. TRUE
    // when the archive is known good, or when nothing needed one. FALSE:
    // m_strError says why, nothing is covered and no file of this backup
    // stays behind. Until it is verified the archive has a name of its own
    // ("...zip.partial"), which no backup list takes for a backup; such files
    // that a killed run left are removed by the next backup. *pbStop is
    // polled per key, per file, per entry and per block: once set, the
    // backup fails, as stopped, before it is complete.
    BOOL Write(CTamselApp* pApp, const std::atomic<bool>* pbStop = NULL);

    // Whether the archive holds this key (a path and view flag as
    // RecordKeyLocation gives them).
    BOOL IsKeyCovered(const CString& strCanonicalPath, REGSAM samView = 0) const;
    // Whether that key is, or holds below it, a registry link that the
    // archive does not keep: no restore could make the link again, so the
    // key must not be deleted.
    BOOL HoldsLinkLeftOut(const CString& strCanonicalPath, REGSAM samView = 0) const;
    // Whether the archive holds the shortcut file of record nIndex of the
    // shortcut category's repair list.
    BOOL IsShortcutCovered(INT_PTR nIndex) const;

    CString m_strStamp;     // the time of this backup, "%Y%m%d%H%M%S"
    CString m_strArchive;   // full path; empty when no archive was needed
    CString m_strError;
    CStringArray m_arrEntries;  // entry names in archive order

    // The entry name for a shortcut file: its own name, or the first free
    // "title (n).ext" when an entry of that name (any case) is taken.
    static CString FreeEntryName(const CString& strFileName, const CStringArray& arrTaken);

private:
    struct AddedEntry
    {
        CString strName;
        DWORD dwSize;
        DWORD dwCrc;
    };

    BOOL Fail(const CString& strReason);
    BOOL Stopped() const { return m_pbStop != NULL && m_pbStop->load(); }
    BOOL WriteRegFile(const CString& strRegFile, const CStringArray& arrKeys, REGSAM samView);
    void DeleteRegFiles();
    void DeleteLeftovers(const CString& strFolder);
    ZipResult AddFile(ZipHandle hZip, const CString& strPath, const CString& strName);
    ZipResult AddMemory(ZipHandle hZip, const std::vector<BYTE>& data, const CString& strName);
    BOOL Verify();

    const std::atomic<bool>* m_pbStop = NULL;

    // upper-case key path (after "64|" for keys read with KEY_WOW64_64KEY) -> ExportKey result
    std::map<std::wstring, DWORD> m_exported;
    std::set<std::wstring> m_withLinks;     // keys of m_exported whose export left links out
    std::vector<bool> m_shortcutAdded;
    std::vector<AddedEntry> m_added;
    CStringArray m_arrRegFiles;     // the unpacked registry files, one per view
};

// The archive's registry file of one view: "AutoBackup<stamp>.reg" for the
// process's own view, "..._32.reg" or "..._64.reg" for the 32- or 64-bit view.
CString AutoBackupRegEntryName(const CString& strStamp, REGSAM samView);
// The view a registry entry of an archive is imported in (by its name's end);
// 0 for the own view.
REGSAM AutoBackupRegEntryView(const CString& strEntryName);

// The repair worker's backup step; pbStop as for CAutoBackup::Write.
BOOL WriteAutoBackup(CTamselApp* pApp, CAutoBackup& backup, const std::atomic<bool>* pbStop = NULL);

// What a stopped backup gives as its reason (m_strError).
extern const wchar_t AUTOBACKUP_STOPPED[];

// Test seams: the archive's close, and a look at the closed archive before
// it is verified. NULL restores the plain behaviour.
typedef ZipResult (*AUTOBACKUP_CLOSE_HOOK)(ZipHandle hZip);
typedef void (*AUTOBACKUP_CLOSED_HOOK)(const CString& strArchive);
void SetAutoBackupHooks(AUTOBACKUP_CLOSE_HOOK pfnClose, AUTOBACKUP_CLOSED_HOOK pfnClosed);
