#pragma once
// Small drawing routines of the XP look: the drop-down arrow strip, image
// buttons, the check mark and a window's two-pixel shadow.
#include "framework/Afx.h"
#include "framework/Controls.h"
#include "framework/Dc.h"
#include "controls/skin/XPColors.h"

// Bitmap resource of the arrow strip: images 9 pixels wide, magenta key.
#define IDB_XP_ARROWS 8009

class ArrowImageList
{
public:
    ArrowImageList();

    // Image 0 (enabled) or 2 (disabled) at the right edge of rc, centred
    // vertically.
    void DrawArrow(CDC* pDC, CRect rc, BOOL bEnabled);
    // A new icon the caller destroys.
    HICON ExtractIcon(int nImage);

    CImageList m_imageList;
    CSize m_sizeImage;
    int m_nArrowWidth;
};

class ImageButtonPainter
{
public:
    ImageButtonPainter();

    // nState: 0 normal, 1 hot, 2 pressed. clrFace 5 paints no background.
    void Draw(CDC* pDC, int nState, CRect rc, COLORREF clrFace, BOOL bPressedImage);

    void SetImageIndex(int nFirstImage, int nSecondImage)
    {
        m_nFirstImage = nFirstImage;
        m_nSecondImage = nSecondImage;
    }
    void SetXPLook(BOOL bXP) { m_bXP = bXP; }
    void SetFrame(BOOL bFrame) { m_bFrame = bFrame; }

    CRect m_rect;
    int m_nFirstImage;
    int m_nSecondImage;
    CImageList m_imageList;
    BOOL m_bXP;
    BOOL m_bFrame;
    CToolTipCtrl m_toolTip;
};

// The icon resource nID at 16 x 16; the caller destroys it.
HICON LoadSmallIcon(UINT nID);
// A three-pixel tick in the XP highlight colour.
void DrawCheckMark(CDC* pDC, CRect rc);
// Writes a soft two-pixel shadow along the right and bottom edges of rc into
// pDC, darkening what the screen shows at the window position (x, y).
void DrawWindowShadow(CRect rc, int x, int y, CDC* pDC);
