#pragma once
// A backup page that lists the archives of one folder below the program
// folder: the list, its Restore, Remove and Help buttons, the listing each
// show does and the question before a restore. The automatic and the full
// backup pages differ only in their template, their folder, the buttons'
// places and what a restore does.
#include "repair/BackupPage.h"
#include "controls/skin/BorderListCtrl.h"
#include "controls/skin/ButtonST.h"
#include "repair/AutoBackupRestore.h"

#include <vector>

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
    // The selected archive into strArchive; FALSE without a selection, or
    // after saying so when the file is gone.
    BOOL GetSelectedArchive(CString& strArchive);
    // The restore question with what the restore will write: keys (the
    // first of nKeys) and files. TRUE after Yes.
    BOOL AskRestore(const std::vector<CRestoreKey>& keys, int nKeys, const CStringArray& arrFiles);

    // The green key colour of the backup pages' button pictures.
    static constexpr COLORREF s_crButtonKey = RGB(0, 255, 0);

    LPCWSTR m_pszFolderName;
};

// The most keys and files the restore question names one by one: past a
// screenful they are counted.
#define RESTORE_QUESTION_MAX_KEYS 12
#define RESTORE_QUESTION_MAX_FILES 6

// The part of the restore question that names what will be written: the
// first keys of nKeys (each with its view where the views differ), then the
// files, past the limits above "... and N more keys" / "... and N more files".
CString FormatRestoreWrites(CTamselApp* pApp, const std::vector<CRestoreKey>& keys, int nKeys,
                            const CStringArray& arrFiles);
