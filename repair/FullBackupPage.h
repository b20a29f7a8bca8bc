#pragma once
// The full backup page: makes a full registry backup, lists the ones made so
// far in FullBackup\, restores the selected one and removes backups.
#include "repair/BackupListPage.h"

class CFullBackupJob;

class CFullBackupPage : public CBackupListPage
{
public:
    CFullBackupPage();
    virtual ~CFullBackupPage();

    void OnFullBackup();
    void OnRestore();

    CButtonST m_btnBackup;

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual BOOL OnInitDialog();
    // The work the progress dialog runs (tests put in their own).
    virtual CFullBackupJob* CreateJob();
    // Runs the progress dialog in a mode; strMessage gets what to tell.
    BOOL RunFullBackupDlg(int nMode, CString& strMessage);

    DECLARE_MESSAGE_MAP()
};
