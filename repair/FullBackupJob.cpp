#include "repair/FullBackupJob.h"
#include "repair/BackupStamp.h"
#include "repair/RestoreWorkFolder.h"
#include "services/RegFile.h"
#include "services/RegKeyTarget.h"
#include "services/ZipReader.h"
#include "services/ZipWriter.h"

#include <shlwapi.h>
#include <algorithm>
#include <vector>

namespace {
const LPCWSTR s_pszStatusKeys[CFullBackupJob::StatusCount] = {
    L"M_FULLBACKUP_EXPORT", L"M_FULLBACKUP_EXPORT_FINISH", L"M_FULLBACKUP_ZIP", L"M_FULLBACKUP_ZIP_FINISH",
    L"M_FULLBACKUP_FINISH", L"M_FULLBACKUP_STEP_FAILED", L"M_FULLBACKUP_IMPORT", L"M_FULLBACKUP_IMPORT_FINISH",
    L"M_FULLBACKUP_STEP_PARTIAL", L"M_FULLBACKUP_STEP_REFUSED", L"M_FULLBACKUP_CHECK"};
} // namespace

LPCWSTR CFullBackupJob::GetStatusKey(int nStatus)
{
    return nStatus >= 0 && nStatus < StatusCount ? s_pszStatusKeys[nStatus] : L"";
}

CFullBackupJob::CFullBackupJob()
    : m_dwExportError(0), m_bUnreadableKeys(FALSE), m_bStopped(FALSE), m_bRefused(FALSE), m_bPartial(FALSE),
      m_dwImportResult(0), m_nKeys(0)
{
}

CFullBackupJob::~CFullBackupJob()
{
}

void CFullBackupJob::Report(int nStatus)
{
    if (m_fnStatus)
        m_fnStatus(nStatus);
}

HANDLE CFullBackupJob::OpenRegFile(const CString& strPath)
{
    // Never over a file that is there: a stopped backup deletes what it made.
    return ::CreateFileW(strPath, GENERIC_WRITE, 0, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL);
}

DWORD CFullBackupJob::ExportRegistry(CRegFile& regFile)
{
    return regFile.ExportKey(CString());
}

CString CFullBackupJob::NewBackupStamp(const CString& strBase)
{
    // As UniqueBackupStamp, but for both files (a failed backup keeps its
    // .reg), and the wait for the next second sees the stop flag.
    for (int nTry = 0; nTry < 40 && !IsStopped(); nTry++)
    {
        CString strStamp = CurrentBackupStamp();
        BOOL bFree = TRUE;
        for (LPCWSTR pszExtension : {L".zip", L".reg"})
        {
            if (::GetFileAttributesW(strBase + L"FullBackup" + strStamp + pszExtension) != INVALID_FILE_ATTRIBUTES ||
                ::GetLastError() != ERROR_FILE_NOT_FOUND)
                bFree = FALSE;
        }
        if (bFree)
            return strStamp;
        ::Sleep(100);
    }
    return CString();
}

BOOL CFullBackupJob::EndStoppedBackup()
{
    // Both names carry this run's new stamp, so no earlier backup is among
    // them; two deletes are bounded.
    if (!m_strArchive.IsEmpty())
        ::DeleteFileW(m_strArchive);
    if (!m_strRegFile.IsEmpty())
        ::DeleteFileW(m_strRegFile);
    m_bStopped = TRUE;
    return FALSE;
}

BOOL CFullBackupJob::Backup(const CString& strFolder)
{
    m_failure = CRestoreFailure();
    m_dwExportError = 0;
    m_bUnreadableKeys = FALSE;
    m_bStopped = FALSE;
    // Emptied first: a stop must never delete the files of an earlier run.
    m_strArchive.Empty();
    m_strRegFile.Empty();
    Report(StatusExport);

    CString strBase = strFolder;
    if (!strBase.IsEmpty() && strBase[strBase.GetLength() - 1] != L'\\')
        strBase += L"\\";
    if (!::PathIsDirectoryW(strBase) && !::CreateDirectoryW(strBase, NULL))
    {
        m_failure.Note(L"M_RESTORE_ERR_WORKFOLDER", strBase, ::GetLastError());
        Report(StatusFailed);
        return FALSE;
    }
    // A backup of the same second must not replace the earlier one.
    CString strStamp = NewBackupStamp(strBase);
    if (strStamp.IsEmpty() && IsStopped())
        return EndStoppedBackup();
    if (strStamp.IsEmpty())
    {
        m_failure.Note(L"M_FULLBACKUP_ERR_WRITE", strBase, ERROR_FILE_EXISTS);
        Report(StatusFailed);
        return FALSE;
    }
    CString strEntry = L"FullBackup" + strStamp + L".reg";
    m_strRegFile = strBase + strEntry;
    m_strArchive = strBase + L"FullBackup" + strStamp + L".zip";

    HANDLE hFile = OpenRegFile(m_strRegFile);
    if (hFile == INVALID_HANDLE_VALUE)
    {
        m_failure.Note(L"M_FULLBACKUP_ERR_WRITE", m_strRegFile, ::GetLastError());
        Report(StatusFailed);
        return FALSE;
    }
    DWORD dwWritten = 0;
    BOOL bWritten = ::WriteFile(hFile, "\xFF\xFE", 2, &dwWritten, NULL) && dwWritten == 2;
    DWORD dwWriteError = bWritten ? 0 : ::GetLastError();
    DWORD dwExport = ERROR_SUCCESS;
    if (bWritten)
    {
        CRegFile regFile;
        regFile.SetStopFlag(m_pbStop);
        regFile.m_hFile = hFile;
        regFile.m_nCount = 0;
        regFile.m_nColumn = 0;
        regFile.PutString(L"Windows Registry Editor Version");
        regFile.PutString(L" ");
        regFile.PutString(L"5.00");
        regFile.PutString(L"\n\n");
        dwExport = ExportRegistry(regFile);
        if (!regFile.Flush())
            dwExport = CRegFile::ExportWriteFailed;
        m_dwExportError = regFile.GetExportError() != 0 ? regFile.GetExportError() : dwExport;
    }
    if (!::CloseHandle(hFile) && bWritten)
    {
        bWritten = FALSE;
        dwWriteError = ::GetLastError();
    }
    // A stopped export is no backup: nothing of this run stays.
    if (IsStopped())
        return EndStoppedBackup();
    if (m_dwExportError == CRegFile::ExportWriteFailed || dwExport == ERROR_INVALID_HANDLE)
        bWritten = FALSE;
    // Keys or entries that could not be read are missing from the file, which
    // is still whole: told to the user, not a failure.
    m_bUnreadableKeys = bWritten && m_dwExportError != 0;
    if (!bWritten)
    {
        m_failure.Note(L"M_FULLBACKUP_ERR_WRITE", m_strRegFile, dwWriteError ? dwWriteError : m_dwExportError);
        Report(StatusFailed);
        return FALSE;
    }
    Report(StatusExportFinished);

    Report(StatusZip);
    WIN32_FILE_ATTRIBUTE_DATA data = {};
    ::GetFileAttributesExW(m_strRegFile, GetFileExInfoStandard, &data);
    ULONGLONG nRegSize = ((ULONGLONG)data.nFileSizeHigh << 32) | data.nFileSizeLow;
    ZipHandle hZip = CreateZipArchive((LPCWSTR)m_strArchive, 0, ZipKindFile);
    ZipResult zrAdd = ZipErrArgs, zrClose = ZipErrArgs;
    if (hZip != NULL)
    {
        SetZipWriterStopFlag(hZip, m_pbStop);
        zrAdd = AddToZipArchive(hZip, strEntry, (LPCWSTR)m_strRegFile, 0, ZipKindFile);
        zrClose = CloseZipWriter(hZip);
    }
    BOOL bVerified = zrAdd == ZipOk && zrClose == ZipOk && !IsStopped() && VerifyArchive(strEntry, nRegSize);
    // Stopped while packing or reading back: an archive not read back whole
    // is no backup either.
    if (!bVerified && IsStopped())
        return EndStoppedBackup();
    if (!bVerified)
    {
        m_failure.Note(L"M_FULLBACKUP_ERR_ZIP", m_strArchive, zrAdd != ZipOk ? zrAdd : zrClose);
        // A half archive is no backup; the .reg stays.
        ::DeleteFileW(m_strArchive);
        Report(StatusFailed);
        return FALSE;
    }
    ::DeleteFileW(m_strRegFile);
    Report(StatusZipFinished);
    Report(StatusFinished);
    return TRUE;
}

BOOL CFullBackupJob::VerifyArchive(const CString& strEntryName, ULONGLONG nRegSize)
{
    ZipHandle hZip = OpenZipArchive((LPCWSTR)m_strArchive, 0, ZipKindFile);
    if (hZip == NULL)
        return FALSE;
    SetZipReaderStopFlag(hZip, m_pbStop);
    ZipArchiveEntry entry = {};
    BOOL bOk = GetZipArchiveItem(hZip, -1, &entry) == ZipOk && entry.m_nIndex == 1 &&
               GetZipArchiveItem(hZip, 0, &entry) == ZipOk && strEntryName == entry.m_szName &&
               entry.m_dwUncompressedSize == (DWORD)nRegSize && nRegSize < 0xFFFFFFFFull;
    if (bOk)
    {
        // Inflating the whole item checks its size and CRC.
        std::vector<BYTE> buffer(1 << 16);
        ZipResult zr;
        do
            zr = ExtractZipArchiveItem(hZip, 0, buffer.data(), (DWORD)buffer.size(), ZipKindMemory);
        while (zr == ZipMore);
        bOk = zr == ZipOk;
    }
    CloseZipReader(hZip);
    return bOk;
}

BOOL CFullBackupJob::IsFullBackupEntryName(const CString& strName)
{
    if (strName.GetLength() != 28 || strName.Left(10).CompareNoCase(L"FullBackup") != 0 ||
        strName.Right(4).CompareNoCase(L".reg") != 0)
        return FALSE;
    for (int i = 10; i < 24; i++)
    {
        if (strName[i] < L'0' || strName[i] > L'9')
            return FALSE;
    }
    return TRUE;
}

BOOL CFullBackupJob::CheckRegFile(const CString& strPath, CString& strProblem)
{
    int nLine = 0, nKeys = 0;
    std::vector<CRestoreKey> keys;
    return CheckRegFile(strPath, strProblem, nLine, keys, nKeys);
}

BOOL CFullBackupJob::CheckRegFile(const CString& strPath, CString& strProblem, int& nLine,
                                  std::vector<CRestoreKey>& keys, int& nKeys, const std::atomic<bool>* pbStop)
{
    strProblem.Empty();
    nLine = 0;
    keys.clear();
    nKeys = 0;
    CStringArray arrListed;
    // The two hives of a full backup, with their values; never a deletion.
    RegKeyRule rule = [&arrListed, &nKeys](const CString& strKeyPath) {
        for (LPCWSTR pszHive : {L"HKEY_LOCAL_MACHINE", L"HKEY_USERS"})
        {
            int nLength = lstrlenW(pszHive);
            if (strKeyPath.Left(nLength).CompareNoCase(pszHive) == 0 &&
                (strKeyPath.GetLength() == nLength || strKeyPath[nLength] == L'\\'))
            {
                if (nKeys++ < ListedKeys)
                    arrListed.Add(strKeyPath);
                return (int)RegKeyWithValues;
            }
        }
        return (int)RegKeyRefused;
    };
    CRegFile regFile;
    regFile.SetStopFlag(pbStop);
    if (regFile.CheckFile(strPath, rule, nLine) != ERROR_SUCCESS)
    {
        nKeys = 0;
        if (regFile.WasStopped())
        {
            nLine = 0;
            return FALSE;
        }
        strProblem = ReadRegFileLine(strPath, nLine, pbStop);
        // A header that is none: the file as a whole is no full backup.
        if (nLine <= 1)
            nLine = 0;
        return FALSE;
    }
    // A full backup is only ever written in the 5.00 form.
    if (ReadRegFileLine(strPath, 1) != L"Windows Registry Editor Version 5.00")
    {
        nKeys = 0;
        return FALSE;
    }
    // Only the keys named to the user are asked where they really go, in
    // the view the import writes.
    for (INT_PTR i = 0; i < arrListed.GetSize(); i++)
    {
        RegKeyTarget target = ResolveRegKeyTarget(arrListed[i], WholeRegistryView());
        CRestoreKey key;
        key.m_strPath = target.m_strPath;
        key.m_samView = target.m_samView;
        keys.push_back(key);
    }
    return TRUE;
}

BOOL CFullBackupJob::Restore(const CString& strArchive, const CString& strWorkParent)
{
    return Prepare(strArchive, strWorkParent) && Import();
}

void CFullBackupJob::Discard()
{
    m_pWork.reset();
    m_strPreparedFile.Empty();
}

BOOL CFullBackupJob::EndStoppedRestore()
{
    m_bStopped = TRUE;
    m_keys.clear();
    m_nKeys = 0;
    // The work folder holds one file at most: its delete is bounded.
    Discard();
    return FALSE;
}

BOOL CFullBackupJob::Prepare(const CString& strArchive, const CString& strWorkParent)
{
    Discard();
    m_failure = CRestoreFailure();
    m_bStopped = FALSE;
    m_bRefused = FALSE;
    m_bPartial = FALSE;
    m_dwImportResult = 0;
    m_keys.clear();
    m_nKeys = 0;
    m_strRefusedLine.Empty();
    m_strEntryName.Empty();
    Report(StatusCheck);
    if (!::PathFileExistsW(strArchive))
    {
        m_failure.Note(L"M_RESTORE_ERR_ARCHIVE", strArchive, ERROR_FILE_NOT_FOUND);
        m_bRefused = TRUE;
        Report(StatusRefused);
        return FALSE;
    }
    m_pWork.reset(new CRestoreWorkFolder);
    CRestoreWorkFolder& work = *m_pWork;
    // What stopped restores left is cleared with the stop flag in view; this
    // folder's own one file goes even after a stop, one delete being bounded.
    work.SetStopFlag(m_pbStop);
    BOOL bCreated = work.Create(strWorkParent);
    work.SetStopFlag(nullptr);
    if (!bCreated && IsStopped())
        return EndStoppedRestore();
    if (!bCreated)
    {
        m_failure.Note(L"M_RESTORE_ERR_WORKFOLDER", strWorkParent, ::GetLastError());
        m_bRefused = TRUE;
        m_pWork.reset();
        Report(StatusRefused);
        return FALSE;
    }

    CString strTarget = work.GetPath() + L"0.reg";
    ZipHandle hZip = OpenZipArchive((LPCWSTR)strArchive, 0, ZipKindFile);
    ZipArchiveEntry entry = {};
    if (hZip == NULL || GetZipArchiveItem(hZip, -1, &entry) != ZipOk)
        m_failure.Note(L"M_RESTORE_ERR_ARCHIVE", strArchive);
    else if (entry.m_nIndex != 1 || GetZipArchiveItem(hZip, 0, &entry) != ZipOk ||
             !IsFullBackupEntryName(entry.m_szName))
        m_failure.Note(L"M_FULLBACKUP_ERR_NOTFULL", strArchive);
    else
    {
        // A stopped extraction removes its partial file itself.
        SetZipReaderStopFlag(hZip, m_pbStop);
        ZipResult zr = ExtractZipArchiveItem(hZip, 0, (LPCWSTR)strTarget, 0, ZipKindFile);
        if (zr != ZipOk)
            m_failure.Note(L"M_RESTORE_ERR_ENTRY", CString(entry.m_szName), zr);
    }
    if (hZip != NULL)
        CloseZipReader(hZip);
    if (IsStopped())
        return EndStoppedRestore();

    if (!m_failure.IsSet())
    {
        m_strEntryName = entry.m_szName;
        CString strProblem;
        int nLine = 0;
        if (!CheckRegFile(strTarget, strProblem, nLine, m_keys, m_nKeys, m_pbStop))
        {
            // A stopped check wrote nothing and refuses nothing.
            if (IsStopped())
                return EndStoppedRestore();
            if (nLine > 0)
            {
                // The line the user can look up in the file of that name.
                m_failure.Note(L"M_FULLBACKUP_ERR_LINE", m_strEntryName, (DWORD)nLine);
                m_strRefusedLine = strProblem;
            }
            else
                m_failure.Note(L"M_FULLBACKUP_ERR_NOTFULL", m_strEntryName);
        }
    }
    if (m_failure.IsSet())
    {
        m_bRefused = TRUE;
        m_keys.clear();
        m_nKeys = 0;
        Discard();
        Report(StatusRefused);
        return FALSE;
    }
    m_strPreparedFile = strTarget;
    return TRUE;
}

BOOL CFullBackupJob::Import()
{
    if (!m_pWork)
        return FALSE;
    Report(StatusImport);
    m_bStopped = FALSE;
    CRegFile regFile;
    // A stop ends the import at the next key line, never within a key: the
    // registry holds each key of the file whole or as it was.
    regFile.SetStopFlag(m_pbStop);
    // Written as the whole registry's view shows it: a key under Wow6432Node
    // goes back into the 32-bit view, every other one into the view it came
    // from, whatever view this process reads.
    m_dwImportResult = regFile.ImportFile(m_strPreparedFile, WholeRegistryView());
    m_bStopped = regFile.WasStopped();
    CString strWork = m_pWork->GetPath();
    BOOL bRemoved = m_pWork->Remove();
    DWORD dwRemoveError = bRemoved ? 0 : ::GetLastError();
    Discard();
    if (m_dwImportResult != ERROR_SUCCESS)
    {
        m_bPartial = TRUE;
        m_failure.Note(L"M_RESTORE_ERR_IMPORT", m_strEntryName, m_dwImportResult);
        Report(StatusImportPartial);
        return FALSE;
    }
    if (!bRemoved)
        m_failure.Note(L"M_RESTORE_ERR_CLEANUP", strWork, dwRemoveError);
    Report(StatusImportFinished);
    return !m_failure.IsSet();
}
