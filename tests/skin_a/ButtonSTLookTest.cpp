#include "tests/skin_a/SkinTestDialog.h"

#include <gtest/gtest.h>

namespace {

class ButtonSTLookTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(ShowSkinTestDialog(m_dlg)); }
    void TearDown() override { m_dlg.DestroyWindow(); }

    LPARAM Centre(CWnd& wnd)
    {
        CRect rc;
        wnd.GetClientRect(&rc);
        return MAKELPARAM(rc.Width() / 2, rc.Height() / 2);
    }

    CSkinTestDialog m_dlg;
};

} // namespace

TEST_F(ButtonSTLookTest, AutomaticGreyImageForTheNormalState)
{
    CButtonST& btn = m_dlg.m_btnScan;
    ASSERT_EQ(btn.SetBitmaps(IDB_TEST_SCAN_HOT, RGB(255, 0, 255), BTNST_AUTO_GRAY, 0), (DWORD)BTNST_OK);
    btn.UpdateWindow();
    CRect rc;
    btn.GetClientRect(&rc);
    COLORREF cr = WindowPixel(btn.m_hWnd, 3 + 8, rc.Height() / 2 - 16 + 24);
    EXPECT_EQ(GetRValue(cr), GetGValue(cr));
    EXPECT_EQ(GetGValue(cr), GetBValue(cr));
    btn.SendMessage(WM_MOUSEMOVE, 0, Centre(btn));
    btn.UpdateWindow();
    cr = WindowPixel(btn.m_hWnd, 3 + 8, rc.Height() / 2 - 16 + 24);
    EXPECT_GT(GetBValue(cr), GetRValue(cr) + 60);
}

TEST_F(ButtonSTLookTest, FlatButtonBorderOnlyWhenAskedFor)
{
    CButtonST& btn = m_dlg.m_btnScan;
    CRect rc;
    btn.GetClientRect(&rc);
    // Border off (as the pages set it): nothing at the edge while hovered.
    btn.SendMessage(WM_MOUSEMOVE, 0, Centre(btn));
    btn.UpdateWindow();
    EXPECT_EQ(WindowPixel(btn.m_hWnd, rc.Width() / 2, rc.Height() - 1), RGB(255, 255, 255));
    btn.DrawBorder(TRUE, TRUE);
    btn.UpdateWindow();
    EXPECT_EQ(WindowPixel(btn.m_hWnd, rc.Width() / 2, rc.Height() - 1), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(WindowPixel(btn.m_hWnd, rc.Width() / 2, 0), GetSysColor(COLOR_BTNHILIGHT));
}

TEST_F(ButtonSTLookTest, FocusedDefaultNonFlatButtonGetsABlackFrame)
{
    CButtonST& btn = m_dlg.m_btnAbort;
    btn.SendMessage(BM_SETSTYLE, BS_DEFPUSHBUTTON, TRUE);
    btn.SetFocus();
    btn.UpdateWindow();
    CRect rc;
    btn.GetClientRect(&rc);
    EXPECT_EQ(WindowPixel(btn.m_hWnd, 0, rc.Height() / 2), RGB(0, 0, 0));
    // Inside the frame the raised edge, then the white face.
    EXPECT_EQ(WindowPixel(btn.m_hWnd, 1, rc.Height() / 2), GetSysColor(COLOR_BTNHILIGHT));
    EXPECT_EQ(WindowPixel(btn.m_hWnd, 5, rc.Height() / 2), RGB(255, 255, 255));
}

TEST_F(ButtonSTLookTest, HoveredCheckBoxGetsTheWarmFace)
{
    CButtonST& chk = m_dlg.m_chkFonts;
    CRect rc;
    chk.GetClientRect(&rc);
    int nTop = (rc.Height() - 13) / 2;
    EXPECT_EQ(WindowPixel(chk.m_hWnd, 0, nTop), GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(WindowPixel(chk.m_hWnd, 6, nTop + 6), GetSysColor(COLOR_3DHILIGHT));
    chk.SendMessage(WM_MOUSEMOVE, 0, Centre(chk));
    chk.UpdateWindow();
    // Face top-left corner (1,1) inside the frame, then the warm frame.
    EXPECT_EQ(WindowPixel(chk.m_hWnd, 1, nTop + 1), RGB(254, 255, 255));
    EXPECT_EQ(WindowPixel(chk.m_hWnd, 3, nTop + 2), RGB(254, 220, 139));
    EXPECT_EQ(WindowPixel(chk.m_hWnd, 11, nTop + 11), RGB(255, 203, 121));
    EXPECT_EQ(chk.GetCheck(), 0);
}

TEST_F(ButtonSTLookTest, DisablingHandsTheFocusOnOnlyFromItself)
{
    m_dlg.m_btnAbort.SetFocus();
    m_dlg.m_btnScan.EnableWindow(FALSE);
    EXPECT_EQ(CWnd::GetFocus(), &m_dlg.m_btnAbort);
    m_dlg.m_btnScan.EnableWindow(TRUE);
    m_dlg.m_btnScan.SetFocus();
    m_dlg.m_btnScan.EnableWindow(FALSE);
    EXPECT_NE(CWnd::GetFocus(), &m_dlg.m_btnScan);
    EXPECT_NE(CWnd::GetFocus(), (CWnd*)NULL);
}

TEST(ImageDrawing, TransparentAndDisabledKeepTheBackground)
{
    CClientDC screen(NULL);
    CDC src, dest;
    ASSERT_TRUE(src.CreateCompatibleDC(&screen));
    ASSERT_TRUE(dest.CreateCompatibleDC(&screen));
    CBitmap bmpSrc, bmpDest;
    bmpSrc.CreateCompatibleBitmap(&screen, 4, 4);
    bmpDest.CreateCompatibleBitmap(&screen, 12, 12);
    CBitmap* pOldSrc = src.SelectObject(&bmpSrc);
    CBitmap* pOldDest = dest.SelectObject(&bmpDest);
    src.FillSolidRect(0, 0, 4, 4, RGB(255, 0, 255));
    src.FillSolidRect(1, 1, 2, 2, RGB(10, 20, 200));

    dest.FillSolidRect(0, 0, 12, 12, RGB(0, 128, 0));
    CButtonVE_Image::DrawBitmapTransparent(&dest, &src, 2, 2, 4, 4, RGB(255, 0, 255));
    EXPECT_EQ(dest.GetPixel(2, 2), RGB(0, 128, 0));
    EXPECT_EQ(dest.GetPixel(3, 3), RGB(10, 20, 200));

    dest.FillSolidRect(0, 0, 12, 12, RGB(0, 128, 0));
    CButtonVE_Image::DrawBitmapDisabled(&dest, &src, 2, 2, 4, 4, RGB(255, 0, 255));
    EXPECT_EQ(dest.GetPixel(2, 2), RGB(0, 128, 0));
    // Embossed: the shadow colour in place, the light one below right.
    EXPECT_EQ(dest.GetPixel(3, 3), GetSysColor(COLOR_3DSHADOW));
    EXPECT_EQ(dest.GetPixel(5, 5), GetSysColor(COLOR_3DHILIGHT));

    dest.FillSolidRect(0, 0, 12, 12, RGB(200, 200, 200));
    CButtonVE_Image::DrawBitmapShadow(&dest, &src, 2, 2, 4, 4, RGB(255, 0, 255));
    // Darker under the shape, untouched far from it.
    EXPECT_LT(GetRValue(dest.GetPixel(5, 5)), 200);
    EXPECT_EQ(dest.GetPixel(2, 2), RGB(200, 200, 200));

    src.SelectObject(pOldSrc);
    dest.SelectObject(pOldDest);
}
