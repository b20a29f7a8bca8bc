#include "framework/ProgressCtrl.h"
#include "framework/CommonControls.h"

BOOL CProgressCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    if (!AfxInitCommonControls(ICC_PROGRESS_CLASS))
        return FALSE;
    return CWnd::Create(PROGRESS_CLASSW, NULL, dwStyle, rect, pParentWnd, nID);
}
