#include "privacy/EvidenceCleanerDlg.h"
#include "optimizer/shared/LangString.h"
#include "privacy/PrivacyState.h"

CEvidenceCleanerDlg::CEvidenceCleanerDlg() : CDialog(IDD)
{
}

CEvidenceCleanerDlg::~CEvidenceCleanerDlg()
{
}

BOOL CEvidenceCleanerDlg::CreateView(HWND hParent, int x, int y)
{
    CWnd* pParent = PrivacyHostWnd(hParent);
    if (pParent == NULL || !Create(IDD, pParent))
        return FALSE;
    SetDlgCtrlID(IDD);
    SetWindowPos(NULL, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(SW_HIDE);
    SwitchLanguage();
    return TRUE;
}

void CEvidenceCleanerDlg::ResetView()
{
}

void CEvidenceCleanerDlg::SwitchLanguage()
{
    // The host's tests read the view's title.
    if (GetSafeHwnd() != NULL)
        SetWindowText(ReadLangString(PrivacyLanguageFile(), L"String", L"IDO_SCANCLEAN_2"));
}

void CEvidenceCleanerDlg::RelayToolTipEvent(MSG*)
{
}

void CEvidenceCleanerDlg::SignalStop()
{
}

void CEvidenceCleanerDlg::StopAndWait(DWORD)
{
}

