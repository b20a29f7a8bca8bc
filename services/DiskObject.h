#pragma once
// Copies and removes folder trees and single files by full path, also past
// MAX_PATH. Every operation answers TRUE or FALSE and keeps a text of the last
// failure.
#include "framework/Afx.h"
#include <atomic>

class CDiskObject
{
public:
    CDiskObject() {}
    virtual ~CDiskObject() {}

    // Polled per folder and per file (and per entry of a folder being listed)
    // by the tree and list operations (remove, empty, copy, list): once set,
    // they end at the next one with FALSE, the text "Stopped" and IsStopped()
    // TRUE, leaving the rest of the tree as it is.
    void SetStopFlag(const std::atomic<bool>* pbStop) { m_pbStop = pbStop; }
    // Virtual so that a test can stop an operation at a chosen poll.
    virtual BOOL IsStopped() const { return m_pbStop != nullptr && m_pbStop->load(); }

    // The folder with all its files and subfolders; stops at the first failure.
    BOOL RemoveDirectoryTree(LPCWSTR pszFolder);
    // Every file below the source to the same relative place below the target,
    // creating folders and overwriting files. FALSE when anything failed; the
    // rest is still copied.
    BOOL CopyDirectoryTree(LPCWSTR pszSource, LPCWSTR pszTarget);
    // Copy the tree, then remove the source only when every copy succeeded.
    BOOL MoveDirectoryTree(LPCWSTR pszSource, LPCWSTR pszTarget);
    BOOL RenameDirectory(LPCWSTR pszOldName, LPCWSTR pszNewName);
    // Deletes every file of the tree and keeps its folders.
    BOOL EmptyDirectoryTree(LPCWSTR pszFolder);

    // The files of one folder (not its subfolders) into another.
    BOOL CopyFolderFiles(LPCWSTR pszSource, LPCWSTR pszTarget);
    BOOL CopyFiles(const CStringArray& arrFiles, LPCWSTR pszFolder);
    // Into the folder under its own name, or pszNewName when given.
    BOOL CopyFileTo(LPCWSTR pszFile, LPCWSTR pszFolder, LPCWSTR pszNewName = nullptr);
    BOOL MoveFileTo(LPCWSTR pszFile, LPCWSTR pszFolder);
    // Renames in place (a copy under the new name, then the old one deleted).
    BOOL RenameFile(LPCWSTR pszFile, LPCWSTR pszNewName);
    BOOL RemoveFile(LPCWSTR pszFile);
    // An empty file, its folder created first.
    BOOL CreateEmptyFile(LPCWSTR pszFile);
    BOOL FileExists(LPCWSTR pszFile);
    BOOL GetFileInformation(LPCWSTR pszFile, BY_HANDLE_FILE_INFORMATION& info);

    // Creates every missing level of the folder path.
    BOOL MakeFolderPath(LPCWSTR pszFolder);
    // Direct subfolders, bare names.
    BOOL EnumDirectories(LPCWSTR pszFolder, CStringArray& arrFolders);
    // Files of the whole tree matching the pattern, full paths.
    BOOL EnumAllFiles(LPCWSTR pszFolder, CStringArray& arrFiles, LPCWSTR pszPattern = L"*.*");
    // Every folder below, depth first, each before its own subfolders; full
    // paths end in '\', relative ones are bare.
    BOOL ListSubfolders(LPCWSTR pszFolder, CStringArray& arrFolders, BOOL bFullPaths);
    // The files of one folder in ordinal order.
    BOOL ListFolderFiles(LPCWSTR pszFolder, CStringArray& arrFiles, BOOL bFullPaths);

    CString GetErrorMessage() const { return m_strError; }
    static CString GetFileName(LPCWSTR pszPath);
    static CString GetFolderName(LPCWSTR pszPath);

    // Makes a folder argument absolute with a trailing '\'; FALSE for an empty
    // path or one holding ':', '*' or '?' past its drive.
    BOOL CompleteFolderPath(CString& strFolder);

private:
    BOOL DeleteFolder(const CString& strFolder);
    BOOL AppendSubfolders(const CString& strFolder, CStringArray& arrFolders);
    BOOL ListFiles(const CString& strFolder, LPCWSTR pszPattern, CStringArray& arrFiles, BOOL bFullPaths, BOOL bSorted);
    BOOL CopyOneFile(const CString& strSource, const CString& strTarget);
    BOOL SetInternalError();
    BOOL SetSystemError(LPCWSTR pszPath, DWORD dwError = GetLastError());
    BOOL SetStoppedError();

    CString m_strError;
    const std::atomic<bool>* m_pbStop = nullptr;
};
