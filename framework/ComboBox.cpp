#include "framework/ComboBox.h"

void CComboBox::GetLBText(int nIndex, CString& rString) const
{
    rString.Empty();
    int nLength = GetLBTextLen(nIndex);
    if (nLength <= 0)
        return;
    LPWSTR pszBuffer = rString.GetBuffer(nLength + 1);
    int nCopied = GetLBText(nIndex, pszBuffer);
    rString.ReleaseBuffer(nCopied > 0 ? nCopied : 0);
}

int CComboBox::CompareItem(LPCOMPAREITEMSTRUCT)
{
    return 0;
}

void CComboBox::DeleteItem(LPDELETEITEMSTRUCT)
{
}

BOOL CComboBox::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    switch (message)
    {
    case WM_COMPAREITEM:
    {
        int nResult = CompareItem((LPCOMPAREITEMSTRUCT)lParam);
        if (pResult)
            *pResult = nResult;
        return TRUE;
    }
    case WM_DELETEITEM:
        DeleteItem((LPDELETEITEMSTRUCT)lParam);
        if (pResult)
            *pResult = TRUE;
        return TRUE;
    default:
        return CWnd::OnChildNotify(message, wParam, lParam, pResult);
    }
}
