#include "framework/AfxDefs.h"

// Each module (the program and each library) links its own copy of the
// framework, so these are per module.
static HINSTANCE s_hInstance = NULL;
static HINSTANCE s_hResource = NULL;

HINSTANCE AfxGetInstanceHandle()
{
    return s_hInstance ? s_hInstance : GetModuleHandleW(NULL);
}

void AfxSetInstanceHandle(HINSTANCE hInstance)
{
    s_hInstance = hInstance;
}

HINSTANCE AfxGetResourceHandle()
{
    return s_hResource ? s_hResource : AfxGetInstanceHandle();
}

void AfxSetResourceHandle(HINSTANCE hInstance)
{
    s_hResource = hInstance;
}
