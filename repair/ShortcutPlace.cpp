#include "repair/ShortcutPlace.h"
#include "scanner/FolderWalk.h"

#include <shlwapi.h>

namespace {

// The longest walked folder that holds the path; -1 when none does.
INT_PTR FindHoldingFolder(const CString& strPath, const CStringArray& arrFolders)
{
    INT_PTR nBest = -1;
    for (INT_PTR i = 0; i < arrFolders.GetSize(); i++)
    {
        CString strFolder = arrFolders[i];
        strFolder.TrimRight(L'\\');
        int nLength = strFolder.GetLength();
        if (nLength == 0 || strPath.GetLength() <= nLength + 1 || strPath[nLength] != L'\\' ||
            strPath.Left(nLength).CompareNoCase(strFolder) != 0)
            continue;
        if (nBest < 0 || nLength > arrFolders[nBest].GetLength())
            nBest = i;
    }
    return nBest;
}

} // namespace

ShortcutPlace CheckShortcutPlace(const CString& strPath, const CStringArray& arrFolders)
{
    INT_PTR nFolder = FindHoldingFolder(strPath, arrFolders);
    if (nFolder < 0)
        return ShortcutPlaceOutside;
    CString strCurrent = arrFolders[nFolder];
    strCurrent.TrimRight(L'\\');
    if (!::PathIsDirectoryW(strCurrent + L"\\"))
        return ShortcutPlaceOutside;
    CString strRest = strPath.Mid(strCurrent.GetLength() + 1);
    CStringArray arrSteps;
    for (int nStart = 0; nStart <= strRest.GetLength();)
    {
        int nEnd = strRest.Find(L'\\', nStart);
        if (nEnd < 0)
            nEnd = strRest.GetLength();
        arrSteps.Add(strRest.Mid(nStart, nEnd - nStart));
        nStart = nEnd + 1;
    }
    // The last step is the shortcut; the scan enters FOLDER_WALK_MAX_DEPTH levels.
    INT_PTR nFolderSteps = arrSteps.GetSize() - 1;
    if (nFolderSteps > FOLDER_WALK_MAX_DEPTH)
        return ShortcutPlaceOutside;
    for (INT_PTR i = 0; i < nFolderSteps; i++)
    {
        DWORD dwAttributes = ::GetFileAttributesW(strCurrent + L"\\" + arrSteps[i]);
        // From here on nothing exists: the folders are made below a walked one.
        if (dwAttributes == INVALID_FILE_ATTRIBUTES)
            break;
        if ((dwAttributes & FILE_ATTRIBUTE_DIRECTORY) && IsLinkedFolder(strCurrent, arrSteps[i], dwAttributes))
            return ShortcutPlaceLinked;
        strCurrent += L"\\" + arrSteps[i];
    }
    return ShortcutPlaceOk;
}
