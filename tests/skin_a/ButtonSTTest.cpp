#include "tests/skin_a/SkinTestDialog.h"

#include "framework/MessageLoop.h"
#include "tests/support/TestSupport.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <utility>

namespace {

LPARAM ClientPoint(CWnd& wnd, int dx = 0, int dy = 0)
{
    CRect rc;
    wnd.GetClientRect(&rc);
    return MAKELPARAM(rc.Width() / 2 + dx, rc.Height() / 2 + dy);
}

// A click as the mouse gives it: press and release over the button.
void Click(CWnd& wnd)
{
    wnd.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, ClientPoint(wnd));
    wnd.SendMessage(WM_LBUTTONUP, 0, ClientPoint(wnd));
    PumpMessages(20);
}

bool HasKeyColour(HWND hWnd)
{
    CRect rc;
    GetClientRect(hWnd, &rc);
    HDC hDC = GetDC(hWnd);
    bool bFound = false;
    for (int y = 0; y < rc.Height() && !bFound; y++)
        for (int x = 0; x < rc.Width() && !bFound; x++)
            bFound = GetPixel(hDC, x, y) == RGB(255, 0, 255);
    ReleaseDC(hWnd, hDC);
    return bFound;
}

// A point on the disc of the picture, off the magnifier: the hot picture is
// a saturated blue disc, the normal one a pale grey one.
bool LooksHot(CWnd& wnd)
{
    CRect rc;
    wnd.GetClientRect(&rc);
    COLORREF cr = WindowPixel(wnd.m_hWnd, 3 + 8, rc.Height() / 2 - 16 + 24);
    return GetBValue(cr) > GetRValue(cr) + 60;
}

class ButtonSTTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(ShowSkinTestDialog(m_dlg)); }
    void TearDown() override { m_dlg.DestroyWindow(); }
    CSkinTestDialog m_dlg;
};

} // namespace

TEST_F(ButtonSTTest, BindingMakesOwnerDrawnAndReadsTheType)
{
    EXPECT_EQ(m_dlg.m_btnScan.GetStyle() & BS_TYPEMASK, (DWORD)BS_OWNERDRAW);
    EXPECT_TRUE(m_dlg.m_btnScan.GetDefault());
    EXPECT_EQ(m_dlg.m_btnScan.GetCheck(), -1);
    EXPECT_EQ(m_dlg.m_chkActiveX.GetCheck(), 0);
    EXPECT_FALSE(m_dlg.m_btnAbort.GetDefault());
    // The key colour never reaches the screen.
    EXPECT_FALSE(HasKeyColour(m_dlg.m_btnScan.m_hWnd));
    EXPECT_FALSE(HasKeyColour(m_dlg.m_chkActiveX.m_hWnd));
}

TEST_F(ButtonSTTest, HoverFollowsRealMouseMessages)
{
    CButtonST& btn = m_dlg.m_btnScan;
    EXPECT_FALSE(LooksHot(btn));
    btn.SendMessage(WM_MOUSEMOVE, 0, ClientPoint(btn));
    btn.UpdateWindow();
    EXPECT_TRUE(btn.IsMouseOnButton());
    EXPECT_TRUE(LooksHot(btn));

    // A move whose point lies over another window leaves the hover state.
    btn.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(-20, -20));
    btn.UpdateWindow();
    EXPECT_FALSE(btn.IsMouseOnButton());
    EXPECT_FALSE(LooksHot(btn));

    btn.SendMessage(WM_MOUSEMOVE, 0, ClientPoint(btn));
    btn.SendMessage(WM_MOUSELEAVE);
    EXPECT_FALSE(btn.IsMouseOnButton());

    // Dragging in from outside with the button held does not count.
    btn.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, ClientPoint(btn));
    EXPECT_FALSE(btn.IsMouseOnButton());
}

TEST_F(ButtonSTTest, NonFlatButtonIgnoresHover)
{
    m_dlg.m_btnAbort.SendMessage(WM_MOUSEMOVE, 0, ClientPoint(m_dlg.m_btnAbort));
    EXPECT_FALSE(m_dlg.m_btnAbort.IsMouseOnButton());
}

TEST_F(ButtonSTTest, PressedDrawsTheHotImageAndTheParentGetsTheClick)
{
    CButtonST& btn = m_dlg.m_btnScan;
    btn.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, ClientPoint(btn));
    btn.UpdateWindow();
    EXPECT_TRUE(btn.GetState() & BST_PUSHED);
    EXPECT_TRUE(LooksHot(btn));
    btn.SendMessage(WM_LBUTTONUP, 0, ClientPoint(btn));
    PumpMessages(20);
    EXPECT_EQ(m_dlg.m_mapClicks[IDC_TEST_BUTTON], 1);
    EXPECT_EQ(CWnd::GetFocus(), &btn);
}

TEST_F(ButtonSTTest, CheckBoxKeepsItsStateAndStillNotifies)
{
    CButtonST& chk = m_dlg.m_chkActiveX;
    Click(chk);
    EXPECT_EQ(chk.GetCheck(), 1);
    EXPECT_EQ(chk.SendMessage(BM_GETCHECK), 1);
    EXPECT_EQ(m_dlg.m_mapClicks[IDC_TEST_CHECK], 1);
    // Moving about does not change it.
    chk.SendMessage(WM_MOUSEMOVE, 0, ClientPoint(chk));
    chk.SendMessage(WM_MOUSELEAVE);
    chk.UpdateWindow();
    EXPECT_EQ(chk.GetCheck(), 1);
    // The tick is drawn in its colour inside the 13-pixel box.
    CRect rc;
    chk.GetClientRect(&rc);
    int nBoxTop = (rc.Height() - 13) / 2;
    bool bTick = false;
    for (int y = nBoxTop + 2; y < nBoxTop + 11; y++)
        for (int x = 2; x < 11; x++)
            bTick = bTick || WindowPixel(chk.m_hWnd, x, y) == RGB(0, 170, 170);
    EXPECT_TRUE(bTick);

    Click(chk);
    EXPECT_EQ(chk.GetCheck(), 0);
    EXPECT_EQ(m_dlg.m_mapClicks[IDC_TEST_CHECK], 2);

    chk.SetCheck(5);
    EXPECT_EQ(chk.GetCheck(), 1);
    chk.SendMessage(BM_SETCHECK, BST_INDETERMINATE);
    EXPECT_EQ(chk.GetCheck(), 1);
    chk.SendMessage(BM_SETCHECK, BST_UNCHECKED);
    EXPECT_EQ(chk.GetCheck(), 0);
    // A push button has no check state to set.
    m_dlg.m_btnScan.SetCheck(1);
    EXPECT_EQ(m_dlg.m_btnScan.GetCheck(), -1);
}

TEST_F(ButtonSTTest, DialogStyleChangesKeepOwnerDrawAndTrackTheDefault)
{
    CButtonST& btn = m_dlg.m_btnAbort;
    btn.SendMessage(BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    EXPECT_TRUE(btn.GetDefault());
    EXPECT_EQ(btn.GetStyle() & BS_TYPEMASK, (DWORD)BS_OWNERDRAW);
    EXPECT_TRUE(btn.SendMessage(WM_GETDLGCODE) & DLGC_DEFPUSHBUTTON);
    btn.SendMessage(BM_SETSTYLE, BS_PUSHBUTTON, TRUE);
    EXPECT_FALSE(btn.GetDefault());
    EXPECT_TRUE(btn.SendMessage(WM_GETDLGCODE) & DLGC_UNDEFPUSHBUTTON);
}

TEST_F(ButtonSTTest, TooltipAppearsThroughTheRelay)
{
    CButtonST& btn = m_dlg.m_btnScan;
    btn.SetTooltipText(L"Scan the registry now");
    HWND hTip = btn.GetToolTip().m_hWnd;
    ASSERT_NE(hTip, (HWND)NULL);
    CString strText;
    btn.GetToolTip().GetText(strText, &btn, 1);
    EXPECT_EQ(strText, CString(L"Scan the registry now"));
    EXPECT_EQ(btn.GetToolTip().GetMaxTipWidth(), 400);

    CRect rc;
    btn.GetWindowRect(&rc);
    SetCursorPos(rc.CenterPoint().x, rc.CenterPoint().y);
    // The mouse rests after one move; that move reaches the tooltip only
    // through the button's pre-translation.
    MSG msg = { btn.m_hWnd, WM_MOUSEMOVE, 0, ClientPoint(btn), GetTickCount(), rc.CenterPoint() };
    EXPECT_FALSE(AfxWalkPreTranslateTree(NULL, &msg));
    EXPECT_TRUE(testsupport::WaitFor([&] { return IsWindowVisible(hTip) != FALSE; }, 5000));
    SetCursorPos(600, 500);
    PumpMessages(50);

    // No text: nothing changes.
    btn.SetTooltipText((LPCTSTR)NULL);
    btn.GetToolTip().GetText(strText, &btn, 1);
    EXPECT_EQ(strText, CString(L"Scan the registry now"));
}

namespace {
BOOL CALLBACK CountToolTipOf(HWND hWnd, LPARAM lParam)
{
    std::pair<HWND, int>* pCount = (std::pair<HWND, int>*)lParam;
    wchar_t szClass[64] = {};
    ::GetClassNameW(hWnd, szClass, 64);
    if (lstrcmpiW(szClass, TOOLTIPS_CLASSW) == 0 && ::GetWindow(hWnd, GW_OWNER) == ::GetAncestor(pCount->first, GA_ROOT))
        pCount->second++;
    return TRUE;
}

int ToolTipsOf(CWnd& wnd)
{
    std::pair<HWND, int> count(wnd.m_hWnd, 0);
    ::EnumThreadWindows(::GetCurrentThreadId(), CountToolTipOf, (LPARAM)&count);
    return count.second;
}
} // namespace

// A tooltip window is made when the pointer first comes by, with the text and
// the activation set before.
TEST_F(ButtonSTTest, TheTooltipWindowWaitsForThePointer)
{
    CButtonST& btn = m_dlg.m_btnScan;
    const int nBefore = ToolTipsOf(btn);
    btn.SetTooltipText(L"Later");
    btn.ActivateTooltip(FALSE);
    MSG key = { btn.m_hWnd, WM_KEYDOWN, VK_SPACE, 0 };
    btn.PreTranslateMessage(&key);
    EXPECT_EQ(ToolTipsOf(btn), nBefore);

    MSG move = { btn.m_hWnd, WM_MOUSEMOVE, 0, ClientPoint(btn) };
    btn.PreTranslateMessage(&move);
    EXPECT_EQ(ToolTipsOf(btn), nBefore + 1);
    CString strText;
    btn.GetToolTip().GetText(strText, &btn, 1);
    EXPECT_EQ(strText, CString(L"Later"));
    // Still off: pointing at the button shows nothing.
    CRect rc;
    btn.GetWindowRect(&rc);
    SetCursorPos(rc.CenterPoint().x, rc.CenterPoint().y);
    btn.PreTranslateMessage(&move);
    PumpMessages(700);
    EXPECT_FALSE(IsWindowVisible(btn.GetToolTip().m_hWnd));
    SetCursorPos(600, 500);
    // A button without a text never gets one.
    m_dlg.m_btnAbort.PreTranslateMessage(&move);
    EXPECT_EQ(m_dlg.m_btnAbort.GetToolTip().m_hWnd, (HWND)NULL);
}

TEST_F(ButtonSTTest, DoubleClickCountsAsPress)
{
    MSG msg = { m_dlg.m_btnScan.m_hWnd, WM_LBUTTONDBLCLK, MK_LBUTTON, ClientPoint(m_dlg.m_btnScan) };
    m_dlg.m_btnScan.PreTranslateMessage(&msg);
    EXPECT_EQ(msg.message, (UINT)WM_LBUTTONDOWN);
}

TEST(ButtonSTImages, GreyCopyKeepsTheKeyColour)
{
    HDC hScreen = GetDC(NULL);
    HBITMAP hSource = CreateCompatibleBitmap(hScreen, 2, 1);
    HDC hMem = CreateCompatibleDC(hScreen);
    HGDIOBJ hOld = SelectObject(hMem, hSource);
    SetPixel(hMem, 0, 0, RGB(255, 0, 255));
    SetPixel(hMem, 1, 0, RGB(100, 150, 200));
    SelectObject(hMem, hOld);

    HBITMAP hGrey = CButtonST::CreateDerivedBitmap(hSource, RGB(255, 0, 255), TRUE);
    HBITMAP hDark = CButtonST::CreateDerivedBitmap(hSource, RGB(255, 0, 255), FALSE);
    ASSERT_NE(hGrey, (HBITMAP)NULL);
    ASSERT_NE(hDark, (HBITMAP)NULL);
    hOld = SelectObject(hMem, hGrey);
    EXPECT_EQ(GetPixel(hMem, 0, 0), RGB(255, 0, 255));
    // 0.299 x 100 + 0.587 x 150 + 0.114 x 200 = 140.75
    EXPECT_EQ(GetPixel(hMem, 1, 0), RGB(140, 140, 140));
    SelectObject(hMem, hDark);
    EXPECT_EQ(GetPixel(hMem, 0, 0), RGB(255, 0, 255));
    EXPECT_EQ(GetPixel(hMem, 1, 0), RGB(75, 112, 150));
    SelectObject(hMem, hOld);
    DeleteDC(hMem);
    ReleaseDC(NULL, hScreen);
    DeleteObject(hGrey);
    DeleteObject(hDark);
    DeleteObject(hSource);
}

TEST(ButtonSTImages, SettersReportBadArguments)
{
    CButtonST btn;
    EXPECT_EQ(btn.SetBitmaps(4711, RGB(255, 0, 255)), (DWORD)BTNST_INVALIDRESOURCE);
    EXPECT_EQ(btn.SetAlign(4), (DWORD)BTNST_INVALIDALIGN);
    EXPECT_EQ(btn.SetPressedStyle(2), (DWORD)BTNST_INVALIDPRESSEDSTYLE);
    EXPECT_EQ(btn.SetColor(6, 0), (DWORD)BTNST_INVALIDINDEX);
    EXPECT_EQ(btn.OffsetColor(0, 300), (DWORD)BTNST_BADPARAM);
    EXPECT_EQ(btn.SetBk(NULL), (DWORD)BTNST_BADPARAM);
    // The shift stops where the first component reaches its limit.
    btn.SetColor(CButtonST::BTNST_COLOR_BK_IN, RGB(250, 100, 10), FALSE);
    EXPECT_EQ(btn.OffsetColor(CButtonST::BTNST_COLOR_BK_IN, 20, FALSE), (DWORD)BTNST_OK);
    COLORREF cr = 0;
    btn.GetColor(CButtonST::BTNST_COLOR_BK_IN, &cr);
    EXPECT_EQ(cr, RGB(255, 105, 15));
    EXPECT_EQ(btn.OffsetColor(CButtonST::BTNST_COLOR_BK_IN, -100, FALSE), (DWORD)BTNST_OK);
    btn.GetColor(CButtonST::BTNST_COLOR_BK_IN, &cr);
    EXPECT_EQ(cr, RGB(240, 90, 0));
}
