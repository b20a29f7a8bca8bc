#include "scanner/FolderWalk.h"
#include "scanner/KeyReader.h"

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
typedef DWORD(WINAPI* PFN_FINAL_PATH)(HANDLE, LPWSTR, DWORD, DWORD);

PFN_FINAL_PATH FinalPathFunction()
{
    static PFN_FINAL_PATH s_pfnFinalPath = (PFN_FINAL_PATH)(void*)::GetProcAddress(
        ::GetModuleHandleW(L"kernel32.dll"), "GetFinalPathNameByHandleW");
    return s_pfnFinalPath;
}

// The folder's path as the file system resolves it, without "\\?\".
CString FinalPath(const CString& strPath)
{
    PFN_FINAL_PATH pfnFinalPath = FinalPathFunction();
    if (pfnFinalPath == NULL)
        return CString();
    HANDLE hFolder = ::CreateFileW(strPath, FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                   NULL, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, NULL);
    if (hFolder == INVALID_HANDLE_VALUE)
        return CString();
    wchar_t szPath[1024];
    DWORD nLength = pfnFinalPath(hFolder, szPath, 1024, 0);
    ::CloseHandle(hFolder);
    if (nLength == 0 || nLength >= 1024)
        return CString();
    CString strFinal(szPath, (int)nLength);
    if (strFinal.Left(8).CompareNoCase(L"\\\\?\\UNC\\") == 0)
        strFinal = L"\\\\" + strFinal.Mid(8);
    else if (strFinal.Left(4) == L"\\\\?\\")
        strFinal = strFinal.Mid(4);
    strFinal.TrimRight(L'\\');
    return strFinal;
}
}  // namespace

BOOL IsLinkedFolder(const CString& strFolder, const CString& strName, DWORD dwAttributes)
{
    if (dwAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
        return TRUE;
    // Systems without the resolver have no folder links but reparse points.
    if (FinalPathFunction() == NULL)
        return FALSE;
    CString strParent = FinalPath(strFolder);
    CString strChild = FinalPath(strFolder + L"\\" + strName);
    // Unknown: better not to enter it.
    if (strParent.IsEmpty() || strChild.IsEmpty())
        return TRUE;
    return strChild.CompareNoCase(strParent + L"\\" + strName) != 0;
}
