#pragma once
// The backup archive of the startup and browser helper object tools: a zip
// of .reg files (Utilities\Startup.dat or Utilities\BHO.dat). It is read in
// memory, one backup at a time; the work folder of the same name holds only
// the files of a removal's new backups until the archive is rebuilt. The
// path array names each backup as "<work folder><entry name>". No windows
// here: the pages turn the results into rows and messages.
//
// A backup of the other registry view names its key as that view does and
// keeps the view in its entry name, as the automatic backups do:
// "Startup<n>_32.reg" or "Startup<n>_64.reg"; "Startup<n>.reg" is one of the
// program's own view. It is checked and imported in that view.
//
// Nothing leaves the registry or the archive unless the archive that holds
// it was written whole to "<archive>.tmp", read back, and put in place.
#include "framework/Afx.h"
#include "scanner/RegProblem.h"

#include "services/ZipFormat.h"

#include <atomic>
#include <functional>
#include <vector>

// The most one backup of the archive may unpack to: a startup value or a
// helper object's key is far smaller.
#define TOOL_BACKUP_MAX_ENTRY_BYTES (1024u * 1024)

enum ToolBackupKind
{
    ToolBackupStartup = 0,
    ToolBackupBho = 1,
};

// Told each backup Load reads: its index in the path array and its bytes.
typedef std::function<void(int nEntry, const std::vector<BYTE>& bytes)> ToolEntryVisitor;

// What became of one record handed to BackupRecords.
enum ToolBackupOutcome
{
    BackupSaved = 0,      // its file is in the archive: it may be deleted
    BackupNotNeeded = 1,  // a shortcut: no backup, the page asks before deleting
    BackupGone = 2,       // the value or key no longer exists: nothing to do
    BackupRefused = 3,    // not an entry this tool may change (unknown hive, empty name...)
    BackupFailed = 4,     // the file or the archive could not be written: keep the entry
};

// What became of one row handed to Restore.
enum ToolRestoreOutcome
{
    RestoreDone = 0,      // imported and taken out of the archive
    RestoreRefused = 1,   // the file holds more than its row stands for: kept
    RestoreFailed = 2,    // the import failed: kept
    RestoreNotSaved = 3,  // imported, but the archive could not be rebuilt: still in it
    RestoreDiffers = 4,   // not the backup its row showed (changed since it was listed): kept
    RestoreNotRead = 5,   // the archive did not read (see GetSetAsidePath): nothing imported
};

// A row of a restore list as it shows: the path array entry it stands for,
// its texts (a startup row: value name and command; a helper object row:
// the server of its class) and a helper object row's class.
struct CToolBackupRow
{
    int m_nEntry = -1;
    CString m_strText1;
    CString m_strText2;
    CString m_strClsid;
    CString m_strKey;       // a startup row: the key line of its backup
    REGSAM m_samView = 0;   // the view of its backup (see ViewOfName)
};

class CToolBackupArchive
{
public:
    enum LoadResult
    {
        LoadNoArchive = 0,  // no archive: the path array is left as it was
        LoadOk = 1,
        LoadSetAside = 2,   // unreadable: renamed to GetSetAsidePath(), array empty
        LoadFailed = 3,     // stopped, or unreadable and could not be set aside:
                            // nothing may rebuild it now
    };

    // strAppDir ends in a backslash; arrPaths is the tool's path array of the
    // application object, which this object fills and reads.
    CToolBackupArchive(ToolBackupKind nKind, const CString& strAppDir, CStringArray& arrPaths);

    CString GetArchivePath() const;   // ...\Utilities\Startup.dat
    CString GetWorkFolder() const;    // ...\Utilities\Startup\ (with the backslash)
    CString GetEntryPrefix() const;   // "Startup" or "BHO"
    const CString& GetSetAsidePath() const { return m_strSetAside; }
    // The entry name that leads out of the work folder ("..\x.reg", "C:\x.reg")
    // when that is why the last Load set the archive aside; empty otherwise.
    const CString& GetNameOutside() const { return m_strNameOutside; }
    // The entries of the last Load that unpack to more than
    // TOOL_BACKUP_MAX_ENTRY_BYTES: not read, not listed.
    const CStringArray& GetTooLargeEntries() const { return m_arrTooLarge; }

    // Reads every backup of the archive (handing each to fnVisit) and fills
    // the path array. Stops early, as LoadFailed, when *pbStop turns true.
    LoadResult Load(const std::atomic<bool>* pbStop = NULL, const ToolEntryVisitor& fnVisit = ToolEntryVisitor());
    // The bytes of path array entry nEntry, from the archive the last Load read.
    BOOL ReadEntry(int nEntry, std::vector<BYTE>& bytes) const;
    // The registry view of path array entry nEntry (see ViewOfName); also
    // while Load hands that entry to its visitor.
    REGSAM GetEntryView(int nEntry) const;
    // Writes one backup per record and rebuilds the archive with them.
    // arrOutcome gets one ToolBackupOutcome per record. FALSE when the
    // archive could not be rebuilt (every written backup is then BackupFailed).
    BOOL BackupRecords(const CArray<CRegProblem>& arrRecords, CArray<int>& arrOutcome);
    // Reads the archive again, imports the backups at the given indexes of
    // the path array (each checked first; BHO rows give the class identifier
    // in arrClsids, same order) and rebuilds the archive without the imported
    // ones (only when something was imported). arrOutcome gets one
    // ToolRestoreOutcome per index. FALSE when the archive could not be rebuilt.
    BOOL Restore(const CArray<int>& arrIndexes, const CStringArray& arrClsids, CArray<int>& arrOutcome);
    // The same for rows as a list shows them: a backup that holds more than
    // a row can show is refused; one that is not what its row showed (another
    // value, key or view, or another helper object) differs.
    BOOL Restore(const std::vector<CToolBackupRow>& rows, CArray<int>& arrOutcome);
    // Removes the work folder and what it holds.
    void DeleteWorkFolder();

    // The number of "<prefix><n>.reg", "<prefix><n>_32.reg" or
    // "<prefix><n>_64.reg" (ignoring case); -1 for any other name.
    static int NumberOfName(const CString& strPrefix, const CString& strName);
    // The view a backup of that name is checked and imported in:
    // KEY_WOW64_32KEY for "..._32.reg", KEY_WOW64_64KEY for "..._64.reg", 0
    // (the program's own) for any other name.
    static REGSAM ViewOfName(const CString& strName);
    // 1 plus the highest number in the path array (0 when there is none).
    int NextNumber() const;

private:
    BOOL CreateWorkFolder();
    BOOL SetAside();
    // An item of the archive the last Load read, for each path array entry.
    struct CArchiveItem
    {
        int m_nItem;        // its index in the archive
        CString m_strName;  // its name (a fresh one for a doubled or foreign name)
    };
    struct CAddedEntry
    {
        CString m_strName;
        DWORD m_dwSize;
        DWORD m_dwCrc;
    };

    BOOL RestoreRows(const std::vector<CToolBackupRow>& rows, BOOL bOwnTexts, CArray<int>& arrOutcome);
    BOOL ReadOpenEntry(ZipHandle hZip, int nEntry, std::vector<BYTE>& bytes) const;
    // Writes <archive>.tmp with the kept entries (path array indexes, copied
    // from the archive) and then the new backup files, reads it back, and
    // puts it in place. The files stay.
    BOOL Rebuild(const std::vector<int>& keep, const CStringArray& arrNewFiles);
    static BOOL VerifyArchive(const CString& strArchive, const std::vector<CAddedEntry>& added);
    int WriteBackup(const CRegProblem& record, CString& strFile);
    HANDLE CreateBackupFile(REGSAM samView, CString& strFile);

    ToolBackupKind m_nKind;
    CString m_strAppDir;
    CStringArray& m_arrPaths;
    CString m_strSetAside;
    CString m_strNameOutside;
    CStringArray m_arrTooLarge;
    std::vector<CArchiveItem> m_items;
};
