#pragma once
// A plain white window that paints its own text in Verdana, shortened with an
// ellipsis at the end or in the middle of a path.
#include "framework/Afx.h"

class COwnerTextWnd : public CWnd
{
public:
    COwnerTextWnd(UINT nFormat, int nEllipsis);

    int m_nEllipsis;  // above 0: path ellipsis, else end ellipsis
    UINT m_nFormat;

protected:
    afx_msg LRESULT OnSetText(WPARAM wParam, LPARAM lParam);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg void OnPaint();
    DECLARE_MESSAGE_MAP()
};
