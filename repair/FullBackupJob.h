#pragma once
// The work of a full registry backup and of its restore, apart from any
// window: export HKEY_LOCAL_MACHINE and HKEY_USERS, both registry views as
// WholeRegistryView() shows them, into FullBackup<stamp>.reg, pack it into
// FullBackup<stamp>.zip and read the archive back; or check such an archive
// and import it in that view. Runs on a worker thread; reports its steps
// through a callback, and ends early once its stop flag is set.
#include "framework/Afx.h"
#include "repair/AutoBackupRestore.h"

#include <atomic>
#include <functional>
#include <memory>
#include <vector>

class CRegFile;
class CRestoreWorkFolder;

class CFullBackupJob
{
public:
    // The steps reported; each stands for a language key (GetStatusKey).
    enum Status
    {
        StatusExport,
        StatusExportFinished,
        StatusZip,
        StatusZipFinished,
        StatusFinished,
        StatusFailed,
        StatusImport,
        StatusImportFinished,
        StatusImportPartial,
        StatusRefused,
        StatusCheck,
        StatusCount
    };
    static LPCWSTR GetStatusKey(int nStatus);

    CFullBackupJob();
    virtual ~CFullBackupJob();

    // Polled by every step (per key and value of the export, per block of
    // the zip and of its read-back, per line of the check, per key line of
    // the import): once set, the step ends early and m_bStopped is TRUE.
    // NULL polls nothing.
    void SetStopFlag(const std::atomic<bool>* pbStop) { m_pbStop = pbStop; }
    BOOL IsStopped() const { return m_pbStop != nullptr && m_pbStop->load(); }

    // Writes a new archive into strFolder (created when missing). TRUE when
    // every write succeeded and the archive read back with its checksum; only
    // then is the loose .reg deleted. A failed backup keeps the .reg and
    // leaves no archive; a stopped one leaves neither. No file that was there
    // before is ever replaced.
    BOOL Backup(const CString& strFolder);
    // The read-and-check step of a restore: unpacks a full backup (exactly
    // one entry "FullBackup<14 digits>.reg" that reads back with its checksum
    // and holds nothing but keys of HKEY_LOCAL_MACHINE and HKEY_USERS) into a
    // folder of its own below strWorkParent and lists its first keys (m_keys,
    // of m_nKeys). Writes nothing; FALSE with m_bRefused when it may not be
    // imported.
    BOOL Prepare(const CString& strArchive, const CString& strWorkParent);
    BOOL IsPrepared() const { return m_pWork != nullptr; }
    // The write step, after Prepare and the user's Yes: imports the file.
    // Stopped, it ends between two keys: every key before is written whole,
    // none after is touched.
    BOOL Import();
    // Removes what Prepare unpacked, writing nothing.
    void Discard();
    // Both steps without a question between them.
    BOOL Restore(const CString& strArchive, const CString& strWorkParent);

    std::function<void(int)> m_fnStatus;

    // Backup results.
    CString m_strArchive;
    CString m_strRegFile;
    DWORD m_dwExportError;      // CRegFile's first export error, 0 when none
    BOOL m_bUnreadableKeys;     // keys or entries that could not be read are missing
    // Either: the stop flag ended the job early (nothing else is told).
    BOOL m_bStopped;
    // Restore results.
    BOOL m_bRefused;            // the archive failed a check: nothing imported
    BOOL m_bPartial;            // the import stopped short of some lines
    DWORD m_dwImportResult;
    std::vector<CRestoreKey> m_keys;    // the first keys the import writes
    int m_nKeys;                        // all key lines of the file
    CString m_strRefusedLine;           // the text of a refused line
    // Either: the first failure.
    CRestoreFailure m_failure;

    // The most keys Prepare lists one by one.
    enum { ListedKeys = 32 };

    // Whether a .reg file may be imported as a full backup; strProblem names
    // the first line that may not.
    static BOOL CheckRegFile(const CString& strPath, CString& strProblem);
    // The same with that line's number (0 for a file that is no full backup
    // as a whole) and the key lines: the first ListedKeys of them as they are
    // written, and their count. pbStop ends the check at once (FALSE, line 0).
    static BOOL CheckRegFile(const CString& strPath, CString& strProblem, int& nLine, std::vector<CRestoreKey>& keys,
                             int& nKeys, const std::atomic<bool>* pbStop = nullptr);
    static BOOL IsFullBackupEntryName(const CString& strName);

protected:
    // Seams of the tests: the file the export goes to, what it exports.
    virtual HANDLE OpenRegFile(const CString& strPath);
    virtual DWORD ExportRegistry(CRegFile& regFile);

private:
    void Report(int nStatus);
    BOOL VerifyArchive(const CString& strEntryName, ULONGLONG nRegSize);
    // A stamp for which neither this backup's archive nor its .reg exists.
    CString NewBackupStamp(const CString& strBase);
    // Ends a stopped backup: only this run's own two files go.
    BOOL EndStoppedBackup();
    BOOL EndStoppedRestore();

    std::unique_ptr<CRestoreWorkFolder> m_pWork;
    CString m_strPreparedFile;
    CString m_strEntryName;
    const std::atomic<bool>* m_pbStop = nullptr;
};
