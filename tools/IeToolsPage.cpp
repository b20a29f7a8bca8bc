#include "tools/IeToolsPage.h"
#include "app/TamselDlg.h"

static const LauncherButton s_ieButtons[] = {{1005, 8029}, {1004, 8014}, {1001, 1140}, {1002, 1141}, {1003, 1142}};

BEGIN_MESSAGE_MAP(CIeToolsPage, CLauncherPage)
    ON_BN_CLICKED(1001, OnBhoManager)
    ON_BN_CLICKED(1002, OnInternetOptions)
    ON_BN_CLICKED(1003, OnIeRecover)
    ON_BN_CLICKED(1004, OnIeProblems)
    ON_BN_CLICKED(1005, OnIeFavorites)
END_MESSAGE_MAP()

CIeToolsPage::CIeToolsPage() : CLauncherPage(366, s_ieButtons, 5)
{
}

BOOL CIeToolsPage::StartInternetOptions(HANDLE* phProcess)
{
    if (phProcess != NULL)
        *phProcess = NULL;
    // By full path: a bare name could run a rundll32.exe from the program or current folder.
    WCHAR szSystem[MAX_PATH] = {};
    UINT nLength = ::GetSystemDirectoryW(szSystem, MAX_PATH);
    if (nLength == 0 || nLength >= MAX_PATH)
        return FALSE;
    CString strProgram = szSystem;
    strProgram.TrimRight(L'\\');
    strProgram += L"\\rundll32.exe";
    CString strCommand = L"\"" + strProgram + L"\" shell32.dll,Control_RunDLL inetcpl.cpl";
    STARTUPINFOW si = {};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_SHOW;
    PROCESS_INFORMATION pi = {};
    if (!::CreateProcessW(strProgram, strCommand.GetBuffer(), NULL, NULL, FALSE, 0, NULL, szSystem, &si, &pi))
    {
        strCommand.ReleaseBuffer();
        return FALSE;
    }
    strCommand.ReleaseBuffer();
    ::CloseHandle(pi.hThread);
    if (phProcess != NULL)
        *phProcess = pi.hProcess;
    else
        ::CloseHandle(pi.hProcess);
    return TRUE;
}

void CIeToolsPage::OnInternetOptions()
{
    StartInternetOptions(NULL);
}

void CIeToolsPage::OnBhoManager()
{
    CTamselDlg* pMain = dynamic_cast<CTamselDlg*>(AfxGetMainWnd());
    if (pMain != NULL)
        pMain->ShowPage(7);
}

void CIeToolsPage::OnIeRecover()
{
    CTamselDlg* pMain = dynamic_cast<CTamselDlg*>(AfxGetMainWnd());
    if (pMain != NULL)
        pMain->ShowPage(21);
}

void CIeToolsPage::OnIeProblems()
{
    // The main window's own command: it asks about a running scan first.
    CWnd* pMain = GetParent();
    if (pMain != NULL)
        pMain->SendMessage(WM_COMMAND, MAKEWPARAM(ID_NAV_IE_PROBLEMS, BN_CLICKED), 0);
}

void CIeToolsPage::OnIeFavorites()
{
    CTamselDlg* pMain = dynamic_cast<CTamselDlg*>(AfxGetMainWnd());
    if (pMain != NULL)
        pMain->ShowPage(25);
}
