#include "privacy/JunkBrowse.h"
#include <commdlg.h>
#include <shlobj.h>

namespace {

PRIVACY_BROWSE_FOLDER_FN g_pfnBrowse = NULL;
PRIVACY_OPEN_FILES_FN g_pfnOpen = NULL;

// The status line shows the path under the selection.
int CALLBACK BrowseCallback(HWND hWnd, UINT nMsg, LPARAM lParam, LPARAM)
{
    if (nMsg == BFFM_SELCHANGED)
    {
        wchar_t szPath[MAX_PATH] = {0};
        if (lParam != 0 && ::SHGetPathFromIDListW((LPCITEMIDLIST)lParam, szPath))
            ::SendMessageW(hWnd, BFFM_SETSTATUSTEXTW, 0, (LPARAM)szPath);
    }
    return 0;
}

BOOL ShellBrowseForFolder(HWND hOwner, LPCWSTR lpszTitle, CString& strFolder)
{
    BROWSEINFOW bi = {};
    bi.hwndOwner = hOwner;
    bi.lpszTitle = lpszTitle;
    bi.ulFlags = BIF_RETURNONLYFSDIRS | BIF_STATUSTEXT;
    bi.lpfn = BrowseCallback;
    LPITEMIDLIST pidl = ::SHBrowseForFolderW(&bi);
    if (pidl == NULL)
        return FALSE;
    wchar_t szPath[MAX_PATH] = {0};
    BOOL bOk = ::SHGetPathFromIDListW(pidl, szPath);
    ::CoTaskMemFree(pidl);
    if (bOk)
        strFolder = szPath;
    return bOk && szPath[0] != 0;
}

BOOL ShellOpenFiles(HWND hOwner, std::vector<std::wstring>& paths)
{
    paths.clear();
    // Room for many names: the multiple selection comes back in one buffer.
    std::vector<wchar_t> buffer(65536, L'\0');
    OPENFILENAMEW ofn = {};
    ofn.lStructSize = sizeof(ofn);
    ofn.hwndOwner = hOwner;
    ofn.lpstrFilter = L"*.*\0*.*\0";
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = (DWORD)buffer.size();
    // A shortcut chosen is the file to shred, not the document it points to.
    ofn.Flags = OFN_ALLOWMULTISELECT | OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR |
                OFN_NODEREFERENCELINKS;
    if (!::GetOpenFileNameW(&ofn))
        return FALSE;
    std::wstring strFirst = buffer.data();
    const wchar_t* p = buffer.data() + strFirst.size() + 1;
    if (*p == 0)
    {
        paths.push_back(strFirst);
        return TRUE;
    }
    if (!strFirst.empty() && strFirst.back() != L'\\')
        strFirst += L'\\';
    for (; *p != 0; p += wcslen(p) + 1)
        paths.push_back(strFirst + p);
    return !paths.empty();
}

} // namespace

BOOL PrivacyBrowseForFolder(HWND hOwner, LPCWSTR lpszTitle, CString& strFolder)
{
    return g_pfnBrowse != NULL ? g_pfnBrowse(hOwner, lpszTitle, strFolder) : ShellBrowseForFolder(hOwner, lpszTitle, strFolder);
}

BOOL PrivacyOpenFiles(HWND hOwner, std::vector<std::wstring>& paths)
{
    return g_pfnOpen != NULL ? g_pfnOpen(hOwner, paths) : ShellOpenFiles(hOwner, paths);
}

PRIVACY_BROWSE_FOLDER_FN SetPrivacyBrowseFolderFunction(PRIVACY_BROWSE_FOLDER_FN pfn)
{
    PRIVACY_BROWSE_FOLDER_FN pfnOld = g_pfnBrowse;
    g_pfnBrowse = pfn;
    return pfnOld;
}

PRIVACY_OPEN_FILES_FN SetPrivacyOpenFilesFunction(PRIVACY_OPEN_FILES_FN pfn)
{
    PRIVACY_OPEN_FILES_FN pfnOld = g_pfnOpen;
    g_pfnOpen = pfn;
    return pfnOld;
}
