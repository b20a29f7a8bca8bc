#pragma once
// A backup page that lists the archives of one folder below the program
// folder: the list, its Restore, Remove and Help buttons, the listing each
// show does and the question before a restore. The automatic and the full
// backup pages differ only in their template, their folder, the buttons'
// places and what a restore does.
#include "repair/BackupPage.h"
#include "controls/skin/BorderListCtrl.h"
#include "controls/skin/ButtonST.h"

class CBackupListPage : public CBackupPage
{
public:
    // pszFolderName: the folder below the program folder, without backslash.
    CBackupListPage(UINT nIDTemplate, LPCWSTR pszFolderName);

    // The folder of the program folder, with its backslash.
    CString GetBackupFolder() const;
    // Lists the folder again (as each show does).
    void FillList();
    void RemoveBackup();

    CBorderListCtrl m_list;
    CButtonST m_btnHelp;
    CButtonST m_btnRemove;
    CButtonST m_btnRestore;

protected:
    // The list and the Help button; each page binds its own other buttons.
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual BOOL OnInitDialog();
    virtual void OnPageShown();
    // The selected archive into strArchive, then the restore question; TRUE
    // after Yes when the file is still there.
    BOOL ConfirmRestore(CString& strArchive);

    // The green key colour of the backup pages' button pictures.
    static constexpr COLORREF s_crButtonKey = RGB(0, 255, 0);

    LPCWSTR m_pszFolderName;
};
