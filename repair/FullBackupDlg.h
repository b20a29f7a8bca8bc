#pragma once
// The small modal progress dialog under which a full registry backup or
// restore, or other backup work, runs on a worker thread: a status line and
// a busy indicator. Only the worker's end closes it; Enter, Escape and
// Alt+F4 do not. When its loop ends before that (a quit on closing the
// program), it sets the work's stop flag and then waits for the worker.
#include "framework/Afx.h"
#include "framework/Controls.h"
#include "framework/Gdi.h"
#include "controls/skin/BusyProgressCtrl.h"
#include "repair/FullBackupJob.h"

#include <atomic>
#include <functional>
#include <memory>

class CTamselApp;

class CFullBackupDlg : public CDialog
{
public:
    explicit CFullBackupDlg(CWnd* pParent = NULL);
    virtual ~CFullBackupDlg();

    // Runs the dialog; returns once the worker has ended, also when the modal
    // loop was left early (a WM_QUIT stays queued for the outer loop).
    virtual INT_PTR DoModal();

    CStatic m_wndStatus;
    CBusyProgressCtrl m_progress;
    int m_bFirstPaint;
    int m_nMode;                // 0 backup, 1 restore, 2 read and check a backup (CFullBackupJob::Prepare)
    // The work; the creator may put in its own before DoModal.
    std::unique_ptr<CFullBackupJob> m_pJob;
    // Other work, run instead of m_pJob's when set: reports its steps
    // (CFullBackupJob::Status) through fnStatus and polls *m_pbStop.
    std::function<BOOL(const std::function<void(int)>& fnStatus)> m_fnWork;
    // The flag set when the loop ends before the worker: m_bStop, or one the
    // creator gives that outlives this dialog (for the cleanup after it).
    std::atomic<bool>* m_pbStop;
    // The worker's answer, valid after DoModal.
    BOOL m_bSucceeded;
    // TRUE after DoModal when the loop ended before the worker (or before
    // it started): the work was told to stop, and the program is quitting.
    BOOL m_bStopped;

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual BOOL OnInitDialog();
    virtual void OnOK() {}
    virtual void OnCancel() {}

    afx_msg void OnPaint();
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    // Run on this dialog's thread by calls the worker posts; a call posted
    // after the window went away is dropped, never run.
    void OnWorkerStatus(int nStatus);
    void OnWorkerDone();

    static UINT FullBackupThreadProc(LPVOID pParam);
    static UINT FullRestoreThreadProc(LPVOID pParam);
    static UINT FullCheckThreadProc(LPVOID pParam);
    static UINT BackupWorkThreadProc(LPVOID pParam);
    static UINT RunJob(LPVOID pParam, const std::function<BOOL(CFullBackupDlg&, CFullBackupJob&)>& fnWork);
    static UINT RunWork(CFullBackupDlg* pDlg,
                        const std::function<BOOL(CFullBackupDlg&, const std::function<void(int)>&)>& fnWork);
    BOOL StartWorker();
    void WaitForWorker();

    CWinThread* m_pThread;
    std::atomic<bool> m_bStop;
    BOOL m_bWorkerDone;         // OnWorkerDone ran: the work ended by itself
    CBrush m_brWhite;
    CTamselApp* m_pApp;
    // Copies the worker reads: it never touches this dialog's windows.
    HWND m_hWndPost;
    CString m_strFolder;
    CString m_strArchive;

    DECLARE_MESSAGE_MAP()
};
