#pragma once
// The main window on a scratch application folder, every category on, and
// scans held at the start gate until the test opens it.
#include "app/TamselApp.h"
#include "app/TamselDlg.h"
#include "tests/support/TestSupport.h"
#include <gtest/gtest.h>
#include <memory>

class ScanPageTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;
    static CTamselApp* App();
    void CreateMainWindow();
    void OnlyCategory(int nKeySlot);
    bool IsVisible(CWnd& page) { return page.m_hWnd != NULL && page.IsWindowVisible(); }

    testsupport::ScratchFolder m_folder;
    std::unique_ptr<CTamselDlg> m_pDlg;
    HANDLE m_hGate = NULL;
};
