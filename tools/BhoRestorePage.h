#pragma once
// Page "Restore" of the browser helper object manager: one row per backup in
// Utilities\BHO.dat whose class is still registered; the checked ones go back
// into the registry and leave the archive.
#include "tools/ToolDetailsPage.h"

class CBhoRestorePage : public CToolDetailsPage
{
public:
    CBhoRestorePage();
    virtual ~CBhoRestorePage();

    virtual void FillList();
    void LoadBackupArchive();
    // The path array entry a row stands for (rows skip unresolved backups).
    int GetRowEntry(int nRow) const;

    afx_msg void OnRestore();
    afx_msg void OnCancelButton();

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual BOOL OnInitDialog();
    virtual CString DetailsFileOfRow(int nRow);

    afx_msg void OnShowWindow(BOOL bShow, UINT nStatus);

    CButtonST m_btnCancel;
    CButtonST m_btnRestore;
    CArray<int> m_arrRowEntry;      // row -> index in the path array
    CStringArray m_arrRowClsid;     // row -> the class identifier of its backup

    DECLARE_MESSAGE_MAP()
};
