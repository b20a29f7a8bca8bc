#include "tests/tools_update/FakeAgent.h"
#include "tests/tools_update/FakeAgentBase.h"
#include "framework/WinThread.h"

#include <map>
#include <mutex>

namespace fakeagent {

std::atomic<long> g_nLiveObjects(0);

namespace {

std::mutex g_lock;
Scenario g_scenario;
std::map<std::wstring, int> g_created;
std::vector<std::wstring> g_log;
HANDLE g_hReleaseAll = ::CreateEventW(NULL, TRUE, FALSE, NULL);
// Longest time a job thread waits for anything.
const DWORD JOB_LIMIT_MS = 60000;

void AddLog(const std::wstring& strEntry)
{
    std::lock_guard<std::mutex> guard(g_lock);
    g_log.push_back(strEntry);
}

Scenario Snapshot()
{
    std::lock_guard<std::mutex> guard(g_lock);
    return g_scenario;
}

BSTR Text(const std::wstring& str)
{
    return ::SysAllocString(str.c_str());
}

class CFakeStrings : public CFakeStringCollectionBase
{
public:
    explicit CFakeStrings(const std::vector<std::wstring>& arrItems) : m_arrItems(arrItems) {}
    HRESULT STDMETHODCALLTYPE get_Count(LONG* pnCount) override
    {
        *pnCount = (LONG)m_arrItems.size();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_Item(LONG nIndex, BSTR* pbstr) override
    {
        if (nIndex < 0 || nIndex >= (LONG)m_arrItems.size())
            return E_INVALIDARG;
        *pbstr = Text(m_arrItems[nIndex]);
        return S_OK;
    }

private:
    std::vector<std::wstring> m_arrItems;
};

class CFakeUpdate : public CFakeUpdateBase
{
public:
    explicit CFakeUpdate(const FakeUpdatePlan& plan) : m_plan(plan) {}

    HRESULT STDMETHODCALLTYPE get_Title(BSTR* pbstr) override
    {
        *pbstr = Text(m_plan.strTitle);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_MsrcSeverity(BSTR* pbstr) override
    {
        *pbstr = Text(m_plan.strSeverity);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_Description(BSTR* pbstr) override
    {
        return DetailText(pbstr, L"What " + m_plan.strTitle + L" mends.");
    }
    HRESULT STDMETHODCALLTYPE get_SupportUrl(BSTR* pbstr) override
    {
        return DetailText(pbstr, L"http://support.example/");
    }
    HRESULT STDMETHODCALLTYPE get_ReleaseNotes(BSTR* pbstr) override { return DetailText(pbstr, L"Notes"); }
    HRESULT STDMETHODCALLTYPE get_DownloadPriority(DownloadPriority* pnPriority) override
    {
        return Detail(pnPriority, (DownloadPriority)1);
    }
    HRESULT STDMETHODCALLTYPE get_Type(UpdateType* pnType) override { return Detail(pnType, (UpdateType)2); }
    HRESULT STDMETHODCALLTYPE get_MaxDownloadSize(DECIMAL* pSize) override
    {
        if (!m_bDetailed)
            return E_NOTIMPL;
        return ::VarDecFromUI8(m_nMaxSize, pSize);
    }
    HRESULT STDMETHODCALLTYPE get_LastDeploymentChangeTime(DATE* pDate) override
    {
        if (!m_bDetailed)
            return E_NOTIMPL;
        SYSTEMTIME st = {};
        st.wYear = 2008;
        st.wMonth = 6;
        st.wDay = 14;
        st.wHour = 10;
        return ::SystemTimeToVariantTime(&st, pDate) ? S_OK : E_FAIL;
    }
    HRESULT STDMETHODCALLTYPE get_KBArticleIDs(IStringCollection** ppStrings) override
    {
        return DetailList(ppStrings, {L"950000", L"950001"});
    }
    HRESULT STDMETHODCALLTYPE get_MoreInfoUrls(IStringCollection** ppStrings) override
    {
        return DetailList(ppStrings, {L"http://more.example/kb"});
    }

    // A search that did not ask for the details finds none of them.
    template <class T>
    HRESULT Detail(T* pValue, T value)
    {
        if (!m_bDetailed)
            return E_NOTIMPL;
        *pValue = value;
        return S_OK;
    }
    HRESULT DetailText(BSTR* pbstr, const std::wstring& str)
    {
        if (!m_bDetailed)
            return E_NOTIMPL;
        *pbstr = Text(str);
        return S_OK;
    }
    HRESULT DetailList(IStringCollection** ppStrings, const std::vector<std::wstring>& arrItems)
    {
        if (!m_bDetailed)
            return E_NOTIMPL;
        *ppStrings = new CFakeStrings(m_bEmptyLists ? std::vector<std::wstring>() : arrItems);
        return S_OK;
    }

    FakeUpdatePlan m_plan;
    BOOL m_bDetailed = FALSE;
    BOOL m_bEmptyLists = FALSE;
    ULONG64 m_nMaxSize = 0;
};

class CFakeCollection : public CFakeUpdateCollectionBase
{
public:
    ~CFakeCollection() override { Clear(); }
    HRESULT STDMETHODCALLTYPE get_Count(LONG* pnCount) override
    {
        std::lock_guard<std::mutex> guard(m_lock);
        *pnCount = (LONG)m_arrItems.size();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_Item(LONG nIndex, IUpdate** ppUpdate) override
    {
        std::lock_guard<std::mutex> guard(m_lock);
        *ppUpdate = NULL;
        if (nIndex < 0 || nIndex >= (LONG)m_arrItems.size())
            return E_INVALIDARG;
        for (int nBad : m_arrUnreadable)
            if (nBad == nIndex)
                return E_FAIL;
        *ppUpdate = m_arrItems[nIndex];
        (*ppUpdate)->AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Add(IUpdate* pUpdate, LONG* pnIndex) override
    {
        if (pUpdate == NULL)
            return E_POINTER;
        std::lock_guard<std::mutex> guard(m_lock);
        pUpdate->AddRef();
        m_arrItems.push_back(pUpdate);
        if (pnIndex != NULL)
            *pnIndex = (LONG)m_arrItems.size() - 1;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Clear() override
    {
        std::vector<IUpdate*> arrItems;
        {
            std::lock_guard<std::mutex> guard(m_lock);
            arrItems.swap(m_arrItems);
        }
        for (IUpdate* pUpdate : arrItems)
            pUpdate->Release();
        return S_OK;
    }
    // The plans of the updates, in order (the fake updates only).
    std::vector<FakeUpdatePlan> Plans()
    {
        std::lock_guard<std::mutex> guard(m_lock);
        std::vector<FakeUpdatePlan> arrPlans;
        for (IUpdate* pUpdate : m_arrItems)
            arrPlans.push_back(static_cast<CFakeUpdate*>(pUpdate)->m_plan);
        return arrPlans;
    }

    std::vector<int> m_arrUnreadable;

private:
    std::mutex m_lock;
    std::vector<IUpdate*> m_arrItems;
};

class CFakeSearchResult : public CFakeSearchResultBase
{
public:
    explicit CFakeSearchResult(IUpdateCollection* pUpdates) : m_pUpdates(pUpdates) {}
    ~CFakeSearchResult() override { m_pUpdates->Release(); }
    HRESULT STDMETHODCALLTYPE get_Updates(IUpdateCollection** ppUpdates) override
    {
        m_pUpdates->AddRef();
        *ppUpdates = m_pUpdates;
        return S_OK;
    }

private:
    IUpdateCollection* m_pUpdates;
};

// A search job: completes on its own thread after the scenario's time (or
// when aborted, or never) and calls its callback.
class CFakeSearchJob : public CFakeSearchJobBase
{
public:
    CFakeSearchJob(IUnknown* pCompleted, const Scenario& scenario)
        : m_pCompleted(pCompleted), m_scenario(scenario), m_hAbort(::CreateEventW(NULL, TRUE, FALSE, NULL)),
          m_hDone(::CreateEventW(NULL, TRUE, FALSE, NULL)), m_bCompleted(false), m_bAborted(false)
    {
        if (m_pCompleted != NULL)
            m_pCompleted->AddRef();
    }
    ~CFakeSearchJob() override
    {
        if (m_pCompleted != NULL)
            m_pCompleted->Release();
        ::CloseHandle(m_hAbort);
        ::CloseHandle(m_hDone);
    }
    void Start()
    {
        AddRef();
        HANDLE hThread = AfxBeginWorker(&CFakeSearchJob::JobThreadProc, this);
        if (hThread != NULL)
            ::CloseHandle(hThread);
        else
            Release();
    }
    HRESULT STDMETHODCALLTYPE RequestAbort() override
    {
        AddLog(L"search-abort");
        if (FAILED(m_scenario.hrRequestAbort))
            return m_scenario.hrRequestAbort;
        ::SetEvent(m_hAbort);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE CleanUp() override
    {
        AddLog(L"search-cleanup");
        HANDLE handles[2] = {m_hDone, g_hReleaseAll};
        ::WaitForMultipleObjects(2, handles, FALSE, JOB_LIMIT_MS);
        return S_OK;
    }
    bool IsCompleted() const { return m_bCompleted.load(); }
    bool IsAborted() const { return m_bAborted.load(); }
    const Scenario& GetScenario() const { return m_scenario; }

private:
    static UINT __cdecl JobThreadProc(LPVOID pParam)
    {
        static_cast<CFakeSearchJob*>(pParam)->Run();
        static_cast<CFakeSearchJob*>(pParam)->Release();
        return 0;
    }
    void Run()
    {
        BOOL bWaitsForAbort = m_scenario.bSearchWaitsForAbort || m_scenario.bSearchNeverCompletes;
        HANDLE handles[2] = {m_hAbort, g_hReleaseAll};
        DWORD dwWait = ::WaitForMultipleObjects(2, handles, FALSE, bWaitsForAbort ? JOB_LIMIT_MS : m_scenario.dwSearchMs);
        if (dwWait == WAIT_OBJECT_0 && !m_scenario.bSearchNeverCompletes)
        {
            m_bAborted.store(true);
        }
        else if (dwWait != WAIT_TIMEOUT || bWaitsForAbort)
        {
            ::WaitForSingleObject(g_hReleaseAll, JOB_LIMIT_MS);
            return;
        }
        m_bCompleted.store(true);
        AddLog(L"search-done");
        ISearchCompletedCallback* pCallback = NULL;
        if (m_pCompleted != NULL &&
            SUCCEEDED(m_pCompleted->QueryInterface(__uuidof(ISearchCompletedCallback), (void**)&pCallback)))
        {
            pCallback->Invoke(this, NULL);
            pCallback->Release();
        }
        ::SetEvent(m_hDone);
    }

    IUnknown* m_pCompleted;
    Scenario m_scenario;
    HANDLE m_hAbort;
    HANDLE m_hDone;
    std::atomic<bool> m_bCompleted;
    std::atomic<bool> m_bAborted;
};

class CFakeSearcher : public CFakeSearcherBase
{
public:
    HRESULT STDMETHODCALLTYPE BeginSearch(BSTR bstrCriteria, IUnknown* pCompleted, VARIANT, ISearchJob** ppJob) override
    {
        Scenario scenario = Snapshot();
        AddLog(std::wstring(L"search:") + (bstrCriteria != NULL ? bstrCriteria : L""));
        if (FAILED(scenario.hrBeginSearch))
            return scenario.hrBeginSearch;
        CFakeSearchJob* pJob = new CFakeSearchJob(pCompleted, scenario);
        pJob->Start();
        *ppJob = pJob;
        return S_OK;
    }
    // Never waits, as EndDownload.
    HRESULT STDMETHODCALLTYPE EndSearch(ISearchJob* pSearchJob, ISearchResult** ppResult) override
    {
        CFakeSearchJob* pJob = static_cast<CFakeSearchJob*>(pSearchJob);
        if (!pJob->IsCompleted())
            return E_FAIL;
        const Scenario& scenario = pJob->GetScenario();
        if (FAILED(scenario.hrSearch))
            return scenario.hrSearch;
        CFakeCollection* pUpdates =
            static_cast<CFakeCollection*>(MakeCollection(pJob->IsAborted() ? std::vector<FakeUpdatePlan>() : scenario.arrUpdates));
        pUpdates->m_arrUnreadable = scenario.arrUnreadable;
        *ppResult = new CFakeSearchResult(pUpdates);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE Search(BSTR bstrCriteria, ISearchResult** ppResult) override
    {
        Scenario scenario = Snapshot();
        AddLog(std::wstring(L"search:") + (bstrCriteria != NULL ? bstrCriteria : L""));
        if (scenario.dwSearchMs > 0)
            ::Sleep(scenario.dwSearchMs);
        if (FAILED(scenario.hrSearch))
            return scenario.hrSearch;
        CFakeCollection* pUpdates = static_cast<CFakeCollection*>(MakeCollection(scenario.arrUpdates));
        pUpdates->m_arrUnreadable = scenario.arrUnreadable;
        *ppResult = new CFakeSearchResult(pUpdates);
        return S_OK;
    }
};

class CFakeSession : public CFakeSessionBase
{
public:
    HRESULT STDMETHODCALLTYPE CreateUpdateSearcher(IUpdateSearcher** ppSearcher) override
    {
        *ppSearcher = new CFakeSearcher;
        return S_OK;
    }
};

// A job of either kind: completes on its own thread and calls its callback.
template <class TBase, class TCallback>
class CFakeJob : public TBase
{
public:
    CFakeJob(const std::vector<FakeUpdatePlan>& arrPlans, IUnknown* pCompleted, BOOL bInstall)
        : m_arrPlans(arrPlans), m_pCompleted(pCompleted), m_bInstall(bInstall), m_hAbort(::CreateEventW(NULL, TRUE, FALSE, NULL)),
          m_hDone(::CreateEventW(NULL, TRUE, FALSE, NULL)), m_bCompleted(false)
    {
        if (m_pCompleted != NULL)
            m_pCompleted->AddRef();
        m_arrResults.assign(arrPlans.size(), 1);
    }
    ~CFakeJob() override
    {
        if (m_pCompleted != NULL)
            m_pCompleted->Release();
        ::CloseHandle(m_hAbort);
        ::CloseHandle(m_hDone);
    }
    void Start(const Scenario& scenario)
    {
        m_scenario = scenario;
        this->AddRef();
        HANDLE hThread = AfxBeginWorker(&CFakeJob::JobThreadProc, this);
        if (hThread != NULL)
            ::CloseHandle(hThread);
        else
            this->Release();
    }
    HRESULT STDMETHODCALLTYPE RequestAbort() override
    {
        AddLog(Kind() + L"-abort:" + Title());
        if (FAILED(m_scenario.hrRequestAbort))
            return m_scenario.hrRequestAbort;
        ::SetEvent(m_hAbort);
        return S_OK;
    }
    // As the agent's: waits for the job to end.
    HRESULT STDMETHODCALLTYPE CleanUp() override
    {
        AddLog(Kind() + L"-cleanup:" + Title());
        HANDLE handles[2] = {m_hDone, g_hReleaseAll};
        ::WaitForMultipleObjects(2, handles, FALSE, JOB_LIMIT_MS);
        return S_OK;
    }

    // The results as they stand: "in progress" until the job completed.
    void Results(std::vector<int>& arrResults, int& nOverall)
    {
        if (!m_bCompleted.load())
        {
            arrResults.assign(m_arrPlans.size(), 1);
            nOverall = 1;
            return;
        }
        arrResults = m_arrResults;
        nOverall = 2;
        for (int nResult : arrResults)
            if (nResult != 2 && nResult != 3)
                nOverall = nResult == 5 ? 5 : 4;
    }

private:
    static UINT __cdecl JobThreadProc(LPVOID pParam)
    {
        static_cast<CFakeJob*>(pParam)->Run();
        static_cast<CFakeJob*>(pParam)->Release();
        return 0;
    }
    void Run()
    {
        BOOL bWaitsForAbort = !m_bInstall && (m_scenario.bDownloadsWaitForAbort || m_scenario.bDownloadsNeverComplete);
        DWORD dwMs = bWaitsForAbort ? JOB_LIMIT_MS : (m_bInstall ? m_scenario.dwInstallMs : m_scenario.dwDownloadMs);
        HANDLE handles[2] = {m_hAbort, g_hReleaseAll};
        DWORD dwWait = ::WaitForMultipleObjects(2, handles, FALSE, dwMs);
        if (dwWait == WAIT_TIMEOUT && !bWaitsForAbort)
        {
            for (size_t i = 0; i < m_arrPlans.size(); ++i)
                m_arrResults[i] = m_bInstall ? m_arrPlans[i].nInstallResult : m_arrPlans[i].nDownloadResult;
        }
        else if (dwWait == WAIT_OBJECT_0 && !(m_scenario.bDownloadsNeverComplete && !m_bInstall))
        {
            m_arrResults.assign(m_arrPlans.size(), 5);
        }
        else
        {
            // Never completes: only the end of the test lets the thread go.
            ::WaitForSingleObject(g_hReleaseAll, JOB_LIMIT_MS);
            return;
        }
        m_bCompleted.store(true);
        AddLog(Kind() + L"-done:" + Title());
        TCallback* pCallback = NULL;
        if (m_pCompleted != NULL && SUCCEEDED(m_pCompleted->QueryInterface(__uuidof(TCallback), (void**)&pCallback)))
        {
            pCallback->Invoke(this, NULL);
            pCallback->Release();
        }
        ::SetEvent(m_hDone);
    }
    std::wstring Kind() const { return m_bInstall ? L"install" : L"download"; }
    std::wstring Title() const { return m_arrPlans.empty() ? std::wstring() : m_arrPlans.back().strTitle; }

    std::vector<FakeUpdatePlan> m_arrPlans;
    std::vector<int> m_arrResults;
    IUnknown* m_pCompleted;
    BOOL m_bInstall;
    HANDLE m_hAbort;
    HANDLE m_hDone;
    std::atomic<bool> m_bCompleted;
    Scenario m_scenario;
};

typedef CFakeJob<CFakeDownloadJobBase, IDownloadCompletedCallback> CFakeDownloadJob;
typedef CFakeJob<CFakeInstallationJobBase, IInstallationCompletedCallback> CFakeInstallationJob;

// One update's result code.
template <class TBase>
class CFakeUpdateResult : public TBase
{
public:
    explicit CFakeUpdateResult(int nResult) : m_nResult(nResult) {}
    HRESULT STDMETHODCALLTYPE get_ResultCode(OperationResultCode* pnCode) override
    {
        *pnCode = (OperationResultCode)m_nResult;
        return S_OK;
    }

private:
    int m_nResult;
};

typedef CFakeUpdateResult<CFakeUpdateDownloadResultBase> CFakeUpdateDownloadResult;
typedef CFakeUpdateResult<CFakeUpdateInstallationResultBase> CFakeUpdateInstallationResult;

// A whole run's result code and one result per update.
template <class TBase, class TUpdateResult, class TFakeUpdateResult>
class CFakeRunResult : public TBase
{
public:
    CFakeRunResult(const std::vector<int>& arrResults, int nOverall) : m_arrResults(arrResults), m_nOverall(nOverall) {}
    HRESULT STDMETHODCALLTYPE get_ResultCode(OperationResultCode* pnCode) override
    {
        *pnCode = (OperationResultCode)m_nOverall;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetUpdateResult(LONG nIndex, TUpdateResult** ppResult) override
    {
        if (nIndex < 0 || nIndex >= (LONG)m_arrResults.size())
            return E_INVALIDARG;
        *ppResult = new TFakeUpdateResult(m_arrResults[nIndex]);
        return S_OK;
    }

private:
    std::vector<int> m_arrResults;
    int m_nOverall;
};

typedef CFakeRunResult<CFakeDownloadResultBase, IUpdateDownloadResult, CFakeUpdateDownloadResult> CFakeDownloadResult;
typedef CFakeRunResult<CFakeInstallationResultBase, IUpdateInstallationResult, CFakeUpdateInstallationResult>
    CFakeInstallationResult;

// Keeps the collection handed over, as the agent does.
template <class TBase>
class CFakeWithUpdates : public TBase
{
public:
    ~CFakeWithUpdates() override
    {
        if (m_pUpdates != NULL)
            m_pUpdates->Release();
    }
    HRESULT STDMETHODCALLTYPE put_Updates(IUpdateCollection* pUpdates) override
    {
        if (pUpdates == NULL)
            return E_POINTER;
        pUpdates->AddRef();
        if (m_pUpdates != NULL)
            m_pUpdates->Release();
        m_pUpdates = pUpdates;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE put_IsForced(VARIANT_BOOL) override { return S_OK; }

protected:
    std::vector<FakeUpdatePlan> Plans() const
    {
        return m_pUpdates != NULL ? static_cast<CFakeCollection*>(m_pUpdates)->Plans() : std::vector<FakeUpdatePlan>();
    }
    IUpdateCollection* m_pUpdates = NULL;
};

class CFakeDownloader : public CFakeWithUpdates<CFakeDownloaderBase>
{
public:
    HRESULT STDMETHODCALLTYPE BeginDownload(IUnknown*, IUnknown* pCompleted, VARIANT, IDownloadJob** ppJob) override
    {
        Scenario scenario = Snapshot();
        if (FAILED(scenario.hrBeginDownload))
            return scenario.hrBeginDownload;
        std::vector<FakeUpdatePlan> arrPlans = Plans();
        if (arrPlans.empty())
            return E_INVALIDARG;
        AddLog(L"download-begin:" + arrPlans.back().strTitle);
        CFakeDownloadJob* pJob = new CFakeDownloadJob(arrPlans, pCompleted, FALSE);
        pJob->Start(scenario);
        *ppJob = pJob;
        return S_OK;
    }
    // Never waits: a caller that trusts it to block reads "in progress".
    HRESULT STDMETHODCALLTYPE EndDownload(IDownloadJob* pJob, IDownloadResult** ppResult) override
    {
        std::vector<int> arrResults;
        int nOverall = 1;
        static_cast<CFakeDownloadJob*>(pJob)->Results(arrResults, nOverall);
        *ppResult = new CFakeDownloadResult(arrResults, nOverall);
        return S_OK;
    }
};

class CFakeInstaller : public CFakeWithUpdates<CFakeInstallerBase>
{
public:
    HRESULT STDMETHODCALLTYPE get_IsBusy(VARIANT_BOOL* pbBusy) override
    {
        *pbBusy = VARIANT_FALSE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE BeginInstall(IUnknown*, IUnknown* pCompleted, VARIANT, IInstallationJob** ppJob) override
    {
        Scenario scenario = Snapshot();
        if (FAILED(scenario.hrBeginInstall))
            return scenario.hrBeginInstall;
        std::vector<FakeUpdatePlan> arrPlans = Plans();
        if (arrPlans.empty())
            return E_INVALIDARG;
        for (const FakeUpdatePlan& plan : arrPlans)
            AddLog(L"install-begin:" + plan.strTitle);
        CFakeInstallationJob* pJob = new CFakeInstallationJob(arrPlans, pCompleted, TRUE);
        pJob->Start(scenario);
        *ppJob = pJob;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE EndInstall(IInstallationJob* pJob, IInstallationResult** ppResult) override
    {
        std::vector<int> arrResults;
        int nOverall = 1;
        static_cast<CFakeInstallationJob*>(pJob)->Results(arrResults, nOverall);
        *ppResult = new CFakeInstallationResult(arrResults, nOverall);
        return S_OK;
    }
};

HRESULT FakeFactory(LPCWSTR pszProgId, REFIID riid, void** ppv)
{
    *ppv = NULL;
    std::wstring strProgId = pszProgId != NULL ? pszProgId : L"";
    Scenario scenario;
    {
        std::lock_guard<std::mutex> guard(g_lock);
        ++g_created[strProgId];
        scenario = g_scenario;
    }
    IUnknown* pObject = NULL;
    if (strProgId == L"Microsoft.Update.Session")
    {
        if (FAILED(scenario.hrSession))
            return scenario.hrSession;
        pObject = static_cast<IUpdateSession*>(new CFakeSession);
    }
    else if (strProgId == L"Microsoft.Update.UpdateColl")
    {
        if (FAILED(scenario.hrCollection))
            return scenario.hrCollection;
        pObject = static_cast<IUpdateCollection*>(new CFakeCollection);
    }
    else if (strProgId == L"Microsoft.Update.Downloader")
    {
        if (FAILED(scenario.hrDownloader))
            return scenario.hrDownloader;
        pObject = static_cast<IUpdateDownloader*>(new CFakeDownloader);
    }
    else if (strProgId == L"Microsoft.Update.Installer")
    {
        if (FAILED(scenario.hrInstaller))
            return scenario.hrInstaller;
        pObject = static_cast<IUpdateInstaller*>(new CFakeInstaller);
    }
    else
    {
        return CO_E_CLASSSTRING;
    }
    HRESULT hr = pObject->QueryInterface(riid, ppv);
    pObject->Release();
    return hr;
}

} // namespace

void Install(const Scenario& scenario)
{
    {
        std::lock_guard<std::mutex> guard(g_lock);
        g_scenario = scenario;
        g_created.clear();
        g_log.clear();
    }
    ::ResetEvent(g_hReleaseAll);
    SetUpdateAgentFactory(&FakeFactory);
}

void Uninstall()
{
    SetUpdateAgentFactory(NULL);
    ::SetEvent(g_hReleaseAll);
}

Scenario& Current()
{
    return g_scenario;
}

long LiveObjects()
{
    return g_nLiveObjects.load();
}

int Created(const std::wstring& strProgId)
{
    std::lock_guard<std::mutex> guard(g_lock);
    auto it = g_created.find(strProgId);
    return it != g_created.end() ? it->second : 0;
}

std::vector<std::wstring> Log()
{
    std::lock_guard<std::mutex> guard(g_lock);
    return g_log;
}

void ClearLog()
{
    std::lock_guard<std::mutex> guard(g_lock);
    g_log.clear();
}

IUpdateCollection* MakeCollection(const std::vector<FakeUpdatePlan>& arrUpdates)
{
    CFakeCollection* pCollection = new CFakeCollection;
    for (const FakeUpdatePlan& plan : arrUpdates)
    {
        CFakeUpdate* pUpdate = new CFakeUpdate(plan);
        pCollection->Add(pUpdate, NULL);
        pUpdate->Release();
    }
    return pCollection;
}

IUpdate* MakeDetailedUpdate(const std::wstring& strSeverity, ULONG64 nMaxSize, BOOL bEmptyLists)
{
    FakeUpdatePlan plan;
    plan.strTitle = L"Detailed";
    plan.strSeverity = strSeverity;
    CFakeUpdate* pUpdate = new CFakeUpdate(plan);
    pUpdate->m_bDetailed = TRUE;
    pUpdate->m_bEmptyLists = bEmptyLists;
    pUpdate->m_nMaxSize = nMaxSize;
    return pUpdate;
}

ULONG RefCount(IUnknown* pUnknown)
{
    pUnknown->AddRef();
    return pUnknown->Release();
}

} // namespace fakeagent
