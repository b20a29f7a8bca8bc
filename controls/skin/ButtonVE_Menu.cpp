#include "controls/skin/ButtonVE_Menu.h"

BEGIN_MESSAGE_MAP(CButtonVE_Menu, CButtonVE_Image)
    ON_WM_LBUTTONUP()
    ON_WM_KEYDOWN()
    ON_MESSAGE(WM_GETDLGCODE, OnGetDlgCodeMessage)
END_MESSAGE_MAP()

CButtonVE_Menu::CButtonVE_Menu() : m_bMenuShown(FALSE), m_nLastCommand(0)
{
}

CButtonVE_Menu::~CButtonVE_Menu()
{
}

void CButtonVE_Menu::AddMenuItem(LPCTSTR lpszText, UINT nCommand)
{
    m_items.push_back(MenuItem{CString(lpszText), nCommand});
}

void CButtonVE_Menu::RemoveAllMenuItems()
{
    m_items.clear();
}

UINT CButtonVE_Menu::ShowMenu()
{
    m_nLastCommand = 0;
    if (m_hWnd == NULL || m_items.empty() || m_bMenuShown)
        return 0;
    HMENU hMenu = ::CreatePopupMenu();
    if (hMenu == NULL)
        return 0;
    for (const MenuItem& item : m_items)
        ::AppendMenuW(hMenu, MF_STRING, item.nCommand, item.strText);
    CRect rc;
    GetWindowRect(&rc);
    // Drawn pressed while the menu is up.
    m_bMenuShown = TRUE;
    SendMessage(BM_SETSTATE, TRUE);
    UpdateWindow();
    UINT nCommand = TrackMenu(hMenu, CPoint(rc.left, rc.bottom));
    ::DestroyMenu(hMenu);
    m_bMenuShown = FALSE;
    if (m_hWnd == NULL)
        return 0;  // the button went while the menu was up
    SendMessage(BM_SETSTATE, FALSE);
    Repaint();
    m_nLastCommand = nCommand;
    if (nCommand != 0)
    {
        HWND hTarget = m_hNotifyWnd != NULL ? m_hNotifyWnd : ::GetParent(m_hWnd);
        // Posted: the command runs after the menu and the click are done.
        if (hTarget != NULL)
            ::PostMessageW(hTarget, WM_COMMAND, MAKEWPARAM(nCommand, 0), 0);
    }
    return nCommand;
}

UINT CButtonVE_Menu::TrackMenu(HMENU hMenu, CPoint ptScreen)
{
    return (UINT)::TrackPopupMenuEx(hMenu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON | TPM_RIGHTBUTTON | TPM_RETURNCMD,
                                    ptScreen.x, ptScreen.y, m_hWnd, NULL);
}

void CButtonVE_Menu::OnLButtonUp(UINT, CPoint)
{
    // A release over the pushed button opens the menu in place of the click:
    // the parent gets the chosen item's command, not the button's.
    BOOL bPushed = (GetState() & BST_PUSHED) != 0;
    SendMessage(BM_SETSTATE, FALSE);
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    if (bPushed)
        ShowMenu();
}

void CButtonVE_Menu::OnKeyDown(UINT nChar, UINT, UINT)
{
    if (nChar == VK_SPACE || nChar == VK_RETURN)
    {
        // The character the key made waits in the queue: the menu would take
        // it as a choice of nothing and close at once.
        MSG msg;
        while (::PeekMessageW(&msg, m_hWnd, WM_CHAR, WM_CHAR, PM_NOREMOVE) &&
               (msg.wParam == L'\r' || msg.wParam == L' '))
            ::PeekMessageW(&msg, m_hWnd, WM_CHAR, WM_CHAR, PM_REMOVE);
        ShowMenu();
        return;
    }
    Default();
}

LRESULT CButtonVE_Menu::OnGetDlgCodeMessage(WPARAM, LPARAM lParam)
{
    // Enter comes to the button instead of the dialog's default button.
    LRESULT lCode = DLGC_BUTTON | DLGC_UNDEFPUSHBUTTON;
    const MSG* pMsg = (const MSG*)lParam;
    if (pMsg != NULL && pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_RETURN)
        lCode |= DLGC_WANTMESSAGE;
    return lCode;
}

void CButtonVE_Menu::DrawContent(CDC* pDC, HTHEME hTheme, UINT nUIState, const CRect& rcClient,
                                 const CRect& rcContent, CRect rcText, UINT nFlags, BOOL bEnabled)
{
    CRect rcArrow(rcText.right - ARROW_ZONE, rcText.top, rcText.right, rcText.bottom);
    rcText.right -= ARROW_ZONE;
    CButtonVE_Image::DrawContent(pDC, hTheme, nUIState, rcClient, rcContent, rcText, nFlags, bEnabled);
    // A small downward triangle, 7 pixels wide, centred in the arrow zone.
    COLORREF crArrow = ::GetSysColor(bEnabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT);
    int x = rcArrow.left + (rcArrow.Width() - 7) / 2;
    int y = rcArrow.top + (rcArrow.Height() - 4) / 2;
    for (int i = 0; i < 4; i++)
        pDC->FillSolidRect(x + i, y + i, 7 - 2 * i, 1, crArrow);
}
