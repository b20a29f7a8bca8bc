#include "tests/skin_a/SkinTestDialog.h"

#include "controls/skin/ButtonVE_Menu.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

const UINT IDC_MENU_BUTTON = 2101;
const UINT ID_ITEM_AUTO = 2201, ID_ITEM_FULL = 2202, ID_ITEM_FAVORITES = 2203;

// What the popup showed, read by a timer while the menu's own loop runs,
// and the keys then typed into it.
struct MenuVisit
{
    std::vector<std::wstring> items;
    CRect rcMenu;
    std::vector<UINT> keys;
    bool bSeen = false;
};
MenuVisit* s_pVisit = NULL;

BOOL CALLBACK FindShownMenu(HWND hWnd, LPARAM lParam)
{
    wchar_t szClass[16] = {};
    ::GetClassNameW(hWnd, szClass, 16);
    if (wcscmp(szClass, L"#32768") != 0 || !::IsWindowVisible(hWnd))
        return TRUE;
    *(HWND*)lParam = hWnd;
    return FALSE;
}

void CALLBACK ReadMenuProc(HWND, UINT, UINT_PTR idTimer, DWORD)
{
    HWND hMenuWnd = NULL;
    ::EnumWindows(FindShownMenu, (LPARAM)&hMenuWnd);
    if (hMenuWnd == NULL || s_pVisit == NULL || s_pVisit->bSeen)
        return;
    ::KillTimer(NULL, idTimer);
    s_pVisit->bSeen = true;
    ::GetWindowRect(hMenuWnd, &s_pVisit->rcMenu);
    HMENU hMenu = (HMENU)::SendMessageW(hMenuWnd, MN_GETHMENU, 0, 0);
    for (int i = 0; hMenu != NULL && i < ::GetMenuItemCount(hMenu); i++)
    {
        wchar_t szText[64] = {};
        ::GetMenuStringW(hMenu, i, szText, 64, MF_BYPOSITION);
        s_pVisit->items.push_back(szText);
    }
    for (UINT nKey : s_pVisit->keys)
    {
        ::PostMessageW(hMenuWnd, WM_KEYDOWN, nKey, 0);
        ::PostMessageW(hMenuWnd, WM_KEYUP, nKey, 0xC0000000);
    }
}

class MenuButtonTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ::SetCursorPos(1000, 900);
        ASSERT_TRUE(ShowSkinTestDialog(m_dlg));
        // Made by Create: the button deletes itself with its window.
        m_pButton = new CButtonVE_Menu;
        ASSERT_TRUE(m_pButton->Create(L"Backups", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW,
                                      CRect(10, 10, 170, 40), &m_dlg, IDC_MENU_BUTTON));
        m_pButton->AddMenuItem(L"Auto Backup", ID_ITEM_AUTO);
        m_pButton->AddMenuItem(L"Full Backup", ID_ITEM_FULL);
        m_pButton->AddMenuItem(L"IE Favorites", ID_ITEM_FAVORITES);
        PumpMessages(100);
    }
    void TearDown() override
    {
        s_pVisit = NULL;
        m_dlg.DestroyWindow();
    }

    // Opens the menu with the action; the timer reads it and types the keys.
    MenuVisit Visit(std::vector<UINT> keys, void (*pfnOpen)(CButtonVE_Menu&))
    {
        MenuVisit visit;
        visit.keys = keys;
        s_pVisit = &visit;
        UINT_PTR idTimer = ::SetTimer(NULL, 0, 50, ReadMenuProc);
        pfnOpen(*m_pButton);
        PumpMessages(100);
        ::KillTimer(NULL, idTimer);
        s_pVisit = NULL;
        return visit;
    }

    CSkinTestDialog m_dlg;
    CButtonVE_Menu* m_pButton = NULL;
};

} // namespace

// A click pops the items up under the button; the chosen item's command,
// not the button's own click, reaches the parent.
TEST_F(MenuButtonTest, ClickShowsTheItemsUnderTheButtonAndSendsTheChosenCommand)
{
    MenuVisit visit = Visit({VK_DOWN, VK_DOWN, VK_RETURN}, [](CButtonVE_Menu& b) { b.SendMessage(BM_CLICK); });
    ASSERT_TRUE(visit.bSeen);
    EXPECT_EQ(visit.items, (std::vector<std::wstring>{L"Auto Backup", L"Full Backup", L"IE Favorites"}));
    CRect rcButton;
    m_pButton->GetWindowRect(&rcButton);
    EXPECT_NEAR(visit.rcMenu.top, rcButton.bottom, 2);
    EXPECT_NEAR(visit.rcMenu.left, rcButton.left, 2);
    EXPECT_EQ(m_pButton->GetLastCommand(), ID_ITEM_FULL);
    EXPECT_EQ(m_dlg.m_mapClicks[ID_ITEM_FULL], 1);
    EXPECT_EQ(m_dlg.m_mapClicks[ID_ITEM_AUTO], 0);
    EXPECT_EQ(m_dlg.m_mapClicks[IDC_MENU_BUTTON], 0);
    // The pressed look goes with the menu.
    EXPECT_FALSE(m_pButton->IsMenuShown());
    EXPECT_FALSE(m_pButton->GetState() & BST_PUSHED);
}

// Escape closes the menu without a command.
TEST_F(MenuButtonTest, EscapeChoosesNothing)
{
    MenuVisit visit = Visit({VK_ESCAPE}, [](CButtonVE_Menu& b) { b.SendMessage(BM_CLICK); });
    ASSERT_TRUE(visit.bSeen);
    EXPECT_EQ(m_pButton->GetLastCommand(), 0u);
    for (UINT nID : {ID_ITEM_AUTO, ID_ITEM_FULL, ID_ITEM_FAVORITES, IDC_MENU_BUTTON})
        EXPECT_EQ(m_dlg.m_mapClicks[nID], 0) << nID;
}

// Space and Enter open the menu as a click does and keep it open; Enter is
// the button's, not the dialog's default button's.
TEST_F(MenuButtonTest, SpaceAndEnterOpenTheMenu)
{
    MenuVisit visit = Visit({VK_DOWN, VK_RETURN}, [](CButtonVE_Menu& b) { b.SendMessage(WM_KEYDOWN, VK_SPACE); });
    ASSERT_TRUE(visit.bSeen);
    EXPECT_EQ(m_pButton->GetLastCommand(), ID_ITEM_AUTO);
    PumpMessages(50);
    EXPECT_EQ(m_dlg.m_mapClicks[ID_ITEM_AUTO], 1);

    MSG msg = {m_pButton->m_hWnd, WM_KEYDOWN, VK_RETURN, 0};
    EXPECT_TRUE(m_pButton->SendMessage(WM_GETDLGCODE, VK_RETURN, (LPARAM)&msg) & DLGC_WANTMESSAGE);
    visit = Visit({VK_UP, VK_RETURN}, [](CButtonVE_Menu& b) {
        b.SetFocus();
        MSG key = {b.m_hWnd, WM_KEYDOWN, VK_RETURN, 0};
        // As the dialog's loop does: the key also leaves a WM_CHAR behind.
        ::IsDialogMessageW(b.GetParent()->m_hWnd, &key);
    });
    ASSERT_TRUE(visit.bSeen);
    EXPECT_EQ(m_pButton->GetLastCommand(), ID_ITEM_FAVORITES);
}

// Without items there is nothing to show and nothing to send.
TEST_F(MenuButtonTest, AButtonWithoutItemsShowsNoMenu)
{
    m_pButton->RemoveAllMenuItems();
    EXPECT_EQ(m_pButton->GetMenuItemCount(), 0);
    EXPECT_EQ(m_pButton->ShowMenu(), 0u);
    m_pButton->SendMessage(BM_CLICK);
    PumpMessages(50);
    EXPECT_EQ(m_dlg.m_mapClicks[IDC_MENU_BUTTON], 0);
}

// The arrow at the right edge marks the button as one with a menu.
TEST_F(MenuButtonTest, DrawsADropDownArrowAtTheRightEdge)
{
    m_pButton->RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
    CRect rc;
    m_pButton->GetClientRect(&rc);
    int nDark = 0;
    for (int y = 0; y < rc.Height(); y++)
        for (int x = rc.Width() - CButtonVE_Menu::ARROW_ZONE; x < rc.Width() - 3; x++)
        {
            COLORREF cr = WindowPixel(m_pButton->m_hWnd, x, y);
            if (GetRValue(cr) + GetGValue(cr) + GetBValue(cr) < 200)
                nDark++;
        }
    // A triangle of 7 + 5 + 3 + 1 pixels.
    EXPECT_GE(nDark, 14);
    EXPECT_LE(nDark, 20);
}
