#include "app/GeneralSettingsPage.h"
#include "app/TamselDlg.h"

void CGeneralSettingsPage::OnCheckUpdate()
{
    // The check runs on the main window's worker; the answer comes back there.
    CTamselDlg* pMain = GetTamselDlg();
    if (pMain != NULL)
        pMain->StartVersionCheck(TRUE);
}
