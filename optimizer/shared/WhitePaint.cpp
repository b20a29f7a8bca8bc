#include "optimizer/shared/WhitePaint.h"

CWhitePaint::CWhitePaint(HWND hWnd, HBRUSH hbrWhite) : m_hWnd(hWnd), m_ps(), m_hDC(NULL), m_rcClient()
{
    m_hDC = ::BeginPaint(m_hWnd, &m_ps);
    if (m_hDC == NULL)
        return;
    ::GetClientRect(m_hWnd, &m_rcClient);
    ::FillRect(m_hDC, &m_rcClient, hbrWhite);
}

CWhitePaint::~CWhitePaint()
{
    if (m_hDC != NULL)
        ::EndPaint(m_hWnd, &m_ps);
}
