#include "controls/lists/ListThemeHelper.h"

ListThemeLibrary& CListThemeHelper::ProcessLibrary()
{
    // Constant-initialised, so helpers in other units' statics may use it at
    // any point of start-up or exit.
    static ListThemeLibrary s_library = { L"UXTHEME.DLL", NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL, NULL,
                                          FALSE, 0 };
    return s_library;
}

CListThemeHelper::CListThemeHelper() : m_library(ProcessLibrary())
{
    ++m_library.nInstances;
    if (!m_library.bReady)
        Load();
}

CListThemeHelper::CListThemeHelper(ListThemeLibrary& library) : m_library(library)
{
    ++m_library.nInstances;
    if (!m_library.bReady)
        Load();
}

CListThemeHelper::~CListThemeHelper()
{
    if (m_library.nInstances > 0)
        --m_library.nInstances;
    if (m_library.nInstances == 0)
        Unload();
}

void CListThemeHelper::Load()
{
    Unload();
    HMODULE hModule = ::LoadLibraryW(m_library.pszLibrary);
    if (hModule == NULL)
        return;
    ListThemeLibrary& lib = m_library;
    lib.pfnCloseThemeData = (ListThemeLibrary::PFNCLOSETHEMEDATA)(void*)::GetProcAddress(hModule, "CloseThemeData");
    lib.pfnDrawThemeBackground =
        (ListThemeLibrary::PFNDRAWTHEMEBACKGROUND)(void*)::GetProcAddress(hModule, "DrawThemeBackground");
    lib.pfnDrawThemeText = (ListThemeLibrary::PFNDRAWTHEMETEXT)(void*)::GetProcAddress(hModule, "DrawThemeText");
    lib.pfnGetThemeBackgroundContentRect = (ListThemeLibrary::PFNGETTHEMEBACKGROUNDCONTENTRECT)(void*)::GetProcAddress(
        hModule, "GetThemeBackgroundContentRect");
    lib.pfnGetThemeColor = (ListThemeLibrary::PFNGETTHEMECOLOR)(void*)::GetProcAddress(hModule, "GetThemeColor");
    lib.pfnIsAppThemed = (ListThemeLibrary::PFNISAPPTHEMED)(void*)::GetProcAddress(hModule, "IsAppThemed");
    lib.pfnIsThemeActive = (ListThemeLibrary::PFNISTHEMEACTIVE)(void*)::GetProcAddress(hModule, "IsThemeActive");
    lib.pfnOpenThemeData = (ListThemeLibrary::PFNOPENTHEMEDATA)(void*)::GetProcAddress(hModule, "OpenThemeData");
    lib.hModule = hModule;
    if (lib.pfnCloseThemeData && lib.pfnDrawThemeBackground && lib.pfnDrawThemeText &&
        lib.pfnGetThemeBackgroundContentRect && lib.pfnGetThemeColor && lib.pfnIsAppThemed && lib.pfnIsThemeActive &&
        lib.pfnOpenThemeData)
        lib.bReady = TRUE;
    else
        Unload();  // half a library is no library: a later helper tries again
}

void CListThemeHelper::Unload()
{
    ListThemeLibrary& lib = m_library;
    lib.bReady = FALSE;
    lib.pfnCloseThemeData = NULL;
    lib.pfnDrawThemeBackground = NULL;
    lib.pfnDrawThemeText = NULL;
    lib.pfnGetThemeBackgroundContentRect = NULL;
    lib.pfnGetThemeColor = NULL;
    lib.pfnIsAppThemed = NULL;
    lib.pfnIsThemeActive = NULL;
    lib.pfnOpenThemeData = NULL;
    if (lib.hModule != NULL)
        ::FreeLibrary(lib.hModule);
    lib.hModule = NULL;
}

HTHEME CListThemeHelper::OpenThemeData(HWND hWnd, LPCWSTR pszClassList)
{
    if (!m_library.bReady)
        return NULL;
    return m_library.pfnOpenThemeData(hWnd, pszClassList);
}

BOOL CListThemeHelper::CloseThemeData(HTHEME hTheme)
{
    if (!m_library.bReady || hTheme == NULL)
        return FALSE;
    return SUCCEEDED(m_library.pfnCloseThemeData(hTheme));
}

BOOL CListThemeHelper::DrawThemeBackground(HTHEME hTheme, HDC hDC, int iPartId, int iStateId, const RECT* pRect,
                                           const RECT* pClipRect)
{
    if (!m_library.bReady || hTheme == NULL)
        return FALSE;
    return SUCCEEDED(m_library.pfnDrawThemeBackground(hTheme, hDC, iPartId, iStateId, pRect, pClipRect));
}

BOOL CListThemeHelper::DrawThemeText(HTHEME hTheme, HDC hDC, int iPartId, int iStateId, LPCWSTR pszText,
                                     DWORD dwTextFlags, DWORD dwTextFlags2, const RECT* pRect)
{
    if (!m_library.bReady || hTheme == NULL || pszText == NULL)
        return FALSE;
    return SUCCEEDED(m_library.pfnDrawThemeText(hTheme, hDC, iPartId, iStateId, pszText, ::lstrlenW(pszText),
                                                dwTextFlags, dwTextFlags2, pRect));
}

BOOL CListThemeHelper::IsAppThemed()
{
    if (!m_library.bReady)
        return FALSE;
    return m_library.pfnIsAppThemed();
}
