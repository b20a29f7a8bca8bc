// The header band: heights, style mirroring and sizing columns by their dividers.
#include <gtest/gtest.h>

#include "tests/lists/TreeListTestHost.h"

namespace {

// A tree list made with Create in a plain window: it keeps its own Verdana 13.
class TreeListHeader : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_host.CreateEx(0, AfxRegisterWndClass(0), L"host", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, NULL,
                                    NULL));
        ASSERT_TRUE(m_tree.Create(WS_VISIBLE, CRect(0, 0, 300, 200), &m_host, 1113));
    }
    void TearDown() override
    {
        m_tree.DestroyWindow();
        m_host.DestroyWindow();
    }
    int HeaderWindowHeight()
    {
        CRect rc;
        m_tree.GetHeaderCtrl()->GetWindowRect(&rc);
        return rc.Height();
    }
    CWnd m_host;
    CTreeListCtrl m_tree;
};

} // namespace

TEST_F(TreeListHeader, ResultStyleLeavesAZeroHeightHeader)
{
    SetUpResultStyle(m_tree);
    CTreeListHeaderCtrl* pHeader = m_tree.GetHeaderCtrl();
    ASSERT_TRUE(::IsWindow(pHeader->m_hWnd));
    EXPECT_TRUE(::GetWindowLongW(pHeader->m_hWnd, GWL_STYLE) & WS_VISIBLE);
    EXPECT_EQ((DWORD)TLHS_HOTTRACK, pHeader->GetStyle());
    EXPECT_EQ(0, pHeader->GetHeight());
    EXPECT_EQ(0, HeaderWindowHeight());
    CTreeListItem* pItem = m_tree.InsertItem(L"ActiveX/OLE/COM");
    m_tree.SetRedraw(TRUE);
    CRect rc;
    ASSERT_TRUE(m_tree.GetItemRect(pItem, &rc));
    EXPECT_EQ(0, rc.top);
}

TEST_F(TreeListHeader, HeightFollowsTheFont)
{
    m_tree.SetStyle(TLC_TREE | TLC_HEADER);
    CTreeListHeaderCtrl* pHeader = m_tree.GetHeaderCtrl();
    EXPECT_EQ(19, pHeader->GetHeight());  // LOGFONT height 13
    EXPECT_EQ(19, HeaderWindowHeight());
    EXPECT_EQ(19, m_tree.GetItemsRect().top);
    LOGFONTW lf = {};
    m_tree.GetFont()->GetLogFont(&lf);
    for (int nHeight : { -13, 0 })
    {
        lf.lfHeight = nHeight;
        m_tree.GetFont()->DeleteObject();
        m_tree.GetFont()->CreateFontIndirect(&lf);
        pHeader->UpdateFont();
        pHeader->SetHeight(-1);
        EXPECT_EQ(nHeight == 0 ? 20 : 19, pHeader->GetHeight());
    }
    // A layout rectangle lower than the header is given to it whole.
    RECT rc = { 0, 0, 300, 7 };
    EXPECT_EQ(1, pHeader->SendMessage(WM_TREELIST_HEADER_LAYOUT, 0, (LPARAM)&rc));
    EXPECT_EQ(7, rc.bottom);
    // Drag bits without the header bit are dropped.
    m_tree.SetStyle(TLC_TREE | TLC_HEADDRAGDROP);
    EXPECT_EQ(0u, pHeader->GetStyle() & TLHS_DRAGDROP);
    EXPECT_EQ(0u, m_tree.GetStyle() & TLC_HEADDRAGDROP);
    m_tree.SetStyle(TLC_TREE | TLC_HEADER | TLC_HEADDRAGDROP | TLC_HEADFULLDRAG);
    EXPECT_EQ((DWORD)(TLHS_SHOWHEAD | TLHS_DRAGDROP | TLHS_FULLDRAG), pHeader->GetStyle());
}

TEST_F(TreeListHeader, DraggingADividerClampsTheWidth)
{
    m_tree.SetStyle(TLC_TREE | TLC_HEADER);
    m_tree.InsertColumn(L"Problem", TLF_DEFAULT, 100, -1, 40, 150);
    m_tree.InsertColumn(L"Hidden", TLF_DEFAULT | TLF_HIDDEN, 70);
    m_tree.InsertColumn(L"Data", TLF_DEFAULT, 160, -1, 0, 0);
    m_tree.SetRedraw(TRUE);
    CTreeListHeaderCtrl* pHeader = m_tree.GetHeaderCtrl();
    auto drag = [&](int x0, int x1) {
        pHeader->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x0, 5));
        pHeader->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(x1, 5));
        pHeader->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(x1, 5));
    };
    EXPECT_EQ(0, pHeader->DividerAt(100));
    EXPECT_EQ(2, pHeader->DividerAt(260)) << "the hidden column has no divider";
    drag(100, 70);
    EXPECT_EQ(70, m_tree.GetColumnWidth(0));
    drag(70, 0);
    EXPECT_EQ(40, m_tree.GetColumnWidth(0)) << "minimum";
    drag(40, 290);
    EXPECT_EQ(150, m_tree.GetColumnWidth(0)) << "maximum";
    drag(310, -90);
    EXPECT_EQ(0, m_tree.GetColumnWidth(2)) << "never negative";
    EXPECT_EQ(70, m_tree.GetColumnWidth(1));

    // Scrolled sideways: dividers move with the rows.
    m_tree.SetColumnWidth(2, 400);
    for (int n = 0; n < 30; ++n)
        m_tree.SendMessage(WM_HSCROLL, SB_LINERIGHT, 0);
    ASSERT_EQ(30, m_tree.GetHScroll());
    EXPECT_EQ(0, pHeader->DividerAt(150 - 30));
    EXPECT_EQ(-1, pHeader->DividerAt(150));
}
