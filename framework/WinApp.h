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

    // The classic start-up switches; kept for callers, nothing to do on Win32 now.
    BOOL Enable3dControls() { return TRUE; }
    BOOL Enable3dControlsStatic() { return TRUE; }

    // The standard help command (ID_HELP): asks the main window's WinHelp.
    afx_msg void OnHelp();

    // Called by the entry point; returns the process exit code.
    int WinMainEntry(HINSTANCE hInstance, LPTSTR lpCmdLine, int nCmdShow);

protected:
    DECLARE_MESSAGE_MAP()

private:
    CString m_strAppName;
    CString m_strExeName;
    int m_nExitCode;
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();

// OLE for this thread, released at exit; FALSE when it cannot start.
BOOL AfxOleInit();
// Kept for callers: our dialogs host no ActiveX controls.
void AfxEnableControlContainer();

#ifndef ID_HELP
#define ID_HELP 0xE146
#endif
