#pragma once
// The Internet Explorer repairs page: nine fixed repairs of the browser's
// registry settings in a check-box list; Restore runs the checked ones.
#include "tools/ToolPage.h"
#include "controls/lists/XListCtrl.h"

#define IE_REPAIR_COUNT 9

class CIeRestorePage : public CToolPage
{
public:
    CIeRestorePage();
    virtual ~CIeRestorePage();

    CXListCtrl& GetList() { return m_list; }
    void FillRepairList();
    afx_msg void OnRestore();

    // Each repair returns FALSE when one of its steps failed.
    static BOOL RepairStartPage();
    static BOOL RepairRegistryTools();
    static BOOL RepairSearchPage();
    static BOOL RepairRestrictions();
    static BOOL RepairContextMenu();
    static BOOL RepairControlPanel();
    static BOOL RepairMenuExt();
    static BOOL RepairTypedUrls();
    static BOOL RepairLinksFolderName();
    // Repair nRow (0-based list row).
    static BOOL RunRepair(int nRow);

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual BOOL OnInitDialog();
    afx_msg void OnShowWindow(BOOL bShow, UINT nStatus);

    CXListCtrl m_list;
    CButtonST m_btnHelp;
    CButtonST m_btnRestore;

    DECLARE_MESSAGE_MAP()
};
