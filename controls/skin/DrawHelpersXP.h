#pragma once
// Drawing helpers shared by the flat XP controls and the XP popup menus:
// colour shifts in hue-lightness-saturation space, a buffered DC, small
// owners that select a pen, brush or font and put the old one back, a screen
// capture, the Windows version class and a hover tracker.
#include "framework/Afx.h"

// Shifts lightness and saturation by percents (positive towards 255,
// negative scales down); hue is kept.
COLORREF HLSTransform(COLORREF clr, int nLightness, int nSaturation);

// Draws into a memory bitmap of rc (the target's clip box when rc is empty)
// and copies it to the target when destroyed.
class CBufferDC
{
public:
    CBufferDC(HDC hTarget, const RECT& rc);
    ~CBufferDC();
    operator HDC() const { return m_hDC != NULL ? m_hDC : m_hTarget; }
    const RECT& Rect() const { return m_rc; }

private:
    HDC m_hTarget;
    HDC m_hDC;
    HBITMAP m_hBitmap;
    HGDIOBJ m_hOldBitmap;
    RECT m_rc;
    CBufferDC(const CBufferDC&) = delete;
    CBufferDC& operator=(const CBufferDC&) = delete;
};

// Keeps a GDI object it created selected into a DC; puts the old one back and
// frees its own when destroyed.
class CSelectedObjectDC
{
protected:
    // hFallback is selected in place of a NULL hOwned.
    CSelectedObjectDC(HDC hDC, HGDIOBJ hOwned, HGDIOBJ hFallback);
    ~CSelectedObjectDC();
    // Selects the next object and frees the one it replaces.
    void Replace(HGDIOBJ hOwned, HGDIOBJ hFallback);

private:
    HDC m_hDC;
    HGDIOBJ m_hOwned;
    HGDIOBJ m_hOld;
    CSelectedObjectDC(const CSelectedObjectDC&) = delete;
    CSelectedObjectDC& operator=(const CSelectedObjectDC&) = delete;
};

class CPenDC : private CSelectedObjectDC
{
public:
    CPenDC(HDC hDC, COLORREF clr);
    void Color(COLORREF clr);
};

// Colour (COLORREF)-1 selects the hollow stock brush.
class CBrushDC : private CSelectedObjectDC
{
public:
    CBrushDC(HDC hDC, COLORREF clr);
    void Color(COLORREF clr);
};

// Selects a face name (keeping the current font's other attributes), a
// stock font or a font handle, and optionally a text colour.
class CFontDC
{
public:
    CFontDC(HDC hDC, LPCWSTR lpszFaceName, COLORREF clrText = CLR_NONE);
    CFontDC(HDC hDC, int nStockFont, COLORREF clrText = CLR_NONE);
    CFontDC(HDC hDC, HFONT hFont, COLORREF clrText = CLR_NONE);
    ~CFontDC();

private:
    void Select(HFONT hFont, BOOL bOwned, COLORREF clrText);
    HDC m_hDC;
    HFONT m_hOwned;
    HGDIOBJ m_hOld;
    COLORREF m_clrOldText;
    CFontDC(const CFontDC&) = delete;
    CFontDC& operator=(const CFontDC&) = delete;
};

// The current font again in weight 700 or 400, only when that differs.
class CBoldDC
{
public:
    CBoldDC(HDC hDC, BOOL bBold);
    ~CBoldDC();

private:
    HDC m_hDC;
    HFONT m_hFont;
    HGDIOBJ m_hOld;
    CBoldDC(const CBoldDC&) = delete;
    CBoldDC& operator=(const CBoldDC&) = delete;
};

// A bitmap copy of a rectangle of the screen; the caller deletes it.
HBITMAP CaptureScreenRect(const RECT& rc);

// 0 unknown, 1 Win32s, 2 95, 3 98, 4 Me, 5 other NT, 6 NT 4, 7 2000, 8 XP.
int GetWinVersion();
enum { WINVER_XP_CLASS = 8 };

// Hover state of a control: redraws it when the mouse comes and goes.
class CMouseTrack
{
public:
    enum { REDRAW_INVALIDATE = 1, REDRAW_FRAME = 2 };
    CMouseTrack() : m_hWnd(NULL), m_hWndMouse(NULL), m_nRedraw(0), m_bHover(0) {}
    void Init(HWND hWnd, int nRedraw);
    // TRUE when the hover state changed.
    bool OnMouseMove(HWND hWnd);
    bool OnMouseLeave(HWND hWnd);
    bool IsHover() const { return m_bHover != 0; }

private:
    void Redraw();
    HWND m_hWnd;
    HWND m_hWndMouse;
    int m_nRedraw;
    BYTE m_bHover;
};

// TRUE when the window's parent is a docked control bar.
BOOL IsInDockedControlBar(HWND hWnd);
