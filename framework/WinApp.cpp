#include "framework/WinApp.h"
#include "framework/ModulePath.h"
#include "framework/MessageLoop.h"
#include <shellapi.h>
#include <ole2.h>

void AfxSetCurrentThread(CWinThread* pThread);

namespace {
CWinApp* s_pApp = NULL;
}

CWinApp* AfxGetApp()
{
    return s_pApp;
}

CWnd* AfxGetMainWnd()
{
    CWinThread* pThread = AfxGetThread();
    if (pThread != NULL && pThread->m_pMainWnd != NULL)
        return pThread->m_pMainWnd;
    return s_pApp != NULL ? s_pApp->m_pMainWnd : NULL;
}

BEGIN_MESSAGE_MAP(CWinApp, CWinThread)
END_MESSAGE_MAP()

namespace {
// Balances AfxOleInit when the program ends.
struct COleTerm
{
    bool m_bInitialized = false;
    ~COleTerm()
    {
        if (m_bInitialized)
            ::OleUninitialize();
    }
};
COleTerm s_oleTerm;
}

BOOL AfxOleInit()
{
    if (s_oleTerm.m_bInitialized)
        return TRUE;
    HRESULT hr = ::OleInitialize(NULL);
    if (FAILED(hr))
        return FALSE;
    s_oleTerm.m_bInitialized = true;
    return TRUE;
}

void AfxEnableControlContainer()
{
}

void CWinApp::OnHelp()
{
    CWnd* pMainWnd = AfxGetMainWnd();
    if (pMainWnd != NULL)
        pMainWnd->WinHelp(0, HELP_CONTEXT);
}

CWinApp::CWinApp(LPCTSTR lpszAppName)
    : m_hInstance(NULL), m_lpCmdLine(NULL), m_nCmdShow(SW_SHOWNORMAL), m_pszAppName(NULL), m_pszExeName(NULL),
      m_nExitCode(0)
{
    if (lpszAppName != NULL)
    {
        m_strAppName = lpszAppName;
        m_pszAppName = m_strAppName;
    }
    m_bAutoDelete = FALSE;
    s_pApp = this;
}

CWinApp::~CWinApp()
{
    if (s_pApp == this)
        s_pApp = NULL;
}

int CWinApp::WinMainEntry(HINSTANCE hInstance, LPTSTR lpCmdLine, int nCmdShow)
{
    AfxSetInstanceHandle(hInstance);
    AfxSetResourceHandle(hInstance);
    AfxSetCurrentThread(this);
    m_hInstance = hInstance;
    m_lpCmdLine = lpCmdLine;
    m_nCmdShow = nCmdShow;
    m_nThreadID = ::GetCurrentThreadId();

    m_strExeName = AfxGetModuleBaseName(hInstance);
    m_pszExeName = m_strExeName;
    if (m_pszAppName == NULL)
    {
        m_strAppName = m_strExeName;
        m_pszAppName = m_strAppName;
    }

    if (!InitInstance())
    {
        if (m_pMainWnd != NULL && AfxGetSafeHwnd(m_pMainWnd) != NULL)
            m_pMainWnd->DestroyWindow();
        m_pMainWnd = NULL;
        return ExitInstance();
    }
    return Run();
}

BOOL CWinApp::InitInstance()
{
    return TRUE;
}

int CWinApp::ExitInstance()
{
    return m_nExitCode;
}

int CWinApp::Run()
{
    if (m_pMainWnd == NULL)
    {
        // Nothing to run for.
        ::PostQuitMessage(0);
    }
    return CWinThread::Run();
}

BOOL CWinApp::PreTranslateMessage(MSG* pMsg)
{
    return CWinThread::PreTranslateMessage(pMsg);
}

BOOL CWinApp::OnIdle(LONG lCount)
{
    return CWinThread::OnIdle(lCount);
}

void CWinApp::ParseCommandLine(CCommandLineInfo& rCmdInfo)
{
    int nArgs = 0;
    LPWSTR* pArgs = ::CommandLineToArgvW(::GetCommandLineW(), &nArgs);
    if (pArgs == NULL)
        return;
    for (int i = 1; i < nArgs; ++i)
    {
        const wchar_t* pszParam = pArgs[i];
        BOOL bFlag = FALSE;
        if (pszParam[0] == L'-' || pszParam[0] == L'/')
        {
            bFlag = TRUE;
            ++pszParam;
        }
        rCmdInfo.ParseParam(pszParam, bFlag, i == nArgs - 1);
    }
    ::LocalFree(pArgs);
}

HICON CWinApp::LoadIcon(UINT nIDResource) const
{
    return ::LoadIconW(AfxGetResourceHandle(), MAKEINTRESOURCEW(nIDResource));
}

HICON CWinApp::LoadIcon(LPCTSTR lpszResourceName) const
{
    return ::LoadIconW(AfxGetResourceHandle(), lpszResourceName);
}

HCURSOR CWinApp::LoadCursor(UINT nIDResource) const
{
    return ::LoadCursorW(AfxGetResourceHandle(), MAKEINTRESOURCEW(nIDResource));
}

HCURSOR CWinApp::LoadCursor(LPCTSTR lpszResourceName) const
{
    return ::LoadCursorW(AfxGetResourceHandle(), lpszResourceName);
}

HCURSOR CWinApp::LoadStandardCursor(LPCTSTR lpszCursorName) const
{
    return ::LoadCursorW(NULL, lpszCursorName);
}

HICON CWinApp::LoadStandardIcon(LPCTSTR lpszIconName) const
{
    return ::LoadIconW(NULL, lpszIconName);
}

// The program's entry point lives here, not in a file of its own, so that it
// comes with the application object out of the static library (the C runtime
// asks for it only after our libraries were searched). The global application
// object exists by now.
int WINAPI wWinMain(HINSTANCE hInstance, HINSTANCE, LPWSTR lpCmdLine, int nCmdShow)
{
    CWinApp* pApp = AfxGetApp();
    if (pApp == NULL)
        return -1;
    return pApp->WinMainEntry(hInstance, lpCmdLine, nCmdShow);
}
