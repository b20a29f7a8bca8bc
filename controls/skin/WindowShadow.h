#pragma once
// A soft drop shadow for a top-level window: a layered, click-through popup
// kept just below its window, drawn with per-pixel alpha from the window's
// outline and moved, sized, shown and hidden with it.
#include "framework/Afx.h"

class CWindowShadow
{
public:
    CWindowShadow();
    virtual ~CWindowShadow();

    // Once per process: false when already done or layered windows are missing.
    static bool Initialize(HINSTANCE hInstance);
    void Create(HWND hParent);

    bool SetSize(int nSize);            // -20..20
    bool SetSharpness(unsigned nSharpness);  // 0..20
    bool SetDarkness(unsigned nDarkness);    // 0..255
    bool SetPosition(int nX, int nY);   // -20..20 each
    bool SetColor(COLORREF clr);

    void Show(HWND hParent, BOOL bForce = FALSE);
    void Update(HWND hParent);
    // Fills a 32-bit bottom-up buffer of the shadow's size (the parent's
    // window size plus twice the size) with premultiplied pixels.
    void MakeShadow(DWORD* pBits, int nWidth, int nHeight, HWND hParent, int nParentWidth, int nParentHeight) const;
    static DWORD PreMultiply(COLORREF clr, BYTE nAlpha);

    enum { SS_ENABLED = 1, SS_VISIBLE = 2, SS_PARENTVISIBLE = 4, SS_DISABLEDBYAERO = 8 };

    HWND m_hWnd;  // (HWND)-1 until created
    WNDPROC m_pfnOldProc;
    BYTE m_nStatus;
    BYTE m_nDarkness;
    BYTE m_nSharpness;
    signed char m_nSize;
    signed char m_nxOffset;
    signed char m_nyOffset;
    LPARAM m_lWndSize;
    BYTE m_bUpdate;
    COLORREF m_clr;

private:
    static LRESULT CALLBACK ParentProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
    void Place(HWND hParent);
    void Hide();

    HWND m_hParent;

    CWindowShadow(const CWindowShadow&) = delete;
    CWindowShadow& operator=(const CWindowShadow&) = delete;
};
