#include "services/SystemProgram.h"
#include "services/Wow64.h"

#include <vector>

namespace {

BOOL IsFile(const CString& strPath)
{
    DWORD dwAttributes = ::GetFileAttributesW(strPath);
    return dwAttributes != INVALID_FILE_ATTRIBUTES && (dwAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

// The system folder's file of that name (a path below the folder), trying
// ".exe" after a name without an extension as CreateProcess does; empty when
// neither is there.
CString ExistingSystemProgram(const CString& strName)
{
    if (strName.IsEmpty() || strName.FindOneOf(L"/:") >= 0)
        return CString();
    CString strPath = SystemProgramPath(strName);
    if (!strPath.IsEmpty() && IsFile(strPath))
        return strPath;
    if (strName.Mid(strName.ReverseFind(L'\\') + 1).Find(L'.') < 0)
    {
        strPath = SystemProgramPath(strName + L".exe");
        if (!strPath.IsEmpty() && IsFile(strPath))
            return strPath;
    }
    return CString();
}

} // namespace

CString SystemFolderPath()
{
    wchar_t szSystem[MAX_PATH] = {};
    UINT nLength = ::GetSystemDirectoryW(szSystem, MAX_PATH);
    if (nLength == 0 || nLength >= MAX_PATH)
        return CString();
    CString strSystem = szSystem;
    strSystem.TrimRight(L'\\');
    return strSystem;
}

CString SystemProgramPath(LPCWSTR pszName)
{
    CString strSystem = SystemFolderPath();
    if (strSystem.IsEmpty() || pszName == NULL || *pszName == 0)
        return CString();
    if (IsRunningOnWow64())
    {
        // The system's own Windows folder: GetWindowsDirectory may name a
        // user's private one on a terminal server.
        wchar_t szWindows[MAX_PATH] = {};
        UINT nLength = ::GetSystemWindowsDirectoryW(szWindows, MAX_PATH);
        if (nLength > 0 && nLength < MAX_PATH)
        {
            CString strNative = szWindows;
            strNative.TrimRight(L'\\');
            strNative += L"\\Sysnative\\";
            strNative += pszName;
            // Windows before Vista has no Sysnative: the 32-bit program is all there is.
            if (IsFile(strNative))
                return strNative;
        }
    }
    return strSystem + L"\\" + pszName;
}

CString SystemProgramOf(const CString& strProgram)
{
    CString strPath = strProgram;
    strPath.Trim();
    if (strPath.FindOneOf(L"\\/:") < 0)
        return ExistingSystemProgram(strPath);
    // A path below the system folder, as the process names it.
    CString strSystem = SystemFolderPath();
    int nLength = strSystem.GetLength();
    if (nLength == 0 || strPath.GetLength() <= nLength + 1 || strPath[nLength] != L'\\' ||
        strPath.Left(nLength).CompareNoCase(strSystem) != 0)
        return CString();
    return ExistingSystemProgram(strPath.Mid(nLength + 1));
}

BOOL StartSystemProgram(LPCWSTR pszName, LPCWSTR pszArguments, HANDLE* phProcess, DWORD* pdwError)
{
    if (phProcess != NULL)
        *phProcess = NULL;
    CString strProgram = SystemProgramPath(pszName);
    CString strSystem = SystemFolderPath();
    DWORD dwError = ERROR_SUCCESS;
    if (strProgram.IsEmpty())
        dwError = ERROR_PATH_NOT_FOUND;
    else
    {
        // By full path, so no program of that name in our own or the current
        // folder is started instead.
        CString strCommand = L"\"" + strProgram + L"\"";
        if (pszArguments != NULL && *pszArguments != 0)
            strCommand += CString(L" ") + pszArguments;
        // CreateProcessW may write into the command line: a copy of its own.
        std::vector<wchar_t> buffer((LPCWSTR)strCommand, (LPCWSTR)strCommand + strCommand.GetLength() + 1);
        STARTUPINFOW si = {};
        si.cb = sizeof(si);
        si.dwFlags = STARTF_USESHOWWINDOW;
        si.wShowWindow = SW_SHOW;
        PROCESS_INFORMATION pi = {};
        // The system folder as the current one: the real System32 for a 64-bit program.
        if (::CreateProcessW(strProgram, buffer.data(), NULL, NULL, FALSE, 0, NULL, strSystem, &si, &pi))
        {
            ::CloseHandle(pi.hThread);
            if (phProcess != NULL)
                *phProcess = pi.hProcess;
            else
                ::CloseHandle(pi.hProcess);
        }
        else
        {
            dwError = ::GetLastError();
            if (dwError == ERROR_SUCCESS)
                dwError = ERROR_INVALID_FUNCTION;
        }
    }
    if (pdwError != NULL)
        *pdwError = dwError;
    return dwError == ERROR_SUCCESS;
}
