#include "controls/skin/TextLabel.h"
#include "framework/Dc.h"

BEGIN_MESSAGE_MAP(CTextLabel, CStatic)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_MESSAGE(WM_SETTEXT, OnSetText)
END_MESSAGE_MAP()

CTextLabel::CTextLabel()
    : m_bBold(0), m_bItalic(0), m_bUnderline(0), m_bStrikeOut(0), m_bAntialias(0), m_bCenter(0), m_bLeft(1),
      m_bRight(0), m_strFaceName(L"Verdana"), m_clrText(RGB(0, 0, 0)), m_nHeight(14)
{
}

void CTextLabel::PreSubclassWindow()
{
    CStatic::PreSubclassWindow();
    ModifyStyle(0, SS_NOTIFY);
}

void CTextLabel::SetFont(const CString& strFaceName, int nHeight, COLORREF clrText, DWORD dwStyle)
{
    m_strFaceName = strFaceName;
    m_nHeight = nHeight;
    m_clrText = clrText;
    SetStyle(dwStyle);
}

void CTextLabel::SetStyle(DWORD dwStyle)
{
    if (dwStyle & TLS_BOLD)
        m_bBold = 1;
    if (dwStyle & TLS_ITALIC)
        m_bItalic = 1;
    if (dwStyle & TLS_UNDERLINE)
        m_bUnderline = 1;
    if (dwStyle & TLS_STRIKEOUT)
        m_bStrikeOut = 1;
    if (dwStyle & TLS_ANTIALIAS)
        m_bAntialias = 1;
    m_bCenter = (dwStyle & TLS_CENTER) ? 1 : 0;
    m_bRight = (!m_bCenter && (dwStyle & TLS_RIGHT)) ? 1 : 0;
    m_bLeft = (!m_bCenter && !m_bRight) ? 1 : 0;
}

UINT CTextLabel::GetAlignment() const
{
    return m_bCenter ? DT_CENTER : m_bRight ? DT_RIGHT : DT_LEFT;
}

void CTextLabel::OnPaint()
{
    CPaintDC dc(this);
    CString strText;
    GetWindowText(strText);
    CRect rect;
    GetClientRect(&rect);
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(m_clrText);

    CFont font;
    if (!font.CreateFont(m_nHeight, 0, 0, 0, m_bBold ? 900 : 400, m_bItalic, m_bUnderline, m_bStrikeOut,
                         DEFAULT_CHARSET, OUT_CHARACTER_PRECIS, CLIP_CHARACTER_PRECIS,
                         m_bAntialias ? ANTIALIASED_QUALITY : DEFAULT_QUALITY, 0, m_strFaceName))
    {
        AfxMessageBox(L"Font could not be created!");
        return;
    }
    CFont* pOldFont = dc.SelectObject(&font);
    dc.DrawText(strText, &rect, GetAlignment() | DT_WORDBREAK | DT_NOPREFIX);
    dc.SelectObject(pOldFont);
}

BOOL CTextLabel::OnEraseBkgnd(CDC* pDC)
{
    pDC->SetBkMode(TRANSPARENT);
    return TRUE;
}

LRESULT CTextLabel::OnSetText(WPARAM, LPARAM)
{
    // Hiding and showing makes the parent repaint the area under the old text;
    // a hidden label stays hidden.
    BOOL bVisible = IsWindowVisible();
    if (bVisible)
        ShowWindow(SW_HIDE);
    LRESULT lResult = Default();
    if (bVisible)
        ShowWindow(SW_SHOW);
    return lResult;
}
