#include "services/PathString.h"
#include "services/ScopedHandle.h"
#include <shlwapi.h>
#include <vector>

namespace {

// The shell's path calls write up to MAX_PATH characters, whatever the input.
std::vector<WCHAR> PathBuffer(const CString& str, size_t nExtra = 0)
{
    size_t nSize = (size_t)str.GetLength() + nExtra + 1;
    std::vector<WCHAR> buffer(nSize < MAX_PATH ? MAX_PATH : nSize, L'\0');
    memcpy(buffer.data(), (LPCWSTR)str, (size_t)str.GetLength() * sizeof(WCHAR));
    return buffer;
}

bool IsAsciiLetter(wchar_t ch)
{
    return (ch >= L'A' && ch <= L'Z') || (ch >= L'a' && ch <= L'z');
}

bool IsInvalidNameChar(wchar_t ch)
{
    return (ch >= 1 && ch <= 31) || wcschr(L"\\/:*?\"<>|", ch) != nullptr;
}

const LPCWSTR kKnownFolderVariables[] = {
    L"APPDATA", L"USERPROFILE", L"ALLUSERSPROFILE", L"ProgramFiles", L"SystemRoot", L"WinDir", L"SystemDrive",
};

CString GetEnvironment(LPCWSTR pszVariable)
{
    DWORD dwSize = GetEnvironmentVariableW(pszVariable, nullptr, 0);
    if (dwSize == 0)
        return CString();
    CString strValue;
    DWORD dwLength = GetEnvironmentVariableW(pszVariable, strValue.GetBuffer((int)dwSize), dwSize);
    strValue.ReleaseBuffer(dwLength < dwSize ? (int)dwLength : 0);
    return strValue;
}

} // namespace

CPathString& CPathString::operator=(LPCWSTR pszPath)
{
    if (pszPath != (LPCWSTR)m_strPath)
        Assign(pszPath, PATH_STANDARD);
    return *this;
}

void CPathString::Assign(LPCWSTR pszPath, DWORD dwFlags)
{
    m_strPath = pszPath;
    Clean(dwFlags);
}

CPathString& CPathString::Clean(DWORD dwFlags)
{
    if (m_strPath.IsEmpty())
        return *this;

    if (dwFlags & PATH_REMOVE_ARGS)
    {
        if (dwFlags & PATH_TRIM)
            m_strPath.TrimLeft();
        std::vector<WCHAR> buffer = PathBuffer(m_strPath);
        PathRemoveArgsW(buffer.data());
        m_strPath = buffer.data();
    }
    if (dwFlags & PATH_REMOVE_ICON_INDEX)
    {
        std::vector<WCHAR> buffer = PathBuffer(m_strPath);
        PathParseIconLocationW(buffer.data());
        m_strPath = buffer.data();
    }
    if (dwFlags & PATH_TRIM)
        m_strPath.Trim();
    if (dwFlags & PATH_UNQUOTE)
    {
        int nLength = m_strPath.GetLength();
        if (nLength >= 2 && m_strPath[0] == L'"' && m_strPath[nLength - 1] == L'"')
            m_strPath = m_strPath.Mid(1, nLength - 2);
        if (dwFlags & PATH_TRIM_UNQUOTED)
            m_strPath.Trim();
    }
    if (dwFlags & PATH_EXPAND_ENVIRONMENT)
        ExpandEnvironment();
    // PathCanonicalizeW writes at most MAX_PATH characters: longer paths stay as they are.
    if ((dwFlags & PATH_CANONICALIZE) && m_strPath.Find(L"\\.") >= 0 && m_strPath.GetLength() < MAX_PATH)
    {
        WCHAR szCanonical[MAX_PATH] = {};
        if (PathCanonicalizeW(szCanonical, m_strPath))
            m_strPath = szCanonical;
    }
    if (dwFlags & PATH_REMOVE_LONG_PREFIX)
        RemoveLongPathPrefix();
    if (dwFlags & PATH_FORWARD_SLASHES)
        m_strPath.Replace(L'/', L'\\');
    if (dwFlags & PATH_MAKE_PRETTY)
    {
        std::vector<WCHAR> buffer = PathBuffer(m_strPath);
        PathMakePrettyW(buffer.data());
        m_strPath = buffer.data();
    }
    return *this;
}

void CPathString::ExpandEnvironment()
{
    if (m_strPath.Find(L'%') < 0)
        return;
    DWORD dwSize = (DWORD)m_strPath.GetLength() + 1;
    for (int nTry = 0; nTry < 4; ++nTry)
    {
        std::vector<WCHAR> buffer(dwSize, L'\0');
        DWORD dwNeeded = ExpandEnvironmentStringsW(m_strPath, buffer.data(), dwSize);
        if (dwNeeded == 0)
            return; // keep the text unexpanded
        if (dwNeeded <= dwSize)
        {
            m_strPath = buffer.data();
            return;
        }
        dwSize = dwNeeded;
    }
}

void CPathString::RemoveLongPathPrefix()
{
    int nLength = m_strPath.GetLength();
    if (nLength < 6 || m_strPath.Left(4) != L"\\\\?\\")
        return;
    if (IsAsciiLetter(m_strPath[4]) && m_strPath[5] == L':')
        m_strPath = m_strPath.Mid(4);
    else if (nLength >= 8 && m_strPath.Mid(4, 4).CompareNoCase(L"UNC\\") == 0)
        m_strPath = L"\\\\" + m_strPath.Mid(8);
}

CString CPathString::GetFileName() const
{
    int nLength = m_strPath.GetLength();
    if (nLength == 0 || m_strPath[nLength - 1] == L'\\')
        return CString();
    return CString(PathFindFileNameW(m_strPath));
}

CString CPathString::GetFileTitle() const
{
    CString strName = GetFileName();
    if (strName.IsEmpty())
        return strName;
    LPCWSTR pszName = strName;
    return CString(pszName, (int)(PathFindExtensionW(pszName) - pszName));
}

CPathString CPathString::GetDirectory(BOOL bWithRoot) const
{
    int nEnd = m_strPath.GetLength() - GetFileName().GetLength();
    int nStart = 0;
    if (!bWithRoot)
    {
        LPCWSTR pszRest = PathSkipRootW(m_strPath);
        if (pszRest)
            nStart = (int)(pszRest - (LPCWSTR)m_strPath);
    }
    if (nStart > nEnd)
        nStart = nEnd;
    return CPathString(m_strPath.Mid(nStart, nEnd - nStart));
}

CPathString& CPathString::AddExtension(LPCWSTR pszExtension, int nLength)
{
    CString strExtension = pszExtension ? pszExtension : L"";
    if (nLength >= 0)
        strExtension = strExtension.Left(nLength);
    if (strExtension.IsEmpty() || m_strPath.IsEmpty())
        return *this;
    if (strExtension[0] != L'.')
        strExtension = L"." + strExtension;
    if (*PathFindExtensionW(m_strPath) == 0)
        m_strPath += strExtension;
    return *this;
}

BOOL CPathString::SetFromEnvironment(LPCWSTR pszVariable)
{
    m_strPath = GetEnvironment(pszVariable);
    return !m_strPath.IsEmpty();
}

BOOL CPathString::ReplaceWithEnvironmentReference(LPCWSTR pszVariable)
{
    CString strValue = GetEnvironment(pszVariable);
    if (strValue.IsEmpty() || m_strPath.GetLength() < strValue.GetLength())
        return FALSE;
    if (m_strPath.Left(strValue.GetLength()).CompareNoCase(strValue) != 0)
        return FALSE;
    m_strPath = L"%" + CString(pszVariable) + L"%" + m_strPath.Mid(strValue.GetLength());
    return TRUE;
}

BOOL CPathString::ReplaceKnownEnvironmentFolder()
{
    for (LPCWSTR pszVariable : kKnownFolderVariables)
        if (ReplaceWithEnvironmentReference(pszVariable))
            return TRUE;
    return FALSE;
}

CPathString& CPathString::QuoteSpaces()
{
    std::vector<WCHAR> buffer = PathBuffer(m_strPath, 2);
    PathQuoteSpacesW(buffer.data());
    m_strPath = buffer.data();
    return *this;
}

CString CPathString::SplitArguments()
{
    CString strCommand = m_strPath;
    strCommand.TrimLeft();
    Assign(strCommand, PATH_REMOVE_ARGS);
    CString strArguments = strCommand.Mid(m_strPath.GetLength());
    strArguments.TrimLeft();
    return strArguments;
}

CPathString::RootType CPathString::GetRootType(int* pnRootLength) const
{
    int nLength = m_strPath.GetLength();
    int nRoot = 0;
    RootType nType = ROOT_NONE;
    LPCWSTR psz = m_strPath;

    if (nLength >= 4 && m_strPath.Left(4) == L"\\\\?\\")
    {
        CPathString rest(m_strPath.Mid(4), 0);
        int nRestRoot = 0;
        nType = rest.GetRootType(&nRestRoot);
        if (pnRootLength)
            *pnRootLength = nType == ROOT_NONE ? 4 : 4 + nRestRoot;
        return nType;
    }
    if (nLength >= 2 && IsAsciiLetter(psz[0]) && psz[1] == L':')
    {
        nType = nLength >= 3 && psz[2] == L'\\' ? ROOT_DRIVE_BACKSLASH : ROOT_DRIVE;
        nRoot = nType == ROOT_DRIVE ? 2 : 3;
    }
    else if (nLength >= 3 && psz[0] == L'\\' && psz[1] == L'\\')
    {
        int nServerEnd = m_strPath.Find(L'\\', 2);
        if (nServerEnd < 0)
        {
            nType = ROOT_SERVER;
            nRoot = nLength;
        }
        else
        {
            int nShareEnd = m_strPath.Find(L'\\', nServerEnd + 1);
            nType = nShareEnd == nServerEnd + 1 ? ROOT_SERVER : ROOT_SHARE;
            nRoot = nType == ROOT_SERVER ? nServerEnd : (nShareEnd < 0 ? nLength : nShareEnd);
        }
    }
    else
    {
        int nColon = m_strPath.Find(L':');
        bool bScheme = nColon >= 2;
        for (int i = 0; bScheme && i < nColon; ++i)
            bScheme = IsAsciiLetter(psz[i]) || (i > 0 && (iswdigit(psz[i]) || wcschr(L"+-.", psz[i])));
        if (bScheme)
        {
            bool bUrl = m_strPath.Mid(nColon, 3) == L"://";
            nType = bUrl ? ROOT_URL : ROOT_SCHEME;
            nRoot = nColon + (bUrl ? 3 : 1);
        }
    }
    if (pnRootLength)
        *pnRootLength = nRoot;
    return nType;
}

CString CPathString::SplitRoot(CString& strRest) const
{
    int nRoot = 0;
    GetRootType(&nRoot);
    strRest = m_strPath.Mid(nRoot);
    strRest.TrimLeft(L'\\');
    return m_strPath.Left(nRoot);
}

CString CPathString::GetRoot() const
{
    LPCWSTR pszRest = PathSkipRootW(m_strPath);
    return pszRest ? m_strPath.Left((int)(pszRest - (LPCWSTR)m_strPath)) : CString();
}

CString CPathString::BuildRoot(int nDrive)
{
    WCHAR szRoot[4] = {};
    PathBuildRootW(szRoot, nDrive);
    return CString(szRoot);
}

int CPathString::GetDriveNumber() const
{
    return PathGetDriveNumberW(m_strPath);
}

CPathString& CPathString::AddBackslash()
{
    int nLength = m_strPath.GetLength();
    if (nLength > 0 && m_strPath[nLength - 1] != L'\\')
        m_strPath += L'\\';
    return *this;
}

CPathString& CPathString::RemoveBackslash()
{
    std::vector<WCHAR> buffer = PathBuffer(m_strPath);
    PathRemoveBackslashW(buffer.data());
    m_strPath = buffer.data();
    return *this;
}

CPathString& CPathString::Append(LPCWSTR pszMore)
{
    std::vector<WCHAR> buffer = PathBuffer(m_strPath, pszMore ? wcslen(pszMore) + 1 : 0);
    if (PathAppendW(buffer.data(), pszMore ? pszMore : L""))
        m_strPath = buffer.data();
    return *this;
}

CString CPathString::GetExtension() const
{
    return CString(PathFindExtensionW(m_strPath));
}

CPathString& CPathString::RemoveExtension()
{
    std::vector<WCHAR> buffer = PathBuffer(m_strPath);
    PathRemoveExtensionW(buffer.data());
    m_strPath = buffer.data();
    return *this;
}

CPathString& CPathString::RenameExtension(LPCWSTR pszExtension)
{
    std::vector<WCHAR> buffer = PathBuffer(m_strPath, pszExtension ? wcslen(pszExtension) : 0);
    if (PathRenameExtensionW(buffer.data(), pszExtension ? pszExtension : L""))
        m_strPath = buffer.data();
    return *this;
}

CPathString& CPathString::RemoveFileSpec()
{
    std::vector<WCHAR> buffer = PathBuffer(m_strPath);
    PathRemoveFileSpecW(buffer.data());
    m_strPath = buffer.data();
    return *this;
}

int CPathString::ParseIconLocation()
{
    std::vector<WCHAR> buffer = PathBuffer(m_strPath);
    int nIndex = PathParseIconLocationW(buffer.data());
    m_strPath = buffer.data();
    return nIndex;
}

BOOL CPathString::SetFromModule(HMODULE hModule)
{
    std::vector<WCHAR> buffer(MAX_PATH);
    for (int nTry = 0; nTry < 6; ++nTry)
    {
        DWORD dwLength = GetModuleFileNameW(hModule, buffer.data(), (DWORD)buffer.size());
        if (dwLength == 0)
            break;
        if (dwLength < buffer.size())
        {
            m_strPath = buffer.data();
            return TRUE;
        }
        buffer.resize(buffer.size() * 2);
    }
    m_strPath.Empty();
    return FALSE;
}

BOOL CPathString::SetFromCurrentDirectory()
{
    DWORD dwSize = GetCurrentDirectoryW(0, nullptr);
    std::vector<WCHAR> buffer(dwSize + 1);
    DWORD dwLength = dwSize ? GetCurrentDirectoryW((DWORD)buffer.size(), buffer.data()) : 0;
    m_strPath = dwLength && dwLength < buffer.size() ? buffer.data() : L"";
    return !m_strPath.IsEmpty();
}

CString CPathString::GetCommonPrefix(LPCWSTR pszOther) const
{
    if (!pszOther || m_strPath.GetLength() >= MAX_PATH || wcslen(pszOther) >= MAX_PATH)
        return CString();
    WCHAR szPrefix[MAX_PATH] = {};
    PathCommonPrefixW(m_strPath, pszOther, szPrefix);
    return CString(szPrefix);
}

BOOL CPathString::RelativePathTo(LPCWSTR pszTo, BOOL bFromIsFolder, BOOL bToIsFolder, CString& strRelative) const
{
    strRelative.Empty();
    WCHAR szRelative[MAX_PATH] = {};
    if (!pszTo || !PathRelativePathToW(szRelative, m_strPath, bFromIsFolder ? FILE_ATTRIBUTE_DIRECTORY : 0,
                                       pszTo, bToIsFolder ? FILE_ATTRIBUTE_DIRECTORY : 0))
        return FALSE;
    strRelative = szRelative;
    return TRUE;
}

BOOL CPathString::MatchSpec(LPCWSTR pszSpec) const
{
    return pszSpec && PathMatchSpecW(m_strPath, pszSpec);
}

CString CPathString::CompactPath(HDC hDC, UINT nWidth) const
{
    std::vector<WCHAR> buffer = PathBuffer(m_strPath);
    PathCompactPathW(hDC, buffer.data(), nWidth);
    return CString(buffer.data());
}

CString CPathString::CompactPathEx(UINT nMaxChars) const
{
    std::vector<WCHAR> buffer(nMaxChars + 1, L'\0');
    if (nMaxChars == 0 || !PathCompactPathExW(buffer.data(), m_strPath, nMaxChars, 0))
        return CString();
    return CString(buffer.data());
}

void CPathString::SetDlgItemPath(HWND hDlg, int nID) const
{
    PathSetDlgItemPathW(hDlg, nID, m_strPath);
}

BOOL CPathString::SearchAndQualify()
{
    std::vector<WCHAR> buffer(m_strPath.GetLength() + MAX_PATH, L'\0');
    if (!PathSearchAndQualifyW(m_strPath, buffer.data(), (UINT)buffer.size()))
        return FALSE;
    m_strPath = buffer.data();
    return TRUE;
}

BOOL CPathString::FindOnPath(LPCWSTR* ppszOtherFolders)
{
    std::vector<WCHAR> buffer = PathBuffer(m_strPath);
    if (!PathFindOnPathW(buffer.data(), ppszOtherFolders))
        return FALSE;
    m_strPath = buffer.data();
    return TRUE;
}

BOOL CPathString::MakeFullPath()
{
    DWORD dwSize = GetFullPathNameW(m_strPath, 0, nullptr, nullptr);
    if (dwSize == 0)
        return FALSE;
    std::vector<WCHAR> buffer(dwSize + 1);
    DWORD dwLength = GetFullPathNameW(m_strPath, (DWORD)buffer.size(), buffer.data(), nullptr);
    if (dwLength == 0 || dwLength >= buffer.size())
        return FALSE;
    m_strPath = buffer.data();
    return TRUE;
}

BOOL CPathString::FileExists() const { return PathFileExistsW(m_strPath); }
BOOL CPathString::IsDirectory() const { return PathIsDirectoryW(m_strPath) != FALSE; }
BOOL CPathString::IsRelative() const { return PathIsRelativeW(m_strPath); }
BOOL CPathString::IsSystemFolder() const { return PathIsSystemFolderW(m_strPath, 0); }
DWORD CPathString::GetAttributes() const { return GetFileAttributesW(m_strPath); }

BOOL CPathString::MakeSystemFolder(BOOL bMake) const
{
    return bMake ? PathMakeSystemFolderW(m_strPath) : PathUnmakeSystemFolderW(m_strPath);
}

BOOL CPathString::GetAttributesEx(WIN32_FILE_ATTRIBUTE_DATA& data) const
{
    return GetFileAttributesExW(m_strPath, GetFileExInfoStandard, &data);
}

int CPathString::ReplaceInvalidFileNameChars(wchar_t chReplacement)
{
    if (IsDot() || IsDotDot())
        return 0;
    int nReplaced = 0;
    for (int i = 0; i < m_strPath.GetLength(); ++i)
    {
        if (IsInvalidNameChar(m_strPath[i]))
        {
            m_strPath.SetAt(i, chReplacement);
            ++nReplaced;
        }
    }
    return nReplaced;
}

BOOL CPathString::IsValidFileName() const
{
    if (m_strPath.IsEmpty())
        return FALSE;
    if (IsDot() || IsDotDot())
        return TRUE;
    for (int i = 0; i < m_strPath.GetLength(); ++i)
        if (IsInvalidNameChar(m_strPath[i]))
            return FALSE;
    return m_strPath[m_strPath.GetLength() - 1] != L'.';
}

BOOL CPathString::ReadFromRegistry(HKEY hRoot, LPCWSTR pszKey, LPCWSTR pszValue)
{
    m_strPath.Empty();
    CRegKeyHandle key;
    LONG nResult = RegOpenKeyExW(hRoot, pszKey, 0, KEY_READ, key.Receive());
    if (nResult != ERROR_SUCCESS)
    {
        SetLastError((DWORD)nResult);
        return FALSE;
    }
    std::vector<BYTE> data(256 * sizeof(WCHAR));
    DWORD dwType = 0;
    for (int nTry = 0; nTry < 8; ++nTry)
    {
        DWORD dwSize = (DWORD)data.size();
        nResult = RegQueryValueExW(key, pszValue, nullptr, &dwType, data.data(), &dwSize);
        if (nResult == ERROR_MORE_DATA)
        {
            data.resize(dwSize + sizeof(WCHAR));
            continue;
        }
        if (nResult != ERROR_SUCCESS)
            break;
        if (dwType != REG_SZ && dwType != REG_EXPAND_SZ)
        {
            SetLastError(ERROR_INVALID_DATATYPE);
            return FALSE;
        }
        // Stored strings need not be terminated.
        LPCWSTR pszData = (LPCWSTR)data.data();
        m_strPath = CString(pszData, (int)wcsnlen(pszData, dwSize / sizeof(WCHAR)));
        return TRUE;
    }
    SetLastError((DWORD)nResult);
    return FALSE;
}

BOOL CPathString::WriteToRegistry(HKEY hRoot, LPCWSTR pszKey, LPCWSTR pszValue, BOOL bUseEnvironment) const
{
    CRegKeyHandle key;
    LONG nResult = RegCreateKeyExW(hRoot, pszKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, key.Receive(), nullptr);
    if (nResult != ERROR_SUCCESS)
    {
        SetLastError((DWORD)nResult);
        return FALSE;
    }
    CPathString path(*this);
    DWORD dwType = REG_SZ;
    if (bUseEnvironment && path.ReplaceKnownEnvironmentFolder())
        dwType = REG_EXPAND_SZ;
    DWORD dwBytes = (DWORD)(path.GetLength() + 1) * sizeof(WCHAR);
    nResult = RegSetValueExW(key, pszValue, 0, dwType, (const BYTE*)(LPCWSTR)path, dwBytes);
    SetLastError((DWORD)nResult);
    return nResult == ERROR_SUCCESS;
}
