#include "privacy/FolderGuard.h"
#include "privacy/EvidenceEnvironment.h"
#include <shlobj.h>

namespace {

// Folders that hold far more than traces: never walked whole.
const int kProtectedFolders[] = {
    CSIDL_WINDOWS,          CSIDL_SYSTEM,       CSIDL_SYSTEMX86,     CSIDL_PROGRAM_FILES,
    CSIDL_PROGRAM_FILESX86, CSIDL_PROFILE,      CSIDL_PERSONAL,      CSIDL_DESKTOPDIRECTORY,
    CSIDL_MYMUSIC,          CSIDL_MYPICTURES,   CSIDL_MYVIDEO,       CSIDL_APPDATA,
    CSIDL_LOCAL_APPDATA,    CSIDL_COMMON_APPDATA, CSIDL_COMMON_DOCUMENTS,
};

// Folders programs expect to exist: emptied, they stay.
const int kKeptFolders[] = {
    CSIDL_RECENT,  CSIDL_INTERNET_CACHE, CSIDL_HISTORY, CSIDL_FAVORITES, CSIDL_COOKIES,
    CSIDL_CDBURN_AREA, CSIDL_SENDTO, CSIDL_STARTMENU, CSIDL_TEMPLATES, CSIDL_NETHOOD, CSIDL_PRINTHOOD,
};

CString WithBackslash(const CString& strFolder)
{
    if (strFolder.IsEmpty() || strFolder[strFolder.GetLength() - 1] == L'\\')
        return strFolder;
    return strFolder + L"\\";
}

BOOL IsDriveLetter(wchar_t ch)
{
    return (ch >= L'A' && ch <= L'Z') || (ch >= L'a' && ch <= L'z');
}

// The parts between backslashes from nStart on, each checked.
BOOL ArePlainParts(const CString& strFolder, int nStart)
{
    int nLength = strFolder.GetLength();
    while (nStart < nLength)
    {
        int nEnd = strFolder.Find(L'\\', nStart);
        if (nEnd < 0)
            return FALSE;  // the folder must end in a backslash
        if (!IsPlainFileName(strFolder.Mid(nStart, nEnd - nStart)))
            return FALSE;
        nStart = nEnd + 1;
    }
    return TRUE;
}

// Where the UNC share name ends (the index after its backslash), or -1.
int UncRootLength(const CString& strFolder)
{
    if (strFolder.Left(2) != L"\\\\")
        return -1;
    int nServer = strFolder.Find(L'\\', 2);
    if (nServer <= 2)
        return -1;
    int nShare = strFolder.Find(L'\\', nServer + 1);
    if (nShare <= nServer + 1)
        return -1;
    return nShare + 1;
}

// strOuter is strInner or one of its parents (both end in '\').
BOOL HoldsFolder(const CString& strOuter, const CString& strInner)
{
    if (strOuter.GetLength() > strInner.GetLength())
        return FALSE;
    return strInner.Left(strOuter.GetLength()).CompareNoCase(strOuter) == 0;
}

// The long form of an existing folder's path; the path itself otherwise.
CString LongFolderName(const CString& strFolder)
{
    DWORD nNeeded = ::GetLongPathNameW(strFolder, NULL, 0);
    if (nNeeded == 0 || nNeeded > 32768)
        return strFolder;
    std::vector<wchar_t> buffer(nNeeded + 1, L'\0');
    DWORD nLength = ::GetLongPathNameW(strFolder, buffer.data(), nNeeded + 1);
    if (nLength == 0 || nLength > nNeeded)
        return strFolder;
    return CString(buffer.data(), (int)nLength);
}

} // namespace

BOOL IsPlainFileName(const CString& strName)
{
    if (strName.IsEmpty() || strName == L"." || strName == L"..")
        return FALSE;
    if (strName.FindOneOf(L"\\/:*?\"<>|") >= 0)
        return FALSE;
    for (int i = 0; i < strName.GetLength(); ++i)
        if (strName[i] < 32)
            return FALSE;
    // Windows drops a trailing dot or blank: "Windows." names the Windows folder.
    wchar_t chLast = strName[strName.GetLength() - 1];
    return chLast != L'.' && chLast != L' ';
}

BOOL IsAbsoluteTraceFolder(const CString& strFolder)
{
    if (strFolder.GetLength() >= 3 && IsDriveLetter(strFolder[0]) && strFolder[1] == L':' && strFolder[2] == L'\\')
        return ArePlainParts(strFolder, 3);
    int nRoot = UncRootLength(strFolder);
    if (nRoot < 0)
        return FALSE;
    // "\\?\" and "\\.\" device paths are no place for traces.
    int nServer = strFolder.Find(L'\\', 2);
    if (!IsPlainFileName(strFolder.Mid(2, nServer - 2)) || !IsPlainFileName(strFolder.Mid(nServer + 1, nRoot - nServer - 2)))
        return FALSE;
    return ArePlainParts(strFolder, nRoot);
}

BOOL IsRootTraceFolder(const CString& strFolder)
{
    if (strFolder.GetLength() == 3 && IsDriveLetter(strFolder[0]) && strFolder[1] == L':' && strFolder[2] == L'\\')
        return TRUE;
    int nRoot = UncRootLength(strFolder);
    return nRoot > 0 && nRoot == strFolder.GetLength();
}

BOOL IsProtectedTraceFolder(const CString& strFolder)
{
    // Short names ("PROGRA~1") name the same folders.
    CString strTarget = WithBackslash(strFolder);
    CString strLong = WithBackslash(LongFolderName(strTarget));
    CEvidenceEnvironment& environment = EvidenceEnvironment();
    CString strKnown;
    for (int nCsidl : kProtectedFolders)
    {
        if (!environment.GetShellFolder(nCsidl, strKnown))
            continue;
        // The trace folder is that folder or one of its parents.
        if (HoldsFolder(strTarget, WithBackslash(strKnown)) || HoldsFolder(strLong, WithBackslash(strKnown)))
            return TRUE;
    }
    if (environment.GetWindowsFolder(strKnown) &&
        (HoldsFolder(strTarget, WithBackslash(strKnown)) || HoldsFolder(strLong, WithBackslash(strKnown))))
        return TRUE;
    return FALSE;
}

BOOL IsKeptTraceFolder(const CString& strFolder)
{
    CString strTarget = WithBackslash(strFolder);
    CEvidenceEnvironment& environment = EvidenceEnvironment();
    CString strKnown;
    if (environment.GetTempFolder(strKnown) && WithBackslash(strKnown).CompareNoCase(strTarget) == 0)
        return TRUE;
    for (int nCsidl : kKeptFolders)
        if (environment.GetShellFolder(nCsidl, strKnown) && WithBackslash(strKnown).CompareNoCase(strTarget) == 0)
            return TRUE;
    return IsProtectedTraceFolder(strTarget);
}

BOOL IsFolderTraceAllowed(const EvidenceTrace& trace)
{
    if (trace.IsRegistry())
        return FALSE;
    CString strFolder = trace.szPath;
    if (!IsAbsoluteTraceFolder(strFolder))
        return FALSE;
    switch (trace.nMode)
    {
    case EVIDENCE_MODE_NAME:
        return IsPlainFileName(trace.szName);
    case EVIDENCE_MODE_EXTENSION:
        if (trace.szName[0] != L'.' || !IsPlainFileName(trace.szName))
            return FALSE;
        break;
    case EVIDENCE_MODE_EVERY_FILE:
        break;
    default:
        return FALSE;
    }
    return !IsRootTraceFolder(strFolder) && !IsProtectedTraceFolder(strFolder);
}
