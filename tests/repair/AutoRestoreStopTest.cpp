// A stopped restore of an automatic backup: the unpacking, the check and the
// import end at their next poll and write nothing more; what is left of the
// work folder is cleared by the next restore, and nothing else is touched.
#include "tests/repair/BackupTestSupport.h"
#include "tests/services_registry/RegTestUtil.h"
#include "repair/AutoBackupPage.h"
#include "repair/AutoBackupRestore.h"
#include "repair/RestoreWorkFolder.h"

#include <atomic>
#include <shlwapi.h>

using namespace backuptest;

namespace {

const wchar_t kStamp[] = L"20090102030405";

class AutoRestoreStopTest : public BackupPageTest
{
protected:
    void SetUp() override
    {
        BackupPageTest::SetUp();
        m_strBackups = AppDir() + L"AutoBackup\\";
        ASSERT_TRUE(::CreateDirectoryW(m_strBackups.c_str(), NULL));
        // Below a root the scanners walk, so that a restore may write it.
        m_strScratch = L"AppEvents\\Schemes\\Apps\\TamselRestoreStopTest";
        ::SHDeleteKeyW(HKEY_CURRENT_USER, m_strScratch.c_str());
        m_strData = m_strScratch + L"\\Data";
        m_strKey = L"HKEY_CURRENT_USER\\" + m_strData;
        HKEY hKey = regtest::CreateKey(HKEY_CURRENT_USER, m_strData + L"\\Sub");
        ASSERT_NE((HKEY)NULL, hKey);
        regtest::SetDword(hKey, L"Number", 7);
        ::RegCloseKey(hKey);
        hKey = regtest::CreateKey(HKEY_CURRENT_USER, m_strData);
        regtest::SetText(hKey, L"Path", L"C:\\Program Files\\App\\app.exe");
        ::RegCloseKey(hKey);
        m_strShortcut = m_walked.Path() + L"App.lnk";
        ASSERT_TRUE(WriteAutoBackupArchive(Archive(), kStamp, {m_strKey}, {{L"App.lnk", "shortcut", m_strShortcut}}));
        m_before = ExportKeyText(m_strKey);
        ASSERT_EQ(ERROR_SUCCESS, ::SHDeleteKeyW(HKEY_CURRENT_USER, m_strData.c_str()));
    }
    void TearDown() override
    {
        ::SHDeleteKeyW(HKEY_CURRENT_USER, m_strScratch.c_str());
        BackupPageTest::TearDown();
    }
    std::wstring Archive() const { return m_strBackups + L"AutoBackup" + kStamp + L".zip"; }
    bool DataExists() const { return regtest::KeyExists(HKEY_CURRENT_USER, m_strData); }
    std::vector<std::wstring> OnlyTheArchive() const { return {std::wstring(L"AutoBackup") + kStamp + L".zip"}; }

    ShortcutScanFolder m_walked;
    std::wstring m_strBackups, m_strScratch, m_strData, m_strKey, m_strShortcut;
    std::string m_before;
    std::atomic<bool> m_bStop{false};
};

// A process started and ended, whose id no process has now.
DWORD EndedProcessId()
{
    STARTUPINFOW si = {sizeof(si)};
    PROCESS_INFORMATION pi = {};
    wchar_t szCommand[] = L"cmd.exe /c exit 0";
    if (!::CreateProcessW(NULL, szCommand, NULL, NULL, FALSE, CREATE_NO_WINDOW, NULL, NULL, &si, &pi))
        return 0;
    ::WaitForSingleObject(pi.hProcess, 60000);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    return pi.dwProcessId;
}

std::wstring WorkName(DWORD dwProcess, const wchar_t* pszRest)
{
    wchar_t szName[64];
    wsprintfW(szName, L"~Restore%lx-%s", (unsigned long)dwProcess, pszRest);
    return szName;
}

} // namespace

TEST_F(AutoRestoreStopTest, StopBeforeTheReadingWritesNothingAndLeavesNoWorkFolder)
{
    CAutoBackupRestore restore;
    restore.SetStopFlag(&m_bStop);
    m_bStop = true;
    EXPECT_FALSE(restore.Prepare(Archive().c_str(), m_strBackups.c_str()));
    EXPECT_TRUE(restore.m_bStopped);
    EXPECT_FALSE(restore.m_bRefused);
    EXPECT_FALSE(restore.m_failure.IsSet());
    EXPECT_TRUE(restore.m_keys.empty());
    EXPECT_FALSE(restore.Write());
    EXPECT_FALSE(DataExists());
    EXPECT_EQ(OnlyTheArchive(), FolderEntries(m_strBackups));
}

// The check of a registry file ends at once: no key is listed, no line
// refused, and without the flag the same file passes.
TEST_F(AutoRestoreStopTest, CheckEndsAtOnceOnAStop)
{
    std::wstring strFile = m_folder.File(L"check.reg");
    ASSERT_TRUE(regtest::WriteRegText(strFile, L"Windows Registry Editor Version 5.00\r\n\r\n[" + m_strKey +
                                                   L"]\r\n\"Path\"=\"x\"\r\n\r\n[" + m_strKey + L"\\Sub]\r\n"));
    int nLine = -1;
    CString strLine;
    std::vector<CRestoreKey> keys;
    m_bStop = true;
    EXPECT_FALSE(CheckAutoBackupRegFile(strFile.c_str(), 0, nLine, strLine, keys, &m_bStop));
    EXPECT_EQ(0, nLine);
    EXPECT_TRUE(strLine.IsEmpty());
    EXPECT_TRUE(keys.empty());
    m_bStop = false;
    EXPECT_TRUE(CheckAutoBackupRegFile(strFile.c_str(), 0, nLine, strLine, keys, &m_bStop));
    EXPECT_EQ(2u, keys.size());
    EXPECT_FALSE(DataExists());
}

// Stopped before the write: no key and no shortcut is written, the removal
// of the work folder stops too, and the next restore clears what it left.
TEST_F(AutoRestoreStopTest, StoppedWriteLeavesTheRestForTheNextRestore)
{
    CAutoBackupRestore restore;
    restore.SetStopFlag(&m_bStop);
    ASSERT_TRUE(restore.Prepare(Archive().c_str(), m_strBackups.c_str()));
    ASSERT_EQ(2u, FolderEntries(m_strBackups).size());
    m_bStop = true;
    EXPECT_FALSE(restore.Write());
    EXPECT_TRUE(restore.m_bStopped);
    EXPECT_FALSE(restore.m_failure.IsSet());
    EXPECT_EQ(0, restore.m_nRegFilesImported);
    EXPECT_EQ(0, restore.m_nShortcutsPlaced);
    EXPECT_FALSE(DataExists());
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(m_strShortcut.c_str()));
    std::vector<std::wstring> entries = FolderEntries(m_strBackups);
    ASSERT_EQ(2u, entries.size());
    std::wstring strLeft = entries[0] == OnlyTheArchive()[0] ? entries[1] : entries[0];
    EXPECT_EQ(0u, strLeft.find(L"~Restore"));
    EXPECT_EQ(3u, FolderEntries(m_strBackups + strLeft + L"\\").size()) << "the unpacked files stay";

    CAutoBackupRestore next;
    ASSERT_TRUE(next.Restore(Archive().c_str(), m_strBackups.c_str()))
        << Narrow(next.m_failure.GetDetail(&m_app).GetString());
    EXPECT_EQ(m_before, ExportKeyText(m_strKey));
    EXPECT_EQ("shortcut", testsupport::ReadFileBytes(m_strShortcut));
    EXPECT_EQ(OnlyTheArchive(), FolderEntries(m_strBackups));
}

// Only work folders no restore uses are cleared: those of an ended process
// and those of this one that no object holds; a stopped clearing removes
// nothing more.
TEST_F(AutoRestoreStopTest, ClearingTakesOnlyLeftoverWorkFolders)
{
    DWORD dwEnded = EndedProcessId();
    ASSERT_NE(0u, dwEnded);
    STARTUPINFOW si = {sizeof(si)};
    PROCESS_INFORMATION running = {};
    wchar_t szCommand[] = L"cmd.exe /c exit 0";
    ASSERT_TRUE(::CreateProcessW(NULL, szCommand, NULL, NULL, FALSE, CREATE_SUSPENDED | CREATE_NO_WINDOW, NULL, NULL,
                                 &si, &running));
    const std::wstring strEnded = WorkName(dwEnded, L"1-1"), strOwn = WorkName(::GetCurrentProcessId(), L"2-2");
    const std::wstring strRunning = WorkName(running.dwProcessId, L"3-3");
    const std::wstring kept[] = {strRunning, L"~RestoreNotOurs", WorkName(dwEnded, L"1"), L"Other"};
    for (const std::wstring& strName : {strEnded, strOwn, kept[0], kept[1], kept[2], kept[3]})
    {
        ASSERT_TRUE(::CreateDirectoryW((m_strBackups + strName).c_str(), NULL)) << Narrow(strName);
        ASSERT_TRUE(testsupport::WriteFileBytes(m_strBackups + strName + L"\\a.txt", "data"));
    }
    const std::wstring strFileNamed = WorkName(dwEnded, L"4-4");
    ASSERT_TRUE(testsupport::WriteFileBytes(m_strBackups + strFileNamed, "a file, not a folder"));
    size_t nPlanted = FolderEntries(m_strBackups).size();

    m_bStop = true;
    EXPECT_FALSE(CRestoreWorkFolder::ClearLeftovers(m_strBackups.c_str(), &m_bStop));
    EXPECT_EQ(nPlanted, FolderEntries(m_strBackups).size());

    CRestoreWorkFolder held;
    ASSERT_TRUE(held.Create(m_strBackups.c_str()));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW((m_strBackups + strEnded).c_str()));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW((m_strBackups + strOwn).c_str()));
    for (const std::wstring& strName : kept)
        EXPECT_EQ("data", testsupport::ReadFileBytes(m_strBackups + strName + L"\\a.txt")) << Narrow(strName);
    EXPECT_EQ("a file, not a folder", testsupport::ReadFileBytes(m_strBackups + strFileNamed));
    ASSERT_TRUE(testsupport::WriteFileBytes(held.GetPath().GetString() + std::wstring(L"held.txt"), "in use"));

    // A second restore leaves the first one's folder alone.
    CRestoreWorkFolder second;
    ASSERT_TRUE(second.Create(m_strBackups.c_str()));
    EXPECT_EQ("in use", testsupport::ReadFileBytes(held.GetPath().GetString() + std::wstring(L"held.txt")));
    EXPECT_EQ(nPlanted, FolderEntries(m_strBackups).size());
    EXPECT_TRUE(held.Remove());
    EXPECT_TRUE(second.Remove());

    ::TerminateProcess(running.hProcess, 0);
    ::WaitForSingleObject(running.hProcess, 60000);
    ::CloseHandle(running.hThread);
    ::CloseHandle(running.hProcess);
}

// Closing the program while the restore's progress dialog is up: nothing is
// said, nothing written, and the quit reaches the outer loop.
TEST_F(AutoRestoreStopTest, PageStoppedByClosingSaysNothingAndWritesNothing)
{
    CAutoBackupPage page;
    CreatePage(page);
    ASSERT_EQ(1, page.m_list.GetItemCount());
    SelectRow(page.m_list, 0);
    ::PostQuitMessage(3);
    Click(page, 1001);
    MSG msg = {};
    EXPECT_TRUE(::PeekMessageW(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(0u, m_boxes.Count());
    EXPECT_FALSE(DataExists());
    EXPECT_EQ(OnlyTheArchive(), FolderEntries(m_strBackups));

    // Without a quit the same page restores everything.
    m_boxes.QueueAnswer(IDYES);
    Click(page, 1001);
    EXPECT_EQ(L"Restore OK!", m_boxes.LastText());
    EXPECT_EQ(m_before, ExportKeyText(m_strKey));
    EXPECT_EQ(OnlyTheArchive(), FolderEntries(m_strBackups));
}
