#include "optimizer/shared/MyListCtrl.h"
#include "optimizer/shared/DrawUtils.h"

BEGIN_MESSAGE_MAP(CMyListCtrl, CListCtrl)
    ON_NOTIFY_REFLECT(LVN_COLUMNCLICK, OnColumnClick)
    ON_NOTIFY_REFLECT(LVN_ITEMCHANGED, OnItemChanged)
END_MESSAGE_MAP()

namespace {
struct CSortSnapshot
{
    std::vector<CString> texts;
    BOOL bAscending;
};
} // namespace

CMyListCtrl::CMyListCtrl(LibraryStyle eStyle) : m_eStyle(eStyle), m_dwExStyle(0), m_nSortColumn(0), m_bSortAscending(FALSE)
{
}

void CMyListCtrl::AddColumnRecord(LPCWSTR lpszText, int nWidth)
{
    CColumnRecord record;
    lstrcpynW(record.szText, lpszText != NULL ? lpszText : L"", MAX_HEADER + 1);
    record.nWidth = nWidth;
    m_columns.push_back(record);
}

CString CMyListCtrl::GetColumnRecordText(int nIndex) const
{
    if (nIndex < 0 || nIndex >= (int)m_columns.size())
        return CString();
    return m_columns[nIndex].szText;
}

BOOL CMyListCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    if (!CListCtrl::CreateEx(m_dwExStyle, dwStyle | LVS_REPORT | LVS_OWNERDRAWFIXED, rect, pParentWnd, nID))
        return FALSE;
    SetBkColor(RGB(255, 255, 255));
    SetExtendedStyle(GetExtendedStyle() | LVS_EX_GRIDLINES);
    for (int i = 0; i < (int)m_columns.size(); i++)
        InsertColumn(i, m_columns[i].szText, LVCFMT_LEFT, m_columns[i].nWidth);
    return TRUE;
}

void CMyListCtrl::MeasureItem(LPMEASUREITEMSTRUCT lpMIS)
{
    lpMIS->itemHeight = 18;
}

void CMyListCtrl::DrawItem(LPDRAWITEMSTRUCT lpDIS)
{
    CDC* pDC = CDC::FromHandle(lpDIS->hDC);
    int nItem = (int)lpDIS->itemID;
    WCHAR szText[MAX_CELL + 1] = L"";
    LVITEMW lvi = {};
    lvi.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_STATE;
    lvi.iItem = nItem;
    lvi.stateMask = 0xFFFF;
    lvi.pszText = szText;
    lvi.cchTextMax = MAX_CELL + 1;
    GetItem(&lvi);

    BOOL bFocus = ::GetFocus() == m_hWnd;
    BOOL bSelected = ((lvi.state & LVIS_SELECTED) && (bFocus || (GetStyle() & LVS_SHOWSELALWAYS))) ||
                     (lvi.state & LVIS_DROPHILITED);
    CRect rcBounds, rcLabel;
    GetItemRect(nItem, &rcBounds, LVIR_BOUNDS);
    GetItemRect(nItem, &rcLabel, LVIR_LABEL);
    CRect rcHighlight(rcBounds);
    if (GetImageList(LVSIL_NORMAL) != NULL)
        rcHighlight.left += 5;

    COLORREF crOldText = pDC->SetTextColor(::GetSysColor(bSelected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
    COLORREF crOldBack = pDC->SetBkColor(bSelected ? ::GetSysColor(COLOR_HIGHLIGHT) : RGB(255, 255, 255));
    pDC->FillSolidRect(&rcHighlight, bSelected ? ::GetSysColor(COLOR_HIGHLIGHT) : RGB(255, 255, 255));
    int nOldMode = pDC->SetBkMode(TRANSPARENT);

    const UINT nFormat = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_NOCLIP;
    CRect rcCell(rcLabel);
    rcCell.left = rcHighlight.left;
    CString strCell = MakeEllipsisText(pDC, szText, rcCell.Width(), 12);
    CRect rcText(rcCell);
    rcText.DeflateRect(6, 0);
    pDC->DrawText(strCell, &rcText, nFormat | DT_LEFT);

    LVCOLUMNW lvc = {};
    lvc.mask = LVCF_FMT | LVCF_WIDTH;
    for (int nColumn = 1; GetColumn(nColumn, &lvc); nColumn++)
    {
        rcCell.left = rcCell.right;
        rcCell.right += lvc.cx;
        CString strText = GetItemText(nItem, nColumn);
        if (strText.GetLength() > MAX_CELL)
            strText = strText.Left(MAX_CELL);
        CString strFit = MakeEllipsisText(pDC, strText, rcCell.Width(), 12);
        UINT nAlign = DT_LEFT;
        if (strFit == strText)
        {
            if ((lvc.fmt & LVCFMT_JUSTIFYMASK) == LVCFMT_RIGHT)
                nAlign = DT_RIGHT;
            else if ((lvc.fmt & LVCFMT_JUSTIFYMASK) == LVCFMT_CENTER)
                nAlign = DT_CENTER;
        }
        rcText = rcCell;
        rcText.DeflateRect(6, 0);
        pDC->DrawText(strFit, &rcText, nFormat | nAlign);
        lvc.mask = LVCF_FMT | LVCF_WIDTH;
    }
    if ((lvi.state & LVIS_FOCUSED) && bFocus)
        pDC->DrawFocusRect(&rcHighlight);
    pDC->SetBkMode(nOldMode);
    pDC->SetTextColor(crOldText);
    pDC->SetBkColor(crOldBack);
}

void CMyListCtrl::SortByColumn(int nColumn)
{
    if (nColumn == m_nSortColumn)
        m_bSortAscending = !m_bSortAscending;
    else
    {
        m_nSortColumn = nColumn;
        m_bSortAscending = FALSE;
    }
    // The comparison reads a copy of the texts: rows move while the list sorts.
    CSortSnapshot snapshot;
    snapshot.bAscending = m_bSortAscending;
    int nCount = GetItemCount();
    for (int i = 0; i < nCount; i++)
    {
        SetItemData(i, (DWORD_PTR)i);
        snapshot.texts.push_back(GetItemText(i, nColumn));
    }
    SortItems(&CMyListCtrl::CompareSnapshot, (DWORD_PTR)&snapshot);
}

int CALLBACK CMyListCtrl::CompareSnapshot(LPARAM lParam1, LPARAM lParam2, LPARAM lParamSort)
{
    const CSortSnapshot* pSnapshot = (const CSortSnapshot*)lParamSort;
    size_t n1 = (size_t)lParam1, n2 = (size_t)lParam2;
    if (n1 >= pSnapshot->texts.size() || n2 >= pSnapshot->texts.size())
        return 0;
    int nResult = pSnapshot->texts[n1].Compare(pSnapshot->texts[n2]);
    return pSnapshot->bAscending ? nResult : -nResult;
}

void CMyListCtrl::OnColumnClick(NMHDR* pNMHDR, LRESULT* pResult)
{
    if (m_eStyle != STYLE_PRIVACY)
        SortByColumn(((NMLISTVIEW*)pNMHDR)->iSubItem);
    *pResult = 0;
}

int CMyListCtrl::GetSelectedIndex() const
{
    if (m_hWnd == NULL)
        return -1;
    return (int)::SendMessageW(m_hWnd, LVM_GETNEXTITEM, (WPARAM)-1, MAKELPARAM(LVNI_SELECTED, 0));
}

void CMyListCtrl::OnItemChanged(NMHDR*, LRESULT* pResult)
{
    *pResult = 0;
}
