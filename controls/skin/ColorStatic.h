#pragma once
// A static text on a solid background, painted off screen in white Verdana.
#include "framework/Afx.h"
#include "framework/Controls.h"
#include "framework/Dc.h"

class CColorStatic : public CStatic
{
public:
    CColorStatic();
    ~CColorStatic() override;

protected:
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg HBRUSH CtlColor(CDC* pDC, UINT nCtlColor);
    afx_msg void OnPaint();
    DECLARE_MESSAGE_MAP()

private:
    CBrush m_brBack;
    COLORREF m_crBack;
    COLORREF m_crText;
    CDC m_dcMem;
    CBitmap m_bmpMem;
    HGDIOBJ m_hOldBitmap;
};
