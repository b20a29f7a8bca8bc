#include "app/GeneralSettingsPage.h"
#include "app/TamselApp.h"
#include "app/TamselDlg.h"
#include "app/VersionCheck.h"

void CGeneralSettingsPage::OnCheckUpdate()
{
    CTamselApp* pApp = static_cast<CTamselApp*>(AfxGetApp());
    CUpdateChecker checker;
    int nResult = checker.CheckForUpdate(GetUpdateSiteUrl(pApp->m_strSettingsFile));
    if (nResult == UPDATE_NEWER_ACCEPTED)
    {
        CString strUpdater = pApp->m_strAppDir + L"Update.exe";
        if (::GetFileAttributesW(strUpdater) == INVALID_FILE_ATTRIBUTES)
        {
            AfxMessageBox(pApp->GetLangString(L"M_UPDATE_NO_COMPONENT"), MB_ICONEXCLAMATION);
            return;
        }
        // The updater replaces our files: start it only when we really end.
        CTamselDlg* pMain = GetTamselDlg();
        if (pMain != NULL && pMain->CloseMainWindow())
            ::ShellExecuteW(NULL, L"open", strUpdater, NULL, NULL, SW_SHOW);
    }
    else if (nResult == UPDATE_NO_CONNECTION || nResult == UPDATE_DOWNLOAD_FAILED)
        AfxMessageBox(pApp->GetLangString(L"M_UPDATE_INTERNET_FAILED"), MB_ICONEXCLAMATION);
    else if (nResult == UPDATE_NOT_NEWER)
        AfxMessageBox(pApp->GetLangString(L"M_UPDATE_NOUPDATE"), MB_ICONINFORMATION);
}
