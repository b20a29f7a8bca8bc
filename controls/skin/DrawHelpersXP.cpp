#include "controls/skin/DrawHelpersXP.h"
#include "framework/ControlBar.h"
#include <algorithm>
#include <cmath>

namespace {

// Hue, lightness and saturation as bytes 0..255 (hue 255 stands for 360 degrees).
void RgbToHls(COLORREF clr, double& h, double& l, double& s)
{
    double r = GetRValue(clr) / 255.0, g = GetGValue(clr) / 255.0, b = GetBValue(clr) / 255.0;
    double dMax = std::max(r, std::max(g, b)), dMin = std::min(r, std::min(g, b));
    l = (dMax + dMin) / 2.0;
    if (dMax == dMin)
    {
        h = s = 0.0;
        l *= 255.0;
        return;
    }
    double d = dMax - dMin;
    s = l <= 0.5 ? d / (dMax + dMin) : d / (2.0 - dMax - dMin);
    if (dMax == r)
        h = (g - b) / d + (g < b ? 6.0 : 0.0);
    else if (dMax == g)
        h = (b - r) / d + 2.0;
    else
        h = (r - g) / d + 4.0;
    h = h / 6.0 * 255.0;
    l *= 255.0;
    s *= 255.0;
}

double HueToComponent(double p, double q, double t)
{
    if (t < 0)
        t += 1;
    if (t > 1)
        t -= 1;
    if (t < 1.0 / 6)
        return p + (q - p) * 6 * t;
    if (t < 0.5)
        return q;
    if (t < 2.0 / 3)
        return p + (q - p) * (2.0 / 3 - t) * 6;
    return p;
}

COLORREF HlsToRgb(double h, double l, double s)
{
    h /= 255.0;
    l /= 255.0;
    s /= 255.0;
    auto byte = [](double v) { return (BYTE)std::min(255.0, std::max(0.0, std::floor(v * 255.0 + 0.5))); };
    if (s == 0)
        return RGB(byte(l), byte(l), byte(l));
    double q = l < 0.5 ? l * (1 + s) : l + s - l * s;
    double p = 2 * l - q;
    return RGB(byte(HueToComponent(p, q, h + 1.0 / 3)), byte(HueToComponent(p, q, h)),
               byte(HueToComponent(p, q, h - 1.0 / 3)));
}

int Shift(int nValue, int nPercent)
{
    if (nPercent > 0)
        return nValue + (255 - nValue) * nPercent / 100;
    if (nPercent < 0)
        return nValue * (100 + nPercent) / 100;
    return nValue;
}

// NULL for the (COLORREF)-1 that asks for the hollow brush.
HBRUSH SolidBrushOrNull(COLORREF clr)
{
    return clr != (COLORREF)-1 ? ::CreateSolidBrush(clr) : NULL;
}

} // namespace

COLORREF HLSTransform(COLORREF clr, int nLightness, int nSaturation)
{
    double h, l, s;
    RgbToHls(clr, h, l, s);
    int nL = Shift((int)std::floor(l + 0.5), std::max(-100, std::min(100, nLightness)));
    int nS = Shift((int)std::floor(s + 0.5), std::max(-100, std::min(100, nSaturation)));
    return HlsToRgb(h, nL, nS);
}

// ---- CBufferDC --------------------------------------------------------------------

CBufferDC::CBufferDC(HDC hTarget, const RECT& rc)
    : m_hTarget(hTarget), m_hDC(NULL), m_hBitmap(NULL), m_hOldBitmap(NULL), m_rc(rc)
{
    if (::IsRectEmpty(&m_rc))
        ::GetClipBox(hTarget, &m_rc);
    int cx = m_rc.right - m_rc.left, cy = m_rc.bottom - m_rc.top;
    if (cx <= 0 || cy <= 0)
        return;
    m_hDC = ::CreateCompatibleDC(hTarget);
    m_hBitmap = ::CreateCompatibleBitmap(hTarget, cx, cy);
    if (m_hDC == NULL || m_hBitmap == NULL)
    {
        if (m_hDC != NULL)
            ::DeleteDC(m_hDC);
        if (m_hBitmap != NULL)
            ::DeleteObject(m_hBitmap);
        m_hDC = NULL;
        m_hBitmap = NULL;
        return;
    }
    m_hOldBitmap = ::SelectObject(m_hDC, m_hBitmap);
    ::SetWindowOrgEx(m_hDC, m_rc.left, m_rc.top, NULL);
    // The target's font and colours carry over.
    ::SelectObject(m_hDC, ::GetCurrentObject(hTarget, OBJ_FONT));
    ::SetTextColor(m_hDC, ::GetTextColor(hTarget));
    ::SetBkColor(m_hDC, ::GetBkColor(hTarget));
}

CBufferDC::~CBufferDC()
{
    if (m_hDC == NULL)
        return;
    ::BitBlt(m_hTarget, m_rc.left, m_rc.top, m_rc.right - m_rc.left, m_rc.bottom - m_rc.top, m_hDC, m_rc.left,
             m_rc.top, SRCCOPY);
    ::SelectObject(m_hDC, ::GetStockObject(SYSTEM_FONT));
    ::SelectObject(m_hDC, m_hOldBitmap);
    ::DeleteDC(m_hDC);
    ::DeleteObject(m_hBitmap);
}

// ---- Pen, brush, font ---------------------------------------------------------------

CSelectedObjectDC::CSelectedObjectDC(HDC hDC, HGDIOBJ hOwned, HGDIOBJ hFallback)
    : m_hDC(hDC), m_hOwned(hOwned), m_hOld(::SelectObject(hDC, hOwned != NULL ? hOwned : hFallback))
{
}

CSelectedObjectDC::~CSelectedObjectDC()
{
    ::SelectObject(m_hDC, m_hOld);
    if (m_hOwned != NULL)
        ::DeleteObject(m_hOwned);
}

void CSelectedObjectDC::Replace(HGDIOBJ hOwned, HGDIOBJ hFallback)
{
    ::SelectObject(m_hDC, hOwned != NULL ? hOwned : hFallback);
    if (m_hOwned != NULL)
        ::DeleteObject(m_hOwned);
    m_hOwned = hOwned;
}

CPenDC::CPenDC(HDC hDC, COLORREF clr) : CSelectedObjectDC(hDC, ::CreatePen(PS_SOLID, 1, clr), NULL)
{
}

void CPenDC::Color(COLORREF clr)
{
    Replace(::CreatePen(PS_SOLID, 1, clr), NULL);
}

CBrushDC::CBrushDC(HDC hDC, COLORREF clr)
    : CSelectedObjectDC(hDC, SolidBrushOrNull(clr), ::GetStockObject(HOLLOW_BRUSH))
{
}

void CBrushDC::Color(COLORREF clr)
{
    Replace(SolidBrushOrNull(clr), ::GetStockObject(HOLLOW_BRUSH));
}

CFontDC::CFontDC(HDC hDC, LPCWSTR lpszFaceName, COLORREF clrText) : m_hDC(hDC), m_hOwned(NULL), m_hOld(NULL)
{
    LOGFONTW lf = {};
    ::GetObjectW(::GetCurrentObject(hDC, OBJ_FONT), sizeof(lf), &lf);
    lstrcpynW(lf.lfFaceName, lpszFaceName != NULL ? lpszFaceName : L"", LF_FACESIZE);
    Select(::CreateFontIndirectW(&lf), TRUE, clrText);
}

CFontDC::CFontDC(HDC hDC, int nStockFont, COLORREF clrText) : m_hDC(hDC), m_hOwned(NULL), m_hOld(NULL)
{
    Select((HFONT)::GetStockObject(nStockFont), FALSE, clrText);
}

CFontDC::CFontDC(HDC hDC, HFONT hFont, COLORREF clrText) : m_hDC(hDC), m_hOwned(NULL), m_hOld(NULL)
{
    Select(hFont, FALSE, clrText);
}

void CFontDC::Select(HFONT hFont, BOOL bOwned, COLORREF clrText)
{
    if (bOwned)
        m_hOwned = hFont;
    if (hFont != NULL)
        m_hOld = ::SelectObject(m_hDC, hFont);
    m_clrOldText = clrText != CLR_NONE ? ::SetTextColor(m_hDC, clrText) : CLR_INVALID;
}

CFontDC::~CFontDC()
{
    if (m_clrOldText != CLR_INVALID)
        ::SetTextColor(m_hDC, m_clrOldText);
    if (m_hOld != NULL)
        ::SelectObject(m_hDC, m_hOld);
    if (m_hOwned != NULL)
        ::DeleteObject(m_hOwned);
}

CBoldDC::CBoldDC(HDC hDC, BOOL bBold) : m_hDC(hDC), m_hFont(NULL), m_hOld(NULL)
{
    LOGFONTW lf = {};
    ::GetObjectW(::GetCurrentObject(hDC, OBJ_FONT), sizeof(lf), &lf);
    LONG lWeight = bBold ? FW_BOLD : FW_NORMAL;
    if (lf.lfWeight == lWeight)
        return;
    lf.lfWeight = lWeight;
    m_hFont = ::CreateFontIndirectW(&lf);
    if (m_hFont != NULL)
        m_hOld = ::SelectObject(hDC, m_hFont);
}

CBoldDC::~CBoldDC()
{
    if (m_hFont == NULL)
        return;
    ::SelectObject(m_hDC, m_hOld);
    ::DeleteObject(m_hFont);
}

HBITMAP CaptureScreenRect(const RECT& rc)
{
    int cx = rc.right - rc.left, cy = rc.bottom - rc.top;
    if (cx <= 0 || cy <= 0)
        return NULL;
    HDC hScreen = ::GetDC(NULL);
    HDC hMem = ::CreateCompatibleDC(hScreen);
    HBITMAP hBitmap = ::CreateCompatibleBitmap(hScreen, cx, cy);
    if (hMem != NULL && hBitmap != NULL)
    {
        HGDIOBJ hOld = ::SelectObject(hMem, hBitmap);
        ::BitBlt(hMem, 0, 0, cx, cy, hScreen, rc.left, rc.top, SRCCOPY);
        ::SelectObject(hMem, hOld);
    }
    if (hMem != NULL)
        ::DeleteDC(hMem);
    ::ReleaseDC(NULL, hScreen);
    return hBitmap;
}

int GetWinVersion()
{
    static int s_nVersion = -1;
    if (s_nVersion >= 0)
        return s_nVersion;
    OSVERSIONINFOW vi = {};
    vi.dwOSVersionInfoSize = sizeof(vi);
    int nVersion = 0;
    if (::GetVersionExW(&vi))
    {
        if (vi.dwPlatformId == VER_PLATFORM_WIN32s)
            nVersion = 1;
        else if (vi.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS)
            nVersion = vi.dwMinorVersion >= 90 ? 4 : vi.dwMinorVersion >= 10 ? 3 : 2;
        else if (vi.dwMajorVersion == 4)
            nVersion = 6;
        else if (vi.dwMajorVersion == 5 && vi.dwMinorVersion == 0)
            nVersion = 7;
        else if (vi.dwMajorVersion == 5 && vi.dwMinorVersion == 1)
            nVersion = 8;
        else
            nVersion = 5;
    }
    s_nVersion = nVersion;
    return nVersion;
}

// ---- CMouseTrack ------------------------------------------------------------------------

void CMouseTrack::Init(HWND hWnd, int nRedraw)
{
    m_hWnd = hWnd;
    m_hWndMouse = hWnd;
    m_nRedraw = nRedraw;
    m_bHover = 0;
}

void CMouseTrack::Redraw()
{
    if (m_nRedraw & REDRAW_INVALIDATE)
        ::InvalidateRect(m_hWnd, NULL, FALSE);
    if (m_nRedraw & REDRAW_FRAME)
        ::SetWindowPos(m_hWnd, NULL, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED);
}

bool CMouseTrack::OnMouseMove(HWND hWnd)
{
    if (!m_bHover)
    {
        m_bHover = 1;
        m_hWndMouse = hWnd;
        Redraw();
        TRACKMOUSEEVENT tme = {sizeof(tme), TME_LEAVE, hWnd, 0};
        ::TrackMouseEvent(&tme);
        return true;
    }
    if (hWnd != m_hWndMouse)
    {
        // The mouse moved to another window of the same control.
        TRACKMOUSEEVENT tme = {sizeof(tme), TME_LEAVE | TME_CANCEL, m_hWndMouse, 0};
        ::TrackMouseEvent(&tme);
        m_hWndMouse = hWnd;
        tme.dwFlags = TME_LEAVE;
        tme.hwndTrack = hWnd;
        ::TrackMouseEvent(&tme);
    }
    return false;
}

bool CMouseTrack::OnMouseLeave(HWND hWnd)
{
    if (hWnd != m_hWndMouse || !m_bHover)
        return false;
    m_bHover = 0;
    Redraw();
    return true;
}

BOOL IsInDockedControlBar(HWND hWnd)
{
    CControlBar* pBar = dynamic_cast<CControlBar*>(CWnd::FromHandlePermanent(::GetParent(hWnd)));
    return pBar != NULL && pBar->m_pDockSite != NULL;
}
