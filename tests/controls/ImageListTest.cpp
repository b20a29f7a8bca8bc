#include "framework/Afx.h"
#include "framework/Dc.h"
#include "framework/Gdi.h"
#include "framework/ImageList.h"

#include <gtest/gtest.h>

namespace {

// A 24-bit strip of nCount 16 x 16 images: image i is filled with colours[i],
// with a magenta (transparent) square in its top-left corner.
HBITMAP MakeStrip(int nCount, const COLORREF* colours)
{
    HDC hScreen = ::GetDC(NULL);
    HDC hMem = ::CreateCompatibleDC(hScreen);
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(bmi.bmiHeader);
    bmi.bmiHeader.biWidth = 16 * nCount;
    bmi.bmiHeader.biHeight = 16;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 24;
    void* pBits = NULL;
    HBITMAP hBitmap = ::CreateDIBSection(hScreen, &bmi, DIB_RGB_COLORS, &pBits, NULL, 0);
    HGDIOBJ hOld = ::SelectObject(hMem, hBitmap);
    for (int i = 0; i < nCount; ++i)
    {
        RECT rc = { 16 * i, 0, 16 * i + 16, 16 };
        HBRUSH hBrush = ::CreateSolidBrush(colours[i]);
        ::FillRect(hMem, &rc, hBrush);
        ::DeleteObject(hBrush);
        RECT rcHole = { 16 * i, 0, 16 * i + 4, 4 };
        hBrush = ::CreateSolidBrush(RGB(255, 0, 255));
        ::FillRect(hMem, &rcHole, hBrush);
        ::DeleteObject(hBrush);
    }
    ::SelectObject(hMem, hOld);
    ::DeleteDC(hMem);
    ::ReleaseDC(NULL, hScreen);
    return hBitmap;
}

HBITMAP ImageBitmapOf(HIMAGELIST hImageList)
{
    IMAGEINFO info = {};
    return ImageList_GetImageInfo(hImageList, 0, &info) ? info.hbmImage : NULL;
}

} // namespace

TEST(CImageList, AddCountsImagesOfAStripAndIcons)
{
    const COLORREF colours[3] = { RGB(255, 0, 0), RGB(0, 128, 0), RGB(0, 0, 255) };
    CBitmap strip;
    ASSERT_TRUE(strip.Attach(MakeStrip(3, colours)));

    CImageList images;
    ASSERT_TRUE(images.Create(16, 16, ILC_COLOR24 | ILC_MASK, 3, 2));
    EXPECT_FALSE(images.Create(16, 16, ILC_COLOR24, 1, 1));  // one list per wrapper
    EXPECT_EQ(images.Add(&strip, RGB(255, 0, 255)), 0);
    EXPECT_EQ(images.GetImageCount(), 3);
    EXPECT_EQ(images.Add(::LoadIconW(NULL, IDI_APPLICATION)), 3);
    EXPECT_EQ(images.Add((HICON)NULL), -1);
    EXPECT_EQ(images.Add((CBitmap*)NULL, RGB(255, 0, 255)), -1);
    EXPECT_EQ(images.GetImageCount(), 4);

    HICON hIcon = images.ExtractIcon(1);
    ASSERT_NE(hIcon, (HICON)NULL);
    ICONINFO iconInfo = {};
    EXPECT_TRUE(::GetIconInfo(hIcon, &iconInfo));
    ::DeleteObject(iconInfo.hbmColor);
    ::DeleteObject(iconInfo.hbmMask);
    ::DestroyIcon(hIcon);
    EXPECT_EQ(images.ExtractIcon(17), (HICON)NULL);

    EXPECT_TRUE(images.Remove(0));
    EXPECT_EQ(images.GetImageCount(), 3);
    EXPECT_FALSE(images.Remove(10));
    EXPECT_TRUE(images.Remove(-1));
    EXPECT_EQ(images.GetImageCount(), 0);
}

TEST(CImageList, DrawsImagesWithTheMaskTransparent)
{
    const COLORREF colours[2] = { RGB(255, 0, 0), RGB(0, 0, 255) };
    CBitmap strip;
    ASSERT_TRUE(strip.Attach(MakeStrip(2, colours)));
    CImageList images;
    ASSERT_TRUE(images.Create(16, 16, ILC_COLOR24 | ILC_MASK, 2, 1));
    ASSERT_EQ(images.Add(&strip, RGB(255, 0, 255)), 0);

    CDC dc;
    ASSERT_TRUE(dc.CreateCompatibleDC(NULL));
    CBitmap target;
    ASSERT_TRUE(target.Attach(::CreateBitmap(40, 20, 1, 32, NULL)));
    CBitmap* pOld = dc.SelectObject(&target);
    dc.FillSolidRect(0, 0, 40, 20, RGB(0, 255, 0));
    EXPECT_TRUE(images.Draw(&dc, 1, CPoint(20, 2), ILD_TRANSPARENT));
    EXPECT_FALSE(images.Draw(NULL, 1, CPoint(0, 0), ILD_NORMAL));
    EXPECT_EQ(dc.GetPixel(30, 12), RGB(0, 0, 255));
    EXPECT_EQ(dc.GetPixel(21, 3), RGB(0, 255, 0));  // the magenta corner lets the background through
    EXPECT_EQ(dc.GetPixel(5, 5), RGB(0, 255, 0));
    dc.SelectObject(pOld);
}

TEST(CImageList, ListIsDestroyedWithItsWrapperUnlessDetached)
{
    HBITMAP hInside = NULL;
    {
        CImageList images;
        ASSERT_TRUE(images.Create(16, 16, ILC_COLOR24, 1, 1));
        ASSERT_EQ(images.Add(::LoadIconW(NULL, IDI_APPLICATION)), 0);
        hInside = ImageBitmapOf(images.m_hImageList);
        ASSERT_EQ(::GetObjectType(hInside), (DWORD)OBJ_BITMAP);
    }
    EXPECT_EQ(::GetObjectType(hInside), 0u);

    HIMAGELIST hKept = NULL;
    {
        CImageList images;
        ASSERT_TRUE(images.Create(16, 16, ILC_COLOR24, 1, 1));
        images.Add(::LoadIconW(NULL, IDI_APPLICATION));
        hKept = images.Detach();
        EXPECT_EQ(images.m_hImageList, (HIMAGELIST)NULL);
        EXPECT_EQ(CImageList::FromHandlePermanent(hKept), nullptr);
    }
    EXPECT_EQ(ImageList_GetImageCount(hKept), 1);
    hInside = ImageBitmapOf(hKept);
    EXPECT_TRUE(ImageList_Destroy(hKept));
    EXPECT_EQ(::GetObjectType(hInside), 0u);
}

TEST(CImageList, FromHandleGivesTheOwnerOrATemporaryThatDoesNotDestroy)
{
    CImageList owner;
    ASSERT_TRUE(owner.Create(16, 16, ILC_COLOR24, 1, 1));
    EXPECT_EQ(CImageList::FromHandle(owner.m_hImageList), &owner);
    EXPECT_EQ(CImageList::FromHandle(NULL), nullptr);

    HIMAGELIST hForeign = ImageList_Create(16, 16, ILC_COLOR24, 1, 1);
    ImageList_ReplaceIcon(hForeign, -1, ::LoadIconW(NULL, IDI_APPLICATION));
    CImageList* pTemp = CImageList::FromHandle(hForeign);
    ASSERT_NE(pTemp, nullptr);
    EXPECT_EQ(CImageList::FromHandle(hForeign), pTemp);
    EXPECT_EQ(pTemp->GetImageCount(), 1);
    HBITMAP hInside = ImageBitmapOf(hForeign);
    AfxPurgeTemporaryImageLists();
    EXPECT_EQ(::GetObjectType(hInside), (DWORD)OBJ_BITMAP);
    EXPECT_EQ(ImageList_GetImageCount(hForeign), 1);
    ImageList_Destroy(hForeign);

    // Attaching takes ownership; a second attach is refused.
    CImageList adopter;
    HIMAGELIST hAdopted = ImageList_Create(16, 16, ILC_COLOR24, 1, 1);
    EXPECT_TRUE(adopter.Attach(hAdopted));
    EXPECT_FALSE(adopter.Attach(hAdopted));
    EXPECT_EQ(CImageList::FromHandlePermanent(hAdopted), &adopter);
    EXPECT_TRUE(adopter.DeleteImageList());
    EXPECT_EQ(CImageList::FromHandlePermanent(hAdopted), nullptr);
    EXPECT_FALSE(adopter.DeleteImageList());
}

TEST(CImageList, ResourceFormCutsTheBitmapIntoImagesAndFailsCleanly)
{
    // The common controls' own toolbar strip stands in for a skin bitmap.
    HMODULE hComCtl = ::GetModuleHandleW(L"comctl32.dll");
    ASSERT_NE(hComCtl, (HMODULE)NULL);
    HBITMAP hStrip = (HBITMAP)::LoadImageW(hComCtl, MAKEINTRESOURCEW(120), IMAGE_BITMAP, 0, 0, 0);
    ASSERT_NE(hStrip, (HBITMAP)NULL);
    BITMAP bm = {};
    ::GetObjectW(hStrip, sizeof(bm), &bm);
    ::DeleteObject(hStrip);

    HINSTANCE hOld = AfxGetResourceHandle();
    AfxSetResourceHandle(hComCtl);
    CImageList images;
    BOOL bCreated = images.Create(120u, 16, 4, RGB(192, 192, 192));
    CImageList missing;
    BOOL bMissing = missing.Create(54321u, 16, 4, RGB(255, 0, 255));
    AfxSetResourceHandle(hOld);

    ASSERT_TRUE(bCreated);
    EXPECT_EQ(images.GetImageCount(), bm.bmWidth / 16);
    IMAGEINFO info = {};
    ASSERT_TRUE(images.GetImageInfo(0, &info));
    EXPECT_NE(info.hbmMask, (HBITMAP)NULL);
    EXPECT_EQ(CRect(info.rcImage).Height(), bm.bmHeight);
    EXPECT_FALSE(bMissing);
    EXPECT_EQ(missing.m_hImageList, (HIMAGELIST)NULL);
    EXPECT_FALSE(missing.Create(0u, 0, 4, RGB(255, 0, 255)));
}
