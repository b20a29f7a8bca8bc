#pragma once
// The companion libraries' exports as the main window resolved them; NULL
// until their library is loaded.
#include "libapi/LibraryExports.h"

extern PFN_FunInitPrivacy g_pfnFunInitPrivacy;
extern PFN_FunShowWindow g_pfnFunShowWindow;
extern PFN_FunIsThread g_pfnFunIsThread;
extern PFN_FunStopThread g_pfnFunStopThread;
extern PFN_FunExitPrivacy g_pfnFunExitPrivacy;
extern PFN_FunExitOptimizer g_pfnFunExitOptimizer;
extern PFN_FunPrivacySwitchLanguage g_pfnFunPrivacySwitchLanguage;
extern PFN_FunInitOptimizer g_pfnFunInitOptimizer;
extern PFN_FunShowOptimizer g_pfnFunShowOptimizer;
extern PFN_FunOptimizerSwitchLanguage g_pfnFunOptimizerSwitchLanguage;

// Loads a library from the given folder by full path and resolves its
// exports; NULL (nothing resolved, nothing left loaded) when the file is
// missing or lacks one of them.
HMODULE LoadPrivacyExports(LPCWSTR lpszFolder);
HMODULE LoadOptimizerExports(LPCWSTR lpszFolder);
// Forgets the resolved exports (after the library was freed).
void ClearPrivacyExports();
void ClearOptimizerExports();
