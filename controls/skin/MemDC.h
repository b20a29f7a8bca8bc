#pragma once
// Off-screen drawing context: everything drawn into it lands on the target in
// one blit when it goes out of scope, so owner-drawn controls never flicker.
// On a printer it simply stands for the target.
#include "framework/Afx.h"
#include "framework/Dc.h"

class CMemDC : public CDC
{
public:
    // Covers the target's clip box.
    explicit CMemDC(CDC* pDC);
    // Covers pRect (NULL or empty: the clip box); bCopyBackground starts the
    // drawing on the target's current pixels.
    CMemDC(CDC* pDC, const CRect* pRect, BOOL bCopyBackground = FALSE);
    ~CMemDC() override;

    CMemDC* operator->() { return this; }
    operator CMemDC*() { return this; }

private:
    void Init(CDC* pDC, const CRect* pRect, BOOL bCopyBackground);

    CBitmap m_bitmap;
    HGDIOBJ m_hOldBitmap;
    CDC* m_pDC;
    CRect m_rect;
    BOOL m_bMemDC;
};
