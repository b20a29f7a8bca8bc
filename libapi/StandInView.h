#pragma once
// A library view that only shows its title, for the companion libraries until
// their own views arrive. Header-only: each library compiles its own copy.
#include <windows.h>

namespace standin {

inline LRESULT CALLBACK ViewWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_PAINT)
        return ::DefWindowProcW(hWnd, message, wParam, lParam);
    PAINTSTRUCT ps;
    HDC hDC = ::BeginPaint(hWnd, &ps);
    RECT rc;
    ::GetClientRect(hWnd, &rc);
    ::FillRect(hDC, &rc, (HBRUSH)::GetStockObject(WHITE_BRUSH));
    HFONT hFont = ::CreateFontW(-16, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, CLEARTYPE_QUALITY, 0, L"Verdana");
    HGDIOBJ hOldFont = ::SelectObject(hDC, hFont);
    WCHAR szTitle[256] = L"";
    ::GetWindowTextW(hWnd, szTitle, 256);
    ::SetBkMode(hDC, TRANSPARENT);
    ::SetTextColor(hDC, RGB(28, 68, 125));
    RECT rcTitle = {rc.left + 28, rc.top + 18, rc.right - 18, rc.top + 44};
    ::DrawTextW(hDC, szTitle, -1, &rcTitle, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    ::SelectObject(hDC, hOldFont);
    ::DeleteObject(hFont);
    RECT rcLine = {rc.left + 28, rc.top + 50, rc.right - 18, rc.top + 51};
    HBRUSH hLine = ::CreateSolidBrush(RGB(190, 200, 215));
    ::FillRect(hDC, &rcLine, hLine);
    ::DeleteObject(hLine);
    ::EndPaint(hWnd, &ps);
    return 0;
}

// The size of a 310 x 230 dialog-unit view in the host's dialog font: the
// page area and the 10 pixels the view starts left of it.
inline SIZE ViewSize(HWND hParent)
{
    HDC hDC = ::GetDC(hParent);
    HFONT hFont = ::CreateFontW(-MulDiv(9, ::GetDeviceCaps(hDC, LOGPIXELSY), 72), 0, 0, 0, FW_NORMAL, 0, 0, 0,
                                DEFAULT_CHARSET, 0, 0, 0, 0, L"Verdana");
    HGDIOBJ hOld = ::SelectObject(hDC, hFont);
    TEXTMETRICW tm = {};
    ::GetTextMetricsW(hDC, &tm);
    SIZE size = {};
    ::GetTextExtentPoint32W(hDC, L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &size);
    ::SelectObject(hDC, hOld);
    ::DeleteObject(hFont);
    ::ReleaseDC(hParent, hDC);
    int nBaseX = (size.cx / 26 + 1) / 2;
    int nBaseY = tm.tmHeight;
    SIZE view = {MulDiv(300, nBaseX, 4) + 10, MulDiv(230, nBaseY, 8)};
    return view;
}

// Creates a hidden view at (x, y) whose title is the language text of the key.
inline HWND CreateView(HINSTANCE hInstance, HWND hParent, int x, int y, UINT nID, LPCWSTR lpszLanguageFile,
                       LPCWSTR lpszKey, LPCWSTR lpszDefault)
{
    WNDCLASSW wc = {};
    if (!::GetClassInfoW(hInstance, L"TamselLibraryView", &wc))
    {
        wc.lpfnWndProc = ViewWndProc;
        wc.hInstance = hInstance;
        wc.hCursor = ::LoadCursorW(NULL, IDC_ARROW);
        wc.lpszClassName = L"TamselLibraryView";
        ::RegisterClassW(&wc);
    }
    WCHAR szTitle[256] = L"";
    ::GetPrivateProfileStringW(L"String", lpszKey, lpszDefault, szTitle, 256, lpszLanguageFile);
    SIZE size = ViewSize(hParent);
    return ::CreateWindowExW(0, L"TamselLibraryView", szTitle, WS_CHILD, x, y, size.cx, size.cy, hParent,
                             (HMENU)(UINT_PTR)nID, hInstance, NULL);
}

inline void RetitleView(HWND hView, LPCWSTR lpszLanguageFile, LPCWSTR lpszKey, LPCWSTR lpszDefault)
{
    if (hView == NULL)
        return;
    WCHAR szTitle[256] = L"";
    ::GetPrivateProfileStringW(L"String", lpszKey, lpszDefault, szTitle, 256, lpszLanguageFile);
    ::SetWindowTextW(hView, szTitle);
    ::InvalidateRect(hView, NULL, TRUE);
}

// One view a library offers: its control ID and the language key of its title.
struct ViewInfo
{
    UINT nID;
    LPCWSTR pszKey;
    LPCWSTR pszDefault;
};

// Hides every view, then shows the one at nIndex; FALSE when there is none there.
inline BOOL ShowOnlyView(HWND* phViews, int nCount, int nIndex)
{
    for (int i = 0; i < nCount; i++)
    {
        if (phViews[i] != NULL)
            ::ShowWindow(phViews[i], SW_HIDE);
    }
    if (nIndex < 0 || nIndex >= nCount || phViews[nIndex] == NULL)
        return FALSE;
    ::ShowWindow(phViews[nIndex], SW_SHOW);
    return TRUE;
}

inline void DestroyViews(HWND* phViews, int nCount)
{
    for (int i = 0; i < nCount; i++)
    {
        if (phViews[i] != NULL && ::IsWindow(phViews[i]))
            ::DestroyWindow(phViews[i]);
        phViews[i] = NULL;
    }
}

} // namespace standin
