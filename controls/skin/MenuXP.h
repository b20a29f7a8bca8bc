#pragma once
// Popup menus in the flat XP look: items become owner-drawn with the images
// of the matching toolbar buttons, and the system's menu windows get a flat
// border and, on systems other than XP, a drawn shadow. Works through a
// window property on the windows whose menus take the look and a thread
// hook that subclasses the menu windows.
#include "framework/Afx.h"
#include <commctrl.h>

// One menu item as the menus read it.
class CMenuItemXP
{
public:
    CMenuItemXP(HMENU hMenu, UINT nPos);
    BOOL IsValid() const { return m_bValid; }
    BOOL IsSeparator() const { return (m_info.fType & MFT_SEPARATOR) != 0; }

    MENUITEMINFOW m_info;
    CString m_strText;
    HIMAGELIST m_hImageList;
    int m_nImage;

private:
    BOOL m_bValid;
};

class CMenuXP
{
public:
    static void InstallHook();
    static void UninstallHook();
    static int GetHookCount();

    static void SetXPLook(HWND hWnd, BOOL bOn);
    static void UpdateMenuBar(HWND hWnd);
    // Makes the items of hMenu owner-drawn (bConvert) or plain again.
    static void UpdateMenu(HWND hWnd, HMENU hMenu, BOOL bConvert, BOOL bPopupOnly);

    // Handlers the owner window forwards; FALSE when the item is not ours.
    static BOOL MeasureItem(MEASUREITEMSTRUCT* pMeasure);
    static BOOL DrawItem(DRAWITEMSTRUCT* pDraw);
    static LRESULT OnMenuChar(HMENU hMenu, UINT nChar, UINT nFlags);

    // What the menus measured for an item: text and shortcut widths of its
    // menu and its own height.
    struct Measure
    {
        HMENU hMenu;
        int nTextWidth;
        int nShortcutWidth;
        int nHeight;
        BOOL bMenuBar;
    };
    static BOOL GetMeasure(UINT nItemID, ULONG_PTR dwItemData, Measure& measure);
    static BOOL IsMenuWindowSubclassed(HWND hWndMenu);

    // Colours of the look.
    static COLORREF MenuBackColor();
    static COLORREF IconColumnColor();

private:
    static LRESULT CALLBACK HookProc(int nCode, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK MenuWndProc(HWND hWnd, UINT uMsg, WPARAM wParam, LPARAM lParam);
    static void DrawBorder(HWND hWnd, HDC hDC);
    static void EndMenuWindow(HWND hWnd);
};
