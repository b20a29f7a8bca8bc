#include "repair/AutoBackupRestore.h"
#include "repair/AutoBackup.h"
#include "repair/RestoreWorkFolder.h"
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

} // namespace

CAutoBackupRestore::CAutoBackupRestore()
    : m_nRegFilesImported(0), m_nShortcutsPlaced(0), m_nRegKeys(0), m_bRefused(FALSE)
{
}

BOOL CAutoBackupRestore::Restore(const CString& strArchive, const CString& strWorkParent)
{
    m_failure = CRestoreFailure();
    m_nRegFilesImported = 0;
    m_nShortcutsPlaced = 0;
    m_nRegKeys = 0;
    m_bRefused = FALSE;

    if (!::PathFileExistsW(strArchive))
    {
        m_failure.Note(L"M_RESTORE_ERR_ARCHIVE", strArchive, ERROR_FILE_NOT_FOUND);
        return FALSE;
    }
    CRestoreWorkFolder work;
    if (!work.Create(strWorkParent))
    {
        m_failure.Note(L"M_RESTORE_ERR_WORKFOLDER", strWorkParent, ::GetLastError());
        return FALSE;
    }

    ZipHandle hZip = OpenZipArchive((LPCWSTR)strArchive, 0, ZipKindFile);
    if (hZip == NULL)
    {
        m_failure.Note(L"M_RESTORE_ERR_ARCHIVE", strArchive);
        return FALSE;
    }
    CString strShortcutList;
    CStringArray arrShortcuts;
    CStringArray arrRegFiles, arrRegNames;
    ZipArchiveEntry entry = {};
    ZipResult zr = GetZipArchiveItem(hZip, -1, &entry);
    int nCount = zr == ZipOk ? entry.m_nIndex : 0;
    if (zr != ZipOk)
        m_failure.Note(L"M_RESTORE_ERR_ARCHIVE", strArchive);
    for (int i = 0; i < nCount; i++)
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

    // Every registry file is checked before any is imported: one line that a
    // repair cannot have written refuses the whole backup.
    for (INT_PTR i = 0; i < arrRegFiles.GetSize(); i++)
    {
        CString strLine;
        int nLine = 0, nKeys = 0;
        if (!CheckAutoBackupRegFile(arrRegFiles[i], nLine, strLine, nKeys))
        {
            m_failure = CRestoreFailure();
            m_failure.Note(L"M_RESTORE_ERR_REFUSED", arrRegNames[i] + L":\n" + strLine, (DWORD)nLine);
            m_bRefused = TRUE;
            work.Remove();
            return FALSE;
        }
        m_nRegKeys += nKeys;
    }
    for (INT_PTR i = 0; i < arrRegFiles.GetSize(); i++)
    {
        CRegFile regFile;
        // A file of another view goes back into that view.
        DWORD dwResult = regFile.ImportFile(arrRegFiles[i], AutoBackupRegEntryView(arrRegNames[i]));
        if (dwResult != ERROR_SUCCESS && !regFile.GetFailedKey().IsEmpty())
        {
            // The key that could not be had, and the registry's reason.
            DWORD dwReason = regFile.GetFailedReason();
            m_failure.Note(dwReason == ERROR_CHILD_MUST_BE_VOLATILE ? L"M_RESTORE_ERR_VOLATILE" : L"M_RESTORE_ERR_KEY",
                           regFile.GetFailedKey(), dwReason);
        }
        else if (dwResult != ERROR_SUCCESS)
            m_failure.Note(L"M_RESTORE_ERR_IMPORT", arrRegNames[i], dwResult);
        else
            m_nRegFilesImported++;
    }

    PlaceShortcuts(strShortcutList, arrShortcuts);

    CString strWork = work.GetPath();
    if (!work.Remove())
        m_failure.Note(L"M_RESTORE_ERR_CLEANUP", strWork, ::GetLastError());
    // Nothing to put back is no successful restore either.
    if (!m_failure.IsSet() && m_nRegKeys == 0 && m_nShortcutsPlaced == 0)
        m_failure.Note(L"M_RESTORE_ERR_NOTHING", strArchive);
    return !m_failure.IsSet();
}

BOOL CheckAutoBackupRegFile(const CString& strPath, int& nLine, CString& strLine, int& nKeys)
{
    nKeys = 0;
    RegKeyRule rule = [&nKeys](const CString& strKeyPath) {
        int nAllowance = ScanRootAllowance(strKeyPath);
        if (nAllowance != RegKeyRefused)
            nKeys++;
        return nAllowance;
    };
    CRegFile regFile;
    nLine = 0;
    strLine.Empty();
    if (regFile.CheckFile(strPath, rule, nLine) == ERROR_SUCCESS)
        return TRUE;
    nKeys = 0;
    strLine = ReadRegFileLine(strPath, nLine);
    return FALSE;
}

void CAutoBackupRestore::PlaceShortcuts(const CString& strList, const CStringArray& arrShortcuts)
{
    CStringArray arrPaths;
    if (!strList.IsEmpty())
    {
        CTextFile file(strList, L"rb");
        if (!file.IsOpen())
            m_failure.Note(L"M_RESTORE_ERR_ENTRY", L"ShortCuts.txt", ::GetLastError());
        CString strLine;
        BOOL bMore = file.IsOpen();
        while (bMore)
        {
            bMore = file.ReadLine(strLine);
            strLine.TrimRight(L"\r");
            if (!bMore && strLine.IsEmpty())
                break;
            arrPaths.Add(strLine);
        }
        file.Close();
    }

    CDiskObject disk;
    // Line k belongs to the k-th shortcut entry; lines without one are ignored.
    for (int k = 0; k < (int)arrShortcuts.GetSize(); k++)
    {
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
