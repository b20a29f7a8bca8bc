#include "app/MainWindowStandIn.h"
#include "app/TamselApp.h"

BEGIN_MESSAGE_MAP(CMainWindowStandIn, CDialog)
    ON_WM_CLOSE()
    ON_WM_DESTROY()
    ON_BN_CLICKED(IDC_STANDIN_CLOSE, OnCloseButton)
END_MESSAGE_MAP()

CMainWindowStandIn::CMainWindowStandIn() : CDialog(IDD_TAMSEL_DIALOG, NULL)
{
}

BOOL CMainWindowStandIn::OnInitDialog()
{
    CDialog::OnInitDialog();
    CTamselApp* pApp = (CTamselApp*)AfxGetApp();
    // A second start finds this window by the property.
    ::SetPropW(m_hWnd, pApp->m_pszExeName, (HANDLE)1);

    wchar_t szLanguage[MAX_PATH] = {};
    ::GetPrivateProfileStringW(L"General Settings", L"Language", L"", szLanguage, MAX_PATH,
                               pApp->m_strSettingsFile);
    pApp->SelectLanguage(szLanguage);
    pApp->TranslateDialog(this, IDD_TAMSEL_DIALOG);
    return TRUE;
}

void CMainWindowStandIn::OnClose()
{
    EndDialog(IDCANCEL);
}

void CMainWindowStandIn::OnCloseButton()
{
    EndDialog(IDOK);
}

void CMainWindowStandIn::OnDestroy()
{
    ::RemovePropW(m_hWnd, AfxGetApp()->m_pszExeName);
    CDialog::OnDestroy();
}
