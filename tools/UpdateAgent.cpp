#include "tools/UpdateAgent.h"

namespace {

HRESULT CreateRegisteredObject(LPCWSTR pszProgId, REFIID riid, void** ppv)
{
    if (ppv == NULL)
        return E_POINTER;
    *ppv = NULL;
    CLSID clsid = {};
    HRESULT hr = ::CLSIDFromProgID(pszProgId, &clsid);
    if (FAILED(hr))
        return hr;
    return ::CoCreateInstance(clsid, NULL, CLSCTX_INPROC_SERVER, riid, ppv);
}

std::atomic<UPDATE_AGENT_FACTORY> g_pfnFactory(&CreateRegisteredObject);

} // namespace

UPDATE_AGENT_FACTORY SetUpdateAgentFactory(UPDATE_AGENT_FACTORY pfnFactory)
{
    return g_pfnFactory.exchange(pfnFactory != NULL ? pfnFactory : &CreateRegisteredObject);
}

HRESULT CreateUpdateAgentObject(LPCWSTR pszProgId, REFIID riid, void** ppv)
{
    return g_pfnFactory.load()(pszProgId, riid, ppv);
}

BOOL IsUpdateClassMissing(HRESULT hr)
{
    return hr == CO_E_CLASSSTRING || hr == REGDB_E_CLASSNOTREG || hr == REGDB_E_READREGDB;
}
