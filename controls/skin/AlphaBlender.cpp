#include "controls/skin/AlphaBlender.h"

CAlphaBlender::CAlphaBlender() : m_hModule(NULL), m_pfnAlphaBlend(NULL), m_bBound(FALSE)
{
}

CAlphaBlender::~CAlphaBlender()
{
    if (m_hModule != NULL)
        FreeLibrary(m_hModule);
}

void CAlphaBlender::Bind() const
{
    // Bound at first use: every task button has a blender, and most are
    // never drawn blended.
    if (m_bBound)
        return;
    m_bBound = TRUE;
    m_hModule = LoadLibraryW(L"msimg32.dll");
    if (m_hModule != NULL)
        m_pfnAlphaBlend = (PFNALPHABLEND)(void*)GetProcAddress(m_hModule, "AlphaBlend");
}

BOOL CAlphaBlender::IsAvailable() const
{
    Bind();
    return m_pfnAlphaBlend != NULL;
}

BOOL CAlphaBlender::AlphaBlend(CDC* pDestDC, const CRect& rcDest, CDC* pSrcDC, const CRect& rcSrc, int nAlpha)
{
    if (!IsAvailable())
        return FALSE;
    if (nAlpha < 0)
        nAlpha = 0;
    if (nAlpha > 255)
        nAlpha = 255;
    BLENDFUNCTION blend = { AC_SRC_OVER, 0, (BYTE)nAlpha, 0 };
    return m_pfnAlphaBlend(pDestDC->m_hDC, rcDest.left, rcDest.top, rcDest.Width(), rcDest.Height(), pSrcDC->m_hDC,
                           rcSrc.left, rcSrc.top, rcSrc.Width(), rcSrc.Height(), blend);
}
