#include "privacy/EvidenceFileRule.h"
#include "privacy/FolderGuard.h"

BOOL EvidenceFileMatches(const EvidenceTrace& trace, LPCWSTR pszFileName)
{
    switch (trace.nMode)
    {
    case EVIDENCE_MODE_EVERY_FILE:
        return TRUE;
    case EVIDENCE_MODE_EXTENSION:
    {
        const wchar_t* pszDot = wcsrchr(pszFileName, L'.');
        return wcscmp(pszDot != NULL ? pszDot : pszFileName, trace.szName) == 0;
    }
    case EVIDENCE_MODE_NAME:
        return wcscmp(pszFileName, trace.szName) == 0;
    default:
        return FALSE;
    }
}

BOOL IsReparseEntry(DWORD dwAttributes)
{
    return (dwAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

BOOL IsWalkableFolder(const CString& strFolder)
{
    // Without the trailing backslash: with it, a link's target would answer.
    CString strPath = strFolder;
    if (strPath.GetLength() > 3)
        strPath.TrimRight(L'\\');
    DWORD dwAttributes = ::GetFileAttributesW(strPath);
    return dwAttributes != INVALID_FILE_ATTRIBUTES && (dwAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
           !IsReparseEntry(dwAttributes);
}

BOOL IsFolderTraceUsable(const EvidenceTrace& trace)
{
    return IsFolderTraceAllowed(trace) && IsWalkableFolder(trace.szPath);
}
