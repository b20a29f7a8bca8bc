#include "controls/skin/VisualStyles.h"

#include <shlwapi.h>

CVisualStyles g_VisualStyles;

namespace {

// Stand-ins for missing exports, one per signature so that the callee-pops
// convention of WINAPI stays balanced on 32-bit builds.
template <typename F>
struct ThemeFailStub;
template <typename R, typename... A>
struct ThemeFailStub<R(WINAPI*)(A...)>
{
    static R WINAPI ThemeFailReturnZero(A...) { return (R)0; }
    static R WINAPI ThemeFailReturnEFail(A...) { return (R)E_FAIL; }
    static R WINAPI ThemeFailReturnWhite(A...) { return (R)0xFFFFFF; }
};
template <typename... A>
struct ThemeFailStub<void(WINAPI*)(A...)>
{
    static void WINAPI ThemeFailEmpty(A...) {}
};

// -1 until UseVisualStyles has decided.
int s_nUseVisualStyles = -1;

} // namespace

// Resolves the export named like the member once per process, then calls it.
#define THEME_FORWARD(name, stub, ...) \
    typedef decltype(&::name) PFN; \
    static PFN s_pfn = NULL; \
    if (s_pfn == NULL) \
        s_pfn = (PFN)GetProc(#name, (FARPROC)&ThemeFailStub<PFN>::stub); \
    return s_pfn(__VA_ARGS__);

CVisualStyles::CVisualStyles()
{
    m_hThemeDll = LoadLibraryW(L"UxTheme.dll");
}

CVisualStyles::~CVisualStyles()
{
    if (m_hThemeDll != NULL)
        FreeLibrary(m_hThemeDll);
    m_hThemeDll = NULL;
}

FARPROC CVisualStyles::GetProc(LPCSTR pszProcName, FARPROC pfnFail)
{
    if (m_hThemeDll == NULL)
        return pfnFail;
    FARPROC pfn = GetProcAddress(m_hThemeDll, pszProcName);
    return pfn != NULL ? pfn : pfnFail;
}

int CVisualStyles::UseVisualStyles()
{
    if (s_nUseVisualStyles != -1)
        return s_nUseVisualStyles;

    DLLVERSIONINFO version;
    ZeroMemory(&version, sizeof(version));
    HMODULE hComCtl = LoadLibraryW(L"comctl32.dll");
    if (hComCtl != NULL)
    {
        DLLGETVERSIONPROC pfnGetVersion = (DLLGETVERSIONPROC)GetProcAddress(hComCtl, "DllGetVersion");
        if (pfnGetVersion != NULL)
        {
            version.cbSize = sizeof(version);
            pfnGetVersion(&version);
        }
        FreeLibrary(hComCtl);
    }
    if (version.dwMajorVersion != 6 || version.dwMinorVersion != 0)
        return s_nUseVisualStyles = 0;

    WCHAR szThemeFile[256] = L"";
    WCHAR szColorName[256] = L"";
    if (GetCurrentThemeName(szThemeFile, 255, szColorName, 255, NULL, 0) != S_OK)
        return s_nUseVisualStyles = 0;

    static const LPCWSTR s_aLunaSchemes[] = { L"normalcolor", L"homestead", L"metallic" };
    bool bLuna = false;
    for (LPCWSTR pszScheme : s_aLunaSchemes)
        if (lstrcmpiW(szColorName, pszScheme) == 0)
            bLuna = true;
    if (!bLuna)
        return s_nUseVisualStyles = 0;

    s_nUseVisualStyles = (IsAppThemed() && m_hThemeDll != NULL) ? 1 : 0;
    return s_nUseVisualStyles;
}

HTHEME CVisualStyles::OpenThemeData(HWND hwnd, LPCWSTR pszClassList)
{
    THEME_FORWARD(OpenThemeData, ThemeFailReturnZero, hwnd, pszClassList)
}

HRESULT CVisualStyles::CloseThemeData(HTHEME hTheme)
{
    THEME_FORWARD(CloseThemeData, ThemeFailReturnEFail, hTheme)
}

HRESULT CVisualStyles::DrawThemeBackground(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, const RECT* pRect,
                                           const RECT* pClipRect)
{
    THEME_FORWARD(DrawThemeBackground, ThemeFailReturnEFail, hTheme, hdc, iPartId, iStateId, pRect, pClipRect)
}

HRESULT CVisualStyles::DrawThemeText(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, LPCWSTR pszText,
                                     int iCharCount, DWORD dwTextFlags, DWORD dwTextFlags2, const RECT* pRect)
{
    THEME_FORWARD(DrawThemeText, ThemeFailReturnEFail, hTheme, hdc, iPartId, iStateId, pszText, iCharCount,
                  dwTextFlags, dwTextFlags2, pRect)
}

HRESULT CVisualStyles::GetThemeBackgroundContentRect(HTHEME hTheme, HDC hdc, int iPartId, int iStateId,
                                                     const RECT* pBoundingRect, RECT* pContentRect)
{
    THEME_FORWARD(GetThemeBackgroundContentRect, ThemeFailReturnEFail, hTheme, hdc, iPartId, iStateId,
                  pBoundingRect, pContentRect)
}

HRESULT CVisualStyles::GetThemeBackgroundExtent(HTHEME hTheme, HDC hdc, int iPartId, int iStateId,
                                                const RECT* pContentRect, RECT* pExtentRect)
{
    THEME_FORWARD(GetThemeBackgroundExtent, ThemeFailReturnEFail, hTheme, hdc, iPartId, iStateId, pContentRect,
                  pExtentRect)
}

HRESULT CVisualStyles::GetThemePartSize(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, RECT* prc,
                                        enum THEMESIZE eSize, SIZE* psz)
{
    THEME_FORWARD(GetThemePartSize, ThemeFailReturnEFail, hTheme, hdc, iPartId, iStateId, prc, eSize, psz)
}

HRESULT CVisualStyles::GetThemeTextExtent(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, LPCWSTR pszText,
                                          int iCharCount, DWORD dwTextFlags, const RECT* pBoundingRect,
                                          RECT* pExtentRect)
{
    THEME_FORWARD(GetThemeTextExtent, ThemeFailReturnEFail, hTheme, hdc, iPartId, iStateId, pszText, iCharCount,
                  dwTextFlags, pBoundingRect, pExtentRect)
}

HRESULT CVisualStyles::GetThemeTextMetrics(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, TEXTMETRICW* ptm)
{
    THEME_FORWARD(GetThemeTextMetrics, ThemeFailReturnEFail, hTheme, hdc, iPartId, iStateId, ptm)
}

HRESULT CVisualStyles::GetThemeBackgroundRegion(HTHEME hTheme, HDC hdc, int iPartId, int iStateId,
                                                const RECT* pRect, HRGN* pRegion)
{
    THEME_FORWARD(GetThemeBackgroundRegion, ThemeFailReturnEFail, hTheme, hdc, iPartId, iStateId, pRect, pRegion)
}

HRESULT CVisualStyles::HitTestThemeBackground(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, DWORD dwOptions,
                                              const RECT* pRect, HRGN hrgn, POINT ptTest, WORD* pwHitTestCode)
{
    THEME_FORWARD(HitTestThemeBackground, ThemeFailReturnEFail, hTheme, hdc, iPartId, iStateId, dwOptions, pRect,
                  hrgn, ptTest, pwHitTestCode)
}

HRESULT CVisualStyles::DrawThemeEdge(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, const RECT* pDestRect,
                                     UINT uEdge, UINT uFlags, RECT* pContentRect)
{
    THEME_FORWARD(DrawThemeEdge, ThemeFailReturnEFail, hTheme, hdc, iPartId, iStateId, pDestRect, uEdge, uFlags,
                  pContentRect)
}

HRESULT CVisualStyles::DrawThemeIcon(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, const RECT* pRect,
                                     HIMAGELIST himl, int iImageIndex)
{
    THEME_FORWARD(DrawThemeIcon, ThemeFailReturnEFail, hTheme, hdc, iPartId, iStateId, pRect, himl, iImageIndex)
}

BOOL CVisualStyles::IsThemePartDefined(HTHEME hTheme, int iPartId, int iStateId)
{
    THEME_FORWARD(IsThemePartDefined, ThemeFailReturnZero, hTheme, iPartId, iStateId)
}

BOOL CVisualStyles::IsThemeBackgroundPartiallyTransparent(HTHEME hTheme, int iPartId, int iStateId)
{
    THEME_FORWARD(IsThemeBackgroundPartiallyTransparent, ThemeFailReturnZero, hTheme, iPartId, iStateId)
}

HRESULT CVisualStyles::GetThemeColor(HTHEME hTheme, int iPartId, int iStateId, int iPropId, COLORREF* pColor)
{
    THEME_FORWARD(GetThemeColor, ThemeFailReturnEFail, hTheme, iPartId, iStateId, iPropId, pColor)
}

HRESULT CVisualStyles::GetThemeMetric(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, int iPropId, int* piVal)
{
    THEME_FORWARD(GetThemeMetric, ThemeFailReturnEFail, hTheme, hdc, iPartId, iStateId, iPropId, piVal)
}

HRESULT CVisualStyles::GetThemeString(HTHEME hTheme, int iPartId, int iStateId, int iPropId, LPWSTR pszBuff,
                                      int cchMaxBuffChars)
{
    THEME_FORWARD(GetThemeString, ThemeFailReturnEFail, hTheme, iPartId, iStateId, iPropId, pszBuff,
                  cchMaxBuffChars)
}

HRESULT CVisualStyles::GetThemeBool(HTHEME hTheme, int iPartId, int iStateId, int iPropId, BOOL* pfVal)
{
    THEME_FORWARD(GetThemeBool, ThemeFailReturnEFail, hTheme, iPartId, iStateId, iPropId, pfVal)
}

HRESULT CVisualStyles::GetThemeInt(HTHEME hTheme, int iPartId, int iStateId, int iPropId, int* piVal)
{
    THEME_FORWARD(GetThemeInt, ThemeFailReturnEFail, hTheme, iPartId, iStateId, iPropId, piVal)
}

HRESULT CVisualStyles::GetThemeEnumValue(HTHEME hTheme, int iPartId, int iStateId, int iPropId, int* piVal)
{
    THEME_FORWARD(GetThemeEnumValue, ThemeFailReturnEFail, hTheme, iPartId, iStateId, iPropId, piVal)
}

HRESULT CVisualStyles::GetThemePosition(HTHEME hTheme, int iPartId, int iStateId, int iPropId, POINT* pPoint)
{
    THEME_FORWARD(GetThemePosition, ThemeFailReturnEFail, hTheme, iPartId, iStateId, iPropId, pPoint)
}

HRESULT CVisualStyles::GetThemeFont(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, int iPropId,
                                    LOGFONTW* pFont)
{
    THEME_FORWARD(GetThemeFont, ThemeFailReturnEFail, hTheme, hdc, iPartId, iStateId, iPropId, pFont)
}

HRESULT CVisualStyles::GetThemeRect(HTHEME hTheme, int iPartId, int iStateId, int iPropId, RECT* pRect)
{
    THEME_FORWARD(GetThemeRect, ThemeFailReturnEFail, hTheme, iPartId, iStateId, iPropId, pRect)
}

HRESULT CVisualStyles::GetThemeMargins(HTHEME hTheme, HDC hdc, int iPartId, int iStateId, int iPropId, RECT* prc,
                                       MARGINS* pMargins)
{
    THEME_FORWARD(GetThemeMargins, ThemeFailReturnEFail, hTheme, hdc, iPartId, iStateId, iPropId, prc, pMargins)
}

HRESULT CVisualStyles::GetThemeIntList(HTHEME hTheme, int iPartId, int iStateId, int iPropId, INTLIST* pIntList)
{
    THEME_FORWARD(GetThemeIntList, ThemeFailReturnEFail, hTheme, iPartId, iStateId, iPropId, pIntList)
}

HRESULT CVisualStyles::GetThemePropertyOrigin(HTHEME hTheme, int iPartId, int iStateId, int iPropId,
                                              enum PROPERTYORIGIN* pOrigin)
{
    THEME_FORWARD(GetThemePropertyOrigin, ThemeFailReturnEFail, hTheme, iPartId, iStateId, iPropId, pOrigin)
}

HRESULT CVisualStyles::SetWindowTheme(HWND hwnd, LPCWSTR pszSubAppName, LPCWSTR pszSubIdList)
{
    THEME_FORWARD(SetWindowTheme, ThemeFailReturnEFail, hwnd, pszSubAppName, pszSubIdList)
}

HRESULT CVisualStyles::GetThemeFilename(HTHEME hTheme, int iPartId, int iStateId, int iPropId,
                                        LPWSTR pszThemeFileName, int cchMaxBuffChars)
{
    THEME_FORWARD(GetThemeFilename, ThemeFailReturnEFail, hTheme, iPartId, iStateId, iPropId, pszThemeFileName,
                  cchMaxBuffChars)
}

COLORREF CVisualStyles::GetThemeSysColor(HTHEME hTheme, int iColorId)
{
    THEME_FORWARD(GetThemeSysColor, ThemeFailReturnWhite, hTheme, iColorId)
}

HBRUSH CVisualStyles::GetThemeSysColorBrush(HTHEME hTheme, int iColorId)
{
    THEME_FORWARD(GetThemeSysColorBrush, ThemeFailReturnZero, hTheme, iColorId)
}

BOOL CVisualStyles::GetThemeSysBool(HTHEME hTheme, int iBoolId)
{
    THEME_FORWARD(GetThemeSysBool, ThemeFailReturnZero, hTheme, iBoolId)
}

int CVisualStyles::GetThemeSysSize(HTHEME hTheme, int iSizeId)
{
    THEME_FORWARD(GetThemeSysSize, ThemeFailReturnZero, hTheme, iSizeId)
}

HRESULT CVisualStyles::GetThemeSysFont(HTHEME hTheme, int iFontId, LOGFONTW* plf)
{
    THEME_FORWARD(GetThemeSysFont, ThemeFailReturnEFail, hTheme, iFontId, plf)
}

HRESULT CVisualStyles::GetThemeSysString(HTHEME hTheme, int iStringId, LPWSTR pszStringBuff, int cchMaxStringChars)
{
    THEME_FORWARD(GetThemeSysString, ThemeFailReturnEFail, hTheme, iStringId, pszStringBuff, cchMaxStringChars)
}

HRESULT CVisualStyles::GetThemeSysInt(HTHEME hTheme, int iIntId, int* piValue)
{
    THEME_FORWARD(GetThemeSysInt, ThemeFailReturnEFail, hTheme, iIntId, piValue)
}

BOOL CVisualStyles::IsThemeActive()
{
    THEME_FORWARD(IsThemeActive, ThemeFailReturnZero)
}

BOOL CVisualStyles::IsAppThemed()
{
    THEME_FORWARD(IsAppThemed, ThemeFailReturnZero)
}

HTHEME CVisualStyles::GetWindowTheme(HWND hwnd)
{
    THEME_FORWARD(GetWindowTheme, ThemeFailReturnZero, hwnd)
}

HRESULT CVisualStyles::EnableThemeDialogTexture(HWND hwnd, DWORD dwFlags)
{
    THEME_FORWARD(EnableThemeDialogTexture, ThemeFailReturnEFail, hwnd, dwFlags)
}

BOOL CVisualStyles::IsThemeDialogTextureEnabled(HWND hwnd)
{
    THEME_FORWARD(IsThemeDialogTextureEnabled, ThemeFailReturnZero, hwnd)
}

DWORD CVisualStyles::GetThemeAppProperties()
{
    THEME_FORWARD(GetThemeAppProperties, ThemeFailReturnZero)
}

void CVisualStyles::SetThemeAppProperties(DWORD dwFlags)
{
    THEME_FORWARD(SetThemeAppProperties, ThemeFailEmpty, dwFlags)
}

HRESULT CVisualStyles::GetCurrentThemeName(LPWSTR pszThemeFileName, int cchMaxNameChars, LPWSTR pszColorBuff,
                                           int cchMaxColorChars, LPWSTR pszSizeBuff, int cchMaxSizeChars)
{
    THEME_FORWARD(GetCurrentThemeName, ThemeFailReturnEFail, pszThemeFileName, cchMaxNameChars, pszColorBuff,
                  cchMaxColorChars, pszSizeBuff, cchMaxSizeChars)
}

HRESULT CVisualStyles::GetThemeDocumentationProperty(LPCWSTR pszThemeName, LPCWSTR pszPropertyName,
                                                     LPWSTR pszValueBuff, int cchMaxValChars)
{
    THEME_FORWARD(GetThemeDocumentationProperty, ThemeFailReturnEFail, pszThemeName, pszPropertyName,
                  pszValueBuff, cchMaxValChars)
}

HRESULT CVisualStyles::DrawThemeParentBackground(HWND hwnd, HDC hdc, RECT* prc)
{
    THEME_FORWARD(DrawThemeParentBackground, ThemeFailReturnEFail, hwnd, hdc, prc)
}

HRESULT CVisualStyles::EnableTheming(BOOL fEnable)
{
    THEME_FORWARD(EnableTheming, ThemeFailReturnEFail, fEnable)
}
