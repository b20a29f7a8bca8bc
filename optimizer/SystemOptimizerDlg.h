#pragma once
// The system optimizer: four tuning pages under a tab strip, led through
// choose, review and optimize; Reset, Default, One-Click Optimize and Help.
#include "framework/Afx.h"
#include "framework/Controls.h"
#include "optimizer/Registry.h"
#include "optimizer/shared/NButtonEx.h"
#include "optimizer/shared/SkinTab.h"
#include <memory>

class CTuningPage;
class CDiskCachePage;
class CDesktopPage;
class CFileSystemPage;
class CNetworkPage;

class CSystemOptimizerDlg : public CDialog
{
public:
    enum { IDD = 5004 };
    enum { PAGE_NETWORK = 0, PAGE_DISK_CACHE = 1, PAGE_DESKTOP = 2, PAGE_FILE_SYSTEM = 3, PAGE_COUNT = 4 };
    enum
    {
        IDC_STEP1 = 5027, IDC_STEP2 = 5026, IDC_OPTIMIZE = 5028, IDC_RESET = 5025, IDC_DEFAULT = 5024,
        IDC_ONECLICK = 5029, IDC_HELP_BUTTON = 5066, IDC_HIDDEN_HELP = 4009, IDC_TABS = 1049
    };
    CSystemOptimizerDlg();
    ~CSystemOptimizerDlg() override;

    void SwitchLanguage();
    void RelayToolTipEvent(MSG* pMsg);
    void SwitchPage(int nIndex);
    void SetStep(int nStep);
    // One-click application of one page, by its template id.
    BOOL ApplyPageOption(UINT nOptionID, UINT nPageTemplateID, CRegistry& reg);

    int GetCurrentPage() const { return m_nCurPage; }
    int GetStep() const { return m_nStep; }
    CTuningPage* GetPage(int nIndex) const;
    CNetworkPage* GetNetworkPage() const { return m_pNetwork.get(); }
    CDiskCachePage* GetDiskCachePage() const { return m_pDiskCache.get(); }
    CDesktopPage* GetDesktopPage() const { return m_pDesktop.get(); }
    CFileSystemPage* GetFileSystemPage() const { return m_pFileSystem.get(); }
    CSkinTab& TabStrip() { return m_tab; }
    CNButtonEx* GetButton(UINT nID);
    // The help topic's location beside the host program.
    static CString HelpTopicPath();

    BOOL OnInitDialog() override;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    void OnOK() override {}
    void OnCancel() override {}
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg LRESULT OnPrintClient(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnTabSelChange(WPARAM wParam, LPARAM lParam);
    afx_msg void OnStepCommand();
    afx_msg void OnReset();
    afx_msg void OnDefault();
    afx_msg void OnOneClick();
    afx_msg void OnHelpButton();
    DECLARE_MESSAGE_MAP()

private:
    void DrawBackground(CDC* pDC);
    void LayOut();
    void SetButtons(BOOL bStep1, BOOL bStep2, BOOL bOptimize, BOOL bDefault, BOOL bReset);

    CNButtonEx m_btnStep1, m_btnStep2, m_btnOptimize, m_btnReset, m_btnDefault, m_btnOneClick, m_btnHelp;
    CSkinTab m_tab;
    CBitmap m_bmpHeader;
    std::unique_ptr<CDiskCachePage> m_pDiskCache;
    std::unique_ptr<CDesktopPage> m_pDesktop;
    std::unique_ptr<CFileSystemPage> m_pFileSystem;
    std::unique_ptr<CNetworkPage> m_pNetwork;
    int m_nCurPage;
    int m_nStep;
};
