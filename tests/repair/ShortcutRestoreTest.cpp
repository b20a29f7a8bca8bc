// Shortcuts of an automatic backup go back only where the shortcut scan can
// have found them: inside the folders it walks, never through a folder link,
// and no folder chain is made anywhere else.
#include "tests/repair/BackupTestSupport.h"
#include "repair/AutoBackupRestore.h"
#include "repair/ShortcutPlace.h"
#include "scanner/FolderWalk.h"
#include "tests/support/HostLink.h"

#include <shlwapi.h>

using namespace backuptest;

namespace {

const wchar_t kStamp[] = L"20261210041500";

class ShortcutRestoreTest : public BackupPageTest
{
protected:
    void SetUp() override
    {
        BackupPageTest::SetUp();
        m_strBackups = AppDir() + L"AutoBackup\\";
        ASSERT_TRUE(::CreateDirectoryW(m_strBackups.c_str(), NULL));
    }
    std::wstring Archive() const { return m_strBackups + L"AutoBackup" + kStamp + L".zip"; }
    // Restores the archive; the message the page would show.
    std::wstring Restore(CAutoBackupRestore& restore)
    {
        restore.Restore(Archive().c_str(), m_strBackups.c_str());
        return restore.m_failure.IsSet() ? std::wstring(restore.m_failure.GetMessage(&m_app)) : std::wstring();
    }

    ShortcutScanFolder m_walked;
    std::wstring m_strBackups;
};

std::wstring SystemFolder()
{
    wchar_t szFolder[MAX_PATH] = {};
    ::GetSystemDirectoryW(szFolder, MAX_PATH);
    return szFolder;
}

} // namespace

// Outside the walked folders nothing is written and no folder is made; the
// one in a walked folder comes back, its missing folder made there.
TEST_F(ShortcutRestoreTest, OnlyIntoTheFoldersTheScanWalks)
{
    std::wstring strSystem = SystemFolder() + L"\\TamselRestored.lnk";
    std::wstring strChain = L"C:\\TamselNew\\a\\b\\c\\Chain.lnk";
    std::wstring strInside = m_walked.Path() + L"Removed Folder\\Tool.lnk";
    ASSERT_TRUE(WriteAutoBackupArchive(Archive(), kStamp, {},
                                       {{L"TamselRestored.lnk", "system", strSystem},
                                        {L"Chain.lnk", "chain", strChain},
                                        {L"Tool.lnk", "tool", strInside}}));
    CAutoBackupRestore restore;
    std::wstring strMessage = Restore(restore);
    EXPECT_STREQ(restore.m_failure.m_pszKey, L"M_RESTORE_ERR_PLACE");
    EXPECT_NE(strMessage.find(strSystem + L" was not put back: it is not in a folder that the shortcut scan looks"),
              std::wstring::npos) << Narrow(strMessage);
    EXPECT_FALSE(::PathFileExistsW(strSystem.c_str()));
    EXPECT_FALSE(::PathFileExistsW(L"C:\\TamselNew"));
    EXPECT_EQ(restore.m_nShortcutsPlaced, 1);
    EXPECT_EQ(testsupport::ReadFileBytes(strInside), "tool");
}

// Each walked folder takes a shortcut back, the Startup folder inside the
// programs included (the scan walks it with them).
TEST_F(ShortcutRestoreTest, EveryWalkedFolderTakesItsShortcutBack)
{
    CStringArray arrFolders;
    GetShortcutScanFolders(arrFolders);
    ASSERT_EQ(arrFolders.GetSize(), 5);
    std::wstring strStartup(ReadShellFolder(HKEY_CURRENT_USER, L"Startup"));
    ASSERT_EQ(CheckShortcutPlace((strStartup + L"\\Tamsel Check.lnk").c_str(), arrFolders), ShortcutPlaceOk);
    std::vector<ShortcutEntry> shortcuts;
    std::vector<std::wstring> paths;
    for (INT_PTR i = 0; i < arrFolders.GetSize(); i++)
    {
        // Under Wine the desktops are links into the host's home: a walked
        // folder itself may be a link, the scan walks it all the same.
        if (!::PathIsDirectoryW(arrFolders[i]))
            continue;
        std::wstring strName = L"TamselRestoreTest" + std::to_wstring(i) + L".lnk";
        paths.push_back(std::wstring(arrFolders[i]) + L"\\" + strName);
        shortcuts.push_back({strName, "walked " + std::to_string(i), paths.back()});
    }
    ASSERT_GE(paths.size(), 3u);
    ASSERT_TRUE(WriteAutoBackupArchive(Archive(), kStamp, {}, shortcuts));
    CAutoBackupRestore restore;
    std::wstring strMessage = Restore(restore);
    EXPECT_EQ(strMessage, L"");
    for (size_t i = 0; i < paths.size(); i++)
    {
        EXPECT_EQ(testsupport::ReadFileBytes(paths[i]), shortcuts[i].bytes) << Narrow(paths[i]);
        ::DeleteFileW(paths[i].c_str());
    }
}

// A folder link inside a walked folder leads out of it: nothing goes through
// it, not even into a folder that would be made behind it; a real folder
// beside it is the look-alike that restores.
TEST_F(ShortcutRestoreTest, NeverThroughAFolderLink)
{
    std::wstring strOutside = AppDir() + L"Outside\\";
    ASSERT_TRUE(::CreateDirectoryW(strOutside.c_str(), NULL));
    testsupport::CHostLink link(strOutside.substr(0, strOutside.size() - 1), m_walked.Path() + L"Linked");
    ASSERT_TRUE(link.IsMade());
    std::wstring strThrough = m_walked.Path() + L"Linked\\Through.lnk";
    std::wstring strBehind = m_walked.Path() + L"Linked\\New\\Behind.lnk";
    std::wstring strBeside = m_walked.Path() + L"Real\\Beside.lnk";
    ASSERT_TRUE(::CreateDirectoryW((m_walked.Path() + L"Real").c_str(), NULL));
    ASSERT_TRUE(WriteAutoBackupArchive(Archive(), kStamp, {},
                                       {{L"Through.lnk", "through", strThrough},
                                        {L"Behind.lnk", "behind", strBehind},
                                        {L"Beside.lnk", "beside", strBeside}}));
    CAutoBackupRestore restore;
    std::wstring strMessage = Restore(restore);
    EXPECT_STREQ(restore.m_failure.m_pszKey, L"M_RESTORE_ERR_LINKED");
    EXPECT_NE(strMessage.find(strThrough + L" was not put back: its path passes through a folder link"),
              std::wstring::npos) << Narrow(strMessage);
    EXPECT_TRUE(FolderEntries(strOutside).empty());
    EXPECT_EQ(restore.m_nShortcutsPlaced, 1);
    EXPECT_EQ(testsupport::ReadFileBytes(strBeside), "beside");
}

// The rule itself: a walked folder, not a name that starts like it; no
// deeper than the walk goes; a walked folder that is not there takes nothing.
TEST(ShortcutPlace, InsideAWalkedFolderAsDeepAsTheWalkGoes)
{
    testsupport::ScratchFolder scratch;
    std::wstring strRoot = scratch.File(L"Root");
    ASSERT_TRUE(::CreateDirectoryW(strRoot.c_str(), NULL));
    CStringArray arrFolders;
    arrFolders.Add(scratch.File(L"Missing").c_str());
    arrFolders.Add((strRoot + L"\\").c_str());
    EXPECT_EQ(CheckShortcutPlace((strRoot + L"\\a.lnk").c_str(), arrFolders), ShortcutPlaceOk);
    EXPECT_EQ(CheckShortcutPlace((strRoot + L"2\\a.lnk").c_str(), arrFolders), ShortcutPlaceOutside);
    EXPECT_EQ(CheckShortcutPlace(scratch.File(L"a.lnk").c_str(), arrFolders), ShortcutPlaceOutside);
    EXPECT_EQ(CheckShortcutPlace(scratch.File(L"Missing\\a.lnk").c_str(), arrFolders), ShortcutPlaceOutside);
    std::wstring strDeep = strRoot;
    for (int i = 0; i < FOLDER_WALK_MAX_DEPTH; i++)
        strDeep += L"\\d";
    EXPECT_EQ(CheckShortcutPlace((strDeep + L"\\a.lnk").c_str(), arrFolders), ShortcutPlaceOk);
    EXPECT_EQ(CheckShortcutPlace((strDeep + L"\\d\\a.lnk").c_str(), arrFolders), ShortcutPlaceOutside);
}
