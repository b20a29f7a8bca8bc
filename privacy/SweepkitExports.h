#pragma once
// The six exports of the privacy library (see libapi/LibraryExports.h).
#include "framework/Afx.h"
#include "libapi/LibraryExports.h"

extern "C" {
void TAMSEL_LIBCALL FunPrivacySwitchLanguage(LPCWSTR lpszLanguageFile);
HHOOK TAMSEL_LIBCALL FunInitPrivacy(HWND hParent, int nSelector, int x, int y, LPCWSTR lpsz1, LPCWSTR lpsz2,
                                    LPCWSTR lpsz3);
int TAMSEL_LIBCALL FunShowWindow(int nView, int nShow);
int TAMSEL_LIBCALL FunIsThread();
void TAMSEL_LIBCALL FunStopThread();
void TAMSEL_LIBCALL FunExitPrivacy();
}
