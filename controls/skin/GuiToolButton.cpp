#include "controls/skin/GuiToolButton.h"
#include "controls/skin/GradientPainter.h"
#include "controls/skin/XPColors.h"
#include "framework/Dc.h"

namespace {

const UINT_PTR kHoverTimer = 1;

// One caption font for every button: made once, not per measure or paint.
CFont& CaptionFont()
{
    static CFont s_font;
    if (s_font.GetSafeHandle() == NULL)
        s_font.CreateFont(14, 0, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, FF_SWISS, L"Verdana");
    return s_font;
}

COLORREF ShiftColor(COLORREF clr, int nDelta)
{
    return RGB((GetRValue(clr) + nDelta) & 0xFF, (GetGValue(clr) + nDelta) & 0xFF, (GetBValue(clr) + nDelta) & 0xFF);
}

}  // namespace

BEGIN_MESSAGE_MAP(CGuiToolButton, CButton)
    ON_WM_ERASEBKGND()
    ON_WM_LBUTTONUP()
    ON_WM_MOUSEMOVE()
    ON_WM_TIMER()
END_MESSAGE_MAP()

CGuiToolButton::CGuiToolButton()
    : m_dwStyle(XP_STYLE_GRADIENT), m_bTransparent(TRUE), m_bToolTipSet(FALSE), m_bToolTipActive(FALSE), m_hIcon(NULL), m_sizeIcon(0, 0), m_sizeText(0, 0),
      m_bHot(FALSE), m_bResizePermitted(TRUE), m_sizeButton(0, 0), m_bShadow(TRUE), m_bCenterIcon(FALSE),
      m_clrText(RGB(0, 0, 0)), m_bFrame(FALSE), m_hMenu(NULL)
{
}

CGuiToolButton::~CGuiToolButton()
{
}

void CGuiToolButton::PreSubclassWindow()
{
    CButton::PreSubclassWindow();
    ModifyStyle(0, BS_OWNERDRAW);
}

BOOL CGuiToolButton::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message == WM_MOUSEMOVE)
    {
        CreateToolTip();
        if (m_toolTip.GetSafeHwnd() != NULL)
            m_toolTip.RelayEvent(pMsg);
    }
    return CButton::PreTranslateMessage(pMsg);
}

void CGuiToolButton::SetStyle(DWORD dwStyle, BOOL bTransparent)
{
    m_dwStyle = dwStyle;
    m_bTransparent = bTransparent;
    if (::IsWindow(m_hWnd))
        Invalidate();
}

void CGuiToolButton::SetCaption(const CString& strCaption)
{
    m_strCaption = strCaption;
    if (!::IsWindow(m_hWnd))
        return;
    CClientDC dc(this);
    CFont* pOldFont = dc.SelectObject(&CaptionFont());
    CSize size = dc.GetTextExtent(m_strCaption);
    dc.SelectObject(pOldFont);
    m_sizeText = CSize(size.cx - 7, size.cy);
    RecalSize();
}

void CGuiToolButton::SetIcon(HICON hIcon)
{
    m_hIcon = hIcon;
    m_sizeIcon = CSize(0, 0);
    ICONINFO info = {};
    if (hIcon != NULL && ::GetIconInfo(hIcon, &info))
    {
        m_sizeIcon = CSize((int)((info.xHotspot * 2) & 0xFF), (int)((info.yHotspot * 2) & 0xFF));
        if (info.hbmMask != NULL)
            ::DeleteObject(info.hbmMask);
        if (info.hbmColor != NULL)
            ::DeleteObject(info.hbmColor);
    }
    RecalSize();
}

void CGuiToolButton::SetToolTip(LPCTSTR lpszToolTip)
{
    if (!::IsWindow(m_hWnd))
        return;
    m_strToolTip = lpszToolTip != NULL ? lpszToolTip : L"";
    m_bToolTipActive = lpszToolTip != NULL;
    m_bToolTipSet = TRUE;
    if (m_toolTip.GetSafeHwnd() == NULL)
        return;
    m_toolTip.UpdateTipText(m_strToolTip, this);
    m_toolTip.Activate(m_bToolTipActive);
}

void CGuiToolButton::CreateToolTip()
{
    if (!m_bToolTipSet || m_toolTip.GetSafeHwnd() != NULL || !::IsWindow(m_hWnd))
        return;
    if (!m_toolTip.Create(this, TTS_ALWAYSTIP))
        return;
    m_toolTip.AddTool(this, m_strToolTip);
    m_toolTip.Activate(m_bToolTipActive);
}

CToolTipCtrl& CGuiToolButton::GetToolTip()
{
    CreateToolTip();
    return m_toolTip;
}

CSize CGuiToolButton::GetSizeButton()
{
    m_bResizePermitted = FALSE;
    RecalSize();
    m_bResizePermitted = TRUE;
    return m_sizeButton;
}

int CGuiToolButton::GetTextLeft() const
{
    // Beside the icon, which stands ICON_LEFT pixels in.
    return m_bCenterIcon ? m_sizeIcon.cx : ICON_LEFT + m_sizeIcon.cx + TEXT_GAP;
}

void CGuiToolButton::RecalSize()
{
    if (!::IsWindow(m_hWnd))
        return;
    CRect rect;
    GetClientRect(&rect);
    int nHeight = m_sizeIcon.cy;
    if (m_sizeText.cy > nHeight)
        nHeight = m_sizeText.cy;
    if (rect.Height() > nHeight)
        nHeight = rect.Height();
    m_sizeButton = CSize(GetTextLeft() + m_sizeText.cx + 7 + TEXT_RIGHT_MARGIN, nHeight);
    if (m_bResizePermitted)
        SetWindowPos(NULL, 0, 0, m_sizeButton.cx, m_sizeButton.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL CGuiToolButton::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

void CGuiToolButton::DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    CDC* pDC = CDC::FromHandle(lpDrawItemStruct->hDC);
    CRect rect(lpDrawItemStruct->rcItem);
    UINT nState = lpDrawItemStruct->itemState;
    BOOL bPressed = (nState & ODS_SELECTED) != 0;
    BOOL bDisabled = (nState & ODS_DISABLED) != 0;

    // The bar's background shows through unless the button has its own face.
    if (m_dwStyle == XP_STYLE_GRADIENT && !m_bTransparent)
    {
        COLORREF clrBase = ShiftColor(GetXPButtonBackColor(), 10);
        GradientPainter painter(CSize(rect.Width(), rect.Height() + 1));
        painter.VerticalGradient(pDC, GetRValue(clrBase) - 30, GetGValue(clrBase) - 30, GetBValue(clrBase) - 30,
                                 GetRValue(clrBase), GetGValue(clrBase), GetBValue(clrBase));
        painter.Blit(pDC, rect.left, rect.top, 0, 0, rect.Width(), rect.Height(), SRCCOPY);
    }

    CRect rcFrame(rect);
    if (m_bHot || bPressed)
    {
        CBrush brush(GetXPHighlightColor());
        pDC->FrameRect(&rcFrame, &brush);
        rcFrame.DeflateRect(1, 1);
    }
    else if (m_bCenterIcon || m_bFrame)
    {
        CBrush brush(::GetSysColor(COLOR_BTNSHADOW));
        pDC->FrameRect(&rcFrame, &brush);
    }

    if (m_sizeIcon.cx > 2 && m_hIcon != NULL)
    {
        int y = rect.top + (rect.Height() - m_sizeIcon.cy) / 2 + (m_bShadow ? 1 : 0);
        int x = rect.left + (m_bCenterIcon ? rect.Width() / 2 : ICON_LEFT);
        if (m_bHot && !bDisabled && !bPressed && m_bShadow)
        {
            CBrush brushShadow(::GetSysColor(COLOR_BTNSHADOW));
            pDC->DrawState(CPoint(x + 1, y + 1), m_sizeIcon, m_hIcon, DSS_MONO, &brushShadow);
            pDC->DrawState(CPoint(x - 1, y - 1), m_sizeIcon, m_hIcon, DSS_NORMAL, (HBRUSH)NULL);
        }
        else
        {
            pDC->DrawState(CPoint(x, y), m_sizeIcon, m_hIcon,
                           nState == ODS_DISABLED ? DSS_DISABLED : DSS_NORMAL, (HBRUSH)NULL);
        }
    }

    if (m_sizeText.cx > 2)
    {
        CFont* pOldFont = pDC->SelectObject(&CaptionFont());
        int nOldMode = pDC->SetBkMode(TRANSPARENT);
        CRect rcText(rect);
        rcText.left += GetTextLeft();
        if (!bDisabled)
        {
            COLORREF clrOld = pDC->GetTextColor();
            if (!m_bHot)
                pDC->SetTextColor(m_clrText);
            pDC->DrawText(m_strCaption, &rcText, DT_SINGLELINE | DT_VCENTER);
            pDC->SetTextColor(clrOld);
        }
        else
        {
            CSize size = pDC->GetTextExtent(m_strCaption);
            CPoint pt(rcText.left, rcText.top + (rcText.Height() - size.cy) / 2);
            pDC->DrawState(pt, size, m_strCaption, DSS_DISABLED, TRUE, 0, (HBRUSH)NULL);
        }
        pDC->SetBkMode(nOldMode);
        pDC->SelectObject(pOldFont);
    }
}

void CGuiToolButton::RepaintInParent()
{
    CWnd* pParent = GetParent();
    if (pParent != NULL)
    {
        CRect rect;
        GetWindowRect(&rect);
        pParent->ScreenToClient(&rect);
        pParent->InvalidateRect(&rect, TRUE);
        pParent->UpdateWindow();
    }
    Invalidate();
    UpdateWindow();
}

void CGuiToolButton::OnMouseMove(UINT nFlags, CPoint point)
{
    if (m_bHot)
        return;
    CWnd* pTop = GetTopLevelParent();
    if (pTop == NULL || ::GetActiveWindow() != pTop->m_hWnd || !pTop->IsWindowEnabled())
        return;
    CRect rect;
    GetClientRect(&rect);
    if (rect.PtInRect(point))
    {
        m_bHot = TRUE;
        SetTimer(kHoverTimer, 50);
        Invalidate();
    }
    CButton::OnMouseMove(nFlags, point);
}

void CGuiToolButton::OnTimer(UINT_PTR nIDEvent)
{
    if (!m_bHot)
        return;
    DWORD dwPos = ::GetMessagePos();
    CPoint pt((short)LOWORD(dwPos), (short)HIWORD(dwPos));
    ScreenToClient(&pt);
    CRect rect;
    GetClientRect(&rect);
    if (!rect.PtInRect(pt))
    {
        m_bHot = FALSE;
        KillTimer(kHoverTimer);
        RepaintInParent();
    }
    CButton::OnTimer(nIDEvent);
}

void CGuiToolButton::OnLButtonUp(UINT nFlags, CPoint point)
{
    RepaintInParent();
    CButton::OnLButtonUp(nFlags, point);
}

void CGuiToolButton::ShowMenu()
{
    if (m_hMenu == NULL)
        return;
    CRect rect;
    GetWindowRect(&rect);
    int nCommand = ::TrackPopupMenu(m_hMenu, TPM_NONOTIFY | TPM_RETURNCMD, rect.left, rect.bottom, 0, m_hWnd, NULL);
    if (nCommand != 0 && GetParent() != NULL)
        GetParent()->SendMessage(WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), 0), (LPARAM)m_hWnd);
    Invalidate();
    ReleaseCapture();
}
