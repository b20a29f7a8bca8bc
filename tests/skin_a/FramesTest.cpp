#include "tests/skin_a/SkinTestDialog.h"

#include "controls/skin/MemDC.h"
#include "controls/skin/XPColors.h"

#include <gtest/gtest.h>

namespace {

class FramesTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(ShowSkinTestDialog(m_dlg)); }
    void TearDown() override { m_dlg.DestroyWindow(); }
    CSkinTestDialog m_dlg;
};

bool IsVisible(CWnd& parent, int nID)
{
    return ::IsWindowVisible(::GetDlgItem(parent.m_hWnd, nID)) != FALSE;
}

} // namespace

TEST_F(FramesTest, CaptionBarTakesOverTheText)
{
    CCaptionBar& bar = m_dlg.m_captionBar;
    EXPECT_EQ(bar.GetCaption(), CString(L"Scan Status"));
    EXPECT_EQ(bar.GetWindowTextLength(), 0);
    EXPECT_EQ(bar.GetBackColor(), RGB(255, 255, 255));

    // Frame line 6 pixels down in the grey of the frame, with a cut corner.
    CRect rc;
    bar.GetClientRect(&rc);
    EXPECT_EQ(WindowPixel(bar.m_hWnd, rc.Width() / 2, 6), RGB(179, 179, 179));
    EXPECT_EQ(WindowPixel(bar.m_hWnd, 0, rc.Height() / 2), RGB(179, 179, 179));
    EXPECT_NE(WindowPixel(bar.m_hWnd, 0, 6), RGB(179, 179, 179));
    // The right and bottom lines are inside the control, not clipped away.
    EXPECT_EQ(WindowPixel(bar.m_hWnd, rc.Width() - 1, rc.Height() / 2), RGB(179, 179, 179));
    EXPECT_EQ(WindowPixel(bar.m_hWnd, rc.Width() / 2, rc.Height() - 1), RGB(179, 179, 179));
    // The caption is drawn in the highlight colour over its white patch.
    bool bCaption = false;
    for (int x = 6; x < 60; x++)
        for (int y = 7; y < 20; y++)
        {
            COLORREF cr = WindowPixel(bar.m_hWnd, x, y);
            bCaption = bCaption || (cr != RGB(255, 255, 255) && GetBValue(cr) > GetRValue(cr) + 40);
        }
    EXPECT_TRUE(bCaption);

    bar.SendMessage(WM_SYSCOLORCHANGE);
    EXPECT_EQ(bar.GetBackColor(), GetSysColor(COLOR_BTNFACE));
}

TEST_F(FramesTest, CaptionBarShowsAndHidesWhatItFrames)
{
    m_dlg.m_captionBar.ShowWithContents(SW_HIDE);
    EXPECT_FALSE(IsVisible(m_dlg, IDC_TEST_INSIDE));
    EXPECT_FALSE(IsVisible(m_dlg, IDC_TEST_CAPTION));
    EXPECT_TRUE(IsVisible(m_dlg, IDC_TEST_OUTSIDE));
    EXPECT_TRUE(IsVisible(m_dlg, IDC_TEST_TASK));
    m_dlg.m_captionBar.ShowWithContents(SW_SHOW);
    EXPECT_TRUE(IsVisible(m_dlg, IDC_TEST_INSIDE));
    EXPECT_TRUE(IsVisible(m_dlg, IDC_TEST_CAPTION));
}

TEST_F(FramesTest, CaptionBarWithoutTextStillHasItsPatch)
{
    CCaptionBar& bar = m_dlg.m_captionBar;
    bar.SetCaption(L"");
    bar.UpdateWindow();
    // The patch is 3 pixels wide at left 6, over the top line.
    EXPECT_EQ(WindowPixel(bar.m_hWnd, 7, 6), RGB(255, 255, 255));
    EXPECT_EQ(WindowPixel(bar.m_hWnd, 12, 6), RGB(179, 179, 179));
    // Nothing of the old caption is left.
    PumpMessages(50);
    bool bRemnant = false;
    for (int x = 12; x < 60; x++)
        for (int y = 8; y < 18; y++)
            bRemnant = bRemnant || WindowPixel(bar.m_hWnd, x, y) != RGB(255, 255, 255);
    EXPECT_FALSE(bRemnant);
}

TEST_F(FramesTest, BorderedListsKeepTheirFrame)
{
    for (CWnd* pList : { (CWnd*)&m_dlg.m_list, (CWnd*)&m_dlg.m_listBox })
    {
        CRect rc;
        pList->GetClientRect(&rc);
        EXPECT_EQ(WindowPixel(pList->m_hWnd, 0, rc.Height() - 1), BORDER_LIST_FRAME_COLOR);
        EXPECT_EQ(WindowPixel(pList->m_hWnd, rc.Width() / 3, rc.Height() - 1), BORDER_LIST_FRAME_COLOR) << (pList == &m_dlg.m_list ? "list view" : "list box");
        EXPECT_EQ(WindowPixel(pList->m_hWnd, 0, rc.Height() / 2), BORDER_LIST_FRAME_COLOR);
    }
    // Many rows and a scroll: every paint draws the frame again.
    for (int i = 0; i < 40; i++)
        m_dlg.m_listBox.AddString(L"Every day at noon");
    m_dlg.m_listBox.SendMessage(WM_VSCROLL, SB_PAGEDOWN);
    m_dlg.m_listBox.UpdateWindow();
    CRect rc;
    m_dlg.m_listBox.GetClientRect(&rc);
    EXPECT_EQ(WindowPixel(m_dlg.m_listBox.m_hWnd, 0, rc.Height() / 2), BORDER_LIST_FRAME_COLOR);
    EXPECT_EQ(WindowPixel(m_dlg.m_listBox.m_hWnd, rc.Width() / 2, 0), BORDER_LIST_FRAME_COLOR);
}

TEST(MemDC, DrawsOffScreenAndCopiesBackInOneBlit)
{
    CDC target;
    ASSERT_TRUE(target.CreateCompatibleDC(NULL));
    CClientDC screen(NULL);
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateCompatibleBitmap(&screen, 40, 40));
    CBitmap* pOld = target.SelectObject(&bitmap);
    target.FillSolidRect(0, 0, 40, 40, RGB(255, 255, 255));
    target.IntersectClipRect(10, 10, 30, 30);
    {
        CMemDC mem(&target);
        mem.FillSolidRect(12, 12, 5, 5, RGB(0, 0, 255));
        // Nothing reaches the target before the end.
        EXPECT_EQ(target.GetPixel(13, 13), RGB(255, 255, 255));
    }
    EXPECT_EQ(target.GetPixel(13, 13), RGB(0, 0, 255));
    target.SelectClipRgn(NULL);
    {
        CRect rc(0, 0, 20, 20);
        CMemDC mem(&target, &rc, TRUE);
        // Started from the target's pixels.
        EXPECT_EQ(mem.GetPixel(13, 13), RGB(0, 0, 255));
        mem.SetPixel(1, 1, RGB(255, 0, 0));
    }
    EXPECT_EQ(target.GetPixel(1, 1), RGB(255, 0, 0));
    EXPECT_EQ(target.GetPixel(13, 13), RGB(0, 0, 255));
    target.SelectObject(pOld);
}
