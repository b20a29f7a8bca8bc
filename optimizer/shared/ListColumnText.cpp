#include "optimizer/shared/ListColumnText.h"

void SetColumnText(CListCtrl& list, int nColumn, const CString& strText)
{
    LVCOLUMNW column = {};
    column.mask = LVCF_TEXT;
    column.pszText = (LPWSTR)(LPCWSTR)strText;
    list.SetColumn(nColumn, &column);
}
