#pragma once
// Page "Restore" of the startup manager: one row per backup in
// Utilities\Startup.dat; the checked ones go back into the registry and
// leave the archive.
#include "tools/ToolDetailsPage.h"

class CStartupRestorePage : public CToolDetailsPage
{
public:
    CStartupRestorePage();
    virtual ~CStartupRestorePage();

    virtual void FillList();
    void LoadBackupArchive();

    afx_msg void OnRestore();
    afx_msg void OnButtonCancel();

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual BOOL OnInitDialog();
    virtual CString DetailsFileOfRow(int nRow);

    afx_msg void OnShowWindow(BOOL bShow, UINT nStatus);

    CButtonST m_btnRestore;
    CButtonST m_btnCancel;

    DECLARE_MESSAGE_MAP()
};
