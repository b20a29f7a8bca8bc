#include "framework/WinThread.h"
#include "framework/MessageLoop.h"
#include "framework/Wnd.h"
#include <process.h>

namespace {
thread_local CWinThread* t_pThread = NULL;
}

void AfxSetCurrentThread(CWinThread* pThread)
{
    t_pThread = pThread;
}

CWinThread* AfxGetThread()
{
    return t_pThread;
}

CWinThread::CWinThread()
    : m_hThread(NULL), m_nThreadID(0), m_bAutoDelete(TRUE), m_pMainWnd(NULL), m_pfnThreadProc(NULL),
      m_pThreadParams(NULL)
{
}

CWinThread::CWinThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam)
    : m_hThread(NULL), m_nThreadID(0), m_bAutoDelete(TRUE), m_pMainWnd(NULL), m_pfnThreadProc(pfnThreadProc),
      m_pThreadParams(pParam)
{
}

CWinThread::~CWinThread()
{
    if (m_hThread != NULL && m_pfnThreadProc != NULL)
        ::CloseHandle(m_hThread);
}

unsigned __stdcall CWinThread::StartThreadProc(void* pParam)
{
    CWinThread* pThread = (CWinThread*)pParam;
    t_pThread = pThread;
    UINT nResult = 0;
    try
    {
        if (pThread->m_pfnThreadProc != NULL)
            nResult = pThread->m_pfnThreadProc(pThread->m_pThreadParams);
        else if (pThread->InitInstance())
            nResult = (UINT)pThread->Run();
        else
            nResult = (UINT)pThread->ExitInstance();
    }
    catch (...)
    {
        OutputDebugStringW(L"Tamsel: exception in a thread procedure\n");
        nResult = (UINT)-1;
    }
    t_pThread = NULL;
    AfxFreeThreadTemporaries();
    if (pThread->m_bAutoDelete)
        delete pThread;
    return nResult;
}

BOOL CWinThread::CreateThread(DWORD dwCreateFlags, UINT nStackSize, LPSECURITY_ATTRIBUTES lpSecurityAttrs)
{
    if (m_hThread != NULL)
        return FALSE;
    // Always start suspended so the members are set before the thread runs.
    unsigned nThreadID = 0;
    uintptr_t hThread = _beginthreadex(lpSecurityAttrs, nStackSize, &StartThreadProc, this,
                                       CREATE_SUSPENDED | (dwCreateFlags & STACK_SIZE_PARAM_IS_A_RESERVATION),
                                       &nThreadID);
    if (hThread == 0)
        return FALSE;
    m_hThread = (HANDLE)hThread;
    m_nThreadID = nThreadID;
    if (!(dwCreateFlags & CREATE_SUSPENDED))
        ::ResumeThread(m_hThread);
    return TRUE;
}

DWORD CWinThread::ResumeThread()
{
    return ::ResumeThread(m_hThread);
}

DWORD CWinThread::SuspendThread()
{
    return ::SuspendThread(m_hThread);
}

BOOL CWinThread::SetThreadPriority(int nPriority)
{
    return ::SetThreadPriority(m_hThread, nPriority);
}

int CWinThread::GetThreadPriority()
{
    return ::GetThreadPriority(m_hThread);
}

BOOL CWinThread::InitInstance()
{
    return FALSE;
}

int CWinThread::ExitInstance()
{
    return 0;
}

BOOL CWinThread::PreTranslateMessage(MSG*)
{
    return FALSE;
}

BOOL CWinThread::OnIdle(LONG)
{
    AfxIdlePurge();
    return FALSE;
}

CWnd* CWinThread::GetMainWnd()
{
    return m_pMainWnd;
}

int CWinThread::Run()
{
    CMessageLoopScope loop;
    MSG msg;
    for (;;)
    {
        LONG lIdleCount = 0;
        while (!::PeekMessageW(&msg, NULL, 0, 0, PM_NOREMOVE) && OnIdle(lIdleCount++))
        {
        }
        BOOL bRet = ::GetMessageW(&msg, NULL, 0, 0);
        if (bRet == -1)
            continue;
        if (bRet == 0)
            break;
        if (PreTranslateMessage(&msg))
            continue;
        CWnd* pMainWnd = GetMainWnd();
        HWND hWndStop = pMainWnd != NULL ? pMainWnd->GetSafeHwnd() : NULL;
        if (AfxWalkPreTranslateTree(hWndStop, &msg))
            continue;
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    int nExit = ExitInstance();
    return nExit != 0 ? nExit : (int)msg.wParam;
}

CWinThread* AfxBeginThread(AFX_THREADPROC pfnThreadProc, LPVOID pParam, int nPriority, UINT nStackSize,
                           DWORD dwCreateFlags, LPSECURITY_ATTRIBUTES lpSecurityAttrs)
{
    if (pfnThreadProc == NULL)
        return NULL;
    CWinThread* pThread = new CWinThread(pfnThreadProc, pParam);
    if (!pThread->CreateThread(dwCreateFlags | CREATE_SUSPENDED, nStackSize, lpSecurityAttrs))
    {
        delete pThread;
        return NULL;
    }
    pThread->SetThreadPriority(nPriority);
    if (!(dwCreateFlags & CREATE_SUSPENDED))
        pThread->ResumeThread();
    return pThread;
}

namespace {
UINT __cdecl NoThreadProc(LPVOID)
{
    return 0;
}
} // namespace

HANDLE AfxBeginWorker(AFX_THREADPROC pfnThreadProc, LPVOID pParam, UINT nStackSize, DWORD dwCreateFlags)
{
    CWinThread* pThread = AfxBeginThread(pfnThreadProc, pParam, THREAD_PRIORITY_NORMAL, nStackSize,
                                         CREATE_SUSPENDED | (dwCreateFlags & STACK_SIZE_PARAM_IS_A_RESERVATION));
    if (pThread == NULL)
        return NULL;
    HANDLE hThread = NULL;
    if (!::DuplicateHandle(::GetCurrentProcess(), pThread->m_hThread, ::GetCurrentProcess(), &hThread, 0, FALSE,
                           DUPLICATE_SAME_ACCESS))
    {
        // Nobody could wait for it: let it end at once without running the work.
        pThread->m_pfnThreadProc = &NoThreadProc;
        hThread = NULL;
    }
    pThread->ResumeThread();
    return hThread;
}
