#include "repair/RepairDlg.h"
#include "app/WhitePageColors.h"
#include "app/TamselDlg.h"
#include "framework/Dc.h"
#include "framework/WorkerCall.h"

namespace {
const UINT IDC_REPAIR_STATUS = 1030;
const UINT IDC_REPAIR_LOG = 1013;
} // namespace

// ---- CRepairLineQueue ---------------------------------------------------------------

CRepairLineQueue::CRepairLineQueue() : m_bWakePosted(false), m_hWnd(NULL)
{
    InitializeCriticalSection(&m_cs);
}

CRepairLineQueue::~CRepairLineQueue()
{
    DeleteCriticalSection(&m_cs);
}

void CRepairLineQueue::Attach(HWND hWnd, std::function<void()> fnDrain)
{
    // Set before the worker starts; it only reads it afterwards.
    m_fnDrain = std::move(fnDrain);
    m_hWnd = hWnd;
}

void CRepairLineQueue::AddLine(const CString& strLog, const CString& strStatus)
{
    EnterCriticalSection(&m_cs);
    m_lines.emplace_back(strLog, strStatus);
    LeaveCriticalSection(&m_cs);
    HWND hWnd = m_hWnd;
    if (hWnd != NULL && !m_bWakePosted.exchange(true))
        AfxPostCall(hWnd, m_fnDrain);
}

void CRepairLineQueue::Take(std::vector<std::pair<CString, CString>>& lines)
{
    // Cleared first: a line added while we take gets a wake-up of its own.
    m_bWakePosted = false;
    lines.clear();
    EnterCriticalSection(&m_cs);
    lines.swap(m_lines);
    LeaveCriticalSection(&m_cs);
}

// ---- The worker ---------------------------------------------------------------------

UINT RepairThreadProc(LPVOID pParam)
{
    RepairJob* pJob = static_cast<RepairJob*>(pParam);
    CRepairLog& log = *pJob->pLog;
    log.AddLine(L"Creating backup...");
    if (!WriteAutoBackup(pJob->pApp, pJob->backup, &pJob->bStop))
    {
        pJob->strFailure = L"Backup failed: " + pJob->backup.m_strError + L". Nothing was repaired.";
        log.AddLine(pJob->strFailure);
    }
    else
    {
        log.AddLine(L"Finished backup.");
        log.AddLine(L"Start clear...");
        if (RepairSelectedProblems(pJob->pApp, pJob->backup, log, pJob->nCleaned, &pJob->bStop))
            log.AddLine(L"Finished clear.");
        else
            log.AddLine(L"Clear stopped.");
        pJob->bRepaired = TRUE;
    }
    AfxPostCall(pJob->hWndNotify, pJob->fnDone);
    return 0;
}

// ---- CRepairDlg ------------------------------------------------------------------------

BOOL CRepairDlg::s_bRefuseWorker = FALSE;

BEGIN_MESSAGE_MAP(CRepairDlg, CDialog)
    ON_WM_CTLCOLOR()
    ON_WM_PAINT()
END_MESSAGE_MAP()

CRepairDlg::CRepairDlg(CWnd* pParent)
    : CDialog(IDD, pParent), m_pOwner(NULL), m_bStart(0), m_bRepaired(FALSE),
      m_pApp(static_cast<CTamselApp*>(AfxGetApp())), m_pThread(NULL)
{
    for (int i = 0; i < TAMSEL_CATEGORY_COUNT; i++)
    {
        m_nErrors[i] = 0;
        m_job.nCleaned[i] = 0;
    }
    m_job.pApp = m_pApp;
    m_job.pLog = &m_lines;
    m_job.hWndNotify = NULL;
    m_job.bRepaired = FALSE;
}

CRepairDlg::~CRepairDlg()
{
    StopWorker();
}

INT_PTR CRepairDlg::DoModal()
{
    INT_PTR nResult = CDialog::DoModal();
    // A quit message can end the loop early: the program is closing, so the
    // worker stops at its next step, and it still uses our job meanwhile.
    StopWorker();
    // The repair ran although nobody was left to hear of it: count it.
    if (m_job.bRepaired && !m_bRepaired)
    {
        WriteScanStatistics(m_pApp, m_job.backup.m_strStamp, m_nErrors, m_job.nCleaned);
        m_bRepaired = TRUE;
    }
    return nResult;
}

BOOL CRepairDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_brWhite.CreateSolidBrush(RGB(255, 255, 255));
    m_wndStatus.SubclassDlgItem(IDC_REPAIR_STATUS, this);
    m_listLog.SubclassDlgItem(IDC_REPAIR_LOG, this);
    // The calls run on this thread, and never after the window is gone.
    m_lines.Attach(m_hWnd, [this] { DrainLines(); });
    m_job.hWndNotify = m_hWnd;
    m_job.fnDone = [this] { OnRepairDone(); };
    return TRUE;
}

HBRUSH CRepairDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    HBRUSH hBrush = GetWhitePageBrush(pDC, nCtlColor, m_brWhite);
    if (hBrush == NULL)
        return CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
    return m_brWhite;
}

void CRepairDlg::OnPaint()
{
    CPaintDC dc(this);
    // Without a title bar the frame is ours to draw.
    CRect rc;
    GetClientRect(&rc);
    dc.FillSolidRect(rc.left, rc.top, rc.Width(), 4, RGB(47, 111, 183));
    CBrush brFrame;
    brFrame.CreateSolidBrush(RGB(28, 68, 125));
    dc.FrameRect(&rc, &brFrame);
    // Started from a posted message, so the dialog is on screen first and
    // no work runs inside the paint.
    if (m_bStart)
    {
        m_bStart = 0;
        AfxPostCall(m_hWnd, [this] { StartRepair(); });
    }
}

void CRepairDlg::StartRepair()
{
    if (m_pThread != NULL)
        return;
    CWinThread* pThread = NULL;
    if (!s_bRefuseWorker)
        pThread = AfxBeginThread(RepairThreadProc, &m_job, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    if (pThread == NULL)
    {
        m_strFailure = L"The repair could not be started. Nothing was repaired.";
        AfxMessageBox(m_strFailure, MB_ICONEXCLAMATION);
        EndDialog(IDCANCEL);
        return;
    }
    // We keep the thread object, so its handle stays ours to wait on.
    pThread->m_bAutoDelete = FALSE;
    m_pThread = pThread;
    pThread->ResumeThread();
}

void CRepairDlg::DrainLines()
{
    std::vector<std::pair<CString, CString>> lines;
    m_lines.Take(lines);
    if (lines.empty() || m_hWnd == NULL)
        return;
    m_listLog.SendMessage(WM_SETREDRAW, FALSE, 0);
    for (const auto& line : lines)
        m_listLog.AddString(line.first);
    m_listLog.SendMessage(WM_SETREDRAW, TRUE, 0);
    m_wndStatus.SetWindowText(lines.back().second);
}

void CRepairDlg::StopWorker()
{
    if (m_pThread != NULL)
        m_job.bStop = true;
    WaitForWorker();
}

void CRepairDlg::WaitForWorker()
{
    if (m_pThread == NULL)
        return;
    AfxWaitForObjectPumping(m_pThread->m_hThread, INFINITE);
    delete m_pThread;
    m_pThread = NULL;
}

void CRepairDlg::OnRepairDone()
{
    WaitForWorker();
    DrainLines();
    if (!m_job.bRepaired)
    {
        m_strFailure = m_job.strFailure;
        AfxMessageBox(m_strFailure, MB_ICONEXCLAMATION);
        EndDialog(IDCANCEL);
        return;
    }
    WriteScanStatistics(m_pApp, m_job.backup.m_strStamp, m_nErrors, m_job.nCleaned);
    m_bRepaired = TRUE;
    // The report page is current before the dialog's loop returns.
    if (m_pOwner != NULL)
    {
        m_pOwner->m_pageReport.m_bAfterRepair = 1;
        m_pOwner->ShowPage(PAGE_REPORT, NULL);
    }
    EndDialog(IDOK);
}
