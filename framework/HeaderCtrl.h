#pragma once
// Header controls (column headings of list views, or on their own).
#include "framework/Wnd.h"

class CImageList;

class CHeaderCtrl : public CWnd
{
public:
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    int GetItemCount() const { return (int)::SendMessageW(m_hWnd, HDM_GETITEMCOUNT, 0, 0); }
    // For HDI_TEXT the caller supplies pszText and cchTextMax.
    BOOL GetItem(int nPos, HDITEM* pHeaderItem) const
    {
        return (BOOL)::SendMessageW(m_hWnd, HDM_GETITEMW, (WPARAM)nPos, (LPARAM)pHeaderItem);
    }
    BOOL SetItem(int nPos, HDITEM* pHeaderItem)
    {
        return (BOOL)::SendMessageW(m_hWnd, HDM_SETITEMW, (WPARAM)nPos, (LPARAM)pHeaderItem);
    }
    // The new item's index, -1 on failure.
    int InsertItem(int nPos, HDITEM* phdi)
    {
        return (int)::SendMessageW(m_hWnd, HDM_INSERTITEMW, (WPARAM)nPos, (LPARAM)phdi);
    }
    BOOL DeleteItem(int nPos) { return (BOOL)::SendMessageW(m_hWnd, HDM_DELETEITEM, (WPARAM)nPos, 0); }
    BOOL GetItemRect(int nIndex, LPRECT lpRect) const
    {
        return (BOOL)::SendMessageW(m_hWnd, HDM_GETITEMRECT, (WPARAM)nIndex, (LPARAM)lpRect);
    }
    // Fills in the header's window position inside pHeaderLayout->prc.
    BOOL Layout(HDLAYOUT* pHeaderLayout)
    {
        return (BOOL)::SendMessageW(m_hWnd, HDM_LAYOUT, 0, (LPARAM)pHeaderLayout);
    }
    int HitTest(LPHDHITTESTINFO pHeaderHitTestInfo)
    {
        return (int)::SendMessageW(m_hWnd, HDM_HITTEST, 0, (LPARAM)pHeaderHitTestInfo);
    }
    int OrderToIndex(int nOrder) const { return (int)::SendMessageW(m_hWnd, HDM_ORDERTOINDEX, (WPARAM)nOrder, 0); }
    BOOL GetOrderArray(LPINT piArray, int iCount) const
    {
        return (BOOL)::SendMessageW(m_hWnd, HDM_GETORDERARRAY, (WPARAM)iCount, (LPARAM)piArray);
    }
    BOOL SetOrderArray(int iCount, LPINT piArray)
    {
        return (BOOL)::SendMessageW(m_hWnd, HDM_SETORDERARRAY, (WPARAM)iCount, (LPARAM)piArray);
    }

    // Both return the list set before (a temporary wrapper when it has no
    // owner of its own). The header does not own its image list.
    CImageList* SetImageList(CImageList* pImageList);
    CImageList* GetImageList() const;
};
