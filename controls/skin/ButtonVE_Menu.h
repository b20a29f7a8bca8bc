#pragma once
// A CButtonVE_Image that pops up a menu of string items when it is clicked
// or when Space or Enter is pressed on it; the chosen item's command goes to
// the parent (or the notify window) as WM_COMMAND. A drop-down arrow at its
// right edge tells it from a plain button.
#include "controls/skin/ButtonVE_Image.h"

#include <vector>

class CButtonVE_Menu : public CButtonVE_Image
{
public:
    CButtonVE_Menu();
    ~CButtonVE_Menu() override;

    // Appends an item; nCommand (not 0) is sent when it is chosen.
    void AddMenuItem(LPCTSTR lpszText, UINT nCommand);
    void RemoveAllMenuItems();
    int GetMenuItemCount() const { return (int)m_items.size(); }
    // Pops the menu up under the button; the chosen command, 0 when the menu
    // was closed without a choice or has no items.
    UINT ShowMenu();
    UINT GetLastCommand() const { return m_nLastCommand; }
    BOOL IsMenuShown() const { return m_bMenuShown; }

    // Room kept free for the arrow at the right edge.
    enum { ARROW_ZONE = 14 };

protected:
    // Tracks the popup at the screen point and returns the chosen command.
    virtual UINT TrackMenu(HMENU hMenu, CPoint ptScreen);
    void DrawContent(CDC* pDC, HTHEME hTheme, UINT nUIState, const CRect& rcClient, const CRect& rcContent,
                     CRect rcText, UINT nFlags, BOOL bEnabled) override;

    afx_msg void OnLButtonUp(UINT nFlags, CPoint point);
    afx_msg void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    afx_msg LRESULT OnGetDlgCodeMessage(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    struct MenuItem
    {
        CString strText;
        UINT nCommand;
    };
    std::vector<MenuItem> m_items;
    BOOL m_bMenuShown;
    UINT m_nLastCommand;
};
