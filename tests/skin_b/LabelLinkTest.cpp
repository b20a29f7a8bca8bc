#include "controls/skin/HyperlinkCtrl.h"
#include "controls/skin/TextLabel.h"
#include "tests/skin_b/TestIds.h"
#include "tests/skin_b/TestWindow.h"

#include <gtest/gtest.h>

namespace {

class CLinkTestDialog : public CDialog
{
public:
    CLinkTestDialog() : CDialog(IDD_SKINB_TEST) {}
    CTextLabel m_label;
    CHyperlinkCtrl m_link;
    CHyperlinkCtrl m_linkEmpty;
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        m_linkEmpty.SetURL(L"http://www.example.com/empty");
        m_label.SubclassDlgItem(IDC_TEST_LABEL, this);
        m_link.SubclassDlgItem(IDC_TEST_LINK, this);
        m_linkEmpty.SubclassDlgItem(IDC_TEST_LINK_EMPTY, this);
        return TRUE;
    }
};

struct LinkFixture : public ::testing::Test
{
    CLinkTestDialog dialog;
    void SetUp() override
    {
        AfxSetResourceHandle(::GetModuleHandleW(NULL));
        ASSERT_TRUE(dialog.Create(IDD_SKINB_TEST, NULL));
    }
    void TearDown() override
    {
        if (::IsWindow(dialog.m_hWnd))
            dialog.DestroyWindow();
    }
};

}  // namespace

TEST(Hyperlink, BrowserCommandIsCutAtItsPlaceholder)
{
    const CString strURL(L"http://www.example.com/a?b=c");
    EXPECT_EQ(CHyperlinkCtrl::BuildBrowserCommand(L"\"C:\\Browser\\browse.exe\" -nohome \"%1\"", strURL),
              CString(L"\"C:\\Browser\\browse.exe\" -nohome  ") + strURL);
    EXPECT_EQ(CHyperlinkCtrl::BuildBrowserCommand(L"browse.exe %1 -new", strURL), CString(L"browse.exe  ") + strURL);
    EXPECT_EQ(CHyperlinkCtrl::BuildBrowserCommand(L"browse.exe", strURL), CString(L"browse.exe ") + strURL);
    // Far longer than any fixed buffer would hold.
    CString strLong(L"\"C:\\");
    for (int i = 0; i < 60; ++i)
        strLong += L"Very Long Folder\\";
    strLong += L"browse.exe\" \"%1\"";
    CString strResult = CHyperlinkCtrl::BuildBrowserCommand(strLong, strURL);
    EXPECT_EQ(strResult.Right(strURL.GetLength()), strURL);
    EXPECT_GT(strResult.GetLength(), 1000);
    EXPECT_EQ(CHyperlinkCtrl::OpenURL(L"", SW_SHOW), 0);
}

TEST_F(LinkFixture, LinkTakesItsTextAsUrlAndShowsItsUrlWhenEmpty)
{
    EXPECT_EQ(dialog.m_link.GetURL(), CString(L"http://www.example.com/help"));
    CString strText;
    dialog.m_linkEmpty.GetWindowText(strText);
    EXPECT_EQ(strText, CString(L"http://www.example.com/empty"));
    EXPECT_TRUE(dialog.m_link.GetStyle() & SS_NOTIFY);
    EXPECT_FALSE(dialog.m_link.GetVisited());

    dialog.m_link.SetURL(L"http://www.example.com/other");
    dialog.m_link.SetTipText(L"");
    dialog.m_link.SetTipText(L"Help pages");
    dialog.m_link.SetLinkCursor(::LoadCursorW(NULL, IDC_HAND));
    dialog.m_link.SetColors(RGB(1, 2, 3), RGB(4, 5, 6));
    dialog.m_link.SetUnderline(FALSE);
    dialog.m_link.SetVisited(TRUE);
    EXPECT_TRUE(dialog.m_link.GetVisited());
    EXPECT_EQ(dialog.m_link.GetURL(), CString(L"http://www.example.com/other"));
    // The colour request answers with the link colours and a hollow brush.
    HDC hDC = ::GetDC(dialog.m_link.m_hWnd);
    HBRUSH hBrush = (HBRUSH)dialog.SendMessage(WM_CTLCOLORSTATIC, (WPARAM)hDC, (LPARAM)dialog.m_link.m_hWnd);
    EXPECT_EQ(hBrush, (HBRUSH)::GetStockObject(HOLLOW_BRUSH));
    EXPECT_EQ(::GetTextColor(hDC), RGB(4, 5, 6));
    ::ReleaseDC(dialog.m_link.m_hWnd, hDC);
}

TEST_F(LinkFixture, LabelStylesAndAlignment)
{
    CTextLabel& label = dialog.m_label;
    EXPECT_TRUE(label.GetStyle() & SS_NOTIFY);
    EXPECT_EQ(label.GetFaceName(), CString(L"Verdana"));
    EXPECT_EQ(label.GetTextHeight(), 14);
    EXPECT_EQ(label.GetAlignment(), (UINT)DT_LEFT);
    label.SetFont(L"Verdana", 14, RGB(0, 0, 0), 0x41);
    EXPECT_TRUE(label.IsBold());
    EXPECT_EQ(label.GetAlignment(), (UINT)DT_LEFT);
    label.SetStyle(TLS_CENTER | TLS_ITALIC);
    EXPECT_TRUE(label.IsBold());  // styles only add
    EXPECT_TRUE(label.IsItalic());
    EXPECT_EQ(label.GetAlignment(), (UINT)DT_CENTER);
    label.SetStyle(TLS_RIGHT);
    EXPECT_EQ(label.GetAlignment(), (UINT)DT_RIGHT);
    label.SetFont(L"Verdana", 13, RGB(200, 0, 0), 0x40);
    EXPECT_EQ(label.GetAlignment(), (UINT)DT_LEFT);
    EXPECT_EQ(label.GetTextColor(), RGB(200, 0, 0));
}

TEST_F(LinkFixture, LabelPaintsItsTextAndNewTextReplacesTheOld)
{
    CTextLabel& label = dialog.m_label;
    label.SetFont(L"Verdana", 14, RGB(0, 0, 0), 0x41);
    auto darkPixels = [&]() {
        label.RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
        CRect rect;
        label.GetClientRect(&rect);
        HDC hDC = ::GetDC(label.m_hWnd);
        int nDark = 0;
        for (int y = 0; y < rect.Height(); ++y)
            for (int x = 0; x < rect.Width(); ++x)
                if (GetRValue(::GetPixel(hDC, x, y)) < 80)
                    ++nDark;
        ::ReleaseDC(label.m_hWnd, hDC);
        return nDark;
    };
    int nLong = darkPixels();
    EXPECT_GT(nLong, 20);
    label.SetWindowText(L"I");
    EXPECT_TRUE(label.IsWindowVisible());
    dialog.UpdateWindow();
    int nShort = darkPixels();
    EXPECT_GT(nShort, 0);
    EXPECT_LT(nShort, nLong / 3);
    label.ShowWindow(SW_HIDE);
    label.SetWindowText(L"Hidden stays hidden");
    EXPECT_FALSE(label.IsWindowVisible());
    CString strText;
    label.GetWindowText(strText);
    EXPECT_EQ(strText, CString(L"Hidden stays hidden"));
}
