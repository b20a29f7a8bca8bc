// The privacy library's list and button: the same classes as the optimizer's,
// with the privacy style's differences.
#include "optimizer/shared/MyListCtrl.h"
#include "optimizer/shared/NButtonEx.h"
#include "tests/privacy_ui/PrivacyUiSupport.h"

using namespace privtest;

namespace {
// Records what a tooltip is told to do with its activation.
WNDPROC s_pfnTipProc = NULL;
std::vector<WPARAM> s_activations;
LRESULT CALLBACK TipSpy(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    if (nMsg == TTM_ACTIVATE)
        s_activations.push_back(wParam);
    return ::CallWindowProcW(s_pfnTipProc, hWnd, nMsg, wParam, lParam);
}

void ClickHeader(CWnd& host, CMyListCtrl& list, int nColumn)
{
    NMLISTVIEW nm = {};
    nm.hdr.hwndFrom = list.m_hWnd;
    nm.hdr.idFrom = list.GetDlgCtrlID();
    nm.hdr.code = LVN_COLUMNCLICK;
    nm.iItem = -1;
    nm.iSubItem = nColumn;
    host.SendMessage(WM_NOTIFY, nm.hdr.idFrom, (LPARAM)&nm);
}
} // namespace

TEST(PrivacyList, HeaderClickKeepsOrderAndRowDataWhileTheOptimizersSorts)
{
    HostWindow host;
    CMyListCtrl privacy(CMyListCtrl::STYLE_PRIVACY);
    CMyListCtrl optimizer;
    privacy.AddColumnRecord(L"Name", 100);
    optimizer.AddColumnRecord(L"Name", 100);
    ASSERT_TRUE(privacy.Create(WS_CHILD | WS_VISIBLE | LVS_SHOWSELALWAYS, CRect(10, 10, 300, 200), &host, 10001));
    ASSERT_TRUE(optimizer.Create(WS_CHILD | WS_VISIBLE, CRect(310, 10, 600, 200), &host, 10002));
    EXPECT_EQ(privacy.GetSelectedIndex(), -1) << "empty list";
    const wchar_t* names[] = {L"b", L"c", L"a"};
    for (int i = 0; i < 3; i++)
    {
        privacy.InsertItem(i, names[i]);
        privacy.SetItemData(i, (DWORD_PTR)(i == 1));  // the row kind
        optimizer.InsertItem(i, names[i]);
    }
    EXPECT_EQ(privacy.GetSelectedIndex(), -1) << "rows, none selected";
    ClickHeader(host, privacy, 0);
    ClickHeader(host, optimizer, 0);
    EXPECT_EQ(privacy.GetItemText(0, 0), CString(L"b"));
    EXPECT_EQ(privacy.GetItemText(2, 0), CString(L"a"));
    EXPECT_EQ(privacy.GetItemData(1), (DWORD_PTR)1) << "the kind stays";
    EXPECT_EQ(privacy.GetItemData(2), (DWORD_PTR)0);
    EXPECT_EQ(optimizer.GetItemText(0, 0), CString(L"a")) << "the optimizer's list still sorts";

    privacy.SetItemState(2, LVIS_SELECTED, LVIS_SELECTED);
    privacy.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
    EXPECT_EQ(privacy.GetSelectedIndex(), 1) << "the first selected row";
}

TEST(PrivacyButton, CreatedAtRunTimeOwnerDrawnOnlyForDrawingModes)
{
    HostWindow host;
    CNButtonEx bitmaps(CNButtonEx::STYLE_PRIVACY), plain(CNButtonEx::STYLE_PRIVACY);
    ASSERT_TRUE(bitmaps.Create(L"Scan", WS_CHILD | WS_VISIBLE, 2, CRect(10, 10, 114, 37), &host, 15001));
    ASSERT_TRUE(plain.Create(L"Plain", WS_CHILD | WS_VISIBLE, 0, CRect(10, 50, 114, 77), &host, 15002));
    EXPECT_EQ(bitmaps.GetStyle() & BS_TYPEMASK, (DWORD)BS_OWNERDRAW);
    EXPECT_NE(plain.GetStyle() & BS_TYPEMASK, (DWORD)BS_OWNERDRAW);
    CString strText;
    bitmaps.GetWindowText(strText);
    EXPECT_EQ(strText, CString(L"Scan")) << "the caption is kept";
}

TEST(PrivacyButton, TooltipActivatedAgainBeforeEachRelayedMouseMessage)
{
    HostWindow host;
    CNButtonEx privacy(CNButtonEx::STYLE_PRIVACY), optimizer;
    ASSERT_TRUE(privacy.Create(L"", WS_CHILD | WS_VISIBLE, 2, CRect(10, 10, 114, 37), &host, 15001));
    ASSERT_TRUE(optimizer.Create(L"", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, CRect(10, 50, 114, 77), &host, 15002));
    CNButtonEx* const buttons[2] = {&privacy, &optimizer};
    std::vector<WPARAM> seen[2];
    for (int i = 0; i < 2; i++)
    {
        s_activations.clear();
        buttons[i]->SetTooltipText(L"Scan the checked items", TRUE);
        HWND hTip = buttons[i]->GetToolTip().m_hWnd;
        ASSERT_NE(hTip, (HWND)NULL);
        s_pfnTipProc = (WNDPROC)::SetWindowLongPtrW(hTip, GWLP_WNDPROC, (LONG_PTR)&TipSpy);
        // Another part of the program switches the tooltip off.
        buttons[i]->GetToolTip().Activate(FALSE);
        s_activations.clear();
        MSG msg = {buttons[i]->m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5)};
        buttons[i]->RelayEvent(&msg);
        msg.message = WM_LBUTTONDOWN;
        buttons[i]->RelayEvent(&msg);
        msg.message = WM_KEYDOWN;
        buttons[i]->RelayEvent(&msg);
        seen[i] = s_activations;
        ::SetWindowLongPtrW(hTip, GWLP_WNDPROC, (LONG_PTR)s_pfnTipProc);
    }
    EXPECT_EQ(seen[0], (std::vector<WPARAM>{TRUE, TRUE})) << "mouse messages only";
    EXPECT_TRUE(seen[1].empty()) << "the optimizer's button leaves activation to its owner";

    // A disabled tooltip relays nothing and is not woken.
    s_activations.clear();
    privacy.SetTooltipText(L"off", FALSE);
    HWND hTip = privacy.GetToolTip().m_hWnd;
    s_pfnTipProc = (WNDPROC)::SetWindowLongPtrW(hTip, GWLP_WNDPROC, (LONG_PTR)&TipSpy);
    MSG msg = {privacy.m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(5, 5)};
    privacy.RelayEvent(&msg);
    ::SetWindowLongPtrW(hTip, GWLP_WNDPROC, (LONG_PTR)s_pfnTipProc);
    EXPECT_TRUE(s_activations.empty());
}
