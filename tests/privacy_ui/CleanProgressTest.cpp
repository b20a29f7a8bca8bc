// The cleaning progress dialog: cells, counters, the end of the work, and
// that nothing ends it while its worker still reports to it.
#include "privacy/CleanProgressDlg.h"
#include "privacy/PrivacyState.h"
#include "privacy/RestartWindows.h"
#include "tests/privacy_ui/PrivacyUiSupport.h"
#include <atomic>

using namespace privtest;

namespace {
class CleanProgressTest : public ::testing::Test
{
protected:
    void SetUp() override { PrivacySetLanguageFile(EnglishLanguageFile().c_str()); }
    HostWindow m_host;
};

} // namespace

TEST_F(CleanProgressTest, CellsLightAsTheCountsPassEachTenth)
{
    // Below ten entries each entry is a step; the last one lights all ten.
    std::vector<int> steps;
    CCleanProgressDlg small(5, [&](CCleanProgressDlg& progress) {
        for (int i = 0; i < 5; i++)
        {
            progress.AddDeleted(0);
            steps.push_back(progress.GetProgressStep());
        }
    }, &m_host);
    EXPECT_EQ(small.GetStepSize(), 1);
    ModalScript script({[&] { return small.IsWorkDone() && (::SendMessageW(small.m_hWnd, WM_COMMAND, 1028, 0), true); }});
    EXPECT_EQ(small.DoModal(), IDOK);
    EXPECT_EQ(steps, (std::vector<int>{0, 1, 2, 3, 10}));
    EXPECT_EQ(small.GetDeletedCount(), 5);

    // 35 entries: a step every 3, counts of a key delete added whole.
    steps.clear();
    CCleanProgressDlg large(35, [&](CCleanProgressDlg& progress) {
        progress.AddDeleted(4);  // a key with four values
        steps.push_back(progress.GetProgressStep());
        for (int i = 0; i < 8; i++)
        {
            progress.AddUndeleted();
            steps.push_back(progress.GetProgressStep());
        }
    }, &m_host);
    EXPECT_EQ(large.GetStepSize(), 3);
    ModalScript script2({[&] { return large.IsWorkDone() && (::SendMessageW(large.m_hWnd, WM_COMMAND, 1028, 0), true); }});
    EXPECT_EQ(large.DoModal(), IDOK);
    EXPECT_EQ(steps, (std::vector<int>{1, 1, 1, 2, 2, 2, 3, 3, 3}));
    EXPECT_EQ(large.GetDeletedCount(), 4);
    EXPECT_EQ(large.GetUndeletedCount(), 8);
    EXPECT_EQ(large.GetProgressStep(), 10) << "the final display lights every cell";
}

TEST_F(CleanProgressTest, EscapeAndCloseDoNothingWhileTheWorkRuns)
{
    HANDLE hGate = ::CreateEventW(NULL, TRUE, FALSE, NULL);
    std::atomic<bool> bWorkEnded(false);
    CCleanProgressDlg dlg(3, [&](CCleanProgressDlg& progress) {
        progress.AddDeleted(0);
        ::WaitForSingleObject(hGate, 20000);
        progress.AddDeleted(0);
        progress.AddUndeleted();
        bWorkEnded = true;
    }, &m_host);
    bool bExitHiddenWhileRunning = false, bAlertShown = false, bStillOpen = false;
    CString strDeleted, strUndeleted;
    ModalScript script({
        [&] { return dlg.GetDeletedCount() == 1; },
        [&] {
            bExitHiddenWhileRunning = !dlg.GetExitButton().IsWindowVisible();
            ::SendMessageW(dlg.m_hWnd, WM_COMMAND, IDCANCEL, 0);  // Escape
            ::SendMessageW(dlg.m_hWnd, WM_CLOSE, 0, 0);
            ::SendMessageW(dlg.m_hWnd, WM_COMMAND, IDOK, 0);      // Enter
            ::SendMessageW(dlg.m_hWnd, WM_COMMAND, 1028, 0);      // Exit, though hidden
            return true;
        },
        [&] {
            bStillOpen = ::IsWindow(dlg.m_hWnd) && ::IsWindowVisible(dlg.m_hWnd);
            ::SetEvent(hGate);
            return true;
        },
        [&] {
            if (!dlg.IsWorkDone())
                return false;
            bAlertShown = dlg.GetAlertText().IsWindowVisible() != FALSE;
            strDeleted = dlg.GetDeletedDisplay().GetText();
            strUndeleted = dlg.GetUndeletedDisplay().GetText();
            Shoot(dlg.m_hWnd, "privacy_clean_progress");
            ::SendMessageW(dlg.m_hWnd, WM_KEYDOWN, VK_ESCAPE, 0);
            ::SendMessageW(dlg.m_hWnd, WM_COMMAND, IDCANCEL, 0);  // Escape after the end: Exit
            return true;
        },
    });
    INT_PTR nResult = dlg.DoModal();
    ::CloseHandle(hGate);
    EXPECT_TRUE(bExitHiddenWhileRunning);
    EXPECT_TRUE(bStillOpen) << "Escape, close and Enter ended a dialog whose worker still runs";
    EXPECT_TRUE(bWorkEnded);
    EXPECT_EQ(nResult, IDOK);
    EXPECT_TRUE(bAlertShown) << "one entry undeleted";
    EXPECT_EQ(strDeleted, CString(L"2"));
    EXPECT_EQ(strUndeleted, CString(L"1"));
}

TEST_F(CleanProgressTest, NoAlertWhenEverythingWentAndTextsFromTheLanguageFile)
{
    bool bAlertShown = true, bExitShown = false;
    CString strLabel, strExit;
    CCleanProgressDlg dlg(2, [](CCleanProgressDlg& progress) { progress.AddDeleted(2); }, &m_host);
    ModalScript script({[&] {
        if (!dlg.IsWorkDone())
            return false;
        bAlertShown = dlg.GetAlertText().IsWindowVisible() != FALSE;
        bExitShown = dlg.GetExitButton().IsWindowVisible() != FALSE;
        dlg.GetDlgItem(4011)->GetWindowText(strLabel);
        dlg.GetExitButton().GetWindowText(strExit);
        ::SendMessageW(dlg.m_hWnd, WM_COMMAND, 1028, 0);
        return true;
    }});
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_FALSE(bAlertShown);
    EXPECT_TRUE(bExitShown);
    EXPECT_EQ(strLabel, CString(L"Undelete Items:"));
    EXPECT_EQ(strExit, CString(L"Exit"));
}

TEST(RestartWindows, OnlyAfterAnExplicitYesAndNeverForced)
{
    testsupport::MessageBoxRecorder boxes;
    ExitWindowsRecorder recorder;
    boxes.QueueAnswer(IDNO);
    EXPECT_FALSE(OfferRestartAfterClean(NULL, EnglishLanguageFile().c_str()));
    boxes.QueueAnswer(IDCANCEL);
    EXPECT_FALSE(OfferRestartAfterClean(NULL, EnglishLanguageFile().c_str()));
    EXPECT_TRUE(recorder.m_calls.empty());
    ASSERT_EQ(boxes.Count(), 2u);
    EXPECT_EQ(boxes.Boxes()[0].nType & MB_TYPEMASK, (UINT)MB_YESNO);
    EXPECT_EQ(boxes.Boxes()[0].nType & MB_DEFMASK, (UINT)MB_DEFBUTTON2) << "No is the default";

    boxes.QueueAnswer(IDYES);
    EXPECT_TRUE(OfferRestartAfterClean(NULL, EnglishLanguageFile().c_str()));
    ASSERT_EQ(recorder.m_calls.size(), 1u);
    EXPECT_EQ(recorder.m_calls[0], (UINT)EWX_REBOOT);
    EXPECT_EQ(RestartWindows(1), 0);
    ASSERT_EQ(recorder.m_calls.size(), 2u);
    EXPECT_EQ(recorder.m_calls[1], (UINT)EWX_SHUTDOWN);
    for (UINT uFlags : recorder.m_calls)
        EXPECT_EQ(uFlags & (EWX_FORCE | EWX_FORCEIFHUNG), 0u);
}
