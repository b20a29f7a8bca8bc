#pragma once
// The scan result page: the problems of the last scan as a tree with check
// boxes under their category rows. FIX & Continue repairs the checked ones;
// each row opens its key in the registry editor (a shortcut: its folder) or
// goes on the ignore list. The scan hands its rows over through the sink.
#include "framework/Afx.h"
#include "framework/Controls.h"
#include "framework/Gdi.h"
#include "controls/lists/TreeListCtrl.h"
#include "controls/skin/ButtonST.h"
#include "controls/skin/SegmentDisplay.h"
#include "scanner/RegProblem.h"
#include "scanner/ScanResultSink.h"

class CTamselApp;

class CScanResultPage : public CDialog, public CScanResultSink
{
public:
    enum { IDD = 163 };

    CScanResultPage();
    virtual ~CScanResultPage();

    // Asks whether to leave the unfinished result; 1 on Yes.
    int ConfirmLeave();

    // The scan's rows; every call comes on this window's thread.
    void ClearResults() override;
    void AddCategoryRows(const CString* pNames, int nCount) override;
    void AddProblemRows(const CScanResultRow* pRows, int nCount) override;
    void SetAfterScan(BOOL bAfterScan) override { m_bAfterScan = bAfterScan ? 1 : 0; }
    void SetLeaving(BOOL bLeaving) override { m_bLeaving = bLeaving ? 1 : 0; }

    // The category (1 to 15) of a problem row, from its parent's text and
    // the names the tree was built with; 0 for a category row or an unknown one.
    int GetItemCategory(CTreeListItem* pItem);
    // The record of a problem row, or NULL.
    const CRegProblem* GetItemProblem(CTreeListItem* pItem);
    CString GetItemKeyPath(CTreeListItem* pItem);
    void AddToRepairList(CTreeListItem* pItem);
    void CountSelectedItem(CTreeListItem* pItem, int nErrors[]);
    // Puts the row's problem on the ignore list and takes the row away;
    // FALSE (the row stays) when the list could not be saved.
    BOOL AddToIgnoreList(CTreeListItem* pItem);
    void OpenKeyInRegedit(const CString& strKeyPath);

    afx_msg void FixSelected();

    // Set by a scan that ran to its end: the page then repairs at once
    // (AutoRepair) or closes an empty result (CloseAfterScan), once.
    int m_bAfterScan;
    int m_bShown;
    int m_bLeaving;

    CBrush m_brWhite;
    CSegmentDisplay m_wndTotal;
    CButtonST m_btnFix;
    CTreeListCtrl m_tree;
    CTamselApp* m_pApp;
    // The category names of the tree's rows, in display order.
    CString m_strTreeNames[15];

    // Test seam: the shell call that explores a shortcut's folder.
    typedef HINSTANCE(WINAPI* SHELL_EXECUTE_PROC)(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT);
    static SHELL_EXECUTE_PROC s_pfnShellExecute;

protected:
    virtual BOOL OnInitDialog();
    virtual void OnOK() {}
    virtual void OnCancel();

    void RemoveEmptyCategories();
    void ShowTotal();
    BOOL HasProblemRows();

    afx_msg void OnShowWindow(BOOL bShow, UINT nStatus);
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    afx_msg void OnPaint();
    afx_msg LRESULT OnAfterScanShown(WPARAM wParam, LPARAM lParam);
    afx_msg void OnOpenClick(NMHDR* pNMHDR, LRESULT* pResult);
    afx_msg void OnIgnoreClick(NMHDR* pNMHDR, LRESULT* pResult);

    CFont m_fontTitle;

    DECLARE_MESSAGE_MAP()
};
