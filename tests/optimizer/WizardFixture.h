#pragma once
// A wizard in a host window, with its settings file in a scratch folder and
// the registry redirected.
#include "optimizer/SystemOptimizerDlg.h"
#include "tests/optimizer/OptimizerTestSupport.h"
#include <memory>

class WizardTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;
    void Command(UINT nID);
    void ExpectButtons(BOOL bStep1, BOOL bStep2, BOOL bOptimize, BOOL bDefault, BOOL bReset, int nLine);
    bool HasValue(const std::wstring& strEntry);

    testsupport::ScratchFolder m_folder;
    optest::HostWindow m_host;
    std::unique_ptr<optest::RedirectedHive> m_hive;
    std::unique_ptr<CSystemOptimizerDlg> m_pDlg;
};
