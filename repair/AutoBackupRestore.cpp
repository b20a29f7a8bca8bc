#include "repair/AutoBackupRestore.h"
#include "repair/AutoBackup.h"
#include "repair/RestoreWorkFolder.h"
#include "repair/ShortcutPlace.h"
#include "scanner/FolderWalk.h"
#include "scanner/ScanRoots.h"
#include "app/TamselApp.h"
#include "services/DiskObject.h"
#include "services/RegFile.h"
#include "services/TextFile.h"
#include "services/ZipReader.h"

#include <algorithm>
#include <shlwapi.h>

void CRestoreFailure::Note(LPCWSTR pszKey, const CString& strItem, DWORD dwCode)
{
    if (IsSet())
        return;
    m_pszKey = pszKey;
    m_strItem = strItem;
    m_dwCode = dwCode;
}

CString CRestoreFailure::GetDetail(CTamselApp* pApp) const
{
    CString strDetail = pApp != NULL && m_pszKey != NULL ? pApp->GetLangString(m_pszKey) : CString();
    if (strDetail.IsEmpty())
        strDetail = L"%s";
    CString strCode;
    strCode.Format(L"%lu", (unsigned long)m_dwCode);
    strDetail.Replace(L"%s", m_strItem);
    strDetail.Replace(L"%d", strCode);
    return strDetail;
}

CString CRestoreFailure::GetMessage(CTamselApp* pApp) const
{
    CString strDetail = GetDetail(pApp);
    CString strText = pApp != NULL ? pApp->GetLangString(L"M_RESTORE_INCOMPLETE") : CString();
    if (strText.Find(L"%s") < 0)
        return strText.IsEmpty() ? strDetail : strText + L"\n" + strDetail;
    strText.Replace(L"%s", strDetail);
    return strText;
}

BOOL IsRestorableShortcutPath(const CString& strPath)
{
    int nLength = strPath.GetLength();
    if (nLength < 8 || nLength >= MAX_PATH)
        return FALSE;
    wchar_t chDrive = strPath[0];
    if (!((chDrive >= L'A' && chDrive <= L'Z') || (chDrive >= L'a' && chDrive <= L'z')) || strPath[1] != L':' ||
        strPath[2] != L'\\')
        return FALSE;
    if (strPath.Right(4).CompareNoCase(L".lnk") != 0)
        return FALSE;
    for (int i = 2; i < nLength; i++)
    {
        wchar_t ch = strPath[i];
        if (ch < 32 || ch == L':' || ch == L'*' || ch == L'?' || ch == L'"' || ch == L'<' || ch == L'>' ||
            ch == L'|' || ch == L'/')
            return FALSE;
    }
    // Every step between backslashes: not empty, not "." or "..", and no
    // trailing dot or space that the file system would drop.
    int nStart = 3;
    while (nStart <= nLength)
    {
        int nEnd = strPath.Find(L'\\', nStart);
        if (nEnd < 0)
            nEnd = nLength;
        CString strStep = strPath.Mid(nStart, nEnd - nStart);
        if (strStep.IsEmpty() || strStep == L"." || strStep == L".." ||
            strStep[strStep.GetLength() - 1] == L'.' || strStep[strStep.GetLength() - 1] == L' ')
            return FALSE;
        nStart = nEnd + 1;
    }
    return strPath[nLength - 5] != L'\\';
}

namespace {

CString EntryFileName(const wchar_t* pszName)
{
    CString strName = pszName;
    int nSlash = std::max(strName.ReverseFind(L'/'), strName.ReverseFind(L'\\'));
    return strName.Mid(nSlash + 1);
}

BOOL EndsWithNoCase(const CString& str, LPCWSTR pszEnd)
{
    int nLength = lstrlenW(pszEnd);
    return str.GetLength() >= nLength && str.Right(nLength).CompareNoCase(pszEnd) == 0;
}

// The lines of ShortCuts.txt: line k is where the k-th shortcut entry stood.
// FALSE when the file does not open or pbStop ended the reading.
BOOL ReadShortcutList(const CString& strList, CStringArray& arrPaths, const std::atomic<bool>* pbStop)
{
    arrPaths.RemoveAll();
    if (strList.IsEmpty())
        return TRUE;
    CTextFile file(strList, L"rb");
    if (!file.IsOpen())
        return FALSE;
    CString strLine;
    BOOL bMore = TRUE;
    while (bMore)
    {
        if (pbStop != nullptr && pbStop->load())
            return FALSE;
        bMore = file.ReadLine(strLine);
        strLine.TrimRight(L"\r");
        if (!bMore && strLine.IsEmpty())
            break;
        arrPaths.Add(strLine);
    }
    file.Close();
    return TRUE;
}

} // namespace

CAutoBackupRestore::CAutoBackupRestore()
    : m_nRegFilesImported(0), m_nShortcutsPlaced(0), m_nRegKeys(0), m_bRefused(FALSE), m_bStopped(FALSE)
{
}

CAutoBackupRestore::~CAutoBackupRestore()
{
}

void CAutoBackupRestore::SetStopFlag(const std::atomic<bool>* pbStop)
{
    m_pbStop = pbStop;
    // The work folder's removal sees the same flag, also from Discard.
    if (m_pWork)
        m_pWork->SetStopFlag(pbStop);
}

BOOL CAutoBackupRestore::EndStopped()
{
    m_bStopped = TRUE;
    m_keys.clear();
    m_arrFiles.RemoveAll();
    m_nRegKeys = 0;
    // Stops at the next file too: the rest goes with the next Prepare.
    Discard();
    return FALSE;
}

BOOL CAutoBackupRestore::Restore(const CString& strArchive, const CString& strWorkParent)
{
    if (Prepare(strArchive, strWorkParent))
        return Write();
    // Nothing but noted failures: nothing written, nothing to confirm.
    if (!m_failure.IsSet() && !m_bStopped)
        m_failure.Note(L"M_RESTORE_ERR_NOTHING", strArchive);
    return FALSE;
}

void CAutoBackupRestore::Discard()
{
    m_pWork.reset();
    m_arrRegFiles.RemoveAll();
    m_arrRegNames.RemoveAll();
    m_arrShortcuts.RemoveAll();
    m_strShortcutList.Empty();
}

BOOL CAutoBackupRestore::Prepare(const CString& strArchive, const CString& strWorkParent)
{
    Discard();
    m_failure = CRestoreFailure();
    m_nRegFilesImported = 0;
    m_nShortcutsPlaced = 0;
    m_nRegKeys = 0;
    m_bRefused = FALSE;
    m_bStopped = FALSE;
    m_keys.clear();
    m_arrFiles.RemoveAll();
    m_strArchive = strArchive;

    if (!::PathFileExistsW(strArchive))
    {
        m_failure.Note(L"M_RESTORE_ERR_ARCHIVE", strArchive, ERROR_FILE_NOT_FOUND);
        return FALSE;
    }
    m_pWork.reset(new CRestoreWorkFolder);
    CRestoreWorkFolder& work = *m_pWork;
    work.SetStopFlag(m_pbStop);
    BOOL bCreated = work.Create(strWorkParent);
    if (!bCreated && IsStopped())
        return EndStopped();
    if (!bCreated)
    {
        m_failure.Note(L"M_RESTORE_ERR_WORKFOLDER", strWorkParent, ::GetLastError());
        m_pWork.reset();
        return FALSE;
    }

    ZipHandle hZip = OpenZipArchive((LPCWSTR)strArchive, 0, ZipKindFile);
    if (hZip == NULL)
    {
        m_failure.Note(L"M_RESTORE_ERR_ARCHIVE", strArchive);
        Discard();
        return FALSE;
    }
    // A stopped extraction removes its partial file itself.
    SetZipReaderStopFlag(hZip, m_pbStop);
    CString& strShortcutList = m_strShortcutList;
    CStringArray& arrShortcuts = m_arrShortcuts;
    CStringArray& arrRegFiles = m_arrRegFiles;
    CStringArray& arrRegNames = m_arrRegNames;
    ZipArchiveEntry entry = {};
    ZipResult zr = GetZipArchiveItem(hZip, -1, &entry);
    int nCount = zr == ZipOk ? entry.m_nIndex : 0;
    if (zr != ZipOk)
        m_failure.Note(L"M_RESTORE_ERR_ARCHIVE", strArchive);
    for (int i = 0; i < nCount && !IsStopped(); i++)
    {
        if (GetZipArchiveItem(hZip, i, &entry) != ZipOk)
        {
            CString strIndex;
            strIndex.Format(L"#%d", i + 1);
            m_failure.Note(L"M_RESTORE_ERR_ENTRY", strIndex);
            continue;
        }
        CString strName = EntryFileName(entry.m_szName);
        LPCWSTR pszExtension = NULL;
        if (strName.CompareNoCase(L"ShortCuts.txt") == 0)
            pszExtension = L".txt";
        else if (EndsWithNoCase(strName, L".reg"))
            pszExtension = L".reg";
        else if (EndsWithNoCase(strName, L".lnk"))
            pszExtension = L".lnk";
        if (pszExtension == NULL)
        {
            // Not restored, so the restore is not complete.
            m_failure.Note(L"M_RESTORE_ERR_UNKNOWN", CString(entry.m_szName));
            continue;
        }
        // A small archive must not fill the disk.
        if (entry.m_dwUncompressedSize > AUTOBACKUP_MAX_ENTRY_BYTES)
        {
            m_failure.Note(L"M_RESTORE_ERR_TOOLARGE", CString(entry.m_szName));
            if (lstrcmpW(pszExtension, L".lnk") == 0)
                arrShortcuts.Add(CString());
            continue;
        }
        // Each entry gets a file of its own: equal names never overwrite each other.
        CString strTarget;
        strTarget.Format(L"%s%d%s", (LPCWSTR)work.GetPath(), i, pszExtension);
        ZipResult zrEntry = ExtractZipArchiveItem(hZip, i, (LPCWSTR)strTarget, 0, ZipKindFile);
        if (zrEntry == ZipErrStopped)
            break;
        if (zrEntry != ZipOk)
        {
            // A damaged shortcut still takes its place in the pairing.
            m_failure.Note(L"M_RESTORE_ERR_ENTRY", CString(entry.m_szName), zrEntry);
            if (lstrcmpW(pszExtension, L".lnk") == 0)
                arrShortcuts.Add(CString());
            continue;
        }
        if (lstrcmpW(pszExtension, L".reg") == 0)
        {
            arrRegFiles.Add(strTarget);
            arrRegNames.Add(strName);
        }
        else if (lstrcmpW(pszExtension, L".txt") == 0)
            strShortcutList = strTarget;
        else
            arrShortcuts.Add(strTarget);
    }
    CloseZipReader(hZip);
    if (IsStopped())
        return EndStopped();

    // Every registry file is checked, each in the view it is imported in,
    // before any is imported: one line that a repair cannot have written
    // refuses the whole backup.
    for (INT_PTR i = 0; i < arrRegFiles.GetSize(); i++)
    {
        CString strLine;
        int nLine = 0;
        std::vector<CRestoreKey> keys;
        if (!CheckAutoBackupRegFile(arrRegFiles[i], AutoBackupRegEntryView(arrRegNames[i]), nLine, strLine, keys,
                                    m_pbStop))
        {
            // A stopped check refuses nothing; nothing was written.
            if (IsStopped())
                return EndStopped();
            m_failure = CRestoreFailure();
            m_failure.Note(L"M_RESTORE_ERR_REFUSED", arrRegNames[i] + L":\n" + strLine, (DWORD)nLine);
            m_bRefused = TRUE;
            m_keys.clear();
            Discard();
            return FALSE;
        }
        m_nRegKeys += (int)keys.size();
        m_keys.insert(m_keys.end(), keys.begin(), keys.end());
    }

    // The paths the shortcuts would go to, as the user will be asked about them.
    CStringArray arrPaths;
    if (!ReadShortcutList(strShortcutList, arrPaths, m_pbStop) && IsStopped())
        return EndStopped();
    for (int k = 0; k < (int)arrShortcuts.GetSize() && k < (int)arrPaths.GetSize(); k++)
    {
        if (!arrShortcuts[k].IsEmpty())
            m_arrFiles.Add(arrPaths[k]);
    }
    if (m_nRegKeys == 0 && m_arrFiles.GetSize() == 0)
    {
        // Nothing to put back is no successful restore either.
        if (!m_failure.IsSet())
            m_failure.Note(L"M_RESTORE_ERR_NOTHING", strArchive);
        Discard();
        return FALSE;
    }
    return TRUE;
}

BOOL CAutoBackupRestore::Write()
{
    if (!m_pWork)
        return FALSE;
    m_bStopped = FALSE;
    for (INT_PTR i = 0; i < m_arrRegFiles.GetSize() && !m_bStopped; i++)
    {
        CRegFile regFile;
        // A stop ends the import at the next key line, never within a key:
        // each key of the backup is written whole or left as it was.
        regFile.SetStopFlag(m_pbStop);
        // A file of another view goes back into that view.
        DWORD dwResult = regFile.ImportFile(m_arrRegFiles[i], AutoBackupRegEntryView(m_arrRegNames[i]));
        if (regFile.WasStopped() || IsStopped())
            m_bStopped = TRUE;
        else if (dwResult != ERROR_SUCCESS && !regFile.GetFailedKey().IsEmpty())
        {
            // The key that could not be had, and the registry's reason.
            DWORD dwReason = regFile.GetFailedReason();
            m_failure.Note(dwReason == ERROR_CHILD_MUST_BE_VOLATILE ? L"M_RESTORE_ERR_VOLATILE" : L"M_RESTORE_ERR_KEY",
                           regFile.GetFailedKey(), dwReason);
        }
        else if (dwResult != ERROR_SUCCESS)
            m_failure.Note(L"M_RESTORE_ERR_IMPORT", m_arrRegNames[i], dwResult);
        else
            m_nRegFilesImported++;
    }

    if (!m_bStopped)
        PlaceShortcuts(m_strShortcutList, m_arrShortcuts);

    // Stopped, the removal ends at the next file; the next Prepare clears the rest.
    CString strWork = m_pWork->GetPath();
    if (!m_pWork->Remove() && !m_bStopped && !IsStopped())
        m_failure.Note(L"M_RESTORE_ERR_CLEANUP", strWork, ::GetLastError());
    Discard();
    if (m_bStopped)
        return FALSE;
    if (!m_failure.IsSet() && m_nRegKeys == 0 && m_nShortcutsPlaced == 0)
        m_failure.Note(L"M_RESTORE_ERR_NOTHING", m_strArchive);
    return !m_failure.IsSet();
}

BOOL CheckAutoBackupRegFile(const CString& strPath, REGSAM samView, int& nLine, CString& strLine,
                            std::vector<CRestoreKey>& keys, const std::atomic<bool>* pbStop)
{
    keys.clear();
    RegKeyTargetRule rule = [&keys](const CString& strKeyPath, REGSAM samKeyView) {
        int nAllowance = ScanRootTargetAllowance(strKeyPath, samKeyView);
        if (nAllowance != RegKeyRefused)
        {
            CRestoreKey key;
            key.m_strPath = strKeyPath;
            key.m_samView = samKeyView;
            keys.push_back(key);
        }
        return nAllowance;
    };
    CRegFile regFile;
    regFile.SetStopFlag(pbStop);
    nLine = 0;
    strLine.Empty();
    if (regFile.CheckFileInView(strPath, samView, rule, nLine) == ERROR_SUCCESS)
        return TRUE;
    keys.clear();
    if (regFile.WasStopped())
    {
        nLine = 0;
        return FALSE;
    }
    strLine = ReadRegFileLine(strPath, nLine, pbStop);
    return FALSE;
}

void CAutoBackupRestore::PlaceShortcuts(const CString& strList, const CStringArray& arrShortcuts)
{
    CStringArray arrPaths;
    if (!ReadShortcutList(strList, arrPaths, m_pbStop))
    {
        if (IsStopped())
        {
            m_bStopped = TRUE;
            return;
        }
        m_failure.Note(L"M_RESTORE_ERR_ENTRY", L"ShortCuts.txt", ::GetLastError());
    }

    CDiskObject disk;
    // A shortcut goes back only where the shortcut scan can have found it.
    CStringArray arrScanFolders;
    GetShortcutScanFolders(arrScanFolders);
    // Line k belongs to the k-th shortcut entry; lines without one are ignored.
    for (int k = 0; k < (int)arrShortcuts.GetSize(); k++)
    {
        // One shortcut is copied whole or not at all.
        if (IsStopped())
        {
            m_bStopped = TRUE;
            return;
        }
        const CString& strSource = arrShortcuts[k];
        if (k >= (int)arrPaths.GetSize())
        {
            m_failure.Note(L"M_RESTORE_ERR_NOPATH", strSource.IsEmpty() ? CString(L"ShortCuts.txt") : strSource);
            continue;
        }
        const CString& strPath = arrPaths[k];
        if (strSource.IsEmpty())
            continue;   // damaged entry, already noted
        if (!IsRestorableShortcutPath(strPath))
        {
            m_failure.Note(L"M_RESTORE_ERR_PATH", strPath);
            continue;
        }
        ShortcutPlace place = CheckShortcutPlace(strPath, arrScanFolders);
        if (place != ShortcutPlaceOk)
        {
            m_failure.Note(place == ShortcutPlaceLinked ? L"M_RESTORE_ERR_LINKED" : L"M_RESTORE_ERR_PLACE", strPath);
            continue;
        }
        if (::GetFileAttributesW(strPath) != INVALID_FILE_ATTRIBUTES)
        {
            m_failure.Note(L"M_RESTORE_ERR_EXISTS", strPath);
            continue;
        }
        CString strFolder = strPath.Left(strPath.ReverseFind(L'\\') + 1);
        if (!::PathIsDirectoryW(strFolder) && !disk.MakeFolderPath(strFolder))
        {
            m_failure.Note(L"M_RESTORE_ERR_COPY", strPath, ::GetLastError());
            continue;
        }
        // Never over a file: one that appeared meanwhile is the user's.
        if (!::CopyFileW(strSource, strPath, TRUE))
        {
            DWORD dwError = ::GetLastError();
            m_failure.Note(dwError == ERROR_FILE_EXISTS ? L"M_RESTORE_ERR_EXISTS" : L"M_RESTORE_ERR_COPY", strPath,
                           dwError);
            continue;
        }
        m_nShortcutsPlaced++;
    }
}
