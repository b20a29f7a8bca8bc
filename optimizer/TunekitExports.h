#pragma once
// The four exports of the optimizer library (see libapi/LibraryExports.h).
#include "framework/Afx.h"
#include "libapi/LibraryExports.h"

extern "C" {
int TAMSEL_LIBCALL FunOptimizerSwitchLanguage(LPCWSTR lpszLanguageFile);
HHOOK TAMSEL_LIBCALL FunInitOptimizer(HWND hParent, int nSelector, int x, int y, LPCWSTR lpsz1, LPCWSTR lpsz2,
                                      LPCWSTR lpsz3);
void TAMSEL_LIBCALL FunShowOptimizer(int nView, int nShow);
void TAMSEL_LIBCALL FunExitOptimizer();
}
