#pragma once
// The item bar of a navigation folder: a column of tool buttons (icon and
// caption) on a gradient, with scroll arrows when the column is taller than
// the bar. A click on an item reaches the bar's parent and the main window
// as WM_COMMAND with the item's id.
#include "framework/Afx.h"
#include "framework/Collections.h"
#include "framework/ImageList.h"
#include "controls/skin/GuiToolButton.h"

struct OutlookItem
{
    CGuiToolButton button;
    int nFlag;
    CString strText;
    HICON hIcon;  // extracted from the bar's image list; destroyed with the item
};

class CGuiOutLook : public CWnd
{
public:
    // Gap between the bar's edges and its item buttons.
    enum
    {
        ITEM_MARGIN = 4
    };
    CGuiOutLook();
    virtual ~CGuiOutLook();

    virtual BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);
    void SetImageList(UINT nBitmapID, int cx, int nGrow, COLORREF crMask);
    void AddItem(UINT nID, const CString& strText, int nImage, const CString& strTip);
    void SetItemText(UINT nID, const CString& strText);
    virtual void SetStyle(DWORD dwStyle);

    int GetItemCount() const { return m_nCount; }
    OutlookItem* GetItem(int nIndex) const;
    int GetScrollOffset() const { return m_nScrollOffset; }
    BOOL IsUpArrowShown() const { return m_bUpShown; }
    BOOL IsDownArrowShown() const { return m_bDownShown; }
    CRect GetUpArrowRect() const;
    CRect GetDownArrowRect() const;
    CSize GetImageSize() const { return m_sizeImage; }
    void RecalLayout();

protected:
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    void DeleteItems();

    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnPaint();
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnSysColorChange();
    afx_msg void OnDestroy();

    DWORD m_dwStyle;
    CImageList m_imageList;
    CPtrArray m_arrItems;
    CSize m_sizeImage;
    int m_nCount;
    int m_nScrollOffset;
    CRect m_rcUpArrow;
    CRect m_rcDownArrow;
    BOOL m_bUpShown;
    BOOL m_bDownShown;

    DECLARE_MESSAGE_MAP()
};
