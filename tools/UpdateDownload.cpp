// The download walk: the checked rows one after another, each download
// waited for through its completion callback.
#include "tools/UpdateRun.h"
#include "tools/UpdateCallbacks.h"
#include "tools/UpdateInfo.h"

namespace {

void DownloadWalk(CUpdateRun& run)
{
    CAgentPtr<IUpdateCollection> found;
    if (run.m_pFound == NULL || FAILED(run.m_pFound->QueryInterface(__uuidof(IUpdateCollection), found.OutVoid())) || !found)
        return;
    CAgentPtr<IUpdateCollection> downloads;
    CAgentPtr<IUpdateDownloader> downloader;
    if (!CreateRunAgentObject(run.m_hWndPage, L"Microsoft.Update.UpdateColl", downloads) ||
        !CreateRunAgentObject(run.m_hWndPage, L"Microsoft.Update.Downloader", downloader))
        return;

    LONG nInCollection = 0;
    for (const UpdateRowRef& ref : run.m_arrRows)
    {
        if (run.IsStopped())
            return;
        if (run.GetDownloadedCount() >= UPDATE_RUN_LIMIT)
        {
            PostUpdateNotice(run.m_hWndPage, UPDATE_NOTICE_RUN_LIMIT, S_OK);
            return;
        }
        CAgentPtr<IUpdate> update;
        if (FAILED(found->get_Item(ref.nItem, update.Out())) || !update)
            continue;
        LONG nAdded = -1;
        if (FAILED(downloads->Add(update.Get(), &nAdded)) || FAILED(downloader->put_Updates(downloads.Get())))
            return;
        LONG nIndex = nInCollection++;

        CAgentPtr<CDownloadProgressChangedCallback> progress(new CDownloadProgressChangedCallback);
        CAgentPtr<CDownloadCompletedCallback> completed(new CDownloadCompletedCallback);
        if (completed->GetCompletedEvent() == NULL)
        {
            PostUpdateNotice(run.m_hWndPage, UPDATE_NOTICE_BEGIN_FAILED, HRESULT_FROM_WIN32(::GetLastError()));
            return;
        }
        CAgentPtr<IDownloadJob> job;
        auto fnBegin = [&](VARIANT state, IDownloadJob** ppJob) {
            return downloader->BeginDownload(progress.Get(), completed.Get(), state, ppJob);
        };
        if (!BeginUpdateJob(run, downloader.Get(), fnBegin, job))
            return;
        PostUpdateRowState(run.m_hWndPage, ref.nRow, UPDATE_ROW_DOWNLOADING, 0);

        // A job that never completes, not even when asked to abort, counts as
        // aborted; it keeps its callbacks (they hold nothing else) until it ends.
        int nResult = orcAborted;
        if (WaitForUpdateJob(job.Get(), completed->GetCompletedEvent(), run))
        {
            CAgentPtr<IDownloadResult> result;
            nResult = orcFailed;
            if (SUCCEEDED(downloader->EndDownload(job.Get(), result.Out())) && result)
                // Every job covers the whole collection so far, so the job's
                // overall code also speaks for the earlier rows.
                nResult = OwnUpdateResult<IUpdateDownloadResult>(result.Get(), nIndex);
            job->CleanUp();
        }
        // The row shows its result before the queue may start installing it.
        PostUpdateRowState(run.m_hWndPage, ref.nRow, UPDATE_ROW_DOWNLOADED, nResult);
        if (IsUpdateResultSuccess(nResult))
            run.AddDownloaded(ref.nRow, update.Detach());
    }
}

} // namespace

UINT __cdecl DownloadUpdatesThread(LPVOID pParam)
{
    std::unique_ptr<UpdateRunPtr> pHolder(static_cast<UpdateRunPtr*>(pParam));
    UpdateRunPtr pRun = *pHolder;
    {
        CUpdateComScope com;
        if (SUCCEEDED(com.Result()))
            DownloadWalk(*pRun);
        // Every way out of the walk lets the queue finish.
        ::SetEvent(pRun->m_hWalkEnd);
        pRun->LeaveWorker();
    }
    PostUpdateThreadEnded(pRun->m_hWndPage, pRun);
    return 0;
}
