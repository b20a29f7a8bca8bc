#pragma once
// Every document, web page or program the program opens through the shell
// goes through one function, replaceable for tests (like the message box).
#include "framework/AfxDefs.h"

// Returns TRUE when the shell accepted the request.
typedef BOOL (*AFX_SHELLOPEN_HANDLER)(HWND hWnd, LPCTSTR lpszVerb, LPCTSTR lpszFile, LPCTSTR lpszParameters,
                                      LPCTSTR lpszDirectory, int nShowCmd);
AFX_SHELLOPEN_HANDLER AfxSetShellOpenHandler(AFX_SHELLOPEN_HANDLER pfnHandler);
BOOL AfxShellOpen(HWND hWnd, LPCTSTR lpszVerb, LPCTSTR lpszFile, LPCTSTR lpszParameters = NULL,
                  LPCTSTR lpszDirectory = NULL, int nShowCmd = SW_SHOWNORMAL);
