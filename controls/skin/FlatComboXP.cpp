#include "controls/skin/FlatComboXP.h"

// ---- The edit part ----------------------------------------------------------------

LRESULT CFlatComboEditXP::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT lResult = CEdit::WindowProc(message, wParam, lParam);
    if (m_pCombo != NULL && (message == WM_MOUSEMOVE || message == WM_MOUSELEAVE || message == WM_SETFOCUS ||
                             message == WM_KILLFOCUS))
        m_pCombo->OnEditMouse(message);
    return lResult;
}

// ---- The drop-down button -------------------------------------------------------------

void CDropDownButtonXP::Draw(HDC hDC)
{
    COLORREF clrFace, clrFrame;
    if (m_nState & STATE_PRESSED)
    {
        clrFace = HLSTransform(::GetSysColor(COLOR_HIGHLIGHT), 50, -50);
        clrFrame = ::GetSysColor(COLOR_HIGHLIGHT);
    }
    else if (m_nState & STATE_HOT)
    {
        clrFace = HLSTransform(::GetSysColor(COLOR_HIGHLIGHT), 80, -66);
        clrFrame = ::GetSysColor(COLOR_HIGHLIGHT);
    }
    else
    {
        clrFace = HLSTransform(::GetSysColor(COLOR_3DFACE), 15, 0);
        clrFrame = clrFace;
    }
    {
        CPenDC pen(hDC, clrFrame);
        CBrushDC brush(hDC, clrFace);
        ::Rectangle(hDC, m_rc.left, m_rc.top, m_rc.right, m_rc.bottom);
    }
    // Four lines, each two pixels shorter than the one above.
    CPenDC pen(hDC, ::GetSysColor((m_nState & STATE_DISABLED) ? COLOR_GRAYTEXT : COLOR_BTNTEXT));
    int x = (m_rc.left + m_rc.right) / 2 - 3, y = (m_rc.top + m_rc.bottom) / 2 - 1;
    for (int i = 0; i < 4; i++)
    {
        ::MoveToEx(hDC, x + i, y + i, NULL);
        ::LineTo(hDC, x + 7 - i, y + i);
    }
}

// ---- CFlatComboXP -------------------------------------------------------------------------

CFlatComboXP::CFlatComboXP() : m_nVisibleItems(7), m_nEditHeight(-1), m_nKeptHeight(-1), m_bSized(FALSE)
{
}

void CFlatComboXP::PreSubclassWindow()
{
    CComboBox::PreSubclassWindow();
    SendMessage(WM_SETFONT, (WPARAM)::GetStockObject(DEFAULT_GUI_FONT), TRUE);
    m_mouseTrack.Init(m_hWnd, CMouseTrack::REDRAW_INVALIDATE);
    HWND hEdit = ::GetWindow(m_hWnd, GW_CHILD);
    WCHAR szClass[16] = L"";
    if (hEdit != NULL && ::GetClassNameW(hEdit, szClass, 16) && lstrcmpiW(szClass, L"Edit") == 0 &&
        m_edit.SubclassWindow(hEdit))
        m_edit.m_pCombo = this;
    // Our own sizing is no request for the field's height: the owner's next one is.
    CRect rc;
    GetWindowRect(&rc);
    m_bSized = TRUE;
    SetWindowPos(NULL, 0, 0, rc.Width(), 100, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    m_bSized = FALSE;
}

void CFlatComboXP::OnEditMouse(UINT message)
{
    if (message == WM_MOUSEMOVE)
        m_mouseTrack.OnMouseMove(m_edit.m_hWnd);
    else if (message == WM_MOUSELEAVE)
        m_mouseTrack.OnMouseLeave(m_edit.m_hWnd);
    Invalidate(FALSE);
}

LRESULT CFlatComboXP::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message)
    {
    case WM_WINDOWPOSCHANGING:
    {
        WINDOWPOS* pPos = (WINDOWPOS*)lParam;
        if (!m_bSized && !(pPos->flags & SWP_NOSIZE))
        {
            // The first sizing asks for the field; the list takes seven items.
            m_bSized = TRUE;
            m_nKeptHeight = pPos->cy;
            int nField = (int)SendMessage(CB_GETITEMHEIGHT, (WPARAM)-1);
            int nItem = (int)SendMessage(CB_GETITEMHEIGHT, 0);
            pPos->cy = nField + m_nVisibleItems * nItem + m_nVisibleItems * ::GetSystemMetrics(SM_CYBORDER);
        }
        break;
    }
    case WM_WINDOWPOSCHANGED:
    {
        LRESULT lResult = CComboBox::WindowProc(message, wParam, lParam);
        if (m_nKeptHeight > 6)
        {
            m_nEditHeight = m_nKeptHeight - 6;
            SendMessage(CB_SETITEMHEIGHT, (WPARAM)-1, m_nEditHeight);
        }
        m_nKeptHeight = -1;
        if (m_edit.m_hWnd != NULL && CWnd::GetFocus() != &m_edit)
            m_edit.SetSel(-1, 0);
        return lResult;
    }
    case WM_GETDLGCODE:
    {
        LRESULT lResult = CComboBox::WindowProc(message, wParam, lParam);
        if (::GetKeyState(VK_RETURN) < 0)
            lResult |= DLGC_WANTALLKEYS;
        return lResult;
    }
    case WM_MOUSEMOVE:
        m_mouseTrack.OnMouseMove(m_hWnd);
        break;
    case WM_MOUSELEAVE:
        m_mouseTrack.OnMouseLeave(m_hWnd);
        break;
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
        Invalidate(FALSE);
        break;
    case WM_PAINT:
    {
        LRESULT lResult = CComboBox::WindowProc(message, wParam, lParam);
        DrawFrame();
        return lResult;
    }
    default:
        break;
    }
    return CComboBox::WindowProc(message, wParam, lParam);
}

void CFlatComboXP::DrawFrame()
{
    RECT rc;
    ::GetClientRect(m_hWnd, &rc);
    HDC hDC = ::GetDC(m_hWnd);
    if (hDC == NULL)
        return;
    BOOL bHot = m_mouseTrack.IsHover() || ::GetFocus() == m_hWnd || ::GetFocus() == m_edit.m_hWnd;
    BOOL bEnabled = IsWindowEnabled();
    COLORREF clrFrame = bHot && bEnabled ? ::GetSysColor(COLOR_HIGHLIGHT) : ::GetSysColor(COLOR_BTNSHADOW);
    {
        // Replace the sunken 3-D border with a flat one.
        CPenDC pen(hDC, ::GetSysColor(bEnabled ? COLOR_WINDOW : COLOR_BTNFACE));
        CBrushDC brush(hDC, (COLORREF)-1);
        ::Rectangle(hDC, rc.left + 1, rc.top + 1, rc.right - 1, rc.bottom - 1);
        pen.Color(clrFrame);
        ::Rectangle(hDC, rc.left, rc.top, rc.right, rc.bottom);
    }
    CDropDownButtonXP button;
    int cx = ::GetSystemMetrics(SM_CXVSCROLL);
    ::SetRect(&button.m_rc, rc.right - cx - 1, rc.top + 1, rc.right - 1, rc.bottom - 1);
    if (!bEnabled)
        button.m_nState |= CDropDownButtonXP::STATE_DISABLED;
    else if (SendMessage(CB_GETDROPPEDSTATE))
        button.m_nState |= CDropDownButtonXP::STATE_PRESSED;
    else if (bHot)
        button.m_nState |= CDropDownButtonXP::STATE_HOT;
    button.Draw(hDC);
    ::ReleaseDC(m_hWnd, hDC);
}
