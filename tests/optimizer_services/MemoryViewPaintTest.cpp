// The memory view as it shows on screen: its figure labels read on white.
#include "optimizer/MemoryOptimizerDlg.h"
#include "optimizer/OptimizerText.h"
#include "tests/optimizer/OptimizerTestSupport.h"
#include "tests/optimizer_services/ServiceTestSupport.h"

using namespace optest;
using namespace svctest;

TEST(MemoryViewPaint, FigureLabelsShowDarkTextOnWhiteAfterEachRefresh)
{
    SetMemoryHooksForTests(NULL);
    SetOptimizerLanguageFile(EnglishLanguageFile().c_str());
    HostWindow host;
    CMemoryOptimizerDlg view;
    ASSERT_TRUE(view.Create(CMemoryOptimizerDlg::IDD, host.Wnd()));
    view.ShowWindow(SW_SHOW);
    for (int nRound = 0; nRound < 2; ++nRound)
    {
        view.Refresh();
        view.UpdateWindow();
        Pump(100);
        for (int nID : {5104, 5099, 5102, 5111, 5114})
        {
            const PixelCount count = CountPixels(::GetDlgItem(view.m_hWnd, nID));
            ASSERT_GT(count.nAll, 0) << nID;
            // Text takes a small share; the rest is the white background.
            EXPECT_GT(count.nWhite, count.nAll / 2) << "label " << nID << " round " << nRound;
            EXPECT_GT(count.nDark, 0) << "label " << nID << " shows its text";
            EXPECT_LT(count.nDark, count.nAll / 2) << "label " << nID << " is not a dark block";
        }
    }
    ShootIfAsked(view.m_hWnd, "optimizer_memory");
    view.DestroyWindow();
}
