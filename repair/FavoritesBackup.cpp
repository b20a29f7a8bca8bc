#include "repair/FavoritesBackup.h"
#include "services/DiskObject.h"
#include "services/ScopedHandle.h"
#include "services/NtRegistry.h"

#include <shlwapi.h>

namespace {
CString WithoutBackslash(const CString& strFolder)
{
    CString str = strFolder;
    str.TrimRight(L"\\");
    return str;
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
    for (INT_PTR i = 0; i < arrFolders.GetSize(); i++)
    {
        if (IsStopped())
            return ResultStopped;
        CString strTargetFolder = strTo + arrFolders[i].Mid(strFrom.GetLength());
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
            if (!::CopyFileW(strFile, strTargetFolder + arrFiles[j], FALSE) && result == ResultOk)
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
