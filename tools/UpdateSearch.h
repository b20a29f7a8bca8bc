#pragma once
// The search for updates that are neither installed nor hidden, run by the
// agent's asynchronous search so that the page's end can abort it. The
// worker hands the page one result: the rows' records, the found collection
// and, when the search failed, why.
#include "tools/UpdateInfo.h"
#include "tools/UpdateRun.h"
#include <memory>
#include <vector>

struct UpdateSearchResult
{
    UpdateSearchResult() = default;
    ~UpdateSearchResult();
    UpdateSearchResult(const UpdateSearchResult&) = delete;
    UpdateSearchResult& operator=(const UpdateSearchResult&) = delete;

    BOOL bFailed = FALSE;
    UpdateNotice nNotice = UPDATE_NOTICE_SEARCH_FAILED;
    HRESULT hr = S_OK;
    std::vector<UpdateInfo> arrInfo;   // severity still the agent's text
    IUnknown* pFound = NULL;           // owned until the page takes it
};

struct UpdateSearchJob
{
    HWND hWndPage;
    IUnknown* pOldFound;   // the last search's collection, released by the worker
    HANDLE hStop;          // the worker's own handle of the page's stop event; it closes it
};

// Thread parameter: a new UpdateSearchJob, which the thread deletes.
UINT __cdecl SearchUpdatesThread(LPVOID pParam);

// What the search tells the page (run on the page's thread).
void PostUpdateSearchStatus(HWND hWndPage, LPCWSTR pszKey);
void PostUpdateSearchDone(HWND hWndPage, const std::shared_ptr<UpdateSearchResult>& pResult);
