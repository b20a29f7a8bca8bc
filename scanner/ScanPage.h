#pragma once
// The scan page: starts and stops the scan worker and shows what it reports.
// Only this window's thread touches the page, the result sink and the
// application's flags; the worker's reports come through the scan's feed.
#include "framework/Afx.h"
#include "framework/Controls.h"
#include "framework/Gdi.h"
#include "controls/skin/ButtonST.h"
#include "controls/skin/CaptionBar.h"
#include "controls/skin/GifAnimCtrl.h"
#include "controls/skin/SegmentDisplay.h"
#include "scanner/ScanContext.h"
#include "scanner/ScanResultSink.h"
#include <vector>

class CTamselApp;
class CTamselDlg;

// How long a confirmed stop or the close waits, pumping, for the worker.
#define SCAN_STOP_WAIT_MS 5000
// Most feed items one hand-over shows: the rest follow in later turns of the
// window's loop, so input is answered between them (after a stop too).
#define SCAN_DRAIN_ITEMS 1000

class CScanPage : public CDialog
{
public:
    CScanPage();
    virtual ~CScanPage();

    // Refused (FALSE) unless a start is pending and no worker lives.
    BOOL StartScan();
    // Asks whether to stop; 1 after the stop was confirmed and the worker has
    // ended (or the wait ran out), 0 when the user keeps the scan. bClosing:
    // the program ends, so no page is shown after the stop.
    int StopScan(BOOL bClosing = FALSE);
    // Tells a running worker to stop, without asking (the end of the program).
    void StopWorker();
    // Waits, answering sent messages, until the worker has ended; TRUE when it has.
    BOOL WaitForScanEnd(DWORD dwTimeoutMs);
    BOOL IsScanThreadRunning() const;
    // Takes what the worker has queued and shows it, SCAN_DRAIN_ITEMS at a
    // time while the page has its window (a timer brings the next share).
    void DrainFeed();

    // The sink of the rows; the main window's result page unless set before.
    CScanResultSink* m_pResultSink;

    int m_bStartPending;
    int m_bAbort;
    // 1 while the worker lives.
    int m_bScanning;
    int m_bLeaving;
    int m_bFinished;
    // The running or the last scan; kept until the next starts.
    CScanContext* m_pScan;
    HANDLE m_hScanThread;

    static const UINT s_nCategoryAnimations[SCAN_CATEGORIES];  // by category - 1
    static const UINT s_nCategoryCounts[SCAN_CATEGORIES];
    static const UINT s_nCategoryLabels[SCAN_CATEGORIES];
    static const UINT s_nCategoryBitmaps[SCAN_CATEGORIES];

protected:
    virtual void DoDataExchange(CDataExchange* pDX);
    virtual BOOL OnInitDialog();
    virtual void OnOK() {}
    virtual void OnCancel();

    afx_msg void OnShowWindow(BOOL bShow, UINT nStatus);
    afx_msg HBRUSH OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor);
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnDestroy();
    afx_msg void OnAbortScan();

    // Runs once per scan on this thread after the worker has ended: the
    // animations go, the counters come back and, for a completed scan, the
    // next page shows.
    void FinishScan();
    void ShowScanOutcome();
    void UnloadAnimations();
    void PlayAnimation(CGifAnimCtrl& gif, UINT nResource);
    void SetCountText(int nCategory, int nNumber);
    void SetTotalText(int nTotal);
    CScanResultSink* GetResultSink();
    void ReleaseThread();

    CTamselApp* m_pApp;
    CTamselDlg* m_pMainDlg;
    CBrush m_brWhite;
    CGifAnimCtrl m_gifCategory[SCAN_CATEGORIES];
    CStatic m_wndCount[SCAN_CATEGORIES];
    CStatic m_wndCurrentItem;
    CSegmentDisplay m_wndTotal;
    CGifAnimCtrl m_gifLarge;
    CGifAnimCtrl m_gifProgress;
    CButtonST m_btnAbort;
    CCaptionBar m_wndCaption;
    std::vector<CScanFeedItem> m_arrFeed;
    int m_nLastTotal;

    DECLARE_MESSAGE_MAP()
};
