#pragma once
// Paints colour gradients into a memory bitmap of a given size; Blit copies
// the last one painted. Colour arguments are plain ints so that callers can
// pass a component shifted out of 0..255 (it is masked to a byte per band).
#include "framework/Afx.h"
#include "framework/Dc.h"

#include <memory>

class GradientPainter
{
public:
    explicit GradientPainter(CSize size);
    virtual ~GradientPainter();

    virtual void VerticalGradient(CDC* pDC, int r1, int g1, int b1, int r2, int g2, int b2);
    // Top RGB(250,250,249) down to clr darkened by 30.
    virtual void PaintFace(CDC* pDC, DWORD dwStyle, COLORREF clr, int nUnused = 0);
    // Left (clr + 10) - 30 to right clr + 10.
    virtual void PaintHorizontalLight(CDC* pDC, DWORD dwStyle, COLORREF clr);

    void HorizontalGradient(CDC* pDC, int r1, int g1, int b1, int r2, int g2, int b2);
    void PaintHot(CDC* pDC, DWORD dwStyle);
    void PaintPressed(CDC* pDC, DWORD dwStyle);
    void PaintDarkTop(CDC* pDC, DWORD dwStyle, COLORREF clr);
    void PaintHorizontalDark(CDC* pDC, DWORD dwStyle, COLORREF clr);
    void PaintBetween(CDC* pDC, COLORREF clrFrom, COLORREF clrTo);
    void PaintBetween(CDC* pDC, COLORREF clrFrom, COLORREF clrTo, int nUnused);

    void Blit(CDC* pDC, int x, int y, int xSrc, int ySrc, int cx, int cy, DWORD dwRop);

    void SetSize(CSize size) { m_size = size; }
    CSize GetSize() const { return m_size; }
    // The memory DC holding the last gradient; NULL before the first one.
    CDC* GetMemDC() const { return m_pMemDC.get(); }

private:
    void Paint(CDC* pDC, bool bVertical, int r1, int g1, int b1, int r2, int g2, int b2);
    void ReleaseMemDC();

    std::unique_ptr<CDC> m_pMemDC;
    CSize m_size;
    CBitmap m_bmpGradient;
    HGDIOBJ m_hOldBitmap;
};
