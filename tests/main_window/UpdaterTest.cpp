#include "tests/main_window/LocalUpdateSite.h"
#include "tests/main_window/MainWindowFixture.h"
#include "app/GeneralSettingsPage.h"
#include "app/UpdaterDlg.h"
#include "app/VersionCheck.h"
#include "services/ZipWriter.h"
#include <vector>

using testsupport::MessageBoxRecorder;

namespace {

std::wstring ExeFolder()
{
    WCHAR szPath[MAX_PATH] = L"";
    ::GetModuleFileNameW(NULL, szPath, MAX_PATH);
    std::wstring strPath(szPath);
    return strPath.substr(0, strPath.rfind(L'\\') + 1);
}

std::string Stub(int nMajor)
{
    return testsupport::ReadFileBytes(ExeFolder() + L"update_stub_v" + std::to_wstring(nMajor) + L".exe");
}

std::string MakeZip(const std::vector<std::pair<std::wstring, std::string>>& items)
{
    ZipHandle hZip = CreateZipArchive(NULL, 1 << 20, ZipKindMemory);
    for (const auto& item : items)
    {
        if (item.first.back() == L'/')
            AddToZipArchive(hZip, item.first.c_str(), NULL, 0, ZipKindFolder);
        else
            AddToZipArchive(hZip, item.first.c_str(), item.second.data(), (DWORD)item.second.size(), ZipKindMemory);
    }
    void* pBlock = NULL;
    DWORD dwLength = 0;
    GetZipArchiveMemory(hZip, &pBlock, &dwLength);
    std::string bytes((const char*)pBlock, dwLength);
    CloseZipWriter(hZip);
    return bytes;
}

// Swaps a stored name for another of the same length (the writer keeps "..").
std::string Rename(std::string bytes, const std::string& strFrom, const std::string& strTo)
{
    for (size_t nPos = bytes.find(strFrom); nPos != std::string::npos; nPos = bytes.find(strFrom, nPos + 1))
        bytes.replace(nPos, strFrom.size(), strTo);
    return bytes;
}

std::string UpdateIni(const std::string& strUpdater, const std::string& strPack, const std::string& strProgram = "1.0")
{
    return "[Program]\r\nVersion=" + strProgram + "\r\n[Updater]\r\nVersion=" + strUpdater + "\r\nPack=" + strPack +
           "\r\n";
}

std::string Narrow(const std::wstring& str)
{
    return std::string(str.begin(), str.end());
}

// Watches the updater dialog from inside its modal loop: presses Finish once
// it is enabled; a dialog that never gets there is ended after a while.
struct CDialogWatch
{
    static bool s_bSeen;
    static bool s_bFinishEnabled;
    static DWORD s_dwStart;
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD)
    {
        HWND hDlg = ::FindWindowW(NULL, L"Tamsel Updater");
        if (hDlg == NULL || !::IsWindowVisible(hDlg))
            return;
        s_bSeen = true;
        HWND hFinish = ::GetDlgItem(hDlg, 1001);
        if (::IsWindowEnabled(hFinish))
        {
            s_bFinishEnabled = true;
            ::SendMessageW(hFinish, BM_CLICK, 0, 0);
        }
        else if (::GetTickCount() - s_dwStart > 40000)
            ::SendMessageW(hDlg, WM_COMMAND, MAKEWPARAM(1001, BN_CLICKED), (LPARAM)hFinish);
    }
    CDialogWatch()
    {
        s_bSeen = s_bFinishEnabled = false;
        s_dwStart = ::GetTickCount();
        m_nTimer = ::SetTimer(NULL, 0, 100, &Tick);
    }
    ~CDialogWatch() { ::KillTimer(NULL, m_nTimer); }
    UINT_PTR m_nTimer;
};
bool CDialogWatch::s_bSeen = false;
bool CDialogWatch::s_bFinishEnabled = false;
DWORD CDialogWatch::s_dwStart = 0;

class UpdaterTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_site.IsStarted());
        ASSERT_TRUE(m_site.WaitUntilListening());
    }
    void Configure(CUpdaterDlg& dlg)
    {
        dlg.m_settings.strAppDir = m_folder.Path().c_str();
        dlg.m_settings.dwConnectTimeout = 3000;
        dlg.m_settings.dwReceiveTimeout = 3000;
    }
    std::string Pack(const std::wstring& strPrefix, const std::wstring& strName)
    {
        return Narrow(m_site.BaseUrl(strPrefix) + strName);
    }
    // Runs the whole dialog as the command does; the dialog's outcome.
    int RunUpdater(const std::string& strIni, DWORD* pdwCheck = NULL)
    {
        m_site.Put("download/update.ini", strIni);
        CUpdaterDlg dlg(NULL);
        Configure(dlg);
        DWORD dwCheck = dlg.CheckUpdater(m_site.BaseUrl().c_str());
        if (pdwCheck != NULL)
            *pdwCheck = dwCheck;
        if (dwCheck != 0 || !dlg.StartUpdate())
            return -100;
        CDialogWatch watch;
        dlg.DoModal();
        return dlg.GetOutcome();
    }
    bool Exists(const std::wstring& strName) const
    {
        return ::GetFileAttributesW(m_folder.File(strName).c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    // Nothing left of a download: no temporary file and no archive.
    int Leftovers() const
    {
        int nCount = 0;
        WIN32_FIND_DATAW fd;
        HANDLE hFind = ::FindFirstFileW(m_folder.File(L"*").c_str(), &fd);
        if (hFind == INVALID_HANDLE_VALUE)
            return 0;
        do
        {
            std::wstring strName = fd.cFileName;
            if (strName.size() > 4 && (_wcsicmp(strName.c_str() + strName.size() - 4, L".tmp") == 0 ||
                                       _wcsicmp(strName.c_str() + strName.size() - 4, L".zip") == 0))
                nCount++;
        } while (::FindNextFileW(hFind, &fd));
        ::FindClose(hFind);
        return nCount;
    }

    CLocalUpdateSite m_site;
    testsupport::ScratchFolder m_folder;
};

} // namespace

TEST(CUpdaterDlg, ComparesVersionsAsTheVersionCheckDoes)
{
    EXPECT_EQ(CUpdaterDlg::CompareVersions(L"1.2", L"1.2.0.0"), 0);
    EXPECT_EQ(CUpdaterDlg::CompareVersions(L"1.10", L"1.9"), 1);
    EXPECT_EQ(CUpdaterDlg::CompareVersions(L"1.2b", L"1.0"), -21);
    EXPECT_EQ(CUpdaterDlg::CompareVersions(L"1.0", L"1.2.3.4.5"), -22);
}

TEST(CUpdatePackage, NamesAndAddressesItRefuses)
{
    EXPECT_TRUE(CUpdatePackage::IsAllowedUrl(L"http://x/a.zip"));
    EXPECT_TRUE(CUpdatePackage::IsAllowedUrl(L"HTTPS://x/a.zip"));
    EXPECT_FALSE(CUpdatePackage::IsAllowedUrl(L"file:///C:/a.zip"));
    EXPECT_FALSE(CUpdatePackage::IsAllowedUrl(L"ftp://x/a.zip"));
    EXPECT_EQ(CUpdatePackage::FileNameFromUrl(L"http://x/d/Updater.zip?v=2#top"), CString(L"Updater.zip"));
    EXPECT_EQ(CUpdatePackage::FileNameFromUrl(L"http://x/d/..%5CTamsel.exe"), CString(L"..\\Tamsel.exe"));
    EXPECT_EQ(CUpdatePackage::FileNameFromUrl(L"http://x"), CString(L""));
    EXPECT_TRUE(CUpdatePackage::IsPlainFileName(L"Update.exe"));
    for (LPCWSTR psz : {L"", L"..", L"a\\b.exe", L"a/b", L"C:x.exe", L"CON", L"nul.txt", L"COM1.zip", L"lpt9", L"x.",
                        L"a..b"})
        EXPECT_FALSE(CUpdatePackage::IsPlainFileName(psz)) << Narrow(psz);
    CUpdaterSettings settings;
    settings.strAppDir = L"C:\\nowhere\\";
    settings.strRunningExe = L"Tamsel.exe";
    CUpdatePackage package(settings);
    for (LPCWSTR psz : {L"tamsel.exe", L"Tunekit.dll", L"SWEEPKIT.DLL", L"Settings.ini", L"IgnoreList.dat",
                        L"Language\\English.ini"})
        EXPECT_TRUE(package.IsProtectedName(psz)) << Narrow(psz);
    EXPECT_FALSE(package.IsProtectedName(L"Update.exe"));
    EXPECT_FALSE(package.IsProtectedName(L"Help\\Settings.ini"));
}

TEST_F(UpdaterTest, CheckUpdaterComparesTheLocalUpdaterWithTheAnnouncedOne)
{
    MessageBoxRecorder recorder;
    CUpdaterDlg dlg(NULL);
    Configure(dlg);
    std::string strPack = Pack(L"", L"Updater.zip");
    // No Update.exe, then one without a version: 5.
    m_site.Put("download/update.ini", UpdateIni("2.0.0.0", strPack));
    EXPECT_EQ(dlg.CheckUpdater(m_site.BaseUrl().c_str()), 5u);
    EXPECT_NE(testsupport::ReadFileBytes(m_folder.File(L"update.ini")).find("2.0.0.0"), std::string::npos);
    testsupport::WriteFileBytes(m_folder.File(L"Update.exe"), "MZ no version");
    EXPECT_EQ(dlg.CheckUpdater(m_site.BaseUrl().c_str()), 5u);

    testsupport::WriteFileBytes(m_folder.File(L"Update.exe"), Stub(1));
    EXPECT_EQ(dlg.CheckUpdater(m_site.BaseUrl().c_str()), 0u);
    for (const char* pszVersion : {"1.0.0.0", "1", "0.9.9", "1.2b", "1.0.0.0.1"})
    {
        m_site.Put("download/update.ini", UpdateIni(pszVersion, strPack));
        EXPECT_EQ(dlg.CheckUpdater(m_site.BaseUrl().c_str()), 6u) << pszVersion;
    }
    // An error page or a stale copy never decides.
    m_site.Put("download/update.ini", UpdateIni("1.0", strPack));
    testsupport::WriteFileBytes(m_folder.File(L"update.ini"), UpdateIni("9.0", strPack));
    EXPECT_EQ(dlg.CheckUpdater(m_site.BaseUrl(L"404/").c_str()), 2u);
    EXPECT_EQ(dlg.CheckUpdater(m_site.BaseUrl(L"cut/").c_str()), 2u);
    EXPECT_EQ(dlg.CheckUpdater(L"http://127.0.0.1:9/download/"), 2u);
    EXPECT_EQ(recorder.Count(), 0u);
}

TEST_F(UpdaterTest, ANewerZipReplacesTheUpdaterAndKeepsTheOldOne)
{
    MessageBoxRecorder recorder;
    testsupport::WriteFileBytes(m_folder.File(L"Update.exe"), Stub(1));
    m_site.Put("download/Updater.zip", MakeZip({{L"Update.exe", Stub(2)}, {L"Docs/", ""}, {L"Docs/Read me.txt", "hello"}}));
    DWORD dwCheck = 0;
    EXPECT_EQ(RunUpdater(UpdateIni("2.0.0.0", Pack(L"", L"Updater.zip")), &dwCheck), CUpdatePackage::OUTCOME_DONE);
    EXPECT_EQ(dwCheck, 0u);
    EXPECT_TRUE(CDialogWatch::s_bFinishEnabled);
    EXPECT_EQ(CUpdateChecker::GetFileVersionString(m_folder.File(L"Update.exe").c_str()), CString(L"2.0"));
    EXPECT_TRUE(testsupport::ReadFileBytes(m_folder.File(L"Update.exe.bak")) == Stub(1));
    EXPECT_EQ(testsupport::ReadFileBytes(m_folder.File(L"Docs\\Read me.txt")), "hello");
    EXPECT_FALSE(Exists(L"Docs.bak"));
    EXPECT_EQ(Leftovers(), 0);
    // The new updater runs.
    STARTUPINFOW si = {sizeof(si)};
    PROCESS_INFORMATION pi = {};
    std::wstring strCommand = L"\"" + m_folder.File(L"Update.exe") + L"\"";
    ASSERT_TRUE(::CreateProcessW(NULL, &strCommand[0], NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi));
    ::WaitForSingleObject(pi.hProcess, 20000);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    EXPECT_EQ(testsupport::ReadFileBytes(m_folder.File(L"UpdateStubRan.txt")), "ran 2.0.0.0");
    EXPECT_EQ(recorder.Count(), 0u);
}

TEST_F(UpdaterTest, ABrokenTransferLeavesTheUpdaterAlone)
{
    MessageBoxRecorder recorder;
    std::string strZip = MakeZip({{L"Update.exe", Stub(2) + std::string(300000, 'x')}});
    m_site.Put("download/Updater.zip", strZip);
    for (const wchar_t* pszPrefix : {L"404/", L"cut/", L"chunkcut/"})
    {
        testsupport::WriteFileBytes(m_folder.File(L"Update.exe"), Stub(1));
        EXPECT_EQ(RunUpdater(UpdateIni("2.0.0.0", Pack(pszPrefix, L"Updater.zip"))), CUpdatePackage::OUTCOME_FAILED)
            << Narrow(pszPrefix);
        EXPECT_TRUE(CDialogWatch::s_bFinishEnabled);
        EXPECT_TRUE(testsupport::ReadFileBytes(m_folder.File(L"Update.exe")) == Stub(1)) << Narrow(pszPrefix);
        EXPECT_FALSE(Exists(L"Update.exe.bak"));
        EXPECT_EQ(Leftovers(), 0);
    }
    // Not http(s): nothing is fetched.
    EXPECT_EQ(RunUpdater(UpdateIni("2.0.0.0", "file:///C:/windows/Updater.zip")), CUpdatePackage::OUTCOME_FAILED);
    EXPECT_TRUE(testsupport::ReadFileBytes(m_folder.File(L"Update.exe")) == Stub(1));
}

TEST_F(UpdaterTest, AStalledServerEndsWithinTheTimeOut)
{
    MessageBoxRecorder recorder;
    testsupport::WriteFileBytes(m_folder.File(L"Update.exe"), Stub(1));
    m_site.Put("download/Updater.zip", MakeZip({{L"Update.exe", Stub(2)}}));
    for (const wchar_t* pszPrefix : {L"stall/", L"silent/"})
    {
        DWORD dwStart = ::GetTickCount();
        EXPECT_EQ(RunUpdater(UpdateIni("2.0.0.0", Pack(pszPrefix, L"Updater.zip"))), CUpdatePackage::OUTCOME_FAILED);
        EXPECT_LT(::GetTickCount() - dwStart, 15000u) << Narrow(pszPrefix);
        EXPECT_TRUE(CDialogWatch::s_bFinishEnabled);
        EXPECT_TRUE(testsupport::ReadFileBytes(m_folder.File(L"Update.exe")) == Stub(1));
    }
}

TEST_F(UpdaterTest, UnsafeOrProtectedItemsWriteNothing)
{
    MessageBoxRecorder recorder;
    testsupport::WriteFileBytes(m_folder.File(L"Update.exe"), Stub(1));
    WCHAR szExe[MAX_PATH];
    ::GetModuleFileNameW(NULL, szExe, MAX_PATH);
    std::wstring strExe = szExe;
    strExe = strExe.substr(strExe.rfind(L'\\') + 1);
    // "xx/Update.exe" stored, then renamed "../Update.exe" in the bytes.
    std::string strZip = Rename(MakeZip({{L"xx/Update.exe", Stub(2)}}), "xx/Update.exe", "../Update.exe");
    m_site.Put("download/Updater.zip", strZip);
    EXPECT_EQ(RunUpdater(UpdateIni("2.0.0.0", Pack(L"", L"Updater.zip"))), CUpdatePackage::OUTCOME_FAILED);
    EXPECT_TRUE(testsupport::ReadFileBytes(m_folder.File(L"Update.exe")) == Stub(1));
    std::wstring strParent = m_folder.Path().substr(0, m_folder.Path().size() - 1);
    strParent = strParent.substr(0, strParent.rfind(L'\\') + 1);
    EXPECT_EQ(::GetFileAttributesW((strParent + L"Update.exe").c_str()), INVALID_FILE_ATTRIBUTES);

    m_site.Put("download/Updater.zip",
               MakeZip({{strExe, "not me"}, {L"Settings.ini", "[x]"}, {L"Tunekit.dll", "no"}}));
    EXPECT_EQ(RunUpdater(UpdateIni("2.0.0.0", Pack(L"", L"Updater.zip"))), CUpdatePackage::OUTCOME_FAILED);
    EXPECT_FALSE(Exists(strExe));
    EXPECT_FALSE(Exists(L"Settings.ini"));
    EXPECT_FALSE(Exists(L"Tunekit.dll"));
    // A package named like one of our files is not even fetched.
    m_site.Put("download/Settings.ini", "[General Settings]");
    EXPECT_EQ(RunUpdater(UpdateIni("2.0.0.0", Pack(L"", L"Settings.ini"))), CUpdatePackage::OUTCOME_FAILED);
    EXPECT_FALSE(Exists(L"Settings.ini"));
    EXPECT_EQ(Leftovers(), 0);
}

TEST_F(UpdaterTest, APlainUpdaterMustCarryAVersionNotOlderThanAnnounced)
{
    MessageBoxRecorder recorder;
    testsupport::WriteFileBytes(m_folder.File(L"Update.exe"), Stub(1));
    m_site.Put("download/Update.exe", Stub(1));
    EXPECT_EQ(RunUpdater(UpdateIni("2.0.0.0", Pack(L"", L"Update.exe"))), CUpdatePackage::OUTCOME_FAILED);
    m_site.Put("download/Update.exe", "MZ but no version");
    EXPECT_EQ(RunUpdater(UpdateIni("2.0.0.0", Pack(L"", L"Update.exe"))), CUpdatePackage::OUTCOME_FAILED);
    EXPECT_TRUE(testsupport::ReadFileBytes(m_folder.File(L"Update.exe")) == Stub(1));
    m_site.Put("download/Update.exe", Stub(2));
    EXPECT_EQ(RunUpdater(UpdateIni("2.0.0.0", Pack(L"", L"Update.exe"))), CUpdatePackage::OUTCOME_DONE);
    EXPECT_TRUE(testsupport::ReadFileBytes(m_folder.File(L"Update.exe")) == Stub(2));
    EXPECT_EQ(Leftovers(), 0);
}

TEST_F(UpdaterTest, NoPackageClosesTheDialogEvenWhenTheWorkerEndedFirst)
{
    MessageBoxRecorder recorder;
    testsupport::WriteFileBytes(m_folder.File(L"Update.exe"), Stub(1));
    m_site.Put("download/update.ini", UpdateIni("2.0.0.0", ""));
    CUpdaterDlg dlg(NULL);
    Configure(dlg);
    ASSERT_EQ(dlg.CheckUpdater(m_site.BaseUrl().c_str()), 0u);
    ASSERT_TRUE(dlg.StartUpdate());
    ASSERT_TRUE(testsupport::WaitFor([&] { return dlg.IsWorkerDone() != FALSE; }, 10000));
    CDialogWatch watch;
    DWORD dwStart = ::GetTickCount();
    EXPECT_EQ(dlg.DoModal(), IDCANCEL);
    EXPECT_FALSE(CDialogWatch::s_bFinishEnabled);
    EXPECT_LT(::GetTickCount() - dwStart, 5000u);

    // A finished download before the window: Finish is there to press.
    m_site.Put("download/Updater.zip", MakeZip({{L"Update.exe", Stub(2)}}));
    m_site.Put("download/update.ini", UpdateIni("2.0.0.0", Pack(L"", L"Updater.zip")));
    CUpdaterDlg second(NULL);
    Configure(second);
    ASSERT_EQ(second.CheckUpdater(m_site.BaseUrl().c_str()), 0u);
    ASSERT_TRUE(second.StartUpdate());
    ASSERT_TRUE(testsupport::WaitFor([&] { return second.IsWorkerDone() != FALSE; }, 10000));
    CDialogWatch watch2;
    second.DoModal();
    EXPECT_TRUE(CDialogWatch::s_bFinishEnabled);
    EXPECT_EQ(second.GetOutcome(), CUpdatePackage::OUTCOME_DONE);
}

TEST(CUpdaterDlg, ReplaceExecutableUndoesItsFirstMoveWhenTheSecondFails)
{
    testsupport::ScratchFolder folder;
    testsupport::WriteFileBytes(folder.File(L"Tamsel.exe"), "old");
    EXPECT_FALSE(CUpdaterDlg::ReplaceExecutable(folder.File(L"Tamsel.exe").c_str(), folder.File(L"missing.exe").c_str(),
                                                FALSE));
    EXPECT_EQ(testsupport::ReadFileBytes(folder.File(L"Tamsel.exe")), "old");
    testsupport::WriteFileBytes(folder.File(L"new.exe"), "new");
    EXPECT_TRUE(CUpdaterDlg::ReplaceExecutable(folder.File(L"Tamsel.exe").c_str(), folder.File(L"new.exe").c_str(), FALSE));
    EXPECT_EQ(testsupport::ReadFileBytes(folder.File(L"Tamsel.exe")), "new");
    EXPECT_EQ(testsupport::ReadFileBytes(folder.File(L"OldExecutable.bak")), "old");
}

TEST_F(MainWindowTest, CheckUpdateBringsTheUpdaterUpToDateOnlyOnce)
{
    CLocalUpdateSite site;
    ASSERT_TRUE(site.IsStarted());
    ASSERT_TRUE(site.WaitUntilListening());
    ::WritePrivateProfileStringW(L"General Settings", L"UpdateSite", site.BaseUrl().c_str(),
                                 m_folder.File(L"Settings.ini").c_str());
    testsupport::WriteFileBytes(m_folder.File(L"Update.exe"), Stub(1));
    site.Put("download/Updater.zip", MakeZip({{L"Update.exe", Stub(2)}}));
    site.Put("download/update.ini", UpdateIni("2.0.0.0", Narrow(site.BaseUrl() + L"Updater.zip"), "1.0"));
    CreateMainWindow();
    CGeneralSettingsPage::ResetUpdaterStep();
    MessageBoxRecorder recorder;
    {
        CDialogWatch watch;
        SendCommand(IDC_UPDATE_BUTTON);
        EXPECT_TRUE(CDialogWatch::s_bSeen);
    }
    EXPECT_TRUE(testsupport::ReadFileBytes(m_folder.File(L"Update.exe")) == Stub(2));
    // The version check answers from its worker.
    ASSERT_TRUE(testsupport::WaitFor([&] { return recorder.Count() == 1u; }, 15000));
    EXPECT_EQ(recorder.LastText(), std::wstring(TestApp()->GetLangString(L"M_UPDATE_NOUPDATE")));
    // The second time goes straight to the version check.
    site.Put("download/update.ini", UpdateIni("3.0.0.0", Narrow(site.BaseUrl() + L"Updater.zip"), "1.0"));
    {
        CDialogWatch watch;
        SendCommand(IDC_UPDATE_BUTTON);
        EXPECT_FALSE(CDialogWatch::s_bSeen);
    }
    EXPECT_TRUE(testsupport::ReadFileBytes(m_folder.File(L"Update.exe")) == Stub(2));
    EXPECT_TRUE(testsupport::WaitFor([&] { return recorder.Count() == 2u; }, 15000));
}
