#pragma once
// A 12 x 12 check box drawn inside a list cell or a header item: themed
// through the "Button" class when the system is themed, else a blue frame
// with a green tick. States: 0 none, 1 unchecked, 2 checked.
#include "controls/lists/XCellCtrl.h"

class CXCheckBox : public CXCellCtrl
{
public:
    enum { BOX_SIZE = 12, TEXT_GAP = 4 };
    enum { STATE_NONE = 0, STATE_UNCHECKED = 1, STATE_CHECKED = 2 };

    explicit CXCheckBox(CWnd* pOwner);
    virtual ~CXCheckBox();

    void SetCheck(int nState) { m_nCheckedState = nState; }
    int GetCheck() const { return m_nCheckedState; }
    // A disabled box ignores clicks and draws the disabled look.
    void SetEnabled(BOOL bEnabled)
    {
        m_bEnabled = bEnabled;
        m_bDrawnEnabled = bEnabled;
    }
    BOOL GetEnabled() const { return m_bEnabled; }

    // Box width plus the gap before a text, or 0 when nothing was drawn.
    virtual int Draw(HDC hDC, const RECT& rcCell) override;

    // The box for a cell whose left edge is the box's: 12 wide, 12 high,
    // centred vertically.
    static CRect BoxRect(const RECT& rcCell);
    // Closes the shared "Button" theme handle; the next drawing opens it again.
    static void CloseTheme();
    // Live check-box objects of the process (leak checks).
    static long GetLiveCount();

private:
    void DrawClassic(HDC hDC, const RECT& rcBox) const;
    int ThemeState() const;

    BOOL m_bEnabled;
    int m_nCheckedState;
};
