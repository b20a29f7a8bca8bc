#include "scanner/ScanPage.h"
#include "app/TamselApp.h"
#include "app/TamselDlg.h"

BEGIN_MESSAGE_MAP(CScanPage, CStandInPage)
    ON_WM_SHOWWINDOW()
END_MESSAGE_MAP()

CScanPage::CScanPage()
    : CStandInPage(150), m_bAbort(0), m_bScanning(0), m_bLeaving(0), m_bFinished(0), m_dwScanTimeMs(10000),
      m_hStopEvent(::CreateEventW(NULL, TRUE, FALSE, NULL)), m_hScanThread(NULL)
{
}

CScanPage::~CScanPage()
{
    if (m_hScanThread != NULL)
    {
        ::SetEvent(m_hStopEvent);
        ::WaitForSingleObject(m_hScanThread, 5000);
        ::CloseHandle(m_hScanThread);
    }
    if (m_hStopEvent != NULL)
        ::CloseHandle(m_hStopEvent);
}

void CScanPage::StartScan()
{
    if (IsScanThreadRunning())
        return;
    if (m_hScanThread != NULL)
    {
        ::CloseHandle(m_hScanThread);
        m_hScanThread = NULL;
    }
    m_bAbort = 0;
    m_bLeaving = 0;
    m_bFinished = 0;
    ::ResetEvent(m_hStopEvent);
    m_hScanThread = ::CreateThread(NULL, 8 * 1024 * 1024, ScanThreadProc, this, STACK_SIZE_PARAM_IS_A_RESERVATION, NULL);
}

BOOL CScanPage::IsScanThreadRunning() const
{
    return m_hScanThread != NULL && ::WaitForSingleObject(m_hScanThread, 0) == WAIT_TIMEOUT;
}

int CScanPage::StopScan()
{
    CTamselApp* pApp = static_cast<CTamselApp*>(AfxGetApp());
    if (AfxMessageBox(pApp->GetLangString(L"M_WARNING_SCANNING"), MB_OKCANCEL | MB_ICONEXCLAMATION) != IDOK)
        return 0;
    m_bAbort = 1;
    ::SetEvent(m_hStopEvent);
    return 1;
}

BOOL CScanPage::WaitForScanEnd(DWORD dwTimeoutMs)
{
    if (m_hScanThread == NULL)
        return TRUE;
    DWORD dwStart = ::GetTickCount();
    for (;;)
    {
        DWORD dwElapsed = ::GetTickCount() - dwStart;
        if (dwElapsed >= dwTimeoutMs)
            return ::WaitForSingleObject(m_hScanThread, 0) == WAIT_OBJECT_0;
        // The thread may be sending to our windows: keep them answering.
        DWORD dwResult = ::MsgWaitForMultipleObjects(1, &m_hScanThread, FALSE, dwTimeoutMs - dwElapsed, QS_SENDMESSAGE);
        if (dwResult == WAIT_OBJECT_0)
            return TRUE;
        MSG msg;
        ::PeekMessageW(&msg, NULL, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

DWORD WINAPI CScanPage::ScanThreadProc(LPVOID pParam)
{
    CScanPage* pPage = static_cast<CScanPage*>(pParam);
    ::WaitForSingleObject(pPage->m_hStopEvent, pPage->m_dwScanTimeMs);
    pPage->m_bFinished = 1;
    pPage->m_bScanning = 0;
    // Nothing found: back to the home page, unless the user is leaving.
    CTamselDlg* pMain = GetTamselDlg();
    if (!pPage->m_bLeaving && !pPage->m_bAbort && pMain != NULL)
        pMain->ShowPage(PAGE_HOME);
    return 0;
}

void CScanPage::OnShowWindow(BOOL bShow, UINT nStatus)
{
    CStandInPage::OnShowWindow(bShow, nStatus);
    m_bScanning = (bShow && IsScanThreadRunning()) ? 1 : 0;
}
