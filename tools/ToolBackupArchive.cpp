#include "tools/ToolBackupArchive.h"
#include "tools/ToolEntries.h"
#include "services/DiskObject.h"
#include "services/RegFile.h"
#include "services/ScopedHandle.h"
#include "services/ZipReader.h"
#include "services/ZipWriter.h"

#include <set>
#include <vector>

namespace {

BOOL FileExists(const CString& strPath)
{
    DWORD dwAttributes = GetFileAttributesW(strPath);
    return dwAttributes != INVALID_FILE_ATTRIBUTES && !(dwAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

BOOL FolderExists(const CString& strPath)
{
    DWORD dwAttributes = GetFileAttributesW(strPath);
    return dwAttributes != INVALID_FILE_ATTRIBUTES && (dwAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

CString BareName(const CString& strPath)
{
    return strPath.Mid(strPath.ReverseFind(L'\\') + 1);
}

BOOL ReadWholeFile(const CString& strPath, std::vector<BYTE>& bytes)
{
    bytes.clear();
    HANDLE hFile = CreateFileW(strPath, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (hFile == INVALID_HANDLE_VALUE)
        return FALSE;
    LARGE_INTEGER size = {};
    BOOL bOk = GetFileSizeEx(hFile, &size) && size.QuadPart < 256 * 1024 * 1024;
    if (bOk)
    {
        bytes.resize((size_t)size.QuadPart);
        DWORD dwRead = 0;
        bOk = bytes.empty() || (ReadFile(hFile, bytes.data(), (DWORD)bytes.size(), &dwRead, NULL) && dwRead == bytes.size());
    }
    CloseHandle(hFile);
    return bOk;
}

} // namespace

CToolBackupArchive::CToolBackupArchive(ToolBackupKind nKind, const CString& strAppDir, CStringArray& arrPaths)
    : m_nKind(nKind), m_strAppDir(strAppDir), m_arrPaths(arrPaths)
{
}

CString CToolBackupArchive::GetEntryPrefix() const
{
    return m_nKind == ToolBackupBho ? CString(L"BHO") : CString(L"Startup");
}

CString CToolBackupArchive::GetArchivePath() const
{
    return m_strAppDir + L"Utilities\\" + GetEntryPrefix() + L".dat";
}

CString CToolBackupArchive::GetWorkFolder() const
{
    return m_strAppDir + L"Utilities\\" + GetEntryPrefix() + L"\\";
}

int CToolBackupArchive::NumberOfName(const CString& strPrefix, const CString& strName)
{
    int nPrefix = strPrefix.GetLength();
    int nDigits = strName.GetLength() - nPrefix - 4;
    if (nDigits < 1 || nDigits > 9)
        return -1;
    if (strName.Left(nPrefix).CompareNoCase(strPrefix) != 0 || strName.Right(4).CompareNoCase(L".reg") != 0)
        return -1;
    CString strNumber = strName.Mid(nPrefix, nDigits);
    if (nDigits > 1 && strNumber[0] == L'0')
        return -1;
    int nNumber = 0;
    for (int i = 0; i < nDigits; ++i)
    {
        if (strNumber[i] < L'0' || strNumber[i] > L'9')
            return -1;
        nNumber = nNumber * 10 + (strNumber[i] - L'0');
    }
    return nNumber;
}

int CToolBackupArchive::NextNumber() const
{
    int nHighest = -1;
    for (const CString& strPath : m_arrPaths)
    {
        int nNumber = NumberOfName(GetEntryPrefix(), BareName(strPath));
        if (nNumber > nHighest)
            nHighest = nNumber;
    }
    return nHighest + 1;
}

void CToolBackupArchive::DeleteWorkFolder()
{
    CString strFolder = GetWorkFolder();
    strFolder.TrimRight(L'\\');
    if (FolderExists(strFolder))
        CDiskObject().RemoveDirectoryTree(strFolder);
}

BOOL CToolBackupArchive::CreateWorkFolder()
{
    CreateDirectoryW(m_strAppDir + L"Utilities", NULL);
    DeleteWorkFolder();
    CString strFolder = GetWorkFolder();
    strFolder.TrimRight(L'\\');
    return CreateDirectoryW(strFolder, NULL) || FolderExists(strFolder);
}

BOOL CToolBackupArchive::SetAside()
{
    // A new name each time: an earlier damaged archive is never overwritten.
    CString strArchive = GetArchivePath();
    for (int i = 0; i < 1000; ++i)
    {
        CString strTarget = strArchive + L".damaged";
        if (i > 0)
            strTarget.AppendFormat(L"%d", i);
        if (MoveFileExW(strArchive, strTarget, MOVEFILE_WRITE_THROUGH))
        {
            m_strSetAside = strTarget;
            return TRUE;
        }
        DWORD dwError = ::GetLastError();
        if (dwError != ERROR_ALREADY_EXISTS && dwError != ERROR_FILE_EXISTS)
            break;
    }
    m_strSetAside.Empty();
    return FALSE;
}

CToolBackupArchive::LoadResult CToolBackupArchive::Load(const std::atomic<bool>* pbStop)
{
    m_strSetAside.Empty();
    m_arrTooLarge.RemoveAll();
    CString strArchive = GetArchivePath();
    if (GetFileAttributesW(strArchive) == INVALID_FILE_ATTRIBUTES)
        return LoadNoArchive;
    m_arrPaths.RemoveAll();
    if (!CreateWorkFolder())
        return LoadFailed;

    BOOL bOk = FALSE;
    ZipHandle hZip = OpenZipArchive((LPCWSTR)strArchive, 0, ZipKindFile);
    if (hZip != NULL)
    {
        ZipArchiveEntry entry = {};
        bOk = GetZipArchiveItem(hZip, -1, &entry) == ZipOk && entry.m_nIndex >= 0;
        int nCount = bOk ? entry.m_nIndex : 0;
        std::vector<CString> names;
        int nHighest = -1;
        for (int i = 0; bOk && i < nCount; ++i)
        {
            bOk = GetZipArchiveItem(hZip, i, &entry) == ZipOk;
            names.push_back(CString(entry.m_szName));
            nHighest = std::max(nHighest, NumberOfName(GetEntryPrefix(), names.back()));
        }
        // A name met twice (or not of our form) gets a fresh number, so both
        // entries survive the next rebuild.
        std::set<std::wstring> used;
        for (int i = 0; bOk && i < nCount; ++i)
        {
            CString strName = names[i];
            CString strLower = strName;
            strLower.MakeLower();
            if (NumberOfName(GetEntryPrefix(), strName) < 0 || used.count(strLower.Str()) > 0)
            {
                strName.Format(L"%s%d.reg", (LPCWSTR)GetEntryPrefix(), ++nHighest);
                strLower = strName;
                strLower.MakeLower();
            }
            used.insert(strLower.Str());
            if (pbStop != NULL && pbStop->load())
            {
                CloseZipReader(hZip);
                m_arrPaths.RemoveAll();
                DeleteWorkFolder();
                return LoadFailed;
            }
            // A small archive must not fill the disk: such an entry is no backup of ours.
            if (GetZipArchiveItem(hZip, i, &entry) == ZipOk && entry.m_dwUncompressedSize > TOOL_BACKUP_MAX_ENTRY_BYTES)
            {
                m_arrTooLarge.Add(names[i]);
                continue;
            }
            CString strTarget = GetWorkFolder() + strName;
            bOk = ExtractZipArchiveItem(hZip, i, (LPCWSTR)strTarget, 0, ZipKindFile) == ZipOk;
            if (bOk)
                m_arrPaths.Add(strTarget);
        }
        CloseZipReader(hZip);
    }
    if (bOk)
        return LoadOk;

    m_arrPaths.RemoveAll();
    DeleteWorkFolder();
    return SetAside() ? LoadSetAside : LoadFailed;
}

HANDLE CToolBackupArchive::CreateBackupFile(CString& strFile)
{
    // Never over an existing backup: the next number up is taken instead.
    int nNumber = NextNumber();
    for (int nTry = 0; nTry < 10000; ++nTry, ++nNumber)
    {
        strFile.Format(L"%s%s%d.reg", (LPCWSTR)GetWorkFolder(), (LPCWSTR)GetEntryPrefix(), nNumber);
        HANDLE hFile = CreateFileW(strFile, GENERIC_WRITE, 0, NULL, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, NULL);
        if (hFile != INVALID_HANDLE_VALUE)
            return hFile;
        DWORD dwError = ::GetLastError();
        if (dwError != ERROR_FILE_EXISTS && dwError != ERROR_ALREADY_EXISTS)
            break;
    }
    strFile.Empty();
    return INVALID_HANDLE_VALUE;
}

int CToolBackupArchive::WriteBackup(const CRegProblem& record, CString& strFile)
{
    strFile.Empty();
    HKEY hRoot = NULL;
    if (!GetRecordRoot(record, &hRoot))
        return FileExists(record.m_strKeyPath) ? BackupNotNeeded : BackupRefused;

    if (m_nKind == ToolBackupStartup)
    {
        if (!IsRunKeyPath(record.m_strKeyPath) || record.m_strValueName.IsEmpty())
            return BackupRefused;
        CRegKeyHandle key;
        if (RegOpenKeyExW(hRoot, record.m_strKey, 0, KEY_QUERY_VALUE, key.Receive()) != ERROR_SUCCESS)
            return BackupGone;
        if (RegQueryValueExW(key, record.m_strValueName, NULL, NULL, NULL, NULL) == ERROR_FILE_NOT_FOUND)
            return BackupGone;
    }
    else
    {
        if (BhoSubKeyOfRecord(record).IsEmpty())
            return BackupRefused;
        CRegKeyHandle key;
        if (RegOpenKeyExW(hRoot, record.m_strKey, 0, KEY_READ, key.Receive()) == ERROR_FILE_NOT_FOUND)
            return BackupGone;
    }

    HANDLE hFile = CreateBackupFile(strFile);
    if (hFile == INVALID_HANDLE_VALUE)
        return BackupFailed;
    static const BYTE kMark[2] = { 0xFF, 0xFE };
    DWORD dwWritten = 0;
    BOOL bOk = WriteFile(hFile, kMark, 2, &dwWritten, NULL) && dwWritten == 2;
    DWORD dwExport = 0;
    {
        CRegFile regFile;
        regFile.m_hFile = hFile;
        regFile.m_nCount = 0;
        regFile.m_nColumn = 0;
        regFile.PutString(L"Windows Registry Editor Version");
        regFile.PutString(L" ");
        regFile.PutString(L"5.00");
        regFile.PutChar(L'\n');
        regFile.PutChar(L'\n');
        if (m_nKind == ToolBackupStartup)
            dwExport = regFile.ExportValue(record.m_strKeyPath, record.m_strValueName);
        else
            dwExport = regFile.ExportKey(record.m_strKeyPath);
        bOk = bOk && dwExport == 0 && regFile.Flush() && regFile.GetExportError() == 0;
    }
    bOk = FlushFileBuffers(hFile) && bOk;
    CloseHandle(hFile);
    if (bOk)
        return BackupSaved;
    DeleteFileW(strFile);
    strFile.Empty();
    return dwExport == ERROR_FILE_NOT_FOUND ? BackupGone : BackupFailed;
}

BOOL CToolBackupArchive::VerifyArchive(const CString& strArchive, const CStringArray& arrFiles)
{
    ZipHandle hZip = OpenZipArchive((LPCWSTR)strArchive, 0, ZipKindFile);
    if (hZip == NULL)
        return FALSE;
    ZipArchiveEntry entry = {};
    BOOL bOk = GetZipArchiveItem(hZip, -1, &entry) == ZipOk && entry.m_nIndex == arrFiles.GetSize();
    std::vector<BYTE> expected, actual;
    for (int i = 0; bOk && i < (int)arrFiles.GetSize(); ++i)
    {
        bOk = GetZipArchiveItem(hZip, i, &entry) == ZipOk && BareName(arrFiles[i]) == entry.m_szName
              && ReadWholeFile(arrFiles[i], expected) && entry.m_dwUncompressedSize == expected.size();
        if (bOk && !expected.empty())
        {
            // The reader hands out data with ZipMore and checks the CRC on
            // the call that finds no more.
            actual.assign(expected.size(), 0);
            BYTE extra = 0;
            bOk = ExtractZipArchiveItem(hZip, i, actual.data(), (DWORD)actual.size(), ZipKindMemory) == ZipMore
                  && ExtractZipArchiveItem(hZip, i, &extra, 1, ZipKindMemory) == ZipOk && actual == expected;
        }
    }
    CloseZipReader(hZip);
    return bOk;
}

BOOL CToolBackupArchive::Rebuild(const CStringArray& arrFiles)
{
    CString strArchive = GetArchivePath();
    CString strTemp = strArchive + L".tmp";
    if (FileExists(strTemp))
        DeleteFileW(strTemp);
    ZipHandle hZip = CreateZipArchive((LPCWSTR)strTemp, 0, ZipKindFile);
    if (hZip == NULL)
        return FALSE;
    BOOL bOk = TRUE;
    for (const CString& strFile : arrFiles)
    {
        if (AddToZipArchive(hZip, BareName(strFile), (LPCWSTR)strFile, 0, ZipKindFile) != ZipOk)
            bOk = FALSE;
    }
    if (CloseZipWriter(hZip) != ZipOk)
        bOk = FALSE;
    bOk = bOk && VerifyArchive(strTemp, arrFiles);
    bOk = bOk && MoveFileExW(strTemp, strArchive, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!bOk && FileExists(strTemp))
        DeleteFileW(strTemp);
    return bOk;
}

BOOL CToolBackupArchive::BackupRecords(const CArray<CRegProblem>& arrRecords, CArray<int>& arrOutcome)
{
    arrOutcome.RemoveAll();
    if (!FolderExists(GetWorkFolder()))
        CreateWorkFolder();
    if (Load() == LoadFailed)
    {
        // The archive stays as it is, and so does every entry.
        for (INT_PTR i = 0; i < arrRecords.GetSize(); ++i)
        {
            const CRegProblem& record = arrRecords[i];
            arrOutcome.Add(GetRecordRoot(record, NULL) ? BackupFailed
                           : FileExists(record.m_strKeyPath) ? BackupNotNeeded : BackupRefused);
        }
        return FALSE;
    }

    std::vector<int> written;
    CStringArray arrNewFiles;
    for (INT_PTR i = 0; i < arrRecords.GetSize(); ++i)
    {
        CString strFile;
        int nOutcome = WriteBackup(arrRecords[i], strFile);
        arrOutcome.Add(nOutcome);
        if (nOutcome == BackupSaved)
        {
            m_arrPaths.Add(strFile);
            arrNewFiles.Add(strFile);
            written.push_back((int)i);
        }
    }
    if (written.empty())
        return TRUE;

    CStringArray arrFiles;
    for (const CString& strPath : m_arrPaths)
    {
        if (FileExists(strPath))
            arrFiles.Add(strPath);
    }
    if (!Rebuild(arrFiles))
    {
        // The entries stay where they are; their new files go again.
        for (int i : written)
            arrOutcome[i] = BackupFailed;
        for (const CString& strFile : arrNewFiles)
        {
            DeleteFileW(strFile);
            for (INT_PTR j = m_arrPaths.GetSize() - 1; j >= 0; --j)
            {
                if (m_arrPaths[j] == strFile)
                    m_arrPaths.RemoveAt(j);
            }
        }
        return FALSE;
    }
    for (const CString& strFile : arrFiles)
        DeleteFileW(strFile);
    return TRUE;
}

BOOL CToolBackupArchive::Restore(const CArray<int>& arrIndexes, const CStringArray& arrClsids, CArray<int>& arrOutcome)
{
    // Without a list, a startup row shows what its own file holds.
    std::vector<CToolBackupRow> rows;
    for (INT_PTR k = 0; k < arrIndexes.GetSize(); ++k)
    {
        CToolBackupRow row;
        row.m_nEntry = arrIndexes[k];
        if (k < arrClsids.GetSize())
            row.m_strClsid = arrClsids[k];
        if (m_nKind == ToolBackupStartup && row.m_nEntry >= 0 && row.m_nEntry < (int)m_arrPaths.GetSize())
            ReadStartupBackupEntry(m_arrPaths[row.m_nEntry], row.m_strText1, row.m_strText2);
        rows.push_back(row);
    }
    return Restore(rows, arrOutcome);
}

BOOL CToolBackupArchive::Restore(const std::vector<CToolBackupRow>& rows, CArray<int>& arrOutcome)
{
    arrOutcome.RemoveAll();
    std::set<int> restored;
    for (const CToolBackupRow& row : rows)
    {
        int nIndex = row.m_nEntry;
        if (nIndex < 0 || nIndex >= (int)m_arrPaths.GetSize() || !FileExists(m_arrPaths[nIndex]))
        {
            arrOutcome.Add(RestoreFailed);
            continue;
        }
        const CString& strFile = m_arrPaths[nIndex];
        BOOL bAllowed = m_nKind == ToolBackupStartup ? CheckStartupBackup(strFile, row.m_strText1, row.m_strText2)
                                                     : CheckBhoBackup(strFile, row.m_strClsid);
        if (!bAllowed)
        {
            arrOutcome.Add(RestoreRefused);
            continue;
        }
        CRegFile regFile;
        if (regFile.ImportFile(strFile) != ERROR_SUCCESS)
        {
            arrOutcome.Add(RestoreFailed);
            continue;
        }
        arrOutcome.Add(RestoreDone);
        restored.insert(nIndex);
    }

    // Nothing imported: the archive already holds what it should.
    if (restored.empty())
        return TRUE;
    CStringArray arrKeep;
    for (INT_PTR i = 0; i < m_arrPaths.GetSize(); ++i)
    {
        if (restored.count((int)i) == 0 && FileExists(m_arrPaths[i]))
            arrKeep.Add(m_arrPaths[i]);
    }
    CreateDirectoryW(m_strAppDir + L"Utilities", NULL);
    if (!Rebuild(arrKeep))
    {
        for (INT_PTR k = 0; k < arrOutcome.GetSize(); ++k)
        {
            if (arrOutcome[k] == RestoreDone)
                arrOutcome[k] = RestoreNotSaved;
        }
        return FALSE;
    }
    DeleteWorkFolder();
    return TRUE;
}
