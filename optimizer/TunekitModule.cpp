#include <windows.h>

// The module handle; the library loads its dialogs and bitmaps from itself.
HINSTANCE g_hTunekitInstance = NULL;

extern "C" BOOL WINAPI DllMain(HINSTANCE hInstance, DWORD dwReason, LPVOID)
{
    if (dwReason == DLL_PROCESS_ATTACH)
    {
        g_hTunekitInstance = hInstance;
        DisableThreadLibraryCalls(hInstance);
    }
    return TRUE;
}
