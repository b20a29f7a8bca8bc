#pragma once
// The full backup page: makes a full registry backup, lists the ones made so
// far in FullBackup\, restores the selected one and removes backups.
#include "repair/BackupPage.h"
#include "controls/skin/BorderListCtrl.h"
#include "controls/skin/ButtonST.h"

class CFullBackupJob;

class CFullBackupPage : public CBackupPage
{
public:
    CFullBackupPage();
    virtual ~CFullBackupPage();

    CString GetBackupFolder() const;
    void FillList();
    void OnFullBackup();
    void OnRestore();
    void OnRemove();

    CBorderListCtrl m_list;
    CButtonST m_btnHelp;
    CButtonST m_btnRemove;
    CButtonST m_btnRestore;
    CButtonST m_btnBackup;

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual BOOL OnInitDialog();
    virtual void OnPageShown();
    // The work the progress dialog runs (tests put in their own).
    virtual CFullBackupJob* CreateJob();
    // Runs the progress dialog in a mode; strMessage gets what to tell.
    BOOL RunFullBackupDlg(int nMode, CString& strMessage);

    DECLARE_MESSAGE_MAP()
};
