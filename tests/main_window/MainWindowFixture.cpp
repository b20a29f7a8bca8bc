#include "tests/main_window/MainWindowFixture.h"
#include "app/LibraryBinding.h"
#include "scanner/ScanThread.h"

// The application object of the test executable.
CTamselApp theApp;

CTamselApp* TestApp()
{
    return &theApp;
}

namespace {
std::wstring ExeFolder()
{
    WCHAR szPath[MAX_PATH] = L"";
    ::GetModuleFileNameW(NULL, szPath, MAX_PATH);
    std::wstring strPath(szPath);
    return strPath.substr(0, strPath.rfind(L'\\') + 1);
}
} // namespace

void MainWindowTest::SetUp()
{
    CTamselApp* pApp = TestApp();
    pApp->m_strAppDir = m_folder.Path().c_str();
    pApp->m_strSettingsFile = pApp->m_strAppDir + L"Settings.ini";
    pApp->m_strLangFile.Empty();
    pApp->m_bAutoUpdate = 0;
    for (int i = 0; i < TAMSEL_CATEGORY_COUNT; i++)
        pApp->m_bScanCategory[i] = 1;
    // A scan runs until the test stops it, as long as a real one on a full registry.
    m_hScanGate = ::CreateEventW(NULL, TRUE, FALSE, NULL);
    SetScanStartGate(m_hScanGate);
}

void MainWindowTest::TearDown()
{
    if (m_pDlg)
    {
        m_pDlg->m_pageScan.m_bLeaving = 1;
        if (m_pDlg->m_pageScan.IsScanThreadRunning())
        {
            testsupport::MessageBoxRecorder recorder;
            m_pDlg->m_pageScan.StopScan();
            m_pDlg->m_pageScan.WaitForScanEnd(5000);
        }
        // The program keeps its libraries; a test frees them so that the
        // next one loads its own copies.
        m_pDlg->UnloadPrivacyLibrary();
        m_pDlg->UnloadOptimizerLibrary();
        if (m_pDlg->m_hWnd != NULL)
            m_pDlg->DestroyWindow();
        m_pDlg.reset();
    }
    SetScanStartGate(NULL);
    if (m_hScanGate != NULL)
        ::CloseHandle(m_hScanGate);
    m_hScanGate = NULL;
    ClearPrivacyExports();
    ClearOptimizerExports();
    // Whatever the closing posted must not end later tests' loops.
    MSG msg;
    while (::PeekMessageW(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE))
    {
    }
}

void MainWindowTest::CopyLibraries(bool bPrivacy, bool bOptimizer)
{
    if (bPrivacy)
        ASSERT_TRUE(::CopyFileW((ExeFolder() + L"Sweepkit.dll").c_str(), m_folder.File(L"Sweepkit.dll").c_str(), FALSE));
    if (bOptimizer)
        ASSERT_TRUE(::CopyFileW((ExeFolder() + L"Tunekit.dll").c_str(), m_folder.File(L"Tunekit.dll").c_str(), FALSE));
}

void MainWindowTest::CreateMainWindow()
{
    m_pDlg.reset(new CTamselDlg);
    ASSERT_TRUE(m_pDlg->Create(IDD_MAIN_WINDOW, NULL));
    testsupport::WaitFor([] { return false; }, 100);
}

void MainWindowTest::PaintCheckingUpdatesAt(LPCWSTR pszSite)
{
    TestApp()->m_bAutoUpdate = 1;
    ::WritePrivateProfileStringW(L"General Settings", L"UpdateSite", pszSite, m_folder.File(L"Settings.ini").c_str());
    CreateMainWindow();
    m_pDlg->UpdateWindow();
}

void MainWindowTest::SendCommand(UINT nID, UINT nCode)
{
    // Controls send their own handle along; navigation items have none here.
    m_pDlg->SendMessage(WM_COMMAND, MAKEWPARAM(nID, nCode), (LPARAM)::GetDlgItem(m_pDlg->m_hWnd, (int)nID));
}

int MainWindowTest::VisiblePage() const
{
    int nFound = -1;
    for (int i = 0; i < m_pDlg->GetPageCount(); i++)
    {
        PageInfo* pInfo = m_pDlg->GetPageInfo(i);
        if (pInfo->pPage != NULL && pInfo->pPage->m_hWnd != NULL && pInfo->pPage->IsWindowVisible())
        {
            if (nFound != -1)
                return -2;
            nFound = i;
        }
    }
    return nFound;
}

HWND MainWindowTest::LibraryView(UINT nID) const
{
    return ::GetDlgItem(m_pDlg->m_hWnd, (int)nID);
}
