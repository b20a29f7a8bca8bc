// Each of the three views placed as the host places it, in a window the size
// of the host's, fits the page area with nothing cut.
#include "privacy/JunkCleanerDlg.h"
#include "privacy/PrivacyState.h"
#include "privacy/SweepkitExports.h"
#include "tests/privacy_ui/PrivacyUiSupport.h"
#include "tests/privacy_ui/ViewGeometry.h"

using namespace privtest;

TEST(PrivacyViewFit, EveryViewAndTabFitsTheHostsPageArea)
{
    HostWindow host;
    host.SetWindowPos(NULL, 0, 0, viewgeo::kHostSize.cx, viewgeo::kHostSize.cy, SWP_NOZORDER | SWP_NOACTIVATE);
    FunPrivacySwitchLanguage(EnglishLanguageFile().c_str());
    FunInitPrivacy(host.m_hWnd, 0, viewgeo::kPageArea.left - 10, viewgeo::kPageArea.top, L"", L"", L"");
    const struct
    {
        int nPage;
        UINT nID;
        const char* pszName;
    } views[3] = {{1, 4000, "evidence"}, {2, 350, "junk"}, {3, 157, "shredder"}};
    for (const auto& view : views)
    {
        FunShowWindow(view.nPage, 1);
        Pump(100);
        HWND hView = ::GetDlgItem(host.m_hWnd, (int)view.nID);
        ASSERT_NE(hView, (HWND)NULL);
        EXPECT_TRUE(::IsWindowVisible(hView));
        std::vector<std::string> faults = viewgeo::CheckViewFits(hView, host.m_hWnd);
        EXPECT_TRUE(faults.empty()) << view.pszName << ":\n" << viewgeo::Join(faults);
        Shoot(host.m_hWnd, std::string("fit_privacy_") + view.pszName);
    }
    // The junk cleaner's second tab.
    FunShowWindow(2, 1);
    CJunkCleanerDlg* pJunk = PrivacyJunkPage();
    ASSERT_NE(pJunk, nullptr);
    pJunk->ShowTab(1);
    Pump(100);
    std::vector<std::string> faults = viewgeo::CheckViewFits(pJunk->m_hWnd, host.m_hWnd);
    EXPECT_TRUE(faults.empty()) << "junk results:\n" << viewgeo::Join(faults);
    Shoot(host.m_hWnd, "fit_privacy_junk_results");
    FunShowWindow(0, 0);
    FunExitPrivacy();
    PrivacySetLanguageFile(L"");
}
