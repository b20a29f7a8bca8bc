// The program's entry point: the global application object exists by now.
#include "framework/WinApp.h"

int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE, LPWSTR lpCmdLine, int nCmdShow)
{
    CWinApp* pApp = AfxGetApp();
    if (pApp == NULL)
        return -1;
    return pApp->WinMainEntry(hInstance, lpCmdLine, nCmdShow);
}
