// The item model against a brute-force model: positions, counts, rows,
// check roll-up and roll-down, vetoes.
#include <gtest/gtest.h>

#include "tests/lists/TreeListTestHost.h"

#include <algorithm>
#include <memory>
#include <random>
#include <unordered_map>

namespace {

struct RefNode
{
    int nId = 0;
    CString strText;
    RefNode* pParent = nullptr;
    std::vector<RefNode*> children;
    bool bExpanded = false;
    bool bExpandedOnce = false;
    CTreeListItem* pItem = nullptr;
};

// The tree as plain vectors: what the control should show.
class RefTree
{
public:
    RefTree() { m_root.bExpanded = true; }
    RefNode* Root() { return &m_root; }
    std::vector<RefNode*> All()
    {
        std::vector<RefNode*> out;
        Walk(&m_root, out, false);
        return out;
    }
    std::vector<RefNode*> Visible()
    {
        std::vector<RefNode*> out;
        Walk(&m_root, out, true);
        return out;
    }
    RefNode* Add(RefNode* pParent, size_t nIndex, const CString& strText)
    {
        m_nodes.emplace_back(new RefNode);
        RefNode* pNode = m_nodes.back().get();
        pNode->nId = (int)m_nodes.size();
        pNode->strText = strText;
        pNode->pParent = pParent;
        pParent->children.insert(pParent->children.begin() + nIndex, pNode);
        return pNode;
    }
    void Remove(RefNode* pNode)
    {
        auto& siblings = pNode->pParent->children;
        siblings.erase(std::find(siblings.begin(), siblings.end(), pNode));
    }

private:
    void Walk(RefNode* pNode, std::vector<RefNode*>& out, bool bVisibleOnly)
    {
        for (RefNode* pChild : pNode->children)
        {
            out.push_back(pChild);
            if (!bVisibleOnly || pChild->bExpanded)
                Walk(pChild, out, bVisibleOnly);
        }
    }
    RefNode m_root;
    std::vector<std::unique_ptr<RefNode>> m_nodes;
};

void ExpectSameTree(CTreeListCtrl& tree, RefTree& ref)
{
    std::vector<RefNode*> all = ref.All();
    ASSERT_EQ((int)all.size(), tree.GetCount());
    // Sibling order both ways.
    std::vector<RefNode*> parents = all;
    parents.push_back(ref.Root());
    for (RefNode* pNode : parents)
    {
        CTreeListItem* pChild = pNode == ref.Root() ? tree.GetRootItem() : tree.GetChildItem(pNode->pItem);
        CTreeListItem* pLast = NULL;
        for (RefNode* pRefChild : pNode->children)
        {
            ASSERT_EQ(pRefChild->pItem, pChild);
            ASSERT_EQ(pLast, tree.GetPrevSiblingItem(pChild));
            ASSERT_EQ(pNode == ref.Root() ? NULL : pNode->pItem, tree.GetParentItem(pChild));
            pLast = pChild;
            pChild = tree.GetNextSiblingItem(pChild);
        }
        ASSERT_EQ(NULL, pChild);
        if (pNode != ref.Root())
        {
            ASSERT_EQ((int)pNode->children.size(), tree.GetChildCount(pNode->pItem));
        }
    }
    // Rows: visible walk, and both row look-ups inverse on every row.
    std::vector<RefNode*> visible = ref.Visible();
    ASSERT_EQ((int)visible.size(), tree.GetVisibleCount());
    CTreeListItem* pWalk = tree.GetFirstVisibleItem();
    for (size_t nRow = 0; nRow < visible.size(); ++nRow)
    {
        ASSERT_EQ(visible[nRow]->pItem, pWalk) << "row " << nRow;
        ASSERT_EQ(visible[nRow]->pItem, tree.GetItemByRow((int)nRow)) << "row " << nRow;
        ASSERT_EQ((int)nRow, tree.GetItemRow(visible[nRow]->pItem));
        if (nRow > 0)
        {
            ASSERT_EQ(visible[nRow - 1]->pItem, tree.GetPrevVisibleItem(pWalk));
        }
        pWalk = tree.GetNextVisibleItem(pWalk);
    }
    ASSERT_EQ(NULL, pWalk);
    ASSERT_EQ(NULL, tree.GetItemByRow((int)visible.size()));
    ASSERT_EQ(NULL, tree.GetItemByRow(-1));
}

// Where a new child lands, by the insert position rules.
size_t RefPosition(RefNode* pParent, CTreeListItem* pAfter, const CString& strText)
{
    auto& kids = pParent->children;
    if (kids.empty() || pAfter == TLI_FIRST)
        return 0;
    if (pAfter == TLI_LAST)
        return kids.size();
    if (pAfter == TLI_SORT)
    {
        size_t n = 0;
        while (n < kids.size() && ::lstrcmpiW(kids[n]->strText, strText) <= 0)
            ++n;
        return n;
    }
    for (size_t n = 0; n < kids.size(); ++n)
    {
        if (kids[n]->pItem == pAfter)
            return n + 1;
    }
    return 0;
}

} // namespace

TEST(TreeListModel, RandomInsertDeleteExpandMatchesModel)
{
    CTreeListCtrl tree;
    tree.SetStyle(0xEC00C1);
    RefTree ref;
    std::mt19937 rng(1234);
    const wchar_t* pszTexts[] = { L"b", L"A", L"c", L"a", L"B", L"d" };
    for (int nStep = 0; nStep < 1500; ++nStep)
    {
        std::vector<RefNode*> all = ref.All();
        const int nOp = (int)(rng() % 10);
        if (nOp < 6 || all.empty())
        {
            RefNode* pParent = all.empty() || rng() % 4 == 0 ? ref.Root() : all[rng() % all.size()];
            CTreeListItem* pAfter = TLI_LAST;
            switch (rng() % 5)
            {
            case 0: pAfter = TLI_FIRST; break;
            case 1: pAfter = TLI_SORT; break;
            case 2:
                if (!pParent->children.empty())
                    pAfter = pParent->children[rng() % pParent->children.size()]->pItem;
                break;
            case 3:
                // Another parent's item: the new item goes first.
                if (!all.empty())
                    pAfter = all[rng() % all.size()]->pItem;
                break;
            default: break;
            }
            const CString strText = pszTexts[rng() % 6];
            const size_t nIndex = RefPosition(pParent, pAfter, strText);
            RefNode* pNode = ref.Add(pParent, nIndex, strText);
            pNode->pItem = tree.InsertItem(strText, pParent == ref.Root() ? TLI_ROOT : pParent->pItem, pAfter);
            ASSERT_NE(nullptr, pNode->pItem);
        }
        else if (nOp < 7)
        {
            RefNode* pNode = all[rng() % all.size()];
            ASSERT_TRUE(tree.DeleteItem(pNode->pItem));
            ref.Remove(pNode);
        }
        else
        {
            RefNode* pNode = all[rng() % all.size()];
            const int nCode = (int)(rng() % 3);
            const bool bChildless = pNode->children.empty();
            if (!(pNode->bExpandedOnce && bChildless))
            {
                const bool bExpand = nCode == 0 || (nCode == 2 && !pNode->bExpanded);
                pNode->bExpanded = bExpand;
                if (bExpand)
                    pNode->bExpandedOnce = true;
            }
            tree.Expand(pNode->pItem, nCode, 0);
        }
        if (nStep % 25 == 0 || nStep > 1480)
        {
            ExpectSameTree(tree, ref);
            if (HasFatalFailure())
                FAIL() << "step " << nStep;
        }
    }
}

TEST(TreeListModel, EdgeCasesOfPositionsAndCounts)
{
    CTreeListCtrl tree;
    EXPECT_EQ(0, tree.GetCount());
    EXPECT_EQ(NULL, tree.GetRootItem());
    EXPECT_EQ(-1, tree.GetItemRow(NULL));

    // Under a childless parent every position gives the only child.
    for (CTreeListItem* pAfter : { TLI_FIRST, TLI_LAST, TLI_SORT, (CTreeListItem*)NULL })
    {
        CTreeListItem* pParent = tree.InsertItem(L"parent");
        CTreeListItem* pOnly = tree.InsertItem(L"x", pParent, pAfter);
        EXPECT_EQ(pOnly, tree.GetChildItem(pParent));
        EXPECT_EQ(NULL, tree.GetNextSiblingItem(pOnly));
        tree.DeleteItem(pParent);
    }
    EXPECT_EQ(0, tree.GetCount());

    // Sorted: b, a, c give a, b, c; an equal text goes after the existing one.
    CTreeListItem* pParent = tree.InsertItem(L"p");
    CTreeListItem* pB = tree.InsertItem(L"b", pParent, TLI_SORT);
    CTreeListItem* pA = tree.InsertItem(L"a", pParent, TLI_SORT);
    CTreeListItem* pC = tree.InsertItem(L"c", pParent, TLI_SORT);
    CTreeListItem* pB2 = tree.InsertItem(L"B", pParent, TLI_SORT);
    EXPECT_EQ(pA, tree.GetChildItem(pParent));
    EXPECT_EQ(pB, tree.GetNextSiblingItem(pA));
    EXPECT_EQ(pB2, tree.GetNextSiblingItem(pB));
    EXPECT_EQ(pC, tree.GetNextSiblingItem(pB2));

    // Collapsed parent: its rows do not count until it is expanded.
    EXPECT_EQ(5, tree.GetCount());
    EXPECT_EQ(1, tree.GetVisibleCount());
    tree.Expand(pParent, 0);
    EXPECT_EQ(5, tree.GetVisibleCount());
    // Code 3 leaves it collapsed and childless.
    tree.Expand(pParent, 3);
    EXPECT_EQ(1, tree.GetCount());
    EXPECT_FALSE(tree.ItemHasChildren(pParent));
    EXPECT_FALSE(tree.GetItemState(pParent) & TLIS_EXPANDED);
    EXPECT_FALSE(tree.Expand(NULL, 0));
    EXPECT_FALSE(tree.Expand(pParent, 4));
}

TEST(TreeListModel, CheckRollUpAndDownAgainstBruteForce)
{
    CTreeListCtrl tree;
    tree.SetStyle(0xEC00C1);
    std::mt19937 rng(99);
    std::vector<CTreeListItem*> items;
    for (int nStep = 0; nStep < 2000; ++nStep)
    {
        const int nOp = (int)(rng() % 10);
        if (nOp < 4 || items.empty())
        {
            CTreeListItem* pParent = items.empty() || rng() % 5 == 0 ? TLI_ROOT : items[rng() % items.size()];
            CTreeListItem* pItem = tree.InsertItem(L"x", pParent, TLI_LAST);
            if (rng() % 4 == 0)
                tree.SetItemState(pItem, 0, TLIS_CHECKBOX);  // a row without a box
            items.push_back(pItem);
        }
        else if (nOp < 5)
        {
            const size_t n = rng() % items.size();
            CTreeListItem* pGone = items[n];
            tree.DeleteItem(pGone);
            // Items under the deleted one were freed: take the list from the tree again.
            UNUSED_ALWAYS(n);
            std::vector<CTreeListItem*> kept;
            for (CTreeListItem* p = tree.GetRootItem(); p != NULL;)
            {
                kept.push_back(p);
                if (tree.GetChildItem(p) != NULL)
                    p = tree.GetChildItem(p);
                else
                {
                    while (p != NULL && tree.GetNextSiblingItem(p) == NULL)
                        p = tree.GetParentItem(p);
                    if (p != NULL)
                        p = tree.GetNextSiblingItem(p);
                }
            }
            items.swap(kept);
        }
        else if (nOp < 8)
        {
            CTreeListItem* pItem = items[rng() % items.size()];
            const BOOL bCheck = rng() % 2;
            tree.SetCheck(pItem, bCheck);
            // Roll-down: every descendant carries the same check.
            std::vector<CTreeListItem*> stack{ pItem };
            while (!stack.empty())
            {
                CTreeListItem* p = stack.back();
                stack.pop_back();
                for (CTreeListItem* c = tree.GetChildItem(p); c != NULL; c = tree.GetNextSiblingItem(c))
                {
                    ASSERT_EQ(bCheck ? 1 : 0, tree.GetCheck(c));
                    stack.push_back(c);
                }
            }
        }
        else
            tree.ToggleCheck(items[rng() % items.size()], TRUE);

        // Roll-up: every item with boxed children carries their OR; the count
        // line reads the children fully checked.
        for (CTreeListItem* p : items)
        {
            DWORD dwOr = 0;
            int nBoxed = 0, nChecked = 0, nChildren = 0;
            for (CTreeListItem* c = tree.GetChildItem(p); c != NULL; c = tree.GetNextSiblingItem(c))
            {
                ++nChildren;
                if (tree.GetCheck(c) == 1)
                    ++nChecked;
                if (tree.GetItemState(c) & TLIS_CHECKBOX)
                {
                    ++nBoxed;
                    dwOr |= tree.GetItemState(c) & TLIS_CHECKBITS;
                }
            }
            ASSERT_EQ(nChildren, tree.GetChildCount(p));
            ASSERT_EQ(nChecked, tree.GetCheckedChildCount(p)) << "step " << nStep;
            if (nBoxed > 0)
            {
                ASSERT_EQ(dwOr, tree.GetItemState(p) & TLIS_CHECKBITS) << "step " << nStep;
            }
        }
    }
}

TEST(TreeListModel, RollUpStaysTrueOnInsertAndDelete)
{
    CTreeListCtrl tree;
    tree.SetStyle(0xEC00C1);
    CTreeListItem* pCategory = tree.InsertItem(L"Fonts");
    CTreeListItem* pFirst = AddProblemRow(tree, pCategory, 1);
    EXPECT_EQ(1, tree.GetCheck(pCategory));
    // Under a checked parent a new row starts checked.
    CTreeListItem* pSecond = tree.InsertItem(L"second", pCategory);
    EXPECT_EQ(1, tree.GetCheck(pSecond));
    // Checking one of two unchecked children: partly; both: checked.
    tree.SetCheck(pFirst, FALSE);
    tree.SetCheck(pSecond, FALSE);
    EXPECT_EQ(0, tree.GetCheck(pCategory));
    tree.SetCheck(pFirst, TRUE);
    EXPECT_EQ(2, tree.GetCheck(pCategory));
    // Under a partly checked parent a new row starts unchecked; the parent stays partly checked.
    CTreeListItem* pThird = tree.InsertItem(L"third", pCategory);
    EXPECT_EQ(0, tree.GetCheck(pThird));
    EXPECT_EQ(2, tree.GetCheck(pCategory));
    // Deleting the unchecked rows (Ignore) leaves only checked ones: the parent is checked again.
    tree.DeleteItem(pSecond);
    tree.DeleteItem(pThird);
    EXPECT_EQ(1, tree.GetCheck(pCategory));
    EXPECT_EQ(1, tree.GetCheckedChildCount(pCategory));

    // Without check boxes a child starts unchecked even under a checked parent: the parent re-rolls.
    tree.SetStyle(0xEC00C1 & ~(DWORD)TLC_CHECKBOX);
    CTreeListItem* pPlain = tree.InsertItem(L"plain", pCategory);
    EXPECT_EQ(0, tree.GetCheck(pPlain));
    EXPECT_EQ(2, tree.GetCheck(pCategory));
}

TEST(TreeListModel, ColumnWidthsFromTextsAndLimits)
{
    CTreeListCtrl tree;
    tree.SetStyle(TLC_TREE | TLC_BUTTON | TLC_CHECKBOX);
    tree.InsertColumn(L"Problem", TLF_DEFAULT, 100);
    tree.InsertColumn(L"A much longer heading than any cell", TLF_DEFAULT, 100);
    CTreeListItem* pTop = tree.InsertItem(L"short");
    CTreeListItem* pChild = tree.InsertItem(L"a rather longer child text", pTop);
    tree.SetItemText(pChild, 1, L"x");
    tree.Expand(pTop, 0);
    HDC hDC = ::CreateCompatibleDC(NULL);
    ::SelectObject(hDC, tree.GetFont()->GetSafeHandle());
    SIZE size = {};
    ::GetTextExtentPoint32W(hDC, L"a rather longer child text", 26, &size);
    // Widest text + 6, the child's indent (16 level, 16 button, 16 box) + 2.
    tree.SetColumnWidth(0, -1, 10);
    EXPECT_EQ(size.cx + 6 + 48 + 2, tree.GetColumnWidth(0));
    tree.SetColumnWidth(0, -1, 1000);
    EXPECT_EQ(1000, tree.GetColumnWidth(0));
    ::GetTextExtentPoint32W(hDC, L"A much longer heading than any cell", 35, &size);
    tree.SetColumnWidth(1, -2);
    EXPECT_EQ(size.cx + 4, tree.GetColumnWidth(1));
    ::DeleteDC(hDC);
    tree.SetColumnWidth(0, 10, 40, 30);
    EXPECT_EQ(40, tree.GetColumnWidth(0)) << "the maximum is raised to the minimum";
    tree.SetColumnWidth(0, 500, -5, 200);
    EXPECT_EQ(200, tree.GetColumnWidth(0));
    tree.SetColumnWidth(0, -30, 0, 0);
    EXPECT_EQ(0, tree.GetColumnWidth(0));
}

TEST(TreeListModel, ColumnsAddedAfterItemsReadEmptyAndGrowOnWrite)
{
    CTreeListCtrl tree;
    tree.InsertColumn(L"Problem", TLF_DEFAULT, 200);
    CTreeListItem* pItem = tree.InsertItem(L"row");
    tree.InsertColumn(L"Key", TLF_DEFAULT, 100);
    tree.InsertColumn(L"Data", TLF_DEFAULT, 100);
    EXPECT_FALSE(tree.HasItemText(pItem, 2));
    EXPECT_EQ(CString(), tree.GetItemText(pItem, 2));
    EXPECT_TRUE(tree.SetItemText(pItem, 2, L"data"));
    EXPECT_EQ(CString(L"data"), tree.GetItemText(pItem, 2));
    EXPECT_TRUE(tree.HasItemText(pItem, 1));
    EXPECT_FALSE(tree.SetItemText(pItem, 3, L"no such column"));
    // Painting reads only existing slots.
    CTreeListItem* pOld = tree.InsertItem(L"new");
    EXPECT_EQ(CString(), tree.GetItemText(pOld, 1));
}

TEST(TreeListModel, VetoesAndDeletionNotices)
{
    CTreeListTestDialog dlg;
    ASSERT_TRUE(ShowTreeListTestDialog(dlg));
    CTreeListCtrl& tree = dlg.m_tree;
    SetUpResultStyle(tree);
    CTreeListItem* pCategory = tree.InsertItem(L"ActiveX/OLE/COM");
    CTreeListItem* pRow = AddProblemRow(tree, pCategory, 1);
    CTreeListItem* pGrandChild = tree.InsertItem(L"below", pRow);

    dlg.m_answers[TLN_ITEMCHECK] = -1;
    EXPECT_FALSE(tree.ToggleCheck(pRow, TRUE));
    EXPECT_EQ(1, tree.GetCheck(pRow));
    dlg.m_answers.clear();
    EXPECT_TRUE(tree.ToggleCheck(pRow, TRUE));
    EXPECT_EQ(0, tree.GetCheck(pRow));

    dlg.m_answers[TLN_ITEMEXPANDING] = -1;
    EXPECT_FALSE(tree.Expand(pCategory, 0, 7));
    EXPECT_FALSE(tree.GetItemState(pCategory) & TLIS_EXPANDED);
    dlg.m_answers.clear();
    dlg.m_notes.clear();
    tree.Expand(pCategory, 0, 7);
    ASSERT_EQ(2u, dlg.m_notes.size());
    EXPECT_EQ(TLN_ITEMEXPANDING, dlg.m_notes[0].nCode);
    EXPECT_EQ(TLN_ITEMEXPANDED, dlg.m_notes[1].nCode);
    EXPECT_EQ(7, dlg.m_notes[1].nValue);
    // Expanding a childless item that was expanded once sends nothing.
    tree.Expand(pRow, 0);
    tree.Expand(pGrandChild, 0);
    dlg.m_notes.clear();
    EXPECT_TRUE(tree.Expand(pGrandChild, 0));
    EXPECT_TRUE(dlg.m_notes.empty());

    dlg.m_answers[TLN_SELCHANGING] = -1;
    tree.SelectItem(pRow, 0, TRUE);
    EXPECT_EQ(NULL, tree.GetSelectedItem());
    dlg.m_answers.clear();
    tree.SelectItem(pRow, 0, TRUE);
    EXPECT_EQ(pRow, tree.GetSelectedItem());

    // Deleting the selection: a notice for it and its descendant, selection empty.
    dlg.m_notes.clear();
    tree.DeleteItem(pRow);
    EXPECT_EQ(NULL, tree.GetSelectedItem());
    EXPECT_EQ(2, dlg.CountNotes(TLN_SELCHANGING));
    EXPECT_EQ(pGrandChild, dlg.m_notes[0].pItem);
    EXPECT_EQ(pRow, dlg.m_notes[1].pItem);
    dlg.DestroyWindow();
}
