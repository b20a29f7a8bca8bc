// Calls handed from workers to a window's thread. The calls themselves stay
// in a process-wide table; the posted message carries only the call's number,
// so a message that is never delivered (the window went away) leaks nothing:
// the window's final release drops whatever is still queued for it.
#include "framework/WorkerCall.h"
#include "framework/Lock.h"
#include "framework/Wnd.h"
#include <unordered_map>
#include <vector>

namespace {

struct CPendingCall
{
    HWND hWnd;
    std::function<void()> fnCall;
};

// Never destroyed: a worker may still post while statics are torn down.
CAfxLock& CallLock()
{
    static CAfxLock* s_pLock = new CAfxLock;
    return *s_pLock;
}

std::unordered_map<UINT, CPendingCall>& PendingCalls()
{
    static auto* s_pCalls = new std::unordered_map<UINT, CPendingCall>;
    return *s_pCalls;
}

UINT g_nNextCallId = 1;

} // namespace

UINT AfxGetWorkerCallMessage()
{
    static const UINT s_nMessage = ::RegisterWindowMessageW(L"TamselWorkerCall");
    return s_nMessage;
}

BOOL AfxPostCall(HWND hWnd, std::function<void()> fnCall)
{
    if (hWnd == NULL || !fnCall)
        return FALSE;
    UINT nMessage = AfxGetWorkerCallMessage();
    if (nMessage == 0)
        return FALSE;
    CPendingCall refused = {};
    {
        CAfxLockGuard guard(CallLock());
        // The liveness check and the insert happen under the call lock, and a
        // window's final release drops its calls under the same lock after it
        // left the handle map: a call is either refused here or dropped there.
        if (CWnd::FromHandlePermanent(hWnd) == NULL)
        {
            refused.fnCall = std::move(fnCall);
        }
        else
        {
            UINT nId = g_nNextCallId++;
            if (nId == 0)
                nId = g_nNextCallId++;
            PendingCalls()[nId] = CPendingCall{ hWnd, std::move(fnCall) };
            if (::PostMessageW(hWnd, nMessage, 0, (LPARAM)nId))
                return TRUE;
            auto it = PendingCalls().find(nId);
            refused.fnCall = std::move(it->second.fnCall);
            PendingCalls().erase(it);
        }
    }
    return FALSE;  // refused is freed here, outside the lock
}

// Run by the window procedure when the call message arrives.
void AfxRunPostedCall(HWND hWnd, LPARAM lParam)
{
    std::function<void()> fnCall;
    {
        CAfxLockGuard guard(CallLock());
        auto it = PendingCalls().find((UINT)lParam);
        if (it == PendingCalls().end() || it->second.hWnd != hWnd)
            return;
        fnCall = std::move(it->second.fnCall);
        PendingCalls().erase(it);
    }
    try
    {
        fnCall();
    }
    catch (...)
    {
        OutputDebugStringW(L"Tamsel: exception in a posted call\n");
    }
}

// Called once the window's object has left the handle map.
void AfxDropPostedCalls(HWND hWnd)
{
    std::vector<std::function<void()>> dropped;
    {
        CAfxLockGuard guard(CallLock());
        auto& calls = PendingCalls();
        for (auto it = calls.begin(); it != calls.end();)
        {
            if (it->second.hWnd == hWnd)
            {
                dropped.push_back(std::move(it->second.fnCall));
                it = calls.erase(it);
            }
            else
            {
                ++it;
            }
        }
    }
}

int AfxGetPendingCallCount(HWND hWnd)
{
    CAfxLockGuard guard(CallLock());
    int nCount = 0;
    for (const auto& entry : PendingCalls())
        if (entry.second.hWnd == hWnd)
            ++nCount;
    return nCount;
}

DWORD AfxWaitForObjectPumping(HANDLE hObject, DWORD dwMilliseconds)
{
    if (hObject == NULL)
        return WAIT_FAILED;
    DWORD dwStart = ::GetTickCount();
    for (;;)
    {
        DWORD dwWait = INFINITE;
        if (dwMilliseconds != INFINITE)
        {
            DWORD dwElapsed = ::GetTickCount() - dwStart;
            dwWait = dwElapsed >= dwMilliseconds ? 0 : dwMilliseconds - dwElapsed;
        }
        DWORD dwResult = ::MsgWaitForMultipleObjects(1, &hObject, FALSE, dwWait, QS_SENDMESSAGE);
        if (dwResult == WAIT_OBJECT_0 || dwResult == WAIT_TIMEOUT || dwResult == WAIT_FAILED)
            return dwResult;
        if (dwResult == WAIT_ABANDONED_0)
            return WAIT_OBJECT_0;
        // A sent message is waiting: peeking dispatches it (and only it).
        MSG msg;
        ::PeekMessageW(&msg, NULL, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        if (dwWait == 0)
            return ::WaitForSingleObject(hObject, 0);
    }
}
