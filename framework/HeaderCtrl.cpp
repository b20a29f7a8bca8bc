#include "framework/HeaderCtrl.h"
#include "framework/CommonControls.h"
#include "framework/ImageList.h"

BOOL CHeaderCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    if (!AfxInitCommonControls(ICC_LISTVIEW_CLASSES))
        return FALSE;
    return CWnd::Create(WC_HEADERW, NULL, dwStyle, rect, pParentWnd, nID);
}

CImageList* CHeaderCtrl::SetImageList(CImageList* pImageList)
{
    HIMAGELIST hOld = (HIMAGELIST)::SendMessageW(m_hWnd, HDM_SETIMAGELIST, 0,
                                                 (LPARAM)(pImageList ? pImageList->m_hImageList : NULL));
    return CImageList::FromHandle(hOld);
}

CImageList* CHeaderCtrl::GetImageList() const
{
    return CImageList::FromHandle((HIMAGELIST)::SendMessageW(m_hWnd, HDM_GETIMAGELIST, 0, 0));
}
