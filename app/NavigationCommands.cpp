// The main window's navigation commands: item bars, folder captions and the
// buttons above the page area.
#include "app/TamselDlg.h"
#include "libapi/LibraryExports.h"

void CTamselDlg::OnRegistryCleaner() { SelectPage(PAGE_HOME); }
void CTamselDlg::OnEvidenceCleaner() { OnPrivacyView(PRIVACY_VIEW_EVIDENCE); }
void CTamselDlg::OnJunkCleaner() { OnPrivacyView(PRIVACY_VIEW_JUNK); }
void CTamselDlg::OnFileShredder() { OnPrivacyView(PRIVACY_VIEW_SHREDDER); }
void CTamselDlg::OnPatchUpdate() { SelectPage(PAGE_PATCH_UPDATE); }
void CTamselDlg::OnComputer() { SelectPage(PAGE_COMPUTER); }
void CTamselDlg::OnSecurity() { SelectPage(PAGE_SECURITY); }
void CTamselDlg::OnSystem() { SelectPage(PAGE_SYSTEM); }
void CTamselDlg::OnAutoBackup() { SelectPage(PAGE_AUTO_BACKUP); }
void CTamselDlg::OnFullBackup() { SelectPage(PAGE_FULL_BACKUP); }
void CTamselDlg::OnBackupFavorites() { SelectPage(PAGE_FAVORITES); }
void CTamselDlg::OnBhoManager() { SelectPage(PAGE_BHO); }
void CTamselDlg::OnIeRecover() { SelectPage(PAGE_IE_RESTORE); }
void CTamselDlg::OnIeProblems() { SelectPage(PAGE_IE_HELP); }
void CTamselDlg::OnIeFavorites() { SelectPage(PAGE_FAVORITES); }
void CTamselDlg::OnGeneralSettings() { SelectPage(PAGE_GENERAL); }
void CTamselDlg::OnScheduler() { SelectPage(PAGE_SCHEDULE); }
void CTamselDlg::OnIgnoreList() { SelectPage(PAGE_IGNORE); }
void CTamselDlg::OnResultReports() { SelectPage(PAGE_REPORT); }
void CTamselDlg::OnSettings() { SelectPage(PAGE_SETTINGS); }
void CTamselDlg::OnStartupManager() { SelectPage(PAGE_STARTUP); }
void CTamselDlg::OnUninstallManager() { SelectPage(PAGE_UNINSTALL); }
void CTamselDlg::OnSystemOptimizer() { OnOptimizerView(OPTIMIZER_VIEW_SYSTEM); }
void CTamselDlg::OnServiceOptimizer() { OnOptimizerView(OPTIMIZER_VIEW_SERVICE); }
void CTamselDlg::OnMemoryOptimizer() { OnOptimizerView(OPTIMIZER_VIEW_MEMORY); }

// The Internet Options open even when the page switch was refused.
void CTamselDlg::OnInternetOptions()
{
    SelectPage(PAGE_IE_TOOLS);
    m_pageIeTools.OnInternetOptions();
}

// A folder caption shows the folder's hub page; the folder follows only a
// switch that went ahead.
namespace {
void SelectFolderPage(CTamselDlg* pDlg, int nPage, int nFolder)
{
    if (pDlg->SelectPage(nPage))
        pDlg->m_wndFolder.SelectFolder(nFolder);
}
} // namespace

void CTamselDlg::OnFolderScanClean() { SelectFolderPage(this, PAGE_REGISTRY, FOLDER_SCAN_CLEAN); }
void CTamselDlg::OnFolderBackup() { SelectFolderPage(this, PAGE_BACKUP, FOLDER_BACKUP); }
void CTamselDlg::OnFolderIeTools() { SelectFolderPage(this, PAGE_IE_TOOLS, FOLDER_IE_TOOLS); }
void CTamselDlg::OnFolderWindows() { SelectFolderPage(this, PAGE_COMPUTER, FOLDER_WINDOWS); }
void CTamselDlg::OnFolderOptions() { SelectFolderPage(this, PAGE_SETTINGS, FOLDER_OPTIONS); }
void CTamselDlg::OnFolderHelp() { SelectFolderPage(this, PAGE_HELP, FOLDER_HELP); }
void CTamselDlg::OnFolderOptimize() { SelectFolderPage(this, PAGE_OPTIMIZE, FOLDER_OPTIMIZE); }

void CTamselDlg::OnHelpButton() { OnFolderHelp(); }
void CTamselDlg::OnUpdateButton() { m_pageGeneral.OnCheckUpdate(); }
void CTamselDlg::OnEasySteps() { SelectPage(PAGE_HOME_LAUNCHER); }
