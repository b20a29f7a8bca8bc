#pragma once
// The header of the check-box list: draws every column heading itself,
// can carry a check box per column (the header item's image value: 0 none,
// 1 unchecked, 2 checked), tracks the hot column when themed and tells its
// list when a column's box is clicked.
#include "framework/Afx.h"
#include "framework/HeaderCtrl.h"

#include <vector>

class CXCheckBox;

// Sent to the owner list when a header check box was clicked: wParam -1,
// lParam the column.
extern const UINT WM_XHEADERCTRL_CHECKBOX_CLICKED;

struct CXHeaderColumn
{
    CXCheckBox* m_pCheckbox;  // NULL: the column has no box
    BOOL m_bEnabled;
};

class CXHeaderCtrl : public CHeaderCtrl
{
public:
    CXHeaderCtrl();
    virtual ~CXHeaderCtrl();

    void SetOwnerList(CWnd* pList) { m_pOwnerList = pList; }
    CWnd* GetOwnerList() const { return m_pOwnerList; }

    // A column record at nCol (the later ones move up); nState 1 or 2 gives
    // the column a box in that state.
    void InsertColumnRecord(int nCol, int nState);
    void DeleteColumnRecord(int nCol);
    int GetColumnRecordCount() const { return (int)m_arrColumns.size(); }

    // The column's box state through the header item's image value.
    int GetCheckState(int nCol) const;
    BOOL SetCheckState(int nCol, int nState);
    // Header boxes as a whole, or one column's, can be made to ignore clicks.
    void EnableChecks(BOOL bEnable) { m_bChecksEnabled = bEnable; }
    void EnableColumnCheck(int nCol, BOOL bEnable);

    // Where the column's box is now (from the item's current rectangle);
    // empty when the column has none.
    CRect GetCheckboxRect(int nCol) const;
    int GetHotItem() const { return m_nHotItem; }

    // Draws one heading; the DRAWITEMSTRUCT's itemID is the column.
    virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;

    // Closes the shared "Header" theme handle; the next drawing opens it again.
    static void CloseTheme();

protected:
    afx_msg void OnCustomDraw(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnMouseLeave();
    afx_msg void OnSysColorChange();
    afx_msg void OnDestroy();
    afx_msg LRESULT OnSetImageList(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnThemeChanged(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    BOOL IsThemed();
    int ItemFromPoint(CPoint point) const;
    CXCheckBox* ColumnBox(int nCol) const;
    CRect ContentRect(const RECT& rcItem);
    void RedrawItem(int nItem);
    void ClearPressed();
    void FreeColumns();
    void TakeColours();

    CWnd* m_pOwnerList;
    int m_nHotItem;
    COLORREF m_crText;
    BOOL m_bHoverTimer;
    int m_nMargin;
    int m_cxImage;
    int m_cyImage;
    std::vector<CXHeaderColumn*> m_arrColumns;
    BOOL m_bChecksEnabled;
    int m_nHotCheckbox;
    COLORREF m_crHighlight;
    COLORREF m_crShadow;
    COLORREF m_crFace;
    COLORREF m_crButtonText;
};
