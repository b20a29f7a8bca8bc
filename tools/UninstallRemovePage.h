#pragma once
// The uninstall manager: the programs listed under the machine's Uninstall
// key of both registry views (32-bit and 64-bit programs register in their
// own), with their icons, dates and publishers; starts a program's own
// uninstaller, read in its view, after a question. It changes nothing itself.
#include "tools/ToolPage.h"
#include "framework/ImageList.h"
#include "controls/lists/XListCtrl.h"

class CUninstallRemovePage : public CToolPage
{
public:
    CUninstallRemovePage();
    virtual ~CUninstallRemovePage();

    void FillList();
    CXListCtrl& GetList() { return m_list; }
    int GetImageCount() const { return m_imageList.GetSafeHandle() ? m_imageList.GetImageCount() : 0; }

    afx_msg void OnRemove();
    afx_msg void OnCancelButton();
    afx_msg void OnRefresh();
    afx_msg void OnShowUpdates();

    BOOL m_bFirstPaint;
    BOOL m_bShowUpdates;

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual BOOL OnInitDialog();
    void AddRow(const CString& strSubKey, const CString& strName, const class CKeyReader& entry, HICON hDefault);

    afx_msg void OnShowWindow(BOOL bShow, UINT nStatus);
    afx_msg void OnPaint();

    CButtonST m_btnHelp;
    CButtonST m_btnRefresh;
    CButtonST m_btnCancel;
    CButtonST m_btnRemove;
    CButtonST m_chkUpdates;
    CXListCtrl m_list;
    CImageList m_imageList;

    DECLARE_MESSAGE_MAP()
};
