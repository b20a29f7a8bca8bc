// The three views placed as the host places them, in a window the size of the
// host's: every wizard page at every step, the service and the memory
// optimizer fit the page area with nothing cut.
#include "optimizer/OptimizerViews.h"
#include "optimizer/SystemOptimizerDlg.h"
#include "optimizer/TunekitExports.h"
#include "optimizer/shared/IniFile.h"
#include "tests/optimizer/OptimizerTestSupport.h"
#include "tests/privacy_ui/ViewGeometry.h"
#include <cstdlib>

using namespace optest;

namespace {
void ShootHost(HWND hWnd, const std::string& strName)
{
    const char* pszDir = std::getenv("TAMSEL_SCREENSHOT_DIR");
    if (pszDir == NULL || *pszDir == 0)
        return;
    Pump(300);
    ::RedrawWindow(hWnd, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE | RDW_ALLCHILDREN);
    Pump(200);
    testsupport::RunHostCommand("import -window root -crop 700x600+0+0 +repage " + std::string(pszDir) + "/" + strName +
                                ".png");
}
} // namespace

TEST(OptimizerViewFit, EveryViewPageAndStepFitsTheHostsPageArea)
{
    HostWindow host;
    RedirectedHive hive;
    testsupport::ScratchFolder folder;
    testsupport::MessageBoxRecorder boxes;
    CIniFile::SetHostFolderForTests(folder.Path().c_str());
    FunOptimizerSwitchLanguage(EnglishLanguageFile().c_str());
    FunInitOptimizer(host.m_hWnd, 0x10, viewgeo::kPageArea.left - 10, viewgeo::kPageArea.top, L"", L"", L"");

    FunShowOptimizer(0x11, 1);
    CSystemOptimizerDlg* pWizard = GetSystemOptimizerView();
    ASSERT_NE(pWizard, nullptr);
    const char* names[] = {"network", "disk_cache", "desktop", "file_system"};
    for (int nPage = 0; nPage < CSystemOptimizerDlg::PAGE_COUNT; nPage++)
    {
        pWizard->SwitchPage(nPage);
        for (int nStep = 0; nStep <= 2; nStep++)
        {
            if (nPage == CSystemOptimizerDlg::PAGE_NETWORK && nStep == 1)
                continue;
            pWizard->SetStep(nStep);
            Pump(50);
            std::vector<std::string> faults = viewgeo::CheckViewFits(pWizard->m_hWnd, host.m_hWnd);
            EXPECT_TRUE(faults.empty()) << names[nPage] << " step " << nStep << ":\n" << viewgeo::Join(faults);
            ShootHost(host.m_hWnd, std::string("fit_optimizer_") + names[nPage] + "_" + std::to_string(nStep));
        }
        pWizard->SetStep(0);
    }
    const struct
    {
        int nView;
        const char* pszName;
    } others[2] = {{0x12, "services"}, {0x13, "memory"}};
    for (const auto& view : others)
    {
        FunShowOptimizer(view.nView, 1);
        Pump(200);
        HWND hView = ::GetDlgItem(host.m_hWnd, view.nView);
        ASSERT_NE(hView, (HWND)NULL);
        std::vector<std::string> faults = viewgeo::CheckViewFits(hView, host.m_hWnd);
        EXPECT_TRUE(faults.empty()) << view.pszName << ":\n" << viewgeo::Join(faults);
        ShootHost(host.m_hWnd, std::string("fit_optimizer_") + view.pszName);
    }
    FunShowOptimizer(0x10, 0);
    FunExitOptimizer();
    CIniFile::SetHostFolderForTests(NULL);
}
