// The backup and repair road without the result tree: planted registry
// entries and shortcut files go through the repair lists, the automatic
// backup and the repair, and come back from the archive byte for byte.
#include "tests/repair/RepairTestSupport.h"
#include "tests/services_registry/RegTestUtil.h"
#include "repair/AutoBackup.h"
#include "repair/AutoBackupRestore.h"
#include "repair/RepairDlg.h"
#include "services/RegFile.h"
#include "services/ZipReader.h"
#include "services/ZipWriter.h"

#include <shlwapi.h>

using namespace repairtest;
using regtest::CreateKey;
using regtest::KeyExists;
using regtest::SetText;

namespace {

// Below a root the scanners walk, so that its backups may be restored.
const wchar_t kBase[] = L"AppEvents\\Schemes\\Apps\\TamselRepairTest";
const wchar_t kHkcu[] = L"HKEY_CURRENT_USER";
const wchar_t kNonAnsiValue[] = L"Non-ANSI \x4E2D\x6587";

bool ValueExists(const std::wstring& strKey, LPCWSTR pszName)
{
    HKEY hKey = NULL;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, strKey.c_str(), 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return false;
    bool bExists = RegQueryValueExW(hKey, pszName, NULL, NULL, NULL, NULL) == ERROR_SUCCESS;
    RegCloseKey(hKey);
    return bExists;
}

// Wine's "reg export" of a key into a file; the file's bytes, empty on failure.
std::string RegExport(const std::wstring& strKeyPath, const std::wstring& strFile)
{
    DeleteFileW(strFile.c_str());
    int nExit = RunWindowsProgram(L"reg.exe export \"" + strKeyPath + L"\" \"" + strFile + L"\" /y");
    if (nExit != 0)
        return std::string();
    return testsupport::ReadFileBytes(strFile);
}

bool ExtractEntry(const CString& strArchive, const std::wstring& strName, const std::wstring& strTarget)
{
    ZipHandle hZip = OpenZipArchive((LPCWSTR)strArchive, 0, ZipKindFile);
    if (hZip == NULL)
        return false;
    int nIndex = -1;
    ZipArchiveEntry entry = {};
    bool bOk = FindZipArchiveItem(hZip, strName.c_str(), FALSE, &nIndex, &entry) == ZipOk &&
               ExtractZipArchiveItem(hZip, nIndex, strTarget.c_str(), 0, ZipKindFile) == ZipOk;
    CloseZipReader(hZip);
    return bOk;
}

class RepairRoadTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetApp(m_folder.Path());
        SHDeleteKeyW(HKEY_CURRENT_USER, kBase);
        m_pApp = App();
        // The lines that say why a key stays come from the language file.
        m_strLangFile = m_pApp->m_strLangFile;
        m_pApp->m_strLangFile = EnglishIniPath().c_str();
    }
    void TearDown() override
    {
        m_pApp->m_strLangFile = m_strLangFile;
        SetAutoBackupHooks(NULL, NULL);
        SHDeleteKeyW(HKEY_CURRENT_USER, kBase);
        WritePrivateProfileStringW(NULL, NULL, NULL, m_pApp->m_strSettingsFile);
    }

    std::wstring Key(const std::wstring& strSub) const { return std::wstring(kBase) + L"\\" + strSub; }
    std::wstring Full(const std::wstring& strSub) const { return std::wstring(kHkcu) + L"\\" + Key(strSub); }
    std::wstring BackupFolder() const { return m_folder.File(L"AutoBackup"); }

    void AddRepair(int nCategory, const CRegProblem& problem) { RepairListOf(m_pApp, nCategory).Add(problem); }

    // Values of every kind, a key with subkeys, and a survivor beside them.
    void PlantRegistry()
    {
        HKEY hValues = CreateKey(HKEY_CURRENT_USER, Key(L"Values"));
        ASSERT_NE(hValues, (HKEY)NULL);
        EXPECT_TRUE(SetText(hValues, L"", L"default data"));
        EXPECT_TRUE(SetText(hValues, L"Text LF", L"line one\nline two"));
        std::vector<BYTE> big(20000);
        for (size_t i = 0; i < big.size(); i++)
            big[i] = (BYTE)(i * 7 + 3);
        EXPECT_EQ(RegSetValueExW(hValues, L"Big", 0, REG_BINARY, big.data(), (DWORD)big.size()), ERROR_SUCCESS);
        EXPECT_TRUE(SetText(hValues, L"Quote\"Back\\slash", L"q\"\\"));
        EXPECT_TRUE(SetText(hValues, kNonAnsiValue, L"\x00E9t\x00E9 \x4E2D"));
        DWORD dw = 0x12345678;
        EXPECT_EQ(RegSetValueExW(hValues, L"Number", 0, REG_DWORD, (const BYTE*)&dw, 4), ERROR_SUCCESS);
        RegCloseKey(hValues);

        HKEY hTree = CreateKey(HKEY_CURRENT_USER, Key(L"Tree\\Sub A\\Deeper"));
        EXPECT_TRUE(SetText(hTree, L"deep", L"d"));
        RegCloseKey(hTree);
        hTree = CreateKey(HKEY_CURRENT_USER, Key(L"Tree\\Sub B"));
        EXPECT_TRUE(SetText(hTree, L"", L"b"));
        RegCloseKey(hTree);

        HKEY hOther = CreateKey(HKEY_CURRENT_USER, Key(L"Other"));
        EXPECT_TRUE(SetText(hOther, L"Keep", L"stays"));
        RegCloseKey(hOther);
    }

    void ChooseRegistryRecords()
    {
        CString strValues = Key(L"Values").c_str();
        AddRepair(1, ValueProblem(kHkcu, strValues, L"Text LF"));
        AddRepair(2, ValueProblem(kHkcu, strValues, L""));
        AddRepair(3, ValueProblem(kHkcu, strValues, L"Big"));
        AddRepair(9, ValueProblem(kHkcu, strValues, L"Quote\"Back\\slash"));
        AddRepair(10, ValueProblem(kHkcu, strValues, kNonAnsiValue));
        // The same key twice, in another letter case: exported once.
        CString strUpper = strValues;
        strUpper.MakeUpper();
        AddRepair(13, ValueProblem(L"hkey_current_user", strUpper, L"Number"));
        AddRepair(15, KeyProblem(kHkcu, Key(L"Tree").c_str()));
    }

    // Two shortcuts of one name in two folders (one read-only) and one
    // whose name is not in the ANSI code page.
    std::vector<std::wstring> PlantShortcuts()
    {
        CreateDirectoryW(m_links.File(L"one").c_str(), NULL);
        CreateDirectoryW(m_links.File(L"two").c_str(), NULL);
        std::vector<std::wstring> paths = { m_links.File(L"one\\Link.lnk"), m_links.File(L"two\\link.lnk"),
                                            m_links.File(L"two\\\x4E2D\x6587.lnk") };
        for (size_t i = 0; i < paths.size(); i++)
            EXPECT_TRUE(testsupport::WriteFileBytes(paths[i], std::string("shortcut ") + char('A' + i)));
        SetFileAttributesW(paths[1].c_str(), FILE_ATTRIBUTE_READONLY);
        for (const std::wstring& strPath : paths)
            AddRepair(SHORTCUT_CATEGORY, ShortcutProblem(strPath.c_str()));
        return paths;
    }

    testsupport::ScratchFolder m_folder;
    testsupport::ScratchFolder m_links;
    testsupport::ScratchFolder m_exports;
    CTamselApp* m_pApp = NULL;
    CString m_strLangFile;
};

} // namespace

TEST_F(RepairRoadTest, BacksUpRepairsAndRestoresEveryEntry)
{
    PlantRegistry();
    ChooseRegistryRecords();
    std::vector<std::wstring> links = PlantShortcuts();
    std::string beforeValues = RegExport(Full(L"Values"), m_exports.File(L"values-before.reg"));
    std::string beforeTree = RegExport(Full(L"Tree"), m_exports.File(L"tree-before.reg"));
    ASSERT_FALSE(beforeValues.empty()) << "reg export failed";

    CAutoBackup backup;
    ASSERT_TRUE(WriteAutoBackup(m_pApp, backup)) << backup.m_strError.Str();
    RecordingLog log;
    int nCleaned[TAMSEL_CATEGORY_COUNT];
    RepairSelectedProblems(m_pApp, backup, log, nCleaned);

    // Removed: the chosen values, the key with its subkeys, the files.
    for (LPCWSTR pszName : { L"", L"Text LF", L"Big", L"Quote\"Back\\slash", kNonAnsiValue, L"Number" })
        EXPECT_FALSE(ValueExists(Key(L"Values"), pszName)) << pszName;
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, Key(L"Tree")));
    EXPECT_TRUE(ValueExists(Key(L"Other"), L"Keep"));
    for (const std::wstring& strPath : links)
        EXPECT_EQ(GetFileAttributesW(strPath.c_str()), INVALID_FILE_ATTRIBUTES);
    int nExpected[TAMSEL_CATEGORY_COUNT] = { 1, 1, 1, 0, 0, 0, 0, 3, 1, 1, 0, 0, 1, 0, 1 };
    for (int i = 0; i < TAMSEL_CATEGORY_COUNT; i++)
        EXPECT_EQ(nCleaned[i], nExpected[i]) << "category " << i + 1;
    ASSERT_FALSE(log.m_log.empty());
    EXPECT_EQ(log.m_log[0], L"Fixed Success: " + Full(L"Values") + L" | Text LF : x");
    EXPECT_EQ(log.m_log[1], L"Fixed Success: " + Full(L"Values") + L" |  : x");
    // The shortcuts come last, one line each, as a removed key's: the path.
    ASSERT_GE(log.m_log.size(), 4u);
    std::vector<std::wstring> tail(log.m_log.end() - 4, log.m_log.end());
    std::vector<std::wstring> expectedTail = { L"Fixed Success: " + Full(L"Tree"), L"Fixed Success: " + links[0],
                                               L"Fixed Success: " + links[1], L"Fixed Success: " + links[2] };
    EXPECT_EQ(tail, expectedTail);
    EXPECT_EQ(log.m_status.back(), L"Fixed Success: " + links[2]);

    // One archive and nothing loose beside it; entries in their order.
    CString strStampName = L"AutoBackup" + backup.m_strStamp;
    std::vector<std::wstring> files = FolderFiles(BackupFolder());
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0], (strStampName + L".zip").Str());
    std::vector<std::wstring> expected = { (strStampName + L".reg").Str(), L"Link.lnk", L"link (2).lnk",
                                           L"\x4E2D\x6587.lnk", L"ShortCuts.txt" };
    EXPECT_EQ(ArchiveNames(backup.m_strArchive), expected);
    std::wstring strList = m_exports.File(L"ShortCuts.txt");
    ASSERT_TRUE(ExtractEntry(backup.m_strArchive, L"ShortCuts.txt", strList));
    std::wstring strText = L"\xFEFF" + links[0] + L"\n" + links[1] + L"\n" + links[2] + L"\n";
    EXPECT_EQ(testsupport::ReadFileBytes(strList), std::string((const char*)strText.c_str(), strText.size() * 2));

    // The registry file gives every entry back, through our importer...
    std::wstring strReg = m_exports.File(L"restore.reg");
    ASSERT_TRUE(ExtractEntry(backup.m_strArchive, (strStampName + L".reg").Str(), strReg));
    CRegFile importer;
    EXPECT_EQ(importer.ImportFile(strReg.c_str()), (DWORD)ERROR_SUCCESS);
    EXPECT_EQ(RegExport(Full(L"Values"), m_exports.File(L"values-ours.reg")), beforeValues);
    EXPECT_EQ(RegExport(Full(L"Tree"), m_exports.File(L"tree-ours.reg")), beforeTree);

    // ...and through Wine's regedit.
    SHDeleteKeyW(HKEY_CURRENT_USER, Key(L"Values").c_str());
    SHDeleteKeyW(HKEY_CURRENT_USER, Key(L"Tree").c_str());
    int nRegedit = RunWindowsProgram(L"regedit.exe /S \"" + strReg + L"\"");
    if (nRegedit == -1)
    {
        if (RequirePeers())
            ADD_FAILURE() << "regedit.exe could not be started";
    }
    else
    {
        EXPECT_EQ(RegExport(Full(L"Values"), m_exports.File(L"values-regedit.reg")), beforeValues);
        EXPECT_EQ(RegExport(Full(L"Tree"), m_exports.File(L"tree-regedit.reg")), beforeTree);
    }

    // The shortcut files come back with their bytes.
    std::wstring strLink = m_exports.File(L"link2.lnk");
    ASSERT_TRUE(ExtractEntry(backup.m_strArchive, L"link (2).lnk", strLink));
    EXPECT_EQ(testsupport::ReadFileBytes(strLink), "shortcut B");

    // Peers: unzip tests the archive; Python lists it.
    if (PeerAvailable("unzip"))
    {
        std::string strCommand = "unzip -tq '" + UnixPathOf(backup.m_strArchive.Str()) + "'";
        EXPECT_EQ(testsupport::RunHostCommand(strCommand), 0) << strCommand;
    }
    if (PeerAvailable("python3"))
    {
        std::string strOut;
        int nExit = RunPython(
            "import sys, zipfile\n"
            "for i in zipfile.ZipFile(sys.argv[1]).infolist():\n"
            "    print('%s|%d|%d' % (i.filename.encode('utf-8').hex(), (i.flag_bits >> 11) & 1, i.is_dir()))\n",
            { backup.m_strArchive.Str() }, strOut);
        EXPECT_EQ(nExit, 0) << strOut;
        std::string strExpected;
        for (const std::wstring& strName : expected)
        {
            std::string strUtf8 = CString(strName.c_str()).ToUtf8(), strHex;
            for (unsigned char c : strUtf8)
            {
                char sz[3];
                wsprintfA(sz, "%02x", c);
                strHex += sz;
            }
            bool bAnsi = strName.find(L'\x4E2D') == std::wstring::npos;
            strExpected += strHex + (bAnsi ? "|0|0\n" : "|1|0\n");
        }
        EXPECT_EQ(strOut, strExpected);
    }
}

TEST_F(RepairRoadTest, StatisticsReadBackWithPeersAndProfileFunctions)
{
    int nErrors[TAMSEL_CATEGORY_COUNT], nCleaned[TAMSEL_CATEGORY_COUNT];
    for (int i = 0; i < TAMSEL_CATEGORY_COUNT; i++)
    {
        nErrors[i] = i + 10;
        nCleaned[i] = i;
    }
    ASSERT_TRUE(WriteScanStatistics(m_pApp, L"20240229235958", nErrors, nCleaned));
    EXPECT_EQ(m_pApp->m_strLastScanTime, L"20240229235958");
    EXPECT_EQ(m_pApp->m_nErrors[14], 24);
    EXPECT_EQ(m_pApp->m_nCleaned[7], 7);
    WritePrivateProfileStringW(NULL, NULL, NULL, m_pApp->m_strSettingsFile);
    EXPECT_EQ(GetPrivateProfileIntW(L"ScanLog", L"Error15", -1, m_pApp->m_strSettingsFile), 24u);
    EXPECT_EQ(GetPrivateProfileIntW(L"ScanLog", L"Cleaned1", -1, m_pApp->m_strSettingsFile), 0u);
    if (PeerAvailable("python3"))
    {
        std::string strOut;
        int nExit = RunPython(
            "import sys, configparser\n"
            "raw = open(sys.argv[1], 'rb').read()\n"
            "text = raw.decode('utf-16') if raw[:2] in (b'\\xff\\xfe', b'\\xfe\\xff') else raw.decode('utf-8-sig')\n"
            "cp = configparser.ConfigParser()\n"
            "cp.optionxform = str\n"
            "cp.read_string(text)\n"
            "s = cp['ScanLog']\n"
            "print(s['LastScanTime'], s['Error1'], s['Error15'], s['Cleaned1'], s['Cleaned15'])\n",
            { m_pApp->m_strSettingsFile.Str() }, strOut);
        EXPECT_EQ(nExit, 0) << strOut;
        EXPECT_EQ(strOut, "20240229235958 10 24 0 14\n");
    }
}

// Records that cannot be trusted are neither exported nor deleted nor counted.
TEST_F(RepairRoadTest, RefusesRecordsThatNameTheWrongKey)
{
    const std::wstring strVictim = L"Software\\TamselRepairTestVictim";
    HKEY hVictim = CreateKey(HKEY_LOCAL_MACHINE, strVictim);
    ASSERT_NE(hVictim, (HKEY)NULL);
    SetText(hVictim, L"v", L"planted in HKLM");
    RegCloseKey(hVictim);
    HKEY hA = CreateKey(HKEY_CURRENT_USER, Key(L"A"));
    SetText(hA, L"a", L"1");
    RegCloseKey(hA);
    HKEY hB = CreateKey(HKEY_CURRENT_USER, Key(L"B"));
    SetText(hB, L"b", L"2");
    RegCloseKey(hB);

    AddRepair(1, ValueProblem(L"HKCU", strVictim.c_str(), L"v"));
    AddRepair(2, KeyProblem(L"HKEY_CURRENT_CONFIG", strVictim.c_str()));
    CRegProblem disagreeing = KeyProblem(kHkcu, Key(L"A").c_str());
    disagreeing.m_strKeyPath = Full(L"B").c_str();
    AddRepair(3, disagreeing);
    CRegProblem empty = KeyProblem(kHkcu, L"");
    AddRepair(4, empty);
    AddRepair(5, KeyProblem(kHkcu, Key(L"Missing").c_str()));
    AddRepair(6, ValueProblem(kHkcu, Key(L"B").c_str(), L"b", L"2"));

    CAutoBackup backup;
    ASSERT_TRUE(backup.Write(m_pApp)) << backup.m_strError.Str();
    RecordingLog log;
    int nCleaned[TAMSEL_CATEGORY_COUNT];
    RepairSelectedProblems(m_pApp, backup, log, nCleaned);

    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, strVictim));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, Key(L"A")));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, Key(L"B")));
    EXPECT_FALSE(ValueExists(Key(L"B"), L"b"));
    int nTotal = 0;
    for (int n : nCleaned)
        nTotal += n;
    EXPECT_EQ(nTotal, 1);
    EXPECT_EQ(nCleaned[5], 1);
    std::vector<std::wstring> expected = {
        L"Fix Unsuccess: HKCU\\" + strVictim + L" | v : x",
        L"Fix Unsuccess: HKEY_CURRENT_CONFIG\\" + strVictim,
        L"Fix Unsuccess: " + Full(L"B"),
        L"Fix Unsuccess: HKEY_CURRENT_USER\\",
        L"Fix Unsuccess: " + Full(L"Missing"),
        L"Fixed Success: " + Full(L"B") + L" | b : 2" };
    EXPECT_EQ(log.m_log, expected);
    EXPECT_EQ(log.m_status[0], L"Fixed Unsuccess: HKCU\\" + strVictim + L" | v : x");

    // Only the trusted key went into the registry file.
    std::wstring strReg = m_exports.File(L"refusals.reg");
    ASSERT_TRUE(ExtractEntry(backup.m_strArchive, (L"AutoBackup" + backup.m_strStamp + L".reg").Str(), strReg));
    std::string bytes = testsupport::ReadFileBytes(strReg);
    std::wstring strText((const wchar_t*)bytes.data(), bytes.size() / 2);
    EXPECT_NE(strText.find(L"[" + Full(L"B") + L"]"), std::wstring::npos);
    EXPECT_EQ(strText.find(L"Victim"), std::wstring::npos);
    EXPECT_EQ(strText.find(L"\\A]"), std::wstring::npos);
    SHDeleteKeyW(HKEY_LOCAL_MACHINE, strVictim.c_str());
}

namespace {

// The text of an archive's own-view registry entry, empty when it has none.
std::wstring RegEntryText(const CAutoBackup& backup, const std::wstring& strFile)
{
    if (!ExtractEntry(backup.m_strArchive, (L"AutoBackup" + backup.m_strStamp + L".reg").Str(), strFile))
        return std::wstring();
    bool bBom = false;
    return regtest::ReadRegText(strFile, bBom);
}

} // namespace

// A fault key holding a link to a precious tree, a fault key that is itself
// such a link, and a plain look-alike with a real subkey of the same name:
// the look-alike goes, the two faults stay with a line that says why, and
// the tree the links point to is the same after the repair and after the
// backup is written back, byte for byte.
TEST_F(RepairRoadTest, FaultsHoldingALinkStayAndTheLinkedTreeIsIntact)
{
    HKEY hKey = CreateKey(HKEY_CURRENT_USER, Key(L"Precious\\Child"));
    ASSERT_NE(hKey, (HKEY)NULL);
    SetText(hKey, L"n", L"child data");
    RegCloseKey(hKey);
    hKey = CreateKey(HKEY_CURRENT_USER, Key(L"Precious"));
    SetText(hKey, L"v", L"precious data");
    RegCloseKey(hKey);
    const std::wstring strTarget = regtest::NtPathOf(HKEY_CURRENT_USER, Key(L"Precious"));
    ASSERT_FALSE(strTarget.empty());
    hKey = CreateKey(HKEY_CURRENT_USER, Key(L"Fault"));
    SetText(hKey, L"UninstallString", L"C:\\Gone\\uninstall.exe");
    RegCloseKey(hKey);
    ASSERT_TRUE(regtest::CreateLinkKey(HKEY_CURRENT_USER, Key(L"Fault\\Data"), strTarget));
    ASSERT_TRUE(regtest::CreateLinkKey(HKEY_CURRENT_USER, Key(L"Alias"), strTarget));
    hKey = CreateKey(HKEY_CURRENT_USER, Key(L"Plain\\Data"));
    SetText(hKey, L"d", L"plain data");
    RegCloseKey(hKey);
    AddRepair(5, KeyProblem(kHkcu, Key(L"Fault").c_str()));
    AddRepair(5, KeyProblem(kHkcu, Key(L"Alias").c_str()));
    AddRepair(5, KeyProblem(kHkcu, Key(L"Plain").c_str()));
    const std::string before = RegExport(Full(L"Precious"), m_exports.File(L"precious-before.reg"));
    const std::string plainBefore = RegExport(Full(L"Plain"), m_exports.File(L"plain-before.reg"));
    ASSERT_FALSE(before.empty()) << "reg export failed";

    CAutoBackup backup;
    ASSERT_TRUE(WriteAutoBackup(m_pApp, backup)) << backup.m_strError.Str();
    RecordingLog log;
    int nCleaned[TAMSEL_CATEGORY_COUNT];
    RepairSelectedProblems(m_pApp, backup, log, nCleaned);

    EXPECT_EQ(RegExport(Full(L"Precious"), m_exports.File(L"precious-repaired.reg")), before);
    EXPECT_TRUE(regtest::IsLinkKey(HKEY_CURRENT_USER, Key(L"Fault\\Data")));
    EXPECT_TRUE(ValueExists(Key(L"Fault"), L"UninstallString"));
    EXPECT_TRUE(regtest::IsLinkKey(HKEY_CURRENT_USER, Key(L"Alias")));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, Key(L"Plain")));
    EXPECT_EQ(nCleaned[4], 1);
    const std::wstring strWhy = L" holds a registry link, which the backup cannot make again.";
    std::vector<std::wstring> expected = {
        L"Fix Unsuccess: " + Full(L"Fault"), L"Kept: " + Full(L"Fault") + strWhy,
        L"Fix Unsuccess: " + Full(L"Alias"), L"Kept: " + Full(L"Alias") + strWhy,
        L"Fixed Success: " + Full(L"Plain") };
    EXPECT_EQ(log.m_log, expected);

    // The backup holds no byte of the linked tree under a link's name.
    std::wstring strReg = m_exports.File(L"links.reg");
    std::wstring strText = RegEntryText(backup, strReg);
    EXPECT_NE(strText.find(L"[" + Full(L"Fault") + L"]"), std::wstring::npos);
    EXPECT_NE(strText.find(L"[" + Full(L"Plain") + L"\\Data]"), std::wstring::npos);
    EXPECT_EQ(strText.find(L"\\Fault\\Data"), std::wstring::npos);
    EXPECT_EQ(strText.find(L"Alias"), std::wstring::npos);
    EXPECT_EQ(strText.find(L"precious data"), std::wstring::npos);

    // Written back as a restore does: checked first, then imported.
    int nLine = 0;
    CString strLine;
    std::vector<CRestoreKey> keys;
    EXPECT_TRUE(CheckAutoBackupRegFile(strReg.c_str(), 0, nLine, strLine, keys)) << nLine << " " << strLine.ToUtf8();
    CRegFile importer;
    EXPECT_EQ(importer.ImportFile(strReg.c_str()), (DWORD)ERROR_SUCCESS);
    EXPECT_EQ(RegExport(Full(L"Plain"), m_exports.File(L"plain-restored.reg")), plainBefore);
    EXPECT_EQ(RegExport(Full(L"Precious"), m_exports.File(L"precious-restored.reg")), before);
    EXPECT_TRUE(regtest::IsLinkKey(HKEY_CURRENT_USER, Key(L"Fault\\Data")));
    EXPECT_TRUE(regtest::IsLinkKey(HKEY_CURRENT_USER, Key(L"Alias")));
    regtest::DeleteLinkKey(HKEY_CURRENT_USER, Key(L"Fault\\Data"));
    regtest::DeleteLinkKey(HKEY_CURRENT_USER, Key(L"Alias"));
}

// Volatile keys stay, with a line that says why, whichever branch of the
// repair reaches them (the own view and a view record); lasting keys of the
// same shape go.
TEST_F(RepairRoadTest, VolatileKeysStayAndLastingLookAlikesGo)
{
    // Lasting keys first: a volatile key would make the missing parents volatile too.
    for (LPCWSTR pszName : { L"Lasting\\Child", L"LastingView\\Child" })
    {
        HKEY hKey = CreateKey(HKEY_CURRENT_USER, Key(pszName));
        ASSERT_NE(hKey, (HKEY)NULL);
        RegCloseKey(hKey);
    }
    for (LPCWSTR pszName : { L"Volatile", L"VolatileView" })
    {
        HKEY hVolatile = NULL, hChild = NULL;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, Key(pszName).c_str(), 0, NULL, REG_OPTION_VOLATILE,
                                                 KEY_ALL_ACCESS, NULL, &hVolatile, NULL));
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(hVolatile, L"Child", 0, NULL, REG_OPTION_VOLATILE, KEY_ALL_ACCESS,
                                                 NULL, &hChild, NULL));
        RegCloseKey(hChild);
        RegCloseKey(hVolatile);
    }
    AddRepair(15, KeyProblem(kHkcu, Key(L"Volatile").c_str()));
    AddRepair(15, KeyProblem(kHkcu, Key(L"Lasting").c_str()));
    for (LPCWSTR pszName : { L"VolatileView", L"LastingView" })
    {
        CRegProblem problem = KeyProblem(kHkcu, Key(pszName).c_str());
        problem.m_samView = KEY_WOW64_32KEY;
        AddRepair(15, problem);
    }

    CAutoBackup backup;
    ASSERT_TRUE(WriteAutoBackup(m_pApp, backup)) << backup.m_strError.Str();
    RecordingLog log;
    int nCleaned[TAMSEL_CATEGORY_COUNT];
    RepairSelectedProblems(m_pApp, backup, log, nCleaned);

    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, Key(L"Volatile\\Child")));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, Key(L"VolatileView\\Child")));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, Key(L"Lasting")));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, Key(L"LastingView")));
    EXPECT_EQ(nCleaned[14], 2);
    const std::wstring strWhy = L" is a volatile key, kept in memory only, which no restore could make again.";
    std::vector<std::wstring> expected = {
        L"Fix Unsuccess: " + Full(L"Volatile"), L"Kept: " + Full(L"Volatile") + strWhy,
        L"Fixed Success: " + Full(L"Lasting"),
        L"Fix Unsuccess: " + Full(L"VolatileView"), L"Kept: " + Full(L"VolatileView") + strWhy,
        L"Fixed Success: " + Full(L"LastingView") };
    EXPECT_EQ(log.m_log, expected);
}

// A key right below a root stays in either branch of the repair, with a
// line that says why, though the backup holds it.
TEST_F(RepairRoadTest, AKeyRightBelowARootStays)
{
    AddRepair(15, KeyProblem(kHkcu, L"AppEvents"));
    CRegProblem problem = KeyProblem(kHkcu, L"AppEvents");
    problem.m_samView = KEY_WOW64_64KEY;
    AddRepair(15, problem);
    CAutoBackup backup;
    ASSERT_TRUE(WriteAutoBackup(m_pApp, backup)) << backup.m_strError.Str();
    ASSERT_TRUE(backup.IsKeyCovered(L"HKEY_CURRENT_USER\\AppEvents"));
    RecordingLog log;
    int nCleaned[TAMSEL_CATEGORY_COUNT];
    RepairSelectedProblems(m_pApp, backup, log, nCleaned);
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, L"AppEvents\\Schemes"));
    EXPECT_EQ(nCleaned[14], 0);
    const std::wstring strLine = L"Kept: HKEY_CURRENT_USER\\AppEvents is a root or the key of a registry hive, which is never deleted.";
    std::vector<std::wstring> expected = { L"Fix Unsuccess: HKEY_CURRENT_USER\\AppEvents", strLine,
                                           L"Fix Unsuccess: HKEY_CURRENT_USER\\AppEvents", strLine };
    EXPECT_EQ(log.m_log, expected);
}

namespace {
ZipResult CloseFails(ZipHandle hZip)
{
    CloseZipWriter(hZip);
    return ZipErrWrite;
}

void DamageArchive(const CString& strArchive)
{
    std::string bytes = testsupport::ReadFileBytes(strArchive.Str());
    // Inside the first entry's packed data.
    if (bytes.size() > 120)
        bytes[100] = (char)(bytes[100] ^ 0x5A);
    testsupport::WriteFileBytes(strArchive.Str(), bytes);
}
} // namespace

// A backup that is not known good: nothing repaired, nothing left behind,
// no statistics.
TEST_F(RepairRoadTest, NothingIsRepairedWithoutAGoodBackup)
{
    PlantRegistry();
    ChooseRegistryRecords();
    std::vector<std::wstring> links = PlantShortcuts();
    struct Case
    {
        const char* pszName;
        AUTOBACKUP_CLOSE_HOOK pfnClose;
        AUTOBACKUP_CLOSED_HOOK pfnClosed;
        bool bBlockFolder;
        const wchar_t* pszReason;
    };
    const Case cases[] = {
        { "file in the way", NULL, NULL, true, L"the folder" },
        { "close fails", CloseFails, NULL, false, L"cannot be closed" },
        { "archive damaged", NULL, DamageArchive, false, L"does not extract as added" },
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.pszName);
        if (c.bBlockFolder)
            testsupport::WriteFileBytes(BackupFolder(), "not a folder");
        SetAutoBackupHooks(c.pfnClose, c.pfnClosed);
        RecordingLog log;
        RepairJob job;
        job.pApp = m_pApp;
        job.pLog = &log;
        job.hWndNotify = NULL;
        job.bRepaired = FALSE;
        RepairThreadProc(&job);
        EXPECT_FALSE(job.bRepaired);
        ASSERT_EQ(log.m_log.size(), 2u);
        EXPECT_EQ(log.m_log[0], L"Creating backup...");
        EXPECT_EQ(log.m_log[1].find(L"Backup failed: "), 0u);
        EXPECT_NE(log.m_log[1].find(c.pszReason), std::wstring::npos) << log.m_log[1];
        EXPECT_EQ(log.m_log[1].substr(log.m_log[1].size() - 23), L". Nothing was repaired.");
        EXPECT_TRUE(ValueExists(Key(L"Values"), L"Text LF"));
        EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, Key(L"Tree\\Sub A\\Deeper")));
        for (const std::wstring& strPath : links)
            EXPECT_NE(GetFileAttributesW(strPath.c_str()), INVALID_FILE_ATTRIBUTES);
        if (c.bBlockFolder)
            DeleteFileW(BackupFolder().c_str());
        else
            EXPECT_TRUE(FolderFiles(BackupFolder()).empty());
        EXPECT_TRUE(m_pApp->m_strLastScanTime.IsEmpty());
    }
    SetFileAttributesW(links[1].c_str(), FILE_ATTRIBUTE_NORMAL);
    MSG msg;
    while (PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE))
    {
    }
}

namespace {
// Flips a byte in the packed data of the last registry entry of a view.
void DamageViewEntry(const CString& strArchive)
{
    std::string bytes = testsupport::ReadFileBytes(strArchive.Str());
    size_t nName = bytes.find("_64.reg");
    // The local header's name comes first; its data follows the name and a
    // 17-byte time field.
    const size_t nData = nName + 7 + 17 + 6;
    if (nName != std::string::npos && nData < bytes.size())
        bytes[nData] = (char)(bytes[nData] ^ 0x5A);
    testsupport::WriteFileBytes(strArchive.Str(), bytes);
}
} // namespace

// Keys of either view flag go into an entry named after the view, are
// exported and verified there, repaired in that view and imported back in it.
TEST_F(RepairRoadTest, EachViewHasARegistryEntryOfItsOwn)
{
    PlantRegistry();
    CRegProblem own = ValueProblem(kHkcu, Key(L"Values").c_str(), L"Text LF");
    CRegProblem view32 = KeyProblem(kHkcu, Key(L"Tree\\Sub A").c_str());
    view32.m_samView = KEY_WOW64_32KEY;
    CRegProblem view64 = KeyProblem(kHkcu, Key(L"Tree\\Sub B").c_str());
    view64.m_samView = KEY_WOW64_64KEY;
    AddRepair(1, own);
    AddRepair(2, view32);
    AddRepair(3, view64);

    CAutoBackup backup;
    ASSERT_TRUE(WriteAutoBackup(m_pApp, backup)) << backup.m_strError.Str();
    const std::wstring strStamp = backup.m_strStamp.Str();
    std::vector<std::wstring> expected = { L"AutoBackup" + strStamp + L".reg", L"AutoBackup" + strStamp + L"_32.reg",
                                           L"AutoBackup" + strStamp + L"_64.reg" };
    EXPECT_EQ(ArchiveNames(backup.m_strArchive), expected);
    EXPECT_TRUE(backup.IsKeyCovered(Full(L"Tree\\Sub A").c_str(), KEY_WOW64_32KEY));
    EXPECT_FALSE(backup.IsKeyCovered(Full(L"Tree\\Sub A").c_str(), 0));
    EXPECT_FALSE(backup.IsKeyCovered(Full(L"Tree\\Sub A").c_str(), KEY_WOW64_64KEY));
    // Each file holds its own view's keys only.
    const char* pszNeedles[] = { "Values]", "Sub A]", "Sub B]" };
    for (size_t i = 0; i < expected.size(); i++)
    {
        std::wstring strReg = m_exports.File(expected[i]);
        ASSERT_TRUE(ExtractEntry(backup.m_strArchive, expected[i], strReg));
        std::string bytes = testsupport::ReadFileBytes(strReg);
        std::wstring strText((const wchar_t*)bytes.data(), bytes.size() / 2);
        for (size_t j = 0; j < 3; j++)
        {
            std::wstring strNeedle(pszNeedles[j], pszNeedles[j] + strlen(pszNeedles[j]));
            EXPECT_EQ(strText.find(strNeedle) != std::wstring::npos, i == j) << i << " " << j;
        }
    }

    RecordingLog log;
    int nCleaned[TAMSEL_CATEGORY_COUNT];
    RepairSelectedProblems(m_pApp, backup, log, nCleaned);
    EXPECT_EQ(nCleaned[0] + nCleaned[1] + nCleaned[2], 3);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, Key(L"Tree\\Sub A")));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, Key(L"Tree\\Sub B")));

    CAutoBackupRestore restore;
    EXPECT_TRUE(restore.Restore(backup.m_strArchive, m_exports.Path().c_str())) << restore.m_failure.m_strItem.Str();
    EXPECT_EQ(restore.m_nRegFilesImported, 3);
    EXPECT_TRUE(ValueExists(Key(L"Values"), L"Text LF"));
    EXPECT_TRUE(ValueExists(Key(L"Tree\\Sub A\\Deeper"), L"deep"));
    EXPECT_TRUE(ValueExists(Key(L"Tree\\Sub B"), L""));

    // The verification reads the view entries too: one damaged, no archive.
    SetAutoBackupHooks(NULL, DamageViewEntry);
    CAutoBackup damaged;
    EXPECT_FALSE(WriteAutoBackup(m_pApp, damaged));
    EXPECT_NE(damaged.m_strError.Find(L"_64.reg"), -1) << damaged.m_strError.Str();
    EXPECT_TRUE(FolderFiles(BackupFolder()).size() == 1u);
}

TEST(AutoBackupNames, RegistryEntryNamesSayTheirView)
{
    EXPECT_EQ(AutoBackupRegEntryName(L"20090101120000", 0), CString(L"AutoBackup20090101120000.reg"));
    EXPECT_EQ(AutoBackupRegEntryName(L"20090101120000", KEY_WOW64_32KEY), CString(L"AutoBackup20090101120000_32.reg"));
    EXPECT_EQ(AutoBackupRegEntryName(L"20090101120000", KEY_WOW64_64KEY), CString(L"AutoBackup20090101120000_64.reg"));
    EXPECT_EQ(AutoBackupRegEntryView(L"AutoBackup20090101120000.reg"), (REGSAM)0);
    EXPECT_EQ(AutoBackupRegEntryView(L"AutoBackup20090101120000_32.reg"), (REGSAM)KEY_WOW64_32KEY);
    EXPECT_EQ(AutoBackupRegEntryView(L"AUTOBACKUP20090101120000_64.REG"), (REGSAM)KEY_WOW64_64KEY);
    EXPECT_EQ(AutoBackupRegEntryView(L"_64.reg.txt"), (REGSAM)0);
}

TEST_F(RepairRoadTest, TwoBackupsInOneSecondGiveTwoArchives)
{
    PlantRegistry();
    ChooseRegistryRecords();
    CAutoBackup first, second;
    ASSERT_TRUE(first.Write(m_pApp));
    ASSERT_TRUE(second.Write(m_pApp));
    EXPECT_NE(first.m_strArchive, second.m_strArchive);
    EXPECT_EQ(FolderFiles(BackupFolder()).size(), 2u);
    EXPECT_EQ(ArchiveNames(first.m_strArchive).size(), 1u);
    EXPECT_EQ(ArchiveNames(second.m_strArchive).size(), 1u);
}

TEST_F(RepairRoadTest, NothingChosenWritesNoArchive)
{
    CAutoBackup backup;
    EXPECT_TRUE(backup.Write(m_pApp));
    EXPECT_TRUE(backup.m_strArchive.IsEmpty());
    EXPECT_EQ(backup.m_strStamp.GetLength(), 14);
    EXPECT_NE(GetFileAttributesW(BackupFolder().c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(FolderFiles(BackupFolder()).empty());

    // Nothing to keep: a file in the folder's way does not stop the repair.
    RemoveDirectoryW(BackupFolder().c_str());
    testsupport::WriteFileBytes(BackupFolder(), "in the way");
    CAutoBackup blocked;
    EXPECT_TRUE(blocked.Write(m_pApp)) << blocked.m_strError.Str();
    DeleteFileW(BackupFolder().c_str());
}

// A shortcut that cannot be deleted now goes at the next start of Windows
// and counts; one that vanished before the backup is neither backed up nor
// counted.
TEST_F(RepairRoadTest, HeldShortcutIsScheduledAndMissingOneIsPassedOver)
{
    std::wstring strHeld = m_links.File(L"held.lnk");
    std::wstring strGone = m_links.File(L"gone.lnk");
    testsupport::WriteFileBytes(strHeld, "held");
    AddRepair(SHORTCUT_CATEGORY, ShortcutProblem(strGone.c_str()));
    AddRepair(SHORTCUT_CATEGORY, ShortcutProblem(strHeld.c_str()));
    CAutoBackup backup;
    ASSERT_TRUE(backup.Write(m_pApp));
    EXPECT_FALSE(backup.IsShortcutCovered(0));
    EXPECT_TRUE(backup.IsShortcutCovered(1));

    HANDLE hHold = CreateFileW(strHeld.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(hHold, INVALID_HANDLE_VALUE);
    RecordingLog log;
    int nCleaned[TAMSEL_CATEGORY_COUNT];
    RepairSelectedProblems(m_pApp, backup, log, nCleaned);
    CloseHandle(hHold);
    EXPECT_EQ(nCleaned[SHORTCUT_CATEGORY - 1], 1);
    // Scheduled counts as removed; the vanished one leaves no line.
    std::vector<std::wstring> lines = { L"Fixed Success: " + strHeld };
    EXPECT_EQ(log.m_log, lines);
    // Leave the prefix as it was.
    HKEY hKey = NULL;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"System\\CurrentControlSet\\Control\\Session Manager", 0, KEY_SET_VALUE, &hKey) == ERROR_SUCCESS)
    {
        RegDeleteValueW(hKey, L"PendingFileRenameOperations");
        RegCloseKey(hKey);
    }
    DeleteFileW(strHeld.c_str());
    std::vector<std::wstring> expected = { L"held.lnk", L"ShortCuts.txt" };
    EXPECT_EQ(ArchiveNames(backup.m_strArchive), expected);
}

TEST(AutoBackupNames, LaterShortcutsOfOneNameGetTheFirstFreeNumber)
{
    CStringArray taken;
    EXPECT_EQ(CAutoBackup::FreeEntryName(L"a.lnk", taken), L"a.lnk");
    taken.Add(L"A.LNK");
    EXPECT_EQ(CAutoBackup::FreeEntryName(L"a.lnk", taken), L"a (2).lnk");
    taken.Add(L"a (2).lnk");
    taken.Add(L"A (3).lnk");
    EXPECT_EQ(CAutoBackup::FreeEntryName(L"a.lnk", taken), L"a (4).lnk");
    taken.Add(L"noext");
    EXPECT_EQ(CAutoBackup::FreeEntryName(L"NoExt", taken), L"NoExt (2)");
}
