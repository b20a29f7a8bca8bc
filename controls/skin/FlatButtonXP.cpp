#include "controls/skin/FlatButtonXP.h"

BEGIN_MESSAGE_MAP(CFlatButtonXP, CButton)
    ON_WM_MOUSEMOVE()
    ON_WM_MOUSELEAVE()
END_MESSAGE_MAP()

CFlatButtonXP::Colors CFlatButtonXP::GetColors(BOOL bEnabled, BOOL bPressed, BOOL bHover, BOOL bFocusOrDefault)
{
    Colors colors;
    if (bEnabled && (bHover || bPressed))
    {
        colors.clrFrame = ::GetSysColor(COLOR_HIGHLIGHT);
        colors.clrFace = bPressed ? HLSTransform(::GetSysColor(COLOR_HIGHLIGHT), 50, -50)
                                  : HLSTransform(::GetSysColor(COLOR_HIGHLIGHT), 80, -66);
    }
    else
    {
        colors.clrFrame = ::GetSysColor(bFocusOrDefault ? COLOR_3DDKSHADOW : COLOR_BTNSHADOW);
        colors.clrFace = HLSTransform(::GetSysColor(COLOR_3DFACE), 15, 0);
    }
    if (!bEnabled)
        colors.clrText = ::GetSysColor(COLOR_GRAYTEXT);
    else if (bPressed)
        colors.clrText = RGB(240, 240, 240);
    else if (bHover)
        colors.clrText = RGB(0, 0, 0);
    else
        colors.clrText = ::GetSysColor(COLOR_BTNTEXT);
    return colors;
}

void CFlatButtonXP::PreSubclassWindow()
{
    CButton::PreSubclassWindow();
    ModifyStyle(BS_TYPEMASK, BS_OWNERDRAW);
    m_mouseTrack.Init(m_hWnd, CMouseTrack::REDRAW_INVALIDATE);
}

void CFlatButtonXP::OnMouseMove(UINT nFlags, CPoint point)
{
    m_mouseTrack.OnMouseMove(m_hWnd);
    Default();
}

void CFlatButtonXP::OnMouseLeave()
{
    m_mouseTrack.OnMouseLeave(m_hWnd);
    Default();
}

void CFlatButtonXP::DrawItem(LPDRAWITEMSTRUCT lpDIS)
{
    RECT rc = lpDIS->rcItem;
    CBufferDC dc(lpDIS->hDC, rc);
    CFontDC font(dc, DEFAULT_GUI_FONT);
    BOOL bEnabled = !(lpDIS->itemState & ODS_DISABLED);
    BOOL bPressed = (lpDIS->itemState & ODS_SELECTED) != 0;
    BOOL bFocus = (lpDIS->itemState & ODS_FOCUS) != 0;
    BOOL bDefault = FALSE;
    if (CWnd* pParent = GetParent())
    {
        LRESULT lDef = pParent->SendMessage(DM_GETDEFID);
        bDefault = HIWORD(lDef) == DC_HASDEFID && LOWORD(lDef) == GetDlgCtrlID();
    }
    Colors colors = GetColors(bEnabled, bPressed, m_mouseTrack.IsHover(), bFocus || bDefault);
    {
        CPenDC pen(dc, colors.clrFrame);
        CBrushDC brush(dc, colors.clrFace);
        ::Rectangle(dc, rc.left, rc.top, rc.right, rc.bottom);
    }
    CString strText;
    GetWindowText(strText);
    ::SetTextColor(dc, colors.clrText);
    ::SetBkMode(dc, TRANSPARENT);
    RECT rcText = rc;
    ::DrawTextW(dc, strText, strText.GetLength(), &rcText, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    if (bFocus)
    {
        RECT rcFocus = rc;
        ::InflateRect(&rcFocus, -2, -2);
        ::DrawFocusRect(dc, &rcFocus);
    }
}
