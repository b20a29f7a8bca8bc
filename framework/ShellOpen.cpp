#include "framework/ShellOpen.h"
#include <shellapi.h>
#include <atomic>

namespace {

BOOL SystemShellOpen(HWND hWnd, LPCTSTR lpszVerb, LPCTSTR lpszFile, LPCTSTR lpszParameters, LPCTSTR lpszDirectory,
                     int nShowCmd)
{
    return (INT_PTR)::ShellExecuteW(hWnd, lpszVerb, lpszFile, lpszParameters, lpszDirectory, nShowCmd) > 32;
}

std::atomic<AFX_SHELLOPEN_HANDLER> s_pfnHandler(&SystemShellOpen);

} // namespace

AFX_SHELLOPEN_HANDLER AfxSetShellOpenHandler(AFX_SHELLOPEN_HANDLER pfnHandler)
{
    return s_pfnHandler.exchange(pfnHandler != NULL ? pfnHandler : &SystemShellOpen);
}

BOOL AfxShellOpen(HWND hWnd, LPCTSTR lpszVerb, LPCTSTR lpszFile, LPCTSTR lpszParameters, LPCTSTR lpszDirectory,
                  int nShowCmd)
{
    return s_pfnHandler.load()(hWnd, lpszVerb, lpszFile != NULL ? lpszFile : L"", lpszParameters, lpszDirectory,
                               nShowCmd);
}
