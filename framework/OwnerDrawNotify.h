#pragma once
#include "framework/AfxDefs.h"

// List and combo boxes answer the same two owner-draw messages reflected from their parent.
// Returns FALSE for any other message so the caller falls back to CWnd.
template <class TCtrl>
BOOL ReflectCompareOrDeleteItem(TCtrl& rCtrl, UINT message, LPARAM lParam, LRESULT* pResult)
{
    switch (message)
    {
    case WM_COMPAREITEM:
    {
        int nResult = rCtrl.CompareItem((LPCOMPAREITEMSTRUCT)lParam);
        if (pResult)
            *pResult = nResult;
        return TRUE;
    }
    case WM_DELETEITEM:
        rCtrl.DeleteItem((LPDELETEITEMSTRUCT)lParam);
        if (pResult)
            *pResult = TRUE;
        return TRUE;
    default:
        return FALSE;
    }
}
