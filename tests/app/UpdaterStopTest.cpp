// A stop of the updater's job (its dialog going away): before or during the
// download the program folder keeps its files and no temporary copy stays;
// between two items of the unpack, what was written goes back. Without a
// stop the package is in place.
#include "app/UpdaterDlg.h"
#include "app/VersionCheckRequest.h"
#include "framework/WinThread.h"
#include "services/ZipWriter.h"
#include "tests/app/AppTestSupport.h"
#include "tests/app/HeldUpdateSite.h"

#include <memory>
#include <utility>
#include <vector>

namespace {

const std::string kOldUpdater = "the updater the user has";
// Far beyond any wait of the tests: only a stop can end a held download.
const DWORD kLongTimeoutMs = 600000;

typedef std::vector<std::pair<std::wstring, std::string>> ZipItems;

// Bytes deflate cannot shrink, so the package is as long as its content.
std::string Noise(size_t nSize, unsigned nSeed)
{
    std::string bytes(nSize, '\0');
    for (char& ch : bytes)
    {
        nSeed = nSeed * 1103515245u + 12345u;
        ch = (char)(nSeed >> 16);
    }
    return bytes;
}

bool MakeZip(const std::wstring& strFile, const ZipItems& items)
{
    ZipHandle hZip = CreateZipArchive(strFile.c_str(), 0, ZipKindFile);
    if (hZip == NULL)
        return false;
    bool bOk = true;
    for (const auto& item : items)
        bOk = bOk && AddToZipArchive(hZip, item.first.c_str(), item.second.data(), (DWORD)item.second.size(),
                                     ZipKindMemory) == ZipOk;
    return CloseZipWriter(hZip) == ZipOk && bOk;
}

bool Exists(const std::wstring& strFile)
{
    return ::GetFileAttributesW(strFile.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The download's temporary files in a folder.
int TempFiles(const std::wstring& strFolder)
{
    int nCount = 0;
    WIN32_FIND_DATAW fd;
    HANDLE hFind = ::FindFirstFileW((strFolder + L"upd*.tmp").c_str(), &fd);
    if (hFind == INVALID_HANDLE_VALUE)
        return 0;
    do
        ++nCount;
    while (::FindNextFileW(hFind, &fd));
    ::FindClose(hFind);
    return nCount;
}

CUpdaterSettings SettingsFor(const std::wstring& strAppDir)
{
    CUpdaterSettings settings;
    settings.strAppDir = strAppDir.c_str();
    settings.strRunningExe = L"Tamsel.exe";
    settings.strAgent = L"Updater test";
    settings.dwConnectTimeout = kLongTimeoutMs;
    settings.dwReceiveTimeout = kLongTimeoutMs;
    return settings;
}

class UpdaterStopTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (!m_site.IsStarted())
            TAMSEL_PEER_MISSING("python3 could not start the test server");
        m_strNewUpdater = Noise(1 << 20, 7);
        std::wstring strZip = m_folder.File(L"pack.zip");
        ASSERT_TRUE(MakeZip(strZip, {{L"Update.exe", m_strNewUpdater}}));
        std::string strPackage = testsupport::ReadFileBytes(strZip);
        ::DeleteFileW(strZip.c_str());
        ASSERT_GT(strPackage.size(), (size_t)2 * HELD_SITE_PART_BYTES);
        ASSERT_TRUE(m_site.Put("Updater.zip", strPackage));
        ASSERT_TRUE(testsupport::WriteFileBytes(m_folder.File(L"Update.exe"), kOldUpdater));
        m_nStatesBefore = CVersionCheckRequest::GetLiveStateCount();
        m_hStop = ::CreateEventW(NULL, TRUE, FALSE, NULL);
        ASSERT_TRUE(m_hStop != NULL);
    }
    void TearDown() override
    {
        if (m_hStop != NULL)
            ::CloseHandle(m_hStop);
    }
    // update.ini in the program folder, naming the package at the site's path.
    void Offer(const std::wstring& strPath)
    {
        std::wstring strUrl = m_site.Url(strPath);
        std::string strIni = "[Program]\r\nVersion=1.0\r\n[Updater]\r\nVersion=2.0\r\nPack=" +
                             std::string(strUrl.begin(), strUrl.end()) + "\r\n";
        ASSERT_TRUE(testsupport::WriteFileBytes(m_folder.File(L"update.ini"), strIni));
    }
    // What the user had is there as it was, and no copy of the download.
    void ExpectFolderAsItWas()
    {
        EXPECT_EQ(testsupport::ReadFileBytes(m_folder.File(L"Update.exe")), kOldUpdater);
        EXPECT_FALSE(Exists(m_folder.File(L"Update.exe.bak")));
        EXPECT_EQ(TempFiles(m_folder.Path()), 0);
    }
    // Once the site is let go, WinInet lets go of what the cut read held.
    void ExpectConnectionLetGo(const std::string& strPath) { ExpectSiteLetGo(m_site, strPath, m_nStatesBefore); }

    CHeldUpdateSite m_site;
    testsupport::ScratchFolder m_folder;
    std::string m_strNewUpdater;
    long m_nStatesBefore = 0;
    HANDLE m_hStop = NULL;
};

struct CRunJob
{
    explicit CRunJob(const CUpdaterSettings& settings) : package(settings) {}
    CUpdatePackage package;
    int nOutcome = -100;
};

UINT __cdecl RunThreadProc(LPVOID pParam)
{
    CRunJob* pJob = static_cast<CRunJob*>(pParam);
    pJob->nOutcome = pJob->package.Run();
    return 0;
}

TEST_F(UpdaterStopTest, AStopBeforeTheDownloadAsksForNothing)
{
    Offer(L"file/Updater.zip");
    CUpdatePackage package(SettingsFor(m_folder.Path()));
    package.m_hStop = m_hStop;
    ::SetEvent(m_hStop);
    EXPECT_EQ(package.Run(), CUpdatePackage::OUTCOME_FAILED);
    EXPECT_FALSE(m_site.Saw("asked /file/Updater.zip")) << m_site.Log();
    ExpectFolderAsItWas();
}

TEST_F(UpdaterStopTest, AStopDuringTheDownloadEndsItAndRemovesThePartialCopy)
{
    Offer(L"part/Updater.zip");
    std::unique_ptr<CRunJob> pJob(new CRunJob(SettingsFor(m_folder.Path())));
    pJob->package.m_hStop = m_hStop;
    HANDLE hThread = AfxBeginWorker(RunThreadProc, pJob.get());
    ASSERT_TRUE(hThread != NULL);
    ASSERT_TRUE(testsupport::WaitFor([&] { return m_site.Saw("sent-part /part/Updater.zip"); }, 60000)) << m_site.Log();
    ::SetEvent(m_hStop);
    // The site still holds the rest and the time-out is far off: the stop ended it.
    DWORD dwWait = ::WaitForSingleObject(hThread, 60000);
    ::CloseHandle(hThread);
    if (dwWait != WAIT_OBJECT_0)
    {
        pJob.release();  // still in use by the worker
        FAIL() << "the download did not end at the stop";
    }
    EXPECT_EQ(pJob->nOutcome, CUpdatePackage::OUTCOME_FAILED);
    // Not a block more than came before the stop.
    EXPECT_LE(pJob->package.m_dwBytes, (DWORD)HELD_SITE_PART_BYTES);
    ExpectFolderAsItWas();
    ExpectConnectionLetGo("/part/Updater.zip");
    ExpectFolderAsItWas();
}

TEST_F(UpdaterStopTest, TheDialogsEndStopsItsWorkerDuringTheDownload)
{
    Offer(L"part/Updater.zip");
    std::unique_ptr<CUpdaterDlg> pDlg(new CUpdaterDlg(NULL));
    pDlg->m_settings = SettingsFor(m_folder.Path());
    ASSERT_TRUE(pDlg->StartUpdate());
    ASSERT_TRUE(testsupport::WaitFor([&] { return m_site.Saw("sent-part /part/Updater.zip"); }, 60000)) << m_site.Log();
    EXPECT_FALSE(pDlg->IsWorkerDone());
    pDlg.reset();
    EXPECT_FALSE(m_site.Saw("answered /part/Updater.zip"));
    ExpectFolderAsItWas();
    ExpectConnectionLetGo("/part/Updater.zip");
}

TEST_F(UpdaterStopTest, WithoutAStopThePackageIsInPlace)
{
    Offer(L"file/Updater.zip");
    CUpdatePackage package(SettingsFor(m_folder.Path()));
    package.m_hStop = m_hStop;
    EXPECT_EQ(package.Run(), CUpdatePackage::OUTCOME_DONE);
    EXPECT_TRUE(testsupport::ReadFileBytes(m_folder.File(L"Update.exe")) == m_strNewUpdater);
    EXPECT_EQ(testsupport::ReadFileBytes(m_folder.File(L"Update.exe.bak")), kOldUpdater);
    EXPECT_EQ(TempFiles(m_folder.Path()), 0);
}

// The stop as the unpack sees it: set once the first n items are done.
class CStopAfterItems : public CUpdatePackage
{
public:
    CStopAfterItems(const CUpdaterSettings& settings, int nItems) : CUpdatePackage(settings), m_nItems(nItems) {}
    BOOL IsStopped() const override { return ++m_nAsked > m_nItems; }

private:
    int m_nItems;
    mutable int m_nAsked = 0;
};

TEST(CUpdatePackage, AStopBetweenItemsPutsBackWhatTheUnpackWrote)
{
    testsupport::ScratchFolder folder;
    std::wstring strZip = folder.File(L"pack.zip");
    ASSERT_TRUE(MakeZip(strZip, {{L"Update.exe", "new updater"}, {L"Helper.dll", "new helper"},
                                 {L"Readme.txt", "new notes"}}));
    ASSERT_TRUE(testsupport::WriteFileBytes(folder.File(L"Update.exe"), kOldUpdater));
    CUpdaterSettings settings = SettingsFor(folder.Path());

    // Stopped before the first item: nothing is written.
    CStopAfterItems before(settings, 0);
    EXPECT_EQ(before.UnpackZip(strZip.c_str()), 0);
    EXPECT_FALSE(Exists(folder.File(L"Update.exe.bak")));
    EXPECT_FALSE(Exists(folder.File(L"Helper.dll")));
    // Stopped after the first: it goes back, the others never come.
    CStopAfterItems after(settings, 1);
    EXPECT_EQ(after.UnpackZip(strZip.c_str()), 0);
    EXPECT_EQ(after.m_nWritten, 0);
    EXPECT_EQ(testsupport::ReadFileBytes(folder.File(L"Update.exe")), kOldUpdater);
    EXPECT_FALSE(Exists(folder.File(L"Update.exe.bak")));
    EXPECT_FALSE(Exists(folder.File(L"Helper.dll")));
    EXPECT_FALSE(Exists(folder.File(L"Readme.txt")));

    // Never stopped: all three, the replaced file kept beside itself.
    CStopAfterItems never(settings, 1000);
    EXPECT_EQ(never.UnpackZip(strZip.c_str()), 3);
    EXPECT_EQ(testsupport::ReadFileBytes(folder.File(L"Update.exe")), "new updater");
    EXPECT_EQ(testsupport::ReadFileBytes(folder.File(L"Update.exe.bak")), kOldUpdater);
    EXPECT_EQ(testsupport::ReadFileBytes(folder.File(L"Readme.txt")), "new notes");
}

} // namespace
