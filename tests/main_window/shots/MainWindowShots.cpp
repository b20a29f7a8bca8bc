#include "tests/main_window/MainWindowFixture.h"
#include "app/SplashWnd.h"
#include "tests/support/shots/ShotsMain.h"
#include <string>

// Pictures of the main window, its folders, pages and views and the splash
// window for a person to look at.
namespace {
void Shoot(CWnd* pWnd, const std::string& strName)
{
    testsupport::WaitFor([] { return false; }, 400);
    pWnd->RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE | RDW_ALLCHILDREN);
    testsupport::WaitFor([] { return false; }, 300);
    CRect rc;
    pWnd->GetWindowRect(&rc);
    std::string strGeometry = std::to_string(rc.Width()) + "x" + std::to_string(rc.Height()) + "+" +
                              std::to_string(rc.left) + "+" + std::to_string(rc.top);
    EXPECT_EQ(testsupport::RunHostCommand("import -window root -crop " + strGeometry + " +repage " + ShotFolder() + "/" +
                                strName + ".png"), 0);
}
} // namespace

TEST_F(MainWindowTest, Screenshots)
{
    CopyLibraries(true, true);
    CreateMainWindow();
    Shoot(m_pDlg.get(), "00_home");
    const struct
    {
        UINT nCommand;
        const char* pszName;
    } folders[] = {
        {IDC_BAR_SCAN_CLEAN, "01_scan_clean"}, {IDC_BAR_OPTIMIZE, "02_optimize"}, {IDC_BAR_BACKUP, "03_backup"},
        {IDC_BAR_IE_TOOLS, "04_ie_tools"},     {IDC_BAR_WINDOWS, "05_windows"},   {IDC_BAR_OPTIONS, "06_options"},
        {IDC_BAR_HELP, "07_help"},
    };
    for (const auto& folder : folders)
    {
        SendCommand(folder.nCommand);
        Shoot(m_pDlg.get(), folder.pszName);
    }
    SendCommand(ID_NAV_SECURITY);
    Shoot(m_pDlg.get(), "08_security");
    SendCommand(ID_NAV_SYSTEM);
    Shoot(m_pDlg.get(), "09_system");
    SendCommand(IDC_EASY_STEPS_BUTTON);
    Shoot(m_pDlg.get(), "10_start_launcher");
    SendCommand(ID_NAV_EVIDENCE_CLEANER);
    Shoot(m_pDlg.get(), "11_evidence_view");
    SendCommand(ID_NAV_SYSTEM_OPTIMIZER);
    Shoot(m_pDlg.get(), "12_optimizer_view");
    SendCommand(ID_NAV_AUTO_BACKUP);
    Shoot(m_pDlg.get(), "13_auto_backup");
    SendCommand(ID_NAV_FULL_BACKUP);
    Shoot(m_pDlg.get(), "15_full_backup");
    SendCommand(ID_NAV_IE_RECOVER);
    Shoot(m_pDlg.get(), "16_ie_recover");
    SendCommand(ID_NAV_IE_PROBLEMS);
    Shoot(m_pDlg.get(), "17_ie_problems");
    CSplashWnd::EnableSplashScreen(TRUE);
    CSplashWnd::ShowSplashScreen(NULL);
    if (CSplashWnd::GetSplashWnd() != NULL)
    {
        CSplashWnd::GetSplashWnd()->KillTimer(1);
        Shoot(CSplashWnd::GetSplashWnd(), "14_splash");
        CSplashWnd::GetSplashWnd()->DestroyWindow();
    }
    CSplashWnd::EnableSplashScreen(FALSE);
}

// Every page and library view, each in the page area, for a person to look at.
TEST_F(MainWindowTest, PageScreenshots)
{
    CopyLibraries(true, true);
    CreateMainWindow();
    for (int i = 0; i < m_pDlg->GetPageCount(); i++)
    {
        if (m_pDlg->GetPageInfo(i)->pPage == NULL)
            continue;
        m_pDlg->ShowPage(i);
        Shoot(m_pDlg.get(), "page_" + std::to_string(100 + i).substr(1));
    }
    const struct
    {
        UINT nCommand;
        const char* pszName;
    } views[] = {
        {ID_NAV_EVIDENCE_CLEANER, "view_evidence"},    {ID_NAV_JUNK_CLEANER, "view_junk"},
        {ID_NAV_FILE_SHREDDER, "view_shredder"},       {ID_NAV_SYSTEM_OPTIMIZER, "view_system_optimizer"},
        {ID_NAV_SERVICE_OPTIMIZER, "view_service"},    {ID_NAV_MEMORY_OPTIMIZER, "view_memory"},
    };
    for (const auto& view : views)
    {
        SendCommand(view.nCommand);
        Shoot(m_pDlg.get(), view.pszName);
    }
}
