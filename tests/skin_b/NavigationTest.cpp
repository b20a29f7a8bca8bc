#include "controls/skin/GuiFolder.h"
#include "controls/skin/GuiOutLook.h"
#include "controls/skin/HostStatic.h"
#include "controls/skin/XPColors.h"
#include "tests/skin_b/TestWindow.h"
#include "framework/WinApp.h"

#include <gtest/gtest.h>
#include <memory>

namespace {

// The main window the bars report to.
class CTestApp : public CWinApp
{
public:
    CTestApp() : CWinApp(L"Tamsel tests") {}
};

const wchar_t* const kFolderNames[7] = { L"Scan && Clean", L"Optimize PC", L"Backup && Restore", L"IE Tools",
                                         L"Windows", L"Options", L"Help" };
const UINT kBarIds[7] = { 5701, 5707, 5702, 5703, 5704, 5705, 5706 };

struct NavigationFixture : public ::testing::Test
{
    CTestApp app;
    CTestWindow window;
    CHostStatic host;
    CGuiFolder folder;
    CGuiOutLook bars[7];

    void SetUp() override
    {
        AfxSetResourceHandle(::GetModuleHandleW(NULL));
        ASSERT_TRUE(window.CreateTop(640, 520, RGB(255, 255, 255)));
        app.m_pMainWnd = &window;
        ASSERT_TRUE(host.Create(L"", WS_CHILD | WS_VISIBLE, CRect(5, 5, 185, 505), &window, 1143));
        CRect rect;
        host.GetClientRect(&rect);
        ASSERT_TRUE(folder.Create(WS_CHILD | WS_VISIBLE, rect, &host, 1143));
        folder.SetImageList(8018, 32, 16, RGB(255, 0, 255));
        for (int i = 0; i < 7; ++i)
        {
            ASSERT_TRUE(bars[i].Create(WS_VISIBLE, CRect(0, 0, 0, 0), &folder, kBarIds[i]));
            folder.AddFolder(&bars[i], kFolderNames[i], i);
        }
        for (int i = 0; i < 7; ++i)
            bars[i].SetImageList(8023, 16, 6, RGB(255, 0, 255));
        bars[0].AddItem(5601, L"Registry Cleaner", 0, L"");
        bars[0].AddItem(5602, L"Evidence Cleaner", 1, L"");
        bars[0].AddItem(5603, L"Junk Cleaner", 2, L"");
        bars[0].AddItem(5604, L"File Shredder", 3, L"");
        bars[0].AddItem(5605, L"Patch && Update", 22, L"");
        bars[2].AddItem(5614, L"Auto Backup", 4, L"");
        bars[2].AddItem(5615, L"Full Backup", 5, L"");
        bars[2].AddItem(5616, L"IE Favorites", 20, L"");
        folder.SetStyle(XP_STYLE_GRADIENT);
        for (CGuiOutLook& bar : bars)
            bar.SetStyle(XP_STYLE_GRADIENT);
        folder.SelectFolder(0);
        window.UpdateWindow();
    }
    void TearDown() override
    {
        app.m_pMainWnd = NULL;
    }
    void Click(CWnd& wnd, CPoint pt)
    {
        wnd.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(pt.x, pt.y));
        wnd.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(pt.x, pt.y));
    }
    CRect ChildRect(CWnd& child)
    {
        CRect rect;
        child.GetWindowRect(&rect);
        folder.ScreenToClient(&rect);
        return rect;
    }
};

}  // namespace

TEST_F(NavigationFixture, FirstFolderOpensBelowItsHeaderWithTheOthersAtTheBottom)
{
    EXPECT_EQ(folder.GetFolderCount(), 7);
    EXPECT_EQ(folder.GetOpenFolder(), 0);
    CRect rcClient;
    folder.GetClientRect(&rcClient);
    EXPECT_EQ(folder.GetFolder(0)->rcHeader, CRect(0, 0, 180, 36));
    for (int i = 1; i < 7; ++i)
    {
        EXPECT_FALSE(folder.GetFolder(i)->bAtTop) << i;
        EXPECT_EQ(folder.GetFolder(i)->rcHeader.bottom, rcClient.bottom - 34 * (6 - i)) << i;
    }
    CRect rcBar = ChildRect(bars[0]);
    // Folder 0's child starts a pixel lower and keeps the full height.
    EXPECT_EQ(rcBar.top, 36);
    EXPECT_EQ(rcBar.Height(), rcClient.bottom - 6 * 34 - 35);
    EXPECT_TRUE(bars[0].IsWindowVisible());
    for (int i = 1; i < 7; ++i)
        EXPECT_FALSE(bars[i].IsWindowVisible()) << i;
}

TEST_F(NavigationFixture, ClickingABottomHeaderMovesItUpAndOpensIt)
{
    window.m_commands.clear();
    CPoint pt = folder.GetFolder(2)->rcHeader.CenterPoint();
    Click(folder, pt);
    EXPECT_EQ(folder.GetOpenFolder(), 2);
    EXPECT_TRUE(folder.GetFolder(1)->bAtTop);
    EXPECT_TRUE(folder.GetFolder(2)->bAtTop);
    EXPECT_FALSE(folder.GetFolder(3)->bAtTop);
    EXPECT_EQ(folder.GetFolder(2)->rcHeader.top, 35 + 36);
    EXPECT_TRUE(bars[2].IsWindowVisible());
    EXPECT_FALSE(bars[0].IsWindowVisible());
    EXPECT_EQ(ChildRect(bars[2]).top, 35 + 36 + 36);
    ASSERT_EQ(window.m_commands.size(), 1u);
    EXPECT_EQ(window.m_commands[0], 5702u);

    // The open folder's header again: nothing moves, the command still comes.
    CRect rcBefore = folder.GetFolder(4)->rcHeader;
    Click(folder, folder.GetFolder(2)->rcHeader.CenterPoint());
    EXPECT_EQ(folder.GetOpenFolder(), 2);
    EXPECT_EQ(folder.GetFolder(4)->rcHeader, rcBefore);
    EXPECT_EQ(window.m_commands.size(), 2u);

    // A top header sends the ones below it back down.
    Click(folder, folder.GetFolder(1)->rcHeader.CenterPoint());
    EXPECT_EQ(folder.GetOpenFolder(), 1);
    EXPECT_FALSE(folder.GetFolder(2)->bAtTop);
    EXPECT_TRUE(bars[1].IsWindowVisible());
    EXPECT_FALSE(bars[2].IsWindowVisible());

    // Pages select folders too.
    folder.SelectFolder(5);
    EXPECT_EQ(folder.GetOpenFolder(), 5);
    EXPECT_TRUE(bars[5].IsWindowVisible());
    folder.SelectFolder(0);
    EXPECT_EQ(folder.GetOpenFolder(), 0);
    EXPECT_EQ(ChildRect(bars[0]).top, 36);
    folder.SelectFolder(42);  // no such folder
    EXPECT_EQ(folder.GetOpenFolder(), 0);
}

TEST_F(NavigationFixture, ItemsSendTheirIdsToTheParentAndTheMainWindow)
{
    // A bar whose parent records what it gets.
    CTestWindow parent;
    ASSERT_TRUE(parent.CreateEx(0, NULL, L"", WS_CHILD | WS_VISIBLE, 200, 5, 180, 200, window.m_hWnd, NULL));
    CGuiOutLook bar;
    ASSERT_TRUE(bar.Create(WS_VISIBLE, CRect(0, 0, 180, 200), &parent, 5701));
    bar.SetImageList(8023, 16, 6, RGB(255, 0, 255));
    bar.AddItem(5601, L"Registry Cleaner", 0, L"");
    bar.AddItem(5614, L"Auto Backup", 4, L"");
    window.m_commands.clear();
    OutlookItem* pItem = bar.GetItem(1);
    ASSERT_NE(pItem, nullptr);
    pItem->button.SendMessage(BM_CLICK);
    ASSERT_EQ(parent.m_commands.size(), 1u);
    EXPECT_EQ(parent.m_commands[0], 5614u);
    ASSERT_EQ(window.m_commands.size(), 1u);
    EXPECT_EQ(window.m_commands[0], 5614u);

    // In the folder bar the main window sees the item too.
    window.m_commands.clear();
    bars[0].GetItem(0)->button.SendMessage(BM_CLICK);
    ASSERT_EQ(window.m_commands.size(), 1u);
    EXPECT_EQ(window.m_commands[0], 5601u);
}

TEST_F(NavigationFixture, ItemLayoutCaptionsAndTooltips)
{
    CRect rcBar;
    bars[0].GetClientRect(&rcBar);
    for (int i = 0; i < bars[0].GetItemCount(); ++i)
    {
        CRect rc;
        bars[0].GetItem(i)->button.GetWindowRect(&rc);
        bars[0].ScreenToClient(&rc);
        EXPECT_EQ(rc, CRect(CGuiOutLook::ITEM_MARGIN, 5 + 29 * i, rcBar.right - CGuiOutLook::ITEM_MARGIN,
                            5 + 29 * i + 28)) << i;
    }
    EXPECT_EQ(bars[0].GetItem(0)->button.GetSizeButton().cy, 28);
    bars[0].SetItemText(5605, L"Fix && Update");
    EXPECT_EQ(bars[0].GetItem(4)->strText, CString(L"Fix && Update"));
    EXPECT_EQ(bars[0].GetItem(4)->button.GetCaption(), CString(L"Fix && Update"));
    CString strTip;
    bars[0].GetItem(4)->button.GetToolTip().GetText(strTip, &bars[0].GetItem(4)->button);
    EXPECT_EQ(strTip, CString(L"Fix &&& Update"));

    // The folder tooltip shows the caption with the ampersands tripled.
    MSG msg = { folder.m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(20, 10), 0, { 20, 10 } };
    folder.PreTranslateMessage(&msg);
    folder.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(20, 10));
    EXPECT_EQ(folder.GetHotFolder(), 0);
    folder.GetToolTip().GetText(strTip, &folder, 1);
    EXPECT_EQ(strTip, CString(L"Scan &&& Clean"));
    folder.SetFolderText(0, L"Scan");
    EXPECT_EQ(folder.GetFolder(0)->strName, CString(L"Scan"));
}

TEST_F(NavigationFixture, TallColumnScrollsByFiftyPixels)
{
    CGuiOutLook bar;
    ASSERT_TRUE(bar.Create(WS_VISIBLE, CRect(200, 5, 380, 100), &window, 5708));
    bar.SetImageList(8023, 16, 6, RGB(255, 0, 255));
    for (UINT n = 0; n < 5; ++n)
        bar.AddItem(5708 + n, L"Startup Manager", 16 + n, L"");
    EXPECT_TRUE(bar.IsDownArrowShown());
    EXPECT_FALSE(bar.IsUpArrowShown());
    Click(bar, bar.GetDownArrowRect().CenterPoint());
    EXPECT_EQ(bar.GetScrollOffset(), -50);
    EXPECT_TRUE(bar.IsUpArrowShown());
    CRect rc;
    bar.GetItem(0)->button.GetWindowRect(&rc);
    bar.ScreenToClient(&rc);
    EXPECT_EQ(rc.top, 5 - 50);
    Click(bar, bar.GetUpArrowRect().CenterPoint());
    EXPECT_EQ(bar.GetScrollOffset(), 0);
    EXPECT_FALSE(bar.IsUpArrowShown());
}

TEST_F(NavigationFixture, HeadersAndBarsPaintTheirLook)
{
    // Header gradient: near RGB(250,250,249) at the top, darker below.
    COLORREF clrTop = ClientPixel(folder, 170, 3);
    COLORREF clrLow = ClientPixel(folder, 170, 32);
    EXPECT_GT(GetBValue(clrTop), GetBValue(clrLow));
    EXPECT_GE(GetRValue(clrTop), 240);
    // The folder image is drawn at (10, 1) with its key colour left out.
    EXPECT_NE(ClientPixel(folder, 10, 1), RGB(255, 0, 255));
    // The item bar's gradient shows beside the buttons.
    COLORREF clrBar = ClientPixel(bars[0], 3, 3);
    EXPECT_GE(GetRValue(clrBar), 240);

    // Hover: the tool button turns hot under the pointer and frames itself.
    CGuiToolButton& button = bars[0].GetItem(0)->button;
    ::SetActiveWindow(window.m_hWnd);
    if (::GetActiveWindow() == window.m_hWnd)
    {
        button.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(20, 10));
        EXPECT_TRUE(button.IsHot());
        EXPECT_EQ(ClientPixel(button, 50, 0), GetXPHighlightColor());
    }
}
