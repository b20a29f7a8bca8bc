#pragma once
// List-view controls. Item and column indexes out of range make the calls
// fail the way the control does (FALSE, -1, 0 or an empty text).
#include "framework/Wnd.h"

class CImageList;
class CHeaderCtrl;
class CEdit;

class CListCtrl : public CWnd
{
public:
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    BOOL CreateEx(DWORD dwExStyle, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    // ---- Columns -----------------------------------------------------------
    int InsertColumn(int nCol, const LVCOLUMN* pColumn)
    {
        return (int)::SendMessageW(m_hWnd, LVM_INSERTCOLUMNW, (WPARAM)nCol, (LPARAM)pColumn);
    }
    // nWidth -1 leaves the control's default width; nSubItem -1 the default
    // sub-item (the column's own index).
    int InsertColumn(int nCol, LPCTSTR lpszColumnHeading, int nFormat = LVCFMT_LEFT, int nWidth = -1,
                     int nSubItem = -1);
    BOOL DeleteColumn(int nCol) { return (BOOL)::SendMessageW(m_hWnd, LVM_DELETECOLUMN, (WPARAM)nCol, 0); }
    BOOL GetColumn(int nCol, LVCOLUMN* pColumn) const
    {
        return (BOOL)::SendMessageW(m_hWnd, LVM_GETCOLUMNW, (WPARAM)nCol, (LPARAM)pColumn);
    }
    BOOL SetColumn(int nCol, const LVCOLUMN* pColumn)
    {
        return (BOOL)::SendMessageW(m_hWnd, LVM_SETCOLUMNW, (WPARAM)nCol, (LPARAM)pColumn);
    }
    int GetColumnWidth(int nCol) const { return (int)::SendMessageW(m_hWnd, LVM_GETCOLUMNWIDTH, (WPARAM)nCol, 0); }
    // cx may be LVSCW_AUTOSIZE or LVSCW_AUTOSIZE_USEHEADER.
    BOOL SetColumnWidth(int nCol, int cx)
    {
        return (BOOL)::SendMessageW(m_hWnd, LVM_SETCOLUMNWIDTH, (WPARAM)nCol, MAKELPARAM(cx, 0));
    }
    // The header of a report view; NULL when the control has none.
    CHeaderCtrl* GetHeaderCtrl() const;

    // ---- Items -------------------------------------------------------------
    int GetItemCount() const { return (int)::SendMessageW(m_hWnd, LVM_GETITEMCOUNT, 0, 0); }
    // Each insert returns the new item's index, -1 on failure.
    int InsertItem(const LVITEM* pItem)
    {
        return (int)::SendMessageW(m_hWnd, LVM_INSERTITEMW, 0, (LPARAM)pItem);
    }
    int InsertItem(int nItem, LPCTSTR lpszItem);
    int InsertItem(int nItem, LPCTSTR lpszItem, int nImage);
    int InsertItem(UINT nMask, int nItem, LPCTSTR lpszItem, UINT nState, UINT nStateMask, int nImage,
                   LPARAM lParam);
    BOOL DeleteItem(int nItem) { return (BOOL)::SendMessageW(m_hWnd, LVM_DELETEITEM, (WPARAM)nItem, 0); }
    BOOL DeleteAllItems() { return (BOOL)::SendMessageW(m_hWnd, LVM_DELETEALLITEMS, 0, 0); }
    // Makes room for many items at once (or the count of a virtual list).
    void SetItemCount(int nItems) { ::SendMessageW(m_hWnd, LVM_SETITEMCOUNT, (WPARAM)nItems, 0); }

    BOOL GetItem(LVITEM* pItem) const { return (BOOL)::SendMessageW(m_hWnd, LVM_GETITEMW, 0, (LPARAM)pItem); }
    BOOL SetItem(const LVITEM* pItem) { return (BOOL)::SendMessageW(m_hWnd, LVM_SETITEMW, 0, (LPARAM)pItem); }
    BOOL SetItem(int nItem, int nSubItem, UINT nMask, LPCTSTR lpszItem, int nImage, UINT nState,
                 UINT nStateMask, LPARAM lParam);

    // Empty for an item or sub-item that does not exist.
    CString GetItemText(int nItem, int nSubItem) const;
    // Copies at most nLen - 1 characters and a terminator; returns the length.
    int GetItemText(int nItem, int nSubItem, LPTSTR lpszText, int nLen) const;
    BOOL SetItemText(int nItem, int nSubItem, LPCTSTR lpszText);

    // 0 for an item that does not exist.
    DWORD_PTR GetItemData(int nItem) const;
    BOOL SetItemData(int nItem, DWORD_PTR dwData);

    UINT GetItemState(int nItem, UINT nMask) const
    {
        return (UINT)::SendMessageW(m_hWnd, LVM_GETITEMSTATE, (WPARAM)nItem, (LPARAM)nMask);
    }
    // nItem -1 changes every item.
    BOOL SetItemState(int nItem, LVITEM* pItem)
    {
        return (BOOL)::SendMessageW(m_hWnd, LVM_SETITEMSTATE, (WPARAM)nItem, (LPARAM)pItem);
    }
    BOOL SetItemState(int nItem, UINT nState, UINT nMask);

    // Check boxes of LVS_EX_CHECKBOXES (state image 2 is checked).
    BOOL GetCheck(int nItem) const;
    BOOL SetCheck(int nItem, BOOL bCheck = TRUE);

    // ---- Selection and search ----------------------------------------------
    int GetNextItem(int nItem, int nFlags) const
    {
        return (int)::SendMessageW(m_hWnd, LVM_GETNEXTITEM, (WPARAM)nItem, MAKELPARAM(nFlags, 0));
    }
    // NULL when nothing is selected; GetNextSelectedItem returns the item at
    // the position and moves the position on (NULL after the last one).
    POSITION GetFirstSelectedItemPosition() const;
    int GetNextSelectedItem(POSITION& pos) const;
    UINT GetSelectedCount() const { return (UINT)::SendMessageW(m_hWnd, LVM_GETSELECTEDCOUNT, 0, 0); }
    int GetSelectionMark() const { return (int)::SendMessageW(m_hWnd, LVM_GETSELECTIONMARK, 0, 0); }
    int SetSelectionMark(int iIndex) { return (int)::SendMessageW(m_hWnd, LVM_SETSELECTIONMARK, 0, (LPARAM)iIndex); }
    // nStart -1 searches from the top.
    int FindItem(LVFINDINFO* pFindInfo, int nStart = -1) const
    {
        return (int)::SendMessageW(m_hWnd, LVM_FINDITEMW, (WPARAM)nStart, (LPARAM)pFindInfo);
    }

    // ---- Look ----------------------------------------------------------------
    // Both return the extended style before the change.
    DWORD SetExtendedStyle(DWORD dwNewStyle)
    {
        return (DWORD)::SendMessageW(m_hWnd, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, (LPARAM)dwNewStyle);
    }
    DWORD GetExtendedStyle() const { return (DWORD)::SendMessageW(m_hWnd, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0); }
    // nImageList is LVSIL_NORMAL, LVSIL_SMALL or LVSIL_STATE. Returns the list
    // set before; the control does not own its lists (LVS_SHAREIMAGELISTS is
    // added so that it never destroys them).
    CImageList* SetImageList(CImageList* pImageList, int nImageList);
    CImageList* GetImageList(int nImageList) const;
    COLORREF GetBkColor() const { return (COLORREF)::SendMessageW(m_hWnd, LVM_GETBKCOLOR, 0, 0); }
    BOOL SetBkColor(COLORREF cr) { return (BOOL)::SendMessageW(m_hWnd, LVM_SETBKCOLOR, 0, (LPARAM)cr); }
    COLORREF GetTextColor() const { return (COLORREF)::SendMessageW(m_hWnd, LVM_GETTEXTCOLOR, 0, 0); }
    BOOL SetTextColor(COLORREF cr) { return (BOOL)::SendMessageW(m_hWnd, LVM_SETTEXTCOLOR, 0, (LPARAM)cr); }
    COLORREF GetTextBkColor() const { return (COLORREF)::SendMessageW(m_hWnd, LVM_GETTEXTBKCOLOR, 0, 0); }
    BOOL SetTextBkColor(COLORREF cr) { return (BOOL)::SendMessageW(m_hWnd, LVM_SETTEXTBKCOLOR, 0, (LPARAM)cr); }
    int GetStringWidth(LPCTSTR lpsz) const { return (int)::SendMessageW(m_hWnd, LVM_GETSTRINGWIDTHW, 0, (LPARAM)lpsz); }

    // ---- Geometry and scrolling ---------------------------------------------
    // nCode is LVIR_BOUNDS, LVIR_ICON, LVIR_LABEL or LVIR_SELECTBOUNDS.
    BOOL GetItemRect(int nItem, LPRECT lpRect, UINT nCode) const;
    BOOL GetSubItemRect(int iItem, int iSubItem, int nArea, CRect& ref) const;
    // The item under the point, -1 for none.
    int HitTest(LVHITTESTINFO* pHitTestInfo) const
    {
        return (int)::SendMessageW(m_hWnd, LVM_HITTEST, 0, (LPARAM)pHitTestInfo);
    }
    int HitTest(CPoint pt, UINT* pFlags = NULL) const;
    int SubItemHitTest(LPLVHITTESTINFO pInfo)
    {
        return (int)::SendMessageW(m_hWnd, LVM_SUBITEMHITTEST, 0, (LPARAM)pInfo);
    }
    BOOL EnsureVisible(int nItem, BOOL bPartialOK)
    {
        return (BOOL)::SendMessageW(m_hWnd, LVM_ENSUREVISIBLE, (WPARAM)nItem, MAKELPARAM(bPartialOK, 0));
    }
    int GetTopIndex() const { return (int)::SendMessageW(m_hWnd, LVM_GETTOPINDEX, 0, 0); }
    int GetCountPerPage() const { return (int)::SendMessageW(m_hWnd, LVM_GETCOUNTPERPAGE, 0, 0); }
    BOOL Scroll(CSize size) { return (BOOL)::SendMessageW(m_hWnd, LVM_SCROLL, (WPARAM)size.cx, (LPARAM)size.cy); }
    BOOL RedrawItems(int nFirst, int nLast)
    {
        return (BOOL)::SendMessageW(m_hWnd, LVM_REDRAWITEMS, (WPARAM)nFirst, (LPARAM)nLast);
    }
    BOOL Update(int nItem) { return (BOOL)::SendMessageW(m_hWnd, LVM_UPDATE, (WPARAM)nItem, 0); }

    // ---- Sorting and label editing -------------------------------------------
    // The comparison gets the two items' item data and dwData.
    BOOL SortItems(PFNLVCOMPARE pfnCompare, DWORD_PTR dwData)
    {
        return (BOOL)::SendMessageW(m_hWnd, LVM_SORTITEMS, (WPARAM)dwData, (LPARAM)pfnCompare);
    }
    CEdit* GetEditControl() const;
    CEdit* EditLabel(int nItem);
};
