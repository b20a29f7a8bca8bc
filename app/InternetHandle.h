#pragma once
// A handle of the Internet functions (session, connection or request),
// closed on every path out of the function that opened it.
#include "services/ScopedHandle.h"
#include <wininet.h>

struct InternetHandleTraits
{
    typedef HINTERNET Handle;
    static HINTERNET Invalid() { return NULL; }
    static void Close(HINTERNET hInternet) { InternetCloseHandle(hInternet); }
};

typedef CScopedHandle<InternetHandleTraits> CInternetHandle;
