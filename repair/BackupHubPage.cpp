#include "repair/BackupHubPage.h"
#include "app/TamselDlg.h"

namespace {
const LauncherButton s_hubButtons[] = {{1001, 377}, {1002, 378}, {1003, 8029}};

void ShowMainPage(int nIndex)
{
    CTamselDlg* pMain = GetTamselDlg();
    if (pMain != NULL)
        pMain->ShowPage(nIndex);
}
} // namespace

BEGIN_MESSAGE_MAP(CBackupHubPage, CLauncherPage)
    ON_BN_CLICKED(1001, OnAutoBackup)
    ON_BN_CLICKED(1002, OnFullBackup)
    ON_BN_CLICKED(1003, OnFavorites)
END_MESSAGE_MAP()

CBackupHubPage::CBackupHubPage() : CLauncherPage(IDD_BACKUP_HUB_PAGE, s_hubButtons, 3)
{
}

void CBackupHubPage::OnAutoBackup() { ShowMainPage(PAGE_AUTO_BACKUP); }
void CBackupHubPage::OnFullBackup() { ShowMainPage(PAGE_FULL_BACKUP); }
void CBackupHubPage::OnFavorites() { ShowMainPage(PAGE_FAVORITES); }
