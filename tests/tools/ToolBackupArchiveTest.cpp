#include "tools/ToolBackupArchive.h"
#include "tools/ToolEntries.h"
#include "scanner/KeyReader.h"
#include "services/RegKeyTarget.h"
#include "services/RegTreeDelete.h"
#include "services/ZipReader.h"
#include "services/ZipWriter.h"
#include "tests/support/TestSupport.h"
#include "tests/tools/ToolTestSupport.h"

#include <gtest/gtest.h>
#include <shlwapi.h>

using namespace tooltest;
using testsupport::ReadFileBytes;
using testsupport::ScratchFolder;
using testsupport::WriteFileBytes;

namespace {

const wchar_t kRun[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
const wchar_t kBho[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Browser Helper Objects";

CRegProblem StartupRecord(const std::wstring& name, HKEY hRoot = HKEY_CURRENT_USER)
{
    CRegProblem record;
    record.m_bValue = 1;
    record.m_nKind = 1;
    record.m_strKey = kRun;
    record.m_strKeyPath.Format(L"%s\\%s", hRoot == HKEY_CURRENT_USER ? L"HKEY_CURRENT_USER" : L"HKEY_LOCAL_MACHINE", kRun);
    record.m_strValueName = name.c_str();
    return record;
}

CRegProblem BhoRecord(const std::wstring& clsid)
{
    CRegProblem record;
    record.m_bValue = 0;
    record.m_nKind = 1;
    record.m_strKey.Format(L"%s\\%s", kBho, clsid.c_str());
    record.m_strKeyPath.Format(L"HKEY_LOCAL_MACHINE\\%s", (LPCWSTR)record.m_strKey);
    return record;
}

std::vector<std::wstring> ArchiveNames(const CString& strArchive)
{
    std::vector<std::wstring> names;
    ZipHandle hZip = OpenZipArchive((LPCWSTR)strArchive, 0, ZipKindFile);
    if (hZip == NULL)
        return names;
    ZipArchiveEntry entry = {};
    GetZipArchiveItem(hZip, -1, &entry);
    int nCount = entry.m_nIndex;
    for (int i = 0; i < nCount; ++i)
    {
        if (GetZipArchiveItem(hZip, i, &entry) == ZipOk)
            names.push_back(entry.m_szName);
    }
    CloseZipReader(hZip);
    return names;
}

std::vector<std::wstring> Names(std::initializer_list<const wchar_t*> list)
{
    std::vector<std::wstring> names;
    for (const wchar_t* p : list)
        names.push_back(p);
    return names;
}

// A registry-editor file's bytes: UTF-16LE with its byte-order mark.
std::string RegFileText(const std::wstring& body)
{
    return Utf16(L"Windows Registry Editor Version 5.00\r\n\r\n" + body);
}

Bytes RegFileBytes(const std::wstring& body)
{
    std::string text = RegFileText(body);
    return Bytes(text.begin(), text.end());
}

std::string AsString(const Bytes& bytes)
{
    return std::string(bytes.begin(), bytes.end());
}

bool ValueExists(const std::wstring& name, HKEY hRoot = HKEY_CURRENT_USER)
{
    DWORD dwType = 0;
    Bytes data;
    return GetValue(hRoot, kRun, name, dwType, data);
}

// A test's own Run values (names in alphabetical order, as Wine lists them)
// and program folder, both removed again.
class ToolArchiveTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_strAppDir = m_folder.Path().c_str();
        CreateDirectoryW(m_strAppDir + L"Utilities", NULL);
    }
    void TearDown() override
    {
        for (const std::wstring& name : m_planted)
        {
            HKEY hKey = NULL;
            if (RegOpenKeyExW(HKEY_CURRENT_USER, kRun, 0, KEY_SET_VALUE, &hKey) == ERROR_SUCCESS)
            {
                RegDeleteValueW(hKey, name.c_str());
                RegCloseKey(hKey);
            }
        }
        // The machine's Run values and helper objects of both views.
        for (const std::wstring& name : m_machine)
        {
            for (REGSAM samView : { (REGSAM)KEY_WOW64_32KEY, (REGSAM)KEY_WOW64_64KEY })
                DeleteValue(HKEY_LOCAL_MACHINE, kRun, name, samView);
        }
        for (const std::wstring& key : m_machineKeys)
        {
            for (REGSAM samView : { (REGSAM)KEY_WOW64_32KEY, (REGSAM)KEY_WOW64_64KEY })
                DeleteRegTree(HKEY_LOCAL_MACHINE, key.c_str(), samView, NULL);
        }
    }
    CRegProblem Plant(const std::wstring& name, const std::wstring& command)
    {
        SetText(HKEY_CURRENT_USER, kRun, name, command);
        m_planted.push_back(name);
        return StartupRecord(name);
    }
    CArray<int> Backup(CToolBackupArchive& archive, const CArray<CRegProblem>& records)
    {
        CArray<int> outcome;
        EXPECT_TRUE(archive.BackupRecords(records, outcome));
        return outcome;
    }
    // Backs up and removes n new values, as the list page does.
    void BackUpValues(CToolBackupArchive& archive, int nFirst, int nCount)
    {
        CArray<CRegProblem> records;
        for (int i = nFirst; i < nFirst + nCount; ++i)
            records.Add(Plant(L"TamselArc" + std::to_wstring(10 + i), L"C:\\p" + std::to_wstring(i) + L".exe"));
        CArray<int> outcome = Backup(archive, records);
        for (INT_PTR i = 0; i < records.GetSize(); ++i)
        {
            ASSERT_EQ(outcome[i], BackupSaved);
            EXPECT_EQ(DeleteStartupValue(records[i]), ERROR_SUCCESS);
        }
    }

    ScratchFolder m_folder;
    CString m_strAppDir;
    CStringArray m_arrPaths;
    std::vector<std::wstring> m_planted;
    std::vector<std::wstring> m_machine, m_machineKeys;
};

} // namespace

TEST_F(ToolArchiveTest, FirstBackupNumbersFromZeroAndSkipsShortcuts)
{
    CToolBackupArchive archive(ToolBackupStartup, m_strAppDir, m_arrPaths);
    std::wstring shortcut = m_folder.File(L"tool.lnk");
    WriteFileBytes(shortcut, "x");
    CRegProblem link;
    link.m_bValue = 1;
    link.m_strKey = link.m_strKeyPath = shortcut.c_str();
    CRegProblem vanished = link;
    vanished.m_strKey = vanished.m_strKeyPath = m_folder.File(L"gone.lnk").c_str();

    CArray<CRegProblem> records;
    records.Add(Plant(L"TamselArcA", L"C:\\a.exe"));
    records.Add(link);
    records.Add(Plant(L"TamselArcB", L"C:\\b.exe"));
    records.Add(vanished);
    records.Add(Plant(L"TamselArcC", L"C:\\c.exe"));
    records.Add(StartupRecord(L"TamselArcMissing"));
    CArray<int> outcome = Backup(archive, records);
    ASSERT_EQ(outcome.GetSize(), 6);
    EXPECT_EQ(outcome[0], BackupSaved);
    EXPECT_EQ(outcome[1], BackupNotNeeded);
    EXPECT_EQ(outcome[2], BackupSaved);
    EXPECT_EQ(outcome[3], BackupRefused);
    EXPECT_EQ(outcome[4], BackupSaved);
    EXPECT_EQ(outcome[5], BackupGone);
    EXPECT_EQ(ArchiveNames(archive.GetArchivePath()), Names({ L"Startup0.reg", L"Startup1.reg", L"Startup2.reg" }));
    // Work files go once the archive is in place; the registry is the page's business.
    EXPECT_FALSE(PathFileExistsW(archive.GetWorkFolder() + L"Startup0.reg"));
    EXPECT_FALSE(PathFileExistsW(archive.GetArchivePath() + L".tmp"));
    EXPECT_TRUE(ValueExists(L"TamselArcA"));
}

TEST_F(ToolArchiveTest, NumbersGrowFromTheHighestAndRestoreKeepsTheOthers)
{
    CToolBackupArchive archive(ToolBackupStartup, m_strAppDir, m_arrPaths);
    BackUpValues(archive, 0, 3);
    BackUpValues(archive, 3, 2);
    EXPECT_EQ(ArchiveNames(archive.GetArchivePath()),
              Names({ L"Startup0.reg", L"Startup1.reg", L"Startup2.reg", L"Startup3.reg", L"Startup4.reg" }));

    ASSERT_EQ(archive.Load(), CToolBackupArchive::LoadOk);
    ASSERT_EQ(m_arrPaths.GetSize(), 5);
    // Nothing is unpacked to list or read a backup.
    EXPECT_FALSE(PathFileExistsW(m_arrPaths[1]));
    Bytes bytes;
    ASSERT_TRUE(archive.ReadEntry(1, bytes));
    CString strName, strText;
    ReadStartupBackupEntry(bytes, strName, strText);
    EXPECT_EQ(strName, CString(L"TamselArc11"));
    EXPECT_EQ(strText, CString(L"C:\\p1.exe"));

    CArray<int> indexes, outcome;
    indexes.Add(1);
    ASSERT_TRUE(archive.Restore(indexes, CStringArray(), outcome));
    EXPECT_EQ(outcome[0], RestoreDone);
    EXPECT_TRUE(ValueExists(L"TamselArc11"));
    EXPECT_FALSE(ValueExists(L"TamselArc10"));
    EXPECT_EQ(ArchiveNames(archive.GetArchivePath()),
              Names({ L"Startup0.reg", L"Startup2.reg", L"Startup3.reg", L"Startup4.reg" }));
    EXPECT_FALSE(PathFileExistsW(archive.GetWorkFolder()));

    // After a gap the next backup still takes 1 + the highest number.
    BackUpValues(archive, 5, 1);
    EXPECT_EQ(ArchiveNames(archive.GetArchivePath()).back(), L"Startup5.reg");
}

TEST_F(ToolArchiveTest, RestoringTheMiddleOfThreeLeavesZeroAndTwoThenThree)
{
    CToolBackupArchive archive(ToolBackupStartup, m_strAppDir, m_arrPaths);
    BackUpValues(archive, 0, 3);
    ASSERT_EQ(archive.Load(), CToolBackupArchive::LoadOk);
    CArray<int> indexes, outcome;
    indexes.Add(1);
    ASSERT_TRUE(archive.Restore(indexes, CStringArray(), outcome));
    EXPECT_EQ(ArchiveNames(archive.GetArchivePath()), Names({ L"Startup0.reg", L"Startup2.reg" }));
    BackUpValues(archive, 3, 1);
    EXPECT_EQ(ArchiveNames(archive.GetArchivePath()), Names({ L"Startup0.reg", L"Startup2.reg", L"Startup3.reg" }));

    // Restoring every entry leaves an archive without items, which loads empty.
    ASSERT_EQ(archive.Load(), CToolBackupArchive::LoadOk);
    indexes.RemoveAll();
    for (int i = 0; i < 3; ++i)
        indexes.Add(i);
    ASSERT_TRUE(archive.Restore(indexes, CStringArray(), outcome));
    EXPECT_TRUE(PathFileExistsW(archive.GetArchivePath()));
    EXPECT_TRUE(ArchiveNames(archive.GetArchivePath()).empty());
    EXPECT_EQ(archive.Load(), CToolBackupArchive::LoadOk);
    EXPECT_EQ(m_arrPaths.GetSize(), 0);
}

TEST_F(ToolArchiveTest, RepeatedNameKeepsBothEntries)
{
    CToolBackupArchive archive(ToolBackupStartup, m_strAppDir, m_arrPaths);
    std::wstring a = m_folder.File(L"a.reg"), b = m_folder.File(L"b.reg");
    WriteFileBytes(a, "\xFF\xFEW\0first");
    WriteFileBytes(b, "\xFF\xFEW\0second");
    ZipHandle hZip = CreateZipArchive((LPCWSTR)archive.GetArchivePath(), 0, ZipKindFile);
    ASSERT_TRUE(hZip != NULL);
    AddToZipArchive(hZip, L"Startup4.reg", a.c_str(), 0, ZipKindFile);
    AddToZipArchive(hZip, L"STARTUP4.REG", b.c_str(), 0, ZipKindFile);
    CloseZipWriter(hZip);

    ASSERT_EQ(archive.Load(), CToolBackupArchive::LoadOk);
    ASSERT_EQ(m_arrPaths.GetSize(), 2);
    Bytes bytes;
    ASSERT_TRUE(archive.ReadEntry(0, bytes));
    EXPECT_EQ(AsString(bytes), ReadFileBytes(a));
    ASSERT_TRUE(archive.ReadEntry(1, bytes));
    EXPECT_EQ(AsString(bytes), ReadFileBytes(b));
    EXPECT_EQ(CString(PathFindFileNameW(m_arrPaths[1])), CString(L"Startup5.reg"));
    EXPECT_EQ(archive.NextNumber(), 6);

    // A rebuild writes both under their own names.
    CArray<CRegProblem> records;
    records.Add(Plant(L"TamselArcR", L"C:\\r.exe"));
    Backup(archive, records);
    EXPECT_EQ(ArchiveNames(archive.GetArchivePath()), Names({ L"Startup4.reg", L"Startup5.reg", L"Startup6.reg" }));
    ASSERT_EQ(archive.Load(), CToolBackupArchive::LoadOk);
    ASSERT_TRUE(archive.ReadEntry(1, bytes));
    EXPECT_EQ(AsString(bytes), ReadFileBytes(b));
}

TEST_F(ToolArchiveTest, UnreadableArchiveIsSetAsideByteForByte)
{
    CToolBackupArchive archive(ToolBackupStartup, m_strAppDir, m_arrPaths);
    std::string garbage = "PK\x03\x04 this is no archive at all";
    WriteFileBytes((LPCWSTR)archive.GetArchivePath(), garbage);
    m_arrPaths.Add(L"stale");
    EXPECT_EQ(archive.Load(), CToolBackupArchive::LoadSetAside);
    EXPECT_EQ(m_arrPaths.GetSize(), 0);
    EXPECT_FALSE(PathFileExistsW(archive.GetArchivePath()));
    ASSERT_FALSE(archive.GetSetAsidePath().IsEmpty());
    EXPECT_EQ(ReadFileBytes((LPCWSTR)archive.GetSetAsidePath()), garbage);

    // A second damaged archive gets a name of its own.
    WriteFileBytes((LPCWSTR)archive.GetArchivePath(), "second");
    CString strFirst = archive.GetSetAsidePath();
    EXPECT_EQ(archive.Load(), CToolBackupArchive::LoadSetAside);
    EXPECT_NE(archive.GetSetAsidePath(), strFirst);
    EXPECT_EQ(ReadFileBytes((LPCWSTR)strFirst), garbage);
    EXPECT_EQ(ReadFileBytes((LPCWSTR)archive.GetSetAsidePath()), "second");
}

TEST_F(ToolArchiveTest, ArchiveWithBadCrcIsSetAside)
{
    CToolBackupArchive archive(ToolBackupStartup, m_strAppDir, m_arrPaths);
    BackUpValues(archive, 0, 1);
    std::string bytes = ReadFileBytes((LPCWSTR)archive.GetArchivePath());
    // Behind the local header, its name and its extra field: the data.
    size_t nData = 30 + (BYTE)bytes[26] + ((BYTE)bytes[27] << 8) + (BYTE)bytes[28] + ((BYTE)bytes[29] << 8);
    ASSERT_GT(bytes.size(), nData + 4);
    bytes[nData + 2] ^= 0x5A;
    WriteFileBytes((LPCWSTR)archive.GetArchivePath(), bytes);
    EXPECT_EQ(archive.Load(), CToolBackupArchive::LoadSetAside);
    EXPECT_EQ(ReadFileBytes((LPCWSTR)archive.GetSetAsidePath()), bytes);
    EXPECT_EQ(m_arrPaths.GetSize(), 0);
}

TEST_F(ToolArchiveTest, FailedRebuildLeavesArchiveAndRegistryAlone)
{
    CToolBackupArchive archive(ToolBackupStartup, m_strAppDir, m_arrPaths);
    BackUpValues(archive, 0, 2);
    std::string before = ReadFileBytes((LPCWSTR)archive.GetArchivePath());
    CreateDirectoryW(archive.GetArchivePath() + L".tmp", NULL);

    CArray<CRegProblem> records;
    records.Add(Plant(L"TamselArcX", L"C:\\x.exe"));
    CArray<int> outcome;
    EXPECT_FALSE(archive.BackupRecords(records, outcome));
    EXPECT_EQ(outcome[0], BackupFailed);
    EXPECT_EQ(ReadFileBytes((LPCWSTR)archive.GetArchivePath()), before);
    EXPECT_TRUE(ValueExists(L"TamselArcX"));

    // A restore that cannot rebuild keeps the entry in the archive too.
    ASSERT_EQ(archive.Load(), CToolBackupArchive::LoadOk);
    CArray<int> indexes;
    indexes.Add(0);
    EXPECT_FALSE(archive.Restore(indexes, CStringArray(), outcome));
    EXPECT_EQ(outcome[0], RestoreNotSaved);
    EXPECT_EQ(ReadFileBytes((LPCWSTR)archive.GetArchivePath()), before);
    RemoveDirectoryW(archive.GetArchivePath() + L".tmp");
}

TEST_F(ToolArchiveTest, BackupWithoutAWorkFolderLeavesTheArchiveAlone)
{
    CToolBackupArchive archive(ToolBackupStartup, m_strAppDir, m_arrPaths);
    BackUpValues(archive, 0, 2);
    std::string before = ReadFileBytes((LPCWSTR)archive.GetArchivePath());
    // A file where the work folder belongs.
    archive.DeleteWorkFolder();
    CString strWork = archive.GetWorkFolder();
    strWork.TrimRight(L'\\');
    WriteFileBytes((LPCWSTR)strWork, "in the way");

    CArray<CRegProblem> records;
    records.Add(Plant(L"TamselArcY", L"C:\\y.exe"));
    CArray<int> outcome;
    EXPECT_FALSE(archive.BackupRecords(records, outcome));
    EXPECT_EQ(outcome[0], BackupFailed);
    EXPECT_EQ(ReadFileBytes((LPCWSTR)archive.GetArchivePath()), before);
    EXPECT_EQ(ReadFileBytes((LPCWSTR)strWork), "in the way");
    // Listing and restoring need no work folder.
    ASSERT_EQ(archive.Load(), CToolBackupArchive::LoadOk);
    EXPECT_EQ(m_arrPaths.GetSize(), 2);
    EXPECT_TRUE(archive.Restore(CArray<int>(), CStringArray(), outcome));
    EXPECT_EQ(ReadFileBytes((LPCWSTR)archive.GetArchivePath()), before);
    CArray<int> indexes;
    indexes.Add(0);
    EXPECT_TRUE(archive.Restore(indexes, CStringArray(), outcome));
    EXPECT_EQ(outcome[0], RestoreDone);
    EXPECT_TRUE(ValueExists(L"TamselArc10"));
    EXPECT_EQ(ArchiveNames(archive.GetArchivePath()), Names({ L"Startup1.reg" }));
    DeleteFileW(strWork);
}

TEST_F(ToolArchiveTest, TamperedEntriesAreRefusedAndKept)
{
    CToolBackupArchive archive(ToolBackupStartup, m_strAppDir, m_arrPaths);
    const wchar_t* bodies[] = {
        L"[HKEY_CURRENT_USER\\Software\\TamselEvil]\r\n\"x\"=\"y\"\r\n",
        L"[-HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run]\r\n",
        L"[HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run]\r\n\"TamselArcA\"=-\r\n",
        L"[HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run]\r\n\"a\"=\"b\"\r\n[HKEY_CURRENT_USER\\Software\\TamselEvil]\r\n",
        // The valid look-alike: "=-" inside the data is no deletion.
        L"[HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run]\r\n\"TamselArcLook\"=\"c:\\\\t.exe --x=-1\"\r\n",
    };
    m_planted.push_back(L"TamselArcLook");
    CArray<int> indexes;
    std::vector<std::pair<std::wstring, std::string>> entries;
    for (int i = 0; i < 5; ++i)
    {
        entries.push_back({L"Startup" + std::to_wstring(i) + L".reg", RegFileText(bodies[i])});
        indexes.Add(i);
    }
    ASSERT_TRUE(WriteArchive((LPCWSTR)archive.GetArchivePath(), entries));
    CArray<int> outcome;
    ASSERT_TRUE(archive.Restore(indexes, CStringArray(), outcome));
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(outcome[i], RestoreRefused) << i;
    EXPECT_EQ(outcome[4], RestoreDone);
    EXPECT_TRUE(ValueExists(L"TamselArcLook"));
    HKEY hEvil = NULL;
    EXPECT_NE(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\TamselEvil", 0, KEY_READ, &hEvil), ERROR_SUCCESS);
    EXPECT_EQ(ArchiveNames(archive.GetArchivePath()),
              Names({ L"Startup0.reg", L"Startup1.reg", L"Startup2.reg", L"Startup3.reg" }));
}

TEST_F(ToolArchiveTest, ValuesRoundTripWithTypeAndBytes)
{
    CToolBackupArchive archive(ToolBackupStartup, m_strAppDir, m_arrPaths);
    std::wstring big(10000, L'x');
    for (size_t i = 0; i < big.size(); ++i)
        big[i] = (wchar_t)(L'a' + i % 26);
    struct Case { std::wstring name; std::wstring text; DWORD dwType; } cases[] = {
        { L"TamselRt1 \"q\\", L"\"C:\\Program Files\\x\\app.exe\" /a \\\"b\\\"", REG_SZ },
        { L"TamselRt2", L"%SystemRoot%\\system32\\x.exe", REG_EXPAND_SZ },
        { L"TamselRt3", big, REG_SZ },
    };
    CArray<CRegProblem> records;
    for (const Case& c : cases)
    {
        SetText(HKEY_CURRENT_USER, kRun, c.name, c.text, c.dwType);
        m_planted.push_back(c.name);
        records.Add(StartupRecord(c.name));
    }
    CArray<int> outcome = Backup(archive, records);
    for (INT_PTR i = 0; i < records.GetSize(); ++i)
    {
        ASSERT_EQ(outcome[i], BackupSaved);
        ASSERT_EQ(DeleteStartupValue(records[i]), ERROR_SUCCESS);
    }
    ASSERT_EQ(archive.Load(), CToolBackupArchive::LoadOk);
    Bytes bytes;
    CString strName, strText;
    ASSERT_TRUE(archive.ReadEntry(0, bytes));
    ReadStartupBackupEntry(bytes, strName, strText);
    EXPECT_EQ(std::wstring(strName), cases[0].name);
    EXPECT_EQ(std::wstring(strText), cases[0].text);
    ASSERT_TRUE(archive.ReadEntry(1, bytes));
    ReadStartupBackupEntry(bytes, strName, strText);
    EXPECT_EQ(std::wstring(strText), cases[1].text);

    CArray<int> indexes;
    for (int i = 0; i < 3; ++i)
        indexes.Add(i);
    ASSERT_TRUE(archive.Restore(indexes, CStringArray(), outcome));
    for (const Case& c : cases)
    {
        DWORD dwType = 0;
        Bytes data;
        ASSERT_TRUE(GetValue(HKEY_CURRENT_USER, kRun, c.name, dwType, data));
        EXPECT_EQ(dwType, c.dwType);
        EXPECT_EQ(data, TextBytes(c.text));
    }
}

TEST(ToolEntries, StartupRowTextsComeWithTheirEscapesUndone)
{
    CString strName, strText;
    ReadStartupBackupEntry(RegFileBytes(L"[HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run]\r\n"
                                        L"\"na\\\"me\"=\"C:\\\\x \\\"y\\\"\"\r\n\r\n"),
                           strName, strText);
    EXPECT_EQ(strName, CString(L"na\"me"));
    EXPECT_EQ(strText, CString(L"C:\\x \"y\""));
    // A header alone gives empty texts.
    ReadStartupBackupEntry(RegFileBytes(L""), strName, strText);
    EXPECT_TRUE(strName.IsEmpty() && strText.IsEmpty());
}

// Under a volatile parent no lasting key can be made (error 1021): the import
// fails, and the backup stays.
TEST_F(ToolArchiveTest, FailedImportKeepsTheEntry)
{
    SHDeleteKeyW(HKEY_LOCAL_MACHINE, kBho);
    HKEY hVolatile = NULL;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, kBho, 0, NULL, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, NULL, &hVolatile, NULL),
              ERROR_SUCCESS);
    RegCloseKey(hVolatile);

    CToolBackupArchive archive(ToolBackupBho, m_strAppDir, m_arrPaths);
    std::wstring clsid = L"{11111111-2222-3333-4444-555555555555}";
    std::wstring text = L"\xFEFFWindows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\" + std::wstring(kBho) + L"\\"
                        + clsid + L"]\r\n\"NoExplorer\"=\"1\"\r\n\r\n";
    std::wstring file = m_folder.File(L"BHO0.reg");
    WriteFileBytes(file, std::string((const char*)text.data(), text.size() * 2));
    ZipHandle hZip = CreateZipArchive((LPCWSTR)archive.GetArchivePath(), 0, ZipKindFile);
    AddToZipArchive(hZip, L"BHO0.reg", file.c_str(), 0, ZipKindFile);
    CloseZipWriter(hZip);
    std::string before = ReadFileBytes((LPCWSTR)archive.GetArchivePath());
    ASSERT_EQ(archive.Load(), CToolBackupArchive::LoadOk);
    CArray<int> indexes, outcome;
    indexes.Add(0);
    CStringArray clsids;
    clsids.Add(clsid.c_str());
    EXPECT_TRUE(archive.Restore(indexes, clsids, outcome));
    EXPECT_EQ(outcome[0], RestoreFailed);
    EXPECT_EQ(ReadFileBytes((LPCWSTR)archive.GetArchivePath()), before);
    SHDeleteKeyW(HKEY_LOCAL_MACHINE, kBho);

    // With the key back to normal the same entry restores, and only under its own CLSID.
    ASSERT_EQ(archive.Load(), CToolBackupArchive::LoadOk);
    clsids[0] = L"{99999999-2222-3333-4444-555555555555}";
    archive.Restore(indexes, clsids, outcome);
    EXPECT_EQ(outcome[0], RestoreRefused);
    ASSERT_EQ(archive.Load(), CToolBackupArchive::LoadOk);
    clsids[0] = clsid.c_str();
    archive.Restore(indexes, clsids, outcome);
    EXPECT_EQ(outcome[0], RestoreDone);
    HKEY hKey = NULL;
    EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, (std::wstring(kBho) + L"\\" + clsid).c_str(), 0, KEY_READ, &hKey), ERROR_SUCCESS);
    if (hKey)
        RegCloseKey(hKey);
    SHDeleteKeyW(HKEY_LOCAL_MACHINE, kBho);
}

TEST(ToolEntries, DeletesOnlyWhatARowStandsFor)
{
    CRegProblem record = StartupRecord(L"");
    EXPECT_EQ(DeleteStartupValue(record), ERROR_INVALID_PARAMETER);
    record = StartupRecord(L"x");
    record.m_strKeyPath = L"HKEY_NOWHERE\\" + record.m_strKey;
    EXPECT_EQ(DeleteStartupValue(record), ERROR_INVALID_PARAMETER);
    record = StartupRecord(L"x");
    record.m_strKey = record.m_strKeyPath = L"C:\\users\\x\\Start Menu\\a.lnk";
    EXPECT_EQ(DeleteStartupValue(record), ERROR_INVALID_PARAMETER);

    EXPECT_EQ(DeleteBhoKey(BhoRecord(L"")), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(DeleteBhoKey(BhoRecord(L"a\\b")), ERROR_INVALID_PARAMETER);
    CRegProblem parent = BhoRecord(L"x");
    parent.m_strKey = kBho;
    parent.m_strKeyPath = CString(L"HKEY_LOCAL_MACHINE\\") + kBho;
    EXPECT_EQ(DeleteBhoKey(parent), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(BhoSubKeyOfRecord(BhoRecord(L"{abc}")), CString(L"{abc}"));
}

// "<prefix><n>.reg" is a backup of the program's own view; "_32" and "_64"
// before ".reg" name the view of any other. A doubled name keeps its view
// when it is numbered anew.
TEST_F(ToolArchiveTest, EntryNamesCarryTheirView)
{
    EXPECT_EQ(CToolBackupArchive::NumberOfName(L"Startup", L"Startup7_64.reg"), 7);
    EXPECT_EQ(CToolBackupArchive::NumberOfName(L"Startup", L"startup12_32.REG"), 12);
    EXPECT_EQ(CToolBackupArchive::NumberOfName(L"Startup", L"Startup3.reg"), 3);
    for (const wchar_t* pszName : { L"Startup_64.reg", L"Startup7_65.reg", L"Startup07_32.reg", L"Startup7_64_32.reg",
                                    L"Startup7_64.txt", L"Startup7.reg_64" })
        EXPECT_EQ(CToolBackupArchive::NumberOfName(L"Startup", pszName), -1) << pszName;
    EXPECT_EQ(CToolBackupArchive::ViewOfName(L"BHO1_32.reg"), (REGSAM)KEY_WOW64_32KEY);
    EXPECT_EQ(CToolBackupArchive::ViewOfName(L"BHO1_64.reg"), (REGSAM)KEY_WOW64_64KEY);
    EXPECT_EQ(CToolBackupArchive::ViewOfName(L"BHO1.reg"), 0u);

    CToolBackupArchive archive(ToolBackupBho, m_strAppDir, m_arrPaths);
    ASSERT_TRUE(WriteArchive((LPCWSTR)archive.GetArchivePath(),
                             { { L"BHO2_64.reg", RegFileText(L"") }, { L"bho2_64.REG", RegFileText(L"") },
                               { L"other.reg", RegFileText(L"") } }));
    ASSERT_EQ(archive.Load(), CToolBackupArchive::LoadOk);
    ASSERT_EQ(m_arrPaths.GetSize(), 3);
    EXPECT_EQ(CString(PathFindFileNameW(m_arrPaths[1])), CString(L"BHO3_64.reg"));
    EXPECT_EQ(CString(PathFindFileNameW(m_arrPaths[2])), CString(L"BHO4.reg"));
    EXPECT_EQ(archive.GetEntryView(1), (REGSAM)KEY_WOW64_64KEY);
    EXPECT_EQ(archive.GetEntryView(2), 0u);
}

// A value or helper object of the other view is backed up from that view,
// deleted there only, and restored there: the own view's entry of the same
// name stays as it is.
TEST_F(ToolArchiveTest, BackupsOfTheOtherViewAreTakenAndRestoredInIt)
{
    REGSAM samOther = CKeyReader::OtherView();
    ASSERT_NE(samOther, 0u) << "64-bit Windows keeps two registry views";
    const wchar_t* pszSuffix = samOther == KEY_WOW64_64KEY ? L"_64" : L"_32";
    m_machine.push_back(L"TamselArcView");
    SetText(HKEY_LOCAL_MACHINE, kRun, L"TamselArcView", L"C:\\own.exe");
    SetText(HKEY_LOCAL_MACHINE, kRun, L"TamselArcView", L"C:\\other.exe", REG_SZ, samOther);
    CRegProblem record = StartupRecord(L"TamselArcView", HKEY_LOCAL_MACHINE);
    record.m_samView = samOther;
    CRegProblem both = record;
    both.m_samView = KEY_WOW64_32KEY | KEY_WOW64_64KEY;
    CArray<CRegProblem> records;
    records.Add(record);
    records.Add(both);
    CToolBackupArchive archive(ToolBackupStartup, m_strAppDir, m_arrPaths);
    CArray<int> outcome = Backup(archive, records);
    EXPECT_EQ(outcome[0], BackupSaved);
    EXPECT_EQ(outcome[1], BackupRefused);
    EXPECT_EQ(DeleteStartupValue(both), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(ArchiveNames(archive.GetArchivePath()), Names({ (std::wstring(L"Startup0") + pszSuffix + L".reg").c_str() }));
    ASSERT_EQ(archive.Load(), CToolBackupArchive::LoadOk);
    Bytes bytes;
    ASSERT_TRUE(archive.ReadEntry(0, bytes));
    CString strName, strText;
    ReadStartupBackupEntry(bytes, strName, strText);
    EXPECT_EQ(strText, CString(L"C:\\other.exe"));
    // The key as that view names it: the view is in the entry's name.
    EXPECT_EQ(ReadBackupKey(bytes), CString(L"HKEY_LOCAL_MACHINE\\") + kRun);

    ASSERT_EQ(DeleteStartupValue(record), ERROR_SUCCESS);
    EXPECT_EQ(GetText(HKEY_LOCAL_MACHINE, kRun, L"TamselArcView", samOther), L"(none)");
    EXPECT_EQ(GetText(HKEY_LOCAL_MACHINE, kRun, L"TamselArcView"), L"C:\\own.exe");
    // A list row stands for its backup in the view it was listed from.
    CToolBackupRow row;
    row.m_nEntry = 0;
    row.m_strText1 = L"TamselArcView";
    row.m_strText2 = L"C:\\other.exe";
    row.m_strKey = ReadBackupKey(bytes);
    ASSERT_TRUE(archive.Restore(std::vector<CToolBackupRow>{ row }, outcome));
    EXPECT_EQ(outcome[0], RestoreDiffers);
    EXPECT_EQ(GetText(HKEY_LOCAL_MACHINE, kRun, L"TamselArcView", samOther), L"(none)");
    row.m_samView = samOther;
    ASSERT_TRUE(archive.Restore(std::vector<CToolBackupRow>{ row }, outcome));
    EXPECT_EQ(outcome[0], RestoreDone);
    EXPECT_EQ(GetText(HKEY_LOCAL_MACHINE, kRun, L"TamselArcView", samOther), L"C:\\other.exe");
    EXPECT_EQ(GetText(HKEY_LOCAL_MACHINE, kRun, L"TamselArcView"), L"C:\\own.exe");

    // The same for a helper object's key and its subkey.
    const std::wstring clsid = L"{D0000000-0000-0000-0000-000000000001}";
    const std::wstring key = std::wstring(kBho) + L"\\" + clsid;
    m_machineKeys.push_back(key);
    SetText(HKEY_LOCAL_MACHINE, key, L"", L"own");
    SetText(HKEY_LOCAL_MACHINE, key + L"\\Sub", L"x", L"other", REG_SZ, samOther);
    CToolBackupArchive bho(ToolBackupBho, m_strAppDir, m_arrPaths);
    CRegProblem object = BhoRecord(clsid);
    object.m_samView = samOther;
    records.RemoveAll();
    records.Add(object);
    outcome = Backup(bho, records);
    ASSERT_EQ(outcome[0], BackupSaved);
    EXPECT_EQ(ArchiveNames(bho.GetArchivePath()), Names({ (std::wstring(L"BHO0") + pszSuffix + L".reg").c_str() }));
    ASSERT_EQ(DeleteBhoKey(object), ERROR_SUCCESS);
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, key, samOther));
    EXPECT_EQ(GetText(HKEY_LOCAL_MACHINE, key, L""), L"own");
    ASSERT_EQ(bho.Load(), CToolBackupArchive::LoadOk);
    CArray<int> indexes;
    indexes.Add(0);
    CStringArray clsids;
    clsids.Add(clsid.c_str());
    ASSERT_TRUE(bho.Restore(indexes, clsids, outcome));
    EXPECT_EQ(outcome[0], RestoreDone);
    EXPECT_EQ(GetText(HKEY_LOCAL_MACHINE, key + L"\\Sub", L"x", samOther), L"other");
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, key + L"\\Sub"));
}

// Each key line is judged as the key it writes in the view the entry's name
// gives: through Wow6432Node a line names the 32-bit view's key, which a
// backup of the 64-bit view may not write, and a key both views share may
// be written from either. The same in both builds.
TEST_F(ToolArchiveTest, LinesAreJudgedAsTheKeysTheyWriteInTheirEntrysView)
{
    ASSERT_TRUE(HasTwoRegistryViews());
    const std::wstring run = L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
    const std::wstring mirrorRun = L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run";
    const std::wstring userRun = L"HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
    // An entry of the program's own view writes through the mirror only in the 32-bit build.
    const bool bOwn32 = OwnRegistryView() == KEY_WOW64_32KEY;
    struct Case { const wchar_t* pszEntry; std::wstring key; const wchar_t* pszName; int nOutcome; REGSAM samLands; } cases[] = {
        { L"Startup0_32.reg", mirrorRun, L"TamselJ0", RestoreDone, KEY_WOW64_32KEY },
        { L"Startup1_64.reg", mirrorRun, L"TamselJ1", RestoreRefused, 0 },
        { L"Startup2_64.reg", run, L"TamselJ2", RestoreDone, KEY_WOW64_64KEY },
        { L"Startup3_32.reg", run, L"TamselJ3", RestoreDone, KEY_WOW64_32KEY },
        { L"Startup4.reg", mirrorRun, L"TamselJ4", bOwn32 ? RestoreDone : RestoreRefused, bOwn32 ? KEY_WOW64_32KEY : 0u },
        { L"Startup5_64.reg", userRun, L"TamselJ5", RestoreDone, 0 },
        { L"Startup6_32.reg", L"HKEY_CURRENT_USER\\Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run", L"TamselJ6",
          RestoreRefused, 0 },
        { L"Startup7_32.reg", L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\TamselEvil", L"TamselJ7", RestoreRefused, 0 },
    };
    CToolBackupArchive archive(ToolBackupStartup, m_strAppDir, m_arrPaths);
    std::vector<std::pair<std::wstring, std::string>> entries;
    CArray<int> indexes;
    for (const Case& c : cases)
    {
        entries.push_back({ c.pszEntry, RegFileText(L"[" + c.key + L"]\r\n\"" + c.pszName + L"\"=\"C:\\\\j.exe\"\r\n") });
        indexes.Add((int)indexes.GetSize());
        m_machine.push_back(c.pszName);
        m_planted.push_back(c.pszName);
    }
    m_machineKeys.push_back(L"SOFTWARE\\TamselEvil");
    ASSERT_TRUE(WriteArchive((LPCWSTR)archive.GetArchivePath(), entries));
    ASSERT_EQ(archive.Load(), CToolBackupArchive::LoadOk);
    CArray<int> outcome;
    ASSERT_TRUE(archive.Restore(indexes, CStringArray(), outcome));
    for (size_t i = 0; i < sizeof(cases) / sizeof(cases[0]); ++i)
    {
        const Case& c = cases[i];
        SCOPED_TRACE(c.pszEntry);
        EXPECT_EQ(outcome[(INT_PTR)i], c.nOutcome);
        bool bUser = c.key == userRun && c.nOutcome == RestoreDone;
        EXPECT_EQ(ValueExists(c.pszName), bUser);
        for (REGSAM samView : { (REGSAM)KEY_WOW64_32KEY, (REGSAM)KEY_WOW64_64KEY })
            EXPECT_EQ(GetText(HKEY_LOCAL_MACHINE, kRun, c.pszName, samView) != L"(none)", c.samLands == samView) << samView;
    }
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, L"SOFTWARE\\TamselEvil", KEY_WOW64_32KEY));

    // A helper object's lines, by the same rule.
    const std::wstring clsid = L"{D0000000-0000-0000-0000-000000000002}";
    const std::wstring key = std::wstring(kBho) + L"\\" + clsid;
    const std::wstring mirror = L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Explorer\\"
                                L"Browser Helper Objects\\" + clsid;
    m_machineKeys.push_back(key);
    CToolBackupArchive bho(ToolBackupBho, m_strAppDir, m_arrPaths);
    ASSERT_TRUE(WriteArchive((LPCWSTR)bho.GetArchivePath(),
                             { { L"BHO0_64.reg", RegFileText(L"[" + mirror + L"]\r\n\"a\"=\"1\"\r\n") },
                               { L"BHO1_32.reg", RegFileText(L"[" + mirror + L"]\r\n\"b\"=\"1\"\r\n[" + mirror + L"\\Sub]\r\n") } }));
    ASSERT_EQ(bho.Load(), CToolBackupArchive::LoadOk);
    indexes.RemoveAll();
    indexes.Add(0);
    indexes.Add(1);
    CStringArray clsids;
    clsids.Add(clsid.c_str());
    clsids.Add(clsid.c_str());
    ASSERT_TRUE(bho.Restore(indexes, clsids, outcome));
    EXPECT_EQ(outcome[0], RestoreRefused);
    EXPECT_EQ(outcome[1], RestoreDone);
    EXPECT_EQ(GetText(HKEY_LOCAL_MACHINE, key, L"b", KEY_WOW64_32KEY), L"1");
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, key + L"\\Sub", KEY_WOW64_32KEY));
    EXPECT_EQ(GetText(HKEY_LOCAL_MACHINE, key, L"a", KEY_WOW64_32KEY), L"(none)");
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, key, KEY_WOW64_64KEY));
}
