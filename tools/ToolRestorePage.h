#pragma once
// The "Restore" page of a manager: one row per backup in its archive; the
// checked ones go back into the registry and leave the archive. The startup
// and browser helper object managers differ only in their columns and in
// which backups get a row.
#include "tools/ToolBackupArchive.h"
#include "tools/ToolDetailsPage.h"

class CToolRestorePage : public CToolDetailsPage
{
public:
    // Cancel leads to nCancelPage in nCancelFolder.
    CToolRestorePage(UINT nIDTemplate, ToolBackupKind nKind, int nCancelPage, int nCancelFolder);
    virtual ~CToolRestorePage();

    void LoadBackupArchive();

    afx_msg void OnRestore();
    afx_msg void OnCancelButton();

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual BOOL OnInitDialog();

    // The manager's path array of the application object.
    virtual CStringArray& BackupPaths() = 0;
    // The columns after the check-box column, and their translated headings.
    virtual void InsertColumns() = 0;
    virtual void TranslateColumns() = 0;
    // The archive entries the checked rows stand for, with the class of each
    // where the archive checks it; by default row i stands for entry i.
    virtual void EntriesOfRows(const CArray<int>& arrRows, CArray<int>& arrEntries, CStringArray& arrClsids);

    afx_msg void OnShowWindow(BOOL bShow, UINT nStatus);

    CButtonST m_btnCancel;
    CButtonST m_btnRestore;
    ToolBackupKind m_nKind;
    int m_nCancelPage;
    int m_nCancelFolder;

    DECLARE_MESSAGE_MAP()
};
