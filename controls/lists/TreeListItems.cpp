// The item model of the tree list: insertion, deletion, expansion, check
// states with their roll-up, navigation and rows.
#include "controls/lists/TreeListCtrl.h"
#include "controls/lists/TreeListRoute.h"
#include <algorithm>


namespace {

// What one child adds to its parent's check counters.
void AddContribution(CTreeListItem* pParent, DWORD dwState, int nSign, int& nBoxedChecked, int& nBoxedUnchecked,
                     int& nChecked)
{
    UNUSED_ALWAYS(pParent);
    if (dwState & TLIS_CHECKBOX)
    {
        if (dwState & TLIS_CHECKED)
            nBoxedChecked += nSign;
        if (dwState & TLIS_UNCHECKED)
            nBoxedUnchecked += nSign;
    }
    if ((dwState & TLIS_CHECKBITS) == TLIS_CHECKED)
        nChecked += nSign;
}

} // namespace

CTreeListItem* CTreeListCtrl::RealItem(CTreeListItem* pItem)
{
    return (pItem == TLI_ROOT || pItem == NULL) ? m_pRoot : pItem;
}

void CTreeListCtrl::SetStateBits(CTreeListItem* pItem, DWORD dwNewState)
{
    if (pItem->m_dwState == dwNewState)
        return;
    NoteChange();
    CTreeListItem* pParent = pItem->m_pParent;
    if (pParent != NULL)
    {
        AddContribution(pParent, pItem->m_dwState, -1, pParent->m_nBoxedChecked, pParent->m_nBoxedUnchecked,
                        pParent->m_nChecked);
        AddContribution(pParent, dwNewState, +1, pParent->m_nBoxedChecked, pParent->m_nBoxedUnchecked,
                        pParent->m_nChecked);
    }
    pItem->m_dwState = dwNewState;
}

void CTreeListCtrl::RollUp(CTreeListItem* pParent)
{
    for (CTreeListItem* pItem = pParent; pItem != NULL; pItem = pItem->m_pParent)
    {
        DWORD dwBits = 0;
        if (pItem->m_nBoxedChecked > 0)
            dwBits |= TLIS_CHECKED;
        if (pItem->m_nBoxedUnchecked > 0)
            dwBits |= TLIS_UNCHECKED;
        const DWORD dwNew = (pItem->m_dwState & ~(DWORD)TLIS_CHECKBITS) | dwBits;
        if (dwNew == pItem->m_dwState)
            break;  // the ancestors above read the same counters as before
        SetStateBits(pItem, dwNew);
    }
}

void CTreeListCtrl::RollDown(CTreeListItem* pItem)
{
    const DWORD dwBits = (pItem->m_dwState & TLIS_CHECKED) && !(pItem->m_dwState & TLIS_UNCHECKED)
                             ? TLIS_CHECKED
                             : TLIS_UNCHECKED;
    // Pre-order walk of the subtree without recursion.
    CTreeListItem* p = pItem->m_pChild;
    while (p != NULL)
    {
        SetStateBits(p, (p->m_dwState & ~(DWORD)TLIS_CHECKBITS) | dwBits);
        if (p->m_pChild != NULL)
            p = p->m_pChild;
        else
        {
            while (p != pItem && p->m_pNext == NULL)
                p = p->m_pParent;
            p = (p == pItem) ? NULL : p->m_pNext;
        }
    }
}

void CTreeListCtrl::AddVisibleRows(CTreeListItem* pFrom, int nDelta)
{
    for (CTreeListItem* p = pFrom; p != NULL && (p->m_dwState & TLIS_EXPANDED); p = p->m_pParent)
        p->m_nVisibleRows += nDelta;
}

CTreeListItem* CTreeListCtrl::InsertItem(LPCWSTR pszText, CTreeListItem* pParent, CTreeListItem* pAfter, int, int)
{
    TL_ROUTE(InsertItem(pszText, pParent, pAfter, 1, 0));
    return InsertItemCore(pszText, RealItem(pParent), pAfter, MeasureDC());
}

CTreeListItem* CTreeListCtrl::InsertItemCore(LPCWSTR pszText, CTreeListItem* pParent, CTreeListItem* pAfter,
                                             HDC hMeasureDC)
{
    NoteChange();
    CTreeListItem* pItem = new CTreeListItem;
    pItem->m_arrTexts.resize(m_arrColumns.empty() ? 1 : m_arrColumns.size());
    pItem->m_arrTexts[0] = pszText != NULL ? pszText : L"";
    pItem->m_strMeasured = pItem->m_arrTexts[0];
    pItem->m_nTextKind = 1;
    pItem->m_nLevel = pParent->m_nLevel + 1;
    if ((m_dwStyle & TLC_CHECKBOX) && pParent->GetCheck() == 1)
        pItem->m_dwState = (pItem->m_dwState & ~(DWORD)TLIS_CHECKBITS) | TLIS_CHECKED;

    // Where: the only child, first, last, sorted, or after a given child.
    CTreeListItem* pPrev = NULL;
    if (pParent->m_pChild == NULL || pAfter == TLI_FIRST)
        pPrev = NULL;
    else if (pAfter == TLI_LAST)
        pPrev = pParent->m_pLastChild;
    else if (pAfter == TLI_SORT)
    {
        for (CTreeListItem* p = pParent->m_pChild; p != NULL; p = p->m_pNext)
        {
            if (::lstrcmpiW(p->m_arrTexts[0], pItem->m_arrTexts[0]) > 0)
                break;
            pPrev = p;
        }
    }
    else
    {
        // Only a handle that is one of the children counts; it may be stale.
        for (CTreeListItem* p = pParent->m_pChild; p != NULL; p = p->m_pNext)
        {
            if (p == pAfter)
            {
                pPrev = p;
                break;
            }
        }
    }

    pItem->m_pParent = pParent;
    pItem->m_pPrev = pPrev;
    pItem->m_pNext = pPrev != NULL ? pPrev->m_pNext : pParent->m_pChild;
    if (pItem->m_pNext != NULL)
        pItem->m_pNext->m_pPrev = pItem;
    else
        pParent->m_pLastChild = pItem;
    if (pPrev != NULL)
        pPrev->m_pNext = pItem;
    else
        pParent->m_pChild = pItem;
    ++pParent->m_nChildren;
    AddContribution(pParent, pItem->m_dwState, +1, pParent->m_nBoxedChecked, pParent->m_nBoxedUnchecked,
                    pParent->m_nChecked);
    for (CTreeListItem* p = pParent; p != NULL; p = p->m_pParent)
        ++p->m_nCount;
    AddVisibleRows(pParent, 1);

    pItem->m_nHeight = MeasureRow(hMeasureDC, pItem->m_strMeasured, 1, MeasureWidth(), pItem->m_nLevel);
    if (!(m_dwStyle & TLC_NOAUTOCHECK))
        RollUp(pParent);
    InvalidateTopCache();
    return pItem;
}

void CTreeListCtrl::UnlinkItem(CTreeListItem* pItem)
{
    CTreeListItem* pParent = pItem->m_pParent;
    if (pParent == NULL)
        return;
    NoteChange();
    for (CTreeListItem* p = pParent; p != NULL; p = p->m_pParent)
        p->m_nCount -= pItem->m_nCount;
    AddVisibleRows(pParent, -pItem->m_nVisibleRows);
    AddContribution(pParent, pItem->m_dwState, -1, pParent->m_nBoxedChecked, pParent->m_nBoxedUnchecked,
                    pParent->m_nChecked);
    --pParent->m_nChildren;
    if (pItem->m_pPrev != NULL)
        pItem->m_pPrev->m_pNext = pItem->m_pNext;
    else
        pParent->m_pChild = pItem->m_pNext;
    if (pItem->m_pNext != NULL)
        pItem->m_pNext->m_pPrev = pItem->m_pPrev;
    else
        pParent->m_pLastChild = pItem->m_pPrev;
    pItem->m_pParent = pItem->m_pPrev = pItem->m_pNext = NULL;
}

void CTreeListCtrl::DestroySubtree(CTreeListItem* pItem, bool bDeferRedraw)
{
    // Children first, without recursion: a deep tree cannot exhaust the stack.
    CTreeListItem* p = pItem;
    for (;;)
    {
        while (p->m_pChild != NULL)
            p = p->m_pChild;
        CTreeListItem* pNext = p->m_pNext;
        CTreeListItem* pUp = p->m_pParent;
        const bool bLast = (p == pItem);
        if (!bLast && pUp != NULL)
            pUp->m_pChild = pNext;
        if (bDeferRedraw)
            BeginDeferredRedraw();
        auto it = std::find(m_arrSelected.begin(), m_arrSelected.end(), p);
        if (it != m_arrSelected.end())
            m_arrSelected.erase(it);
        if (m_pFocusItem == p)
            m_pFocusItem = NULL;
        if (m_hWnd != NULL && !m_bQuietDelete)
            SendNotify(TLN_SELCHANGING, p, 0);
        if (p->m_nKey != 0)
        {
            auto itKey = m_mapKeys.find(p->m_nKey);
            if (itKey != m_mapKeys.end() && itKey->second == p)
                m_mapKeys.erase(itKey);
        }
        delete p;
        if (bLast)
            break;
        p = pNext != NULL ? pNext : pUp;
    }
}

void CTreeListCtrl::DeleteItemCore(CTreeListItem* pItem, bool bDeferRedraw)
{
    if (pItem == m_pRoot)
    {
        while (m_pRoot->m_pChild != NULL)
            DeleteItemCore(m_pRoot->m_pChild, bDeferRedraw);
        return;
    }
    CTreeListItem* pParent = pItem->m_pParent;
    UnlinkItem(pItem);
    DestroySubtree(pItem, bDeferRedraw);
    if (pParent != NULL && !(m_dwStyle & TLC_NOAUTOCHECK))
        RollUp(pParent);
    InvalidateTopCache();
}

BOOL CTreeListCtrl::DeleteItem(CTreeListItem* pItem)
{
    TL_ROUTE(DeleteItem(pItem));
    if (pItem == NULL)
        return FALSE;
    DeleteItemCore(RealItem(pItem), true);
    if (m_hWnd != NULL)
        ApplyRedraw(m_bRedraw);
    return TRUE;
}

BOOL CTreeListCtrl::DeleteAllItems()
{
    TL_ROUTE(DeleteAllItems());
    // One repaint after everything is gone; no deferred redraw on top of it.
    DeleteItemCore(m_pRoot, false);
    m_arrSelected.clear();
    m_pFocusItem = NULL;
    m_nTopRow = 0;
    if (m_hWnd != NULL)
        ApplyRedraw(m_bRedraw);
    return TRUE;
}

void CTreeListCtrl::SetExpanded(CTreeListItem* pItem, bool bExpand)
{
    const bool bExpanded = (pItem->m_dwState & TLIS_EXPANDED) != 0;
    if (bExpand == bExpanded)
        return;
    int nChildRows = 0;
    for (CTreeListItem* p = pItem->m_pChild; p != NULL; p = p->m_pNext)
        nChildRows += p->m_nVisibleRows;
    const bool bShown = pItem->m_pParent == NULL || IsShown(pItem);
    if (bExpand)
    {
        pItem->m_dwState |= TLIS_EXPANDED | TLIS_EXPANDEDONCE;
        pItem->m_nVisibleRows += nChildRows;
        if (pItem->m_pParent != NULL)
            AddVisibleRows(pItem->m_pParent, nChildRows);
    }
    else
    {
        pItem->m_nVisibleRows -= nChildRows;
        if (pItem->m_pParent != NULL)
            AddVisibleRows(pItem->m_pParent, -nChildRows);
        pItem->m_dwState &= ~(DWORD)TLIS_EXPANDED;
    }
    UNUSED_ALWAYS(bShown);
    NoteChange();
    InvalidateTopCache();
}

bool CTreeListCtrl::IsShown(CTreeListItem* pItem)
{
    for (CTreeListItem* p = pItem->m_pParent; p != NULL; p = p->m_pParent)
    {
        if (!(p->m_dwState & TLIS_EXPANDED))
            return false;
    }
    return true;
}

BOOL CTreeListCtrl::Expand(CTreeListItem* pItem, int nCode, int nValue)
{
    TL_ROUTE(Expand(pItem, nCode, nValue));
    if (pItem == NULL || nCode < 0 || nCode > 3)
        return FALSE;
    pItem = RealItem(pItem);
    if (pItem == m_pRoot)
        return FALSE;
    const bool bExpanded = (pItem->m_dwState & TLIS_EXPANDED) != 0;
    if ((pItem->m_dwState & TLIS_EXPANDEDONCE) && pItem->m_pChild == NULL)
        return TRUE;
    if ((nCode == 0 && bExpanded) || (nCode == 1 && !bExpanded))
        return TRUE;
    if (SendNotify(TLN_ITEMEXPANDING, pItem, nValue) == -1)
        return FALSE;
    const bool bExpand = nCode == 0 || (nCode == 2 && !bExpanded);
    SetExpanded(pItem, bExpand);
    if (nCode == 3)
    {
        while (pItem->m_pChild != NULL)
            DeleteItemCore(pItem->m_pChild, true);
    }
    // Keep the top row on a real row when rows vanished above or below it.
    ApplyRedraw(m_bRedraw);
    if (!m_bRedraw || m_bDeferring)
        UpdateScrollBars();
    SendNotify(TLN_ITEMEXPANDED, pItem, nValue);
    return TRUE;
}

BOOL CTreeListCtrl::ExpandItem(CTreeListItem* pItem, int nCode)
{
    TL_ROUTE(ExpandItem(pItem, nCode));
    return Expand(pItem, nCode, m_nFocusColumn);
}

// ---- Navigation ------------------------------------------------------------------------

CTreeListItem* CTreeListCtrl::GetRootItem()
{
    TL_ROUTE(GetRootItem());
    return m_pRoot->m_pChild;
}

CTreeListItem* CTreeListCtrl::GetChildItem(CTreeListItem* pItem)
{
    TL_ROUTE(GetChildItem(pItem));
    return RealItem(pItem)->m_pChild;
}

CTreeListItem* CTreeListCtrl::GetNextSiblingItem(CTreeListItem* pItem)
{
    TL_ROUTE(GetNextSiblingItem(pItem));
    return pItem == NULL || pItem == TLI_ROOT ? NULL : pItem->m_pNext;
}

CTreeListItem* CTreeListCtrl::GetPrevSiblingItem(CTreeListItem* pItem)
{
    TL_ROUTE(GetPrevSiblingItem(pItem));
    return pItem == NULL || pItem == TLI_ROOT ? NULL : pItem->m_pPrev;
}

CTreeListItem* CTreeListCtrl::GetParentItem(CTreeListItem* pItem)
{
    TL_ROUTE(GetParentItem(pItem));
    if (pItem == NULL || pItem == TLI_ROOT || pItem->m_pParent == m_pRoot)
        return NULL;
    return pItem->m_pParent;
}

BOOL CTreeListCtrl::ItemHasChildren(CTreeListItem* pItem)
{
    TL_ROUTE(ItemHasChildren(pItem));
    return RealItem(pItem)->m_pChild != NULL;
}

CTreeListItem* CTreeListCtrl::GetFirstVisibleItem()
{
    TL_ROUTE(GetFirstVisibleItem());
    return m_pRoot->m_pChild;
}

CTreeListItem* CTreeListCtrl::GetNextVisibleItem(CTreeListItem* pItem)
{
    TL_ROUTE(GetNextVisibleItem(pItem));
    if (pItem == NULL || pItem == TLI_ROOT || pItem == m_pRoot)
        return NULL;
    if ((pItem->m_dwState & TLIS_EXPANDED) && pItem->m_pChild != NULL)
        return pItem->m_pChild;
    for (CTreeListItem* p = pItem; p != NULL && p != m_pRoot; p = p->m_pParent)
    {
        if (p->m_pNext != NULL)
            return p->m_pNext;
    }
    return NULL;
}

CTreeListItem* CTreeListCtrl::GetPrevVisibleItem(CTreeListItem* pItem)
{
    TL_ROUTE(GetPrevVisibleItem(pItem));
    if (pItem == NULL || pItem == TLI_ROOT || pItem == m_pRoot)
        return NULL;
    if (pItem->m_pPrev != NULL)
    {
        CTreeListItem* p = pItem->m_pPrev;
        while ((p->m_dwState & TLIS_EXPANDED) && p->m_pLastChild != NULL)
            p = p->m_pLastChild;
        return p;
    }
    return pItem->m_pParent == m_pRoot ? NULL : pItem->m_pParent;
}

CTreeListItem* CTreeListCtrl::LastVisibleItem()
{
    CTreeListItem* p = m_pRoot->m_pLastChild;
    while (p != NULL && (p->m_dwState & TLIS_EXPANDED) && p->m_pLastChild != NULL)
        p = p->m_pLastChild;
    return p;
}

CTreeListItem* CTreeListCtrl::GetSelectedItem()
{
    TL_ROUTE(GetSelectedItem());
    return m_arrSelected.empty() ? NULL : m_arrSelected[0];
}

CTreeListItem* CTreeListCtrl::GetNextSelectedItem(CTreeListItem* pItem)
{
    TL_ROUTE(GetNextSelectedItem(pItem));
    if (pItem == TLI_ROOT || pItem == m_pRoot)
        return m_arrSelected.empty() ? NULL : m_arrSelected[0];
    auto it = std::find(m_arrSelected.begin(), m_arrSelected.end(), pItem);
    if (it == m_arrSelected.end() || ++it == m_arrSelected.end())
        return NULL;
    return *it;
}

int CTreeListCtrl::GetSelectedCount()
{
    TL_ROUTE(GetSelectedCount());
    return (int)m_arrSelected.size();
}

int CTreeListCtrl::GetCount()
{
    TL_ROUTE(GetCount());
    return m_pRoot->m_nCount - 1;
}

int CTreeListCtrl::GetVisibleCount()
{
    TL_ROUTE(GetVisibleCount());
    return m_pRoot->m_nVisibleRows - 1;
}

int CTreeListCtrl::GetChildCount(CTreeListItem* pItem)
{
    TL_ROUTE(GetChildCount(pItem));
    return RealItem(pItem)->m_nChildren;
}

int CTreeListCtrl::GetCheckedChildCount(CTreeListItem* pItem)
{
    TL_ROUTE(GetCheckedChildCount(pItem));
    return RealItem(pItem)->m_nChecked;
}

// ---- Item fields ---------------------------------------------------------------------------

DWORD CTreeListCtrl::GetItemState(CTreeListItem* pItem)
{
    TL_ROUTE(GetItemState(pItem));
    return RealItem(pItem)->m_dwState;
}

void CTreeListCtrl::ChangeState(CTreeListItem* pItem, DWORD dwAdd, DWORD dwRemove)
{
    if (dwAdd & TLIS_EXPANDED)
        dwAdd |= TLIS_EXPANDEDONCE;
    if (dwRemove & TLIS_EXPANDEDONCE)
        dwRemove |= TLIS_EXPANDED;
    const DWORD dwOld = pItem->m_dwState;
    DWORD dwNew = (dwOld | dwAdd) & ~dwRemove;
    // Expansion goes through the row counts, selection through the list.
    const bool bExpand = (dwNew & TLIS_EXPANDED) != 0;
    if (bExpand != ((dwOld & TLIS_EXPANDED) != 0) && pItem != m_pRoot)
    {
        SetExpanded(pItem, bExpand);
        dwNew = (dwNew & ~(DWORD)TLIS_EXPANDED) | (pItem->m_dwState & TLIS_EXPANDED);
    }
    if ((dwNew ^ dwOld) & TLIS_SELECTED)
    {
        auto it = std::find(m_arrSelected.begin(), m_arrSelected.end(), pItem);
        if ((dwNew & TLIS_SELECTED) && it == m_arrSelected.end())
            m_arrSelected.push_back(pItem);
        else if (!(dwNew & TLIS_SELECTED) && it != m_arrSelected.end())
            m_arrSelected.erase(it);
    }
    SetStateBits(pItem, dwNew);
    if (((dwNew ^ dwOld) & (TLIS_CHECKBOX | TLIS_CHECKBITS)) && !(m_dwStyle & TLC_NOAUTOCHECK))
        RollUp(pItem->m_pParent);
}

void CTreeListCtrl::SetItemState(CTreeListItem* pItem, DWORD dwAdd, DWORD dwRemove)
{
    TL_ROUTE(SetItemState(pItem, dwAdd, dwRemove));
    if (pItem == NULL)
        return;
    ChangeState(RealItem(pItem), dwAdd, dwRemove);
    if ((dwAdd | dwRemove) & (TLIS_EXPANDED | TLIS_EXPANDEDONCE))
        ApplyRedraw(m_bRedraw);
    else
        Redraw();
}

void CTreeListCtrl::SetItemImage(CTreeListItem* pItem, int nImage, int nSelected, int nExpanded, int nExpandedSelected)
{
    TL_ROUTE(SetItemImage(pItem, nImage, nSelected, nExpanded, nExpandedSelected));
    if (pItem == NULL)
        return;
    pItem = RealItem(pItem);
    pItem->m_nImages[0] = nImage;
    pItem->m_nImages[1] = nSelected;
    pItem->m_nImages[2] = nExpanded;
    pItem->m_nImages[3] = nExpandedSelected;
    ChangeState(pItem, TLIS_IMAGES, 0);
    Redraw();
}

void CTreeListCtrl::GetItemImage(CTreeListItem* pItem, int* pImages)
{
    TL_ROUTE(GetItemImage(pItem, pImages));
    if (pItem == NULL || pImages == NULL)
        return;
    for (int i = 0; i < 4; ++i)
        pImages[i] = RealItem(pItem)->m_nImages[i];
}

CString CTreeListCtrl::GetItemText(CTreeListItem* pItem, int nColumn)
{
    TL_ROUTE(GetItemText(pItem, nColumn));
    if (pItem == NULL)
        return CString();
    const CString* pText = RealItem(pItem)->GetText(nColumn);
    return pText != NULL ? *pText : CString();
}

BOOL CTreeListCtrl::HasItemText(CTreeListItem* pItem, int nColumn)
{
    TL_ROUTE(HasItemText(pItem, nColumn));
    return pItem != NULL && RealItem(pItem)->GetText(nColumn) != NULL;
}

BOOL CTreeListCtrl::SetItemText(CTreeListItem* pItem, int nColumn, LPCWSTR pszText)
{
    TL_ROUTE(SetItemText(pItem, nColumn, pszText));
    if (pItem == NULL || nColumn < 0)
        return FALSE;
    pItem = RealItem(pItem);
    const int nColumns = m_arrColumns.empty() ? 1 : (int)m_arrColumns.size();
    if (nColumn >= nColumns)
        return FALSE;
    // An item made before the column existed grows its slots on the first write.
    if (nColumn >= (int)pItem->m_arrTexts.size())
        pItem->m_arrTexts.resize(nColumn + 1);
    pItem->m_arrTexts[nColumn] = pszText != NULL ? pszText : L"";
    if (nColumn == 0 && pItem != m_pRoot)
    {
        pItem->m_strMeasured = pItem->m_arrTexts[0];
        pItem->m_nHeight =
            MeasureRow(MeasureDC(), pItem->m_strMeasured, pItem->m_nTextKind, MeasureWidth(), pItem->m_nLevel);
        ApplyRedraw(m_bRedraw);
    }
    else
        Redraw();
    return TRUE;
}

DWORD_PTR CTreeListCtrl::GetItemData(CTreeListItem* pItem)
{
    TL_ROUTE(GetItemData(pItem));
    return pItem == NULL ? 0 : RealItem(pItem)->m_dwData;
}

void CTreeListCtrl::SetItemData(CTreeListItem* pItem, DWORD_PTR dwData)
{
    TL_ROUTE(SetItemData(pItem, dwData));
    if (pItem != NULL)
        RealItem(pItem)->m_dwData = dwData;
}

int CTreeListCtrl::GetItemRowHeight(CTreeListItem* pItem)
{
    TL_ROUTE(GetItemRowHeight(pItem));
    return pItem == NULL ? 0 : RealItem(pItem)->m_nHeight;
}

int CTreeListCtrl::GetCheck(CTreeListItem* pItem)
{
    TL_ROUTE(GetCheck(pItem));
    return pItem == NULL ? 0 : RealItem(pItem)->GetCheck();
}

void CTreeListCtrl::CheckCore(CTreeListItem* pItem, bool bCheck)
{
    SetStateBits(pItem,
                 (pItem->m_dwState & ~(DWORD)TLIS_CHECKBITS) | (bCheck ? TLIS_CHECKED : TLIS_UNCHECKED));
    RollDown(pItem);
    RollUp(pItem->m_pParent);
}

void CTreeListCtrl::SetCheck(CTreeListItem* pItem, BOOL bCheck)
{
    TL_ROUTE(SetCheck(pItem, bCheck));
    if (pItem == NULL)
        return;
    CheckCore(RealItem(pItem), bCheck != FALSE);
    Redraw();
}

BOOL CTreeListCtrl::ToggleCheck(CTreeListItem* pItem, BOOL bToggle)
{
    TL_ROUTE(ToggleCheck(pItem, bToggle));
    if (pItem == NULL)
        return FALSE;
    pItem = RealItem(pItem);
    if (SendNotify(TLN_ITEMCHECK, pItem, 0) == -1)
        return FALSE;
    if (bToggle)
    {
        const bool bCheck = pItem->GetCheck() == 0;
        SetStateBits(pItem,
                     (pItem->m_dwState & ~(DWORD)TLIS_CHECKBITS) | (bCheck ? TLIS_CHECKED : TLIS_UNCHECKED));
    }
    if (!(m_dwStyle & TLC_NOAUTOCHECK))
    {
        RollDown(pItem);
        RollUp(pItem->m_pParent);
        Redraw();
    }
    return TRUE;
}

void CTreeListCtrl::SetItemKey(CTreeListItem* pItem, UINT_PTR nKey)
{
    TL_ROUTE(SetItemKey(pItem, nKey));
    if (pItem == NULL || pItem == TLI_ROOT)
        return;
    if (pItem->m_nKey != 0)
    {
        auto it = m_mapKeys.find(pItem->m_nKey);
        if (it != m_mapKeys.end() && it->second == pItem)
            m_mapKeys.erase(it);
    }
    pItem->m_nKey = nKey;
    if (nKey == 0)
        return;
    auto it = m_mapKeys.find(nKey);
    if (it != m_mapKeys.end() && it->second != pItem)
        it->second->m_nKey = 0;
    m_mapKeys[nKey] = pItem;
}

CTreeListItem* CTreeListCtrl::FindItemByKey(UINT_PTR nKey)
{
    TL_ROUTE(FindItemByKey(nKey));
    auto it = m_mapKeys.find(nKey);
    return it == m_mapKeys.end() ? NULL : it->second;
}

// ---- Rows -------------------------------------------------------------------------------------

CTreeListItem* CTreeListCtrl::ItemAtRow(int nRow)
{
    if (nRow < 0 || nRow >= m_pRoot->m_nVisibleRows - 1)
        return NULL;
    // Painting and one-row scrolls ask for the rows next to the last answer.
    if (m_pTopCacheItem != NULL)
    {
        if (nRow == m_nTopCacheRow)
            return m_pTopCacheItem;
        CTreeListItem* pNear = NULL;
        if (nRow == m_nTopCacheRow + 1)
            pNear = GetNextVisibleItem(m_pTopCacheItem);
        else if (nRow == m_nTopCacheRow - 1)
            pNear = GetPrevVisibleItem(m_pTopCacheItem);
        if (pNear != NULL)
        {
            m_pTopCacheItem = pNear;
            m_nTopCacheRow = nRow;
            return pNear;
        }
    }
    int nLeft = nRow;
    CTreeListItem* p = m_pRoot->m_pChild;
    while (p != NULL)
    {
        if (nLeft == 0)
            break;
        if (nLeft < p->m_nVisibleRows)
        {
            --nLeft;
            p = p->m_pChild;
        }
        else
        {
            nLeft -= p->m_nVisibleRows;
            p = p->m_pNext;
        }
    }
    if (p != NULL)
    {
        m_pTopCacheItem = p;
        m_nTopCacheRow = nRow;
    }
    return p;
}

CTreeListItem* CTreeListCtrl::GetItemByRow(int nRow)
{
    TL_ROUTE(GetItemByRow(nRow));
    return ItemAtRow(nRow);
}

int CTreeListCtrl::GetItemRow(CTreeListItem* pItem)
{
    TL_ROUTE(GetItemRow(pItem));
    if (pItem == NULL || pItem == TLI_ROOT || pItem == m_pRoot || m_pRoot->m_nVisibleRows <= 1)
        return -1;
    if (pItem == m_pTopCacheItem)
        return m_nTopCacheRow;
    if (!IsShown(pItem))
        return -1;
    int nRow = 0;
    for (CTreeListItem* p = pItem; p != m_pRoot; p = p->m_pParent)
    {
        for (CTreeListItem* s = p->m_pParent->m_pChild; s != p; s = s->m_pNext)
            nRow += s->m_nVisibleRows;
        ++nRow;
    }
    return nRow - 1;
}

int CTreeListCtrl::IndentOf(CTreeListItem* pItem)
{
    int nIndent = 0;
    if (m_dwStyle & TLC_TREE)
        nIndent += 16 * (pItem->m_nLevel - 1);
    if (m_dwStyle & (TLC_TREELINE | TLC_BUTTON))
        nIndent += 16;
    if ((m_dwStyle & TLC_CHECKBOX) && (pItem->m_dwState & TLIS_CHECKBOX))
        nIndent += 16;
    if ((m_dwStyle & TLC_IMAGE) && (pItem->m_dwState & TLIS_IMAGES))
        nIndent += 16;
    if (m_dwStyle & TLC_IMAGE)
        nIndent += 2;
    return nIndent;
}
