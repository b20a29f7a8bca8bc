#include "controls/skin/FlatButtonXP.h"
#include "controls/skin/FlatComboXP.h"
#include "controls/skin/MaskedEdit.h"
#include "controls/skin/OwnerTextWnd.h"
#include "controls/skin/StatusBarXP.h"
#include "controls/skin/ToolBarXP.h"
#include "controls/skin/WindowShadow.h"
#include "tests/skin_c/KitTestWindow.h"
#include <gtest/gtest.h>

// Every control of the kit in one window with its shadow, for the eye.
TEST(KitShowcase, AllControlsInOneShadowedWindow)
{
    CWindowShadow::Initialize(::GetModuleHandleW(NULL));
    CKitTestWindow window;
    ASSERT_TRUE(window.CreateTop(160, 120, 560, 330, L"Kit"));
    HFONT hFont = (HFONT)::GetStockObject(DEFAULT_GUI_FONT);

    CToolBarXP toolBar;
    ASSERT_TRUE(toolBar.CreateEx(&window));
    TBADDBITMAP std = {HINST_COMMCTRL, IDB_STD_SMALL_COLOR};
    toolBar.SendMessage(TB_ADDBITMAP, 0, (LPARAM)&std);
    const UINT ids[] = {801, 802, 0, 803, 804, 805};
    toolBar.SetButtons(ids, 6);

    COwnerTextWnd path(DT_SINGLELINE | DT_VCENTER, 1);
    ASSERT_TRUE(path.Create(NULL, L"C:\\Program Files\\Tamsel\\Backups\\AutoBackup\\AutoBackup20261209.zip",
                            WS_CHILD | WS_VISIBLE, CRect(20, 50, 260, 70), &window, 810));
    CMaskedEdit date;
    ASSERT_TRUE(date.Create(WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(20, 90, 160, 114), &window, 811));
    date.SendMessage(WM_SETFONT, (WPARAM)hFont);
    date.SetMask(L"##/##/####", L"__/__/____", 8);
    for (const wchar_t* p = L"0912"; *p; p++)
        date.SendMessage(WM_CHAR, *p, 0);

    CFlatButtonXP buttonScan, buttonStop;
    ASSERT_TRUE(buttonScan.Create(L"Scan", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, CRect(20, 140, 120, 166), &window, 812));
    ASSERT_TRUE(buttonStop.Create(L"Stop", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, CRect(130, 140, 230, 166), &window, 813));
    buttonScan.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(4, 4));

    HWND hCombo = ::CreateWindowExW(0, L"COMBOBOX", NULL, WS_CHILD | WS_VISIBLE | CBS_DROPDOWN, 290, 50, 200, 150,
                                    window.m_hWnd, (HMENU)814, NULL, NULL);
    CFlatComboXP combo;
    ASSERT_TRUE(combo.SubclassWindow(hCombo));
    combo.SetWindowPos(NULL, 0, 0, 200, 24, SWP_NOMOVE | SWP_NOZORDER);
    combo.AddString(L"English");
    combo.AddString(L"Deutsch");
    combo.SetCurSel(0);

    CStatusBarXP statusBar;
    ASSERT_TRUE(statusBar.Create(&window));
    const UINT panes[] = {0, 0, 0};
    statusBar.SetIndicators(panes, 3);
    statusBar.SetPaneText(0, L"Ready");
    statusBar.SetPaneText(1, L"12 items");
    statusBar.SetPaneText(2, L"0 errors");

    CWindowShadow shadow;
    shadow.SetSize(4);
    shadow.SetSharpness(8);
    shadow.Create(window.m_hWnd);
    // Without a window manager the last window mapped is on top: show the
    // window again so that the display stacks it over its shadow.
    window.ShowWindow(SW_HIDE);
    window.ShowWindow(SW_SHOW);
    EXPECT_EQ(::GetWindow(window.m_hWnd, GW_HWNDNEXT), shadow.m_hWnd);
    window.RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
    PumpFor(300);
    SaveScreenshot("kit-showcase");
    EXPECT_TRUE(::IsWindowVisible(shadow.m_hWnd));
    CString strDate;
    date.GetWindowText(strDate);
    EXPECT_EQ(strDate, CString(L"09/12/____"));
    window.DestroyWindow();
}
