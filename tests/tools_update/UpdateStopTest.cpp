// The page's end during a search, a download or an install: each job is asked
// to abort, and a job that does not end is neither waited for nor cleaned up
// (the agent's CleanUp waits for the job).
#include "tests/tools_update/UpdatePageFixture.h"
#include "tools/UpdateCallbacks.h"
#include "tools/UpdateRun.h"
#include "framework/WinThread.h"
#include "framework/WorkerCall.h"

namespace {

typedef std::vector<std::wstring> Lines;

bool Has(const std::wstring& strLine)
{
    for (const std::wstring& strLogged : fakeagent::Log())
        if (strLogged == strLine)
            return true;
    return false;
}

// Runs a worker of the run on a thread of its own (an apartment of its own)
// and waits for its end.
void RunWorker(AFX_THREADPROC pfnThreadProc, const UpdateRunPtr& pRun)
{
    HANDLE hThread = AfxBeginWorker(pfnThreadProc, new UpdateRunPtr(pRun));
    ASSERT_TRUE(hThread != NULL);
    EXPECT_EQ(WAIT_OBJECT_0, AfxWaitForObjectPumping(hThread, 30000));
    ::CloseHandle(hThread);
}

void ClickScan(CPatchUpdatePage& page)
{
    page.SendMessage(WM_COMMAND, MAKEWPARAM(1001, BN_CLICKED), (LPARAM)page.GetDlgItem(1001)->m_hWnd);
}

TEST_F(UpdatePageTest, ACompletedSearchIsCleanedUpAfterItsEnd)
{
    Scan();
    Lines arrLog = fakeagent::Log();
    ASSERT_EQ(3u, arrLog.size());
    EXPECT_EQ(0u, arrLog[0].find(L"search:"));
    EXPECT_EQ(L"search-done", arrLog[1]);
    EXPECT_EQ(L"search-cleanup", arrLog[2]);
    EXPECT_EQ(3, m_pPage->GetList().GetItemCount());
}

TEST_F(UpdatePageTest, ThePagesEndAbortsASearch)
{
    fakeagent::Scenario scenario = Updates(3);
    scenario.bSearchWaitsForAbort = TRUE;
    fakeagent::Install(scenario);
    ClickScan(*m_pPage);
    ASSERT_TRUE(testsupport::WaitFor([&] { return !Logged(L"search:").empty(); }, 10000));
    m_pPage.reset();
    // The aborted search ends, and only then is it cleaned up.
    ASSERT_TRUE(testsupport::WaitFor([] { return Has(L"search-cleanup"); }, 30000));
    Lines arrLog = fakeagent::Log();
    ASSERT_EQ(4u, arrLog.size());
    EXPECT_EQ(L"search-abort", arrLog[1]);
    EXPECT_EQ(L"search-done", arrLog[2]);
}

TEST_F(UpdatePageTest, ASearchThatIgnoresTheAbortIsLeftToItselfNotCleanedUp)
{
    fakeagent::Scenario scenario = Updates(3);
    scenario.bSearchNeverCompletes = TRUE;
    fakeagent::Install(scenario);
    ClickScan(*m_pPage);
    ASSERT_TRUE(testsupport::WaitFor([&] { return !Logged(L"search:").empty(); }, 10000));
    m_pPage.reset();
    // The worker lets go of the session and the searcher and ends; only the
    // job itself (kept by its own thread) is still there.
    EXPECT_TRUE(testsupport::WaitFor([&] { return fakeagent::LiveObjects() == m_nLiveBefore + 1; }, 30000))
        << fakeagent::LiveObjects() - m_nLiveBefore << " fake objects";
    EXPECT_TRUE(Has(L"search-abort"));
    EXPECT_FALSE(Has(L"search-done"));
    EXPECT_FALSE(Has(L"search-cleanup"));
}

TEST_F(UpdatePageTest, ThePagesEndAbortsADownloadAndInstallsNothing)
{
    fakeagent::Scenario scenario = Updates(3);
    scenario.bDownloadsWaitForAbort = TRUE;
    fakeagent::Install(scenario);
    Scan();
    fakeagent::ClearLog();
    m_pPage->OnInstall();
    ASSERT_TRUE(testsupport::WaitFor([&] { return Cell(0, 3) == L"Downloading..."; }, 10000));
    m_pPage.reset();
    ASSERT_TRUE(testsupport::WaitFor([] { return Has(L"download-cleanup:U1"); }, 30000));
    // The workers end with the job: everything of the run is let go.
    EXPECT_TRUE(testsupport::WaitFor([&] { return GetLiveUpdateCallbackCount() == m_nCallbacksBefore; }, 30000));
    Lines arrLog = fakeagent::Log();
    EXPECT_EQ((Lines{L"download-begin:U1", L"download-abort:U1", L"download-done:U1", L"download-cleanup:U1"}), arrLog);
}

TEST_F(UpdatePageTest, ADownloadThatIgnoresTheAbortIsLeftToItselfNotCleanedUp)
{
    fakeagent::Scenario scenario = Updates(2);
    scenario.bDownloadsNeverComplete = TRUE;
    fakeagent::Install(scenario);
    Scan();
    long nAfterScan = fakeagent::LiveObjects();
    m_pPage->OnInstall();
    ASSERT_TRUE(testsupport::WaitFor([&] { return Cell(0, 3) == L"Downloading..."; }, 10000));
    m_pPage.reset();
    // The walk lets go of its collection and downloader and ends; the job
    // alone, which never ends, is still there.
    EXPECT_TRUE(testsupport::WaitFor([&] { return fakeagent::LiveObjects() == nAfterScan + 1; }, 30000))
        << fakeagent::LiveObjects() - nAfterScan << " fake objects more than after the search";
    EXPECT_TRUE(Has(L"download-abort:U1"));
    EXPECT_FALSE(Has(L"download-cleanup:U1"));
    EXPECT_TRUE(Logged(L"download-begin:U2").empty());
    EXPECT_TRUE(Logged(L"install-begin:").empty());
}

// The walk and the queue started after the stop: nothing begins.
TEST_F(UpdatePageTest, ARunStoppedBeforeItsWorkersStartBeginsNothing)
{
    Scan();
    fakeagent::ClearLog();
    ASSERT_TRUE(m_pApp->m_pComObject != NULL);
    UpdateRunPtr pRun(new CUpdateRun(m_pPage->m_hWnd, m_pApp->m_pComObject, {{0, 0}, {1, 1}, {2, 2}}));
    ASSERT_TRUE(pRun->IsReady());
    pRun->Stop();
    pRun->EnterWorker();
    pRun->EnterWorker();
    RunWorker(DownloadUpdatesThread, pRun);
    // The walk ran (it made its downloader) and began no download.
    EXPECT_EQ(1, fakeagent::Created(L"Microsoft.Update.Downloader"));
    EXPECT_TRUE(Logged(L"download-begin:").empty());

    // A download already handed over is not installed after the stop either.
    fakeagent::Scenario scenario = Updates(1);
    IUpdateCollection* pUpdates = fakeagent::MakeCollection(scenario.arrUpdates);
    IUpdate* pUpdate = NULL;
    ASSERT_TRUE(SUCCEEDED(pUpdates->get_Item(0, &pUpdate)));
    pUpdates->Release();
    EXPECT_TRUE(pRun->AddDownloaded(0, pUpdate));
    RunWorker(InstallQueueThread, pRun);
    EXPECT_TRUE(Logged(L"install-begin:").empty());
    pRun.reset();
    // The posts of both workers, to a page that still lives.
    testsupport::WaitFor([] { return false; }, 100);
    EXPECT_EQ(0u, m_pBoxes->Count()) << m_pBoxes->LastText();
}

} // namespace
