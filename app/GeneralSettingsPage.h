#pragma once
// The general settings page: start with Windows, repair after a scan, close
// after a repair, check for updates automatically, and the language of the
// whole program. Its Check Update command is also what the launchers and the
// main window's update button run.
#include "framework/Afx.h"
#include "framework/Controls.h"
#include "app/WhiteDialog.h"
#include "controls/lists/IconComboBox.h"
#include "controls/skin/ButtonST.h"

class CTamselApp;

class CGeneralSettingsPage : public CWhiteDialog
{
public:
    explicit CGeneralSettingsPage(CWnd* pParent = NULL);
    virtual ~CGeneralSettingsPage();

    void OnCheckUpdate();
    void FillLanguageList();

    // Whether Check Update brings the updater up to date first (once a run).
    static void ResetUpdaterStep();

    CTamselApp* m_pApp;
    CIconComboBox m_comboLanguage;
    CButtonST m_chkAutoUpdate;
    CButtonST m_chkStartup;
    CButtonST m_chkAutoRepair;
    CButtonST m_chkCloseAfterRepair;
    CButtonST m_btnCheckUpdate;

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual BOOL OnInitDialog();

    afx_msg void OnShowWindow(BOOL bShow, UINT nStatus);
    afx_msg void OnAutoRepair();
    afx_msg void OnCloseAfterRepair();
    afx_msg void OnAutoUpdate();
    afx_msg void OnRunAtStartup();
    afx_msg void OnCheckUpdateClicked();
    afx_msg void OnSelChangeLanguage();

    void ReplaceMoreItem(CComboBox& combo);

    DECLARE_MESSAGE_MAP()
};
