#include "controls/skin/AlphaBlender.h"

CAlphaBlender::CAlphaBlender() : m_pfnAlphaBlend(NULL)
{
    m_hModule = LoadLibraryW(L"msimg32.dll");
    if (m_hModule != NULL)
        m_pfnAlphaBlend = (PFNALPHABLEND)(void*)GetProcAddress(m_hModule, "AlphaBlend");
}

CAlphaBlender::~CAlphaBlender()
{
    if (m_hModule != NULL)
        FreeLibrary(m_hModule);
}

BOOL CAlphaBlender::AlphaBlend(CDC* pDestDC, const CRect& rcDest, CDC* pSrcDC, const CRect& rcSrc, int nAlpha)
{
    if (m_pfnAlphaBlend == NULL)
        return FALSE;
    if (nAlpha < 0)
        nAlpha = 0;
    if (nAlpha > 255)
        nAlpha = 255;
    BLENDFUNCTION blend = { AC_SRC_OVER, 0, (BYTE)nAlpha, 0 };
    return m_pfnAlphaBlend(pDestDC->m_hDC, rcDest.left, rcDest.top, rcDest.Width(), rcDest.Height(), pSrcDC->m_hDC,
                           rcSrc.left, rcSrc.top, rcSrc.Width(), rcSrc.Height(), blend);
}
