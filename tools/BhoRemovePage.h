#pragma once
// Page "Remove" of the browser helper object manager: one row per object
// registered under Browser Helper Objects whose class has an in-process
// server, in both registry views (the 64-bit and the 32-bit Internet
// Explorer each load their own view's). Checked objects are backed up into
// Utilities\BHO.dat, then their keys are deleted, each in its own view.
#include "tools/ToolDetailsPage.h"

class CBhoRemovePage : public CToolDetailsPage
{
public:
    CBhoRemovePage();
    virtual ~CBhoRemovePage();

    virtual void FillList();
    void BackupItems();
    void DeleteItems();

    afx_msg void OnRemove();
    afx_msg void OnCancelButton();

    // The in-process server's default value of a class registered in samView
    // (0: the process's own view), or "ERR".
    static CString DllOfClass(const CString& strClsid, REGSAM samView = 0);

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual BOOL OnInitDialog();
    virtual CString DetailsFileOfRow(int nRow);

    afx_msg void OnShowWindow(BOOL bShow, UINT nStatus);

    CButtonST m_btnCancel;
    CButtonST m_btnRemove;
    CArray<int> m_arrOutcome;

    DECLARE_MESSAGE_MAP()
};
