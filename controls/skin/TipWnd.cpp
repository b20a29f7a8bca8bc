#include "controls/skin/TipWnd.h"

namespace {
const UINT_PTR TIMER_WATCH = 1;

int TextWidth(HWND hWnd, const CString& strText)
{
    HDC hDC = ::GetDC(hWnd);
    HGDIOBJ hOld = ::SelectObject(hDC, (HFONT)::SendMessageW(hWnd, WM_GETFONT, 0, 0));
    SIZE size = {0, 0};
    ::GetTextExtentPoint32W(hDC, strText, strText.GetLength(), &size);
    ::SelectObject(hDC, hOld);
    ::ReleaseDC(hWnd, hDC);
    return size.cx;
}

// Shows the tip at a client point of the control and watches the cursor.
void ShowTipAt(CWnd& wnd, CClipTip& tip, const CString& strText, CPoint ptClient)
{
    wnd.ClientToScreen(&ptClient);
    tip.Show(strText, ptClient);
    wnd.SetTimer(TIMER_WATCH, 80);
}

CPoint CursorInClient(const CWnd& wnd)
{
    POINT pt;
    ::GetCursorPos(&pt);
    wnd.ScreenToClient(&pt);
    return CPoint(pt.x, pt.y);
}

void EndTip(CWnd& wnd, CClipTip& tip)
{
    wnd.KillTimer(TIMER_WATCH);
    tip.Hide();
}
} // namespace

// ---- CClipTip -----------------------------------------------------------------------

CClipTip::CClipTip() : m_hWnd(NULL), m_bShown(FALSE), m_clrBack(0), m_clrText(0)
{
    ZeroMemory(&m_toolInfo, sizeof(m_toolInfo));
}

CClipTip::~CClipTip()
{
    Destroy();
}

BOOL CClipTip::Create(HWND hOwner, COLORREF clrBack, COLORREF clrText, HFONT hFont)
{
    if (m_hWnd != NULL)
        return TRUE;
    m_hWnd = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, NULL, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, 0, 0,
                               0, 0, hOwner, NULL, NULL, NULL);
    if (m_hWnd == NULL)
        return FALSE;
    // This build's record size: a 32-bit size is refused by a 64-bit control.
    m_toolInfo.cbSize = sizeof(m_toolInfo);
    m_toolInfo.uFlags = TTF_TRACK | TTF_TRANSPARENT | TTF_ABSOLUTE;
    m_toolInfo.hwnd = hOwner;
    m_toolInfo.lpszText = (LPWSTR)L"";
    ::SendMessageW(m_hWnd, TTM_ADDTOOLW, 0, (LPARAM)&m_toolInfo);
    ::SendMessageW(m_hWnd, TTM_SETMAXTIPWIDTH, 0, 32767);
    m_clrBack = clrBack;
    m_clrText = clrText;
    RECT rcMargin = {0, -1, 0, -1};
    ::SendMessageW(m_hWnd, TTM_SETMARGIN, 0, (LPARAM)&rcMargin);
    ::SendMessageW(m_hWnd, WM_SETFONT, (WPARAM)hFont, FALSE);
    ::SetWindowLongW(m_hWnd, GWL_STYLE, ::GetWindowLongW(m_hWnd, GWL_STYLE) & ~WS_BORDER);
    return TRUE;
}

void CClipTip::Destroy()
{
    if (m_hWnd != NULL && ::IsWindow(m_hWnd))
        ::DestroyWindow(m_hWnd);
    m_hWnd = NULL;
    m_bShown = FALSE;
}

void CClipTip::Show(LPCTSTR lpszText, POINT ptScreen)
{
    if (m_hWnd == NULL)
        return;
    m_toolInfo.lpszText = (LPWSTR)lpszText;
    ::SendMessageW(m_hWnd, TTM_UPDATETIPTEXTW, 0, (LPARAM)&m_toolInfo);
    ::SendMessageW(m_hWnd, TTM_SETTIPBKCOLOR, m_clrBack, 0);
    ::SendMessageW(m_hWnd, TTM_SETTIPTEXTCOLOR, m_clrText, 0);
    ::SendMessageW(m_hWnd, TTM_TRACKPOSITION, 0, MAKELPARAM(ptScreen.x, ptScreen.y));
    ::SendMessageW(m_hWnd, TTM_TRACKACTIVATE, TRUE, (LPARAM)&m_toolInfo);
    m_bShown = TRUE;
}

void CClipTip::Hide()
{
    if (m_hWnd != NULL && m_bShown)
        ::SendMessageW(m_hWnd, TTM_TRACKACTIVATE, FALSE, (LPARAM)&m_toolInfo);
    m_bShown = FALSE;
}

// ---- CTipListBox -------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CTipListBox, CListBox)
    ON_WM_MOUSEMOVE()
    ON_WM_TIMER()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CTipListBox::CTipListBox() : m_nItem(-1)
{
}

void CTipListBox::PreSubclassWindow()
{
    CListBox::PreSubclassWindow();
    m_tip.Create(m_hWnd, ::GetSysColor(COLOR_HIGHLIGHT), ::GetSysColor(COLOR_HIGHLIGHTTEXT),
                 (HFONT)SendMessage(WM_GETFONT));
}

void CTipListBox::OnMouseMove(UINT nFlags, CPoint point)
{
    Default();
    CRect rcClient;
    GetClientRect(&rcClient);
    if (!rcClient.PtInRect(point))
    {
        m_nItem = -1;
        m_tip.Hide();
        return;
    }
    BOOL bOutside = FALSE;
    int nItem = (int)ItemFromPoint(point, bOutside);
    if (bOutside)
        nItem = -1;
    if (nItem == m_nItem)
        return;
    m_nItem = nItem;
    if (nItem < 0)
    {
        m_tip.Hide();
        return;
    }
    CString strText;
    GetText(nItem, strText);
    CRect rcItem;
    GetItemRect(nItem, &rcItem);
    if (TextWidth(m_hWnd, strText) <= rcItem.Width() - 3)
    {
        m_tip.Hide();
        return;
    }
    ShowTipAt(*this, m_tip, strText, CPoint(rcItem.left, rcItem.top));
}

void CTipListBox::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != TIMER_WATCH)
    {
        Default();
        return;
    }
    CRect rcClient;
    GetClientRect(&rcClient);
    if (!rcClient.PtInRect(CursorInClient(*this)) || !IsWindowVisible())
    {
        EndTip(*this, m_tip);
        m_nItem = -1;
    }
}

void CTipListBox::OnDestroy()
{
    KillTimer(TIMER_WATCH);
    m_tip.Destroy();
    Default();
}

// ---- CTipWnd ---------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CTipWnd, CComboBox)
    ON_WM_CTLCOLOR()
    ON_WM_MOUSEMOVE()
    ON_WM_TIMER()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CTipWnd::CTipWnd()
{
}

void CTipWnd::PreSubclassWindow()
{
    CComboBox::PreSubclassWindow();
    m_tip.Create(m_hWnd, ::GetSysColor(COLOR_INFOBK), ::GetSysColor(COLOR_INFOTEXT), (HFONT)SendMessage(WM_GETFONT));
}

HBRUSH CTipWnd::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    HBRUSH hBrush = (HBRUSH)Default();
    if (nCtlColor == CTLCOLOR_LISTBOX && m_listBox.m_hWnd == NULL && pWnd != NULL && pWnd->GetSafeHwnd() != NULL)
        m_listBox.SubclassWindow(pWnd->GetSafeHwnd());
    return hBrush;
}

void CTipWnd::GetTextRect(LPRECT lpRect) const
{
    GetClientRect(lpRect);
    lpRect->right -= ::GetSystemMetrics(SM_CXVSCROLL) + 2;
}

BOOL CTipWnd::IsTextClipped() const
{
    CString strText;
    GetWindowText(strText);
    RECT rc;
    GetTextRect(&rc);
    return TextWidth(m_hWnd, strText) > (rc.right - rc.left) - 6;
}

void CTipWnd::OnMouseMove(UINT nFlags, CPoint point)
{
    Default();
    CRect rcText;
    GetTextRect(&rcText);
    if (!rcText.PtInRect(point) || !IsTextClipped())
    {
        m_tip.Hide();
        return;
    }
    CString strText;
    GetWindowText(strText);
    ShowTipAt(*this, m_tip, strText, CPoint(rcText.left + 3, rcText.top + 3));
}

void CTipWnd::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != TIMER_WATCH)
    {
        Default();
        return;
    }
    CRect rcText;
    GetTextRect(&rcText);
    if (!rcText.PtInRect(CursorInClient(*this)))
        EndTip(*this, m_tip);
}

void CTipWnd::OnDestroy()
{
    KillTimer(TIMER_WATCH);
    m_tip.Destroy();
    if (m_listBox.m_hWnd != NULL)
        m_listBox.UnsubclassWindow();
    Default();
}
