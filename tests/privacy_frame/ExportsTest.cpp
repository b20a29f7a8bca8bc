// The six exports in-process, on views whose frame operations are counted.
#include "privacy/EvidenceCatalogue.h"
#include "privacy/SweepkitExports.h"
#include "tests/privacy_frame/FrameTestSupport.h"

using namespace frametest;

namespace {

class PrivacyExports : public ::testing::Test
{
protected:
    void TearDown() override
    {
        FunExitPrivacy();
        PrivacySetBusy(0);
        // The next test starts with no language either.
        PrivacySetLanguageFile(L"");
    }

    // The real views for the selector, then swapped for counting ones.
    void Init(int nSelector)
    {
        FunPrivacySwitchLanguage(EnglishLanguageFile().c_str());
        ASSERT_NE(FunInitPrivacy(m_host.m_hWnd, nSelector, 20, 30, L"", L"", L""), (HHOOK)NULL);
        CEvidenceCleanerDlg* pEvidence = NULL;
        CJunkCleanerDlg* pJunk = NULL;
        CFileShredderDlg* pShredder = NULL;
        if (PrivacyEvidencePage() != NULL)
            pEvidence = Replace<CEvidenceCleanerDlg>(PrivacyEvidencePage(), new CountingView<CEvidenceCleanerDlg>(&m_evidence));
        if (PrivacyJunkPage() != NULL)
            pJunk = Replace<CJunkCleanerDlg>(PrivacyJunkPage(), new CountingView<CJunkCleanerDlg>(&m_junk));
        if (PrivacyShredderPage() != NULL)
            pShredder = Replace<CFileShredderDlg>(PrivacyShredderPage(), new CountingShredder(&m_shredder));
        PrivacySetPages(pEvidence, pJunk, pShredder);
    }
    template <class TView>
    TView* Replace(TView* pReal, TView* pCounting)
    {
        pReal->DestroyWindow();
        delete pReal;
        EXPECT_TRUE(pCounting->CreateView(m_host.m_hWnd, 20, 30));
        return pCounting;
    }
    HWND View(UINT nID) { return ::GetDlgItem(m_host.m_hWnd, (int)nID); }
    int Visible()
    {
        int nMask = 0;
        const UINT ids[3] = {4000, 350, 157};
        for (int i = 0; i < 3; i++)
            if (View(ids[i]) != NULL && ::IsWindowVisible(View(ids[i])))
                nMask |= 1 << i;
        return nMask;
    }

    HostWindow m_host;
    ViewCalls m_evidence, m_junk, m_shredder;
};

std::wstring Title(HWND hWnd)
{
    wchar_t szText[256] = L"";
    ::GetWindowTextW(hWnd, szText, 256);
    return szText;
}

} // namespace

TEST_F(PrivacyExports, InitCreatesHiddenPlacedViewsWithTheCatalogueAndTheHook)
{
    FunPrivacySwitchLanguage(EnglishLanguageFile().c_str());
    HHOOK hHook = FunInitPrivacy(m_host.m_hWnd, 0, 20, 30, L"", L"", L"");
    ASSERT_NE(hHook, (HHOOK)NULL);
    EXPECT_EQ(PrivacyHook(), hHook);
    EXPECT_EQ(PrivacyParentWindow(), m_host.m_hWnd);
    EXPECT_EQ(PrivacyCurrentPage(), -1);
    const struct
    {
        UINT nID;
        LPCWSTR pszTitle;
    } views[] = {{4000, L"Evidence Cleaner"}, {350, L"Junk Cleaner"}, {157, L"File Shredder"}};
    for (const auto& view : views)
    {
        HWND hView = View(view.nID);
        ASSERT_NE(hView, (HWND)NULL) << view.nID;
        EXPECT_FALSE(::IsWindowVisible(hView));
        EXPECT_EQ(Title(hView), view.pszTitle);
        RECT rc;
        ::GetWindowRect(hView, &rc);
        POINT pt = {rc.left, rc.top};
        ::ScreenToClient(m_host.m_hWnd, &pt);
        EXPECT_EQ(pt.x, 20);
        EXPECT_EQ(pt.y, 30);
    }
    ASSERT_NE(PrivacyCatalogue(), (CEvidenceItem*)NULL);
    EXPECT_STREQ(PrivacyCatalogue()->m_szText, L"Windows Cache and History");

    // A second call neither builds a second catalogue nor hooks twice.
    CEvidenceItem* pCatalogue = PrivacyCatalogue();
    HWND hEvidence = View(4000);
    EXPECT_EQ(FunInitPrivacy(m_host.m_hWnd, 0, 20, 30, L"", L"", L""), hHook);
    EXPECT_EQ(PrivacyCatalogue(), pCatalogue);
    EXPECT_EQ(View(4000), hEvidence);

    FunExitPrivacy();
    EXPECT_EQ(PrivacyHook(), (HHOOK)NULL);
    EXPECT_EQ(PrivacyCatalogue(), (CEvidenceItem*)NULL);
    EXPECT_FALSE(::IsWindow(hEvidence));
    EXPECT_TRUE(::IsWindow(m_host.m_hWnd)) << "the host's window is not the library's";
}

TEST_F(PrivacyExports, ShowingSwitchesViewsAndAPageOnShowIsNotRefreshed)
{
    Init(0);
    FunShowWindow(1, 1);
    EXPECT_EQ(Visible(), 1);
    EXPECT_EQ(PrivacyCurrentPage(), 1);
    EXPECT_EQ(m_evidence.nResets, 1);
    FunShowWindow(1, 1);
    EXPECT_EQ(m_evidence.nResets, 1) << "the page on show is left as it is";
    EXPECT_EQ(Visible(), 1);

    FunShowWindow(2, 1);
    EXPECT_EQ(Visible(), 2);
    EXPECT_EQ(m_junk.nResets, 1);
    FunShowWindow(3, 1);
    EXPECT_EQ(Visible(), 4);
    EXPECT_EQ(m_shredder.nClears, 1);
    EXPECT_EQ(PrivacyCurrentPage(), 3);

    // Hidden by 0 (the host on an optimizer view): the same page shows again.
    FunShowWindow(0, 0);
    EXPECT_EQ(Visible(), 0);
    EXPECT_EQ(PrivacyCurrentPage(), -1);
    FunShowWindow(3, 1);
    EXPECT_EQ(Visible(), 4);
    EXPECT_EQ(m_shredder.nClears, 2);

    // A number that names no view hides all; nothing is current then either.
    FunShowWindow(7, 1);
    EXPECT_EQ(Visible(), 0);
    EXPECT_EQ(PrivacyCurrentPage(), -1);
    FunShowWindow(3, 1);
    EXPECT_EQ(Visible(), 4);
}

TEST_F(PrivacyExports, WithOneViewMadeTheOthersShowNothingAndItShowsAgainAfterHiding)
{
    Init(PRIVACY_VIEW_JUNK);
    EXPECT_EQ(PrivacyEvidencePage(), (CEvidenceCleanerDlg*)NULL);
    EXPECT_EQ(PrivacyShredderPage(), (CFileShredderDlg*)NULL);
    ASSERT_NE(PrivacyJunkPage(), (CJunkCleanerDlg*)NULL);
    FunShowWindow(1, 1);
    EXPECT_EQ(Visible(), 0);
    EXPECT_EQ(PrivacyCurrentPage(), -1);
    FunShowWindow(2, 1);
    EXPECT_EQ(Visible(), 2);
    FunShowWindow(0, 0);
    EXPECT_EQ(Visible(), 0);
    FunShowWindow(2, 1);
    EXPECT_EQ(Visible(), 2) << "hidden by 0, the view must be able to show again";
}

TEST_F(PrivacyExports, TheSameLanguagePathTwiceRelabelsOnce)
{
    testsupport::ScratchFolder folder;
    std::wstring strGerman = folder.File(L"German.ini");
    ASSERT_TRUE(::CopyFileW(EnglishLanguageFile().c_str(), strGerman.c_str(), FALSE));
    ::WritePrivateProfileStringW(L"String", L"IDO_SCANCLEAN_3", L"Datenmüll", strGerman.c_str());
    ::WritePrivateProfileStringW(L"String", L"IDS_STR_ROOT_WCH", L"Windows-Spuren", strGerman.c_str());
    Init(0);
    // How often each view relabelled itself while it was made.
    const int nEvidence = m_evidence.nSwitches, nBefore = m_junk.nSwitches, nShredder = m_shredder.nSwitches;

    FunPrivacySwitchLanguage(strGerman.c_str());
    EXPECT_EQ(m_evidence.nSwitches, nEvidence + 1);
    EXPECT_EQ(m_junk.nSwitches, nBefore + 1);
    EXPECT_EQ(m_shredder.nSwitches, nShredder + 1);
    EXPECT_EQ(Title(View(350)), L"Datenmüll");
    EXPECT_STREQ(PrivacyCatalogue()->m_szText, L"Windows-Spuren");

    // The same path again: nothing is read, even though the file changed.
    ::WritePrivateProfileStringW(L"String", L"IDO_SCANCLEAN_3", L"Abfall", strGerman.c_str());
    FunPrivacySwitchLanguage(strGerman.c_str());
    EXPECT_EQ(m_junk.nSwitches, nBefore + 1);
    EXPECT_EQ(Title(View(350)), L"Datenmüll");

    // A path too long to keep whole, or none, changes nothing.
    std::wstring strLong = folder.Path() + std::wstring(PRIVACY_LANGUAGE_PATH_SIZE, L'a') + L".ini";
    FunPrivacySwitchLanguage(strLong.c_str());
    FunPrivacySwitchLanguage(NULL);
    EXPECT_EQ(std::wstring(PrivacyLanguageFile()), strGerman);
    EXPECT_EQ(m_junk.nSwitches, nBefore + 1);
    // The longest path that fits is kept whole.
    std::wstring strFits = std::wstring(PRIVACY_LANGUAGE_PATH_SIZE - 1, L'b');
    EXPECT_TRUE(PrivacySetLanguageFile(strFits.c_str()));
    EXPECT_EQ(std::wstring(PrivacyLanguageFile()), strFits);
}

TEST_F(PrivacyExports, StopReachesEveryRunningWorkerAlsoWhenNoPrivacyViewIsOnShow)
{
    Init(0);
    EXPECT_EQ(FunIsThread(), 0);
    FunShowWindow(2, 1);
    ASSERT_TRUE(m_junk.worker.Start());
    EXPECT_EQ(FunIsThread(), 1) << "busy from before the worker runs";
    // The host moves to an optimizer view; the task goes on.
    FunShowWindow(0, 0);
    EXPECT_EQ(FunIsThread(), 1);
    FunStopThread();
    EXPECT_EQ(m_evidence.nStops, 1);
    EXPECT_EQ(m_junk.nStops, 1);
    EXPECT_EQ(m_shredder.nStops, 1);
    EXPECT_TRUE(testsupport::WaitFor([] { return FunIsThread() == 0; }, 10000));
    EXPECT_TRUE(m_junk.worker.m_bEnded);
}

TEST_F(PrivacyExports, ExitWaitsForEveryWorkerBeforeItUnhooksAndFreesThePages)
{
    Init(0);
    ASSERT_TRUE(m_evidence.worker.Start());
    ASSERT_TRUE(m_shredder.worker.Start());
    HWND hShredder = View(157);
    FunExitPrivacy();
    EXPECT_EQ(m_evidence.nWaits, 1);
    EXPECT_EQ(m_junk.nWaits, 1);
    EXPECT_EQ(m_shredder.nWaits, 1);
    EXPECT_TRUE(m_evidence.bHookAtWait) << "the hook goes after the workers";
    EXPECT_TRUE(m_evidence.worker.m_bEnded);
    EXPECT_TRUE(m_shredder.worker.m_bEnded);
    EXPECT_EQ(FunIsThread(), 0);
    EXPECT_EQ(PrivacyHook(), (HHOOK)NULL);
    EXPECT_FALSE(::IsWindow(hShredder));
    EXPECT_EQ(PrivacyEvidencePage(), (CEvidenceCleanerDlg*)NULL);
    // The library can be set up again.
    FunInitPrivacy(m_host.m_hWnd, 0, 0, 0, L"", L"", L"");
    EXPECT_NE(View(4000), (HWND)NULL);
    EXPECT_NE(PrivacyCatalogue(), (CEvidenceItem*)NULL);
}

TEST_F(PrivacyExports, AWorkerThatOutlivesTheWaitKeepsItsPageAndTheCatalogue)
{
    Init(0);
    m_junk.bDeaf = true;
    ASSERT_TRUE(m_junk.worker.Start());
    CJunkCleanerDlg* pJunk = PrivacyJunkPage();
    CEvidenceItem* pCatalogue = PrivacyCatalogue();
    HWND hJunk = View(350);
    HWND hEvidence = View(4000);
    FunExitPrivacy();
    EXPECT_EQ(PrivacyHook(), (HHOOK)NULL);
    EXPECT_EQ(PrivacyJunkPage(), (CJunkCleanerDlg*)NULL);
    EXPECT_EQ(FunIsThread(), 1);
    EXPECT_TRUE(::IsWindow(hJunk)) << "the running worker's page stays";
    EXPECT_TRUE(::IsWindow(hEvidence));
    EXPECT_FALSE(::IsWindowVisible(hJunk));
    EXPECT_STREQ(pCatalogue->m_szText, L"Windows Cache and History");

    m_junk.worker.Signal();
    ASSERT_TRUE(m_junk.worker.Wait(10000));
    EXPECT_EQ(FunIsThread(), 0);
    // What the library left behind, freed here so the test leaks nothing.
    FreeEvidenceCatalogue(pCatalogue);
    pJunk->DestroyWindow();
    delete pJunk;
    for (UINT nID : {4000u, 157u})
    {
        CWnd* pView = CWnd::FromHandlePermanent(View(nID));
        ASSERT_NE(pView, (CWnd*)NULL) << nID;
        pView->DestroyWindow();
        delete pView;
    }
}

TEST_F(PrivacyExports, TheHookRelaysOnlyRemovedMouseMessagesToEveryView)
{
    Init(0);
    Pump(100);  // whatever the window system sends on its own
    m_evidence.nRelays = m_junk.nRelays = m_shredder.nRelays = 0;
    ::PostMessageW(m_host.m_hWnd, WM_MOUSEMOVE, 0, 0);
    ::PostMessageW(m_host.m_hWnd, WM_LBUTTONDOWN, 0, 0);
    ::PostMessageW(m_host.m_hWnd, WM_KEYDOWN, VK_SPACE, 0);
    ::PostMessageW(m_host.m_hWnd, WM_RBUTTONDOWN, 0, 0);
    // Peeked without removing: not relayed.
    MSG msg;
    ASSERT_TRUE(::PeekMessageW(&msg, m_host.m_hWnd, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_NOREMOVE));
    EXPECT_EQ(m_evidence.nRelays, 0);
    int nMouse = 0;
    int nOther = 0;
    while (::PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE))
    {
        if (msg.message == WM_MOUSEMOVE || msg.message == WM_LBUTTONDOWN || msg.message == WM_LBUTTONUP)
            nMouse++;
        else
            nOther++;
        ::DispatchMessageW(&msg);
    }
    EXPECT_GE(nMouse, 2);
    EXPECT_GE(nOther, 2);
    EXPECT_EQ(m_evidence.nRelays, nMouse);
    EXPECT_EQ(m_junk.nRelays, nMouse);
    EXPECT_EQ(m_shredder.nRelays, nMouse);
}
