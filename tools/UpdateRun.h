#pragma once
// One press of Install: the download walk over the checked rows and the
// install queue behind it, the events between them, and what both threads
// tell the page. Both threads keep the run alive (shared ownership); they
// reach the page only by posting to its window.
#include "tools/UpdateAgent.h"
#include <memory>
#include <vector>

// Successful downloads one run can hand to the install queue.
#define UPDATE_RUN_LIMIT 100

// A checked row and the position of its update in the found collection.
struct UpdateRowRef
{
    int nRow;
    int nItem;
};

enum UpdateRowState
{
    UPDATE_ROW_DOWNLOADING,
    UPDATE_ROW_DOWNLOADED,
    UPDATE_ROW_INSTALLING,
    UPDATE_ROW_INSTALLED
};

enum UpdateNotice
{
    UPDATE_NOTICE_CLASS_MISSING,   // an agent class is not registered
    UPDATE_NOTICE_NOT_STARTED,     // an agent object could not be created
    UPDATE_NOTICE_BEGIN_FAILED,    // a download or installation did not begin
    UPDATE_NOTICE_ABORT_REFUSED,
    UPDATE_NOTICE_RUN_LIMIT,
    UPDATE_NOTICE_SEARCH_FAILED
};

class CUpdateRun
{
public:
    // Takes a reference of pFound (the found collection).
    CUpdateRun(HWND hWndPage, IUnknown* pFound, const std::vector<UpdateRowRef>& arrRows);
    ~CUpdateRun();
    CUpdateRun(const CUpdateRun&) = delete;
    CUpdateRun& operator=(const CUpdateRun&) = delete;

    // Every event was made.
    BOOL IsReady() const;
    // Abort and the page's end: the walk stops before its next row, a running
    // job is asked to abort by its own worker, the queue ends.
    void Stop() { ::SetEvent(m_hStop); }
    BOOL IsStopped() const { return ::WaitForSingleObject(m_hStop, 0) == WAIT_OBJECT_0; }

    // The next successful download: its row and update (the reference passes
    // to the run); signals the queue. FALSE, releasing it, past the limit.
    BOOL AddDownloaded(int nRow, IUpdate* pUpdate);
    int GetDownloadedCount() const { return m_nDownloaded.load(); }
    // The k-th successful download; the caller owns the returned reference.
    IUpdate* TakeDownloaded(int k, int& nRow);

    // The page counts a worker in before starting it and out when it could
    // not start; a worker counts itself out before it leaves its apartment.
    // The last one out releases the agent objects still held.
    void EnterWorker() { ++m_nWorkers; }
    void LeaveWorker();

    const HWND m_hWndPage;
    HANDLE m_hStop;       // manual reset: Abort or the page's end
    HANDLE m_hWalkEnd;    // manual reset: the download walk is over, on every path
    HANDLE m_hDownloaded[UPDATE_RUN_LIMIT];
    const std::vector<UpdateRowRef> m_arrRows;
    IUnknown* m_pFound;

private:
    void ReleaseAgentObjects();

    struct Downloaded
    {
        int nRow;
        IUpdate* pUpdate;
    };
    Downloaded m_arrDownloaded[UPDATE_RUN_LIMIT];
    std::atomic<int> m_nDownloaded;
    std::atomic<int> m_nWorkers;
};

typedef std::shared_ptr<CUpdateRun> UpdateRunPtr;

// Thread parameter: a new UpdateRunPtr, which the thread deletes.
UINT __cdecl DownloadUpdatesThread(LPVOID pParam);
UINT __cdecl InstallQueueThread(LPVOID pParam);
// Installs the k-th successful download of the run into its own row.
void InstallDownloadedUpdate(CUpdateRun& run, int k);

// How long a worker still waits for a job it asked to abort (ms): within the
// page's own limit for its workers (CPatchUpdatePage::s_dwStopLimitMs).
extern std::atomic<DWORD> g_dwUpdateAbortWaitMs;

// What the workers tell the page; run on the page's thread, dropped when its
// window is gone.
void PostUpdateRowState(HWND hWndPage, int nRow, UpdateRowState nState, int nResultCode);
void PostUpdateNotice(HWND hWndPage, UpdateNotice nNotice, HRESULT hr);
void PostUpdateThreadEnded(HWND hWndPage, const UpdateRunPtr& pRun);

// Creates an agent object for a worker of the run; tells the page why not.
template <class T>
BOOL CreateRunAgentObject(HWND hWndPage, LPCWSTR pszProgId, CAgentPtr<T>& object)
{
    HRESULT hr = CreateUpdateAgentObject(pszProgId, __uuidof(T), object.OutVoid());
    if (SUCCEEDED(hr) && object)
        return TRUE;
    object.Detach();  // a failing factory may leave anything behind
    PostUpdateNotice(hWndPage, IsUpdateClassMissing(hr) ? UPDATE_NOTICE_CLASS_MISSING : UPDATE_NOTICE_NOT_STARTED, hr);
    return FALSE;
}

// Starts a job of the downloader or the installer, forced and with an empty
// state; fnBegin(state, ppJob) makes the agent's Begin call. A job that does
// not begin is told to the page.
template <class TAgent, class TJob, class TBegin>
BOOL BeginUpdateJob(CUpdateRun& run, TAgent* pAgent, TBegin fnBegin, CAgentPtr<TJob>& job)
{
    pAgent->put_IsForced(VARIANT_TRUE);
    VARIANT state;
    ::VariantInit(&state);
    state.vt = VT_BOOL;
    state.boolVal = VARIANT_FALSE;
    HRESULT hr = fnBegin(state, job.Out());
    if (SUCCEEDED(hr) && job)
        return TRUE;
    PostUpdateNotice(run.m_hWndPage, UPDATE_NOTICE_BEGIN_FAILED, FAILED(hr) ? hr : E_POINTER);
    return FALSE;
}

// The result code of the update at nIndex of a finished job; the job's
// overall code when the update has none of its own.
template <class TOwnResult, class TJobResult>
int OwnUpdateResult(TJobResult* pResult, LONG nIndex)
{
    OperationResultCode nCode = orcFailed;
    CAgentPtr<TOwnResult> own;
    if (nIndex >= 0 && SUCCEEDED(pResult->GetUpdateResult(nIndex, own.Out())) && own &&
        SUCCEEDED(own->get_ResultCode(&nCode)))
        return (int)nCode;
    if (SUCCEEDED(pResult->get_ResultCode(&nCode)))
        return (int)nCode;
    return orcFailed;
}

// Waits for a job's completion callback. When hStop is set first, this
// worker (the job's owner) asks the job to abort and waits a bounded time
// more. TRUE when the job completed. A job that did not must not be cleaned
// up: CleanUp waits for the job to end.
template <class TJob>
BOOL WaitForUpdateJob(TJob* pJob, HANDLE hCompleted, HANDLE hStop, HWND hWndPage)
{
    HANDLE handles[2] = {hCompleted, hStop};
    DWORD dwWait = ::WaitForMultipleObjects(2, handles, FALSE, INFINITE);
    if (dwWait == WAIT_OBJECT_0)
        return TRUE;
    if (dwWait != WAIT_OBJECT_0 + 1)
        return FALSE;
    HRESULT hr = pJob->RequestAbort();
    if (FAILED(hr))
        PostUpdateNotice(hWndPage, UPDATE_NOTICE_ABORT_REFUSED, hr);
    return ::WaitForSingleObject(hCompleted, g_dwUpdateAbortWaitMs.load()) == WAIT_OBJECT_0;
}

template <class TJob>
BOOL WaitForUpdateJob(TJob* pJob, HANDLE hCompleted, CUpdateRun& run)
{
    return WaitForUpdateJob(pJob, hCompleted, run.m_hStop, run.m_hWndPage);
}
