#include "ControlHost.h"

#include <vector>

namespace {

class TreeCtrlTest : public ControlHostTest
{
protected:
    void SetUp() override
    {
        ControlHostTest::SetUp();
        ASSERT_TRUE(m_tree.Create(WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT,
                                  ChildRect(), &m_wndHost, 1147));
    }
    std::vector<CString> ChildTexts(HTREEITEM hParent) const
    {
        std::vector<CString> texts;
        for (HTREEITEM h = m_tree.GetChildItem(hParent); h; h = m_tree.GetNextSiblingItem(h))
            texts.push_back(m_tree.GetItemText(h));
        return texts;
    }
    CTreeCtrl m_tree;
};

} // namespace

TEST_F(TreeCtrlTest, EmptyTreeAnswersNothing)
{
    EXPECT_EQ(m_tree.GetCount(), 0u);
    EXPECT_EQ(m_tree.GetRootItem(), (HTREEITEM)NULL);
    EXPECT_EQ(m_tree.GetSelectedItem(), (HTREEITEM)NULL);
    EXPECT_STREQ(m_tree.GetItemText(NULL), L"");
    EXPECT_EQ(m_tree.GetItemData(NULL), (DWORD_PTR)0);
    EXPECT_FALSE(m_tree.ItemHasChildren(NULL));
    EXPECT_FALSE(m_tree.SetItemData(NULL, 1));
    CRect rc;
    EXPECT_FALSE(m_tree.GetItemRect(NULL, &rc, FALSE));
}

TEST_F(TreeCtrlTest, InsertPositionsAndNavigation)
{
    HTREEITEM hRoot = m_tree.InsertItem(L"Windows");
    HTREEITEM hSecond = m_tree.InsertItem(L"Browsers");
    ASSERT_NE(hRoot, (HTREEITEM)NULL);
    HTREEITEM hB = m_tree.InsertItem(L"b", hRoot, TVI_SORT);
    m_tree.InsertItem(L"a", hRoot, TVI_SORT);
    m_tree.InsertItem(L"c", hRoot, TVI_SORT);
    m_tree.InsertItem(L"first", hRoot, TVI_FIRST);
    m_tree.InsertItem(L"after b", hRoot, hB);

    EXPECT_EQ(m_tree.GetCount(), 7u);
    EXPECT_EQ(m_tree.GetRootItem(), hRoot);
    EXPECT_EQ(m_tree.GetNextSiblingItem(hRoot), hSecond);
    EXPECT_EQ(m_tree.GetPrevSiblingItem(hSecond), hRoot);
    EXPECT_EQ(m_tree.GetNextSiblingItem(hSecond), (HTREEITEM)NULL);
    EXPECT_EQ(m_tree.GetParentItem(hRoot), (HTREEITEM)NULL);
    EXPECT_EQ(m_tree.GetParentItem(hB), hRoot);
    EXPECT_EQ(ChildTexts(hRoot), (std::vector<CString>{ L"first", L"a", L"b", L"after b", L"c" }));
    EXPECT_TRUE(m_tree.ItemHasChildren(hRoot));
    EXPECT_FALSE(m_tree.ItemHasChildren(hSecond));

    // Collapsed children are not visible; expanded ones follow their parent.
    EXPECT_EQ(m_tree.GetNextVisibleItem(hRoot), hSecond);
    EXPECT_TRUE(m_tree.Expand(hRoot, TVE_EXPAND));
    EXPECT_EQ(m_tree.GetItemState(hRoot, TVIS_EXPANDED), (UINT)TVIS_EXPANDED);
    EXPECT_EQ(m_tree.GetNextVisibleItem(hRoot), m_tree.GetChildItem(hRoot));
    EXPECT_EQ(m_tree.GetNextItem(hRoot, TVGN_CHILD), m_tree.GetChildItem(hRoot));

    EXPECT_TRUE(m_tree.SelectItem(hB));
    EXPECT_EQ(m_tree.GetSelectedItem(), hB);

    EXPECT_TRUE(m_tree.DeleteItem(hRoot));
    EXPECT_EQ(m_tree.GetCount(), 1u);
    EXPECT_EQ(m_tree.GetRootItem(), hSecond);
    EXPECT_TRUE(m_tree.DeleteAllItems());
    EXPECT_EQ(m_tree.GetCount(), 0u);
}

TEST_F(TreeCtrlTest, TextDataImagesAndChecks)
{
    m_tree.ModifyStyle(0, TVS_CHECKBOXES);
    CString strLong(L'x', 700);
    HTREEITEM hItem = m_tree.InsertItem(strLong, 2, 3);
    ASSERT_NE(hItem, (HTREEITEM)NULL);
    EXPECT_STREQ(m_tree.GetItemText(hItem), strLong);
    EXPECT_TRUE(m_tree.SetItemText(hItem, L"short"));
    EXPECT_STREQ(m_tree.GetItemText(hItem), L"short");

    const DWORD_PTR dwWide = (DWORD_PTR)0xFEDCBA9876543210ull;
    EXPECT_TRUE(m_tree.SetItemData(hItem, dwWide));
    EXPECT_EQ(m_tree.GetItemData(hItem), dwWide);

    int nImage = -1, nSelected = -1;
    EXPECT_TRUE(m_tree.GetItemImage(hItem, nImage, nSelected));
    EXPECT_EQ(nImage, 2);
    EXPECT_EQ(nSelected, 3);
    EXPECT_TRUE(m_tree.SetItemImage(hItem, 5, 6));
    EXPECT_TRUE(m_tree.GetItemImage(hItem, nImage, nSelected));
    EXPECT_EQ(nImage, 5);
    EXPECT_EQ(nSelected, 6);

    EXPECT_FALSE(m_tree.GetCheck(hItem));
    EXPECT_TRUE(m_tree.SetCheck(hItem));
    EXPECT_TRUE(m_tree.GetCheck(hItem));
    EXPECT_TRUE(m_tree.SetCheck(hItem, FALSE));
    EXPECT_FALSE(m_tree.GetCheck(hItem));
    // A partly checked state image is not "checked".
    m_tree.SetItemState(hItem, INDEXTOSTATEIMAGEMASK(3), TVIS_STATEIMAGEMASK);
    EXPECT_FALSE(m_tree.GetCheck(hItem));
    EXPECT_EQ(m_tree.GetItemState(hItem, TVIS_STATEIMAGEMASK) >> 12, 3u);
}

TEST_F(TreeCtrlTest, GeometryHitTestAndSorting)
{
    HTREEITEM hParent = m_tree.InsertItem(L"parent");
    for (LPCWSTR psz : { L"delta", L"alpha", L"charlie", L"bravo" })
        m_tree.InsertItem(psz, hParent);
    EXPECT_TRUE(m_tree.SortChildren(hParent));
    EXPECT_EQ(ChildTexts(hParent), (std::vector<CString>{ L"alpha", L"bravo", L"charlie", L"delta" }));
    m_tree.Expand(hParent, TVE_EXPAND);

    HTREEITEM hLast = m_tree.GetNextSiblingItem(m_tree.GetNextSiblingItem(m_tree.GetNextSiblingItem(m_tree.GetChildItem(hParent))));
    CRect rcRow, rcText;
    ASSERT_TRUE(m_tree.GetItemRect(hLast, &rcRow, FALSE));
    ASSERT_TRUE(m_tree.GetItemRect(hLast, &rcText, TRUE));
    EXPECT_GT(rcText.left, rcRow.left);
    EXPECT_EQ(rcRow.top, 4 * m_tree.GetItemHeight());

    UINT nFlags = 0;
    EXPECT_EQ(m_tree.HitTest(rcText.CenterPoint(), &nFlags), hLast);
    EXPECT_NE(nFlags & TVHT_ONITEMLABEL, 0u);
    EXPECT_EQ(m_tree.HitTest(CPoint(5, rcRow.bottom + 50)), (HTREEITEM)NULL);
}
