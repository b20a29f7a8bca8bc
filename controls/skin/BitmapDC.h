#pragma once
// Drawing contexts over bitmaps: over a bitmap given by the caller (selected
// into a context compatible with a reference), or over a rectangle of a
// target with a bitmap of its own that is copied back at the end.
#include "framework/Afx.h"
#include "framework/Dc.h"

class CBitmapDC : public CDC
{
public:
    CBitmapDC(HBITMAP hBitmap, CDC* pRefDC);
    CBitmapDC(CBitmap* pBitmap, CDC* pRefDC);
    CBitmapDC(CDC* pTargetDC, const CRect& rect);
    ~CBitmapDC() override;

    BOOL IsValid() const { return m_hDC != NULL; }

private:
    void SelectInto(HBITMAP hBitmap, CDC* pRefDC);

    CDC* m_pTargetDC;
    CRect m_rect;
    CBitmap m_bmpOwn;
    HGDIOBJ m_hOldBitmap;
};
