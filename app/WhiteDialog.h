#pragma once
// A dialog on white: its controls draw black on white, and Enter or Escape
// do not end it (a page lives as long as the main window, the updater dialog
// until its Finish button). Message boxes keep the system's colours.
#include "framework/Afx.h"

class CWhiteDialog : public CDialog
{
public:
    CWhiteDialog(UINT nIDTemplate, CWnd* pParent);

protected:
    virtual BOOL OnInitDialog();
    virtual void OnOK() {}
    virtual void OnCancel() {}
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);

    CBrush m_brWhite;

    DECLARE_MESSAGE_MAP()
};
