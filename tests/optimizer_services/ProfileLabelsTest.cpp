// The service view's profile labels: each text fits its label on one line,
// and no label runs under the Optimize button or into the next column.
#include "optimizer/ServiceOptimizerDlg.h"
#include "optimizer/TunekitSettings.h"
#include "tests/optimizer/OptimizerTestSupport.h"

#include <gtest/gtest.h>

using namespace optest;

namespace {

RECT ScreenRect(HWND hWnd)
{
    RECT rc = {};
    ::GetWindowRect(hWnd, &rc);
    return rc;
}

} // namespace

TEST(ProfileLabels, EachTextFitsOnOneLineBesideItsNeighbours)
{
    WriteDefaultSettings();
    HostWindow host;
    CServiceOptimizerDlg view;
    ASSERT_TRUE(view.Create(CServiceOptimizerDlg::IDD, host.Wnd()));
    view.ShowWindow(SW_SHOW);
    Pump(100);
    const RECT rcOptimize = ScreenRect(::GetDlgItem(view.m_hWnd, 5063));
    const UINT kLabels[] = { 5089, 5091, 5093, 5090, 5092, 5094 };
    const UINT kRadios[] = { 5057, 5058, 5059, 5062, 5061, 5060 };
    for (int i = 0; i < 6; ++i)
    {
        HWND hLabel = ::GetDlgItem(view.m_hWnd, kLabels[i]);
        ASSERT_TRUE(hLabel != NULL) << kLabels[i];
        wchar_t szText[128] = {};
        ::GetWindowTextW(hLabel, szText, 128);
        HDC hDC = ::GetDC(hLabel);
        HGDIOBJ hOld = ::SelectObject(hDC, (HFONT)::SendMessageW(hLabel, WM_GETFONT, 0, 0));
        SIZE size = {};
        ::GetTextExtentPoint32W(hDC, szText, (int)wcslen(szText), &size);
        ::SelectObject(hDC, hOld);
        ::ReleaseDC(hLabel, hDC);
        RECT rcClient = {};
        ::GetClientRect(hLabel, &rcClient);
        EXPECT_LE(size.cx, rcClient.right) << "label " << kLabels[i];

        const RECT rcLabel = ScreenRect(hLabel);
        RECT rcCross = {};
        EXPECT_FALSE(::IntersectRect(&rcCross, &rcLabel, &rcOptimize)) << "label " << kLabels[i];
        // Every other radio button on this label's row starts after it ends
        // (the columns follow the texts' widths, so a row holds two or three).
        for (int j = 0; j < 6; ++j)
        {
            const RECT rcOther = ScreenRect(::GetDlgItem(view.m_hWnd, kRadios[j]));
            const bool bSameRow = rcOther.top < rcLabel.bottom && rcOther.bottom > rcLabel.top;
            if (j != i && bSameRow && rcOther.left >= rcLabel.left)
                EXPECT_LE(rcLabel.right, rcOther.left) << "label " << kLabels[i] << " radio " << kRadios[j];
        }
    }
    view.DestroyWindow();
}
