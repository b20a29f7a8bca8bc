// Pictures of every wizard step and the one-click settings for a person to
// look at.
#include "optimizer/DiskCachePage.h"
#include "optimizer/OneClickSettingDlg.h"
#include "optimizer/OptimizerText.h"
#include "tests/optimizer/WizardFixture.h"
#include "tests/support/shots/ShotsMain.h"

using namespace optest;

namespace {
void Shoot(HWND hWnd, const std::string& strName)
{
    Pump(300);
    ::RedrawWindow(hWnd, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE | RDW_ALLCHILDREN);
    Pump(200);
    RECT rc;
    ::GetWindowRect(hWnd, &rc);
    std::string strGeometry = std::to_string(rc.right - rc.left) + "x" + std::to_string(rc.bottom - rc.top) + "+" +
                              std::to_string(rc.left) + "+" + std::to_string(rc.top);
    EXPECT_EQ(testsupport::RunHostCommand("import -window root -crop " + strGeometry + " +repage " + ShotFolder() +
                                          "/" + strName + ".png"),
              0);
}
} // namespace

TEST_F(WizardTest, Screenshots)
{
    m_pDlg->SetWindowPos(NULL, 155, 158, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    testsupport::MessageBoxRecorder recorder;
    const char* names[] = {"network", "disk_cache", "desktop", "file_system"};
    for (int nPage = 0; nPage < CSystemOptimizerDlg::PAGE_COUNT; nPage++)
    {
        m_pDlg->SwitchPage(nPage);
        Shoot(m_pDlg->m_hWnd, std::string("optimizer_") + names[nPage] + "_1_choose");
        Command(5027);
        if (nPage != CSystemOptimizerDlg::PAGE_NETWORK)
        {
            Shoot(m_pDlg->m_hWnd, std::string("optimizer_") + names[nPage] + "_2_review");
            Command(5026);
        }
        Shoot(m_pDlg->m_hWnd, std::string("optimizer_") + names[nPage] + "_3_finish");
        Command(5025);
    }
    COneClickSettingDlg oneClick(m_pDlg.get());
    ASSERT_TRUE(oneClick.Create(COneClickSettingDlg::IDD, m_pDlg.get()));
    oneClick.ShowWindow(SW_SHOW);
    Shoot(oneClick.m_hWnd, "optimizer_one_click");
    oneClick.DestroyWindow();
}
