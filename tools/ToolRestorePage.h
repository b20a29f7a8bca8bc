#pragma once
// The "Restore" page of a manager: one row per backup in its archive; the
// checked ones go back into the registry and leave the archive. The startup
// and browser helper object managers differ only in their columns and in
// which backups get a row.
#include "tools/ToolBackupArchive.h"
#include "tools/ToolDetailsPage.h"

#include <memory>
#include <vector>

struct CToolListJob;

class CToolRestorePage : public CToolDetailsPage
{
public:
    // Cancel leads to nCancelPage in nCancelFolder.
    CToolRestorePage(UINT nIDTemplate, ToolBackupKind nKind, int nCancelPage, int nCancelFolder);
    virtual ~CToolRestorePage();

    // Lists the archive anew. A worker reads it in memory and posts the
    // rows in batches; this returns at once, and the rows arrive while this
    // thread goes on serving its windows (Restore disabled meanwhile).
    virtual void FillList();
    void LoadBackupArchive();
    // TRUE from FillList until the last rows and the path array are in.
    BOOL IsListing() const { return m_pJob != nullptr; }
    // Ends a running listing: stops its worker and waits for it.
    void StopListing();
    // The path array entry a row stands for (-1 for none).
    int GetRowEntry(int nRow) const;

    afx_msg void OnRestore();
    afx_msg void OnCancelButton();

    // Run on this thread by the calls the listing worker posts.
    void OnRowsListedCall(const std::shared_ptr<CToolListJob>& pJob, std::vector<CToolBackupRow>& rows);
    void OnListingDoneCall(const std::shared_ptr<CToolListJob>& pJob);

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual BOOL OnInitDialog();

    // The manager's path array of the application object.
    virtual CStringArray& BackupPaths() = 0;
    // The columns after the check-box column, and their translated headings.
    virtual void InsertColumns() = 0;
    virtual void TranslateColumns() = 0;
    // Writes a listed row's texts into the just inserted row nRow.
    virtual void SetRowTexts(int nRow, const CToolBackupRow& row) = 0;
    // How a message names a row: as the list shows it.
    virtual CString NameOfRow(const CToolBackupRow& row) = 0;

    afx_msg void OnShowWindow(BOOL bShow, UINT nStatus);
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
    afx_msg void OnDestroy();

    // Ends the busy state of a listing (the worker has ended).
    void EndListing();

    CButtonST m_btnCancel;
    CButtonST m_btnRestore;
    ToolBackupKind m_nKind;
    int m_nCancelPage;
    int m_nCancelFolder;
    // What each row shows and stands for, in row order.
    std::vector<CToolBackupRow> m_rows;
    // The running listing and its worker; none when no listing runs.
    std::shared_ptr<CToolListJob> m_pJob;
    HANDLE m_hListThread;
    BOOL m_bRestoreWasEnabled;

    DECLARE_MESSAGE_MAP()
};
