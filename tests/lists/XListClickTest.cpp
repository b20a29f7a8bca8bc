#include "XListTestHost.h"
#include "controls/lists/XCheckBox.h"

#include <string>

using Ints = std::vector<int>;

TEST_F(XListTest, AClickOnABoxTogglesItOnceAndTellsTheParent)
{
    AddColumns();
    AddRows(3);
    Click(BoxCentre(1, 0));
    EXPECT_EQ(States(0), (Ints{ 1, 2, 1 }));
    ASSERT_EQ(m_wndHost.m_arrClicked.size(), 1u);
    EXPECT_EQ(m_wndHost.m_arrClicked[0].nRow, 1);
    EXPECT_EQ(m_wndHost.m_arrClicked[0].nColumn, 0);
    EXPECT_EQ(m_wndHost.m_arrClicked[0].nControl, LIST_ID);
    EXPECT_EQ(m_wndHost.m_arrClicked[0].arrStates, (Ints{ 1, 2, 1 })) << "the parent reads the new state";
    EXPECT_EQ(m_wndHost.m_nClickNotifications, 1) << "NM_CLICK goes on to the parent";
    EXPECT_TRUE(m_list.IsDirty());

    Click(BoxCentre(1, 0));
    EXPECT_EQ(States(0), (Ints{ 1, 1, 1 }));
    EXPECT_EQ(m_wndHost.m_arrClicked.size(), 2u);
}

TEST_F(XListTest, ADoubleClickTogglesTwice)
{
    AddColumns();
    AddRows(2);
    CPoint point = BoxCentre(0, 0);
    Click(point);
    Click(point, WM_LBUTTONDBLCLK);
    EXPECT_EQ(States(0), (Ints{ 1, 1 }));
    EXPECT_EQ(m_wndHost.m_arrClicked.size(), 2u);
}

TEST_F(XListTest, BoxesToggleOnlyWhenPressAndReleaseMeetOnOneEnabledBox)
{
    AddColumns();
    AddRows(3);
    m_list.SetCheckboxEnabled(2, 0, FALSE);

    // Press on one box, release on another.
    LPARAM lDown = MAKELPARAM(BoxCentre(0, 0).x, BoxCentre(0, 0).y);
    LPARAM lUp = MAKELPARAM(BoxCentre(1, 0).x, BoxCentre(1, 0).y);
    m_list.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, lDown);
    m_list.SendMessage(WM_LBUTTONUP, 0, lUp);
    EXPECT_EQ(States(0), (Ints{ 1, 1, 1 }));

    // A disabled box never toggles.
    Click(BoxCentre(2, 0));
    EXPECT_EQ(States(0), (Ints{ 1, 1, 1 }));

    // Beside the box, in the same cell.
    CRect rcBox = m_list.GetCheckboxRect(0, 0);
    Click(CPoint(rcBox.right + 6, rcBox.CenterPoint().y));
    EXPECT_EQ(States(0), (Ints{ 1, 1, 1 }));
    EXPECT_TRUE(m_wndHost.m_arrClicked.empty());
    EXPECT_FALSE(m_list.IsDirty());

    // A press whose release went elsewhere leaves no mark for a later release.
    m_list.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, lDown);
    m_list.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(300, 250));
    m_list.SendMessage(WM_LBUTTONUP, 0, lDown);
    EXPECT_EQ(States(0), (Ints{ 1, 1, 1 }));
}

TEST_F(XListTest, AClickBesideEveryCellStaysWithTheList)
{
    AddColumns();
    AddRows(1);
    Click(CPoint(390, 250));
    EXPECT_EQ(m_wndHost.m_nClickNotifications, 0);
    Click(CPoint(100, m_list.GetCheckboxRect(0, 0).CenterPoint().y));
    EXPECT_EQ(m_wndHost.m_nClickNotifications, 1);
}

TEST_F(XListTest, HeaderClickSetsTheEnabledBoxesOnceAndTellsTheParent)
{
    AddColumns(1);
    AddRows(3, 1);
    AddRows(1, 0);  // no box
    AddRows(1, 1);
    m_list.SetCheckboxEnabled(4, 0, FALSE);

    ClickHeaderBox(0);
    EXPECT_EQ(States(0), (Ints{ 2, 2, 2, 0, 1 }));
    EXPECT_EQ(m_list.GetHeaderCheckbox(0), 2) << "the heading ends where the user clicked it to";
    ASSERT_EQ(m_wndHost.m_arrClicked.size(), 1u);
    EXPECT_EQ(m_wndHost.m_arrClicked[0].nRow, -1);
    EXPECT_EQ(m_wndHost.m_arrClicked[0].nColumn, 0);
    EXPECT_EQ(m_wndHost.m_arrClicked[0].arrStates, (Ints{ 2, 2, 2, 0, 1 }));
    EXPECT_TRUE(m_list.IsDirty());

    ClickHeaderBox(0);
    EXPECT_EQ(States(0), (Ints{ 1, 1, 1, 0, 1 }));
    EXPECT_EQ(m_list.GetHeaderCheckbox(0), 1);

    // Rows follow the heading again afterwards.
    ClickHeaderBox(0);
    Click(BoxCentre(1, 0));
    EXPECT_EQ(m_list.GetHeaderCheckbox(0), 1);
    Click(BoxCentre(1, 0));
    m_list.SetCheckboxEnabled(4, 0, TRUE);
    Click(BoxCentre(4, 0));
    EXPECT_EQ(m_list.GetHeaderCheckbox(0), 2);
}

TEST_F(XListTest, HeaderClickOnAnEmptyListOnlyFlipsTheHeading)
{
    AddColumns(1);
    ClickHeaderBox(0);
    EXPECT_EQ(m_list.GetHeaderCheckbox(0), 2);
    ASSERT_EQ(m_wndHost.m_arrClicked.size(), 1u);
    EXPECT_FALSE(m_list.IsDirty());
}

TEST_F(XListTest, HeaderBoxIsHitWhereItIsNowNotWhereItWasDrawn)
{
    // The box column second: widening column 0 moves it without a repaint.
    LVCOLUMN column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = (LPWSTR)L"Name";
    column.cx = 100;
    ASSERT_EQ(m_list.InsertColumn(0, &column), 0);
    column.mask |= LVCF_IMAGE;
    column.pszText = (LPWSTR)L"";
    column.cx = 30;
    column.iImage = 1;
    ASSERT_EQ(m_list.InsertColumn(1, &column), 1);
    AddRows(2, 0);
    m_list.SetCheckbox(0, 1, 1);
    m_list.SetCheckbox(1, 1, 1);
    m_list.UpdateWindow();
    CRect rcBefore = m_list.GetXHeaderCtrl()->GetCheckboxRect(1);
    m_list.SetColumnWidth(0, 170);
    CRect rcAfter = m_list.GetXHeaderCtrl()->GetCheckboxRect(1);
    EXPECT_EQ(rcAfter.left - rcBefore.left, 70);
    ClickHeaderBox(1);
    EXPECT_EQ(States(1), (Ints{ 2, 2 }));
    // The old place is not the box any more.
    CXHeaderCtrl* pHeader = m_list.GetXHeaderCtrl();
    pHeader->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(rcBefore.CenterPoint().x, rcBefore.CenterPoint().y));
    pHeader->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(rcBefore.CenterPoint().x, rcBefore.CenterPoint().y));
    EXPECT_EQ(States(1), (Ints{ 2, 2 }));
}

TEST_F(XListTest, DisabledHeaderBoxIgnoresClicks)
{
    AddColumns(1);
    AddRows(2);
    m_list.GetXHeaderCtrl()->EnableColumnCheck(0, FALSE);
    ClickHeaderBox(0);
    EXPECT_EQ(m_list.GetHeaderCheckbox(0), 1);
    EXPECT_EQ(States(0), (Ints{ 1, 1 }));
    m_list.GetXHeaderCtrl()->EnableColumnCheck(0, TRUE);
    m_list.GetXHeaderCtrl()->EnableChecks(FALSE);
    ClickHeaderBox(0);
    EXPECT_EQ(States(0), (Ints{ 1, 1 }));
}

TEST_F(XListTest, HoverNeverCapturesTheMouse)
{
    AddColumns();
    AddRows(2);
    CPoint point = BoxCentre(0, 0);
    m_list.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(point.x, point.y));
    EXPECT_NE(::GetCapture(), m_list.m_hWnd);
    m_list.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(150, point.y));
    EXPECT_NE(::GetCapture(), m_list.m_hWnd);
}

namespace {

// Asks the list for a tool's text the way its tool tip does.
std::wstring RequestTipW(CXListCtrl& list, UINT_PTR nTool)
{
    NMTTDISPINFOW info = {};
    info.hdr.hwndFrom = list.GetToolTips()->m_hWnd;
    info.hdr.idFrom = nTool;
    info.hdr.code = TTN_NEEDTEXTW;
    list.SendMessage(WM_NOTIFY, 0, (LPARAM)&info);
    return info.lpszText != nullptr ? info.lpszText : (info.szText[0] ? info.szText : L"");
}

std::string RequestTipA(CXListCtrl& list, UINT_PTR nTool)
{
    NMTTDISPINFOA info = {};
    info.hdr.hwndFrom = list.GetToolTips()->m_hWnd;
    info.hdr.idFrom = nTool;
    info.hdr.code = TTN_NEEDTEXTA;
    list.SendMessage(WM_NOTIFY, 0, (LPARAM)&info);
    return info.lpszText != nullptr ? info.lpszText : info.szText;
}

} // namespace

TEST_F(XListTest, ToolTipsNameTheCellAndArriveWhole)
{
    AddColumns();
    AddRows(2);
    std::wstring strLong;
    for (int i = 0; strLong.size() < 200; ++i)
        strLong += L"C:\\Program Files\\Vendor " + std::to_wstring(i) + L"\\";
    strLong.resize(200);
    m_list.SetItemToolTipText(1, 2, strLong.c_str());
    m_list.SetItemToolTipText(0, 1, L"row 0");

    EXPECT_EQ(m_list.GetToolTips(), nullptr);
    EXPECT_FALSE(m_list.EnableToolTips(TRUE));
    CRect rcCell;
    m_list.GetSubItemRect(1, 2, LVIR_BOUNDS, rcCell);
    CPoint point = rcCell.CenterPoint();
    EXPECT_EQ(m_list.OnToolHitTest(point, nullptr), 1 * 1000 + 2 + 1);
    EXPECT_EQ(m_list.OnToolHitTest(CPoint(395, 290), nullptr), -1);

    m_list.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(point.x, point.y));
    ASSERT_NE(m_list.GetToolTips(), nullptr);
    TTTOOLINFOW ti = {};
    ti.cbSize = TTTOOLINFOW_V2_SIZE;
    ASSERT_TRUE(::SendMessageW(m_list.GetToolTips()->m_hWnd, TTM_ENUMTOOLSW, 0, (LPARAM)&ti));
    EXPECT_EQ(ti.uId, (UINT_PTR)1003);
    EXPECT_EQ(m_list.GetToolTips()->GetToolCount(), 1);

    std::wstring strTip = RequestTipW(m_list, 1003);
    EXPECT_EQ(strTip.size(), 200u);
    EXPECT_EQ(strTip, strLong);
    std::string strTipA = RequestTipA(m_list, 1003);
    EXPECT_EQ(strTipA.size(), 200u);
    EXPECT_EQ(RequestTipW(m_list, 0 * 1000 + 1 + 1), L"row 0");
    EXPECT_EQ(RequestTipW(m_list, 0 * 1000 + 2 + 1), L"") << "no tip text, no tip";

    // Moving to another cell makes it the one tool.
    m_list.GetSubItemRect(0, 1, LVIR_BOUNDS, rcCell);
    m_list.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(rcCell.CenterPoint().x, rcCell.CenterPoint().y));
    EXPECT_EQ(m_list.GetToolTips()->GetToolCount(), 1);
    ASSERT_TRUE(::SendMessageW(m_list.GetToolTips()->m_hWnd, TTM_ENUMTOOLSW, 0, (LPARAM)&ti));
    EXPECT_EQ(ti.uId, (UINT_PTR)2);
    EXPECT_TRUE(m_list.EnableToolTips(FALSE));
    EXPECT_EQ(m_list.GetToolTips()->GetToolCount(), 0);
}

TEST_F(XListTest, AClickReportedBeforeTheButtonUpTogglesOnce)
{
    // Some list views send NM_CLICK from inside the button down.
    AddColumns();
    AddRows(2);
    CPoint point = BoxCentre(0, 0);
    m_list.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(point.x, point.y));
    NMITEMACTIVATE click = {};
    click.hdr.hwndFrom = m_list.m_hWnd;
    click.hdr.idFrom = LIST_ID;
    click.hdr.code = NM_CLICK;
    click.iItem = 0;
    click.ptAction = point;
    m_wndHost.SendMessage(WM_NOTIFY, LIST_ID, (LPARAM)&click);
    EXPECT_EQ(States(0), (Ints{ 2, 1 }));
    m_list.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(point.x, point.y));
    EXPECT_EQ(States(0), (Ints{ 2, 1 }));
    EXPECT_EQ(m_wndHost.m_arrClicked.size(), 1u);
}

TEST_F(XListTest, ThemedHeaderTracksTheHotColumnUntilTheMouseLeaves)
{
    AddColumns(1);
    CXHeaderCtrl* pHeader = m_list.GetXHeaderCtrl();
    CRect rcName;
    pHeader->GetItemRect(1, &rcName);
    pHeader->SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(rcName.CenterPoint().x, rcName.CenterPoint().y));
    EXPECT_EQ(pHeader->GetHotItem(), 1);
    pHeader->SendMessage(WM_MOUSELEAVE);
    EXPECT_EQ(pHeader->GetHotItem(), -1);
}
