// Painting of the tree list: background, rows, the tree column with its
// button, check box and image, rich-text cells, links and count lines.
#include "controls/lists/TreeListCtrl.h"
#include "controls/lists/TreeListRoute.h"

namespace {

// Solid fills without brushes: nothing to create or release per paint.
void FillSolid(HDC hDC, const RECT& rc, COLORREF cr)
{
    if (rc.right <= rc.left || rc.bottom <= rc.top)
        return;
    const COLORREF crOld = ::SetBkColor(hDC, cr);
    ::ExtTextOutW(hDC, 0, 0, ETO_OPAQUE, &rc, NULL, 0, NULL);
    ::SetBkColor(hDC, crOld);
}

void HorizontalLine(HDC hDC, int x1, int x2, int y, COLORREF cr)
{
    RECT rc = { x1, y, x2, y + 1 };
    FillSolid(hDC, rc, cr);
}

void VerticalLine(HDC hDC, int x, int y1, int y2, COLORREF cr)
{
    RECT rc = { x, y1, x + 1, y2 };
    FillSolid(hDC, rc, cr);
}

void FrameSolid(HDC hDC, const RECT& rc, COLORREF cr)
{
    HorizontalLine(hDC, rc.left, rc.right, rc.top, cr);
    HorizontalLine(hDC, rc.left, rc.right, rc.bottom - 1, cr);
    VerticalLine(hDC, rc.left, rc.top, rc.bottom, cr);
    VerticalLine(hDC, rc.right - 1, rc.top, rc.bottom, cr);
}

} // namespace

void CTreeListCtrl::PrepareTexts()
{
    m_strOpen = LangText(L"IDD_163_OPEN", L"Open");
    m_strIgnore = LangText(L"IDD_163_IGNORE", L"Ignore");
    m_strSelected = LangText(L"IDD_163_SELECTED", L"Selected");
    m_strItems = LangText(L"IDD_163_ITEMS", L"Items");
}

CTreeListCtrl::CellParts CTreeListCtrl::LayoutTreeCell(CTreeListItem* pItem, const CRect& rcCell)
{
    CellParts parts;
    int x = rcCell.left + 2;
    const bool bTree = (m_dwStyle & TLC_TREE) != 0;
    if (bTree)
        x += 16 * (pItem->m_nLevel - 1);
    parts.bButtonSlot = bTree && (m_dwStyle & (TLC_TREELINE | TLC_BUTTON)) != 0;
    parts.xButton = x;
    if (parts.bButtonSlot)
        x += 16;
    parts.bCheck = (m_dwStyle & TLC_CHECKBOX) && (pItem->m_dwState & TLIS_CHECKBOX);
    parts.xCheck = x;
    if (parts.bCheck)
        x += 16;
    parts.bImage = (m_dwStyle & TLC_IMAGE) && (pItem->m_dwState & TLIS_IMAGES);
    parts.xImage = x;
    if (parts.bImage)
        x += 18;
    parts.xText = x;
    parts.rcKept = rcCell;
    if (m_bVRange)
        parts.rcKept.right -= ::GetSystemMetrics(SM_CXVSCROLL);
    const CRect& rc = parts.rcKept;
    parts.rcOpen.SetRect(rc.right - 95, rc.bottom - 18, rc.right - 58, rc.bottom - 4);
    parts.rcIgnore.SetRect(rc.right - 50, rc.bottom - 18, rc.right - 4, rc.bottom - 4);
    const bool bChild = pItem->m_pParent != NULL && pItem->m_pParent != m_pRoot;
    parts.bOpen = bTree && bChild && (pItem->m_dwState & TLIS_OPENLINK) && (m_dwStyle & TLC_OPENLINK);
    parts.bIgnore = bTree && bChild && (pItem->m_dwState & TLIS_IGNORELINK) && (m_dwStyle & TLC_IGNORELINK);
    return parts;
}

COLORREF CTreeListCtrl::RowColor(int nRowOnPage)
{
    const bool bEnabled = m_hWnd == NULL || ::IsWindowEnabled(m_hWnd);
    if (m_dwStyle & TLC_DOUBLECOLOR)
    {
        if (nRowOnPage & 1)
            return bEnabled ? m_crColors[2] : m_crColors[6];
        return bEnabled ? m_crColors[3] : m_crColors[7];
    }
    return bEnabled ? m_crColors[1] : m_crColors[5];
}

void CTreeListCtrl::OnPaint()
{
    m_bInvalidated = false;
    PAINTSTRUCT ps;
    HDC hDC = ::BeginPaint(m_hWnd, &ps);
    if (hDC == NULL)
        return;
    CRect rcPaint = ps.rcPaint;
    if (m_rcHeader.Height() > 0 && rcPaint.top < m_rcHeader.bottom)
        rcPaint.top = m_rcHeader.bottom;
    if (!rcPaint.IsRectEmpty())
    {
        bool bDone = false;
        if (m_dwFlags & 0x2)
        {
            // Off-screen buffer of the paint rectangle, drawn in client coordinates.
            HDC hMemDC = ::CreateCompatibleDC(hDC);
            HBITMAP hBitmap = hMemDC != NULL ? ::CreateCompatibleBitmap(hDC, rcPaint.Width(), rcPaint.Height()) : NULL;
            if (hBitmap != NULL)
            {
                HGDIOBJ hOld = ::SelectObject(hMemDC, hBitmap);
                ::SetViewportOrgEx(hMemDC, -rcPaint.left, -rcPaint.top, NULL);
                PaintTo(hMemDC, rcPaint);
                ::BitBlt(hDC, rcPaint.left, rcPaint.top, rcPaint.Width(), rcPaint.Height(), hMemDC, rcPaint.left,
                         rcPaint.top, SRCCOPY);
                ::SelectObject(hMemDC, hOld);
                ::DeleteObject(hBitmap);
                bDone = true;
            }
            if (hMemDC != NULL)
                ::DeleteDC(hMemDC);
        }
        if (!bDone)
            PaintTo(hDC, rcPaint);
    }
    ::EndPaint(m_hWnd, &ps);
    DrawBorder();
    ++m_nPaintCount;
}

void CTreeListCtrl::PaintTo(HDC hDC, const RECT& rcClipIn)
{
    TL_ROUTE(PaintTo(hDC, rcClipIn));
    CRect rcClip = rcClipIn;
    CRect rcItems = m_rcItems;
    if (rcItems.IsRectEmpty() && m_hWnd != NULL)
        ::GetClientRect(m_hWnd, &rcItems);
    rcClip &= rcItems;
    if (rcClip.IsRectEmpty())
        return;
    PrepareTexts();
    const int nSaved = ::SaveDC(hDC);
    PaintBackground(hDC, rcClip);
    PaintRows(hDC, rcClip, rcItems);
    ::RestoreDC(hDC, nSaved);
}

void CTreeListCtrl::PaintBackground(HDC hDC, const CRect& rcClip)
{
    const bool bEnabled = m_hWnd == NULL || ::IsWindowEnabled(m_hWnd);
    HBITMAP hTile = bEnabled ? m_hBkBitmap : m_hBkDisabledBitmap;
    if ((m_dwStyle & TLC_BKGNDIMAGE) && hTile != NULL)
    {
        BITMAP bm = {};
        ::GetObjectW(hTile, sizeof(bm), &bm);
        HDC hTileDC = ::CreateCompatibleDC(hDC);
        if (hTileDC != NULL && bm.bmWidth > 0 && bm.bmHeight > 0)
        {
            HGDIOBJ hOld = ::SelectObject(hTileDC, hTile);
            const int x0 = -(m_nHScroll % bm.bmWidth);
            for (int y = 0; y < rcClip.bottom; y += bm.bmHeight)
            {
                if (y + bm.bmHeight <= rcClip.top)
                    continue;
                for (int x = x0; x < rcClip.right; x += bm.bmWidth)
                {
                    if (x + bm.bmWidth <= rcClip.left)
                        continue;
                    CRect rcTile(x, y, x + bm.bmWidth, y + bm.bmHeight);
                    rcTile &= rcClip;
                    ::BitBlt(hDC, rcTile.left, rcTile.top, rcTile.Width(), rcTile.Height(), hTileDC,
                             rcTile.left - x, rcTile.top - y, SRCCOPY);
                }
            }
            ::SelectObject(hTileDC, hOld);
        }
        if (hTileDC != NULL)
            ::DeleteDC(hTileDC);
        return;
    }
    COLORREF cr;
    if (m_dwStyle & TLC_BKGNDCOLOR)
        cr = bEnabled ? m_crColors[0] : m_crColors[4];
    else
        cr = bEnabled ? m_crColors[1] : m_crColors[5];
    FillSolid(hDC, rcClip, cr);
}

void CTreeListCtrl::PaintRows(HDC hDC, const CRect& rcClip, const CRect& rcItems)
{
    if (m_pRoot->m_pChild == NULL)
        return;
    ::SelectObject(hDC, m_font.GetSafeHandle());
    ::SetBkMode(hDC, TRANSPARENT);
    ::SetTextColor(hDC, m_crColors[16]);
    CRect rcRow;
    rcRow.left = rcItems.left - m_nHScroll;
    rcRow.right = rcRow.left + ColumnsWidth();
    const int nClientRight = rcItems.right;
    int y = rcItems.top;
    int nRowOnPage = 0;
    // Every row that reaches into the items area is painted, whatever the heights.
    for (CTreeListItem* pItem = ItemAtRow(m_nTopRow); pItem != NULL && y < rcItems.bottom;
         pItem = GetNextVisibleItem(pItem), ++nRowOnPage)
    {
        rcRow.top = y;
        rcRow.bottom = y + pItem->m_nHeight;
        y = rcRow.bottom;
        if (rcRow.bottom <= rcClip.top || rcRow.top >= rcClip.bottom)
        {
            // Not painted, but the kept cell must still match the screen.
            if (!m_arrShown.empty() && m_arrShown[0] == 0)
                pItem->m_rcCell = LayoutTreeCell(pItem, CRect(rcRow.left, rcRow.top,
                                                              rcRow.left + m_arrColumns[0]->m_nWidth,
                                                              rcRow.bottom)).rcKept;
            continue;
        }
        if (!(m_dwStyle & TLC_BKGNDIMAGE))
            FillSolid(hDC, rcRow, RowColor(nRowOnPage));
        PaintRow(hDC, pItem, rcRow, rcClip);
        if (m_dwStyle & TLC_HGRID_FULL)
            HorizontalLine(hDC, rcItems.left, nClientRight, rcRow.bottom - 1, m_crColors[18]);
    }
    if ((m_dwStyle & TLC_HGRID) && !(m_dwStyle & (TLC_HGRID_EXT | TLC_VGRID_EXT)) && y < rcItems.bottom)
        HorizontalLine(hDC, rcRow.left, rcRow.right, y - 1, m_crColors[18]);
    // The rest of the page in row colours.
    const int nStep = m_nDefaultHeight > 0 ? m_nDefaultHeight : 20;
    while (y < rcItems.bottom && y < rcClip.bottom)
    {
        CRect rcEmpty(rcRow.left, y, rcRow.right, y + nStep);
        if (!(m_dwStyle & TLC_BKGNDIMAGE))
            FillSolid(hDC, rcEmpty, RowColor(nRowOnPage));
        if ((m_dwStyle & TLC_HGRID_EXT) && (m_dwStyle & TLC_HGRID_FULL))
            HorizontalLine(hDC, rcItems.left, nClientRight, rcEmpty.bottom - 1, m_crColors[18]);
        y += nStep;
        ++nRowOnPage;
    }
}

void CTreeListCtrl::PaintRow(HDC hDC, CTreeListItem* pItem, const CRect& rcRow, const CRect& rcClip)
{
    const bool bFocus = (m_dwFlags & 0x4) != 0;
    if ((pItem->m_dwState & TLIS_SELECTED) && (m_dwStyle & TLC_SHOWSELFULLROWS) &&
        (bFocus || (m_dwStyle & TLC_SHOWSELACTIVE)))
    {
        COLORREF cr = m_crColors[9];
        if (!bFocus)
            cr = m_crColors[11];
        else if ((m_dwStyle & TLC_MULTIPLESELECT) && !m_arrSelected.empty() && m_arrSelected[0] != pItem)
            cr = m_crColors[8];
        CRect rcFill = rcRow;
        if (m_dwStyle & TLC_HGRID)
            --rcFill.bottom;
        if (m_dwStyle & TLC_VGRID)
            --rcFill.right;
        if (!bFocus && !m_arrShown.empty() && m_arrShown[0] == 0)
        {
            // Box and image stay as they are.
            CellParts parts = LayoutTreeCell(pItem, CRect(rcRow.left, rcRow.top,
                                                          rcRow.left + m_arrColumns[0]->m_nWidth, rcRow.bottom));
            if (parts.bCheck || parts.bImage)
                rcFill.left = parts.xText;
        }
        FillSolid(hDC, rcFill, cr);
    }
    int x = rcRow.left;
    for (int nColumn : m_arrShown)
    {
        const int nWidth = m_arrColumns[nColumn]->m_nWidth;
        if (nWidth <= 0)
            continue;
        CRect rcCell(x, rcRow.top, x + nWidth, rcRow.bottom);
        x += nWidth;
        if (rcCell.right <= rcClip.left || rcCell.left >= rcClip.right)
        {
            if (nColumn == 0)
                pItem->m_rcCell = LayoutTreeCell(pItem, rcCell).rcKept;
            continue;
        }
        if (nColumn == 0 && (m_dwStyle & TLC_TREE))
            PaintTreeCell(hDC, pItem, rcCell, rcClip);
        else
            PaintCell(hDC, pItem, nColumn, rcCell);
    }
}

void CTreeListCtrl::PaintTreeCell(HDC hDC, CTreeListItem* pItem, const CRect& rcCell, const CRect& rcClip)
{
    const CellParts parts = LayoutTreeCell(pItem, rcCell);
    const bool bEnabled = m_hWnd == NULL || ::IsWindowEnabled(m_hWnd);
    const int nSaved = ::SaveDC(hDC);
    CRect rcVisible = rcCell;
    rcVisible &= rcClip;
    ::IntersectClipRect(hDC, rcVisible.left, rcVisible.top, rcVisible.right, rcVisible.bottom);

    if (parts.bButtonSlot && (m_dwStyle & TLC_BUTTON) && pItem->m_pChild != NULL)
    {
        const int cx = parts.xButton + 7;
        const int cy = rcCell.top + rcCell.Height() / 2 - 1;
        const int nSavedButton = ::SaveDC(hDC);
        ::IntersectClipRect(hDC, std::max((int)rcCell.left + 2, parts.xButton), rcCell.top,
                            std::min((int)rcCell.right - 3, parts.xButton + 16), rcCell.bottom);
        CRect rcBox(cx - 4, cy - 4, cx + 5, cy + 5);
        FillSolid(hDC, rcBox, bEnabled ? RGB(255, 255, 255) : RGB(0xD0, 0xD0, 0xD0));
        FrameSolid(hDC, rcBox, m_crColors[19]);
        HorizontalLine(hDC, cx - 2, cx + 3, cy, RGB(0, 0, 0));
        if (!(pItem->m_dwState & TLIS_EXPANDED))
            VerticalLine(hDC, cx, cy - 2, cy + 3, RGB(0, 0, 0));
        ::RestoreDC(hDC, nSavedButton);
    }
    if (parts.bCheck)
    {
        const int y = rcCell.top + (rcCell.Height() - 16) / 2;
        const int nCheck = pItem->GetCheck();
        if (m_imlCheck.GetSafeHandle() != NULL && m_imlCheck.GetImageCount() >= 3)
            ::ImageList_Draw(m_imlCheck.GetSafeHandle(), nCheck, hDC, parts.xCheck, y, ILD_TRANSPARENT);
        else
        {
            RECT rcBox = { parts.xCheck + 1, y + 1, parts.xCheck + 14, y + 14 };
            UINT uState = DFCS_BUTTONCHECK | DFCS_FLAT;
            if (nCheck == 1)
                uState |= DFCS_CHECKED;
            else if (nCheck == 2)
                uState = DFCS_BUTTON3STATE | DFCS_CHECKED | DFCS_FLAT;
            ::DrawFrameControl(hDC, &rcBox, DFC_BUTTON, uState);
        }
    }
    if (parts.bImage && m_pItemImages != NULL && m_pItemImages->GetSafeHandle() != NULL)
    {
        const bool bPrimary = !m_arrSelected.empty() && m_arrSelected[0] == pItem;
        const bool bOpen = (pItem->m_dwState & TLIS_EXPANDED) && pItem->m_pChild != NULL;
        const int nSlot = bOpen ? (bPrimary ? 3 : 2) : (bPrimary ? 1 : 0);
        const int y = rcCell.top + (rcCell.Height() - 16) / 2;
        ::ImageList_Draw(m_pItemImages->GetSafeHandle(), pItem->m_nImages[nSlot], hDC, parts.xImage, y,
                         ILD_TRANSPARENT);
    }

    // The kept rectangle is what the hit test reads for this row.
    pItem->m_rcCell = parts.rcKept;
    CRect rcText(parts.xText + 2, rcCell.top, parts.rcKept.right - 3, rcCell.bottom - 1);
    if (rcText.right > rcText.left)
    {
        if (pItem->m_dwState & TLIS_SELECTED)
        {
            FillSolid(hDC, rcText, m_crColors[9]);
            HorizontalLine(hDC, rcText.left, rcText.right, parts.rcKept.bottom - 1, m_crColors[19]);
        }
        CRect rcDraw = rcText;
        rcDraw.left += TextGap() + 5;
        rcDraw.top += 5;
        ::SetTextColor(hDC, m_crColors[16]);
        switch (pItem->m_nTextKind)
        {
        case 1:
            DrawHTML(hDC, pItem->m_strMeasured, pItem->m_strMeasured.GetLength(), &rcDraw, DT_WORDBREAK,
                     &m_fontCache);
            break;
        case 2:
            ::DrawTextW(hDC, pItem->m_strMeasured, pItem->m_strMeasured.GetLength(), &rcDraw,
                        DT_WORDBREAK | DT_NOPREFIX);
            break;
        case 3:
        {
            CRect rcLine = rcText;
            rcLine.left += (m_dwStyle & TLC_CHECKBOX) ? 21 : 5;
            ::DrawTextW(hDC, pItem->m_strMeasured, pItem->m_strMeasured.GetLength(), &rcLine,
                        DT_SINGLELINE | DT_VCENTER | DT_PATH_ELLIPSIS | DT_NOPREFIX);
            break;
        }
        default:
            break;
        }
    }
    if (m_dwStyle & TLC_TGRID)
        HorizontalLine(hDC, rcCell.left, rcCell.right, rcCell.bottom - 1, m_crColors[18]);
    if (m_dwStyle & TLC_VGRID)
        VerticalLine(hDC, rcCell.right - 1, rcCell.top, rcCell.bottom, m_crColors[18]);

    HGDIOBJ hOldFont = ::SelectObject(hDC, m_fontBold.GetSafeHandle());
    if (parts.bOpen || parts.bIgnore)
    {
        ::SetTextColor(hDC, RGB(0, 0, 255));
        if (parts.bOpen)
        {
            CRect rc = parts.rcOpen;
            rc &= rcCell;
            ::DrawTextW(hDC, m_strOpen, m_strOpen.GetLength(), &rc, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        }
        if (parts.bIgnore)
        {
            CRect rc = parts.rcIgnore;
            rc &= rcCell;
            ::DrawTextW(hDC, m_strIgnore, m_strIgnore.GetLength(), &rc,
                        DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        }
        ::SetTextColor(hDC, m_crColors[16]);
    }
    if (pItem->m_pParent == m_pRoot && (m_dwStyle & TLC_OPENLINK) && (m_dwStyle & TLC_IGNORELINK))
    {
        CString strCount;
        strCount.Format(L"%d %s/%d %s", pItem->m_nChecked, (LPCWSTR)m_strSelected, pItem->m_nChildren,
                        (LPCWSTR)m_strItems);
        CRect rc(rcCell.left, rcCell.top + 5, parts.rcKept.right - 5, rcCell.bottom);
        ::DrawTextW(hDC, strCount, strCount.GetLength(), &rc, DT_RIGHT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
    }
    ::SelectObject(hDC, hOldFont);
    if ((pItem->m_dwState & TLIS_SELECTED) && (m_dwFlags & 0x4))
    {
        CRect rcFocus = parts.rcKept;
        ::DrawFocusRect(hDC, &rcFocus);
    }
    ::RestoreDC(hDC, nSaved);
}

void CTreeListCtrl::PaintCell(HDC hDC, CTreeListItem* pItem, int nColumn, const CRect& rcCell)
{
    const CString* pText = pItem->GetText(nColumn);
    if (pText == NULL || pText->IsEmpty())
        return;
    const DWORD dwFormat = m_arrColumns[nColumn]->m_dwFormat;
    UINT uFormat = DT_SINGLELINE | DT_NOPREFIX;
    if (dwFormat & TLF_TEXTALIGN_RIGHT)
        uFormat |= DT_RIGHT;
    else if (dwFormat & TLF_TEXTALIGN_CENTER)
        uFormat |= DT_CENTER;
    else
        uFormat |= DT_LEFT | DT_WORD_ELLIPSIS;
    if (dwFormat & TLF_TEXTALIGN_TOP)
        uFormat |= DT_TOP;
    else if (dwFormat & TLF_TEXTALIGN_BOTTOM)
        uFormat |= DT_BOTTOM;
    else
        uFormat |= DT_VCENTER;
    CRect rc = rcCell;
    rc.DeflateRect(4, 1);
    ::SetTextColor(hDC, m_crColors[16]);
    ::DrawTextW(hDC, *pText, pText->GetLength(), &rc, uFormat);
    if (m_dwStyle & TLC_HGRID)
        HorizontalLine(hDC, rcCell.left, rcCell.right, rcCell.bottom - 1, m_crColors[18]);
    if (m_dwStyle & TLC_VGRID)
        VerticalLine(hDC, rcCell.right - 1, rcCell.top, rcCell.bottom, m_crColors[18]);
}
