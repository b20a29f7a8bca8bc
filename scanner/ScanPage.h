#pragma once
// The scan page. Until the scanner's own page arrives it runs a scan that
// finds nothing, with the same start, stop and flags that the main window uses.
#include "app/PageStandIn.h"

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

    int m_bAbort;
    int m_bScanning;
    int m_bLeaving;
    int m_bFinished;
    // How long the stand-in scan runs when nobody stops it.
    DWORD m_dwScanTimeMs;

protected:
    static DWORD WINAPI ScanThreadProc(LPVOID pParam);
    afx_msg void OnShowWindow(BOOL bShow, UINT nStatus);

    HANDLE m_hStopEvent;
    HANDLE m_hScanThread;

    DECLARE_MESSAGE_MAP()
};
