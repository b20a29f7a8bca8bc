#pragma once
// What the check-box list keeps per cell, and per row the array of them.
#include "framework/Afx.h"

class CXCheckBox;

struct CXListCellData
{
    CXListCellData();
    ~CXListCellData();

    int m_nImage;              // small image list index, -1 none
    CString m_strToolTip;      // empty: no tip
    COLORREF m_crText;
    COLORREF m_crBackground;
    CXCheckBox* m_pCheckbox;   // owned; NULL: no box
    BOOL m_bHasCheckbox;       // column 0's record: some cell of the row has a box

    CXListCellData(const CXListCellData&) = delete;
    CXListCellData& operator=(const CXListCellData&) = delete;
};

// The item data of a row: one record per column, and the caller's own item
// data, which the row record takes the place of.
struct CXListRowData
{
    CXListCellData* m_pCells;
    int m_nCells;
    DWORD_PTR m_dwItemData;
};
