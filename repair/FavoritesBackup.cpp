#include "repair/FavoritesBackup.h"
#include "services/DiskObject.h"
#include "services/DeepPath.h"
#include "services/ScopedHandle.h"
#include "services/NtRegistry.h"

#include <algorithm>
#include <shlwapi.h>

namespace {
CString WithoutBackslash(const CString& strFolder)
{
    CString str = strFolder;
    str.TrimRight(L"\\");
    return str;
}

// A path in the "\\?\" form as the user knows it.
CString PlainForm(const CString& strPath)
{
    if (strPath.Left(8).CompareNoCase(L"\\\\?\\UNC\\") == 0)
        return L"\\\\" + strPath.Mid(8);
    return strPath.Left(4) == L"\\\\?\\" ? strPath.Mid(4) : strPath;
}

// strFolder\strName, strFolder as GetResolvedPath gives it.
CString JoinResolved(const CString& strFolder, const CString& strName)
{
    if (!strFolder.IsEmpty() && strFolder[strFolder.GetLength() - 1] == L'\\')
        return strFolder + strName;
    return strFolder + L"\\" + strName;
}

struct FolderEntry
{
    CString strName;
    DWORD dwAttributes;
};

// The entries of a folder (path with its trailing backslash), "." and ".."
// left out; ERROR_SUCCESS or the error of the listing.
DWORD ListEntries(const CString& strFolder, std::vector<FolderEntry>& entries)
{
    entries.clear();
    WIN32_FIND_DATAW fd;
    CFindHandle hFind(::FindFirstFileW(strFolder + L"*", &fd));
    if (!hFind.IsValid())
    {
        DWORD dwError = ::GetLastError();
        return dwError == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : dwError;
    }
    do
    {
        if (wcscmp(fd.cFileName, L".") != 0 && wcscmp(fd.cFileName, L"..") != 0)
            entries.push_back(FolderEntry{ fd.cFileName, fd.dwFileAttributes });
    } while (::FindNextFileW(hFind, &fd));
    return ERROR_SUCCESS;
}

// Whether the folder strPath (no trailing backslash) is a link: a reparse
// point, or one that leads elsewhere than strExpected, where its parent leads
// with its name added; a folder whose place cannot be told is not entered
// either. bResolve: whether the system can tell where paths this long lead;
// cleared when it cannot. ERROR_SUCCESS, or the error when the folder could
// not be opened for its path's length.
DWORD CheckFolderLink(const CString& strPath, DWORD dwAttributes, const CString& strExpected, BOOL& bResolve,
                      BOOL& bLinked, CString& strResolved)
{
    bLinked = (dwAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    strResolved = strExpected;
    if (bLinked || !bResolve)
        return ERROR_SUCCESS;
    DWORD dwError = GetResolvedPath(strPath, strResolved);
    if (dwError == ERROR_SUCCESS)
    {
        bLinked = strResolved.CompareNoCase(strExpected) != 0;
        return ERROR_SUCCESS;
    }
    strResolved = strExpected;
    if (dwError == ERROR_NOT_SUPPORTED)
        bResolve = FALSE;
    else if (IsPathTooLong(strPath, dwError))
        return dwError;
    else
        bLinked = TRUE;
    return ERROR_SUCCESS;
}

BOOL IsFolderPath(const CString& strPath)
{
    DWORD dwAttributes = ::GetFileAttributesW(SystemPathForm(strPath));
    return dwAttributes != INVALID_FILE_ATTRIBUTES && (dwAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

BOOL IsLinkEntry(const CString& strPath)
{
    DWORD dwAttributes = ::GetFileAttributesW(strPath);
    return dwAttributes != INVALID_FILE_ATTRIBUTES && (dwAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
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
    if (strFolder.IsEmpty() || strFolder == L"ERR" || !IsFolderPath(strFolder))
        return CString();
    if (strFolder[strFolder.GetLength() - 1] != L'\\')
        strFolder += L"\\";
    return strFolder;
}

void CFavoritesBackup::RecoverInterruptedSwap()
{
    CString strBackup = WithoutBackslash(m_strBackupDir);
    CString strOld = strBackup + L".old";
    if (!::PathIsDirectoryW(strBackup) && ::PathIsDirectoryW(strOld))
        ::MoveFileW(strOld, strBackup);
}

BOOL CFavoritesBackup::HasBackup() const
{
    CString strBackup = WithoutBackslash(m_strBackupDir);
    return ::PathIsDirectoryW(strBackup) || ::PathIsDirectoryW(strBackup + L".old");
}

BOOL CFavoritesBackup::RemoveLeftovers()
{
    CString strBackup = WithoutBackslash(m_strBackupDir);
    CString strNew = strBackup + L".new";
    CString strOld = strBackup + L".old";
    CDiskObject disk;
    disk.SetStopFlag(m_pbStop);
    // Left over from an interrupted run, the backup being in its place: ours
    // to clear. An earlier backup that could not be put back is the only one
    // there is: it stays until a complete copy has taken the place.
    if (::PathIsDirectoryW(strNew) && !disk.RemoveDirectoryTree(strNew))
    {
        // A copy made into what is left of an older one would keep favorites
        // removed since.
        if (!IsStopped())
            m_strError = disk.GetErrorMessage();
        return FALSE;
    }
    // One that stays makes the swap fail, which says so.
    if (::PathIsDirectoryW(strOld) && ::PathIsDirectoryW(strBackup))
        disk.RemoveDirectoryTree(strOld);
    return !IsStopped();
}

CFavoritesBackup::Result CFavoritesBackup::Backup(const CString& strFavorites)
{
    m_strError.Empty();
    m_arrLeftOut.RemoveAll();
    m_arrTooLong.RemoveAll();
    if (strFavorites.IsEmpty() || !IsFolderPath(strFavorites))
        return ResultNoFavorites;
    RecoverInterruptedSwap();
    if (!RemoveLeftovers())
        return IsStopped() ? ResultStopped : ResultCopyFailed;
    CString strBackup = WithoutBackslash(m_strBackupDir);
    CString strNew = strBackup + L".new";
    CString strOld = strBackup + L".old";
    CDiskObject disk;
    disk.SetStopFlag(m_pbStop);
    Result result = disk.MakeFolderPath(strNew + L"\\") ? CopyTree(strFavorites, strNew + L"\\") : ResultCopyFailed;
    if (result == ResultStopped)
        return result;  // the next run clears the partial copy
    if (result != ResultOk)
    {
        if (m_strError.IsEmpty())
            m_strError = disk.GetErrorMessage();
        disk.RemoveDirectoryTree(strNew);
        return result;
    }
    // The copy is whole: it takes the backup's place even when a stop came
    // meanwhile, as that is two renames.
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
    // Stopped, the old copy (or what is left of it) goes at the next run.
    if (bHadBackup && !IsStopped())
        disk.RemoveDirectoryTree(strOld);
    return ResultOk;
}

CFavoritesBackup::Result CFavoritesBackup::Restore(const CString& strFavorites)
{
    m_strError.Empty();
    m_arrLeftOut.RemoveAll();
    m_arrTooLong.RemoveAll();
    if (strFavorites.IsEmpty() || !IsFolderPath(strFavorites))
        return ResultNoFavorites;
    if (!::PathIsDirectoryW(m_strBackupDir))
        return ResultNoBackup;
    // Nothing of the favorites is removed first: a stop leaves every one of
    // them there, and the backup is only read.
    return CopyTree(m_strBackupDir, strFavorites);
}

void CFavoritesBackup::NoteFailure(const CString& strPath, const CString& strEntry, DWORD dwError, Result& result)
{
    if (IsPathTooLong(strPath, dwError))
    {
        m_arrTooLong.Add(PlainForm(WithoutBackslash(strEntry)));
        return;
    }
    if (result == ResultOk)
        m_strError.Format(L"%s (%lu)", (LPCWSTR)PlainForm(WithoutBackslash(strPath)), (unsigned long)dwError);
    result = ResultCopyFailed;
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
    // Every call gets the "\\?\" form, which reaches past MAX_PATH.
    strFrom = LongPathForm(strFrom);
    strTo = LongPathForm(strTo);
    // Where the two folders lead: a folder below that leads elsewhere than its
    // parent with its name added is a link.
    CString strFromResolved, strToResolved;
    DWORD dwFrom = GetResolvedPath(strFrom, strFromResolved);
    DWORD dwTo = GetResolvedPath(strTo, strToResolved);
    for (DWORD dwError : {dwFrom, dwTo})
    {
        if (dwError != ERROR_SUCCESS && dwError != ERROR_NOT_SUPPORTED)
        {
            m_strError.Format(L"%s (%lu)", (LPCWSTR)PlainForm(WithoutBackslash(dwError == dwFrom ? strFrom : strTo)),
                              (unsigned long)dwError);
            return ResultCopyFailed;
        }
    }

    // One file that fails keeps no other from being copied; the first
    // failure is the one told. A link is never passed: what it points at is
    // neither copied nor written. The walk keeps its own list of folders to
    // visit, next one last: a tree thousands of folders deep would use up the
    // stack of a recursion.
    struct PendingFolder
    {
        CString strRelative;        // below both folders, ending in '\\'; empty for the top
        CString strSourceResolved;
        CString strTargetResolved;  // where the target folder leads once made
        BOOL bResolveSource;        // whether the system tells where paths this long lead
        BOOL bResolveTarget;
    };
    std::vector<PendingFolder> pending(1, PendingFolder{ CString(), strFromResolved, strToResolved,
                                                         dwFrom == ERROR_SUCCESS, dwTo == ERROR_SUCCESS });
    std::vector<FolderEntry> entries;
    Result result = ResultOk;
    while (!pending.empty())
    {
        if (IsStopped())
            return ResultStopped;
        PendingFolder folder = pending.back();
        pending.pop_back();
        CString strSourceFolder = strFrom + folder.strRelative;
        CString strTargetFolder = strTo + folder.strRelative;
        DWORD dwError = ListEntries(strSourceFolder, entries);
        if (dwError != ERROR_SUCCESS)
        {
            // A folder gone since its parent was listed has nothing to copy.
            if (dwError != ERROR_PATH_NOT_FOUND || IsPathTooLong(strSourceFolder, dwError))
                NoteFailure(strSourceFolder, strSourceFolder, dwError, result);
            continue;
        }
        // Deep in a tree each call costs Wine much (its time grows with the
        // square of the depth): the flag is polled between them.
        if (IsStopped())
            return ResultStopped;
        if (!folder.strRelative.IsEmpty() && !::CreateDirectoryW(WithoutBackslash(strTargetFolder), NULL))
        {
            dwError = ::GetLastError();
            if (dwError != ERROR_ALREADY_EXISTS)
            {
                NoteFailure(strTargetFolder, strSourceFolder, dwError, result);
                continue;
            }
            // One that was there may be a link the copy would write through.
            CString strExisting = WithoutBackslash(strTargetFolder);
            DWORD dwAttributes = ::GetFileAttributesW(strExisting);
            if (dwAttributes == INVALID_FILE_ATTRIBUTES || !(dwAttributes & FILE_ATTRIBUTE_DIRECTORY))
            {
                NoteFailure(strTargetFolder, strSourceFolder, ERROR_ALREADY_EXISTS, result);
                continue;
            }
            BOOL bLinked = FALSE;
            CString strExpected = folder.strTargetResolved;
            dwError = CheckFolderLink(strExisting, dwAttributes, strExpected, folder.bResolveTarget, bLinked,
                                      folder.strTargetResolved);
            if (dwError != ERROR_SUCCESS)
            {
                NoteFailure(strTargetFolder, strSourceFolder, dwError, result);
                continue;
            }
            if (bLinked)
            {
                m_arrLeftOut.Add(PlainForm(strExisting));
                continue;
            }
        }
        for (const FolderEntry& entry : entries)
        {
            if (entry.dwAttributes & FILE_ATTRIBUTE_DIRECTORY)
                continue;
            // A file begun is copied whole (CopyFileW): a favorite is never
            // left half-written over a good one.
            if (IsStopped())
                return ResultStopped;
            CString strFile = strSourceFolder + entry.strName;
            CString strTargetFile = strTargetFolder + entry.strName;
            // Copied, a link would bring its target's data; overwritten, the
            // file it points at would change.
            BOOL bSourceLink = (entry.dwAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
            if (bSourceLink || IsLinkEntry(strTargetFile))
            {
                m_arrLeftOut.Add(PlainForm(bSourceLink ? strFile : strTargetFile));
                continue;
            }
            if (!::CopyFileW(strFile, strTargetFile, FALSE))
            {
                dwError = ::GetLastError();
                const CString& strLonger = strTargetFile.GetLength() > strFile.GetLength() ? strTargetFile : strFile;
                NoteFailure(IsPathTooLong(strLonger, dwError) ? strLonger : strFile, strFile, dwError, result);
            }
        }
        // The subfolders in their order, each with everything below it before
        // the next one.
        size_t nFirstChild = pending.size();
        for (const FolderEntry& entry : entries)
        {
            if (!(entry.dwAttributes & FILE_ATTRIBUTE_DIRECTORY))
                continue;
            // Each one is opened to tell where it leads.
            if (IsStopped())
                return ResultStopped;
            CString strSub = strSourceFolder + entry.strName;
            BOOL bLinked = FALSE;
            CString strResolved;
            BOOL bResolveSource = folder.bResolveSource;
            dwError = CheckFolderLink(strSub, entry.dwAttributes, JoinResolved(folder.strSourceResolved, entry.strName),
                                      bResolveSource, bLinked, strResolved);
            if (dwError != ERROR_SUCCESS)
            {
                NoteFailure(strSub, strSub, dwError, result);
                continue;
            }
            if (bLinked)
            {
                m_arrLeftOut.Add(PlainForm(strSub));
                continue;
            }
            pending.push_back(PendingFolder{ folder.strRelative + entry.strName + L"\\", strResolved,
                                             JoinResolved(folder.strTargetResolved, entry.strName), bResolveSource,
                                             folder.bResolveTarget });
        }
        std::reverse(pending.begin() + nFirstChild, pending.end());
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
    CFindHandle hFind(::FindFirstFileW(SystemPathForm(strBase + L"*.*"), &fd));
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
