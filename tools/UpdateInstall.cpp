// The install queue: each successful download installed in its own row, one
// at a time, while later downloads go on.
#include "tools/UpdateRun.h"
#include "tools/UpdateCallbacks.h"
#include "tools/UpdateInfo.h"

void InstallDownloadedUpdate(CUpdateRun& run, int k)
{
    int nRow = -1;
    CAgentPtr<IUpdate> update(run.TakeDownloaded(k, nRow));
    if (!update)
        return;
    CAgentPtr<IUpdateInstaller> installer;
    CAgentPtr<IUpdateCollection> updates;
    if (!CreateRunAgentObject(run.m_hWndPage, L"Microsoft.Update.Installer", installer) ||
        !CreateRunAgentObject(run.m_hWndPage, L"Microsoft.Update.UpdateColl", updates))
        return;
    LONG nAdded = -1;
    updates->Clear();
    if (FAILED(updates->Add(update.Get(), &nAdded)) || FAILED(installer->put_Updates(updates.Get())))
        return;

    CAgentPtr<CInstallationProgressChangedCallback> progress(new CInstallationProgressChangedCallback);
    CAgentPtr<CInstallationCompletedCallback> completed(new CInstallationCompletedCallback);
    VARIANT_BOOL bBusy = VARIANT_FALSE;
    if (completed->GetCompletedEvent() == NULL || FAILED(installer->get_IsBusy(&bBusy)))
        return;
    CAgentPtr<IInstallationJob> job;
    auto fnBegin = [&](VARIANT state, IInstallationJob** ppJob) {
        return installer->BeginInstall(progress.Get(), completed.Get(), state, ppJob);
    };
    if (!BeginUpdateJob(run, installer.Get(), fnBegin, job))
        return;
    PostUpdateRowState(run.m_hWndPage, nRow, UPDATE_ROW_INSTALLING, 0);

    // As with a download: only a completed job is cleaned up.
    int nResult = orcAborted;
    if (WaitForUpdateJob(job.Get(), completed->GetCompletedEvent(), run))
    {
        CAgentPtr<IInstallationResult> result;
        nResult = orcFailed;
        if (SUCCEEDED(installer->EndInstall(job.Get(), result.Out())) && result)
            nResult = OwnUpdateResult<IUpdateInstallationResult>(result.Get(), 0);
        job->CleanUp();
    }
    PostUpdateRowState(run.m_hWndPage, nRow, UPDATE_ROW_INSTALLED, nResult);
}

UINT __cdecl InstallQueueThread(LPVOID pParam)
{
    std::unique_ptr<UpdateRunPtr> pHolder(static_cast<UpdateRunPtr*>(pParam));
    UpdateRunPtr pRun = *pHolder;
    {
        CUpdateComScope com;
        for (int k = 0; SUCCEEDED(com.Result()) && k < UPDATE_RUN_LIMIT; ++k)
        {
            // Stop first; a download that is over before the walk's end is
            // still installed; the walk's end with nothing more ends the queue.
            HANDLE handles[3] = {pRun->m_hStop, pRun->m_hDownloaded[k], pRun->m_hWalkEnd};
            DWORD dwWait = ::WaitForMultipleObjects(3, handles, FALSE, INFINITE);
            BOOL bNext = dwWait == WAIT_OBJECT_0 + 1 ||
                         (dwWait == WAIT_OBJECT_0 + 2 && ::WaitForSingleObject(pRun->m_hDownloaded[k], 0) == WAIT_OBJECT_0);
            if (!bNext)
                break;
            InstallDownloadedUpdate(*pRun, k);
        }
        pRun->LeaveWorker();
    }
    PostUpdateThreadEnded(pRun->m_hWndPage, pRun);
    return 0;
}
