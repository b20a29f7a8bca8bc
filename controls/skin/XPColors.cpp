#include "controls/skin/XPColors.h"

#include <algorithm>

COLORREF BlendXPColor(COLORREF clr, int nDivisor, double fFactor)
{
    int r = GetRValue(clr) / nDivisor;
    int g = GetGValue(clr) / nDivisor;
    int b = GetBValue(clr) / nDivisor;
    int nMax = std::max(r, std::max(g, b));
    int d = 255 - nMax - (int)((255 - nMax) * fFactor);
    return RGB((r + d) & 0xFF, (g + d) & 0xFF, (b + d) & 0xFF);
}

COLORREF GetXPHighlightColor()
{
    // Each component stops at 255: a wrapped byte would turn a bright blue
    // highlight green.
    COLORREF clr = GetSysColor(COLOR_HIGHLIGHT);
    auto lift = [](int c) { return std::min(c + 10, 255); };
    return RGB(lift(GetRValue(clr)), lift(GetGValue(clr)), lift(GetBValue(clr)));
}

COLORREF GetXPLightFaceColor()
{
    COLORREF clr = GetSysColor(COLOR_BTNFACE);
    auto lift = [](int c) { return (3 * c + 240) / 4 + 1; };
    return RGB(lift(GetRValue(clr)), lift(GetGValue(clr)), lift(GetBValue(clr)));
}

COLORREF GetXPButtonBackColor()
{
    return BlendXPColor(GetXPLightFaceColor(), 1, 0.51);
}

COLORREF GetXPHotColor()
{
    return BlendXPColor(GetSysColor(COLOR_HIGHLIGHT), 4, 0.14);
}

COLORREF GetXPPressedColor()
{
    return BlendXPColor(GetSysColor(COLOR_HIGHLIGHT), 4, 0.21);
}

COLORREF GetXPBtnHighlightColor()
{
    return GetSysColor(COLOR_BTNHIGHLIGHT);
}

COLORREF GetXPFaceColor(int)
{
    return GetSysColor(COLOR_BTNFACE);
}

COLORREF GetXPBorderColor(int nStyle)
{
    if (nStyle == XP_STYLE_GRADIENT)
    {
        // The Luna silver scheme gets its own darker frame.
        HDC hScreen = GetDC(NULL);
        COLORREF clrNearest = GetNearestColor(hScreen, GetXPHighlightColor());
        ReleaseDC(NULL, hScreen);
        if (clrNearest == RGB(188, 190, 201))
            return RGB(124, 120, 141);
    }
    return GetSysColor(COLOR_BTNSHADOW);
}

COLORREF DarkenColor(int nAmount, COLORREF clr)
{
    return RGB(MulDiv(GetRValue(clr), 255 - nAmount, 255), MulDiv(GetGValue(clr), 255 - nAmount, 255),
               MulDiv(GetBValue(clr), 255 - nAmount, 255));
}

BOOL IsStandardFaceColor()
{
    COLORREF clr = GetSysColor(COLOR_BTNFACE);
    int r = GetRValue(clr), g = GetGValue(clr), b = GetBValue(clr);
    if (r == g && g == b && (b == 191 || b == 192))
        return TRUE;
    return b == 216;
}

COLORREF GetWhiteColor()
{
    return RGB(255, 255, 255);
}

COLORREF GetXPFaceDarkColor()
{
    return BlendXPColor(GetSysColor(COLOR_BTNFACE), 4, 0.018);
}

COLORREF GetXPHighlightBlendColor()
{
    return BlendXPColor(GetSysColor(COLOR_HIGHLIGHT), 8, 0.47);
}

COLORREF GetXPShadowBlendColor()
{
    return RGB(102, 102, 102);
}

COLORREF GetXPDarkBlendColor()
{
    return RGB(51, 51, 51);
}
