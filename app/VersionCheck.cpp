#include "app/VersionCheck.h"
#include "app/UpdateDescription.h"
#include "app/InternetHandle.h"
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
      m_dwTimeoutMs(UPDATE_DEFAULT_TIMEOUT_MS), m_dwOpenError(0), m_hConnect(NULL),
      m_hInternet(::InternetOpenW(L"AutoUpdateAgent", INTERNET_OPEN_TYPE_PRECONFIG, NULL, NULL, 0))
{
    if (m_hInternet == NULL)
        m_dwOpenError = ::GetLastError();
}

CUpdateChecker::~CUpdateChecker()
{
    if (m_hConnect != NULL)
        ::InternetCloseHandle(m_hConnect);
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
    CString strUrl = strBaseUrl + UPDATE_DESCRIPTION_FILE;
    CInternetHandle request(OpenUrl(strUrl));
    if (request.Get() == NULL)
        return UPDATE_DOWNLOAD_FAILED;
    // Only a fresh copy decides, never one left by an earlier check.
    CString strLocal = m_strDownloadFolder + UPDATE_DESCRIPTION_FILE;
    if (!DownloadToFile(request.Get(), strLocal))
    {
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

HINTERNET CUpdateChecker::OpenUrl(CString& strUrl)
{
    WCHAR szCanonical[1024] = L"";
    DWORD dwLength = 1024;
    if (::InternetCanonicalizeUrlW(strUrl, szCanonical, &dwLength, ICU_BROWSER_MODE))
        strUrl = szCanonical;
    const DWORD dwFlags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_RESYNCHRONIZE | INTERNET_FLAG_HYPERLINK |
                          INTERNET_FLAG_NEED_FILE;
    // HTTP goes through its own connection so that the time-outs apply to
    // the request itself: a root handle's receive time-out is not passed on.
    WCHAR szHost[256] = L"", szPath[2048] = L"", szExtra[1024] = L"";
    URL_COMPONENTSW parts = {};
    parts.dwStructSize = sizeof(parts);
    parts.lpszHostName = szHost;
    parts.dwHostNameLength = 256;
    parts.lpszUrlPath = szPath;
    parts.dwUrlPathLength = 2048;
    parts.lpszExtraInfo = szExtra;
    parts.dwExtraInfoLength = 1024;
    if (!::InternetCrackUrlW(strUrl, 0, 0, &parts)
        || (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS))
    {
        HINTERNET hFile = ::InternetOpenUrlW(m_hInternet, strUrl, NULL, 0, dwFlags, 0);
        if (hFile == NULL)
            Fail();
        return hFile;
    }
    if (m_hConnect != NULL)
        ::InternetCloseHandle(m_hConnect);
    m_hConnect = ::InternetConnectW(m_hInternet, szHost, parts.nPort, NULL, NULL, INTERNET_SERVICE_HTTP, 0, 0);
    if (m_hConnect == NULL)
    {
        Fail();
        return NULL;
    }
    DWORD dwTimeout = m_dwTimeoutMs;
    ::InternetSetOptionW(m_hConnect, INTERNET_OPTION_CONNECT_TIMEOUT, &dwTimeout, sizeof(dwTimeout));
    ::InternetSetOptionW(m_hConnect, INTERNET_OPTION_SEND_TIMEOUT, &dwTimeout, sizeof(dwTimeout));
    ::InternetSetOptionW(m_hConnect, INTERNET_OPTION_RECEIVE_TIMEOUT, &dwTimeout, sizeof(dwTimeout));
    CString strObject = CString(szPath) + szExtra;
    HINTERNET hRequest = ::HttpOpenRequestW(m_hConnect, L"GET", strObject, NULL, NULL, NULL,
                                            dwFlags | (parts.nScheme == INTERNET_SCHEME_HTTPS ? INTERNET_FLAG_SECURE : 0),
                                            0);
    if (hRequest == NULL)
    {
        Fail();
        return NULL;
    }
    ::InternetSetOptionW(hRequest, INTERNET_OPTION_CONNECT_TIMEOUT, &dwTimeout, sizeof(dwTimeout));
    ::InternetSetOptionW(hRequest, INTERNET_OPTION_SEND_TIMEOUT, &dwTimeout, sizeof(dwTimeout));
    ::InternetSetOptionW(hRequest, INTERNET_OPTION_RECEIVE_TIMEOUT, &dwTimeout, sizeof(dwTimeout));
    if (!::HttpSendRequestW(hRequest, NULL, 0, NULL, 0))
    {
        // Taken before the close, which may set its own.
        Fail();
        ::InternetCloseHandle(hRequest);
        return NULL;
    }
    return hRequest;
}

BOOL CUpdateChecker::DownloadToFile(HINTERNET hRequest, const CString& strFile)
{
    // An error page is no version file, nor is an answer without a status.
    DWORD dwStatus = 0, dwSize = sizeof(dwStatus);
    if (!::HttpQueryInfoW(hRequest, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &dwStatus, &dwSize, NULL))
        return Fail();
    if (dwStatus != HTTP_STATUS_OK)
    {
        m_failure.dwError = 0;
        m_failure.dwHttpStatus = dwStatus;
        return FALSE;
    }
    DWORD dwLength = 0;
    dwSize = sizeof(dwLength);
    BOOL bHasLength = ::HttpQueryInfoW(hRequest, HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER, &dwLength,
                                       &dwSize, NULL);
    // Far too long for a version file: no such file is there.
    if (bHasLength && dwLength > UPDATE_INI_MAX_BYTES)
        return Fail(ERROR_INVALID_DATA);
    // The whole answer first: nothing is saved unless all of it came.
    std::vector<BYTE> body;
    BYTE buffer[4096];
    for (;;)
    {
        DWORD dwRead = 0;
        if (!::InternetReadFile(hRequest, buffer, sizeof(buffer), &dwRead))
            return Fail();
        if (dwRead == 0)
            break;
        if (body.size() + dwRead > UPDATE_INI_MAX_BYTES)
            return Fail(ERROR_INVALID_DATA);
        body.insert(body.end(), buffer, buffer + dwRead);
    }
    // The server closed the connection before the whole file came.
    if (bHasLength && body.size() != dwLength)
        return Fail(ERROR_INTERNET_CONNECTION_ABORTED);
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

namespace {

struct CVersionCheckJob
{
    HWND hWnd;
    CString strBaseUrl;
    DWORD dwTimeoutMs;
    CVersionCheckWorker::DoneCall fnDone;
};

UINT __cdecl VersionCheckThreadProc(LPVOID pParam)
{
    std::unique_ptr<CVersionCheckJob> pJob(static_cast<CVersionCheckJob*>(pParam));
    int nResult;
    CVersionCheckError failure;
    {
        CUpdateChecker checker;
        checker.m_dwTimeoutMs = pJob->dwTimeoutMs;
        nResult = checker.FetchAndCompare(pJob->strBaseUrl);
        failure = checker.GetFailure();
    }
    CVersionCheckWorker::DoneCall fnDone = std::move(pJob->fnDone);
    AfxPostCall(pJob->hWnd, [fnDone, nResult, failure]() { fnDone(nResult, failure); });
    return 0;
}

} // namespace

CVersionCheckWorker::CVersionCheckWorker() : m_hThread(NULL)
{
}

CVersionCheckWorker::~CVersionCheckWorker()
{
    if (m_hThread != NULL)
    {
        // Bounded by the check's own time-outs.
        AfxWaitForObjectPumping(m_hThread, INFINITE);
        ::CloseHandle(m_hThread);
    }
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
    CVersionCheckJob* pJob = new CVersionCheckJob{ hWnd, strBaseUrl, dwTimeoutMs, std::move(fnDone) };
    m_hThread = AfxBeginWorker(VersionCheckThreadProc, pJob);
    if (m_hThread == NULL)
    {
        delete pJob;
        return FALSE;
    }
    return TRUE;
}

BOOL CVersionCheckWorker::Wait(DWORD dwMilliseconds)
{
    if (m_hThread == NULL)
        return TRUE;
    return AfxWaitForObjectPumping(m_hThread, dwMilliseconds) == WAIT_OBJECT_0;
}
