#include "EngineTestSupport.h"
#include "privacy/EvidenceEnvironment.h"
#include "privacy/EvidenceItem.h"
#include "tests/support/TestSupport.h"
#include <gtest/gtest.h>
#include <shlobj.h>

namespace {

const wchar_t kUserShellFolders[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";

// TEMP for the test, put back afterwards.
class TempOverride
{
public:
    explicit TempOverride(LPCWSTR pszValue)
    {
        wchar_t szOld[1024] = {};
        m_bHad = ::GetEnvironmentVariableW(L"TEMP", szOld, 1024) > 0;
        m_strOld = szOld;
        ::SetEnvironmentVariableW(L"TEMP", pszValue);
    }
    ~TempOverride() { ::SetEnvironmentVariableW(L"TEMP", m_bHad ? m_strOld.c_str() : NULL); }

private:
    bool m_bHad = false;
    std::wstring m_strOld;
};

} // namespace

// The shell folders come from the shell as it reads them now; a failure is a
// failure whatever the buffer holds.
TEST(MachineEnvironment, ShellFoldersAsTheShellAnswers)
{
    testsupport::ScratchFolder scratch;
    std::wstring strCookies = scratch.Path() + L"MyCookies";
    ::CreateDirectoryW(strCookies.c_str(), NULL);
    CEvidenceEnvironment machine;
    CString strFolder;
    {
        CPlantedRegistry reg;
        reg.SetText(HKEY_CURRENT_USER, kUserShellFolders, L"Cookies", strCookies);
        ASSERT_TRUE(machine.GetShellFolder(CSIDL_COOKIES, strFolder));
        EXPECT_EQ(std::wstring(strFolder.GetString()), strCookies);
    }
    // Wine has no CD burning folder: the answer is a failure, not a stale buffer.
    wchar_t szProbe[MAX_PATH] = {};
    if (::SHGetFolderPathW(NULL, CSIDL_CDBURN_AREA, NULL, SHGFP_TYPE_CURRENT, szProbe) != S_OK)
    {
        strFolder = L"stale";
        EXPECT_FALSE(machine.GetShellFolder(CSIDL_CDBURN_AREA, strFolder));
        EXPECT_TRUE(strFolder.IsEmpty());
    }
    EXPECT_FALSE(machine.GetShellFolder(0x7F, strFolder));
    ASSERT_TRUE(machine.GetShellFolder(CSIDL_PROFILE, strFolder));
    EXPECT_NE(strFolder.Right(1), L"\\");
}

TEST(MachineEnvironment, TempFromTheEnvironment)
{
    CEvidenceEnvironment machine;
    CString strFolder;
    {
        TempOverride temp(L"C:\\scratch\\temp\\");
        ASSERT_TRUE(machine.GetTempFolder(strFolder));
        EXPECT_STREQ(strFolder, L"C:\\scratch\\temp");
    }
    {
        TempOverride temp(L"");
        EXPECT_FALSE(machine.GetTempFolder(strFolder));
    }
    {
        TempOverride temp(NULL);
        EXPECT_FALSE(machine.GetTempFolder(strFolder));
    }
    {
        std::wstring strLong = L"C:\\" + std::wstring(1100, L'x');
        TempOverride temp(strLong.c_str());
        EXPECT_FALSE(machine.GetTempFolder(strFolder));
    }
}

// The road on the machine itself: the cookies folder as the shell reads it
// from the user's shell folders, TEMP as the process has it (a scratch
// folder, never the run's own TEMP); both emptied, both kept.
TEST(MachineEnvironment, ShellFolderAndTempCasesOnTheMachine)
{
    testsupport::ScratchFolder scratch;
    const std::wstring strCookies = scratch.Path() + L"Cookies";
    const std::wstring strTemp = scratch.Path() + L"Temp";
    PlantFile(strCookies + L"\\me@site.txt");
    PlantFile(strCookies + L"\\Low\\me@other.txt");
    PlantFile(strTemp + L"\\x.tmp");
    CPlantedRegistry reg;
    reg.SetText(HKEY_CURRENT_USER, kUserShellFolders, L"Cookies", strCookies);
    TempOverride temp(strTemp.c_str());
    for (int nId : {132, 106})
    {
        CEvidenceItem item;
        item.m_nStringID = nId;
        ASSERT_EQ(CollectEvidenceTraces(&item), 1) << nId;
        CRecordingSink sink;
        EXPECT_EQ(ListEvidenceItem(&item, sink), nId == 132 ? 2 : 1);
        CCountingReport report;
        CleanEvidenceItem(&item, &report);
        EXPECT_EQ(report.m_nDeleted, nId == 132 ? 2 : 1);
        EXPECT_EQ(report.m_nUndeleted, 0);
    }
    EXPECT_FALSE(FileExists(strCookies + L"\\me@site.txt"));
    EXPECT_FALSE(FolderExists(strCookies + L"\\Low"));
    EXPECT_TRUE(FolderExists(strCookies));
    EXPECT_FALSE(FileExists(strTemp + L"\\x.tmp"));
    EXPECT_TRUE(FolderExists(strTemp));
}
