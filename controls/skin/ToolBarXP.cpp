#include "controls/skin/ToolBarXP.h"
#include "controls/skin/DrawHelpersXP.h"

BEGIN_MESSAGE_MAP(CToolBarXP, CToolBar)
    ON_NOTIFY_REFLECT(NM_CUSTOMDRAW, OnCustomDraw)
    ON_NOTIFY_REFLECT(TBN_DROPDOWN, OnDropDown)
END_MESSAGE_MAP()

CToolBarXP::CToolBarXP() : m_nDropDownState(0)
{
}

CToolBarXP::~CToolBarXP()
{
}

BOOL CToolBarXP::CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle, DWORD dwStyle, UINT nID)
{
    if (!CToolBar::CreateEx(pParentWnd, dwCtrlStyle, dwStyle, nID))
        return FALSE;
    SetBorders(1, 3, 6, 4);
    SendMessage(TB_SETEXTENDEDSTYLE, 0, TBSTYLE_EX_DRAWDDARROWS);
    return TRUE;
}

BOOL CToolBarXP::SetButtons(const UINT* lpIDArray, int nIDCount)
{
    if (!CToolBar::SetButtons(lpIDArray, nIDCount))
        return FALSE;
    // Buttons with a menu get their arrow; every button sizes to its image.
    for (int i = 0; i < GetCount(); i++)
    {
        TBBUTTON button = {};
        SendMessage(TB_GETBUTTON, (WPARAM)i, (LPARAM)&button);
        if (button.fsStyle & BTNS_SEP)
            continue;
        UINT nStyle = GetButtonStyle(i) | BTNS_AUTOSIZE;
        if (m_menus.count((UINT)button.idCommand))
            nStyle |= BTNS_DROPDOWN;
        SetButtonStyle(i, nStyle);
    }
    SendMessage(TB_AUTOSIZE);
    return TRUE;
}

void CToolBarXP::SetDropDownMenu(UINT nID, HMENU hMenu)
{
    if (hMenu != NULL)
        m_menus[nID] = hMenu;
    else
        m_menus.erase(nID);
    int nIndex = CommandToIndex(nID);
    if (nIndex >= 0)
    {
        UINT nStyle = GetButtonStyle(nIndex);
        SetButtonStyle(nIndex, hMenu != NULL ? (nStyle | BTNS_DROPDOWN) : (nStyle & ~BTNS_DROPDOWN));
    }
}

void CToolBarXP::OnCustomDraw(NMHDR* pNMHDR, LRESULT* pResult)
{
    NMTBCUSTOMDRAW* pDraw = reinterpret_cast<NMTBCUSTOMDRAW*>(pNMHDR);
    switch (pDraw->nmcd.dwDrawStage)
    {
    case CDDS_PREPAINT:
        *pResult = CDRF_NOTIFYITEMDRAW;
        return;
    case CDDS_ITEMPREPAINT:
    {
        UINT nState = pDraw->nmcd.uItemState;
        BOOL bPressed = (nState & (CDIS_SELECTED | CDIS_CHECKED)) != 0;
        BOOL bHot = (nState & CDIS_HOT) != 0;
        if ((bPressed || bHot) && !(nState & CDIS_DISABLED))
        {
            HDC hDC = pDraw->nmcd.hdc;
            RECT rc = pDraw->nmcd.rc;
            CPenDC pen(hDC, ::GetSysColor(COLOR_HIGHLIGHT));
            CBrushDC brush(hDC, bPressed ? HLSTransform(::GetSysColor(COLOR_HIGHLIGHT), 50, -50)
                                         : HLSTransform(::GetSysColor(COLOR_HIGHLIGHT), 80, -66));
            ::Rectangle(hDC, rc.left, rc.top, rc.right, rc.bottom);
        }
        // Our face replaces the raised or sunken edges.
        *pResult = TBCDRF_NOEDGES | TBCDRF_NOOFFSET | TBCDRF_NOETCHEDEFFECT;
        return;
    }
    default:
        *pResult = CDRF_DODEFAULT;
        return;
    }
}

void CToolBarXP::OnDropDown(NMHDR* pNMHDR, LRESULT* pResult)
{
    NMTOOLBARW* pInfo = reinterpret_cast<NMTOOLBARW*>(pNMHDR);
    *pResult = TBDDRET_DEFAULT;
    auto it = m_menus.find((UINT)pInfo->iItem);
    if (it == m_menus.end() || !::IsMenu(it->second))
    {
        *pResult = TBDDRET_NODEFAULT;
        return;
    }
    int nIndex = CommandToIndex((UINT)pInfo->iItem);
    RECT rc;
    GetItemRect(nIndex, &rc);
    ClientToScreen(&rc);
    // The button stays pressed while its menu is open.
    m_nDropDownState = 1;
    SendMessage(TB_PRESSBUTTON, (WPARAM)pInfo->iItem, TRUE);
    TPMPARAMS params = {sizeof(params), rc};
    ::TrackPopupMenuEx(it->second, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_VERTICAL, rc.left, rc.bottom,
                       GetParent() != NULL ? GetParent()->GetSafeHwnd() : m_hWnd, &params);
    SendMessage(TB_PRESSBUTTON, (WPARAM)pInfo->iItem, FALSE);
    m_nDropDownState = 2;
}
