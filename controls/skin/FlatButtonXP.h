#pragma once
// A flat push button in the XP look: a thin frame, a light face, and the
// highlight colours while the mouse is over it or it is pressed.
#include "framework/Afx.h"
#include "framework/Controls.h"
#include "controls/skin/DrawHelpersXP.h"

class CFlatButtonXP : public CButton
{
public:
    // Face, frame and text colours of a state.
    struct Colors
    {
        COLORREF clrFrame;
        COLORREF clrFace;
        COLORREF clrText;
    };
    static Colors GetColors(BOOL bEnabled, BOOL bPressed, BOOL bHover, BOOL bFocusOrDefault);

    virtual void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct);
    BOOL IsHover() const { return m_mouseTrack.IsHover(); }

protected:
    virtual void PreSubclassWindow();
    afx_msg void OnMouseMove(UINT nFlags, CPoint point);
    afx_msg void OnMouseLeave();

    CMouseTrack m_mouseTrack;
    DECLARE_MESSAGE_MAP()
};
