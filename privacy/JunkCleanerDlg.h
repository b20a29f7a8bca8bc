#pragma once
// The junk file cleaner: one of the library's three views, a modeless child of the host's
// window, with a scan-options tab and a result tab on a skinned tab strip.
#include "framework/Afx.h"
#include "optimizer/shared/NButtonEx.h"
#include "privacy/ViewHeading.h"
#include "optimizer/shared/SkinTab.h"
#include "privacy/JunkResultDlg.h"
#include "privacy/JunkScanOptionDlg.h"

class CJunkCleanerDlg : public CDialog
{
public:
    enum { IDD = 350, IDC_TAB_STRIP = 1049, IDC_HELP_BUTTON = 5118 };
    CJunkCleanerDlg();
    ~CJunkCleanerDlg() override;

    // Creates the view from its template as a hidden child of hParent at
    // (x, y), with the template id as its control id.
    virtual BOOL CreateView(HWND hParent, int x, int y);
    // Shown again by the host: the options tab in front, Scan all Disk, an
    // empty result list. A running scan and its rows are left alone.
    virtual void ResetView();
    // Re-reads the texts from PrivacyLanguageFile().
    virtual void SwitchLanguage();
    // The host's mouse messages, for the tooltips.
    virtual void RelayToolTipEvent(MSG* pMsg);
    // Asks the running worker to stop; does not wait.
    virtual void SignalStop();
    // Stops every worker of the view and waits (pumping) at most that long.
    virtual void StopAndWait(DWORD dwTimeoutMs);

    // Shows the result tab and starts the scan there.
    BOOL StartScan(const CString& strFolder, const std::vector<CString>& masks);
    // 0 options, 1 results.
    void ShowTab(int nTab);
    int GetShownTab() const { return m_tab.GetCurSel(); }
    CSkinTab& GetTabStrip() { return m_tab; }
    CJunkScanOptionDlg& GetOptions() { return m_options; }
    CJunkResultDlg& GetResults() { return m_result; }

protected:
    BOOL OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override {}
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg LRESULT OnTabSelChange(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    CNButtonEx m_btnHelp;
    CSkinTab m_tab;
    CJunkScanOptionDlg m_options;
    CJunkResultDlg m_result;
    CBrush m_brWhite;
    CViewHeading m_heading;
};
