#pragma once
// Tree-view controls. A NULL or stale item handle makes the calls fail the
// way the control does (FALSE, NULL, 0 or an empty text).
#include "framework/Wnd.h"

class CImageList;
class CEdit;

class CTreeCtrl : public CWnd
{
public:
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    BOOL CreateEx(DWORD dwExStyle, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    // ---- Items -------------------------------------------------------------
    // Each insert returns the new item, NULL on failure.
    HTREEITEM InsertItem(LPTVINSERTSTRUCT lpInsertStruct)
    {
        return (HTREEITEM)::SendMessageW(m_hWnd, TVM_INSERTITEMW, 0, (LPARAM)lpInsertStruct);
    }
    HTREEITEM InsertItem(UINT nMask, LPCTSTR lpszItem, int nImage, int nSelectedImage, UINT nState,
                         UINT nStateMask, LPARAM lParam, HTREEITEM hParent, HTREEITEM hInsertAfter);
    HTREEITEM InsertItem(LPCTSTR lpszItem, HTREEITEM hParent = TVI_ROOT, HTREEITEM hInsertAfter = TVI_LAST);
    HTREEITEM InsertItem(LPCTSTR lpszItem, int nImage, int nSelectedImage, HTREEITEM hParent = TVI_ROOT,
                         HTREEITEM hInsertAfter = TVI_LAST);
    // Deletes the item with its subtree; TVI_ROOT deletes everything.
    BOOL DeleteItem(HTREEITEM hItem) { return (BOOL)::SendMessageW(m_hWnd, TVM_DELETEITEM, 0, (LPARAM)hItem); }
    BOOL DeleteAllItems() { return DeleteItem(TVI_ROOT); }
    UINT GetCount() const { return (UINT)::SendMessageW(m_hWnd, TVM_GETCOUNT, 0, 0); }

    BOOL GetItem(TVITEM* pItem) const { return (BOOL)::SendMessageW(m_hWnd, TVM_GETITEMW, 0, (LPARAM)pItem); }
    BOOL SetItem(TVITEM* pItem) { return (BOOL)::SendMessageW(m_hWnd, TVM_SETITEMW, 0, (LPARAM)pItem); }
    BOOL SetItem(HTREEITEM hItem, UINT nMask, LPCTSTR lpszItem, int nImage, int nSelectedImage, UINT nState,
                 UINT nStateMask, LPARAM lParam);
    // Empty for a NULL item.
    CString GetItemText(HTREEITEM hItem) const;
    BOOL SetItemText(HTREEITEM hItem, LPCTSTR lpszItem);
    // 0 for a NULL item.
    DWORD_PTR GetItemData(HTREEITEM hItem) const;
    BOOL SetItemData(HTREEITEM hItem, DWORD_PTR dwData);
    UINT GetItemState(HTREEITEM hItem, UINT nStateMask) const;
    BOOL SetItemState(HTREEITEM hItem, UINT nState, UINT nStateMask);
    BOOL GetItemImage(HTREEITEM hItem, int& nImage, int& nSelectedImage) const;
    BOOL SetItemImage(HTREEITEM hItem, int nImage, int nSelectedImage);
    // Check boxes of TVS_CHECKBOXES (state image 2 is checked).
    BOOL GetCheck(HTREEITEM hItem) const;
    BOOL SetCheck(HTREEITEM hItem, BOOL fCheck = TRUE);
    // TRUE when the item has children (or says it has through cChildren).
    BOOL ItemHasChildren(HTREEITEM hItem) const;

    // ---- Navigation ----------------------------------------------------------
    HTREEITEM GetNextItem(HTREEITEM hItem, UINT nCode) const
    {
        return (HTREEITEM)::SendMessageW(m_hWnd, TVM_GETNEXTITEM, (WPARAM)nCode, (LPARAM)hItem);
    }
    HTREEITEM GetRootItem() const { return GetNextItem(NULL, TVGN_ROOT); }
    HTREEITEM GetChildItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_CHILD); }
    HTREEITEM GetNextSiblingItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_NEXT); }
    HTREEITEM GetPrevSiblingItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_PREVIOUS); }
    // NULL for a top-level item.
    HTREEITEM GetParentItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_PARENT); }
    HTREEITEM GetFirstVisibleItem() const { return GetNextItem(NULL, TVGN_FIRSTVISIBLE); }
    HTREEITEM GetNextVisibleItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_NEXTVISIBLE); }
    HTREEITEM GetPrevVisibleItem(HTREEITEM hItem) const { return GetNextItem(hItem, TVGN_PREVIOUSVISIBLE); }
    HTREEITEM GetSelectedItem() const { return GetNextItem(NULL, TVGN_CARET); }
    HTREEITEM GetDropHilightItem() const { return GetNextItem(NULL, TVGN_DROPHILITE); }

    // ---- Selection and expansion ----------------------------------------------
    BOOL Select(HTREEITEM hItem, UINT nCode) { return (BOOL)::SendMessageW(m_hWnd, TVM_SELECTITEM, (WPARAM)nCode, (LPARAM)hItem); }
    BOOL SelectItem(HTREEITEM hItem) { return Select(hItem, TVGN_CARET); }
    BOOL SelectDropTarget(HTREEITEM hItem) { return Select(hItem, TVGN_DROPHILITE); }
    BOOL SelectSetFirstVisible(HTREEITEM hItem) { return Select(hItem, TVGN_FIRSTVISIBLE); }
    // nCode is TVE_EXPAND, TVE_COLLAPSE or TVE_TOGGLE.
    BOOL Expand(HTREEITEM hItem, UINT nCode) { return (BOOL)::SendMessageW(m_hWnd, TVM_EXPAND, (WPARAM)nCode, (LPARAM)hItem); }
    BOOL EnsureVisible(HTREEITEM hItem) { return (BOOL)::SendMessageW(m_hWnd, TVM_ENSUREVISIBLE, 0, (LPARAM)hItem); }
    // The comparison gets the two items' item data and lParam of the record.
    BOOL SortChildren(HTREEITEM hItem) { return (BOOL)::SendMessageW(m_hWnd, TVM_SORTCHILDREN, 0, (LPARAM)hItem); }
    BOOL SortChildrenCB(LPTVSORTCB pSort) { return (BOOL)::SendMessageW(m_hWnd, TVM_SORTCHILDRENCB, 0, (LPARAM)pSort); }

    // ---- Geometry -----------------------------------------------------------
    BOOL GetItemRect(HTREEITEM hItem, LPRECT lpRect, BOOL bTextOnly) const;
    // The item under the point (client coordinates), NULL for none.
    HTREEITEM HitTest(CPoint pt, UINT* pFlags = NULL) const;
    HTREEITEM HitTest(TVHITTESTINFO* pHitTestInfo) const
    {
        return (HTREEITEM)::SendMessageW(m_hWnd, TVM_HITTEST, 0, (LPARAM)pHitTestInfo);
    }
    UINT GetVisibleCount() const { return (UINT)::SendMessageW(m_hWnd, TVM_GETVISIBLECOUNT, 0, 0); }
    UINT GetIndent() const { return (UINT)::SendMessageW(m_hWnd, TVM_GETINDENT, 0, 0); }
    void SetIndent(UINT nIndent) { ::SendMessageW(m_hWnd, TVM_SETINDENT, (WPARAM)nIndent, 0); }
    SHORT GetItemHeight() const { return (SHORT)::SendMessageW(m_hWnd, TVM_GETITEMHEIGHT, 0, 0); }
    SHORT SetItemHeight(SHORT cyHeight) { return (SHORT)::SendMessageW(m_hWnd, TVM_SETITEMHEIGHT, (WPARAM)cyHeight, 0); }

    // ---- Look ------------------------------------------------------------------
    // nImageList is TVSIL_NORMAL or TVSIL_STATE. Returns the list set before;
    // the control never owns its lists.
    CImageList* SetImageList(CImageList* pImageList, int nImageList);
    CImageList* GetImageList(int nImageList) const;
    // Both return the colour before; -1 is the system colour.
    COLORREF SetBkColor(COLORREF clr) { return (COLORREF)::SendMessageW(m_hWnd, TVM_SETBKCOLOR, 0, (LPARAM)clr); }
    COLORREF GetBkColor() const { return (COLORREF)::SendMessageW(m_hWnd, TVM_GETBKCOLOR, 0, 0); }
    COLORREF SetTextColor(COLORREF clr) { return (COLORREF)::SendMessageW(m_hWnd, TVM_SETTEXTCOLOR, 0, (LPARAM)clr); }
    COLORREF GetTextColor() const { return (COLORREF)::SendMessageW(m_hWnd, TVM_GETTEXTCOLOR, 0, 0); }

    CEdit* GetEditControl() const;
    CEdit* EditLabel(HTREEITEM hItem);
};
