#include "controls/skin/SegmentDisplay.h"
#include <cstdarg>
#include <cwctype>

namespace {

COLORREF BlendWithBack(COLORREF clr, COLORREF clrBack)
{
    return RGB((int)(0.75 * GetRValue(clr) + 0.25 * GetRValue(clrBack)),
               (int)(0.75 * GetGValue(clr) + 0.25 * GetGValue(clrBack)),
               (int)(0.75 * GetBValue(clr) + 0.25 * GetBValue(clrBack)));
}

}  // namespace

BEGIN_MESSAGE_MAP(CSegmentDisplay, CStatic)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

CSegmentDisplay::CSegmentDisplay()
    : m_strText(L"?"), m_bModified(TRUE), m_clrOff(RGB(0, 52, 0)), m_clrOn(RGB(0, 255, 0)),
      m_clrBack(RGB(0, 0, 0)), m_dwStyle(SDS_ASPECT | SDS_BLENDEDGE), m_bImmediateRedraw(FALSE),
      m_bTransparent(FALSE)
{
}

CSegmentDisplay::~CSegmentDisplay()
{
}

void CSegmentDisplay::SetText(LPCTSTR lpszText)
{
    CString strText(lpszText != NULL ? lpszText : L"");
    if (strText == m_strText)
        return;
    m_strText = strText;
    m_bModified = TRUE;
    Redraw();
}

void CSegmentDisplay::SetTextFormat(LPCTSTR lpszFormat, ...)
{
    va_list args;
    va_start(args, lpszFormat);
    CString strText;
    strText.FormatV(lpszFormat, args);
    va_end(args);
    SetText(strText);
}

void CSegmentDisplay::SetTextFormatID(UINT nFormatID, ...)
{
    CString strFormat;
    if (!strFormat.LoadString(nFormatID))
        return;
    va_list args;
    va_start(args, nFormatID);
    CString strText;
    strText.FormatV(strFormat, args);
    va_end(args);
    SetText(strText);
}

void CSegmentDisplay::SetColor(COLORREF clrOff, COLORREF clrOn)
{
    if (clrOff == m_clrOff && clrOn == m_clrOn)
        return;
    m_clrOff = clrOff;
    m_clrOn = clrOn;
    Redraw();
}

COLORREF CSegmentDisplay::SetBackColor(COLORREF clrBack)
{
    COLORREF clrOld = m_clrBack;
    if (clrBack != clrOld)
    {
        m_clrBack = clrBack;
        Redraw();
    }
    return clrOld;
}

void CSegmentDisplay::SetTransparent(BOOL bTransparent)
{
    m_bTransparent = bTransparent;
    if (::IsWindow(m_hWnd))
        ModifyStyleEx(bTransparent ? 0 : WS_EX_TRANSPARENT, bTransparent ? WS_EX_TRANSPARENT : 0);
}

BOOL CSegmentDisplay::ModifySegmentStyle(DWORD dwRemove, DWORD dwAdd)
{
    if (dwRemove & dwAdd)
        return FALSE;
    m_dwStyle |= dwAdd;
    m_dwStyle &= ~dwRemove;
    m_bModified = TRUE;
    Redraw();
    return TRUE;
}

void CSegmentDisplay::Redraw()
{
    if (!::IsWindow(m_hWnd))
        return;
    if (m_bTransparent)
        SetWindowRgn(NULL, TRUE);
    if (m_bImmediateRedraw)
        RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_NOERASE | RDW_UPDATENOW);
    else
        Invalidate(TRUE);
}

const std::vector<SegmentCell>& CSegmentDisplay::GetCells()
{
    BuildCells();
    return m_cells;
}

void CSegmentDisplay::BuildCells()
{
    if (!m_bModified)
        return;
    m_cells.clear();
    if (m_strText == L"?" && ::IsWindow(m_hWnd))
        GetWindowText(m_strText);
    CString strUpper(m_strText);
    strUpper.MakeUpper();
    for (int i = 0; i < strUpper.GetLength(); ++i)
        CreateCell(strUpper[i]);
    m_bModified = FALSE;
}

BOOL CSegmentDisplay::CreateCell(wchar_t ch)
{
    WORD wMask = 0;
    // Cells are kept by value: the outlines built by Init live in the base.
    if ((ch >= L'0' && ch <= L'9') || ch == L' ' || ch == L'-')
    {
        if (m_dwStyle & SDS_DIGITS14)
        {
            FourteenSegmentCell cell;
            GetFourteenSegmentMask(ch, wMask);
            cell.Init(wMask, m_dwStyle);
            m_cells.push_back(cell);
        }
        else
        {
            SevenSegmentCell cell;
            GetSevenSegmentMask(ch, wMask);
            cell.Init(wMask, m_dwStyle);
            m_cells.push_back(cell);
        }
        return TRUE;
    }
    if (GetFourteenSegmentMask(ch, wMask))
    {
        FourteenSegmentCell cell;
        cell.Init(wMask, m_dwStyle);
        m_cells.push_back(cell);
        return TRUE;
    }
    if (ch == L'.' || ch == L':')
    {
        DotCell cell;
        cell.Init(ch == L'.' ? 0x04 : 0x03, m_dwStyle);
        m_cells.push_back(cell);
        return TRUE;
    }
    return FALSE;
}

BOOL CSegmentDisplay::OnEraseBkgnd(CDC*)
{
    return FALSE;
}

void CSegmentDisplay::OnPaint()
{
    CPaintDC dc(this);
    CRect rect;
    GetClientRect(&rect);
    dc.SetBkColor(m_clrBack);
    if (rect.IsRectEmpty())
        return;

    // Off screen, then one copy; a transparent display starts from what is
    // already under it, an opaque one from its back colour.
    CDC dcMem;
    CBitmap bmp;
    if (!dcMem.CreateCompatibleDC(&dc) || !bmp.CreateCompatibleBitmap(&dc, rect.Width(), rect.Height()))
        return;
    CBitmap* pOldBitmap = dcMem.SelectObject(&bmp);
    if (m_bTransparent)
    {
        // What lies under a transparent display is the parent's background,
        // painted here by the parent itself: the pixels on screen still hold
        // the previous text, and a new count drawn over them runs into it.
        BOOL bErased = FALSE;
        if (CWnd* pParent = GetParent())
        {
            CPoint ptOrigin(0, 0);
            ::MapWindowPoints(m_hWnd, pParent->m_hWnd, &ptOrigin, 1);
            POINT ptOld;
            ::SetViewportOrgEx(dcMem.GetSafeHdc(), -ptOrigin.x, -ptOrigin.y, &ptOld);
            bErased = pParent->SendMessage(WM_ERASEBKGND, (WPARAM)dcMem.GetSafeHdc(), 0) != 0;
            ::SetViewportOrgEx(dcMem.GetSafeHdc(), ptOld.x, ptOld.y, NULL);
        }
        if (!bErased)
            dcMem.BitBlt(0, 0, rect.Width(), rect.Height(), &dc, rect.left, rect.top, SRCCOPY);
    }
    else
        dcMem.FillSolidRect(0, 0, rect.Width(), rect.Height(), m_clrBack);
    dcMem.SetBkColor(m_clrBack);

    BOOL bBlend = (m_dwStyle & SDS_BLENDEDGE) != 0;
    CBrush brushOff(m_clrOff), brushOn(m_clrOn);
    CPen penOff(PS_SOLID, 1, bBlend ? BlendWithBack(m_clrOff, m_clrBack) : m_clrOff);
    CPen penOn(PS_SOLID, 1, bBlend ? BlendWithBack(m_clrOn, m_clrBack) : m_clrOn);

    BuildCells();
    int nTotal = 0;
    for (size_t i = 0; i < m_cells.size(); ++i)
        nTotal += m_cells[i].m_nWidth + (i + 1 < m_cells.size() ? m_cells[i].GapBefore(m_cells[i + 1]) : 0);
    if (nTotal > 0)
    {
        double sx = (double)rect.Width() / nTotal;
        double sy = rect.Height() / (double)kSegmentCellHeight;
        double dOffsetX = 0.0, dOffsetY = 0.0;
        if (m_dwStyle & SDS_ASPECT)
        {
            double s = sx < sy ? sx : sy;
            sx = sy = s;
            dOffsetX = (rect.Width() - nTotal * s) / 2;
            dOffsetY = (rect.Height() - kSegmentCellHeight * s) / 2;
        }
        double x = dOffsetX;
        for (size_t i = 0; i < m_cells.size(); ++i)
        {
            const SegmentCell& cell = m_cells[i];
            SegmentRect rcCell = { x, dOffsetY, cell.m_nWidth * sx, kSegmentCellHeight * sy };
            cell.Draw(dcMem, rcCell, penOff, penOn, brushOff, brushOn);
            x += cell.m_nWidth * sx;
            if (i + 1 < m_cells.size())
                x += cell.GapBefore(m_cells[i + 1]) * sx;
        }
    }
    dc.BitBlt(rect.left, rect.top, rect.Width(), rect.Height(), &dcMem, 0, 0, SRCCOPY);
    dcMem.SelectObject(pOldBitmap);
    if (m_bTransparent)
        SetWindowRgn(NULL, FALSE);
}
