#pragma once
// A toolbar in the XP look: hot and pressed buttons in the highlight blends,
// drop-down arrows, and a button's own popup menu shown below it.
#include "framework/Afx.h"
#include "framework/Controls.h"
#include <map>

class CToolBarXP : public CToolBar
{
public:
    CToolBarXP();
    virtual ~CToolBarXP();

    virtual BOOL CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle = TBSTYLE_FLAT,
                          DWORD dwStyle = WS_CHILD | WS_VISIBLE | CCS_TOP, UINT nID = 0xE800);
    virtual BOOL SetButtons(const UINT* lpIDArray, int nIDCount);
    // The popup shown by the button's arrow; the toolbar does not own it.
    void SetDropDownMenu(UINT nID, HMENU hMenu);

    // 0 none, 1 pressed, 2 released.
    BYTE m_nDropDownState;

protected:
    afx_msg void OnCustomDraw(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnDropDown(NMHDR* pNMHDR, LRESULT* pResult);

    std::map<UINT, HMENU> m_menus;
    DECLARE_MESSAGE_MAP()
};
