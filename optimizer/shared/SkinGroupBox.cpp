#include "optimizer/shared/SkinGroupBox.h"

BEGIN_MESSAGE_MAP(CSkinGroupBox, CButton)
    ON_WM_PAINT()
    ON_WM_SYSCOLORCHANGE()
END_MESSAGE_MAP()

CSkinGroupBox::CSkinGroupBox() : m_crCaptionBack(RGB(233, 233, 233))
{
}

void CSkinGroupBox::PreSubclassWindow()
{
    GetWindowText(m_strCaption);
    SetWindowText(L"");
}

void CSkinGroupBox::SetCaption(LPCWSTR lpszCaption)
{
    m_strCaption = lpszCaption;
    if (m_hWnd != NULL)
    {
        SetWindowText(L"");
        Invalidate();
    }
}

void CSkinGroupBox::OnSysColorChange()
{
    m_crCaptionBack = ::GetSysColor(COLOR_BTNFACE);
}

void CSkinGroupBox::OnPaint()
{
    CPaintDC dc(this);
    CRect rc;
    GetClientRect(&rc);
    CFont font;
    font.CreateFont(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, VARIABLE_PITCH | FF_SWISS, L"Verdana");
    CFont* pOldFont = dc.SelectObject(&font);
    CSize sizeCaption = dc.GetTextExtent(m_strCaption);
    int nWidth = sizeCaption.cx + 2;

    CRect rcFrame(rc);
    rcFrame.DeflateRect(1, 1);
    rcFrame.top += 6;
    CPen pen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNSHADOW));
    CPen* pOldPen = dc.SelectObject(&pen);
    const int l = rcFrame.left, t = rcFrame.top, r = rcFrame.right - 1, b = rcFrame.bottom - 1;
    // Straight sides stop 2 pixels short of each corner; diagonals close them.
    const POINT outline[] = {{l + 2, t}, {r - 2, t}, {r, t + 2}, {r, b - 2}, {r - 2, b},
                             {l + 2, b}, {l, b - 2}, {l, t + 2}, {l + 2, t}};
    dc.Polyline(outline, 9);
    dc.SelectObject(pOldPen);

    if (!m_strCaption.IsEmpty())
    {
        CRect rcCaption(rc.left + 6, rc.top, rc.left + nWidth + 7, rc.top + sizeCaption.cy + 1);
        dc.FillSolidRect(&rcCaption, m_crCaptionBack);
        COLORREF crHighlight = ::GetSysColor(COLOR_HIGHLIGHT);
        COLORREF crText = RGB((BYTE)(GetRValue(crHighlight) + 10), (BYTE)(GetGValue(crHighlight) + 10),
                              (BYTE)(GetBValue(crHighlight) + 10));
        dc.SetBkMode(TRANSPARENT);
        dc.SetTextColor(crText);
        dc.TextOut(rcCaption.left, rcCaption.top, m_strCaption);
    }
    dc.SelectObject(pOldFont);
}
