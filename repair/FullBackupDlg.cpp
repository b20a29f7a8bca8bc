#include "repair/FullBackupDlg.h"
#include "app/WhitePageColors.h"
#include "app/TamselApp.h"
#include "framework/WorkerCall.h"

BEGIN_MESSAGE_MAP(CFullBackupDlg, CDialog)
    ON_WM_PAINT()
    ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

CFullBackupDlg::CFullBackupDlg(CWnd* pParent)
    : CDialog(261, pParent), m_bFirstPaint(1), m_nMode(1), m_pbStop(&m_bStop), m_bSucceeded(FALSE),
      m_bStopped(FALSE), m_pThread(NULL), m_bStop(false), m_bWorkerDone(FALSE),
      m_pApp(static_cast<CTamselApp*>(AfxGetApp())), m_hWndPost(NULL)
{
}

CFullBackupDlg::~CFullBackupDlg()
{
    WaitForWorker();
}

void CFullBackupDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, 1030, m_wndStatus);
    DDX_Control(pDX, 1027, m_progress);
}

BOOL CFullBackupDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetWindowText(L"Tamsel");
    m_brWhite.CreateSolidBrush(RGB(255, 255, 255));
    m_progress.SetSpeed(250);
    m_progress.SetRange(-100, 100);
    m_progress.SetBlockGap(1);
    m_progress.SetNumSteps(20);
    m_progress.SetNumSubSteps(5);
    m_progress.SetGranularity(BPC_BUSYGRAN_BLOCK);
    m_progress.SetBusyType(BPC_BUSY_PINGPONG);
    m_progress.Start();
    return TRUE;
}

INT_PTR CFullBackupDlg::DoModal()
{
    m_bSucceeded = FALSE;
    m_bStopped = FALSE;
    m_bWorkerDone = FALSE;
    if (!m_pJob && !m_fnWork)
        m_pJob.reset(new CFullBackupJob);
    if (m_pApp != NULL)
    {
        m_strFolder = m_pApp->m_strAppDir + L"FullBackup\\";
        m_strArchive = m_pApp->m_strFullBackupFile;
    }
    INT_PTR nResult = CDialog::DoModal();
    // A quit (or the owner's end) left the loop while the work went on, or
    // before it began.
    m_bStopped = nResult == -1 && !m_bWorkerDone;
    // Whatever ended the loop, nothing the worker uses goes before it does.
    WaitForWorker();
    return nResult;
}

void CFullBackupDlg::OnPaint()
{
    {
        CPaintDC dc(this);
    }
    if (!m_bFirstPaint)
        return;
    m_bFirstPaint = 0;
    if (!StartWorker())
    {
        m_progress.End();
        EndDialog(IDCANCEL);
    }
}

BOOL CFullBackupDlg::StartWorker()
{
    m_hWndPost = m_hWnd;
    AFX_THREADPROC pfnProc = m_fnWork       ? &BackupWorkThreadProc
                             : m_nMode == 0 ? &FullBackupThreadProc
                             : m_nMode == 2 ? &FullCheckThreadProc
                                            : &FullRestoreThreadProc;
    m_pThread = AfxBeginThread(pfnProc, this, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    if (m_pThread == NULL)
        return FALSE;
    // Kept until waited for, so its handle stays valid.
    m_pThread->m_bAutoDelete = FALSE;
    m_pThread->ResumeThread();
    return TRUE;
}

void CFullBackupDlg::WaitForWorker()
{
    if (m_pThread == NULL)
        return;
    // The work did not end by itself: told to stop, it ends at its next
    // poll, finishing only a step that keeps data whole (a registry key).
    if (!m_bWorkerDone)
        m_pbStop->store(true);
    // Serves messages sent to this thread meanwhile; posted ones (a WM_QUIT)
    // stay queued for the loop they belong to. The wait goes on until the
    // worker has ended.
    while (AfxWaitForObjectPumping(m_pThread->m_hThread, 1000) == WAIT_TIMEOUT)
    {
    }
    delete m_pThread;
    m_pThread = NULL;
}

UINT CFullBackupDlg::RunWork(CFullBackupDlg* pDlg,
                             const std::function<BOOL(CFullBackupDlg&, const std::function<void(int)>&)>& fnWork)
{
    HWND hWnd = pDlg->m_hWndPost;
    std::function<void(int)> fnStatus = [hWnd, pDlg](int nStatus) {
        AfxPostCall(hWnd, [pDlg, nStatus] { pDlg->OnWorkerStatus(nStatus); });
    };
    BOOL bOk = fnWork(*pDlg, fnStatus);
    // Read by the dialog's thread only after this thread has ended.
    pDlg->m_bSucceeded = bOk;
    AfxPostCall(hWnd, [pDlg] { pDlg->OnWorkerDone(); });
    return 0;
}

UINT CFullBackupDlg::RunJob(LPVOID pParam, const std::function<BOOL(CFullBackupDlg&, CFullBackupJob&)>& fnWork)
{
    return RunWork(static_cast<CFullBackupDlg*>(pParam),
                   [&fnWork](CFullBackupDlg& dlg, const std::function<void(int)>& fnStatus) {
                       CFullBackupJob& job = *dlg.m_pJob;
                       job.m_fnStatus = fnStatus;
                       job.SetStopFlag(dlg.m_pbStop);
                       BOOL bOk = fnWork(dlg, job);
                       // The job may serve a later dialog: this one's flag goes with it.
                       job.SetStopFlag(nullptr);
                       return bOk;
                   });
}

UINT CFullBackupDlg::BackupWorkThreadProc(LPVOID pParam)
{
    return RunWork(static_cast<CFullBackupDlg*>(pParam),
                   [](CFullBackupDlg& dlg, const std::function<void(int)>& fnStatus) { return dlg.m_fnWork(fnStatus); });
}

UINT CFullBackupDlg::FullBackupThreadProc(LPVOID pParam)
{
    return RunJob(pParam, [](CFullBackupDlg& dlg, CFullBackupJob& job) { return job.Backup(dlg.m_strFolder); });
}

UINT CFullBackupDlg::FullRestoreThreadProc(LPVOID pParam)
{
    // A job read and checked before the question imports what was checked.
    return RunJob(pParam, [](CFullBackupDlg& dlg, CFullBackupJob& job) {
        return job.IsPrepared() ? job.Import() : job.Restore(dlg.m_strArchive, dlg.m_strFolder);
    });
}

UINT CFullBackupDlg::FullCheckThreadProc(LPVOID pParam)
{
    return RunJob(pParam,
                  [](CFullBackupDlg& dlg, CFullBackupJob& job) { return job.Prepare(dlg.m_strArchive, dlg.m_strFolder); });
}

void CFullBackupDlg::OnWorkerStatus(int nStatus)
{
    if (m_pApp != NULL)
        m_wndStatus.SetWindowText(m_pApp->GetLangString(CFullBackupJob::GetStatusKey(nStatus)));
}

void CFullBackupDlg::OnWorkerDone()
{
    m_bWorkerDone = TRUE;
    m_progress.Reset();
    m_progress.End();
    m_progress.Invalidate(TRUE);
    EndDialog(IDOK);
}

HBRUSH CFullBackupDlg::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    HBRUSH hBrush = GetWhitePageBrush(pDC, nCtlColor, m_brWhite);
    if (hBrush == NULL)
        return CDialog::OnCtlColor(pDC, pWnd, nCtlColor);
    return m_brWhite;
}
