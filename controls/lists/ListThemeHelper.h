#pragma once
// The few visual-styles calls the check-box list draws with, bound at run
// time. When the library or any one of its eight functions is missing, no
// function of it is used and every call answers the failure value, so the
// callers draw classically. Shares nothing with CVisualStyles.
#include <windows.h>
#include <uxtheme.h>

// The process-wide binding behind the helpers. Tests build their own to load
// another library in its place.
struct ListThemeLibrary
{
    typedef HRESULT(WINAPI* PFNCLOSETHEMEDATA)(HTHEME);
    typedef HRESULT(WINAPI* PFNDRAWTHEMEBACKGROUND)(HTHEME, HDC, int, int, const RECT*, const RECT*);
    typedef HRESULT(WINAPI* PFNDRAWTHEMETEXT)(HTHEME, HDC, int, int, LPCWSTR, int, DWORD, DWORD, const RECT*);
    typedef HRESULT(WINAPI* PFNGETTHEMEBACKGROUNDCONTENTRECT)(HTHEME, HDC, int, int, const RECT*, RECT*);
    typedef HRESULT(WINAPI* PFNGETTHEMECOLOR)(HTHEME, int, int, int, COLORREF*);
    typedef BOOL(WINAPI* PFNISAPPTHEMED)();
    typedef BOOL(WINAPI* PFNISTHEMEACTIVE)();
    typedef HTHEME(WINAPI* PFNOPENTHEMEDATA)(HWND, LPCWSTR);

    LPCWSTR pszLibrary;
    HMODULE hModule;
    PFNCLOSETHEMEDATA pfnCloseThemeData;
    PFNDRAWTHEMEBACKGROUND pfnDrawThemeBackground;
    PFNDRAWTHEMETEXT pfnDrawThemeText;
    PFNGETTHEMEBACKGROUNDCONTENTRECT pfnGetThemeBackgroundContentRect;
    PFNGETTHEMECOLOR pfnGetThemeColor;
    PFNISAPPTHEMED pfnIsAppThemed;
    PFNISTHEMEACTIVE pfnIsThemeActive;
    PFNOPENTHEMEDATA pfnOpenThemeData;
    BOOL bReady;
    int nInstances;
};

class CListThemeHelper
{
public:
    // Binds "UXTHEME.DLL" for the whole process.
    CListThemeHelper();
    // Binds the given library instead (its pszLibrary names the file).
    explicit CListThemeHelper(ListThemeLibrary& library);
    ~CListThemeHelper();

    // TRUE when the library is loaded and all eight functions were found.
    BOOL IsReady() const { return m_library.bReady; }

    HTHEME OpenThemeData(HWND hWnd, LPCWSTR pszClassList);
    BOOL CloseThemeData(HTHEME hTheme);
    BOOL DrawThemeBackground(HTHEME hTheme, HDC hDC, int iPartId, int iStateId, const RECT* pRect,
                             const RECT* pClipRect);
    BOOL DrawThemeText(HTHEME hTheme, HDC hDC, int iPartId, int iStateId, LPCWSTR pszText, DWORD dwTextFlags,
                       DWORD dwTextFlags2, const RECT* pRect);
    BOOL IsAppThemed();

    static ListThemeLibrary& ProcessLibrary();

private:
    void Load();
    void Unload();

    ListThemeLibrary& m_library;

    CListThemeHelper(const CListThemeHelper&) = delete;
    CListThemeHelper& operator=(const CListThemeHelper&) = delete;
};
