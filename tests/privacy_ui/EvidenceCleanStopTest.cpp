// The evidence page's clean stopped while it runs: by the library's stop
// export, or by its progress dialog ending from outside (the program
// quitting). The History item's files, in a scratch folder, stay; a stopped
// clean asks nothing about a restart.
#include "optimizer/shared/IniFile.h"
#include "privacy/CleanProgressDlg.h"
#include "privacy/EvidenceCatalogue.h"
#include "privacy/EvidenceCleanerDlg.h"
#include "privacy/PrivacyState.h"
#include "privacy/SweepkitExports.h"
#include "tests/privacy_engine/EvidenceTestEnvironment.h"
#include "tests/privacy_ui/PrivacyUiSupport.h"
#include <shlobj.h>
#include <atomic>

using namespace privtest;

namespace {

const int kHistoryItem = 130;
std::atomic<CCleanProgressDlg*> s_pProgress{NULL};

// The History item's clean clears the URL history first: here that call
// holds the clean's worker until the running clean is asked to stop (at
// most 20 s), then fails, so one entry counts undeleted.
class CHoldingEnvironment : public CTestEvidenceEnvironment
{
public:
    HRESULT ClearUrlHistory() override
    {
        m_bEntered = true;
        for (int n = 0; n < 10000; n++)
        {
            CCleanProgressDlg* pProgress = s_pProgress.load();
            if (pProgress != NULL && pProgress->IsStopRequested())
                break;
            ::Sleep(2);
        }
        return E_FAIL;
    }
    std::atomic<bool> m_bEntered{false};
};

class EvidenceCleanStopTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_strHistory = m_folder.Path() + L"History";
        ASSERT_TRUE(::CreateDirectoryW(m_strHistory.c_str(), NULL));
        m_environment.m_shellFolders[CSIDL_HISTORY] = m_strHistory;
        for (int i = 0; i < 20; i++)
            ASSERT_TRUE(testsupport::WriteFileBytes(File(i), "visit"));
        CIniFile::SetHostFolderForTests(m_folder.Path().c_str());
        FunPrivacySwitchLanguage(EnglishLanguageFile().c_str());
        FunInitPrivacy(m_host.m_hWnd, 1, 0, 0, L"", L"", L"");
        m_pPage = PrivacyEvidencePage();
        ASSERT_NE(m_pPage, (CEvidenceCleanerDlg*)NULL);
        FunShowWindow(1, 1);
        CMyTreeCtrl& tree = m_pPage->GetTree();
        tree.UncheckAll(PrivacyCatalogue());
        ASSERT_TRUE(tree.CheckItemById(PrivacyCatalogue(), kHistoryItem));
        m_pPage->SendMessage(WM_COMMAND, MAKEWPARAM(CEvidenceCleanerDlg::IDC_SCAN, BN_CLICKED), 0);
        ASSERT_TRUE(testsupport::WaitFor([&] { return !m_pPage->IsScanning() && FunIsThread() == 0; }, 60000));
        ASSERT_EQ(m_pPage->GetResultList().GetItemCount(), 20);
    }
    void TearDown() override
    {
        s_pProgress = NULL;
        FunExitPrivacy();
        CIniFile::SetHostFolderForTests(NULL);
    }
    std::wstring File(int i) const { return m_strHistory + L"\\visit" + std::to_wstring(i) + L".dat"; }
    int FilesLeft() const
    {
        int nLeft = 0;
        for (int i = 0; i < 20; i++)
            if (::GetFileAttributesW(File(i).c_str()) != INVALID_FILE_ATTRIBUTES)
                nLeft++;
        return nLeft;
    }
    // The script's first step: the worker is held inside the clean.
    bool HeldInTheClean()
    {
        CCleanProgressDlg* pDlg = m_pPage->GetProgressDialog();
        if (pDlg == NULL || !m_environment.m_bEntered)
            return false;
        s_pProgress = pDlg;
        return true;
    }

    CHoldingEnvironment m_environment;
    testsupport::ScratchFolder m_folder;
    std::wstring m_strHistory;
    HostWindow m_host;
    CEvidenceCleanerDlg* m_pPage = NULL;
};

} // namespace

TEST_F(EvidenceCleanStopTest, TheStopExportStopsTheRunningClean)
{
    testsupport::MessageBoxRecorder boxes;
    int nDeleted = -1, nUndeleted = -1;
    ModalScript script({
        [&] {
            if (!HeldInTheClean())
                return false;
            FunStopThread();
            return true;
        },
        [&] {
            CCleanProgressDlg* pDlg = m_pPage->GetProgressDialog();
            if (pDlg == NULL || !pDlg->IsWorkDone())
                return false;
            nDeleted = pDlg->GetDeletedCount();
            nUndeleted = pDlg->GetUndeletedCount();
            ::SendMessageW(pDlg->m_hWnd, WM_COMMAND, CCleanProgressDlg::IDC_EXIT, 0);
            return true;
        },
    });
    m_pPage->SendMessage(WM_COMMAND, MAKEWPARAM(CEvidenceCleanerDlg::IDC_CLEAN, BN_CLICKED), 0);
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(nDeleted, 0);
    EXPECT_EQ(nUndeleted, 1) << "the history clear that failed";
    EXPECT_EQ(FilesLeft(), 20) << "the folder is not walked past the stop";
    EXPECT_EQ(boxes.Count(), 0u) << "no restart question after a stopped clean";
}

TEST_F(EvidenceCleanStopTest, AQuitWhileTheCleanRunsStopsIt)
{
    testsupport::MessageBoxRecorder boxes;
    ModalScript script({[&] {
        if (!HeldInTheClean())
            return false;
        ::PostQuitMessage(0);  // as the main window's close does
        return true;
    }});
    m_pPage->SendMessage(WM_COMMAND, MAKEWPARAM(CEvidenceCleanerDlg::IDC_CLEAN, BN_CLICKED), 0);
    MSG msg;
    while (::PeekMessageW(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE))
    {
    }
    EXPECT_TRUE(script.Finished());
    EXPECT_EQ(m_pPage->GetProgressDialog(), (CCleanProgressDlg*)NULL) << "the clean has returned";
    EXPECT_EQ(FilesLeft(), 20);
    EXPECT_EQ(boxes.Count(), 0u) << "no restart question while quitting";
}
