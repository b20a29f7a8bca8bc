#include "framework/Afx.h"
#include "framework/Dc.h"
#include "framework/Gdi.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

// Wine answers 0 here; Windows counts. Both checks below are used.
DWORD GdiObjectCount()
{
    return ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
}

bool IsLiveObject(HGDIOBJ hObject)
{
    return ::GetObjectType(hObject) != 0;
}

// Creates one of each kind in a scope that may leave early; reports the
// handles so that the caller can see they are gone.
bool MakeObjectsAndMaybeLeave(bool bLeaveEarly, std::vector<HGDIOBJ>& handles)
{
    CPen pen(PS_SOLID, 2, RGB(1, 2, 3));
    CBrush brush(RGB(4, 5, 6));
    CFont font;
    font.CreatePointFont(90, L"Tahoma");
    CBitmap bitmap;
    bitmap.CreateBitmap(8, 8, 1, 1, NULL);
    handles.insert(handles.end(), { pen.m_hObject, brush.m_hObject, font.m_hObject, bitmap.m_hObject });
    if (bLeaveEarly)
        return false;
    CRgn rgn;
    rgn.CreateRectRgn(0, 0, 10, 10);
    CPalette palette;
    palette.CreateHalftonePalette(NULL);
    CDC dc;
    dc.CreateCompatibleDC(NULL);
    CBrush hatch(HS_CROSS, RGB(0, 0, 0));
    CBrush pattern(&bitmap);
    CBrush sys;
    sys.CreateSysColorBrush(COLOR_WINDOW);
    handles.insert(handles.end(), { rgn.m_hObject, palette.m_hObject, dc.m_hDC, hatch.m_hObject,
                                    pattern.m_hObject, sys.m_hObject });
    return true;
}

}  // namespace

TEST(Gdi, WrappersReleaseTheirObjectsOnEveryPath)
{
    std::vector<HGDIOBJ> handles;
    MakeObjectsAndMaybeLeave(false, handles);  // warm up any lazily created system objects
    DWORD dwBefore = GdiObjectCount();
    for (int i = 0; i < 200; ++i) {
        handles.clear();
        MakeObjectsAndMaybeLeave(i % 2 == 0, handles);
        ASSERT_EQ(handles.size(), i % 2 == 0 ? 4u : 10u);
        for (size_t n = 0; n < handles.size(); ++n) {
            ASSERT_NE(handles[n], nullptr);
            ASSERT_FALSE(IsLiveObject(handles[n])) << "kind " << n << " round " << i;
        }
        CPen* pTemp = CPen::FromHandle((HPEN)::GetStockObject(BLACK_PEN));
        ASSERT_NE(pTemp, nullptr);
    }
    AfxPurgeTemporaryGdiObjects();
    EXPECT_TRUE(IsLiveObject(::GetStockObject(BLACK_PEN)));
    EXPECT_LE(GdiObjectCount(), dwBefore + 2);
}

TEST(Gdi, DetachedObjectSurvivesItsWrapperAndTemporariesNeverDelete)
{
    HPEN hPen;
    {
        CPen pen;
        ASSERT_TRUE(pen.CreatePen(PS_SOLID, 1, RGB(9, 9, 9)));
        hPen = (HPEN)pen.Detach();
        EXPECT_EQ(pen.m_hObject, nullptr);
    }
    LOGPEN lp = {};
    ASSERT_EQ(::GetObjectW(hPen, sizeof(lp), &lp), (int)sizeof(lp));
    EXPECT_EQ(lp.lopnColor, RGB(9, 9, 9));

    CPen* pTemp = CPen::FromHandle(hPen);
    EXPECT_EQ(CPen::FromHandle(hPen), pTemp);  // one temporary per handle
    EXPECT_EQ(pTemp->GetLogPen(&lp), (int)sizeof(lp));
    AfxPurgeTemporaryGdiObjects();
    EXPECT_EQ(::GetObjectW(hPen, sizeof(lp), &lp), (int)sizeof(lp));  // still alive
    EXPECT_TRUE(::DeleteObject(hPen));
    EXPECT_EQ(CPen::FromHandle(NULL), nullptr);
}

TEST(Gdi, AttachReplacesAndDeletesThePreviousObject)
{
    DWORD dwBefore = GdiObjectCount();
    {
        CBrush brush;
        HGDIOBJ hPrevious = NULL;
        for (int i = 0; i < 50; ++i) {
            ASSERT_TRUE(brush.CreateSolidBrush(RGB(i, 0, 0)));
            if (hPrevious && hPrevious != brush.m_hObject) {
                ASSERT_FALSE(IsLiveObject(hPrevious));
            }
            hPrevious = brush.m_hObject;
        }
        LOGBRUSH lb;
        ASSERT_TRUE(brush.GetLogBrush(&lb));
        EXPECT_EQ(lb.lbColor, RGB(49, 0, 0));
    }
    EXPECT_LE(GdiObjectCount(), dwBefore + 1);
}

TEST(Gdi, RegionsCombineAndTestPoints)
{
    CRgn a, b, result;
    ASSERT_TRUE(a.CreateRectRgn(0, 0, 10, 10));
    ASSERT_TRUE(b.CreateRectRgn(20, 0, 30, 10));
    EXPECT_EQ(result.CombineRgn(&a, &b, RGN_OR), ERROR);  // no region yet to write into
    ASSERT_TRUE(result.CreateRectRgn(0, 0, 0, 0));
    EXPECT_EQ(result.CombineRgn(&a, &b, RGN_OR), COMPLEXREGION);
    EXPECT_TRUE(result.PtInRegion(5, 5));
    EXPECT_TRUE(result.PtInRegion(CPoint(25, 5)));
    EXPECT_FALSE(result.PtInRegion(15, 5));
    CRect rcBox;
    EXPECT_EQ(result.GetRgnBox(&rcBox), COMPLEXREGION);
    EXPECT_EQ(rcBox, CRect(0, 0, 30, 10));

    CRgn copy;
    copy.CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(copy.CopyRgn(&result), COMPLEXREGION);
    EXPECT_TRUE(copy.EqualRgn(&result));
    copy.SetRectRgn(CRect(100, 100, 110, 110));
    EXPECT_TRUE(copy.PtInRegion(105, 105));
    EXPECT_FALSE(copy.PtInRegion(5, 5));

    CRgn round;
    ASSERT_TRUE(round.CreateRoundRectRgn(0, 0, 40, 40, 20, 20));
    EXPECT_FALSE(round.PtInRegion(0, 0));  // the corner is cut
    EXPECT_TRUE(round.PtInRegion(20, 20));
}

TEST(Gdi, FontFromPointSizeAndLogFont)
{
    CFont font;
    ASSERT_TRUE(font.CreatePointFont(120, L"Arial"));
    LOGFONTW lf = {};
    ASSERT_EQ(font.GetLogFont(&lf), (int)sizeof(lf));
    HDC hScreen = ::GetDC(NULL);
    int nExpected = -::MulDiv(120, ::GetDeviceCaps(hScreen, LOGPIXELSY), 720);
    ::ReleaseDC(NULL, hScreen);
    EXPECT_EQ(lf.lfHeight, nExpected);
    EXPECT_STREQ(lf.lfFaceName, L"Arial");

    CFont bold;
    lf.lfWeight = FW_BOLD;
    ASSERT_TRUE(bold.CreateFontIndirect(&lf));
    LOGFONTW lf2 = {};
    bold.GetLogFont(&lf2);
    EXPECT_EQ(lf2.lfWeight, FW_BOLD);
}

TEST(Dc, SelectObjectGivesBackThePreviousObject)
{
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(NULL));
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateCompatibleBitmap(&dc, 16, 16));
    CPen pen(PS_SOLID, 1, RGB(255, 0, 0));
    CBrush brush(RGB(0, 255, 0));

    HGDIOBJ hStockPen = ::GetCurrentObject(dc, OBJ_PEN);
    CBitmap* pOldBitmap = dc.SelectObject(&bitmap);
    CPen* pOldPen = dc.SelectObject(&pen);
    CBrush* pOldBrush = dc.SelectObject(&brush);
    ASSERT_NE(pOldBitmap, nullptr);
    ASSERT_NE(pOldPen, nullptr);
    ASSERT_NE(pOldBrush, nullptr);
    EXPECT_EQ(pOldPen->m_hObject, hStockPen);
    EXPECT_EQ(dc.GetCurrentPen()->m_hObject, pen.m_hObject);
    EXPECT_EQ(dc.GetCurrentBitmap()->m_hObject, bitmap.m_hObject);

    CPen* pMine = dc.SelectObject(pOldPen);
    EXPECT_EQ(pMine->m_hObject, pen.m_hObject);
    EXPECT_EQ(::GetCurrentObject(dc, OBJ_PEN), hStockPen);
    dc.SelectObject(pOldBrush);
    dc.SelectObject(pOldBitmap);
    AfxPurgeTemporaryGdiObjects();

    // Our objects were deselected, so deleting them works.
    EXPECT_TRUE(pen.DeleteObject());
    EXPECT_TRUE(brush.DeleteObject());
    EXPECT_TRUE(bitmap.DeleteObject());

    CGdiObject* pOld = dc.SelectStockObject(NULL_BRUSH);
    ASSERT_NE(pOld, nullptr);
    EXPECT_EQ(::GetCurrentObject(dc, OBJ_BRUSH), ::GetStockObject(NULL_BRUSH));

    CRgn rgn;
    rgn.CreateRectRgn(0, 0, 4, 4);
    EXPECT_EQ(dc.SelectObject(&rgn), SIMPLEREGION);
}

TEST(Dc, DrawsIntoAMemoryBitmap)
{
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(NULL));
    CBitmap bitmap;
    {
        HDC hScreen = ::GetDC(NULL);
        bitmap.Attach(::CreateCompatibleBitmap(hScreen, 40, 20));
        ::ReleaseDC(NULL, hScreen);
    }
    CBitmap* pOld = dc.SelectObject(&bitmap);

    dc.FillSolidRect(0, 0, 40, 20, RGB(255, 255, 255));
    EXPECT_EQ(dc.GetBkColor(), RGB(255, 255, 255));  // put back
    dc.FillSolidRect(CRect(2, 2, 6, 6), RGB(0, 0, 255));
    EXPECT_EQ(dc.GetPixel(3, 3), RGB(0, 0, 255));
    EXPECT_EQ(dc.GetPixel(7, 7), RGB(255, 255, 255));

    dc.Draw3dRect(CRect(10, 0, 20, 10), RGB(255, 0, 0), RGB(0, 255, 0));
    EXPECT_EQ(dc.GetPixel(10, 0), RGB(255, 0, 0));   // top-left corner
    EXPECT_EQ(dc.GetPixel(19, 9), RGB(0, 255, 0));   // bottom-right corner
    EXPECT_EQ(dc.GetPixel(15, 5), RGB(255, 255, 255));

    dc.SetPixelV(30, 10, RGB(1, 2, 3));
    EXPECT_EQ(dc.GetPixel(CPoint(30, 10)), RGB(1, 2, 3));

    CPen pen(PS_SOLID, 1, RGB(0, 0, 0));
    CPen* pOldPen = dc.SelectObject(&pen);
    dc.MoveTo(0, 15);
    dc.LineTo(10, 15);
    EXPECT_EQ(dc.GetCurrentPosition(), CPoint(10, 15));
    EXPECT_EQ(dc.GetPixel(5, 15), RGB(0, 0, 0));
    dc.SelectObject(pOldPen);

    int nSaved = dc.SaveDC();
    dc.SetViewportOrg(5, 5);
    EXPECT_EQ(dc.GetViewportOrg(), CPoint(5, 5));
    CPoint pt(0, 0);
    dc.LPtoDP(&pt);
    EXPECT_EQ(pt, CPoint(5, 5));
    dc.RestoreDC(nSaved);
    EXPECT_EQ(dc.GetViewportOrg(), CPoint(0, 0));

    // A copy through BitBlt lands in a second memory DC.
    CDC dc2;
    dc2.CreateCompatibleDC(&dc);
    CBitmap bitmap2;
    bitmap2.CreateCompatibleBitmap(&dc, 40, 20);
    CBitmap* pOld2 = dc2.SelectObject(&bitmap2);
    EXPECT_TRUE(dc2.BitBlt(0, 0, 40, 20, &dc, 0, 0, SRCCOPY));
    EXPECT_EQ(dc2.GetPixel(3, 3), RGB(0, 0, 255));
    dc2.SelectObject(pOld2);
    dc.SelectObject(pOld);
}

TEST(Dc, TextExtentAndCalcRect)
{
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(NULL));
    CFont font;
    ASSERT_TRUE(font.CreatePointFont(100, L"Tahoma"));
    CFont* pOldFont = dc.SelectObject(&font);

    CString strText(L"Registry cleaner");
    CSize size = dc.GetTextExtent(strText);
    EXPECT_GT(size.cx, 0);
    EXPECT_GT(size.cy, 0);
    EXPECT_EQ(dc.GetTextExtent(L"Registry cleaner", 8).cx, dc.GetTextExtent(CString(L"Registry")).cx);
    EXPECT_EQ(dc.GetTextExtent(CString()).cx, 0);

    TEXTMETRICW tm;
    ASSERT_TRUE(dc.GetTextMetrics(&tm));
    EXPECT_EQ(tm.tmHeight, size.cy);

    CRect rc(0, 0, 1000, 0);
    int nHeight = dc.DrawText(strText, &rc, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(nHeight, size.cy);
    EXPECT_EQ(rc.Width(), size.cx);

    // Word wrapping in a narrow rectangle takes more lines.
    CRect rcNarrow(0, 0, size.cx / 2, 0);
    dc.DrawText(strText, &rcNarrow, DT_CALCRECT | DT_WORDBREAK);
    EXPECT_GE(rcNarrow.Height(), 2 * size.cy);

    // DT_MODIFYSTRING must not write into a constant text.
    CString strLong(L"A rather long caption that will not fit");
    CRect rcSmall(0, 0, 40, 20);
    dc.DrawText(strLong, &rcSmall, DT_END_ELLIPSIS | DT_MODIFYSTRING | DT_SINGLELINE);
    EXPECT_STREQ(strLong, L"A rather long caption that will not fit");

    EXPECT_EQ(dc.GetCurrentFont()->m_hObject, font.m_hObject);
    dc.SelectObject(pOldFont);
    CString strFace;
    EXPECT_GT(dc.GetTextFace(strFace), 0);
}

TEST(Dc, AttachedAndTemporaryDCsOwnership)
{
    HDC hDC = ::CreateCompatibleDC(NULL);
    CDC* pTemp = CDC::FromHandle(hDC);
    ASSERT_NE(pTemp, nullptr);
    EXPECT_EQ(pTemp->GetSafeHdc(), hDC);
    AfxPurgeTemporaryGdiObjects();
    EXPECT_NE(::GetDeviceCaps(hDC, BITSPIXEL), 0);  // the temporary left it alone

    {
        CDC owner;
        owner.Attach(hDC);
    }
    EXPECT_FALSE(IsLiveObject(hDC));  // the owner deleted it
}

TEST(Dc, ScreenClientAndWindowDCs)
{
    {
        CClientDC dc(NULL);
        ASSERT_NE(dc.GetSafeHdc(), nullptr);
        EXPECT_GT(dc.GetDeviceCaps(LOGPIXELSY), 0);
        EXPECT_GT(dc.GetTextExtent(CString(L"W")).cx, 0);
    }
    {
        CWindowDC dc(NULL);
        ASSERT_NE(dc.GetSafeHdc(), nullptr);
        EXPECT_GT(dc.GetDeviceCaps(BITSPIXEL), 0);
    }
}

TEST(Dc, GradientAndTransparentCopy)
{
    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(NULL));
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateBitmap(100, 10, 1, 32, NULL));
    CBitmap* pOld = dc.SelectObject(&bitmap);

    TRIVERTEX vertices[2] = { { 0, 0, 0, 0, 0, 0 }, { 100, 10, 0xFF00, 0, 0, 0 } };
    GRADIENT_RECT rect = { 0, 1 };
    ASSERT_TRUE(dc.GradientFill(vertices, 2, &rect, 1, GRADIENT_FILL_RECT_H));
    EXPECT_LT(GetRValue(dc.GetPixel(2, 5)), 20);
    EXPECT_GT(GetRValue(dc.GetPixel(97, 5)), 230);
    EXPECT_EQ(GetGValue(dc.GetPixel(50, 5)), 0);

    // Magenta is the transparent colour: those pixels leave the target alone.
    CDC src;
    ASSERT_TRUE(src.CreateCompatibleDC(&dc));
    CBitmap srcBitmap;
    ASSERT_TRUE(srcBitmap.CreateBitmap(4, 1, 1, 32, NULL));
    CBitmap* pOldSrc = src.SelectObject(&srcBitmap);
    src.SetPixelV(0, 0, RGB(255, 0, 255));
    src.SetPixelV(1, 0, RGB(0, 0, 255));
    src.SetPixelV(2, 0, RGB(255, 0, 255));
    src.SetPixelV(3, 0, RGB(0, 0, 255));
    dc.FillSolidRect(0, 0, 100, 10, RGB(0, 255, 0));
    ASSERT_TRUE(dc.TransparentBlt(0, 0, 4, 1, &src, 0, 0, 4, 1, RGB(255, 0, 255)));
    EXPECT_EQ(dc.GetPixel(0, 0), RGB(0, 255, 0));
    EXPECT_EQ(dc.GetPixel(1, 0), RGB(0, 0, 255));
    EXPECT_EQ(dc.GetPixel(2, 0), RGB(0, 255, 0));

    src.SelectObject(pOldSrc);
    dc.SelectObject(pOld);
}
