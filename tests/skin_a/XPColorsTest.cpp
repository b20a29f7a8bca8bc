#include "controls/skin/GradientPainter.h"
#include "controls/skin/XPColors.h"
#include "controls/skin/XPDrawing.h"

#include <gtest/gtest.h>

namespace {

// Sets system colours for one test and puts the old ones back.
class SysColorScope
{
public:
    SysColorScope(std::initializer_list<std::pair<int, COLORREF>> colors)
    {
        for (auto& c : colors)
        {
            m_anIndex.push_back(c.first);
            m_aclrOld.push_back(GetSysColor(c.first));
            m_aclrNew.push_back(c.second);
        }
        SetSysColors((int)m_anIndex.size(), m_anIndex.data(), m_aclrNew.data());
    }
    ~SysColorScope() { SetSysColors((int)m_anIndex.size(), m_anIndex.data(), m_aclrOld.data()); }

private:
    std::vector<int> m_anIndex;
    std::vector<COLORREF> m_aclrOld, m_aclrNew;
};

} // namespace

TEST(XPColors, HighlightIsLighterAndStopsAtWhite)
{
    SysColorScope scope({ { COLOR_HIGHLIGHT, RGB(250, 100, 5) } });
    EXPECT_EQ(GetXPHighlightColor(), RGB(255, 110, 15));
}

TEST(XPColors, LightFaceAndBlendsOfTheClassicScheme)
{
    SysColorScope scope({ { COLOR_BTNFACE, RGB(192, 192, 192) }, { COLOR_HIGHLIGHT, RGB(10, 36, 106) } });
    EXPECT_EQ(GetXPLightFaceColor(), RGB(205, 205, 205));
    // 205: d = 255 - 205 - trunc(50 * 0.51) = 25
    EXPECT_EQ(GetXPButtonBackColor(), RGB(230, 230, 230));
    // highlight / 4 = (2, 9, 26): d = 229 - trunc(229 * 0.14) = 197
    EXPECT_EQ(GetXPHotColor(), RGB(199, 206, 223));
    // d = 229 - trunc(229 * 0.21) = 181
    EXPECT_EQ(GetXPPressedColor(), RGB(183, 190, 207));
    // highlight / 8 = (1, 4, 13): d = 242 - trunc(242 * 0.47) = 129
    EXPECT_EQ(GetXPHighlightBlendColor(), RGB(130, 133, 142));
    // face / 4 = 48: d = 207 - trunc(207 * 0.018) = 204
    EXPECT_EQ(GetXPFaceDarkColor(), RGB(252, 252, 252));
    EXPECT_TRUE(IsStandardFaceColor());
}

TEST(XPColors, StandardFaceRecognisesLunaAndClassicOnly)
{
    {
        SysColorScope scope({ { COLOR_BTNFACE, RGB(236, 233, 216) } });
        EXPECT_TRUE(IsStandardFaceColor());
    }
    {
        SysColorScope scope({ { COLOR_BTNFACE, RGB(191, 191, 191) } });
        EXPECT_TRUE(IsStandardFaceColor());
    }
    {
        SysColorScope scope({ { COLOR_BTNFACE, RGB(200, 192, 192) } });
        EXPECT_FALSE(IsStandardFaceColor());
    }
}

TEST(XPColors, DarkenEnds)
{
    EXPECT_EQ(DarkenColor(0, RGB(12, 200, 255)), RGB(12, 200, 255));
    EXPECT_EQ(DarkenColor(255, RGB(12, 200, 255)), RGB(0, 0, 0));
    EXPECT_EQ(DarkenColor(51, RGB(255, 100, 0)), RGB(204, 80, 0));
}

TEST(XPColors, BorderOfTheFlatLookIsTheShadow)
{
    EXPECT_EQ(GetXPBorderColor(XP_STYLE_FLAT), GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(GetXPShadowBlendColor(), RGB(102, 102, 102));
    EXPECT_EQ(GetXPDarkBlendColor(), RGB(51, 51, 51));
}

TEST(GradientPainter, ShortGradientStillEndsAtTheLastStep)
{
    CDC screen;
    ASSERT_TRUE(screen.CreateCompatibleDC(NULL));
    CBitmap target;
    CClientDC desktop(NULL);
    ASSERT_TRUE(target.CreateCompatibleBitmap(&desktop, 4, 100));
    CBitmap* pOld = screen.SelectObject(&target);

    GradientPainter painter(CSize(4, 100));
    painter.VerticalGradient(&desktop, 0, 0, 0, 256, 512, 0);
    painter.Blit(&screen, 0, 0, 0, 0, 4, 100, SRCCOPY);
    // Row 0 is band 2: the first two bands have no height.
    EXPECT_EQ(screen.GetPixel(1, 0), RGB(2, 4, 0));
    // The last band is step 255: 255 x (256 / 256) red, 255 x 2 = 510 & 0xFF green.
    EXPECT_EQ(screen.GetPixel(1, 99), RGB(255, 510 & 0xFF, 0));

    // Horizontal face gradient: RGB(250,250,249) towards the colour less 30.
    GradientPainter wide(CSize(256, 2));
    wide.PaintHorizontalLight(&desktop, XP_STYLE_GRADIENT, RGB(100, 120, 140));
    wide.Blit(&screen, 0, 0, 0, 0, 4, 2, SRCCOPY);
    EXPECT_EQ(screen.GetPixel(0, 0), RGB(80, 100, 120));
    screen.SelectObject(pOld);
}

TEST(XPDrawing, ArrowStripHasNineByNineCells)
{
    ArrowImageList arrows;
    ASSERT_NE(arrows.m_imageList.m_hImageList, (HIMAGELIST)NULL);
    EXPECT_EQ(arrows.m_imageList.GetImageCount(), 4);
    EXPECT_EQ(arrows.m_sizeImage, CSize(9, 9));
}

TEST(XPDrawing, CheckMarkAndShadow)
{
    CClientDC screen(NULL);
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(&screen));
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateCompatibleBitmap(&screen, 20, 20));
    CBitmap* pOld = dc.SelectObject(&bitmap);
    dc.FillSolidRect(0, 0, 20, 20, RGB(255, 255, 255));

    // 13 x 13: h2 = 4; the bottom stroke ends at (3, 13 - 5 + 1).
    DrawCheckMark(&dc, CRect(0, 0, 13, 13));
    EXPECT_EQ(dc.GetPixel(1, 5), GetXPHighlightColor());
    EXPECT_EQ(dc.GetPixel(3, 9), GetXPHighlightColor());
    EXPECT_EQ(dc.GetPixel(10, 10), RGB(255, 255, 255));

    // The shadow darkens what the screen shows along the right and bottom
    // edges; rows 2 and 3 and column 3 stay as they were.
    dc.FillSolidRect(0, 0, 20, 20, RGB(1, 2, 3));
    HDC hScreen = GetWindowDC(GetDesktopWindow());
    auto screenAt = [&](int x, int y) { return GetPixel(hScreen, 300 + x, 300 + y); };
    DrawWindowShadow(CRect(0, 0, 20, 20), 300, 300, &dc);
    EXPECT_EQ(dc.GetPixel(19, 0), screenAt(19, 0));
    EXPECT_EQ(dc.GetPixel(19, 2), RGB(1, 2, 3));
    EXPECT_EQ(dc.GetPixel(19, 3), RGB(1, 2, 3));
    EXPECT_EQ(dc.GetPixel(19, 5), DarkenColor(6, screenAt(19, 5)));
    EXPECT_EQ(dc.GetPixel(19, 10), DarkenColor(15, screenAt(19, 10)));
    EXPECT_EQ(dc.GetPixel(18, 10), DarkenColor(30, screenAt(18, 10)));
    EXPECT_EQ(dc.GetPixel(19, 17), DarkenColor(9, screenAt(19, 17)));
    EXPECT_EQ(dc.GetPixel(5, 19), DarkenColor(6, screenAt(5, 19)));
    EXPECT_EQ(dc.GetPixel(3, 19), RGB(1, 2, 3));
    EXPECT_EQ(dc.GetPixel(10, 10), RGB(1, 2, 3));
    ReleaseDC(GetDesktopWindow(), hScreen);
    dc.SelectObject(pOld);
}
