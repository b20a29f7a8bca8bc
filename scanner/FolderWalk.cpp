#include "scanner/FolderWalk.h"
#include "scanner/KeyReader.h"
#include "services/DeepPath.h"

CString ReadShellFolder(HKEY hRoot, LPCWSTR pszName)
{
    CKeyReader folders;
    if (folders.Open(hRoot, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders") != ERROR_SUCCESS)
        return CString();
    CString strFolder = folders.ReadString(pszName, CString());
    strFolder.Trim();
    return strFolder;
}

void GetShortcutScanFolders(CStringArray& arrFolders)
{
    struct Folder
    {
        HKEY hRoot;
        LPCWSTR pszName;
    };
    static const Folder s_folders[] = {{HKEY_LOCAL_MACHINE, L"Common Desktop"},
                                       {HKEY_CURRENT_USER, L"Desktop"},
                                       {HKEY_LOCAL_MACHINE, L"Common Programs"},
                                       {HKEY_CURRENT_USER, L"Programs"},
                                       {HKEY_CURRENT_USER, L"Recent"}};
    arrFolders.RemoveAll();
    for (const Folder& folder : s_folders)
    {
        CString strFolder = ReadShellFolder(folder.hRoot, folder.pszName);
        if (strFolder.GetLength() > 3)
            strFolder.TrimRight(L'\\');
        if (!strFolder.IsEmpty())
            arrFolders.Add(strFolder);
    }
}

namespace {
// The folder's path as the file system resolves it, without "\\?\" and
// without a trailing backslash; empty when that cannot be told.
CString FinalPath(const CString& strPath)
{
    CString strFinal;
    if (GetResolvedPath(strPath, strFinal) != ERROR_SUCCESS)
        return CString();
    strFinal.TrimRight(L'\\');
    return strFinal;
}
}  // namespace

BOOL IsLinkedFolder(const CString& strFolder, const CString& strName, DWORD dwAttributes)
{
    if (dwAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return TRUE;
    // Systems without the resolver have no folder links but reparse points.
    if (!HasPathResolver())
        return FALSE;
    CString strParent = FinalPath(strFolder);
    CString strChild = FinalPath(strFolder + L"\\" + strName);
    // Unknown: better not to enter it.
    if (strParent.IsEmpty() || strChild.IsEmpty())
        return TRUE;
    return strChild.CompareNoCase(strParent + L"\\" + strName) != 0;
}
