#pragma once
// Combo boxes. Indexes out of range give CB_ERR (-1), as the control answers.
#include "framework/Wnd.h"

class CComboBox : public CWnd
{
public:
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
    {
        return CWnd::Create(L"COMBOBOX", NULL, dwStyle, rect, pParentWnd, nID);
    }

    int GetCount() const { return (int)::SendMessageW(m_hWnd, CB_GETCOUNT, 0, 0); }
    int AddString(LPCTSTR lpszString) { return (int)::SendMessageW(m_hWnd, CB_ADDSTRING, 0, (LPARAM)lpszString); }
    int InsertString(int nIndex, LPCTSTR lpszString)
    {
        return (int)::SendMessageW(m_hWnd, CB_INSERTSTRING, (WPARAM)nIndex, (LPARAM)lpszString);
    }
    // The number of items left, CB_ERR for a bad index.
    int DeleteString(UINT nIndex) { return (int)::SendMessageW(m_hWnd, CB_DELETESTRING, (WPARAM)nIndex, 0); }
    void ResetContent() { ::SendMessageW(m_hWnd, CB_RESETCONTENT, 0, 0); }

    int GetCurSel() const { return (int)::SendMessageW(m_hWnd, CB_GETCURSEL, 0, 0); }
    // -1 clears the selection (and returns CB_ERR).
    int SetCurSel(int nSelect) { return (int)::SendMessageW(m_hWnd, CB_SETCURSEL, (WPARAM)nSelect, 0); }

    // The buffer needs GetLBTextLen + 1 characters.
    int GetLBText(int nIndex, LPTSTR lpszText) const
    {
        return (int)::SendMessageW(m_hWnd, CB_GETLBTEXT, (WPARAM)nIndex, (LPARAM)lpszText);
    }
    // Empty for a bad index.
    void GetLBText(int nIndex, CString& rString) const;
    int GetLBTextLen(int nIndex) const { return (int)::SendMessageW(m_hWnd, CB_GETLBTEXTLEN, (WPARAM)nIndex, 0); }

    DWORD_PTR GetItemData(int nIndex) const
    {
        return (DWORD_PTR)::SendMessageW(m_hWnd, CB_GETITEMDATA, (WPARAM)nIndex, 0);
    }
    int SetItemData(int nIndex, DWORD_PTR dwItemData)
    {
        return (int)::SendMessageW(m_hWnd, CB_SETITEMDATA, (WPARAM)nIndex, (LPARAM)dwItemData);
    }
    void* GetItemDataPtr(int nIndex) const { return (void*)GetItemData(nIndex); }
    int SetItemDataPtr(int nIndex, void* pData) { return SetItemData(nIndex, (DWORD_PTR)pData); }

    // Searches start after nStartAfter (-1: from the top) and wrap round.
    int FindString(int nStartAfter, LPCTSTR lpszString) const
    {
        return (int)::SendMessageW(m_hWnd, CB_FINDSTRING, (WPARAM)nStartAfter, (LPARAM)lpszString);
    }
    int FindStringExact(int nIndexStart, LPCTSTR lpszFind) const
    {
        return (int)::SendMessageW(m_hWnd, CB_FINDSTRINGEXACT, (WPARAM)nIndexStart, (LPARAM)lpszFind);
    }
    int SelectString(int nStartAfter, LPCTSTR lpszString)
    {
        return (int)::SendMessageW(m_hWnd, CB_SELECTSTRING, (WPARAM)nStartAfter, (LPARAM)lpszString);
    }

    void ShowDropDown(BOOL bShowIt = TRUE) { ::SendMessageW(m_hWnd, CB_SHOWDROPDOWN, (WPARAM)bShowIt, 0); }
    BOOL GetDroppedState() const { return (BOOL)::SendMessageW(m_hWnd, CB_GETDROPPEDSTATE, 0, 0); }
    void GetDroppedControlRect(LPRECT lprect) const
    {
        ::SendMessageW(m_hWnd, CB_GETDROPPEDCONTROLRECT, 0, (LPARAM)lprect);
    }
    int GetDroppedWidth() const { return (int)::SendMessageW(m_hWnd, CB_GETDROPPEDWIDTH, 0, 0); }
    int SetDroppedWidth(UINT nWidth) { return (int)::SendMessageW(m_hWnd, CB_SETDROPPEDWIDTH, (WPARAM)nWidth, 0); }
    // nIndex -1 is the edit or selection field.
    int GetItemHeight(int nIndex) const { return (int)::SendMessageW(m_hWnd, CB_GETITEMHEIGHT, (WPARAM)nIndex, 0); }
    int SetItemHeight(int nIndex, UINT cyItemHeight)
    {
        return (int)::SendMessageW(m_hWnd, CB_SETITEMHEIGHT, (WPARAM)nIndex, (LPARAM)cyItemHeight);
    }
    int GetTopIndex() const { return (int)::SendMessageW(m_hWnd, CB_GETTOPINDEX, 0, 0); }
    int SetTopIndex(int nIndex) { return (int)::SendMessageW(m_hWnd, CB_SETTOPINDEX, (WPARAM)nIndex, 0); }

    BOOL LimitText(int nMaxChars) { return (BOOL)::SendMessageW(m_hWnd, CB_LIMITTEXT, (WPARAM)nMaxChars, 0); }
    // Start in the low word, end in the high word.
    DWORD GetEditSel() const { return (DWORD)::SendMessageW(m_hWnd, CB_GETEDITSEL, 0, 0); }
    BOOL SetEditSel(int nStartChar, int nEndChar)
    {
        return (BOOL)::SendMessageW(m_hWnd, CB_SETEDITSEL, 0, MAKELPARAM(nStartChar, nEndChar));
    }

    // Owner-drawn combos without CBS_HASSTRINGS: order of two items (-1, 0, 1)
    // and the removal of an item. Drawing and measuring are CWnd's DrawItem
    // and MeasureItem.
    virtual int CompareItem(LPCOMPAREITEMSTRUCT lpCompareItemStruct);
    virtual void DeleteItem(LPDELETEITEMSTRUCT lpDeleteItemStruct);

    BOOL OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
};
