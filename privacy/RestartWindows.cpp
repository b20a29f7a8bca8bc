#include "privacy/RestartWindows.h"
#include "optimizer/shared/LangString.h"

namespace {
PFN_EXIT_WINDOWS s_pfnExitWindows = NULL;

BOOL EnableShutdownPrivilege()
{
    HANDLE hToken = NULL;
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &hToken))
        return FALSE;
    TOKEN_PRIVILEGES tp = {};
    tp.PrivilegeCount = 1;
    tp.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    BOOL bOk = ::LookupPrivilegeValueW(NULL, L"SeShutdownPrivilege", &tp.Privileges[0].Luid) &&
               ::AdjustTokenPrivileges(hToken, FALSE, &tp, 0, NULL, NULL) && ::GetLastError() == ERROR_SUCCESS;
    ::CloseHandle(hToken);
    return bOk;
}
} // namespace

PFN_EXIT_WINDOWS SetExitWindowsFunction(PFN_EXIT_WINDOWS pfnExitWindows)
{
    PFN_EXIT_WINDOWS pfnPrevious = s_pfnExitWindows;
    s_pfnExitWindows = pfnExitWindows;
    return pfnPrevious;
}

int RestartWindows(int nShutdown)
{
    if (!EnableShutdownPrivilege())
        return -1;
    // Not forced: a program with unsaved work may still refuse.
    const UINT uFlags = nShutdown != 0 ? EWX_SHUTDOWN : EWX_REBOOT;
    const DWORD dwReason = SHTDN_REASON_MAJOR_APPLICATION | SHTDN_REASON_MINOR_MAINTENANCE | SHTDN_REASON_FLAG_PLANNED;
    PFN_EXIT_WINDOWS pfnExit = s_pfnExitWindows != NULL ? s_pfnExitWindows : &::ExitWindowsEx;
    return pfnExit(uFlags, dwReason) ? 0 : -1;
}

BOOL OfferRestartAfterClean(CWnd* pOwner, LPCWSTR lpszLanguageFile)
{
    CString strText = ExpandLineBreaks(ReadLangString(lpszLanguageFile, L"String", L"IDS_STR_RESTART_QUESTION"));
    CString strCaption = ReadLangString(lpszLanguageFile, L"String", L"MESSAGEBOX_NOTICE");
    if (strText.IsEmpty())
        strText = L"Some files are in use and will be removed when Windows restarts.\nRestart Windows now?";
    HWND hOwner = pOwner != NULL ? pOwner->GetSafeHwnd() : NULL;
    if (AfxShowMessageBox(hOwner, strText, strCaption, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
        return FALSE;
    return RestartWindows(0) == 0;
}
