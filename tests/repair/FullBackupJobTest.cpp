// Full registry backup and restore: what is written is verified, what is read
// is checked before anything is imported.
#include "tests/repair/BackupTestSupport.h"
#include "tests/repair/FullBackupTestSupport.h"
#include "tests/services_registry/RegTestUtil.h"
#include "services/RegFile.h"
#include "services/RegKeyTarget.h"
#include "services/Wow64.h"
#include "services/RegistryLink.h"
#include "services/ZipReader.h"
#include "services/ZipWriter.h"

#include <algorithm>
#include <map>
#include <sddl.h>
#include <set>
#include <shlwapi.h>
#include <sstream>

using namespace backuptest;

namespace {

std::string Utf16(const std::wstring& str)
{
    std::string bytes;
    for (wchar_t ch : str)
        bytes += std::string{(char)(ch & 0xFF), (char)(ch >> 8)};
    return bytes;
}

// An archive of named .reg texts (UTF-16LE with mark and header).
void WriteArchive(const std::wstring& strArchive, const std::vector<std::pair<std::wstring, std::wstring>>& entries)
{
    ZipHandle hZip = CreateZipArchive(strArchive.c_str(), 0, ZipKindFile);
    ASSERT_NE(hZip, nullptr);
    for (const auto& entry : entries)
    {
        std::string bytes = "\xFF\xFE" + Utf16(entry.second);
        ASSERT_EQ(ZipOk, AddToZipArchive(hZip, entry.first.c_str(), bytes.data(), (DWORD)bytes.size(), ZipKindMemory));
    }
    ASSERT_EQ(ZipOk, CloseZipWriter(hZip));
}

// A command line that runs the 64-bit regedit on 64-bit Windows, which shows
// the whole registry as a full backup does, with strArgs. Wine starts the
// Windows folder's regedit of the caller's bitness: a 32-bit process goes
// through the 64-bit command processor.
std::wstring WholeViewRegedit(const std::wstring& strArgs)
{
    WCHAR szWindows[MAX_PATH] = L"";
    ::GetWindowsDirectoryW(szWindows, MAX_PATH);
    std::wstring strRegedit = L"\"" + std::wstring(szWindows) + L"\\regedit.exe\" " + strArgs;
    if (!IsRunningOnWow64())
        return strRegedit;
    return L"\"" + std::wstring(szWindows) + L"\\Sysnative\\cmd.exe\" /c \"" + strRegedit + L"\"";
}

} // namespace

TEST_F(FullBackupTest, PlantedSubtreeComesBackAfterChangeAndDelete)
{
    CScratchFullBackupJob job(m_strKeyText);
    std::vector<int> steps;
    job.m_fnStatus = [&](int nStatus) { steps.push_back(nStatus); };
    ASSERT_TRUE(job.Backup(m_strFolder.c_str()));
    std::string before = ExportKeyText(m_strKeyText);
    EXPECT_EQ(std::vector<std::wstring>{job.m_strArchive.Mid(job.m_strArchive.ReverseFind(L'\\') + 1).GetString()},
              FolderEntries(m_strFolder));
    EXPECT_EQ(CFullBackupJob::StatusFinished, steps.back());

    ChangeKey();
    EXPECT_NE(before, ExportKeyText(m_strKeyText));
    CFullBackupJob restore;
    ASSERT_TRUE(restore.Restore(job.m_strArchive, m_strFolder.c_str())) << Narrow(restore.m_failure.m_strItem.GetString());
    EXPECT_EQ(before, ExportKeyText(m_strKeyText));
    EXPECT_EQ(1u, FolderEntries(m_strFolder).size());
}

TEST_F(FullBackupTest, SameSecondMakesASecondArchive)
{
    CScratchFullBackupJob first(m_strKeyText), second(m_strKeyText);
    ASSERT_TRUE(first.Backup(m_strFolder.c_str()));
    ASSERT_TRUE(second.Backup(m_strFolder.c_str()));
    EXPECT_NE(first.m_strArchive, second.m_strArchive);
    EXPECT_EQ(2u, FolderEntries(m_strFolder).size());
}

TEST_F(FullBackupTest, WriteFailureKeepsTheRegFileAndMakesNoArchive)
{
    CScratchFullBackupJob job(m_strKeyText);
    job.m_bFailWrites = true;
    std::vector<int> steps;
    job.m_fnStatus = [&](int nStatus) { steps.push_back(nStatus); };
    EXPECT_FALSE(job.Backup(m_strFolder.c_str()));
    EXPECT_EQ(steps.end(), std::find(steps.begin(), steps.end(), (int)CFullBackupJob::StatusFinished));
    EXPECT_EQ(CFullBackupJob::StatusFailed, steps.back());
    EXPECT_TRUE(::PathFileExistsW(job.m_strRegFile));
    EXPECT_FALSE(::PathFileExistsW(job.m_strArchive));
    EXPECT_STREQ(L"M_FULLBACKUP_ERR_WRITE", job.m_failure.m_pszKey);
}

TEST_F(FullBackupTest, RefusedArchivesImportNothing)
{
    const std::wstring strHeader = L"Windows Registry Editor Version 5.00\r\n\r\n";
    const std::wstring strNew = m_strKeyText + L"\\Planted";
    const std::wstring strGood = strHeader + L"[" + strNew + L"]\r\n\"Value\"=\"x\"\r\n\r\n";
    struct Case
    {
        const char* pszWhy;
        std::vector<std::pair<std::wstring, std::wstring>> entries;
    };
    std::vector<Case> cases = {
        {"two entries", {{L"FullBackup20080101000000.reg", strGood}, {L"FullBackup20080101000001.reg", strGood}}},
        {"an HKCU key", {{L"FullBackup20080101000000.reg", strGood + L"[HKEY_CURRENT_USER\\Software\\TamselEvil]\r\n"}}},
        {"a deletion", {{L"FullBackup20080101000000.reg", strGood + L"[-" + m_strKeyText + L"]\r\n"}}},
        {"another name", {{L"Backup.reg", strGood}}},
        {"a REGEDIT4 file", {{L"FullBackup20080101000000.reg", L"REGEDIT4\r\n\r\n[" + strNew + L"]\r\n"}}},
    };
    for (const Case& c : cases)
    {
        std::wstring strArchive = m_strFolder + L"FullBackup20080101000000.zip";
        WriteArchive(strArchive, c.entries);
        CFullBackupJob job;
        EXPECT_FALSE(job.Restore(strArchive.c_str(), m_strFolder.c_str())) << c.pszWhy;
        EXPECT_TRUE(job.m_bRefused) << c.pszWhy;
        HKEY hKey = NULL;
        EXPECT_NE(ERROR_SUCCESS, ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, (m_strKeyPath + L"\\Planted").c_str(), 0, KEY_READ, &hKey))
            << c.pszWhy;
        EXPECT_NE(ERROR_SUCCESS, ::RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\TamselEvil", 0, KEY_READ, &hKey));
        EXPECT_EQ(1u, FolderEntries(m_strFolder).size()) << c.pszWhy;
    }
    // The same file alone is accepted.
    std::wstring strArchive = m_strFolder + L"FullBackup20080101000000.zip";
    WriteArchive(strArchive, {{L"FullBackup20080101000000.reg", strGood}});
    CFullBackupJob job;
    EXPECT_TRUE(job.Restore(strArchive.c_str(), m_strFolder.c_str()));
    HKEY hKey = NULL;
    ASSERT_EQ(ERROR_SUCCESS, ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, (m_strKeyPath + L"\\Planted").c_str(), 0, KEY_READ, &hKey));
    ::RegCloseKey(hKey);
}

TEST_F(FullBackupTest, DamagedEntryIsNotImported)
{
    CScratchFullBackupJob job(m_strKeyText);
    ASSERT_TRUE(job.Backup(m_strFolder.c_str()));
    ChangeKey();
    std::string changed = ExportKeyText(m_strKeyText);
    CString strEntry = job.m_strRegFile.Mid(job.m_strRegFile.ReverseFind(L'\\') + 1);
    ASSERT_TRUE(BreakItemCrc(job.m_strArchive.GetString(), Narrow(strEntry.GetString())));
    CFullBackupJob restore;
    EXPECT_FALSE(restore.Restore(job.m_strArchive, m_strFolder.c_str()));
    EXPECT_TRUE(restore.m_bRefused);
    EXPECT_EQ(changed, ExportKeyText(m_strKeyText));
}

// The archive passes unzip and Python; its .reg imports with Wine's 64-bit regedit.
TEST_F(FullBackupTest, PeerToolsReadTheArchive)
{
    CScratchFullBackupJob job(m_strKeyText);
    ASSERT_TRUE(job.Backup(m_strFolder.c_str()));
    std::string before = ExportKeyText(m_strKeyText);
    HostScratch host;
    ASSERT_TRUE(::CopyFileW(job.m_strArchive, host.Win("full.zip").c_str(), FALSE));
    const std::string strPath = "PATH=/usr/local/bin:/usr/bin:/bin; ";
    if (RequirePeer("unzip"))
    {
        EXPECT_EQ(0, testsupport::RunHostCommand(strPath + "unzip -tq '" + host.Unix("full.zip") + "'"));
    }
    if (RequirePeer("python3"))
    {
        EXPECT_EQ(0, testsupport::RunHostCommand(strPath + "python3 -c \"import zipfile,sys; z=zipfile.ZipFile('" +
                                                 host.Unix("full.zip") + "'); sys.exit(1 if z.testzip() or len(z.namelist())!=1 else 0)\""));
    }

    // Wine's regedit imports the same file to the same registry.
    ZipHandle hZip = OpenZipArchive((LPCWSTR)job.m_strArchive, 0, ZipKindFile);
    ASSERT_NE(hZip, nullptr);
    std::wstring strReg = m_folder.File(L"peer.reg");
    ASSERT_EQ(ZipOk, ExtractZipArchiveItem(hZip, 0, strReg.c_str(), 0, ZipKindFile));
    CloseZipReader(hZip);
    ChangeKey();
    ASSERT_EQ(0, RunWindowsProgram(WholeViewRegedit(L"/S \"" + strReg + L"\"")));
    EXPECT_EQ(before, ExportKeyText(m_strKeyText));
}

namespace {
// Lines of a UTF-16LE .reg file, without line ends and the header.
std::set<std::wstring> RegLines(const std::wstring& strFile)
{
    std::string bytes = testsupport::ReadFileBytes(strFile);
    std::set<std::wstring> lines;
    std::wstring line;
    for (size_t i = 2; i + 1 < bytes.size(); i += 2)
    {
        wchar_t ch = (wchar_t)((unsigned char)bytes[i] | ((unsigned char)bytes[i + 1] << 8));
        if (ch == L'\n')
        {
            if (!line.empty() && line.back() == L'\r')
                line.pop_back();
            if (!line.empty())
                lines.insert(line);
            line.clear();
        }
        else
            line += ch;
    }
    return lines;
}
// Whether the key of a key line "[HKEY_...\\path]" lies at or below a
// registry link of the whole registry's view (answers kept per path in cache).
bool IsUnderRegistryLink(const std::wstring& strLine, std::map<std::wstring, bool>& cache)
{
    if (strLine.size() < 3 || strLine[0] != L'[' || strLine.back() != L']')
        return false;
    std::wstring strPath = strLine.substr(1, strLine.size() - 2);
    size_t nRoot = strPath.find(L'\\');
    if (nRoot == std::wstring::npos)
        return false;
    HKEY hRoot = strPath.compare(0, nRoot, L"HKEY_USERS") == 0 ? HKEY_USERS : HKEY_LOCAL_MACHINE;
    for (size_t nEnd = strPath.find(L'\\', nRoot + 1);; nEnd = strPath.find(L'\\', nEnd + 1))
    {
        std::wstring strPrefix = strPath.substr(0, nEnd);
        auto found = cache.find(strPrefix);
        if (found == cache.end())
        {
            size_t nLast = strPrefix.rfind(L'\\');
            std::wstring strParent = nLast > nRoot ? strPrefix.substr(nRoot + 1, nLast - nRoot - 1) : std::wstring();
            bool bLink = false;
            HKEY hParent = NULL;
            if (::RegOpenKeyExW(hRoot, strParent.c_str(), 0, KEY_QUERY_VALUE | WholeRegistryView(), &hParent) ==
                ERROR_SUCCESS)
            {
                bLink = IsRegistryLink(hParent, strPrefix.substr(nLast + 1).c_str(), WholeRegistryView()) != FALSE;
                ::RegCloseKey(hParent);
            }
            found = cache.emplace(strPrefix, bLink).first;
        }
        if (found->second)
            return true;
        if (nEnd == std::wstring::npos)
            return false;
    }
}
} // namespace

// Every key and value line that Wine's 64-bit regedit exports of both hives
// (both views, the 32-bit one under Wow6432Node), and that two of its runs
// agree on, is in a full backup made between them, except the key lines of
// registry links, which regedit follows: their content is in the backup
// once, under the target's own name.
TEST_F(FullBackupTest, PeerRegeditLinesAreAllInTheFullBackup)
{
    std::set<std::wstring> first, second;
    for (const wchar_t* pszHive : {L"HKEY_LOCAL_MACHINE", L"HKEY_USERS"})
    {
        std::wstring strFile = m_folder.File(std::wstring(L"first_") + pszHive + L".reg");
        ASSERT_EQ(0, RunWindowsProgram(WholeViewRegedit(L"/E \"" + strFile + L"\" " + pszHive)));
        std::set<std::wstring> lines = RegLines(strFile);
        first.insert(lines.begin(), lines.end());
    }
    CFullBackupJob job;
    ASSERT_TRUE(job.Backup(m_strFolder.c_str())) << Narrow(job.m_failure.GetDetail(NULL).GetString());
    for (const wchar_t* pszHive : {L"HKEY_LOCAL_MACHINE", L"HKEY_USERS"})
    {
        std::wstring strFile = m_folder.File(std::wstring(L"second_") + pszHive + L".reg");
        ASSERT_EQ(0, RunWindowsProgram(WholeViewRegedit(L"/E \"" + strFile + L"\" " + pszHive)));
        std::set<std::wstring> lines = RegLines(strFile);
        second.insert(lines.begin(), lines.end());
    }
    ZipHandle hZip = OpenZipArchive((LPCWSTR)job.m_strArchive, 0, ZipKindFile);
    ASSERT_NE(hZip, nullptr);
    std::wstring strOurs = m_folder.File(L"ours.reg");
    ASSERT_EQ(ZipOk, ExtractZipArchiveItem(hZip, 0, strOurs.c_str(), 0, ZipKindFile));
    CloseZipReader(hZip);
    std::set<std::wstring> ours = RegLines(strOurs);

    size_t nStable = 0, nMissing = 0, nLinked = 0;
    std::wstring strFirstMissing;
    std::map<std::wstring, bool> links;
    for (const std::wstring& line : first)
    {
        if (!second.count(line))
            continue;
        nStable++;
        if (!ours.count(line))
        {
            if (IsUnderRegistryLink(line, links))
                nLinked++;
            else if (nMissing++ == 0)
                strFirstMissing = line;
        }
        else if (IsUnderRegistryLink(line, links))
            ADD_FAILURE() << "written through a link: " << Narrow(line);
    }
    EXPECT_GT(nStable, 1000u);
    // Wine 8 links HKLM\Software\Classes\Wow6432Node; regedit writes it twice.
    EXPECT_GT(nLinked, 0u);
    EXPECT_EQ(0u, nMissing) << "first missing: " << Narrow(strFirstMissing);
}

namespace {
bool SetKeyDacl(const std::wstring& strPath, const wchar_t* pszSddl, REGSAM samOpen)
{
    PSECURITY_DESCRIPTOR pDescriptor = NULL;
    if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(pszSddl, SDDL_REVISION_1, &pDescriptor, NULL))
        return false;
    HKEY hKey = NULL;
    bool bOk = ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, strPath.c_str(), 0, samOpen, &hKey) == ERROR_SUCCESS &&
               ::RegSetKeySecurity(hKey, DACL_SECURITY_INFORMATION, pDescriptor) == ERROR_SUCCESS;
    if (hKey != NULL)
        ::RegCloseKey(hKey);
    ::LocalFree(pDescriptor);
    return bOk;
}
} // namespace

// A subtree that cannot be read is missing from the backup and said so, but
// the backup itself is complete and kept.
TEST_F(FullBackupTest, UnreadableSubtreeIsToldNotAFailure)
{
    std::wstring strLocked = m_strKeyPath + L"\\Locked";
    HKEY hKey = NULL;
    ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, strLocked.c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL,
                                               &hKey, NULL));
    ::RegCloseKey(hKey);
    ASSERT_TRUE(SetKeyDacl(strLocked, L"D:P(A;;WD;;;WD)", WRITE_DAC));
    CScratchFullBackupJob job(m_strKeyText);
    BOOL bOk = job.Backup(m_strFolder.c_str());
    EXPECT_TRUE(SetKeyDacl(strLocked, L"D:P(A;;KA;;;WD)", WRITE_DAC));
    EXPECT_TRUE(bOk);
    EXPECT_TRUE(job.m_bUnreadableKeys);
    EXPECT_EQ((DWORD)CRegFile::ExportSubKeyNotOpened, job.m_dwExportError);
    EXPECT_TRUE(::PathFileExistsW(job.m_strArchive));
    EXPECT_FALSE(::PathFileExistsW(job.m_strRegFile));
}

// A refused line is named by its number and file, not as "no full backup";
// the read-and-check step writes nothing, and its listed keys are the file's.
TEST_F(FullBackupTest, RefusedLineIsNamedAndCheckingWritesNothing)
{
    const std::wstring strHeader = L"Windows Registry Editor Version 5.00\r\n\r\n";
    const std::wstring strNew = m_strKeyText + L"\\Planted";
    const std::wstring strGood = strHeader + L"[" + strNew + L"]\r\n\"Value\"=\"x\"\r\n\r\n";
    std::wstring strArchive = m_strFolder + L"FullBackup20080101000000.zip";
    WriteArchive(strArchive, {{L"FullBackup20080101000000.reg", strGood + L"[HKEY_CURRENT_USER\\Software\\TamselEvil]\r\n"}});
    CFullBackupJob refused;
    EXPECT_FALSE(refused.Prepare(strArchive.c_str(), m_strFolder.c_str()));
    EXPECT_TRUE(refused.m_bRefused);
    EXPECT_STREQ(L"Line 6 of FullBackup20080101000000.reg cannot be restored.", refused.m_failure.GetDetail(&m_app));
    EXPECT_STREQ(L"[HKEY_CURRENT_USER\\Software\\TamselEvil]", refused.m_strRefusedLine);
    EXPECT_FALSE(refused.IsPrepared());

    // A file that is no full backup as a whole is still said so.
    WriteArchive(strArchive, {{L"FullBackup20080101000000.reg", L"REGEDIT4\r\n\r\n[" + strNew + L"]\r\n"}});
    EXPECT_FALSE(refused.Prepare(strArchive.c_str(), m_strFolder.c_str()));
    EXPECT_STREQ(L"M_FULLBACKUP_ERR_NOTFULL", refused.m_failure.m_pszKey);

    WriteArchive(strArchive, {{L"FullBackup20080101000000.reg", strGood}});
    CFullBackupJob job;
    ASSERT_TRUE(job.Prepare(strArchive.c_str(), m_strFolder.c_str()));
    EXPECT_EQ(1, job.m_nKeys);
    ASSERT_EQ(1u, job.m_keys.size());
    // Named as the key it writes: in this process's own view.
    EXPECT_STREQ((m_strKeyNamed + L"\\Planted").c_str(), job.m_keys[0].m_strPath);
    EXPECT_EQ(OwnRegistryView(), job.m_keys[0].m_samView);
    EXPECT_FALSE(regtest::KeyExists(HKEY_LOCAL_MACHINE, m_strKeyPath + L"\\Planted"));
    job.Discard();
    EXPECT_FALSE(regtest::KeyExists(HKEY_LOCAL_MACHINE, m_strKeyPath + L"\\Planted"));
    EXPECT_EQ(1u, FolderEntries(m_strFolder).size()) << "no work folder stays";

    ASSERT_TRUE(job.Prepare(strArchive.c_str(), m_strFolder.c_str()));
    EXPECT_TRUE(job.Import());
    EXPECT_TRUE(regtest::KeyExists(HKEY_LOCAL_MACHINE, m_strKeyPath + L"\\Planted"));
    EXPECT_EQ(1u, FolderEntries(m_strFolder).size());
}

namespace {
// The text of value pszName of HKEY_LOCAL_MACHINE\strPath in samView; "-"
// when the key does not open there, "" when it has no such text.
std::wstring TextInView(const std::wstring& strPath, LPCWSTR pszName, REGSAM samView)
{
    HKEY hKey = NULL;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, strPath.c_str(), 0, KEY_QUERY_VALUE | samView, &hKey) != ERROR_SUCCESS)
        return L"-";
    WCHAR szText[64] = L"";
    DWORD dwSize = sizeof(szText) - sizeof(WCHAR), dwType = REG_NONE;
    if (::RegQueryValueExW(hKey, pszName, NULL, &dwType, (BYTE*)szText, &dwSize) != ERROR_SUCCESS || dwType != REG_SZ)
        szText[0] = 0;
    ::RegCloseKey(hKey);
    return szText;
}
} // namespace

// A full backup names the 32-bit view's keys through Wow6432Node, as the
// 64-bit view shows them: each key goes back into the view it came from,
// whatever view this process reads, and is named to the user as the key it
// writes. A deletion or another hive's key through a mirror is still refused.
TEST_F(FullBackupTest, KeysGoBackIntoTheViewTheyCameFrom)
{
    // Every machine the suites run on has both views (64-bit Windows, or WOW64).
    ASSERT_TRUE(HasTwoRegistryViews()) << "this system has one registry view only";
    const std::wstring strName = testsupport::CurrentTestName();
    const std::wstring strBase = L"Software\\TamselTest\\" + strName;
    const std::wstring strText = L"Windows Registry Editor Version 5.00\r\n\r\n"
                                 L"[HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\TamselTest\\" + strName +
                                 L"\\View32]\r\n\"View\"=\"32\"\r\n\r\n"
                                 L"[HKEY_LOCAL_MACHINE\\Software\\TamselTest\\" + strName +
                                 L"\\View64]\r\n\"View\"=\"64\"\r\n\r\n";
    std::wstring strArchive = m_strFolder + L"FullBackup20080101000000.zip";
    const std::wstring hostile[] = {
        L"[-HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\TamselTest\\" + strName + L"]\r\n",
        L"[HKEY_CURRENT_USER\\Software\\Classes\\Wow6432Node\\TamselEvil]\r\n",
        L"[HKEY_CLASSES_ROOT\\Wow6432Node\\TamselEvil]\r\n",
    };
    for (const std::wstring& strHostile : hostile)
    {
        WriteArchive(strArchive, {{L"FullBackup20080101000000.reg", strText + strHostile}});
        CFullBackupJob job;
        EXPECT_FALSE(job.Restore(strArchive.c_str(), m_strFolder.c_str())) << Narrow(strHostile);
        EXPECT_TRUE(job.m_bRefused) << Narrow(strHostile);
        for (REGSAM samView : {(REGSAM)KEY_WOW64_32KEY, (REGSAM)KEY_WOW64_64KEY})
        {
            EXPECT_EQ(L"-", TextInView(strBase + L"\\View32", L"View", samView)) << Narrow(strHostile);
            EXPECT_EQ(L"-", TextInView(strBase + L"\\View64", L"View", samView)) << Narrow(strHostile);
        }
        EXPECT_TRUE(regtest::KeyExists(HKEY_LOCAL_MACHINE, m_strKeyPath + L"\\Sub\\Deeper")) << Narrow(strHostile);
    }

    WriteArchive(strArchive, {{L"FullBackup20080101000000.reg", strText}});
    CFullBackupJob job;
    ASSERT_TRUE(job.Prepare(strArchive.c_str(), m_strFolder.c_str()));
    ASSERT_EQ(2u, job.m_keys.size());
    EXPECT_STREQ((L"HKEY_LOCAL_MACHINE\\" + strBase + L"\\View32").c_str(), job.m_keys[0].m_strPath);
    EXPECT_EQ((REGSAM)KEY_WOW64_32KEY, job.m_keys[0].m_samView);
    EXPECT_STREQ((L"HKEY_LOCAL_MACHINE\\" + strBase + L"\\View64").c_str(), job.m_keys[1].m_strPath);
    EXPECT_EQ((REGSAM)KEY_WOW64_64KEY, job.m_keys[1].m_samView);
    ASSERT_TRUE(job.Import()) << Narrow(job.m_failure.GetDetail(NULL).GetString());
    EXPECT_EQ(L"32", TextInView(strBase + L"\\View32", L"View", KEY_WOW64_32KEY));
    EXPECT_EQ(L"-", TextInView(strBase + L"\\View32", L"View", KEY_WOW64_64KEY));
    EXPECT_EQ(L"64", TextInView(strBase + L"\\View64", L"View", KEY_WOW64_64KEY));
    EXPECT_EQ(L"-", TextInView(strBase + L"\\View64", L"View", KEY_WOW64_32KEY));
}
