#pragma once
// Page "Remove" of the startup manager: the string values of the eleven Run
// keys, in both registry views, and the shortcuts of both Startup folders.
// Checked values are backed up into Utilities\Startup.dat before they are
// deleted, each in its own view; shortcuts are deleted after a question and
// have no backup.
#include "tools/ToolDetailsPage.h"
#include "scanner/RegProblem.h"

class CStartupRemovePage : public CToolDetailsPage
{
public:
    CStartupRemovePage();
    virtual ~CStartupRemovePage();

    virtual void FillList();
    void BackupItems();
    void DeleteItems();

    afx_msg void OnRun();
    afx_msg void OnRemove();
    afx_msg void OnButtonCancel();

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual BOOL OnInitDialog();
    virtual CString DetailsFileOfRow(int nRow);

    void AddRow(const CRegProblem& record, const CString& strName, const CString& strCommand, HICON hFallback);
    void AddShortcuts(const CString& strFolder, CStringArray& arrFiles);

    afx_msg void OnShowWindow(BOOL bShow, UINT nStatus);

    CImageList m_imageList;
    CButtonST m_btnCancel;
    CButtonST m_btnRemove;
    CButtonST m_btnRun;
    CArray<int> m_arrOutcome;   // of the last BackupItems, one per removed record

    DECLARE_MESSAGE_MAP()
};
