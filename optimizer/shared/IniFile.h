#pragma once
// The libraries' INI accessor over the profile functions. A file named
// without a folder lives beside the host program's executable.
#include "framework/Afx.h"

class CIniFile
{
public:
    // In the host program's folder.
    explicit CIniFile(LPCWSTR lpszFileName);
    // At a full path, as given.
    static CIniFile AtPath(LPCWSTR lpszFullPath);
    virtual ~CIniFile() {}

    const CString& GetPath() const { return m_strPath; }

    BOOL WriteInt(LPCWSTR lpszSection, LPCWSTR lpszKey, int nValue) const;
    BOOL WriteString(LPCWSTR lpszSection, LPCWSTR lpszKey, LPCWSTR lpszValue) const;
    // -1 when the key (or the file) is missing.
    int ReadInt(LPCWSTR lpszSection, LPCWSTR lpszKey) const;
    // TRUE when at least one character was read.
    BOOL ReadString(LPCWSTR lpszSection, LPCWSTR lpszKey, CString& strValue) const;

    // The host executable's folder with a trailing backslash.
    static CString GetHostFolder();
    // The full path of a module, however long.
    static CString ModuleFilePath(HMODULE hModule, DWORD nFirstSize = MAX_PATH);
    // Tests put the files elsewhere; NULL or empty goes back to the host folder.
    static void SetHostFolderForTests(LPCWSTR lpszFolder);

private:
    CIniFile() {}
    CString m_strPath;
};
