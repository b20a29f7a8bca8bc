#include "framework/Dc.h"
#include "framework/Wnd.h"

// Kept apart so that drawing code links without the window classes.
CWnd* CDC::GetWindow() const
{
    HWND hWnd = m_hDC ? ::WindowFromDC(m_hDC) : NULL;
    return hWnd ? CWnd::FromHandle(hWnd) : NULL;
}
