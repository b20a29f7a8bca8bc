#include "controls/skin/CaptionBar.h"

#include "framework/Dc.h"
#include "controls/skin/XPColors.h"

BEGIN_MESSAGE_MAP(CCaptionBar, CButton)
    ON_WM_PAINT()
    ON_WM_SYSCOLORCHANGE()
END_MESSAGE_MAP()

CCaptionBar::CCaptionBar()
    : m_nAlignment(0), m_crBack(RGB(255, 255, 255)), m_crLine(GetSysColor(COLOR_BTNSHADOW))
{
}

void CCaptionBar::PreSubclassWindow()
{
    CButton::PreSubclassWindow();
    GetWindowText(m_strCaption);
    // The group box must never draw its own text.
    SetWindowText(L"");
    Invalidate();
}

void CCaptionBar::SetCaption(const CString& strCaption)
{
    m_strCaption = strCaption;
    if (m_hWnd != NULL)
    {
        SetWindowText(L"");
        // The bar is see-through: the parent repaints under it first, so a
        // longer old caption leaves nothing behind.
        CRect rcBar;
        GetWindowRect(&rcBar);
        HWND hParent = ::GetParent(m_hWnd);
        ::MapWindowPoints(NULL, hParent, (LPPOINT)&rcBar, 2);
        ::RedrawWindow(hParent, &rcBar, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    }
}

void CCaptionBar::ShowWithContents(int nCmdShow)
{
    CRect rcBar;
    GetWindowRect(&rcBar);
    HWND hParent = ::GetParent(m_hWnd);
    for (HWND hChild = ::GetWindow(hParent, GW_CHILD); hChild != NULL; hChild = ::GetWindow(hChild, GW_HWNDNEXT))
    {
        if (hChild == m_hWnd)
            continue;
        CRect rcChild, rcOverlap;
        ::GetWindowRect(hChild, &rcChild);
        if (::IntersectRect(&rcOverlap, &rcBar, &rcChild))
            ::ShowWindow(hChild, nCmdShow);
    }
    ShowWindow(nCmdShow);
    Invalidate();
}

void CCaptionBar::OnPaint()
{
    CPaintDC dc(this);
    CRect rect;
    GetClientRect(&rect);

    CPen pen(PS_SOLID, 1, RGB(179, 179, 179));
    CBrush brush(m_crBack);
    bool bVertical = m_nAlignment == 2 || m_nAlignment == 3;
    CFont font;
    font.CreateFont(-11, 0, bVertical ? 900 : 0, bVertical ? 900 : 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET,
                    OUT_STRING_PRECIS, CLIP_STROKE_PRECIS, DRAFT_QUALITY, VARIABLE_PITCH | FF_SWISS, L"Verdana");
    CFont* pOldFont = dc.SelectObject(&font);
    CPen* pOldPen = dc.SelectObject(&pen);

    CSize size = dc.GetTextExtent(m_strCaption);
    size.cx += 2;
    rect.top += 6;
    // The frame's right and bottom lines lie on the last pixel column and row:
    // the control's own DC clips anything further out.
    rect.right -= 1;
    rect.bottom -= 1;

    CRect rcText = rect;
    switch (m_nAlignment)
    {
    case 1:
        rcText.right -= 6;
        rcText.left = rcText.right - size.cx + 1;
        rcText.bottom = rcText.top + size.cy + 1;
        break;
    case 2:
        rcText.bottom -= 6;
        rcText.left = -7;
        rcText.top = rcText.bottom - size.cx;
        rcText.right = rcText.left + size.cy + 1;
        break;
    case 3:
        rcText.top += 10;
        rcText.left = -7;
        rcText.right = rcText.left + size.cy + 1;
        rcText.bottom = rcText.top + size.cx + 7;
        break;
    default:
        rcText.left += 6;
        rcText.right = rcText.left + size.cx + 1;
        rcText.bottom = rcText.top + size.cy + 1;
        break;
    }

    auto line = [&](int x1, int y1, int x2, int y2) {
        dc.MoveTo(x1, y1);
        dc.LineTo(x2, y2);
    };
    line(rect.left + 2, rect.top, rect.right - 2, rect.top);
    line(rect.left, rect.top + 2, rect.left, rect.bottom - 2);
    line(rect.right, rect.top + 2, rect.right, rect.bottom - 2);
    line(rect.left + 2, rect.bottom, rect.right - 2, rect.bottom);
    line(rect.left + 2, rect.top, rect.left, rect.top + 2);
    line(rect.right - 2, rect.top, rect.right, rect.top + 2);
    line(rect.left, rect.bottom - 2, rect.left + 2, rect.bottom);
    line(rect.right - 2, rect.bottom, rect.right, rect.bottom - 2);

    int nOldMode = dc.SetBkMode(TRANSPARENT);
    dc.FillRect(&rcText, &brush);
    dc.SetTextColor(GetXPHighlightColor());
    if (bVertical)
        dc.TextOut(rcText.left, rcText.bottom - 2, m_strCaption);
    else
        dc.TextOut(rcText.left, rcText.top, m_strCaption);

    dc.SetBkMode(nOldMode);
    dc.SelectObject(pOldPen);
    dc.SelectObject(pOldFont);
}

void CCaptionBar::OnSysColorChange()
{
    m_crBack = GetSysColor(COLOR_BTNFACE);
    m_crLine = GetSysColor(COLOR_BTNSHADOW);
    Default();
}
