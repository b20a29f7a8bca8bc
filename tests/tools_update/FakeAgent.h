#pragma once
// Doubles of the Windows Update Agent behind the page's factory seam. Every
// double answers E_NOTIMPL except what a test programs; search, download and
// installation jobs complete on their own thread and call the completion
// callback, and a job's CleanUp waits for the job to end, as the agent does.
// A scenario says what the next objects do.
#include "tools/UpdateAgent.h"
#include <string>
#include <vector>

namespace fakeagent {

struct FakeUpdatePlan
{
    std::wstring strTitle;
    std::wstring strSeverity;
    int nDownloadResult = 2;
    int nInstallResult = 2;
};

struct Scenario
{
    HRESULT hrSession = S_OK;      // the factory's answer per ProgID
    HRESULT hrCollection = S_OK;
    HRESULT hrDownloader = S_OK;
    HRESULT hrInstaller = S_OK;
    HRESULT hrSearch = S_OK;
    HRESULT hrBeginDownload = S_OK;
    HRESULT hrBeginInstall = S_OK;
    HRESULT hrRequestAbort = S_OK;
    std::vector<FakeUpdatePlan> arrUpdates;
    std::vector<int> arrUnreadable;   // item positions whose get_Item fails
    DWORD dwDownloadMs = 10;
    DWORD dwInstallMs = 10;
    BOOL bDownloadsWaitForAbort = FALSE;   // complete (aborted) only when asked
    BOOL bDownloadsNeverComplete = FALSE;  // not even then
    DWORD dwSearchMs = 0;
    HRESULT hrBeginSearch = S_OK;
    BOOL bSearchWaitsForAbort = FALSE;     // completes (aborted) only when asked
    BOOL bSearchNeverCompletes = FALSE;    // not even then
};

// Installs the fake factory with a scenario; Uninstall brings the real one back
// and ends jobs that are still waiting.
void Install(const Scenario& scenario);
void Uninstall();
Scenario& Current();

// Fake objects alive, and factory calls per ProgID.
long LiveObjects();
int Created(const std::wstring& strProgId);
// What happened, in order: "search:C" (C the criteria), "search-abort",
// "search-done", "search-cleanup", "download-begin:T", "download-abort:T",
// "download-done:T", "download-cleanup:T", and the same for "install"
// (T the update's title).
std::vector<std::wstring> Log();
void ClearLog();

// A fake update collection with the given updates, one reference for the caller.
IUpdateCollection* MakeCollection(const std::vector<FakeUpdatePlan>& arrUpdates);
// A fake update with every field filled as the tests of the record expect.
IUpdate* MakeDetailedUpdate(const std::wstring& strSeverity, ULONG64 nMaxSize, BOOL bEmptyLists);

ULONG RefCount(IUnknown* pUnknown);

} // namespace fakeagent
