#include "controls/lists/IconComboBox.h"
#include "framework/Dc.h"

CIconComboBox::CIconComboBox()
{
}

CIconComboBox::~CIconComboBox()
{
}

void CIconComboBox::SetItemIcon(int nIndex, UINT nIconID)
{
    HICON hIcon = nIconID == 0 ? NULL
                               : (HICON)::LoadImageW(AfxGetResourceHandle(), MAKEINTRESOURCEW(nIconID), IMAGE_ICON,
                                                     16, 16, LR_DEFAULTCOLOR);
    m_mapIcons.SetAt(nIndex, hIcon);
    if (m_hWnd != NULL)
        Invalidate();
}

HICON CIconComboBox::GetItemIcon(int nIndex) const
{
    HICON hIcon = NULL;
    return m_mapIcons.Lookup(nIndex, hIcon) ? hIcon : NULL;
}

void CIconComboBox::DrawItem(LPDRAWITEMSTRUCT lpDIS)
{
    if (GetCount() <= 0 || (int)lpDIS->itemID < 0)
        return;
    CString strText;
    GetLBText((int)lpDIS->itemID, strText);
    CDC dc;
    dc.Attach(lpDIS->hDC);
    COLORREF crOldText = dc.GetTextColor();
    COLORREF crOldBk = dc.GetBkColor();
    CRect rcItem(lpDIS->rcItem);
    if (lpDIS->itemState & ODS_SELECTED)
    {
        dc.SetTextColor(::GetSysColor(COLOR_HIGHLIGHTTEXT));
        dc.SetBkColor(::GetSysColor(COLOR_HIGHLIGHT));
        dc.FillSolidRect(&rcItem, ::GetSysColor(COLOR_HIGHLIGHT));
    }
    else
        dc.FillSolidRect(&rcItem, crOldBk);
    CRect rcText = rcItem;
    rcText.DeflateRect(1, 0);
    HICON hIcon = GetItemIcon((int)lpDIS->itemID);
    if (hIcon != NULL)
        ::DrawIconEx(dc.GetSafeHdc(), rcText.left, rcText.top, hIcon, 0, 0, 0, NULL, DI_NORMAL);
    rcText.left += 17;
    dc.DrawText(strText, &rcText, DT_SINGLELINE | DT_VCENTER);
    dc.SetTextColor(crOldText);
    dc.SetBkColor(crOldBk);
    dc.Detach();
}
