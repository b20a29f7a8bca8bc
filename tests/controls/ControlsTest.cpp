#include "ControlHost.h"

#include "tests/support/TestSupport.h"

#include <vector>

namespace {

// Item data with the top bit of its own width set, above any small number: a comparison that
// narrows it to 32 bits (64-bit build) or takes it as signed (32-bit build) puts it first.
const DWORD_PTR kWideData = sizeof(DWORD_PTR) == 8 ? (DWORD_PTR)0x8000000100000002ull : (DWORD_PTR)0x80000002u;

class ControlsTest : public ControlHostTest
{
};

// An owner-drawn combo as the language choice is built: fixed height, strings.
class CDrawnCombo : public CComboBox
{
public:
    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override
    {
        m_arrDrawn.push_back((int)lpDrawItemStruct->itemID);
    }
    void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct) override
    {
        lpMeasureItemStruct->itemHeight = 23;
        ++m_nMeasured;
    }
    std::vector<int> m_arrDrawn;
    int m_nMeasured = 0;
};

// Items are numbers in the item data; the control asks us for their order.
class CNumberListBox : public CListBox
{
public:
    int CompareItem(LPCOMPAREITEMSTRUCT lpCompare) override
    {
        ++m_nCompared;
        return lpCompare->itemData1 < lpCompare->itemData2 ? -1 : lpCompare->itemData1 > lpCompare->itemData2 ? 1 : 0;
    }
    void DeleteItem(LPDELETEITEMSTRUCT lpDelete) override { m_arrDeleted.push_back(lpDelete->itemData); }
    int m_nCompared = 0;
    std::vector<ULONG_PTR> m_arrDeleted;
};

} // namespace

TEST_F(ControlsTest, ComboItemDataFindAndTextForms)
{
    CComboBox combo;
    ASSERT_TRUE(combo.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST | WS_VSCROLL, CRect(10, 10, 200, 200), &m_wndHost, 1029));
    EXPECT_EQ(combo.AddString(L"English"), 0);
    EXPECT_EQ(combo.AddString(L"Deutsch"), 1);
    EXPECT_EQ(combo.InsertString(1, L"Englisch (UK)"), 1);
    EXPECT_EQ(combo.GetCount(), 3);

    EXPECT_NE(combo.SetItemData(2, kWideData), CB_ERR);
    EXPECT_EQ(combo.SetItemData(7, 1), CB_ERR);
    EXPECT_EQ(combo.GetItemData(2), kWideData);
    EXPECT_EQ(combo.GetItemData(7), (DWORD_PTR)CB_ERR);

    // Prefix and case-insensitive match against a whole-text match.
    EXPECT_EQ(combo.FindString(-1, L"engl"), 0);
    EXPECT_EQ(combo.FindString(0, L"engl"), 1);
    EXPECT_EQ(combo.FindStringExact(-1, L"deutsch"), 2);
    EXPECT_EQ(combo.FindStringExact(-1, L"Deut"), CB_ERR);
    EXPECT_EQ(combo.SelectString(-1, L"Deu"), 2);
    EXPECT_EQ(combo.GetCurSel(), 2);

    CString strText;
    combo.GetLBText(1, strText);
    EXPECT_STREQ(strText, L"Englisch (UK)");
    EXPECT_EQ(combo.GetLBTextLen(1), 13);
    strText = L"stale";
    combo.GetLBText(9, strText);
    EXPECT_STREQ(strText, L"");

    EXPECT_EQ(combo.DeleteString(0), 2);
    EXPECT_EQ(combo.DeleteString(5), CB_ERR);
    EXPECT_EQ(combo.SetCurSel(-1), CB_ERR);
    EXPECT_EQ(combo.GetCurSel(), CB_ERR);
    combo.ResetContent();
    EXPECT_EQ(combo.GetCount(), 0);
}

TEST_F(ControlsTest, OwnerDrawnComboIsMeasuredAndDrawnThroughItsObject)
{
    CDrawnCombo combo;
    ASSERT_TRUE(combo.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS,
                             CRect(10, 10, 200, 200), &m_wndHost, 1029));
    EXPECT_GT(combo.m_nMeasured, 0);
    EXPECT_EQ(combo.GetItemHeight(0), 23);
    combo.AddString(L"English");
    combo.SetCurSel(0);
    ::ShowWindow(m_wndHost.m_hWnd, SW_SHOWNOACTIVATE);  // only a shown combo paints
    combo.RedrawWindow();
    EXPECT_TRUE(testsupport::WaitFor([&] { return !combo.m_arrDrawn.empty(); }, 10000));
    ASSERT_FALSE(combo.m_arrDrawn.empty());
    EXPECT_EQ(combo.m_arrDrawn.back(), 0);
}

TEST_F(ControlsTest, OwnerDrawnListBoxAnswersCompareAndDeleteOfferedByItsParent)
{
    CNumberListBox list;
    ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LBS_OWNERDRAWFIXED | LBS_SORT, CRect(10, 10, 200, 200),
                            &m_wndHost, 1013));
    // What the parent hands on when the list box asks it (WM_COMPAREITEM, WM_DELETEITEM).
    COMPAREITEMSTRUCT compare = {};
    compare.CtlType = ODT_LISTBOX;
    compare.hwndItem = list.m_hWnd;
    compare.itemData1 = 30;
    compare.itemData2 = 10;
    LRESULT lResult = 0;
    EXPECT_TRUE(list.OnChildNotify(WM_COMPAREITEM, 1013, (LPARAM)&compare, &lResult));
    EXPECT_EQ(lResult, 1);
    compare.itemData1 = 10;
    compare.itemData2 = (ULONG_PTR)kWideData;
    EXPECT_TRUE(list.OnChildNotify(WM_COMPAREITEM, 1013, (LPARAM)&compare, &lResult));
    EXPECT_EQ(lResult, -1);

    DELETEITEMSTRUCT deleted = {};
    deleted.CtlType = ODT_LISTBOX;
    deleted.hwndItem = list.m_hWnd;
    deleted.itemData = (ULONG_PTR)kWideData;
    EXPECT_TRUE(list.OnChildNotify(WM_DELETEITEM, 1013, (LPARAM)&deleted, &lResult));
    EXPECT_EQ(list.m_arrDeleted, (std::vector<ULONG_PTR>{ (ULONG_PTR)kWideData }));

    // Anything else still takes the framework's way.
    EXPECT_FALSE(list.OnChildNotify(WM_COMMAND, MAKEWPARAM(1013, LBN_SELCHANGE), (LPARAM)list.m_hWnd, NULL));
}

TEST_F(ControlsTest, ListBoxSelectionsTextAndItemData)
{
    CListBox list;
    ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LBS_EXTENDEDSEL | LBS_NOTIFY | WS_VSCROLL, CRect(10, 10, 200, 200),
                            &m_wndHost, 1013));
    for (LPCWSTR psz : { L"alpha", L"beta", L"gamma", L"Beta two" })
        list.AddString(psz);
    EXPECT_NE(list.SetItemData(3, kWideData), LB_ERR);
    EXPECT_EQ(list.GetItemData(3), kWideData);
    EXPECT_EQ(list.GetItemData(4), (DWORD_PTR)LB_ERR);

    EXPECT_EQ(list.FindString(-1, L"BETA"), 1);
    EXPECT_EQ(list.FindString(1, L"beta"), 3);
    EXPECT_EQ(list.FindStringExact(-1, L"beta two"), 3);
    EXPECT_EQ(list.FindStringExact(-1, L"bet"), LB_ERR);

    CString strText;
    list.GetText(2, strText);
    EXPECT_STREQ(strText, L"gamma");
    strText = L"stale";
    list.GetText(-1, strText);
    EXPECT_STREQ(strText, L"");

    list.SetSel(0);
    list.SetSel(2);
    EXPECT_EQ(list.GetSelCount(), 2);
    int arrSel[4] = { -1, -1, -1, -1 };
    EXPECT_EQ(list.GetSelItems(4, arrSel), 2);
    EXPECT_EQ(arrSel[0], 0);
    EXPECT_EQ(arrSel[1], 2);
    EXPECT_GT(list.GetSel(2), 0);
    EXPECT_EQ(list.GetSel(1), 0);
    list.SetSel(-1, FALSE);
    EXPECT_EQ(list.GetSelCount(), 0);

    CRect rcItem;
    ASSERT_NE(list.GetItemRect(2, &rcItem), LB_ERR);
    BOOL bOutside = TRUE;
    EXPECT_EQ(list.ItemFromPoint(rcItem.CenterPoint(), bOutside), 2u);
    EXPECT_FALSE(bOutside);
    EXPECT_EQ(list.GetItemHeight(0), rcItem.Height());
    EXPECT_EQ(list.DeleteString(0), 3);
}

TEST_F(ControlsTest, EditLinesAndSelection)
{
    CEdit edit;
    ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_AUTOVSCROLL, CRect(10, 10, 300, 200), &m_wndHost, 1050));
    edit.SetWindowText(L"first\r\nsecond line\r\nthird");
    EXPECT_EQ(edit.GetLineCount(), 3);
    wchar_t szLine[32];
    EXPECT_EQ(edit.GetLine(1, szLine, 32), 11);
    EXPECT_STREQ(szLine, L"second line");
    EXPECT_EQ(edit.GetLine(1, szLine, 4), 4);  // cut to the buffer, no room for a terminator
    EXPECT_EQ(edit.GetLine(1, szLine, 0), 0);

    edit.SetSel(7, 13);
    int nStart = 0, nEnd = 0;
    edit.GetSel(nStart, nEnd);
    EXPECT_EQ(nStart, 7);
    EXPECT_EQ(nEnd, 13);
    EXPECT_EQ(edit.GetSel(), (DWORD)MAKELONG(7, 13));
    edit.ReplaceSel(L"2nd", TRUE);
    CString strText;
    edit.GetWindowText(strText);
    EXPECT_STREQ(strText, L"first\r\n2nd line\r\nthird");
    EXPECT_TRUE(edit.CanUndo());
    EXPECT_TRUE(edit.Undo());
    edit.GetWindowText(strText);
    EXPECT_STREQ(strText, L"first\r\nsecond line\r\nthird");

}

TEST_F(ControlsTest, ButtonCheckStyleAndImage)
{
    CButton check;
    ASSERT_TRUE(check.Create(L"Run at startup", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, CRect(10, 10, 200, 30),
                             &m_wndHost, 1009));
    EXPECT_EQ(check.GetCheck(), BST_UNCHECKED);
    check.SendMessage(BM_CLICK);
    EXPECT_EQ(check.GetCheck(), BST_CHECKED);
    check.SetCheck(BST_UNCHECKED);
    EXPECT_EQ(check.GetCheck(), BST_UNCHECKED);
    EXPECT_EQ(check.GetButtonStyle() & BS_TYPEMASK, (UINT)BS_AUTOCHECKBOX);

    CButton push;
    ASSERT_TRUE(push.Create(L"", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON | BS_BITMAP, CRect(10, 40, 100, 70), &m_wndHost, 1001));
    push.SetButtonStyle(BS_DEFPUSHBUTTON | BS_BITMAP);
    EXPECT_EQ(push.GetButtonStyle() & BS_TYPEMASK, (UINT)BS_DEFPUSHBUTTON);
    HBITMAP hBitmap = ::CreateBitmap(8, 8, 1, 32, NULL);
    EXPECT_EQ(push.SetBitmap(hBitmap), (HBITMAP)NULL);
    EXPECT_EQ(push.GetBitmap(), hBitmap);
    EXPECT_EQ(push.SetBitmap(NULL), hBitmap);
    ::DeleteObject(hBitmap);
}

TEST_F(ControlsTest, ProgressRangeAndPosition)
{
    CProgressCtrl progress;
    ASSERT_TRUE(progress.Create(WS_CHILD | WS_VISIBLE, CRect(10, 10, 300, 30), &m_wndHost, 5107));
    // A range past 16 bits needs the 32-bit form.
    progress.SetRange32(0, 200000);
    int nLower = -1, nUpper = -1;
    progress.GetRange(nLower, nUpper);
    EXPECT_EQ(nLower, 0);
    EXPECT_EQ(nUpper, 200000);
    EXPECT_EQ(progress.SetPos(150000), 0);
    EXPECT_EQ(progress.GetPos(), 150000);
    EXPECT_EQ(progress.OffsetPos(10000), 150000);
    EXPECT_EQ(progress.GetPos(), 160000);
    progress.SetPos(500000);
    EXPECT_EQ(progress.GetPos(), 200000);  // clamped to the range

}

TEST_F(ControlsTest, ToolTipToolsCountTextAndRemoval)
{
    CToolTipCtrl tip;
    ASSERT_TRUE(tip.Create(&m_wndHost, TTS_ALWAYSTIP));
    EXPECT_EQ(tip.GetToolCount(), 0);

    CButton button;
    ASSERT_TRUE(button.Create(L"Help", WS_CHILD | WS_VISIBLE, CRect(10, 10, 100, 40), &m_wndHost, 1025));
    CRect rcTool(0, 0, 50, 20);
    EXPECT_TRUE(tip.AddTool(&button, L"Help me", &rcTool, 1));
    EXPECT_TRUE(tip.AddTool(&button, L"Whole button"));
    EXPECT_FALSE(tip.AddTool(NULL, L"nobody"));
    EXPECT_EQ(tip.GetToolCount(), 2);

    CString strText;
    tip.GetText(strText, &button, 1);
    EXPECT_STREQ(strText, L"Help me");
    tip.UpdateTipText(L"Check Update", &button, 1);
    tip.GetText(strText, &button, 1);
    EXPECT_STREQ(strText, L"Check Update");
    tip.GetText(strText, &button);
    EXPECT_STREQ(strText, L"Whole button");

    TOOLINFO ti;
    ASSERT_TRUE(tip.GetToolInfo(&ti, &button, 1));
    EXPECT_EQ(CRect(ti.rect), rcTool);
    EXPECT_FALSE(tip.GetToolInfo(&ti, &button, 99));
    tip.GetText(strText, &button, 99);
    EXPECT_STREQ(strText, L"");

    tip.DelTool(&button, 1);
    EXPECT_EQ(tip.GetToolCount(), 1);
}

TEST_F(ControlsTest, RichEditCharFormatRoundTripAndText)
{
    CRichEditCtrl edit;
    ASSERT_TRUE(edit.Create(WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_READONLY, CRect(10, 10, 400, 200), &m_wndHost, 1165));
    edit.SetWindowText(L"");
    edit.SetSel(0, -1);

    CHARFORMAT2W cfBold = {};
    cfBold.dwMask = CFM_BOLD | CFM_COLOR;
    cfBold.dwEffects = CFE_BOLD;
    cfBold.crTextColor = RGB(0, 0, 192);
    EXPECT_TRUE(edit.SetSelectionCharFormat(cfBold));
    edit.ReplaceSel(L"Description: ");
    long nStart = 0, nEnd = 0;
    edit.GetSel(nStart, nEnd);
    EXPECT_EQ(nStart, 13);
    EXPECT_EQ(nEnd, 13);

    CHARFORMAT2W cfPlain = {};
    cfPlain.dwMask = CFM_BOLD | CFM_COLOR;
    cfPlain.dwEffects = 0;
    cfPlain.crTextColor = RGB(0, 0, 0);
    EXPECT_TRUE(edit.SetSelectionCharFormat(cfPlain));
    edit.ReplaceSel(L"a patch\n");

    EXPECT_STREQ(edit.GetTextRange(0, 12), L"Description:");
    EXPECT_STREQ(edit.GetTextRange(5, 2), L"");

    CHARFORMAT2W cfRead = {};
    edit.SetSel(0, 5);
    EXPECT_STREQ(edit.GetSelText(), L"Descr");
    DWORD dwSame = edit.GetSelectionCharFormat(cfRead);
    EXPECT_NE(dwSame & CFM_BOLD, 0u);
    EXPECT_NE(cfRead.dwEffects & CFE_BOLD, 0u);
    EXPECT_EQ(cfRead.crTextColor, RGB(0, 0, 192));

    edit.SetSel(14, 18);
    cfRead = {};
    edit.GetSelectionCharFormat(cfRead);
    EXPECT_EQ(cfRead.dwEffects & CFE_BOLD, 0u);
    EXPECT_EQ(cfRead.crTextColor, RGB(0, 0, 0));

    // Over both runs the bold attribute is no longer the same everywhere.
    edit.SetSel(0, -1);
    dwSame = edit.GetSelectionCharFormat(cfRead);
    EXPECT_EQ(dwSame & CFM_BOLD, 0u);

    EXPECT_GE(edit.GetTextLength(), 21);
    EXPECT_GE(edit.GetLineCount(), 2);
}
