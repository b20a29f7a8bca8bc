// The junk cleaner view driven as a user would: options, scan, stop, the
// tab strip held on the result tab, Delete and Delete All.
#include "privacy/JunkBrowse.h"
#include "privacy/JunkCleanerDlg.h"
#include "privacy/JunkDeleteAll.h"
#include "privacy/PrivacyState.h"
#include "tests/privacy_junk/JunkTestSupport.h"
#include "tests/privacy_ui/PrivacyUiSupport.h"

using junktest::Exists;
using junktest::Plant;
using namespace privtest;

namespace {

std::vector<std::wstring> g_fakeDrives;
std::vector<std::wstring> FakeDrives()
{
    return g_fakeDrives;
}

CString g_strBrowseAnswer;
BOOL FakeBrowse(HWND, LPCWSTR, CString& strFolder)
{
    strFolder = g_strBrowseAnswer;
    return !g_strBrowseAnswer.IsEmpty();
}

class JunkViewTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        PrivacySetLanguageFile(EnglishLanguageFile().c_str());
        m_pfnDrives = SetJunkDriveListFunction(FakeDrives);
        g_fakeDrives.clear();
        ASSERT_TRUE(m_view.CreateView(m_host.m_hWnd, 0, 0));
        m_view.ShowWindow(SW_SHOW);
        Pump(30);
    }
    void TearDown() override
    {
        m_view.StopAndWait(10000);
        SetJunkDriveListFunction(m_pfnDrives);
        SetPrivacyBrowseFolderFunction(NULL);
        SetJunkDeleteAllFunction(NULL);
    }
    bool WaitScanEnd() { return testsupport::WaitFor([&] { return !m_view.GetResults().IsScanning(); }, 60000); }
    CString ListText(int nRow, int nColumn) { return m_view.GetResults().GetList().GetItemText(nRow, nColumn); }

    HostWindow m_host;
    CJunkCleanerDlg m_view;
    testsupport::MessageBoxRecorder m_boxes;
    JUNK_DRIVE_LIST_FN m_pfnDrives = NULL;
};

} // namespace

TEST_F(JunkViewTest, ChooseDirectoryScansTheFolderWhileTheTabsHoldStill)
{
    testsupport::ScratchFolder scratch;
    std::wstring strTree = scratch.File(L"tree"), strOut = scratch.File(L"out");
    for (int i = 0; i < 300; i++)
        ASSERT_TRUE(Plant(strTree + L"\\d" + std::to_wstring(i % 7) + L"\\Report" + std::to_wstring(i) + L".TMP"));
    ASSERT_TRUE(Plant(strTree + L"\\keep.txt"));
    ASSERT_TRUE(Plant(strOut + L"\\outside.tmp"));
    junktest::CHostLink link(strOut, strTree + L"\\d1\\link");
    ASSERT_TRUE(link.IsMade());

    CJunkScanOptionDlg& options = m_view.GetOptions();
    options.ChooseAllDisks(FALSE);
    options.SetFolderText(strTree.c_str());  // no trailing backslash
    options.ScanNow();
    EXPECT_EQ(PrivacyIsBusy(), 1) << "busy before the thread runs";
    EXPECT_EQ(m_view.GetShownTab(), 1);
    EXPECT_TRUE(m_view.GetTabStrip().AreClicksBlocked());
    // A click on the options tab during the scan selects nothing.
    ClickAt(m_view.GetTabStrip().m_hWnd, CPoint(50, 10));
    Pump(30);
    EXPECT_EQ(m_view.GetShownTab(), 1);
    ASSERT_TRUE(WaitScanEnd());
    Pump(30);
    EXPECT_EQ(PrivacyIsBusy(), 0);
    EXPECT_FALSE(m_view.GetTabStrip().AreClicksBlocked());

    CJunkResultDlg& results = m_view.GetResults();
    ASSERT_EQ(results.GetRowCount(), 300);
    EXPECT_EQ(results.GetList().GetItemCount(), 300);
    for (int i = 0; i < results.GetRowCount(); i++)
    {
        EXPECT_EQ(results.GetRow(i).strFolder.find(L"\\link\\"), std::wstring::npos);
        EXPECT_EQ(results.GetRow(i).strName.compare(0, 6, L"Report"), 0) << "the name as found is kept";
    }
    EXPECT_EQ(ListText(0, 0).Left(6), CString(L"report")) << "shown in lower case";
    EXPECT_EQ(ListText(0, 1).Right(1), CString(L"\\"));
    EXPECT_FALSE(results.GetButton(CJunkResultDlg::IDC_STOP).IsButtonEnabled());
    EXPECT_TRUE(results.GetButton(CJunkResultDlg::IDC_DELETE_ALL).IsButtonEnabled());
    if (ScreenshotsWanted())
        Shoot(m_host.m_hWnd, "junk_results");

    // Now the options tab can be clicked again.
    ClickAt(m_view.GetTabStrip().m_hWnd, CPoint(50, 10));
    Pump(50);
    EXPECT_EQ(m_view.GetShownTab(), 0);
    if (ScreenshotsWanted())
        Shoot(m_host.m_hWnd, "junk_options");
}

TEST_F(JunkViewTest, ScanNowRefusesNoMaskAndAFolderThatIsNotAbsolute)
{
    CJunkScanOptionDlg& options = m_view.GetOptions();
    options.SelectMasks(CJunkScanOptionDlg::IDC_SEL_NONE);
    options.ScanNow();
    ASSERT_EQ(m_boxes.Count(), 1u);
    EXPECT_EQ(m_boxes.LastText(), L"Please select at least one item of junk file type.");
    options.SelectMasks(CJunkScanOptionDlg::IDC_SEL_ALL);
    EXPECT_EQ(options.CheckedMasks().size(), (size_t)JUNK_MASK_COUNT);
    options.SelectMasks(CJunkScanOptionDlg::IDC_SEL_DEFAULT);
    EXPECT_EQ(options.CheckedMasks().size(), (size_t)JUNK_DEFAULT_MASK_COUNT);

    options.ChooseAllDisks(FALSE);
    for (LPCWSTR lpszBad : {L"", L"C:foo", L"windows", L"C:\\no\\such\\folder"})
    {
        options.SetFolderText(lpszBad);
        options.ScanNow();
        EXPECT_EQ(m_boxes.LastText(), L"Please choose a path for cleaning junk files.");
        EXPECT_FALSE(m_view.GetResults().IsScanning());
    }
    EXPECT_EQ(m_boxes.Count(), 5u);
    EXPECT_EQ(m_boxes.Boxes().back().strCaption, L"notice");

    // Browse fills the edit from the (replaced) folder dialog.
    testsupport::ScratchFolder scratch;
    g_strBrowseAnswer = scratch.Path().c_str();
    SetPrivacyBrowseFolderFunction(FakeBrowse);
    options.Browse();
    CString strText;
    options.GetDlgItem(CJunkScanOptionDlg::IDC_FOLDER)->GetWindowText(strText);
    EXPECT_EQ(strText, g_strBrowseAnswer);
}

TEST_F(JunkViewTest, ScanAllDisksWalksTheDriveListAndStopKeepsTheRows)
{
    testsupport::ScratchFolder scratch;
    std::string strUnix = junktest::UnixPathOf(scratch.Path());
    ASSERT_FALSE(strUnix.empty());
    // 5,000 junk files (where the stop lands is the walk's own test).
    ASSERT_EQ(testsupport::RunHostCommand("cd '" + strUnix + "' && for d in $(seq 1 25); do mkdir d$d && "
                                          "(cd d$d && touch $(seq -f 'f%g.tmp' 1 200)); done", 120000), 0);
    g_fakeDrives = {scratch.Path()};
    m_view.GetOptions().ScanNow();  // Scan all Disk is the choice at start
    ASSERT_TRUE(m_view.GetResults().IsScanning());
    ASSERT_TRUE(testsupport::WaitFor([&] { return m_view.GetResults().GetRowCount() > 0; }, 30000));
    int nBeforeStop = m_view.GetResults().GetRowCount();
    m_view.SignalStop();
    ASSERT_TRUE(WaitScanEnd());
    int nRows = m_view.GetResults().GetRowCount();
    EXPECT_GE(nRows, nBeforeStop) << "the rows found stay";
    EXPECT_LE(nRows, 5000);
    EXPECT_EQ(m_view.GetResults().GetList().GetItemCount(), nRows);

    // Shown again while idle: back to the options, Scan all Disk, no rows.
    m_view.GetOptions().ChooseAllDisks(FALSE);
    m_view.ResetView();
    EXPECT_EQ(m_view.GetShownTab(), 0);
    EXPECT_TRUE(m_view.GetOptions().IsAllDisks());
    EXPECT_EQ(m_view.GetResults().GetRowCount(), 0);

    // Shown again during a scan: the scan and its rows are left alone.
    m_view.GetOptions().ScanNow();
    m_view.ResetView();
    EXPECT_EQ(m_view.GetShownTab(), 1);
    EXPECT_TRUE(m_view.GetResults().IsScanning());
    ASSERT_TRUE(WaitScanEnd());
    EXPECT_EQ(m_view.GetResults().GetRowCount(), 5000) << "no row of the running scan was dropped";
    testsupport::RunHostCommand("rm -rf '" + strUnix + "'/d*", 60000);
}

TEST_F(JunkViewTest, DeleteAndDeleteAllOverALockedAndAReadOnlyFile)
{
    testsupport::ScratchFolder scratch;
    std::wstring strTree = scratch.File(L"t");
    ASSERT_TRUE(Plant(strTree + L"\\a_locked.tmp"));
    ASSERT_TRUE(Plant(strTree + L"\\b_readonly.tmp"));
    ASSERT_TRUE(Plant(strTree + L"\\c_plain.tmp"));
    ASSERT_TRUE(Plant(strTree + L"\\d_locked.tmp"));
    ASSERT_TRUE(Plant(strTree + L"\\e_plain.tmp"));
    ASSERT_TRUE(::SetFileAttributesW((strTree + L"\\b_readonly.tmp").c_str(), FILE_ATTRIBUTE_READONLY));
    HANDLE hLockA = ::CreateFileW((strTree + L"\\a_locked.tmp").c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    HANDLE hLockD = ::CreateFileW((strTree + L"\\d_locked.tmp").c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(hLockA, INVALID_HANDLE_VALUE);
    ASSERT_NE(hLockD, INVALID_HANDLE_VALUE);

    m_view.GetOptions().ChooseAllDisks(FALSE);
    m_view.GetOptions().SetFolderText(strTree.c_str());
    m_view.GetOptions().ScanNow();
    ASSERT_TRUE(WaitScanEnd());
    CJunkResultDlg& results = m_view.GetResults();
    ASSERT_EQ(results.GetRowCount(), 5);
    auto rowOf = [&](LPCWSTR lpszName) {
        for (int i = 0; i < results.GetRowCount(); i++)
            if (results.GetRow(i).strName == lpszName)
                return i;
        return -1;
    };
    // Delete: the locked file is told and stays; the read-only one goes.
    results.GetList().SetItemState(rowOf(L"a_locked.tmp"), LVIS_SELECTED, LVIS_SELECTED);
    results.DeleteSelected();
    EXPECT_EQ(m_boxes.LastText(), L"For certain reasons,the file could not be removed by this program.");
    EXPECT_EQ(results.GetRowCount(), 5);
    results.GetList().SetItemState(-1, 0, LVIS_SELECTED);
    results.GetList().SetItemState(rowOf(L"b_readonly.tmp"), LVIS_SELECTED, LVIS_SELECTED);
    results.DeleteSelected();
    EXPECT_EQ(results.GetRowCount(), 4);
    EXPECT_FALSE(Exists(strTree + L"\\b_readonly.tmp"));
    EXPECT_EQ(rowOf(L"b_readonly.tmp"), -1);

    // Delete All under the cleaning progress dialog, Exit pressed when done.
    CWnd* pProgress = NULL;
    bool bAlertShown = false;
    ModalScript script({[&] {
        HWND hDlg = ::GetActiveWindow();
        CWnd* pWnd = CWnd::FromHandlePermanent(hDlg);
        if (pWnd == NULL || ::GetDlgItem(hDlg, 1028) == NULL || !::IsWindowVisible(::GetDlgItem(hDlg, 1028)))
            return false;
        pProgress = pWnd;
        bAlertShown = ::IsWindowVisible(::GetDlgItem(hDlg, 1046)) != FALSE;
        ::SendMessageW(hDlg, WM_COMMAND, 1028, 0);
        return true;
    }});
    results.DeleteAll();
    EXPECT_TRUE(script.Finished());
    EXPECT_NE(pProgress, (CWnd*)NULL);
    EXPECT_TRUE(bAlertShown) << "two files could not be removed";
    EXPECT_EQ(results.GetRowCount(), 0);
    EXPECT_EQ(results.GetList().GetItemCount(), 0);
    ::CloseHandle(hLockA);
    ::CloseHandle(hLockD);
    EXPECT_TRUE(Exists(strTree + L"\\a_locked.tmp"));
    EXPECT_TRUE(Exists(strTree + L"\\d_locked.tmp"));
    EXPECT_FALSE(Exists(strTree + L"\\c_plain.tmp"));
    EXPECT_FALSE(Exists(strTree + L"\\e_plain.tmp"));
}
