#include "tests/skin_b/TestWindow.h"
#include "tests/support/TestSupport.h"

BEGIN_MESSAGE_MAP(CTestWindow, CWnd)
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

BOOL CTestWindow::CreateTop(int cx, int cy, COLORREF clrBack)
{
    m_clrBack = clrBack;
    if (!CreateEx(0, NULL, L"Tamsel controls", WS_POPUP | WS_VISIBLE, 0, 0, cx, cy,
                  NULL, NULL))
        return FALSE;
    ::SetForegroundWindow(m_hWnd);
    ::SetActiveWindow(m_hWnd);
    UpdateWindow();
    return TRUE;
}

BOOL CTestWindow::OnCommand(WPARAM wParam, LPARAM lParam)
{
    m_commands.push_back(LOWORD(wParam));
    return CWnd::OnCommand(wParam, lParam);
}

BOOL CTestWindow::OnEraseBkgnd(CDC* pDC)
{
    CRect rect;
    GetClientRect(&rect);
    pDC->FillSolidRect(&rect, m_clrBack);
    return TRUE;
}

COLORREF ClientPixel(CWnd& wnd, int x, int y)
{
    wnd.RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    HDC hDC = ::GetDC(wnd.m_hWnd);
    COLORREF clr = ::GetPixel(hDC, x, y);
    ::ReleaseDC(wnd.m_hWnd, hDC);
    return clr;
}

void PumpFor(DWORD dwMilliseconds)
{
    DWORD dwStart = ::GetTickCount();
    testsupport::WaitFor([&] { return ::GetTickCount() - dwStart >= dwMilliseconds; }, dwMilliseconds + 1000);
}
