// The wizard fixture, shared by the wizard's tests and its screenshot tool.
#include "tests/optimizer/WizardFixture.h"
#include "optimizer/OptimizerText.h"
#include "optimizer/shared/IniFile.h"

using namespace optest;

namespace {
struct ButtonRow
{
    BOOL bStep1, bStep2, bOptimize, bDefault, bReset;
};
} // namespace

void WizardTest::SetUp()
{
    CIniFile::SetHostFolderForTests(m_folder.Path().c_str());
    SetOptimizerLanguageFile(EnglishLanguageFile().c_str());
    m_hive.reset(new RedirectedHive);
    m_pDlg.reset(new CSystemOptimizerDlg);
    ASSERT_TRUE(m_pDlg->Create(CSystemOptimizerDlg::IDD, &m_host));
    m_pDlg->ShowWindow(SW_SHOW);
    Pump(30);
}

void WizardTest::TearDown()
{
    m_pDlg.reset();
    m_hive.reset();
    CIniFile::SetHostFolderForTests(NULL);
}

void WizardTest::Command(UINT nID)
{
    m_pDlg->SendMessage(WM_COMMAND, MAKEWPARAM(nID, BN_CLICKED), (LPARAM)::GetDlgItem(m_pDlg->m_hWnd, (int)nID));
}

void WizardTest::ExpectButtons(BOOL bStep1, BOOL bStep2, BOOL bOptimize, BOOL bDefault, BOOL bReset, int nLine)
{
    const ButtonRow row = {bStep1, bStep2, bOptimize, bDefault, bReset};
    const UINT ids[] = {5027, 5026, 5028, 5024, 5025};
    const BOOL want[] = {row.bStep1, row.bStep2, row.bOptimize, row.bDefault, row.bReset};
    for (int i = 0; i < 5; i++)
    {
        EXPECT_EQ(m_pDlg->GetButton(ids[i])->IsButtonEnabled(), want[i]) << "button " << ids[i] << " line " << nLine;
        EXPECT_EQ(::IsWindowEnabled(::GetDlgItem(m_pDlg->m_hWnd, (int)ids[i])) != FALSE, want[i] != FALSE);
    }
}

bool WizardTest::HasValue(const std::wstring& strEntry)
{
    RegDump dump = m_hive->Dump();
    for (const auto& entry : dump)
    {
        if (CString(entry.first.c_str()).CompareNoCase(strEntry.c_str()) == 0)
            return true;
    }
    return false;
}
