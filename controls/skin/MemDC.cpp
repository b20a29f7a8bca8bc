#include "controls/skin/MemDC.h"

CMemDC::CMemDC(CDC* pDC)
{
    Init(pDC, NULL, FALSE);
}

CMemDC::CMemDC(CDC* pDC, const CRect* pRect, BOOL bCopyBackground)
{
    Init(pDC, pRect, bCopyBackground);
}

void CMemDC::Init(CDC* pDC, const CRect* pRect, BOOL bCopyBackground)
{
    m_pDC = pDC;
    m_hOldBitmap = NULL;
    m_bMemDC = !pDC->IsPrinting();
    if (pRect == NULL || ::IsRectEmpty(pRect))
        pDC->GetClipBox(&m_rect);
    else
        m_rect = *pRect;

    if (m_bMemDC && CreateCompatibleDC(pDC) &&
        m_bitmap.CreateCompatibleBitmap(pDC, m_rect.Width(), m_rect.Height()))
    {
        m_hOldBitmap = ::SelectObject(m_hDC, m_bitmap.m_hObject);
        SetWindowOrg(m_rect.left, m_rect.top);
        if (bCopyBackground)
            BitBlt(m_rect.left, m_rect.top, m_rect.Width(), m_rect.Height(), pDC, m_rect.left, m_rect.top, SRCCOPY);
        return;
    }
    // Printer, or no memory for the bitmap: draw straight onto the target.
    if (m_hDC != NULL)
        DeleteDC();
    m_bMemDC = FALSE;
    m_hDC = pDC->m_hDC;
    m_hAttribDC = pDC->m_hAttribDC;
}

CMemDC::~CMemDC()
{
    if (m_bMemDC)
    {
        m_pDC->BitBlt(m_rect.left, m_rect.top, m_rect.Width(), m_rect.Height(), this, m_rect.left, m_rect.top,
                      SRCCOPY);
        ::SelectObject(m_hDC, m_hOldBitmap);
    }
    else
    {
        // Borrowed handles are the target's to delete.
        m_hDC = NULL;
        m_hAttribDC = NULL;
    }
}
