// The scan page fixture, shared by the page's tests and its screenshot tool.
#include "tests/scanner/ScanPageFixture.h"
#include "scanner/ScanThread.h"
#include "tests/support/MessageBoxRecorder.h"

CTamselApp* ScanPageTest::App()
{
    return static_cast<CTamselApp*>(AfxGetApp());
}

void ScanPageTest::SetUp()
{
    CTamselApp* pApp = App();
    pApp->m_strAppDir = m_folder.Path().c_str();
    pApp->m_strSettingsFile = pApp->m_strAppDir + L"Settings.ini";
    pApp->m_strLangFile.Empty();
    pApp->m_bAutoUpdate = 0;
    pApp->m_bAutoRepair = 0;
    pApp->m_bCloseAfterScan = 0;
    pApp->m_bWow64 = FALSE;
    for (int i = 0; i < TAMSEL_CATEGORY_COUNT; i++)
        pApp->m_bScanCategory[i] = 1;
    m_hGate = ::CreateEventW(NULL, TRUE, FALSE, NULL);
    SetScanStartGate(m_hGate);
}

void ScanPageTest::TearDown()
{
    if (m_pDlg)
    {
        m_pDlg->m_pageScan.m_bLeaving = 1;
        if (m_pDlg->m_pageScan.IsScanThreadRunning())
        {
            testsupport::MessageBoxRecorder recorder;
            m_pDlg->m_pageScan.StopScan();
        }
        if (m_pDlg->m_hWnd != NULL)
            m_pDlg->DestroyWindow();
        m_pDlg.reset();
    }
    SetScanStartGate(NULL);
    ::CloseHandle(m_hGate);
    MSG msg;
    while (::PeekMessageW(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE))
    {
    }
}

void ScanPageTest::CreateMainWindow()
{
    m_pDlg.reset(new CTamselDlg);
    ASSERT_TRUE(m_pDlg->Create(IDD_MAIN_WINDOW, NULL));
    // The home page is made once the window idles.
    ASSERT_TRUE(testsupport::WaitFor([&] { return m_pDlg->m_pageHome.m_hWnd != NULL; }, 20000));
    testsupport::WaitFor([] { return false; }, 100);
}

void ScanPageTest::OnlyCategory(int nKeySlot)
{
    for (int i = 0; i < HOME_CATEGORY_COUNT; i++)
        m_pDlg->m_pageHome.m_chkCategory[i].SetCheck(i == nKeySlot ? 1 : 0);
}
