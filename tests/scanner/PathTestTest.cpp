#include "scanner/PathTest.h"
#include "tests/support/TestSupport.h"
#include <gtest/gtest.h>

using testsupport::ScratchFolder;

namespace {
std::wstring SystemFolder()
{
    wchar_t sz[MAX_PATH];
    ::GetSystemDirectoryW(sz, MAX_PATH);
    return sz;
}

// A drive letter that names no drive, or 0.
wchar_t UnusedDrive()
{
    DWORD dwDrives = ::GetLogicalDrives();
    for (int i = 25; i >= 3; i--)
    {
        if (!(dwDrives & (1u << i)))
            return (wchar_t)(L'A' + i);
    }
    return 0;
}

struct EnvironmentVariable
{
    std::wstring strName;
    std::wstring strOld;
    bool bHad;
    EnvironmentVariable(const std::wstring& name, const std::wstring& value) : strName(name)
    {
        wchar_t sz[1024];
        bHad = ::GetEnvironmentVariableW(name.c_str(), sz, 1024) > 0;
        strOld = bHad ? sz : L"";
        ::SetEnvironmentVariableW(name.c_str(), value.c_str());
    }
    ~EnvironmentVariable() { ::SetEnvironmentVariableW(strName.c_str(), bHad ? strOld.c_str() : NULL); }
};
}  // namespace

TEST(PathTest, ExpandsReferencesAndLooksForBareNamesInTheSystemFolders)
{
    CPathTest test;
    EXPECT_TRUE(test.FileExists(L"%SystemRoot%\\system32\\ole32.dll"));
    EXPECT_FALSE(test.FileExists(L"%SystemRoot%\\system32\\tamsel_missing_1.dll"));
    EXPECT_TRUE(test.FileExists(L"\"C:\\windows\\system32\\ole32.dll\""));
    EXPECT_TRUE(test.FileExists(L"ole32.dll"));
    EXPECT_FALSE(test.FileExists(L"tamsel_missing_2.dll"));
    EXPECT_FALSE(test.FileExists(L""));
    // An unresolved reference cannot be tested, so it is not missing.
    EXPECT_TRUE(test.FileExists(L"%TAMSEL_NO_SUCH_VARIABLE%\\x.dll"));
}

TEST(PathTest, BareNamesAlsoInTheWindowsFolderAndTheLastPathFolder)
{
    ScratchFolder folder;
    ASSERT_TRUE(testsupport::WriteFileBytes(folder.File(L"in_last.dll"), "x"));
    wchar_t szPath[4096];
    ::GetEnvironmentVariableW(L"PATH", szPath, 4096);
    EnvironmentVariable path(L"PATH", std::wstring(szPath) + L";" + folder.Path());
    CPathTest test;
    EXPECT_TRUE(test.FindInSearchPath(L"in_last.dll"));
    EXPECT_TRUE(test.FindInSearchPath(L"notepad.exe"));
    EXPECT_FALSE(test.FindInSearchPath(L"tamsel_missing_3.dll"));
    EXPECT_FALSE(test.FindInSearchPath(L""));
    // Without PATH the System32 and Windows folders still count.
    EnvironmentVariable empty(L"PATH", L"");
    EXPECT_TRUE(test.FindInSearchPath(L"ole32.dll"));
    EXPECT_TRUE(test.FindInSearchPath(L"regedit.exe"));
    EXPECT_FALSE(test.FindInSearchPath(L"in_last.dll"));
}

TEST(PathTest, NetworkPathsAndDrivesThatAreNotThereAreNeverMissing)
{
    CPathTest test;
    EXPECT_TRUE(test.FileExists(L"\\\\tamsel-server\\share\\x.dll"));
    wchar_t chDrive = UnusedDrive();
    ASSERT_NE(chDrive, 0);
    EXPECT_TRUE(test.FileExists((std::wstring(1, chDrive) + L":\\x\\y.dll").c_str()));
    // A fixed drive that is there answers for real.
    EXPECT_FALSE(test.FileExists(L"C:\\tamsel_missing_dir\\y.dll"));
}

TEST(PathTest, CommandLinesAsCreateProcessReadsThem)
{
    ScratchFolder folder;
    std::wstring strBlankFolder = folder.Path() + L"with blank";
    ASSERT_TRUE(::CreateDirectoryW(strBlankFolder.c_str(), NULL));
    ASSERT_TRUE(::CreateDirectoryW((folder.Path() + L"prog").c_str(), NULL));
    ASSERT_TRUE(testsupport::WriteFileBytes(strBlankFolder + L"\\server.exe", "MZ"));
    CPathTest test;
    std::wstring strNotepad = SystemFolder() + L"\\notepad.exe";
    // Quoted program with a switch: the quoted part.
    EXPECT_TRUE(test.CommandProgramExists((L"\"" + strNotepad + L"\" -startmanager").c_str()));
    EXPECT_FALSE(test.CommandProgramExists(L"\"C:\\tamsel missing\\x.exe\" -Embedding"));
    // Unquoted with blanks: the first existing prefix, ".exe" tried.
    EXPECT_TRUE(test.CommandProgramExists((strBlankFolder + L"\\server.exe /Automation").c_str()));
    EXPECT_TRUE(test.CommandProgramExists((strBlankFolder + L"\\server -Embedding").c_str()));
    EXPECT_TRUE(test.CommandProgramExists((strNotepad + L" /s").c_str()));
    EXPECT_TRUE(test.CommandProgramExists(L"notepad.exe -Embedding"));
    EXPECT_FALSE(test.CommandProgramExists(L"tamsel_missing_4.exe -Embedding"));
    // A folder named by the first words is not the program.
    EXPECT_FALSE(test.CommandProgramExists((folder.Path() + L"prog ram.exe").c_str()));
    EXPECT_FALSE(test.CommandProgramExists(L""));
}

TEST(PathTest, On64BitWindowsProgramFilesPathsCountUnderBothExpansions)
{
    ScratchFolder folder;
    std::wstring str32 = folder.Path() + L"pf32";
    std::wstring str64 = folder.Path() + L"pf64";
    ASSERT_TRUE(::CreateDirectoryW(str32.c_str(), NULL));
    ASSERT_TRUE(::CreateDirectoryW(str64.c_str(), NULL));
    ASSERT_TRUE(testsupport::WriteFileBytes(str64 + L"\\shell64.dll", "MZ"));
    EnvironmentVariable pf(L"ProgramFiles", str32);
    EnvironmentVariable pf64(L"ProgramW6432", str64);
    EnvironmentVariable cpf(L"CommonProgramFiles", str32);
    EnvironmentVariable cpf64(L"CommonProgramW6432", str64);
    CPathTest native;
    EXPECT_FALSE(native.FileExists(L"%ProgramFiles%\\shell64.dll"));
    CPathTest wow64;
    wow64.SetWow64(TRUE);
    wow64.BeginThread();
    EXPECT_TRUE(wow64.FileExists(L"%ProgramFiles%\\shell64.dll"));
    EXPECT_TRUE(wow64.FileExists(L"%commonprogramfiles%\\shell64.dll"));
    EXPECT_FALSE(wow64.FileExists(L"%ProgramFiles%\\tamsel_missing_5.dll"));
    wow64.EndThread();
}
