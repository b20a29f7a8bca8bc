#pragma once
// A page whose own subsystem is not part of the program yet: it shows its
// title on a white page, translates itself when shown, and ignores Enter and
// Escape like every page.
#include "framework/Afx.h"
#include "framework/Gdi.h"
#include "framework/Dc.h"

class CStandInPage : public CDialog
{
public:
    explicit CStandInPage(UINT nIDTemplate);
    virtual ~CStandInPage();

    UINT GetTemplateID() const { return m_nIDTemplate; }

protected:
    virtual BOOL OnInitDialog();
    virtual void OnOK() {}
    virtual void OnCancel() {}
    void Translate();

    afx_msg void OnShowWindow(BOOL bShow, UINT nStatus);
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);

    UINT m_nIDTemplate;
    CBrush m_brWhite;
    CFont m_fontTitle;

    DECLARE_MESSAGE_MAP()
};
