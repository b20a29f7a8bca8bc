#pragma once
// A GET from the update site (the version check's update.ini, the updater's
// package) that a stop event cuts short. The session runs asynchronously:
// the calling thread waits for each step or for the stop, whichever comes
// first, so no network call holds it. After a stop the handles are closed,
// which cancels the step under way; whatever that step still writes lands in
// memory kept alive until WinInet has let go of both handles.
#include "framework/Afx.h"
#include <wininet.h>

class CVersionCheckRequest
{
public:
    // hStop: a manual-reset event that ends every wait, or NULL for none.
    explicit CVersionCheckRequest(HANDLE hStop = NULL);
    ~CVersionCheckRequest();
    CVersionCheckRequest(const CVersionCheckRequest&) = delete;
    CVersionCheckRequest& operator=(const CVersionCheckRequest&) = delete;

    // A session for these requests: asynchronous, with their status
    // callback. NULL (last error set) on failure; the caller closes it.
    static HINTERNET OpenSession(LPCWSTR pszAgent);
    // Connects, opens a GET of the http(s) URL on a session of OpenSession,
    // with the flags (INTERNET_FLAG_SECURE is added for https) and time-outs,
    // and sends it.
    BOOL Send(HINTERNET hSession, const CString& strUrl, DWORD dwFlags, DWORD dwConnectTimeoutMs,
              DWORD dwReceiveTimeoutMs);
    // HttpQueryInfo of a number (HTTP_QUERY_FLAG_NUMBER is added); FALSE
    // with the last error set.
    BOOL QueryNumber(DWORD dwInfoLevel, DWORD& dwValue);
    // The next bytes of the body, at most dwSize, in this object's buffer
    // (valid until the next Read); 0 bytes at the end of the body.
    BOOL Read(DWORD dwSize, const BYTE*& pData, DWORD& dwRead);
    void Close();

    BOOL IsStopped() const;
    // Why the last step failed: a Win32 or WinInet code,
    // ERROR_INTERNET_OPERATION_CANCELLED after a stop.
    DWORD GetError() const { return m_dwError; }

    // The state objects WinInet still holds, in the process (leak checks).
    static long GetLiveStateCount();

private:
    struct CState;
    static void CALLBACK StatusCallback(HINTERNET hInternet, DWORD_PTR dwContext, DWORD dwStatus, LPVOID pvInfo,
                                        DWORD dwInfoLength);
    BOOL Fail(DWORD dwError);
    // Waits for the step that answered ERROR_IO_PENDING; closes on a stop.
    BOOL WaitForStep();

    HANDLE m_hStop;
    CState* m_pState;
    HINTERNET m_hConnect;
    HINTERNET m_hRequest;
    DWORD m_dwError;
};
