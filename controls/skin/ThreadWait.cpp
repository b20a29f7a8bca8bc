#include "controls/skin/ThreadWait.h"

BOOL WaitForThreadEnd(HANDLE hThread)
{
    if (hThread == NULL)
        return TRUE;
    for (;;)
    {
        DWORD dwResult = ::MsgWaitForMultipleObjects(1, &hThread, FALSE, INFINITE, QS_SENDMESSAGE);
        if (dwResult == WAIT_OBJECT_0)
            return TRUE;
        if (dwResult != WAIT_OBJECT_0 + 1)
            return FALSE;
        // Serves the sent messages only; posted ones stay queued.
        MSG msg;
        ::PeekMessageW(&msg, NULL, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}
