#pragma once
// Threads: every thread of the program starts through AfxBeginThread (or
// AfxBeginWorker on top of it), which catches whatever escapes the thread
// procedure, frees the thread's temporary objects as it ends and closes its
// handle. The CWinThread deletes itself when the thread ends unless
// m_bAutoDelete is cleared first (start CREATE_SUSPENDED to clear it safely).
#include "framework/AfxDefs.h"
#include "framework/MessageMap.h"

class CWnd;

typedef UINT (__cdecl* AFX_THREADPROC)(LPVOID pParam);

class CWinThread : public CCmdTarget
{
public:
    CWinThread();
    CWinThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam);
    virtual ~CWinThread();

    HANDLE m_hThread;
    DWORD m_nThreadID;
    BOOL m_bAutoDelete;
    CWnd* m_pMainWnd;

    operator HANDLE() const { return m_hThread; }
    BOOL CreateThread(DWORD dwCreateFlags = 0, UINT nStackSize = 0, LPSECURITY_ATTRIBUTES lpSecurityAttrs = NULL);
    DWORD ResumeThread();
    DWORD SuspendThread();
    BOOL SetThreadPriority(int nPriority);
    int GetThreadPriority();

    virtual BOOL InitInstance();
    virtual int ExitInstance();
    virtual int Run();
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    // Called when the queue is empty; TRUE asks for more idle time.
    virtual BOOL OnIdle(LONG lCount);
    virtual CWnd* GetMainWnd();

protected:
    AFX_THREADPROC m_pfnThreadProc;
    LPVOID m_pThreadParams;

private:
    static unsigned __stdcall StartThreadProc(void* pParam);
    friend HANDLE AfxBeginWorker(AFX_THREADPROC pfnThreadProc, LPVOID pParam, UINT nStackSize, DWORD dwCreateFlags);
};

CWinThread* AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam, int nPriority = THREAD_PRIORITY_NORMAL,
                           UINT nStackSize = 0, DWORD dwCreateFlags = 0,
                           LPSECURITY_ATTRIBUTES lpSecurityAttrs = NULL);
// Starts a thread like AfxBeginThread and hands back a handle of it that the
// caller owns: wait for it (AfxWaitForObjectPumping on a window's thread) and
// close it. NULL when no thread started. dwCreateFlags may hold
// STACK_SIZE_PARAM_IS_A_RESERVATION.
HANDLE AfxBeginWorker(AFX_THREADPROC pfnThreadProc, LPVOID pParam, UINT nStackSize = 0, DWORD dwCreateFlags = 0);
// The CWinThread of this thread (the application on the main thread), or NULL.
CWinThread* AfxGetThread();
