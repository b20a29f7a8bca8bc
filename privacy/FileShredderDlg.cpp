#include "privacy/FileShredderDlg.h"
#include "optimizer/shared/LangString.h"
#include "privacy/PrivacyState.h"

CFileShredderDlg::CFileShredderDlg() : CDialog(IDD)
{
}

CFileShredderDlg::~CFileShredderDlg()
{
}

BOOL CFileShredderDlg::CreateView(HWND hParent, int x, int y)
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

void CFileShredderDlg::ResetView()
{
}

void CFileShredderDlg::SwitchLanguage()
{
    // The host's tests read the view's title.
    if (GetSafeHwnd() != NULL)
        SetWindowText(ReadLangString(PrivacyLanguageFile(), L"String", L"IDO_SCANCLEAN_4"));
}

void CFileShredderDlg::RelayToolTipEvent(MSG*)
{
}

void CFileShredderDlg::SignalStop()
{
}

void CFileShredderDlg::StopAndWait(DWORD)
{
}

void CFileShredderDlg::ClearFileList()
{
}
