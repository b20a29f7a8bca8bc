#include "scanner/PathTest.h"
#include "services/PathString.h"
#include <shlwapi.h>

typedef BOOL(WINAPI* PFN_WOW64_REDIRECTION)(PVOID*);
typedef BOOL(WINAPI* PFN_WOW64_REVERT)(PVOID);

CPathTest::CPathTest() : m_bWow64(FALSE), m_bRedirectionOff(FALSE), m_pRedirectionState(NULL)
{
    ZeroMemory(m_nDriveState, sizeof(m_nDriveState));
}

CPathTest::~CPathTest()
{
    EndThread();
}

void CPathTest::BeginThread()
{
    if (!m_bWow64 || m_bRedirectionOff)
        return;
    HMODULE hKernel = ::GetModuleHandleW(L"kernel32.dll");
    PFN_WOW64_REDIRECTION pfnDisable =
        hKernel ? (PFN_WOW64_REDIRECTION)(void*)::GetProcAddress(hKernel, "Wow64DisableWow64FsRedirection") : NULL;
    if (pfnDisable != NULL && pfnDisable(&m_pRedirectionState))
        m_bRedirectionOff = TRUE;
}

void CPathTest::EndThread()
{
    if (!m_bRedirectionOff)
        return;
    HMODULE hKernel = ::GetModuleHandleW(L"kernel32.dll");
    PFN_WOW64_REVERT pfnRevert =
        hKernel ? (PFN_WOW64_REVERT)(void*)::GetProcAddress(hKernel, "Wow64RevertWow64FsRedirection") : NULL;
    if (pfnRevert != NULL)
        pfnRevert(m_pRedirectionState);
    m_bRedirectionOff = FALSE;
}

BOOL CPathTest::IsDriveReady(wchar_t chDrive)
{
    wchar_t chUpper = (wchar_t)(UINT_PTR)::CharUpperW((LPWSTR)(UINT_PTR)chDrive);
    if (chUpper < L'A' || chUpper > L'Z')
        return FALSE;
    BYTE& nState = m_nDriveState[chUpper - L'A'];
    if (nState == 0)
    {
        wchar_t szRoot[4] = {chUpper, L':', L'\\', 0};
        UINT nType = ::GetDriveTypeW(szRoot);
        BOOL bReady = nType == DRIVE_FIXED || nType == DRIVE_RAMDISK;
        if (nType == DRIVE_REMOVABLE || nType == DRIVE_CDROM)
        {
            UINT nOldMode = ::SetErrorMode(SEM_FAILCRITICALERRORS);
            bReady = ::GetVolumeInformationW(szRoot, NULL, 0, NULL, NULL, NULL, NULL, 0);
            ::SetErrorMode(nOldMode);
        }
        nState = bReady ? 1 : 2;
    }
    return nState == 1;
}

CPathTest::Presence CPathTest::ProbeFullPath(const CString& strPath)
{
    // Network paths and mapped drives are never called missing.
    if (strPath.GetLength() >= 2 && strPath[0] == L'\\' && strPath[1] == L'\\')
        return UNKNOWN;
    if (strPath.GetLength() >= 2 && strPath[1] == L':' && !IsDriveReady(strPath[0]))
        return UNKNOWN;
    if (::GetFileAttributesW(strPath) != INVALID_FILE_ATTRIBUTES)
        return PRESENT;
    DWORD dwError = ::GetLastError();
    if (dwError == ERROR_FILE_NOT_FOUND || dwError == ERROR_PATH_NOT_FOUND || dwError == ERROR_INVALID_NAME ||
        dwError == ERROR_BAD_PATHNAME || dwError == ERROR_INVALID_DRIVE || dwError == ERROR_DIRECTORY)
    {
        // A 32-bit server named under System32 lives in SysWOW64 on 64-bit Windows.
        if (m_bWow64)
        {
            wchar_t szSystem[MAX_PATH], szWow[MAX_PATH];
            UINT nSystem = ::GetSystemDirectoryW(szSystem, MAX_PATH);
            UINT nWow = ::GetSystemWow64DirectoryW(szWow, MAX_PATH);
            if (nSystem > 0 && nSystem < MAX_PATH && nWow > 0 && nWow < MAX_PATH &&
                strPath.GetLength() > (int)nSystem && strPath[nSystem] == L'\\' &&
                strPath.Left(nSystem).CompareNoCase(szSystem) == 0)
            {
                CString strOther = CString(szWow) + strPath.Mid(nSystem);
                if (::GetFileAttributesW(strOther) != INVALID_FILE_ATTRIBUTES)
                    return PRESENT;
            }
        }
        return ABSENT;
    }
    return UNKNOWN;
}

// One spelling of the path: expanded, cleaned, tested.
CPathTest::Presence CPathTest::ProbeOne(const CString& strRaw)
{
    CPathString path(strRaw);
    CString strPath = path.GetString();
    if (strPath.IsEmpty())
        return ABSENT;
    // An unresolved reference cannot be tested.
    if (strPath.Find(L'%') >= 0)
        return UNKNOWN;
    if (strPath.Find(L':') >= 0 || (strPath.GetLength() >= 2 && strPath[0] == L'\\' && strPath[1] == L'\\'))
        return ProbeFullPath(strPath);
    return FindInSearchPath(strPath) ? PRESENT : ABSENT;
}

BOOL CPathTest::FileExists(const CString& strPath)
{
    Presence result = ProbeOne(strPath);
    if (result != ABSENT)
        return TRUE;
    if (m_bWow64)
    {
        // The 64-bit and the 32-bit program folders: missing only when missing in both.
        static const LPCWSTR s_pszPairs[][2] = {{L"%ProgramFiles%", L"%ProgramW6432%"},
                                                {L"%CommonProgramFiles%", L"%CommonProgramW6432%"}};
        for (const auto& pair : s_pszPairs)
        {
            CString strUpper = strPath;
            strUpper.MakeUpper();
            CString strRef = pair[0];
            strRef.MakeUpper();
            int nAt = strUpper.Find(strRef);
            if (nAt < 0)
                continue;
            CString strOther = strPath.Left(nAt) + pair[1] + strPath.Mid(nAt + strRef.GetLength());
            if (ProbeOne(strOther) != ABSENT)
                return TRUE;
        }
    }
    return FALSE;
}

BOOL CPathTest::FindInSearchPath(const CString& strFile)
{
    if (strFile.IsEmpty())
        return FALSE;
    CStringArray arrFolders;
    DWORD nChars = ::GetEnvironmentVariableW(L"path", NULL, 0);
    if (nChars > 0)
    {
        CString strPathVar;
        LPWSTR pszBuffer = strPathVar.GetBuffer((int)nChars);
        DWORD nGot = ::GetEnvironmentVariableW(L"path", pszBuffer, nChars);
        strPathVar.ReleaseBuffer(nGot < nChars ? (int)nGot : 0);
        int nStart = 0;
        while (nStart <= strPathVar.GetLength())
        {
            int nEnd = strPathVar.Find(L';', nStart);
            if (nEnd < 0)
                nEnd = strPathVar.GetLength();
            CString strFolder = strPathVar.Mid(nStart, nEnd - nStart);
            if (!strFolder.IsEmpty())
                arrFolders.Add(strFolder);
            nStart = nEnd + 1;
        }
    }
    wchar_t szFolder[MAX_PATH];
    UINT nLength = ::GetSystemDirectoryW(szFolder, MAX_PATH);
    if (nLength > 0 && nLength < MAX_PATH)
        arrFolders.Add(szFolder);
    nLength = ::GetWindowsDirectoryW(szFolder, MAX_PATH);
    if (nLength > 0 && nLength < MAX_PATH)
        arrFolders.Add(szFolder);
    for (int i = 0; i < arrFolders.GetSize(); i++)
    {
        CPathString folder(arrFolders[i]);
        if (folder.IsEmpty())
            continue;
        CString strCandidate = folder.GetString();
        if (strCandidate.Right(1) != L"\\")
            strCandidate += L"\\";
        strCandidate += strFile;
        if (::GetFileAttributesW(strCandidate) != INVALID_FILE_ATTRIBUTES)
            return TRUE;
    }
    return FALSE;
}

BOOL CPathTest::CommandProgramExists(const CString& strCommand)
{
    CString strText = strCommand;
    strText.Trim();
    if (strText.IsEmpty())
        return FALSE;
    if (strText[0] == L'"')
    {
        int nClose = strText.Find(L'"', 1);
        return FileExists(nClose > 0 ? strText.Mid(1, nClose - 1) : strText.Mid(1));
    }
    // Each prefix that ends at a blank, then the whole text.
    for (int nEnd = 0; nEnd <= strText.GetLength(); nEnd++)
    {
        if (nEnd < strText.GetLength() && strText[nEnd] != L' ')
            continue;
        CString strCandidate = strText.Left(nEnd);
        strCandidate.TrimRight();
        if (strCandidate.IsEmpty())
            continue;
        // A folder named by the first words is not the program.
        CPathString expanded(strCandidate);
        DWORD dwAttributes = ::GetFileAttributesW(expanded);
        BOOL bFolder = dwAttributes != INVALID_FILE_ATTRIBUTES && (dwAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (!bFolder && FileExists(strCandidate))
            return TRUE;
        if (::PathFindExtensionW(strCandidate)[0] == 0 && FileExists(strCandidate + L".exe"))
            return TRUE;
    }
    return FALSE;
}
