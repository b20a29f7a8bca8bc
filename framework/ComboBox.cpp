#include "framework/ComboBox.h"
#include "framework/ListItemText.h"
#include "framework/OwnerDrawNotify.h"

void CComboBox::GetLBText(int nIndex, CString& rString) const
{
    AfxReadItemText(m_hWnd, CB_GETLBTEXTLEN, CB_GETLBTEXT, nIndex, rString);
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
