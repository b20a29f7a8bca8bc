#include "privacy/FolderGuard.h"
#include "privacy/EvidenceEnvironment.h"
#include <shlobj.h>

namespace {

const int kProtectedFolders[] = {
    CSIDL_WINDOWS,          CSIDL_SYSTEM,    CSIDL_SYSTEMX86,   CSIDL_PROGRAM_FILES,
    CSIDL_PROGRAM_FILESX86, CSIDL_PROFILE,   CSIDL_PERSONAL,    CSIDL_DESKTOPDIRECTORY,
    CSIDL_MYMUSIC,          CSIDL_MYPICTURES, CSIDL_MYVIDEO,
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
    return TRUE;
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
    CString strTarget = WithBackslash(strFolder);
    CEvidenceEnvironment& environment = EvidenceEnvironment();
    CString strKnown;
    for (int nCsidl : kProtectedFolders)
    {
        if (!environment.GetShellFolder(nCsidl, strKnown))
            continue;
        // The trace folder is that folder or one of its parents.
        if (HoldsFolder(strTarget, WithBackslash(strKnown)))
            return TRUE;
    }
    if (environment.GetWindowsFolder(strKnown) && HoldsFolder(strTarget, WithBackslash(strKnown)))
        return TRUE;
    return FALSE;
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
