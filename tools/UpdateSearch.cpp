#include "tools/UpdateSearch.h"
#include "tools/UpdateCallbacks.h"

namespace {

const LPCWSTR SEARCH_CRITERIA = L"IsInstalled=0 and IsHidden=0 and Type='Software'";

void Fail(UpdateSearchResult& result, UpdateNotice nNotice, HRESULT hr)
{
    result.bFailed = TRUE;
    result.nNotice = nNotice;
    result.hr = hr;
}

BOOL IsStopped(HANDLE hStop)
{
    return ::WaitForSingleObject(hStop, 0) == WAIT_OBJECT_0;
}

void Search(const UpdateSearchJob& job, UpdateSearchResult& result)
{
    HWND hWndPage = job.hWndPage;
    PostUpdateSearchStatus(hWndPage, L"M_UPDATE_INIT");
    CAgentPtr<IUpdateSession> session;
    HRESULT hr = CreateUpdateAgentObject(L"Microsoft.Update.Session", __uuidof(IUpdateSession), session.OutVoid());
    if (FAILED(hr) || !session)
    {
        session.Detach();
        Fail(result, IsUpdateClassMissing(hr) ? UPDATE_NOTICE_CLASS_MISSING : UPDATE_NOTICE_NOT_STARTED,
             FAILED(hr) ? hr : E_POINTER);
        return;
    }
    CAgentPtr<IUpdateSearcher> searcher;
    hr = session->CreateUpdateSearcher(searcher.Out());
    if (FAILED(hr) || !searcher)
    {
        Fail(result, UPDATE_NOTICE_SEARCH_FAILED, FAILED(hr) ? hr : E_POINTER);
        return;
    }
    PostUpdateSearchStatus(hWndPage, L"M_UPDATE_START_SEARCH");
    CAgentBstr criteria(SEARCH_CRITERIA);
    CAgentPtr<CSearchCompletedCallback> completed(new CSearchCompletedCallback);
    if (completed->GetCompletedEvent() == NULL)
    {
        Fail(result, UPDATE_NOTICE_SEARCH_FAILED, HRESULT_FROM_WIN32(::GetLastError()));
        return;
    }
    VARIANT state;
    ::VariantInit(&state);
    state.vt = VT_BOOL;
    state.boolVal = VARIANT_FALSE;
    CAgentPtr<ISearchJob> searchJob;
    hr = searcher->BeginSearch(criteria.Get(), completed.Get(), state, searchJob.Out());
    if (FAILED(hr) || !searchJob)
    {
        Fail(result, UPDATE_NOTICE_SEARCH_FAILED, FAILED(hr) ? hr : E_POINTER);
        return;
    }
    // A search that ignores the abort keeps its callback until it ends.
    if (!WaitForUpdateJob(searchJob.Get(), completed->GetCompletedEvent(), job.hStop, hWndPage))
    {
        Fail(result, UPDATE_NOTICE_SEARCH_FAILED, E_ABORT);
        return;
    }
    CAgentPtr<ISearchResult> found;
    hr = searcher->EndSearch(searchJob.Get(), found.Out());
    searchJob->CleanUp();
    if (IsStopped(job.hStop))
    {
        Fail(result, UPDATE_NOTICE_SEARCH_FAILED, E_ABORT);
        return;
    }
    if (FAILED(hr) || !found)
    {
        Fail(result, UPDATE_NOTICE_SEARCH_FAILED, FAILED(hr) ? hr : E_POINTER);
        return;
    }
    PostUpdateSearchStatus(hWndPage, L"M_UPDATE_END_SEARCH");
    CAgentPtr<IUpdateCollection> updates;
    LONG nCount = 0;
    hr = found->get_Updates(updates.Out());
    if (SUCCEEDED(hr) && updates)
        hr = updates->get_Count(&nCount);
    if (FAILED(hr) || !updates)
    {
        Fail(result, UPDATE_NOTICE_SEARCH_FAILED, FAILED(hr) ? hr : E_POINTER);
        return;
    }
    for (LONG i = 0; i < nCount; ++i)
    {
        if (IsStopped(job.hStop))
        {
            Fail(result, UPDATE_NOTICE_SEARCH_FAILED, E_ABORT);
            result.arrInfo.clear();
            return;
        }
        CAgentPtr<IUpdate> update;
        if (FAILED(updates->get_Item(i, update.Out())) || !update)
            continue;
        UpdateInfo info;
        if (FAILED(ReadUpdateInfo(update.Get(), info)))
            continue;
        info.m_nItem = (int)i;
        result.arrInfo.push_back(info);
    }
    result.pFound = updates.Detach();
}

} // namespace

UpdateSearchResult::~UpdateSearchResult()
{
    if (pFound != NULL)
        pFound->Release();
}

UINT __cdecl SearchUpdatesThread(LPVOID pParam)
{
    std::unique_ptr<UpdateSearchJob> pJob(static_cast<UpdateSearchJob*>(pParam));
    std::shared_ptr<UpdateSearchResult> pResult(new UpdateSearchResult);
    {
        CUpdateComScope com;
        if (pJob->pOldFound != NULL)
            pJob->pOldFound->Release();
        pJob->pOldFound = NULL;
        if (SUCCEEDED(com.Result()))
            Search(*pJob, *pResult);
        else
            Fail(*pResult, UPDATE_NOTICE_SEARCH_FAILED, com.Result());
    }
    ::CloseHandle(pJob->hStop);
    PostUpdateSearchDone(pJob->hWndPage, pResult);
    return 0;
}
