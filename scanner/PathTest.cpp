#include "scanner/PathTest.h"
#include "scanner/KeyReader.h"
#include "scanner/ScanStop.h"
#include "services/PathString.h"
#include "services/Wow64.h"
#include <shlwapi.h>

typedef BOOL(WINAPI* PFN_WOW64_REDIRECTION)(PVOID*);
typedef BOOL(WINAPI* PFN_WOW64_REVERT)(PVOID);

namespace {

PFN_WOW64_REDIRECTION DisableRedirection()
{
    HMODULE hKernel = ::GetModuleHandleW(L"kernel32.dll");
    return hKernel ? (PFN_WOW64_REDIRECTION)(void*)::GetProcAddress(hKernel, "Wow64DisableWow64FsRedirection")
                   : NULL;
}

PFN_WOW64_REVERT RevertRedirection()
{
    HMODULE hKernel = ::GetModuleHandleW(L"kernel32.dll");
    return hKernel ? (PFN_WOW64_REVERT)(void*)::GetProcAddress(hKernel, "Wow64RevertWow64FsRedirection") : NULL;
}

// File-system redirection off for one test, unless it already is.
class CRedirectionOff
{
public:
    explicit CRedirectionOff(BOOL bNeeded) : m_bOff(FALSE), m_pState(NULL)
    {
        PFN_WOW64_REDIRECTION pfnDisable = bNeeded ? DisableRedirection() : NULL;
        m_bOff = pfnDisable != NULL && pfnDisable(&m_pState);
    }
    ~CRedirectionOff()
    {
        PFN_WOW64_REVERT pfnRevert = m_bOff ? RevertRedirection() : NULL;
        if (pfnRevert != NULL)
            pfnRevert(m_pState);
    }
    CRedirectionOff(const CRedirectionOff&) = delete;
    CRedirectionOff& operator=(const CRedirectionOff&) = delete;

private:
    BOOL m_bOff;
    PVOID m_pState;
};

// Every occurrence of a reference, in any letter case.
CString ReplaceReference(const CString& strText, LPCWSTR pszFrom, LPCWSTR pszTo)
{
    CString strUpper = strText;
    strUpper.MakeUpper();
    CString strFrom = pszFrom;
    strFrom.MakeUpper();
    CString strResult;
    int nStart = 0;
    for (;;)
    {
        int nAt = strUpper.Find(strFrom, nStart);
        if (nAt < 0)
            break;
        strResult += strText.Mid(nStart, nAt - nStart) + pszTo;
        nStart = nAt + strFrom.GetLength();
    }
    return strResult + strText.Mid(nStart);
}

BOOL StartsWithFolder(const CString& strPath, const CString& strFolder)
{
    int nLength = strFolder.GetLength();
    return nLength > 0 && strPath.GetLength() > nLength && strPath[nLength] == L'\\' &&
           strPath.Left(nLength).CompareNoCase(strFolder) == 0;
}

CString ExpandedVariable(LPCWSTR pszName)
{
    wchar_t szValue[MAX_PATH] = {};
    DWORD nLength = ::GetEnvironmentVariableW(pszName, szValue, MAX_PATH);
    return nLength > 0 && nLength < MAX_PATH ? CString(szValue) : CString();
}

CString FolderOf(UINT (WINAPI* pfnGet)(LPWSTR, UINT))
{
    wchar_t szFolder[MAX_PATH] = {};
    UINT nLength = pfnGet(szFolder, MAX_PATH);
    CString strFolder = nLength > 0 && nLength < MAX_PATH ? CString(szFolder) : CString();
    strFolder.TrimRight(L'\\');
    return strFolder;
}

// The program-folder references and what each view makes of them.
struct ProgramFolderReference
{
    LPCWSTR pszReference;
    LPCWSTR psz64;
    LPCWSTR psz32;
};
const ProgramFolderReference s_references[] = {
    {L"%ProgramFiles%", L"%ProgramW6432%", L"%ProgramFiles(x86)%"},
    {L"%CommonProgramFiles%", L"%CommonProgramW6432%", L"%CommonProgramFiles(x86)%"},
};

}  // namespace

CPathTest::CPathTest() : m_bWow64(FALSE), m_b64BitWindows(FALSE), m_bRedirectionOff(FALSE), m_pRedirectionState(NULL)
{
    ZeroMemory(m_nDriveState, sizeof(m_nDriveState));
#ifdef _WIN64
    m_b64BitWindows = TRUE;
#else
    if (IsRunningOnWow64())
        m_bWow64 = m_b64BitWindows = TRUE;
#endif
    m_strSystem = FolderOf(::GetSystemDirectoryW);
    m_strWow = FolderOf(::GetSystemWow64DirectoryW);
    CString strWindows = FolderOf(::GetWindowsDirectoryW);
    if (!strWindows.IsEmpty())
        m_strSysnative = strWindows + L"\\Sysnative";
}

CPathTest::~CPathTest()
{
    EndThread();
}

void CPathTest::SetWow64(BOOL bWow64)
{
    m_bWow64 = bWow64;
#ifndef _WIN64
    m_b64BitWindows = bWow64;
#endif
}

void CPathTest::BeginThread()
{
    if (!m_bWow64 || m_bRedirectionOff)
        return;
    PFN_WOW64_REDIRECTION pfnDisable = DisableRedirection();
    if (pfnDisable != NULL && pfnDisable(&m_pRedirectionState))
        m_bRedirectionOff = TRUE;
}

void CPathTest::EndThread()
{
    if (!m_bRedirectionOff)
        return;
    PFN_WOW64_REVERT pfnRevert = RevertRedirection();
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

void CPathTest::SystemSpellings(const CString& strPath, PathView view, CStringArray& arrPaths)
{
    CString strNative = strPath;
    // Sysnative is how a 32-bit program names the real System32.
    if (StartsWithFolder(strPath, m_strSysnative) && !m_strSystem.IsEmpty())
        strNative = m_strSystem + strPath.Mid(m_strSysnative.GetLength());
    else if (m_b64BitWindows && !m_strWow.IsEmpty() && StartsWithFolder(strPath, m_strSystem))
    {
        CString strWow = m_strWow + strPath.Mid(m_strSystem.GetLength());
        if (view == PATH_VIEW_32)
        {
            arrPaths.Add(strWow);
            return;
        }
        if (view == PATH_VIEW_ANY)
            arrPaths.Add(strWow);
    }
    arrPaths.Add(strNative);
}

BOOL CPathTest::AnyExists(const CString& strPath, PathView view)
{
    CStringArray arrPaths;
    SystemSpellings(strPath, view, arrPaths);
    for (int i = 0; i < arrPaths.GetSize(); i++)
    {
        if (::GetFileAttributesW(arrPaths[i]) != INVALID_FILE_ATTRIBUTES)
            return TRUE;
    }
    return FALSE;
}

CPathTest::Presence CPathTest::ProbeFullPath(const CString& strPath, PathView view)
{
    // Network paths and mapped drives are never called missing.
    if (strPath.GetLength() >= 2 && strPath[0] == L'\\' && strPath[1] == L'\\')
        return UNKNOWN;
    if (strPath.GetLength() >= 2 && strPath[1] == L':' && !IsDriveReady(strPath[0]))
        return UNKNOWN;
    CStringArray arrPaths;
    SystemSpellings(strPath, view, arrPaths);
    Presence result = ABSENT;
    for (int i = 0; i < arrPaths.GetSize(); i++)
    {
        if (::GetFileAttributesW(arrPaths[i]) != INVALID_FILE_ATTRIBUTES)
            return PRESENT;
        DWORD dwError = ::GetLastError();
        // Only these say that the file is not there; a text that is no valid
        // name (ERROR_INVALID_NAME, ERROR_BAD_PATHNAME) or a refused look
        // cannot tell.
        if (dwError != ERROR_FILE_NOT_FOUND && dwError != ERROR_PATH_NOT_FOUND && dwError != ERROR_INVALID_DRIVE &&
            dwError != ERROR_DIRECTORY)
            result = UNKNOWN;
    }
    return result;
}

// One spelling of the text: expanded, cleaned, tested.
CPathTest::Presence CPathTest::ProbeOne(const CString& strText, PathView view)
{
    CPathString path(strText);
    CString strPath = path.GetString();
    if (strPath.IsEmpty())
        return ABSENT;
    // An unresolved reference cannot be tested.
    if (strPath.Find(L'%') >= 0)
        return UNKNOWN;
    if (strPath.Find(L':') >= 0 || (strPath.GetLength() >= 2 && strPath[0] == L'\\' && strPath[1] == L'\\'))
        return ProbeFullPath(strPath, view);
    return FindInSearchPath(strPath, view) ? PRESENT : ABSENT;
}

BOOL CPathTest::FileExists(const CString& strText, PathView view)
{
    CString strTrimmed = strText;
    strTrimmed.Trim();
    if (strTrimmed.IsEmpty())
        return FALSE;
    if (strTrimmed[0] == L'@')
    {
        // A resource of a packaged application: not a file path.
        if (strTrimmed.GetLength() > 1 && strTrimmed[1] == L'{')
            return TRUE;
        // "@file,-id": the file holds the string.
        CString strFile = strTrimmed.Mid(1);
        int nComma = strFile.ReverseFind(L',');
        if (nComma >= 0)
        {
            CString strId = strFile.Mid(nComma + 1);
            strId.Trim();
            if (!strId.IsEmpty() && strId[0] == L'-')
                strFile = strFile.Left(nComma);
        }
        strTrimmed = strFile;
        strTrimmed.Trim();
        if (strTrimmed.IsEmpty())
            return FALSE;
    }
    CRedirectionOff redirection(m_bWow64 && !m_bRedirectionOff);
    CStringArray arrSpellings;
    arrSpellings.Add(strTrimmed);
    if (m_b64BitWindows)
    {
        for (const ProgramFolderReference& reference : s_references)
        {
            INT_PTR nCount = arrSpellings.GetSize();
            for (INT_PTR i = 0; i < nCount; i++)
            {
                CString strUpper = arrSpellings[i];
                strUpper.MakeUpper();
                CString strReference = reference.pszReference;
                strReference.MakeUpper();
                if (strUpper.Find(strReference) < 0)
                    continue;
                CString str64 = ReplaceReference(arrSpellings[i], reference.pszReference, reference.psz64);
                CString str32 = ReplaceReference(arrSpellings[i], reference.pszReference, reference.psz32);
                if (view == PATH_VIEW_64)
                    arrSpellings[i] = str64;
                else if (view == PATH_VIEW_32)
                    arrSpellings[i] = str32;
                else
                {
                    arrSpellings[i] = str64;
                    arrSpellings.Add(str32);
                }
            }
        }
    }
    for (INT_PTR i = 0; i < arrSpellings.GetSize(); i++)
    {
        if (ProbeOne(arrSpellings[i], view) != ABSENT)
            return TRUE;
    }
    return FALSE;
}

CString CPathTest::IconFilePart(const CString& strText)
{
    CString strPath = strText;
    strPath.Trim();
    if (!strPath.IsEmpty() && strPath[0] == L'"')
    {
        int nClose = strPath.Find(L'"', 1);
        strPath = nClose > 0 ? strPath.Mid(1, nClose - 1) : strPath.Mid(1);
    }
    else
    {
        // ",index" only when what follows the last comma is a number.
        int nComma = strPath.ReverseFind(L',');
        if (nComma >= 0)
        {
            CString strIndex = strPath.Mid(nComma + 1);
            strIndex.Trim();
            if (strIndex.Left(1) == L"-" || strIndex.Left(1) == L"+")
                strIndex = strIndex.Mid(1);
            if (!strIndex.IsEmpty() && strIndex.SpanIncluding(L"0123456789").GetLength() == strIndex.GetLength())
                strPath = strPath.Left(nComma);
        }
    }
    strPath.Trim();
    return strPath;
}

BOOL CPathTest::IconFileExists(const CString& strText, PathView view)
{
    CString strTrimmed = strText;
    strTrimmed.Trim();
    // Indirect strings carry their own ",-id".
    if (!strTrimmed.IsEmpty() && strTrimmed[0] == L'@')
        return FileExists(strTrimmed, view);
    return FileExists(IconFilePart(strTrimmed), view);
}

BOOL CPathTest::FindInSearchPath(const CString& strFile, PathView view)
{
    if (strFile.IsEmpty())
        return FALSE;
    CRedirectionOff redirection(m_bWow64 && !m_bRedirectionOff);
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
    if (!m_strSystem.IsEmpty())
        arrFolders.Add(m_strSystem);
    CString strWindows = FolderOf(::GetWindowsDirectoryW);
    if (!strWindows.IsEmpty())
        arrFolders.Add(strWindows);
    for (int i = 0; i < arrFolders.GetSize(); i++)
    {
        // A stopped scan records nothing: "found" ends the search soonest.
        if (IsThreadScanStopped())
            return TRUE;
        CPathString folder(arrFolders[i]);
        if (folder.IsEmpty())
            continue;
        CString strCandidate = folder.GetString();
        if (strCandidate.Right(1) != L"\\")
            strCandidate += L"\\";
        strCandidate += strFile;
        if (AnyExists(strCandidate, view))
            return TRUE;
    }
    return FALSE;
}

BOOL CPathTest::ShortcutTargetExists(const CString& strTarget)
{
    if (FileExists(strTarget, PATH_VIEW_ANY))
        return TRUE;
    if (!m_b64BitWindows)
        return FALSE;
    // The x86 program folders as the 64-bit ones.
    CString strPath = CPathString(strTarget).GetString();
    static const LPCWSTR s_pszFolders[][2] = {{L"ProgramFiles(x86)", L"ProgramW6432"},
                                             {L"CommonProgramFiles(x86)", L"CommonProgramW6432"}};
    for (const auto& folders : s_pszFolders)
    {
        CString strX86 = ExpandedVariable(folders[0]), str64 = ExpandedVariable(folders[1]);
        strX86.TrimRight(L'\\');
        str64.TrimRight(L'\\');
        if (!str64.IsEmpty() && strX86.CompareNoCase(str64) != 0 && StartsWithFolder(strPath, strX86) &&
            FileExists(str64 + strPath.Mid(strX86.GetLength()), PATH_VIEW_64))
            return TRUE;
    }
    return FALSE;
}

PathView CPathTest::ViewOfKey(const CKeyReader& key)
{
    if (!m_b64BitWindows || !key.IsOpen())
        return PATH_VIEW_ANY;
    CString strName = key.GetObjectName();
    strName.MakeUpper();
    if (strName.IsEmpty())
        return PATH_VIEW_ANY;
    if (strName.Find(L"\\WOW6432NODE\\") >= 0 || strName.Right(12) == L"\\WOW6432NODE")
        return PATH_VIEW_32;
    // A key the 32-bit view shows as the very same one is shared by both kinds of program.
    CKeyReader seen32;
    if (seen32.Open(key.GetRoot(), key.GetPath(), KEY_WOW64_32KEY) == ERROR_SUCCESS)
    {
        CString strName32 = seen32.GetObjectName();
        strName32.MakeUpper();
        if (strName32.IsEmpty() || strName32 == strName)
            return PATH_VIEW_ANY;
    }
    return PATH_VIEW_64;
}
