#pragma once
// The junk cleaner's scan-options tab: the mask list, where to scan and Scan Now.
#include "framework/Afx.h"
#include "optimizer/shared/MyStaticCtrl.h"
#include "optimizer/shared/NButtonEx.h"
#include "optimizer/shared/SkinGroupBox.h"
#include "optimizer/shared/SkinRadioButton.h"
#include <functional>
#include <vector>

class CJunkScanOptionDlg : public CDialog
{
public:
    enum { IDD = 375, IDC_MASK_LIST = 1048, IDC_ALL_DISKS = 1012, IDC_CHOOSE_DIR = 1013, IDC_FOLDER = 1027,
           IDC_BROWSE = 1011, IDC_SEL_ALL = 1053, IDC_SEL_NONE = 1054, IDC_SEL_DEFAULT = 1056, IDC_SCAN_NOW = 30008,
           IDC_GROUP = 1051 };
    CJunkScanOptionDlg();
    ~CJunkScanOptionDlg() override;

    // Where Scan Now goes: the folder ("" for every fixed drive) and the masks.
    typedef std::function<void(const CString& strFolder, const std::vector<CString>& masks)> StartFn;
    void SetStartHandler(StartFn fn) { m_fnStart = std::move(fn); }

    // Back to Scan all Disk with an empty, disabled folder edit.
    void ResetChoice();
    void SwitchLanguage();
    void RelayToolTipEvent(MSG* pMsg);

    // The operations behind the controls, for the page and for tests.
    void ChooseAllDisks(BOOL bAllDisks);
    BOOL IsAllDisks() const { return m_bAllDisks; }
    // All (1053), None (1054) or Default (1056).
    void SelectMasks(int nID);
    void SetFolderText(LPCWSTR lpszText);
    void Browse();
    void ScanNow();
    std::vector<CString> CheckedMasks() const;
    CListCtrl& GetMaskList() { return m_list; }

protected:
    BOOL OnInitDialog() override;
    void OnOK() override {}
    void OnCancel() override {}
    afx_msg void OnSize(UINT nType, int cx, int cy);
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    afx_msg void OnAllDisks();
    afx_msg void OnChooseDir();
    afx_msg void OnSelAll();
    afx_msg void OnSelNone();
    afx_msg void OnSelDefault();
    afx_msg void OnBrowse();
    afx_msg void OnScanNow();
    DECLARE_MESSAGE_MAP()

private:
    void Layout(int cx, int cy);

    CListCtrl m_list;
    CSkinRadioButton m_radAllDisks, m_radChooseDir, m_radAll, m_radNone, m_radDefault;
    CMyStaticCtrl m_labels[8];
    CSkinGroupBox m_group;
    CNButtonEx m_btnScan;
    CButton m_btnBrowse;
    CEdit m_editFolder;
    CBrush m_brWhite;
    BOOL m_bAllDisks;
    StartFn m_fnStart;
};
