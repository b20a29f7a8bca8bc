#pragma once
// List boxes. Indexes out of range give LB_ERR (-1), as the control answers.
#include "framework/Wnd.h"

class CListBox : public CWnd
{
public:
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
    {
        return CWnd::Create(L"LISTBOX", NULL, dwStyle, rect, pParentWnd, nID);
    }

    int GetCount() const { return (int)::SendMessageW(m_hWnd, LB_GETCOUNT, 0, 0); }
    int AddString(LPCTSTR lpszItem) { return (int)::SendMessageW(m_hWnd, LB_ADDSTRING, 0, (LPARAM)lpszItem); }
    int InsertString(int nIndex, LPCTSTR lpszItem)
    {
        return (int)::SendMessageW(m_hWnd, LB_INSERTSTRING, (WPARAM)nIndex, (LPARAM)lpszItem);
    }
    // The number of items left, LB_ERR for a bad index.
    int DeleteString(UINT nIndex) { return (int)::SendMessageW(m_hWnd, LB_DELETESTRING, (WPARAM)nIndex, 0); }
    void ResetContent() { ::SendMessageW(m_hWnd, LB_RESETCONTENT, 0, 0); }

    // The buffer needs GetTextLen + 1 characters.
    int GetText(int nIndex, LPTSTR lpszBuffer) const
    {
        return (int)::SendMessageW(m_hWnd, LB_GETTEXT, (WPARAM)nIndex, (LPARAM)lpszBuffer);
    }
    // Empty for a bad index.
    void GetText(int nIndex, CString& rString) const;
    int GetTextLen(int nIndex) const { return (int)::SendMessageW(m_hWnd, LB_GETTEXTLEN, (WPARAM)nIndex, 0); }

    DWORD_PTR GetItemData(int nIndex) const
    {
        return (DWORD_PTR)::SendMessageW(m_hWnd, LB_GETITEMDATA, (WPARAM)nIndex, 0);
    }
    int SetItemData(int nIndex, DWORD_PTR dwItemData)
    {
        return (int)::SendMessageW(m_hWnd, LB_SETITEMDATA, (WPARAM)nIndex, (LPARAM)dwItemData);
    }
    void* GetItemDataPtr(int nIndex) const { return (void*)GetItemData(nIndex); }
    int SetItemDataPtr(int nIndex, void* pData) { return SetItemData(nIndex, (DWORD_PTR)pData); }

    // Searches start after nStartAfter (-1: from the top) and wrap round.
    int FindString(int nStartAfter, LPCTSTR lpszItem) const
    {
        return (int)::SendMessageW(m_hWnd, LB_FINDSTRING, (WPARAM)nStartAfter, (LPARAM)lpszItem);
    }
    int FindStringExact(int nIndexStart, LPCTSTR lpszFind) const
    {
        return (int)::SendMessageW(m_hWnd, LB_FINDSTRINGEXACT, (WPARAM)nIndexStart, (LPARAM)lpszFind);
    }
    int SelectString(int nStartAfter, LPCTSTR lpszItem)
    {
        return (int)::SendMessageW(m_hWnd, LB_SELECTSTRING, (WPARAM)nStartAfter, (LPARAM)lpszItem);
    }

    // Single selection.
    int GetCurSel() const { return (int)::SendMessageW(m_hWnd, LB_GETCURSEL, 0, 0); }
    int SetCurSel(int nSelect) { return (int)::SendMessageW(m_hWnd, LB_SETCURSEL, (WPARAM)nSelect, 0); }
    // Multiple selection; nIndex -1 means every item.
    int GetSel(int nIndex) const { return (int)::SendMessageW(m_hWnd, LB_GETSEL, (WPARAM)nIndex, 0); }
    int SetSel(int nIndex, BOOL bSelect = TRUE)
    {
        return (int)::SendMessageW(m_hWnd, LB_SETSEL, (WPARAM)bSelect, (LPARAM)nIndex);
    }
    int GetSelCount() const { return (int)::SendMessageW(m_hWnd, LB_GETSELCOUNT, 0, 0); }
    int GetSelItems(int nMaxItems, LPINT rgIndex) const
    {
        return (int)::SendMessageW(m_hWnd, LB_GETSELITEMS, (WPARAM)nMaxItems, (LPARAM)rgIndex);
    }
    int GetCaretIndex() const { return (int)::SendMessageW(m_hWnd, LB_GETCARETINDEX, 0, 0); }
    int SetCaretIndex(int nIndex, BOOL bScroll = TRUE)
    {
        return (int)::SendMessageW(m_hWnd, LB_SETCARETINDEX, (WPARAM)nIndex, MAKELPARAM(bScroll, 0));
    }

    int GetTopIndex() const { return (int)::SendMessageW(m_hWnd, LB_GETTOPINDEX, 0, 0); }
    int SetTopIndex(int nIndex) { return (int)::SendMessageW(m_hWnd, LB_SETTOPINDEX, (WPARAM)nIndex, 0); }
    int GetItemRect(int nIndex, LPRECT lpRect) const
    {
        return (int)::SendMessageW(m_hWnd, LB_GETITEMRECT, (WPARAM)nIndex, (LPARAM)lpRect);
    }
    int GetItemHeight(int nIndex) const { return (int)::SendMessageW(m_hWnd, LB_GETITEMHEIGHT, (WPARAM)nIndex, 0); }
    int SetItemHeight(int nIndex, UINT cyItemHeight)
    {
        return (int)::SendMessageW(m_hWnd, LB_SETITEMHEIGHT, (WPARAM)nIndex, MAKELPARAM(cyItemHeight, 0));
    }
    // The nearest item; bOutside is set when the point lies outside every item.
    UINT ItemFromPoint(CPoint pt, BOOL& bOutside) const
    {
        DWORD dw = (DWORD)::SendMessageW(m_hWnd, LB_ITEMFROMPOINT, 0, MAKELPARAM(pt.x, pt.y));
        bOutside = (BOOL)HIWORD(dw);
        return LOWORD(dw);
    }
    void SetHorizontalExtent(int cxExtent) { ::SendMessageW(m_hWnd, LB_SETHORIZONTALEXTENT, (WPARAM)cxExtent, 0); }
    int GetHorizontalExtent() const { return (int)::SendMessageW(m_hWnd, LB_GETHORIZONTALEXTENT, 0, 0); }

    // Owner-drawn lists without LBS_HASSTRINGS: order of two items (-1, 0, 1)
    // and the removal of an item.
    virtual int CompareItem(LPCOMPAREITEMSTRUCT lpCompareItemStruct);
    virtual void DeleteItem(LPDELETEITEMSTRUCT lpDeleteItemStruct);

    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
};
