#pragma once
// The records behind the tree list: one item (a row) and one column.
#include "framework/Afx.h"
#include <vector>

// Item state bits.
#define TLIS_SELECTED       0x00000001
#define TLIS_EXPANDED       0x00000002
#define TLIS_EXPANDEDONCE   0x00000004
#define TLIS_CHECKBOX       0x00000010
#define TLIS_IMAGES         0x00000020
#define TLIS_OPENLINK       0x00000040
#define TLIS_IGNORELINK     0x00000080
#define TLIS_CHECKED        0x00010000
#define TLIS_UNCHECKED      0x00020000
#define TLIS_CHECKBITS      (TLIS_CHECKED | TLIS_UNCHECKED)

class CTreeListCtrl;

class CTreeListItem
{
public:
    CTreeListItem();
    virtual ~CTreeListItem();

    // 0 unchecked, 1 checked, 2 partly checked.
    int GetCheck() const;
    DWORD GetState() const { return m_dwState; }
    int GetLevel() const { return m_nLevel; }
    const CString* GetText(int nColumn) const;

private:
    friend class CTreeListCtrl;

    CTreeListItem* m_pParent;
    CTreeListItem* m_pChild;      // first child
    CTreeListItem* m_pLastChild;  // kept so appending is O(1)
    CTreeListItem* m_pPrev;
    CTreeListItem* m_pNext;
    int m_nLevel;
    int m_nCount;         // items in the subtree, itself included
    int m_nVisibleRows;   // rows the subtree takes while shown, itself included
    int m_nChildren;      // direct children
    // Direct children that have a box and the checked part / unchecked part
    // set, and children fully checked (box or not): the roll-up and the count
    // line read these instead of walking the siblings.
    int m_nBoxedChecked;
    int m_nBoxedUnchecked;
    int m_nChecked;
    DWORD m_dwState;
    DWORD_PTR m_dwData;
    int m_nImages[4];
    std::vector<CString> m_arrTexts;
    int m_nHeight;
    int m_nTextKind;
    CString m_strMeasured;
    CRect m_rcCell;       // column-0 cell as last painted, client coordinates
    UINT_PTR m_nKey;      // stable name for the feed (0: none)
};

class CTreeListColumnInfo
{
public:
    CTreeListColumnInfo();
    virtual ~CTreeListColumnInfo() {}

    DWORD m_dwFormat;
    int m_nMinWidth;
    int m_nMaxWidth;   // 0: none
    int m_nWidth;
    CString m_strHeading;
    int m_nImage;
    CString m_strSecondText;
    int m_nTrackStartWidth;
    int m_nTrackStartX;
};
