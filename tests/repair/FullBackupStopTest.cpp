// A stopped full backup or restore: each step ends at its next poll, leaves
// nothing of its own behind, and never touches an earlier backup or writes
// the registry from a check.
#include "tests/repair/BackupTestSupport.h"
#include "tests/repair/FullBackupTestSupport.h"
#include "tests/services_registry/RegTestUtil.h"
#include "repair/BackupStamp.h"

#include <algorithm>
#include <atomic>
#include <shlwapi.h>

using namespace backuptest;

namespace {

bool HasStep(const std::vector<int>& steps, int nStatus)
{
    return std::find(steps.begin(), steps.end(), nStatus) != steps.end();
}

// The stamp of the local time nSeconds from now.
CString StampIn(int nSeconds)
{
    FILETIME ft;
    ::GetSystemTimeAsFileTime(&ft);
    ULARGE_INTEGER li = {{ft.dwLowDateTime, ft.dwHighDateTime}};
    li.QuadPart += (ULONGLONG)nSeconds * 10000000ull;
    ft.dwLowDateTime = li.LowPart;
    ft.dwHighDateTime = li.HighPart;
    FILETIME ftLocal;
    SYSTEMTIME st;
    ::FileTimeToLocalFileTime(&ft, &ftLocal);
    ::FileTimeToSystemTime(&ftLocal, &st);
    return FormatBackupStamp(st);
}

class FullBackupStopTest : public FullBackupTest
{
protected:
    // A finished backup made before the stopped one, with its bytes.
    void MakeEarlierBackup()
    {
        CScratchFullBackupJob earlier(m_strKeyText);
        ASSERT_TRUE(earlier.Backup(m_strFolder.c_str()));
        m_strEarlier = earlier.m_strArchive.GetString();
        m_earlierBytes = testsupport::ReadFileBytes(m_strEarlier);
        ASSERT_FALSE(m_earlierBytes.empty());
    }
    // The earlier backup is the folder's only file, byte for byte.
    void ExpectOnlyTheEarlierBackup()
    {
        EXPECT_EQ(std::vector<std::wstring>{m_strEarlier.substr(m_strEarlier.rfind(L'\\') + 1)},
                  FolderEntries(m_strFolder));
        EXPECT_EQ(m_earlierBytes, testsupport::ReadFileBytes(m_strEarlier));
    }

    std::wstring m_strEarlier;
    std::string m_earlierBytes;
    std::atomic<bool> m_bStop{false};
};

} // namespace

TEST_F(FullBackupStopTest, StopDuringTheExportLeavesNothingAndKeepsTheEarlierBackup)
{
    MakeEarlierBackup();
    CScratchFullBackupJob job(m_strKeyText);
    job.SetStopFlag(&m_bStop);
    std::vector<int> steps;
    job.m_fnStatus = [&](int nStatus) { steps.push_back(nStatus); };
    job.m_fnDuringExport = [&] { m_bStop = true; };
    EXPECT_FALSE(job.Backup(m_strFolder.c_str()));
    EXPECT_TRUE(job.m_bStopped);
    EXPECT_FALSE(job.m_failure.IsSet());
    EXPECT_FALSE(HasStep(steps, CFullBackupJob::StatusExportFinished));
    EXPECT_FALSE(HasStep(steps, CFullBackupJob::StatusZip));
    EXPECT_FALSE(job.m_strRegFile.IsEmpty());
    EXPECT_NE(m_strEarlier, job.m_strArchive.GetString());
    ExpectOnlyTheEarlierBackup();
}

TEST_F(FullBackupStopTest, StopWhenPackingLeavesNeitherFile)
{
    MakeEarlierBackup();
    CScratchFullBackupJob job(m_strKeyText);
    job.SetStopFlag(&m_bStop);
    std::vector<int> steps;
    job.m_fnStatus = [&](int nStatus) {
        steps.push_back(nStatus);
        if (nStatus == CFullBackupJob::StatusZip)
            m_bStop = true;
    };
    EXPECT_FALSE(job.Backup(m_strFolder.c_str()));
    EXPECT_TRUE(job.m_bStopped);
    EXPECT_TRUE(HasStep(steps, CFullBackupJob::StatusExportFinished));
    EXPECT_FALSE(HasStep(steps, CFullBackupJob::StatusZipFinished));
    ExpectOnlyTheEarlierBackup();

    // The same job with the flag down makes the whole backup.
    m_bStop = false;
    steps.clear();
    job.m_fnStatus = [&](int nStatus) { steps.push_back(nStatus); };
    ASSERT_TRUE(job.Backup(m_strFolder.c_str()));
    EXPECT_FALSE(job.m_bStopped);
    EXPECT_EQ(CFullBackupJob::StatusFinished, steps.back());
    EXPECT_TRUE(::PathFileExistsW(job.m_strArchive));
    EXPECT_FALSE(::PathFileExistsW(job.m_strRegFile));
    EXPECT_EQ(2u, FolderEntries(m_strFolder).size());
}

// A failed backup keeps its .reg: a later one of the same second neither
// replaces it nor, stopped before it has a second of its own, deletes it.
TEST_F(FullBackupStopTest, KeptRegFilesOfTheSameSecondStayWhole)
{
    std::vector<std::wstring> planted;
    for (int nSecond = 0; nSecond < 2; nSecond++)
    {
        std::wstring strPath = m_strFolder + L"FullBackup" + StampIn(nSecond).GetString() + L".reg";
        if (std::find(planted.begin(), planted.end(), strPath) == planted.end())
        {
            ASSERT_TRUE(testsupport::WriteFileBytes(strPath, "kept from a failed backup"));
            planted.push_back(strPath);
        }
    }
    CScratchFullBackupJob stopped(m_strKeyText);
    stopped.SetStopFlag(&m_bStop);
    m_bStop = true;
    EXPECT_FALSE(stopped.Backup(m_strFolder.c_str()));
    EXPECT_TRUE(stopped.m_bStopped);
    EXPECT_EQ(planted.size(), FolderEntries(m_strFolder).size());

    CScratchFullBackupJob job(m_strKeyText);
    ASSERT_TRUE(job.Backup(m_strFolder.c_str()));
    for (const std::wstring& strPath : planted)
    {
        EXPECT_EQ("kept from a failed backup", testsupport::ReadFileBytes(strPath));
        EXPECT_NE(strPath, job.m_strRegFile.GetString());
    }
    EXPECT_EQ(planted.size() + 1, FolderEntries(m_strFolder).size());
}

TEST_F(FullBackupStopTest, StopBeforeTheReadingImportsNothingAndLeavesNoWorkFolder)
{
    MakeEarlierBackup();
    ChangeKey();
    std::string changed = ExportKeyText(m_strKeyText);
    CFullBackupJob job;
    job.SetStopFlag(&m_bStop);
    job.m_fnStatus = [&](int nStatus) {
        if (nStatus == CFullBackupJob::StatusCheck)
            m_bStop = true;
    };
    EXPECT_FALSE(job.Prepare(m_strEarlier.c_str(), m_strFolder.c_str()));
    EXPECT_TRUE(job.m_bStopped);
    EXPECT_FALSE(job.m_bRefused);
    EXPECT_FALSE(job.m_failure.IsSet());
    EXPECT_FALSE(job.IsPrepared());
    EXPECT_EQ(changed, ExportKeyText(m_strKeyText));
    ExpectOnlyTheEarlierBackup();
}

// The check before the import ends at once: it reaches no later line, so a
// refused line further on is not even read.
TEST_F(FullBackupStopTest, CheckEndsAtOnceAndRefusesNothing)
{
    std::wstring strFile = m_folder.File(L"check.reg");
    std::wstring strText = L"Windows Registry Editor Version 5.00\r\n\r\n[" + m_strKeyText + L"\\A]\r\n\"v\"=\"1\"\r\n\r\n[" +
                           m_strKeyText + L"\\B]\r\n\r\n[HKEY_CURRENT_USER\\Software\\TamselEvil]\r\n";
    ASSERT_TRUE(regtest::WriteRegText(strFile, strText));
    CString strProblem;
    int nLine = -1, nKeys = -1;
    std::vector<CRestoreKey> keys;
    m_bStop = true;
    EXPECT_FALSE(CFullBackupJob::CheckRegFile(strFile.c_str(), strProblem, nLine, keys, nKeys, &m_bStop));
    EXPECT_EQ(0, nLine);
    EXPECT_EQ(0, nKeys);
    EXPECT_TRUE(keys.empty());
    EXPECT_TRUE(strProblem.IsEmpty());

    m_bStop = false;
    EXPECT_FALSE(CFullBackupJob::CheckRegFile(strFile.c_str(), strProblem, nLine, keys, nKeys, &m_bStop));
    EXPECT_EQ(8, nLine);
    EXPECT_STREQ(L"[HKEY_CURRENT_USER\\Software\\TamselEvil]", strProblem);
    EXPECT_FALSE(regtest::KeyExists(HKEY_LOCAL_MACHINE, m_strKeyPath + L"\\A"));
}

TEST_F(FullBackupStopTest, StoppedImportWritesNoKeyAndRemovesItsWorkFolder)
{
    MakeEarlierBackup();
    std::string before = ExportKeyText(m_strKeyText);
    ChangeKey();
    std::string changed = ExportKeyText(m_strKeyText);
    CFullBackupJob job;
    job.SetStopFlag(&m_bStop);
    ASSERT_TRUE(job.Prepare(m_strEarlier.c_str(), m_strFolder.c_str()));
    EXPECT_EQ(2u, FolderEntries(m_strFolder).size());
    m_bStop = true;
    EXPECT_FALSE(job.Import());
    EXPECT_TRUE(job.m_bStopped);
    EXPECT_TRUE(job.m_bPartial);
    EXPECT_EQ((DWORD)ERROR_CANCELLED, job.m_dwImportResult);
    EXPECT_EQ(changed, ExportKeyText(m_strKeyText));
    // Its one unpacked file is removed even so: one delete is bounded.
    ExpectOnlyTheEarlierBackup();

    m_bStop = false;
    ASSERT_TRUE(job.Restore(m_strEarlier.c_str(), m_strFolder.c_str()));
    EXPECT_FALSE(job.m_bStopped);
    EXPECT_EQ(before, ExportKeyText(m_strKeyText));
    ExpectOnlyTheEarlierBackup();
}
