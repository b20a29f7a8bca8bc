#include "scanner/PathTest.h"
#include "scanner/CommandLine.h"
#include "tests/scanner/ScanTestSupport.h"
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

namespace {
// Whether the command's program is there (or cannot be told).
bool Exists(CPathTest& test, const wchar_t* pszCommand, PathView view = PATH_VIEW_ANY)
{
    CCommandProgram program = FindCommandProgram(pszCommand, test, view);
    return !program.bTestable || program.bExists;
}
}  // namespace

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
    EXPECT_TRUE(Exists(test, (L"\"" + strNotepad + L"\" -startmanager").c_str()));
    EXPECT_FALSE(Exists(test, L"\"C:\\tamsel missing\\x.exe\" -Embedding"));
    // Unquoted with blanks: the first existing prefix, ".exe" tried.
    EXPECT_TRUE(Exists(test, (strBlankFolder + L"\\server.exe /Automation").c_str()));
    EXPECT_TRUE(Exists(test, (strBlankFolder + L"\\server -Embedding").c_str()));
    EXPECT_TRUE(Exists(test, (strNotepad + L" /s").c_str()));
    EXPECT_TRUE(Exists(test, L"notepad.exe -Embedding"));
    EXPECT_FALSE(Exists(test, L"tamsel_missing_4.exe -Embedding"));
    // A folder named by the first words is not the program.
    EXPECT_FALSE(Exists(test, (folder.Path() + L"prog ram.exe").c_str()));
    EXPECT_FALSE(FindCommandProgram(L"", test).bTestable);
}

namespace {
struct ViewCase
{
    std::wstring strText;
    bool bAny, b64, b32;  // expected presence when read from a shared key, the 64-bit view, the 32-bit view
};
}  // namespace

// On 64-bit Windows a text means what it means to the program kind of the
// view it was read from: %ProgramFiles%, %CommonProgramFiles% and System32
// name the 64-bit folders in the 64-bit view and the x86 ones (Program Files
// (x86), SysWOW64) in the 32-bit view; a shared key may mean either.
TEST(PathTest, ReferencesAreJudgedAsTheProgramsOfTheirViewSeeThem)
{
    CPathTest test;
    ASSERT_TRUE(test.Is64BitWindows());
    const std::wstring strTag = scantest::NewGuid().substr(1, 8);
    const std::wstring strPf64 = scantest::PlantedFiles::Folder(L"ProgramW6432"),
                       strPf86 = scantest::PlantedFiles::Folder(L"ProgramFiles(x86)"),
                       strCf64 = scantest::PlantedFiles::Folder(L"CommonProgramW6432"),
                       strCf86 = scantest::PlantedFiles::Folder(L"CommonProgramFiles(x86)"),
                       strSys = scantest::PlantedFiles::SystemFolder(), strWow = scantest::PlantedFiles::Wow64Folder();
    ASSERT_FALSE(strPf64.empty() || strPf86.empty() || strCf64.empty() || strCf86.empty() || strWow.empty());
    ASSERT_NE(strPf64, strPf86);
    const std::wstring strApp64 = L"TamselApp64_" + strTag, strApp86 = L"TamselApp86_" + strTag,
                       strShared = L"TamselShared_" + strTag, strOnly64 = L"tamsel64_" + strTag + L".dll",
                       strOnly32 = L"tamsel32_" + strTag + L".dll";
    scantest::PlantedFiles files;
    ASSERT_TRUE(files.Add(strPf64 + L"\\" + strApp64 + L"\\app64.exe"));
    ASSERT_TRUE(files.Add(strPf86 + L"\\" + strApp86 + L"\\app86.exe"));
    ASSERT_TRUE(files.Add(strCf64 + L"\\" + strShared + L"\\tool64.ico"));
    ASSERT_TRUE(files.Add(strCf86 + L"\\" + strShared + L"\\tool86.ico"));
    ASSERT_TRUE(files.Add(strSys + L"\\" + strOnly64));
    ASSERT_TRUE(files.Add(strWow + L"\\" + strOnly32));
    const std::wstring strGone = L"TamselGone_" + strTag;
    const ViewCase cases[] = {
        {L"%ProgramFiles%\\" + strApp64 + L"\\app64.exe", true, true, false},
        {L"\"%ProgramFiles%\\" + strApp64 + L"\\app64.exe\"", true, true, false},
        {L"%programfiles%\\" + strApp86 + L"\\app86.exe", true, false, true},
        {L"%ProgramFiles%\\" + strGone + L"\\app.exe", false, false, false},
        {L"%ProgramW6432%\\" + strApp64 + L"\\app64.exe", true, true, true},
        {L"%ProgramFiles(x86)%\\" + strApp86 + L"\\app86.exe", true, true, true},
        {strPf64 + L"\\" + strApp64 + L"\\app64.exe", true, true, true},
        {L"%CommonProgramFiles%\\" + strShared + L"\\tool64.ico", true, true, false},
        {L"%CommonProgramFiles%\\" + strShared + L"\\tool86.ico", true, false, true},
        {L"%CommonProgramFiles%\\" + strGone + L"\\tool.ico", false, false, false},
        {L"%SystemRoot%\\System32\\" + strOnly64, true, true, false},
        {L"%SystemRoot%\\System32\\" + strOnly32, true, false, true},
        {L"%SystemRoot%\\Sysnative\\" + strOnly64, true, true, true},
        {L"%SystemRoot%\\System32\\" + strGone + L".dll", false, false, false},
        {strOnly64, true, true, false},
        {strOnly32, true, false, true},
        {strGone + L".dll", false, false, false},
    };
    for (const ViewCase& c : cases)
    {
        SCOPED_TRACE(testing::PrintToString(c.strText));
        EXPECT_EQ(!!test.FileExists(c.strText.c_str()), c.bAny);
        EXPECT_EQ(!!test.FileExists(c.strText.c_str(), PATH_VIEW_64), c.b64);
        EXPECT_EQ(!!test.FileExists(c.strText.c_str(), PATH_VIEW_32), c.b32);
    }
    // Icon locations and command lines follow the same rule.
    EXPECT_TRUE(test.IconFileExists((L"\"%ProgramFiles%\\" + strApp64 + L"\\app64.exe\",0").c_str(), PATH_VIEW_64));
    EXPECT_FALSE(test.IconFileExists((L"\"%ProgramFiles%\\" + strApp64 + L"\\app64.exe\",0").c_str(), PATH_VIEW_32));
    EXPECT_TRUE(test.IconFileExists((L"%ProgramFiles%\\" + strApp86 + L"\\app86.exe,-101").c_str(), PATH_VIEW_32));
    EXPECT_FALSE(test.IconFileExists((L"%ProgramFiles%\\" + strGone + L"\\app.exe,0").c_str()));
    EXPECT_TRUE(Exists(test, (L"\"%ProgramFiles%\\" + strApp64 + L"\\app64.exe\" /S").c_str(), PATH_VIEW_64));
    EXPECT_FALSE(Exists(test, (L"\"%ProgramFiles%\\" + strApp64 + L"\\app64.exe\" /S").c_str(), PATH_VIEW_32));
}

// Texts that are no file path are never missing: package resources, texts
// the file system refuses as names; an indirect string is judged by its file.
TEST(PathTest, TextsThatAreNoFilePathAreNotMissing)
{
    CPathTest test;
    struct Case
    {
        const wchar_t* pszText;
        bool bExists;
    };
    const Case cases[] = {
        {L"@{Microsoft.WindowsCalculator_10.0.0.0_x64__8wekyb3d8bbwe?ms-resource://Microsoft.WindowsCalculator/Files/"
         L"Assets/CalculatorAppList.png}",
         true},
        {L"@%SystemRoot%\\system32\\shell32.dll,-154", true},
        {L"@%SystemRoot%\\system32\\tamsel_missing_6.dll,-154", false},
        {L"@C:\\tamsel_missing_dir\\x.dll,-3", false},
        {L"C:\\tamsel\\what?.exe", true},
        {L"C:\\tamsel\\a<b.exe", true},
        {L"C:\\tamsel_missing_dir\\plain.exe", false},
        {L"@", false},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(testing::PrintToString(std::wstring(c.pszText)));
        EXPECT_EQ(!!test.FileExists(c.pszText), c.bExists);
        EXPECT_EQ(!!test.IconFileExists(c.pszText), c.bExists);
    }
}

// A 32-bit shell link may spell a target below the 64-bit program folder with
// the x86 folder; the target counts where a 64-bit user's shell opens it.
TEST(PathTest, ShortcutTargetsAsThe64BitShellOpensThem)
{
    CPathTest test;
    const std::wstring strTag = scantest::NewGuid().substr(1, 8);
    const std::wstring strPf64 = scantest::PlantedFiles::Folder(L"ProgramW6432"),
                       strPf86 = scantest::PlantedFiles::Folder(L"ProgramFiles(x86)");
    scantest::PlantedFiles files;
    ASSERT_TRUE(files.Add(strPf64 + L"\\TamselLink64_" + strTag + L"\\app64.exe"));
    ASSERT_TRUE(files.Add(scantest::PlantedFiles::SystemFolder() + L"\\tamsel_link64_" + strTag + L".dll"));
    EXPECT_TRUE(test.ShortcutTargetExists((strPf64 + L"\\TamselLink64_" + strTag + L"\\app64.exe").c_str()));
    EXPECT_TRUE(test.ShortcutTargetExists((strPf86 + L"\\TamselLink64_" + strTag + L"\\app64.exe").c_str()));
    EXPECT_TRUE(test.ShortcutTargetExists((L"%ProgramFiles%\\TamselLink64_" + strTag + L"\\app64.exe").c_str()));
    EXPECT_TRUE(test.ShortcutTargetExists(
        (scantest::PlantedFiles::SystemFolder() + L"\\tamsel_link64_" + strTag + L".dll").c_str()));
    EXPECT_FALSE(test.ShortcutTargetExists((strPf86 + L"\\TamselLink64_" + strTag + L"\\gone.exe").c_str()));
    EXPECT_FALSE(test.ShortcutTargetExists((strPf64 + L"\\TamselLink64_" + strTag + L"\\gone.exe").c_str()));
}
