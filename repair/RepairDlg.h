#pragma once
// The small modal dialog under which a repair runs: its worker writes the
// automatic backup, repairs what the backup covers, and hands the outcome
// back to the dialog, which writes the statistics and shows the report page.
#include "framework/Afx.h"
#include "framework/Controls.h"
#include "framework/Gdi.h"
#include "repair/AutoBackup.h"
#include "repair/Repair.h"

#include <atomic>
#include <functional>
#include <utility>
#include <vector>

class CTamselDlg;

// Lines of the worker, queued under a lock; the dialog's thread gets one
// posted call per batch and takes them all.
class CRepairLineQueue : public CRepairLog
{
public:
    CRepairLineQueue();
    ~CRepairLineQueue();
    // fnDrain runs on hWnd's thread and takes the lines.
    void Attach(HWND hWnd, std::function<void()> fnDrain);
    void AddLine(const CString& strLog, const CString& strStatus) override;
    using CRepairLog::AddLine;
    void Take(std::vector<std::pair<CString, CString>>& lines);

private:
    CRITICAL_SECTION m_cs;
    std::vector<std::pair<CString, CString>> m_lines;
    std::atomic<bool> m_bWakePosted;
    std::atomic<HWND> m_hWnd;
    std::function<void()> m_fnDrain;
};

// What the worker gets and gives back.
struct RepairJob
{
    CTamselApp* pApp;
    CRepairLog* pLog;
    HWND hWndNotify;
    std::function<void()> fnDone;  // posted to hWndNotify when the work has ended
    CAutoBackup backup;
    BOOL bRepaired;
    CString strFailure;
    int nCleaned[TAMSEL_CATEGORY_COUNT];
    // Set when the program ends under the dialog: a backup not yet verified
    // is dropped and nothing is deleted; during the deletes the one under
    // way is finished and the rest stays.
    std::atomic<bool> bStop{false};
};

UINT RepairThreadProc(LPVOID pParam);

class CRepairDlg : public CDialog
{
public:
    enum { IDD = 164 };

    explicit CRepairDlg(CWnd* pParent = NULL);
    virtual ~CRepairDlg();

    // Runs the dialog; returns only when the worker has ended. A loop ended
    // early (the program's quit) stops the worker first.
    INT_PTR DoModal() override;
    // Whether the worker was told to stop (tests).
    BOOL IsStopping() const { return m_job.bStop.load(); }

    CTamselDlg* m_pOwner;   // the main window, set by the creator
    int m_bStart;           // set by the creator; the first paint starts the work
    // Per category (index category - 1), the rows checked at FIX & Continue:
    // written to the statistics only when the repair ran.
    int m_nErrors[TAMSEL_CATEGORY_COUNT];

    // The outcome, for the creator.
    BOOL m_bRepaired;
    CString m_strFailure;

    CStatic m_wndStatus;
    CListBox m_listLog;

    // Test seam: the worker thread refuses to start.
    static BOOL s_bRefuseWorker;

protected:
    virtual BOOL OnInitDialog();
    virtual void OnOK() {}
    virtual void OnCancel() {}

    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    afx_msg void OnPaint();
    void StartRepair();
    void OnRepairDone();

    void DrainLines();
    // Stops a worker that still runs and waits for it.
    void StopWorker();
    void WaitForWorker();

    CBrush m_brWhite;
    CTamselApp* m_pApp;
    CWinThread* m_pThread;
    CRepairLineQueue m_lines;
    RepairJob m_job;

    DECLARE_MESSAGE_MAP()
};
