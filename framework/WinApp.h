#pragma once
// CWinApp: the one application object. Construct it as a global; the
// framework's wWinMain sets it up, calls InitInstance, and either runs the
// message loop or, when InitInstance returns FALSE, calls ExitInstance and ends.
#include "framework/WinThread.h"
#include "framework/CommandLineInfo.h"
#include "framework/Wnd.h"

class CWinApp : public CWinThread
{
public:
    explicit CWinApp(LPCTSTR lpszAppName = NULL);
    virtual ~CWinApp();

    HINSTANCE m_hInstance;
    LPTSTR m_lpCmdLine;
    int m_nCmdShow;
    LPCTSTR m_pszAppName;  // defaults to the executable's name
    LPCTSTR m_pszExeName;  // executable name without extension

    virtual BOOL InitInstance();
    virtual int ExitInstance();
    virtual int Run();
    virtual BOOL PreTranslateMessage(MSG* pMsg);
    virtual BOOL OnIdle(LONG lCount);

    void ParseCommandLine(CCommandLineInfo& rCmdInfo);

    HICON LoadIcon(UINT nIDResource) const;
    HICON LoadIcon(LPCTSTR lpszResourceName) const;
    HCURSOR LoadCursor(UINT nIDResource) const;
    HCURSOR LoadCursor(LPCTSTR lpszResourceName) const;
    HCURSOR LoadStandardCursor(LPCTSTR lpszCursorName) const;
    HICON LoadStandardIcon(LPCTSTR lpszIconName) const;

    // Called by the entry point; returns the process exit code.
    int WinMainEntry(HINSTANCE hInstance, LPTSTR lpCmdLine, int nCmdShow);

private:
    CString m_strAppName;
    CString m_strExeName;
    int m_nExitCode;
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
