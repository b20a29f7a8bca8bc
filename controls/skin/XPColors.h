#pragma once
// The light "XP" look derived from the system colours: the blends the flat
// controls and the navigation bars paint with.
#include <windows.h>

// Look values the flat controls keep in their style field.
#define XP_STYLE_FLAT 0x8001
#define XP_STYLE_GRADIENT 0x8002

// COLOR_HIGHLIGHT with 10 added to each component, at most 255.
COLORREF GetXPHighlightColor();
COLORREF GetXPLightFaceColor();
COLORREF GetXPButtonBackColor();
COLORREF GetXPHotColor();
COLORREF GetXPPressedColor();
COLORREF GetXPBtnHighlightColor();
COLORREF GetXPFaceColor(int nStyle);
COLORREF GetXPBorderColor(int nStyle);
COLORREF DarkenColor(int nAmount, COLORREF clr);
BOOL IsStandardFaceColor();
COLORREF GetWhiteColor();
COLORREF GetXPFaceDarkColor();
COLORREF GetXPHighlightBlendColor();
COLORREF GetXPShadowBlendColor();
COLORREF GetXPDarkBlendColor();

// Lifts a colour towards white: the largest component moves to
// 255 - (255 - max) * fFactor and the others follow by the same amount.
// Components are first divided by nDivisor.
COLORREF BlendXPColor(COLORREF clr, int nDivisor, double fFactor);
