#include "controls/skin/ButtonVE_Image.h"

#include <algorithm>
#include <vector>

namespace {

// Start of a block of nBlock along one axis of [nStart, nEnd): centred, at the
// far end or at the start.
int PlaceBlock(int nStart, int nEnd, int nBlock, UINT bCentre, UINT bFar)
{
    if (bCentre)
        return nStart + (nEnd - nStart - nBlock) / 2;
    if (bFar)
        return nEnd - nBlock;
    return nStart;
}

// Start of an image of nImage that follows the caption (nText, then nGap)
// along one axis, the pair placed as a block.
int PlaceAfterCaption(int nStart, int nEnd, int nImage, int nGap, int nText, UINT bCentre, UINT bFar)
{
    if (bCentre)
        return nEnd - (nEnd - nStart - (nImage + nGap + nText)) / 2 - nImage;
    if (bFar)
        return nEnd - nImage;
    return nStart + nText + nGap;
}

// A monochrome mask of the source: white where it has the transparent colour.
HBITMAP CreateMask(CDC* pSrcDC, int cx, int cy, COLORREF crTransparent)
{
    HBITMAP hMask = ::CreateBitmap(cx, cy, 1, 1, NULL);
    if (hMask == NULL)
        return NULL;
    HDC hMaskDC = ::CreateCompatibleDC(pSrcDC->m_hDC);
    HGDIOBJ hOld = ::SelectObject(hMaskDC, hMask);
    COLORREF crOldBk = ::SetBkColor(pSrcDC->m_hDC, crTransparent);
    ::BitBlt(hMaskDC, 0, 0, cx, cy, pSrcDC->m_hDC, 0, 0, SRCCOPY);
    ::SetBkColor(pSrcDC->m_hDC, crOldBk);
    ::SelectObject(hMaskDC, hOld);
    ::DeleteDC(hMaskDC);
    return hMask;
}

struct DibPixels
{
    HBITMAP hBitmap = NULL;
    DWORD* pBits = nullptr;
    ~DibPixels()
    {
        if (hBitmap != NULL)
            ::DeleteObject(hBitmap);
    }
    bool Create(HDC hRef, int cx, int cy)
    {
        BITMAPINFO bmi = {};
        bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
        bmi.bmiHeader.biWidth = cx;
        bmi.bmiHeader.biHeight = -cy;
        bmi.bmiHeader.biPlanes = 1;
        bmi.bmiHeader.biBitCount = 32;
        bmi.bmiHeader.biCompression = BI_RGB;
        void* pv = nullptr;
        hBitmap = ::CreateDIBSection(hRef, &bmi, DIB_RGB_COLORS, &pv, NULL, 0);
        pBits = (DWORD*)pv;
        return hBitmap != NULL && pBits != nullptr;
    }
};

} // namespace

CButtonVE_Image::CButtonVE_Image()
    : m_crTransparent((COLORREF)-1), m_bImageShadow(FALSE), m_hHotBitmap(NULL), m_hHotIcon(NULL),
      m_hDisabledBitmap(NULL), m_hDisabledIcon(NULL), m_nImagePosition(IMAGE_LEFT), m_sizeImageGap(8, 1),
      m_hNormalBitmap(NULL), m_hNormalIcon(NULL)
{
}

CButtonVE_Image::~CButtonVE_Image()
{
    // Pages commonly give the same bitmap as normal and hot image; the normal
    // one stays the caller's, so it is never deleted here.
    if (m_hHotBitmap != NULL && m_hHotBitmap != m_hNormalBitmap)
        ::DeleteObject(m_hHotBitmap);
    if (m_hDisabledBitmap != NULL && m_hDisabledBitmap != m_hNormalBitmap)
        ::DeleteObject(m_hDisabledBitmap);
    if (m_hHotIcon != NULL)
        ::DestroyIcon(m_hHotIcon);
    if (m_hDisabledIcon != NULL)
        ::DestroyIcon(m_hDisabledIcon);
}

void CButtonVE_Image::SetImageGap(int cx, int cy)
{
    m_sizeImageGap = CSize(cx, cy);
    Repaint();
}

HBITMAP CButtonVE_Image::SetBitmap(HBITMAP hBitmap)
{
    HBITMAP hOld = m_hNormalBitmap;
    m_hNormalBitmap = hBitmap;
    if (m_hWnd != NULL)
        ::SendMessageW(m_hWnd, BM_SETIMAGE, IMAGE_BITMAP, (LPARAM)hBitmap);
    Repaint();
    return hOld;
}

HICON CButtonVE_Image::SetIcon(HICON hIcon)
{
    HICON hOld = m_hNormalIcon;
    m_hNormalIcon = hIcon;
    if (m_hWnd != NULL)
        ::SendMessageW(m_hWnd, BM_SETIMAGE, IMAGE_ICON, (LPARAM)hIcon);
    Repaint();
    return hOld;
}

HBITMAP CButtonVE_Image::SetImage(HBITMAP hBitmap)
{
    if (m_hHotIcon != NULL)
        ::DestroyIcon(m_hHotIcon);
    m_hHotIcon = NULL;
    HBITMAP hOld = m_hHotBitmap;
    m_hHotBitmap = hBitmap;
    Repaint();
    return hOld;
}

void CButtonVE_Image::SetDisabledImage(HBITMAP hBitmap)
{
    if (m_hDisabledBitmap != NULL && m_hDisabledBitmap != m_hNormalBitmap)
        ::DeleteObject(m_hDisabledBitmap);
    m_hDisabledBitmap = hBitmap;
    Repaint();
}

void CButtonVE_Image::SetImageShadow(BOOL bShadow)
{
    m_bImageShadow = bShadow;
    Repaint();
}

void CButtonVE_Image::SetImagePosition(UINT nPosition)
{
    m_nImagePosition = nPosition;
    Repaint();
}

void CButtonVE_Image::SetTransparentColor(COLORREF crTransparent)
{
    m_crTransparent = crTransparent;
    Repaint();
}

HBITMAP CButtonVE_Image::GetNormalBitmap() const
{
    HBITMAP hBitmap = m_hWnd != NULL ? (HBITMAP)::SendMessageW(m_hWnd, BM_GETIMAGE, IMAGE_BITMAP, 0) : NULL;
    return hBitmap != NULL ? hBitmap : m_hNormalBitmap;
}

HICON CButtonVE_Image::GetNormalIcon() const
{
    HICON hIcon = m_hWnd != NULL ? (HICON)::SendMessageW(m_hWnd, BM_GETIMAGE, IMAGE_ICON, 0) : NULL;
    return hIcon != NULL ? hIcon : m_hNormalIcon;
}

CFont* CButtonVE_Image::SelectCaptionFont(CDC* pDC, CFont& fontScratch)
{
    fontScratch.CreateFont(14, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Verdana");
    return pDC->SelectObject(&fontScratch);
}

void CButtonVE_Image::DrawContent(CDC* pDC, HTHEME hTheme, UINT nUIState, const CRect&, const CRect&, CRect rcText,
                                  UINT nFlags, BOOL bEnabled)
{
    // 1. Which image.
    HBITMAP hBitmap = GetNormalBitmap();
    HICON hIcon = hBitmap != NULL ? NULL : GetNormalIcon();
    BOOL bDrawEnabled = bEnabled;
    if (!bEnabled && (m_hDisabledBitmap != NULL || m_hDisabledIcon != NULL))
    {
        hBitmap = m_hDisabledBitmap;
        hIcon = m_hDisabledBitmap != NULL ? NULL : m_hDisabledIcon;
        bDrawEnabled = TRUE;
    }
    else if (bEnabled && m_bHot && (m_hHotBitmap != NULL || m_hHotIcon != NULL))
    {
        hBitmap = m_hHotBitmap;
        hIcon = m_hHotBitmap != NULL ? NULL : m_hHotIcon;
    }

    // 2. Its size.
    CSize sizeImage(0, 0);
    if (hBitmap != NULL)
    {
        BITMAP bm;
        if (::GetObjectW(hBitmap, sizeof(bm), &bm))
            sizeImage = CSize(bm.bmWidth, bm.bmHeight);
    }
    else if (hIcon != NULL)
    {
        ICONINFO ii;
        if (::GetIconInfo(hIcon, &ii))
        {
            BITMAP bm;
            if (ii.hbmColor != NULL && ::GetObjectW(ii.hbmColor, sizeof(bm), &bm))
                sizeImage = CSize(bm.bmWidth, bm.bmHeight);
            else if (ii.hbmMask != NULL && ::GetObjectW(ii.hbmMask, sizeof(bm), &bm))
                sizeImage = CSize(bm.bmWidth, bm.bmHeight / 2);
            if (ii.hbmColor != NULL)
                ::DeleteObject(ii.hbmColor);
            if (ii.hbmMask != NULL)
                ::DeleteObject(ii.hbmMask);
        }
    }
    bool bHasImage = sizeImage.cx > 0 && sizeImage.cy > 0;

    // 3. The caption.
    CString strText;
    GetWindowText(strText);
    CFont fontScratch;
    CFont* pOldFont = SelectCaptionFont(pDC, fontScratch);
    CSize sizeText = strText.IsEmpty() ? CSize(0, 0) : CalcTextSize(pDC, strText, nFlags);

    // 4. Layout.
    int w = sizeImage.cx, h = sizeImage.cy, gx = m_sizeImageGap.cx, gy = m_sizeImageGap.cy;
    CPoint ptImage(rcText.left, rcText.top);
    auto placeHorizontally = [&](int nBlock) -> int {
        return PlaceBlock(rcText.left, rcText.right, nBlock, nFlags & DT_CENTER, nFlags & DT_RIGHT);
    };
    auto placeVertically = [&](int nBlock) -> int {
        return PlaceBlock(rcText.top, rcText.bottom, nBlock, nFlags & DT_VCENTER, nFlags & DT_BOTTOM);
    };
    CRect rcCaption = rcText;
    if (bHasImage)
    {
        if (strText.IsEmpty())
        {
            ptImage = CPoint(placeHorizontally(w), placeVertically(h));
        }
        else if (m_nImagePosition == IMAGE_RIGHT)
        {
            ptImage.x = PlaceAfterCaption(rcText.left, rcText.right, w, gx, sizeText.cx, nFlags & DT_CENTER,
                                          nFlags & DT_RIGHT);
            rcCaption.right = ptImage.x - gx;
            nFlags = (nFlags & ~(DT_CENTER | DT_LEFT)) | DT_RIGHT;
            ptImage.y = placeVertically(h);
        }
        else if (m_nImagePosition == IMAGE_ABOVE)
        {
            ptImage.y = placeVertically(h + gy + sizeText.cy);
            rcCaption.top = ptImage.y + h + gy;
            nFlags = (nFlags & ~(DT_VCENTER | DT_BOTTOM)) | DT_TOP;
            ptImage.x = placeHorizontally(w);
        }
        else if (m_nImagePosition == IMAGE_BELOW)
        {
            ptImage.y = PlaceAfterCaption(rcText.top, rcText.bottom, h, gy, sizeText.cy, nFlags & DT_VCENTER,
                                          nFlags & DT_BOTTOM);
            rcCaption.bottom = ptImage.y - gy;
            nFlags = (nFlags & ~(DT_VCENTER | DT_TOP)) | DT_BOTTOM;
            ptImage.x = placeHorizontally(w);
        }
        else
        {
            ptImage.x = placeHorizontally(w + gx + sizeText.cx);
            rcCaption.left = ptImage.x + w + gx;
            nFlags = nFlags & ~(DT_CENTER | DT_RIGHT);
            ptImage.y = placeVertically(h);
        }
    }

    // 5. Caption.
    if (!strText.IsEmpty())
        DrawCaptionText(pDC, hTheme, nUIState, strText, rcCaption, nFlags, bEnabled);
    pDC->SelectObject(pOldFont);

    // 6. Image, rendered first into a work bitmap of its own size.
    if (!bHasImage)
        return;
    CBitmap bmpWork;
    if (!bmpWork.CreateCompatibleBitmap(pDC, w, h))
        return;
    CBitmapDC dcWork(&bmpWork, pDC);
    if (!dcWork.IsValid())
        return;
    dcWork.FillSolidRect(0, 0, w, h, m_crTransparent != (COLORREF)-1 ? m_crTransparent : m_crBackground);
    if (hBitmap != NULL)
    {
        CBitmapDC dcImage(hBitmap, pDC);
        if (dcImage.IsValid())
            dcWork.BitBlt(0, 0, w, h, &dcImage, 0, 0, SRCCOPY);
    }
    else
    {
        ::DrawIconEx(dcWork.m_hDC, 0, 0, hIcon, w, h, 0, NULL, DI_NORMAL);
    }
    COLORREF crTransparent = m_crTransparent != (COLORREF)-1 ? m_crTransparent : dcWork.GetPixel(0, 0);

    if (!bDrawEnabled)
    {
        DrawBitmapDisabled(pDC, &dcWork, ptImage.x, ptImage.y, w, h, crTransparent);
        return;
    }
    if (m_bImageShadow)
        DrawBitmapShadow(pDC, &dcWork, ptImage.x + 1, ptImage.y + 1, w, h, crTransparent);
    if (hBitmap == NULL)
        ::DrawIconEx(pDC->m_hDC, ptImage.x, ptImage.y, hIcon, w, h, 0, NULL, DI_NORMAL);
    else
        DrawBitmapTransparent(pDC, &dcWork, ptImage.x, ptImage.y, w, h, crTransparent);
}

void CButtonVE_Image::DrawBitmapDisabled(CDC* pDC, CDC* pSrcDC, int x, int y, int cx, int cy, COLORREF crTransparent)
{
    HBITMAP hMask = CreateMask(pSrcDC, cx, cy, crTransparent);
    if (hMask == NULL)
        return;
    HDC hMaskDC = ::CreateCompatibleDC(pDC->m_hDC);
    HGDIOBJ hOldMask = ::SelectObject(hMaskDC, hMask);
    COLORREF crOldText = pDC->SetTextColor(RGB(0, 0, 0));
    COLORREF crOldBk = pDC->SetBkColor(RGB(255, 255, 255));
    const int anColors[2] = { COLOR_3DHILIGHT, COLOR_3DSHADOW };
    for (int i = 0; i < 2; i++)
    {
        int nOffset = i == 0 ? 1 : 0;
        HBRUSH hBrush = ::GetSysColorBrush(anColors[i]);
        HGDIOBJ hOldBrush = ::SelectObject(pDC->m_hDC, hBrush);
        ::BitBlt(pDC->m_hDC, x + nOffset, y + nOffset, cx, cy, hMaskDC, 0, 0, 0xB8074A);
        ::SelectObject(pDC->m_hDC, hOldBrush);
    }
    pDC->SetTextColor(crOldText);
    pDC->SetBkColor(crOldBk);
    ::SelectObject(hMaskDC, hOldMask);
    ::DeleteDC(hMaskDC);
    ::DeleteObject(hMask);
}

void CButtonVE_Image::DrawBitmapTransparent(CDC* pDC, CDC* pSrcDC, int x, int y, int cx, int cy,
                                            COLORREF crTransparent)
{
    HBITMAP hMask = CreateMask(pSrcDC, cx, cy, crTransparent);
    if (hMask == NULL)
        return;
    HDC hMaskDC = ::CreateCompatibleDC(pDC->m_hDC);
    HGDIOBJ hOldMask = ::SelectObject(hMaskDC, hMask);
    HDC hCopyDC = ::CreateCompatibleDC(pDC->m_hDC);
    HBITMAP hCopy = ::CreateCompatibleBitmap(pDC->m_hDC, cx, cy);
    if (hCopyDC != NULL && hCopy != NULL)
    {
        HGDIOBJ hOldCopy = ::SelectObject(hCopyDC, hCopy);
        ::BitBlt(hCopyDC, 0, 0, cx, cy, pSrcDC->m_hDC, 0, 0, SRCCOPY);
        // Transparent pixels of the copy turn black...
        ::SetTextColor(hCopyDC, RGB(0, 0, 0));
        ::SetBkColor(hCopyDC, RGB(255, 255, 255));
        ::BitBlt(hCopyDC, 0, 0, cx, cy, hMaskDC, 0, 0, 0x220326);
        // ...so that mask AND then copy OR lays the shape over the target.
        COLORREF crOldText = pDC->SetTextColor(RGB(0, 0, 0));
        COLORREF crOldBk = pDC->SetBkColor(RGB(255, 255, 255));
        ::BitBlt(pDC->m_hDC, x, y, cx, cy, hMaskDC, 0, 0, SRCAND);
        ::BitBlt(pDC->m_hDC, x, y, cx, cy, hCopyDC, 0, 0, SRCPAINT);
        pDC->SetTextColor(crOldText);
        pDC->SetBkColor(crOldBk);
        ::SelectObject(hCopyDC, hOldCopy);
    }
    if (hCopy != NULL)
        ::DeleteObject(hCopy);
    if (hCopyDC != NULL)
        ::DeleteDC(hCopyDC);
    ::SelectObject(hMaskDC, hOldMask);
    ::DeleteDC(hMaskDC);
    ::DeleteObject(hMask);
}

void CButtonVE_Image::DrawBitmapShadow(CDC* pDC, CDC* pSrcDC, int x, int y, int cx, int cy, COLORREF crTransparent)
{
    int nCanvasW = cx + 8, nCanvasH = cy + 8;
    HDC hRef = pDC->m_hDC;
    DibPixels canvas, under;
    if (!canvas.Create(hRef, nCanvasW, nCanvasH) || !under.Create(hRef, nCanvasW, nCanvasH))
        return;
    HBITMAP hMask = CreateMask(pSrcDC, cx, cy, crTransparent);
    if (hMask == NULL)
        return;

    HDC hWorkDC = ::CreateCompatibleDC(hRef);
    HDC hMaskDC = ::CreateCompatibleDC(hRef);
    HGDIOBJ hOldWork = ::SelectObject(hWorkDC, canvas.hBitmap);
    HGDIOBJ hOldMask = ::SelectObject(hMaskDC, hMask);
    // The image's shape in mid grey on white.
    ::PatBlt(hWorkDC, 0, 0, nCanvasW, nCanvasH, WHITENESS);
    HBRUSH hGrey = ::CreateSolidBrush(RGB(128, 128, 128));
    HGDIOBJ hOldBrush = ::SelectObject(hWorkDC, hGrey);
    ::SetTextColor(hWorkDC, RGB(0, 0, 0));
    ::SetBkColor(hWorkDC, RGB(255, 255, 255));
    ::BitBlt(hWorkDC, 4, 4, cx, cy, hMaskDC, 0, 0, 0xB8074A);
    ::SelectObject(hWorkDC, hOldBrush);
    ::DeleteObject(hGrey);
    // What the target shows under the shadow.
    ::SelectObject(hWorkDC, under.hBitmap);
    ::BitBlt(hWorkDC, 0, 0, nCanvasW, nCanvasH, hRef, x - 2, y - 2, SRCCOPY);
    ::SelectObject(hWorkDC, hOldWork);
    ::SelectObject(hMaskDC, hOldMask);
    ::DeleteDC(hMaskDC);
    ::DeleteDC(hWorkDC);
    ::DeleteObject(hMask);
    ::GdiFlush();

    static const int s_anWeights[5][5] = {
        { 1, 2, 3, 2, 1 }, { 2, 4, 6, 4, 2 }, { 3, 6, 8, 6, 3 }, { 2, 4, 6, 4, 2 }, { 1, 2, 3, 2, 1 }
    };
    int nOutW = cx + 4, nOutH = cy + 4;
    std::vector<DWORD> result((size_t)nOutW * nOutH);
    for (int j = 0; j < nOutH; j++)
    {
        for (int i = 0; i < nOutW; i++)
        {
            int cxC = i + 2, cyC = j + 2, nSum = 0;
            for (int dy = -2; dy <= 2; dy++)
            {
                for (int dx = -2; dx <= 2; dx++)
                {
                    int sx = cxC + dx, sy = cyC + dy;
                    int nValue = 255;
                    if (sx >= 0 && sy >= 0 && sx < nCanvasW && sy < nCanvasH)
                        nValue = canvas.pBits[sy * nCanvasW + sx] & 0xFF;
                    nSum += nValue * s_anWeights[dy + 2][dx + 2];
                }
            }
            int nFactor = std::min(255, nSum / 80);
            DWORD px = under.pBits[cyC * nCanvasW + cxC];
            int b = (px & 0xFF) * nFactor / 255;
            int g = ((px >> 8) & 0xFF) * nFactor / 255;
            int r = ((px >> 16) & 0xFF) * nFactor / 255;
            result[(size_t)j * nOutW + i] = (DWORD)((r << 16) | (g << 8) | b);
        }
    }
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = nOutW;
    bmi.bmiHeader.biHeight = -nOutH;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    ::StretchDIBits(hRef, x, y, nOutW, nOutH, 0, 0, nOutW, nOutH, result.data(), &bmi, DIB_RGB_COLORS, SRCCOPY);
}
