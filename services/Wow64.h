#pragma once
// Whether this process is a 32-bit one on 64-bit Windows. Header-only so the
// libraries, which do not link the services, ask the same way. Windows asked
// once per module; the answer never changes during a run.
#include <windows.h>

inline BOOL IsRunningOnWow64()
{
    // -1 until asked; two threads asking at once both store the same answer.
    static volatile LONG s_nWow64 = -1;
    LONG nWow64 = ::InterlockedCompareExchange(&s_nWow64, -1, -1);
    if (nWow64 < 0)
    {
        typedef BOOL(WINAPI * PFN_IS_WOW64)(HANDLE, PBOOL);
        // Looked up at run time: kernel32 of the oldest systems lacks it.
        PFN_IS_WOW64 pfn =
            (PFN_IS_WOW64)(void*)::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "IsWow64Process");
        BOOL bWow64 = FALSE;
        if (pfn == NULL || !pfn(::GetCurrentProcess(), &bWow64))
            bWow64 = FALSE;
        nWow64 = bWow64 ? 1 : 0;
        ::InterlockedExchange(&s_nWow64, nWow64);
    }
    return nWow64 == 1;
}
