#include "framework/ControlBar.h"
#include "framework/CommonControls.h"
#include <vector>

CControlBar::CControlBar()
    : m_pDockSite(NULL), m_cxLeftBorder(6), m_cyTopBorder(2), m_cxRightBorder(0), m_cyBottomBorder(2)
{
}

void CControlBar::SetBorders(int cxLeft, int cyTop, int cxRight, int cyBottom)
{
    m_cxLeftBorder = cxLeft;
    m_cyTopBorder = cyTop;
    m_cxRightBorder = cxRight;
    m_cyBottomBorder = cyBottom;
}

// ---- CToolBar -------------------------------------------------------------------

BOOL CToolBar::CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle, DWORD dwStyle, UINT nID)
{
    AfxInitCommonControls(ICC_BAR_CLASSES);
    if (!CWnd::CreateEx(0, TOOLBARCLASSNAME, NULL, dwStyle | dwCtrlStyle, 0, 0, 0, 0,
                        pParentWnd != NULL ? pParentWnd->GetSafeHwnd() : NULL, (HMENU)(UINT_PTR)nID))
        return FALSE;
    SendMessage(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
    return TRUE;
}

BOOL CToolBar::LoadBitmap(UINT nIDResource, int cxImage, int cyImage)
{
    SendMessage(TB_SETBITMAPSIZE, 0, MAKELONG(cxImage, cyImage));
    HBITMAP hBitmap = ::LoadBitmapW(AfxGetResourceHandle(), MAKEINTRESOURCEW(nIDResource));
    if (hBitmap == NULL)
        return FALSE;
    BITMAP bm = {};
    ::GetObjectW(hBitmap, sizeof(bm), &bm);
    ::DeleteObject(hBitmap);
    TBADDBITMAP ab = {AfxGetResourceHandle(), nIDResource};
    return SendMessage(TB_ADDBITMAP, (WPARAM)(bm.bmWidth / (cxImage > 0 ? cxImage : 16)), (LPARAM)&ab) != -1;
}

BOOL CToolBar::SetButtons(const UINT* lpIDArray, int nIDCount)
{
    while (SendMessage(TB_BUTTONCOUNT) > 0)
        SendMessage(TB_DELETEBUTTON, 0);
    std::vector<TBBUTTON> buttons;
    int nImage = 0;
    for (int i = 0; i < nIDCount && lpIDArray != NULL; i++)
    {
        TBBUTTON button = {};
        button.idCommand = (int)lpIDArray[i];
        button.fsState = TBSTATE_ENABLED;
        if (lpIDArray[i] == 0)
            button.fsStyle = BTNS_SEP;
        else
        {
            button.fsStyle = BTNS_BUTTON;
            button.iBitmap = nImage++;
        }
        buttons.push_back(button);
    }
    if (buttons.empty())
        return TRUE;
    BOOL bResult = (BOOL)SendMessage(TB_ADDBUTTONSW, buttons.size(), (LPARAM)buttons.data());
    SendMessage(TB_AUTOSIZE);
    return bResult;
}

int CToolBar::CommandToIndex(UINT nIDFind) const
{
    return (int)SendMessage(TB_COMMANDTOINDEX, nIDFind);
}

void CToolBar::GetItemRect(int nIndex, LPRECT lpRect) const
{
    ::SetRectEmpty(lpRect);
    SendMessage(TB_GETITEMRECT, (WPARAM)nIndex, (LPARAM)lpRect);
}

UINT CToolBar::GetButtonStyle(int nIndex) const
{
    TBBUTTON button = {};
    if (!SendMessage(TB_GETBUTTON, (WPARAM)nIndex, (LPARAM)&button))
        return 0;
    return MAKELONG(button.fsStyle, button.fsState);
}

void CToolBar::SetButtonStyle(int nIndex, UINT nStyle)
{
    TBBUTTON button = {};
    if (!SendMessage(TB_GETBUTTON, (WPARAM)nIndex, (LPARAM)&button))
        return;
    TBBUTTONINFOW info = {};
    info.cbSize = sizeof(info);
    info.dwMask = TBIF_STYLE | TBIF_STATE | TBIF_BYINDEX;
    info.fsStyle = (BYTE)nStyle;
    info.fsState = (BYTE)HIWORD(nStyle);
    SendMessage(TB_SETBUTTONINFOW, (WPARAM)nIndex, (LPARAM)&info);
}

int CToolBar::GetCount() const
{
    return (int)SendMessage(TB_BUTTONCOUNT);
}

// ---- CStatusBar ------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CStatusBar, CControlBar)
    ON_WM_SIZE()
END_MESSAGE_MAP()

CStatusBar::CStatusBar() : m_nCount(0)
{
}

BOOL CStatusBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID)
{
    AfxInitCommonControls(ICC_BAR_CLASSES);
    m_nCount = 0;
    return CWnd::CreateEx(0, STATUSCLASSNAMEW, NULL, dwStyle, 0, 0, 0, 0,
                          pParentWnd != NULL ? pParentWnd->GetSafeHwnd() : NULL, (HMENU)(UINT_PTR)nID);
}

BOOL CStatusBar::SetIndicators(const UINT* lpIDArray, int nIDCount)
{
    m_nCount = lpIDArray != NULL && nIDCount > 0 ? nIDCount : 0;
    LayoutPanes();
    for (int i = 0; i < m_nCount; i++)
    {
        CString strText;
        if (lpIDArray[i] != 0)
            strText.LoadString(lpIDArray[i]);
        SetPaneText(i, strText);
    }
    return TRUE;
}

void CStatusBar::LayoutPanes()
{
    if (m_hWnd == NULL || m_nCount <= 0)
        return;
    CRect rc;
    GetClientRect(&rc);
    // Right ends: the last pane reaches the bar's end.
    std::vector<int> edges(m_nCount);
    for (int i = 0; i < m_nCount; i++)
        edges[i] = i == m_nCount - 1 ? -1 : rc.right - 100 * (m_nCount - 1 - i);
    SendMessage(SB_SETPARTS, (WPARAM)m_nCount, (LPARAM)edges.data());
}

void CStatusBar::OnSize(UINT nType, int cx, int cy)
{
    Default();
    LayoutPanes();
}

BOOL CStatusBar::SetPaneText(int nIndex, LPCTSTR lpszNewText)
{
    return (BOOL)SendMessage(SB_SETTEXTW, (WPARAM)nIndex, (LPARAM)(lpszNewText != NULL ? lpszNewText : L""));
}

void CStatusBar::GetItemRect(int nIndex, LPRECT lpRect) const
{
    ::SetRectEmpty(lpRect);
    SendMessage(SB_GETRECT, (WPARAM)nIndex, (LPARAM)lpRect);
}

int CStatusBar::GetCount() const
{
    return m_nCount;
}
