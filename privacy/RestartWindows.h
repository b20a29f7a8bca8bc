#pragma once
// Restarting Windows after a clean that left files for the next start. The
// session is ended only through a replaceable function, never forced, and
// only after the user has answered Yes.
#include "framework/Afx.h"

typedef BOOL(WINAPI* PFN_EXIT_WINDOWS)(UINT uFlags, DWORD dwReason);

// Replaces the call that ends the session; NULL restores ExitWindowsEx.
// Returns the function used before.
PFN_EXIT_WINDOWS SetExitWindowsFunction(PFN_EXIT_WINDOWS pfnExitWindows);

// Enables the shutdown privilege, then asks Windows to shut down (non-zero)
// or to restart (0), letting programs refuse. 0 on success, -1 otherwise.
int RestartWindows(int nShutdown);

// Asks whether to restart now; restarts only on Yes. TRUE when a restart was
// asked of Windows.
BOOL OfferRestartAfterClean(CWnd* pOwner, LPCWSTR lpszLanguageFile);
