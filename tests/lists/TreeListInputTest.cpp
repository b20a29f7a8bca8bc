// Input by real mouse and key messages, and what the parent is told.
#include <gtest/gtest.h>

#include "tests/lists/TreeListTestHost.h"

namespace {

class TreeListInput : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(ShowTreeListTestDialog(m_dlg));
        SetUpResultStyle(Tree());
        m_pCategory = Tree().InsertItem(L"Invalid Shortcuts");
        for (int n = 0; n < 3; ++n)
            m_rows.push_back(AddProblemRow(Tree(), m_pCategory, n));
        Tree().Expand(m_pCategory, 0);
        Tree().UpdateWindow();
        m_dlg.m_notes.clear();
    }
    void TearDown() override { m_dlg.DestroyWindow(); }
    CTreeListCtrl& Tree() { return m_dlg.m_tree; }

    void Send(UINT nMsg, CPoint pt, UINT nKeys = 0)
    {
        Tree().SendMessage(nMsg, nKeys, MAKELPARAM(pt.x, pt.y));
    }
    void Click(CPoint pt, UINT nKeys = 0)
    {
        Send(WM_LBUTTONDOWN, pt, MK_LBUTTON | nKeys);
        Send(WM_LBUTTONUP, pt, nKeys);
    }
    CPoint OpenLinkOf(CTreeListItem* pItem)
    {
        Tree().UpdateWindow();
        CRect rc = Tree().GetKeptCellRect(pItem);
        return CPoint(rc.right - 76, rc.bottom - 11);
    }
    CPoint IgnoreLinkOf(CTreeListItem* pItem)
    {
        CRect rc = Tree().GetKeptCellRect(pItem);
        return CPoint(rc.right - 27, rc.bottom - 11);
    }
    CPoint BoxOf(CTreeListItem* pItem)
    {
        CRect rc;
        Tree().GetItemRect(pItem, &rc);
        const int nLevel = Tree().GetParentItem(pItem) != NULL ? 2 : 1;
        return CPoint(rc.left + 2 + 16 * (nLevel - 1) + 16 + 8, rc.CenterPoint().y);
    }
    CTreeListTestDialog m_dlg;
    CTreeListItem* m_pCategory = nullptr;
    std::vector<CTreeListItem*> m_rows;
};

} // namespace

TEST_F(TreeListInput, LinkClickSelectsTheRowThenReports)
{
    Click(OpenLinkOf(m_rows[1]));
    ASSERT_EQ(1, m_dlg.CountNotes(TLN_OPENCLICK));
    const TreeListNote& note = m_dlg.m_notes.back();
    EXPECT_EQ(TLN_OPENCLICK, note.nCode);
    EXPECT_EQ(m_rows[1], note.pItem);
    EXPECT_EQ(m_rows[1], note.pSelectedThen);
    EXPECT_EQ(1, m_dlg.CountNotes(TLN_SELCHANGED));

    m_dlg.m_notes.clear();
    Click(IgnoreLinkOf(m_rows[2]));
    ASSERT_EQ(1, m_dlg.CountNotes(TLN_IGNORECLICK));
    EXPECT_EQ(m_rows[2], m_dlg.m_notes.back().pSelectedThen);
    EXPECT_EQ(0, m_dlg.CountNotes(TLN_OPENCLICK));

    // The link areas are the painted ones: just outside "Open" is no link.
    m_dlg.m_notes.clear();
    CRect rc = Tree().GetKeptCellRect(m_rows[0]);
    Click(CPoint(rc.right - 96, rc.bottom - 11));
    Click(CPoint(rc.right - 57, rc.bottom - 11));
    EXPECT_EQ(0, m_dlg.CountNotes(TLN_OPENCLICK));
    Click(CPoint(rc.right - 94, rc.bottom - 11));
    EXPECT_EQ(1, m_dlg.CountNotes(TLN_OPENCLICK));
}

TEST_F(TreeListInput, CategoryRowSendsNoLinkNotice)
{
    Tree().UpdateWindow();
    CRect rc = Tree().GetKeptCellRect(m_pCategory);
    Click(CPoint(rc.right - 76, rc.bottom - 11));
    Click(CPoint(rc.right - 27, rc.bottom - 11));
    EXPECT_EQ(0, m_dlg.CountNotes(TLN_OPENCLICK));
    EXPECT_EQ(0, m_dlg.CountNotes(TLN_IGNORECLICK));
    EXPECT_EQ(m_pCategory, Tree().GetSelectedItem());
}

TEST_F(TreeListInput, DoubleClickOnABoxTogglesTwice)
{
    const CPoint pt = BoxOf(m_rows[0]);
    ASSERT_EQ(1, Tree().GetCheck(m_rows[0]));
    Send(WM_LBUTTONDOWN, pt, MK_LBUTTON);
    Send(WM_LBUTTONUP, pt);
    EXPECT_EQ(0, Tree().GetCheck(m_rows[0]));
    EXPECT_EQ(2, Tree().GetCheck(m_pCategory));
    Send(WM_LBUTTONDBLCLK, pt, MK_LBUTTON);
    Send(WM_LBUTTONUP, pt);
    EXPECT_EQ(1, Tree().GetCheck(m_rows[0]));
    EXPECT_EQ(1, Tree().GetCheck(m_pCategory));
    EXPECT_EQ(2, m_dlg.CountNotes(TLN_ITEMCHECK));
    // A box click does not select.
    EXPECT_EQ(NULL, Tree().GetSelectedItem());
}

TEST_F(TreeListInput, ButtonClickCollapsesAndTextDoubleClickExpands)
{
    CRect rc;
    Tree().GetItemRect(m_pCategory, &rc);
    const CPoint ptButton(rc.left + 2 + 7, rc.top + rc.Height() / 2 - 1);
    Click(ptButton);
    EXPECT_FALSE(Tree().GetItemState(m_pCategory) & TLIS_EXPANDED);
    EXPECT_EQ(1, Tree().GetVisibleCount());
    Send(WM_LBUTTONDBLCLK, CPoint(rc.left + 120, rc.CenterPoint().y), MK_LBUTTON);
    EXPECT_TRUE(Tree().GetItemState(m_pCategory) & TLIS_EXPANDED);
}

TEST_F(TreeListInput, ControlAndShiftClicks)
{
    Tree().SetStyle(0xEC00C1 | TLC_MULTIPLESELECT);
    CTreeListItem* pOther = Tree().InsertItem(L"Fonts");
    CTreeListItem* pOtherRow = AddProblemRow(Tree(), pOther, 9);
    Tree().Expand(pOther, 0);
    Tree().UpdateWindow();
    auto textOf = [&](CTreeListItem* pItem) {
        CRect rc;
        Tree().GetItemRect(pItem, &rc);
        return CPoint(rc.left + 120, rc.top + 8);
    };
    Click(textOf(m_rows[0]));
    Click(textOf(m_rows[2]), MK_SHIFT);
    EXPECT_EQ(3, Tree().GetSelectedCount());
    // Ctrl+click on a selected row in multiple selection only moves the focus...
    Click(textOf(m_rows[1]), MK_CONTROL);
    EXPECT_EQ(3, Tree().GetSelectedCount());
    // ...on an unselected one adds it.
    Click(textOf(pOtherRow), MK_CONTROL);
    EXPECT_EQ(4, Tree().GetSelectedCount());
    // Shift+click under another parent than the primary selection changes nothing.
    Tree().SelectItem(m_rows[0], 0, TRUE);
    EXPECT_EQ(1, Tree().GetSelectedCount());
    Click(textOf(pOtherRow), MK_SHIFT);
    EXPECT_EQ(1, Tree().GetSelectedCount());
    EXPECT_EQ(m_rows[0], Tree().GetSelectedItem());
    // A click on no item clears the selection.
    CRect rcItems = Tree().GetItemsRect();
    Click(CPoint(rcItems.left + 40, rcItems.bottom - 3));
    EXPECT_EQ(0, Tree().GetSelectedCount());
}

TEST_F(TreeListInput, PageDownOnTheLastPageSelectsTheLastRow)
{
    for (int n = 3; n < 60; ++n)
        m_rows.push_back(AddProblemRow(Tree(), m_pCategory, n));
    Tree().SetRedraw(TRUE);
    Tree().SelectItem(m_rows[0], 0, TRUE);
    for (int n = 0; n < 40 && Tree().GetSelectedItem() != m_rows.back(); ++n)
        Tree().SendMessage(WM_KEYDOWN, VK_NEXT, 0);
    EXPECT_EQ(m_rows.back(), Tree().GetSelectedItem());
    Tree().SendMessage(WM_KEYDOWN, VK_NEXT, 0);
    EXPECT_EQ(m_rows.back(), Tree().GetSelectedItem());
    // The last row shows wholly.
    CRect rc;
    ASSERT_TRUE(Tree().GetItemRect(m_rows.back(), &rc));
    EXPECT_LE(rc.bottom, Tree().GetItemsRect().bottom);
    Tree().SendMessage(WM_KEYDOWN, VK_HOME, 0);
    EXPECT_EQ(m_pCategory, Tree().GetSelectedItem());
    EXPECT_EQ(0, Tree().GetTopRow());
    Tree().SendMessage(WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(m_rows[0], Tree().GetSelectedItem());
    Tree().SendMessage(WM_KEYDOWN, VK_END, 0);
    EXPECT_EQ(m_rows.back(), Tree().GetSelectedItem());
}
