#include "repair/AutoBackup.h"
#include "repair/BackupStamp.h"
#include "repair/Repair.h"
#include "services/PathString.h"
#include "services/ScopedHandle.h"
#include "services/RegFile.h"
#include "services/SortedStringArray.h"
#include "services/ZipReader.h"
#include "services/ZipWriter.h"

#include <algorithm>
#include <zlib.h>

namespace {

AUTOBACKUP_CLOSE_HOOK g_pfnCloseHook = NULL;
AUTOBACKUP_CLOSED_HOOK g_pfnClosedHook = NULL;

const DWORD kReadChunk = 1 << 20;
// The files of a backup being written end so; only a verified archive gets
// its own name.
const wchar_t kPartSuffix[] = L".partial";

CString ZipText(ZipResult zr)
{
    wchar_t szText[256] = {};
    FormatZipResult(zr, szText, 256);
    return szText;
}

CString ZipReaderText(ZipResult zr)
{
    wchar_t szText[256] = {};
    FormatZipReaderResult(zr, szText, 256);
    return szText;
}

CString ErrorText(DWORD dwError)
{
    CString str;
    str.Format(L"error %lu", (unsigned long)dwError);
    return str;
}

std::wstring UpperKey(const CString& strPath, REGSAM samView = 0)
{
    CString str = strPath;
    str.TrimRight(L'\\');
    str.MakeUpper();
    // The same path in another view is another key.
    if (samView & KEY_WOW64_32KEY)
        str = L"32|" + str;
    else if (samView & KEY_WOW64_64KEY)
        str = L"64|" + str;
    return str.Str();
}

// The views a backup keeps apart, in archive order.
const REGSAM kViews[] = { 0, KEY_WOW64_32KEY, KEY_WOW64_64KEY };
const int kViewCount = 3;

int ViewSlot(REGSAM samView)
{
    return samView == KEY_WOW64_32KEY ? 1 : samView == KEY_WOW64_64KEY ? 2 : 0;
}

// Size and CRC-32 of an open file, read from its start; FALSE also when
// *pbStop is set before the last chunk.
BOOL MeasureFile(HANDLE hFile, DWORD& dwSize, DWORD& dwCrc, const std::atomic<bool>* pbStop)
{
    std::vector<BYTE> buffer(kReadChunk);
    ULONGLONG ullSize = 0;
    uLong crc = crc32(0L, Z_NULL, 0);
    for (;;)
    {
        if (pbStop != NULL && pbStop->load())
            return FALSE;
        DWORD dwRead = 0;
        if (!ReadFile(hFile, buffer.data(), kReadChunk, &dwRead, NULL))
            return FALSE;
        if (dwRead == 0)
            break;
        crc = crc32(crc, buffer.data(), dwRead);
        ullSize += dwRead;
        if (ullSize > 0xFFFFFFFFull)
            return FALSE;
    }
    dwSize = (DWORD)ullSize;
    dwCrc = (DWORD)crc;
    return TRUE;
}

} // namespace

const wchar_t AUTOBACKUP_STOPPED[] = L"the backup was stopped";

CString AutoBackupRegEntryName(const CString& strStamp, REGSAM samView)
{
    if (samView == KEY_WOW64_32KEY)
        return L"AutoBackup" + strStamp + L"_32.reg";
    if (samView == KEY_WOW64_64KEY)
        return L"AutoBackup" + strStamp + L"_64.reg";
    return L"AutoBackup" + strStamp + L".reg";
}

REGSAM AutoBackupRegEntryView(const CString& strEntryName)
{
    CString strEnd = strEntryName.Right(7);
    if (strEnd.CompareNoCase(L"_32.reg") == 0)
        return KEY_WOW64_32KEY;
    if (strEnd.CompareNoCase(L"_64.reg") == 0)
        return KEY_WOW64_64KEY;
    return 0;
}

void SetAutoBackupHooks(AUTOBACKUP_CLOSE_HOOK pfnClose, AUTOBACKUP_CLOSED_HOOK pfnClosed)
{
    g_pfnCloseHook = pfnClose;
    g_pfnClosedHook = pfnClosed;
}

CAutoBackup::CAutoBackup()
{
}

BOOL CAutoBackup::IsKeyCovered(const CString& strCanonicalPath, REGSAM samView) const
{
    auto it = m_exported.find(UpperKey(strCanonicalPath, samView));
    return it != m_exported.end() && it->second == 0;
}

BOOL CAutoBackup::HoldsLinkLeftOut(const CString& strCanonicalPath, REGSAM samView) const
{
    return m_withLinks.count(UpperKey(strCanonicalPath, samView)) != 0;
}

BOOL CAutoBackup::IsShortcutCovered(INT_PTR nIndex) const
{
    return nIndex >= 0 && nIndex < (INT_PTR)m_shortcutAdded.size() && m_shortcutAdded[(size_t)nIndex];
}

CString CAutoBackup::FreeEntryName(const CString& strFileName, const CStringArray& arrTaken)
{
    auto taken = [&arrTaken](const CString& strName) {
        for (INT_PTR i = 0; i < arrTaken.GetSize(); i++)
        {
            if (arrTaken[i].CompareNoCase(strName) == 0)
                return true;
        }
        return false;
    };
    if (!taken(strFileName))
        return strFileName;
    int nDot = strFileName.ReverseFind(L'.');
    CString strTitle = nDot > 0 ? strFileName.Left(nDot) : strFileName;
    CString strExt = nDot > 0 ? strFileName.Mid(nDot) : CString();
    for (int n = 2;; n++)
    {
        CString strName;
        strName.Format(L"%s (%d)%s", (LPCWSTR)strTitle, n, (LPCWSTR)strExt);
        if (!taken(strName))
            return strName;
    }
}

BOOL CAutoBackup::Fail(const CString& strReason)
{
    m_strError = strReason;
    m_exported.clear();
    m_withLinks.clear();
    m_shortcutAdded.clear();
    if (!m_strArchive.IsEmpty())
        DeleteFileW(m_strArchive);
    DeleteRegFiles();
    m_strArchive.Empty();
    m_arrEntries.RemoveAll();
    return FALSE;
}

void CAutoBackup::DeleteRegFiles()
{
    for (INT_PTR i = 0; i < m_arrRegFiles.GetSize(); i++)
        DeleteFileW(m_arrRegFiles[i]);
    m_arrRegFiles.RemoveAll();
}

void CAutoBackup::DeleteLeftovers(const CString& strFolder)
{
    // Only our own part files: "AutoBackup" ... ".partial", no folder.
    WIN32_FIND_DATAW fd;
    CFindHandle hFind(FindFirstFileW(strFolder + L"AutoBackup*" + kPartSuffix, &fd));
    if (!hFind.IsValid())
        return;
    const int nSuffix = lstrlenW(kPartSuffix);
    do
    {
        if (Stopped())
            return;
        CString strName = fd.cFileName;
        if ((fd.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) ||
            strName.Left(10).CompareNoCase(L"AutoBackup") != 0 || strName.Right(nSuffix).CompareNoCase(kPartSuffix) != 0)
            continue;
        DeleteFileW(strFolder + strName);
    } while (FindNextFileW(hFind, &fd));
}

BOOL CAutoBackup::WriteRegFile(const CString& strRegFile, const CStringArray& arrKeys, REGSAM samView)
{
    HANDLE hFile = CreateFileW(strRegFile, GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (hFile == INVALID_HANDLE_VALUE)
        return FALSE;
    m_arrRegFiles.Add(strRegFile);
    DWORD dwWritten = 0;
    BOOL bOk = WriteFile(hFile, "\xFF\xFE", 2, &dwWritten, NULL) && dwWritten == 2;
    CRegFile regFile;
    regFile.m_hFile = hFile;
    regFile.m_nCount = 0;
    regFile.m_nColumn = 0;
    // A large key is cut short too; the stop below then ends the file.
    regFile.SetStopFlag(m_pbStop);
    regFile.PutString(L"Windows Registry Editor Version");
    regFile.PutString(L" ");
    regFile.PutString(L"5.00");
    regFile.PutString(L"\n\n");
    for (INT_PTR i = 0; i < arrKeys.GetSize() && bOk; i++)
    {
        // Each key is exported whole; a stop ends the file between two.
        if (Stopped())
        {
            bOk = FALSE;
            break;
        }
        DWORD dwResult = samView != 0 ? regFile.ExportKey(arrKeys[i], samView) : regFile.ExportKey(arrKeys[i]);
        m_exported[UpperKey(arrKeys[i], samView)] = dwResult;
        if (regFile.GetLinksLeftOut() > 0)
            m_withLinks.insert(UpperKey(arrKeys[i], samView));
        // A write error leaves the file unusable for every later key too.
        if (dwResult == CRegFile::ExportWriteFailed || regFile.WasStopped())
            bOk = FALSE;
    }
    bOk = regFile.Flush() && bOk;
    bOk = CloseHandle(hFile) && bOk;
    return bOk;
}

ZipResult CAutoBackup::AddFile(ZipHandle hZip, const CString& strPath, const CString& strName)
{
    HANDLE hFile = CreateFileW(strPath, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    if (hFile == INVALID_HANDLE_VALUE)
        return ZipErrNoFile;
    AddedEntry entry = { strName, 0, 0 };
    ZipResult zr = ZipErrRead;
    if (MeasureFile(hFile, entry.dwSize, entry.dwCrc, m_pbStop))
        zr = AddToZipArchive(hZip, strName, hFile, entry.dwSize, ZipKindHandle);
    CloseHandle(hFile);
    if (zr == ZipOk)
    {
        m_added.push_back(entry);
        m_arrEntries.Add(strName);
    }
    return zr;
}

ZipResult CAutoBackup::AddMemory(ZipHandle hZip, const std::vector<BYTE>& data, const CString& strName)
{
    AddedEntry entry = { strName, (DWORD)data.size(), (DWORD)crc32(crc32(0L, Z_NULL, 0), data.data(), (uInt)data.size()) };
    ZipResult zr = AddToZipArchive(hZip, strName, data.data(), (DWORD)data.size(), ZipKindMemory);
    if (zr == ZipOk)
    {
        m_added.push_back(entry);
        m_arrEntries.Add(strName);
    }
    return zr;
}

// Every entry reads back with the name, size and CRC it was added with.
BOOL CAutoBackup::Verify()
{
    ZipHandle hZip = OpenZipArchive((LPCWSTR)m_strArchive, 0, ZipKindFile);
    if (hZip == NULL)
        return Fail(L"the archive cannot be opened again (" + ZipReaderText(1) + L")");
    CString strProblem;
    ZipArchiveEntry entry = {};
    ZipResult zr = GetZipArchiveItem(hZip, -1, &entry);
    if (zr != ZipOk || entry.m_nIndex != (int)m_added.size())
        strProblem = L"the archive does not hold the entries that were added";
    std::vector<BYTE> buffer(65536);
    BOOL bStopped = FALSE;
    for (size_t i = 0; i < m_added.size() && strProblem.IsEmpty() && !bStopped; i++)
    {
        const AddedEntry& added = m_added[i];
        zr = GetZipArchiveItem(hZip, (int)i, &entry);
        if (zr != ZipOk || added.strName.Compare(entry.m_szName) != 0 || entry.m_dwUncompressedSize != added.dwSize)
        {
            strProblem = L"the entry " + added.strName + L" does not read back as added";
            break;
        }
        uLong crc = crc32(0L, Z_NULL, 0);
        ULONGLONG ullCount = 0;
        do
        {
            if (Stopped())
            {
                bStopped = TRUE;
                break;
            }
            // Each call hands out the next part; ZipMore while data keeps coming.
            ZeroMemory(buffer.data(), buffer.size());
            zr = ExtractZipArchiveItem(hZip, (int)i, buffer.data(), (DWORD)buffer.size(), ZipKindMemory);
            if (zr == ZipMore)
            {
                DWORD dwPart = (DWORD)std::min<ULONGLONG>(buffer.size(), (ULONGLONG)added.dwSize - std::min<ULONGLONG>(ullCount, added.dwSize));
                if (dwPart == 0)
                {
                    zr = ZipErrCorrupt;  // more data than was added
                    break;
                }
                crc = crc32(crc, buffer.data(), dwPart);
                ullCount += dwPart;
            }
        } while (zr == ZipMore);
        if (bStopped)
            break;
        if (zr != ZipOk || ullCount != added.dwSize || (DWORD)crc != added.dwCrc)
            strProblem = L"the entry " + added.strName + L" does not extract as added (" + ZipReaderText(zr) + L")";
    }
    CloseZipReader(hZip);
    if (bStopped)
        return Fail(AUTOBACKUP_STOPPED);
    if (!strProblem.IsEmpty())
        return Fail(strProblem);
    return TRUE;
}

BOOL CAutoBackup::Write(CTamselApp* pApp, const std::atomic<bool>* pbStop)
{
    m_pbStop = pbStop;
    m_strError.Empty();
    m_strArchive.Empty();
    m_arrRegFiles.RemoveAll();
    m_arrEntries.RemoveAll();
    m_exported.clear();
    m_withLinks.clear();
    m_added.clear();
    m_strStamp = CurrentBackupStamp();

    // The keys to export: each trusted registry record's whole key, once per
    // view. Each view gets a file of its own, imported in that view again.
    CSortedStringArray arrKeys[kViewCount];
    INT_PTR nKeys = 0;
    for (int nCategory : g_nRepairWalkOrder)
    {
        if (nCategory == SHORTCUT_CATEGORY)
            continue;
        CArray<CRegProblem>& list = RepairListOf(pApp, nCategory);
        for (INT_PTR i = 0; i < list.GetSize(); i++)
        {
            CString strKey;
            REGSAM samView = 0;
            if (RecordKeyLocation(list[i], strKey, samView) != NULL)
            {
                arrKeys[ViewSlot(samView)].Add(strKey);
                nKeys++;
            }
        }
    }
    for (CSortedStringArray& arr : arrKeys)
        arr.Sort();

    CArray<CRegProblem>& shortcuts = RepairListOf(pApp, SHORTCUT_CATEGORY);
    m_shortcutAdded.assign((size_t)shortcuts.GetSize(), false);
    BOOL bAnyShortcut = FALSE;
    for (INT_PTR i = 0; i < shortcuts.GetSize() && !bAnyShortcut; i++)
    {
        DWORD dwAttributes = GetFileAttributesW(shortcuts[i].m_strKeyPath);
        bAnyShortcut = dwAttributes != INVALID_FILE_ATTRIBUTES && !(dwAttributes & FILE_ATTRIBUTE_DIRECTORY);
    }

    CString strFolder = pApp->m_strAppDir + L"AutoBackup\\";
    DWORD dwFolder = GetFileAttributesW(strFolder);
    if (dwFolder == INVALID_FILE_ATTRIBUTES)
    {
        CreateDirectoryW(strFolder, NULL);
        dwFolder = GetFileAttributesW(strFolder);
    }
    // With nothing to keep, a folder that cannot be made stops nothing.
    if (nKeys == 0 && !bAnyShortcut)
        return TRUE;
    if (dwFolder == INVALID_FILE_ATTRIBUTES || !(dwFolder & FILE_ATTRIBUTE_DIRECTORY))
        return Fail(L"the folder " + strFolder + L" cannot be created");
    if (Stopped())
        return Fail(AUTOBACKUP_STOPPED);
    DeleteLeftovers(strFolder);

    // A backup of the same second must not replace this one's archive.
    CString strPattern = strFolder;
    strPattern.Replace(L"%", L"%%");
    m_strStamp = UniqueBackupStamp(strPattern + L"AutoBackup%s.zip");
    if (m_strStamp.IsEmpty())
        return Fail(L"no free archive name in " + strFolder);

    CStringArray arrRegEntries;
    for (int nSlot = 0; nSlot < kViewCount; nSlot++)
    {
        if (arrKeys[nSlot].GetSize() == 0)
            continue;
        CString strRegEntry = AutoBackupRegEntryName(m_strStamp, kViews[nSlot]);
        BOOL bWritten = WriteRegFile(strFolder + strRegEntry + kPartSuffix, arrKeys[nSlot], kViews[nSlot]);
        if (Stopped())
            return Fail(AUTOBACKUP_STOPPED);
        if (!bWritten)
            return Fail(L"the registry file " + strFolder + strRegEntry + L" cannot be written (" +
                        ErrorText(GetLastError()) + L")");
        arrRegEntries.Add(strRegEntry);
    }

    CString strFinal = strFolder + L"AutoBackup" + m_strStamp + L".zip";
    CString strArchive = strFinal + kPartSuffix;
    ZipHandle hZip = CreateZipArchive((LPCWSTR)strArchive, 0, ZipKindFile);
    if (hZip == NULL)
        return Fail(L"the archive " + strArchive + L" cannot be created (" + ZipText(1) + L")");
    m_strArchive = strArchive;
    SetZipWriterStopFlag(hZip, m_pbStop);

    ZipResult zr = ZipOk;
    CStringArray arrTaken;
    arrTaken.Add(L"ShortCuts.txt");
    for (INT_PTR i = 0; i < m_arrRegFiles.GetSize(); i++)
    {
        arrTaken.Add(arrRegEntries[i]);
        zr = AddFile(hZip, m_arrRegFiles[i], arrRegEntries[i]);
        if (Stopped())
        {
            CloseZipWriter(hZip);
            return Fail(AUTOBACKUP_STOPPED);
        }
        if (zr != ZipOk)
        {
            CloseZipWriter(hZip);
            return Fail(L"the registry file cannot be added to the archive (" + ZipText(zr) + L")");
        }
    }

    // ShortCuts.txt: line k is the old path of the k-th shortcut entry.
    std::vector<BYTE> list = { 0xFF, 0xFE };
    for (INT_PTR i = 0; i < shortcuts.GetSize(); i++)
    {
        if (Stopped())
        {
            CloseZipWriter(hZip);
            return Fail(AUTOBACKUP_STOPPED);
        }
        const CString& strPath = shortcuts[i].m_strKeyPath;
        DWORD dwAttributes = GetFileAttributesW(strPath);
        if (dwAttributes == INVALID_FILE_ATTRIBUTES || (dwAttributes & FILE_ATTRIBUTE_DIRECTORY))
            continue;
        CString strName = FreeEntryName(CPathString(strPath, 0).GetFileName(), arrTaken);
        if (strName.IsEmpty())
            continue;
        zr = AddFile(hZip, strPath, strName);
        if (zr == ZipOk)
        {
            arrTaken.Add(strName);
            m_shortcutAdded[(size_t)i] = true;
            CString strLine = strPath + L"\n";
            const BYTE* p = (const BYTE*)(LPCWSTR)strLine;
            list.insert(list.end(), p, p + strLine.GetLength() * sizeof(wchar_t));
        }
        else if (zr != ZipErrNoFile && zr != ZipErrRead)
        {
            // The archive itself is damaged: nothing after this can be trusted.
            CloseZipWriter(hZip);
            return Fail(L"the shortcut " + strPath + L" cannot be added to the archive (" + ZipText(zr) + L")");
        }
    }
    if (Stopped())
    {
        CloseZipWriter(hZip);
        return Fail(AUTOBACKUP_STOPPED);
    }
    if (list.size() > 2)
    {
        zr = AddMemory(hZip, list, L"ShortCuts.txt");
        if (zr != ZipOk)
        {
            CloseZipWriter(hZip);
            return Fail(L"ShortCuts.txt cannot be added to the archive (" + ZipText(zr) + L")");
        }
    }

    zr = g_pfnCloseHook != NULL ? g_pfnCloseHook(hZip) : CloseZipWriter(hZip);
    if (zr != ZipOk)
        return Fail(L"the archive cannot be closed (" + ZipText(zr) + L")");
    if (m_added.empty())
    {
        // Every shortcut vanished before it could be read: nothing to keep.
        DeleteFileW(m_strArchive);
        m_strArchive.Empty();
        DeleteRegFiles();
        return TRUE;
    }
    if (Stopped())
        return Fail(AUTOBACKUP_STOPPED);
    if (g_pfnClosedHook != NULL)
        g_pfnClosedHook(m_strArchive);
    if (!Verify())
        return FALSE;
    // Verified whole: from here a stop keeps it. Never over another archive.
    if (!MoveFileExW(m_strArchive, strFinal, MOVEFILE_WRITE_THROUGH))
        return Fail(L"the archive " + strFinal + L" cannot be named (" + ErrorText(GetLastError()) + L")");
    m_strArchive = strFinal;
    DeleteRegFiles();
    return TRUE;
}

BOOL WriteAutoBackup(CTamselApp* pApp, CAutoBackup& backup, const std::atomic<bool>* pbStop)
{
    return backup.Write(pApp, pbStop);
}
