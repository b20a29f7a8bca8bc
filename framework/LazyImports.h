#pragma once
// WinInet and WinMM's PlaySoundW are loaded at their first call (see
// LazyImports.cpp); callers use the functions as declared in the system
// headers.
#include <windows.h>

// Whether a library bound at first call (L"wininet.dll", L"winmm.dll") has
// been loaded by such a call.
BOOL IsLazyLibraryLoaded(LPCWSTR pszName);
