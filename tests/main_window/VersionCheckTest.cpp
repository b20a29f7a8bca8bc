#include "tests/main_window/MainWindowFixture.h"
#include "app/VersionCheck.h"
#include "tools/UpdateErrorText.h"
#include "tests/support/HostServer.h"
#include <string>

using testsupport::MessageBoxRecorder;

TEST(CUpdateChecker, ComparesVersionsPartByPartAsNumbers)
{
    EXPECT_EQ(CUpdateChecker::CompareVersions(L"5.3.6.10", L"5.3.6.4"), 1);
    EXPECT_EQ(CUpdateChecker::CompareVersions(L"6", L"5.3.6.4"), 1);
    EXPECT_EQ(CUpdateChecker::CompareVersions(L"5.3", L"5.3.0.0"), 0);
    EXPECT_EQ(CUpdateChecker::CompareVersions(L"5.2.9.9", L"5.3"), -1);
    EXPECT_EQ(CUpdateChecker::CompareVersions(L"005.03", L"5.3"), 0);
    EXPECT_EQ(CUpdateChecker::CompareVersions(L"1.2.3.4.5", L"1.0"), -21);
    EXPECT_EQ(CUpdateChecker::CompareVersions(L"1.2a", L"1.0"), -21);
    EXPECT_EQ(CUpdateChecker::CompareVersions(L"", L"1.0"), -21);
    EXPECT_EQ(CUpdateChecker::CompareVersions(L"1.0", L"x"), -22);
    EXPECT_TRUE(CUpdateChecker::IsNumber(L""));
    EXPECT_FALSE(CUpdateChecker::IsNumber(L"1 2"));
}

TEST(CUpdateChecker, ReadsTheFileVersionOfAModule)
{
    // The test executable carries the program's version resource.
    EXPECT_EQ(CUpdateChecker::GetFileVersionString(CUpdateChecker::GetModulePath()), CString(L"1.0"));
    WCHAR szSystem[MAX_PATH];
    ::GetSystemDirectoryW(szSystem, MAX_PATH);
    testsupport::ScratchFolder folder;
    testsupport::WriteFileBytes(folder.File(L"plain.txt"), "no version here");
    EXPECT_TRUE(CUpdateChecker::GetFileVersionString(folder.File(L"plain.txt").c_str()).IsEmpty());
}

TEST(CUpdateChecker, TheUpdateSiteComesFromSettingsOnlyWhenPresent)
{
    testsupport::ScratchFolder folder;
    CString strSettings = folder.File(L"Settings.ini").c_str();
    EXPECT_EQ(GetUpdateSiteUrl(strSettings), CString(L"http://www.tamsel.net/download/"));
    ::WritePrivateProfileStringW(L"General Settings", L"UpdateSite", L"http://127.0.0.1:8123/download", strSettings);
    EXPECT_EQ(GetUpdateSiteUrl(strSettings), CString(L"http://127.0.0.1:8123/download/"));
}

namespace {

// A throw-away HTTP server on the host serving a "download" folder.
class CUpdateSite
{
public:
    CUpdateSite() : m_server("update")
    {
        if (::CreateDirectoryW(m_server.Win("download").c_str(), NULL))
            m_server.StartScript(testsupport::CHostServer::s_pszFileServer);
    }

    bool IsStarted() const { return m_server.IsStarted(); }
    CString BaseUrl() const
    {
        CString strUrl;
        strUrl.Format(L"http://127.0.0.1:%d/download/", m_server.Port());
        return strUrl;
    }
    // Announces a version, or removes the file when the text is empty.
    void Announce(const std::string& strVersion)
    {
        std::wstring strFile = m_server.Win("download/update.ini");
        if (strVersion.empty())
            ::DeleteFileW(strFile.c_str());
        else
            testsupport::WriteFileBytes(strFile, "[Program]\r\nVersion=" + strVersion + "\r\n[Updater]\r\nVersion=1.0\r\n");
    }
    bool WaitUntilListening()
    {
        Announce("0.1");
        return testsupport::WaitFor([&] {
            CUpdateChecker checker;
            checker.m_strDownloadFolder = m_folder.Path().c_str();
            if (checker.FetchAndCompare(BaseUrl()) == UPDATE_NOT_NEWER)
                return true;
            ::Sleep(200);
            return false;
        }, 15000);
    }

private:
    testsupport::CHostServer m_server;
    testsupport::ScratchFolder m_folder;
};

int Check(const CString& strBaseUrl, const std::wstring& strFolder)
{
    CUpdateChecker checker;
    checker.m_strDownloadFolder = strFolder.c_str();
    return checker.CheckForUpdate(strBaseUrl);
}

} // namespace

TEST(CUpdateChecker, ReportsEachServerCase)
{
    CUpdateSite site;
    ASSERT_TRUE(site.IsStarted());
    ASSERT_TRUE(site.WaitUntilListening());
    testsupport::ScratchFolder folder;
    MessageBoxRecorder recorder;

    site.Announce("1.0.0.1");
    recorder.QueueAnswer(IDOK);
    EXPECT_EQ(Check(site.BaseUrl(), folder.Path()), UPDATE_NEWER_ACCEPTED);
    ASSERT_EQ(recorder.Count(), 1u);
    EXPECT_EQ(recorder.LastText(), L"An update is now available. Proceed with the update?");
    EXPECT_EQ(recorder.Boxes()[0].nType, (UINT)(MB_OKCANCEL | MB_ICONQUESTION));
    // The copy lands in the download folder.
    EXPECT_NE(testsupport::ReadFileBytes(folder.File(L"update.ini")).find("1.0.0.1"), std::string::npos);

    recorder.QueueAnswer(IDCANCEL);
    EXPECT_EQ(Check(site.BaseUrl(), folder.Path()), UPDATE_NEWER_DECLINED);

    site.Announce("1.0.0.0");
    EXPECT_EQ(Check(site.BaseUrl(), folder.Path()), UPDATE_NOT_NEWER);
    site.Announce("0.9.12");
    EXPECT_EQ(Check(site.BaseUrl(), folder.Path()), UPDATE_NOT_NEWER);
    site.Announce("1.0.0.0.1");
    EXPECT_EQ(Check(site.BaseUrl(), folder.Path()), UPDATE_NOT_NEWER);
    EXPECT_EQ(recorder.Count(), 2u);

    // A missing file on the server is a failed download, even with a newer
    // copy left from an earlier check.
    testsupport::WriteFileBytes(folder.File(L"update.ini"), "[Program]\r\nVersion=9.0\r\n");
    site.Announce("");
    EXPECT_EQ(Check(site.BaseUrl(), folder.Path()), UPDATE_DOWNLOAD_FAILED);
    EXPECT_EQ(recorder.Count(), 2u);
}

// An unreachable site is a failed download that keeps the system's reason.
TEST(CUpdateChecker, AnUnreachableServerIsAFailedDownloadWithItsReason)
{
    testsupport::ScratchFolder folder;
    testsupport::WriteFileBytes(folder.File(L"update.ini"), "[Program]\r\nVersion=9.0\r\n");
    MessageBoxRecorder recorder;
    CUpdateChecker checker;
    checker.m_strDownloadFolder = folder.Path().c_str();
    // Port 9 on the loopback: nothing listens there.
    EXPECT_EQ(checker.CheckForUpdate(L"http://127.0.0.1:9/download/"), UPDATE_DOWNLOAD_FAILED);
    EXPECT_EQ(checker.GetFailure().dwError, (DWORD)ERROR_INTERNET_CANNOT_CONNECT);
    EXPECT_EQ(checker.GetFailure().dwHttpStatus, 0u);
    // A name that never resolves (the .invalid domain).
    EXPECT_EQ(checker.CheckForUpdate(L"http://tamsel-update.invalid/download/"), UPDATE_DOWNLOAD_FAILED);
    EXPECT_EQ(checker.GetFailure().dwError, (DWORD)ERROR_INTERNET_NAME_NOT_RESOLVED);
    EXPECT_EQ(recorder.Count(), 0u);
}

// The reason reads as the system's text with its code, or as the site's
// status, and stands between the message's first line and its advice.
TEST(CVersionCheckError, TellsTheSystemsTextAndTheCode)
{
    CVersionCheckError refused;
    refused.dwError = ERROR_INTERNET_CANNOT_CONNECT;
    CString strInternet = SystemErrorText((HRESULT)ERROR_INTERNET_CANNOT_CONNECT);
    ASSERT_FALSE(strInternet.IsEmpty());
    EXPECT_EQ(refused.Describe(), strInternet + L" (Error Code: 12029)");
    // A code of the system's own table.
    CVersionCheckError denied;
    denied.dwError = ERROR_ACCESS_DENIED;
    EXPECT_EQ(denied.Describe(), SystemErrorText((HRESULT)ERROR_ACCESS_DENIED) + L" (Error Code: 5)");
    EXPECT_FALSE(SystemErrorText((HRESULT)ERROR_ACCESS_DENIED).IsEmpty());
    CVersionCheckError missing;
    missing.dwHttpStatus = 404;
    EXPECT_EQ(missing.Describe(), CString(L"HTTP status 404"));

    EXPECT_EQ(FormatInternetFailed(L"Failed.\n%s\nTry again.", missing), CString(L"Failed.\nHTTP status 404\nTry again."));
    // Nothing known: no empty line.
    EXPECT_EQ(FormatInternetFailed(L"Failed.\n%s\nTry again.", CVersionCheckError()), CString(L"Failed.\nTry again."));
    // A language file without the placeholder still shows the reason.
    EXPECT_EQ(FormatInternetFailed(L"Failed.", missing), CString(L"Failed.\nHTTP status 404"));
    EXPECT_EQ(FormatInternetFailed(L"Failed.\nTry again.", missing), CString(L"Failed.\nHTTP status 404\nTry again."));
}

namespace {

// A host server that answers every request with one scripted fault, by the
// first folder of the path: cut (fewer bytes than Content-Length), big (past
// the size cap, with and without a length), missing (404 with a version file
// as its page), stall (never answers), hold (an older version once the test
// lets it go) and ok.
const char* const kRawServerScript =
    "import os,socket,threading,time\n"
    "ini=b'[Program]\\r\\nVersion=9.0\\r\\n'\n"
    "def head(status,length):\n"
    "  h=b'HTTP/1.1 '+status+b'\\r\\nConnection: close\\r\\n'\n"
    "  if length is not None: h+=b'Content-Length: '+str(length).encode()+b'\\r\\n'\n"
    "  return h+b'\\r\\n'\n"
    "def serve(c):\n"
    "  try:\n"
    "    d=b''\n"
    "    while b'\\r\\n\\r\\n' not in d:\n"
    "      r=c.recv(4096)\n"
    "      if not r: return\n"
    "      d+=r\n"
    "    p=d.split(b' ')[1]\n"
    "    with open('asked','ab') as f: f.write(p+b'\\n')\n"
    "    big=ini+b';'*70000+b'\\r\\n'\n"
    "    if p.startswith(b'/cut/'): c.sendall(head(b'200 OK',len(ini)+100)+ini)\n"
    "    elif p.startswith(b'/big/'): c.sendall(head(b'200 OK',len(big))+big)\n"
    "    elif p.startswith(b'/biglong/'): c.sendall(head(b'200 OK',None)+big)\n"
    "    elif p.startswith(b'/missing/'): c.sendall(head(b'404 Not Found',len(ini))+ini)\n"
    "    elif p.startswith(b'/stall/'): time.sleep(20)\n"
    "    elif p.startswith(b'/hold/'):\n"
    "      while not os.path.exists('release'): time.sleep(0.05)\n"
    "      old=b'[Program]\\r\\nVersion=0.1\\r\\n'; c.sendall(head(b'200 OK',len(old))+old)\n"
    "    else: c.sendall(head(b'200 OK',len(ini))+ini)\n"
    "  finally:\n"
    "    c.close()\n"
    "s=socket.socket(); s.bind(('127.0.0.1',0)); s.listen(16)\n"
    "open('port.tmp','w').write(str(s.getsockname()[1])); os.replace('port.tmp','port')\n"
    "end=time.time()+600\n"
    "while time.time()<end:\n"
    "  c,_=s.accept(); threading.Thread(target=serve,args=(c,),daemon=True).start()\n";

class CRawServer
{
public:
    CRawServer() : m_server("raw") { m_server.StartScript(kRawServerScript); }

    bool IsStarted() const { return m_server.IsStarted(); }
    // The paths asked for so far, a line each.
    std::string Asked() const { return testsupport::ReadFileBytes(m_server.Win("asked")); }
    // Lets every held request (and each one after) have its answer.
    bool Release() { return testsupport::RunHostCommand("touch " + m_server.Unix("release"), 20000) == 0; }
    // A first answer, as a window would get it.
    bool WaitUntilListening(DWORD dwTimeoutMs)
    {
        CString strUrl = Url(L"ok") + L"update.ini";
        return testsupport::WaitFor(
            [&] {
                bool bUp = false;
                HINTERNET hSession = ::InternetOpenW(L"probe", INTERNET_OPEN_TYPE_DIRECT, NULL, NULL, 0);
                if (hSession == NULL)
                    return false;
                HINTERNET hRequest = ::InternetOpenUrlW(hSession, strUrl, NULL, 0, INTERNET_FLAG_RELOAD, 0);
                if (hRequest != NULL)
                {
                    bUp = true;
                    ::InternetCloseHandle(hRequest);
                }
                ::InternetCloseHandle(hSession);
                return bUp;
            },
            dwTimeoutMs);
    }
    CString Url(LPCWSTR pszFolder) const
    {
        CString strUrl;
        strUrl.Format(L"http://127.0.0.1:%d/%s/", m_server.Port(), pszFolder);
        return strUrl;
    }

private:
    testsupport::CHostServer m_server;
};

int Fetch(const CString& strBaseUrl, const std::wstring& strFolder, DWORD dwTimeoutMs = 2000,
          CVersionCheckError* pFailure = NULL)
{
    CUpdateChecker checker;
    checker.m_strDownloadFolder = strFolder.c_str();
    checker.m_dwTimeoutMs = dwTimeoutMs;
    int nResult = checker.FetchAndCompare(strBaseUrl);
    if (pFailure != NULL)
        *pFailure = checker.GetFailure();
    return nResult;
}

} // namespace

// Only a whole, successful answer of a sane size is a version file; an older
// copy left in the folder never decides instead.
TEST(CUpdateChecker, RefusesCutOffOversizedAndErrorAnswers)
{
    CRawServer server;
    if (!server.IsStarted())
        TAMSEL_PEER_MISSING("python3 could not start the test server");
    testsupport::ScratchFolder folder;
    ASSERT_TRUE(testsupport::WaitFor([&] {
        if (Fetch(server.Url(L"ok"), folder.Path()) == UPDATE_NEWER_FOUND)
            return true;
        ::Sleep(200);
        return false;
    }, 15000));
    // Each with the reason a user is told.
    struct
    {
        LPCWSTR pszCase;
        DWORD dwError;
        DWORD dwHttpStatus;
    } const cases[] = {
        { L"cut", ERROR_INTERNET_CONNECTION_ABORTED, 0 },
        { L"big", ERROR_INVALID_DATA, 0 },
        { L"biglong", ERROR_INVALID_DATA, 0 },
        { L"missing", 0, 404 },
    };
    for (const auto& c : cases)
    {
        testsupport::WriteFileBytes(folder.File(L"update.ini"), "[Program]\r\nVersion=9.0\r\n");
        CVersionCheckError failure;
        EXPECT_EQ(Fetch(server.Url(c.pszCase), folder.Path(), 2000, &failure), UPDATE_DOWNLOAD_FAILED) << c.pszCase;
        EXPECT_EQ(::GetFileAttributesW(folder.File(L"update.ini").c_str()), INVALID_FILE_ATTRIBUTES) << c.pszCase;
        EXPECT_EQ(failure.dwError, c.dwError) << c.pszCase;
        EXPECT_EQ(failure.dwHttpStatus, c.dwHttpStatus) << c.pszCase;
    }
    // A server that never answers is given up after the time-out.
    DWORD dwStart = ::GetTickCount();
    CVersionCheckError failure;
    EXPECT_EQ(Fetch(server.Url(L"stall"), folder.Path(), 1000, &failure), UPDATE_DOWNLOAD_FAILED);
    EXPECT_LT(::GetTickCount() - dwStart, 8000u);
    // Windows says it timed out; Wine that the connection ended.
    EXPECT_NE(failure.dwError, 0u);
    // A whole answer leaves no reason behind.
    EXPECT_EQ(Fetch(server.Url(L"ok"), folder.Path(), 2000, &failure), UPDATE_NEWER_FOUND);
    EXPECT_EQ(failure.dwError, 0u);
    EXPECT_EQ(failure.dwHttpStatus, 0u);
}

// The worker hands its result to the window's thread; its owner waits for it.
TEST(CVersionCheckWorker, ReportsOnTheWindowsThreadAndIsWaitedFor)
{
    CRawServer server;
    if (!server.IsStarted())
        TAMSEL_PEER_MISSING("python3 could not start the test server");
    ASSERT_TRUE(server.WaitUntilListening(60000));
    CWnd wnd;
    ASSERT_TRUE(wnd.CreateEx(0, AfxRegisterWndClass(0), L"", WS_POPUP, 0, 0, 10, 10, NULL, NULL));
    int nResult = 0;
    DWORD dwThread = 0;
    CVersionCheckError failure;
    {
        CVersionCheckWorker worker;
        ASSERT_TRUE(worker.Start(wnd.m_hWnd, server.Url(L"stall"), [&](int n, const CVersionCheckError& why) {
            nResult = n;
            failure = why;
            dwThread = ::GetCurrentThreadId();
        }, 1000));
        EXPECT_TRUE(worker.IsRunning());
        // One check at a time.
        EXPECT_FALSE(worker.Start(wnd.m_hWnd, server.Url(L"ok"), [](int, const CVersionCheckError&) {}));
        EXPECT_TRUE(testsupport::WaitFor([&] { return nResult != 0; }, 15000));
        EXPECT_EQ(nResult, UPDATE_DOWNLOAD_FAILED);
        // The reason comes with the result.
        EXPECT_NE(failure.dwError, 0u);
        EXPECT_EQ(dwThread, ::GetCurrentThreadId());

        // A check still running when the owner goes: waited for, and its
        // answer dropped with the window.
        nResult = 0;
        ASSERT_TRUE(worker.Wait(5000));
        ASSERT_TRUE(worker.Start(wnd.m_hWnd, server.Url(L"stall"),
                                 [&](int n, const CVersionCheckError&) { nResult = n; }, 1000));
        wnd.DestroyWindow();
    }
    testsupport::WaitFor([] { return false; }, 100);
    EXPECT_EQ(nResult, 0);
}

namespace {
struct CHeldCheckTimeout
{
    DWORD dwSaved = CTamselDlg::s_dwVersionCheckTimeoutMs;
    CHeldCheckTimeout() { CTamselDlg::s_dwVersionCheckTimeoutMs = 120000; }
    ~CHeldCheckTimeout() { CTamselDlg::s_dwVersionCheckTimeoutMs = dwSaved; }
};
} // namespace

TEST_F(MainWindowTest, FirstPaintChecksOnlineWithoutBlockingTheWindow)
{
    // A site that answers only when the test lets it: the window must paint
    // and go on meanwhile.
    CRawServer server;
    if (!server.IsStarted())
        TAMSEL_PEER_MISSING("python3 could not start the test server");
    ASSERT_TRUE(server.WaitUntilListening(60000));
    // The check waits for the held site as long as the test needs, not for
    // the check's own time-out, however slowly a loaded machine gets there.
    CHeldCheckTimeout longCheck;
    MessageBoxRecorder recorder;
    PaintCheckingUpdatesAt(server.Url(L"hold"));
    EXPECT_EQ(m_pDlg->m_bFirstPaint, 0);
    // Painted while the check still waits for the site: nothing waited for it.
    EXPECT_TRUE(m_pDlg->m_versionCheck.IsRunning()) << "the site was asked for:\n" << server.Asked();
    EXPECT_EQ(recorder.Count(), 0u);
    // Once the site answers (an older version), the check ends quietly.
    ASSERT_TRUE(server.Release());
    EXPECT_TRUE(m_pDlg->m_versionCheck.Wait(30000));
    testsupport::WaitFor([] { return false; }, 100);
    EXPECT_EQ(recorder.Count(), 0u);
}

// Check Update while the first paint's check still waits is answered by that
// check, told in full; asked again at once, a new check answers.
TEST_F(MainWindowTest, ACheckAskedForWhileOneRunsIsAnsweredInFull)
{
    CRawServer server;
    if (!server.IsStarted())
        TAMSEL_PEER_MISSING("python3 could not start the test server");
    ASSERT_TRUE(server.WaitUntilListening(60000));
    // The check waits for the held site as long as the test needs, not for
    // the check's own time-out, however slowly a loaded machine gets there.
    CHeldCheckTimeout longCheck;
    MessageBoxRecorder recorder;
    PaintCheckingUpdatesAt(server.Url(L"hold"));
    ASSERT_TRUE(m_pDlg->m_versionCheck.IsRunning());
    EXPECT_TRUE(m_pDlg->StartVersionCheck(TRUE));
    ASSERT_TRUE(server.Release());
    ASSERT_TRUE(testsupport::WaitFor([&] { return recorder.Count() == 1u; }, 60000));
    EXPECT_EQ(recorder.LastText(), std::wstring(TestApp()->GetLangString(L"M_UPDATE_NOUPDATE")));

    EXPECT_TRUE(m_pDlg->StartVersionCheck(TRUE));
    ASSERT_TRUE(testsupport::WaitFor([&] { return recorder.Count() == 2u; }, 60000));
    ASSERT_TRUE(m_pDlg->m_versionCheck.Wait(15000));
    testsupport::WaitFor([] { return false; }, 200);  // nothing more arrives
    EXPECT_EQ(recorder.Count(), 2u);
}

TEST_F(MainWindowTest, CheckUpdateStartsTheUpdaterOnlyWhenTheProgramCloses)
{
    CUpdateSite site;
    ASSERT_TRUE(site.IsStarted());
    ASSERT_TRUE(site.WaitUntilListening());
    site.Announce("7.0");
    ::WritePrivateProfileStringW(L"General Settings", L"UpdateSite", site.BaseUrl(), m_folder.File(L"Settings.ini").c_str());
    CreateMainWindow();

    // Without Update.exe: the message, and the program goes on.
    MessageBoxRecorder recorder;
    recorder.QueueAnswer(IDOK);
    // The check runs on a worker: the window answers meanwhile.
    SendCommand(IDC_UPDATE_BUTTON);
    EXPECT_TRUE(m_pDlg->m_versionCheck.IsRunning() || recorder.Count() == 0u);
    ASSERT_TRUE(testsupport::WaitFor([&] { return recorder.Count() == 2u; }, 60000));
    EXPECT_EQ(recorder.LastText(), std::wstring(TestApp()->GetLangString(L"M_UPDATE_NO_COMPONENT")));
    EXPECT_TRUE(m_pDlg->IsWindowVisible());

    // With an updater but a scan the user keeps: nothing closes, nothing starts.
    testsupport::WriteFileBytes(m_folder.File(L"Update.exe"), "MZ");
    m_pDlg->m_pageHome.SendDlgItemMessage(1001, BM_CLICK);
    ASSERT_EQ(m_pDlg->m_pageScan.m_bScanning, 1);
    ASSERT_TRUE(m_pDlg->m_versionCheck.Wait(15000));
    recorder.QueueAnswer(IDOK);      // update now
    recorder.QueueAnswer(IDCANCEL);  // but keep the scan
    SendCommand(IDC_UPDATE_BUTTON);
    EXPECT_TRUE(testsupport::WaitFor([&] { return recorder.Count() == 4u; }, 15000));
    EXPECT_TRUE(m_pDlg->IsWindowVisible());
    EXPECT_TRUE(m_pDlg->m_pageScan.IsScanThreadRunning());

    // Same version: the "no update" message.
    site.Announce("1.0");
    ASSERT_TRUE(m_pDlg->m_versionCheck.Wait(15000));
    SendCommand(IDC_UPDATE_BUTTON);
    EXPECT_TRUE(testsupport::WaitFor([&] { return recorder.Count() == 5u; }, 15000));
    EXPECT_EQ(recorder.LastText(), std::wstring(TestApp()->GetLangString(L"M_UPDATE_NOUPDATE")));
}

// Check Update tells why the site could not be reached: the system's text and
// code of a refused connection, or the site's error status, then the advice.
TEST_F(MainWindowTest, CheckUpdateTellsWhyTheSiteCouldNotBeReached)
{
    CRawServer server;
    if (!server.IsStarted())
        TAMSEL_PEER_MISSING("python3 could not start the test server");
    ASSERT_TRUE(server.WaitUntilListening(60000));
    // Port 9 on the loopback: nothing listens there.
    ::WritePrivateProfileStringW(L"General Settings", L"UpdateSite", L"http://127.0.0.1:9/download/",
                                 m_folder.File(L"Settings.ini").c_str());
    CreateMainWindow();
    std::wstring strText = (LPCWSTR)TestApp()->GetLangString(L"M_UPDATE_INTERNET_FAILED");
    size_t nReason = strText.find(L"%s");
    ASSERT_NE(nReason, std::wstring::npos);
    std::wstring strBefore = strText.substr(0, nReason), strAfter = strText.substr(nReason + 2);

    MessageBoxRecorder recorder;
    SendCommand(IDC_UPDATE_BUTTON);
    ASSERT_TRUE(testsupport::WaitFor([&] { return recorder.Count() == 1u; }, 60000));
    EXPECT_EQ(recorder.Boxes()[0].nType, (UINT)MB_ICONEXCLAMATION);
    std::wstring strShown = recorder.LastText();
    std::wstring strReason = std::wstring((LPCWSTR)SystemErrorText((HRESULT)ERROR_INTERNET_CANNOT_CONNECT)) +
                             L" (Error Code: 12029)";
    EXPECT_EQ(strShown, strBefore + strReason + strAfter);
    EXPECT_GT(strReason.size(), std::wstring(L" (Error Code: 12029)").size());

    // The site is there but has no version file.
    ASSERT_TRUE(m_pDlg->m_versionCheck.Wait(15000));
    ::WritePrivateProfileStringW(L"General Settings", L"UpdateSite", server.Url(L"missing"),
                                 m_folder.File(L"Settings.ini").c_str());
    SendCommand(IDC_UPDATE_BUTTON);
    ASSERT_TRUE(testsupport::WaitFor([&] { return recorder.Count() == 2u; }, 60000));
    EXPECT_EQ(recorder.LastText(), strBefore + L"HTTP status 404" + strAfter);
}
