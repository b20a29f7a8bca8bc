#pragma once
// The small modal progress dialog under which a full registry backup or
// restore runs on a worker thread: a status line and a busy indicator. Only
// the worker's end closes it; Enter, Escape and Alt+F4 do not.
#include "framework/Afx.h"
#include "framework/Controls.h"
#include "framework/Gdi.h"
#include "controls/skin/BusyProgressCtrl.h"
#include "repair/FullBackupJob.h"

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
    // The worker's answer, valid after DoModal.
    BOOL m_bSucceeded;

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
    static UINT RunJob(LPVOID pParam, const std::function<BOOL(CFullBackupDlg&, CFullBackupJob&)>& fnWork);
    BOOL StartWorker();
    void WaitForWorker();

    CWinThread* m_pThread;
    CBrush m_brWhite;
    CTamselApp* m_pApp;
    // Copies the worker reads: it never touches this dialog's windows.
    HWND m_hWndPost;
    CString m_strFolder;
    CString m_strArchive;

    DECLARE_MESSAGE_MAP()
};
