#include "controls/skin/BalloonWnd.h"
#include "controls/skin/TipWnd.h"
#include "tests/skin_c/KitTestWindow.h"
#include "tests/support/TestSupport.h"
#include <gtest/gtest.h>

TEST(CBalloonWnd, ShowsAfterItsDelayWithItsOutlineAndGoesWhenTheMouseMoves)
{
    CKitTestWindow window;
    ASSERT_TRUE(window.CreateTop(100, 300, 300, 200, L"Balloon"));
    CBalloonWnd balloon;
    ASSERT_TRUE(balloon.Create(&window));
    balloon.m_hIcon = ::LoadIconW(NULL, IDI_INFORMATION);
    balloon.m_sizeIcon = GetIconSizeFromHotSpot(balloon.m_hIcon);
    EXPECT_GT(balloon.m_sizeIcon.cx, 0);

    ::SetCursorPos(400, 420);
    POINT pt = {400, 420};
    balloon.Show(L"Registry scan finished.\nNothing to repair.", &pt);
    EXPECT_EQ(balloon.m_nTimer, (UINT_PTR)CBalloonWnd::TIMER_SHOW);
    EXPECT_FALSE(balloon.IsWindowVisible());
    EXPECT_TRUE(testsupport::WaitFor([&] { return balloon.IsWindowVisible() != FALSE; }, 10000));
    EXPECT_EQ(balloon.m_nTimer, (UINT_PTR)CBalloonWnd::TIMER_WATCH);
    SIZE size;
    HRGN hExpected = balloon.MakeRegion(&size);
    HRGN hRegion = ::CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(balloon.GetWindowRgn(hRegion), COMPLEXREGION);
    EXPECT_TRUE(::EqualRgn(hRegion, hExpected));
    ::DeleteObject(hRegion);
    ::DeleteObject(hExpected);
    RECT rc;
    balloon.GetWindowRect(&rc);
    EXPECT_EQ(rc.left, 400 - size.cx + 12);
    EXPECT_EQ(rc.top, 420 - size.cy + 10);
    EXPECT_EQ(ClientPixel(balloon.m_hWnd, size.cx / 2, 4), RGB(255, 200, 68));
    SaveScreenshot("kit-balloon");

    // Still at the anchor: it stays; moved away: it goes.
    PumpFor(700);
    EXPECT_TRUE(balloon.IsWindowVisible());
    ::SetCursorPos(10, 10);
    EXPECT_TRUE(testsupport::WaitFor([&] { return !balloon.IsWindowVisible(); }, 10000));
    EXPECT_EQ(balloon.m_nTimer, 0u);

    // Near the screen's corner it stays on the work area.
    pt = POINT{5, 5};
    ::SetCursorPos(5, 5);
    balloon.Show(L"Corner", &pt);
    EXPECT_TRUE(testsupport::WaitFor([&] { return balloon.IsWindowVisible() != FALSE; }, 10000));
    balloon.GetWindowRect(&rc);
    RECT rcWork;
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &rcWork, 0);
    EXPECT_GE(rc.left, rcWork.left);
    EXPECT_GE(rc.top, rcWork.top);
    balloon.DestroyWindow();
    window.DestroyWindow();
}

TEST(CBalloonWnd, TheIconSizeCostsNoGdiObjects)
{
    HICON hIcon = ::LoadIconW(NULL, IDI_WARNING);
    GetIconSizeFromHotSpot(hIcon);
    DWORD dwBefore = GdiObjects();
    for (int i = 0; i < 50; i++)
        GetIconSizeFromHotSpot(hIcon);
    EXPECT_LE(GdiObjects(), dwBefore + 2);
}

TEST(CTipWnd, TipsOnlyAClippedText)
{
    CKitTestWindow window;
    ASSERT_TRUE(window.CreateTop(50, 50, 300, 240, L"Tips"));
    CTipWnd combo;
    ASSERT_TRUE(combo.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST, CRect(10, 10, 130, 200), &window, 700));
    combo.SendMessage(WM_SETFONT, (WPARAM)::GetStockObject(DEFAULT_GUI_FONT));
    combo.AddString(L"Short");
    combo.AddString(L"A text much too long for this narrow box to show");
    combo.SetCurSel(0);
    combo.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(10, 8));
    EXPECT_FALSE(combo.m_tip.IsShown());
    combo.SetCurSel(1);
    EXPECT_TRUE(combo.IsTextClipped());
    combo.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(10, 8));
    EXPECT_TRUE(combo.m_tip.IsShown());
    EXPECT_TRUE(::IsWindowVisible(combo.m_tip.m_hWnd));
    // Over the drop-down button: no tip.
    CRect rc;
    combo.GetClientRect(&rc);
    combo.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(rc.right - 3, 8));
    EXPECT_FALSE(combo.m_tip.IsShown());

    HWND hPlain = ::CreateWindowExW(0, L"LISTBOX", NULL, WS_CHILD | WS_VISIBLE | WS_BORDER | LBS_NOTIFY, 10, 60, 120,
                                    140, window.m_hWnd, (HMENU)701, NULL, NULL);
    ::SendMessageW(hPlain, WM_SETFONT, (WPARAM)::GetStockObject(DEFAULT_GUI_FONT), 0);
    CTipListBox list;
    ASSERT_TRUE(list.SubclassWindow(hPlain));
    list.AddString(L"Fits");
    list.AddString(L"This item is far wider than the list is");
    CRect rcItem;
    list.GetItemRect(0, &rcItem);
    list.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(5, rcItem.top + 2));
    EXPECT_EQ(list.m_nItem, 0);
    EXPECT_FALSE(list.m_tip.IsShown());
    list.GetItemRect(1, &rcItem);
    list.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(5, rcItem.top + 2));
    EXPECT_EQ(list.m_nItem, 1);
    EXPECT_TRUE(list.m_tip.IsShown());
    RECT rcTip;
    ::GetWindowRect(list.m_tip.m_hWnd, &rcTip);
    CPoint ptItem(rcItem.left, rcItem.top);
    list.ClientToScreen(&ptItem);
    EXPECT_NEAR(rcTip.top, ptItem.y, 4);
    window.DestroyWindow();
}
