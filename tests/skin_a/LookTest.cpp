#include "tests/skin_a/SkinTestDialog.h"

#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

// Shows every control in its page-like dialog until a marker file appears,
// for looking at the screen: run with --gtest_also_run_disabled_tests and
// SKIN_A_MARKER set to a Windows path.
TEST(Look, DISABLED_ShowAllControls)
{
    CSkinTestDialog dlg;
    ASSERT_TRUE(ShowSkinTestDialog(dlg));
    dlg.m_chkActiveX.SetCheck(1);
    dlg.m_btnScan.SetTooltipText(L"Scan the registry now");
    dlg.m_btnScan.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(20, 20));
    dlg.m_chkFonts.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(5, 8));
    CRect rc;
    dlg.m_taskFull.GetWindowRect(&rc);
    SetCursorPos(rc.left + 40, rc.top + 20);
    wchar_t szMarker[MAX_PATH] = L"";
    GetEnvironmentVariableW(L"SKIN_A_MARKER", szMarker, MAX_PATH);
    testsupport::WaitFor([&] { return szMarker[0] && GetFileAttributesW(szMarker) != INVALID_FILE_ATTRIBUTES; },
                         60000);
    dlg.DestroyWindow();
}
