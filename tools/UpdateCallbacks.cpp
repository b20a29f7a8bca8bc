#include "tools/UpdateCallbacks.h"

long GetLiveUpdateCallbackCount()
{
    return CUpdateCallback<IDownloadProgressChangedCallback>::GetLiveCount() +
           CUpdateCallback<IDownloadCompletedCallback>::GetLiveCount() +
           CUpdateCallback<IInstallationProgressChangedCallback>::GetLiveCount() +
           CUpdateCallback<IInstallationCompletedCallback>::GetLiveCount() +
           CUpdateCallback<ISearchCompletedCallback>::GetLiveCount();
}
