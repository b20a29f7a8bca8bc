#pragma once
// A tool page with a check-box list above a details area that shows the
// version texts of the selected row's program. The list pages and restore
// pages of both managers are of this kind.
#include "tools/ToolPage.h"
#include "tools/ToolBackupArchive.h"
#include "framework/Static.h"
#include "framework/ImageList.h"
#include "controls/lists/XListCtrl.h"
#include "controls/skin/CaptionBar.h"

class CToolDetailsPage : public CToolPage
{
public:
    explicit CToolDetailsPage(UINT nIDTemplate);
    virtual ~CToolDetailsPage();

    CXListCtrl& GetList() { return m_list; }
    // The four detail texts shown now (file, product, description, company).
    CString GetDetail(int nIndex) const;
    // Refills the list from its source.
    virtual void FillList() = 0;
    // Shows the details of the selected row.
    void ShowDetails();

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    // The file whose version texts describe a row.
    virtual CString DetailsFileOfRow(int nRow) = 0;
    // Grid lines, whole rows, tool tips, the check-box column; bHeaderStyles
    // gives the heading button and hot-tracking styles.
    void SetUpList(BOOL bHeaderStyles);
    void InsertCheckColumn();
    // Rows checked in column 0, in row order.
    void GetCheckedRows(CArray<int>& arrRows);
    // The records of the checked rows into arrChecked; row i stands for arrItems[i].
    void GetCheckedRecords(const CArray<CRegProblem>& arrItems, CArray<CRegProblem>& arrChecked);
    // TRUE, after telling the user to check rows first, when nChecked is 0.
    BOOL TellNothingChecked(INT_PTR nChecked);
    // Backs up the records a Remove is about to delete: one ToolBackupOutcome
    // each into arrOutcome. An unreadable archive set aside is reported.
    void BackupRecords(ToolBackupKind nKind, CStringArray& arrBackups, const CArray<CRegProblem>& arrRecords,
                       CArray<int>& arrOutcome);
    // The archive was renamed to strPath unread; strNameOutside is the entry
    // name that made it so, when that was the reason.
    void ReportArchiveSetAside(const CString& strPath, const CString& strNameOutside);
    void BeginFill();
    void EndFill();

    afx_msg void OnClickList(NMHDR* pNMHDR, LRESULT* pResult);

    CCaptionBar m_wndDetails;
    CXListCtrl m_list;
    CStatic m_wndLabels[4];   // 1030, 1031, 1033, 1035
    BOOL m_bLocked;

    DECLARE_MESSAGE_MAP()
};
