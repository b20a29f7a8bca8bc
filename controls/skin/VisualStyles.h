#pragma once
// The visual-styles library, bound at run time. Every member forwards to the
// UxTheme export of its own name, looked up on first use; a missing library
// or export answers through a fail-safe stub (NULL theme, FALSE, E_FAIL,
// white), so callers never test for the library themselves.
#include <windows.h>
#include <uxtheme.h>

class CVisualStyles
{
public:
    CVisualStyles();
    ~CVisualStyles();

    // The export's address, or pfnFail when the library or export is missing.
    FARPROC GetProc(LPCSTR pszProcName, FARPROC pfnFail);

    // 1 when the themed XP look applies: version 6.0 common controls, an
    // active Luna colour scheme and a themed application. Decided once.
    int UseVisualStyles();

    HTHEME OpenThemeData(HWND hwnd, LPCWSTR pszClassList);
    HRESULT CloseThemeData(HTHEME hTheme);
    HRESULT DrawThemeBackground(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, const RECT* pRect,
                                const RECT* pClipRect);
    HRESULT DrawThemeText(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, LPCWSTR pszText, int iCharCount,
                          DWORD dwTextFlags, DWORD dwTextFlags2, const RECT* pRect);
    HRESULT GetThemeBackgroundContentRect(HTHEME hTheme, HDC hdc, int iPartId, int iStateId,
                                          const RECT* pBoundingRect, RECT* pContentRect);
    HRESULT GetThemeBackgroundExtent(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, const RECT* pContentRect,
                                     RECT* pExtentRect);
    HRESULT GetThemePartSize(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, RECT* prc, enum THEMESIZE eSize,
                             SIZE* psz);
    HRESULT GetThemeTextExtent(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, LPCWSTR pszText, int iCharCount,
                               DWORD dwTextFlags, const RECT* pBoundingRect, RECT* pExtentRect);
    HRESULT GetThemeTextMetrics(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, TEXTMETRICW* ptm);
    HRESULT GetThemeBackgroundRegion(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, const RECT* pRect,
                                     HRGN* pRegion);
    HRESULT HitTestThemeBackground(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, DWORD dwOptions,
                                   const RECT* pRect, HRGN hrgn, POINT ptTest, WORD* pwHitTestCode);
    HRESULT DrawThemeEdge(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, const RECT* pDestRect, UINT uEdge,
                          UINT uFlags, RECT* pContentRect);
    HRESULT DrawThemeIcon(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, const RECT* pRect, HIMAGELIST himl,
                          int iImageIndex);
    BOOL IsThemePartDefined(HTHEME hTheme, int iPartId, int iStateId);
    BOOL IsThemeBackgroundPartiallyTransparent(HTHEME hTheme, int iPartId, int iStateId);
    HRESULT GetThemeColor(HTHEME hTheme, int iPartId, int iStateId, int iPropId, COLORREF* pColor);
    HRESULT GetThemeMetric(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, int iPropId, int* piVal);
    HRESULT GetThemeString(HTHEME hTheme, int iPartId, int iStateId, int iPropId, LPWSTR pszBuff,
                           int cchMaxBuffChars);
    HRESULT GetThemeBool(HTHEME hTheme, int iPartId, int iStateId, int iPropId, BOOL* pfVal);
    HRESULT GetThemeInt(HTHEME hTheme, int iPartId, int iStateId, int iPropId, int* piVal);
    HRESULT GetThemeEnumValue(HTHEME hTheme, int iPartId, int iStateId, int iPropId, int* piVal);
    HRESULT GetThemePosition(HTHEME hTheme, int iPartId, int iStateId, int iPropId, POINT* pPoint);
    HRESULT GetThemeFont(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, int iPropId, LOGFONTW* pFont);
    HRESULT GetThemeRect(HTHEME hTheme, int iPartId, int iStateId, int iPropId, RECT* pRect);
    HRESULT GetThemeMargins(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, int iPropId, RECT* prc,
                            MARGINS* pMargins);
    HRESULT GetThemeIntList(HTHEME hTheme, int iPartId, int iStateId, int iPropId, INTLIST* pIntList);
    HRESULT GetThemePropertyOrigin(HTHEME hTheme, int iPartId, int iStateId, int iPropId,
                                   enum PROPERTYORIGIN* pOrigin);
    HRESULT SetWindowTheme(HWND hwnd, LPCWSTR pszSubAppName, LPCWSTR pszSubIdList);
    HRESULT GetThemeFilename(HTHEME hTheme, int iPartId, int iStateId, int iPropId, LPWSTR pszThemeFileName,
                             int cchMaxBuffChars);
    COLORREF GetThemeSysColor(HTHEME hTheme, int iColorId);
    HBRUSH GetThemeSysColorBrush(HTHEME hTheme, int iColorId);
    BOOL GetThemeSysBool(HTHEME hTheme, int iBoolId);
    int GetThemeSysSize(HTHEME hTheme, int iSizeId);
    HRESULT GetThemeSysFont(HTHEME hTheme, int iFontId, LOGFONTW* plf);
    HRESULT GetThemeSysString(HTHEME hTheme, int iStringId, LPWSTR pszStringBuff, int cchMaxStringChars);
    HRESULT GetThemeSysInt(HTHEME hTheme, int iIntId, int* piValue);
    BOOL IsThemeActive();
    BOOL IsAppThemed();
    HTHEME GetWindowTheme(HWND hwnd);
    HRESULT EnableThemeDialogTexture(HWND hwnd, DWORD dwFlags);
    BOOL IsThemeDialogTextureEnabled(HWND hwnd);
    DWORD GetThemeAppProperties();
    void SetThemeAppProperties(DWORD dwFlags);
    HRESULT GetCurrentThemeName(LPWSTR pszThemeFileName, int cchMaxNameChars, LPWSTR pszColorBuff,
                                int cchMaxColorChars, LPWSTR pszSizeBuff, int cchMaxSizeChars);
    HRESULT GetThemeDocumentationProperty(LPCWSTR pszThemeName, LPCWSTR pszPropertyName, LPWSTR pszValueBuff,
                                          int cchMaxValChars);
    HRESULT DrawThemeParentBackground(HWND hwnd, HDC hdc, RECT* prc);
    HRESULT EnableTheming(BOOL fEnable);

    HMODULE m_hThemeDll;

private:
    CVisualStyles(const CVisualStyles&) = delete;
    CVisualStyles& operator=(const CVisualStyles&) = delete;
};

// The one instance of the program.
extern CVisualStyles g_VisualStyles;
