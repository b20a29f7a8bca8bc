#include "framework/ComboBox.h"
#include "framework/OwnerDrawNotify.h"

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
    if (ReflectCompareOrDeleteItem(*this, message, lParam, pResult))
        return TRUE;
    return CWnd::OnChildNotify(message, wParam, lParam, pResult);
}
