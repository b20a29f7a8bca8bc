// The cleaning progress dialog ended from outside while its work runs (the
// program quitting, its owner going): the work is asked to stop, seen at its
// next entry, and waited for; Escape alone asks nothing.
#include "privacy/CleanProgressDlg.h"
#include "privacy/PrivacyState.h"
#include "tests/privacy_ui/PrivacyUiSupport.h"
#include <atomic>

using namespace privtest;

namespace {

// Reports entries until asked to stop; after the fifth it waits for the stop
// (at most 20 s), as a long clean would still be deleting.
struct CParkedWork
{
    std::atomic<int> nReported{0};
    std::atomic<bool> bEnded{false};
    std::atomic<bool> bSawStop{false};
    void Run(CCleanProgressDlg& progress)
    {
        for (int i = 0; i < 100; i++)
        {
            if (progress.IsStopRequested())
            {
                bSawStop = true;
                break;
            }
            progress.AddDeleted(0);
            nReported++;
            for (int nWait = 0; i == 4 && nWait < 10000 && !progress.IsStopRequested(); nWait++)
                ::Sleep(2);
        }
        bEnded = true;
    }
};

// The quit that a closing main window posts is passed on by the modal loop:
// taken out again, so the next test's loops run.
void DropQuit()
{
    MSG msg;
    while (::PeekMessageW(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE))
    {
    }
}

class CleanProgressStopTest : public ::testing::Test
{
protected:
    void SetUp() override { PrivacySetLanguageFile(EnglishLanguageFile().c_str()); }
    HostWindow m_host;
};

} // namespace

TEST_F(CleanProgressStopTest, AQuitWhileTheWorkRunsStopsItAtTheNextEntry)
{
    CParkedWork work;
    CCleanProgressDlg dlg(100, [&](CCleanProgressDlg& progress) { work.Run(progress); }, &m_host);
    bool bEscapeAskedStop = true;
    ModalScript script({
        [&] { return work.nReported.load() == 5; },
        [&] {
            ::SendMessageW(dlg.m_hWnd, WM_COMMAND, IDCANCEL, 0);
            bEscapeAskedStop = dlg.IsStopRequested() != FALSE;
            ::PostQuitMessage(0);
            return true;
        },
    });
    dlg.DoModal();
    DropQuit();
    EXPECT_FALSE(bEscapeAskedStop) << "Escape still does nothing while the work runs";
    EXPECT_TRUE(dlg.IsStopRequested());
    EXPECT_TRUE(work.bEnded) << "waited for before the dialog went";
    EXPECT_TRUE(work.bSawStop);
    EXPECT_EQ(work.nReported.load(), 5) << "no entry after the stop";
    EXPECT_EQ(dlg.GetDeletedCount(), 5);
}

TEST_F(CleanProgressStopTest, ItsOwnerGoingStopsTheWork)
{
    HostWindow* pOwner = new HostWindow;
    CParkedWork work;
    CCleanProgressDlg dlg(100, [&](CCleanProgressDlg& progress) { work.Run(progress); }, pOwner);
    ModalScript script({
        [&] { return work.nReported.load() == 5; },
        [&] {
            pOwner->DestroyWindow();
            return true;
        },
    });
    dlg.DoModal();
    delete pOwner;
    EXPECT_TRUE(work.bEnded);
    EXPECT_TRUE(work.bSawStop);
    EXPECT_EQ(work.nReported.load(), 5);
}

// Run to its end, the work is never asked to stop.
TEST_F(CleanProgressStopTest, AWorkRunToItsEndIsNotStopped)
{
    CCleanProgressDlg dlg(3, [](CCleanProgressDlg& progress) {
        for (int i = 0; i < 3 && !progress.IsStopRequested(); i++)
            progress.AddDeleted(0);
    }, &m_host);
    ModalScript script({[&] { return dlg.IsWorkDone() && (::SendMessageW(dlg.m_hWnd, WM_COMMAND, 1028, 0), true); }});
    EXPECT_EQ(dlg.DoModal(), IDOK);
    EXPECT_FALSE(dlg.IsStopRequested());
    EXPECT_EQ(dlg.GetDeletedCount(), 3);
}
