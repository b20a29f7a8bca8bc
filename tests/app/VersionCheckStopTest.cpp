// A close during the online version check: the check is cut short at once,
// whatever the site does, its answer never comes, and the folder keeps what
// it had. Without a stop the same slow check still answers.
#include "app/VersionCheck.h"
#include "app/VersionCheckRequest.h"
#include "framework/WinThread.h"
#include "tests/app/AppTestSupport.h"
#include "tests/app/HeldUpdateSite.h"

#include <memory>

namespace {

const std::string kOlderIni = "[Program]\r\nVersion=0.1\r\n[Updater]\r\nVersion=1.0\r\n";
const std::string kEarlierCopy = "[Program]\r\nVersion=9.0\r\n";
// Far beyond any wait of the tests: only a stop can end a held check.
const DWORD kLongTimeoutMs = 600000;

// Runs what a posted call would run, as the window's loop does.
void RunPostedCalls()
{
    MSG msg;
    while (::PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE))
    {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

class VersionCheckStopTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!m_site.IsStarted())
            TAMSEL_PEER_MISSING("python3 could not start the test server");
        ASSERT_TRUE(m_site.Put("update.ini", kOlderIni));
        ASSERT_TRUE(m_wnd.CreateEx(0, AfxRegisterWndClass(0), L"", WS_POPUP, 0, 0, 10, 10, NULL, NULL));
        m_nStatesBefore = CVersionCheckRequest::GetLiveStateCount();
    }
    void TearDown() override
    {
        if (::IsWindow(m_wnd.m_hWnd))
            m_wnd.DestroyWindow();
    }
    bool WaitAsked(const std::string& strPath)
    {
        return testsupport::WaitFor([&] { return m_site.Saw("asked " + strPath); }, 60000);
    }
    // Once the site has answered or seen the cut, WinInet lets go of what a
    // cut request still held.
    void ExpectConnectionLetGo(const std::string& strPath) { ExpectSiteLetGo(m_site, strPath, m_nStatesBefore); }

    CHeldUpdateSite m_site;
    CWnd m_wnd;
    long m_nStatesBefore = 0;
};

struct CFetchJob
{
    CUpdateChecker checker;
    CString strBaseUrl;
    int nResult = -100;
};

UINT __cdecl FetchThreadProc(LPVOID pParam)
{
    CFetchJob* pJob = static_cast<CFetchJob*>(pParam);
    pJob->nResult = pJob->checker.FetchAndCompare(pJob->strBaseUrl);
    return 0;
}

TEST_F(VersionCheckStopTest, StopEndsASlowCheckAndNoAnswerComes)
{
    int nCalls = 0;
    CVersionCheckWorker worker;
    ASSERT_TRUE(worker.Start(m_wnd.m_hWnd, m_site.Url(L"hold/").c_str(),
                             [&](int, const CVersionCheckError&) { ++nCalls; }, kLongTimeoutMs));
    ASSERT_TRUE(WaitAsked("/hold/update.ini")) << m_site.Log();
    worker.Stop();
    // The site has not answered and the time-out is far off: the stop ended it.
    EXPECT_TRUE(worker.Wait(60000));
    EXPECT_FALSE(worker.IsRunning());
    EXPECT_FALSE(m_site.Saw("answered /hold/update.ini"));
    // A post of the ended worker would be queued by now.
    RunPostedCalls();
    EXPECT_EQ(nCalls, 0);
    // Windows cuts the connection at the stop; Wine 8 keeps it until the
    // request it cancelled comes back, here with the site's answer.
    ExpectConnectionLetGo("/hold/update.ini");
    RunPostedCalls();
    EXPECT_EQ(nCalls, 0);
}

TEST_F(VersionCheckStopTest, TheOwnersEndStopsTheCheckAsAClose)
{
    int nCalls = 0;
    {
        CVersionCheckWorker worker;
        ASSERT_TRUE(worker.Start(m_wnd.m_hWnd, m_site.Url(L"hold/").c_str(),
                                 [&](int, const CVersionCheckError&) { ++nCalls; }, kLongTimeoutMs));
        ASSERT_TRUE(WaitAsked("/hold/update.ini")) << m_site.Log();
    }
    EXPECT_FALSE(m_site.Saw("answered /hold/update.ini"));
    ExpectConnectionLetGo("/hold/update.ini");
    RunPostedCalls();
    EXPECT_EQ(nCalls, 0);
}

TEST_F(VersionCheckStopTest, WithoutAStopTheHeldCheckAnswersOnceTheSiteDoes)
{
    int nCalls = 0;
    int nResult = -100;
    CVersionCheckWorker worker;
    ASSERT_TRUE(worker.Start(m_wnd.m_hWnd, m_site.Url(L"hold/").c_str(),
                             [&](int n, const CVersionCheckError&) {
                                 ++nCalls;
                                 nResult = n;
                             },
                             kLongTimeoutMs));
    ASSERT_TRUE(WaitAsked("/hold/update.ini")) << m_site.Log();
    ASSERT_TRUE(m_site.Release());
    ASSERT_TRUE(testsupport::WaitFor([&] {
        RunPostedCalls();
        return nCalls == 1;
    }, 60000));
    // Fetched whole and compared (the test program may carry no version).
    EXPECT_TRUE(nResult == UPDATE_NOT_NEWER || nResult == UPDATE_NO_OWN_VERSION) << nResult;
    EXPECT_TRUE(worker.Wait(60000));
}

// A stop before the check or while the body comes: nothing is saved and the
// copy an earlier check left stays; a check without a stop saves the answer.
TEST_F(VersionCheckStopTest, AStoppedCheckSavesNothingAndKeepsTheEarlierCopy)
{
    testsupport::ScratchFolder folder;
    HANDLE hStop = ::CreateEventW(NULL, TRUE, TRUE, NULL);
    ASSERT_TRUE(hStop != NULL);
    {
        ASSERT_TRUE(testsupport::WriteFileBytes(folder.File(L"update.ini"), kEarlierCopy));
        CUpdateChecker checker;
        checker.m_strDownloadFolder = folder.Path().c_str();
        checker.m_hStop = hStop;
        EXPECT_EQ(checker.FetchAndCompare(m_site.Url(L"file/").c_str()), UPDATE_DOWNLOAD_FAILED);
        EXPECT_EQ(checker.GetFailure().dwError, (DWORD)ERROR_INTERNET_OPERATION_CANCELLED);
        EXPECT_FALSE(m_site.Saw("asked /file/update.ini"));
        EXPECT_EQ(testsupport::ReadFileBytes(folder.File(L"update.ini")), kEarlierCopy);
    }

    // Stopped with half the body in: a long version file, of many reads.
    std::string strLong = kOlderIni + ";" + std::string(60000, 'x') + "\r\n";
    ::ResetEvent(hStop);
    std::unique_ptr<CFetchJob> pJob(new CFetchJob);
    pJob->checker.m_strDownloadFolder = folder.Path().c_str();
    pJob->checker.m_hStop = hStop;
    pJob->checker.m_dwTimeoutMs = kLongTimeoutMs;
    ASSERT_TRUE(m_site.Put("update.ini", strLong));
    pJob->strBaseUrl = m_site.Url(L"part/").c_str();
    HANDLE hThread = AfxBeginWorker(FetchThreadProc, pJob.get());
    ASSERT_TRUE(hThread != NULL);
    ASSERT_TRUE(testsupport::WaitFor([&] { return m_site.Saw("sent-part /part/update.ini"); }, 60000)) << m_site.Log();
    ::SetEvent(hStop);
    DWORD dwWait = ::WaitForSingleObject(hThread, 60000);
    ::CloseHandle(hThread);
    if (dwWait != WAIT_OBJECT_0)
    {
        pJob.release();  // still in use by the worker
        hStop = NULL;
        FAIL() << "the check did not end at the stop";
    }
    EXPECT_EQ(pJob->nResult, UPDATE_DOWNLOAD_FAILED);
    EXPECT_EQ(pJob->checker.GetFailure().dwError, (DWORD)ERROR_INTERNET_OPERATION_CANCELLED);
    EXPECT_EQ(testsupport::ReadFileBytes(folder.File(L"update.ini")), kEarlierCopy);
    ExpectConnectionLetGo("/part/update.ini");

    // No stop: the whole answer is saved.
    ASSERT_TRUE(m_site.Put("update.ini", kOlderIni));
    CUpdateChecker checker;
    checker.m_strDownloadFolder = folder.Path().c_str();
    checker.m_hStop = hStop;
    ::ResetEvent(hStop);
    int nResult = checker.FetchAndCompare(m_site.Url(L"file/").c_str());
    EXPECT_TRUE(nResult == UPDATE_NOT_NEWER || nResult == UPDATE_NO_OWN_VERSION) << nResult;
    EXPECT_EQ(testsupport::ReadFileBytes(folder.File(L"update.ini")), kOlderIni);
    ::CloseHandle(hStop);
}

} // namespace
