// Exits 0 when the Task Scheduler of this prefix answers, 1 when it does not.
#include <windows.h>
#include <initguid.h>
#include <mstask.h>

int wmain()
{
    if (FAILED(::CoInitializeEx(NULL, COINIT_APARTMENTTHREADED)))
        return 1;
    ITaskScheduler* pScheduler = NULL;
    HRESULT hr = ::CoCreateInstance(CLSID_CTaskScheduler, NULL, CLSCTX_INPROC_SERVER, IID_ITaskScheduler,
                                    (void**)&pScheduler);
    int nResult = 1;
    if (SUCCEEDED(hr))
    {
        // Listing the tasks reaches the service itself.
        IEnumWorkItems* pEnum = NULL;
        if (SUCCEEDED(pScheduler->Enum(&pEnum)))
        {
            pEnum->Release();
            nResult = 0;
        }
        pScheduler->Release();
    }
    ::CoUninitialize();
    return nResult;
}
