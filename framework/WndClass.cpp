#include "framework/Wnd.h"
#include "framework/WndClass.h"
#include "framework/Lock.h"
#include <set>
#include <string>
#include <cwchar>

namespace {

CAfxLock& ClassLock()
{
    static CAfxLock s_lock;
    return s_lock;
}

// Node-based, so the names handed out stay put.
std::set<std::wstring>& ClassNames()
{
    static std::set<std::wstring> s_names;
    return s_names;
}

LPCTSTR RegisterOnce(const std::wstring& strName, UINT nClassStyle, HCURSOR hCursor, HBRUSH hbrBackground,
                     HICON hIcon)
{
    CAfxLockGuard guard(ClassLock());
    auto it = ClassNames().find(strName);
    if (it != ClassNames().end())
        return it->c_str();
    HINSTANCE hInstance = AfxGetInstanceHandle();
    WNDCLASSW wc = {};
    if (!::GetClassInfoW(hInstance, strName.c_str(), &wc))
    {
        wc.style = nClassStyle;
        wc.lpfnWndProc = ::DefWindowProcW;  // every window is subclassed at creation
        wc.hInstance = hInstance;
        wc.hIcon = hIcon;
        wc.hCursor = hCursor;
        wc.hbrBackground = hbrBackground;
        wc.lpszClassName = strName.c_str();
        if (!::RegisterClassW(&wc))
            return NULL;
    }
    return ClassNames().insert(strName).first->c_str();
}

} // namespace

LPCTSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor, HBRUSH hbrBackground, HICON hIcon)
{
    wchar_t szName[96];
    _snwprintf(szName, 96, L"TamselWnd:%x:%p:%p:%p", nClassStyle, (void*)hCursor, (void*)hbrBackground, (void*)hIcon);
    return RegisterOnce(szName, nClassStyle, hCursor, hbrBackground, hIcon);
}

LPCTSTR AfxRegisterNamedWndClass(LPCTSTR lpszClassName, UINT nClassStyle, HCURSOR hCursor, HBRUSH hbrBackground,
                                 HICON hIcon)
{
    if (lpszClassName == NULL)
        return NULL;
    return RegisterOnce(lpszClassName, nClassStyle, hCursor, hbrBackground, hIcon);
}

LPCTSTR AfxDefaultWndClass()
{
    return RegisterOnce(AFX_WND_CLASS, CS_DBLCLKS, ::LoadCursorW(NULL, IDC_ARROW), NULL, NULL);
}
