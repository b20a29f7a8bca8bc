#include "controls/skin/OwnerTextWnd.h"

BEGIN_MESSAGE_MAP(COwnerTextWnd, CWnd)
    ON_MESSAGE(WM_SETTEXT, OnSetText)
    ON_WM_ERASEBKGND()
    ON_WM_PAINT()
END_MESSAGE_MAP()

COwnerTextWnd::COwnerTextWnd(UINT nFormat, int nEllipsis) : m_nEllipsis(nEllipsis), m_nFormat(nFormat)
{
}

LRESULT COwnerTextWnd::OnSetText(WPARAM wParam, LPARAM lParam)
{
    Default();
    Invalidate();
    return TRUE;
}

BOOL COwnerTextWnd::OnEraseBkgnd(CDC* pDC)
{
    CRect rc;
    GetClientRect(&rc);
    pDC->FillSolidRect(&rc, RGB(255, 255, 255));
    return TRUE;
}

void COwnerTextWnd::OnPaint()
{
    PAINTSTRUCT ps;
    HDC hDC = ::BeginPaint(m_hWnd, &ps);
    RECT rc;
    ::GetClientRect(m_hWnd, &rc);
    HDC hMem = ::CreateCompatibleDC(hDC);
    HBITMAP hBitmap = ::CreateCompatibleBitmap(hDC, rc.right > 0 ? rc.right : 1, rc.bottom > 0 ? rc.bottom : 1);
    if (hMem != NULL && hBitmap != NULL)
    {
        HGDIOBJ hOldBitmap = ::SelectObject(hMem, hBitmap);
        HBRUSH hWhite = (HBRUSH)::GetStockObject(WHITE_BRUSH);
        ::FillRect(hMem, &rc, hWhite);
        HFONT hFont = ::CreateFontW(14, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FF_SWISS, L"Verdana");
        HGDIOBJ hOldFont = ::SelectObject(hMem, hFont);
        ::SetBkMode(hMem, TRANSPARENT);
        CString strText;
        GetWindowText(strText);
        // DrawTextEx may write the shortened text back: give it a copy with room.
        int nLength = strText.GetLength();
        LPWSTR pszBuffer = strText.GetBuffer(nLength + 8);
        UINT nFormat = m_nFormat | (m_nEllipsis > 0 ? DT_PATH_ELLIPSIS : DT_END_ELLIPSIS);
        RECT rcText = rc;
        ::DrawTextExW(hMem, pszBuffer, nLength, &rcText, nFormat & ~DT_MODIFYSTRING, NULL);
        strText.ReleaseBuffer(nLength);
        ::BitBlt(hDC, 0, 0, rc.right, rc.bottom, hMem, 0, 0, SRCCOPY);
        ::SelectObject(hMem, hOldFont);
        ::DeleteObject(hFont);
        ::SelectObject(hMem, hOldBitmap);
    }
    if (hBitmap != NULL)
        ::DeleteObject(hBitmap);
    if (hMem != NULL)
        ::DeleteDC(hMem);
    ::EndPaint(m_hWnd, &ps);
}
