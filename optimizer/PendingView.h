#pragma once
// The service and memory optimizer windows until their own pages arrive:
// each shows its title from the language file.
#include "framework/Afx.h"

class CPendingView : public CDialog
{
public:
    CPendingView(UINT nIDTemplate, LPCWSTR lpszTitleKey);
    ~CPendingView() override;
    void SwitchLanguage();
    void RelayToolTipEvent(MSG*) {}
    BOOL OnInitDialog() override;

protected:
    void OnOK() override {}
    void OnCancel() override {}
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    DECLARE_MESSAGE_MAP()

private:
    UINT m_nIDTemplate;
    LPCWSTR m_pszTitleKey;
    CBrush m_brWhite;
    CFont m_fontTitle;
};

class CMemoryOptimizerDlg : public CPendingView
{
public:
    enum { IDD = 5049 };
    CMemoryOptimizerDlg() : CPendingView(IDD, L"IDO_OPTIMIZE_5") {}
};
