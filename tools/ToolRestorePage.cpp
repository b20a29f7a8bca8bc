#include "tools/ToolRestorePage.h"
#include "tools/BhoRemovePage.h"
#include "tools/ToolEntries.h"
#include "app/TamselApp.h"
#include "framework/WinThread.h"
#include "framework/WorkerCall.h"

#include <atomic>

// One listing: what its worker reads, and what it hands to the page. The
// worker and the calls it posts share it, so it outlives whichever ends last.
struct CToolListJob
{
    ToolBackupKind m_nKind = ToolBackupStartup;
    HWND m_hWnd = NULL;
    CString m_strAppDir;
    CStringArray m_arrPaths;
    int m_nLoad = CToolBackupArchive::LoadNoArchive;
    CString m_strSetAside;
    CString m_strNameOutside;
    CStringArray m_arrTooLarge;
    std::atomic<bool> m_bStop{false};
};

namespace {

// Rows go to the window's thread in batches: one posted call per batch, and
// never longer than a blink between two while rows are being read.
const size_t kBatchRows = 500;
const DWORD kBatchMs = 100;

UINT ToolListThreadProc(LPVOID pParam)
{
    std::unique_ptr<std::shared_ptr<CToolListJob>> pHeld(static_cast<std::shared_ptr<CToolListJob>*>(pParam));
    std::shared_ptr<CToolListJob> pJob = *pHeld;
    CToolListJob& job = *pJob;
    std::vector<CToolBackupRow> batch;
    DWORD dwLastPost = ::GetTickCount();
    auto post = [&]() {
        auto pRows = std::make_shared<std::vector<CToolBackupRow>>();
        pRows->swap(batch);
        HWND hWnd = job.m_hWnd;
        AfxPostCall(hWnd, [hWnd, pJob, pRows]() {
            CToolRestorePage* pPage = static_cast<CToolRestorePage*>(CWnd::FromHandlePermanent(hWnd));
            if (pPage != NULL)
                pPage->OnRowsListedCall(pJob, *pRows);
        });
        dwLastPost = ::GetTickCount();
    };
    CToolBackupArchive archive(job.m_nKind, job.m_strAppDir, job.m_arrPaths);
    // Each row is made from its backup's bytes as the archive is read: no
    // backup is unpacked to a file for the list.
    auto visit = [&](int nEntry, const std::vector<BYTE>& bytes) {
        CToolBackupRow row;
        row.m_nEntry = nEntry;
        row.m_samView = archive.GetEntryView(nEntry);
        if (job.m_nKind == ToolBackupStartup)
        {
            ReadStartupBackupEntry(bytes, row.m_strText1, row.m_strText2, &row.m_strKey);
        }
        else
        {
            // A row shows the server the class has now, in the backup's view;
            // a class gone gets none.
            CString strKey = ReadBackupKey(bytes);
            row.m_strClsid = strKey.Mid(strKey.ReverseFind(L'\\') + 1);
            row.m_strText1 = CBhoRemovePage::DllOfClass(row.m_strClsid, row.m_samView);
            if (row.m_strText1 == L"ERR")
                return;
        }
        batch.push_back(row);
        if (batch.size() >= kBatchRows || ::GetTickCount() - dwLastPost >= kBatchMs)
            post();
    };
    job.m_nLoad = archive.Load(&job.m_bStop, visit);
    job.m_strSetAside = archive.GetSetAsidePath();
    job.m_strNameOutside = archive.GetNameOutside();
    job.m_arrTooLarge.Copy(archive.GetTooLargeEntries());
    if (job.m_bStop.load())
        return 1;
    if (!batch.empty())
        post();
    HWND hWnd = job.m_hWnd;
    AfxPostCall(hWnd, [hWnd, pJob]() {
        CToolRestorePage* pPage = static_cast<CToolRestorePage*>(CWnd::FromHandlePermanent(hWnd));
        if (pPage != NULL)
            pPage->OnListingDoneCall(pJob);
    });
    return 0;
}

} // namespace

BEGIN_MESSAGE_MAP(CToolRestorePage, CToolDetailsPage)
    ON_WM_SHOWWINDOW()
    ON_WM_SETCURSOR()
    ON_WM_DESTROY()
    ON_BN_CLICKED(1002, OnRestore)
    ON_BN_CLICKED(1003, OnCancelButton)
END_MESSAGE_MAP()

CToolRestorePage::CToolRestorePage(UINT nIDTemplate, ToolBackupKind nKind, int nCancelPage, int nCancelFolder)
    : CToolDetailsPage(nIDTemplate), m_nKind(nKind), m_nCancelPage(nCancelPage), m_nCancelFolder(nCancelFolder),
      m_hListThread(NULL), m_bRestoreWasEnabled(FALSE)
{
}

CToolRestorePage::~CToolRestorePage()
{
    StopListing();
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
        StopListing();
        if (m_pApp != NULL)
            CToolBackupArchive(m_nKind, m_pApp->m_strAppDir, BackupPaths()).DeleteWorkFolder();
        return;
    }
    FillList();
    Translate();
    TranslateColumns();
    Invalidate(FALSE);
}

void CToolRestorePage::OnDestroy()
{
    StopListing();
    // Closing with the page shown: the work folder goes as when it is hidden.
    if ((GetStyle() & WS_VISIBLE) && m_pApp != NULL)
        CToolBackupArchive(m_nKind, m_pApp->m_strAppDir, BackupPaths()).DeleteWorkFolder();
    CToolDetailsPage::OnDestroy();
}

void CToolRestorePage::LoadBackupArchive()
{
    CToolBackupArchive archive(m_nKind, m_pApp->m_strAppDir, BackupPaths());
    if (archive.Load() == CToolBackupArchive::LoadSetAside)
        ReportArchiveSetAside(archive.GetSetAsidePath(), archive.GetNameOutside());
    ReportNames(L"M_TOOL_ENTRY_TOO_LARGE", archive.GetTooLargeEntries());
}

BOOL CToolRestorePage::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
{
    if (IsListing())
    {
        ::SetCursor(::LoadCursorW(NULL, IDC_APPSTARTING));
        return TRUE;
    }
    return CToolDetailsPage::OnSetCursor(pWnd, nHitTest, message);
}

int CToolRestorePage::GetRowEntry(int nRow) const
{
    return nRow >= 0 && (size_t)nRow < m_rows.size() ? m_rows[nRow].m_nEntry : -1;
}

void CToolRestorePage::FillList()
{
    if (m_list.GetSafeHwnd() == NULL || m_pApp == NULL)
        return;
    StopListing();
    m_list.DeleteAllItems();
    m_rows.clear();

    auto pJob = std::make_shared<CToolListJob>();
    pJob->m_nKind = m_nKind;
    pJob->m_hWnd = m_hWnd;
    pJob->m_strAppDir = m_pApp->m_strAppDir;
    pJob->m_arrPaths.Copy(BackupPaths());
    m_pJob = pJob;
    m_bRestoreWasEnabled = m_btnRestore.GetSafeHwnd() != NULL && m_btnRestore.IsWindowEnabled();
    if (m_bRestoreWasEnabled)
        m_btnRestore.EnableWindow(FALSE);
    // The row readers need room for the registry class's buffers.
    m_hListThread = AfxBeginWorker(ToolListThreadProc, new std::shared_ptr<CToolListJob>(pJob), 1024 * 1024,
                                   STACK_SIZE_PARAM_IS_A_RESERVATION);
    if (m_hListThread == NULL)
    {
        // No thread to be had: list here; the rows still arrive as posted calls.
        ToolListThreadProc(new std::shared_ptr<CToolListJob>(pJob));
        return;
    }
    ::SetCursor(::LoadCursorW(NULL, IDC_APPSTARTING));
}

void CToolRestorePage::StopListing()
{
    if (m_hListThread != NULL)
    {
        if (m_pJob != nullptr)
            m_pJob->m_bStop = true;
        // The worker checks the flag between entries and posts (never sends).
        AfxWaitForObjectPumping(m_hListThread, INFINITE);
    }
    EndListing();
}

void CToolRestorePage::EndListing()
{
    if (m_hListThread != NULL)
    {
        ::CloseHandle(m_hListThread);
        m_hListThread = NULL;
    }
    if (m_pJob == nullptr)
        return;
    m_pJob.reset();
    if (m_bRestoreWasEnabled && m_btnRestore.GetSafeHwnd() != NULL)
        m_btnRestore.EnableWindow(TRUE);
    m_bRestoreWasEnabled = FALSE;
}

void CToolRestorePage::OnRowsListedCall(const std::shared_ptr<CToolListJob>& pJob, std::vector<CToolBackupRow>& rows)
{
    // A batch of a listing stopped or replaced since is of no use.
    if (pJob != m_pJob || m_list.GetSafeHwnd() == NULL)
        return;
    // Without redraw a row costs next to nothing; with it, a repaint each.
    m_list.SetRedraw(FALSE);
    for (CToolBackupRow& row : rows)
    {
        int nRow = m_list.InsertItem(m_list.GetItemCount(), L"");
        if (nRow < 0)
            continue;
        m_list.SetCheckbox(nRow, 0, 1);
        SetRowTexts(nRow, row);
        m_rows.push_back(std::move(row));
    }
    m_list.SetRedraw(TRUE);
    m_list.Invalidate(FALSE);
}

void CToolRestorePage::OnListingDoneCall(const std::shared_ptr<CToolListJob>& pJob)
{
    if (pJob != m_pJob)
        return;
    // The worker ends right after posting this.
    if (m_hListThread != NULL)
        AfxWaitForObjectPumping(m_hListThread, INFINITE);
    EndListing();
    if (m_pApp == NULL)
        return;
    if (pJob->m_nLoad == CToolBackupArchive::LoadSetAside || pJob->m_nLoad == CToolBackupArchive::LoadFailed)
    {
        // Rows read before the archive proved unreadable stand for nothing now.
        m_list.DeleteAllItems();
        m_rows.clear();
    }
    if (pJob->m_nLoad != CToolBackupArchive::LoadNoArchive)
        BackupPaths().Copy(pJob->m_arrPaths);
    if (pJob->m_nLoad == CToolBackupArchive::LoadSetAside)
        ReportArchiveSetAside(pJob->m_strSetAside, pJob->m_strNameOutside);
    ReportNames(L"M_TOOL_ENTRY_TOO_LARGE", pJob->m_arrTooLarge);
}

void CToolRestorePage::OnRestore()
{
    if (m_pApp == NULL || IsListing())
        return;
    CArray<int> arrRows, arrOutcome;
    GetCheckedRows(arrRows);
    if (TellNothingChecked(arrRows.GetSize()))
        return;
    std::vector<CToolBackupRow> rows;
    for (int nRow : arrRows)
        rows.push_back((size_t)nRow < m_rows.size() ? m_rows[nRow] : CToolBackupRow());
    CToolBackupArchive archive(m_nKind, m_pApp->m_strAppDir, BackupPaths());
    BOOL bSaved = archive.Restore(rows, arrOutcome);
    CStringArray arrRefused, arrDiffers, arrFailed, arrNotRead;
    for (INT_PTR i = 0; i < arrOutcome.GetSize() && (size_t)i < rows.size(); ++i)
    {
        if (arrOutcome[i] == RestoreRefused)
            arrRefused.Add(NameOfRow(rows[i]));
        else if (arrOutcome[i] == RestoreDiffers)
            arrDiffers.Add(NameOfRow(rows[i]));
        else if (arrOutcome[i] == RestoreFailed)
            arrFailed.Add(NameOfRow(rows[i]));
        else if (arrOutcome[i] == RestoreNotRead)
            arrNotRead.Add(NameOfRow(rows[i]));
    }
    // An archive that no longer read was set aside: nothing was tried.
    if (!archive.GetSetAsidePath().IsEmpty())
        ReportArchiveSetAside(archive.GetSetAsidePath(), archive.GetNameOutside());
    else
        ReportNames(L"M_TOOL_RESTORE_NOT_READ", arrNotRead);
    ReportNames(L"M_TOOL_RESTORE_REFUSED", arrRefused);
    ReportNames(L"M_TOOL_RESTORE_DIFFERS", arrDiffers);
    ReportNames(L"M_TOOL_RESTORE_FAILED", arrFailed);
    if (!bSaved)
        Message(Lang(L"M_TOOL_ARCHIVE_NOT_SAVED"), MB_OK | MB_ICONEXCLAMATION);
    FillList();
}

void CToolRestorePage::OnCancelButton()
{
    GoToPage(m_nCancelPage, m_nCancelFolder);
}
