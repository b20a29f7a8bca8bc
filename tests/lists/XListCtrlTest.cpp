#include "XListTestHost.h"
#include "controls/lists/XCheckBox.h"

using Ints = std::vector<int>;

TEST_F(XListTest, CellsOutsideTheListAnswerFailureAndChangeNothing)
{
    AddColumns();
    AddRows(2);
    const int kBad[][2] = { { -1, 0 }, { 2, 0 }, { 0, -1 }, { 0, 3 }, { 99, 99 } };
    for (const auto& cell : kBad)
    {
        SCOPED_TRACE(testing::Message() << cell[0] << "," << cell[1]);
        EXPECT_FALSE(m_list.SetItemText(cell[0], cell[1], L"x"));
        EXPECT_FALSE(m_list.SetItemTextColors(cell[0], cell[1], L"x", RGB(1, 2, 3), RGB(4, 5, 6)));
        EXPECT_FALSE(m_list.SetItemImage(cell[0], cell[1], 3));
        EXPECT_FALSE(m_list.SetItemToolTipText(cell[0], cell[1], L"tip"));
        EXPECT_FALSE(m_list.SetCheckbox(cell[0], cell[1], 2));
        EXPECT_FALSE(m_list.SetCheckboxEnabled(cell[0], cell[1], FALSE));
        EXPECT_EQ(m_list.GetCheckbox(cell[0], cell[1]), 0);
        EXPECT_EQ(m_list.GetItemImage(cell[0], cell[1]), -1);
    }
    EXPECT_EQ(m_list.InsertItem(-1, L"x"), -1);
    EXPECT_EQ(m_list.InsertColumn(3, (const LVCOLUMN*)nullptr), -1);
    EXPECT_EQ(m_list.GetItemCount(), 2);
    EXPECT_EQ(States(0), (Ints{ 1, 1 }));
    EXPECT_EQ(m_list.GetItemText(0, 1), L"row 0");
    EXPECT_EQ(m_list.GetHeaderCheckbox(0), 1);
    // Only the states 1 and 2 make a box.
    EXPECT_FALSE(m_list.SetCheckbox(0, 1, 0));
    EXPECT_FALSE(m_list.SetCheckbox(0, 1, 3));
    EXPECT_EQ(m_list.GetCheckbox(0, 1), 0);
}

TEST_F(XListTest, CellSettersKeepTheirValuesAndDefaults)
{
    AddColumns();
    AddRows(1, 0);
    EXPECT_EQ(m_list.GetItemImage(0, 2), -1);
    EXPECT_TRUE(m_list.SetItemImage(0, 2, 4));
    EXPECT_EQ(m_list.GetItemImage(0, 2), 4);
    EXPECT_TRUE(m_list.SetItemToolTipText(0, 2, L"C:\\Program Files\\Tool\\tool.exe /start"));
    EXPECT_EQ(m_list.GetItemToolTipText(0, 2), L"C:\\Program Files\\Tool\\tool.exe /start");
    // No text given: the text stays, the colours change.
    EXPECT_TRUE(m_list.SetItemTextColors(0, 1, nullptr, RGB(0, 0, 255), (COLORREF)-1));
    EXPECT_EQ(m_list.GetItemText(0, 1), L"row 0");
    EXPECT_TRUE(m_list.SetItemTextColors(0, 1, L"Installing...", (COLORREF)-1, RGB(255, 255, 255)));
    EXPECT_EQ(m_list.GetItemText(0, 1), L"Installing...");
    EXPECT_TRUE(m_list.SetCheckbox(0, 2, 2));
    EXPECT_EQ(m_list.GetCheckbox(0, 2), 2);
    EXPECT_TRUE(m_list.GetCheckboxEnabled(0, 2));
    EXPECT_TRUE(m_list.SetCheckboxEnabled(0, 2, FALSE));
    EXPECT_FALSE(m_list.GetCheckboxEnabled(0, 2));
    EXPECT_FALSE(m_list.SetCheckboxEnabled(0, 1, FALSE));  // no box there

    EXPECT_TRUE(m_list.GetEllipsis());
    EXPECT_TRUE(m_list.SetEllipsis(FALSE));
    EXPECT_FALSE(m_list.SetEllipsis(TRUE));
    EXPECT_EQ(m_list.GetCurSel(), -1);
    m_list.SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_EQ(m_list.GetCurSel(), 0);
}

TEST_F(XListTest, ItemDataIsTheCallersOwnOnEveryPath)
{
    AddColumns();
    AddRows(2);
    EXPECT_EQ(m_list.GetItemData(0), 0u);
    EXPECT_TRUE(m_list.SetItemData(0, 0x1234));
    EXPECT_EQ(m_list.GetItemData(0), 0x1234u);
    // Through the plain list view messages as well, and the records survive.
    CListCtrl& base = m_list;
    EXPECT_EQ(base.GetItemData(0), 0x1234u);
    EXPECT_TRUE(base.SetItemData(1, 77));
    EXPECT_EQ(m_list.GetItemData(1), 77u);
    EXPECT_EQ(base.InsertItem(LVIF_TEXT | LVIF_PARAM, 2, L"third", 0, 0, 0, 555), 2);
    EXPECT_EQ(m_list.GetItemData(2), 555u);
    EXPECT_TRUE(m_list.SetCheckbox(2, 0, 2));
    EXPECT_EQ(States(0), (Ints{ 1, 1, 2 }));
}

TEST_F(XListTest, HeaderBoxRollsUpOverTheRowsThatHaveABox)
{
    AddColumns(1);
    AddRows(3, 1);
    AddRows(1, 0);  // a row without a box
    EXPECT_EQ(m_list.GetHeaderCheckbox(0), 1);
    m_list.SetCheckbox(0, 0, 2);
    m_list.SetCheckbox(1, 0, 2);
    EXPECT_EQ(m_list.GetHeaderCheckbox(0), 1);
    m_list.SetCheckbox(2, 0, 2);
    EXPECT_EQ(m_list.GetHeaderCheckbox(0), 2) << "every row with a box is checked";
    m_list.SetCheckbox(1, 0, 1);
    EXPECT_EQ(m_list.GetHeaderCheckbox(0), 1);
    // A disabled box still counts.
    m_list.SetCheckbox(1, 0, 2);
    m_list.SetCheckboxEnabled(1, 0, FALSE);
    EXPECT_EQ(m_list.GetHeaderCheckbox(0), 2);
    // Deleting rows counts them out again.
    m_list.SetCheckbox(0, 0, 1);
    EXPECT_EQ(m_list.GetHeaderCheckbox(0), 1);
    EXPECT_TRUE(m_list.DeleteItem(0));
    EXPECT_EQ(m_list.GetHeaderCheckbox(0), 2);
    // An empty column is unchecked.
    EXPECT_TRUE(m_list.DeleteAllItems());
    EXPECT_EQ(m_list.GetHeaderCheckbox(0), 1);
    AddRows(2, 0);
    EXPECT_EQ(m_list.GetHeaderCheckbox(0), 1);
    // A column without a header box never gets one.
    m_list.SetCheckbox(0, 2, 2);
    EXPECT_EQ(m_list.GetHeaderCheckbox(2), 0);
}

TEST_F(XListTest, HeaderBoxFromTheColumnDescription)
{
    LVCOLUMN column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_IMAGE;
    column.pszText = (LPWSTR)L"";
    column.cx = 30;
    column.iImage = 2;
    ASSERT_EQ(m_list.InsertColumn(0, &column), 0);
    column.iImage = 0;
    ASSERT_EQ(m_list.InsertColumn(1, &column), 1);
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.iImage = 1;
    ASSERT_EQ(m_list.InsertColumn(2, &column), 2);
    EXPECT_EQ(m_list.GetHeaderCheckbox(0), 2);
    EXPECT_EQ(m_list.GetHeaderCheckbox(1), 0);
    EXPECT_EQ(m_list.GetHeaderCheckbox(2), 0) << "no image flag, no box";
    EXPECT_TRUE(m_list.GetXHeaderCtrl()->GetCheckboxRect(1).IsRectEmpty());
    EXPECT_FALSE(m_list.GetXHeaderCtrl()->GetCheckboxRect(0).IsRectEmpty());
    // Centring the column later keeps its box.
    LVCOLUMN format = {};
    format.mask = LVCF_FMT;
    format.fmt = LVCFMT_CENTER;
    EXPECT_TRUE(m_list.SetColumn(0, &format));
    EXPECT_EQ(m_list.GetHeaderCheckbox(0), 2);
    EXPECT_FALSE(m_list.GetXHeaderCtrl()->GetCheckboxRect(0).IsRectEmpty());
}

TEST_F(XListTest, RecordsFollowColumnsInsertedAndDeletedAfterRows)
{
    AddColumns(0);
    AddRows(3, 0);
    for (int i = 0; i < 3; ++i)
        m_list.SetCheckbox(i, 2, i == 1 ? 2 : 1);
    m_list.SetItemToolTipText(1, 2, L"path tip");

    // A new column in front: every row gets a default record there.
    LVCOLUMN column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_IMAGE;
    column.pszText = (LPWSTR)L"";
    column.cx = 25;
    column.iImage = 1;
    ASSERT_EQ(m_list.InsertColumn(0, &column), 0);
    EXPECT_EQ(m_list.GetColumnCount(), 4);
    EXPECT_EQ(States(0), (Ints{ 0, 0, 0 }));
    EXPECT_EQ(States(3), (Ints{ 1, 2, 1 }));
    EXPECT_EQ(m_list.GetItemToolTipText(1, 3), L"path tip");
    EXPECT_EQ(m_list.GetItemImage(2, 0), -1);
    EXPECT_EQ(m_list.GetHeaderCheckbox(0), 1);
    EXPECT_EQ(m_list.GetHeaderCheckbox(1), 0);

    // The new column's boxes are counted on their own.
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(m_list.SetCheckbox(i, 0, 2));
    EXPECT_EQ(m_list.GetHeaderCheckbox(0), 2);

    // A column in the middle, then one deleted: the rest stay with their cells.
    ASSERT_EQ(m_list.InsertColumn(2, L"Middle", LVCFMT_LEFT, 50), 2);
    EXPECT_EQ(States(4), (Ints{ 1, 2, 1 }));
    EXPECT_EQ(States(2), (Ints{ 0, 0, 0 }));
    EXPECT_TRUE(m_list.SetItemText(0, 4, L"still here"));
    EXPECT_TRUE(m_list.DeleteColumn(2));
    EXPECT_EQ(m_list.GetColumnCount(), 4);
    EXPECT_EQ(States(3), (Ints{ 1, 2, 1 }));
    EXPECT_EQ(States(0), (Ints{ 2, 2, 2 }));
    EXPECT_EQ(m_list.GetItemToolTipText(1, 3), L"path tip");
    EXPECT_FALSE(m_list.SetCheckbox(0, 4, 1));
}

TEST_F(XListTest, RecordsAreFreedOnEveryPathThatRemovesRows)
{
    long nBefore = CXListCtrl::GetLiveRecordCount();
    long nBoxesBefore = CXCheckBox::GetLiveCount();
    AddColumns();
    AddRows(5, 2);
    EXPECT_EQ(CXListCtrl::GetLiveRecordCount() - nBefore, 15);
    EXPECT_EQ(CXCheckBox::GetLiveCount() - nBoxesBefore, 5 + 1);  // rows and the header box

    EXPECT_TRUE(m_list.DeleteItem(4));
    CListCtrl& base = m_list;
    EXPECT_TRUE(base.DeleteItem(0));  // the plain list view call
    EXPECT_EQ(CXListCtrl::GetLiveRecordCount() - nBefore, 9);
    EXPECT_EQ(CXCheckBox::GetLiveCount() - nBoxesBefore, 3 + 1);
    EXPECT_EQ(States(0), (Ints{ 2, 2, 2 }));
    EXPECT_EQ(m_list.GetItemText(0, 1), L"row 1");

    EXPECT_TRUE(base.DeleteAllItems());
    EXPECT_EQ(CXListCtrl::GetLiveRecordCount(), nBefore);
    AddRows(4, 1);
    m_list.DestroyWindow();
    EXPECT_EQ(CXListCtrl::GetLiveRecordCount(), nBefore);
    EXPECT_EQ(CXCheckBox::GetLiveCount(), nBoxesBefore);

    // The same object makes a fresh list again.
    ASSERT_TRUE(m_list.Create(WS_CHILD | LVS_REPORT, CRect(0, 0, 200, 100), &m_wndHost, LIST_ID));
    AddColumns(1);
    AddRows(2, 2);
    EXPECT_EQ(m_list.GetHeaderCheckbox(0), 2);
    m_wndHost.DestroyWindow();  // the parent takes the list with it
    EXPECT_EQ(CXListCtrl::GetLiveRecordCount(), nBefore);
    EXPECT_EQ(CXCheckBox::GetLiveCount(), nBoxesBefore);
}

TEST_F(XListTest, ASubclassedListViewGetsItsHeaderAndRecords)
{
    HWND hList = ::CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | LVS_REPORT, 0, 0, 300, 200, m_wndHost.m_hWnd,
                                   (HMENU)1014, NULL, NULL);
    ASSERT_NE(hList, (HWND)NULL);
    LVCOLUMNW column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_IMAGE;
    column.pszText = (LPWSTR)L"";
    column.cx = 25;
    column.iImage = 1;
    ASSERT_EQ(::SendMessageW(hList, LVM_INSERTCOLUMNW, 0, (LPARAM)&column), 0);
    LVITEMW item = {};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.pszText = (LPWSTR)L"early";
    item.lParam = 42;
    ASSERT_EQ(::SendMessageW(hList, LVM_INSERTITEMW, 0, (LPARAM)&item), 0);

    CXListCtrl list;
    ASSERT_TRUE(list.SubclassWindow(hList));
    ASSERT_NE(list.GetXHeaderCtrl(), nullptr);
    EXPECT_EQ(list.GetColumnCount(), 1);
    EXPECT_EQ(list.GetHeaderCheckbox(0), 1);
    // The row from before keeps its item data and gets records.
    EXPECT_EQ(list.GetItemData(0), 42u);
    EXPECT_TRUE(list.SetCheckbox(0, 0, 2));
    EXPECT_EQ(list.GetCheckbox(0, 0), 2);
    EXPECT_EQ(list.GetHeaderCheckbox(0), 2);
    ASSERT_EQ(list.InsertItem(1, L"later"), 1);
    EXPECT_TRUE(list.SetCheckbox(1, 0, 1));
    EXPECT_EQ(list.GetHeaderCheckbox(0), 1);
    list.DestroyWindow();
}

TEST_F(XListTest, AListObjectThatGoesTakesItsWindowAndRecords)
{
    long nBefore = CXListCtrl::GetLiveRecordCount();
    long nBoxesBefore = CXCheckBox::GetLiveCount();
    HWND hList = NULL;
    HWND hHeader = NULL;
    {
        CXListCtrl list;
        ASSERT_TRUE(list.Create(WS_CHILD | LVS_REPORT, CRect(0, 0, 200, 100), &m_wndHost, 1015));
        hList = list.m_hWnd;
        LVCOLUMN column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_IMAGE;
        column.pszText = (LPWSTR)L"";
        column.cx = 25;
        column.iImage = 1;
        ASSERT_EQ(list.InsertColumn(0, &column), 0);
        ASSERT_NE(list.GetXHeaderCtrl(), nullptr);
        hHeader = list.GetXHeaderCtrl()->m_hWnd;
        for (int i = 0; i < 3; ++i)
        {
            ASSERT_EQ(list.InsertItem(i, L""), i);
            list.SetCheckbox(i, 0, 2);
        }
        EXPECT_EQ(CXListCtrl::GetLiveRecordCount() - nBefore, 3);
    }
    EXPECT_FALSE(::IsWindow(hList));
    EXPECT_FALSE(::IsWindow(hHeader));
    EXPECT_EQ(CXListCtrl::GetLiveRecordCount(), nBefore);
    EXPECT_EQ(CXCheckBox::GetLiveCount(), nBoxesBefore);
}
