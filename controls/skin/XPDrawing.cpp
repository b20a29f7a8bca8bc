#include "controls/skin/XPDrawing.h"

ArrowImageList::ArrowImageList() : m_sizeImage(0, 0), m_nArrowWidth(GetSystemMetrics(SM_CXHTHUMB))
{
    if (m_imageList.Create(IDB_XP_ARROWS, 9, 10, RGB(255, 0, 255)))
    {
        IMAGEINFO info = {};
        if (m_imageList.GetImageInfo(0, &info))
            m_sizeImage = CSize(info.rcImage.right - info.rcImage.left, info.rcImage.bottom - info.rcImage.top);
    }
}

void ArrowImageList::DrawArrow(CDC* pDC, CRect rc, BOOL bEnabled)
{
    CPoint pt(rc.right - m_nArrowWidth + 2, rc.top + (rc.Height() - m_sizeImage.cy) / 2);
    m_imageList.Draw(pDC, bEnabled ? 0 : 2, pt, ILD_TRANSPARENT);
}

HICON ArrowImageList::ExtractIcon(int nImage)
{
    return m_imageList.ExtractIcon(nImage);
}

ImageButtonPainter::ImageButtonPainter()
    : m_rect(0, 0, 0, 0), m_nFirstImage(0), m_nSecondImage(0), m_bXP(FALSE), m_bFrame(TRUE)
{
}

void ImageButtonPainter::Draw(CDC* pDC, int nState, CRect rc, COLORREF clrFace, BOOL bPressedImage)
{
    CBrush brush;
    if (clrFace == 5)
        brush.CreateStockObject(HOLLOW_BRUSH);
    else if (!m_bXP)
        brush.CreateSolidBrush(clrFace);
    else if (m_bFrame)
        brush.CreateSolidBrush(nState == 1 ? GetXPHotColor() : nState == 2 ? GetXPPressedColor() : clrFace);
    else
        brush.CreateSolidBrush(clrFace);

    if (m_bFrame)
    {
        pDC->FillRect(&rc, &brush);
        COLORREF clrLight = m_bXP ? GetXPHighlightColor() : GetSysColor(COLOR_BTNHIGHLIGHT);
        COLORREF clrDark = m_bXP ? GetXPHighlightColor() : GetSysColor(COLOR_BTNSHADOW);
        if (nState == 1)
            pDC->Draw3dRect(&rc, clrLight, clrDark);
        else if (nState == 2)
            pDC->Draw3dRect(&rc, clrDark, clrLight);
    }

    int nImage = m_nFirstImage + (bPressedImage ? 1 : 0);
    if (m_bXP)
    {
        IMAGEINFO info = {};
        CSize sizeImage(0, 0);
        if (m_imageList.GetImageInfo(nImage, &info))
            sizeImage = CSize(info.rcImage.right - info.rcImage.left, info.rcImage.bottom - info.rcImage.top);
        int dx = rc.Width() - sizeImage.cx;
        int dy = rc.Height() - sizeImage.cy;
        if (dx < 0)
            dx = 0;
        if (dy < 0)
            dy = 0;
        m_imageList.Draw(pDC, nImage, CPoint(rc.left + dx / 2 + 1, rc.top + dy / 2 + 1),
                         m_bFrame ? ILD_TRANSPARENT : ILD_MASK);
    }
    else
    {
        m_imageList.Draw(pDC, nImage, CPoint(rc.left + 1, rc.top + 2), ILD_TRANSPARENT);
    }
}

HICON LoadSmallIcon(UINT nID)
{
    return (HICON)LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW(nID), IMAGE_ICON, 16, 16, 0);
}

void DrawCheckMark(CDC* pDC, CRect rc)
{
    CPen pen(PS_SOLID, 1, GetXPHighlightColor());
    CPen* pOldPen = pDC->SelectObject(&pen);
    int h2 = rc.Height() / 2 - 2;
    for (int k = 3; k >= 1; k--)
    {
        pDC->MoveTo(rc.left + 1, rc.top + h2 + k);
        pDC->LineTo(rc.left + 3, rc.bottom - 5 + k);
        pDC->LineTo(rc.right - 1, rc.top + k - 1);
    }
    pDC->SelectObject(pOldPen);
}

void DrawWindowShadow(CRect rc, int x, int y, CDC* pDC)
{
    HDC hScreen = ::GetWindowDC(::GetDesktopWindow());
    if (hScreen == NULL)
        return;
    int w = rc.Width(), h = rc.Height();
    auto screen = [&](int col, int row) { return ::GetPixel(hScreen, x + col, y + row); };
    for (int i = 1; i <= 2; i++)
    {
        int col = w - i;
        for (int row = 0; row < h; row++)
        {
            COLORREF clr = screen(col, row);
            if (row <= 1)
                pDC->SetPixelV(col, row, clr);
            else if (row >= h - 4 && row >= 4)
                pDC->SetPixelV(col, row, DarkenColor(3 * i * (h - row), clr));
            else if (row >= 4 && row <= 7)
                pDC->SetPixelV(col, row, DarkenColor(3 * i * (row - 3), clr));
            else if (row >= 8)
                pDC->SetPixelV(col, row, DarkenColor(15 * i, clr));
        }
        int row = h - i;
        for (int c = 0; c <= w - 5; c++)
        {
            COLORREF clr = screen(c, row);
            if (c <= 2)
                pDC->SetPixelV(c, row, clr);
            else if (c >= 4 && c <= 7)
                pDC->SetPixelV(c, row, DarkenColor(3 * i * (c - 3), clr));
            else if (c >= 8)
                pDC->SetPixelV(c, row, DarkenColor(15 * i, clr));
        }
    }
    ::ReleaseDC(::GetDesktopWindow(), hScreen);
}
