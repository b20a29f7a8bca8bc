#include "controls/skin/PressTracker.h"

namespace {
const UINT_PTR TIMER_REPEAT = 0xE7A1;
const UINT_PTR TIMER_HOVER = 0xE7A2;
} // namespace

CPressTracker::CPressTracker(HWND hWnd, const RECT& rcElement, UINT nCmdID, BOOL bAutoRepeat)
    : m_nRepeats(0), m_hWnd(hWnd), m_rcElement(rcElement), m_nCmdID(nCmdID), m_bAutoRepeat(bAutoRepeat)
{
}

BOOL CPressTracker::IsMouseOver() const
{
    POINT pt;
    ::GetCursorPos(&pt);
    ::ScreenToClient(m_hWnd, &pt);
    return ::PtInRect(&m_rcElement, pt);
}

BOOL CPressTracker::Track()
{
    if (!::IsWindow(m_hWnd))
        return FALSE;
    ::SetCapture(m_hWnd);
    if (m_bAutoRepeat)
        ::SetTimer(m_hWnd, TIMER_REPEAT, 100, NULL);
    ::SetTimer(m_hWnd, TIMER_HOVER, 300, NULL);
    BOOL bReleasedOver = FALSE;
    for (bool bTracking = true; bTracking;)
    {
        MSG msg;
        BOOL bGot = ::GetMessageW(&msg, NULL, 0, 0);
        if (bGot == 0 || bGot == -1)
        {
            // The outer loop must see the quit message too.
            if (bGot == 0)
                ::PostQuitMessage((int)msg.wParam);
            break;
        }
        if (::GetCapture() != m_hWnd)
            bTracking = false;
        switch (msg.message)
        {
        case WM_LBUTTONUP:
            if (msg.hwnd == m_hWnd)
            {
                POINT pt = {(short)LOWORD(msg.lParam), (short)HIWORD(msg.lParam)};
                bReleasedOver = ::PtInRect(&m_rcElement, pt);
            }
            bTracking = false;
            break;
        case WM_KEYDOWN:
            if (msg.wParam == VK_ESCAPE)
                bTracking = false;
            break;
        case WM_CANCELMODE:
        case WM_CAPTURECHANGED:
            bTracking = false;
            ::DispatchMessageW(&msg);
            break;
        case WM_TIMER:
            if (msg.hwnd == m_hWnd && msg.wParam == TIMER_REPEAT)
            {
                if (IsMouseOver())
                {
                    m_nRepeats++;
                    ::SendMessageW(::GetParent(m_hWnd) != NULL ? ::GetParent(m_hWnd) : m_hWnd, WM_COMMAND,
                                   MAKEWPARAM(m_nCmdID, BN_CLICKED), (LPARAM)m_hWnd);
                }
                break;
            }
            if (msg.hwnd == m_hWnd && msg.wParam == TIMER_HOVER)
            {
                if (!IsMouseOver())
                {
                    POINT pt;
                    ::GetCursorPos(&pt);
                    ::ScreenToClient(m_hWnd, &pt);
                    ::PostMessageW(m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(pt.x, pt.y));
                }
                break;
            }
            ::DispatchMessageW(&msg);
            break;
        default:
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
            break;
        }
    }
    if (::IsWindow(m_hWnd))
    {
        ::KillTimer(m_hWnd, TIMER_REPEAT);
        ::KillTimer(m_hWnd, TIMER_HOVER);
    }
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    return bReleasedOver;
}
