#pragma once
// The callback objects the agent's asynchronous search, download and
// installation take. The completion callbacks also signal an event, so a worker waits for
// the job itself instead of trusting End...() to block.
#include "tools/UpdateAgent.h"

// Reference counting and interface lookup shared by the four callbacks.
template <class TInterface>
class CUpdateCallback : public TInterface
{
public:
    CUpdateCallback() : m_nRef(1) { ++s_nLive; }
    virtual ~CUpdateCallback() { --s_nLive; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override
    {
        if (ppv == NULL)
            return E_POINTER;
        if (riid == __uuidof(IUnknown) || riid == __uuidof(TInterface))
        {
            *ppv = static_cast<TInterface*>(this);
            AddRef();
            return S_OK;
        }
        *ppv = NULL;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return (ULONG)::InterlockedIncrement(&m_nRef); }
    ULONG STDMETHODCALLTYPE Release() override
    {
        LONG nRef = ::InterlockedDecrement(&m_nRef);
        if (nRef == 0)
            delete this;
        return (ULONG)nRef;
    }

    // Callback objects alive in the process (leak checks).
    static long GetLiveCount() { return s_nLive.load(); }

private:
    volatile LONG m_nRef;
    static std::atomic<long> s_nLive;
};

template <class TInterface>
std::atomic<long> CUpdateCallback<TInterface>::s_nLive(0);

// A completion callback: Invoke sets the event the worker waits on.
template <class TInterface, class TJob, class TArgs>
class CUpdateCompletedCallback : public CUpdateCallback<TInterface>
{
public:
    CUpdateCompletedCallback() : m_hCompleted(::CreateEventW(NULL, TRUE, FALSE, NULL)) {}
    virtual ~CUpdateCompletedCallback()
    {
        if (m_hCompleted != NULL)
            ::CloseHandle(m_hCompleted);
    }
    HRESULT STDMETHODCALLTYPE Invoke(TJob*, TArgs*) override
    {
        if (m_hCompleted != NULL)
            ::SetEvent(m_hCompleted);
        return S_OK;
    }
    // NULL when the event could not be made.
    HANDLE GetCompletedEvent() const { return m_hCompleted; }

private:
    HANDLE m_hCompleted;
};

template <class TInterface, class TJob, class TArgs>
class CUpdateProgressCallback : public CUpdateCallback<TInterface>
{
public:
    // No percentage is shown; the agent needs the object all the same.
    HRESULT STDMETHODCALLTYPE Invoke(TJob*, TArgs*) override { return S_OK; }
};

typedef CUpdateProgressCallback<IDownloadProgressChangedCallback, IDownloadJob, IDownloadProgressChangedCallbackArgs>
    CDownloadProgressChangedCallback;
typedef CUpdateCompletedCallback<IDownloadCompletedCallback, IDownloadJob, IDownloadCompletedCallbackArgs>
    CDownloadCompletedCallback;
typedef CUpdateProgressCallback<IInstallationProgressChangedCallback, IInstallationJob,
                                IInstallationProgressChangedCallbackArgs>
    CInstallationProgressChangedCallback;
typedef CUpdateCompletedCallback<IInstallationCompletedCallback, IInstallationJob, IInstallationCompletedCallbackArgs>
    CInstallationCompletedCallback;
typedef CUpdateCompletedCallback<ISearchCompletedCallback, ISearchJob, ISearchCompletedCallbackArgs>
    CSearchCompletedCallback;

// Every callback object alive in the process.
long GetLiveUpdateCallbackCount();
