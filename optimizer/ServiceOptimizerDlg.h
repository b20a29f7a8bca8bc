#pragma once
// The service optimizer view: the Win32 services with start type and state,
// and six usage profiles that set the start types Tunekit.ini names.
#include "framework/Afx.h"
#include "optimizer/ServiceControl.h"
#include "optimizer/shared/MyListCtrl.h"
#include "optimizer/shared/MyStaticCtrl.h"
#include "optimizer/shared/NButtonEx.h"
#include "optimizer/shared/SkinRadioButton.h"
#include <vector>

// The Windows major version the views go by: 6 until the service view reads it.
int GetOptimizerWindowsMajor();
// Rows for the records: display name, description (below 6) or service name,
// start type text, state text.
void FillServiceList(CListCtrl& list, const std::vector<CServiceRecord>& services, int nMajorVersion);

class CServiceOptimizerDlg : public CDialog
{
public:
    enum { IDD = 5016, IDC_SERVICE_LIST = 10001, PROFILE_COUNT = 6 };
    CServiceOptimizerDlg();
    ~CServiceOptimizerDlg() override;

    void SwitchLanguage();
    void RelayToolTipEvent(MSG* pMsg);
    // Applies one profile column and tells the result.
    void ApplyProfile(LPCWSTR lpszProfile);
    // Enumerates again and refills the list.
    void Refill();
    const std::vector<CServiceRecord>& GetServices() const { return m_services; }
    CMyListCtrl& GetList() { return m_list; }
    CSkinRadioButton& GetRadio(int nIndex) { return m_radios[nIndex]; }
    // The profile key of the checked radio button, in the order campus .. default.
    LPCWSTR CheckedProfile() const;
    static LPCWSTR ProfileKey(int nIndex);

protected:
    BOOL OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override {}
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    afx_msg void OnOptimize();
    DECLARE_MESSAGE_MAP()

private:
    void SetUpColumns();
    void LayOutProfiles();

    std::vector<CServiceRecord> m_services;
    CMyListCtrl m_list;
    CSkinRadioButton m_radios[PROFILE_COUNT];
    CMyStaticCtrl m_labels[PROFILE_COUNT];
    CNButtonEx m_btnOptimize;
    CNButtonEx m_btnHelp;
    CBrush m_brWhite;
    HBITMAP m_hHeader;
};
