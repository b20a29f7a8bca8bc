#include "app/VersionCheck.h"
#include "app/UpdateDescription.h"
#include "app/InternetHandle.h"
#include "app/VersionCheckRequest.h"
#include "framework/Lock.h"
#include "framework/WorkerCall.h"
#include <shlwapi.h>
#include <memory>
#include <vector>

namespace {

// Splits a dotted version into four slots, most significant first.
BOOL ParseVersion(const CString& strVersion, DWORD dwSlots[4])
{
    dwSlots[0] = dwSlots[1] = dwSlots[2] = dwSlots[3] = 0;
    if (strVersion.IsEmpty())
        return FALSE;
    int nPart = 0;
    int nStart = 0;
    for (;;)
    {
        int nDot = strVersion.Find(L'.', nStart);
        CString strPart = nDot < 0 ? strVersion.Mid(nStart) : strVersion.Mid(nStart, nDot - nStart);
        if (nPart >= 4 || !CUpdateChecker::IsNumber(strPart))
            return FALSE;
        dwSlots[nPart++] = (DWORD)wcstoul(strPart, NULL, 10);
        if (nDot < 0)
            return TRUE;
        nStart = nDot + 1;
    }
}

} // namespace

CString GetUpdateSiteUrl(const CString& strSettingsFile)
{
    WCHAR szUrl[1024] = L"";
    ::GetPrivateProfileStringW(L"General Settings", L"UpdateSite", L"", szUrl, 1024, strSettingsFile);
    CString strUrl(szUrl);
    strUrl.Trim();
    if (strUrl.IsEmpty())
        return L"http://www.tamsel.net/download/";
    if (strUrl.Right(1) != L"/")
        strUrl += L"/";
    return strUrl;
}

CUpdateChecker::CUpdateChecker()
    : m_strModulePath(GetModulePath()), m_strDownloadFolder(GetModuleFolder()),
      m_dwTimeoutMs(UPDATE_DEFAULT_TIMEOUT_MS), m_hStop(NULL), m_dwOpenError(0),
      m_hInternet(::InternetOpenW(L"AutoUpdateAgent", INTERNET_OPEN_TYPE_PRECONFIG, NULL, NULL, 0))
{
    if (m_hInternet == NULL)
        m_dwOpenError = ::GetLastError();
}

CUpdateChecker::~CUpdateChecker()
{
    if (m_hInternet != NULL)
        ::InternetCloseHandle(m_hInternet);
}

int CUpdateChecker::CheckForUpdate(const CString& strBaseUrl)
{
    int nResult = FetchAndCompare(strBaseUrl);
    return nResult == UPDATE_NEWER_FOUND ? AskToUpdate() : nResult;
}

int CUpdateChecker::FetchAndCompare(const CString& strBaseUrl)
{
    m_failure = CVersionCheckError();
    if (!IsConnected())
        return UPDATE_NO_CONNECTION;
    // A server that stalls must not hold the check for ever.
    DWORD dwTimeout = m_dwTimeoutMs;
    ::InternetSetOptionW(m_hInternet, INTERNET_OPTION_CONNECT_TIMEOUT, &dwTimeout, sizeof(dwTimeout));
    ::InternetSetOptionW(m_hInternet, INTERNET_OPTION_SEND_TIMEOUT, &dwTimeout, sizeof(dwTimeout));
    ::InternetSetOptionW(m_hInternet, INTERNET_OPTION_RECEIVE_TIMEOUT, &dwTimeout, sizeof(dwTimeout));
    // Only a fresh copy decides, never one left by an earlier check.
    CString strLocal = m_strDownloadFolder + UPDATE_DESCRIPTION_FILE;
    if (!FetchToFile(strBaseUrl + UPDATE_DESCRIPTION_FILE, strLocal))
    {
        // A stopped check decides nothing: the folder stays as it was.
        if (m_hStop == NULL || ::WaitForSingleObject(m_hStop, 0) != WAIT_OBJECT_0)
            ::DeleteFileW(strLocal);
        return UPDATE_DOWNLOAD_FAILED;
    }
    CString strOwn = GetFileVersionString(m_strModulePath);
    if (strOwn.IsEmpty())
        return UPDATE_NO_OWN_VERSION;
    if (CompareVersions(CUpdateDescription::Read(strLocal).strProgramVersion, strOwn) != 1)
        return UPDATE_NOT_NEWER;
    return UPDATE_NEWER_FOUND;
}

int CUpdateChecker::AskToUpdate()
{
    int nAnswer = AfxMessageBox(L"An update is now available. Proceed with the update?", MB_OKCANCEL | MB_ICONQUESTION);
    return nAnswer == IDOK ? UPDATE_NEWER_ACCEPTED : UPDATE_NEWER_DECLINED;
}

BOOL CUpdateChecker::IsConnected()
{
    if (m_hInternet == NULL)
        return Fail(m_dwOpenError);
    DWORD dwFlags = 0;
    // It sets no error of its own when it finds no connection.
    return ::InternetGetConnectedState(&dwFlags, 0) || Fail(ERROR_INTERNET_DISCONNECTED);
}

BOOL CUpdateChecker::Fail()
{
    return Fail(::GetLastError());
}

BOOL CUpdateChecker::Fail(DWORD dwError)
{
    m_failure.dwError = dwError;
    m_failure.dwHttpStatus = 0;
    return FALSE;
}

BOOL CUpdateChecker::FetchToFile(const CString& strUrlIn, const CString& strFile)
{
    CString strUrl = strUrlIn;
    WCHAR szCanonical[1024] = L"";
    DWORD dwLength = 1024;
    if (::InternetCanonicalizeUrlW(strUrl, szCanonical, &dwLength, ICU_BROWSER_MODE))
        strUrl = szCanonical;
    const DWORD dwFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_RESYNCHRONIZE | INTERNET_FLAG_HYPERLINK |
                          INTERNET_FLAG_NEED_FILE;
    URL_COMPONENTSW parts = {};
    parts.dwStructSize = sizeof(parts);
    if (!::InternetCrackUrlW(strUrl, 0, 0, &parts)
        || (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS))
    {
        // Only an HTTP answer has the status a version file needs: another
        // scheme is opened for the system's reason and ends there.
        CInternetHandle file(::InternetOpenUrlW(m_hInternet, strUrl, NULL, 0, dwFlags, 0));
        if (!file.IsValid())
            return Fail();
        DWORD dwStatus = 0, dwSize = sizeof(dwStatus);
        if (!::HttpQueryInfoW(file.Get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &dwStatus, &dwSize, NULL))
            return Fail();
        return Fail(ERROR_INTERNET_INCORRECT_HANDLE_TYPE);
    }

    // Declared first, closed last: the request's handles belong to it.
    CInternetHandle session(CVersionCheckRequest::OpenSession(L"AutoUpdateAgent"));
    if (!session.IsValid())
        return Fail();
    CVersionCheckRequest request(m_hStop);
    if (!request.Send(session.Get(), strUrl, dwFlags, m_dwTimeoutMs, m_dwTimeoutMs))
        return Fail(request.GetError());
    // An error page is no version file, nor is an answer without a status.
    DWORD dwStatus = 0;
    if (!request.QueryNumber(HTTP_QUERY_STATUS_CODE, dwStatus))
        return Fail();
    if (dwStatus != HTTP_STATUS_OK)
    {
        m_failure.dwError = 0;
        m_failure.dwHttpStatus = dwStatus;
        return FALSE;
    }
    DWORD dwContentLength = 0;
    BOOL bHasLength = request.QueryNumber(HTTP_QUERY_CONTENT_LENGTH, dwContentLength);
    // Far too long for a version file: no such file is there.
    if (bHasLength && dwContentLength > UPDATE_INI_MAX_BYTES)
        return Fail(ERROR_INVALID_DATA);
    // The whole answer first: nothing is saved unless all of it came.
    std::vector<BYTE> body;
    for (;;)
    {
        const BYTE* pData = NULL;
        DWORD dwRead = 0;
        if (!request.Read(4096, pData, dwRead))
            return Fail(request.GetError());
        if (dwRead == 0)
            break;
        if (body.size() + dwRead > UPDATE_INI_MAX_BYTES)
            return Fail(ERROR_INVALID_DATA);
        body.insert(body.end(), pData, pData + dwRead);
    }
    // The server closed the connection before the whole file came.
    if (bHasLength && body.size() != dwContentLength)
        return Fail(ERROR_INTERNET_CONNECTION_ABORTED);
    // Nobody waits for a stopped check's answer: it saves nothing.
    if (request.IsStopped())
        return Fail(ERROR_INTERNET_OPERATION_CANCELLED);
    CFileHandle file(::CreateFileW(strFile, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, NULL));
    if (!file.IsValid())
        return Fail();
    DWORD dwWritten = 0;
    if (body.empty())
        return TRUE;
    if (!::WriteFile(file.Get(), body.data(), (DWORD)body.size(), &dwWritten, NULL))
        return Fail();
    // A short write without an error: the disk is full.
    return dwWritten == body.size() || Fail(ERROR_DISK_FULL);
}

BOOL CUpdateChecker::ReadBlock(HINTERNET hRequest, LPVOID pBuffer, DWORD dwSize)
{
    DWORD dwRead = 0;
    return ::InternetReadFile(hRequest, pBuffer, dwSize, &dwRead) && dwRead > 0;
}

CString CUpdateChecker::GetModulePath()
{
    return AfxGetModulePath();
}

CString CUpdateChecker::GetModuleFolder()
{
    return AfxGetModuleFolder();
}

CString CUpdateChecker::GetFileVersionString(const CString& strFile)
{
    DWORD dwHandle = 0;
    DWORD dwSize = ::GetFileVersionInfoSizeW(strFile, &dwHandle);
    if (dwSize == 0)
        return CString();
    std::vector<BYTE> data(dwSize);
    if (!::GetFileVersionInfoW(strFile, 0, dwSize, data.data()))
        return CString();
    VS_FIXEDFILEINFO* pInfo = NULL;
    UINT nLength = 0;
    if (!::VerQueryValueW(data.data(), L"\\", (LPVOID*)&pInfo, &nLength) || pInfo == NULL)
        return CString();
    CString strVersion;
    if (HIWORD(pInfo->dwFileVersionLS) != 0 || LOWORD(pInfo->dwFileVersionLS) != 0)
        strVersion.Format(L"%d.%d.%d.%d", HIWORD(pInfo->dwFileVersionMS), LOWORD(pInfo->dwFileVersionMS),
                          HIWORD(pInfo->dwFileVersionLS), LOWORD(pInfo->dwFileVersionLS));
    else if (HIWORD(pInfo->dwFileVersionMS) != 0 || LOWORD(pInfo->dwFileVersionMS) != 0)
        strVersion.Format(L"%d.%d", HIWORD(pInfo->dwFileVersionMS), LOWORD(pInfo->dwFileVersionMS));
    return strVersion;
}

int CUpdateChecker::CompareVersions(const CString& strFirst, const CString& strSecond)
{
    DWORD dwFirst[4], dwSecond[4];
    if (!ParseVersion(strFirst, dwFirst))
        return -21;
    if (!ParseVersion(strSecond, dwSecond))
        return -22;
    for (int i = 0; i < 4; i++)
    {
        if (dwFirst[i] != dwSecond[i])
            return dwFirst[i] > dwSecond[i] ? 1 : -1;
    }
    return 0;
}

BOOL CUpdateChecker::IsNumber(const CString& strText)
{
    for (int i = 0; i < strText.GetLength(); i++)
    {
        if (strText[i] < L'0' || strText[i] > L'9')
            return FALSE;
    }
    return TRUE;
}

BOOL CUpdateChecker::ReplaceExecutable(const CString& strExe, const CString& strNewFile, BOOL bDelay)
{
    CString strBackup = strExe.Left(strExe.ReverseFind(L'\\') + 1) + L"OldExecutable.bak";
    ::DeleteFileW(strBackup);
    DWORD dwFlags = bDelay ? MOVEFILE_DELAY_UNTIL_REBOOT : MOVEFILE_COPY_ALLOWED;
    if (!::MoveFileExW(strExe, strBackup, dwFlags))
        return FALSE;
    return ::MoveFileExW(strNewFile, strExe, dwFlags);
}

// ---- The check on a worker thread ---------------------------------------------------

// Shared by the worker and its owner; the last one frees it.
struct CVersionCheckJob
{
    CVersionCheckJob() : hWnd(NULL), dwTimeoutMs(0), hStop(::CreateEventW(NULL, TRUE, FALSE, NULL)), bStopped(false) {}
    ~CVersionCheckJob()
    {
        if (hStop != NULL)
            ::CloseHandle(hStop);
    }
    CVersionCheckJob(const CVersionCheckJob&) = delete;
    CVersionCheckJob& operator=(const CVersionCheckJob&) = delete;

    HWND hWnd;
    CString strBaseUrl;
    DWORD dwTimeoutMs;
    CVersionCheckWorker::DoneCall fnDone;
    HANDLE hStop;   // manual reset: cuts the check short
    // Stop and the answer's post take turns: once Stop has set bStopped,
    // no answer is posted.
    CAfxLock lock;
    bool bStopped;
};

namespace {

UINT __cdecl VersionCheckThreadProc(LPVOID pParam)
{
    std::unique_ptr<std::shared_ptr<CVersionCheckJob>> pHolder(static_cast<std::shared_ptr<CVersionCheckJob>*>(pParam));
    std::shared_ptr<CVersionCheckJob> pJob = *pHolder;
    int nResult;
    CVersionCheckError failure;
    {
        CUpdateChecker checker;
        checker.m_dwTimeoutMs = pJob->dwTimeoutMs;
        checker.m_hStop = pJob->hStop;
        nResult = checker.FetchAndCompare(pJob->strBaseUrl);
        failure = checker.GetFailure();
    }
    CAfxLockGuard guard(pJob->lock);
    if (!pJob->bStopped)
    {
        CVersionCheckWorker::DoneCall fnDone = std::move(pJob->fnDone);
        AfxPostCall(pJob->hWnd, [fnDone, nResult, failure]() { fnDone(nResult, failure); });
    }
    return 0;
}

} // namespace

CVersionCheckWorker::CVersionCheckWorker() : m_hThread(NULL)
{
}

CVersionCheckWorker::~CVersionCheckWorker()
{
    Stop();
    if (m_hThread != NULL)
        ::CloseHandle(m_hThread);
}

BOOL CVersionCheckWorker::IsRunning() const
{
    return m_hThread != NULL && ::WaitForSingleObject(m_hThread, 0) == WAIT_TIMEOUT;
}

BOOL CVersionCheckWorker::Start(HWND hWnd, const CString& strBaseUrl, DoneCall fnDone,
                                DWORD dwTimeoutMs)
{
    if (IsRunning() || !fnDone)
        return FALSE;
    if (m_hThread != NULL)
    {
        ::CloseHandle(m_hThread);
        m_hThread = NULL;
    }
    // A job of its own each time: a stopped worker may still be ending.
    std::shared_ptr<CVersionCheckJob> pJob = std::make_shared<CVersionCheckJob>();
    if (pJob->hStop == NULL)
        return FALSE;
    pJob->hWnd = hWnd;
    pJob->strBaseUrl = strBaseUrl;
    pJob->dwTimeoutMs = dwTimeoutMs;
    pJob->fnDone = std::move(fnDone);
    std::shared_ptr<CVersionCheckJob>* pParam = new std::shared_ptr<CVersionCheckJob>(pJob);
    m_hThread = AfxBeginWorker(VersionCheckThreadProc, pParam);
    if (m_hThread == NULL)
    {
        delete pParam;
        return FALSE;
    }
    m_pJob = pJob;
    return TRUE;
}

BOOL CVersionCheckWorker::Wait(DWORD dwMilliseconds)
{
    if (m_hThread == NULL)
        return TRUE;
    return AfxWaitForObjectPumping(m_hThread, dwMilliseconds) == WAIT_OBJECT_0;
}

void CVersionCheckWorker::Stop()
{
    if (!m_pJob)
        return;
    bool bFirst;
    {
        CAfxLockGuard guard(m_pJob->lock);
        bFirst = !m_pJob->bStopped;
        m_pJob->bStopped = true;
    }
    ::SetEvent(m_pJob->hStop);
    // The HTTP steps end at the stop; a worker still busy after this keeps
    // its job alive itself and posts nothing.
    if (bFirst && m_hThread != NULL)
        AfxWaitForObjectPumping(m_hThread, VERSION_CHECK_STOP_WAIT_MS);
}
