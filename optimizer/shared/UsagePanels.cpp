#include "optimizer/shared/UsagePanels.h"

namespace {
const COLORREF kLit = RGB(0, 255, 0);
const COLORREF kUnlit = RGB(32, 83, 47);

void FillRect(HDC hDC, int x, int y, int cx, int cy, COLORREF cr)
{
    RECT rc = {x, y, x + cx, y + cy};
    COLORREF crOld = ::SetBkColor(hDC, cr);
    ::ExtTextOutW(hDC, 0, 0, ETO_OPAQUE, &rc, NULL, 0, NULL);
    ::SetBkColor(hDC, crOld);
}
} // namespace

int MeterLitRows(int nLoad)
{
    if (nLoad <= 0)
        return 0;
    int nRows = (nLoad + 3) / 4;
    return nRows > kMeterRows ? kMeterRows : nRows;
}

void PaintMeter(HDC hDC, const RECT& rcClient, int nTop, int nLoad, LPCWSTR lpszText, int xText, int yText)
{
    FillRect(hDC, rcClient.left, rcClient.top, rcClient.right - rcClient.left, rcClient.bottom - rcClient.top, RGB(0, 0, 0));
    const int nLit = MeterLitRows(nLoad);
    for (int nRow = 0; nRow < kMeterRows; ++nRow)
    {
        const COLORREF cr = nRow >= kMeterRows - nLit ? kLit : kUnlit;
        const int y = rcClient.top + MeterRowTop(nTop, nRow);
        FillRect(hDC, rcClient.left + 16, y, 17, 2, cr);
        FillRect(hDC, rcClient.left + 34, y, 17, 2, cr);
    }
    HFONT hFont = ::CreateFontW(14, 5, 0, 0, FW_NORMAL, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, FF_SWISS, L"Arial");
    HGDIOBJ hOldFont = hFont != NULL ? ::SelectObject(hDC, hFont) : NULL;
    const int nOldMode = ::SetBkMode(hDC, TRANSPARENT);
    const COLORREF crOldText = ::SetTextColor(hDC, kLit);
    ::TextOutW(hDC, xText, yText, lpszText, (int)wcslen(lpszText));
    ::SetTextColor(hDC, crOldText);
    ::SetBkMode(hDC, nOldMode);
    if (hFont != NULL)
    {
        ::SelectObject(hDC, hOldFont);
        ::DeleteObject(hFont);
    }
}

int HistoryGridStep(int nHeight)
{
    const int nStep = nHeight / 8;
    return nStep < 1 ? 1 : nStep;
}

void PaintHistory(HDC hDC, const RECT& rcClient, const int* pSamples, int nCount, COLORREF crData)
{
    const int nWidth = rcClient.right - rcClient.left;
    const int nHeight = rcClient.bottom - rcClient.top;
    FillRect(hDC, rcClient.left, rcClient.top, nWidth, nHeight, RGB(0, 0, 0));
    const int s = HistoryGridStep(nHeight);
    HPEN hGrid = ::CreatePen(PS_SOLID, 1, RGB(0, 128, 64));
    HGDIOBJ hOldPen = ::SelectObject(hDC, hGrid != NULL ? (HGDIOBJ)hGrid : ::GetStockObject(WHITE_PEN));
    for (int k = 1; k <= 8; ++k)
    {
        ::MoveToEx(hDC, rcClient.right, rcClient.bottom - k * s, NULL);
        ::LineTo(hDC, rcClient.left, rcClient.bottom - k * s);
    }
    for (int k = 1; k <= nWidth / s; ++k)
    {
        ::MoveToEx(hDC, rcClient.right - k * s, rcClient.bottom, NULL);
        ::LineTo(hDC, rcClient.right - k * s, rcClient.top);
    }
    HPEN hData = ::CreatePen(PS_SOLID, 1, crData);
    ::SelectObject(hDC, hData != NULL ? (HGDIOBJ)hData : ::GetStockObject(WHITE_PEN));
    for (int k = 0; k < nCount; ++k)
    {
        const int x = rcClient.left + nWidth - 3 * (nCount - k);
        const int y = rcClient.top + nHeight - pSamples[k];
        if (k == 0)
            ::MoveToEx(hDC, x, y, NULL);
        else
            ::LineTo(hDC, x, y);
    }
    ::SelectObject(hDC, hOldPen);
    if (hGrid != NULL)
        ::DeleteObject(hGrid);
    if (hData != NULL)
        ::DeleteObject(hData);
}

BEGIN_MESSAGE_MAP(CMemoryInfoStatic, CStatic)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

BOOL CMemoryInfoStatic::OnEraseBkgnd(CDC*)
{
    return TRUE; // the paint covers everything
}

void CMemoryInfoStatic::Changed()
{
    if (m_hWnd != NULL)
        Invalidate(TRUE);
}

void CMemoryInfoStatic::OnPaint()
{
    PAINTSTRUCT ps;
    HDC hDC = ::BeginPaint(m_hWnd, &ps);
    if (hDC == NULL)
        return;
    RECT rc;
    ::GetClientRect(m_hWnd, &rc);
    // One copy from an off-screen bitmap: no flicker once a second.
    HDC hMem = ::CreateCompatibleDC(hDC);
    HBITMAP hBmp = rc.right > 0 && rc.bottom > 0 ? ::CreateCompatibleBitmap(hDC, rc.right, rc.bottom) : NULL;
    if (hMem != NULL && hBmp != NULL)
    {
        HGDIOBJ hOld = ::SelectObject(hMem, hBmp);
        Draw(hMem, rc);
        ::BitBlt(hDC, 0, 0, rc.right, rc.bottom, hMem, 0, 0, SRCCOPY);
        ::SelectObject(hMem, hOld);
    }
    if (hBmp != NULL)
        ::DeleteObject(hBmp);
    if (hMem != NULL)
        ::DeleteDC(hMem);
    ::EndPaint(m_hWnd, &ps);
}

void CCpuMeterStatic::SetValue(int nLoad)
{
    m_nValue = nLoad;
    Changed();
}

void CCpuMeterStatic::Draw(HDC hDC, const RECT& rc)
{
    wchar_t szText[32];
    swprintf(szText, 32, L"%d%%", m_nValue);
    PaintMeter(hDC, rc, 8, m_nValue, szText, rc.right / 2 - 6, rc.bottom - 18);
}

void CMemoryMeterStatic::SetValue(int nLoad, int nUsedKB)
{
    m_nValue = nLoad;
    m_nUsedKB = nUsedKB;
    Changed();
}

void CMemoryMeterStatic::Draw(HDC hDC, const RECT& rc)
{
    wchar_t szText[32];
    swprintf(szText, 32, L"%dK", m_nUsedKB);
    PaintMeter(hDC, rc, 5, m_nValue, szText, rc.right / 2 - 20, rc.bottom - 20);
}

void CHistoryStatic::AddValue(int nLoad)
{
    if (m_nCount == kHistorySamples)
    {
        memmove(m_nSamples, m_nSamples + 1, sizeof(int) * (kHistorySamples - 1));
        --m_nCount;
    }
    m_nSamples[m_nCount++] = nLoad;
    m_nValue = nLoad;
    Changed();
}

void CHistoryStatic::Draw(HDC hDC, const RECT& rc)
{
    PaintHistory(hDC, rc, m_nSamples, m_nCount, m_crData);
}
