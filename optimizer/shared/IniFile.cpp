#include "optimizer/shared/IniFile.h"

namespace {
CString s_strFolderForTests;

} // namespace

CString CIniFile::ModuleFilePath(HMODULE hModule, DWORD nFirstSize)
{
    // Grows the buffer until the whole path fits.
    for (DWORD nSize = nFirstSize > 0 ? nFirstSize : MAX_PATH; nSize <= 32768 * 2; nSize *= 2)
    {
        CString strPath;
        LPWSTR pszBuffer = strPath.GetBuffer((int)nSize);
        DWORD nLength = ::GetModuleFileNameW(hModule, pszBuffer, nSize);
        if (nLength == 0)
            return CString();
        // A cut path fills the whole buffer (with or without an error code).
        if (nLength < nSize)
        {
            strPath.ReleaseBuffer((int)nLength);
            return strPath;
        }
        strPath.ReleaseBuffer(0);
    }
    return CString();
}

CIniFile::CIniFile(LPCWSTR lpszFileName)
{
    m_strPath = GetHostFolder() + (lpszFileName != NULL ? lpszFileName : L"");
}

CIniFile CIniFile::AtPath(LPCWSTR lpszFullPath)
{
    CIniFile file;
    file.m_strPath = lpszFullPath;
    return file;
}

CString CIniFile::GetHostFolder()
{
    if (!s_strFolderForTests.IsEmpty())
        return s_strFolderForTests;
    CString strPath = ModuleFilePath(NULL);
    return strPath.Left(strPath.ReverseFind(L'\\') + 1);
}

void CIniFile::SetHostFolderForTests(LPCWSTR lpszFolder)
{
    s_strFolderForTests = lpszFolder;
    if (!s_strFolderForTests.IsEmpty() && s_strFolderForTests.Right(1) != L"\\")
        s_strFolderForTests += L"\\";
}

BOOL CIniFile::WriteInt(LPCWSTR lpszSection, LPCWSTR lpszKey, int nValue) const
{
    CString strValue;
    strValue.Format(L"%d", nValue);
    return WriteString(lpszSection, lpszKey, strValue);
}

BOOL CIniFile::WriteString(LPCWSTR lpszSection, LPCWSTR lpszKey, LPCWSTR lpszValue) const
{
    return ::WritePrivateProfileStringW(lpszSection, lpszKey, lpszValue, m_strPath);
}

int CIniFile::ReadInt(LPCWSTR lpszSection, LPCWSTR lpszKey) const
{
    return (int)::GetPrivateProfileIntW(lpszSection, lpszKey, -1, m_strPath);
}

BOOL CIniFile::ReadString(LPCWSTR lpszSection, LPCWSTR lpszKey, CString& strValue) const
{
    // The profile function cuts silently: retry larger while it filled the buffer.
    for (DWORD nSize = 1024; nSize <= 1024 * 1024; nSize *= 4)
    {
        LPWSTR pszBuffer = strValue.GetBuffer((int)nSize);
        DWORD nLength = ::GetPrivateProfileStringW(lpszSection, lpszKey, L"", pszBuffer, nSize, m_strPath);
        strValue.ReleaseBuffer((int)nLength);
        if (nLength < nSize - 1)
            break;
    }
    return !strValue.IsEmpty();
}
