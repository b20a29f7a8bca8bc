#include "controls/skin/BitmapDC.h"

CBitmapDC::CBitmapDC(HBITMAP hBitmap, CDC* pRefDC) : m_pTargetDC(NULL), m_rect(0, 0, 0, 0), m_hOldBitmap(NULL)
{
    SelectInto(hBitmap, pRefDC);
}

CBitmapDC::CBitmapDC(CBitmap* pBitmap, CDC* pRefDC) : m_pTargetDC(NULL), m_rect(0, 0, 0, 0), m_hOldBitmap(NULL)
{
    SelectInto(pBitmap != NULL ? (HBITMAP)pBitmap->m_hObject : NULL, pRefDC);
}

CBitmapDC::CBitmapDC(CDC* pTargetDC, const CRect& rect) : m_pTargetDC(pTargetDC), m_rect(rect), m_hOldBitmap(NULL)
{
    if (!CreateCompatibleDC(pTargetDC))
        return;
    if (!m_bmpOwn.CreateCompatibleBitmap(pTargetDC, rect.Width(), rect.Height()))
    {
        DeleteDC();
        return;
    }
    m_hOldBitmap = ::SelectObject(m_hDC, m_bmpOwn.m_hObject);
    SetWindowOrg(rect.left, rect.top);
}

void CBitmapDC::SelectInto(HBITMAP hBitmap, CDC* pRefDC)
{
    if (hBitmap == NULL || !CreateCompatibleDC(pRefDC))
        return;
    m_hOldBitmap = ::SelectObject(m_hDC, hBitmap);
}

CBitmapDC::~CBitmapDC()
{
    if (m_hDC == NULL)
        return;
    if (m_bmpOwn.m_hObject != NULL && m_pTargetDC != NULL)
        m_pTargetDC->BitBlt(m_rect.left, m_rect.top, m_rect.Width(), m_rect.Height(), this, m_rect.left, m_rect.top,
                            SRCCOPY);
    ::SelectObject(m_hDC, m_hOldBitmap);
}
