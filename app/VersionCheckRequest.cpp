#include "app/VersionCheckRequest.h"
#include "framework/WorkerCall.h"
#include <atomic>
#include <vector>

namespace {
std::atomic<long> g_nLiveStates(0);
} // namespace

// Shared by the request and WinInet: the request holds one reference and each
// handle opened with it one more, given back when WinInet reports that handle
// closing, the last callback a handle gets.
struct CVersionCheckRequest::CState
{
    CState() : nRef(1), hCompleted(::CreateEventW(NULL, TRUE, FALSE, NULL)), bResult(FALSE), dwError(0), dwRead(0)
    {
        ++g_nLiveStates;
    }
    ~CState()
    {
        if (hCompleted != NULL)
            ::CloseHandle(hCompleted);
        --g_nLiveStates;
    }
    CState(const CState&) = delete;
    CState& operator=(const CState&) = delete;
    void AddRef() { ::InterlockedIncrement(&nRef); }
    void Release()
    {
        if (::InterlockedDecrement(&nRef) == 0)
            delete this;
    }

    volatile LONG nRef;
    HANDLE hCompleted;  // manual reset: the pending step is over
    // The step's outcome, written before the event is set.
    BOOL bResult;
    DWORD dwError;
    // Where a pending read puts its bytes and their count.
    DWORD dwRead;
    std::vector<BYTE> buffer;
};

void CALLBACK CVersionCheckRequest::StatusCallback(HINTERNET, DWORD_PTR dwContext, DWORD dwStatus, LPVOID pvInfo,
                                                   DWORD dwInfoLength)
{
    CState* pState = reinterpret_cast<CState*>(dwContext);
    if (pState == NULL)
        return;
    if (dwStatus == INTERNET_STATUS_REQUEST_COMPLETE)
    {
        const INTERNET_ASYNC_RESULT* pResult = static_cast<const INTERNET_ASYNC_RESULT*>(pvInfo);
        BOOL bOk = pResult != NULL && dwInfoLength >= sizeof(*pResult) && pResult->dwResult != 0;
        DWORD dwError = pResult != NULL && dwInfoLength >= sizeof(*pResult) ? pResult->dwError : 0;
        pState->bResult = bOk;
        pState->dwError = bOk ? 0 : (dwError != 0 ? dwError : (DWORD)ERROR_INTERNET_INTERNAL_ERROR);
        ::SetEvent(pState->hCompleted);
    }
    else if (dwStatus == INTERNET_STATUS_HANDLE_CLOSING)
    {
        pState->Release();
    }
}

CVersionCheckRequest::CVersionCheckRequest(HANDLE hStop)
    : m_hStop(hStop), m_pState(new CState), m_hConnect(NULL), m_hRequest(NULL), m_dwError(0)
{
}

CVersionCheckRequest::~CVersionCheckRequest()
{
    Close();
    m_pState->Release();
}

long CVersionCheckRequest::GetLiveStateCount()
{
    return g_nLiveStates.load();
}

HINTERNET CVersionCheckRequest::OpenSession(LPCWSTR pszAgent)
{
    HINTERNET hSession = ::InternetOpenW(pszAgent, INTERNET_OPEN_TYPE_PRECONFIG, NULL, NULL, INTERNET_FLAG_ASYNC);
    if (hSession == NULL)
        return NULL;
    // Handles opened on the session inherit the callback.
    if (::InternetSetStatusCallbackW(hSession, &StatusCallback) == INTERNET_INVALID_STATUS_CALLBACK)
    {
        DWORD dwError = ::GetLastError();
        ::InternetCloseHandle(hSession);
        ::SetLastError(dwError);
        return NULL;
    }
    return hSession;
}

BOOL CVersionCheckRequest::IsStopped() const
{
    return m_hStop != NULL && ::WaitForSingleObject(m_hStop, 0) == WAIT_OBJECT_0;
}

BOOL CVersionCheckRequest::Fail(DWORD dwError)
{
    m_dwError = dwError;
    return FALSE;
}

void CVersionCheckRequest::Close()
{
    // The request first: closing it cancels a step under way.
    if (m_hRequest != NULL)
        ::InternetCloseHandle(m_hRequest);
    m_hRequest = NULL;
    if (m_hConnect != NULL)
        ::InternetCloseHandle(m_hConnect);
    m_hConnect = NULL;
}

BOOL CVersionCheckRequest::Send(HINTERNET hSession, const CString& strUrl, DWORD dwFlags, DWORD dwConnectTimeoutMs,
                                DWORD dwReceiveTimeoutMs)
{
    Close();
    m_dwError = 0;
    if (hSession == NULL || m_pState->hCompleted == NULL)
        return Fail(ERROR_INVALID_HANDLE);
    if (IsStopped())
        return Fail(ERROR_INTERNET_OPERATION_CANCELLED);
    WCHAR szHost[256] = L"", szPath[2048] = L"", szExtra[2048] = L"";
    URL_COMPONENTSW parts = {};
    parts.dwStructSize = sizeof(parts);
    parts.lpszHostName = szHost;
    parts.dwHostNameLength = 256;
    parts.lpszUrlPath = szPath;
    parts.dwUrlPathLength = 2048;
    parts.lpszExtraInfo = szExtra;
    parts.dwExtraInfoLength = 2048;
    if (!::InternetCrackUrlW(strUrl, 0, 0, &parts))
        return Fail(::GetLastError());
    if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS)
        return Fail(ERROR_INTERNET_UNRECOGNIZED_SCHEME);
    if (parts.nScheme == INTERNET_SCHEME_HTTPS)
        dwFlags |= INTERNET_FLAG_SECURE;

    // A handle's reference is taken before it exists and kept when it fails
    // to open: whether WinInet reports a half-made handle closing is not
    // said, and a reference too many only leaks the state.
    DWORD_PTR dwContext = reinterpret_cast<DWORD_PTR>(m_pState);
    m_pState->AddRef();
    m_hConnect = ::InternetConnectW(hSession, szHost, parts.nPort, NULL, NULL, INTERNET_SERVICE_HTTP, 0, dwContext);
    if (m_hConnect == NULL)
        return Fail(::GetLastError());
    CString strObject = CString(szPath[0] != L'\0' ? szPath : L"/") + szExtra;
    m_pState->AddRef();
    m_hRequest = ::HttpOpenRequestW(m_hConnect, L"GET", strObject, NULL, NULL, NULL, dwFlags, dwContext);
    if (m_hRequest == NULL)
        return Fail(::GetLastError());
    // The time-outs hold for this request's own connection.
    DWORD dwConnect = dwConnectTimeoutMs, dwReceive = dwReceiveTimeoutMs;
    for (HINTERNET hHandle : {m_hConnect, m_hRequest})
    {
        ::InternetSetOptionW(hHandle, INTERNET_OPTION_CONNECT_TIMEOUT, &dwConnect, sizeof(dwConnect));
        ::InternetSetOptionW(hHandle, INTERNET_OPTION_SEND_TIMEOUT, &dwReceive, sizeof(dwReceive));
        ::InternetSetOptionW(hHandle, INTERNET_OPTION_RECEIVE_TIMEOUT, &dwReceive, sizeof(dwReceive));
    }
    ::ResetEvent(m_pState->hCompleted);
    if (::HttpSendRequestW(m_hRequest, NULL, 0, NULL, 0))
        return TRUE;
    DWORD dwError = ::GetLastError();
    if (dwError != ERROR_IO_PENDING)
        return Fail(dwError);
    return WaitForStep();
}

BOOL CVersionCheckRequest::QueryNumber(DWORD dwInfoLevel, DWORD& dwValue)
{
    dwValue = 0;
    if (m_hRequest == NULL)
    {
        ::SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    DWORD dwSize = sizeof(dwValue);
    return ::HttpQueryInfoW(m_hRequest, dwInfoLevel | HTTP_QUERY_FLAG_NUMBER, &dwValue, &dwSize, NULL);
}

BOOL CVersionCheckRequest::Read(DWORD dwSize, const BYTE*& pData, DWORD& dwRead)
{
    pData = NULL;
    dwRead = 0;
    if (IsStopped())
    {
        Close();
        return Fail(ERROR_INTERNET_OPERATION_CANCELLED);
    }
    if (m_hRequest == NULL || dwSize == 0)
        return Fail(ERROR_INVALID_HANDLE);
    // The buffer is the state's: a read cut short by a stop may still fill it.
    if (m_pState->buffer.size() < dwSize)
        m_pState->buffer.resize(dwSize);
    m_pState->dwRead = 0;
    ::ResetEvent(m_pState->hCompleted);
    if (!::InternetReadFile(m_hRequest, m_pState->buffer.data(), dwSize, &m_pState->dwRead))
    {
        DWORD dwError = ::GetLastError();
        if (dwError != ERROR_IO_PENDING)
            return Fail(dwError);
        if (!WaitForStep())
            return FALSE;
    }
    pData = m_pState->buffer.data();
    dwRead = m_pState->dwRead <= dwSize ? m_pState->dwRead : dwSize;
    return TRUE;
}

BOOL CVersionCheckRequest::WaitForStep()
{
    DWORD dwWait;
    if (m_hStop == NULL)
    {
        // Without a stop this may be a window's thread (the updater's own
        // check before its dialog): sent messages are served meanwhile.
        dwWait = AfxWaitForObjectPumping(m_pState->hCompleted, INFINITE);
    }
    else
    {
        HANDLE handles[2] = {m_pState->hCompleted, m_hStop};
        dwWait = ::WaitForMultipleObjects(2, handles, FALSE, INFINITE);
    }
    if (dwWait == WAIT_OBJECT_0)
        return m_pState->bResult || Fail(m_pState->dwError);
    DWORD dwError = dwWait == WAIT_OBJECT_0 + 1 ? (DWORD)ERROR_INTERNET_OPERATION_CANCELLED : ::GetLastError();
    // Closing cancels the step; what WinInet still does with it goes to the
    // state, which lives until both handles are reported closed.
    Close();
    return Fail(dwError);
}
