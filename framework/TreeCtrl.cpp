#include "framework/TreeCtrl.h"
#include "framework/CommonControls.h"
#include "framework/Edit.h"
#include "framework/ImageList.h"

BOOL CTreeCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    if (!AfxInitCommonControls(ICC_TREEVIEW_CLASSES))
        return FALSE;
    return CWnd::Create(WC_TREEVIEWW, NULL, dwStyle, rect, pParentWnd, nID);
}

BOOL CTreeCtrl::CreateEx(DWORD dwExStyle, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    if (!AfxInitCommonControls(ICC_TREEVIEW_CLASSES))
        return FALSE;
    return CWnd::CreateEx(dwExStyle, WC_TREEVIEWW, NULL, dwStyle | WS_CHILD, rect, pParentWnd, nID);
}

HTREEITEM CTreeCtrl::InsertItem(UINT nMask, LPCTSTR lpszItem, int nImage, int nSelectedImage, UINT nState,
                                UINT nStateMask, LPARAM lParam, HTREEITEM hParent, HTREEITEM hInsertAfter)
{
    TVINSERTSTRUCTW insert = {};
    insert.hParent = hParent;
    insert.hInsertAfter = hInsertAfter;
    insert.item.mask = nMask;
    insert.item.pszText = (LPWSTR)lpszItem;
    insert.item.iImage = nImage;
    insert.item.iSelectedImage = nSelectedImage;
    insert.item.state = nState;
    insert.item.stateMask = nStateMask;
    insert.item.lParam = lParam;
    return InsertItem(&insert);
}

HTREEITEM CTreeCtrl::InsertItem(LPCTSTR lpszItem, HTREEITEM hParent, HTREEITEM hInsertAfter)
{
    return InsertItem(TVIF_TEXT, lpszItem, 0, 0, 0, 0, 0, hParent, hInsertAfter);
}

HTREEITEM CTreeCtrl::InsertItem(LPCTSTR lpszItem, int nImage, int nSelectedImage, HTREEITEM hParent,
                                HTREEITEM hInsertAfter)
{
    return InsertItem(TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE, lpszItem, nImage, nSelectedImage, 0, 0, 0,
                      hParent, hInsertAfter);
}

BOOL CTreeCtrl::SetItem(HTREEITEM hItem, UINT nMask, LPCTSTR lpszItem, int nImage, int nSelectedImage,
                        UINT nState, UINT nStateMask, LPARAM lParam)
{
    TVITEMW item = {};
    item.hItem = hItem;
    item.mask = nMask;
    item.pszText = (LPWSTR)lpszItem;
    item.iImage = nImage;
    item.iSelectedImage = nSelectedImage;
    item.state = nState;
    item.stateMask = nStateMask;
    item.lParam = lParam;
    return SetItem(&item);
}

CString CTreeCtrl::GetItemText(HTREEITEM hItem) const
{
    CString strText;
    if (hItem == NULL)
        return strText;
    // No length query exists: grow until the text leaves room to spare.
    for (int nLen = 256; nLen <= 0x100000; nLen *= 4)
    {
        TVITEMW item = {};
        item.hItem = hItem;
        item.mask = TVIF_TEXT;
        item.cchTextMax = nLen;
        item.pszText = strText.GetBuffer(nLen);
        if (!GetItem(&item))
        {
            strText.ReleaseBuffer(0);
            break;
        }
        if (item.pszText != strText.GetString())
        {
            CString strOwn(item.pszText && item.pszText != LPSTR_TEXTCALLBACKW ? item.pszText : L"");
            strText.ReleaseBuffer(0);
            return strOwn;
        }
        strText.ReleaseBuffer(-1);
        if (strText.GetLength() < nLen - 1)
            break;
    }
    return strText;
}

BOOL CTreeCtrl::SetItemText(HTREEITEM hItem, LPCTSTR lpszItem)
{
    return SetItem(hItem, TVIF_TEXT, lpszItem, 0, 0, 0, 0, 0);
}

DWORD_PTR CTreeCtrl::GetItemData(HTREEITEM hItem) const
{
    if (hItem == NULL)
        return 0;
    TVITEMW item = {};
    item.hItem = hItem;
    item.mask = TVIF_PARAM;
    if (!GetItem(&item))
        return 0;
    return (DWORD_PTR)item.lParam;
}

BOOL CTreeCtrl::SetItemData(HTREEITEM hItem, DWORD_PTR dwData)
{
    if (hItem == NULL)
        return FALSE;
    return SetItem(hItem, TVIF_PARAM, NULL, 0, 0, 0, 0, (LPARAM)dwData);
}

UINT CTreeCtrl::GetItemState(HTREEITEM hItem, UINT nStateMask) const
{
    if (hItem == NULL)
        return 0;
    TVITEMW item = {};
    item.hItem = hItem;
    item.mask = TVIF_STATE;
    item.stateMask = nStateMask;
    if (!GetItem(&item))
        return 0;
    return item.state & nStateMask;
}

BOOL CTreeCtrl::SetItemState(HTREEITEM hItem, UINT nState, UINT nStateMask)
{
    if (hItem == NULL)
        return FALSE;
    return SetItem(hItem, TVIF_STATE, NULL, 0, 0, nState, nStateMask, 0);
}

BOOL CTreeCtrl::GetItemImage(HTREEITEM hItem, int& nImage, int& nSelectedImage) const
{
    if (hItem == NULL)
        return FALSE;
    TVITEMW item = {};
    item.hItem = hItem;
    item.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    if (!GetItem(&item))
        return FALSE;
    nImage = item.iImage;
    nSelectedImage = item.iSelectedImage;
    return TRUE;
}

BOOL CTreeCtrl::SetItemImage(HTREEITEM hItem, int nImage, int nSelectedImage)
{
    if (hItem == NULL)
        return FALSE;
    return SetItem(hItem, TVIF_IMAGE | TVIF_SELECTEDIMAGE, NULL, nImage, nSelectedImage, 0, 0, 0);
}

BOOL CTreeCtrl::GetCheck(HTREEITEM hItem) const
{
    return (GetItemState(hItem, TVIS_STATEIMAGEMASK) >> 12) == 2;
}

BOOL CTreeCtrl::SetCheck(HTREEITEM hItem, BOOL fCheck)
{
    return SetItemState(hItem, INDEXTOSTATEIMAGEMASK(fCheck ? 2 : 1), TVIS_STATEIMAGEMASK);
}

BOOL CTreeCtrl::ItemHasChildren(HTREEITEM hItem) const
{
    if (hItem == NULL)
        return FALSE;
    TVITEMW item = {};
    item.hItem = hItem;
    item.mask = TVIF_CHILDREN;
    if (!GetItem(&item))
        return FALSE;
    return item.cChildren != 0;
}

BOOL CTreeCtrl::GetItemRect(HTREEITEM hItem, LPRECT lpRect, BOOL bTextOnly) const
{
    if (hItem == NULL || lpRect == NULL)
        return FALSE;
    // The message takes the item handle in the rectangle's place.
    *(HTREEITEM*)lpRect = hItem;
    return (BOOL)::SendMessageW(m_hWnd, TVM_GETITEMRECT, (WPARAM)bTextOnly, (LPARAM)lpRect);
}

HTREEITEM CTreeCtrl::HitTest(CPoint pt, UINT* pFlags) const
{
    TVHITTESTINFO info = {};
    info.pt = pt;
    HTREEITEM hItem = HitTest(&info);
    if (pFlags)
        *pFlags = info.flags;
    return hItem;
}

CImageList* CTreeCtrl::SetImageList(CImageList* pImageList, int nImageList)
{
    HIMAGELIST hOld = (HIMAGELIST)::SendMessageW(m_hWnd, TVM_SETIMAGELIST, (WPARAM)nImageList,
                                                 (LPARAM)(pImageList ? pImageList->m_hImageList : NULL));
    return CImageList::FromHandle(hOld);
}

CImageList* CTreeCtrl::GetImageList(int nImageList) const
{
    return CImageList::FromHandle((HIMAGELIST)::SendMessageW(m_hWnd, TVM_GETIMAGELIST, (WPARAM)nImageList, 0));
}

CEdit* CTreeCtrl::GetEditControl() const
{
    HWND hEdit = (HWND)::SendMessageW(m_hWnd, TVM_GETEDITCONTROL, 0, 0);
    return AfxFromHandleAs<CEdit>(hEdit);
}

CEdit* CTreeCtrl::EditLabel(HTREEITEM hItem)
{
    HWND hEdit = (HWND)::SendMessageW(m_hWnd, TVM_EDITLABELW, 0, (LPARAM)hItem);
    return AfxFromHandleAs<CEdit>(hEdit);
}
