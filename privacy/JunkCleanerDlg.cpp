#include "privacy/JunkCleanerDlg.h"
#include "optimizer/shared/LangString.h"
#include "privacy/PrivacyState.h"

CJunkCleanerDlg::CJunkCleanerDlg() : CDialog(IDD)
{
}

CJunkCleanerDlg::~CJunkCleanerDlg()
{
}

BOOL CJunkCleanerDlg::CreateView(HWND hParent, int x, int y)
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

void CJunkCleanerDlg::ResetView()
{
}

void CJunkCleanerDlg::SwitchLanguage()
{
    // The host's tests read the view's title.
    if (GetSafeHwnd() != NULL)
        SetWindowText(ReadLangString(PrivacyLanguageFile(), L"String", L"IDO_SCANCLEAN_3"));
}

void CJunkCleanerDlg::RelayToolTipEvent(MSG*)
{
}

void CJunkCleanerDlg::SignalStop()
{
}

void CJunkCleanerDlg::StopAndWait(DWORD)
{
}

