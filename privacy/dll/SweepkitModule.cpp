// Sweepkit.dll: the module around the privacy library's static library. It
// loads its dialogs and bitmaps from itself.
#include "privacy/SweepkitApp.h"
#include "privacy/SweepkitExports.h"

CSweepkitApp theApp;

// The exports live in the static library: name them so the linker keeps them.
extern "C" __attribute__((used)) void* const g_pSweepkitExports[] = {
    (void*)&FunPrivacySwitchLanguage, (void*)&FunInitPrivacy, (void*)&FunShowWindow,
    (void*)&FunIsThread,              (void*)&FunStopThread,  (void*)&FunExitPrivacy};

extern "C" BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID)
{
    if (dwReason == DLL_PROCESS_ATTACH)
    {
        AfxSetInstanceHandle(hInstance);
        AfxSetResourceHandle(hInstance);
        ::DisableThreadLibraryCalls(hInstance);
    }
    return TRUE;
}
