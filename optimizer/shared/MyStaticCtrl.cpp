#include "optimizer/shared/MyStaticCtrl.h"

BEGIN_MESSAGE_MAP(CMyStaticCtrl, CStatic)
    ON_WM_CTLCOLOR_REFLECT()
    ON_WM_LBUTTONDOWN()
END_MESSAGE_MAP()

CMyStaticCtrl::CMyStaticCtrl() : m_crText(RGB(0, 0, 0)), m_crBack(CLR_NONE)
{
}

void CMyStaticCtrl::SetBackColor(COLORREF crBack)
{
    m_crBack = crBack;
    m_brBack.DeleteObject();
    if (crBack != CLR_NONE)
        m_brBack.CreateSolidBrush(crBack);
}

HBRUSH CMyStaticCtrl::CtlColor(CDC* pDC, UINT)
{
    pDC->SetTextColor(m_crText);
    if (m_crBack == CLR_NONE)
    {
        pDC->SetBkMode(TRANSPARENT);
        return (HBRUSH)::GetStockObject(NULL_BRUSH);
    }
    pDC->SetBkColor(m_crBack);
    return (HBRUSH)m_brBack.m_hObject;
}

void CMyStaticCtrl::OnLButtonDown(UINT nFlags, CPoint point)
{
    CWnd* pParent = GetParent();
    if (pParent != NULL)
    {
        CRect rc;
        GetWindowRect(&rc);
        pParent->ScreenToClient(&rc);
        pParent->InvalidateRect(&rc, TRUE);
        pParent->UpdateWindow();
    }
    CStatic::OnLButtonDown(nFlags, point);
}
