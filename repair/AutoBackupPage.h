#pragma once
// The automatic backup page: lists the archives that every repair writes to
// AutoBackup\, restores the selected one and removes backups.
#include "repair/BackupPage.h"
#include "controls/skin/BorderListCtrl.h"
#include "controls/skin/ButtonST.h"

class CAutoBackupPage : public CBackupPage
{
public:
    CAutoBackupPage();
    virtual ~CAutoBackupPage();

    // AutoBackup\ of the program folder, with its backslash.
    CString GetBackupFolder() const;
    // Lists the folder again (as each show does).
    void FillList();
    void RestoreBackup();
    void RemoveBackup();

    CButtonST m_btnHelp;
    CButtonST m_btnCancel;
    CButtonST m_btnRemove;
    CButtonST m_btnRestore;
    CBorderListCtrl m_list;

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual BOOL OnInitDialog();
    virtual void OnPageShown();

    afx_msg void OnBackToHub();

    DECLARE_MESSAGE_MAP()
};
