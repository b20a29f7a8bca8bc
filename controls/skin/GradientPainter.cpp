#include "controls/skin/GradientPainter.h"

#include "controls/skin/XPColors.h"

GradientPainter::GradientPainter(CSize size) : m_size(size), m_hOldBitmap(NULL)
{
}

GradientPainter::~GradientPainter()
{
    ReleaseMemDC();
}

void GradientPainter::ReleaseMemDC()
{
    if (m_pMemDC && m_hOldBitmap != NULL)
        ::SelectObject(m_pMemDC->m_hDC, m_hOldBitmap);
    m_hOldBitmap = NULL;
    m_bmpGradient.DeleteObject();
    m_pMemDC.reset();
}

void GradientPainter::Paint(CDC* pDC, bool bVertical, int r1, int g1, int b1, int r2, int g2, int b2)
{
    ReleaseMemDC();
    m_pMemDC.reset(new CDC);
    if (!m_pMemDC->CreateCompatibleDC(pDC))
        return;
    if (!m_bmpGradient.CreateCompatibleBitmap(pDC, m_size.cx, m_size.cy))
        return;
    m_hOldBitmap = ::SelectObject(m_pMemDC->m_hDC, m_bmpGradient.m_hObject);

    double dr = (r2 - r1) / 256.0, dg = (g2 - g1) / 256.0, db = (b2 - b1) / 256.0;
    double r = r1, g = g1, b = b1;
    int nLength = bVertical ? m_size.cy : m_size.cx;
    for (int i = 0; i < 256; i++)
    {
        int nFrom = (int)((double)i * nLength / 256);
        int nTo = (int)((double)(i + 1) * nLength / 256);
        CRect rcBand = bVertical ? CRect(0, nFrom, m_size.cx, nTo) : CRect(nFrom, 0, nTo, m_size.cy);
        m_pMemDC->FillSolidRect(&rcBand, RGB((int)r & 0xFF, (int)g & 0xFF, (int)b & 0xFF));
        r += dr;
        g += dg;
        b += db;
    }
}

void GradientPainter::VerticalGradient(CDC* pDC, int r1, int g1, int b1, int r2, int g2, int b2)
{
    Paint(pDC, true, r1, g1, b1, r2, g2, b2);
}

void GradientPainter::HorizontalGradient(CDC* pDC, int r1, int g1, int b1, int r2, int g2, int b2)
{
    Paint(pDC, false, r1, g1, b1, r2, g2, b2);
}

void GradientPainter::PaintFace(CDC* pDC, DWORD, COLORREF clr, int)
{
    VerticalGradient(pDC, 250, 250, 249, GetRValue(clr) - 30, GetGValue(clr) - 30, GetBValue(clr) - 30);
}

void GradientPainter::PaintHot(CDC* pDC, DWORD dwStyle)
{
    COLORREF clr = dwStyle == XP_STYLE_GRADIENT ? RGB(227, 237, 246) : GetSysColor(COLOR_BTNSHADOW);
    int r = GetRValue(clr), g = GetGValue(clr), b = GetBValue(clr);
    VerticalGradient(pDC, r, g, b, r - 30, g - 30, b - 30);
}

void GradientPainter::PaintPressed(CDC* pDC, DWORD dwStyle)
{
    COLORREF clr = dwStyle == XP_STYLE_GRADIENT ? GetXPPressedColor() : GetSysColor(COLOR_BTNSHADOW);
    int r = GetRValue(clr), g = GetGValue(clr), b = GetBValue(clr);
    HorizontalGradient(pDC, r, g, b, r - 30, g - 30, b - 30);
}

void GradientPainter::PaintDarkTop(CDC* pDC, DWORD, COLORREF clr)
{
    int r = GetRValue(clr) + 10, g = GetGValue(clr) + 10, b = GetBValue(clr) + 10;
    VerticalGradient(pDC, r - 30, g - 30, b - 30, r, g, b);
}

void GradientPainter::PaintHorizontalDark(CDC* pDC, DWORD, COLORREF clr)
{
    int r = GetRValue(clr) + 10, g = GetGValue(clr) + 10, b = GetBValue(clr) + 10;
    HorizontalGradient(pDC, r, g, b, r - 30, g - 30, b - 30);
}

void GradientPainter::PaintHorizontalLight(CDC* pDC, DWORD, COLORREF clr)
{
    int r = GetRValue(clr) + 10, g = GetGValue(clr) + 10, b = GetBValue(clr) + 10;
    HorizontalGradient(pDC, r - 30, g - 30, b - 30, r, g, b);
}

void GradientPainter::PaintBetween(CDC* pDC, COLORREF clrFrom, COLORREF clrTo)
{
    VerticalGradient(pDC, GetRValue(clrFrom), GetGValue(clrFrom), GetBValue(clrFrom), GetRValue(clrTo),
                     GetGValue(clrTo), GetBValue(clrTo));
}

void GradientPainter::PaintBetween(CDC* pDC, COLORREF clrFrom, COLORREF clrTo, int)
{
    PaintBetween(pDC, clrFrom, clrTo);
}

void GradientPainter::Blit(CDC* pDC, int x, int y, int xSrc, int ySrc, int cx, int cy, DWORD dwRop)
{
    if (m_pMemDC && m_pMemDC->m_hDC != NULL)
        pDC->BitBlt(x, y, cx, cy, m_pMemDC.get(), xSrc, ySrc, dwRop);
}
