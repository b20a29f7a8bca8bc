#include "scanner/ScanPage.h"
#include "app/TamselApp.h"
#include "app/TamselDlg.h"

BEGIN_MESSAGE_MAP(CScanPage, CStandInPage)
    ON_WM_SHOWWINDOW()
END_MESSAGE_MAP()

CScanPage::CScanPage()
    : CStandInPage(150), m_bAbort(0), m_bScanning(0), m_bLeaving(0), m_bFinished(0), m_dwScanTimeMs(10000),
      m_hStopEvent(::CreateEventW(NULL, TRUE, FALSE, NULL)), m_hScanThread(NULL), m_hWndScanEnd(NULL)
{
}

CScanPage::~CScanPage()
{
    if (m_hScanThread != NULL)
    {
        // The thread reads this object to its last step.
        ::SetEvent(m_hStopEvent);
        AfxWaitForObjectPumping(m_hScanThread, INFINITE);
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
    m_hWndScanEnd = m_hWnd;
    m_hScanThread = AfxBeginWorker(ScanThreadProc, this, 8 * 1024 * 1024, STACK_SIZE_PARAM_IS_A_RESERVATION);
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
    // The thread may be sending to our windows: keep them answering.
    return AfxWaitForObjectPumping(m_hScanThread, dwTimeoutMs) == WAIT_OBJECT_0;
}

UINT __cdecl CScanPage::ScanThreadProc(LPVOID pParam)
{
    CScanPage* pPage = static_cast<CScanPage*>(pParam);
    ::WaitForSingleObject(pPage->m_hStopEvent, pPage->m_dwScanTimeMs);
    pPage->m_bFinished = 1;
    pPage->m_bScanning = 0;
    // The page changes on its own thread; dropped if the page is gone by then.
    AfxPostCall(pPage->m_hWndScanEnd, [pPage]() { pPage->OnScanEnded(); });
    return 0;
}

void CScanPage::OnScanEnded()
{
    // Nothing found: back to the home page, unless the user is leaving.
    CTamselDlg* pMain = GetTamselDlg();
    if (!m_bLeaving && !m_bAbort && pMain != NULL)
        pMain->ShowPage(PAGE_HOME);
}

void CScanPage::OnShowWindow(BOOL bShow, UINT nStatus)
{
    CStandInPage::OnShowWindow(bShow, nStatus);
    m_bScanning = (bShow && IsScanThreadRunning()) ? 1 : 0;
}
