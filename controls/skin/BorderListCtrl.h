#pragma once
// Standard list controls with a flat one-pixel grey-blue frame.
#include "framework/Afx.h"
#include "framework/Controls.h"

// The frame colour of the bordered lists.
#define BORDER_LIST_FRAME_COLOR RGB(190, 197, 201)

class CBorderListCtrl : public CListCtrl
{
protected:
    afx_msg void OnPaint();
    afx_msg void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    DECLARE_MESSAGE_MAP()
};

class CBorderListBox : public CListBox
{
protected:
    afx_msg void OnPaint();
    DECLARE_MESSAGE_MAP()
};

// Paints the list through its own procedure into the paint DC, framed.
void PaintBorderedList(CWnd* pList);
