// A stopped junk delete leaves the rows it has not reached; the junk view
// closing with its host ends its scan before the window goes.
#include "privacy/CleanProgressDlg.h"
#include "privacy/JunkCleanerDlg.h"
#include "privacy/JunkDeleteAll.h"
#include "privacy/PrivacyState.h"
#include "tests/privacy_junk/JunkTestSupport.h"
#include "tests/privacy_ui/PrivacyUiSupport.h"

using junktest::Exists;
using junktest::Plant;

namespace {

struct CStopAfter
{
    int nRowsLeft;
    int nPolls;
};

BOOL StopAfterRows(void* pContext)
{
    CStopAfter* pStop = static_cast<CStopAfter*>(pContext);
    pStop->nPolls++;
    return pStop->nRowsLeft-- <= 0;
}

// Ten junk files and one beside them that is no row.
class JunkStopRows
{
public:
    JunkStopRows()
    {
        for (int i = 0; i < 10; i++)
        {
            std::wstring strName = L"f" + std::to_wstring(i) + L".tmp";
            EXPECT_TRUE(Plant(m_scratch.File(strName), "junk" + std::to_string(i)));
            m_rows.push_back(JunkFileRow{strName, m_scratch.Path()});
        }
        EXPECT_TRUE(Plant(m_scratch.File(L"keep.tmp"), "mine"));
    }
    bool IsWhole(int i) const
    {
        return testsupport::ReadFileBytes(m_scratch.File(m_rows[i].strName)) == "junk" + std::to_string(i);
    }
    testsupport::ScratchFolder m_scratch;
    std::vector<JunkFileRow> m_rows;
};

} // namespace

// The stop is asked before each row: the rows from the stop on are left
// whole and neither counted deleted nor undeleted.
TEST(JunkStop, ADeleteStoppedAfterFourRowsLeavesTheOtherSixWhole)
{
    JunkStopRows files;
    CStopAfter stop = {4, 0};
    JunkDeleteResult result;
    DeleteJunkRows(files.m_rows, result, NULL, &stop, StopAfterRows);
    EXPECT_TRUE(result.bStopped);
    EXPECT_EQ(result.nDeleted, 4);
    EXPECT_EQ(result.nUndeleted, 0);
    EXPECT_EQ(stop.nPolls, 5);
    for (int i = 0; i < 10; i++)
    {
        EXPECT_EQ(result.deleted[i], i < 4) << i;
        if (i < 4)
            EXPECT_FALSE(Exists(files.m_scratch.File(files.m_rows[i].strName))) << i;
        else
            EXPECT_TRUE(files.IsWhole(i)) << i;
    }
    EXPECT_EQ(testsupport::ReadFileBytes(files.m_scratch.File(L"keep.tmp")), "mine");

    // Asked again without a stop, the rest go too; the file that is no row stays.
    JunkDeleteResult again;
    DeleteJunkRows(files.m_rows, again);
    EXPECT_FALSE(again.bStopped);
    EXPECT_EQ(again.nDeleted, 6);
    EXPECT_EQ(again.nUndeleted, 4) << "the four already gone";
    for (const JunkFileRow& row : files.m_rows)
        EXPECT_FALSE(Exists(files.m_scratch.File(row.strName)));
    EXPECT_TRUE(Exists(files.m_scratch.File(L"keep.tmp")));
}

// The progress dialog's work: a stop the dialog was asked for (its modal
// loop ended from outside) ends it before the next row; unasked, every row
// goes and is counted on the dialog.
TEST(JunkStop, UnderTheProgressDialogTheDialogsStopIsTheDeletesStop)
{
    JunkStopRows files;
    {
        CCleanProgressDlg progress(10, nullptr);
        progress.RequestStop();
        JunkDeleteResult result;
        DeleteJunkRowsWithProgress(progress, files.m_rows, result);
        EXPECT_TRUE(result.bStopped);
        EXPECT_EQ(progress.GetDeletedCount() + progress.GetUndeletedCount(), 0);
        for (int i = 0; i < 10; i++)
            EXPECT_TRUE(files.IsWhole(i)) << i;
    }
    CCleanProgressDlg progress(10, nullptr);
    JunkDeleteResult result;
    DeleteJunkRowsWithProgress(progress, files.m_rows, result);
    EXPECT_FALSE(result.bStopped);
    EXPECT_EQ(progress.GetDeletedCount(), 10);
    EXPECT_EQ(result.nDeleted, 10);
    EXPECT_TRUE(Exists(files.m_scratch.File(L"keep.tmp")));
}

namespace {
std::vector<std::wstring> g_stopDrives;
std::vector<std::wstring> StopDrives()
{
    return g_stopDrives;
}
} // namespace

// The host's window closing destroys the view: the scan is stopped and its
// thread waited for before the window is gone.
TEST(JunkStopView, DestroyingTheViewEndsTheRunningScanFirst)
{
    PrivacySetLanguageFile(privtest::EnglishLanguageFile().c_str());
    testsupport::ScratchFolder scratch;
    std::string strUnix = junktest::UnixPathOf(scratch.Path());
    ASSERT_FALSE(strUnix.empty());
    ASSERT_EQ(testsupport::RunHostCommand("cd '" + strUnix + "' && for d in $(seq 1 25); do mkdir d$d && "
                                          "(cd d$d && touch $(seq -f 'f%g.tmp' 1 200)); done", 120000), 0);
    JUNK_DRIVE_LIST_FN pfnOld = SetJunkDriveListFunction(StopDrives);
    g_stopDrives = {scratch.Path()};
    {
        privtest::HostWindow host;
        std::unique_ptr<CJunkCleanerDlg> pView(new CJunkCleanerDlg);
        ASSERT_TRUE(pView->CreateView(host.m_hWnd, 0, 0));
        pView->ShowWindow(SW_SHOW);
        pView->GetOptions().ScanNow();
        ASSERT_TRUE(pView->GetResults().IsScanning());
        pView->DestroyWindow();
        EXPECT_FALSE(pView->GetResults().IsScanning()) << "the thread was waited for";
        EXPECT_EQ(PrivacyIsBusy(), 0);
    }
    SetJunkDriveListFunction(pfnOld);
    testsupport::RunHostCommand("rm -rf '" + strUnix + "'/d*", 60000);
}
