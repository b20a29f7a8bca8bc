#include "tests/main_window/MainWindowFixture.h"
#include "app/LibraryBinding.h"
#include "tests/support/ResponsiveWatch.h"
#include <vector>

using testsupport::MessageBoxRecorder;

namespace {
// A privacy task that runs until it is told to stop.
int s_nTaskRunning = 0;
int s_nStopCalls = 0;
int TAMSEL_LIBCALL FakeIsThread() { return s_nTaskRunning; }
void TAMSEL_LIBCALL FakeStopThread() { ++s_nStopCalls; }

CString ViewTitle(HWND hView)
{
    WCHAR szText[256] = L"";
    ::GetWindowTextW(hView, szText, 256);
    return szText;
}
} // namespace

TEST_F(MainWindowTest, FirstViewCommandLoadsBothLibrariesAndPlacesTheirViews)
{
    CopyLibraries(true, true);
    CreateMainWindow();
    // The library reads its texts from the path it is given before it builds
    // its views: a changed text shows up in the new view.
    ::WritePrivateProfileStringW(L"String", L"IDO_SCANCLEAN_3", L"Junk Sweeper", TestApp()->m_strLangFile);
    MessageBoxRecorder recorder;
    SendCommand(ID_NAV_JUNK_CLEANER);
    EXPECT_EQ(recorder.Count(), 0u);
    ASSERT_NE(m_pDlg->m_hPrivacyLib, (HMODULE)NULL);
    ASSERT_NE(m_pDlg->m_hOptimizerLib, (HMODULE)NULL);
    EXPECT_EQ(m_pDlg->m_bLibraryView, 1);
    EXPECT_EQ(VisiblePage(), -1);

    HWND hJunk = LibraryView(350);
    ASSERT_NE(hJunk, (HWND)NULL);
    EXPECT_TRUE(::IsWindowVisible(hJunk));
    EXPECT_EQ(ViewTitle(hJunk), CString(L"Junk Sweeper"));
    // The privacy view asked for shows first; the library's other views and
    // the optimizer's follow in later slices.
    EXPECT_EQ(LibraryView(4000), (HWND)NULL);
    EXPECT_EQ(LibraryView(157), (HWND)NULL);
    EXPECT_EQ(LibraryView(0x11), (HWND)NULL);
    EXPECT_TRUE(testsupport::PumpUntil([&] { return m_pDlg->m_bOptimizerViewsMade != FALSE; }, 30000));
    // Every view of both libraries sits at the page area's left less 10, its top.
    for (UINT nID : {4000u, 350u, 157u, 0x11u, 0x12u, 0x13u})
    {
        HWND hView = LibraryView(nID);
        ASSERT_NE(hView, (HWND)NULL) << nID;
        CRect rc;
        ::GetWindowRect(hView, &rc);
        m_pDlg->ScreenToClient(&rc);
        EXPECT_EQ(rc.TopLeft(), CPoint(m_pDlg->m_rcPage.left - 10, m_pDlg->m_rcPage.top)) << nID;
        EXPECT_EQ(::IsWindowVisible(hView) != FALSE, nID == 350u) << nID;
    }

    // An optimizer view replaces the privacy view.
    SendCommand(ID_NAV_MEMORY_OPTIMIZER);
    EXPECT_TRUE(::IsWindowVisible(LibraryView(0x13)));
    EXPECT_FALSE(::IsWindowVisible(hJunk));

    // A page command hides the views and brings the page back.
    SendCommand(ID_NAV_REGISTRY_CLEANER);
    EXPECT_EQ(m_pDlg->m_bLibraryView, 0);
    EXPECT_EQ(VisiblePage(), PAGE_HOME);
    EXPECT_FALSE(::IsWindowVisible(LibraryView(0x13)));

    // Unloading takes every view of a library with it before its code goes.
    std::vector<HWND> views;
    for (UINT nID : {4000u, 350u, 157u, 0x11u, 0x12u, 0x13u})
        views.push_back(LibraryView(nID));
    m_pDlg->UnloadOptimizerLibrary();
    m_pDlg->UnloadPrivacyLibrary();
    EXPECT_EQ(m_pDlg->m_hOptimizerLib, (HMODULE)NULL);
    EXPECT_EQ(m_pDlg->m_hPrivacyLib, (HMODULE)NULL);
    for (HWND hView : views)
        EXPECT_FALSE(::IsWindow(hView));
}

// A privacy view asked for while the library's other views are still to be
// made is made and shown at once; the views made later stay hidden.
TEST_F(MainWindowTest, APrivacyViewAskedForBeforeItIsMadeShowsAtOnce)
{
    CopyLibraries(true, true);
    CreateMainWindow();
    SendCommand(ID_NAV_EVIDENCE_CLEANER);
    HWND hEvidence = LibraryView(4000);
    ASSERT_NE(hEvidence, (HWND)NULL);
    ASSERT_EQ(LibraryView(157), (HWND)NULL);
    SendCommand(ID_NAV_FILE_SHREDDER);
    HWND hShredder = LibraryView(157);
    ASSERT_NE(hShredder, (HWND)NULL);
    EXPECT_TRUE(::IsWindowVisible(hShredder));
    EXPECT_FALSE(::IsWindowVisible(hEvidence));
    EXPECT_TRUE(testsupport::PumpUntil([&] { return m_pDlg->m_bOptimizerViewsMade != FALSE; }, 30000));
    HWND hJunk = LibraryView(350);
    ASSERT_NE(hJunk, (HWND)NULL);
    EXPECT_FALSE(::IsWindowVisible(hJunk));
    EXPECT_TRUE(::IsWindowVisible(hShredder));
    EXPECT_EQ(m_pDlg->m_bLibraryView, 1);
    EXPECT_EQ(VisiblePage(), -1);
}

TEST_F(MainWindowTest, ShowPageOfTheCurrentIndexReshowsItAfterALibraryView)
{
    CopyLibraries(true, true);
    CreateMainWindow();
    SendCommand(ID_NAV_EVIDENCE_CLEANER);
    ASSERT_EQ(VisiblePage(), -1);
    EXPECT_TRUE(m_pDlg->ShowPage(PAGE_HOME));
    EXPECT_EQ(VisiblePage(), PAGE_HOME);
}

TEST_F(MainWindowTest, MissingLibrariesAreReportedInOrderAndTheCommandIsDropped)
{
    CreateMainWindow();
    MessageBoxRecorder recorder;
    SendCommand(ID_NAV_EVIDENCE_CLEANER);
    auto boxes = recorder.Boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].strText, std::wstring(TestApp()->GetLangString(L"M_NODLL_Sweepkit")));
    EXPECT_EQ(boxes[1].strText, std::wstring(TestApp()->GetLangString(L"M_NODLL_Tunekit")));
    EXPECT_EQ(boxes[0].nType & MB_ICONMASK, (UINT)MB_ICONEXCLAMATION);
    EXPECT_EQ(m_pDlg->m_bLibraryView, 0);
    EXPECT_EQ(VisiblePage(), PAGE_HOME);
    // Each later command tries again.
    SendCommand(ID_NAV_SYSTEM_OPTIMIZER);
    EXPECT_EQ(recorder.Count(), 4u);
}

TEST_F(MainWindowTest, WithoutTheOptimizerLibraryNoPrivacyViewIsShown)
{
    CopyLibraries(true, false);
    CreateMainWindow();
    MessageBoxRecorder recorder;
    SendCommand(ID_NAV_FILE_SHREDDER);
    ASSERT_EQ(recorder.Count(), 1u);
    EXPECT_EQ(recorder.LastText(), std::wstring(TestApp()->GetLangString(L"M_NODLL_Tunekit")));
    EXPECT_NE(m_pDlg->m_hPrivacyLib, (HMODULE)NULL);
    EXPECT_FALSE(::IsWindowVisible(LibraryView(157)));
    EXPECT_EQ(VisiblePage(), PAGE_HOME);
}

TEST_F(MainWindowTest, ALibraryMissingAnExportCountsAsNotLoadable)
{
    // A library of the right name without the exports.
    WCHAR szSystem[MAX_PATH];
    ::GetSystemDirectoryW(szSystem, MAX_PATH);
    ASSERT_TRUE(::CopyFileW((std::wstring(szSystem) + L"\\msimg32.dll").c_str(), m_folder.File(L"Sweepkit.dll").c_str(),
                            FALSE));
    CopyLibraries(false, true);
    CreateMainWindow();
    MessageBoxRecorder recorder;
    SendCommand(ID_NAV_EVIDENCE_CLEANER);
    ASSERT_EQ(recorder.Count(), 1u);
    EXPECT_EQ(recorder.LastText(), std::wstring(TestApp()->GetLangString(L"M_NODLL_Sweepkit")));
    EXPECT_EQ(m_pDlg->m_hPrivacyLib, (HMODULE)NULL);
    EXPECT_EQ(g_pfnFunInitPrivacy, nullptr);
}

TEST_F(MainWindowTest, ARunningPrivacyTaskIsStoppedOnlyWhenTheUserAgrees)
{
    CopyLibraries(true, true);
    CreateMainWindow();
    SendCommand(ID_NAV_EVIDENCE_CLEANER);
    ASSERT_EQ(m_pDlg->m_bLibraryView, 1);
    g_pfnFunIsThread = FakeIsThread;
    g_pfnFunStopThread = FakeStopThread;
    s_nTaskRunning = 1;
    s_nStopCalls = 0;

    MessageBoxRecorder recorder;
    recorder.QueueAnswer(IDCANCEL);
    EXPECT_FALSE(m_pDlg->SelectPage(PAGE_SETTINGS));
    EXPECT_EQ(m_pDlg->m_bLibraryView, 1);
    EXPECT_TRUE(::IsWindowVisible(LibraryView(4000)));
    EXPECT_EQ(s_nStopCalls, 0);

    // Another privacy view: the same question.
    recorder.QueueAnswer(IDCANCEL);
    SendCommand(ID_NAV_JUNK_CLEANER);
    EXPECT_TRUE(::IsWindowVisible(LibraryView(4000)));

    // An optimizer view asks nothing and lets the task go on.
    size_t nBefore = recorder.Count();
    SendCommand(ID_NAV_SYSTEM_OPTIMIZER);
    EXPECT_EQ(recorder.Count(), nBefore);
    EXPECT_TRUE(::IsWindowVisible(LibraryView(0x11)));
    EXPECT_EQ(s_nStopCalls, 0);

    recorder.QueueAnswer(IDOK);
    EXPECT_TRUE(m_pDlg->SelectPage(PAGE_SETTINGS));
    EXPECT_EQ(s_nStopCalls, 1);
    EXPECT_EQ(m_pDlg->m_bLibraryView, 0);
    EXPECT_EQ(VisiblePage(), PAGE_SETTINGS);
    EXPECT_EQ(recorder.LastText(), std::wstring(TestApp()->GetLangString(L"M_WARNING_ABORT_TASK")));
    s_nTaskRunning = 0;
}

TEST_F(MainWindowTest, LanguageChangeLoadsTheLibrariesAndPassesTheNewFile)
{
    CopyLibraries(true, true);
    CreateMainWindow();
    // A second language, listed after a refill.
    CString strGerman = TestApp()->m_strAppDir + L"Language\\German.ini";
    ASSERT_TRUE(::CopyFileW(TestApp()->m_strLangFile, strGerman, FALSE));
    ::WritePrivateProfileStringW(L"General Settings", L"Language", L"Deutsch", strGerman);
    ::WritePrivateProfileStringW(L"String", L"IDO_SCANCLEAN_2", L"Spurenvernichter", strGerman);
    ::WritePrivateProfileStringW(L"String", L"IDO_TAB_1", L"Suchen", strGerman);
    m_pDlg->FillLanguageList();
    ASSERT_EQ(m_pDlg->m_comboLanguage.GetCount(), 3);
    int nGerman = TestApp()->FindLanguageIndex(L"German.ini");
    m_pDlg->m_comboLanguage.SetCurSel(nGerman);
    SendCommand(IDC_LANGUAGE_COMBO, CBN_SELCHANGE);
    EXPECT_EQ(TestApp()->m_strLangFile.CompareNoCase(strGerman), 0);
    EXPECT_NE(m_pDlg->m_hPrivacyLib, (HMODULE)NULL);
    EXPECT_EQ(ViewTitle(LibraryView(4000)), CString(L"Spurenvernichter"));
    EXPECT_STREQ(m_pDlg->m_wndFolder.GetFolder(0)->strName, L"Suchen");
    // The last item is always the download entry.
    CString strLast;
    m_pDlg->m_comboLanguage.GetLBText(2, strLast);
    EXPECT_EQ(strLast, TestApp()->GetLangString(L"IDD_102_MORE"));
}

TEST_F(MainWindowTest, EveryLibraryCommandShowsItsOneView)
{
    CopyLibraries(true, true);
    CreateMainWindow();
    const struct
    {
        UINT nCommand;
        UINT nView;
    } table[] = {{5602, 4000}, {5603, 350}, {5604, 157}, {5710, 0x11}, {5711, 0x12}, {5712, 0x13}};
    for (const auto& row : table)
    {
        SendCommand(row.nCommand);
        EXPECT_EQ(m_pDlg->m_bLibraryView, 1) << row.nCommand;
        EXPECT_EQ(VisiblePage(), -1) << row.nCommand;
        for (const auto& other : table)
            EXPECT_EQ(::IsWindowVisible(LibraryView(other.nView)) != FALSE, other.nView == row.nView)
                << row.nCommand << " " << other.nView;
    }
}
