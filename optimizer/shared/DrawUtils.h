#pragma once
// Drawing helpers of the libraries' skinned controls.
#include "framework/Afx.h"

// The key colour of every library bitmap.
const COLORREF SKIN_KEY_COLOR = RGB(255, 0, 255);

// The text itself when it fits in nWidth less nMargin, else its longest head
// that fits followed by "..." (at least one character).
CString MakeEllipsisText(CDC* pDC, const CString& strText, int nWidth, int nMargin);

// Draws a source region at (x, y) in the given size (stretched when the sizes
// differ), leaving out every pixel of the key colour.
void DrawTransparentBitmap(CDC* pDC, int x, int y, int nWidth, int nHeight, CDC* pSrcDC, int xSrc, int ySrc,
                           int nSrcWidth, int nSrcHeight, COLORREF crKey);
// The same for a whole bitmap drawn at its own size.
void DrawTransparentBitmap(CDC* pDC, int x, int y, CBitmap& bitmap, COLORREF crKey);

// Copies the top-left cx by cy of a bitmap to (x, y); nothing when either handle is NULL.
void DrawBitmapAt(HDC hDC, HBITMAP hBitmap, int x, int y, int cx, int cy);

// Fills a memory context with the parent's own drawing of the area under a
// child window (WM_PRINTCLIENT), on white where the parent draws nothing.
void PaintParentBackground(CWnd* pChild, CDC* pDC, const CRect& rcChild);
