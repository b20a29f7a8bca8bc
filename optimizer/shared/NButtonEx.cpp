#include "optimizer/shared/NButtonEx.h"

BEGIN_MESSAGE_MAP(CNButtonEx, CButton)
    ON_WM_ERASEBKGND()
    ON_WM_MOUSEMOVE()
    ON_WM_MOUSEHOVER()
    ON_WM_MOUSELEAVE()
END_MESSAGE_MAP()

CNButtonEx::CNButtonEx(LibraryStyle eStyle)
    : m_eStyle(eStyle), m_bCreatingWithMode(FALSE), m_bHover(FALSE), m_bTracking(FALSE), m_nMode(DRAW_NOTHING), m_nWidth(0), m_nHeight(0), m_bEnabled(TRUE),
      m_bTipEnabled(FALSE)
{
    m_szTip[0] = 0;
}

CNButtonEx::~CNButtonEx()
{
    if (m_tip.GetSafeHwnd() != NULL)
        m_tip.DestroyWindow();
}

void CNButtonEx::PreSubclassWindow()
{
    // A button made by Create with a mode already has the style it asked for.
    if (!m_bCreatingWithMode)
        ModifyStyle(BS_TYPEMASK, BS_OWNERDRAW);
}

BOOL CNButtonEx::Create(LPCTSTR lpszCaption, DWORD dwStyle, int nMode, const RECT& rect, CWnd* pParentWnd,
                        UINT nID)
{
    m_nMode = nMode;
    if (nMode & 3)
        dwStyle = (dwStyle & ~BS_TYPEMASK) | BS_OWNERDRAW;
    m_bCreatingWithMode = TRUE;
    BOOL bCreated = CButton::Create(lpszCaption, dwStyle, rect, pParentWnd, nID);
    m_bCreatingWithMode = FALSE;
    return bCreated;
}

BOOL CNButtonEx::SetBitmaps(UINT nNormalID, UINT nHoverID, UINT nPressedID, UINT nDisabledID, int nWidth,
                            int nHeight, int nMode)
{
    const UINT ids[4] = {nNormalID, nHoverID, nPressedID, nDisabledID};
    BOOL bAll = TRUE;
    for (int i = 0; i < 4; i++)
    {
        m_bitmaps[i].DeleteObject();
        bAll = m_bitmaps[i].LoadBitmap(ids[i]) && bAll;
    }
    m_nWidth = nWidth;
    m_nHeight = nHeight;
    m_nMode = nMode;
    if (m_hWnd != NULL)
        Invalidate(FALSE);
    return bAll;
}

void CNButtonEx::SetTooltipText(LPCWSTR lpszText, BOOL bEnable)
{
    m_bTipEnabled = bEnable;
    lstrcpynW(m_szTip, lpszText != NULL ? lpszText : L"", 64);
    if (m_hWnd == NULL)
        return;
    if (m_tip.GetSafeHwnd() == NULL && !m_tip.Create(this, TTS_ALWAYSTIP))
        return;
    TOOLINFO ti;
    CToolTipCtrl::FillInToolInfo(ti, this, 0);
    if (m_tip.GetToolInfo(&ti, this, 0))
        m_tip.UpdateTipText(m_szTip, this);
    else
        m_tip.AddTool(this, m_szTip);
    if (m_eStyle == STYLE_PRIVACY)
    {
        m_tip.Activate(TRUE);
        m_tip.SetDelayTime(250);
    }
    else
    {
        m_tip.SetDelayTime(250);
        m_tip.Activate(bEnable);
    }
}

void CNButtonEx::DeleteTooltip()
{
    if (m_tip.GetSafeHwnd() != NULL)
        m_tip.DelTool(this);
}

void CNButtonEx::EnableButton(BOOL bEnable)
{
    m_bEnabled = bEnable;
    if (m_hWnd == NULL)
        return;
    EnableWindow(bEnable);
    Invalidate(FALSE);
}

void CNButtonEx::RelayEvent(MSG* pMsg)
{
    if (!m_bTipEnabled || m_tip.GetSafeHwnd() == NULL || pMsg == NULL)
        return;
    if (m_eStyle == STYLE_PRIVACY &&
        (pMsg->message == WM_MOUSEMOVE || pMsg->message == WM_LBUTTONDOWN || pMsg->message == WM_LBUTTONUP))
        m_tip.Activate(TRUE);
    m_tip.RelayEvent(pMsg);
}

BOOL CNButtonEx::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CNButtonEx::DrawItem(LPDRAWITEMSTRUCT lpDIS)
{
    if (m_nMode != DRAW_BITMAPS)
        return;
    CDC* pDC = CDC::FromHandle(lpDIS->hDC);
    CRect rc(lpDIS->rcItem);
    CDC dcMem, dcBitmap;
    CBitmap bmpMem;
    if (!dcMem.CreateCompatibleDC(pDC) || !dcBitmap.CreateCompatibleDC(pDC) ||
        !bmpMem.CreateCompatibleBitmap(pDC, rc.Width(), rc.Height()))
        return;
    HGDIOBJ hOldMem = ::SelectObject(dcMem, bmpMem);
    HGDIOBJ hOldBitmap = NULL;
    dcMem.FillSolidRect(0, 0, rc.Width(), rc.Height(), RGB(255, 255, 255));
    auto draw = [&](CBitmap& bmp) {
        if (bmp.m_hObject == NULL)
            return;
        HGDIOBJ hPrev = ::SelectObject(dcBitmap, bmp);
        if (hOldBitmap == NULL)
            hOldBitmap = hPrev;
        dcMem.BitBlt(0, 0, m_nWidth, m_nHeight, &dcBitmap, 0, 0, SRCCOPY);
    };
    if (m_bEnabled)
    {
        draw(m_bitmaps[0]);
        if (m_bHover)
            draw(m_bitmaps[1]);
        if (lpDIS->itemState & ODS_SELECTED)
            draw(m_bitmaps[2]);
    }
    else
        draw(m_bitmaps[3]);

    // The caption comes from the language file, so it is drawn, not painted in.
    CString strText;
    GetWindowText(strText);
    if (!strText.IsEmpty())
    {
        if (m_font.m_hObject == NULL)
            m_font.CreateFont(-12, 0, 0, 0, FW_BOLD, 0, 0, 0, DEFAULT_CHARSET, 0, 0, CLEARTYPE_QUALITY, 0, L"Verdana");
        CFont* pOldFont = dcMem.SelectObject(&m_font);
        dcMem.SetBkMode(TRANSPARENT);
        dcMem.SetTextColor(m_bEnabled ? RGB(255, 255, 255) : RGB(150, 156, 166));
        CRect rcText(0, 0, m_nWidth > 0 ? m_nWidth : rc.Width(), m_nHeight > 0 ? m_nHeight : rc.Height());
        if (lpDIS->itemState & ODS_SELECTED)
            rcText.OffsetRect(1, 1);
        // A tall button takes a long caption on two lines.
        CRect rcCalc(rcText);
        dcMem.DrawText(strText, &rcCalc, DT_CENTER | DT_WORDBREAK | DT_NOPREFIX | DT_CALCRECT);
        if (rcCalc.Height() <= rcText.Height() && rcCalc.Width() <= rcText.Width())
        {
            rcText.top += (rcText.Height() - rcCalc.Height()) / 2;
            dcMem.DrawText(strText, &rcText, DT_CENTER | DT_WORDBREAK | DT_NOPREFIX);
        }
        else
            dcMem.DrawText(strText, &rcText, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
        dcMem.SelectObject(pOldFont);
    }
    pDC->BitBlt(rc.left, rc.top, rc.Width(), rc.Height(), &dcMem, 0, 0, SRCCOPY);
    if (hOldBitmap != NULL)
        ::SelectObject(dcBitmap, hOldBitmap);
    ::SelectObject(dcMem, hOldMem);
}

void CNButtonEx::OnMouseMove(UINT nFlags, CPoint point)
{
    if (!m_bTracking)
    {
        TRACKMOUSEEVENT tme = {sizeof(tme), TME_HOVER | TME_LEAVE, m_hWnd, 1};
        m_bTracking = ::TrackMouseEvent(&tme);
    }
    CButton::OnMouseMove(nFlags, point);
}

void CNButtonEx::OnMouseHover(UINT, CPoint)
{
    m_bHover = TRUE;
    Invalidate(FALSE);
    if (m_tip.GetSafeHwnd() != NULL && m_bTipEnabled)
        m_tip.UpdateTipText(m_szTip, this);
}

void CNButtonEx::OnMouseLeave()
{
    m_bHover = FALSE;
    m_bTracking = FALSE;
    Invalidate(FALSE);
}
