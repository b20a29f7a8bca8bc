// A stop of FIX & Continue at each step: before the backup, while the archive
// is written or read back, between the backup and the deletes, and during
// the deletes. No half archive is left under a backup's name, the earlier
// backup stays byte for byte, nothing is deleted before a whole backup, and
// the deletes end after the record at hand. Closing the main window under
// the repair dialog is such a stop.
#include "tests/repair/RepairTestSupport.h"
#include "tests/services_registry/RegTestUtil.h"
#include "app/TamselDlg.h"
#include "repair/AutoBackup.h"
#include "repair/RepairDlg.h"
#include "services/ZipReader.h"
#include "services/ZipWriter.h"

#include <shlwapi.h>

#include <algorithm>

using namespace repairtest;
using regtest::CreateKey;
using regtest::KeyExists;
using regtest::SetText;

namespace {

const wchar_t kBase[] = L"AppEvents\\Schemes\\Apps\\TamselRepairStopTest";
const wchar_t kHkcu[] = L"HKEY_CURRENT_USER";
const int kRecords = 6;
const wchar_t kEarlierName[] = L"AutoBackup20200101000000.zip";
const char kEarlierBytes[] = "an earlier backup, kept byte for byte";

std::wstring RecordKey(int n)
{
    wchar_t szName[16];
    wsprintfW(szName, L"\\Key%d", n);
    return kBase + std::wstring(szName);
}

// A key with a subtree and values for each record, a survivor beside them.
void PlantKeys()
{
    for (int n = 0; n < kRecords; n++)
    {
        HKEY hKey = CreateKey(HKEY_CURRENT_USER, RecordKey(n) + L"\\Sub\\Deeper");
        ASSERT_NE(hKey, (HKEY)NULL);
        EXPECT_TRUE(SetText(hKey, L"deep", L"d"));
        RegCloseKey(hKey);
        hKey = CreateKey(HKEY_CURRENT_USER, RecordKey(n));
        EXPECT_TRUE(SetText(hKey, L"", L"record"));
        RegCloseKey(hKey);
    }
    HKEY hOther = CreateKey(HKEY_CURRENT_USER, std::wstring(kBase) + L"\\Other");
    EXPECT_TRUE(SetText(hOther, L"Keep", L"stays"));
    RegCloseKey(hOther);
}

bool RecordIntact(int n)
{
    regtest::RawValue value;
    return regtest::GetRaw(HKEY_CURRENT_USER, RecordKey(n) + L"\\Sub\\Deeper", L"deep", value) &&
           regtest::GetRaw(HKEY_CURRENT_USER, RecordKey(n), L"", value);
}

int RecordsIntact()
{
    int nIntact = 0;
    for (int n = 0; n < kRecords; n++)
        nIntact += RecordIntact(n) ? 1 : 0;
    return nIntact;
}

// The hooks stop through this flag, and look at the folder first.
std::atomic<bool>* g_pbStop = NULL;
std::wstring g_strFolder;
std::vector<std::wstring> g_filesSeen;

ZipResult StopAtClose(ZipHandle hZip)
{
    g_filesSeen = FolderFiles(g_strFolder);
    if (g_pbStop != NULL)
        *g_pbStop = true;
    return CloseZipWriter(hZip);
}

void StopAtReadBack(const CString&)
{
    g_filesSeen = FolderFiles(g_strFolder);
    if (g_pbStop != NULL)
        *g_pbStop = true;
}

// A log that sets the job's stop at its first line starting with pszLine.
class StoppingLog : public RecordingLog
{
public:
    StoppingLog(std::atomic<bool>& bStop, const wchar_t* pszLine) : m_bStop(bStop), m_strLine(pszLine) {}
    void AddLine(const CString& strLog, const CString& strStatus) override
    {
        RecordingLog::AddLine(strLog, strStatus);
        if (strLog.Str().compare(0, m_strLine.size(), m_strLine) == 0)
            m_bStop = true;
    }
    using RecordingLog::AddLine;

private:
    std::atomic<bool>& m_bStop;
    std::wstring m_strLine;
};

class RepairStopTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetApp(m_folder.Path());
        SHDeleteKeyW(HKEY_CURRENT_USER, kBase);
        m_pApp = App();
        m_strLangFile = m_pApp->m_strLangFile;
        m_pApp->m_strLangFile = EnglishIniPath().c_str();
        PlantKeys();
        for (int n = 0; n < kRecords; n++)
            RepairListOf(m_pApp, 15).Add(KeyProblem(kHkcu, RecordKey(n).c_str()));
        CreateDirectoryW(Folder().c_str(), NULL);
        testsupport::WriteFileBytes(Folder() + L"\\" + kEarlierName, kEarlierBytes);
        g_strFolder = Folder();
        g_filesSeen.clear();
    }
    void TearDown() override
    {
        SetAutoBackupHooks(NULL, NULL);
        g_pbStop = NULL;
        m_pApp->m_strLangFile = m_strLangFile;
        SHDeleteKeyW(HKEY_CURRENT_USER, kBase);
        WritePrivateProfileStringW(NULL, NULL, NULL, m_pApp->m_strSettingsFile);
    }

    std::wstring Folder() const { return m_folder.File(L"AutoBackup"); }

    void Run(RepairJob& job, CRepairLog& log)
    {
        job.pApp = m_pApp;
        job.pLog = &log;
        job.hWndNotify = NULL;
        job.bRepaired = FALSE;
        g_pbStop = &job.bStop;
        RepairThreadProc(&job);
    }

    // Only the earlier backup, as it was.
    void ExpectOnlyTheEarlierBackup()
    {
        std::vector<std::wstring> expected = { kEarlierName };
        EXPECT_EQ(FolderFiles(Folder()), expected);
        EXPECT_EQ(testsupport::ReadFileBytes(Folder() + L"\\" + kEarlierName), kEarlierBytes);
    }

    // The new archive beside the earlier one; its path, empty when none.
    std::wstring NewArchive()
    {
        for (const std::wstring& strName : FolderFiles(Folder()))
        {
            if (strName != kEarlierName)
                return Folder() + L"\\" + strName;
        }
        return std::wstring();
    }

    testsupport::ScratchFolder m_folder;
    CTamselApp* m_pApp = NULL;
    CString m_strLangFile;
};

} // namespace

TEST_F(RepairStopTest, AStopBeforeTheBackupWritesNothingAndDeletesNothing)
{
    RecordingLog log;
    RepairJob job;
    job.bStop = true;
    Run(job, log);
    EXPECT_FALSE(job.bRepaired);
    std::vector<std::wstring> expected = { L"Creating backup...", std::wstring(L"Backup failed: ") + AUTOBACKUP_STOPPED +
                                                                      L". Nothing was repaired." };
    EXPECT_EQ(log.m_log, expected);
    EXPECT_EQ(RecordsIntact(), kRecords);
    ExpectOnlyTheEarlierBackup();
}

// Stopped when the archive is complete but not yet read back, or while it
// is read back: it is no backup, and is not left as one.
TEST_F(RepairStopTest, AStopWhileTheArchiveIsWrittenOrCheckedLeavesNoArchive)
{
    struct Case
    {
        const char* pszName;
        AUTOBACKUP_CLOSE_HOOK pfnClose;
        AUTOBACKUP_CLOSED_HOOK pfnClosed;
    };
    const Case cases[] = { { "at the close", StopAtClose, NULL }, { "at the read-back", NULL, StopAtReadBack } };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        SetAutoBackupHooks(c.pfnClose, c.pfnClosed);
        RecordingLog log;
        RepairJob job;
        Run(job, log);
        EXPECT_FALSE(job.bRepaired);
        ASSERT_EQ(log.m_log.size(), 2u);
        EXPECT_NE(log.m_log[1].find(AUTOBACKUP_STOPPED), std::wstring::npos) << log.m_log[1];
        EXPECT_EQ(RecordsIntact(), kRecords);
        ExpectOnlyTheEarlierBackup();
        // While it was being made, no file of it had a backup's name.
        ASSERT_FALSE(g_filesSeen.empty());
        for (const std::wstring& strName : g_filesSeen)
        {
            if (strName != kEarlierName)
            {
                EXPECT_EQ(strName.substr(strName.size() - 8), L".partial") << strName;
            }
        }
        EXPECT_TRUE(m_pApp->m_strLastScanTime.IsEmpty());
    }
}

// A stop right after the backup: the archive stays, whole, and nothing is deleted.
TEST_F(RepairStopTest, AStopAfterTheBackupKeepsItWholeAndDeletesNothing)
{
    RepairJob job;
    StoppingLog log(job.bStop, L"Finished backup.");
    Run(job, log);
    EXPECT_TRUE(job.bRepaired);
    EXPECT_EQ(log.m_log.back(), L"Clear stopped.");
    EXPECT_EQ(RecordsIntact(), kRecords);
    std::wstring strArchive = NewArchive();
    ASSERT_FALSE(strArchive.empty());
    EXPECT_EQ(strArchive, job.backup.m_strArchive.Str());
    EXPECT_EQ(strArchive.substr(strArchive.size() - 4), L".zip");
    EXPECT_EQ(ArchiveNames(strArchive.c_str()).size(), 1u);
    for (int n = 0; n < kRecords; n++)
        EXPECT_TRUE(job.backup.IsKeyCovered((std::wstring(kHkcu) + L"\\" + RecordKey(n)).c_str()));
    for (int n : job.nCleaned)
        EXPECT_EQ(n, 0);
    EXPECT_EQ(testsupport::ReadFileBytes(Folder() + L"\\" + kEarlierName), kEarlierBytes);
}

// A stop while the first record is deleted: that record goes whole (its
// subtree with it), every later one stays untouched, and the backup of all
// of them stays.
TEST_F(RepairStopTest, AStopDuringTheDeletesEndsAfterTheRecordAtHand)
{
    RepairJob job;
    StoppingLog log(job.bStop, L"Fixed Success: ");
    Run(job, log);
    EXPECT_TRUE(job.bRepaired);
    EXPECT_EQ(log.m_log.back(), L"Clear stopped.");
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, RecordKey(0)));
    for (int n = 1; n < kRecords; n++)
        EXPECT_TRUE(RecordIntact(n)) << n;
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, std::wstring(kBase) + L"\\Other"));
    EXPECT_EQ(job.nCleaned[14], 1);
    std::wstring strArchive = NewArchive();
    ASSERT_FALSE(strArchive.empty());
    EXPECT_EQ(ArchiveNames(strArchive.c_str()).size(), 1u);
    EXPECT_EQ(testsupport::ReadFileBytes(Folder() + L"\\" + kEarlierName), kEarlierBytes);
}

// Without a stop every record goes, and the archive keeps its own name.
TEST_F(RepairStopTest, WithoutAStopEveryRecordGoes)
{
    RecordingLog log;
    RepairJob job;
    Run(job, log);
    EXPECT_TRUE(job.bRepaired);
    EXPECT_EQ(log.m_log.back(), L"Finished clear.");
    EXPECT_EQ(RecordsIntact(), 0);
    for (int n = 0; n < kRecords; n++)
        EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, RecordKey(n))) << n;
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, std::wstring(kBase) + L"\\Other"));
    EXPECT_EQ(job.nCleaned[14], kRecords);
    EXPECT_EQ(FolderFiles(Folder()).size(), 2u);
    EXPECT_EQ(NewArchive(), job.backup.m_strArchive.Str());
    EXPECT_EQ(ArchiveNames(NewArchive().c_str()).size(), 1u);
}

// Part files a killed backup left go with the next backup; nothing else of
// the folder does.
TEST_F(RepairStopTest, AutoBackupWriteClearsTheLeftoverPartsOfAKilledRun)
{
    const std::wstring strFolder = Folder() + L"\\";
    const wchar_t* pszLeftovers[] = { L"AutoBackup20210101000000.zip.partial", L"AutoBackup20210101000000.reg.partial",
                                      L"AutoBackup20210101000000_32.reg.partial" };
    for (const wchar_t* pszName : pszLeftovers)
        ASSERT_TRUE(testsupport::WriteFileBytes(strFolder + pszName, "half"));
    ASSERT_TRUE(testsupport::WriteFileBytes(strFolder + L"Notes.partial", "the user's"));
    ASSERT_TRUE(testsupport::WriteFileBytes(strFolder + L"AutoBackup20210101000000.reg", "the user's"));
    ASSERT_TRUE(CreateDirectoryW((strFolder + L"AutoBackupFolder.partial").c_str(), NULL));

    CAutoBackup backup;
    ASSERT_TRUE(backup.Write(m_pApp)) << backup.m_strError.Str();
    std::vector<std::wstring> files = FolderFiles(Folder());
    std::vector<std::wstring> expected = { kEarlierName, L"AutoBackup20210101000000.reg",
                                           (LPCWSTR)backup.m_strArchive.Mid(backup.m_strArchive.ReverseFind(L'\\') + 1),
                                           L"AutoBackupFolder.partial", L"Notes.partial" };
    std::sort(files.begin(), files.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(files, expected);
    EXPECT_EQ(testsupport::ReadFileBytes(strFolder + L"Notes.partial"), "the user's");
    RemoveDirectoryW((strFolder + L"AutoBackupFolder.partial").c_str());
}

namespace {

// Closes the main window from the worker's backup step, waits until the
// dialog has told its worker to stop, then lets the archive close.
CTamselDlg* g_pMain = NULL;
CRepairDlg* g_pRepairDlg = NULL;
bool g_bSawStop = false;

ZipResult CloseMainDuringBackup(ZipHandle hZip)
{
    if (g_pMain != NULL && g_pRepairDlg != NULL)
    {
        PostMessageW(g_pMain->m_hWnd, WM_CLOSE, 0, 0);
        for (int i = 0; i < 1000 && !g_pRepairDlg->IsStopping(); i++)
            Sleep(20);
        g_bSawStop = g_pRepairDlg->IsStopping() != FALSE;
    }
    return CloseZipWriter(hZip);
}

class RepairStopWindowTest : public RepairWindowTest
{
protected:
    void TearDown() override
    {
        SetAutoBackupHooks(NULL, NULL);
        g_pMain = NULL;
        g_pRepairDlg = NULL;
        SHDeleteKeyW(HKEY_CURRENT_USER, kBase);
        RepairWindowTest::TearDown();
    }
};

} // namespace

// The program closed under the repair dialog while it writes the backup:
// the close goes through, the worker stops, the half backup goes, nothing
// is deleted and no statistics are written.
TEST_F(RepairStopWindowTest, ClosingTheMainWindowDuringTheBackupStopsTheRepair)
{
    SHDeleteKeyW(HKEY_CURRENT_USER, kBase);
    PlantKeys();
    for (int n = 0; n < kRecords; n++)
        RepairListOf(m_pApp, 15).Add(KeyProblem(kHkcu, RecordKey(n).c_str()));
    CRepairDlg dlg(m_pDlg);
    dlg.m_pOwner = m_pDlg;
    dlg.m_bStart = 1;
    g_pMain = m_pDlg;
    g_pRepairDlg = &dlg;
    g_bSawStop = false;
    SetAutoBackupHooks(CloseMainDuringBackup, NULL);
    dlg.DoModal();
    g_pRepairDlg = NULL;
    EXPECT_TRUE(g_bSawStop);
    EXPECT_FALSE(dlg.m_bRepaired);
    EXPECT_EQ(RecordsIntact(), kRecords);
    EXPECT_TRUE(FolderFiles(m_folder.File(L"AutoBackup")).empty());
    EXPECT_TRUE(m_pApp->m_strLastScanTime.IsEmpty());
    MSG msg;
    EXPECT_TRUE(PeekMessageW(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE)) << "the close did not end the program";
}
