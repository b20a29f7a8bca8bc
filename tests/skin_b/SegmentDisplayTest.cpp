#include "controls/skin/SegmentDisplay.h"
#include "tests/skin_b/TestWindow.h"

#include <gtest/gtest.h>
#include <cmath>

namespace {

const COLORREF kOn = RGB(0, 255, 0);
const COLORREF kOff = RGB(0, 52, 0);
const COLORREF kBack = RGB(0, 0, 0);

struct SegmentFixture : public ::testing::Test
{
    CTestWindow window;
    CSegmentDisplay display;
    void SetUp() override
    {
        ASSERT_TRUE(window.CreateTop(400, 200));
    }
    void Make(int cx, int cy, LPCTSTR lpszText = L"")
    {
        ASSERT_TRUE(display.Create(lpszText, WS_CHILD | WS_VISIBLE, CRect(0, 0, cx, cy), &window, 100));
        display.ModifySegmentStyle(SDS_BLENDEDGE, 0);  // exact colours at the segment edges
    }
    // A counter in the scan pages' colours, transparent over a white page.
    void MakeCounter(int cx, int cy)
    {
        window.m_clrBack = RGB(255, 255, 255);
        Make(cx, cy);
        display.SetBackColor(RGB(255, 255, 255));
        display.SetColor(RGB(255, 255, 255), RGB(36, 135, 219));
        display.SetTransparent(TRUE);
    }
    // Columns that hold a lit pixel.
    void LitColumns(int& nFirst, int& nLast)
    {
        window.RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        CRect rect;
        display.GetClientRect(&rect);
        HDC hDC = ::GetDC(display.m_hWnd);
        nFirst = -1;
        nLast = -1;
        for (int x = 0; x < rect.Width(); ++x)
            for (int y = 0; y < rect.Height(); ++y)
                if (::GetPixel(hDC, x, y) == kOn)
                {
                    if (nFirst < 0)
                        nFirst = x;
                    nLast = x;
                    break;
                }
        ::ReleaseDC(display.m_hWnd, hDC);
    }
};

}  // namespace

TEST(SegmentMasks, DigitsLettersAndUnknownCharacters)
{
    WORD wMask = 0;
    ASSERT_TRUE(GetSevenSegmentMask(L'8', wMask));
    EXPECT_EQ(wMask, 0x7F);
    ASSERT_TRUE(GetSevenSegmentMask(L'-', wMask));
    EXPECT_EQ(wMask, 0x08);
    ASSERT_TRUE(GetFourteenSegmentMask(L'K', wMask));
    EXPECT_EQ(wMask, 0x0354);
    ASSERT_TRUE(GetFourteenSegmentMask(L'\'', wMask));
    EXPECT_EQ(wMask, 0x0001);
    EXPECT_FALSE(GetSevenSegmentMask(L'A', wMask));
    EXPECT_FALSE(GetFourteenSegmentMask(L'%', wMask));
    EXPECT_FALSE(GetFourteenSegmentMask(L',', wMask));
}

TEST(SegmentCells, MirroredOutlinesStayInsideTheCell)
{
    for (DWORD dwStyle : { (DWORD)0, (DWORD)SDS_SMOOTH })
    {
        SevenSegmentCell seven;
        seven.Init(0x7F, dwStyle);
        FourteenSegmentCell fourteen;
        fourteen.Init(0x3FFF, dwStyle);
        ASSERT_EQ(seven.m_paths.size(), 7u);
        ASSERT_EQ(fourteen.m_paths.size(), 14u);
        for (const SegmentCell* pCell : { (const SegmentCell*)&seven, (const SegmentCell*)&fourteen })
            for (const SegmentPath& path : pCell->m_paths)
            {
                ASSERT_GT(path.GetCount(), 3);
                EXPECT_EQ(path.types[0], PT_MOVETO);
                for (const POINT& pt : path.points)
                {
                    EXPECT_GE(pt.x, 0);
                    EXPECT_LT(pt.x, 49);
                    EXPECT_GE(pt.y, 0);
                    EXPECT_LT(pt.y, 83);
                }
            }
    }
    // The bottom segment is the top one mirrored about y = 41.
    SevenSegmentCell cell;
    cell.Init(0, 0);
    EXPECT_EQ(cell.m_paths[6].points[0].y, 82 - cell.m_paths[0].points[0].y);
}

TEST(SegmentCurves, FitRecoversAnExactCubic)
{
    // Points of a known cubic at u = -1, -1/3, 1/3, 1.
    BezierPoint p0 = { 0, 0 }, c1 = { 10, 30 }, c2 = { 40, 30 }, p3 = { 50, 0 };
    auto at = [&](double t) {
        double s = 1 - t;
        return BezierPoint{ s * s * s * p0.x + 3 * s * s * t * c1.x + 3 * s * t * t * c2.x + t * t * t * p3.x,
                            s * s * s * p0.y + 3 * s * s * t * c1.y + 3 * s * t * t * c2.y + t * t * t * p3.y };
    };
    std::vector<BezierPoint> pts = { p0, at(1.0 / 3), at(2.0 / 3), p3 };
    EXPECT_NEAR(BezierFitError(pts, c1, c2), 0.0, 1e-6);
    BezierPoint f1, f2;
    FitBezier(pts, f1, f2);
    EXPECT_LT(BezierFitError(pts, f1, f2), 0.05);
    // The fit never ends worse than its starting guess.
    BezierPoint g1 = { 2 * pts[1].x - p0.x, 2 * pts[1].y - p0.y }, g2 = { 2 * pts[2].x - p3.x, 2 * pts[2].y - p3.y };
    EXPECT_LE(BezierFitError(pts, f1, f2), BezierFitError(pts, g1, g2));
}

TEST_F(SegmentFixture, TextBecomesCellsUpperCasedAndUnknownCharactersTakeNoRoom)
{
    Make(200, 83);
    display.SetText(L"ab%,1:");
    const std::vector<SegmentCell>& cells = display.GetCells();
    ASSERT_EQ(cells.size(), 4u);  // A B 1 :
    EXPECT_EQ(cells[0].m_wMask, 0x3BC0);
    EXPECT_EQ(cells[0].m_nSegments, 14);
    EXPECT_EQ(cells[2].m_nSegments, 7);  // a digit is a 7-segment cell by default
    EXPECT_EQ(cells[2].m_wMask, 0x24);
    EXPECT_EQ(cells[3].m_nWidth, 18);
    EXPECT_EQ(cells[3].m_wMask, 0x03);

    display.SetText(L"");
    EXPECT_TRUE(display.GetCells().empty());
    display.SetWindowText(L"42");
    display.SetText(L"?");
    EXPECT_EQ(display.GetCells().size(), 2u);
}

TEST_F(SegmentFixture, SameTextDoesNotRepaint)
{
    Make(200, 83, L"0");
    display.SetText(L"17");
    display.UpdateWindow();
    display.SetText(L"17");
    EXPECT_FALSE(::GetUpdateRect(display.m_hWnd, NULL, FALSE));
    display.SetText(L"18");
    EXPECT_TRUE(::GetUpdateRect(display.m_hWnd, NULL, FALSE));
}

TEST_F(SegmentFixture, StyleChangesAsTheScanPagesMakeThem)
{
    Make(200, 83);
    EXPECT_EQ(display.GetSegmentStyle(), (DWORD)SDS_ASPECT);  // fixture removed the blended edge
    display.ModifySegmentStyle(0, SDS_BLENDEDGE);
    EXPECT_EQ(display.SetBackColor(RGB(255, 255, 255)), RGB(0, 0, 0));
    display.SetColor(RGB(255, 255, 255), RGB(36, 135, 219));
    display.SetText(L"0");
    display.SetTransparent(TRUE);
    EXPECT_TRUE(display.ModifySegmentStyle(0, SDS_SMOOTH));
    EXPECT_TRUE(display.ModifySegmentStyle(SDS_DIGITS14, 0));
    EXPECT_EQ(display.GetSegmentStyle(), 0x15u);
    EXPECT_TRUE(display.GetExStyle() & WS_EX_TRANSPARENT);
    EXPECT_FALSE(display.ModifySegmentStyle(SDS_SMOOTH, SDS_SMOOTH));
    EXPECT_EQ(display.GetSegmentStyle(), 0x15u);
}

TEST_F(SegmentFixture, DigitsLightTheirSegments)
{
    Make(98, 166);
    display.SetColor(kOff, kOn);
    display.SetBackColor(kBack);
    // Middle of the middle segment and of the upper-left one (design units x2).
    display.SetText(L"8");
    EXPECT_EQ(ClientPixel(display, 24 * 2, 41 * 2), kOn);
    EXPECT_EQ(ClientPixel(display, 7 * 2, 25 * 2), kOn);
    display.SetText(L"1");
    EXPECT_EQ(ClientPixel(display, 24 * 2, 41 * 2), kOff);
    EXPECT_EQ(ClientPixel(display, 7 * 2, 25 * 2), kOff);
    display.SetText(L"7");
    EXPECT_EQ(ClientPixel(display, 24 * 2, 7 * 2), kOn);  // top
    // Smooth 14-segment digits as the scan pages show them.
    display.ModifySegmentStyle(0, SDS_SMOOTH | SDS_DIGITS14);
    display.SetText(L"8");
    EXPECT_EQ(ClientPixel(display, 7 * 2, 25 * 2), kOn);
    EXPECT_EQ(ClientPixel(display, 24 * 2, 25 * 2), kOff);  // centre upper is not part of an 8
    display.SetText(L"0");
    EXPECT_EQ(ClientPixel(display, 14 * 2, 41 * 2), kOff);
}

TEST_F(SegmentFixture, AspectKeepsProportionAndCentres)
{
    Make(300, 83);
    display.SetColor(kOff, kOn);
    display.SetText(L"88");
    int nFirst, nLast;
    LitColumns(nFirst, nLast);
    // Two cells of 49 units and the room between them at scale 1, centred:
    // the ink stays within columns 101..199.
    EXPECT_GE(nFirst, 101);
    EXPECT_LE(nLast, 199);
    EXPECT_GT(nFirst, 0);

    display.ModifySegmentStyle(SDS_ASPECT, 0);
    LitColumns(nFirst, nLast);
    EXPECT_LT(nFirst, 101);  // stretched over the whole width
    EXPECT_GT(nLast, 250);
}

TEST_F(SegmentFixture, HiddenUnlitSegmentsLeaveTheParentVisible)
{
    window.m_clrBack = RGB(255, 255, 255);
    Make(98, 166);
    display.SetColor(RGB(200, 200, 200), RGB(36, 135, 219));
    display.SetTransparent(TRUE);
    display.ModifySegmentStyle(0, SDS_HIDEOFF);
    display.SetText(L"1");
    EXPECT_EQ(ClientPixel(display, 24 * 2, 41 * 2), RGB(255, 255, 255));  // unlit middle: the parent
    EXPECT_EQ(ClientPixel(display, 5, 5), RGB(255, 255, 255));
}

TEST_F(SegmentFixture, ATransparentDisplayDrawsANewCountOverThePageNotOverTheOldOne)
{
    window.m_clrBack = RGB(255, 255, 255);
    Make(98, 166);
    display.SetColor(RGB(200, 200, 200), RGB(36, 135, 219));
    display.SetTransparent(TRUE);
    display.ModifySegmentStyle(0, SDS_HIDEOFF);
    display.SetText(L"8");
    EXPECT_EQ(ClientPixel(display, 24 * 2, 41 * 2), RGB(36, 135, 219));
    // The middle segment goes dark: what shows there is the page again.
    display.SetText(L"1");
    EXPECT_EQ(ClientPixel(display, 24 * 2, 41 * 2), RGB(255, 255, 255));
    EXPECT_EQ(ClientPixel(display, 7 * 2, 25 * 2), RGB(255, 255, 255));
}

// Widths of the inked column runs of a display on a white page, and the
// background columns between them.
static void InkRuns(CSegmentDisplay& display, std::vector<int>& runs, std::vector<int>& gaps)
{
    runs.clear();
    gaps.clear();
    display.GetParent()->RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    CRect rect;
    display.GetClientRect(&rect);
    HDC hDC = ::GetDC(display.m_hWnd);
    int nBlank = -1;  // no run yet: blank columns before the first do not count
    for (int x = 0; x < rect.Width(); ++x)
    {
        bool bInk = false;
        for (int y = 0; y < rect.Height() && !bInk; ++y)
            bInk = ::GetPixel(hDC, x, y) != RGB(255, 255, 255);
        if (!bInk)
        {
            if (nBlank >= 0)
                ++nBlank;
            continue;
        }
        if (nBlank != 0)
        {
            if (nBlank > 0)
                gaps.push_back(nBlank);
            runs.push_back(0);
        }
        ++runs.back();
        nBlank = 0;
    }
    ::ReleaseDC(display.m_hWnd, hDC);
}

// The counter as the scan pages draw it, at their sizes: neighbouring digits
// are parted by several columns of the page, not one that the eye misses.
TEST_F(SegmentFixture, CounterDigitsStandApartAtThePagesSizes)
{
    MakeCounter(60, 34);
    display.ModifySegmentStyle(0, SDS_SMOOTH);
    // The result page's display, the scan page's, and a small one.
    for (CSize size : { CSize(122, 28), CSize(192, 38), CSize(60, 34) })
    {
        display.SetWindowPos(NULL, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
        for (LPCTSTR psz : { L"16", L"20", L"888", L"1000" })
        {
            display.SetText(psz);
            std::vector<int> runs, gaps;
            InkRuns(display, runs, gaps);
            SCOPED_TRACE(testing::Message() << "\"" << psz << "\" in " << size.cx << "x" << size.cy);
            ASSERT_EQ(runs.size(), (size_t)::lstrlenW(psz));
            for (int nGap : gaps)
                EXPECT_GE(nGap, 3);
        }
    }
}

// A decimal point stays with its digits; only characters stand apart.
TEST_F(SegmentFixture, APointSitsCloserToItsDigitsThanDigitsToEachOther)
{
    MakeCounter(300, 83);
    std::vector<int> runs, gaps;
    display.SetText(L"88");
    InkRuns(display, runs, gaps);
    ASSERT_EQ(gaps.size(), 1u);
    int nDigitGap = gaps[0];
    display.SetText(L"8.8");
    InkRuns(display, runs, gaps);
    ASSERT_EQ(gaps.size(), 2u);
    EXPECT_LT(gaps[0], nDigitGap);
    EXPECT_LT(gaps[1], nDigitGap);
}
