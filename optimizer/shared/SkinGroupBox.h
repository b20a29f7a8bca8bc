#pragma once
// A group frame with cut corners and its caption in Verdana at the top left.
#include "framework/Afx.h"
#include "framework/Controls.h"

class CSkinGroupBox : public CButton
{
public:
    CSkinGroupBox();
    void SetCaption(LPCWSTR lpszCaption);
    const CString& GetCaption() const { return m_strCaption; }
    void SetCaptionBackColor(COLORREF crBack) { m_crCaptionBack = crBack; }
    COLORREF GetCaptionBackColor() const { return m_crCaptionBack; }

protected:
    void PreSubclassWindow() override;
    afx_msg void OnPaint();
    afx_msg void OnSysColorChange();
    DECLARE_MESSAGE_MAP()

private:
    COLORREF m_crCaptionBack;
    CString m_strCaption;
};
