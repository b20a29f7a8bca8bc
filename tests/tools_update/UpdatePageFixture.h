#pragma once
// A Windows Update page in a host window, with a scratch language file, the
// agent doubles installed and every message box recorded.
#include "app/TamselApp.h"
#include "tools/PatchUpdatePage.h"
#include "tests/support/MessageBoxRecorder.h"
#include "tests/support/TestSupport.h"
#include "tests/tools_update/FakeAgent.h"

#include <gtest/gtest.h>
#include <memory>
#include <string>

class UpdatePageTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    // A scenario of n updates titled U1..Un, all succeeding.
    static fakeagent::Scenario Updates(int nCount);
    // Scan, and wait until the page is idle again.
    void Scan();
    // Install, and wait until the run is over.
    void InstallAndWait(DWORD dwTimeoutMs = 20000);
    bool WaitIdle(DWORD dwTimeoutMs = 20000);
    std::wstring Cell(int nRow, int nColumn);
    int Image(int nRow);
    bool Enabled(UINT nID);
    bool Visible(UINT nID);
    // The titles in the fake agent's log lines that start with the prefix.
    std::vector<std::wstring> Logged(const std::wstring& strPrefix);

    testsupport::ScratchFolder m_folder;
    CTamselApp* m_pApp = NULL;
    CWnd m_wndHost;
    std::unique_ptr<CPatchUpdatePage> m_pPage;
    std::unique_ptr<testsupport::MessageBoxRecorder> m_pBoxes;
    long m_nLiveBefore = 0;
    long m_nCallbacksBefore = 0;
};
