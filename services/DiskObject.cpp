#include "services/DiskObject.h"
#include "services/ScopedHandle.h"
#include "services/DeepPath.h"
#include <algorithm>
#include <vector>

namespace {

const LPCWSTR kInternalError = L"CDiskObject internal error - check call parameters";
const LPCWSTR kStoppedError = L"Stopped";

bool IsDotEntry(LPCWSTR pszName)
{
    return wcscmp(pszName, L".") == 0 || wcscmp(pszName, L"..") == 0;
}

bool IsFolderEntry(const WIN32_FIND_DATAW& data)
{
    return (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// A junction or link is removed as such; walking into it would touch what it points at.
bool IsLinkedFolder(const CString& strFolder)
{
    // Without the trailing separator: with it, the link's target answers.
    CString strLink = strFolder;
    if (strLink.GetLength() > 3)
        strLink.TrimRight(L'\\');
    DWORD dwAttributes = GetFileAttributesW(SystemPathForm(strLink));
    return dwAttributes != INVALID_FILE_ATTRIBUTES && (dwAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool IsFolder(const CString& strFolder)
{
    DWORD dwAttributes = GetFileAttributesW(SystemPathForm(strFolder));
    return dwAttributes != INVALID_FILE_ATTRIBUTES && (dwAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

// "C:\" or "\\server\share\" as CompleteFolderPath leaves them.
bool IsRootFolder(const CString& strFolder)
{
    if (strFolder.Left(2) != L"\\\\")
        return strFolder.GetLength() <= 3;
    CString strRest = strFolder.Mid(2);
    strRest.Trim(L'\\');
    int nSeparators = 0;
    for (int i = 0; i < strRest.GetLength(); ++i)
        if (strRest[i] == L'\\')
            ++nSeparators;
    return nSeparators <= 1;
}

void AddTrailingBackslash(CString& strPath)
{
    int nLength = strPath.GetLength();
    if (nLength == 0 || strPath[nLength - 1] != L'\\')
        strPath += L'\\';
}

} // namespace

BOOL CDiskObject::SetInternalError()
{
    m_strError = kInternalError;
    return FALSE;
}

BOOL CDiskObject::SetStoppedError()
{
    m_strError = kStoppedError;
    return FALSE;
}

BOOL CDiskObject::SetSystemError(LPCWSTR pszPath, DWORD dwError)
{
    LPWSTR pszMessage = nullptr;
    DWORD dwLength = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                    nullptr, dwError, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), (LPWSTR)&pszMessage, 0, nullptr);
    if (dwLength && pszMessage)
        m_strError = pszMessage;
    else
        m_strError.Format(L"Error %lu", dwError);
    if (pszMessage)
        LocalFree(pszMessage);
    m_strError.Trim();
    if (pszPath && *pszPath)
        m_strError += CString(L" ") + pszPath;
    return FALSE;
}

BOOL CDiskObject::CompleteFolderPath(CString& strFolder)
{
    if (strFolder.IsEmpty())
        return SetInternalError();
    strFolder.Replace(L'/', L'\\');
    AddTrailingBackslash(strFolder);
    if (strFolder.Left(2) == L"\\\\")
        return TRUE;

    bool bHasDrive = strFolder.GetLength() >= 2 && strFolder[1] == L':';
    if (!bHasDrive)
    {
        // Resolved against the current folder without changing it, so other
        // threads working with relative paths are not disturbed.
        DWORD dwSize = GetFullPathNameW(strFolder, 0, nullptr, nullptr);
        if (dwSize == 0)
            return SetInternalError();
        std::vector<WCHAR> buffer(dwSize + 1);
        DWORD dwLength = GetFullPathNameW(strFolder, (DWORD)buffer.size(), buffer.data(), nullptr);
        if (dwLength == 0 || dwLength >= buffer.size())
            return SetInternalError();
        strFolder = buffer.data();
        AddTrailingBackslash(strFolder);
    }
    if (strFolder.Mid(2).FindOneOf(L":*?") >= 0)
        return SetInternalError();
    return TRUE;
}

BOOL CDiskObject::MakeFolderPath(LPCWSTR pszFolder)
{
    m_strError.Empty();
    CString strFolder = pszFolder;
    if (!CompleteFolderPath(strFolder))
        return FALSE;

    CString strBase;
    int nRest = 0;
    if (strFolder.Left(2) == L"\\\\")
    {
        int nServerEnd = strFolder.Find(L'\\', 2);
        nRest = nServerEnd < 0 ? strFolder.GetLength() : nServerEnd;
    }
    else
    {
        nRest = 2; // the drive
    }
    strBase = strFolder.Left(nRest);

    CString strRest = strFolder.Mid(nRest);
    int nStart = 0;
    while (nStart < strRest.GetLength())
    {
        int nEnd = strRest.Find(L'\\', nStart);
        if (nEnd < 0)
            nEnd = strRest.GetLength();
        if (nEnd > nStart)
        {
            strBase += L'\\';
            strBase += strRest.Mid(nStart, nEnd - nStart);
            CreateDirectoryW(SystemPathForm(strBase), nullptr); // an existing level is no failure
        }
        nStart = nEnd + 1;
    }
    if (!IsFolder(strFolder))
        return SetSystemError(strFolder);
    return TRUE;
}

BOOL CDiskObject::AppendSubfolders(const CString& strFolder, CStringArray& arrFolders)
{
    // Without recursion: a tree thousands of folders deep would use up the
    // stack. The folders still to visit, the next one last; each is followed
    // by its own subfolders, then by its next sibling.
    std::vector<CString> pending(1, strFolder);
    bool bStart = true;
    while (!pending.empty())
    {
        if (IsStopped())
            return SetStoppedError();
        CString strCurrent = pending.back();
        pending.pop_back();
        if (!bStart)
        {
            arrFolders.Add(strCurrent);
            if (IsLinkedFolder(strCurrent))
                continue;
        }
        bStart = false;
        // Deep in a tree every call costs much: polled between them too.
        if (IsStopped())
            return SetStoppedError();
        CString strPattern = strCurrent + L"*.*";
        WIN32_FIND_DATAW data;
        CFindHandle hFind(FindFirstFileW(SystemPathForm(strPattern), &data));
        if (!hFind.IsValid())
            return SetSystemError(strPattern);

        std::vector<CString> children;
        do
        {
            if (IsStopped())
                return SetStoppedError();
            if (IsFolderEntry(data) && !IsDotEntry(data.cFileName))
                children.push_back(strCurrent + data.cFileName + L"\\");
        } while (FindNextFileW(hFind, &data));
        pending.insert(pending.end(), children.rbegin(), children.rend());
    }
    return TRUE;
}

BOOL CDiskObject::ListSubfolders(LPCWSTR pszFolder, CStringArray& arrFolders, BOOL bFullPaths)
{
    m_strError.Empty();
    CString strFolder = pszFolder;
    if (!CompleteFolderPath(strFolder))
        return FALSE;
    INT_PTR nFirst = arrFolders.GetSize();
    if (!AppendSubfolders(strFolder, arrFolders))
        return FALSE;
    if (!bFullPaths)
    {
        for (INT_PTR i = nFirst; i < arrFolders.GetSize(); ++i)
        {
            CString strRelative = arrFolders[i].Mid(strFolder.GetLength());
            strRelative.TrimRight(L'\\');
            arrFolders[i] = strRelative;
        }
    }
    return TRUE;
}

BOOL CDiskObject::ListFiles(const CString& strFolder, LPCWSTR pszPattern, CStringArray& arrFiles, BOOL bFullPaths, BOOL bSorted)
{
    if (!IsFolder(strFolder))
        return TRUE; // nothing to list in a folder that is not there
    CString strPattern = strFolder + pszPattern;
    WIN32_FIND_DATAW data;
    CFindHandle hFind(FindFirstFileW(SystemPathForm(strPattern), &data));
    if (!hFind.IsValid())
    {
        DWORD dwError = GetLastError();
        return dwError == ERROR_FILE_NOT_FOUND || dwError == ERROR_NO_MORE_FILES ? TRUE : SetSystemError(strPattern, dwError);
    }
    do
    {
        // A folder of many thousand files takes long to list, and longer sorted.
        if (IsStopped())
            return SetStoppedError();
        if (IsFolderEntry(data))
            continue;
        CString strEntry = bFullPaths ? strFolder + data.cFileName : CString(data.cFileName);
        if (!bSorted)
        {
            arrFiles.Add(strEntry);
            continue;
        }
        // Before the first entry that compares greater, ordinal and case-sensitive.
        INT_PTR nAt = arrFiles.GetSize();
        for (INT_PTR i = 0; i < arrFiles.GetSize(); ++i)
        {
            if (arrFiles[i].Compare(strEntry) > 0)
            {
                nAt = i;
                break;
            }
        }
        arrFiles.InsertAt(nAt, strEntry);
    } while (FindNextFileW(hFind, &data));
    return TRUE;
}

BOOL CDiskObject::ListFolderFiles(LPCWSTR pszFolder, CStringArray& arrFiles, BOOL bFullPaths)
{
    m_strError.Empty();
    CString strFolder = pszFolder;
    if (!CompleteFolderPath(strFolder))
        return FALSE;
    return ListFiles(strFolder, L"*.*", arrFiles, bFullPaths, TRUE);
}

BOOL CDiskObject::DeleteFolder(const CString& strFolder)
{
    if (!IsLinkedFolder(strFolder))
    {
        CStringArray arrFiles;
        if (!ListFiles(strFolder, L"*.*", arrFiles, TRUE, TRUE))
            return FALSE;
        for (const CString& strFile : arrFiles)
        {
            if (IsStopped())
                return SetStoppedError();
            if (!DeleteFileW(SystemPathForm(strFile)))
                return SetSystemError(strFile);
        }
    }
    if (IsStopped())
        return SetStoppedError();
    // A link goes as itself, named without the trailing separator.
    CString strPath = strFolder;
    if (strPath.GetLength() > 3)
        strPath.TrimRight(L'\\');
    if (!RemoveDirectoryW(SystemPathForm(strPath)))
        return SetSystemError(strFolder);
    return TRUE;
}

BOOL CDiskObject::RemoveDirectoryTree(LPCWSTR pszFolder)
{
    m_strError.Empty();
    CString strFolder = pszFolder;
    if (!CompleteFolderPath(strFolder))
        return FALSE;
    if (IsRootFolder(strFolder))
        return SetInternalError(); // a whole drive or share is never emptied
    if (IsLinkedFolder(strFolder))
        return DeleteFolder(strFolder);  // the link, never what it points to
    CStringArray arrFolders;
    if (!ListSubfolders(strFolder, arrFolders, TRUE))
        return FALSE;
    // Last first, so that every folder comes after its own subfolders.
    for (INT_PTR i = arrFolders.GetUpperBound(); i >= 0; --i)
    {
        if (IsStopped())
            return SetStoppedError();
        if (!DeleteFolder(arrFolders[i]))
            return FALSE;
    }
    return DeleteFolder(strFolder);
}

BOOL CDiskObject::EmptyDirectoryTree(LPCWSTR pszFolder)
{
    m_strError.Empty();
    CString strFolder = pszFolder;
    if (!CompleteFolderPath(strFolder))
        return FALSE;
    if (IsRootFolder(strFolder))
        return SetInternalError();
    CStringArray arrFolders;
    arrFolders.Add(strFolder);
    if (!ListSubfolders(strFolder, arrFolders, TRUE))
        return FALSE;
    for (const CString& strSub : arrFolders)
    {
        if (IsStopped())
            return SetStoppedError();
        if (IsLinkedFolder(strSub))
            continue;
        CStringArray arrFiles;
        if (!ListFiles(strSub, L"*.*", arrFiles, TRUE, TRUE))
            return FALSE;
        for (const CString& strFile : arrFiles)
        {
            if (IsStopped())
                return SetStoppedError();
            if (!DeleteFileW(SystemPathForm(strFile)))
                return SetSystemError(strFile);
        }
    }
    return TRUE;
}

BOOL CDiskObject::CopyOneFile(const CString& strSource, const CString& strTarget)
{
    if (CopyFileW(SystemPathForm(strSource), SystemPathForm(strTarget), FALSE))
        return TRUE;
    SetSystemError(strSource);
    m_strError += L" -> " + strTarget;
    return FALSE;
}

BOOL CDiskObject::CopyFolderFiles(LPCWSTR pszSource, LPCWSTR pszTarget)
{
    m_strError.Empty();
    CString strSource = pszSource, strTarget = pszTarget;
    if (!CompleteFolderPath(strSource) || !CompleteFolderPath(strTarget))
        return FALSE;
    CStringArray arrFiles;
    if (!ListFiles(strSource, L"*.*", arrFiles, FALSE, TRUE))
        return FALSE;
    if (!MakeFolderPath(strTarget))
        return FALSE;

    // One file that fails does not keep the others from being copied; the
    // first failure's text is the one kept.
    BOOL bAllCopied = TRUE;
    CString strFirstError;
    for (const CString& strName : arrFiles)
    {
        if (IsStopped())
            return SetStoppedError();
        if (!CopyOneFile(strSource + strName, strTarget + strName) && bAllCopied)
        {
            bAllCopied = FALSE;
            strFirstError = m_strError;
        }
    }
    if (!bAllCopied)
        m_strError = strFirstError;
    return bAllCopied;
}

BOOL CDiskObject::CopyDirectoryTree(LPCWSTR pszSource, LPCWSTR pszTarget)
{
    m_strError.Empty();
    CString strSource = pszSource, strTarget = pszTarget;
    if (!CompleteFolderPath(strSource) || !CompleteFolderPath(strTarget))
        return FALSE;
    CStringArray arrFolders;
    arrFolders.Add(strSource);
    if (!ListSubfolders(strSource, arrFolders, TRUE))
        return FALSE;

    BOOL bAllCopied = TRUE;
    CString strFirstError;
    for (const CString& strFolder : arrFolders)
    {
        if (IsStopped())
            return SetStoppedError();
        CString strRelative = strFolder.Mid(strSource.GetLength());
        if (!CopyFolderFiles(strFolder, strTarget + strRelative) && bAllCopied)
        {
            bAllCopied = FALSE;
            strFirstError = m_strError;
        }
    }
    m_strError = bAllCopied ? CString() : strFirstError;
    return bAllCopied;
}

BOOL CDiskObject::MoveDirectoryTree(LPCWSTR pszSource, LPCWSTR pszTarget)
{
    if (!CopyDirectoryTree(pszSource, pszTarget))
        return FALSE; // the source stays whole when any copy failed
    return RemoveDirectoryTree(pszSource);
}

BOOL CDiskObject::RenameDirectory(LPCWSTR pszOldName, LPCWSTR pszNewName)
{
    m_strError.Empty();
    if (!pszOldName || !*pszOldName || !pszNewName || !*pszNewName)
        return SetInternalError();
    if (MoveFileW(SystemPathForm(pszOldName), SystemPathForm(pszNewName)))
        return TRUE;
    return SetSystemError(CString(pszOldName) + L" -> " + pszNewName);
}

BOOL CDiskObject::CopyFiles(const CStringArray& arrFiles, LPCWSTR pszFolder)
{
    m_strError.Empty();
    CString strFolder = pszFolder;
    if (!CompleteFolderPath(strFolder) || !MakeFolderPath(strFolder))
        return FALSE;
    for (const CString& strFile : arrFiles)
    {
        if (IsStopped())
            return SetStoppedError();
        if (!CopyOneFile(strFile, strFolder + GetFileName(strFile)))
            return FALSE;
    }
    return TRUE;
}

BOOL CDiskObject::CopyFileTo(LPCWSTR pszFile, LPCWSTR pszFolder, LPCWSTR pszNewName)
{
    m_strError.Empty();
    if (!pszFile || !*pszFile)
        return SetInternalError();
    CString strFolder = pszFolder;
    if (!CompleteFolderPath(strFolder) || !MakeFolderPath(strFolder))
        return FALSE;
    CString strName = pszNewName && *pszNewName ? CString(pszNewName) : GetFileName(pszFile);
    return CopyOneFile(pszFile, strFolder + strName);
}

BOOL CDiskObject::MoveFileTo(LPCWSTR pszFile, LPCWSTR pszFolder)
{
    return CopyFileTo(pszFile, pszFolder) && RemoveFile(pszFile);
}

BOOL CDiskObject::RenameFile(LPCWSTR pszFile, LPCWSTR pszNewName)
{
    return CopyFileTo(pszFile, GetFolderName(pszFile), pszNewName) && RemoveFile(pszFile);
}

BOOL CDiskObject::RemoveFile(LPCWSTR pszFile)
{
    m_strError.Empty();
    if (!pszFile || !*pszFile)
        return SetInternalError();
    return DeleteFileW(SystemPathForm(pszFile)) ? TRUE : SetSystemError(pszFile);
}

BOOL CDiskObject::CreateEmptyFile(LPCWSTR pszFile)
{
    m_strError.Empty();
    if (!pszFile || !*pszFile)
        return SetInternalError();
    if (!MakeFolderPath(GetFolderName(pszFile)))
        return FALSE;
    CFileHandle hFile(CreateFileW(SystemPathForm(pszFile), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    return hFile.IsValid() ? TRUE : SetSystemError(pszFile);
}

BOOL CDiskObject::FileExists(LPCWSTR pszFile)
{
    m_strError.Empty();
    if (!pszFile || !*pszFile)
        return SetInternalError();
    CFileHandle hFile(CreateFileW(SystemPathForm(pszFile), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    return hFile.IsValid() ? TRUE : SetSystemError(pszFile);
}

BOOL CDiskObject::GetFileInformation(LPCWSTR pszFile, BY_HANDLE_FILE_INFORMATION& info)
{
    m_strError.Empty();
    if (!pszFile || !*pszFile)
        return SetInternalError();
    CFileHandle hFile(CreateFileW(SystemPathForm(pszFile), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!hFile.IsValid() || !GetFileInformationByHandle(hFile, &info))
        return SetSystemError(pszFile);
    return TRUE;
}

BOOL CDiskObject::EnumDirectories(LPCWSTR pszFolder, CStringArray& arrFolders)
{
    m_strError.Empty();
    CString strFolder = pszFolder;
    if (!CompleteFolderPath(strFolder))
        return FALSE;
    CString strPattern = strFolder + L"*.*";
    WIN32_FIND_DATAW data;
    CFindHandle hFind(FindFirstFileW(SystemPathForm(strPattern), &data));
    if (!hFind.IsValid())
        return SetSystemError(strPattern);
    do
    {
        if (IsFolderEntry(data) && !IsDotEntry(data.cFileName))
            arrFolders.Add(data.cFileName);
    } while (FindNextFileW(hFind, &data));
    return TRUE;
}

BOOL CDiskObject::EnumAllFiles(LPCWSTR pszFolder, CStringArray& arrFiles, LPCWSTR pszPattern)
{
    m_strError.Empty();
    CString strFolder = pszFolder;
    if (!CompleteFolderPath(strFolder))
        return FALSE;
    CStringArray arrFolders;
    arrFolders.Add(strFolder);
    if (!ListSubfolders(strFolder, arrFolders, TRUE))
        return FALSE;
    for (const CString& strSub : arrFolders)
    {
        if (IsStopped())
            return SetStoppedError();
        if (!ListFiles(strSub, pszPattern && *pszPattern ? pszPattern : L"*.*", arrFiles, TRUE, FALSE))
            return FALSE;
    }
    return TRUE;
}

CString CDiskObject::GetFileName(LPCWSTR pszPath)
{
    CString strPath = pszPath;
    int nSlash = std::max(strPath.ReverseFind(L'\\'), strPath.ReverseFind(L'/'));
    return strPath.Mid(nSlash + 1);
}

CString CDiskObject::GetFolderName(LPCWSTR pszPath)
{
    CString strPath = pszPath;
    int nSlash = std::max(strPath.ReverseFind(L'\\'), strPath.ReverseFind(L'/'));
    return nSlash < 0 ? CString() : strPath.Left(nSlash + 1);
}
