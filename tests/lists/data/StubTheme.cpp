// A stand-in for the visual-styles library: the eight functions the list
// theme helper binds, answering success and counting every call.
#include <windows.h>

// Not uxtheme.h: these definitions are the exports, not imports.
typedef HANDLE HTHEME;

namespace {
LONG g_nCalls = 0;
}

extern "C" {

__declspec(dllexport) LONG WINAPI StubCallCount()
{
    return g_nCalls;
}

__declspec(dllexport) HRESULT WINAPI CloseThemeData(HTHEME)
{
    ++g_nCalls;
    return S_OK;
}

__declspec(dllexport) HRESULT WINAPI DrawThemeBackground(HTHEME, HDC, int, int, const RECT*, const RECT*)
{
    ++g_nCalls;
    return S_OK;
}

#ifndef STUB_WITHOUT_DRAWTHEMETEXT
__declspec(dllexport) HRESULT WINAPI DrawThemeText(HTHEME, HDC, int, int, LPCWSTR, int, DWORD, DWORD, const RECT*)
{
    ++g_nCalls;
    return S_OK;
}
#endif

__declspec(dllexport) HRESULT WINAPI GetThemeBackgroundContentRect(HTHEME, HDC, int, int, const RECT* pBounds,
                                                                   RECT* pContent)
{
    ++g_nCalls;
    *pContent = *pBounds;
    return S_OK;
}

__declspec(dllexport) HRESULT WINAPI GetThemeColor(HTHEME, int, int, int, COLORREF* pColour)
{
    ++g_nCalls;
    *pColour = 0;
    return S_OK;
}

__declspec(dllexport) BOOL WINAPI IsAppThemed()
{
    ++g_nCalls;
    return TRUE;
}

__declspec(dllexport) BOOL WINAPI IsThemeActive()
{
    ++g_nCalls;
    return TRUE;
}

__declspec(dllexport) HTHEME WINAPI OpenThemeData(HWND, LPCWSTR)
{
    ++g_nCalls;
    return (HTHEME)(INT_PTR)0x5151;
}

}
