#pragma once
// The online version check: fetches update.ini from the update site, compares
// the version it announces with our own file version and asks the user.
#include "framework/Afx.h"
#include "app/VersionCheckError.h"
#include <wininet.h>
#include <functional>
#include <memory>

// Result codes of CUpdateChecker::CheckForUpdate.
enum
{
    UPDATE_NEWER_ACCEPTED = 0,
    UPDATE_NO_CONNECTION = 1,
    UPDATE_DOWNLOAD_FAILED = 2,
    UPDATE_NO_OWN_VERSION = 5,
    UPDATE_NOT_NEWER = 6,
    UPDATE_NEWER_DECLINED = 7,
    // Internal: the network part found a newer version; the question is next.
    UPDATE_NEWER_FOUND = -1
};

// The update site's download folder: "UpdateSite" of [General Settings] in
// Settings.ini when that key is present, else the product's own site.
CString GetUpdateSiteUrl(const CString& strSettingsFile);

// The most of update.ini that is accepted; a longer answer is no version file.
const DWORD UPDATE_INI_MAX_BYTES = 64 * 1024;
// Connect, send and receive time-outs of the check.
const DWORD UPDATE_DEFAULT_TIMEOUT_MS = 10000;

class CUpdateChecker
{
public:
    CUpdateChecker();
    virtual ~CUpdateChecker();

    int CheckForUpdate(const CString& strBaseUrl);
    // The network and compare steps, without the question: UPDATE_NEWER_FOUND
    // or a final code. Safe on a worker thread.
    int FetchAndCompare(const CString& strBaseUrl);
    // The question of a newer version: 0 (OK) or 7 (Cancel).
    static int AskToUpdate();

    BOOL IsConnected();
    // Why the last check ended with no connection or a failed download.
    const CVersionCheckError& GetFailure() const { return m_failure; }

    // Fetches the URL and saves the answer only when it is whole: status
    // 200, at most UPDATE_INI_MAX_BYTES, and exactly Content-Length bytes
    // when the server gave one (a cut-off body reads like a complete one).
    // A stop (m_hStop) ends it at once and saves nothing.
    BOOL FetchToFile(const CString& strUrl, const CString& strFile);
    BOOL ReadBlock(HINTERNET hRequest, LPVOID pBuffer, DWORD dwSize);
    static CString GetModulePath();
    static CString GetModuleFolder();
    static CString GetFileVersionString(const CString& strFile);
    static int CompareVersions(const CString& strFirst, const CString& strSecond);
    static BOOL IsNumber(const CString& strText);
    static BOOL ReplaceExecutable(const CString& strExe, const CString& strNewFile, BOOL bDelay);

    // Where the version is read from and update.ini is saved; the running
    // executable and its folder unless a caller sets others.
    CString m_strModulePath;
    CString m_strDownloadFolder;
    // Applied to the connection, the request and each read.
    DWORD m_dwTimeoutMs;
    // A manual-reset event that cuts the check short; NULL for none.
    HANDLE m_hStop;

private:
    // Keeps the calling thread's last error as the reason; FALSE.
    BOOL Fail();
    BOOL Fail(DWORD dwError);

    CVersionCheckError m_failure;
    // Why the root handle did not open, when it did not.
    DWORD m_dwOpenError;
    HINTERNET m_hInternet;

    CUpdateChecker(const CUpdateChecker&) = delete;
    CUpdateChecker& operator=(const CUpdateChecker&) = delete;
};

// Runs the network part of a check (FetchAndCompare) on a worker thread and
// hands the result, with the reason of a failure, to a window's own thread.
// The worker holds all it uses itself, shared with its owner.
struct CVersionCheckJob;

class CVersionCheckWorker
{
public:
    CVersionCheckWorker();
    // Stops a running check (Stop).
    ~CVersionCheckWorker();

    typedef std::function<void(int, const CVersionCheckError&)> DoneCall;

    // Starts a check unless one runs. fnDone gets the result of
    // FetchAndCompare and GetFailure on hWnd's thread, or is dropped when
    // hWnd is gone by then or the check was stopped. FALSE when no check
    // was started.
    BOOL Start(HWND hWnd, const CString& strBaseUrl, DoneCall fnDone,
               DWORD dwTimeoutMs = UPDATE_DEFAULT_TIMEOUT_MS);
    BOOL IsRunning() const;
    // Waits for a running check; TRUE when none runs any more.
    BOOL Wait(DWORD dwMilliseconds);
    // Cuts a running check short: its network step ends at once and no
    // answer is posted once this returns. Waits for the worker a short
    // while (VERSION_CHECK_STOP_WAIT_MS), dispatching sent messages.
    void Stop();

private:
    std::shared_ptr<CVersionCheckJob> m_pJob;
    HANDLE m_hThread;

    CVersionCheckWorker(const CVersionCheckWorker&) = delete;
    CVersionCheckWorker& operator=(const CVersionCheckWorker&) = delete;
};

// How long Stop waits for the worker. Only a step that is no HTTP request
// (an ftp: site) can keep it longer, until that step's own time-outs.
const DWORD VERSION_CHECK_STOP_WAIT_MS = 1000;
