// Restoring an automatic backup: registry and shortcuts come back, nothing is
// written from an unchecked entry or path, only the restore's own work folder
// is deleted.
#include "tests/repair/BackupTestSupport.h"
#include "repair/AutoBackupPage.h"
#include "repair/AutoBackupRestore.h"
#include "services/DiskObject.h"

#include <shlwapi.h>

using namespace backuptest;

namespace {

const wchar_t kStamp[] = L"20080908143122";

// A key with values of several kinds and a subkey, below the scratch key.
void PlantKey(HKEY hRoot)
{
    HKEY hKey = NULL;
    ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExW(hRoot, L"Data\\Sub", 0, NULL, 0, KEY_ALL_ACCESS, NULL, &hKey, NULL));
    DWORD dw = 0x12345678;
    ::RegSetValueExW(hKey, L"Number", 0, REG_DWORD, (const BYTE*)&dw, 4);
    ::RegCloseKey(hKey);
    ASSERT_EQ(ERROR_SUCCESS, ::RegOpenKeyExW(hRoot, L"Data", 0, KEY_ALL_ACCESS, &hKey));
    const wchar_t szText[] = L"C:\\Program Files\\\"Quoted\"\\app.exe";
    ::RegSetValueExW(hKey, L"Path", 0, REG_SZ, (const BYTE*)szText, sizeof(szText));
    BYTE data[] = {0, 1, 2, 250, 251};
    ::RegSetValueExW(hKey, L"Bytes", 0, REG_BINARY, data, sizeof(data));
    ::RegCloseKey(hKey);
}

bool KeyExists(const std::wstring& strPath)
{
    HKEY hKey = NULL;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, strPath.c_str(), 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return false;
    ::RegCloseKey(hKey);
    return true;
}

// Nothing but the archives is left in the folder.
std::vector<std::wstring> FolderEntries(const std::wstring& strFolder)
{
    std::vector<std::wstring> names;
    WIN32_FIND_DATAW fd;
    HANDLE hFind = ::FindFirstFileW((strFolder + L"*").c_str(), &fd);
    if (hFind == INVALID_HANDLE_VALUE)
        return names;
    do
    {
        if (lstrcmpW(fd.cFileName, L".") != 0 && lstrcmpW(fd.cFileName, L"..") != 0)
            names.push_back(fd.cFileName);
    } while (::FindNextFileW(hFind, &fd));
    ::FindClose(hFind);
    return names;
}

class AutoRestoreTest : public BackupPageTest
{
protected:
    void SetUp() override
    {
        BackupPageTest::SetUp();
        m_strBackups = AppDir() + L"AutoBackup\\";
        ASSERT_TRUE(::CreateDirectoryW(m_strBackups.c_str(), NULL));
        m_strKey = L"HKEY_CURRENT_USER\\" + m_key.Path() + L"\\Data";
    }
    std::wstring Archive() const { return m_strBackups + L"AutoBackup" + kStamp + L".zip"; }

    // Restores the newest listed backup through the page, answering Yes.
    void RestoreThroughPage()
    {
        CAutoBackupPage page;
        CreatePage(page);
        ASSERT_GE(page.m_list.GetItemCount(), 1);
        SelectRow(page.m_list, 0);
        m_boxes.QueueAnswer(IDYES);
        Click(page, 1001);
    }

    testsupport::ScratchRegKey m_key;
    std::wstring m_strBackups;
    std::wstring m_strKey;
};

} // namespace

TEST_F(AutoRestoreTest, RegistryAndShortcutsComeBackAndNoWorkFolderStays)
{
    PlantKey(m_key.Key());
    std::string before = ExportKeyText(m_strKey);
    ASSERT_FALSE(before.empty());
    // Two shortcuts of one name in two folders, one in a two-level folder that goes.
    std::wstring strDesk1 = AppDir() + L"Desk1\\", strDesk2 = AppDir() + L"Desk2\\";
    std::wstring strDeep = AppDir() + L"Gone\\Two\\Deep.lnk";
    std::vector<ShortcutEntry> shortcuts = {
        {L"App.lnk", "first shortcut", strDesk1 + L"App.lnk"},
        {L"App.lnk", "second shortcut, other bytes", strDesk2 + L"App.lnk"},
        {L"Deep.lnk", "deep shortcut", strDeep}};
    ASSERT_TRUE(WriteAutoBackupArchive(Archive(), kStamp, {m_strKey}, shortcuts));

    ASSERT_EQ(ERROR_SUCCESS, ::SHDeleteKeyW(m_key.Key(), L"Data"));
    ASSERT_TRUE(::CreateDirectoryW(strDesk1.c_str(), NULL));
    ASSERT_TRUE(::CreateDirectoryW(strDesk2.c_str(), NULL));

    RestoreThroughPage();
    ASSERT_EQ(2u, m_boxes.Count());
    EXPECT_EQ(L"Restore OK!", m_boxes.LastText());
    EXPECT_EQ(before, ExportKeyText(m_strKey));
    EXPECT_EQ("first shortcut", testsupport::ReadFileBytes(strDesk1 + L"App.lnk"));
    EXPECT_EQ("second shortcut, other bytes", testsupport::ReadFileBytes(strDesk2 + L"App.lnk"));
    EXPECT_EQ("deep shortcut", testsupport::ReadFileBytes(strDeep));
    EXPECT_EQ(std::vector<std::wstring>{std::wstring(L"AutoBackup") + kStamp + L".zip"}, FolderEntries(m_strBackups));

    // The same backup again: the shortcuts are there now and stay the user's.
    ASSERT_TRUE(testsupport::WriteFileBytes(strDeep, "changed by the user"));
    RestoreThroughPage();
    EXPECT_NE(std::wstring::npos, m_boxes.LastText().find(L"App.lnk")) << Narrow(m_boxes.LastText());
    EXPECT_EQ("changed by the user", testsupport::ReadFileBytes(strDeep));
    EXPECT_EQ(1u, FolderEntries(m_strBackups).size());
}

TEST_F(AutoRestoreTest, HostileArchiveNamesDeleteNothingButTheirOwnWorkFolder)
{
    PlantKey(m_key.Key());
    ASSERT_TRUE(WriteAutoBackupArchive(Archive(), kStamp, {m_strKey}, {}));
    std::string archive = testsupport::ReadFileBytes(Archive());
    ASSERT_TRUE(testsupport::WriteFileBytes(m_strBackups + L".zip", archive));
    ASSERT_TRUE(testsupport::WriteFileBytes(m_strBackups + L"...zip", archive));
    ASSERT_TRUE(testsupport::WriteFileBytes(AppDir() + L"Tamsel.exe", "program"));

    for (const wchar_t* pszName : {L".zip", L"...zip"})
    {
        CAutoBackupRestore restore;
        EXPECT_TRUE(restore.Restore((m_strBackups + pszName).c_str(), m_strBackups.c_str())) << Narrow(pszName);
    }
    EXPECT_EQ("program", testsupport::ReadFileBytes(AppDir() + L"Tamsel.exe"));
    EXPECT_EQ(archive, testsupport::ReadFileBytes(Archive()));
    EXPECT_EQ(3u, FolderEntries(m_strBackups).size());
}

TEST_F(AutoRestoreTest, DamagedRegistryEntryImportsNothingAndSaysSo)
{
    PlantKey(m_key.Key());
    ASSERT_TRUE(WriteAutoBackupArchive(Archive(), kStamp, {m_strKey}, {}));
    ASSERT_TRUE(BreakItemCrc(Archive(), "AutoBackup20080908143122.reg"));
    ASSERT_EQ(ERROR_SUCCESS, ::SHDeleteKeyW(m_key.Key(), L"Data"));

    RestoreThroughPage();
    EXPECT_FALSE(KeyExists(m_key.Path() + L"\\Data"));
    EXPECT_NE(L"Restore OK!", m_boxes.LastText());
    EXPECT_NE(std::wstring::npos, m_boxes.LastText().find(L"AutoBackup20080908143122.reg"));
    EXPECT_EQ(1u, FolderEntries(m_strBackups).size());
}

TEST_F(AutoRestoreTest, ShortcutListLinesAreNotTrusted)
{
    WCHAR szWindows[MAX_PATH];
    ::GetWindowsDirectoryW(szWindows, MAX_PATH);
    std::wstring strWinIni = std::wstring(szWindows) + L"\\win.ini";
    std::string winIni = testsupport::ReadFileBytes(strWinIni);
    std::wstring strGood = AppDir() + L"Good.lnk";
    ASSERT_TRUE(WriteAutoBackupArchive(Archive(), kStamp, {},
                                       {{L"Evil.lnk", "not an ini file", strWinIni},
                                        {L"Up.lnk", "climbs", AppDir() + L"a\\..\\..\\Up.lnk"},
                                        {L"Rel.lnk", "relative", L"Rel.lnk"},
                                        {L"Good.lnk", "good", strGood}}));
    CAutoBackupRestore restore;
    EXPECT_FALSE(restore.Restore(Archive().c_str(), m_strBackups.c_str()));
    EXPECT_EQ(winIni, testsupport::ReadFileBytes(strWinIni));
    EXPECT_STREQ(L"M_RESTORE_ERR_PATH", restore.m_failure.m_pszKey);
    EXPECT_STREQ(strWinIni.c_str(), restore.m_failure.m_strItem);
    // The valid one still comes back.
    EXPECT_EQ(1, restore.m_nShortcutsPlaced);
    EXPECT_EQ("good", testsupport::ReadFileBytes(strGood));
    EXPECT_EQ(1u, FolderEntries(m_strBackups).size());
}

TEST(RestorableShortcutPath, OnlyFullDrivePathsOfShortcutFiles)
{
    for (const wchar_t* pszGood : {L"C:\\Users\\me\\Desktop\\App.lnk", L"d:\\a b\\c.d\\Game.LNK", L"C:\\x.lnk"})
        EXPECT_TRUE(IsRestorableShortcutPath(pszGood)) << Narrow(pszGood);
    for (const wchar_t* pszBad : {L"C:\\windows\\win.ini", L"App.lnk", L"\\App.lnk", L"C:App.lnk",
                                  L"C:\\a\\..\\b.lnk", L"C:\\a\\.\\b.lnk", L"C:\\a\\\\b.lnk", L"C:\\a\\b.lnk:stream.lnk",
                                  L"C:\\a\\*.lnk", L"\\\\server\\share\\x.lnk", L"C:\\a\\.lnk", L"C:\\dir.\\b.lnk",
                                  L"C:\\a/b.lnk", L""})
        EXPECT_FALSE(IsRestorableShortcutPath(pszBad)) << Narrow(pszBad);
}

// What Wine's own regedit makes of the same .reg is what the page leaves.
TEST_F(AutoRestoreTest, PeerRegeditLeavesTheSameRegistry)
{
    PlantKey(m_key.Key());
    ASSERT_TRUE(WriteAutoBackupArchive(Archive(), kStamp, {m_strKey}, {}));
    std::wstring strReg = m_folder.File(L"peer.reg");
    ASSERT_TRUE(testsupport::WriteFileBytes(strReg, ExportKeyText(m_strKey)));
    std::wstring strOurs = m_folder.File(L"ours.txt"), strPeer = m_folder.File(L"peer.txt");

    ASSERT_EQ(ERROR_SUCCESS, ::SHDeleteKeyW(m_key.Key(), L"Data"));
    RestoreThroughPage();
    EXPECT_EQ(L"Restore OK!", m_boxes.LastText());
    ASSERT_EQ(0, RunWindowsProgram(L"reg.exe export \"" + m_strKey + L"\" \"" + strOurs + L"\" /y"));

    ASSERT_EQ(ERROR_SUCCESS, ::SHDeleteKeyW(m_key.Key(), L"Data"));
    ASSERT_EQ(0, RunWindowsProgram(L"regedit.exe /S \"" + strReg + L"\""));
    ASSERT_EQ(0, RunWindowsProgram(L"reg.exe export \"" + m_strKey + L"\" \"" + strPeer + L"\" /y"));
    std::string ours = testsupport::ReadFileBytes(strOurs);
    EXPECT_GT(ours.size(), 100u);
    EXPECT_EQ(testsupport::ReadFileBytes(strPeer), ours);
}

// An archive made by the zip tool in the same layout restores.
TEST_F(AutoRestoreTest, PeerZipArchiveRestores)
{
    if (!RequirePeer("zip"))
        TAMSEL_PEER_MISSING("zip is missing on the host");
    PlantKey(m_key.Key());
    HostScratch host;
    std::string strRegName = "AutoBackup20080908143122.reg";
    ASSERT_TRUE(testsupport::WriteFileBytes(host.Win(strRegName), ExportKeyText(m_strKey)));
    std::wstring strTarget = AppDir() + L"Start Menu\\Tool.lnk";
    ASSERT_TRUE(testsupport::WriteFileBytes(host.Win("Tool.lnk"), "tool shortcut"));
    std::string list = "\xFF\xFE";
    for (wchar_t ch : strTarget + L"\n")
        list += std::string{(char)(ch & 0xFF), (char)(ch >> 8)};
    ASSERT_TRUE(testsupport::WriteFileBytes(host.Win("ShortCuts.txt"), list));
    ASSERT_EQ(0, testsupport::RunHostCommand("cd '" + host.Unix() + "' && PATH=/usr/local/bin:/usr/bin:/bin zip -q -8 a.zip " +
                                             strRegName + " Tool.lnk ShortCuts.txt"));
    ASSERT_TRUE(::CopyFileW(host.Win("a.zip").c_str(), Archive().c_str(), FALSE));
    ASSERT_EQ(ERROR_SUCCESS, ::SHDeleteKeyW(m_key.Key(), L"Data"));

    RestoreThroughPage();
    EXPECT_EQ(L"Restore OK!", m_boxes.LastText());
    EXPECT_TRUE(KeyExists(m_key.Path() + L"\\Data\\Sub"));
    EXPECT_EQ("tool shortcut", testsupport::ReadFileBytes(strTarget));
}
