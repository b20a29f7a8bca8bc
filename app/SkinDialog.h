#pragma once
// A dialog whose background is a bitmap, laid out in one of 13 ways and
// composed off screen; pixels of a chosen colour can be cut out of the
// window's shape.
#include "framework/Afx.h"
#include "framework/Dc.h"

class CSkinDialog : public CDialog
{
public:
    CSkinDialog();
    CSkinDialog(UINT nIDTemplate, CWnd* pParent);
    CSkinDialog(LPCTSTR lpszTemplateName, CWnd* pParent);
    virtual ~CSkinDialog();

    // Results: 0 done, 1 the bitmap cannot be read, 3 no region; 0xFFFFFFFF
    // as the colour keeps the window rectangular.
    DWORD SetBitmap(UINT nIDResource, COLORREF crTransparent);
    DWORD SetBitmap(HBITMAP hBitmap, COLORREF crTransparent);
    DWORD SetLayout(BYTE nLayout, BOOL bRepaint);
    DWORD EnableClientDrag(BOOL bEnable);
    DWORD FitWindowToBitmap(BOOL bRepaint);
    // Called with the composed background on every paint.
    virtual void SetButtonsBk(CDC* pMemDC);

    HRGN CreateRegionFromBitmap(HBITMAP hBitmap, BYTE r, BYTE g, BYTE b);
    // Top-down 24-bit pixels of the bitmap; the width is cut to a multiple of 4.
    BYTE* ReadBitmapPixels(HBITMAP hBitmap, DWORD* pWidth, DWORD* pHeight);

    HBITMAP m_hBitmap;
    HRGN m_hRgn;
    int m_nBitmapWidth;
    int m_nBitmapHeight;
    BYTE m_nLayout;
    BOOL m_bClientDrag;

protected:
    BOOL m_bRegionHanded;  // the window owns m_hRgn

    virtual void DoDataExchange(CDataExchange* pDX);
    void ResetSkin();
    void ReleaseSkin(BOOL bDeleteBitmap);

    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);

    DECLARE_MESSAGE_MAP()
};
