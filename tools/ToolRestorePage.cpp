#include "tools/ToolRestorePage.h"
#include "tools/BhoRemovePage.h"
#include "tools/ToolEntries.h"
#include "app/TamselApp.h"
#include "framework/WinThread.h"
#include "framework/WorkerCall.h"

namespace {

// What the listing worker reads; it owns everything it touches.
struct CToolListJob
{
    ToolBackupKind m_nKind;
    CString m_strAppDir;
    CStringArray m_arrPaths;
    int m_nLoad = CToolBackupArchive::LoadNoArchive;
    CString m_strSetAside;
    CStringArray m_arrTooLarge;
    std::vector<CToolRestoreRow> m_rows;
    std::atomic<bool>* m_pbStop = NULL;
};

UINT ToolListThreadProc(LPVOID pParam)
{
    CToolListJob& job = *static_cast<CToolListJob*>(pParam);
    CToolBackupArchive archive(job.m_nKind, job.m_strAppDir, job.m_arrPaths);
    job.m_nLoad = archive.Load(job.m_pbStop);
    job.m_strSetAside = archive.GetSetAsidePath();
    job.m_arrTooLarge.Copy(archive.GetTooLargeEntries());
    for (INT_PTR i = 0; i < job.m_arrPaths.GetSize(); ++i)
    {
        if (job.m_pbStop->load())
            return 1;
        CToolRestoreRow row;
        row.m_nEntry = (int)i;
        if (job.m_nKind == ToolBackupStartup)
        {
            ReadStartupBackupEntry(job.m_arrPaths[i], row.m_strText1, row.m_strText2);
        }
        else
        {
            // A row shows the server the class has now; a class gone gets none.
            CString strKey = ReadBackupKey(job.m_arrPaths[i]);
            row.m_strClsid = strKey.Mid(strKey.ReverseFind(L'\\') + 1);
            row.m_strText1 = CBhoRemovePage::DllOfClass(row.m_strClsid);
            if (row.m_strText1 == L"ERR")
                continue;
        }
        job.m_rows.push_back(row);
    }
    return 0;
}

} // namespace

BEGIN_MESSAGE_MAP(CToolRestorePage, CToolDetailsPage)
    ON_WM_SHOWWINDOW()
    ON_WM_SETCURSOR()
    ON_BN_CLICKED(1002, OnRestore)
    ON_BN_CLICKED(1003, OnCancelButton)
END_MESSAGE_MAP()

CToolRestorePage::CToolRestorePage(UINT nIDTemplate, ToolBackupKind nKind, int nCancelPage, int nCancelFolder)
    : CToolDetailsPage(nIDTemplate), m_nKind(nKind), m_nCancelPage(nCancelPage), m_nCancelFolder(nCancelFolder),
      m_bListing(FALSE), m_bStopListing(false)
{
}

CToolRestorePage::~CToolRestorePage()
{
}

void CToolRestorePage::DoDataExchange(CDataExchange* pDX)
{
    CToolDetailsPage::DoDataExchange(pDX);
    DDX_Control(pDX, 1002, m_btnRestore);
    DDX_Control(pDX, 1003, m_btnCancel);
}

BOOL CToolRestorePage::OnInitDialog()
{
    CToolDetailsPage::OnInitDialog();
    SetUpList(TRUE);
    InsertCheckColumn();
    InsertColumns();
    SetButtonBitmaps(m_btnRestore, 316, 315);
    SetButtonBitmaps(m_btnCancel, 301, 300);
    return TRUE;
}

void CToolRestorePage::OnShowWindow(BOOL bShow, UINT nStatus)
{
    CToolDetailsPage::OnShowWindow(bShow, nStatus);
    if (!bShow)
    {
        // A running listing stops and removes the folder itself.
        if (m_bListing)
            m_bStopListing = true;
        else if (m_pApp != NULL)
            CToolBackupArchive(m_nKind, m_pApp->m_strAppDir, BackupPaths()).DeleteWorkFolder();
        return;
    }
    FillList();
    Translate();
    TranslateColumns();
    Invalidate(FALSE);
}

void CToolRestorePage::LoadBackupArchive()
{
    CToolBackupArchive archive(m_nKind, m_pApp->m_strAppDir, BackupPaths());
    if (archive.Load() == CToolBackupArchive::LoadSetAside)
        ReportSetAside(archive.GetSetAsidePath());
    ReportNames(L"M_TOOL_ENTRY_TOO_LARGE", archive.GetTooLargeEntries());
}

BOOL CToolRestorePage::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
{
    if (m_bListing)
    {
        ::SetCursor(::LoadCursorW(NULL, IDC_APPSTARTING));
        return TRUE;
    }
    return CToolDetailsPage::OnSetCursor(pWnd, nHitTest, message);
}

BOOL CToolRestorePage::DispatchPending()
{
    MSG msg;
    while (::PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE))
    {
        if (msg.message == WM_QUIT)
        {
            // Left for the outer loop; the listing is of no use now.
            m_bStopListing = true;
            ::PostQuitMessage((int)msg.wParam);
            return FALSE;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    return TRUE;
}

BOOL CToolRestorePage::ServeMessagesWhileFilling()
{
    // Listing again, restoring or leaving now would meet a half-built list.
    m_bListing = TRUE;
    DispatchPending();
    m_bListing = FALSE;
    if (!m_bStopListing && GetSafeHwnd() != NULL)
        return TRUE;
    m_bStopListing = false;
    if (m_pApp != NULL)
        CToolBackupArchive(m_nKind, m_pApp->m_strAppDir, BackupPaths()).DeleteWorkFolder();
    return FALSE;
}

BOOL CToolRestorePage::ListArchive(std::vector<CToolRestoreRow>& rows)
{
    rows.clear();
    if (m_bListing || m_pApp == NULL)
        return FALSE;
    CToolListJob job;
    job.m_nKind = m_nKind;
    job.m_strAppDir = m_pApp->m_strAppDir;
    job.m_arrPaths.Copy(BackupPaths());
    job.m_pbStop = &m_bStopListing;
    m_bStopListing = false;

    // The row readers need room for the registry class's buffers.
    HANDLE hThread = AfxBeginWorker(ToolListThreadProc, &job, 1024 * 1024, STACK_SIZE_PARAM_IS_A_RESERVATION);
    if (hThread == NULL)
    {
        ToolListThreadProc(&job);
    }
    else
    {
        m_bListing = TRUE;
        BOOL bRestoreEnabled = m_btnRestore.GetSafeHwnd() != NULL && m_btnRestore.IsWindowEnabled();
        if (bRestoreEnabled)
            m_btnRestore.EnableWindow(FALSE);
        HCURSOR hOldCursor = ::SetCursor(::LoadCursorW(NULL, IDC_APPSTARTING));
        // Serve every message meanwhile: the page paints, the window can be
        // closed, and hiding the page stops the listing (OnShowWindow).
        for (;;)
        {
            DWORD dwWait = ::MsgWaitForMultipleObjects(1, &hThread, FALSE, INFINITE, QS_ALLINPUT);
            if (dwWait != WAIT_OBJECT_0 + 1)
                break;
            if (!DispatchPending())
                break;
            if (GetSafeHwnd() == NULL)
                m_bStopListing = true;
        }
        AfxWaitForObjectPumping(hThread, INFINITE);
        ::CloseHandle(hThread);
        m_bListing = FALSE;
        if (bRestoreEnabled && m_btnRestore.GetSafeHwnd() != NULL)
            m_btnRestore.EnableWindow(TRUE);
        ::SetCursor(hOldCursor);
    }
    if (m_bStopListing)
    {
        m_bStopListing = false;
        CToolBackupArchive(m_nKind, m_pApp->m_strAppDir, job.m_arrPaths).DeleteWorkFolder();
        return FALSE;
    }
    if (job.m_nLoad != CToolBackupArchive::LoadNoArchive)
        BackupPaths().Copy(job.m_arrPaths);
    rows.swap(job.m_rows);
    if (job.m_nLoad == CToolBackupArchive::LoadSetAside)
        ReportSetAside(job.m_strSetAside);
    ReportNames(L"M_TOOL_ENTRY_TOO_LARGE", job.m_arrTooLarge);
    return TRUE;
}

void CToolRestorePage::EntriesOfRows(const CArray<int>& arrRows, CArray<int>& arrEntries, CStringArray& arrClsids)
{
    (void)arrClsids;
    for (int nRow : arrRows)
        arrEntries.Add(nRow);
}

void CToolRestorePage::OnRestore()
{
    if (m_pApp == NULL || m_bListing)
        return;
    CArray<int> arrRows, arrEntries, arrOutcome;
    CStringArray arrClsids;
    GetCheckedRows(arrRows);
    EntriesOfRows(arrRows, arrEntries, arrClsids);
    CToolBackupArchive archive(m_nKind, m_pApp->m_strAppDir, BackupPaths());
    BOOL bSaved = archive.Restore(arrEntries, arrClsids, arrOutcome);
    CStringArray arrRefused, arrFailed;
    for (INT_PTR i = 0; i < arrRows.GetSize() && i < arrOutcome.GetSize(); ++i)
    {
        CString strName = m_list.GetItemText(arrRows[i], 1);
        // A backup without a value line has no name of its own: its file names it.
        if (strName.IsEmpty() && i < arrEntries.GetSize() && arrEntries[i] >= 0 &&
            arrEntries[i] < BackupPaths().GetSize())
        {
            const CString& strPath = BackupPaths()[arrEntries[i]];
            strName = strPath.Mid(strPath.ReverseFind(L'\\') + 1);
        }
        if (arrOutcome[i] == RestoreRefused)
            arrRefused.Add(strName);
        else if (arrOutcome[i] == RestoreFailed)
            arrFailed.Add(strName);
    }
    ReportNames(L"M_TOOL_RESTORE_REFUSED", arrRefused);
    ReportNames(L"M_TOOL_RESTORE_FAILED", arrFailed);
    if (!bSaved)
        Message(Lang(L"M_TOOL_ARCHIVE_NOT_SAVED"), MB_OK | MB_ICONEXCLAMATION);
    FillList();
}

void CToolRestorePage::OnCancelButton()
{
    GoToPage(m_nCancelPage, m_nCancelFolder);
}
