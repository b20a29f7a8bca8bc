// WinInet and WinMM's PlaySoundW are bound at their first call, not at
// start-up: no window needs them before the update check or the first button
// sound, and loading them with what they pull in (mpr, ws2_32, msacm32) took
// every start about 15 ms under Wine, 50 ms for the 32-bit build emulated.
//
// Each call goes through the import slot the compiler uses for a dllimport
// function (__imp_Name). This file defines those slots itself, so the linker
// takes them from here instead of from the import libraries; a slot starts at
// a stub that loads the library from the system folder, resolves the export,
// puts it into the slot and calls it. When the library or the export is
// missing, the call fails as the function itself reports a failure (FALSE or
// NULL, last error ERROR_MOD_NOT_FOUND or ERROR_PROC_NOT_FOUND), so the
// feature that needs it says it failed.
#include "framework/LazyImports.h"

#include <windows.h>
#include <mmsystem.h>
#include <wininet.h>

namespace {

struct LazyLibrary
{
    LPCWSTR pszName;
    HMODULE volatile hModule;
};

LazyLibrary s_wininet = {L"wininet.dll", NULL};
LazyLibrary s_winmm = {L"winmm.dll", NULL};

HMODULE LoadLazyLibrary(LazyLibrary& library)
{
    HMODULE hModule = library.hModule;
    if (hModule != NULL)
        return hModule;
    // By full path: a copy beside the program is never taken instead.
    WCHAR szPath[MAX_PATH + 32];
    UINT nLength = ::GetSystemDirectoryW(szPath, MAX_PATH);
    if (nLength == 0 || nLength >= MAX_PATH)
        return NULL;
    if (szPath[nLength - 1] != L'\\')
        szPath[nLength++] = L'\\';
    ::lstrcpynW(szPath + nLength, library.pszName, 32);
    hModule = ::LoadLibraryW(szPath);
    if (hModule == NULL)
    {
        DWORD dwError = ::GetLastError();
        WCHAR szMessage[MAX_PATH + 96];
        ::wsprintfW(szMessage, L"Tamsel: %s could not be loaded (error %lu)\n", szPath, dwError);
        ::OutputDebugStringW(szMessage);
        ::SetLastError(ERROR_MOD_NOT_FOUND);
        return NULL;
    }
    // Two threads may load it at once: one reference stays, held for good.
    HMODULE hEarlier = (HMODULE)::InterlockedCompareExchangePointer((PVOID volatile*)&library.hModule, hModule, NULL);
    if (hEarlier != NULL)
    {
        ::FreeLibrary(hModule);
        return hEarlier;
    }
    return hModule;
}

// The export, written into the import slot for later calls; NULL with the
// last error set when it cannot be had.
template <typename T>
T Bind(LazyLibrary& library, const char* pszName, T volatile& pfnSlot)
{
    HMODULE hModule = LoadLazyLibrary(library);
    if (hModule == NULL)
        return NULL;
    T pfn = reinterpret_cast<T>(reinterpret_cast<void*>(::GetProcAddress(hModule, pszName)));
    if (pfn == NULL)
    {
        ::SetLastError(ERROR_PROC_NOT_FOUND);
        return NULL;
    }
    ::InterlockedExchangePointer((PVOID volatile*)&pfnSlot, reinterpret_cast<void*>(pfn));
    return pfn;
}

} // namespace

// The slot names as the compiler refers to them: i686 decorates stdcall names
// with the size of the arguments.
#if defined(__i386__)
#define TAMSEL_IMPORT_SLOT(name, argbytes) __asm__("__imp__" #name "@" #argbytes)
#else
#define TAMSEL_IMPORT_SLOT(name, argbytes) __asm__("__imp_" #name)
#endif

// One lazily bound function: its stub, of the type the system header
// declares, and its import slot, which starts at the stub.
#define TAMSEL_LAZY_IMPORT(library, type, name, argbytes, failure, params, args)                              \
    static decltype(::name) Lazy_##name;                                                                    \
    extern "C" {                                                                                            \
    decltype(&::name) volatile g_pfnSlot_##name TAMSEL_IMPORT_SLOT(name, argbytes) = &Lazy_##name;          \
    }                                                                                                       \
    static type WINAPI Lazy_##name params                                                                   \
    {                                                                                                       \
        decltype(&::name) pfn = Bind(library, #name, g_pfnSlot_##name);                                     \
        if (pfn == NULL)                                                                                    \
            return failure;                                                                                 \
        return pfn args;                                                                                    \
    }

TAMSEL_LAZY_IMPORT(s_winmm, BOOL, PlaySoundW, 12, FALSE, (LPCWSTR a, HMODULE b, DWORD c), (a, b, c))

TAMSEL_LAZY_IMPORT(s_wininet, HINTERNET, InternetOpenW, 20, NULL, (LPCWSTR a, DWORD b, LPCWSTR c, LPCWSTR d, DWORD e),
                   (a, b, c, d, e))
TAMSEL_LAZY_IMPORT(s_wininet, HINTERNET, InternetOpenUrlW, 24, NULL,
                   (HINTERNET a, LPCWSTR b, LPCWSTR c, DWORD d, DWORD e, DWORD_PTR f), (a, b, c, d, e, f))
TAMSEL_LAZY_IMPORT(s_wininet, HINTERNET, InternetConnectW, 32, NULL,
                   (HINTERNET a, LPCWSTR b, INTERNET_PORT c, LPCWSTR d, LPCWSTR e, DWORD f, DWORD g, DWORD_PTR h),
                   (a, b, c, d, e, f, g, h))
TAMSEL_LAZY_IMPORT(s_wininet, BOOL, InternetCloseHandle, 4, FALSE, (HINTERNET a), (a))
TAMSEL_LAZY_IMPORT(s_wininet, BOOL, InternetReadFile, 16, FALSE, (HINTERNET a, LPVOID b, DWORD c, LPDWORD d), (a, b, c, d))
TAMSEL_LAZY_IMPORT(s_wininet, BOOL, InternetSetOptionW, 16, FALSE, (HINTERNET a, DWORD b, LPVOID c, DWORD d),
                   (a, b, c, d))
TAMSEL_LAZY_IMPORT(s_wininet, BOOL, InternetGetConnectedState, 8, FALSE, (LPDWORD a, DWORD b), (a, b))
TAMSEL_LAZY_IMPORT(s_wininet, BOOL, InternetCrackUrlW, 16, FALSE, (LPCWSTR a, DWORD b, DWORD c, LPURL_COMPONENTSW d),
                   (a, b, c, d))
TAMSEL_LAZY_IMPORT(s_wininet, BOOL, InternetCanonicalizeUrlW, 16, FALSE, (LPCWSTR a, LPWSTR b, LPDWORD c, DWORD d),
                   (a, b, c, d))
TAMSEL_LAZY_IMPORT(s_wininet, HINTERNET, HttpOpenRequestW, 32, NULL,
                   (HINTERNET a, LPCWSTR b, LPCWSTR c, LPCWSTR d, LPCWSTR e, LPCWSTR* f, DWORD g, DWORD_PTR h),
                   (a, b, c, d, e, f, g, h))
TAMSEL_LAZY_IMPORT(s_wininet, BOOL, HttpSendRequestW, 20, FALSE, (HINTERNET a, LPCWSTR b, DWORD c, LPVOID d, DWORD e),
                   (a, b, c, d, e))
TAMSEL_LAZY_IMPORT(s_wininet, BOOL, HttpQueryInfoW, 20, FALSE, (HINTERNET a, DWORD b, LPVOID c, LPDWORD d, LPDWORD e),
                   (a, b, c, d, e))
TAMSEL_LAZY_IMPORT(s_wininet, INTERNET_STATUS_CALLBACK, InternetSetStatusCallbackW, 8, INTERNET_INVALID_STATUS_CALLBACK,
                   (HINTERNET a, INTERNET_STATUS_CALLBACK b), (a, b))

BOOL IsLazyLibraryLoaded(LPCWSTR pszName)
{
    if (::lstrcmpiW(pszName, s_wininet.pszName) == 0)
        return s_wininet.hModule != NULL;
    if (::lstrcmpiW(pszName, s_winmm.pszName) == 0)
        return s_winmm.hModule != NULL;
    return FALSE;
}
