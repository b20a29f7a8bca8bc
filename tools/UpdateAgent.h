#pragma once
// The Windows Update Agent as the update page reaches it: the agent's
// interfaces, the five callback interfaces the toolchain's header leaves out,
// the one place where agent objects are created (replaceable, so tests can
// hand out doubles), and small owners that release what they hold.
#include "framework/Afx.h"
#include <objbase.h>
#include <oleauto.h>
#include <wuapi.h>
#include <atomic>

interface IDownloadProgressChangedCallbackArgs;
interface IDownloadCompletedCallbackArgs;
interface IInstallationProgressChangedCallbackArgs;
interface IInstallationCompletedCallbackArgs;
interface ISearchCompletedCallbackArgs;

MIDL_INTERFACE("8c3f1cdd-6173-4591-aebd-a56a53ca77c1")
IDownloadProgressChangedCallback : public IUnknown
{
    virtual HRESULT STDMETHODCALLTYPE Invoke(IDownloadJob* downloadJob, IDownloadProgressChangedCallbackArgs* callbackArgs) = 0;
};
MIDL_INTERFACE("77254866-9f5b-4c8e-b9e2-c77a8530d64b")
IDownloadCompletedCallback : public IUnknown
{
    virtual HRESULT STDMETHODCALLTYPE Invoke(IDownloadJob* downloadJob, IDownloadCompletedCallbackArgs* callbackArgs) = 0;
};
MIDL_INTERFACE("e01402d5-f8da-43ba-a012-38894bd048f1")
IInstallationProgressChangedCallback : public IUnknown
{
    virtual HRESULT STDMETHODCALLTYPE Invoke(IInstallationJob* installationJob,
                                             IInstallationProgressChangedCallbackArgs* callbackArgs) = 0;
};
MIDL_INTERFACE("45f4f6f3-d602-4f98-9a8a-3efa152ad2d3")
IInstallationCompletedCallback : public IUnknown
{
    virtual HRESULT STDMETHODCALLTYPE Invoke(IInstallationJob* installationJob, IInstallationCompletedCallbackArgs* callbackArgs) = 0;
};
MIDL_INTERFACE("88aee058-d4b0-4725-a2f1-814a67ae964c")
ISearchCompletedCallback : public IUnknown
{
    virtual HRESULT STDMETHODCALLTYPE Invoke(ISearchJob* searchJob, ISearchCompletedCallbackArgs* callbackArgs) = 0;
};
#ifdef __CRT_UUID_DECL
__CRT_UUID_DECL(ISearchCompletedCallback, 0x88aee058, 0xd4b0, 0x4725, 0xa2, 0xf1, 0x81, 0x4a, 0x67, 0xae, 0x96, 0x4c)
__CRT_UUID_DECL(IDownloadProgressChangedCallback, 0x8c3f1cdd, 0x6173, 0x4591, 0xae, 0xbd, 0xa5, 0x6a, 0x53, 0xca, 0x77, 0xc1)
__CRT_UUID_DECL(IDownloadCompletedCallback, 0x77254866, 0x9f5b, 0x4c8e, 0xb9, 0xe2, 0xc7, 0x7a, 0x85, 0x30, 0xd6, 0x4b)
__CRT_UUID_DECL(IInstallationProgressChangedCallback, 0xe01402d5, 0xf8da, 0x43ba, 0xa0, 0x12, 0x38, 0x89, 0x4b, 0xd0, 0x48, 0xf1)
__CRT_UUID_DECL(IInstallationCompletedCallback, 0x45f4f6f3, 0xd602, 0x4f98, 0x9a, 0x8a, 0x3e, 0xfa, 0x15, 0x2a, 0xd2, 0xd3)
#endif

// The agent refuses a second installation while one runs or a restart is due.
#define UPDATE_E_INSTALL_NOT_ALLOWED ((HRESULT)0x80240016L)

// ProgID -> object. The default looks the class up and creates it in process.
typedef HRESULT (*UPDATE_AGENT_FACTORY)(LPCWSTR pszProgId, REFIID riid, void** ppv);
// Returns the factory before; NULL brings the default back.
UPDATE_AGENT_FACTORY SetUpdateAgentFactory(UPDATE_AGENT_FACTORY pfnFactory);
HRESULT CreateUpdateAgentObject(LPCWSTR pszProgId, REFIID riid, void** ppv);
// The class behind a ProgID is not there at all (not merely failing to start).
BOOL IsUpdateClassMissing(HRESULT hr);

// Holds one reference and releases it.
template <class T>
class CAgentPtr
{
public:
    CAgentPtr() : m_p(NULL) {}
    explicit CAgentPtr(T* p) : m_p(p) {}
    ~CAgentPtr() { Reset(); }
    CAgentPtr(const CAgentPtr&) = delete;
    CAgentPtr& operator=(const CAgentPtr&) = delete;

    T* Get() const { return m_p; }
    T* operator->() const { return m_p; }
    operator bool() const { return m_p != NULL; }
    // For out-parameters: releases what it held first.
    T** Out() { Reset(); return &m_p; }
    void** OutVoid() { Reset(); return reinterpret_cast<void**>(&m_p); }
    void Reset()
    {
        if (m_p != NULL)
            m_p->Release();
        m_p = NULL;
    }
    T* Detach()
    {
        T* p = m_p;
        m_p = NULL;
        return p;
    }

private:
    T* m_p;
};

// Holds one BSTR and frees it.
class CAgentBstr
{
public:
    CAgentBstr() : m_bstr(NULL) {}
    explicit CAgentBstr(LPCWSTR psz) : m_bstr(::SysAllocString(psz)) {}
    ~CAgentBstr() { ::SysFreeString(m_bstr); }
    CAgentBstr(const CAgentBstr&) = delete;
    CAgentBstr& operator=(const CAgentBstr&) = delete;

    BSTR Get() const { return m_bstr; }
    BSTR* Out()
    {
        ::SysFreeString(m_bstr);
        m_bstr = NULL;
        return &m_bstr;
    }
    CString Text() const { return m_bstr != NULL ? CString(m_bstr) : CString(); }

private:
    BSTR m_bstr;
};

// Apartment of an update worker: every agent object lives in the
// multithreaded apartment, so the workers may share them directly.
class CUpdateComScope
{
public:
    CUpdateComScope() : m_hr(::CoInitializeEx(NULL, COINIT_MULTITHREADED)) {}
    ~CUpdateComScope()
    {
        if (SUCCEEDED(m_hr))
            ::CoUninitialize();
    }
    CUpdateComScope(const CUpdateComScope&) = delete;
    CUpdateComScope& operator=(const CUpdateComScope&) = delete;
    HRESULT Result() const { return m_hr; }

private:
    HRESULT m_hr;
};
