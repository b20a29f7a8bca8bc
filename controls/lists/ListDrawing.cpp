#include "controls/lists/ListDrawing.h"

void ListFillSolid(HDC hDC, const RECT& rc, COLORREF cr)
{
    if (rc.right <= rc.left || rc.bottom <= rc.top)
        return;
    COLORREF crOld = ::SetBkColor(hDC, cr);
    ::ExtTextOutW(hDC, 0, 0, ETO_OPAQUE, &rc, NULL, 0, NULL);
    ::SetBkColor(hDC, crOld);
}

void ListFrameSolid(HDC hDC, const RECT& rc, COLORREF cr)
{
    RECT rcTop = { rc.left, rc.top, rc.right, rc.top + 1 };
    RECT rcBottom = { rc.left, rc.bottom - 1, rc.right, rc.bottom };
    RECT rcLeft = { rc.left, rc.top, rc.left + 1, rc.bottom };
    RECT rcRight = { rc.right - 1, rc.top, rc.right, rc.bottom };
    ListFillSolid(hDC, rcTop, cr);
    ListFillSolid(hDC, rcBottom, cr);
    ListFillSolid(hDC, rcLeft, cr);
    ListFillSolid(hDC, rcRight, cr);
}
