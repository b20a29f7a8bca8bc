#include "controls/lists/TreeListItem.h"

CTreeListItem::CTreeListItem()
    : m_pParent(NULL), m_pChild(NULL), m_pLastChild(NULL), m_pPrev(NULL), m_pNext(NULL), m_nLevel(0),
      m_nCount(1), m_nVisibleRows(1), m_nChildren(0), m_nBoxedChecked(0), m_nBoxedUnchecked(0), m_nChecked(0),
      m_dwState(TLIS_UNCHECKED | TLIS_CHECKBOX), m_dwData(0), m_nHeight(0), m_nTextKind(1), m_nKey(0)
{
    for (int i = 0; i < 4; ++i)
        m_nImages[i] = i;
}

CTreeListItem::~CTreeListItem()
{
}

int CTreeListItem::GetCheck() const
{
    const DWORD dwBits = m_dwState & TLIS_CHECKBITS;
    if (dwBits == TLIS_CHECKBITS)
        return 2;
    return dwBits == TLIS_CHECKED ? 1 : 0;
}

const CString* CTreeListItem::GetText(int nColumn) const
{
    if (nColumn < 0 || nColumn >= (int)m_arrTexts.size())
        return NULL;
    return &m_arrTexts[nColumn];
}

CTreeListColumnInfo::CTreeListColumnInfo()
    : m_dwFormat(0x104144), m_nMinWidth(0), m_nMaxWidth(0), m_nWidth(30), m_nImage(-1), m_nTrackStartWidth(0),
      m_nTrackStartX(0)
{
}
