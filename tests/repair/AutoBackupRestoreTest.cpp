// Restoring an automatic backup: registry and shortcuts come back, nothing is
// written from an unchecked entry or path, only the restore's own work folder
// is deleted.
#include "tests/repair/BackupTestSupport.h"
#include "tests/services_registry/RegTestUtil.h"
#include "repair/AutoBackupPage.h"
#include "repair/AutoBackupRestore.h"
#include "repair/FullBackupJob.h"
#include "scanner/KeyReader.h"
#include "scanner/ScanRoots.h"
#include "services/RegKeyTarget.h"
#include "services/DiskObject.h"
#include "services/RegFile.h"
#include "services/ZipWriter.h"

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

// A key below a root the scanners walk (Sounds), as a restore may write it:
// created empty, removed with its subtree.
class ScanRootScratchKey
{
public:
    ScanRootScratchKey() : m_strPath(L"AppEvents\\Schemes\\Apps\\TamselRestoreTest")
    {
        ::SHDeleteKeyW(HKEY_CURRENT_USER, m_strPath.c_str());
        ::RegCreateKeyExW(HKEY_CURRENT_USER, m_strPath.c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL, &m_hKey, NULL);
    }
    ~ScanRootScratchKey()
    {
        if (m_hKey != NULL)
            ::RegCloseKey(m_hKey);
        ::SHDeleteKeyW(HKEY_CURRENT_USER, m_strPath.c_str());
    }
    HKEY Key() const { return m_hKey; }
    const std::wstring& Path() const { return m_strPath; }
private:
    HKEY m_hKey = NULL;
    std::wstring m_strPath;
};

// An archive of one registry-editor file of the given text (UTF-16LE with
// its mark), plus further entries of the given names and bytes.
bool WriteRegTextArchive(const std::wstring& strArchive, const std::wstring& strRegText,
                         const std::vector<std::pair<std::wstring, std::string>>& extra = {})
{
    std::string bytes = "\xFF\xFE";
    for (wchar_t ch : strRegText)
        bytes += std::string{(char)(ch & 0xFF), (char)(ch >> 8)};
    ZipHandle hZip = CreateZipArchive(strArchive.c_str(), 0, ZipKindFile);
    if (hZip == NULL)
        return false;
    std::wstring strName = std::wstring(L"AutoBackup") + kStamp + L".reg";
    bool bOk = AddToZipArchive(hZip, strName.c_str(), bytes.data(), (DWORD)bytes.size(), ZipKindMemory) == ZipOk;
    for (const auto& entry : extra)
        bOk = bOk && AddToZipArchive(hZip, entry.first.c_str(), entry.second.data(), (DWORD)entry.second.size(),
                                     ZipKindMemory) == ZipOk;
    return CloseZipWriter(hZip) == ZipOk && bOk;
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

    ScanRootScratchKey m_key;
    ShortcutScanFolder m_walked;   // where shortcuts may go back
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
    std::wstring strDesk1 = m_walked.Path() + L"Desk1\\", strDesk2 = m_walked.Path() + L"Desk2\\";
    std::wstring strDeep = m_walked.Path() + L"Gone\\Two\\Deep.lnk";
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
    EXPECT_FALSE(regtest::KeyExists(HKEY_CURRENT_USER, m_key.Path() + L"\\Data"));
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
    std::wstring strGood = m_walked.Path() + L"Good.lnk";
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
    std::wstring strTarget = m_walked.Path() + L"Start Menu\\Tool.lnk";
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
    EXPECT_TRUE(regtest::KeyExists(HKEY_CURRENT_USER, m_key.Path() + L"\\Data\\Sub"));
    EXPECT_EQ("tool shortcut", testsupport::ReadFileBytes(strTarget));
}

namespace {

const wchar_t kRunKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

std::wstring Header()
{
    return L"Windows Registry Editor Version 5.00\r\n\r\n";
}

bool RunValueExists(const wchar_t* pszName)
{
    HKEY hKey = NULL;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kRunKey, 0, KEY_QUERY_VALUE, &hKey) != ERROR_SUCCESS)
        return false;
    bool bFound = ::RegQueryValueExW(hKey, pszName, NULL, NULL, NULL, NULL) == ERROR_SUCCESS;
    ::RegCloseKey(hKey);
    return bFound;
}

} // namespace

// A repair writes no deletion and nothing outside the scanned roots: one such
// line refuses the whole archive before anything is written, and the message
// names the line.
TEST_F(AutoRestoreTest, LinesARepairNeverWritesRefuseTheWholeArchive)
{
    PlantKey(m_key.Key());
    testsupport::ScratchRegKey victim;
    HKEY hVictim = NULL;
    ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExW(victim.Key(), L"Keep", 0, NULL, 0, KEY_ALL_ACCESS, NULL, &hVictim, NULL));
    ::RegCloseKey(hVictim);
    std::wstring strBase = L"HKEY_CURRENT_USER\\" + m_key.Path();
    std::wstring strVictim = L"HKEY_CURRENT_USER\\" + victim.Path() + L"\\Keep";
    // Allowed lines first: none of them may be written either.
    std::wstring strGood = L"[" + strBase + L"\\Planted]\r\n\"New\"=\"value\"\r\n\r\n";
    struct Case
    {
        std::wstring strHostile;
        int nLine;
        std::wstring strLineText;
    };
    const std::vector<Case> cases = {
        {L"[-" + strVictim + L"]\r\n", 6, L"[-" + strVictim + L"]"},
        {L"[-" + strBase + L"\\Data]\r\n", 6, L"[-" + strBase + L"\\Data]"},
        {L"[" + strBase + L"\\Data]\r\n\"Path\"=-\r\n", 7, L"\"Path\"=-"},
        {L"[HKEY_LOCAL_MACHINE\\" + std::wstring(kRunKey) + L"]\r\n\"TamselRestoreX\"=\"C:\\\\windows\\\\system32\\\\calc.exe\"\r\n",
         6, L"[HKEY_LOCAL_MACHINE\\" + std::wstring(kRunKey) + L"]"},
        // Blanks before the bracket: the import reads the line all the same.
        {L"  \t[-" + strVictim + L"]\r\n", 6, L"  \t[-" + strVictim + L"]"},
        // A quoted text cut by a backslash at the line end: the import would
        // skip that line and apply the next one, so the check stops there.
        {L"[" + strBase + L"\\Data]\r\n\"A\"=\"x\\\r\n[-" + strVictim + L"]\r\n", 7, L"\"A\"=\"x\\"},
        // Only empty keys are repaired under HKEY_USERS.
        {L"[HKEY_USERS\\.DEFAULT\\TamselRestoreEmpty]\r\n\"X\"=\"1\"\r\n", 7, L"\"X\"=\"1\""},
    };
    std::wstring strBefore = m_folder.File(L"before.reg"), strAfter = m_folder.File(L"after.reg");
    ASSERT_EQ(0, RunWindowsProgram(L"reg.exe export \"" + strBase + L"\" \"" + strBefore + L"\" /y"));
    for (const Case& c : cases)
    {
        ASSERT_TRUE(WriteRegTextArchive(Archive(), Header() + strGood + c.strHostile));
        RestoreThroughPage();
        std::wstring strText = m_boxes.LastText();
        EXPECT_EQ(std::wstring::npos, strText.find(L"Restore OK!")) << Narrow(c.strHostile);
        EXPECT_NE(std::wstring::npos, strText.find(L"line " + std::to_wstring(c.nLine) + L" of")) << Narrow(strText);
        EXPECT_NE(std::wstring::npos, strText.find(c.strLineText)) << Narrow(strText);
        // Checked from outside: nothing of the archive reached the registry.
        ASSERT_EQ(0, RunWindowsProgram(L"reg.exe export \"" + strBase + L"\" \"" + strAfter + L"\" /y"));
        EXPECT_EQ(testsupport::ReadFileBytes(strBefore), testsupport::ReadFileBytes(strAfter)) << Narrow(c.strHostile);
        EXPECT_TRUE(regtest::KeyExists(HKEY_CURRENT_USER, victim.Path() + L"\\Keep")) << Narrow(c.strHostile);
        EXPECT_FALSE(RunValueExists(L"TamselRestoreX"));
        EXPECT_FALSE(regtest::KeyExists(HKEY_CURRENT_USER, m_key.Path() + L"\\Planted"));
        EXPECT_EQ(1u, FolderEntries(m_strBackups).size());
    }
    HKEY hRun = NULL;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kRunKey, 0, KEY_SET_VALUE, &hRun) == ERROR_SUCCESS)
    {
        ::RegDeleteValueW(hRun, L"TamselRestoreX");
        ::RegCloseKey(hRun);
    }
    ::SHDeleteKeyW(HKEY_USERS, L".DEFAULT\\TamselRestoreEmpty");
}

// The look-alikes a repair does write restore: class keys of any case, an
// empty key of a user hive.
TEST_F(AutoRestoreTest, KeysOfTheScannedRootsRestore)
{
    std::wstring strText = Header() + L"[hkey_classes_root\\.tamselrestore]\r\n@=\"TamselRestore.File\"\r\n\r\n" +
                           L"[HKEY_USERS\\.DEFAULT\\TamselRestoreEmpty]\r\n\r\n" + L"[HKEY_CURRENT_USER\\" + m_key.Path() +
                           L"\\Data]\r\n\"Path\"=\"C:\\\\x.exe\"\r\n";
    ASSERT_TRUE(WriteRegTextArchive(Archive(), strText));
    RestoreThroughPage();
    EXPECT_EQ(L"Restore OK!", m_boxes.LastText());
    EXPECT_EQ(0, RunWindowsProgram(L"reg.exe query \"HKEY_CLASSES_ROOT\\.tamselrestore\""));
    EXPECT_EQ(0, RunWindowsProgram(L"reg.exe query \"HKEY_USERS\\.DEFAULT\\TamselRestoreEmpty\""));
    EXPECT_TRUE(regtest::KeyExists(HKEY_CURRENT_USER, m_key.Path() + L"\\Data"));
    ::SHDeleteKeyW(HKEY_CLASSES_ROOT, L".tamselrestore");
    ::SHDeleteKeyW(HKEY_USERS, L".DEFAULT\\TamselRestoreEmpty");
}

// "Restore OK!" only when something came back and everything did.
TEST_F(AutoRestoreTest, NothingOrNotEverythingRestoredIsNoSuccess)
{
    ASSERT_TRUE(WriteRegTextArchive(Archive(), Header()));
    RestoreThroughPage();
    EXPECT_NE(L"Restore OK!", m_boxes.LastText());
    EXPECT_NE(std::wstring::npos, m_boxes.LastText().find(L"holds no registry entry and no shortcut"));

    std::wstring strValid = Header() + L"[HKEY_CURRENT_USER\\" + m_key.Path() + L"\\Data]\r\n\"Path\"=\"C:\\\\x.exe\"\r\n";
    ASSERT_TRUE(WriteRegTextArchive(Archive(), strValid, {{L"setup.exe", "MZ not ours"}}));
    RestoreThroughPage();
    EXPECT_NE(L"Restore OK!", m_boxes.LastText());
    EXPECT_NE(std::wstring::npos, m_boxes.LastText().find(L"setup.exe")) << Narrow(m_boxes.LastText());
    EXPECT_TRUE(regtest::KeyExists(HKEY_CURRENT_USER, m_key.Path() + L"\\Data"));
}

// A key the restore cannot make again is named with the reason: below a
// volatile key no lasting key can be made. The lasting key before it in
// the file comes back.
TEST_F(AutoRestoreTest, AKeyThatCannotBeMadeIsNamedWithItsReason)
{
    HKEY hVolatile = NULL;
    ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExW(m_key.Key(), L"Volatile", 0, NULL, REG_OPTION_VOLATILE, KEY_ALL_ACCESS,
                                               NULL, &hVolatile, NULL));
    ::RegCloseKey(hVolatile);
    std::wstring strGone = L"HKEY_CURRENT_USER\\" + m_key.Path() + L"\\Volatile\\Gone";
    std::wstring strText = Header() + L"[HKEY_CURRENT_USER\\" + m_key.Path() + L"\\Data]\r\n\"Path\"=\"C:\\\\x.exe\"\r\n\r\n[" +
                           strGone + L"]\r\n\"Path\"=\"C:\\\\y.exe\"\r\n\r\n";
    ASSERT_TRUE(WriteRegTextArchive(Archive(), strText));
    RestoreThroughPage();
    std::wstring strMessage = m_boxes.LastText();
    EXPECT_NE(std::wstring::npos, strMessage.find(strGone + L" could not be written: its parent key is volatile"))
        << Narrow(strMessage);
    EXPECT_NE(std::wstring::npos, strMessage.find(L"(error 1021)")) << Narrow(strMessage);
    EXPECT_TRUE(regtest::KeyExists(HKEY_CURRENT_USER, m_key.Path() + L"\\Data"));
    EXPECT_FALSE(regtest::KeyExists(HKEY_CURRENT_USER, m_key.Path() + L"\\Volatile\\Gone"));
}

TEST(ScanRoots, OnlyTheScannedKeysAndOnlyEmptyKeysOfUserHives)
{
    EXPECT_EQ(RegKeyWithValues, ScanRootAllowance(L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts"));
    EXPECT_EQ(RegKeyWithValues, ScanRootAllowance(L"HKEY_LOCAL_MACHINE\\software\\microsoft\\windows\\currentversion\\uninstall\\App"));
    EXPECT_EQ(RegKeyWithValues, ScanRootAllowance(L"HKEY_CLASSES_ROOT\\CLSID\\{1}\\InprocServer32"));
    EXPECT_EQ(RegKeyWithValues, ScanRootAllowance(L"HKEY_CURRENT_USER\\AppEvents\\Schemes\\Apps\\.Default"));
    EXPECT_EQ(RegKeyWithoutValues, ScanRootAllowance(L"HKEY_USERS\\S-1-5-21-1\\Software\\Empty"));
    // The other view's machine keys as older backups name them.
    EXPECT_EQ(RegKeyWithValues,
              ScanRootAllowance(L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\A"));
    EXPECT_EQ(RegKeyRefused,
              ScanRootAllowance(L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run"));
    for (const wchar_t* pszRefused :
         {L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", L"HKEY_LOCAL_MACHINE\\Software",
          L"HKEY_CURRENT_USER\\Software", L"HKEY_CURRENT_USER\\AppEvents\\Schemes\\AppsX",
          L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts\\\\x", L"HKEY_CLASSES_ROOT",
          L"HKEY_USERS", L"HKEY_CLASSES_ROOT\\", L" HKEY_CLASSES_ROOT\\.txt", L"HKEY_CURRENT_CONFIG\\Software"})
        EXPECT_EQ(RegKeyRefused, ScanRootAllowance(pszRefused)) << Narrow(pszRefused);
    // The scanners' own keys are the table's.
    EXPECT_GE(g_nScanRootCount, 15);
}

// The full restore checks with the same reader: a deletion behind blanks or
// of a value is refused as well.
TEST(FullBackupCheck, DeletionsAreRefusedWhereverTheyStand)
{
    testsupport::ScratchFolder folder;
    auto check = [&folder](const std::wstring& strBody) {
        std::string bytes = "\xFF\xFE";
        for (wchar_t ch : Header() + strBody)
            bytes += std::string{(char)(ch & 0xFF), (char)(ch >> 8)};
        std::wstring strFile = folder.File(L"full.reg");
        testsupport::WriteFileBytes(strFile, bytes);
        CString strProblem;
        return CFullBackupJob::CheckRegFile(strFile.c_str(), strProblem);
    };
    EXPECT_TRUE(check(L"[HKEY_LOCAL_MACHINE]\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\A]\r\n\"v\"=\"1\"\r\n[HKEY_USERS\\.DEFAULT]\r\n"));
    EXPECT_FALSE(check(L"[HKEY_LOCAL_MACHINE\\SOFTWARE\\A]\r\n  [-HKEY_USERS\\.DEFAULT\\Software]\r\n"));
    EXPECT_FALSE(check(L"[HKEY_LOCAL_MACHINE\\SOFTWARE\\A]\r\n\"v\"=-\r\n"));
    EXPECT_FALSE(check(L"[HKEY_CURRENT_USER\\Software\\A]\r\n"));
}

namespace {

std::string Utf16Bytes(const std::wstring& strText)
{
    std::string bytes = "\xFF\xFE";
    for (wchar_t ch : strText)
        bytes += std::string{(char)(ch & 0xFF), (char)(ch >> 8)};
    return bytes;
}

// The name of an archive's registry file of the view this process does not
// read by default.
std::wstring OtherViewEntryName()
{
    return std::wstring(L"AutoBackup") + kStamp + (CKeyReader::OtherView() == KEY_WOW64_32KEY ? L"_32.reg" : L"_64.reg");
}

// The text of reg.exe's export of a key, or the exit code when it has none.
std::string PeerExport(const testsupport::ScratchFolder& folder, const std::wstring& strKey)
{
    std::wstring strFile = folder.File(L"peer-export.reg");
    ::DeleteFileW(strFile.c_str());
    int nExit = RunWindowsProgram(L"reg.exe export \"" + strKey + L"\" \"" + strFile + L"\" /y");
    return nExit != 0 ? "exit " + std::to_string(nExit) : testsupport::ReadFileBytes(strFile);
}

// The default value of HKEY_CLASSES_ROOT\exefile\shell\open\command as this
// process reads it; empty when the key or value is missing.
regtest::Bytes ExeCommandValue()
{
    regtest::RawValue value;
    return regtest::GetRaw(HKEY_CLASSES_ROOT, L"exefile\\shell\\open\\command", L"", value) ? value.data : regtest::Bytes();
}

const wchar_t kPlantedService[] = L"HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\TamselPlanted";
const wchar_t kExeCommand[] = L"HKEY_CLASSES_ROOT\\exefile\\shell\\open\\command";

} // namespace

// A planted service and a re-pointed program start lie under roots a repair
// may write: the question names both before anything is written, and No
// leaves the registry as it was.
TEST_F(AutoRestoreTest, QuestionNamesPlantedServiceAndProgramCommandAndNoWritesNothing)
{
    std::wstring strText = Header() + L"[" + kExeCommand + L"]\r\n@=\"C:\\\\evil.exe \\\"%1\\\" %*\"\r\n\r\n[" +
                           kPlantedService +
                           L"]\r\n\"ImagePath\"=\"C:\\\\evil.exe\"\r\n\"Start\"=dword:00000002\r\n\"Type\"=dword:00000010\r\n";
    ASSERT_TRUE(WriteRegTextArchive(Archive(), strText));
    // The command is compared as this process reads it: reg.exe has been
    // seen to miss a class key once on a heavily loaded machine.
    regtest::Bytes commandBefore = ExeCommandValue();
    std::string serviceBefore = PeerExport(m_folder, kPlantedService);
    ASSERT_FALSE(commandBefore.empty()) << "the command key is there to compare";

    CAutoBackupPage page;
    CreatePage(page);
    SelectRow(page.m_list, 0);
    m_boxes.QueueAnswer(IDNO);
    Click(page, 1001);
    ASSERT_EQ(1u, m_boxes.Count());
    std::wstring strQuestion = m_boxes.LastText();
    EXPECT_EQ(0u, strQuestion.find(L"Would you like to restore the registry now?")) << Narrow(strQuestion);
    EXPECT_NE(std::wstring::npos, strQuestion.find(kPlantedService)) << Narrow(strQuestion);
    EXPECT_NE(std::wstring::npos, strQuestion.find(kExeCommand)) << Narrow(strQuestion);
    EXPECT_EQ(MB_YESNO, m_boxes.Boxes().back().nType & MB_TYPEMASK);

    EXPECT_EQ(commandBefore, ExeCommandValue());
    EXPECT_EQ(serviceBefore, PeerExport(m_folder, kPlantedService));
    EXPECT_FALSE(regtest::KeyExists(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Services\\TamselPlanted"));
    EXPECT_EQ(1u, FolderEntries(m_strBackups).size()) << "no work folder stays";
}

// Past a screenful the question counts the rest; a repair's own backup still
// restores with that one question.
TEST_F(AutoRestoreTest, ManyKeysAreCountedAndARepairBackupRestoresAfterOneYes)
{
    PlantKey(m_key.Key());
    std::wstring strBody;
    for (int i = 0; i < 20; i++)
        strBody += L"[HKEY_CURRENT_USER\\" + m_key.Path() + L"\\Many\\K" + (i < 10 ? L"0" : L"") + std::to_wstring(i) +
                   L"]\r\n\r\n";
    ASSERT_TRUE(WriteRegTextArchive(Archive(), Header() + strBody));
    CAutoBackupPage page;
    CreatePage(page);
    SelectRow(page.m_list, 0);
    m_boxes.QueueAnswer(IDNO);
    Click(page, 1001);
    std::wstring strQuestion = m_boxes.LastText();
    EXPECT_NE(std::wstring::npos, strQuestion.find(L"\\Many\\K00")) << Narrow(strQuestion);
    EXPECT_EQ(std::wstring::npos, strQuestion.find(L"\\Many\\K19")) << Narrow(strQuestion);
    EXPECT_NE(std::wstring::npos, strQuestion.find(L"... and 8 more keys")) << Narrow(strQuestion);
    EXPECT_FALSE(regtest::KeyExists(HKEY_CURRENT_USER, m_key.Path() + L"\\Many"));

    std::string before = ExportKeyText(m_strKey);
    std::wstring strShortcut = m_walked.Path() + L"Tool.lnk";
    ASSERT_TRUE(WriteAutoBackupArchive(Archive(), kStamp, {m_strKey}, {{L"Tool.lnk", "tool", strShortcut}}));
    ASSERT_EQ(ERROR_SUCCESS, ::SHDeleteKeyW(m_key.Key(), L"Data"));
    size_t nBefore = m_boxes.Count();
    RestoreThroughPage();
    ASSERT_EQ(nBefore + 2, m_boxes.Count());
    std::wstring strAsked = m_boxes.Boxes()[nBefore].strText;
    EXPECT_NE(std::wstring::npos, strAsked.find(m_strKey)) << Narrow(strAsked);
    EXPECT_NE(std::wstring::npos, strAsked.find(strShortcut)) << Narrow(strAsked);
    EXPECT_EQ(L"Restore OK!", m_boxes.LastText());
    EXPECT_EQ(before, ExportKeyText(m_strKey));
    EXPECT_EQ("tool", testsupport::ReadFileBytes(strShortcut));
}

// A key through the Wow6432Node mirror is judged and named as the key it
// writes: the 32-bit view's, where only the roots walked in both views count
// unless that view is the process's own.
TEST_F(AutoRestoreTest, MirrorKeysAreJudgedAndNamedAsTheKeyTheyWrite)
{
    // Every machine the suites run on has both views (64-bit Windows, or WOW64).
    ASSERT_TRUE(HasTwoRegistryViews()) << "this system has one registry view only";
    const std::wstring strAppPaths = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\tamselmirror.exe";
    std::wstring strMirror = L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\App Paths\\"
                             L"tamselmirror.exe";
    ASSERT_TRUE(WriteRegTextArchive(Archive(), Header() + L"[" + strMirror + L"]\r\n@=\"C:\\\\x.exe\"\r\n"));
    RegKeyTarget target = ResolveRegKeyTarget(strMirror.c_str(), 0);
    CAutoBackupRestore restore;
    ASSERT_TRUE(restore.Prepare(Archive().c_str(), m_strBackups.c_str()));
    ASSERT_EQ(1u, restore.m_keys.size());
    EXPECT_STREQ((L"HKEY_LOCAL_MACHINE\\" + strAppPaths).c_str(), restore.m_keys[0].m_strPath);
    EXPECT_EQ(target.m_samView, restore.m_keys[0].m_samView);
    restore.Discard();

    CAutoBackupPage page;
    CreatePage(page);
    SelectRow(page.m_list, 0);
    m_boxes.QueueAnswer(IDNO);
    Click(page, 1001);
    std::wstring strQuestion = m_boxes.LastText();
    EXPECT_NE(std::wstring::npos, strQuestion.find(L"HKEY_LOCAL_MACHINE\\" + strAppPaths)) << Narrow(strQuestion);
    EXPECT_EQ(std::wstring::npos, strQuestion.find(L"Wow6432Node")) << Narrow(strQuestion);
    EXPECT_FALSE(regtest::KeyExists(HKEY_LOCAL_MACHINE, strAppPaths));

    // Help files are walked in the process's own view only: a line is judged
    // by the view it writes, however it names the key. The 32-bit view's key
    // through the mirror of the own file, the 64-bit view's key through a file
    // of that view: one of the two is this process's own view, the other not.
    const std::wstring strHelp = L"SOFTWARE\\Microsoft\\Windows\\Help\\TamselMirror";
    struct HelpCase
    {
        std::wstring strEntry;   // the archive's registry file
        std::wstring strKey;     // the key line
        REGSAM samWrites;        // the view that line writes
    };
    const HelpCase cases[] = {
        {std::wstring(L"AutoBackup") + kStamp + L".reg",
         L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\Help\\TamselMirror", KEY_WOW64_32KEY},
        {std::wstring(L"AutoBackup") + kStamp + L"_64.reg", L"HKEY_LOCAL_MACHINE\\" + strHelp, KEY_WOW64_64KEY},
    };
    int nRefused = 0;
    for (const HelpCase& c : cases)
    {
        std::wstring strText = Header() + L"[" + c.strKey + L"]\r\n\"a.hlp\"=\"C:\\\\\"\r\n";
        std::string bytes = "\xFF\xFE";
        for (wchar_t ch : strText)
            bytes += std::string{(char)(ch & 0xFF), (char)(ch >> 8)};
        ZipHandle hZip = CreateZipArchive(Archive().c_str(), 0, ZipKindFile);
        ASSERT_NE(hZip, (ZipHandle)NULL);
        ASSERT_EQ(ZipOk, AddToZipArchive(hZip, c.strEntry.c_str(), bytes.data(), (DWORD)bytes.size(), ZipKindMemory));
        ASSERT_EQ(ZipOk, CloseZipWriter(hZip));
        bool bOwn = c.samWrites == OwnRegistryView();
        nRefused += bOwn ? 0 : 1;
        CAutoBackupRestore help;
        EXPECT_EQ(bOwn, help.Prepare(Archive().c_str(), m_strBackups.c_str()) != FALSE) << Narrow(c.strKey);
        EXPECT_EQ(!bOwn, help.m_bRefused != FALSE) << Narrow(c.strKey);
        if (bOwn)
        {
            ASSERT_EQ(1u, help.m_keys.size());
            EXPECT_STREQ((L"HKEY_LOCAL_MACHINE\\" + strHelp).c_str(), help.m_keys[0].m_strPath);
            EXPECT_EQ(c.samWrites, help.m_keys[0].m_samView);
        }
        help.Discard();
        EXPECT_EQ(bOwn, help.Restore(Archive().c_str(), m_strBackups.c_str()) != FALSE) << Narrow(c.strKey);
        HKEY hKey = NULL;
        LONG nOpen = ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, strHelp.c_str(), 0, KEY_READ | c.samWrites, &hKey);
        if (hKey != NULL)
            ::RegCloseKey(hKey);
        EXPECT_EQ(bOwn, nOpen == ERROR_SUCCESS) << Narrow(c.strKey);
        ::RegDeleteKeyExW(HKEY_LOCAL_MACHINE, strHelp.c_str(), c.samWrites, 0);
        EXPECT_EQ(1u, FolderEntries(m_strBackups).size());
    }
    EXPECT_EQ(1, nRefused);
}

// A file of the other view is judged in that view: Help keys are not walked
// there, Uninstall keys are (and are named with their view); the same Help
// key in the own view's file restores.
TEST_F(AutoRestoreTest, ViewFilesAreJudgedInTheirOwnView)
{
    // Every machine the suites run on has both views (64-bit Windows, or WOW64).
    ASSERT_TRUE(HasTwoRegistryViews()) << "this system has one registry view only";
    const std::wstring strHelp = L"SOFTWARE\\Microsoft\\Windows\\Help\\TamselViewTest";
    const std::wstring strUninstall = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\TamselViewTest";
    std::wstring strHelpText = Header() + L"[HKEY_LOCAL_MACHINE\\" + strHelp + L"]\r\n\"a.hlp\"=\"C:\\\\\"\r\n";
    std::wstring strUninstallText =
        Header() + L"[HKEY_LOCAL_MACHINE\\" + strUninstall + L"]\r\n\"DisplayName\"=\"View test\"\r\n";

    ASSERT_TRUE(WriteRegTextArchive(Archive(), Header(), {{OtherViewEntryName(), Utf16Bytes(strHelpText)}}));
    RestoreThroughPage();
    EXPECT_NE(std::wstring::npos, m_boxes.LastText().find(L"line 3 of " + OtherViewEntryName())) << Narrow(m_boxes.LastText());
    EXPECT_FALSE(regtest::KeyExists(HKEY_LOCAL_MACHINE, strHelp));
    HKEY hKey = NULL;
    EXPECT_NE(ERROR_SUCCESS, ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, strHelp.c_str(), 0, KEY_READ | CKeyReader::OtherView(), &hKey));

    ASSERT_TRUE(WriteRegTextArchive(Archive(), Header(), {{OtherViewEntryName(), Utf16Bytes(strUninstallText)}}));
    CAutoBackupRestore restore;
    ASSERT_TRUE(restore.Prepare(Archive().c_str(), m_strBackups.c_str()));
    ASSERT_EQ(1u, restore.m_keys.size());
    EXPECT_EQ(CKeyReader::OtherView(), restore.m_keys[0].m_samView);
    std::wstring strListed = FormatRestoreWrites(&m_app, restore.m_keys, 1, CStringArray()).GetString();
    EXPECT_NE(std::wstring::npos, strListed.find(strUninstall + (CKeyReader::OtherView() == KEY_WOW64_32KEY
                                                                     ? L" (32-bit view)"
                                                                     : L" (64-bit view)")))
        << Narrow(strListed);
    EXPECT_TRUE(restore.Write());
    EXPECT_FALSE(regtest::KeyExists(HKEY_LOCAL_MACHINE, strUninstall)) << "not in the own view";
    ASSERT_EQ(ERROR_SUCCESS, ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, strUninstall.c_str(), 0, KEY_READ | CKeyReader::OtherView(), &hKey));
    ::RegCloseKey(hKey);
    ::RegDeleteKeyExW(HKEY_LOCAL_MACHINE, strUninstall.c_str(), CKeyReader::OtherView(), 0);

    ASSERT_TRUE(WriteRegTextArchive(Archive(), strHelpText));
    RestoreThroughPage();
    EXPECT_EQ(L"Restore OK!", m_boxes.LastText());
    EXPECT_TRUE(regtest::KeyExists(HKEY_LOCAL_MACHINE, strHelp));
    ::SHDeleteKeyW(HKEY_LOCAL_MACHINE, strHelp.c_str());
}

// A refused line of a file written in UTF-8 is shown as it was written.
TEST_F(AutoRestoreTest, RefusedUtf8LineIsShownAsWritten)
{
    std::wstring strKey = L"[HKEY_LOCAL_MACHINE\\SOFTWARE\\Tamsel\x00dcn\x00efc\x00f6d\x00e9]";
    int nBytes = ::WideCharToMultiByte(CP_UTF8, 0, strKey.c_str(), (int)strKey.size(), NULL, 0, NULL, NULL);
    std::string key((size_t)nBytes, '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, strKey.c_str(), (int)strKey.size(), &key[0], nBytes, NULL, NULL);
    std::string text = "REGEDIT4\r\n\r\n" + key + "\r\n\"Run\"=\"calc.exe\"\r\n";
    ASSERT_TRUE(WriteRegTextArchive(Archive(), Header(), {{std::wstring(L"AutoBackup") + kStamp + L"b.reg", text}}));
    RestoreThroughPage();
    std::wstring strText = m_boxes.LastText();
    EXPECT_NE(std::wstring::npos, strText.find(L"line 3 of")) << Narrow(strText);
    EXPECT_NE(std::wstring::npos, strText.find(strKey)) << Narrow(strText);
}
