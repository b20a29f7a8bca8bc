// The CWnd members that hand out device contexts, fonts and regions.
#include "framework/Wnd.h"
#include "framework/Dc.h"
#include "framework/Gdi.h"

CDC* AfxDcFromHandle(HDC hDC)
{
    return CDC::FromHandle(hDC);
}

CDC* CWnd::GetDC()
{
    return CDC::FromHandle(::GetDC(m_hWnd));
}

CDC* CWnd::GetWindowDC()
{
    return CDC::FromHandle(::GetWindowDC(m_hWnd));
}

int CWnd::ReleaseDC(CDC* pDC)
{
    return pDC != NULL ? ::ReleaseDC(m_hWnd, pDC->m_hDC) : 0;
}

CDC* CWnd::BeginPaint(LPPAINTSTRUCT lpPaint)
{
    return CDC::FromHandle(::BeginPaint(m_hWnd, lpPaint));
}

void CWnd::EndPaint(LPPAINTSTRUCT lpPaint)
{
    ::EndPaint(m_hWnd, lpPaint);
}

void CWnd::SetFont(CFont* pFont, BOOL bRedraw)
{
    ::SendMessageW(m_hWnd, WM_SETFONT, (WPARAM)(pFont != NULL ? pFont->GetSafeHandle() : NULL), bRedraw);
}

CFont* CWnd::GetFont() const
{
    HFONT hFont = (HFONT)::SendMessageW(m_hWnd, WM_GETFONT, 0, 0);
    return hFont != NULL ? CFont::FromHandle(hFont) : NULL;
}

void CWnd::InvalidateRgn(CRgn* pRgn, BOOL bErase)
{
    ::InvalidateRgn(m_hWnd, pRgn != NULL ? (HRGN)pRgn->GetSafeHandle() : NULL, bErase);
}

BOOL CWnd::RedrawWindow(LPCRECT lpRectUpdate, CRgn* prgnUpdate, UINT flags)
{
    return ::RedrawWindow(m_hWnd, lpRectUpdate, prgnUpdate != NULL ? (HRGN)prgnUpdate->GetSafeHandle() : NULL, flags);
}
