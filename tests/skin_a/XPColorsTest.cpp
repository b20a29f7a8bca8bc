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
