#pragma once
// The E_NOTIMPL base of every agent double: reference counting, IDispatch,
// and each interface's methods answering E_NOTIMPL until a double overrides one.
#include "tools/UpdateAgent.h"
#include <atomic>

namespace fakeagent {

extern std::atomic<long> g_nLiveObjects;

#define FAKE_NOTIMPL(name, params) \
    HRESULT STDMETHODCALLTYPE name params override { return E_NOTIMPL; }

template <class I>
class CFake : public I
{
public:
    CFake() : m_nRef(1) { ++g_nLiveObjects; }
    virtual ~CFake() { --g_nLiveObjects; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override
    {
        if (ppv == NULL)
            return E_POINTER;
        if (riid == __uuidof(IUnknown) || riid == __uuidof(IDispatch) || riid == __uuidof(I))
        {
            *ppv = static_cast<I*>(this);
            this->AddRef();
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
    FAKE_NOTIMPL(GetTypeInfoCount, (UINT*))
    FAKE_NOTIMPL(GetTypeInfo, (UINT, LCID, ITypeInfo**))
    FAKE_NOTIMPL(GetIDsOfNames, (REFIID, LPOLESTR*, UINT, LCID, DISPID*))
    FAKE_NOTIMPL(Invoke, (DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*))

private:
    volatile LONG m_nRef;
};

class CFakeSessionBase : public CFake<IUpdateSession>
{
public:
    FAKE_NOTIMPL(get_ClientApplicationID, (BSTR*))
    FAKE_NOTIMPL(put_ClientApplicationID, (BSTR))
    FAKE_NOTIMPL(get_ReadOnly, (VARIANT_BOOL*))
    FAKE_NOTIMPL(get_WebProxy, (IWebProxy**))
    FAKE_NOTIMPL(put_WebProxy, (IWebProxy*))
    FAKE_NOTIMPL(CreateUpdateSearcher, (IUpdateSearcher**))
    FAKE_NOTIMPL(CreateUpdateDownloader, (IUpdateDownloader**))
    FAKE_NOTIMPL(CreateUpdateInstaller, (IUpdateInstaller**))
};

class CFakeSearcherBase : public CFake<IUpdateSearcher>
{
public:
    FAKE_NOTIMPL(get_CanAutomaticallyUpgradeService, (VARIANT_BOOL*))
    FAKE_NOTIMPL(put_CanAutomaticallyUpgradeService, (VARIANT_BOOL))
    FAKE_NOTIMPL(get_ClientApplicationID, (BSTR*))
    FAKE_NOTIMPL(put_ClientApplicationID, (BSTR))
    FAKE_NOTIMPL(get_IncludePotentiallySupersededUpdates, (VARIANT_BOOL*))
    FAKE_NOTIMPL(put_IncludePotentiallySupersededUpdates, (VARIANT_BOOL))
    FAKE_NOTIMPL(get_ServerSelection, (ServerSelection*))
    FAKE_NOTIMPL(put_ServerSelection, (ServerSelection))
    FAKE_NOTIMPL(BeginSearch, (BSTR, IUnknown*, VARIANT, ISearchJob**))
    FAKE_NOTIMPL(EndSearch, (ISearchJob*, ISearchResult**))
    FAKE_NOTIMPL(EscapeString, (BSTR, BSTR*))
    FAKE_NOTIMPL(QueryHistory, (LONG, LONG, IUpdateHistoryEntryCollection**))
    FAKE_NOTIMPL(Search, (BSTR, ISearchResult**))
    FAKE_NOTIMPL(get_Online, (VARIANT_BOOL*))
    FAKE_NOTIMPL(put_Online, (VARIANT_BOOL))
    FAKE_NOTIMPL(GetTotalHistoryCount, (LONG*))
    FAKE_NOTIMPL(get_ServiceID, (BSTR*))
    FAKE_NOTIMPL(put_ServiceID, (BSTR))
};

class CFakeSearchResultBase : public CFake<ISearchResult>
{
public:
    FAKE_NOTIMPL(get_ResultCode, (OperationResultCode*))
    FAKE_NOTIMPL(get_RootCategories, (ICategoryCollection**))
    FAKE_NOTIMPL(get_Updates, (IUpdateCollection**))
    FAKE_NOTIMPL(get_Warnings, (IUpdateExceptionCollection**))
};

class CFakeStringCollectionBase : public CFake<IStringCollection>
{
public:
    FAKE_NOTIMPL(get_Item, (LONG, BSTR*))
    FAKE_NOTIMPL(put_Item, (LONG, BSTR))
    FAKE_NOTIMPL(get__NewEnum, (IUnknown**))
    FAKE_NOTIMPL(get_Count, (LONG*))
    FAKE_NOTIMPL(get_ReadOnly, (VARIANT_BOOL*))
    FAKE_NOTIMPL(Add, (BSTR, LONG*))
    FAKE_NOTIMPL(Clear, ())
    FAKE_NOTIMPL(Copy, (IStringCollection**))
    FAKE_NOTIMPL(Insert, (LONG, BSTR))
    FAKE_NOTIMPL(RemoveAt, (LONG))
};

class CFakeUpdateCollectionBase : public CFake<IUpdateCollection>
{
public:
    FAKE_NOTIMPL(get_Item, (LONG, IUpdate**))
    FAKE_NOTIMPL(put_Item, (LONG, IUpdate*))
    FAKE_NOTIMPL(get__NewEnum, (IUnknown**))
    FAKE_NOTIMPL(get_Count, (LONG*))
    FAKE_NOTIMPL(get_ReadOnly, (VARIANT_BOOL*))
    FAKE_NOTIMPL(Add, (IUpdate*, LONG*))
    FAKE_NOTIMPL(Clear, ())
    FAKE_NOTIMPL(Copy, (IUpdateCollection**))
    FAKE_NOTIMPL(Insert, (LONG, IUpdate*))
    FAKE_NOTIMPL(RemoveAt, (LONG))
};

class CFakeUpdateBase : public CFake<IUpdate>
{
public:
    FAKE_NOTIMPL(get_Title, (BSTR*))
    FAKE_NOTIMPL(get_AutoSelectOnWebSites, (VARIANT_BOOL*))
    FAKE_NOTIMPL(get_BundledUpdates, (IUpdateCollection**))
    FAKE_NOTIMPL(get_CanRequireSource, (VARIANT_BOOL*))
    FAKE_NOTIMPL(get_Categories, (ICategoryCollection**))
    FAKE_NOTIMPL(get_Deadline, (VARIANT*))
    FAKE_NOTIMPL(get_DeltaCompressedContentAvailable, (VARIANT_BOOL*))
    FAKE_NOTIMPL(get_DeltaCompressedContentPreferred, (VARIANT_BOOL*))
    FAKE_NOTIMPL(get_Description, (BSTR*))
    FAKE_NOTIMPL(get_EulaAccepted, (VARIANT_BOOL*))
    FAKE_NOTIMPL(get_EulaText, (BSTR*))
    FAKE_NOTIMPL(get_HandlerID, (BSTR*))
    FAKE_NOTIMPL(get_Identity, (IUpdateIdentity**))
    FAKE_NOTIMPL(get_Image, (IImageInformation**))
    FAKE_NOTIMPL(get_InstallationBehavior, (IInstallationBehavior**))
    FAKE_NOTIMPL(get_IsBeta, (VARIANT_BOOL*))
    FAKE_NOTIMPL(get_IsDownloaded, (VARIANT_BOOL*))
    FAKE_NOTIMPL(get_IsHidden, (VARIANT_BOOL*))
    FAKE_NOTIMPL(put_IsHidden, (VARIANT_BOOL))
    FAKE_NOTIMPL(get_IsInstalled, (VARIANT_BOOL*))
    FAKE_NOTIMPL(get_IsMandatory, (VARIANT_BOOL*))
    FAKE_NOTIMPL(get_IsUninstallable, (VARIANT_BOOL*))
    FAKE_NOTIMPL(get_Languages, (IStringCollection**))
    FAKE_NOTIMPL(get_LastDeploymentChangeTime, (DATE*))
    FAKE_NOTIMPL(get_MaxDownloadSize, (DECIMAL*))
    FAKE_NOTIMPL(get_MinDownloadSize, (DECIMAL*))
    FAKE_NOTIMPL(get_MoreInfoUrls, (IStringCollection**))
    FAKE_NOTIMPL(get_MsrcSeverity, (BSTR*))
    FAKE_NOTIMPL(get_RecommendedCpuSpeed, (LONG*))
    FAKE_NOTIMPL(get_RecommendedHardDiskSpace, (LONG*))
    FAKE_NOTIMPL(get_RecommendedMemory, (LONG*))
    FAKE_NOTIMPL(get_ReleaseNotes, (BSTR*))
    FAKE_NOTIMPL(get_SecurityBulletinIDs, (IStringCollection**))
    FAKE_NOTIMPL(get_SupersededUpdateIDs, (IStringCollection**))
    FAKE_NOTIMPL(get_SupportUrl, (BSTR*))
    FAKE_NOTIMPL(get_Type, (UpdateType*))
    FAKE_NOTIMPL(get_UninstallationNotes, (BSTR*))
    FAKE_NOTIMPL(get_UninstallationBehavior, (IInstallationBehavior**))
    FAKE_NOTIMPL(get_UninstallationSteps, (IStringCollection**))
    FAKE_NOTIMPL(get_KBArticleIDs, (IStringCollection**))
    FAKE_NOTIMPL(AcceptEula, ())
    FAKE_NOTIMPL(get_DeploymentAction, (DeploymentAction*))
    FAKE_NOTIMPL(CopyFromCache, (BSTR, VARIANT_BOOL))
    FAKE_NOTIMPL(get_DownloadPriority, (DownloadPriority*))
    FAKE_NOTIMPL(get_DownloadContents, (IUpdateDownloadContentCollection**))
};

class CFakeDownloaderBase : public CFake<IUpdateDownloader>
{
public:
    FAKE_NOTIMPL(get_ClientApplicationID, (BSTR*))
    FAKE_NOTIMPL(put_ClientApplicationID, (BSTR))
    FAKE_NOTIMPL(get_IsForced, (VARIANT_BOOL*))
    FAKE_NOTIMPL(put_IsForced, (VARIANT_BOOL))
    FAKE_NOTIMPL(get_Priority, (DownloadPriority*))
    FAKE_NOTIMPL(put_Priority, (DownloadPriority))
    FAKE_NOTIMPL(get_Updates, (IUpdateCollection**))
    FAKE_NOTIMPL(put_Updates, (IUpdateCollection*))
    FAKE_NOTIMPL(BeginDownload, (IUnknown*, IUnknown*, VARIANT, IDownloadJob**))
    FAKE_NOTIMPL(Download, (IDownloadResult**))
    FAKE_NOTIMPL(EndDownload, (IDownloadJob*, IDownloadResult**))
};

class CFakeSearchJobBase : public CFake<ISearchJob>
{
public:
    FAKE_NOTIMPL(get_AsyncState, (VARIANT*))
    FAKE_NOTIMPL(get_IsCompleted, (VARIANT_BOOL*))
    FAKE_NOTIMPL(CleanUp, ())
    FAKE_NOTIMPL(RequestAbort, ())
};

class CFakeDownloadJobBase : public CFake<IDownloadJob>
{
public:
    FAKE_NOTIMPL(get_AsyncState, (VARIANT*))
    FAKE_NOTIMPL(get_IsCompleted, (VARIANT_BOOL*))
    FAKE_NOTIMPL(get_Updates, (IUpdateCollection**))
    FAKE_NOTIMPL(CleanUp, ())
    FAKE_NOTIMPL(GetProgress, (IDownloadProgress**))
    FAKE_NOTIMPL(RequestAbort, ())
};

class CFakeDownloadResultBase : public CFake<IDownloadResult>
{
public:
    FAKE_NOTIMPL(get_HResult, (LONG*))
    FAKE_NOTIMPL(get_ResultCode, (OperationResultCode*))
    FAKE_NOTIMPL(GetUpdateResult, (LONG, IUpdateDownloadResult**))
};

class CFakeUpdateDownloadResultBase : public CFake<IUpdateDownloadResult>
{
public:
    FAKE_NOTIMPL(get_HResult, (LONG*))
    FAKE_NOTIMPL(get_ResultCode, (OperationResultCode*))
};

class CFakeInstallerBase : public CFake<IUpdateInstaller>
{
public:
    FAKE_NOTIMPL(get_ClientApplicationID, (BSTR*))
    FAKE_NOTIMPL(put_ClientApplicationID, (BSTR))
    FAKE_NOTIMPL(get_IsForced, (VARIANT_BOOL*))
    FAKE_NOTIMPL(put_IsForced, (VARIANT_BOOL))
    FAKE_NOTIMPL(get_ParentHwnd, (HWND*))
    FAKE_NOTIMPL(put_ParentHwnd, (HWND))
    FAKE_NOTIMPL(put_ParentWindow, (IUnknown*))
    FAKE_NOTIMPL(get_ParentWindow, (IUnknown**))
    FAKE_NOTIMPL(get_Updates, (IUpdateCollection**))
    FAKE_NOTIMPL(put_Updates, (IUpdateCollection*))
    FAKE_NOTIMPL(BeginInstall, (IUnknown*, IUnknown*, VARIANT, IInstallationJob**))
    FAKE_NOTIMPL(BeginUninstall, (IUnknown*, IUnknown*, VARIANT, IInstallationJob**))
    FAKE_NOTIMPL(EndInstall, (IInstallationJob*, IInstallationResult**))
    FAKE_NOTIMPL(EndUninstall, (IInstallationJob*, IInstallationResult**))
    FAKE_NOTIMPL(Install, (IInstallationResult**))
    FAKE_NOTIMPL(RunWizard, (BSTR, IInstallationResult**))
    FAKE_NOTIMPL(get_IsBusy, (VARIANT_BOOL*))
    FAKE_NOTIMPL(Uninstall, (IInstallationResult**))
    FAKE_NOTIMPL(get_AllowSourcePrompts, (VARIANT_BOOL*))
    FAKE_NOTIMPL(put_AllowSourcePrompts, (VARIANT_BOOL))
    FAKE_NOTIMPL(get_RebootRequiredBeforeInstallation, (VARIANT_BOOL*))
};

class CFakeInstallationJobBase : public CFake<IInstallationJob>
{
public:
    FAKE_NOTIMPL(get_AsyncState, (VARIANT*))
    FAKE_NOTIMPL(get_IsCompleted, (VARIANT_BOOL*))
    FAKE_NOTIMPL(get_Updates, (IUpdateCollection**))
    FAKE_NOTIMPL(CleanUp, ())
    FAKE_NOTIMPL(GetProgress, (IInstallationProgress**))
    FAKE_NOTIMPL(RequestAbort, ())
};

class CFakeInstallationResultBase : public CFake<IInstallationResult>
{
public:
    FAKE_NOTIMPL(get_HResult, (LONG*))
    FAKE_NOTIMPL(get_RebootRequired, (VARIANT_BOOL*))
    FAKE_NOTIMPL(get_ResultCode, (OperationResultCode*))
    FAKE_NOTIMPL(GetUpdateResult, (LONG, IUpdateInstallationResult**))
};

class CFakeUpdateInstallationResultBase : public CFake<IUpdateInstallationResult>
{
public:
    FAKE_NOTIMPL(get_HResult, (LONG*))
    FAKE_NOTIMPL(get_RebootRequired, (VARIANT_BOOL*))
    FAKE_NOTIMPL(get_ResultCode, (OperationResultCode*))
};

} // namespace fakeagent
