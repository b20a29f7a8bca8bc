// The service optimizer's six usage profiles: each label shows its whole
// text beside its radio and ends clear of the next radio and of the Optimize
// button.
#include "optimizer/OptimizerViews.h"
#include "optimizer/ServiceOptimizerDlg.h"
#include "optimizer/TunekitExports.h"
#include "optimizer/shared/IniFile.h"
#include "tests/optimizer/OptimizerTestSupport.h"
#include "tests/privacy_ui/ViewGeometry.h"
#include <vector>

using namespace optest;

namespace {
CRect ChildRect(HWND hParent, UINT nID)
{
    CRect rc;
    ::GetWindowRect(::GetDlgItem(hParent, (int)nID), &rc);
    ::MapWindowPoints(NULL, hParent, (LPPOINT)&rc, 2);
    return rc;
}

int TextWidth(HWND hLabel)
{
    WCHAR szText[128] = L"";
    ::GetWindowTextW(hLabel, szText, 128);
    HDC hDC = ::GetDC(hLabel);
    HGDIOBJ hOld = ::SelectObject(hDC, (HFONT)::SendMessageW(hLabel, WM_GETFONT, 0, 0));
    SIZE size = {};
    ::GetTextExtentPoint32W(hDC, szText, lstrlenW(szText), &size);
    ::SelectObject(hDC, hOld);
    ::ReleaseDC(hLabel, hDC);
    return size.cx;
}
} // namespace

TEST(ServiceOptimizerLayout, ProfileLabelsStayClearOfTheNextControl)
{
    HostWindow host;
    RedirectedHive hive;
    testsupport::ScratchFolder folder;
    testsupport::MessageBoxRecorder boxes;
    CIniFile::SetHostFolderForTests(folder.Path().c_str());
    FunOptimizerSwitchLanguage(EnglishLanguageFile().c_str());
    FunInitOptimizer(host.m_hWnd, 0x10, viewgeo::kPageArea.left - 10, viewgeo::kPageArea.top, L"", L"", L"");
    FunShowOptimizer(0x12, 1);
    Pump(100);
    HWND hView = ::GetDlgItem(host.m_hWnd, 0x12);
    ASSERT_NE(hView, (HWND)NULL);
    const UINT radios[6] = {5057, 5058, 5059, 5062, 5061, 5060};
    const UINT labels[6] = {5089, 5091, 5093, 5090, 5092, 5094};
    std::vector<UINT> controls(radios, radios + 6);
    controls.insert(controls.end(), labels, labels + 6);
    controls.push_back(5063);
    CRect rcClient;
    ::GetClientRect(hView, &rcClient);
    const int kClear = 3;
    for (int i = 0; i < 6; i++)
    {
        CRect rcRadio = ChildRect(hView, radios[i]), rcLabel = ChildRect(hView, labels[i]);
        EXPECT_LE(rcLabel.left + TextWidth(::GetDlgItem(hView, (int)labels[i])), rcLabel.right) << labels[i];
        EXPECT_GE(rcLabel.left, rcRadio.right) << labels[i];
        EXPECT_TRUE(rcRadio.top < rcLabel.bottom && rcLabel.top < rcRadio.bottom) << labels[i] << " beside its radio";
        CRect rcInside;
        rcInside.IntersectRect(&rcLabel, &rcClient);
        EXPECT_EQ(rcInside, rcLabel) << labels[i];
        // Whatever stands right of the label on its row starts clear of it.
        for (UINT nOther : controls)
        {
            CRect rcOther = ChildRect(hView, nOther);
            if (nOther == labels[i] || rcOther.bottom <= rcLabel.top || rcLabel.bottom <= rcOther.top ||
                rcOther.left < rcLabel.left)
                continue;
            EXPECT_LE(rcLabel.right + kClear, rcOther.left)
                << "label " << labels[i] << " ends at " << rcLabel.right << ", control " << nOther << " starts at "
                << rcOther.left;
        }
    }
    FunShowOptimizer(0x10, 0);
    FunExitOptimizer();
    CIniFile::SetHostFolderForTests(NULL);
}
