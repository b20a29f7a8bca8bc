// The per-cell interface of the check-box list.
#include "controls/lists/XListCtrl.h"
#include "controls/lists/XCheckBox.h"

#include <new>

int CXListCtrl::InsertItem(int nItem, LPCTSTR lpszItem)
{
    if (nItem < 0 || m_hWnd == NULL)
        return -1;
    return CListCtrl::InsertItem(nItem, lpszItem);
}

BOOL CXListCtrl::DeleteItem(int nItem)
{
    return m_hWnd != NULL && CListCtrl::DeleteItem(nItem);
}

BOOL CXListCtrl::DeleteAllItems()
{
    return m_hWnd != NULL && CListCtrl::DeleteAllItems();
}

DWORD_PTR CXListCtrl::GetItemData(int nItem) const
{
    CXListRowData* pRow = RowData(nItem);
    return pRow != NULL ? pRow->m_dwItemData : 0;
}

BOOL CXListCtrl::SetItemData(int nItem, DWORD_PTR dwData)
{
    CXListRowData* pRow = RowData(nItem);
    if (pRow == NULL)
        return FALSE;
    pRow->m_dwItemData = dwData;
    return TRUE;
}

int CXListCtrl::GetCurSel() const
{
    if (m_hWnd == NULL)
        return -1;
    return GetNextItem(-1, LVNI_SELECTED);
}

BOOL CXListCtrl::SetItemText(int nItem, int nSubItem, LPCTSTR lpszText)
{
    if (!IsValidCell(nItem, nSubItem))
        return FALSE;
    BOOL bResult = CListCtrl::SetItemText(nItem, nSubItem, lpszText);
    InvalidateCell(nItem, nSubItem);
    return bResult;
}

BOOL CXListCtrl::SetItemTextColors(int nItem, int nSubItem, LPCTSTR lpszText, COLORREF crText,
                                   COLORREF crBackground)
{
    CXListCellData* pCell = CellForWrite(nItem, nSubItem);
    if (pCell == NULL)
        return FALSE;
    BOOL bResult = TRUE;
    if (lpszText != NULL)
        bResult = CListCtrl::SetItemText(nItem, nSubItem, lpszText);
    pCell->m_crText = crText == (COLORREF)-1 ? m_crWindowText : crText;
    pCell->m_crBackground = crBackground == (COLORREF)-1 ? m_crWindow : crBackground;
    InvalidateCell(nItem, nSubItem);
    return bResult;
}

BOOL CXListCtrl::SetItemImage(int nItem, int nSubItem, int nImage)
{
    CXListCellData* pCell = CellForWrite(nItem, nSubItem);
    if (pCell == NULL)
        return FALSE;
    pCell->m_nImage = nImage;
    InvalidateCell(nItem, nSubItem);
    return TRUE;
}

int CXListCtrl::GetItemImage(int nItem, int nSubItem) const
{
    if (!IsValidCell(nItem, nSubItem))
        return -1;
    CXListCellData* pCell = Cell(nItem, nSubItem);
    return pCell != NULL ? pCell->m_nImage : -1;
}

BOOL CXListCtrl::SetItemToolTipText(int nItem, int nSubItem, LPCTSTR lpszToolTipText)
{
    CXListCellData* pCell = CellForWrite(nItem, nSubItem);
    if (pCell == NULL)
        return FALSE;
    pCell->m_strToolTip = lpszToolTipText != NULL ? lpszToolTipText : L"";
    return TRUE;
}

CString CXListCtrl::GetItemToolTipText(int nItem, int nSubItem) const
{
    if (!IsValidCell(nItem, nSubItem))
        return CString();
    CXListCellData* pCell = Cell(nItem, nSubItem);
    return pCell != NULL ? pCell->m_strToolTip : CString();
}

BOOL CXListCtrl::SetCheckbox(int nItem, int nSubItem, int nCheckedState)
{
    if (nCheckedState != CXCheckBox::STATE_UNCHECKED && nCheckedState != CXCheckBox::STATE_CHECKED)
        return FALSE;
    CXListCellData* pCell = CellForWrite(nItem, nSubItem);
    if (pCell == NULL)
        return FALSE;
    CXCheckBox* pBox = new (std::nothrow) CXCheckBox(this);
    if (pBox == NULL)
        return FALSE;
    pBox->SetCheck(nCheckedState);
    pBox->SetUseTheme(m_bUseTheme);
    int nOldState = pCell->m_pCheckbox != NULL ? pCell->m_pCheckbox->GetCheck() : 0;
    if (nItem == m_nHotItem && nSubItem == m_nHotSubItem)
        m_nHotItem = m_nHotSubItem = -1;
    if (nItem == m_nPressedItem && nSubItem == m_nPressedSubItem)
        m_nPressedItem = m_nPressedSubItem = -1;
    delete pCell->m_pCheckbox;
    pCell->m_pCheckbox = pBox;
    Cell(nItem, 0)->m_bHasCheckbox = TRUE;
    CountBox(nSubItem, nOldState, nCheckedState);
    RollUpHeader(nSubItem);
    InvalidateCell(nItem, nSubItem);
    return TRUE;
}

int CXListCtrl::GetCheckbox(int nItem, int nSubItem) const
{
    if (!IsValidCell(nItem, nSubItem))
        return 0;
    CXListCellData* pCell = Cell(nItem, nSubItem);
    return pCell != NULL && pCell->m_pCheckbox != NULL ? pCell->m_pCheckbox->GetCheck() : 0;
}

BOOL CXListCtrl::SetCheckboxEnabled(int nItem, int nSubItem, BOOL bEnabled)
{
    if (!IsValidCell(nItem, nSubItem))
        return FALSE;
    CXListCellData* pCell = Cell(nItem, nSubItem);
    if (pCell == NULL || pCell->m_pCheckbox == NULL)
        return FALSE;
    pCell->m_pCheckbox->SetEnabled(bEnabled);
    if (!bEnabled && nItem == m_nPressedItem && nSubItem == m_nPressedSubItem)
        ClearPressed();
    InvalidateCell(nItem, nSubItem);
    return TRUE;
}

BOOL CXListCtrl::GetCheckboxEnabled(int nItem, int nSubItem) const
{
    if (!IsValidCell(nItem, nSubItem))
        return FALSE;
    CXListCellData* pCell = Cell(nItem, nSubItem);
    return pCell != NULL && pCell->m_pCheckbox != NULL && pCell->m_pCheckbox->GetEnabled();
}

BOOL CXListCtrl::SetEllipsis(BOOL bEllipsis)
{
    BOOL bOld = m_bEllipsis;
    m_bEllipsis = bEllipsis;
    if (bOld != bEllipsis && m_hWnd != NULL && m_bRedraw)
        Invalidate(FALSE);
    return bOld;
}

void CXListCtrl::SetUseTheme(BOOL bUseTheme)
{
    m_bUseTheme = bUseTheme;
    if (m_hWnd == NULL)
        return;
    int nCount = GetItemCount();
    for (int i = 0; i < nCount; ++i)
    {
        CXListRowData* pRow = RowData(i);
        for (int j = 0; pRow != NULL && j < pRow->m_nCells; ++j)
            if (pRow->m_pCells[j].m_pCheckbox != NULL)
                pRow->m_pCells[j].m_pCheckbox->SetUseTheme(bUseTheme);
    }
    if (m_bRedraw)
        Invalidate(FALSE);
}
