#pragma once
// Waiting for a worker thread of a control to end.
#include <windows.h>

// Waits until the thread has ended. Messages sent to this thread's windows
// meanwhile are still served, so a worker that talks to a window cannot
// deadlock the wait. TRUE when the thread ended (or the handle is NULL).
BOOL WaitForThreadEnd(HANDLE hThread);
