#include "tools/IeToolsPage.h"
#include "app/TamselDlg.h"
#include "services/SystemProgram.h"

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
    return StartSystemProgram(L"rundll32.exe", L"shell32.dll,Control_RunDLL inetcpl.cpl", phProcess);
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
