#include "ControlHost.h"
#include "tests/support/TestSupport.h"

#include <algorithm>
#include <vector>

namespace {

const DWORD_PTR kWideData = (DWORD_PTR)0x8123456789ABCDEFull;

class ListCtrlTest : public ControlHostTest
{
protected:
    void SetUp() override
    {
        ControlHostTest::SetUp();
        ASSERT_TRUE(m_list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS, ChildRect(), &m_wndHost, 1013));
    }
    void AddRows(int nCount)
    {
        for (int i = 0; i < nCount; ++i)
        {
            CString strText;
            strText.Format(L"row %d", i);
            ASSERT_EQ(m_list.InsertItem(i, strText), i);
        }
    }
    CListCtrl m_list;
};

// Rows drawn by the list object itself, as the libraries' lists are.
class CDrawnList : public CListCtrl
{
public:
    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override { m_arrRows.push_back((int)lpDrawItemStruct->itemID); }
    std::vector<int> m_arrRows;
};

// Column headings drawn by the header object, reached through its list view.
class CDrawnHeader : public CHeaderCtrl
{
public:
    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override { m_arrItems.push_back((int)lpDrawItemStruct->itemID); }
    std::vector<int> m_arrItems;
};

int CALLBACK CompareByDataDescending(LPARAM lParam1, LPARAM lParam2, LPARAM lParamSort)
{
    EXPECT_EQ(lParamSort, (LPARAM)kWideData);
    return lParam1 < lParam2 ? 1 : lParam1 > lParam2 ? -1 : 0;
}

} // namespace

TEST_F(ListCtrlTest, ColumnsThroughBothInsertFormsAndTheHeader)
{
    EXPECT_EQ(m_list.InsertColumn(0, L"Program Name", LVCFMT_LEFT, 140), 0);
    EXPECT_EQ(m_list.InsertColumn(1, L"Install Date", LVCFMT_CENTER, 90), 1);
    LVCOLUMN column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    column.pszText = (LPWSTR)L"Publisher";
    column.cx = 180;
    EXPECT_EQ(m_list.InsertColumn(2, &column), 2);
    // Default width form leaves the control's choice.
    EXPECT_EQ(m_list.InsertColumn(3, L"Extra"), 3);

    EXPECT_EQ(m_list.GetColumnWidth(0), 140);
    EXPECT_EQ(m_list.GetColumnWidth(2), 180);
    CHeaderCtrl* pHeader = m_list.GetHeaderCtrl();
    ASSERT_NE(pHeader, nullptr);
    EXPECT_EQ(pHeader->GetItemCount(), 4);

    wchar_t szHeading[64] = {};
    LVCOLUMN read = {};
    read.mask = LVCF_TEXT | LVCF_FMT;
    read.pszText = szHeading;
    read.cchTextMax = 64;
    ASSERT_TRUE(m_list.GetColumn(1, &read));
    EXPECT_STREQ(szHeading, L"Install Date");
    EXPECT_EQ(read.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_CENTER);

    EXPECT_TRUE(m_list.DeleteColumn(3));
    EXPECT_EQ(pHeader->GetItemCount(), 3);
    EXPECT_FALSE(m_list.DeleteColumn(7));
}

TEST_F(ListCtrlTest, ItemTextReturnsLongTextsWholeAndNothingOutOfRange)
{
    m_list.InsertColumn(0, L"A", LVCFMT_LEFT, 100);
    m_list.InsertColumn(1, L"B", LVCFMT_LEFT, 100);
    CString strLong;
    for (int i = 0; i < 300; ++i)
        strLong.AppendFormat(L"%d,", i);  // well over the first buffer size
    ASSERT_GT(strLong.GetLength(), 1000);
    ASSERT_EQ(m_list.InsertItem(0, strLong), 0);
    EXPECT_TRUE(m_list.SetItemText(0, 1, L"second column"));

    EXPECT_STREQ(m_list.GetItemText(0, 0), strLong);
    EXPECT_STREQ(m_list.GetItemText(0, 1), L"second column");
    EXPECT_STREQ(m_list.GetItemText(1, 0), L"");
    EXPECT_STREQ(m_list.GetItemText(-1, 0), L"");
    EXPECT_STREQ(m_list.GetItemText(0, 5), L"");

    // The buffer form cuts to the buffer and always terminates.
    wchar_t szShort[6];
    EXPECT_EQ(m_list.GetItemText(0, 1, szShort, 6), 5);
    EXPECT_STREQ(szShort, L"secon");
    wchar_t szNone[8] = L"xxxxxxx";
    EXPECT_EQ(m_list.GetItemText(4, 0, szNone, 8), 0);
    EXPECT_STREQ(szNone, L"");
}

TEST_F(ListCtrlTest, ItemDataKeepsAllSixtyFourBits)
{
    AddRows(3);
    EXPECT_TRUE(m_list.SetItemData(1, kWideData));
    EXPECT_EQ(m_list.GetItemData(1), kWideData);
    EXPECT_EQ(m_list.GetItemData(0), (DWORD_PTR)0);
    EXPECT_EQ(m_list.GetItemData(9), (DWORD_PTR)0);
    EXPECT_FALSE(m_list.SetItemData(9, 1));

    int nItem = m_list.InsertItem(LVIF_TEXT | LVIF_PARAM, 3, L"with data", 0, 0, 0, (LPARAM)(kWideData + 1));
    EXPECT_EQ(nItem, 3);
    EXPECT_EQ(m_list.GetItemData(3), kWideData + 1);

    LVFINDINFO find = {};
    find.flags = LVFI_PARAM;
    find.lParam = (LPARAM)(kWideData + 1);
    EXPECT_EQ(m_list.FindItem(&find), 3);
    find.flags = LVFI_STRING;
    find.psz = L"row 2";
    EXPECT_EQ(m_list.FindItem(&find), 2);
    find.psz = L"absent";
    EXPECT_EQ(m_list.FindItem(&find), -1);
}

TEST_F(ListCtrlTest, CheckBoxesFollowTheStateImage)
{
    m_list.SetExtendedStyle(m_list.GetExtendedStyle() | LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    EXPECT_TRUE(m_list.GetExtendedStyle() & LVS_EX_CHECKBOXES);
    AddRows(3);
    EXPECT_FALSE(m_list.GetCheck(0));
    EXPECT_TRUE(m_list.SetCheck(1));
    EXPECT_TRUE(m_list.GetCheck(1));
    EXPECT_FALSE(m_list.GetCheck(2));
    EXPECT_TRUE(m_list.SetCheck(1, FALSE));
    EXPECT_FALSE(m_list.GetCheck(1));
    EXPECT_FALSE(m_list.SetCheck(3));
    EXPECT_FALSE(m_list.GetCheck(-1));
}

TEST_F(ListCtrlTest, SelectedItemsIterateInOrderAndStopAtTheLast)
{
    AddRows(6);
    EXPECT_EQ(m_list.GetFirstSelectedItemPosition(), (POSITION)NULL);
    for (int nItem : { 1, 3, 5 })
        EXPECT_TRUE(m_list.SetItemState(nItem, LVIS_SELECTED, LVIS_SELECTED));
    EXPECT_EQ(m_list.GetSelectedCount(), 3u);

    std::vector<int> seen;
    POSITION pos = m_list.GetFirstSelectedItemPosition();
    while (pos)
        seen.push_back(m_list.GetNextSelectedItem(pos));
    EXPECT_EQ(seen, (std::vector<int>{ 1, 3, 5 }));

    // Item 0 selected is a real position, not the end.
    m_list.SetItemState(-1, 0, LVIS_SELECTED);
    m_list.SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
    pos = m_list.GetFirstSelectedItemPosition();
    ASSERT_NE(pos, (POSITION)NULL);
    EXPECT_EQ(m_list.GetNextSelectedItem(pos), 0);
    EXPECT_EQ(pos, (POSITION)NULL);
    EXPECT_EQ(m_list.GetNextItem(-1, LVNI_SELECTED), 0);
    EXPECT_EQ(m_list.GetItemState(0, LVIS_SELECTED), (UINT)LVIS_SELECTED);
}

TEST_F(ListCtrlTest, SortItemsPassesItemDataAndTheCallersValue)
{
    m_list.InsertColumn(0, L"A", LVCFMT_LEFT, 100);
    for (int i = 0; i < 4; ++i)
    {
        CString strText;
        strText.Format(L"%d", i);
        m_list.InsertItem(LVIF_TEXT | LVIF_PARAM, i, strText, 0, 0, 0, (LPARAM)i);
    }
    EXPECT_TRUE(m_list.SortItems(CompareByDataDescending, kWideData));
    EXPECT_STREQ(m_list.GetItemText(0, 0), L"3");
    EXPECT_STREQ(m_list.GetItemText(3, 0), L"0");
}

TEST_F(ListCtrlTest, GeometryAndHitTestAgree)
{
    m_list.InsertColumn(0, L"A", LVCFMT_LEFT, 120);
    m_list.InsertColumn(1, L"B", LVCFMT_LEFT, 150);
    AddRows(3);
    m_list.SetItemText(1, 1, L"cell");

    CRect rcItem;
    ASSERT_TRUE(m_list.GetItemRect(1, &rcItem, LVIR_BOUNDS));
    EXPECT_GT(rcItem.Height(), 0);
    CRect rcSub;
    ASSERT_TRUE(m_list.GetSubItemRect(1, 1, LVIR_BOUNDS, rcSub));
    EXPECT_EQ(rcSub.left, rcItem.left + 120);
    EXPECT_FALSE(m_list.GetItemRect(7, &rcItem, LVIR_BOUNDS));

    // The plain hit test answers for the first column only (no full-row select).
    UINT nFlags = 0;
    CRect rcLabel;
    ASSERT_TRUE(m_list.GetItemRect(1, &rcLabel, LVIR_LABEL));
    EXPECT_EQ(m_list.HitTest(rcLabel.CenterPoint(), &nFlags), 1);
    EXPECT_NE(nFlags & LVHT_ONITEM, 0u);
    LVHITTESTINFO info = {};
    info.pt = CPoint(rcSub.left + 5, rcSub.CenterPoint().y);
    EXPECT_EQ(m_list.SubItemHitTest(&info), 1);
    EXPECT_EQ(info.iSubItem, 1);
    EXPECT_EQ(m_list.HitTest(CPoint(5, 290)), -1);
}

TEST_F(ListCtrlTest, ImageListsStayWithTheirWrappers)
{
    CImageList images;
    ASSERT_TRUE(images.Create(16, 16, ILC_COLOR24 | ILC_MASK, 1, 1));
    ASSERT_EQ(images.Add(::LoadIconW(NULL, IDI_APPLICATION)), 0);
    IMAGEINFO info = {};
    ASSERT_TRUE(images.GetImageInfo(0, &info));
    EXPECT_EQ(m_list.SetImageList(&images, LVSIL_SMALL), nullptr);
    EXPECT_EQ(m_list.GetImageList(LVSIL_SMALL), &images);

    // The list view must not destroy a list its wrapper owns: its bitmap lives on.
    m_list.DestroyWindow();
    EXPECT_EQ(::GetObjectType(info.hbmImage), (DWORD)OBJ_BITMAP);
    EXPECT_EQ(images.GetImageCount(), 1);
}

TEST_F(ListCtrlTest, OwnerDrawnRowsAndHeadingsReachTheirObjects)
{
    CDrawnList list;
    ASSERT_TRUE(list.CreateEx(WS_EX_CLIENTEDGE, WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_OWNERDRAWFIXED,
                              CRect(10, 10, 400, 300), &m_wndHost, 10001));
    EXPECT_TRUE(list.GetExStyle() & WS_EX_CLIENTEDGE);
    list.InsertColumn(0, L"Service", LVCFMT_LEFT, 150);
    list.InsertColumn(1, L"Status", LVCFMT_LEFT, 100);
    list.InsertItem(0, L"one");
    list.InsertItem(1, L"two");

    CDrawnHeader header;
    ASSERT_TRUE(header.SubclassWindow(list.GetHeaderCtrl()->m_hWnd));
    EXPECT_EQ(list.GetHeaderCtrl(), &header);
    HDITEM item = {};
    item.mask = HDI_FORMAT;
    ASSERT_TRUE(header.GetItem(1, &item));
    item.fmt |= HDF_OWNERDRAW;
    ASSERT_TRUE(header.SetItem(1, &item));

    ::ShowWindow(m_wndHost.m_hWnd, SW_SHOWNOACTIVATE);  // only shown windows paint
    list.RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    EXPECT_TRUE(testsupport::WaitFor([&] { return list.m_arrRows.size() >= 2 && !header.m_arrItems.empty(); }, 10000));
    EXPECT_NE(std::find(list.m_arrRows.begin(), list.m_arrRows.end(), 1), list.m_arrRows.end());
    EXPECT_NE(std::find(header.m_arrItems.begin(), header.m_arrItems.end(), 1), header.m_arrItems.end());
    header.UnsubclassWindow();
}
