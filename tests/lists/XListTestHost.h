#pragma once
// A hidden top-level window holding one check-box list (control 1013), which
// records what the list tells its parent.
#include "framework/Afx.h"
#include "framework/Wnd.h"
#include "framework/Controls.h"
#include "controls/lists/XListCtrl.h"

#include <gtest/gtest.h>
#include <vector>

class CXListTestHost : public CWnd
{
public:
    struct Clicked
    {
        int nRow;
        int nColumn;
        int nControl;
        std::vector<int> arrStates;  // the column's states as GetCheckbox read them then
    };

    CXListCtrl* m_pList = nullptr;
    std::vector<Clicked> m_arrClicked;
    int m_nClickNotifications = 0;

protected:
    LRESULT OnCheckboxClicked(WPARAM wParam, LPARAM lParam);
    void OnListClick(NMHDR* pNMHDR, LRESULT* pResult);
    DECLARE_MESSAGE_MAP()
};

class XListTest : public ::testing::Test
{
protected:
    enum { LIST_ID = 1013 };
    void SetUp() override;
    void TearDown() override;

    // Columns: 0 "" 40 px with a header box (nHeaderState), 1 "Name" 140 px,
    // 2 "Path" 160 px.
    void AddColumns(int nHeaderState = 1);
    // Rows "row n" with a column-1 text and a column-0 box in nState (0: none).
    void AddRows(int nCount, int nState = 1);
    CPoint BoxCentre(int nRow, int nColumn);
    void Click(CPoint point, UINT nDown = WM_LBUTTONDOWN);
    void ClickHeaderBox(int nColumn);
    std::vector<int> States(int nColumn);

    CXListTestHost m_wndHost;
    CXListCtrl m_list;
};
