// Mouse and keyboard of the check-box list: a box toggles once per click
// that both presses and releases on it; the header box sets the column.
#include "controls/lists/XListCtrl.h"
#include "controls/lists/XCheckBox.h"

BOOL CXListCtrl::HitCell(CPoint point, int& nItem, int& nSubItem) const
{
    nItem = nSubItem = -1;
    if (m_hWnd == NULL)
        return FALSE;
    LVHITTESTINFO info = {};
    info.pt = point;
    const_cast<CXListCtrl*>(this)->DefWindowProc(LVM_SUBITEMHITTEST, 0, (LPARAM)&info);
    if (info.iItem < 0 || info.iSubItem < 0 || info.iSubItem >= m_nColumns || !(info.flags & LVHT_ONITEM))
        return FALSE;
    nItem = info.iItem;
    nSubItem = info.iSubItem;
    return TRUE;
}

BOOL CXListCtrl::HitBox(CPoint point, int& nItem, int& nSubItem) const
{
    return HitCell(point, nItem, nSubItem) && GetCheckboxRect(nItem, nSubItem).PtInRect(point);
}

void CXListCtrl::ClearPressed()
{
    if (m_nPressedItem >= 0)
    {
        CXListCellData* pCell = Cell(m_nPressedItem, m_nPressedSubItem);
        if (pCell != NULL && pCell->m_pCheckbox != NULL)
            pCell->m_pCheckbox->SetPressed(FALSE);
        InvalidateCell(m_nPressedItem, m_nPressedSubItem);
    }
    m_nPressedItem = m_nPressedSubItem = -1;
}

void CXListCtrl::ClearHot()
{
    if (m_nHotItem >= 0)
    {
        CXListCellData* pCell = Cell(m_nHotItem, m_nHotSubItem);
        if (pCell != NULL && pCell->m_pCheckbox != NULL)
            pCell->m_pCheckbox->SetHot(FALSE);
        InvalidateCell(m_nHotItem, m_nHotSubItem);
    }
    m_nHotItem = m_nHotSubItem = -1;
}

void CXListCtrl::NotifyParent(int nItem, int nSubItem)
{
    HWND hTarget = ::GetParent(m_hWnd);
    if (hTarget == NULL)
        hTarget = ::GetWindow(m_hWnd, GW_OWNER);
    if (hTarget != NULL && ::IsWindow(hTarget))
        ::SendMessageW(hTarget, WM_XLISTCTRL_CHECKBOX_CLICKED, (WPARAM)(INT_PTR)nItem,
                       MAKELPARAM(nSubItem, ::GetDlgCtrlID(m_hWnd)));
}

void CXListCtrl::ToggleBox(int nItem, int nSubItem)
{
    CXListCellData* pCell = Cell(nItem, nSubItem);
    if (pCell == NULL || pCell->m_pCheckbox == NULL || !pCell->m_pCheckbox->GetEnabled())
        return;
    CXCheckBox* pBox = pCell->m_pCheckbox;
    int nOld = pBox->GetCheck();
    int nNew = nOld == CXCheckBox::STATE_UNCHECKED ? CXCheckBox::STATE_CHECKED : CXCheckBox::STATE_UNCHECKED;
    pBox->SetPressed(FALSE);
    pBox->SetCheck(nNew);
    CountBox(nSubItem, nOld, nNew);
    m_bDirty = TRUE;
    RollUpHeader(nSubItem);
    InvalidateCell(nItem, nSubItem);
    // Last, so that the parent reads the new states.
    NotifyParent(nItem, nSubItem);
}

void CXListCtrl::OnLButtonDown(UINT nFlags, CPoint point)
{
    ClearPressed();
    int nItem;
    int nSubItem;
    if (HitBox(point, nItem, nSubItem))
    {
        CXCheckBox* pBox = Cell(nItem, nSubItem)->m_pCheckbox;
        if (pBox->GetEnabled())
        {
            pBox->SetPressed(TRUE);
            m_nPressedItem = nItem;
            m_nPressedSubItem = nSubItem;
            InvalidateCell(nItem, nSubItem);
        }
    }
    // The list view may send NM_CLICK from in here (its drag check eats the
    // button up); OnClick then does the toggle.
    Default();
    (void)nFlags;
}

void CXListCtrl::OnLButtonUp(UINT nFlags, CPoint point)
{
    // NM_CLICK arrives from in here when the list view sends it on button up.
    Default();
    int nItem;
    int nSubItem;
    if (m_nPressedItem >= 0 && HitBox(point, nItem, nSubItem) && nItem == m_nPressedItem &&
        nSubItem == m_nPressedSubItem)
    {
        m_nPressedItem = m_nPressedSubItem = -1;
        ToggleBox(nItem, nSubItem);
    }
    ClearPressed();
    (void)nFlags;
}

void CXListCtrl::OnLButtonDblClk(UINT nFlags, CPoint point)
{
    // The second click of a double click is a click of its own.
    OnLButtonDown(nFlags, point);
}

BOOL CXListCtrl::OnClick(NMHDR* pNMHDR, LRESULT* pResult)
{
    *pResult = 0;
    CPoint point = ((NMITEMACTIVATE*)pNMHDR)->ptAction;
    int nItem;
    int nSubItem;
    BOOL bCell = HitCell(point, nItem, nSubItem);
    if (bCell && m_nPressedItem >= 0 && nItem == m_nPressedItem && nSubItem == m_nPressedSubItem &&
        GetCheckboxRect(nItem, nSubItem).PtInRect(point))
    {
        m_nPressedItem = m_nPressedSubItem = -1;
        ToggleBox(nItem, nSubItem);
    }
    ClearPressed();
    // A click beside every cell stays with the list.
    return !bCell;
}

BOOL CXListCtrl::OnColumnClick(NMHDR*, LRESULT* pResult)
{
    *pResult = 0;
    return FALSE;
}

void CXListCtrl::OnMouseMove(UINT nFlags, CPoint point)
{
    // A release we never saw (outside the window) must not leave a box pressed.
    if (!(nFlags & MK_LBUTTON) && m_nPressedItem >= 0)
        ClearPressed();
    int nItem;
    int nSubItem;
    if (HitBox(point, nItem, nSubItem))
    {
        if (nItem != m_nHotItem || nSubItem != m_nHotSubItem)
        {
            ClearHot();
            m_nHotItem = nItem;
            m_nHotSubItem = nSubItem;
            Cell(nItem, nSubItem)->m_pCheckbox->SetHot(TRUE);
            InvalidateCell(nItem, nSubItem);
        }
        // No capture: a leave notice clears the mark when the cursor goes.
        if (!m_bTrackingLeave)
        {
            TRACKMOUSEEVENT tme = {};
            tme.cbSize = sizeof(tme);
            tme.dwFlags = TME_LEAVE;
            tme.hwndTrack = m_hWnd;
            m_bTrackingLeave = ::TrackMouseEvent(&tme);
        }
    }
    else
    {
        ClearHot();
    }
    Default();
}

void CXListCtrl::OnMouseLeave()
{
    m_bTrackingLeave = FALSE;
    ClearHot();
    Default();
}

void CXListCtrl::OnKeyDown(UINT, UINT, UINT)
{
    Default();
    int nItem = GetCurSel();
    if (nItem >= 0)
    {
        SetItemState(nItem, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        EnsureVisible(nItem, FALSE);
    }
}

BOOL CXListCtrl::OnMouseWheel(UINT, short, CPoint)
{
    Invalidate();
    return (BOOL)Default();
}

void CXListCtrl::OnVScroll(UINT, UINT, CScrollBar*)
{
    Invalidate();
    Default();
}

LRESULT CXListCtrl::OnHeaderCheckboxClicked(WPARAM wParam, LPARAM lParam)
{
    int nCol = (int)lParam;
    if ((INT_PTR)wParam != -1 || nCol < 0 || nCol >= m_nColumns || !m_bHeaderSubclassed)
        return 0;
    int nState = m_HeaderCtrl.GetCheckState(nCol);
    if (nState == 0)
        return 0;
    // The state the user clicked to, for the heading and every enabled box.
    int nNew = nState == CXCheckBox::STATE_UNCHECKED ? CXCheckBox::STATE_CHECKED : CXCheckBox::STATE_UNCHECKED;
    m_HeaderCtrl.SetCheckState(nCol, nNew);
    BOOL bChanged = FALSE;
    int nCount = GetItemCount();
    for (int i = 0; i < nCount; ++i)
    {
        CXListCellData* pCell = Cell(i, nCol);
        CXCheckBox* pBox = pCell != NULL ? pCell->m_pCheckbox : NULL;
        if (pBox == NULL || !pBox->GetEnabled() || pBox->GetCheck() == 0)
            continue;
        CountBox(nCol, pBox->GetCheck(), nNew);
        pBox->SetCheck(nNew);
        bChanged = TRUE;
    }
    if (bChanged)
    {
        m_bDirty = TRUE;
        CRect rcHeader;
        CRect rcClient;
        if (m_bRedraw && m_HeaderCtrl.GetItemRect(nCol, &rcHeader))
        {
            m_HeaderCtrl.MapWindowPoints(this, &rcHeader);
            GetClientRect(&rcClient);
            CRect rcStrip(rcHeader.left, rcClient.top, rcHeader.right, rcClient.bottom);
            InvalidateRect(&rcStrip, FALSE);
        }
    }
    NotifyParent(-1, nCol);
    return 0;
}
