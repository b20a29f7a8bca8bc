#pragma once
// The exports of the two companion libraries, as both sides see them: plain
// cdecl functions with undecorated names; only window handles, integers and
// wide strings cross, and the caller keeps its strings.
#include <windows.h>

#define TAMSEL_LIBCALL __cdecl

// Privacy library (Sweepkit.dll): views 1 evidence cleaner, 2 junk cleaner,
// 3 shredder; 0 hides them all.
typedef void(TAMSEL_LIBCALL* PFN_FunPrivacySwitchLanguage)(LPCWSTR lpszLanguageFile);
typedef HHOOK(TAMSEL_LIBCALL* PFN_FunInitPrivacy)(HWND hParent, int nSelector, int x, int y, LPCWSTR lpsz1,
                                                   LPCWSTR lpsz2, LPCWSTR lpsz3);
typedef int(TAMSEL_LIBCALL* PFN_FunShowWindow)(int nView, int nShow);
typedef int(TAMSEL_LIBCALL* PFN_FunIsThread)();
typedef void(TAMSEL_LIBCALL* PFN_FunStopThread)();
typedef void(TAMSEL_LIBCALL* PFN_FunExitPrivacy)();

// Optimizer library (Tunekit.dll): views 0x11 system, 0x12 service, 0x13
// memory optimizer; 0x10 hides them all.
typedef int(TAMSEL_LIBCALL* PFN_FunOptimizerSwitchLanguage)(LPCWSTR lpszLanguageFile);
typedef HHOOK(TAMSEL_LIBCALL* PFN_FunInitOptimizer)(HWND hParent, int nSelector, int x, int y, LPCWSTR lpsz1,
                                                     LPCWSTR lpsz2, LPCWSTR lpsz3);
typedef void(TAMSEL_LIBCALL* PFN_FunShowOptimizer)(int nView, int nShow);
typedef void(TAMSEL_LIBCALL* PFN_FunExitOptimizer)();

#define PRIVACY_VIEW_NONE 0
#define PRIVACY_VIEW_EVIDENCE 1
#define PRIVACY_VIEW_JUNK 2
#define PRIVACY_VIEW_SHREDDER 3
#define OPTIMIZER_VIEW_NONE 0x10
#define OPTIMIZER_VIEW_SYSTEM 0x11
#define OPTIMIZER_VIEW_SERVICE 0x12
#define OPTIMIZER_VIEW_MEMORY 0x13
