#pragma once
// AlphaBlend bound at run time: without msimg32 nothing is blended.
#include "framework/Afx.h"
#include "framework/Dc.h"

class CAlphaBlender
{
public:
    CAlphaBlender();
    ~CAlphaBlender();

    // Constant-alpha blend of the source rectangle over the target one; the
    // alpha is clamped to 0..255.
    BOOL AlphaBlend(CDC* pDestDC, const CRect& rcDest, CDC* pSrcDC, const CRect& rcSrc, int nAlpha);
    BOOL IsAvailable() const { return m_pfnAlphaBlend != NULL; }

private:
    typedef BOOL(WINAPI* PFNALPHABLEND)(HDC, int, int, int, int, HDC, int, int, int, int, BLENDFUNCTION);

    CAlphaBlender(const CAlphaBlender&) = delete;
    CAlphaBlender& operator=(const CAlphaBlender&) = delete;

    HMODULE m_hModule;
    PFNALPHABLEND m_pfnAlphaBlend;
};
