#include "app/WhitePageColors.h"

HBRUSH GetWhitePageBrush(CDC* pDC, UINT nCtlColor, const CBrush& brWhite)
{
    switch (nCtlColor)
    {
    case CTLCOLOR_EDIT:
    case CTLCOLOR_LISTBOX:
    case CTLCOLOR_BTN:
    case CTLCOLOR_DLG:
    case CTLCOLOR_SCROLLBAR:
    case CTLCOLOR_STATIC:
        pDC->SetTextColor(RGB(0, 0, 0));
        pDC->SetBkColor(RGB(255, 255, 255));
        return (HBRUSH)brWhite.GetSafeHandle();
    default:
        return NULL;
    }
}
