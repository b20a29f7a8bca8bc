#include "controls/skin/BalloonWnd.h"
#include <algorithm>

namespace {
const int MARGIN_X = 12;
const int MARGIN_Y = 10;
const int ANCHOR = 20;  // height of the pointer below the body
const COLORREF CLR_FILL = RGB(255, 200, 68);
const COLORREF CLR_FRAME = RGB(191, 68, 47);
} // namespace

SIZE GetIconSizeFromHotSpot(HICON hIcon)
{
    SIZE size = {0, 0};
    ICONINFO info = {};
    if (hIcon == NULL || !::GetIconInfo(hIcon, &info))
        return size;
    size.cx = (LONG)info.xHotspot * 2;
    size.cy = (LONG)info.yHotspot * 2;
    // GetIconInfo hands out copies of both bitmaps.
    if (info.hbmMask != NULL)
        ::DeleteObject(info.hbmMask);
    if (info.hbmColor != NULL)
        ::DeleteObject(info.hbmColor);
    return size;
}

BEGIN_MESSAGE_MAP(CBalloonWnd, CWnd)
    ON_WM_TIMER()
    ON_WM_PAINT()
    ON_WM_DESTROY()
END_MESSAGE_MAP()

CBalloonWnd::CBalloonWnd()
    : m_lpszClassName(NULL), m_nDelay(500), m_ptAnchor{-1, -1}, m_nTimer(0), m_hIcon(NULL), m_sizeIcon{0, 0},
      m_hFont(NULL)
{
}

CBalloonWnd::~CBalloonWnd()
{
    if (m_hWnd != NULL)
        DestroyWindow();
}

BOOL CBalloonWnd::Create(CWnd* pParent)
{
    m_lpszClassName = AfxRegisterWndClass(0, ::LoadCursorW(NULL, IDC_ARROW));
    if (!CreateEx(WS_EX_TOOLWINDOW, m_lpszClassName, NULL, WS_POPUP, 0, 0, 0, 0,
                  pParent != NULL ? pParent->GetSafeHwnd() : NULL, NULL))
        return FALSE;
    m_hFont = (HFONT)::GetStockObject(DEFAULT_GUI_FONT);
    SendMessage(WM_SETFONT, (WPARAM)m_hFont);
    return TRUE;
}

void CBalloonWnd::AddTool(CWnd* pWnd, LPCTSTR lpszText, HICON hIcon)
{
    if (pWnd != NULL && pWnd->GetSafeHwnd() != NULL)
        m_tools[pWnd->GetSafeHwnd()] = Entry{lpszText != NULL ? lpszText : L"", hIcon};
}

void CBalloonWnd::RemoveTool(CWnd* pWnd)
{
    if (pWnd != NULL)
        m_tools.erase(pWnd->GetSafeHwnd());
}

void CBalloonWnd::StartTimer(UINT_PTR nID, UINT nElapse)
{
    StopTimer();
    m_nTimer = SetTimer(nID, nElapse);
}

void CBalloonWnd::StopTimer()
{
    if (m_nTimer != 0 && m_hWnd != NULL)
        KillTimer(m_nTimer);
    m_nTimer = 0;
}

void CBalloonWnd::Hide()
{
    StopTimer();
    if (m_hWnd != NULL && IsWindowVisible())
        ShowWindow(SW_HIDE);
}

void CBalloonWnd::RelayEvent(const MSG* pMsg)
{
    if (pMsg == NULL || m_hWnd == NULL)
        return;
    switch (pMsg->message)
    {
    case WM_MOUSEMOVE:
    {
        POINT pt;
        ::GetCursorPos(&pt);
        if (pt.x == m_ptAnchor.x && pt.y == m_ptAnchor.y)
            return;
        Hide();
        auto it = m_tools.find(::WindowFromPoint(pt));
        if (it == m_tools.end())
            return;
        m_hIcon = it->second.hIcon;
        m_sizeIcon = GetIconSizeFromHotSpot(m_hIcon);
        Show(it->second.strText, &pt);
        break;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        Hide();
        break;
    default:
        break;
    }
}

void CBalloonWnd::Show(LPCTSTR lpszText, const POINT* pPoint)
{
    if (pPoint != NULL)
        m_ptAnchor = *pPoint;
    else
        ::GetCursorPos(&m_ptAnchor);
    m_strText = lpszText != NULL ? lpszText : L"";
    StartTimer(TIMER_SHOW, m_nDelay);
}

HRGN CBalloonWnd::MakeRegion(SIZE* pSize)
{
    HDC hDC = ::GetDC(m_hWnd);
    HGDIOBJ hOld = ::SelectObject(hDC, m_hFont != NULL ? (HGDIOBJ)m_hFont : ::GetStockObject(DEFAULT_GUI_FONT));
    RECT rcText = {0, 0, 0, 0};
    ::DrawTextW(hDC, m_strText, m_strText.GetLength(), &rcText, DT_CALCRECT | DT_NOPREFIX);
    ::SelectObject(hDC, hOld);
    ::ReleaseDC(m_hWnd, hDC);
    int nIconWidth = m_hIcon != NULL ? m_sizeIcon.cx + 5 : 0;
    int nBodyWidth = rcText.right + nIconWidth + 2 * MARGIN_X;
    int nBodyHeight = std::max<int>(rcText.bottom, m_hIcon != NULL ? m_sizeIcon.cy : 0) + 2 * MARGIN_Y;
    nBodyWidth = std::max(nBodyWidth, 3 * ANCHOR);
    SIZE size = {nBodyWidth, nBodyHeight + ANCHOR};
    // A rounded body with a pointer from its lower right towards the anchor.
    HRGN hBody = ::CreateRoundRectRgn(0, 0, nBodyWidth + 1, nBodyHeight + 1, 16, 16);
    POINT points[3] = {{nBodyWidth - MARGIN_X - ANCHOR, nBodyHeight - 2},
                       {nBodyWidth - MARGIN_X - 4, nBodyHeight - 2},
                       {nBodyWidth - MARGIN_X, size.cy - MARGIN_Y}};
    HRGN hAnchor = ::CreatePolygonRgn(points, 3, ALTERNATE);
    if (hBody != NULL && hAnchor != NULL)
        ::CombineRgn(hBody, hBody, hAnchor, RGN_OR);
    if (hAnchor != NULL)
        ::DeleteObject(hAnchor);
    if (pSize != NULL)
        *pSize = size;
    return hBody;
}

void CBalloonWnd::PopUp()
{
    SIZE size;
    HRGN hRgn = MakeRegion(&size);
    if (hRgn == NULL)
        return;
    // The window owns the region from here on.
    SetWindowRgn(hRgn, TRUE);
    int x = m_ptAnchor.x - size.cx + MARGIN_X, y = m_ptAnchor.y - size.cy + MARGIN_Y;
    // Never off the work area, whatever the anchor.
    RECT rcWork = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    HMONITOR hMonitor = ::MonitorFromPoint(m_ptAnchor, MONITOR_DEFAULTTONEAREST);
    MONITORINFO mi = {};
    mi.cbSize = sizeof(mi);
    if (hMonitor != NULL && ::GetMonitorInfoW(hMonitor, &mi))
        rcWork = mi.rcWork;
    x = std::max<int>(rcWork.left, std::min<int>(x, rcWork.right - size.cx));
    y = std::max<int>(rcWork.top, std::min<int>(y, rcWork.bottom - size.cy));
    SetWindowPos(&wndTop, x, y, size.cx, size.cy, SWP_NOACTIVATE | SWP_SHOWWINDOW);
    Invalidate();
}

void CBalloonWnd::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == TIMER_SHOW)
    {
        StopTimer();
        PopUp();
        StartTimer(TIMER_WATCH, 500);
    }
    else if (nIDEvent == TIMER_WATCH)
    {
        POINT pt;
        ::GetCursorPos(&pt);
        if (pt.x != m_ptAnchor.x || pt.y != m_ptAnchor.y)
            Hide();
    }
}

void CBalloonWnd::OnPaint()
{
    PAINTSTRUCT ps;
    HDC hDC = ::BeginPaint(m_hWnd, &ps);
    HRGN hRgn = ::CreateRectRgn(0, 0, 0, 0);
    if (hRgn != NULL && ::GetWindowRgn(m_hWnd, hRgn) != ERROR)
    {
        HBRUSH hFill = ::CreateSolidBrush(CLR_FILL), hFrame = ::CreateSolidBrush(CLR_FRAME);
        ::FillRgn(hDC, hRgn, hFill);
        ::FrameRgn(hDC, hRgn, hFill, 3, 3);
        ::FrameRgn(hDC, hRgn, hFrame, 1, 1);
        ::DeleteObject(hFill);
        ::DeleteObject(hFrame);
    }
    if (hRgn != NULL)
        ::DeleteObject(hRgn);
    int x = MARGIN_X;
    if (m_hIcon != NULL)
    {
        ::DrawIconEx(hDC, MARGIN_X, MARGIN_Y, m_hIcon, m_sizeIcon.cx, m_sizeIcon.cy, 0, NULL, DI_NORMAL);
        x += m_sizeIcon.cx + 5;
    }
    HGDIOBJ hOld = ::SelectObject(hDC, m_hFont != NULL ? (HGDIOBJ)m_hFont : ::GetStockObject(DEFAULT_GUI_FONT));
    ::SetBkMode(hDC, TRANSPARENT);
    RECT rcText = {x, MARGIN_Y, x, MARGIN_Y};
    ::DrawTextW(hDC, m_strText, m_strText.GetLength(), &rcText, DT_CALCRECT | DT_NOPREFIX);
    ::DrawTextW(hDC, m_strText, m_strText.GetLength(), &rcText, DT_NOPREFIX);
    ::SelectObject(hDC, hOld);
    ::EndPaint(m_hWnd, &ps);
}

void CBalloonWnd::OnDestroy()
{
    StopTimer();
    Default();
}
