#pragma once
// A radio button drawn from a strip of six frames (unchecked, hover, pressed;
// checked, hover, pressed) over the parent's background. The buttons of a
// group keep it themselves: each knows its siblings.
#include "framework/Afx.h"
#include "framework/Controls.h"

class CSkinRadioButton : public CButton
{
public:
    enum { MAX_SIBLINGS = 10 };
    CSkinRadioButton();

    BOOL SetBitmap(UINT nID);
    // FALSE when the list is full (or the button is this one).
    BOOL AddSibling(CSkinRadioButton* pButton);
    int GetSiblingCount() const { return m_nSiblings; }
    BOOL IsChecked() const { return m_bChecked; }
    void SetChecked(BOOL bChecked);
    BOOL IsHovering() const { return m_bHover; }
    // Where its own caption starts, from its left edge (after the glyph by default).
    void SetTextLeft(int nLeft) { m_nTextLeft = nLeft; }
    // Links the buttons into one group.
    static void LinkGroup(CSkinRadioButton* const* ppButtons, int nCount);

    void DrawItem(LPDRAWITEMSTRUCT lpDIS) override;

protected:
    void PreSubclassWindow() override;
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnMouseHover(UINT nFlags, CPoint point);
    afx_msg void OnMouseLeave();
    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg HBRUSH CtlColor(CDC* pDC, UINT nCtlColor);
    DECLARE_MESSAGE_MAP()

private:
    CBitmap m_bmpStrip;
    int m_nFrameWidth;
    int m_nFrameHeight;
    BOOL m_bHover;
    BOOL m_bTracking;
    BOOL m_bChecked;
    CSkinRadioButton* m_pSiblings[MAX_SIBLINGS];
    int m_nSiblings;
    int m_nTextLeft;
};
