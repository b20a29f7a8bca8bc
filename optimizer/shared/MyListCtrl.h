#pragma once
// An owner-drawn report list: white rows, system highlight, texts cut with an
// ellipsis. In the optimizer library a click on a column header sorts by that
// column; the privacy library's lists (STYLE_PRIVACY) keep their order, since
// their rows carry data that sorting would overwrite.
#include "framework/Afx.h"
#include "framework/Controls.h"
#include <vector>

class CMyListCtrl : public CListCtrl
{
public:
    enum { MAX_HEADER = 19, MAX_CELL = 520 };
    enum LibraryStyle { STYLE_OPTIMIZER, STYLE_PRIVACY };
    explicit CMyListCtrl(LibraryStyle eStyle = STYLE_OPTIMIZER);
    LibraryStyle GetLibraryStyle() const { return m_eStyle; }
    // The first selected row, -1 when none.
    int GetSelectedIndex() const;

    // Column records, set before Create; header texts are cut to 19 characters.
    void AddColumnRecord(LPCWSTR lpszText, int nWidth);
    int GetColumnRecordCount() const { return (int)m_columns.size(); }
    CString GetColumnRecordText(int nIndex) const;
    void SetCreateExStyle(DWORD dwExStyle) { m_dwExStyle = dwExStyle; }
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

    int GetSortColumn() const { return m_nSortColumn; }
    BOOL GetSortAscending() const { return m_bSortAscending; }
    // What a click on the header of nColumn does.
    void SortByColumn(int nColumn);

    void DrawItem(LPDRAWITEMSTRUCT lpDIS) override;
    void MeasureItem(LPMEASUREITEMSTRUCT lpMIS) override;

protected:
    afx_msg void OnColumnClick(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnItemChanged(NMHDR* pNMHDR, LRESULT* pResult);
    DECLARE_MESSAGE_MAP()

private:
    struct CColumnRecord
    {
        WCHAR szText[MAX_HEADER + 1];
        int nWidth;
    };
    static int CALLBACK CompareSnapshot(LPARAM lParam1, LPARAM lParam2, LPARAM lParamSort);

    LibraryStyle m_eStyle;
    DWORD m_dwExStyle;
    std::vector<CColumnRecord> m_columns;
    int m_nSortColumn;
    BOOL m_bSortAscending;
};
