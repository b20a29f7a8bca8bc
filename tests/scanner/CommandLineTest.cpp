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
