#include <windows.h>

// The module handle; the library loads its dialogs and bitmaps from itself.
HINSTANCE g_hSweepkitInstance = NULL;

extern "C" BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID)
{
    if (dwReason == DLL_PROCESS_ATTACH)
    {
        g_hSweepkitInstance = hInstance;
        DisableThreadLibraryCalls(hInstance);
    }
    return TRUE;
}
