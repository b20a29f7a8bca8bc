#pragma once
// A CButtonVE with an image beside its caption: separate hot and disabled
// images, an optional soft shadow, transparent or embossed drawing.
#include "controls/skin/ButtonVE.h"

class CButtonVE_Image : public CButtonVE
{
public:
    // Where the image sits relative to the caption.
    enum
    {
        IMAGE_LEFT = 0x100,
        IMAGE_RIGHT = 0x200,
        IMAGE_ABOVE = 0x400,
        IMAGE_BELOW = 0x800
    };

    CButtonVE_Image();
    ~CButtonVE_Image() override;

    void SetImageGap(int cx, int cy);
    // The normal image (not owned: the caller keeps it).
    HBITMAP SetBitmap(HBITMAP hBitmap);
    HICON SetIcon(HICON hIcon);
    // The hot image, owned from now on; returns the previous hot bitmap,
    // which the caller owns again.
    HBITMAP SetImage(HBITMAP hBitmap);
    void SetDisabledImage(HBITMAP hBitmap);
    void SetImageShadow(BOOL bShadow);
    void SetImagePosition(UINT nPosition);
    // -1 takes the image's top-left pixel.
    void SetTransparentColor(COLORREF crTransparent);

    // Shared with the page picture of the task pages.
    static void DrawBitmapDisabled(CDC* pDC, CDC* pSrcDC, int x, int y, int cx, int cy, COLORREF crTransparent);
    static void DrawBitmapTransparent(CDC* pDC, CDC* pSrcDC, int x, int y, int cx, int cy, COLORREF crTransparent);
    static void DrawBitmapShadow(CDC* pDC, CDC* pSrcDC, int x, int y, int cx, int cy, COLORREF crTransparent);

protected:
    void DrawContent(CDC* pDC, HTHEME hTheme, UINT nUIState, const CRect& rcClient, const CRect& rcContent,
                     CRect rcText, UINT nFlags, BOOL bEnabled) override;
    // The caption font; the task button draws its own fonts per line.
    virtual CFont* SelectCaptionFont(CDC* pDC, CFont& fontScratch);

    HBITMAP GetNormalBitmap() const;
    HICON GetNormalIcon() const;

    COLORREF m_crTransparent;
    BOOL m_bImageShadow;
    HBITMAP m_hHotBitmap;
    HICON m_hHotIcon;
    HBITMAP m_hDisabledBitmap;
    HICON m_hDisabledIcon;
    UINT m_nImagePosition;
    CSize m_sizeImageGap;
    HBITMAP m_hNormalBitmap;
    HICON m_hNormalIcon;
};
