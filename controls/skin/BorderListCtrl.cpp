#include "controls/skin/BorderListCtrl.h"

#include "framework/Dc.h"

void PaintBorderedList(CWnd* pList)
{
    PAINTSTRUCT ps;
    CDC* pDC = pList->BeginPaint(&ps);
    if (pDC == NULL)
        return;
    CRect rect;
    pList->GetWindowRect(&rect);
    pList->ScreenToClient(&rect);
    rect.OffsetRect(-rect.left, -rect.top);

    // The list draws its rows into the same DC; the frame goes on last so
    // that no row covers it.
    pList->DefWindowProc(WM_PAINT, (WPARAM)pDC->m_hDC, 0);
    CBrush brFrame(BORDER_LIST_FRAME_COLOR);
    pDC->FrameRect(&rect, &brFrame);
    brFrame.DeleteObject();
    pList->EndPaint(&ps);
}

BEGIN_MESSAGE_MAP(CBorderListCtrl, CListCtrl)
    ON_WM_PAINT()
    ON_WM_VSCROLL()
END_MESSAGE_MAP()

void CBorderListCtrl::OnPaint()
{
    PaintBorderedList(this);
}

void CBorderListCtrl::OnVScroll(UINT, UINT, CScrollBar*)
{
    Default();
}

BEGIN_MESSAGE_MAP(CBorderListBox, CListBox)
    ON_WM_PAINT()
END_MESSAGE_MAP()

void CBorderListBox::OnPaint()
{
    PaintBorderedList(this);
}
