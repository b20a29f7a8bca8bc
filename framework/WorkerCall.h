#pragma once
// The one way a worker thread hands work to a window's own thread.
//
// AfxPostCall posts a registered message carrying the call to hWnd and
// returns at once; the framework's window procedure runs the call on the
// window's thread, in the order posted. The window must be a framework
// window (a permanent CWnd is attached). When the post fails, or the window
// is destroyed before the call runs, the call is freed and never run, so a
// call may capture only what it owns or what outlives the window.
//
// AfxWaitForObjectPumping is the one way a window's thread waits (for a
// worker, a process, an event): it dispatches sent messages (nothing else)
// while waiting, so a worker blocked in SendMessage to this thread can
// finish. Posted messages, input and paint stay queued: no nested loop runs
// the window's own work under a caller that is in the middle of its own.
#include "framework/AfxDefs.h"
#include <functional>

BOOL AfxPostCall(HWND hWnd, std::function<void()> fnCall);

// WAIT_OBJECT_0, WAIT_TIMEOUT or WAIT_FAILED.
DWORD AfxWaitForObjectPumping(HANDLE hObject, DWORD dwMilliseconds);

// The registered message that carries a posted call (for tests and loops
// that filter messages).
UINT AfxGetWorkerCallMessage();
// Calls posted to hWnd and not yet run (for tests).
int AfxGetPendingCallCount(HWND hWnd);
