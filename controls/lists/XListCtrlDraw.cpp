// Painting of the check-box list: every cell through custom draw, the
// background only around the rows, and a thin frame round the window.
#include "controls/lists/XListCtrl.h"
#include "controls/lists/XCheckBox.h"
#include "controls/lists/ListDrawing.h"

#include <algorithm>

namespace {
const COLORREF kFrameColour = RGB(190, 197, 201);
const int kTextBuffer = 1024;
}

CRect CXListCtrl::CellRect(int nItem, int nSubItem) const
{
    CRect rcRow(0, 0, 0, 0);
    CRect rcHeader(0, 0, 0, 0);
    rcRow.left = LVIR_BOUNDS;
    if (!m_bHeaderSubclassed ||
        !const_cast<CXListCtrl*>(this)->DefWindowProc(LVM_GETITEMRECT, (WPARAM)nItem, (LPARAM)&rcRow) ||
        !m_HeaderCtrl.GetItemRect(nSubItem, &rcHeader))
        return CRect(0, 0, 0, 0);
    // The heading's place gives the cell's, whatever the display order.
    return CRect(rcRow.left + rcHeader.left, rcRow.top, rcRow.left + rcHeader.right, rcRow.bottom);
}

CRect CXListCtrl::GetCheckboxRect(int nItem, int nSubItem) const
{
    if (!IsValidCell(nItem, nSubItem))
        return CRect(0, 0, 0, 0);
    CXListCellData* pCell = Cell(nItem, nSubItem);
    if (pCell == NULL || pCell->m_pCheckbox == NULL || pCell->m_pCheckbox->GetCheck() == 0)
        return CRect(0, 0, 0, 0);
    CRect rc = CellRect(nItem, nSubItem);
    if (rc.IsRectEmpty())
        return rc;
    wchar_t szText[2] = {};
    LVITEMW item = {};
    item.iSubItem = nSubItem;
    item.pszText = szText;
    item.cchTextMax = 2;
    const_cast<CXListCtrl*>(this)->DefWindowProc(LVM_GETITEMTEXTW, (WPARAM)nItem, (LPARAM)&item);
    rc.left = szText[0] != 0 ? rc.left + m_nTextMargin
                             : rc.left + (rc.Width() - CXCheckBox::BOX_SIZE) / 2;
    return CXCheckBox::BoxRect(rc);
}

void CXListCtrl::InvalidateCell(int nItem, int nSubItem)
{
    if (!m_bRedraw || m_hWnd == NULL)
        return;
    CRect rc = CellRect(nItem, nSubItem);
    if (!rc.IsRectEmpty())
        InvalidateRect(&rc, FALSE);
}

void CXListCtrl::OnCustomDraw(NMHDR* pNMHDR, LRESULT* pResult)
{
    NMLVCUSTOMDRAW* pCD = (NMLVCUSTOMDRAW*)pNMHDR;
    *pResult = CDRF_DODEFAULT;
    switch (pCD->nmcd.dwDrawStage)
    {
    case CDDS_PREPAINT:
        *pResult = CDRF_NOTIFYITEMDRAW;
        break;
    case CDDS_ITEMPREPAINT:
        *pResult = CDRF_NOTIFYSUBITEMDRAW;
        break;
    case CDDS_ITEMPREPAINT | CDDS_SUBITEM:
    {
        int nItem = (int)pCD->nmcd.dwItemSpec;
        int nSubItem = pCD->iSubItem;
        CXListCellData* pCell = Cell(nItem, nSubItem);
        pCD->clrText = pCell != NULL ? pCell->m_crText : m_crWindowText;
        pCD->clrTextBk = pCell != NULL ? pCell->m_crBackground : m_crWindow;
        DrawCell(pCD->nmcd.hdc, nItem, nSubItem);
        *pResult = CDRF_SKIPDEFAULT;
        break;
    }
    }
}

void CXListCtrl::DrawCell(HDC hDC, int nItem, int nSubItem)
{
    CRect rc = CellRect(nItem, nSubItem);
    if (rc.IsRectEmpty())
        return;
    CXListCellData* pCell = Cell(nItem, nSubItem);
    COLORREF crText = pCell != NULL ? pCell->m_crText : m_crWindowText;
    COLORREF crBack = pCell != NULL ? pCell->m_crBackground : m_crWindow;

    UINT nState = (UINT)DefWindowProc(LVM_GETITEMSTATE, (WPARAM)nItem, LVIS_SELECTED);
    BOOL bFullRow = (DefWindowProc(LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0) & LVS_EX_FULLROWSELECT) != 0;
    if ((nState & LVIS_SELECTED) && (bFullRow || nSubItem == 0))
    {
        if (::GetFocus() == m_hWnd)
        {
            crText = m_crHighlightText;
            crBack = m_crHighlight;
        }
        else if (GetStyle() & LVS_SHOWSELALWAYS)
        {
            crText = m_crWindowText;
            crBack = m_crBtnFace;
        }
    }

    wchar_t szText[kTextBuffer] = {};
    LVITEMW item = {};
    item.iSubItem = nSubItem;
    item.pszText = szText;
    item.cchTextMax = kTextBuffer;
    DefWindowProc(LVM_GETITEMTEXTW, (WPARAM)nItem, (LPARAM)&item);

    ListFillSolid(hDC, rc, crBack);
    UINT nFormat = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | (m_bEllipsis ? DT_END_ELLIPSIS : 0);
    CRect rcText = rc;
    if (pCell != NULL && pCell->m_pCheckbox != NULL && pCell->m_pCheckbox->GetCheck() != 0)
    {
        CRect rcBox = rc;
        rcBox.left = szText[0] != 0 ? rc.left + m_nTextMargin : rc.left + (rc.Width() - CXCheckBox::BOX_SIZE) / 2;
        int nWidth = pCell->m_pCheckbox->Draw(hDC, rcBox);
        rcText.left = rcBox.left + nWidth;
        rcText.right -= m_nTextMargin;
    }
    else
    {
        rcText.DeflateRect(m_nTextMargin, 0);
        HIMAGELIST hImages = (HIMAGELIST)DefWindowProc(LVM_GETIMAGELIST, LVSIL_SMALL, 0);
        int cxImage = 0;
        int cyImage = 0;
        if (pCell != NULL && pCell->m_nImage != -1 && hImages != NULL &&
            ImageList_GetIconSize(hImages, &cxImage, &cyImage))
        {
            int cx = std::min(cxImage, std::max(0, rc.Width()));
            int cy = std::min(cyImage, rc.Height());
            int y = rc.top + (rc.Height() - cy) / 2;
            COLORREF crOldBk = ImageList_SetBkColor(hImages, CLR_NONE);
            ImageList_DrawEx(hImages, pCell->m_nImage, hDC, rcText.left, y, cx, cy, CLR_DEFAULT, CLR_DEFAULT,
                             ILD_TRANSPARENT);
            ImageList_SetBkColor(hImages, crOldBk);
            rcText.left += cxImage + m_nTextMargin;
        }
        LVCOLUMNW column = {};
        column.mask = LVCF_FMT;
        if (DefWindowProc(LVM_GETCOLUMNW, (WPARAM)nSubItem, (LPARAM)&column))
        {
            if ((column.fmt & LVCFMT_JUSTIFYMASK) == LVCFMT_RIGHT)
                nFormat |= DT_RIGHT;
            else if ((column.fmt & LVCFMT_JUSTIFYMASK) == LVCFMT_CENTER)
                nFormat |= DT_CENTER;
        }
    }
    if (szText[0] != 0 && rcText.right > rcText.left)
    {
        int nOldMode = ::SetBkMode(hDC, TRANSPARENT);
        COLORREF crOld = ::SetTextColor(hDC, crText);
        ::DrawTextW(hDC, szText, -1, &rcText, nFormat);
        ::SetTextColor(hDC, crOld);
        ::SetBkMode(hDC, nOldMode);
    }
}

void CXListCtrl::OnPaint()
{
    Default();
    HDC hDC = ::GetWindowDC(m_hWnd);
    if (hDC == NULL)
        return;
    CRect rc;
    GetWindowRect(&rc);
    rc.OffsetRect(-rc.left, -rc.top);
    ListFrameSolid(hDC, rc, kFrameColour);
    ::ReleaseDC(m_hWnd, hDC);
}

BOOL CXListCtrl::OnEraseBkgnd(CDC* pDC)
{
    int nCount = GetItemCount();
    RECT rcClip;
    HDC hDC = pDC != NULL ? pDC->GetSafeHdc() : NULL;
    int nClip = hDC != NULL ? ::GetClipBox(hDC, &rcClip) : ERROR;
    if (nCount <= 0 || nClip == NULLREGION || nClip == ERROR)
        return (BOOL)Default();
    int nFirst = GetTopIndex();
    int nLast = std::min(nFirst + GetCountPerPage(), nCount - 1);
    CRect rcFirst;
    CRect rcLast;
    if (!GetItemRect(nFirst, &rcFirst, LVIR_BOUNDS) || !GetItemRect(nLast, &rcLast, LVIR_BOUNDS))
        return (BOOL)Default();
    // Never under the rows: they paint themselves, and a second fill flickers.
    RECT rcAbove = { rcClip.left, rcClip.top, rcClip.right, std::min(rcFirst.top, rcClip.bottom) };
    RECT rcBelow = { rcClip.left, std::max(rcLast.bottom, rcClip.top), rcClip.right, rcClip.bottom };
    RECT rcRight = { std::max(rcFirst.right, rcClip.left), std::max(rcFirst.top, rcClip.top), rcClip.right,
                     std::min(rcLast.bottom, rcClip.bottom) };
    ListFillSolid(hDC, rcAbove, m_crWindow);
    ListFillSolid(hDC, rcBelow, m_crWindow);
    ListFillSolid(hDC, rcRight, m_crWindow);
    return TRUE;
}

void CXListCtrl::OnSysColorChange()
{
    TakeColours();
    Default();
}

LRESULT CXListCtrl::OnThemeChanged(WPARAM, LPARAM)
{
    CXCheckBox::CloseTheme();
    CXHeaderCtrl::CloseTheme();
    LRESULT lResult = Default();
    if (m_hWnd != NULL)
        Invalidate();
    return lResult;
}
