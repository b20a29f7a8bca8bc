#pragma once
// The "Restore" page of a manager: one row per backup in its archive; the
// checked ones go back into the registry and leave the archive. The startup
// and browser helper object managers differ only in their columns and in
// which backups get a row.
#include "tools/ToolBackupArchive.h"
#include "tools/ToolDetailsPage.h"

#include <atomic>
#include <vector>

// One row of a restore list, read off the window's thread: the archive entry
// it stands for and its texts (a helper object's row also keeps its class).
struct CToolRestoreRow
{
    int m_nEntry = -1;
    CString m_strText1;
    CString m_strText2;
    CString m_strClsid;
};

class CToolRestorePage : public CToolDetailsPage
{
public:
    // Cancel leads to nCancelPage in nCancelFolder.
    CToolRestorePage(UINT nIDTemplate, ToolBackupKind nKind, int nCancelPage, int nCancelFolder);
    virtual ~CToolRestorePage();

    void LoadBackupArchive();
    // TRUE while ListArchive waits for its worker.
    BOOL IsListing() const { return m_bListing; }

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

    // Unpacks the archive and reads its rows on a worker while this thread
    // keeps serving its windows (Restore disabled, a busy cursor); then
    // fills BackupPaths() and reports what was set aside or left out. FALSE
    // when the listing was stopped (the page was hidden or the program ends).
    BOOL ListArchive(std::vector<CToolRestoreRow>& rows);
    // Called between batches of inserted rows: serves the messages that wait.
    // FALSE when the page was hidden or the program ends: stop filling.
    BOOL ServeMessagesWhileFilling();
    enum { FILL_BATCH_ROWS = 200 };

    afx_msg void OnShowWindow(BOOL bShow, UINT nStatus);
    afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);

    // Dispatches what waits in the queue; FALSE when the program ends.
    BOOL DispatchPending();

    CButtonST m_btnCancel;
    CButtonST m_btnRestore;
    ToolBackupKind m_nKind;
    int m_nCancelPage;
    int m_nCancelFolder;
    BOOL m_bListing;
    std::atomic<bool> m_bStopListing;

    DECLARE_MESSAGE_MAP()
};
