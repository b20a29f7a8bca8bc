// Input of the tree list: hit test, selection, mouse, keyboard and focus.
#include "controls/lists/TreeListCtrl.h"
#include "controls/lists/TreeListRoute.h"
#include <algorithm>

CTreeListItem* CTreeListCtrl::HitTest(CPoint pt, UINT* pFlags, int* pColumn, LPRECT lpRect)
{
    TL_ROUTE(HitTest(pt, pFlags, pColumn, lpRect));
    if (pFlags != NULL)
        *pFlags = 0;
    if (pColumn != NULL)
        *pColumn = -1;
    if (!m_rcItems.PtInRect(pt))
        return NULL;
    // Rows by pixels from the top row, as they are painted.
    CTreeListItem* pItem = NULL;
    CRect rcRow;
    int y = m_rcItems.top;
    for (CTreeListItem* p = ItemAtRow(m_nTopRow); p != NULL && y < m_rcItems.bottom; p = GetNextVisibleItem(p))
    {
        if (pt.y >= y && pt.y < y + p->m_nHeight)
        {
            pItem = p;
            rcRow.SetRect(m_rcItems.left - m_nHScroll, y, m_rcItems.left - m_nHScroll + ColumnsWidth(),
                          y + p->m_nHeight);
            break;
        }
        y += p->m_nHeight;
    }
    if (pItem == NULL)
        return NULL;
    UINT nFlags = 0;
    int x = rcRow.left;
    for (int nColumn : m_arrShown)
    {
        const int nWidth = m_arrColumns[nColumn]->m_nWidth;
        if (nWidth <= 0)
            continue;
        CRect rcCell(x, rcRow.top, x + nWidth, rcRow.bottom);
        x += nWidth;
        if (pt.x < rcCell.left || pt.x >= rcCell.right)
            continue;
        if (pColumn != NULL)
            *pColumn = nColumn;
        if (lpRect != NULL)
            *lpRect = rcCell;
        if (nColumn != 0)
        {
            nFlags = TLHT_ONTEXT;
            break;
        }
        const CellParts parts = LayoutTreeCell(pItem, rcCell);
        if (parts.bButtonSlot && pItem->m_pChild != NULL)
        {
            // The painted button, one pixel of slack to the right and below.
            const int cx = parts.xButton + 7;
            const int cy = rcCell.top + rcCell.Height() / 2 - 1;
            if (pt.x >= cx - 4 && pt.x <= cx + 5 && pt.y >= cy - 4 && pt.y <= cy + 5)
                nFlags |= TLHT_ONBUTTON;
        }
        if (parts.bCheck && pt.x >= parts.xCheck && pt.x < parts.xCheck + 16)
            nFlags |= TLHT_ONCHECKBOX;
        if (parts.bImage && pt.x >= parts.xImage && pt.x < parts.xImage + 16)
            nFlags |= TLHT_ONIMAGE;
        // Link areas are the rectangles the painter draws the links in.
        if (nFlags == 0 && parts.bOpen && parts.rcOpen.PtInRect(pt))
            nFlags |= TLHT_ONOPENLINK;
        if (nFlags == 0 && parts.bIgnore && parts.rcIgnore.PtInRect(pt))
            nFlags |= TLHT_ONIGNORELINK;
        if (nFlags == 0 && pt.x >= parts.xText && parts.rcKept.right > parts.xText && pt.x < parts.rcKept.right)
        {
            nFlags |= TLHT_ONTEXT;
            if (lpRect != NULL)
                ::SetRect(lpRect, parts.xText, rcCell.top, parts.rcKept.right, rcCell.bottom);
        }
        break;
    }
    if (nFlags == 0)
        nFlags = TLHT_ONITEM;
    if (pFlags != NULL)
        *pFlags = nFlags;
    return pItem;
}

void CTreeListCtrl::SelectItem(CTreeListItem* pItem, int nColumn, BOOL bExclusive)
{
    TL_ROUTE(SelectItem(pItem, nColumn, bExclusive));
    if (pItem == TLI_ROOT)
        pItem = NULL;
    if (pItem != NULL && !m_arrSelected.empty() && m_arrSelected[0] == pItem && nColumn == m_nFocusColumn)
    {
        EnsureVisible(pItem, nColumn);
        Redraw();
        return;
    }
    if (SendNotify(TLN_SELCHANGING, pItem, nColumn) == -1)
        return;
    if (pItem == NULL)
    {
        for (CTreeListItem* p : m_arrSelected)
            SetStateBits(p, p->m_dwState & ~(DWORD)TLIS_SELECTED);
        m_arrSelected.clear();
        SendNotify(TLN_SELCHANGED, NULL, nColumn);
        Redraw();
        return;
    }
    if (!(m_dwStyle & TLC_MULTIPLESELECT) || bExclusive)
    {
        for (CTreeListItem* p : m_arrSelected)
            SetStateBits(p, p->m_dwState & ~(DWORD)TLIS_SELECTED);
        m_arrSelected.clear();
        m_arrSelected.push_back(pItem);
        SetStateBits(pItem, pItem->m_dwState | TLIS_SELECTED);
    }
    else
    {
        auto it = std::find(m_arrSelected.begin(), m_arrSelected.end(), pItem);
        if (it != m_arrSelected.end())
        {
            m_arrSelected.erase(it);
            SetStateBits(pItem, pItem->m_dwState & ~(DWORD)TLIS_SELECTED);
        }
        else
        {
            m_arrSelected.insert(m_arrSelected.begin(), pItem);
            SetStateBits(pItem, pItem->m_dwState | TLIS_SELECTED);
        }
    }
    m_pFocusItem = pItem;
    m_nFocusColumn = nColumn;
    SendNotify(TLN_SELCHANGED, pItem, nColumn);
    EnsureVisible(pItem, nColumn);
    Redraw();
}

void CTreeListCtrl::SetFocusItem(CTreeListItem* pItem, int nColumn)
{
    TL_ROUTE(SetFocusItem(pItem, nColumn));
    if (pItem == NULL || pItem == TLI_ROOT)
        return;
    if (m_dwStyle & TLC_MULTIPLESELECT)
    {
        auto it = std::find(m_arrSelected.begin(), m_arrSelected.end(), pItem);
        if (it != m_arrSelected.end())
        {
            m_arrSelected.erase(it);
            m_arrSelected.insert(m_arrSelected.begin(), pItem);
        }
        m_pFocusItem = pItem;
    }
    m_nFocusColumn = nColumn;
    EnsureVisible(pItem, nColumn);
}

CTreeListItem* CTreeListCtrl::GetFocusItem()
{
    TL_ROUTE(GetFocusItem());
    return m_pFocusItem;
}

int CTreeListCtrl::GetFocusColumn()
{
    TL_ROUTE(GetFocusColumn());
    return m_nFocusColumn;
}

BOOL CTreeListCtrl::GetItemRect(CTreeListItem* pItem, LPRECT lpRect)
{
    TL_ROUTE(GetItemRect(pItem, lpRect));
    if (pItem == NULL || lpRect == NULL)
        return FALSE;
    int y = m_rcItems.top;
    for (CTreeListItem* p = ItemAtRow(m_nTopRow); p != NULL && y < m_rcItems.bottom; p = GetNextVisibleItem(p))
    {
        if (p == pItem)
        {
            ::SetRect(lpRect, m_rcItems.left - m_nHScroll, y, m_rcItems.left - m_nHScroll + ColumnsWidth(),
                      y + p->m_nHeight);
            return TRUE;
        }
        y += p->m_nHeight;
    }
    return FALSE;
}

BOOL CTreeListCtrl::GetCellRect(CTreeListItem* pItem, int nColumn, LPRECT lpRect, BOOL bTextOnly)
{
    TL_ROUTE(GetCellRect(pItem, nColumn, lpRect, bTextOnly));
    CRect rcRow;
    if (lpRect == NULL || !GetItemRect(pItem, &rcRow))
        return FALSE;
    int x = rcRow.left;
    for (int nShown : m_arrShown)
    {
        const int nWidth = m_arrColumns[nShown]->m_nWidth;
        if (nShown == nColumn)
        {
            CRect rc(x, rcRow.top, x + nWidth, rcRow.bottom);
            if (nColumn == 0 && bTextOnly)
            {
                rc.left = LayoutTreeCell(pItem, rc).xText;
                if (rc.Width() < 2)
                    return FALSE;
            }
            *lpRect = rc;
            return TRUE;
        }
        x += nWidth;
    }
    return FALSE;
}

CRect CTreeListCtrl::GetKeptCellRect(CTreeListItem* pItem)
{
    TL_ROUTE(GetKeptCellRect(pItem));
    return pItem != NULL ? pItem->m_rcCell : CRect();
}

BOOL CTreeListCtrl::EnsureVisible(CTreeListItem* pItem, int nColumn)
{
    TL_ROUTE(EnsureVisible(pItem, nColumn));
    const int nRow = GetItemRow(pItem);
    if (nRow >= 0)
    {
        if (nRow < m_nTopRow)
            ScrollToRow(nRow);
        else
        {
            // The lowest top row that still shows the whole row.
            int nUsed = pItem->m_nHeight, nTop = nRow;
            for (CTreeListItem* p = GetPrevVisibleItem(pItem); p != NULL; p = GetPrevVisibleItem(p))
            {
                if (nUsed + p->m_nHeight > m_rcItems.Height())
                    break;
                nUsed += p->m_nHeight;
                --nTop;
            }
            if (nTop > m_nTopRow)
                ScrollToRow(nTop);
        }
    }
    // Horizontally: the column's span.
    int x = 0, nSpanLeft = -1, nSpanRight = -1;
    for (int nShown : m_arrShown)
    {
        const int nWidth = m_arrColumns[nShown]->m_nWidth;
        if (nShown == nColumn)
        {
            nSpanLeft = x;
            if (nColumn == 0 && pItem != NULL && pItem != TLI_ROOT)
                nSpanLeft += 16 * (pItem->m_nLevel - 1);
            nSpanRight = x + nWidth;
            break;
        }
        x += nWidth;
    }
    if (nSpanLeft >= 0 && m_hWnd != NULL)
    {
        int nScroll = m_nHScroll;
        const int nClient = m_rcClient.Width();
        if (nSpanLeft < nScroll)
            nScroll = nSpanLeft;
        else if (nSpanRight > nScroll + nClient)
            nScroll = (nSpanRight - nSpanLeft > nClient) ? nSpanLeft : nSpanRight - nClient;
        const int nMax = std::max(0, ColumnsWidth() - nClient);
        nScroll = std::max(0, std::min(nScroll, nMax));
        if (nScroll != m_nHScroll)
        {
            m_nHScroll = nScroll;
            ::SetScrollPos(m_hWnd, SB_HORZ, nScroll, TRUE);
            if (m_wndHeader.m_hWnd != NULL)
                ::InvalidateRect(m_wndHeader.m_hWnd, NULL, FALSE);
        }
    }
    Redraw();
    return TRUE;
}

// ---- Mouse ----------------------------------------------------------------------------------------

void CTreeListCtrl::SetCursorForHit(CTreeListItem* pItem, UINT nFlags)
{
    if (pItem == NULL)
        return;
    if ((nFlags & TLHT_ONBUTTON) && m_hButtonCursor != NULL)
        ::SetCursor(m_hButtonCursor);
    else if ((nFlags & TLHT_ONCHECKBOX) && m_hCheckCursor != NULL)
        ::SetCursor(m_hCheckCursor);
    else if ((nFlags & (TLHT_ONOPENLINK | TLHT_ONIGNORELINK)) && pItem->m_pParent != m_pRoot)
        ::SetCursor(::LoadCursorW(NULL, IDC_HAND));
}

void CTreeListCtrl::OnMouseMove(UINT nFlags, CPoint point)
{
    UINT nHit = 0;
    CTreeListItem* pItem = HitTest(point, &nHit);
    SetCursorForHit(pItem, nHit);
    CWnd::OnMouseMove(nFlags, point);
}

void CTreeListCtrl::OnLButtonUp(UINT nFlags, CPoint point)
{
    UINT nHit = 0;
    CTreeListItem* pItem = HitTest(point, &nHit);
    SetCursorForHit(pItem, nHit);
    CWnd::OnLButtonUp(nFlags, point);
}

void CTreeListCtrl::OnLButtonDown(UINT nFlags, CPoint point)
{
    if (::GetFocus() != m_hWnd)
        ::SetFocus(m_hWnd);
    CWnd::OnLButtonDown(nFlags, point);
    HandleLButtonDown(nFlags, point);
}

void CTreeListCtrl::HandleLButtonDown(UINT nFlags, CPoint point)
{
    UINT nHit = 0;
    int nColumn = -1;
    CTreeListItem* pItem = HitTest(point, &nHit, &nColumn);
    if (pItem == NULL)
    {
        SelectItem(NULL, 0, TRUE);
        Redraw();
        return;
    }
    if ((m_dwStyle & TLC_TREE) && (nHit & TLHT_ONBUTTON))
    {
        Expand(pItem, (pItem->m_dwState & TLIS_EXPANDED) ? 1 : 0, nColumn);
        if (m_hButtonCursor != NULL)
            ::SetCursor(m_hButtonCursor);
    }
    if (nHit & TLHT_ONCHECKBOX)
    {
        ToggleCheck(pItem, TRUE);
        if (m_hCheckCursor != NULL)
            ::SetCursor(m_hCheckCursor);
    }
    if ((nHit & ~(UINT)TLHT_ONIMAGE & ~(UINT)0x20) != 0 && !(nHit & (TLHT_ONBUTTON | TLHT_ONCHECKBOX)))
    {
        if (pItem->m_dwState & TLIS_SELECTED)
            SetFocusItem(pItem, nColumn);
        else if (nFlags & MK_CONTROL)
            SelectItem(pItem, nColumn, FALSE);
        else if (nFlags & MK_SHIFT)
            ShiftSelect(pItem, nColumn);
        else
            SelectItem(pItem, nColumn, TRUE);
    }
    // A link click has selected its row; a category row has no links.
    if (pItem->m_pParent != m_pRoot && pItem->m_pParent != NULL)
    {
        if (nHit & TLHT_ONOPENLINK)
            SendNotify(TLN_OPENCLICK, pItem, nColumn);
        else if (nHit & TLHT_ONIGNORELINK)
            SendNotify(TLN_IGNORECLICK, pItem, nColumn);
    }
    Redraw();
}

void CTreeListCtrl::ShiftSelect(CTreeListItem* pItem, int nColumn)
{
    if (m_arrSelected.empty())
        return;
    CTreeListItem* pPrimary = m_arrSelected[0];
    if (pPrimary->m_pParent != pItem->m_pParent || pItem->m_pParent == m_pRoot)
        return;
    SelectItem(pPrimary, nColumn, TRUE);
    std::vector<CTreeListItem*> arrRange;
    bool bFound = false;
    for (CTreeListItem* p = pPrimary->m_pNext; p != NULL; p = p->m_pNext)
    {
        arrRange.push_back(p);
        if (p == pItem)
        {
            bFound = true;
            break;
        }
    }
    if (!bFound)
    {
        arrRange.clear();
        for (CTreeListItem* p = pPrimary->m_pPrev; p != NULL; p = p->m_pPrev)
        {
            arrRange.push_back(p);
            if (p == pItem)
            {
                bFound = true;
                break;
            }
        }
    }
    if (!bFound)
        return;
    for (CTreeListItem* p : arrRange)
        SelectItem(p, nColumn, FALSE);
}

void CTreeListCtrl::OnLButtonDblClk(UINT nFlags, CPoint point)
{
    UINT nHit = 0;
    CTreeListItem* pItem = HitTest(point, &nHit);
    // Each press of a double click on a button, a box or a link acts once.
    if (pItem != NULL && (nHit & (TLHT_ONBUTTON | TLHT_ONCHECKBOX | TLHT_ONOPENLINK | TLHT_ONIGNORELINK)))
    {
        HandleLButtonDown(nFlags, point);
        return;
    }
    CWnd::OnLButtonDblClk(nFlags, point);
    SetCursorForHit(pItem, nHit);
    if (pItem != NULL && (m_dwStyle & TLC_TREE) && (nHit & (TLHT_ONIMAGE | TLHT_ONTEXT)))
        Expand(pItem, 2, m_nFocusColumn);
    Redraw();
}

void CTreeListCtrl::OnRButtonDown(UINT nFlags, CPoint point)
{
    if (::GetFocus() != m_hWnd)
        ::SetFocus(m_hWnd);
    CWnd::OnRButtonDown(nFlags, point);
    UINT nHit = 0;
    int nColumn = -1;
    CTreeListItem* pItem = HitTest(point, &nHit, &nColumn);
    if (pItem == NULL)
        SelectItem(NULL, 0, TRUE);
    else if ((nHit & ~(UINT)0x20) != 0 && !(nHit & TLHT_ONBUTTON))
        SelectItem(pItem, nColumn, (nFlags & MK_CONTROL) ? FALSE : TRUE);
    Redraw();
}

void CTreeListCtrl::OnRButtonDblClk(UINT nFlags, CPoint point)
{
    OnRButtonDown(nFlags, point);
}

// ---- Focus --------------------------------------------------------------------------------------------

void CTreeListCtrl::OnSetFocus(CWnd* pOldWnd)
{
    CWnd::OnSetFocus(pOldWnd);
    OnFocusChange(pOldWnd, TRUE);
}

void CTreeListCtrl::OnKillFocus(CWnd* pNewWnd)
{
    CWnd::OnKillFocus(pNewWnd);
    OnFocusChange(pNewWnd, FALSE);
}

void CTreeListCtrl::OnFocusChange(CWnd* pOther, BOOL bGained)
{
    HWND hOther = pOther != NULL ? pOther->GetSafeHwnd() : NULL;
    if (hOther != NULL && ::IsChild(m_hWnd, hOther))
        return;
    if (bGained)
        m_dwFlags |= 0x4;
    else
        m_dwFlags &= ~(DWORD)0x4;
    Redraw();
}

// ---- Keyboard ---------------------------------------------------------------------------------------------

UINT CTreeListCtrl::OnGetDlgCode()
{
    return DLGC_WANTARROWS | DLGC_WANTCHARS;
}

BOOL CTreeListCtrl::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->hwnd == m_hWnd)
    {
        if (pMsg->message == WM_KEYDOWN && OnNavigationKey(pMsg))
            return TRUE;
        if (pMsg->message == WM_RBUTTONDBLCLK)
            pMsg->message = WM_RBUTTONDOWN;
    }
    return CWnd::PreTranslateMessage(pMsg);
}

void CTreeListCtrl::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    MSG msg = {};
    msg.hwnd = m_hWnd;
    msg.message = WM_KEYDOWN;
    msg.wParam = nChar;
    if (!OnNavigationKey(&msg))
        CWnd::OnKeyDown(nChar, nRepCnt, nFlags);
}

BOOL CTreeListCtrl::OnNavigationKey(MSG* pMsg)
{
    if (pMsg == NULL || m_arrShown.empty())
        return FALSE;
    const bool bTree = (m_dwStyle & TLC_TREE) != 0;
    const bool bShift = ::GetKeyState(VK_SHIFT) < 0;
    int nShownIndex = -1;
    for (size_t i = 0; i < m_arrShown.size(); ++i)
    {
        if (m_arrShown[i] == m_nFocusColumn)
            nShownIndex = (int)i;
    }
    int nColumn = nShownIndex >= 0 ? m_nFocusColumn : 0;
    CTreeListItem* pFocus = m_pFocusItem;
    switch (pMsg->wParam)
    {
    case VK_SPACE:
        if (bTree && pFocus != NULL)
            Expand(pFocus, 2, nColumn);
        return TRUE;
    case VK_ADD:
        if (bTree && pFocus != NULL)
            Expand(pFocus, 0, nColumn);
        return TRUE;
    case VK_SUBTRACT:
        if (bTree && pFocus != NULL)
            Expand(pFocus, 1, nColumn);
        return TRUE;
    case VK_HOME:
        if (m_pRoot->m_pChild != NULL)
            SelectItem(m_pRoot->m_pChild, nColumn, TRUE);
        return TRUE;
    case VK_END:
        if (CTreeListItem* pLast = LastVisibleItem())
            SelectItem(pLast, nColumn, TRUE);
        return TRUE;
    case VK_UP:
    {
        CTreeListItem* pTarget = pFocus != NULL ? GetPrevVisibleItem(pFocus) : m_pRoot->m_pChild;
        if (pTarget != NULL)
            SelectItem(pTarget, nColumn, TRUE);
        return TRUE;
    }
    case VK_DOWN:
    {
        CTreeListItem* pTarget = pFocus != NULL ? GetNextVisibleItem(pFocus) : m_pRoot->m_pChild;
        if (pTarget != NULL)
            SelectItem(pTarget, nColumn, TRUE);
        return TRUE;
    }
    case VK_LEFT:
    case VK_RIGHT:
    {
        if (bShift && bTree)
        {
            if (pFocus != NULL)
                Expand(pFocus, pMsg->wParam == VK_LEFT ? 1 : 0, nColumn);
            return TRUE;
        }
        int nIndex = nShownIndex;
        if (nIndex < 0)
            nIndex = 0;
        else if (pMsg->wParam == VK_LEFT && nIndex > 0)
            --nIndex;
        else if (pMsg->wParam == VK_RIGHT && nIndex + 1 < (int)m_arrShown.size())
            ++nIndex;
        CTreeListItem* pTarget = pFocus != NULL ? pFocus : m_pRoot->m_pChild;
        if (pTarget != NULL)
            SelectItem(pTarget, m_arrShown[nIndex], TRUE);
        else
            m_nFocusColumn = m_arrShown[nIndex];
        return TRUE;
    }
    case VK_NEXT:
    case VK_PRIOR:
    {
        const int nRows = m_pRoot->m_nVisibleRows - 1;
        if (nRows <= 0)
            return TRUE;
        int nPage = GetRowsPerPage();
        if (nPage > 1)
            --nPage;
        const int nFocusRow = pFocus != NULL ? GetItemRow(pFocus) : -1;
        if (pMsg->wParam == VK_NEXT)
        {
            const int nTarget = std::min(m_nTopRow + nPage, nRows - 1);
            if (nFocusRow > nTarget)
            {
                EnsureVisible(pFocus, nColumn);
                return TRUE;
            }
            CTreeListItem* pTarget = ItemAtRow(nTarget);
            if (pTarget != NULL && pTarget == pFocus)
            {
                if (m_nTopRow + nPage + 1 < nRows - nPage - 1)
                    ScrollToRow(m_nTopRow + nPage + 1);
                pTarget = ItemAtRow(std::min(nTarget + nPage + 1, nRows - 1));
            }
            if (pTarget != NULL)
                SelectItem(pTarget, nColumn, TRUE);
        }
        else
        {
            const int nTarget = m_nTopRow;
            if (nFocusRow >= 0 && nFocusRow < nTarget)
            {
                EnsureVisible(pFocus, nColumn);
                return TRUE;
            }
            CTreeListItem* pTarget = ItemAtRow(nTarget);
            if (pTarget != NULL && pTarget == pFocus)
            {
                const int nTop = std::max(0, m_nTopRow - nPage - 1);
                ScrollToRow(nTop);
                pTarget = ItemAtRow(nTop);
            }
            if (pTarget != NULL)
                SelectItem(pTarget, nColumn, TRUE);
        }
        return TRUE;
    }
    default:
        return FALSE;
    }
}
