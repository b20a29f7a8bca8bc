// The install queue: each successful download installed in its own row, one
// at a time, while later downloads go on.
#include "tools/UpdateRun.h"
#include "tools/UpdateCallbacks.h"
#include "tools/UpdateInfo.h"

namespace {

int OwnInstallResult(IInstallationResult* pResult)
{
    OperationResultCode nCode = orcFailed;
    CAgentPtr<IUpdateInstallationResult> own;
    if (SUCCEEDED(pResult->GetUpdateResult(0, own.Out())) && own && SUCCEEDED(own->get_ResultCode(&nCode)))
        return (int)nCode;
    if (SUCCEEDED(pResult->get_ResultCode(&nCode)))
        return (int)nCode;
    return orcFailed;
}

} // namespace

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
    installer->put_IsForced(VARIANT_TRUE);
    VARIANT state;
    ::VariantInit(&state);
    state.vt = VT_BOOL;
    state.boolVal = VARIANT_FALSE;
    CAgentPtr<IInstallationJob> job;
    HRESULT hr = installer->BeginInstall(progress.Get(), completed.Get(), state, job.Out());
    if (FAILED(hr) || !job)
    {
        PostUpdateNotice(run.m_hWndPage, UPDATE_NOTICE_BEGIN_FAILED, FAILED(hr) ? hr : E_POINTER);
        return;
    }
    PostUpdateRowState(run.m_hWndPage, nRow, UPDATE_ROW_INSTALLING, 0);

    int nResult = orcAborted;
    if (WaitForUpdateJob(job.Get(), completed->GetCompletedEvent(), run))
    {
        CAgentPtr<IInstallationResult> result;
        nResult = orcFailed;
        if (SUCCEEDED(installer->EndInstall(job.Get(), result.Out())) && result)
            nResult = OwnInstallResult(result.Get());
    }
    job->CleanUp();
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
