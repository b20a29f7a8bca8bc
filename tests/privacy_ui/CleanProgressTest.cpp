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

// Files in use that go at the next start are told as such, beside the plain
// alert for entries that stay for good; the text is not cut.
TEST_F(CleanProgressTest, FilesInUseAreSaidToGoAtTheNextStart)
{
    const struct
    {
        int nUndeleted;
        int nScheduled;
        LPCWSTR pszAlert;
    } cases[2] = {
        {0, 2, L"2 files in use will be deleted the next time Windows starts."},
        {1, 3, L"Alert:For certain reasons, some files can not be removed.\n"
               L"3 files in use will be deleted the next time Windows starts."},
    };
    for (const auto& c : cases)
    {
        CCleanProgressDlg dlg(5, [&](CCleanProgressDlg& progress) {
            progress.AddDeleted(1);
            for (int i = 0; i < c.nUndeleted; i++)
                progress.AddUndeleted();
            for (int i = 0; i < c.nScheduled; i++)
                progress.AddScheduled();
        }, &m_host);
        bool bAlertShown = false;
        CString strAlert;
        CRect rcAlert, rcNeeded;
        ModalScript script({[&] {
            if (!dlg.IsWorkDone())
                return false;
            bAlertShown = dlg.GetAlertText().IsWindowVisible() != FALSE;
            dlg.GetAlertText().GetWindowText(strAlert);
            dlg.GetAlertText().GetClientRect(&rcAlert);
            CClientDC dc(&dlg.GetAlertText());
            CFont* pOld = dc.SelectObject(dlg.GetAlertText().GetFont());
            rcNeeded = CRect(0, 0, rcAlert.Width(), 0);
            dc.DrawText(strAlert, &rcNeeded, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
            dc.SelectObject(pOld);
            Shoot(dlg.m_hWnd, "privacy_clean_progress_next_start");
            ::SendMessageW(dlg.m_hWnd, WM_COMMAND, 1028, 0);
            return true;
        }});
        EXPECT_EQ(dlg.DoModal(), IDOK);
        EXPECT_EQ(dlg.GetUndeletedCount(), c.nUndeleted + c.nScheduled);
        EXPECT_EQ(dlg.GetScheduledCount(), c.nScheduled);
        EXPECT_TRUE(bAlertShown);
        EXPECT_EQ(std::wstring(strAlert), std::wstring(c.pszAlert));
        EXPECT_LE(rcNeeded.Height(), rcAlert.Height()) << "the alert text is cut";
    }
}
