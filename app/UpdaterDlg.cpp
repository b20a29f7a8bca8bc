#include "app/UpdaterDlg.h"
#include "app/TamselApp.h"
#include "app/UpdateDescription.h"
#include "app/VersionCheck.h"
#include "framework/WorkerCall.h"
#include <algorithm>

namespace {
const UINT IDD_UPDATER = 417;
const UINT IDC_FINISH = 1001;
const UINT IDC_MESSAGE = 1030;
} // namespace

BEGIN_MESSAGE_MAP(CUpdaterDlg, CWhiteDialog)
    ON_WM_SHOWWINDOW()
    ON_BN_CLICKED(IDC_FINISH, OnFinish)
END_MESSAGE_MAP()

CUpdaterDlg::CUpdaterDlg(CWnd* pParent)
    : CWhiteDialog(IDD_UPDATER, pParent),
      m_hInternet(::InternetOpenW(L"Updater", INTERNET_OPEN_TYPE_PRECONFIG, NULL, NULL, 0)),
      m_pJob(std::make_shared<CUpdaterJob>()), m_hThread(NULL)
{
    CTamselApp* pApp = static_cast<CTamselApp*>(AfxGetApp());
    m_settings.strAppDir = pApp != NULL && !pApp->m_strAppDir.IsEmpty() ? pApp->m_strAppDir : GetModuleFolder();
    CString strModule = GetModulePath();
    m_settings.strRunningExe = strModule.Mid(strModule.ReverseFind(L'\\') + 1);
    m_settings.strAgent = pApp != NULL && pApp->m_pszAppName != NULL ? pApp->m_pszAppName : L"Tamsel";
}

CUpdaterDlg::~CUpdaterDlg()
{
    WaitForWorker();
    if (m_hInternet != NULL)
        ::InternetCloseHandle(m_hInternet);
}

void CUpdaterDlg::WaitForWorker()
{
    if (m_hThread == NULL)
        return;
    // The worker sees the stop at its next block or item and undoes what it
    // began; sent messages are served meanwhile.
    ::SetEvent(m_pJob->hStop);
    AfxWaitForObjectPumping(m_hThread, INFINITE);
    ::CloseHandle(m_hThread);
    m_hThread = NULL;
}

void CUpdaterDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_FINISH, m_btnFinish);
    DDX_Control(pDX, IDC_MESSAGE, m_stcMessage);
}

BOOL CUpdaterDlg::IsConnected()
{
    if (m_hInternet == NULL)
        return FALSE;
    DWORD dwFlags = 0;
    return ::InternetGetConnectedState(&dwFlags, 0);
}

CString CUpdaterDlg::GetFileVersionString(const CString& strFile)
{
    return CUpdateChecker::GetFileVersionString(strFile);
}

int CUpdaterDlg::CompareVersions(const CString& strFirst, const CString& strSecond)
{
    return CUpdateChecker::CompareVersions(strFirst, strSecond);
}

BOOL CUpdaterDlg::IsNumber(const CString& strText)
{
    return CUpdateChecker::IsNumber(strText);
}

CString CUpdaterDlg::GetModulePath()
{
    return CUpdateChecker::GetModulePath();
}

CString CUpdaterDlg::GetModuleFolder()
{
    return CUpdateChecker::GetModuleFolder();
}

BOOL CUpdaterDlg::ReadBlock(HINTERNET hRequest, LPVOID pBuffer, DWORD dwSize)
{
    DWORD dwRead = 0;
    return ::InternetReadFile(hRequest, pBuffer, dwSize, &dwRead) && dwRead > 0;
}

BOOL CUpdaterDlg::ReplaceExecutable(const CString& strExe, const CString& strNewFile, BOOL bDelay)
{
    CString strBackup = strExe.Left(strExe.ReverseFind(L'\\') + 1) + L"OldExecutable.bak";
    ::DeleteFileW(strBackup);
    DWORD dwFlags = (bDelay & 0xFF) ? MOVEFILE_DELAY_UNTIL_REBOOT : MOVEFILE_COPY_ALLOWED;
    if (!::MoveFileExW(strExe, strBackup, dwFlags))
        return FALSE;
    if (::MoveFileExW(strNewFile, strExe, dwFlags))
        return TRUE;
    // Never leave the program without its executable.
    ::MoveFileExW(strBackup, strExe, dwFlags);
    return FALSE;
}

DWORD CUpdaterDlg::CheckUpdater(LPCTSTR pszBaseUrl)
{
    if (!IsConnected())
        return 1;
    // The version check's request and download: status 200, the whole body.
    CUpdateChecker checker;
    checker.m_dwTimeoutMs = std::max(m_settings.dwConnectTimeout, m_settings.dwReceiveTimeout);
    CString strUrl = CString(pszBaseUrl != NULL ? pszBaseUrl : L"") + UPDATE_DESCRIPTION_FILE;
    CString strIni = m_settings.strAppDir + UPDATE_DESCRIPTION_FILE;
    if (!checker.FetchToFile(strUrl, strIni))
    {
        // No copy left from an earlier check decides either.
        ::DeleteFileW(strIni);
        return 2;
    }
    CString strLocal = GetFileVersionString(m_settings.strAppDir + L"Update.exe");
    if (strLocal.IsEmpty())
        return 5;
    return CompareVersions(CUpdateDescription::Read(strIni).strUpdaterVersion, strLocal) == 1 ? 0 : 6;
}

BOOL CUpdaterDlg::StartUpdate()
{
    if (m_hThread != NULL || m_pJob->hStop == NULL)
        return FALSE;
    m_pJob->settings = m_settings;
    // The worker holds its own reference to the job.
    auto* pParam = new std::shared_ptr<CUpdaterJob>(m_pJob);
    CWinThread* pThread = AfxBeginThread(&CUpdaterDlg::WorkerThreadProc, pParam, THREAD_PRIORITY_NORMAL, 0,
                                         CREATE_SUSPENDED);
    if (pThread == NULL)
    {
        delete pParam;
        AfxMessageBox(L"Create work thread failed!", MB_OK);
        return FALSE;
    }
    // Suspended, the thread object is sure to live until we hold our own handle.
    ::DuplicateHandle(::GetCurrentProcess(), pThread->m_hThread, ::GetCurrentProcess(), &m_hThread, SYNCHRONIZE,
                      FALSE, 0);
    pThread->ResumeThread();
    return TRUE;
}

UINT CUpdaterDlg::WorkerThreadProc(LPVOID pParam)
{
    std::shared_ptr<CUpdaterJob> pJob = *static_cast<std::shared_ptr<CUpdaterJob>*>(pParam);
    delete static_cast<std::shared_ptr<CUpdaterJob>*>(pParam);
    CUpdatePackage package(pJob->settings);
    package.m_hStop = pJob->hStop;
    pJob->nOutcome = package.Run();
    pJob->bDone = true;
    // The dialog may not exist yet: it looks at bDone when it starts.
    HWND hWnd = pJob->hWndDialog.load();
    // Only the dialog sets the handle, and a posted call runs only while
    // its window lives.
    if (hWnd != NULL)
        AfxPostCall(hWnd, [hWnd] { static_cast<CUpdaterDlg*>(CWnd::FromHandlePermanent(hWnd))->OnUpdaterDone(); });
    return pJob->nOutcome == CUpdatePackage::OUTCOME_DONE ? 1 : (UINT)-1;
}

BOOL CUpdaterDlg::OnInitDialog()
{
    CWhiteDialog::OnInitDialog();
    m_stcMessage.SetWindowText(L"Updating the updater, please wait a moment...");
    m_btnFinish.EnableWindow(FALSE);
    m_pJob->hWndDialog = m_hWnd;
    if (m_pJob->bDone)
        AfxPostCall(m_hWnd, [this] { OnUpdaterDone(); });
    return TRUE;
}

void CUpdaterDlg::OnShowWindow(BOOL bShow, UINT nStatus)
{
    CDialog::OnShowWindow(bShow, nStatus);
    if (bShow && !m_pJob->bDone)
        m_btnFinish.EnableWindow(FALSE);
}

void CUpdaterDlg::OnUpdaterDone()
{
    if (!m_pJob->bDone)
        return;
    if (m_pJob->nOutcome == CUpdatePackage::OUTCOME_NO_PACKAGE)
        EndDialog(IDCANCEL);
    else
        m_btnFinish.EnableWindow(TRUE);
}

void CUpdaterDlg::OnFinish()
{
    EndDialog(IDCANCEL);
}
