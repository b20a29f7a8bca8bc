#include "optimizer/shared/SkinRadioButton.h"
#include "optimizer/shared/DrawUtils.h"

BEGIN_MESSAGE_MAP(CSkinRadioButton, CButton)
    ON_WM_ERASEBKGND()
    ON_WM_MOUSEMOVE()
    ON_WM_MOUSEHOVER()
    ON_WM_MOUSELEAVE()
    ON_WM_LBUTTONUP()
    ON_WM_CTLCOLOR_REFLECT()
END_MESSAGE_MAP()

namespace {
const int kGlyphBox = 16;
}

CSkinRadioButton::CSkinRadioButton()
    : m_nFrameWidth(0), m_nFrameHeight(0), m_bHover(FALSE), m_bTracking(FALSE), m_bChecked(FALSE), m_nSiblings(0), m_nTextLeft(-1)
{
    for (int i = 0; i < MAX_SIBLINGS; i++)
        m_pSiblings[i] = NULL;
}

void CSkinRadioButton::PreSubclassWindow()
{
    ModifyStyle(BS_TYPEMASK, BS_OWNERDRAW);
}

BOOL CSkinRadioButton::SetBitmap(UINT nID)
{
    m_bmpStrip.DeleteObject();
    m_nFrameWidth = m_nFrameHeight = 0;
    if (!m_bmpStrip.LoadBitmap(nID))
        return FALSE;
    BITMAP bm = {};
    m_bmpStrip.GetBitmap(&bm);
    m_nFrameWidth = bm.bmWidth / 6;
    m_nFrameHeight = bm.bmHeight;
    return TRUE;
}

BOOL CSkinRadioButton::AddSibling(CSkinRadioButton* pButton)
{
    if (pButton == NULL || pButton == this || m_nSiblings >= MAX_SIBLINGS)
        return FALSE;
    m_pSiblings[m_nSiblings++] = pButton;
    return TRUE;
}

void CSkinRadioButton::LinkGroup(CSkinRadioButton* const* ppButtons, int nCount)
{
    for (int i = 0; i < nCount; i++)
        for (int j = 0; j < nCount; j++)
            if (i != j)
                ppButtons[i]->AddSibling(ppButtons[j]);
}

void CSkinRadioButton::SetChecked(BOOL bChecked)
{
    if (m_bChecked == bChecked)
        return;
    m_bChecked = bChecked;
    if (m_hWnd != NULL)
        Invalidate(FALSE);
}

BOOL CSkinRadioButton::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

HBRUSH CSkinRadioButton::CtlColor(CDC*, UINT)
{
    return (HBRUSH)::GetStockObject(NULL_BRUSH);
}

void CSkinRadioButton::DrawItem(LPDRAWITEMSTRUCT lpDIS)
{
    CDC* pDC = CDC::FromHandle(lpDIS->hDC);
    CRect rc(lpDIS->rcItem);
    CDC dcMem;
    CBitmap bmpMem;
    if (!dcMem.CreateCompatibleDC(pDC) || !bmpMem.CreateCompatibleBitmap(pDC, rc.Width(), rc.Height()))
        return;
    HGDIOBJ hOldMem = ::SelectObject(dcMem, bmpMem);
    CRect rcMem(0, 0, rc.Width(), rc.Height());
    PaintParentBackground(this, &dcMem, rcMem);

    if (m_bmpStrip.m_hObject != NULL && m_nFrameWidth > 0)
    {
        CDC dcStrip;
        if (dcStrip.CreateCompatibleDC(pDC))
        {
            HGDIOBJ hOldStrip = ::SelectObject(dcStrip, m_bmpStrip);
            int x = (kGlyphBox - m_nFrameWidth) / 2;
            int y = (rc.Height() - m_nFrameHeight) / 2;
            int nBase = m_bChecked ? 3 : 0;
            auto frame = [&](int nFrame) {
                DrawTransparentBitmap(&dcMem, x, y, m_nFrameWidth, m_nFrameHeight, &dcStrip, nFrame * m_nFrameWidth, 0,
                                      m_nFrameWidth, m_nFrameHeight, SKIN_KEY_COLOR);
            };
            frame(nBase);
            if (m_bHover)
                frame(nBase + 1);
            if (lpDIS->itemState & ODS_SELECTED)
                frame(nBase + 2);
            ::SelectObject(dcStrip, hOldStrip);
        }
    }

    CString strText;
    GetWindowText(strText);
    if (!strText.IsEmpty())
    {
        HGDIOBJ hFont = (HGDIOBJ)SendMessage(WM_GETFONT);
        HGDIOBJ hOldFont = hFont != NULL ? ::SelectObject(dcMem, hFont) : NULL;
        dcMem.SetBkMode(TRANSPARENT);
        dcMem.SetTextColor(IsWindowEnabled() ? RGB(0, 0, 0) : ::GetSysColor(COLOR_GRAYTEXT));
        CRect rcText(m_nTextLeft >= 0 ? m_nTextLeft : kGlyphBox + 2, 0, rc.Width(), rc.Height());
        dcMem.DrawText(strText, &rcText, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        if (hOldFont != NULL)
            ::SelectObject(dcMem, hOldFont);
    }
    pDC->BitBlt(rc.left, rc.top, rc.Width(), rc.Height(), &dcMem, 0, 0, SRCCOPY);
    ::SelectObject(dcMem, hOldMem);
}

void CSkinRadioButton::OnMouseMove(UINT nFlags, CPoint point)
{
    if (!m_bTracking)
    {
        TRACKMOUSEEVENT tme = {sizeof(tme), TME_HOVER | TME_LEAVE, m_hWnd, 1};
        m_bTracking = ::TrackMouseEvent(&tme);
    }
    CButton::OnMouseMove(nFlags, point);
}

void CSkinRadioButton::OnMouseHover(UINT, CPoint)
{
    if (!m_bHover)
    {
        m_bHover = TRUE;
        Invalidate(FALSE);
    }
}

void CSkinRadioButton::OnMouseLeave()
{
    m_bHover = FALSE;
    m_bTracking = FALSE;
    Invalidate(FALSE);
}

void CSkinRadioButton::OnLButtonUp(UINT nFlags, CPoint point)
{
    CRect rc;
    GetClientRect(&rc);
    if (m_bHover && rc.PtInRect(point) && !m_bChecked)
    {
        SetChecked(TRUE);
        for (int i = 0; i < m_nSiblings; i++)
            m_pSiblings[i]->SetChecked(FALSE);
    }
    CButton::OnLButtonUp(nFlags, point);
}
