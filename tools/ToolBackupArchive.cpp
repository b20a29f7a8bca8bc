#include "tools/ToolBackupArchive.h"
#include "tools/ToolEntries.h"
#include "services/DiskObject.h"
#include "services/RegFile.h"
#include "services/RegKeyTarget.h"
#include "services/ScopedHandle.h"
#include "services/ZipReader.h"
#include "services/ZipWriter.h"

#include <algorithm>
#include <set>
#include <zlib.h>
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

// Reads item nItem of an open archive whole; the reader checks its CRC on
// the call that finds no more data.
BOOL ReadZipItem(ZipHandle hZip, int nItem, DWORD dwSize, std::vector<BYTE>& bytes)
{
    bytes.assign(dwSize, 0);
    BYTE extra = 0;
    if (dwSize > 0 && ExtractZipArchiveItem(hZip, nItem, bytes.data(), dwSize, ZipKindMemory) != ZipMore)
        return FALSE;
    return ExtractZipArchiveItem(hZip, nItem, &extra, 1, ZipKindMemory) == ZipOk;
}

BOOL ReadFileBytes(const CString& strPath, std::vector<BYTE>& bytes)
{
    bytes.clear();
    CFileHandle file(CreateFileW(strPath, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL));
    LARGE_INTEGER size = {};
    if (!file.IsValid() || !GetFileSizeEx(file, &size) || size.QuadPart > TOOL_BACKUP_MAX_ENTRY_BYTES)
        return FALSE;
    bytes.resize((size_t)size.QuadPart);
    DWORD dwRead = 0;
    return bytes.empty() || (ReadFile(file, bytes.data(), (DWORD)bytes.size(), &dwRead, NULL) && dwRead == bytes.size());
}

DWORD Crc32Of(const std::vector<BYTE>& bytes)
{
    return (DWORD)crc32(crc32(0L, Z_NULL, 0), bytes.data(), (uInt)bytes.size());
}

BOOL ReadAt(HANDLE hFile, LONGLONG llAt, std::vector<BYTE>& bytes)
{
    LARGE_INTEGER at;
    at.QuadPart = llAt;
    DWORD dwRead = 0;
    return SetFilePointerEx(hFile, at, NULL, FILE_BEGIN) &&
           (bytes.empty() || (ReadFile(hFile, bytes.data(), (DWORD)bytes.size(), &dwRead, NULL) && dwRead == bytes.size()));
}

// A stored name that extraction would take out of its folder: a leading
// separator, a drive or stream colon, or a level of two dots or more (and
// spaces). The bytes are ASCII in both name encodings a zip knows.
BOOL IsNameOutside(const BYTE* pName, size_t nLength)
{
    if (nLength == 0 || pName[0] == '/' || pName[0] == '\\')
        return TRUE;
    size_t nDots = 0;
    bool bOnlyDots = true;
    for (size_t i = 0; i <= nLength; ++i)
    {
        if (i == nLength || pName[i] == '/' || pName[i] == '\\')
        {
            if (bOnlyDots && nDots >= 2)
                return TRUE;
            nDots = 0;
            bOnlyDots = true;
            continue;
        }
        if (pName[i] == ':')
            return TRUE;
        if (pName[i] == '.')
            ++nDots;
        else if (pName[i] != ' ')
            bOnlyDots = false;
    }
    return FALSE;
}

// The first entry of a zip archive named outside its folder, as its central
// directory stores it; empty when there is none or the directory does not read.
CString FindNameOutside(const CString& strArchive)
{
    CFileHandle file(CreateFileW(strArchive, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL));
    LARGE_INTEGER size = {};
    if (!file.IsValid() || !GetFileSizeEx(file, &size) || size.QuadPart < 22)
        return CString();
    // The end record: 22 bytes and a comment of up to 65,535.
    LONGLONG llTail = std::min<LONGLONG>(size.QuadPart, 22 + 65535);
    std::vector<BYTE> tail((size_t)llTail);
    if (!ReadAt(file, size.QuadPart - llTail, tail))
        return CString();
    auto dword = [](const BYTE* p) { return (DWORD)p[0] | ((DWORD)p[1] << 8) | ((DWORD)p[2] << 16) | ((DWORD)p[3] << 24); };
    auto word = [](const BYTE* p) { return (size_t)(p[0] | (p[1] << 8)); };
    for (size_t nEnd = tail.size() - 22 + 1; nEnd-- > 0;)
    {
        if (dword(&tail[nEnd]) != 0x06054b50)
            continue;
        DWORD dwSize = dword(&tail[nEnd + 12]);
        LONGLONG llEnd = size.QuadPart - llTail + (LONGLONG)nEnd;
        // Read from where it ends, so data before the archive does not matter.
        if (dwSize > 64u * 1024 * 1024 || (LONGLONG)dwSize > llEnd)
            return CString();
        std::vector<BYTE> central(dwSize);
        if (!ReadAt(file, llEnd - dwSize, central))
            return CString();
        for (size_t nAt = 0; nAt + 46 <= central.size() && dword(&central[nAt]) == 0x02014b50;)
        {
            const BYTE* p = &central[nAt];
            size_t nName = word(p + 28);
            size_t nNext = nAt + 46 + nName + word(p + 30) + word(p + 32);
            if (nAt + 46 + nName > central.size())
                break;
            if (IsNameOutside(p + 46, nName))
            {
                UINT nCodePage = (word(p + 8) & 0x800) ? CP_UTF8 : 437;
                int nChars = MultiByteToWideChar(nCodePage, 0, (LPCSTR)(p + 46), (int)nName, NULL, 0);
                std::wstring strName(nChars > 0 ? nChars : 0, L'\0');
                if (nChars > 0)
                    MultiByteToWideChar(nCodePage, 0, (LPCSTR)(p + 46), (int)nName, &strName[0], nChars);
                return CString(strName.c_str());
            }
            nAt = nNext;
        }
        return CString();
    }
    return CString();
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

namespace {

// The view part of an entry name, before ".reg".
LPCWSTR ViewSuffix(REGSAM samView)
{
    return samView == KEY_WOW64_32KEY ? L"_32" : samView == KEY_WOW64_64KEY ? L"_64" : L"";
}

// strName without ".reg" and without a view part; empty when it does not end in ".reg".
CString NameStem(const CString& strName, REGSAM* psamView = NULL)
{
    REGSAM samView = 0;
    if (strName.GetLength() < 4 || strName.Right(4).CompareNoCase(L".reg") != 0)
        return CString();
    CString strStem = strName.Left(strName.GetLength() - 4);
    for (REGSAM samSuffix : { (REGSAM)KEY_WOW64_32KEY, (REGSAM)KEY_WOW64_64KEY })
    {
        if (strStem.Right(3) == ViewSuffix(samSuffix))
        {
            strStem = strStem.Left(strStem.GetLength() - 3);
            samView = samSuffix;
            break;
        }
    }
    if (psamView != NULL)
        *psamView = samView;
    return strStem;
}

} // namespace

int CToolBackupArchive::NumberOfName(const CString& strPrefix, const CString& strName)
{
    CString strStem = NameStem(strName);
    int nPrefix = strPrefix.GetLength();
    int nDigits = strStem.GetLength() - nPrefix;
    if (nDigits < 1 || nDigits > 9)
        return -1;
    if (strStem.Left(nPrefix).CompareNoCase(strPrefix) != 0)
        return -1;
    CString strNumber = strStem.Mid(nPrefix, nDigits);
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

REGSAM CToolBackupArchive::ViewOfName(const CString& strName)
{
    REGSAM samView = 0;
    NameStem(strName, &samView);
    return samView;
}

REGSAM CToolBackupArchive::GetEntryView(int nEntry) const
{
    return nEntry >= 0 && (size_t)nEntry < m_items.size() ? ViewOfName(m_items[nEntry].m_strName) : 0;
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

CToolBackupArchive::LoadResult CToolBackupArchive::Load(const std::atomic<bool>* pbStop, const ToolEntryVisitor& fnVisit)
{
    m_strSetAside.Empty();
    m_strNameOutside.Empty();
    m_arrTooLarge.RemoveAll();
    m_items.clear();
    CString strArchive = GetArchivePath();
    if (GetFileAttributesW(strArchive) == INVALID_FILE_ATTRIBUTES)
        return LoadNoArchive;
    m_arrPaths.RemoveAll();

    // Every item is read (and its CRC checked) here, one at a time in memory:
    // an archive that does not read whole is set aside now, not at a rebuild.
    BOOL bOk = FALSE;
    ZipHandle hZip = OpenZipArchive((LPCWSTR)strArchive, 0, ZipKindFile);
    if (hZip != NULL)
    {
        ZipArchiveEntry entry = {};
        bOk = GetZipArchiveItem(hZip, -1, &entry) == ZipOk && entry.m_nIndex >= 0;
        int nCount = bOk ? entry.m_nIndex : 0;
        std::vector<CString> names;
        std::vector<DWORD> sizes;
        int nHighest = -1;
        for (int i = 0; bOk && i < nCount; ++i)
        {
            bOk = GetZipArchiveItem(hZip, i, &entry) == ZipOk;
            names.push_back(CString(entry.m_szName));
            sizes.push_back(entry.m_dwUncompressedSize);
            nHighest = std::max(nHighest, NumberOfName(GetEntryPrefix(), names.back()));
        }
        // A name met twice (or not of our form) gets a fresh number, so both
        // entries survive the next rebuild.
        std::set<std::wstring> used;
        std::vector<BYTE> bytes;
        for (int i = 0; bOk && i < nCount; ++i)
        {
            CString strName = names[i];
            CString strLower = strName;
            strLower.MakeLower();
            if (NumberOfName(GetEntryPrefix(), strName) < 0 || used.count(strLower.Str()) > 0)
            {
                // A doubled name keeps its view; a foreign one is of the own view.
                REGSAM samView = NumberOfName(GetEntryPrefix(), strName) < 0 ? 0 : ViewOfName(strName);
                strName.Format(L"%s%d%s.reg", (LPCWSTR)GetEntryPrefix(), ++nHighest, ViewSuffix(samView));
                strLower = strName;
                strLower.MakeLower();
            }
            used.insert(strLower.Str());
            if (pbStop != NULL && pbStop->load())
            {
                CloseZipReader(hZip);
                m_arrPaths.RemoveAll();
                m_items.clear();
                return LoadFailed;
            }
            // A small archive must not fill the memory: such an entry is no backup of ours.
            if (sizes[i] > TOOL_BACKUP_MAX_ENTRY_BYTES)
            {
                m_arrTooLarge.Add(names[i]);
                continue;
            }
            bOk = ReadZipItem(hZip, i, sizes[i], bytes);
            if (!bOk)
                break;
            m_items.push_back(CArchiveItem{i, strName});
            m_arrPaths.Add(GetWorkFolder() + strName);
            if (fnVisit)
                fnVisit((int)m_arrPaths.GetSize() - 1, bytes);
        }
        CloseZipReader(hZip);
    }
    if (bOk)
        return LoadOk;

    m_arrPaths.RemoveAll();
    m_items.clear();
    // The reader refuses such a name as it refuses damage: the user is told which.
    m_strNameOutside = FindNameOutside(strArchive);
    return SetAside() ? LoadSetAside : LoadFailed;
}

BOOL CToolBackupArchive::ReadEntry(int nEntry, std::vector<BYTE>& bytes) const
{
    bytes.clear();
    ZipHandle hZip = OpenZipArchive((LPCWSTR)GetArchivePath(), 0, ZipKindFile);
    if (hZip == NULL)
        return FALSE;
    BOOL bOk = ReadOpenEntry(hZip, nEntry, bytes);
    CloseZipReader(hZip);
    return bOk;
}

BOOL CToolBackupArchive::ReadOpenEntry(ZipHandle hZip, int nEntry, std::vector<BYTE>& bytes) const
{
    bytes.clear();
    if (hZip == NULL || nEntry < 0 || (size_t)nEntry >= m_items.size())
        return FALSE;
    ZipArchiveEntry entry = {};
    int nItem = m_items[nEntry].m_nItem;
    return GetZipArchiveItem(hZip, nItem, &entry) == ZipOk && entry.m_dwUncompressedSize <= TOOL_BACKUP_MAX_ENTRY_BYTES
           && ReadZipItem(hZip, nItem, entry.m_dwUncompressedSize, bytes);
}

HANDLE CToolBackupArchive::CreateBackupFile(REGSAM samView, CString& strFile)
{
    // Never over an existing backup: the next number up is taken instead.
    int nNumber = NextNumber();
    for (int nTry = 0; nTry < 10000; ++nTry, ++nNumber)
    {
        strFile.Format(L"%s%s%d%s.reg", (LPCWSTR)GetWorkFolder(), (LPCWSTR)GetEntryPrefix(), nNumber,
                       ViewSuffix(samView));
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
    // The entry is read, and later restored, in the record's view.
    REGSAM samView = 0;
    if (!GetRecordView(record, &samView))
        return BackupRefused;

    if (m_nKind == ToolBackupStartup)
    {
        if (!IsRunKeyPath(record.m_strKeyPath) || record.m_strValueName.IsEmpty())
            return BackupRefused;
        CRegKeyHandle key;
        if (RegOpenKeyExW(hRoot, record.m_strKey, 0, KEY_QUERY_VALUE | samView, key.Receive()) != ERROR_SUCCESS)
            return BackupGone;
        if (RegQueryValueExW(key, record.m_strValueName, NULL, NULL, NULL, NULL) == ERROR_FILE_NOT_FOUND)
            return BackupGone;
    }
    else
    {
        if (BhoSubKeyOfRecord(record).IsEmpty())
            return BackupRefused;
        CRegKeyHandle key;
        if (RegOpenKeyExW(hRoot, record.m_strKey, 0, KEY_READ | samView, key.Receive()) == ERROR_FILE_NOT_FOUND)
            return BackupGone;
    }

    HANDLE hFile = CreateBackupFile(samView, strFile);
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
            dwExport = regFile.ExportValue(record.m_strKeyPath, record.m_strValueName, samView);
        else
            dwExport = regFile.ExportKey(record.m_strKeyPath, samView);
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

BOOL CToolBackupArchive::VerifyArchive(const CString& strArchive, const std::vector<CAddedEntry>& added)
{
    ZipHandle hZip = OpenZipArchive((LPCWSTR)strArchive, 0, ZipKindFile);
    if (hZip == NULL)
        return FALSE;
    ZipArchiveEntry entry = {};
    BOOL bOk = GetZipArchiveItem(hZip, -1, &entry) == ZipOk && entry.m_nIndex == (int)added.size();
    std::vector<BYTE> bytes;
    for (int i = 0; bOk && i < (int)added.size(); ++i)
    {
        bOk = GetZipArchiveItem(hZip, i, &entry) == ZipOk && added[i].m_strName == entry.m_szName
              && entry.m_dwUncompressedSize == added[i].m_dwSize
              && ReadZipItem(hZip, i, entry.m_dwUncompressedSize, bytes) && Crc32Of(bytes) == added[i].m_dwCrc;
    }
    CloseZipReader(hZip);
    return bOk;
}

BOOL CToolBackupArchive::Rebuild(const std::vector<int>& keep, const CStringArray& arrNewFiles)
{
    CString strArchive = GetArchivePath();
    CString strTemp = strArchive + L".tmp";
    if (FileExists(strTemp))
        DeleteFileW(strTemp);
    // The kept backups are copied from the archive as it stands, one at a
    // time through memory; the new ones come from their files.
    ZipHandle hOld = NULL;
    if (!keep.empty())
    {
        hOld = OpenZipArchive((LPCWSTR)strArchive, 0, ZipKindFile);
        if (hOld == NULL)
            return FALSE;
    }
    ZipHandle hZip = CreateZipArchive((LPCWSTR)strTemp, 0, ZipKindFile);
    if (hZip == NULL)
    {
        if (hOld != NULL)
            CloseZipReader(hOld);
        return FALSE;
    }
    BOOL bOk = TRUE;
    std::vector<CAddedEntry> added;
    std::vector<BYTE> bytes;
    for (int nEntry : keep)
    {
        bOk = ReadOpenEntry(hOld, nEntry, bytes)
              && AddToZipArchive(hZip, m_items[nEntry].m_strName, bytes.data(), (DWORD)bytes.size(), ZipKindMemory) == ZipOk;
        if (!bOk)
            break;
        added.push_back(CAddedEntry{m_items[nEntry].m_strName, (DWORD)bytes.size(), Crc32Of(bytes)});
    }
    for (INT_PTR i = 0; bOk && i < arrNewFiles.GetSize(); ++i)
    {
        bOk = ReadFileBytes(arrNewFiles[i], bytes)
              && AddToZipArchive(hZip, BareName(arrNewFiles[i]), bytes.data(), (DWORD)bytes.size(), ZipKindMemory) == ZipOk;
        if (bOk)
            added.push_back(CAddedEntry{BareName(arrNewFiles[i]), (DWORD)bytes.size(), Crc32Of(bytes)});
    }
    if (hOld != NULL)
        CloseZipReader(hOld);
    if (CloseZipWriter(hZip) != ZipOk)
        bOk = FALSE;
    bOk = bOk && VerifyArchive(strTemp, added);
    bOk = bOk && MoveFileExW(strTemp, strArchive, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!bOk && FileExists(strTemp))
        DeleteFileW(strTemp);
    return bOk;
}

BOOL CToolBackupArchive::BackupRecords(const CArray<CRegProblem>& arrRecords, CArray<int>& arrOutcome)
{
    arrOutcome.RemoveAll();
    // A fresh work folder: the new backups' files live there until the rebuild.
    LoadResult nLoad = CreateWorkFolder() ? Load() : LoadFailed;
    // With no archive the array's old paths stand for nothing any more.
    if (nLoad == LoadNoArchive)
        m_arrPaths.RemoveAll();
    if (nLoad == LoadFailed)
    {
        // The archive stays as it is, and so does every entry.
        for (INT_PTR i = 0; i < arrRecords.GetSize(); ++i)
        {
            const CRegProblem& record = arrRecords[i];
            arrOutcome.Add(GetRecordRoot(record, NULL) ? BackupFailed
                           : FileExists(record.m_strKeyPath) ? BackupNotNeeded : BackupRefused);
        }
        DeleteWorkFolder();
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
    BOOL bOk = TRUE;
    if (!written.empty())
    {
        std::vector<int> keep;
        for (size_t i = 0; i < m_items.size(); ++i)
            keep.push_back((int)i);
        bOk = Rebuild(keep, arrNewFiles);
    }
    if (!bOk)
    {
        // The entries stay where they are; their new backups go again.
        for (int i : written)
            arrOutcome[i] = BackupFailed;
        m_arrPaths.SetSize((INT_PTR)m_items.size());
    }
    else
    {
        // The rebuilt archive holds the kept items in order, then the new ones.
        for (size_t i = 0; i < m_items.size(); ++i)
            m_items[i].m_nItem = (int)i;
        for (INT_PTR i = 0; i < arrNewFiles.GetSize(); ++i)
            m_items.push_back(CArchiveItem{(int)m_items.size(), BareName(arrNewFiles[i])});
    }
    DeleteWorkFolder();
    return bOk;
}

BOOL CToolBackupArchive::Restore(const CArray<int>& arrIndexes, const CStringArray& arrClsids, CArray<int>& arrOutcome)
{
    std::vector<CToolBackupRow> rows;
    for (INT_PTR k = 0; k < arrIndexes.GetSize(); ++k)
    {
        CToolBackupRow row;
        row.m_nEntry = arrIndexes[k];
        if (k < arrClsids.GetSize())
            row.m_strClsid = arrClsids[k];
        rows.push_back(row);
    }
    // Without a list, a startup row shows what its own backup holds, in the
    // backup's own view.
    return RestoreRows(rows, TRUE, arrOutcome);
}

BOOL CToolBackupArchive::Restore(const std::vector<CToolBackupRow>& rows, CArray<int>& arrOutcome)
{
    return RestoreRows(rows, FALSE, arrOutcome);
}

namespace {

// Whether two key lines, each imported in its view, write the same key.
BOOL WriteSameKey(const CString& strKey, REGSAM samView, const CString& strOtherKey, REGSAM samOtherView)
{
    if (strKey.IsEmpty() || strOtherKey.IsEmpty())
        return strKey.IsEmpty() && strOtherKey.IsEmpty();
    RegKeyTarget target = ResolveRegKeyTarget(strKey, samView);
    RegKeyTarget other = ResolveRegKeyTarget(strOtherKey, samOtherView);
    return target.m_samView == other.m_samView && target.m_strPath.CompareNoCase(other.m_strPath) == 0;
}

} // namespace

BOOL CToolBackupArchive::RestoreRows(const std::vector<CToolBackupRow>& rows, BOOL bOwnTexts, CArray<int>& arrOutcome)
{
    arrOutcome.RemoveAll();
    // The archive as it stands now: a row whose backup has changed since it
    // was listed no longer passes its check below.
    ZipHandle hZip = Load() == LoadOk ? OpenZipArchive((LPCWSTR)GetArchivePath(), 0, ZipKindFile) : NULL;
    if (hZip == NULL)
    {
        // Gone, or set aside unread: no backup was tried.
        for (size_t i = 0; i < rows.size(); ++i)
            arrOutcome.Add(RestoreNotRead);
        return TRUE;
    }
    std::set<int> restored;
    std::vector<BYTE> bytes;
    for (const CToolBackupRow& row : rows)
    {
        int nIndex = row.m_nEntry;
        if (!ReadOpenEntry(hZip, nIndex, bytes))
        {
            arrOutcome.Add(nIndex >= 0 && (size_t)nIndex < m_items.size() ? RestoreFailed : RestoreDiffers);
            continue;
        }
        // The same bytes are checked and imported, in the view the entry's
        // name gives: nothing can come between.
        REGSAM samView = GetEntryView(nIndex);
        int nOutcome = RestoreRefused;
        if (!bOwnTexts && row.m_samView != samView)
        {
            // The list showed that row from a backup of another view.
            nOutcome = RestoreDiffers;
        }
        else if (m_nKind == ToolBackupBho)
        {
            CString strKey = ReadBackupKey(bytes);
            if (!bOwnTexts && strKey.Mid(strKey.ReverseFind(L'\\') + 1).CompareNoCase(row.m_strClsid) != 0)
                nOutcome = RestoreDiffers;
            else if (CheckBhoBackup(bytes, row.m_strClsid, samView))
                nOutcome = RestoreDone;
        }
        else if (bOwnTexts)
        {
            if (CheckStartupBackup(bytes, samView))
                nOutcome = RestoreDone;
        }
        else
        {
            // Another value, or the same one written under another key (HKCU
            // Run or HKLM Run), is not what the row showed.
            CStartupBackupEntry entry;
            ReadStartupBackup(bytes, entry, samView);
            if (!entry.m_bShowsAll)
                nOutcome = RestoreRefused;
            else if (entry.m_strName != row.m_strText1 || entry.m_strText != row.m_strText2 ||
                     !WriteSameKey(ReadBackupKey(bytes), samView, row.m_strKey, row.m_samView))
                nOutcome = RestoreDiffers;
            else
                nOutcome = RestoreDone;
        }
        if (nOutcome != RestoreDone)
        {
            arrOutcome.Add(nOutcome);
            continue;
        }
        CRegFile regFile;
        if (regFile.ImportBytes(bytes, samView) != ERROR_SUCCESS)
        {
            arrOutcome.Add(RestoreFailed);
            continue;
        }
        arrOutcome.Add(RestoreDone);
        restored.insert(nIndex);
    }
    if (hZip != NULL)
        CloseZipReader(hZip);

    // Nothing imported: the archive already holds what it should.
    if (restored.empty())
        return TRUE;
    std::vector<int> keep;
    for (size_t i = 0; i < m_items.size(); ++i)
    {
        if (restored.count((int)i) == 0)
            keep.push_back((int)i);
    }
    if (!Rebuild(keep, CStringArray()))
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
