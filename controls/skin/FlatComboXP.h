#pragma once
// A flat combo box in the XP look: a thin frame and a flat drop-down button
// that light up while the mouse is over the control or it has the focus.
#include "framework/Afx.h"
#include "framework/Controls.h"
#include "controls/skin/DrawHelpersXP.h"

class CFlatComboXP;

// The edit part: its mouse and focus changes reach the combo's tracker.
class CFlatComboEditXP : public CEdit
{
public:
    CFlatComboXP* m_pCombo = NULL;

protected:
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
};

// The drop-down button face: a flat square and an arrow of shrinking lines.
class CDropDownButtonXP
{
public:
    enum { STATE_HOT = 1, STATE_PRESSED = 2, STATE_DISABLED = 4 };
    virtual ~CDropDownButtonXP() {}
    virtual void Draw(HDC hDC);
    RECT m_rc = {};
    UINT m_nState = 0;
};

class CFlatComboXP : public CComboBox
{
public:
    CFlatComboXP();

    int m_nVisibleItems;
    CMouseTrack m_mouseTrack;
    CFlatComboEditXP m_edit;

    void OnEditMouse(UINT message);

protected:
    virtual void PreSubclassWindow();
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    void DrawFrame();

    int m_nEditHeight;
    int m_nKeptHeight;
    BOOL m_bSized;
};
