#include "tools/ToolCommands.h"
#include "services/FileVersionInfo.h"
#include "services/SystemProgram.h"
#include "resources/main_window/MainWindowIds.h"

#include <shellapi.h>
#include <shlwapi.h>
#include <vector>

namespace {

// The program part of a command line: the quoted text at its start, or the
// text up to the first blank.
CString ProgramToken(const CString& strCommand)
{
    CString strText = strCommand;
    strText.TrimLeft();
    if (!strText.IsEmpty() && strText[0] == L'"')
    {
        int nEnd = strText.Find(L'"', 1);
        return nEnd > 0 ? strText.Mid(1, nEnd - 1) : strText.Mid(1);
    }
    int nBlank = strText.FindOneOf(L" \t");
    return nBlank < 0 ? strText : strText.Left(nBlank);
}

} // namespace

CString SystemProgramOfCommand(const CString& strCommand)
{
    return SystemProgramOf(ProgramToken(strCommand));
}

BOOL StartCommandLine(const CString& strCommand, DWORD* pdwError)
{
    DWORD dwError = ERROR_SUCCESS;
    if (strCommand.IsEmpty())
        dwError = ERROR_INVALID_PARAMETER;
    else if (strCommand.GetLength() > TOOL_MAX_COMMAND)
        dwError = ERROR_FILENAME_EXCED_RANGE;
    if (dwError == ERROR_SUCCESS)
    {
        // CreateProcessW may write into the command line: a copy of its own.
        std::vector<wchar_t> buffer((LPCWSTR)strCommand, (LPCWSTR)strCommand + strCommand.GetLength() + 1);
        // A system program named by the command runs from the real System32,
        // as Windows runs the command at logon or from its own uninstall list.
        CString strProgram = SystemProgramOfCommand(strCommand);
        STARTUPINFOW si = {};
        si.cb = sizeof(si);
        PROCESS_INFORMATION pi = {};
        if (CreateProcessW(strProgram.IsEmpty() ? NULL : (LPCWSTR)strProgram, buffer.data(), NULL, NULL, FALSE, 0, NULL,
                           NULL, &si, &pi))
        {
            CloseHandle(pi.hThread);
            CloseHandle(pi.hProcess);
        }
        else
        {
            dwError = GetLastError();
            if (dwError == ERROR_SUCCESS)
                dwError = ERROR_INVALID_FUNCTION;
        }
    }
    if (pdwError != NULL)
        *pdwError = dwError;
    return dwError == ERROR_SUCCESS;
}

CString ProgramPathOfCommand(const CString& strCommand)
{
    CString strPath = strCommand;
    strPath.Trim();
    // The quotes round the program go, also when switches follow them.
    if (!strPath.IsEmpty() && strPath[0] == L'"')
    {
        int nEnd = strPath.Find(L'"', 1);
        strPath = nEnd > 0 ? strPath.Mid(1, nEnd - 1) + strPath.Mid(nEnd + 1) : strPath.Mid(1);
    }
    strPath.MakeLower();
    int nExe = strPath.Find(L".exe");
    if (nExe >= 0)
        strPath = strPath.Left(nExe + 4);
    strPath.TrimRight();
    return strPath;
}

CString BhoDllFilePath(const CString& strPath)
{
    CString strFile = strPath;
    if (strFile.Find(L'%') >= 0)
    {
        DWORD dwNeeded = ExpandEnvironmentStringsW(strPath, NULL, 0);
        if (dwNeeded > 0)
        {
            std::vector<wchar_t> buffer(dwNeeded + 1);
            if (ExpandEnvironmentStringsW(strPath, buffer.data(), dwNeeded + 1) > 0)
                strFile = buffer.data();
        }
    }
    strFile.Trim();
    strFile.Trim(L'"');
    if (!strFile.IsEmpty() && strFile.Find(L':') < 0)
    {
        wchar_t szSystem[MAX_PATH] = {};
        UINT nLength = GetSystemDirectoryW(szSystem, MAX_PATH);
        if (nLength > 0 && nLength < MAX_PATH)
        {
            CString strSystem = szSystem;
            if (strSystem[strSystem.GetLength() - 1] != L'\\')
                strSystem += L"\\";
            strFile = strSystem + strFile;
        }
    }
    return strFile;
}

BOOL ReadFileDetails(const CString& strPath, CString strTexts[4])
{
    for (int i = 0; i < 4; ++i)
        strTexts[i].Empty();
    if (strPath.IsEmpty() || !PathFileExistsW(strPath))
        return FALSE;
    CString strName = strPath.Mid(strPath.ReverseFind(L'\\') + 1);
    CFileVersionInfo info;
    if (!info.Create(strPath))
    {
        for (int i = 0; i < 4; ++i)
            strTexts[i] = strName;
        return TRUE;
    }
    wchar_t szA[256], szB[256];
    info.GetStringValue(L"FileVersion", szA, 256);
    strTexts[0].Format(L"%s (File Version: %s)", (LPCWSTR)strName, szA);
    info.GetStringValue(L"ProductName", szA, 256);
    info.GetStringValue(L"ProductVersion", szB, 256);
    strTexts[1].Format(L"%s (Product Version: %s)", szA, szB);
    info.GetStringValue(L"FileDescription", szA, 256);
    strTexts[2] = szA;
    info.GetStringValue(L"CompanyName", szA, 256);
    strTexts[3] = szA;
    return TRUE;
}

HICON ExtractFirstIcon(const CString& strFile)
{
    if (strFile.IsEmpty())
        return NULL;
    HICON hIcon = ExtractIconW(AfxGetInstanceHandle(), strFile, 0);
    if ((UINT_PTR)hIcon <= 1)
        return NULL;
    return hIcon;
}

HICON LoadOwnSmallIcon()
{
    return (HICON)LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW(IDI_TAMSEL), IMAGE_ICON, 16, 16, 0);
}

HICON LoadProgramSmallIcon()
{
    // The system's plain program picture, copied so the caller owns it.
    HICON hShared = (HICON)LoadImageW(NULL, MAKEINTRESOURCEW(32512) /* IDI_APPLICATION */, IMAGE_ICON, 16, 16,
                                      LR_SHARED);
    return hShared != NULL ? (HICON)CopyImage(hShared, IMAGE_ICON, 16, 16, 0) : NULL;
}

HICON LoadUninstallDefaultIcon()
{
    HICON hIcon = NULL;
    wchar_t szSystem[MAX_PATH] = {};
    UINT nLength = GetSystemDirectoryW(szSystem, MAX_PATH);
    if (nLength > 0 && nLength < MAX_PATH - 12)
    {
        CString strFile = szSystem;
        strFile += L"\\appwiz.cpl";
        HMODULE hModule = LoadLibraryExW(strFile, NULL, LOAD_LIBRARY_AS_DATAFILE);
        if (hModule != NULL)
        {
            hIcon = (HICON)LoadImageW(hModule, MAKEINTRESOURCEW(1502), IMAGE_ICON, 16, 16, 0);
            FreeLibrary(hModule);
        }
    }
    return hIcon != NULL ? hIcon : LoadProgramSmallIcon();
}
