#pragma once
// A label with its own text colour and an optional solid background
// (CLR_NONE: the parent shows through).
#include "framework/Afx.h"
#include "framework/Controls.h"

class CMyStaticCtrl : public CStatic
{
public:
    CMyStaticCtrl();
    void SetTextColor(COLORREF crText) { m_crText = crText; }
    // CLR_NONE for a transparent label.
    void SetBackColor(COLORREF crBack);
    COLORREF GetTextColor() const { return m_crText; }
    COLORREF GetBackColor() const { return m_crBack; }

protected:
    afx_msg HBRUSH CtlColor(CDC* pDC, UINT nCtlColor);
    afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
    DECLARE_MESSAGE_MAP()

private:
    COLORREF m_crText;
    COLORREF m_crBack;
    CBrush m_brBack;
};
