#pragma once
// The report list of the maintenance tools: every cell drawn by the list
// from its text and a record with colours, an image, a tool tip and an
// optional check box (0 none, 1 unchecked, 2 checked). A column heading can
// carry a box that checks or unchecks the whole column. Check-box toggles go
// to the parent as WM_XLISTCTRL_CHECKBOX_CLICKED; pages read the states with
// GetCheckbox when they act.
//
// Fill with redraw off (SetRedraw(FALSE)): a visible report list repaints on
// every insert otherwise.
#include "framework/Afx.h"
#include "framework/ListCtrl.h"
#include "framework/ToolTipCtrl.h"
#include "controls/lists/XHeaderCtrl.h"
#include "controls/lists/XListCellData.h"

#include <string>
#include <vector>

// Sent to the list's parent (else its owner) after a check box was toggled:
// wParam the row, or -1 for the header box; lParam low word the column, high
// word the list's control id.
extern const UINT WM_XLISTCTRL_CHECKBOX_CLICKED;

class CXListCtrl : public CListCtrl
{
public:
    CXListCtrl();
    virtual ~CXListCtrl();

    // ---- Columns -------------------------------------------------------------
    // With LVCF_IMAGE the image value is the column's header box: 0 none,
    // 1 unchecked, 2 checked. -1 when pColumn is NULL or the insert fails.
    int InsertColumn(int nCol, const LVCOLUMN* pColumn);
    int InsertColumn(int nCol, LPCTSTR lpszColumnHeading, int nFormat = LVCFMT_LEFT, int nWidth = -1,
                     int nSubItem = -1);
    int GetColumnCount() const { return m_nColumns; }
    // The header box of a column: 0 none, 1 unchecked, 2 checked.
    int GetHeaderCheckbox(int nCol) const;

    // ---- Rows ------------------------------------------------------------------
    // Inserts a row with default cell records; -1 for a negative row or on failure.
    int InsertItem(int nItem, LPCTSTR lpszItem);
    // Every path that removes rows (these, the base class's, destroying the
    // window) frees their records.
    BOOL DeleteItem(int nItem);
    BOOL DeleteAllItems();
    // The caller's own item data (the list keeps its records in the list view's).
    DWORD_PTR GetItemData(int nItem) const;
    BOOL SetItemData(int nItem, DWORD_PTR dwData);
    // The first selected row, -1 for none.
    int GetCurSel() const;

    // ---- Cells (out-of-range row or column: FALSE / 0 / -1, nothing changes) --
    BOOL SetItemText(int nItem, int nSubItem, LPCTSTR lpszText);
    // lpszText NULL keeps the text; (COLORREF)-1 takes the list's default colour.
    BOOL SetItemTextColors(int nItem, int nSubItem, LPCTSTR lpszText, COLORREF crText, COLORREF crBackground);
    BOOL SetItemImage(int nItem, int nSubItem, int nImage);
    int GetItemImage(int nItem, int nSubItem) const;
    BOOL SetItemToolTipText(int nItem, int nSubItem, LPCTSTR lpszToolTipText);
    CString GetItemToolTipText(int nItem, int nSubItem) const;
    // nCheckedState 1 unchecked, 2 checked: gives the cell a (new) check box.
    BOOL SetCheckbox(int nItem, int nSubItem, int nCheckedState);
    // 0 when the cell has no box or the cell does not exist.
    int GetCheckbox(int nItem, int nSubItem) const;
    // A disabled box ignores clicks (cell and header) and draws greyed.
    BOOL SetCheckboxEnabled(int nItem, int nSubItem, BOOL bEnabled);
    BOOL GetCheckboxEnabled(int nItem, int nSubItem) const;

    // ---- Look and behaviour ------------------------------------------------------
    // On: texts that do not fit end in "..." (the default). Returns the old setting.
    BOOL SetEllipsis(BOOL bEllipsis);
    BOOL GetEllipsis() const { return m_bEllipsis; }
    // The per-cell tool tips; returns the old setting.
    BOOL EnableToolTips(BOOL bEnable = TRUE);
    // FALSE draws this list's boxes classically even on a themed system.
    void SetUseTheme(BOOL bUseTheme);
    // Set once the user toggled a box (never cleared by the list).
    BOOL IsDirty() const { return m_bDirty; }

    // The cell under a client point: its tool id row x 1000 + column + 1 and
    // TOOLINFO (whole client area, text by callback), or -1.
    virtual INT_PTR OnToolHitTest(CPoint point, TOOLINFO* pTI) const;
    // Where a cell's box is drawn now (empty when it has none).
    CRect GetCheckboxRect(int nItem, int nSubItem) const;
    // The list's own tool tip control (NULL until tool tips are switched on).
    CToolTipCtrl* GetToolTips() { return m_wndToolTip.GetSafeHwnd() ? &m_wndToolTip : NULL; }
    CXHeaderCtrl* GetXHeaderCtrl() { return m_bHeaderSubclassed ? &m_HeaderCtrl : NULL; }

    // Live cell records of the process (leak checks).
    static long GetLiveRecordCount();

protected:
    virtual void PreSubclassWindow() override;
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    // The tool tip's text request (both character sets).
    virtual BOOL OnToolTipText(UINT nID, NMHDR* pNMHDR, LRESULT* pResult);

    afx_msg int OnCreate(LPCREATESTRUCT lpCreateStruct);
    afx_msg void OnDestroy();
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnMouseLeave();
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnSysColorChange();
    afx_msg BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);
    afx_msg void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    afx_msg void OnCustomDraw(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg BOOL OnClick(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg BOOL OnColumnClick(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg LRESULT OnHeaderCheckboxClicked(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnThemeChanged(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    // Records and counts.
    CXListRowData* RowData(int nItem) const;
    CXListCellData* Cell(int nItem, int nSubItem) const;
    CXListCellData* CellForWrite(int nItem, int nSubItem);
    BOOL IsValidCell(int nItem, int nSubItem) const;
    CXListRowData* NewRowData(int nCells) const;
    void FreeRowData(CXListRowData* pRow);
    void FreeAllRows();
    void CountBox(int nSubItem, int nOldState, int nNewState);
    void RollUpHeader(int nSubItem);
    void AttachHeader(int nNewColumn = -1);
    void AdoptRows();
    void AfterColumnInserted(int nCol, const LVCOLUMN* pColumn);
    void AfterColumnDeleted(int nCol);

    // Geometry and drawing.
    CRect CellRect(int nItem, int nSubItem) const;
    void InvalidateCell(int nItem, int nSubItem);
    void DrawCell(HDC hDC, int nItem, int nSubItem);
    void TakeColours();

    // Input.
    BOOL HitCell(CPoint point, int& nItem, int& nSubItem) const;
    BOOL HitBox(CPoint point, int& nItem, int& nSubItem) const;
    void ToggleBox(int nItem, int nSubItem);
    void ClearPressed();
    void ClearHot();
    void NotifyParent(int nItem, int nSubItem);
    void RelayToolTip(UINT message, WPARAM wParam, LPARAM lParam);

    CXHeaderCtrl m_HeaderCtrl;
    BOOL m_bHeaderSubclassed;
    BOOL m_bDirty;
    int m_nTextMargin;
    int m_nHotItem;
    int m_nHotSubItem;
    int m_nPressedItem;
    int m_nPressedSubItem;
    BOOL m_bTrackingLeave;
    BOOL m_bEllipsis;
    BOOL m_bToolTips;
    BOOL m_bUseTheme;
    BOOL m_bRedraw;
    int m_nColumns;
    // Per column: cells with a box, and of those the checked ones.
    std::vector<int> m_arrBoxCount;
    std::vector<int> m_arrCheckedCount;

    COLORREF m_crHighlight;
    COLORREF m_crHighlightText;
    COLORREF m_crBtnFace;
    COLORREF m_crWindow;
    COLORREF m_crWindowText;

    CToolTipCtrl m_wndToolTip;
    INT_PTR m_nToolId;
    // The text handed to the tool tip must outlive the request.
    CString m_strToolTipText;
    std::string m_strToolTipTextA;
};
