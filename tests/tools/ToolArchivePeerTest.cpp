// The archives and their .reg files against the real tools: unzip, Python's
// zipfile, and Wine's own regedit and reg.
#include "tools/ToolBackupArchive.h"
#include "tools/ToolEntries.h"
#include "scanner/KeyReader.h"
#include "services/RegTreeDelete.h"
#include "tests/support/TestSupport.h"
#include "tests/tools/ToolTestSupport.h"

#include <gtest/gtest.h>
#include <shlwapi.h>

using namespace tooltest;
using testsupport::ReadFileBytes;
using testsupport::RunHostCommand;
using testsupport::ScratchFolder;
using testsupport::WriteFileBytes;

namespace {

const char* const g_pszPath = "PATH=/usr/local/bin:/usr/bin:/bin; export PATH; ";
const wchar_t kKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunServicesOnce";
const wchar_t kBho[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Browser Helper Objects";

// samView: 0 for reg.exe's own view, which is ours (reg.exe runs with our bitness).
int RegExport(const std::wstring& key, const std::wstring& file, REGSAM samView = 0)
{
    std::wstring view = samView == KEY_WOW64_32KEY ? L" /reg:32" : samView == KEY_WOW64_64KEY ? L" /reg:64" : L"";
    return RunWindowsProgram(L"reg.exe export \"" + key + L"\" \"" + file + L"\" /y" + view);
}

// unzip -t and Python's zipfile on a copy of the archive; the entry names
// that Python lists, one a line.
void CheckWithHostTools(const CString& strArchive, int nExpected)
{
    if (!HostHas("unzip"))
        TOOL_PEER_MISSING("unzip");
    if (!HostHas("python3"))
        TOOL_PEER_MISSING("python3");
    HostScratch host;
    ASSERT_TRUE(CopyFileW(strArchive, host.Win("a.dat").c_str(), FALSE));
    std::string a = host.Unix("a.dat");
    int nUnzip = RunHostCommand(std::string(g_pszPath) + "unzip -t '" + a + "' > '" + host.Unix("unzip.txt") + "' 2>&1");
    std::string unzipText = ReadFileBytes(host.Win("unzip.txt"));
    if (nExpected == 0)
    {
        EXPECT_EQ(nUnzip, 1);
        EXPECT_NE(unzipText.find("zipfile is empty"), std::string::npos) << unzipText;
    }
    else
    {
        EXPECT_EQ(nUnzip, 0) << unzipText;
    }
    std::string script = "import zipfile,sys; z=zipfile.ZipFile(sys.argv[1]); assert z.testzip() is None; "
                         "print(len(z.namelist()))";
    EXPECT_EQ(RunHostCommand(std::string(g_pszPath) + "python3 -c '" + script + "' '" + a + "' > '" + host.Unix("py.txt") + "'"), 0);
    EXPECT_EQ(ReadFileBytes(host.Win("py.txt")), std::to_string(nExpected) + "\n");
}

// A backup of the archive as a file of its own, for the host's tools.
std::wstring EntryFile(const CToolBackupArchive& archive, int nEntry, const ScratchFolder& folder)
{
    std::vector<BYTE> bytes;
    EXPECT_TRUE(archive.ReadEntry(nEntry, bytes));
    std::wstring file = folder.File(L"entry" + std::to_wstring(nEntry) + L".reg");
    WriteFileBytes(file, std::string(bytes.begin(), bytes.end()));
    return file;
}

} // namespace

TEST(ToolArchivePeers, StartupBackupsImportWithRegeditAndExportAlike)
{
    ScratchFolder folder;
    CString strAppDir = folder.Path().c_str();
    CreateDirectoryW(strAppDir + L"Utilities", NULL);
    SHDeleteKeyW(HKEY_CURRENT_USER, kKey);
    SetText(HKEY_CURRENT_USER, kKey, L"Alpha", L"\"C:\\Program Files\\a.exe\" /q \"x\"");
    SetText(HKEY_CURRENT_USER, kKey, L"Beta", L"%ProgramFiles%\\b.exe", REG_EXPAND_SZ);
    SetText(HKEY_CURRENT_USER, kKey, L"Gamma", std::wstring(10000, L'g'));
    std::wstring full = std::wstring(L"HKEY_CURRENT_USER\\") + kKey;
    std::wstring before = folder.File(L"before.reg"), after = folder.File(L"after.reg");
    int nExport = RegExport(full, before);
    if (nExport == -1)
        TOOL_PEER_MISSING("Wine's reg.exe");
    ASSERT_EQ(nExport, 0);

    CStringArray arrPaths;
    CToolBackupArchive archive(ToolBackupStartup, strAppDir, arrPaths);
    CArray<CRegProblem> records;
    for (const wchar_t* name : { L"Alpha", L"Beta", L"Gamma" })
    {
        CRegProblem record;
        record.m_bValue = 1;
        record.m_strKey = kKey;
        record.m_strKeyPath = full.c_str();
        record.m_strValueName = name;
        records.Add(record);
    }
    CArray<int> outcome;
    ASSERT_TRUE(archive.BackupRecords(records, outcome));
    for (const CRegProblem& record : records)
        ASSERT_EQ(DeleteStartupValue(record), ERROR_SUCCESS);
    CheckWithHostTools(archive.GetArchivePath(), 3);

    ASSERT_EQ(archive.Load(), CToolBackupArchive::LoadOk);
    ASSERT_EQ(arrPaths.GetSize(), 3);
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(RunWindowsProgram(L"regedit.exe /S \"" + EntryFile(archive, i, folder) + L"\""), 0);
    ASSERT_EQ(RegExport(full, after), 0);
    EXPECT_EQ(ReadFileBytes(after), ReadFileBytes(before));

    // Restoring all of them empties the archive; the tools see an empty zip.
    CArray<int> indexes;
    for (int i = 0; i < 3; ++i)
        indexes.Add(i);
    ASSERT_TRUE(archive.Restore(indexes, CStringArray(), outcome));
    CheckWithHostTools(archive.GetArchivePath(), 0);
    ASSERT_EQ(RegExport(full, after), 0);
    EXPECT_EQ(ReadFileBytes(after), ReadFileBytes(before));
    SHDeleteKeyW(HKEY_CURRENT_USER, kKey);
}

// In the program's own view and in the other one, as reg.exe exports each.
TEST(ToolArchivePeers, BhoBackupEqualsWineExport)
{
    REGSAM samOther = CKeyReader::OtherView();
    ASSERT_NE(samOther, 0u) << "64-bit Windows keeps two registry views";
    std::wstring clsid = L"{ABCDEF01-2345-6789-ABCD-EF0123456789}";
    std::wstring key = std::wstring(kBho) + L"\\" + clsid;
    std::wstring full = L"HKEY_LOCAL_MACHINE\\" + key;
    for (REGSAM samView : { (REGSAM)0, samOther })
    {
        SCOPED_TRACE(samView);
        ScratchFolder folder;
        CString strAppDir = folder.Path().c_str();
        CreateDirectoryW(strAppDir + L"Utilities", NULL);
        for (REGSAM samClean : { (REGSAM)0, samOther })
            DeleteRegTree(HKEY_LOCAL_MACHINE, kBho, samClean, NULL);
        SetText(HKEY_LOCAL_MACHINE, key, L"", L"helper", REG_SZ, samView);
        SetText(HKEY_LOCAL_MACHINE, key, L"NoExplorer", L"1", REG_SZ, samView);
        SetValue(HKEY_LOCAL_MACHINE, key + L"\\Sub", L"bin", REG_BINARY, Bytes{ 1, 2, 3, 250 }, samView);
        std::wstring wine = folder.File(L"wine.reg"), after = folder.File(L"after.reg");
        int nExport = RegExport(full, wine, samView);
        if (nExport == -1)
            TOOL_PEER_MISSING("Wine's reg.exe");
        ASSERT_EQ(nExport, 0);

        CStringArray arrPaths;
        CToolBackupArchive archive(ToolBackupBho, strAppDir, arrPaths);
        CRegProblem record;
        record.m_bValue = 0;
        record.m_strKey = key.c_str();
        record.m_strKeyPath = full.c_str();
        record.m_samView = samView;
        CArray<CRegProblem> records;
        records.Add(record);
        CArray<int> outcome;
        ASSERT_TRUE(archive.BackupRecords(records, outcome));
        ASSERT_EQ(outcome[0], BackupSaved);
        ASSERT_EQ(DeleteBhoKey(record), ERROR_SUCCESS);
        CheckWithHostTools(archive.GetArchivePath(), 1);

        ASSERT_EQ(archive.Load(), CToolBackupArchive::LoadOk);
        ASSERT_EQ(arrPaths.GetSize(), 1);
        std::wstring entry = EntryFile(archive, 0, folder);
        EXPECT_EQ(ReadFileBytes(entry), ReadFileBytes(wine));
        if (samView == 0)
        {
            EXPECT_EQ(RunWindowsProgram(L"regedit.exe /S \"" + entry + L"\""), 0);
        }
        else
        {
            // Our own restore puts it back into that view.
            CArray<int> indexes;
            indexes.Add(0);
            CStringArray clsids;
            clsids.Add(clsid.c_str());
            ASSERT_TRUE(archive.Restore(indexes, clsids, outcome));
            EXPECT_EQ(outcome[0], RestoreDone);
        }
        ASSERT_EQ(RegExport(full, after, samView), 0);
        EXPECT_EQ(ReadFileBytes(after), ReadFileBytes(wine));
        // Nothing of it in the view it was not taken from.
        EXPECT_NE(RegExport(full, after, samView == 0 ? samOther : 0), 0);
    }
    for (REGSAM samClean : { (REGSAM)0, samOther })
        DeleteRegTree(HKEY_LOCAL_MACHINE, kBho, samClean, NULL);
}
