#include "framework/ListBox.h"
#include "framework/OwnerDrawNotify.h"

void CListBox::GetText(int nIndex, CString& rString) const
{
    rString.Empty();
    int nLength = GetTextLen(nIndex);
    if (nLength <= 0)
        return;
    LPWSTR pszBuffer = rString.GetBuffer(nLength + 1);
    int nCopied = GetText(nIndex, pszBuffer);
    rString.ReleaseBuffer(nCopied > 0 ? nCopied : 0);
}

int CListBox::CompareItem(LPCOMPAREITEMSTRUCT)
{
    return 0;
}

void CListBox::DeleteItem(LPDELETEITEMSTRUCT)
{
}

BOOL CListBox::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (ReflectCompareOrDeleteItem(*this, message, lParam, pResult))
        return TRUE;
    return CWnd::OnChildNotify(message, wParam, lParam, pResult);
}
