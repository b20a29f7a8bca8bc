#include "framework/ListCtrl.h"
#include "framework/CommonControls.h"
#include "framework/Edit.h"
#include "framework/HeaderCtrl.h"
#include "framework/ImageList.h"

BOOL CListCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    if (!AfxInitCommonControls(ICC_LISTVIEW_CLASSES))
        return FALSE;
    return CWnd::Create(WC_LISTVIEWW, NULL, dwStyle, rect, pParentWnd, nID);
}

BOOL CListCtrl::CreateEx(DWORD dwExStyle, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    if (!AfxInitCommonControls(ICC_LISTVIEW_CLASSES))
        return FALSE;
    return CWnd::CreateEx(dwExStyle, WC_LISTVIEWW, NULL, dwStyle | WS_CHILD, rect, pParentWnd, nID);
}

int CListCtrl::InsertColumn(int nCol, LPCTSTR lpszColumnHeading, int nFormat, int nWidth, int nSubItem)
{
    LVCOLUMNW column = {};
    column.mask = LVCF_FMT | LVCF_TEXT;
    column.fmt = nFormat;
    column.pszText = (LPWSTR)(lpszColumnHeading ? lpszColumnHeading : L"");
    if (nWidth != -1)
    {
        column.mask |= LVCF_WIDTH;
        column.cx = nWidth;
    }
    if (nSubItem != -1)
    {
        column.mask |= LVCF_SUBITEM;
        column.iSubItem = nSubItem;
    }
    return InsertColumn(nCol, &column);
}

CHeaderCtrl* CListCtrl::GetHeaderCtrl() const
{
    HWND hHeader = (HWND)::SendMessageW(m_hWnd, LVM_GETHEADER, 0, 0);
    // A subclassing header object is the permanent wrapper; otherwise the
    // temporary one is only used through CHeaderCtrl's non-virtual calls.
    return AfxFromHandleAs<CHeaderCtrl>(hHeader);
}

int CListCtrl::InsertItem(int nItem, LPCTSTR lpszItem)
{
    return InsertItem(LVIF_TEXT, nItem, lpszItem, 0, 0, 0, 0);
}

int CListCtrl::InsertItem(int nItem, LPCTSTR lpszItem, int nImage)
{
    return InsertItem(LVIF_TEXT | LVIF_IMAGE, nItem, lpszItem, 0, 0, nImage, 0);
}

int CListCtrl::InsertItem(UINT nMask, int nItem, LPCTSTR lpszItem, UINT nState, UINT nStateMask, int nImage,
                          LPARAM lParam)
{
    LVITEMW item = {};
    item.mask = nMask;
    item.iItem = nItem;
    item.pszText = (LPWSTR)lpszItem;
    item.state = nState;
    item.stateMask = nStateMask;
    item.iImage = nImage;
    item.lParam = lParam;
    return InsertItem(&item);
}

BOOL CListCtrl::SetItem(int nItem, int nSubItem, UINT nMask, LPCTSTR lpszItem, int nImage, UINT nState,
                        UINT nStateMask, LPARAM lParam)
{
    LVITEMW item = {};
    item.mask = nMask;
    item.iItem = nItem;
    item.iSubItem = nSubItem;
    item.pszText = (LPWSTR)lpszItem;
    item.state = nState;
    item.stateMask = nStateMask;
    item.iImage = nImage;
    item.lParam = lParam;
    return SetItem(&item);
}

CString CListCtrl::GetItemText(int nItem, int nSubItem) const
{
    CString strText;
    if (nItem < 0 || nItem >= GetItemCount() || nSubItem < 0)
        return strText;
    // The control copies at most the buffer less one character and gives no
    // length, so grow until the text leaves room to spare.
    for (int nLen = 256; nLen <= 0x100000; nLen *= 4)
    {
        LVITEMW item = {};
        item.iSubItem = nSubItem;
        item.cchTextMax = nLen;
        item.pszText = strText.GetBuffer(nLen);
        int nCopied = (int)::SendMessageW(m_hWnd, LVM_GETITEMTEXTW, (WPARAM)nItem, (LPARAM)&item);
        if (nCopied < 0)
            nCopied = 0;
        // Some versions point pszText at their own storage instead of copying.
        if (item.pszText != strText.GetString())
        {
            CString strOwn(item.pszText ? item.pszText : L"");
            strText.ReleaseBuffer(0);
            return strOwn;
        }
        strText.ReleaseBuffer(nCopied);
        if (nCopied < nLen - 1)
            break;
    }
    return strText;
}

int CListCtrl::GetItemText(int nItem, int nSubItem, LPTSTR lpszText, int nLen) const
{
    if (lpszText == NULL || nLen <= 0)
        return 0;
    lpszText[0] = L'\0';
    LVITEMW item = {};
    item.iSubItem = nSubItem;
    item.cchTextMax = nLen;
    item.pszText = lpszText;
    int nCopied = (int)::SendMessageW(m_hWnd, LVM_GETITEMTEXTW, (WPARAM)nItem, (LPARAM)&item);
    if (item.pszText != lpszText && item.pszText != NULL)
    {
        lstrcpynW(lpszText, item.pszText, nLen);
        nCopied = lstrlenW(lpszText);
    }
    return nCopied < 0 ? 0 : nCopied;
}

BOOL CListCtrl::SetItemText(int nItem, int nSubItem, LPCTSTR lpszText)
{
    LVITEMW item = {};
    item.iSubItem = nSubItem;
    item.pszText = (LPWSTR)lpszText;
    return (BOOL)::SendMessageW(m_hWnd, LVM_SETITEMTEXTW, (WPARAM)nItem, (LPARAM)&item);
}

DWORD_PTR CListCtrl::GetItemData(int nItem) const
{
    LVITEMW item = {};
    item.mask = LVIF_PARAM;
    item.iItem = nItem;
    if (!GetItem(&item))
        return 0;
    return (DWORD_PTR)item.lParam;
}

BOOL CListCtrl::SetItemData(int nItem, DWORD_PTR dwData)
{
    return SetItem(nItem, 0, LVIF_PARAM, NULL, 0, 0, 0, (LPARAM)dwData);
}

BOOL CListCtrl::SetItemState(int nItem, UINT nState, UINT nMask)
{
    LVITEMW item = {};
    item.state = nState;
    item.stateMask = nMask;
    return SetItemState(nItem, &item);
}

BOOL CListCtrl::GetCheck(int nItem) const
{
    UINT nStateImage = (GetItemState(nItem, LVIS_STATEIMAGEMASK) & LVIS_STATEIMAGEMASK) >> 12;
    return nStateImage == 2;
}

BOOL CListCtrl::SetCheck(int nItem, BOOL bCheck)
{
    if (nItem < 0 || nItem >= GetItemCount())
        return FALSE;
    return SetItemState(nItem, INDEXTOSTATEIMAGEMASK(bCheck ? 2 : 1), LVIS_STATEIMAGEMASK);
}

POSITION CListCtrl::GetFirstSelectedItemPosition() const
{
    int nItem = GetNextItem(-1, LVNI_SELECTED);
    return nItem < 0 ? NULL : (POSITION)(INT_PTR)(nItem + 1);
}

int CListCtrl::GetNextSelectedItem(POSITION& pos) const
{
    int nItem = (int)(INT_PTR)pos - 1;
    int nNext = GetNextItem(nItem, LVNI_SELECTED);
    pos = nNext < 0 ? NULL : (POSITION)(INT_PTR)(nNext + 1);
    return nItem;
}

CImageList* CListCtrl::SetImageList(CImageList* pImageList, int nImageList)
{
    HIMAGELIST hNew = pImageList ? pImageList->m_hImageList : NULL;
    // The wrappers own their lists; the control must not destroy them too.
    if (hNew != NULL)
        ::SetWindowLongPtrW(m_hWnd, GWL_STYLE, ::GetWindowLongPtrW(m_hWnd, GWL_STYLE) | LVS_SHAREIMAGELISTS);
    HIMAGELIST hOld = (HIMAGELIST)::SendMessageW(m_hWnd, LVM_SETIMAGELIST, (WPARAM)nImageList, (LPARAM)hNew);
    return CImageList::FromHandle(hOld);
}

CImageList* CListCtrl::GetImageList(int nImageList) const
{
    return CImageList::FromHandle((HIMAGELIST)::SendMessageW(m_hWnd, LVM_GETIMAGELIST, (WPARAM)nImageList, 0));
}

BOOL CListCtrl::GetItemRect(int nItem, LPRECT lpRect, UINT nCode) const
{
    if (lpRect == NULL)
        return FALSE;
    lpRect->left = (LONG)nCode;
    return (BOOL)::SendMessageW(m_hWnd, LVM_GETITEMRECT, (WPARAM)nItem, (LPARAM)lpRect);
}

BOOL CListCtrl::GetSubItemRect(int iItem, int iSubItem, int nArea, CRect& ref) const
{
    ref.top = iSubItem;
    ref.left = nArea;
    return (BOOL)::SendMessageW(m_hWnd, LVM_GETSUBITEMRECT, (WPARAM)iItem, (LPARAM)(LPRECT)&ref);
}

int CListCtrl::HitTest(CPoint pt, UINT* pFlags) const
{
    LVHITTESTINFO info = {};
    info.pt = pt;
    int nItem = HitTest(&info);
    if (pFlags)
        *pFlags = info.flags;
    return nItem;
}

CEdit* CListCtrl::GetEditControl() const
{
    HWND hEdit = (HWND)::SendMessageW(m_hWnd, LVM_GETEDITCONTROL, 0, 0);
    return AfxFromHandleAs<CEdit>(hEdit);
}

CEdit* CListCtrl::EditLabel(int nItem)
{
    HWND hEdit = (HWND)::SendMessageW(m_hWnd, LVM_EDITLABELW, (WPARAM)nItem, 0);
    return AfxFromHandleAs<CEdit>(hEdit);
}
