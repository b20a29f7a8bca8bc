#pragma once
// The work of a full registry backup and of its restore, apart from any
// window: export HKEY_LOCAL_MACHINE and HKEY_USERS into FullBackup<stamp>.reg,
// pack it into FullBackup<stamp>.zip and read the archive back; or check such
// an archive and import it. Runs on a worker thread; reports its steps
// through a callback.
#include "framework/Afx.h"
#include "repair/AutoBackupRestore.h"

#include <functional>

class CRegFile;

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
        StatusCount
    };
    static LPCWSTR GetStatusKey(int nStatus);

    CFullBackupJob();
    virtual ~CFullBackupJob() {}

    // Writes a new archive into strFolder (created when missing). TRUE when
    // every write succeeded and the archive read back with its checksum; only
    // then is the loose .reg deleted. A failed backup keeps the .reg and
    // leaves no archive.
    BOOL Backup(const CString& strFolder);
    // Imports a full backup: exactly one entry "FullBackup<14 digits>.reg"
    // that reads back with its checksum and holds nothing but keys of
    // HKEY_LOCAL_MACHINE and HKEY_USERS; otherwise nothing is imported.
    BOOL Restore(const CString& strArchive, const CString& strWorkParent);

    std::function<void(int)> m_fnStatus;

    // Backup results.
    CString m_strArchive;
    CString m_strRegFile;
    DWORD m_dwExportError;      // CRegFile's first export error, 0 when none
    BOOL m_bUnreadableKeys;     // keys or entries that could not be read are missing
    // Restore results.
    BOOL m_bRefused;            // the archive failed a check: nothing imported
    BOOL m_bPartial;            // the import stopped short of some lines
    DWORD m_dwImportResult;
    // Either: the first failure.
    CRestoreFailure m_failure;

    // Whether a .reg file may be imported as a full backup; strProblem names
    // the first line that may not.
    static BOOL CheckRegFile(const CString& strPath, CString& strProblem);
    static BOOL IsFullBackupEntryName(const CString& strName);

protected:
    // Seams of the tests: the file the export goes to, what it exports.
    virtual HANDLE OpenRegFile(const CString& strPath);
    virtual DWORD ExportRegistry(CRegFile& regFile);

private:
    void Report(int nStatus);
    BOOL VerifyArchive(const CString& strEntryName, ULONGLONG nRegSize);
};
