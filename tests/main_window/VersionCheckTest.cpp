#include "tests/main_window/MainWindowFixture.h"
#include "app/VersionCheck.h"
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
    CUpdateSite()
    {
        m_nPort = 20000 + (int)((::GetCurrentProcessId() * 7 + 3) % 20000);
        m_strDir = "/tmp/tamsel-update-" + std::to_string(m_nPort);
        if (testsupport::RunHostCommand("rm -rf " + m_strDir + " && mkdir -p " + m_strDir + "/download", 20000) != 0)
            return;
        std::string strCommand = "cd " + m_strDir + " && (/usr/bin/python3 -m http.server " + std::to_string(m_nPort) +
                                 " --bind 127.0.0.1 </dev/null >/dev/null 2>&1 & echo $! > server.pid)";
        m_bStarted = testsupport::RunHostCommand(strCommand, 20000) == 0;
    }
    ~CUpdateSite() { testsupport::RunHostCommand("kill $(cat " + m_strDir + "/server.pid); rm -rf " + m_strDir, 20000); }

    bool IsStarted() const { return m_bStarted; }
    CString BaseUrl() const
    {
        CString strUrl;
        strUrl.Format(L"http://127.0.0.1:%d/download/", m_nPort);
        return strUrl;
    }
    // Announces a version, or removes the file when the text is empty.
    void Announce(const std::string& strVersion)
    {
        std::wstring strFile = L"Z:" + std::wstring(m_strDir.begin(), m_strDir.end()) + L"/download/update.ini";
        for (wchar_t& ch : strFile)
            ch = ch == L'/' ? L'\\' : ch;
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
    int m_nPort = 0;
    std::string m_strDir;
    bool m_bStarted = false;
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

TEST(CUpdateChecker, AnUnreachableServerIsAFailedDownload)
{
    testsupport::ScratchFolder folder;
    testsupport::WriteFileBytes(folder.File(L"update.ini"), "[Program]\r\nVersion=9.0\r\n");
    MessageBoxRecorder recorder;
    // Port 9 on the loopback: nothing listens there.
    EXPECT_EQ(Check(L"http://127.0.0.1:9/download/", folder.Path()), UPDATE_DOWNLOAD_FAILED);
    EXPECT_EQ(recorder.Count(), 0u);
}

TEST_F(MainWindowTest, FirstPaintChecksOnlineWithoutBlockingTheWindow)
{
    // A site that never answers: the window must paint and go on meanwhile.
    TestApp()->m_bAutoUpdate = 1;
    ::WritePrivateProfileStringW(L"General Settings", L"UpdateSite", L"http://10.255.255.1/download/",
                                 m_folder.File(L"Settings.ini").c_str());
    MessageBoxRecorder recorder;
    DWORD dwStart = ::GetTickCount();
    CreateMainWindow();
    m_pDlg->UpdateWindow();
    EXPECT_EQ(m_pDlg->m_bFirstPaint, 0);
    // The time covers creating every page of the window; a check that waited
    // for the silent server would take far longer.
    EXPECT_LT(::GetTickCount() - dwStart, 6000u);
    EXPECT_EQ(recorder.Count(), 0u);
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
    SendCommand(IDC_UPDATE_BUTTON);
    ASSERT_EQ(recorder.Count(), 2u);
    EXPECT_EQ(recorder.LastText(), std::wstring(TestApp()->GetLangString(L"M_UPDATE_NO_COMPONENT")));
    EXPECT_TRUE(m_pDlg->IsWindowVisible());

    // With an updater but a scan the user keeps: nothing closes, nothing starts.
    testsupport::WriteFileBytes(m_folder.File(L"Update.exe"), "MZ");
    m_pDlg->m_pageHome.SendDlgItemMessage(1001, BM_CLICK);
    ASSERT_EQ(m_pDlg->m_pageScan.m_bScanning, 1);
    recorder.QueueAnswer(IDOK);      // update now
    recorder.QueueAnswer(IDCANCEL);  // but keep the scan
    SendCommand(IDC_UPDATE_BUTTON);
    EXPECT_EQ(recorder.Count(), 4u);
    EXPECT_TRUE(m_pDlg->IsWindowVisible());
    EXPECT_TRUE(m_pDlg->m_pageScan.IsScanThreadRunning());

    // Same version: the "no update" message.
    site.Announce("1.0");
    SendCommand(IDC_UPDATE_BUTTON);
    EXPECT_EQ(recorder.LastText(), std::wstring(TestApp()->GetLangString(L"M_UPDATE_NOUPDATE")));
}
