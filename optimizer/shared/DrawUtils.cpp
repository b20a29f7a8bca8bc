#include "optimizer/shared/DrawUtils.h"

CString MakeEllipsisText(CDC* pDC, const CString& strText, int nWidth, int nMargin)
{
    int nLength = strText.GetLength();
    if (nLength == 0)
        return strText;
    CSize size = pDC->GetTextExtent(strText, nLength);
    if (nWidth >= nMargin + size.cx)
        return strText;
    CSize sizeDots = pDC->GetTextExtent(L"...", 3);
    int nRoom = nWidth - nMargin - sizeDots.cx;
    int nFit = 0;
    if (nRoom > 0)
    {
        SIZE sizeFit = {};
        if (!::GetTextExtentExPointW(pDC->m_hAttribDC, strText, nLength, nRoom, &nFit, NULL, &sizeFit))
            nFit = 0;
    }
    if (nFit > nLength - 1)
        nFit = nLength - 1;
    if (nFit < 1)
        nFit = 1;
    return strText.Left(nFit) + L"...";
}

void DrawTransparentBitmap(CDC* pDC, int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc,
                           int nSrcWidth, int nSrcHeight, COLORREF crKey)
{
    if (nWidth <= 0 || nHeight <= 0)
        return;
    CDC dcImage, dcMask;
    CBitmap bmpImage, bmpMask;
    if (!dcImage.CreateCompatibleDC(pDC) || !dcMask.CreateCompatibleDC(pDC) ||
        !bmpImage.CreateCompatibleBitmap(pDC, nWidth, nHeight) || !bmpMask.CreateBitmap(nWidth, nHeight, 1, 1, NULL))
        return;
    HGDIOBJ hOldImage = ::SelectObject(dcImage, bmpImage);
    HGDIOBJ hOldMask = ::SelectObject(dcMask, bmpMask);

    dcImage.SetStretchBltMode(COLORONCOLOR);
    dcImage.StretchBlt(0, 0, nWidth, nHeight, pSrcDC, xSrc, ySrc, nSrcWidth, nSrcHeight, SRCCOPY);
    // Mask: key pixels white, the rest black.
    COLORREF crOldBack = dcImage.SetBkColor(crKey);
    dcMask.BitBlt(0, 0, nWidth, nHeight, &dcImage, 0, 0, SRCCOPY);
    // Key pixels of the image black.
    dcImage.SetBkColor(RGB(0, 0, 0));
    COLORREF crOldText = dcImage.SetTextColor(RGB(255, 255, 255));
    dcImage.BitBlt(0, 0, nWidth, nHeight, &dcMask, 0, 0, SRCAND);
    dcImage.SetBkColor(crOldBack);
    dcImage.SetTextColor(crOldText);
    // Hole in the destination, then the image into it.
    COLORREF crDestBack = pDC->SetBkColor(RGB(255, 255, 255));
    COLORREF crDestText = pDC->SetTextColor(RGB(0, 0, 0));
    pDC->BitBlt(x, y, nWidth, nHeight, &dcMask, 0, 0, SRCAND);
    pDC->BitBlt(x, y, nWidth, nHeight, &dcImage, 0, 0, SRCPAINT);
    pDC->SetBkColor(crDestBack);
    pDC->SetTextColor(crDestText);

    ::SelectObject(dcImage, hOldImage);
    ::SelectObject(dcMask, hOldMask);
}

void DrawTransparentBitmap(CDC* pDC, int x, int y, CBitmap& bitmap, COLORREF crKey)
{
    BITMAP bm = {};
    if (bitmap.m_hObject == NULL || !bitmap.GetBitmap(&bm))
        return;
    CDC dcSource;
    if (!dcSource.CreateCompatibleDC(pDC))
        return;
    HGDIOBJ hOld = ::SelectObject(dcSource, bitmap);
    DrawTransparentBitmap(pDC, x, y, bm.bmWidth, bm.bmHeight, &dcSource, 0, 0, bm.bmWidth, bm.bmHeight, crKey);
    ::SelectObject(dcSource, hOld);
}

void DrawBitmapAt(HDC hDC, HBITMAP hBitmap, int x, int y, int cx, int cy)
{
    if (hDC == NULL || hBitmap == NULL)
        return;
    HDC hMem = ::CreateCompatibleDC(hDC);
    if (hMem == NULL)
        return;
    HGDIOBJ hOld = ::SelectObject(hMem, hBitmap);
    ::BitBlt(hDC, x, y, cx, cy, hMem, 0, 0, SRCCOPY);
    ::SelectObject(hMem, hOld);
    ::DeleteDC(hMem);
}

void PaintParentBackground(CWnd* pChild, CDC* pDC, const CRect& rcChild)
{
    pDC->FillSolidRect(&rcChild, RGB(255, 255, 255));
    HWND hParent = ::GetParent(pChild->GetSafeHwnd());
    if (hParent == NULL)
        return;
    CRect rcInParent;
    pChild->GetWindowRect(&rcInParent);
    ::MapWindowPoints(NULL, hParent, (LPPOINT)&rcInParent, 2);
    int nSaved = pDC->SaveDC();
    pDC->OffsetViewportOrg(rcChild.left - rcInParent.left, rcChild.top - rcInParent.top);
    pDC->IntersectClipRect(rcInParent.left, rcInParent.top, rcInParent.right, rcInParent.bottom);
    ::SendMessageW(hParent, WM_PRINTCLIENT, (WPARAM)pDC->GetSafeHdc(), PRF_CLIENT | PRF_ERASEBKGND);
    pDC->RestoreDC(nSaved);
}
