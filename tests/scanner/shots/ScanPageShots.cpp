// Pictures of the home page, a running scan, the finished scan page and the
// result page for a person to look at.
#include "tests/scanner/ScanPageFixture.h"
#include "tests/scanner/ScanTestSupport.h"
#include "tests/support/MessageBoxRecorder.h"
#include "tests/support/shots/ShotsMain.h"
#include <string>

using testsupport::MessageBoxRecorder;
using testsupport::WaitFor;

TEST_F(ScanPageTest, Screenshots)
{
    auto shoot = [&](const std::string& strName) {
        WaitFor([] { return false; }, 600);
        m_pDlg->RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE | RDW_ALLCHILDREN);
        WaitFor([] { return false; }, 400);
        CRect rc;
        m_pDlg->GetWindowRect(&rc);
        std::string strGeometry = std::to_string(rc.Width()) + "x" + std::to_string(rc.Height()) + "+" +
                                  std::to_string(rc.left) + "+" + std::to_string(rc.top);
        EXPECT_EQ(testsupport::RunHostCommand("import -window root -crop " + strGeometry + " +repage " + ShotFolder() +
                                              "/" + strName + ".png"),
                  0);
    };
    scantest::ClassesKeys keys;
    for (int i = 0; i < 3; i++)
        ASSERT_TRUE(keys.SetString(L"CLSID\\" + scantest::NewGuid() + L"\\InprocServer32", L"",
                                   L"C:\\Program Files\\<Gone & Co>\\server" + std::to_wstring(i) + L".dll"));
    CreateMainWindow();
    shoot("scan_00_home");
    MessageBoxRecorder recorder;
    m_pDlg->m_pageHome.SendDlgItemMessage(1001, BM_CLICK);
    shoot("scan_01_scanning");
    ::SetEvent(m_hGate);
    EXPECT_TRUE(WaitFor([&] { return m_pDlg->m_pageScan.m_bScanning == 0; }, 20000));
    m_pDlg->ShowPage(PAGE_SCAN);
    shoot("scan_02_scan_page_done");
    m_pDlg->ShowPage(PAGE_SCAN_RESULT);
    shoot("scan_03_result");
}
