#pragma once
// The automatic backup page: lists the archives that every repair writes to
// AutoBackup\, restores the selected one and removes backups.
#include "repair/BackupListPage.h"

#include <atomic>
#include <functional>

class CAutoBackupPage : public CBackupListPage
{
public:
    CAutoBackupPage();
    virtual ~CAutoBackupPage();

    void RestoreBackup();

    CButtonST m_btnCancel;

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual BOOL OnInitDialog();
    virtual void OnPageShown();

    afx_msg void OnBackToHub();

    // Runs fnWork on a worker under the progress dialog; FALSE with
    // bStopped when the dialog was stopped on closing the program.
    BOOL RunRestoreStep(const std::function<BOOL()>& fnWork, int nStatus, BOOL& bStopped);

    // Set when the progress dialog is left before its worker; the restore
    // polls it to its end, so that what it unpacked is then left for the
    // next restore to clear rather than removed while the program closes.
    std::atomic<bool> m_bStopRestore;

    DECLARE_MESSAGE_MAP()
};
