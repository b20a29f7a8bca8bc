#pragma once
// The full backup page: makes a full registry backup, lists the ones made so
// far in FullBackup\, restores the selected one and removes backups.
#include "repair/BackupListPage.h"

#include <memory>

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
    // Runs the progress dialog in a mode (0 backup, 1 restore, 2 read and
    // check) on pJob, made when empty and kept for the next step;
    // strMessage gets what to tell, nothing when it was stopped on closing.
    BOOL RunFullBackupDlg(int nMode, CString& strMessage, std::unique_ptr<CFullBackupJob>& pJob);

    DECLARE_MESSAGE_MAP()
};
