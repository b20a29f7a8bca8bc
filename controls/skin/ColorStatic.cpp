#include "controls/skin/ColorStatic.h"

BEGIN_MESSAGE_MAP(CColorStatic, CStatic)
    ON_WM_ERASEBKGND()
    ON_WM_CTLCOLOR_REFLECT()
    ON_WM_PAINT()
END_MESSAGE_MAP()

CColorStatic::CColorStatic() : m_crBack(RGB(255, 255, 255)), m_crText(RGB(255, 255, 255)), m_hOldBitmap(NULL)
{
    m_brBack.CreateSolidBrush(m_crBack);
}

CColorStatic::~CColorStatic()
{
    if (m_dcMem.m_hDC != NULL && m_hOldBitmap != NULL)
        ::SelectObject(m_dcMem.m_hDC, m_hOldBitmap);
}

BOOL CColorStatic::OnEraseBkgnd(CDC* pDC)
{
    CRect rect;
    GetClientRect(&rect);
    pDC->FillRect(&rect, &m_brBack);
    return TRUE;
}

HBRUSH CColorStatic::CtlColor(CDC* pDC, UINT)
{
    pDC->SetBkColor(m_crBack);
    pDC->SetTextColor(m_crText);
    return (HBRUSH)m_brBack.m_hObject;
}

void CColorStatic::OnPaint()
{
    CPaintDC dc(this);
    CRect rect;
    GetClientRect(&rect);
    if (m_dcMem.m_hDC == NULL)
    {
        if (!m_dcMem.CreateCompatibleDC(&dc) || !m_bmpMem.CreateCompatibleBitmap(&dc, rect.Width(), rect.Height()))
            return;
        m_hOldBitmap = ::SelectObject(m_dcMem.m_hDC, m_bmpMem.m_hObject);
    }
    m_dcMem.FillRect(&rect, &m_brBack);
    CFont font;
    font.CreateFont(14, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, L"Verdana");
    CFont* pOldFont = m_dcMem.SelectObject(&font);
    CString strText;
    GetWindowText(strText);
    m_dcMem.SetBkMode(TRANSPARENT);
    m_dcMem.SetTextColor(RGB(255, 255, 255));
    m_dcMem.TextOut(rect.left, rect.top, strText);
    m_dcMem.SelectObject(pOldFont);
    dc.BitBlt(0, 0, rect.Width(), rect.Height(), &m_dcMem, 0, 0, SRCCOPY);
}
