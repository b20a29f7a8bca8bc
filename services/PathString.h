#pragma once
// A path held as text that cleans itself whenever a value is put into it.
#include "framework/Afx.h"

class CPathString
{
public:
    // Cleaning steps; Clean applies the set ones in this order.
    enum CleanFlags : DWORD
    {
        PATH_REMOVE_ARGS = 0x80,
        PATH_REMOVE_ICON_INDEX = 0x100,
        PATH_TRIM = 0x01,
        PATH_UNQUOTE = 0x02,
        PATH_TRIM_UNQUOTED = 0x04,
        PATH_EXPAND_ENVIRONMENT = 0x200,
        PATH_CANONICALIZE = 0x08,
        PATH_REMOVE_LONG_PREFIX = 0x10,
        PATH_FORWARD_SLASHES = 0x20,
        PATH_MAKE_PRETTY = 0x40,
        PATH_STANDARD = 0x21F,
    };

    enum RootType
    {
        ROOT_NONE,
        ROOT_DRIVE,            // "C:"
        ROOT_DRIVE_BACKSLASH,  // "C:\"
        ROOT_SERVER,           // "\\server"
        ROOT_SHARE,            // "\\server\share"
        ROOT_URL,              // "scheme://"
        ROOT_SCHEME,           // "scheme:"
    };

    CPathString() {}
    CPathString(LPCWSTR pszPath) { Assign(pszPath, PATH_STANDARD); }
    CPathString(LPCWSTR pszPath, DWORD dwCleanFlags) { Assign(pszPath, dwCleanFlags); }
    CPathString(const CString& strPath) { Assign(strPath, PATH_STANDARD); }
    CPathString(const CPathString& path) = default;
    CPathString& operator=(const CPathString& path) = default;
    CPathString& operator=(LPCWSTR pszPath);
    CPathString& operator=(const CString& strPath) { return *this = (LPCWSTR)strPath; }

    operator LPCWSTR() const { return m_strPath; }
    const CString& GetString() const { return m_strPath; }
    int GetLength() const { return m_strPath.GetLength(); }
    BOOL IsEmpty() const { return m_strPath.IsEmpty(); }

    CPathString& Clean(DWORD dwFlags = PATH_STANDARD);

    // Name with extension; empty when the path ends in a backslash.
    CString GetFileName() const;
    // Name without its extension.
    CString GetFileTitle() const;
    // The part in front of the name, trailing backslash kept; without root
    // ("C:\") when bWithRoot is FALSE.
    CPathString GetDirectory(BOOL bWithRoot = TRUE) const;
    // Adds the extension only when the path has none; a dot is put in front of
    // an extension that lacks one.
    CPathString& AddExtension(LPCWSTR pszExtension, int nLength = -1);

    // Environment folders.
    BOOL SetFromEnvironment(LPCWSTR pszVariable);
    BOOL ReplaceWithEnvironmentReference(LPCWSTR pszVariable);
    BOOL ReplaceKnownEnvironmentFolder();

    CPathString& QuoteSpaces();
    // Keeps the program part of a command line, returns its arguments.
    CString SplitArguments();

    RootType GetRootType(int* pnRootLength = nullptr) const;
    // The root part; strRest gets what follows, without its leading backslash.
    CString SplitRoot(CString& strRest) const;
    CString GetRoot() const;
    static CString BuildRoot(int nDrive);
    int GetDriveNumber() const;

    CPathString& AddBackslash();
    CPathString& RemoveBackslash();
    CPathString& Append(LPCWSTR pszMore);
    CString GetExtension() const;
    CPathString& RemoveExtension();
    CPathString& RenameExtension(LPCWSTR pszExtension);
    CPathString& RemoveFileSpec();
    int ParseIconLocation();

    BOOL SetFromModule(HMODULE hModule);
    BOOL SetFromCurrentDirectory();
    CString GetCommonPrefix(LPCWSTR pszOther) const;
    BOOL RelativePathTo(LPCWSTR pszTo, BOOL bFromIsFolder, BOOL bToIsFolder, CString& strRelative) const;
    BOOL MatchSpec(LPCWSTR pszSpec) const;
    CString CompactPath(HDC hDC, UINT nWidth) const;
    CString CompactPathEx(UINT nMaxChars) const;
    void SetDlgItemPath(HWND hDlg, int nID) const;
    BOOL SearchAndQualify();
    BOOL FindOnPath(LPCWSTR* ppszOtherFolders = nullptr);
    BOOL MakeFullPath();

    BOOL FileExists() const;
    BOOL IsDirectory() const;
    BOOL IsRelative() const;
    BOOL IsSystemFolder() const;
    BOOL MakeSystemFolder(BOOL bMake = TRUE) const;
    DWORD GetAttributes() const;
    BOOL GetAttributesEx(WIN32_FILE_ATTRIBUTE_DATA& data) const;
    BOOL IsDot() const { return m_strPath == L"."; }
    BOOL IsDotDot() const { return m_strPath == L".."; }

    // File names: every character a name may not hold becomes chReplacement.
    int ReplaceInvalidFileNameChars(wchar_t chReplacement);
    BOOL IsValidFileName() const;

    // A string value of the registry; any failure leaves the path empty and
    // the system error set.
    BOOL ReadFromRegistry(HKEY hRoot, LPCWSTR pszKey, LPCWSTR pszValue);
    // Writes REG_SZ, or REG_EXPAND_SZ with a known folder replaced by its
    // environment reference when bUseEnvironment is set.
    BOOL WriteToRegistry(HKEY hRoot, LPCWSTR pszKey, LPCWSTR pszValue, BOOL bUseEnvironment = FALSE) const;

private:
    void Assign(LPCWSTR pszPath, DWORD dwFlags);
    void RemoveLongPathPrefix();
    void ExpandEnvironment();

    CString m_strPath;
};
