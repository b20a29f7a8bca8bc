#include "repair/FavoritesBackup.h"
#include "services/DiskObject.h"
#include "services/ScopedHandle.h"
#include "services/NtRegistry.h"
#include "scanner/FolderWalk.h"

#include <shlwapi.h>

namespace {
CString WithoutBackslash(const CString& strFolder)
{
    CString str = strFolder;
    str.TrimRight(L"\\");
    return str;
}

// Whether strFolder (with its trailing backslash) is a linked folder.
BOOL IsLinkedSubfolder(const CString& strFolder)
{
    CString strPath = WithoutBackslash(strFolder);
    int nSlash = strPath.ReverseFind(L'\\');
    DWORD dwAttributes = ::GetFileAttributesW(strPath);
    if (nSlash < 0 || dwAttributes == INVALID_FILE_ATTRIBUTES)
        return FALSE;
    return IsLinkedFolder(strPath.Left(nSlash), strPath.Mid(nSlash + 1), dwAttributes);
}

// The first existing folder of strRelative below strBase (no trailing
// backslash) that is a link, with its full path; empty when none is. Folders
// that do not exist yet are made below the last one that does.
CString FindLinkOnTheWay(const CString& strBase, const CString& strRelative)
{
    CString strCurrent = WithoutBackslash(strBase);
    CString strRest = WithoutBackslash(strRelative);
    int nStart = 0;
    while (nStart < strRest.GetLength())
    {
        int nEnd = strRest.Find(L'\\', nStart);
        if (nEnd < 0)
            nEnd = strRest.GetLength();
        CString strStep = strRest.Mid(nStart, nEnd - nStart);
        nStart = nEnd + 1;
        DWORD dwAttributes = ::GetFileAttributesW(strCurrent + L"\\" + strStep);
        // A file in the way fails the copy when its folder is made.
        if (dwAttributes == INVALID_FILE_ATTRIBUTES || !(dwAttributes & FILE_ATTRIBUTE_DIRECTORY))
            break;
        if (IsLinkedFolder(strCurrent, strStep, dwAttributes))
            return strCurrent + L"\\" + strStep;
        strCurrent += L"\\" + strStep;
    }
    return CString();
}

BOOL IsLinkEntry(const CString& strPath)
{
    DWORD dwAttributes = ::GetFileAttributesW(strPath);
    return dwAttributes != INVALID_FILE_ATTRIBUTES && (dwAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

BOOL StartsWithNoCase(const CString& str, const CString& strStart)
{
    return str.GetLength() >= strStart.GetLength() && str.Left(strStart.GetLength()).CompareNoCase(strStart) == 0;
}
} // namespace

CFavoritesBackup::CFavoritesBackup(const CString& strBackupDir) : m_strBackupDir(strBackupDir)
{
}

CString CFavoritesBackup::GetFavoritesFolder()
{
    CNtRegistry registry;
    if (!registry.SetKey(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                         FALSE, TRUE))
        return CString();
    CString strFolder = registry.ReadString(L"Favorites", L"ERR");
    if (strFolder.IsEmpty() || strFolder == L"ERR" || !::PathIsDirectoryW(strFolder))
        return CString();
    if (strFolder[strFolder.GetLength() - 1] != L'\\')
        strFolder += L"\\";
    return strFolder;
}

CFavoritesBackup::Result CFavoritesBackup::Backup(const CString& strFavorites)
{
    m_strError.Empty();
    m_arrLeftOut.RemoveAll();
    if (strFavorites.IsEmpty() || !::PathIsDirectoryW(strFavorites))
        return ResultNoFavorites;
    CString strBackup = WithoutBackslash(m_strBackupDir);
    CString strNew = strBackup + L".new";
    CString strOld = strBackup + L".old";
    CDiskObject disk;
    // Left over from an interrupted run: ours to clear.
    if (::PathIsDirectoryW(strNew))
        disk.RemoveDirectoryTree(strNew);
    if (::PathIsDirectoryW(strOld))
        disk.RemoveDirectoryTree(strOld);
    Result result = disk.MakeFolderPath(strNew + L"\\") ? CopyTree(strFavorites, strNew + L"\\") : ResultCopyFailed;
    if (result != ResultOk)
    {
        if (m_strError.IsEmpty())
            m_strError = disk.GetErrorMessage();
        disk.RemoveDirectoryTree(strNew);
        return result;
    }
    BOOL bHadBackup = ::PathIsDirectoryW(strBackup);
    if (bHadBackup && !::MoveFileW(strBackup, strOld))
    {
        m_strError.Format(L"%s (%lu)", (LPCWSTR)strBackup, (unsigned long)::GetLastError());
        disk.RemoveDirectoryTree(strNew);
        return ResultSwapFailed;
    }
    if (!::MoveFileW(strNew, strBackup))
    {
        m_strError.Format(L"%s (%lu)", (LPCWSTR)strNew, (unsigned long)::GetLastError());
        if (bHadBackup)
            ::MoveFileW(strOld, strBackup);
        disk.RemoveDirectoryTree(strNew);
        return ResultSwapFailed;
    }
    if (bHadBackup)
        disk.RemoveDirectoryTree(strOld);
    return ResultOk;
}

CFavoritesBackup::Result CFavoritesBackup::Restore(const CString& strFavorites)
{
    m_strError.Empty();
    m_arrLeftOut.RemoveAll();
    if (strFavorites.IsEmpty() || !::PathIsDirectoryW(strFavorites))
        return ResultNoFavorites;
    if (!::PathIsDirectoryW(m_strBackupDir))
        return ResultNoBackup;
    return CopyTree(m_strBackupDir, strFavorites);
}

CFavoritesBackup::Result CFavoritesBackup::CopyTree(const CString& strSource, const CString& strTarget)
{
    CDiskObject disk;
    CString strFrom = strSource, strTo = strTarget;
    if (!disk.CompleteFolderPath(strFrom) || !disk.CompleteFolderPath(strTo))
    {
        m_strError = disk.GetErrorMessage();
        return ResultCopyFailed;
    }
    CStringArray arrFolders;
    arrFolders.Add(strFrom);
    if (!disk.ListSubfolders(strFrom, arrFolders, TRUE))
    {
        m_strError = disk.GetErrorMessage();
        return ResultCopyFailed;
    }
    // One file that fails keeps no other from being copied; the first
    // failure is the one told.
    Result result = ResultOk;
    // A link is never passed: what it points at is neither copied nor
    // written. Folders below a left-out one are left out with it.
    CStringArray arrSkipped;
    for (INT_PTR i = 0; i < arrFolders.GetSize(); i++)
    {
        if (IsStopped())
            return ResultStopped;
        BOOL bBelowSkipped = FALSE;
        for (INT_PTR k = 0; k < arrSkipped.GetSize() && !bBelowSkipped; k++)
            bBelowSkipped = StartsWithNoCase(arrFolders[i], arrSkipped[k]);
        if (bBelowSkipped)
            continue;
        CString strRelative = arrFolders[i].Mid(strFrom.GetLength());
        if (i > 0 && IsLinkedSubfolder(arrFolders[i]))
        {
            arrSkipped.Add(arrFolders[i]);
            m_arrLeftOut.Add(WithoutBackslash(arrFolders[i]));
            continue;
        }
        CString strLink = FindLinkOnTheWay(strTo, strRelative);
        if (!strLink.IsEmpty())
        {
            arrSkipped.Add(arrFolders[i]);
            m_arrLeftOut.Add(strLink);
            continue;
        }
        CString strTargetFolder = strTo + strRelative;
        CStringArray arrFiles;
        if (!disk.ListFolderFiles(arrFolders[i], arrFiles, FALSE) || !disk.MakeFolderPath(strTargetFolder))
        {
            if (result == ResultOk)
                m_strError = disk.GetErrorMessage();
            result = ResultCopyFailed;
            continue;
        }
        for (INT_PTR j = 0; j < arrFiles.GetSize(); j++)
        {
            if (IsStopped())
                return ResultStopped;
            CString strFile = arrFolders[i] + arrFiles[j];
            CString strTargetFile = strTargetFolder + arrFiles[j];
            // Copied, a link would bring its target's data; overwritten, the
            // file it points at would change.
            if (IsLinkEntry(strFile) || IsLinkEntry(strTargetFile))
            {
                m_arrLeftOut.Add(IsLinkEntry(strFile) ? strFile : strTargetFile);
                continue;
            }
            if (!::CopyFileW(strFile, strTargetFile, FALSE) && result == ResultOk)
            {
                m_strError.Format(L"%s (%lu)", (LPCWSTR)strFile, (unsigned long)::GetLastError());
                result = ResultCopyFailed;
            }
        }
    }
    return result;
}

BOOL CFavoritesBackup::ListTree(std::vector<TreeRow>& rows) const
{
    rows.clear();
    if (!::PathIsDirectoryW(m_strBackupDir))
        return TRUE;
    return ListFolder(m_strBackupDir, -1, 0, rows);
}

BOOL CFavoritesBackup::ListFolder(const CString& strFolder, int nParent, int nDepth, std::vector<TreeRow>& rows) const
{
    if (nDepth > 64)
        return TRUE;
    CString strBase = strFolder;
    if (strBase.IsEmpty())
        return TRUE;
    if (strBase[strBase.GetLength() - 1] != L'\\')
        strBase += L"\\";
    WIN32_FIND_DATAW fd;
    CFindHandle hFind(::FindFirstFileW(strBase + L"*.*", &fd));
    if (!hFind.IsValid())
        return TRUE;
    do
    {
        if (IsStopped())
            return FALSE;
        CString strName = fd.cFileName;
        if (strName == L"." || strName == L"..")
            continue;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        {
            rows.push_back(TreeRow{ nParent, strName, TRUE });
            // A link could lead back up the tree: it is shown, not entered.
            if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
                !ListFolder(strBase + strName, (int)rows.size() - 1, nDepth + 1, rows))
                return FALSE;
            continue;
        }
        int nDot = strName.ReverseFind(L'.');
        CString strExt = nDot >= 0 ? strName.Mid(nDot) : CString();
        strExt.MakeLower();
        if (strExt != L".ini")
            rows.push_back(TreeRow{ nParent, strName, FALSE });
    } while (::FindNextFileW(hFind, &fd));
    return TRUE;
}
