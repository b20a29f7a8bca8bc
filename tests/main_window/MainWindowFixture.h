#pragma once
// A main window in a scratch program folder: its own Settings.ini, language
// folder and, when a test asks, copies of the two libraries.
#include "app/TamselApp.h"
#include "app/TamselDlg.h"
#include "tests/support/MessageBoxRecorder.h"
#include "tests/support/TestSupport.h"
#include <gtest/gtest.h>
#include <memory>

CTamselApp* TestApp();

class MainWindowTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // Copies Sweepkit.dll and/or Tunekit.dll from beside the test executable.
    void CopyLibraries(bool bPrivacy, bool bOptimizer);
    void CreateMainWindow();
    // The window with the automatic check on against pszSite, painted once:
    // the first paint starts that check.
    void PaintCheckingUpdatesAt(LPCWSTR pszSite);
    void SendCommand(UINT nID, UINT nCode = BN_CLICKED);
    // The one visible page, or -1; -2 when more than one is visible.
    int VisiblePage() const;
    HWND LibraryView(UINT nID) const;

    testsupport::ScratchFolder m_folder;
    std::unique_ptr<CTamselDlg> m_pDlg;
    HANDLE m_hScanGate = NULL;
};
