#include "tests/skin_c/KitTestWindow.h"
#include "controls/skin/MenuXP.h"
#include "tests/support/TestSupport.h"
#include <string>

BOOL CKitTestWindow::CreateTop(int x, int y, int cx, int cy, LPCTSTR lpszTitle)
{
    LPCTSTR lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorW(NULL, IDC_ARROW), (HBRUSH)(COLOR_WINDOW + 1));
    if (!CreateEx(0, lpszClass, lpszTitle, WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, x, y, cx, cy, NULL, NULL))
        return FALSE;
    ::SetForegroundWindow(m_hWnd);
    ::SetActiveWindow(m_hWnd);
    UpdateWindow();
    return TRUE;
}

BOOL CKitTestWindow::OnCommand(WPARAM wParam, LPARAM lParam)
{
    m_commands.push_back(LOWORD(wParam));
    return CWnd::OnCommand(wParam, lParam);
}

LRESULT CKitTestWindow::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_MEASUREITEM && CMenuXP::MeasureItem((MEASUREITEMSTRUCT*)lParam))
    {
        m_nMeasured++;
        return TRUE;
    }
    if (message == WM_DRAWITEM && CMenuXP::DrawItem((DRAWITEMSTRUCT*)lParam))
    {
        m_nDrawn++;
        return TRUE;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

void PumpFor(DWORD dwMilliseconds)
{
    DWORD dwStart = ::GetTickCount();
    testsupport::WaitFor([&] { return ::GetTickCount() - dwStart >= dwMilliseconds; }, dwMilliseconds + 1000);
}

COLORREF ClientPixel(HWND hWnd, int x, int y)
{
    ::RedrawWindow(hWnd, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN | RDW_FRAME);
    HDC hDC = ::GetDC(hWnd);
    COLORREF clr = ::GetPixel(hDC, x, y);
    ::ReleaseDC(hWnd, hDC);
    return clr;
}

DWORD GdiObjects()
{
    return ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
}

void SaveScreenshot(const char* pszName)
{
    // The test runs with the fixture's DISPLAY and WINEPREFIX; the picture lands beside the prefix.
    testsupport::RunHostCommand(std::string("command -v import >/dev/null && import -window root \"$(dirname \"$WINEPREFIX\")\"/") +
                                    pszName + ".png",
                                20000);
}
