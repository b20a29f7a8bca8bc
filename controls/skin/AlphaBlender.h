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
    BOOL IsAvailable() const;

private:
    typedef BOOL(WINAPI* PFNALPHABLEND)(HDC, int, int, int, int, HDC, int, int, int, int, BLENDFUNCTION);

    CAlphaBlender(const CAlphaBlender&) = delete;
    CAlphaBlender& operator=(const CAlphaBlender&) = delete;

    void Bind() const;

    // Filled in by the first use (one window thread uses a blender).
    mutable HMODULE m_hModule;
    mutable PFNALPHABLEND m_pfnAlphaBlend;
    mutable BOOL m_bBound;
};
