// Painting of the tree list read back from a memory bitmap or the screen.
#include <gtest/gtest.h>

#include "tests/lists/TreeListSurface.h"
#include "tests/lists/TreeListTestHost.h"

#include <algorithm>

namespace {

const COLORREF kBlue = RGB(0, 0, 255);

class TreeListPaint : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(ShowTreeListTestDialog(m_dlg));
        SetUpResultStyle(Tree());
    }
    void TearDown() override { m_dlg.DestroyWindow(); }
    CTreeListCtrl& Tree() { return m_dlg.m_tree; }

    // The whole client area painted into a bitmap.
    void PaintInto(TreeListSurface& surface)
    {
        CRect rc;
        Tree().GetClientRect(&rc);
        Tree().PaintTo(surface.DC(), rc);
    }
    CSize ClientSize()
    {
        CRect rc;
        Tree().GetClientRect(&rc);
        return rc.Size();
    }
    CTreeListTestDialog m_dlg;
};

} // namespace

TEST_F(TreeListPaint, CountLineReadsCheckedOfAllChildren)
{
    CTreeListItem* pCategory = Tree().InsertItem(L"Fonts");
    std::vector<CTreeListItem*> rows;
    for (int n = 0; n < 10; ++n)
        rows.push_back(AddProblemRow(Tree(), pCategory, n));
    for (int n = 3; n < 10; ++n)
        Tree().SetCheck(rows[n], FALSE);
    Tree().SetRedraw(TRUE);
    const CSize size = ClientSize();
    TreeListSurface shot(size.cx, size.cy);
    PaintInto(shot);

    // The same text drawn where the painter puts it: bold Verdana 13, right
    // end 5 pixels left of the cell's right edge, top 5 pixels down.
    CRect rcCell = Tree().GetKeptCellRect(pCategory);
    TreeListSurface expected(size.cx, size.cy);
    RECT rcBand = { 0, 0, size.cx, size.cy };
    HBRUSH hBrush = ::CreateSolidBrush(Tree().GetColor(1));
    ::FillRect(expected.DC(), &rcBand, hBrush);
    ::DeleteObject(hBrush);
    LOGFONTW lf = {};
    lf.lfHeight = 13;
    lf.lfWeight = FW_BOLD;
    ::lstrcpyW(lf.lfFaceName, L"Verdana");
    HFONT hFont = ::CreateFontIndirectW(&lf);
    HGDIOBJ hOld = ::SelectObject(expected.DC(), hFont);
    RECT rcText = { rcCell.left, rcCell.top + 5, rcCell.right - 5, rcCell.bottom };
    ::DrawTextW(expected.DC(), L"3 Selected/10 Items", -1, &rcText, DT_RIGHT | DT_TOP | DT_SINGLELINE);
    ::SelectObject(expected.DC(), hOld);
    ::DeleteObject(hFont);

    int nInk = 0, nDiffer = 0;
    for (int y = rcCell.top + 5; y < rcCell.top + 21; ++y)
    {
        for (int x = rcCell.right - 200; x < rcCell.right; ++x)
        {
            nInk += expected.Pixel(x, y) != Tree().GetColor(1) ? 1 : 0;
            nDiffer += expected.Pixel(x, y) != shot.Pixel(x, y) ? 1 : 0;
        }
    }
    EXPECT_GT(nInk, 50);
    EXPECT_EQ(0, nDiffer);
}

TEST_F(TreeListPaint, ButtonShowsPlusOrMinusAndOnlyWithChildren)
{
    CTreeListItem* pCategory = Tree().InsertItem(L"ActiveX/OLE/COM");
    CTreeListItem* pEmpty = Tree().InsertItem(L"Sounds");
    AddProblemRow(Tree(), pCategory, 1);
    Tree().SetRedraw(TRUE);
    const CSize size = ClientSize();
    CRect rcRow, rcEmpty;
    auto check = [&](bool bExpanded) {
        TreeListSurface shot(size.cx, size.cy);
        PaintInto(shot);
        Tree().GetItemRect(pCategory, &rcRow);
        const int cx = rcRow.left + 2 + 7, cy = rcRow.top + rcRow.Height() / 2 - 1;
        EXPECT_EQ(Tree().GetColor(19), shot.Pixel(cx - 4, cy - 4)) << "frame";
        EXPECT_EQ(RGB(255, 255, 255), shot.Pixel(cx - 3, cy - 3));
        EXPECT_EQ(RGB(0, 0, 0), shot.Pixel(cx - 2, cy)) << "horizontal stroke";
        EXPECT_EQ(bExpanded ? RGB(255, 255, 255) : RGB(0, 0, 0), shot.Pixel(cx, cy - 2)) << "vertical stroke";
        Tree().GetItemRect(pEmpty, &rcEmpty);
        const int ey = rcEmpty.top + rcEmpty.Height() / 2 - 1;
        EXPECT_EQ(Tree().GetColor(1), shot.Pixel(cx - 4, ey - 4)) << "no button without children";
    };
    check(false);
    Tree().Expand(pCategory, 0);
    check(true);
}

TEST_F(TreeListPaint, LinksNeedTheirStateAndStyleBits)
{
    CTreeListItem* pCategory = Tree().InsertItem(L"File Extensions");
    CTreeListItem* pBoth = AddProblemRow(Tree(), pCategory, 1);
    CTreeListItem* pNone = AddProblemRow(Tree(), pCategory, 2);
    Tree().SetItemState(pNone, 0, TLIS_OPENLINK | TLIS_IGNORELINK);
    CTreeListItem* pOpenOnly = AddProblemRow(Tree(), pCategory, 3);
    Tree().SetItemState(pOpenOnly, 0, TLIS_IGNORELINK);
    Tree().Expand(pCategory, 0);
    // Blue in a link rectangle of the row, by the painter's geometry.
    auto linkShown = [&](CTreeListItem* pItem, bool bOpen) {
        const CSize size = ClientSize();
        TreeListSurface shot(size.cx, size.cy);
        PaintInto(shot);
        CRect rc = Tree().GetKeptCellRect(pItem);
        const int x0 = bOpen ? rc.right - 95 : rc.right - 50, x1 = bOpen ? rc.right - 58 : rc.right - 4;
        return shot.HasColor(kBlue, x0, x1, rc.bottom - 18, rc.bottom - 4);
    };
    EXPECT_TRUE(linkShown(pBoth, true));
    EXPECT_TRUE(linkShown(pBoth, false));
    EXPECT_FALSE(linkShown(pNone, true));
    EXPECT_FALSE(linkShown(pNone, false));
    EXPECT_TRUE(linkShown(pOpenOnly, true));
    EXPECT_FALSE(linkShown(pOpenOnly, false));
    EXPECT_FALSE(linkShown(pCategory, true)) << "category rows never show links";
    Tree().SetStyle(0xEC00C1 & ~(DWORD)TLC_OPENLINK);
    EXPECT_FALSE(linkShown(pBoth, true));
    EXPECT_TRUE(linkShown(pBoth, false));
}

TEST_F(TreeListPaint, MixedHeightsPaintAndHitEveryRowThatFits)
{
    CTreeListItem* pCategory = Tree().InsertItem(L"History/MRU Lists");
    CString strTall = L"tall";
    for (int n = 0; n < 14; ++n)
        strTall += L"<br>line";
    CTreeListItem* pTall = Tree().InsertItem(strTall, pCategory);
    for (int n = 0; n < 14; ++n)
        Tree().InsertItem(L"Sounds", TLI_ROOT);
    Tree().Expand(pCategory, 0);
    const CRect rcItems = Tree().GetItemsRect();
    ASSERT_GT(Tree().GetItemRowHeight(pTall), rcItems.Height() / 3);
    // The last row that fits wholly: painted (its box shows) and hit.
    CTreeListItem* pLastFit = NULL;
    int y = rcItems.top;
    for (CTreeListItem* p = Tree().GetFirstVisibleItem(); p != NULL; p = Tree().GetNextVisibleItem(p))
    {
        if (y + Tree().GetItemRowHeight(p) > rcItems.bottom)
            break;
        pLastFit = p;
        y += Tree().GetItemRowHeight(p);
    }
    ASSERT_NE(nullptr, pLastFit);
    ASSERT_GT(Tree().GetItemRow(pLastFit), 3);
    CRect rcRow;
    ASSERT_TRUE(Tree().GetItemRect(pLastFit, &rcRow));
    UINT nFlags = 0;
    EXPECT_EQ(pLastFit, Tree().HitTest(CPoint(rcRow.left + 2 + 16 + 8, rcRow.CenterPoint().y), &nFlags));
    EXPECT_EQ((UINT)TLHT_ONCHECKBOX, nFlags);
    const CSize size = ClientSize();
    TreeListSurface shot(size.cx, size.cy);
    PaintInto(shot);
    EXPECT_NE(Tree().GetColor(1), shot.Pixel(rcRow.left + 2 + 16 + 8, rcRow.top + rcRow.Height() / 2));
    // Paging stays in rows: the scroll range counts rows.
    SCROLLINFO si = { sizeof(si), SIF_RANGE };
    Tree().GetScrollInfo(SB_VERT, &si);
    EXPECT_EQ(Tree().GetVisibleCount() - 1, si.nMax);
}

TEST_F(TreeListPaint, PartialPaintKeepsCellsInClientCoordinates)
{
    CTreeListItem* pCategory = Tree().InsertItem(L"Drivers");
    std::vector<CTreeListItem*> rows;
    for (int n = 0; n < 6; ++n)
        rows.push_back(AddProblemRow(Tree(), pCategory, n));
    Tree().Expand(pCategory, 0);
    Tree().UpdateWindow();
    CRect rcRow;
    ASSERT_TRUE(Tree().GetItemRect(rows[3], &rcRow));
    // Spoil the kept rectangle, then repaint only a small part of that row off-screen.
    CRect rcSmall(rcRow.left + 100, rcRow.top + 4, rcRow.left + 140, rcRow.top + 12);
    Tree().InvalidateRect(&rcSmall, FALSE);
    Tree().UpdateWindow();
    const CRect rcKept = Tree().GetKeptCellRect(rows[3]);
    EXPECT_EQ(rcRow.top, rcKept.top);
    EXPECT_EQ(rcRow.bottom, rcKept.bottom);
    EXPECT_EQ(rcRow.left, rcKept.left);
}

TEST_F(TreeListPaint, NoGdiObjectLeftPerPaint)
{
    CTreeListItem* pCategory = Tree().InsertItem(L"Startup Items");
    for (int n = 0; n < 20; ++n)
        AddProblemRow(Tree(), pCategory, n);
    Tree().Expand(pCategory, 0);
    Tree().SelectItem(Tree().GetChildItem(pCategory), 0, TRUE);
    Tree().RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_FRAME);
    // Wine has no GDI object count; there a leaked object shows as a handle
    // slot that is no longer free, so the same number of new objects reaches
    // further up the handle table.
    auto highWater = [] {
        std::vector<HBRUSH> brushes;
        DWORD dwHighest = 0;
        for (int n = 0; n < 3000; ++n)
        {
            HBRUSH hBrush = ::CreateSolidBrush(RGB(n & 0xFF, 0, 0));
            if (hBrush == NULL)
                break;
            brushes.push_back(hBrush);
            dwHighest = std::max(dwHighest, (DWORD)LOWORD((ULONG_PTR)hBrush));
        }
        for (HBRUSH hBrush : brushes)
            ::DeleteObject(hBrush);
        return dwHighest;
    };
    const DWORD dwBefore = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
    const DWORD dwHighBefore = highWater();
    for (int n = 0; n < 1000; ++n)
        Tree().RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_FRAME);
    const DWORD dwAfter = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
    if (dwBefore != 0)
    {
        EXPECT_LE(dwAfter, dwBefore + 2);
    }
    EXPECT_LE(highWater(), dwHighBefore + 2);
}

TEST_F(TreeListPaint, DeletingAThousandRowsPaintsOnceAndKeepsTheCallersFlag)
{
    CTreeListItem* pCategory = Tree().InsertItem(L"Empty Registry Keys");
    for (int n = 0; n < 1000; ++n)
        AddProblemRow(Tree(), pCategory, n);
    Tree().Expand(pCategory, 0);
    Tree().UpdateWindow();
    PumpTreeList(100);
    const int nPaints = Tree().GetPaintCount();
    EXPECT_TRUE(Tree().DeleteItem(pCategory));
    PumpTreeList(400);
    EXPECT_FALSE(Tree().IsDeferringRedraw());
    EXPECT_EQ(nPaints + 1, Tree().GetPaintCount());
    EXPECT_TRUE(Tree().GetRedraw());

    // Drawing switched off by the caller stays off after the deferral.
    pCategory = Tree().InsertItem(L"Sounds");
    for (int n = 0; n < 10; ++n)
        AddProblemRow(Tree(), pCategory, n);
    Tree().SetRedraw(FALSE);
    PumpTreeList(100);
    const int nQuiet = Tree().GetPaintCount();
    Tree().DeleteItem(pCategory);
    PumpTreeList(300);
    EXPECT_FALSE(Tree().IsDeferringRedraw());
    EXPECT_FALSE(Tree().GetRedraw());
    EXPECT_EQ(nQuiet, Tree().GetPaintCount());
    // Switched on again while the deferral runs: the window draws when it ends.
    pCategory = Tree().InsertItem(L"Drivers");
    AddProblemRow(Tree(), pCategory, 1);
    Tree().DeleteItem(pCategory);
    EXPECT_TRUE(Tree().IsDeferringRedraw());
    Tree().SetRedraw(TRUE);
    PumpTreeList(300);
    EXPECT_FALSE(Tree().IsDeferringRedraw());
    EXPECT_TRUE(Tree().IsWindowVisible());
    EXPECT_GT(Tree().GetPaintCount(), nQuiet);
    // Insertion starts no deferred redraw.
    Tree().InsertItem(L"Fonts");
    EXPECT_FALSE(Tree().IsDeferringRedraw());
}

TEST_F(TreeListPaint, SizeMeasuresRowsAgainOnlyForANewWidth)
{
    CTreeListItem* pCategory = Tree().InsertItem(L"Application Paths");
    CTreeListItem* pRow = AddProblemRow(Tree(), pCategory, 7);
    CRect rc;
    Tree().GetWindowRect(&rc);
    m_dlg.ScreenToClient(&rc);
    const int nCount = Tree().GetMeasureCount();
    const int nHeight = Tree().GetItemRowHeight(pRow);
    CRect rcBefore;
    Tree().GetClientRect(&rcBefore);
    Tree().MoveWindow(rc.left, rc.top, rc.Width(), rc.Height() - 40);
    CRect rcAfter;
    Tree().GetClientRect(&rcAfter);
    EXPECT_EQ(rcBefore.Width(), rcAfter.Width());
    EXPECT_EQ(nCount, Tree().GetMeasureCount());
    Tree().MoveWindow(rc.left, rc.top, 260, rc.Height());
    EXPECT_EQ(nCount + 1, Tree().GetMeasureCount());
    EXPECT_GT(Tree().GetItemRowHeight(pRow), nHeight) << "a narrow tree wraps the row";
}
