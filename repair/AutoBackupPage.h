#pragma once
// The automatic backup page: lists the archives that every repair writes to
// AutoBackup\, restores the selected one and removes backups.
#include "repair/BackupListPage.h"

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

    DECLARE_MESSAGE_MAP()
};
