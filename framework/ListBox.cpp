#include "framework/ListBox.h"
#include "framework/ListItemText.h"
#include "framework/OwnerDrawNotify.h"

void CListBox::GetText(int nIndex, CString& rString) const
{
    AfxReadItemText(m_hWnd, LB_GETTEXTLEN, LB_GETTEXT, nIndex, rString);
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
