// Tunekit.dll: the module around the optimizer's static library. It loads
// its dialogs and bitmaps from itself.
#include "framework/Afx.h"
#include "optimizer/TunekitExports.h"

// The library's application object; it has no behaviour of its own.
class CTunekitApp : public CWinApp
{
public:
    CTunekitApp() : CWinApp(L"Tunekit") {}
};

CTunekitApp theApp;

// The exports live in the static library: name them so the linker keeps them.
extern "C" __attribute__((used)) void* const g_pTunekitExports[] = {
    (void*)&FunOptimizerSwitchLanguage, (void*)&FunInitOptimizer, (void*)&FunShowOptimizer,
    (void*)&FunExitOptimizer};

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
