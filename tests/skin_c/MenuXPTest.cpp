#include "controls/skin/MenuXP.h"
#include "tests/skin_c/KitTestWindow.h"
#include <gtest/gtest.h>

namespace {

struct MenuProbe
{
    bool bFound = false;
    bool bSubclassed = false;
    int nMeasured = 0;
    CKitTestWindow* pWindow = NULL;
};
MenuProbe s_probe;

void CALLBACK ProbeMenu(HWND, UINT, UINT_PTR nIDEvent, DWORD)
{
    ::KillTimer(NULL, nIDEvent);
    HWND hMenuWnd = ::FindWindowW(L"#32768", NULL);
    s_probe.bFound = hMenuWnd != NULL && ::IsWindowVisible(hMenuWnd);
    s_probe.bSubclassed = hMenuWnd != NULL && CMenuXP::IsMenuWindowSubclassed(hMenuWnd) &&
                          ::GetPropW(hMenuWnd, L"XPWndProp_OldProc") != NULL;
    s_probe.nMeasured = s_probe.pWindow != NULL ? s_probe.pWindow->m_nMeasured : 0;
    SaveScreenshot("kit-menu");
    ::EndMenu();
}

const ULONG_PTR OWNER_DATA = (ULONG_PTR)0x12345678ABCDull;

} // namespace

TEST(CMenuXP, TheHookCountNeverGoesBelowZero)
{
    EXPECT_EQ(CMenuXP::GetHookCount(), 0);
    CMenuXP::UninstallHook();
    EXPECT_EQ(CMenuXP::GetHookCount(), 0);
    CMenuXP::InstallHook();
    CMenuXP::InstallHook();
    CMenuXP::UninstallHook();
    EXPECT_EQ(CMenuXP::GetHookCount(), 1);
    CMenuXP::UninstallHook();
    CMenuXP::UninstallHook();
    EXPECT_EQ(CMenuXP::GetHookCount(), 0);
}

TEST(CMenuXP, APopupTakesTheLookAndKeepsTheOwnersData)
{
    CKitTestWindow window;
    ASSERT_TRUE(window.CreateTop(60, 60, 300, 200, L"Menus"));
    HMENU hMenu = ::CreatePopupMenu();
    ::AppendMenuW(hMenu, MF_STRING, 101, L"&Open\tCtrl+O");
    ::AppendMenuW(hMenu, MF_SEPARATOR, 0, NULL);
    ::AppendMenuW(hMenu, MF_STRING | MF_CHECKED, 102, L"E&xit");
    MENUITEMINFOW info = {};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_DATA;
    info.dwItemData = OWNER_DATA;
    ASSERT_TRUE(::SetMenuItemInfoW(hMenu, 101, FALSE, &info));

    CMenuXP::SetXPLook(window.m_hWnd, TRUE);
    CMenuXP::InstallHook();
    CMenuXP::UpdateMenu(window.m_hWnd, hMenu, TRUE, TRUE);

    info.fMask = MIIM_DATA | MIIM_FTYPE;
    ASSERT_TRUE(::GetMenuItemInfoW(hMenu, 101, FALSE, &info));
    EXPECT_EQ(info.dwItemData, OWNER_DATA);
    EXPECT_TRUE(info.fType & MFT_OWNERDRAW);
    CMenuXP::Measure open = {}, exit = {}, separator = {};
    ASSERT_TRUE(CMenuXP::GetMeasure(101, OWNER_DATA, open));
    ASSERT_TRUE(CMenuXP::GetMeasure(102, 0, exit));
    ASSERT_TRUE(CMenuXP::GetMeasure(0, 0, separator));
    EXPECT_GT(open.nTextWidth, 10);
    EXPECT_GT(open.nShortcutWidth, 10);
    EXPECT_EQ(open.nTextWidth, exit.nTextWidth);  // the widest text of the menu
    EXPECT_GT(open.nHeight, separator.nHeight);
    EXPECT_GE(open.nHeight, 20);

    MEASUREITEMSTRUCT measure = {ODT_MENU, 0, 101, 0, 0, OWNER_DATA};
    ASSERT_TRUE(CMenuXP::MeasureItem(&measure));
    EXPECT_EQ((int)measure.itemWidth, open.nTextWidth + open.nShortcutWidth + 42);
    EXPECT_EQ(CMenuXP::OnMenuChar(hMenu, L'X', MF_POPUP), MAKELRESULT(2, MNC_EXECUTE));
    EXPECT_EQ(CMenuXP::OnMenuChar(hMenu, L'q', MF_POPUP), 0);
    EXPECT_EQ(CMenuXP::OnMenuChar(hMenu, L'x', MF_SYSMENU), 0);

    // Open it for real; a timer inside the menu loop looks at it and closes it.
    s_probe = MenuProbe();
    s_probe.pWindow = &window;
    ::SetForegroundWindow(window.m_hWnd);
    ::SetTimer(NULL, 0, 300, &ProbeMenu);
    ::TrackPopupMenu(hMenu, TPM_LEFTALIGN | TPM_RETURNCMD, 100, 100, 0, window.m_hWnd, NULL);
    EXPECT_TRUE(s_probe.bFound);
    EXPECT_TRUE(s_probe.bSubclassed);
    EXPECT_EQ(s_probe.nMeasured, 3);
    EXPECT_GT(window.m_nDrawn, 0);

    CMenuXP::UninstallHook();
    CMenuXP::SetXPLook(window.m_hWnd, FALSE);
    ::DestroyMenu(hMenu);
    window.DestroyWindow();
}
