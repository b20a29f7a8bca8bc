#pragma once
// The scan page. Until the scanner's own page arrives it runs a scan that
// finds nothing, with the same start, stop and flags that the main window uses.
#include "app/PageStandIn.h"
#include <atomic>

class CScanPage : public CStandInPage
{
public:
    CScanPage();
    virtual ~CScanPage();

    void StartScan();
    // Asks whether to stop the scan; 1 after the stop was signalled.
    int StopScan();
    // Waits, pumping messages, until the scan thread has ended; TRUE when it has.
    BOOL WaitForScanEnd(DWORD dwTimeoutMs);
    BOOL IsScanThreadRunning() const;

    // Shared with the scan thread.
    std::atomic<int> m_bAbort;
    std::atomic<int> m_bScanning;
    std::atomic<int> m_bLeaving;
    std::atomic<int> m_bFinished;
    // How long the stand-in scan runs when nobody stops it.
    DWORD m_dwScanTimeMs;

protected:
    static UINT __cdecl ScanThreadProc(LPVOID pParam);
    // On the page's thread once the scan thread is done.
    void OnScanEnded();
    afx_msg void OnShowWindow(BOOL bShow, UINT nStatus);

    HANDLE m_hStopEvent;
    HANDLE m_hScanThread;
    // The page's window as the scan started: the thread posts its end there.
    HWND m_hWndScanEnd;

    DECLARE_MESSAGE_MAP()
};
