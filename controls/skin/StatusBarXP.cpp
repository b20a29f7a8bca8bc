#include "controls/skin/StatusBarXP.h"
#include "controls/skin/DrawHelpersXP.h"

BEGIN_MESSAGE_MAP(CStatusBarXP, CStatusBar)
    ON_WM_PAINT()
END_MESSAGE_MAP()

void CStatusBarXP::OnPaint()
{
    Default();
    HDC hDC = ::GetDC(m_hWnd);
    if (hDC == NULL)
        return;
    {
        CPenDC pen(hDC, ::GetSysColor(COLOR_BTNSHADOW));
        CBrushDC brush(hDC, (COLORREF)-1);
        for (int i = 0; i < GetCount(); i++)
        {
            RECT rc;
            GetItemRect(i, &rc);
            ::Rectangle(hDC, rc.left, rc.top, rc.right, rc.bottom);
        }
    }
    ::ReleaseDC(m_hWnd, hDC);
}
