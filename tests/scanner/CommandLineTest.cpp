#include "tests/scanner/ScanTestSupport.h"
#include "tests/support/TestSupport.h"
#include "scanner/CommandLine.h"

namespace {
CCommandProgram Split(const std::wstring& strCommand)
{
    CPathTest pathTest;
    return FindCommandProgram(strCommand.c_str(), pathTest);
}
}  // namespace

// Quoted programs keep what the quotes hold; arguments are cut only outside.
TEST(CommandLine, QuotedProgramsAreTheQuotedPart)
{
    testsupport::ScratchFolder folder;
    std::wstring strTools = folder.Path() + L"My -Tools";
    ASSERT_TRUE(::CreateDirectoryW(strTools.c_str(), NULL));
    ASSERT_TRUE(testsupport::WriteFileBytes(strTools + L"\\s.exe", "MZ"));

    CCommandProgram present = Split(L"\"" + strTools + L"\\s.exe\" -k netsvcs /x");
    EXPECT_TRUE(present.bTestable);
    EXPECT_TRUE(present.bExists);
    EXPECT_STREQ(present.strProgram, (strTools + L"\\s.exe").c_str());

    CCommandProgram missing = Split(L"\"" + strTools + L"\\gone.exe\" \"%1\"");
    EXPECT_TRUE(missing.bTestable);
    EXPECT_FALSE(missing.bExists);

    // Wine's exefile command, a placeholder program, and an unclosed quote: nothing to test.
    EXPECT_FALSE(Split(L"\"%1\" %*").bTestable);
    EXPECT_FALSE(Split(L"%L").bTestable);
    EXPECT_FALSE(Split(L"\"C:\\tamsel gone\\x.exe").bTestable);
}

TEST(CommandLine, UnquotedProgramsAreTheFirstPrefixThatExists)
{
    testsupport::ScratchFolder folder;
    std::wstring strApp = folder.Path() + L"Tamsel App";
    ASSERT_TRUE(::CreateDirectoryW(strApp.c_str(), NULL));
    ASSERT_TRUE(testsupport::WriteFileBytes(strApp + L"\\run.exe", "MZ"));

    CCommandProgram blanks = Split(strApp + L"\\run.exe /open %1");
    EXPECT_TRUE(blanks.bExists);
    // Without ".exe" as the loader reads it.
    EXPECT_TRUE(Split(strApp + L"\\run -x").bExists);
    // A bare name along the search path, with or without arguments.
    EXPECT_TRUE(Split(L"notepad.exe /p %1").bExists);
    EXPECT_TRUE(Split(L"%SystemRoot%\\system32\\notepad.exe %1").bExists);

    CCommandProgram missing = Split(strApp + L"\\gone.exe -x %1");
    EXPECT_TRUE(missing.bTestable);
    EXPECT_FALSE(missing.bExists);
    EXPECT_STREQ(missing.strProgram, (strApp + L"\\gone.exe").c_str());
    // A folder named by the first words is not the program.
    CCommandProgram folderOnly = Split(strApp + L" gone.exe");
    EXPECT_FALSE(folderOnly.bExists);
    // An unknown reference cannot be tested.
    EXPECT_FALSE(Split(L"%TAMSEL_NOT_SET%\\x.exe %1").bTestable);
}

TEST(CommandLine, SystemRootPrefixes)
{
    CString strWindows = GetWindowsFolder();
    EXPECT_STREQ(ResolveSystemRoot(L"\\SystemRoot\\System32\\x.sys"), strWindows + L"System32\\x.sys");
    EXPECT_STREQ(ResolveSystemRoot(L"systemroot\\x.dll"), strWindows + L"x.dll");
    EXPECT_STREQ(ResolveSystemRoot(L"C:\\SystemRoot\\x.dll"), L"C:\\SystemRoot\\x.dll");
}

namespace {
// Whether the program of a command is there, or cannot be told (kept).
bool Kept(CPathTest& pathTest, const std::wstring& strCommand, PathView view)
{
    CCommandProgram program = FindCommandProgram(strCommand.c_str(), pathTest, view);
    return !program.bTestable || program.bExists;
}

struct CommandCase
{
    std::wstring strCommand;
    bool b64, b32;  // kept when read in the 64-bit view, in the 32-bit view
};

void CheckCases(CPathTest& pathTest, const std::vector<CommandCase>& cases)
{
    for (const CommandCase& c : cases)
    {
        SCOPED_TRACE(testing::PrintToString(c.strCommand));
        EXPECT_EQ(Kept(pathTest, c.strCommand, PATH_VIEW_64), c.b64);
        EXPECT_EQ(Kept(pathTest, c.strCommand, PATH_VIEW_32), c.b32);
        // A key both kinds of program share keeps what either view keeps.
        EXPECT_EQ(Kept(pathTest, c.strCommand, PATH_VIEW_ANY), c.b64 || c.b32);
    }
}

// Files of both kinds of program: in the program folders and in System32
// and SysWOW64, each under a name of its own.
struct ViewFiles
{
    std::wstring strTag = scantest::NewGuid().substr(1, 8);
    std::wstring strApp64 = L"TamselCmd64_" + strTag, strApp86 = L"TamselCmd86_" + strTag;
    std::wstring strSys64 = L"tamselcmd64_" + strTag, strSys32 = L"tamselcmd32_" + strTag;
    scantest::PlantedFiles files;

    bool Plant()
    {
        using scantest::PlantedFiles;
        return files.Add(PlantedFiles::Folder(L"ProgramW6432") + L"\\" + strApp64 + L"\\app64.exe") &&
               files.Add(PlantedFiles::Folder(L"ProgramFiles(x86)") + L"\\" + strApp86 + L"\\app86.exe") &&
               files.Add(PlantedFiles::SystemFolder() + L"\\" + strSys64 + L".exe") &&
               files.Add(PlantedFiles::SystemFolder() + L"\\" + strSys64 + L".dll") &&
               files.Add(PlantedFiles::Wow64Folder() + L"\\" + strSys32 + L".exe") &&
               files.Add(PlantedFiles::Wow64Folder() + L"\\" + strSys32 + L".dll");
    }
};

// PATH with one more folder for the test's duration.
struct PathWithFolder
{
    std::wstring strOld;
    explicit PathWithFolder(const std::wstring& strFolder)
    {
        wchar_t szPath[8192] = {};
        ::GetEnvironmentVariableW(L"PATH", szPath, 8192);
        strOld = szPath;
        ::SetEnvironmentVariableW(L"PATH", (strOld + L";" + strFolder).c_str());
    }
    ~PathWithFolder() { ::SetEnvironmentVariableW(L"PATH", strOld.c_str()); }
};

// The Windows folder without its drive: "\windows".
std::wstring WindowsOnDrive()
{
    CString strFolder = GetWindowsFolder();
    return std::wstring((LPCWSTR)strFolder.Mid(2, strFolder.GetLength() - 3));
}
}  // namespace

// Each form a program is named in, with a fault and a look-alike that
// works, read in the 64-bit and in the 32-bit view.
TEST(CommandLine, EachFormFindsItsProgramInTheEntrysView)
{
    CPathTest pathTest;
    ASSERT_TRUE(pathTest.Is64BitWindows());
    ViewFiles view;
    ASSERT_TRUE(view.Plant());
    testsupport::ScratchFolder folder;
    const std::wstring strApp = folder.Path() + L"Tamsel App", strEarly = folder.Path() + L"Early";
    ASSERT_TRUE(::CreateDirectoryW(strApp.c_str(), NULL));
    ASSERT_TRUE(::CreateDirectoryW((strApp + L"\\tool").c_str(), NULL));
    ASSERT_TRUE(::CreateDirectoryW(strEarly.c_str(), NULL));
    ASSERT_TRUE(::CreateDirectoryW((strEarly + L"\\Tamsel App").c_str(), NULL));
    for (const wchar_t* pszFile : {L"\\run.exe", L"\\server.exe", L"\\lib.dll", L"\\rundll32.exe"})
        ASSERT_TRUE(testsupport::WriteFileBytes(strApp + pszFile, "MZ"));
    ASSERT_TRUE(testsupport::WriteFileBytes(strEarly + L"\\Tamsel.exe", "MZ"));
    const std::wstring strOnPath = L"tamselpath_" + view.strTag, strPathFolder = folder.Path() + L"OnPath";
    ASSERT_TRUE(::CreateDirectoryW(strPathFolder.c_str(), NULL));
    ASSERT_TRUE(testsupport::WriteFileBytes(strPathFolder + L"\\" + strOnPath + L".exe", "MZ"));
    PathWithFolder path(strPathFolder);
    // Variables that hold a whole program path.
    ::SetEnvironmentVariableW(L"TAMSEL_CMD_TOOL", (strApp + L"\\run.exe").c_str());
    ::SetEnvironmentVariableW(L"TAMSEL_CMD_GONE", (strApp + L"\\gone.exe").c_str());
    const std::wstring strPf = L"%ProgramFiles%\\", strWin = WindowsOnDrive();
    // rundll32 of a folder both kinds see, so that only the library differs.
    const std::wstring strRundll = L"\"" + strApp + L"\\rundll32.exe\" ";

    const std::vector<CommandCase> cases = {
        // Quoted, with or without ".exe"; a folder is no program.
        {L"\"" + strApp + L"\\run.exe\" \"%1\"", true, true},
        {L"\"" + strApp + L"\\gone.exe\" \"%1\"", false, false},
        {L"\"" + strApp + L"\\server\" -Embedding", true, true},
        {L"\"" + strApp + L"\\gone\" -Embedding", false, false},
        {L"\"" + strApp + L"\\tool\" -x", false, false},
        {L"\"" + strPf + view.strApp64 + L"\\app64.exe\" /S", true, false},
        {L"\"" + strPf + view.strApp86 + L"\\app86\" /S", false, true},
        // Unquoted with blanks, left to right.
        {strApp + L"\\run.exe /open %1", true, true},
        {strApp + L"\\run -x", true, true},
        {strApp + L"\\gone.exe /open %1", false, false},
        {strApp + L"\\gone.exe \"an argument\"", false, false},
        {strEarly + L"\\Tamsel App\\gone.exe /x", true, true},
        {strPf + view.strApp64 + L"\\app64.exe /S", true, false},
        {strPf + view.strApp86 + L"\\app86.exe /S", false, true},
        // Bare names: the System folder of the view, the Windows folder, PATH.
        {view.strSys64 + L".exe -x", true, false},
        {view.strSys32 + L" -x", false, true},
        {L"notepad /p %1", true, true},
        {strOnPath + L" /p %1", true, true},
        {L"tamsel_gone_" + view.strTag + L".exe -x", false, false},
        // References expanded as the view's programs expand them.
        {L"%SystemRoot%\\System32\\" + view.strSys64 + L".exe", true, false},
        {L"%SystemRoot%\\System32\\" + view.strSys32 + L".exe", false, true},
        {L"%windir%\\tamsel_gone_" + view.strTag + L".exe", false, false},
        {L"%TAMSEL_CMD_TOOL% /x", true, true},
        {L"%TAMSEL_CMD_GONE% /x", false, false},
        // From the root of the system drive.
        {strWin + L"\\notepad.exe %1", true, true},
        {strWin + L"\\tamsel_gone_" + view.strTag + L".exe %1", false, false},
        {L"\"" + strWin + L"\\System32\\" + view.strSys64 + L".exe\" -x", true, false},
        {strWin + L"\\System32\\" + view.strSys32 + L".exe", false, true},
        // rundll32 by its library, ".dll" added as the loader adds it.
        {strRundll + L"\"" + strApp + L"\\lib.dll\",Entry", true, true},
        {strRundll + strApp + L"\\lib.dll,Entry %1", true, true},
        {strRundll + strApp + L"\\gone.dll,Entry", false, false},
        {strRundll + view.strSys64 + L".dll,Entry", true, false},
        {strRundll + view.strSys32 + L",Entry", false, true},
        {L"\"" + strApp + L"\\gone\\rundll32.exe\" " + strApp + L"\\lib.dll,Entry", false, false},
        // What cannot be told is kept.
        {L"%1", true, true},
        {L"\"%1\" %*", true, true},
        {L"\"" + strApp + L"\\gone.exe", true, true},
        {L"%TAMSEL_NOT_SET%\\x.exe %1", true, true},
        {strRundll + L"\"%1\",Entry", true, true},
    };
    CheckCases(pathTest, cases);

    // The first prefix that is a file is the program.
    CCommandProgram early = FindCommandProgram((strEarly + L"\\Tamsel App\\gone.exe /x").c_str(), pathTest);
    EXPECT_STREQ(early.strProgram, (strEarly + L"\\Tamsel").c_str());
    CCommandProgram library = FindCommandProgram((strRundll + strApp + L"\\gone.dll,Entry").c_str(), pathTest);
    EXPECT_STREQ(library.strLibrary, (strApp + L"\\gone.dll").c_str());
    // The system's own rundll32 lines.
    EXPECT_TRUE(Kept(pathTest, L"rundll32.exe shell32.dll,Control_RunDLL appwiz.cpl", PATH_VIEW_ANY));
    EXPECT_FALSE(Kept(pathTest, L"rundll32.exe tamsel_gone_" + view.strTag + L".dll,Entry", PATH_VIEW_ANY));
    ::SetEnvironmentVariableW(L"TAMSEL_CMD_TOOL", NULL);
    ::SetEnvironmentVariableW(L"TAMSEL_CMD_GONE", NULL);
}

// A bare name is found through App Paths of the entry's view (the views kept
// apart as on Windows), and only when App Paths names a program that is there.
TEST(CommandLine, BareNamesThroughAppPathsOfTheirView)
{
    const std::wstring strAppPaths = L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";
    scantest::SeparateViewKey separate(
        L"Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\App Paths",
        L"\\Registry\\Machine\\Software\\Microsoft\\Windows\\CurrentVersion\\App Paths", false);
    ASSERT_TRUE(separate.WasLink()) << "this prefix does not link the 32-bit App Paths";
    ASSERT_TRUE(separate.IsSeparate());
    CPathTest pathTest;
    ViewFiles view;
    ASSERT_TRUE(view.Plant());
    testsupport::ScratchFolder folder;
    ASSERT_TRUE(testsupport::WriteFileBytes(folder.File(L"viewer.exe"), "MZ"));
    const std::wstring strTag = view.strTag;
    const std::wstring strIn64 = L"tamselviewer64_" + strTag, strIn32 = L"tamselviewer32_" + strTag,
                       strGone = L"tamselviewergone_" + strTag, strRef = L"tamselviewerref_" + strTag,
                       strNone = L"tamselviewernone_" + strTag;
    scantest::ViewKeys keys64(HKEY_LOCAL_MACHINE, KEY_WOW64_64KEY), keys32(HKEY_LOCAL_MACHINE, KEY_WOW64_32KEY);
    ASSERT_TRUE(keys64.SetString(strAppPaths + strIn64 + L".exe", L"", folder.File(L"viewer.exe")));
    ASSERT_TRUE(keys32.SetString(strAppPaths + strIn32 + L".exe", L"", L"\"" + folder.File(L"viewer.exe") + L"\""));
    ASSERT_TRUE(keys64.SetString(strAppPaths + strGone + L".exe", L"", folder.File(L"gone.exe")));
    ASSERT_TRUE(keys32.SetString(strAppPaths + strGone + L".exe", L"", folder.File(L"gone.exe")));
    // One name in both views, naming a program of each view's own kind.
    ASSERT_TRUE(keys64.SetString(strAppPaths + strRef + L".exe", L"",
                                 L"%ProgramFiles%\\" + view.strApp64 + L"\\app64.exe", REG_EXPAND_SZ));
    ASSERT_TRUE(keys32.SetString(strAppPaths + strRef + L".exe", L"",
                                 L"%ProgramFiles%\\" + view.strApp64 + L"\\app64.exe", REG_EXPAND_SZ));
    ASSERT_FALSE(keys32.Exists(strAppPaths + strIn64 + L".exe"));

    const std::vector<CommandCase> cases = {
        {strIn64 + L".exe \"%1\"", true, false},
        {strIn64 + L" \"%1\"", true, false},
        {L"\"" + strIn32 + L".exe\" \"%1\"", false, true},
        {strGone + L".exe \"%1\"", false, false},
        {strRef + L".exe %1", true, false},
        {strNone + L".exe %1", false, false},
    };
    CheckCases(pathTest, cases);
    EXPECT_TRUE(BareProgramExists((strIn64 + L".exe").c_str(), pathTest, PATH_VIEW_64));
    EXPECT_FALSE(BareProgramExists((strIn64 + L".exe").c_str(), pathTest, PATH_VIEW_32));
    EXPECT_FALSE(BareProgramExists((strGone + L".exe").c_str(), pathTest));
    EXPECT_TRUE(BareProgramExists(L"notepad.exe", pathTest));
}
