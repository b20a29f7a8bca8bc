#include "repair/FavoritesBackup.h"
#include "services/DiskObject.h"
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
    if (!disk.MakeFolderPath(strNew + L"\\") || !disk.CopyDirectoryTree(strFavorites, strNew + L"\\"))
    {
        m_strError = disk.GetErrorMessage();
        disk.RemoveDirectoryTree(strNew);
        return ResultCopyFailed;
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
    CDiskObject disk;
    if (!disk.CopyDirectoryTree(m_strBackupDir, strFavorites))
    {
        m_strError = disk.GetErrorMessage();
        return ResultCopyFailed;
    }
    return ResultOk;
}
