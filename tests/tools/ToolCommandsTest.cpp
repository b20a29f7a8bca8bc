#include "services/NtRegistry.h"
#include "services/RegFile.h"
#include "tools/ToolCommands.h"
#include "tests/support/TestSupport.h"
#include "tests/tools/ToolTestSupport.h"

#include <gtest/gtest.h>
#include <algorithm>

using namespace tooltest;

TEST(ToolCommands, ProgramOfACommandLine)
{
    EXPECT_EQ(ProgramPathOfCommand(L"\"C:\\Program Files\\App\\App.EXE\" /tray"), CString(L"c:\\program files\\app\\app.exe"));
    EXPECT_EQ(ProgramPathOfCommand(L"C:\\x\\run.exe -a -b"), CString(L"c:\\x\\run.exe"));
    // Without ".exe" the text is taken whole, unquoted and in lower case.
    EXPECT_EQ(ProgramPathOfCommand(L"\"C:\\Tools\\Helper.bat\""), CString(L"c:\\tools\\helper.bat"));
    EXPECT_EQ(ProgramPathOfCommand(L"rundll32 shell32.dll,Control  "), CString(L"rundll32 shell32.dll,control"));
}

TEST(ToolCommands, BhoDllPaths)
{
    wchar_t szSystem[MAX_PATH];
    GetSystemDirectoryW(szSystem, MAX_PATH);
    EXPECT_EQ(BhoDllFilePath(L"x.dll"), CString(szSystem) + L"\\x.dll");
    EXPECT_EQ(BhoDllFilePath(L"C:\\y\\x.dll"), CString(L"C:\\y\\x.dll"));
    wchar_t szRoot[MAX_PATH];
    GetEnvironmentVariableW(L"SystemRoot", szRoot, MAX_PATH);
    EXPECT_EQ(BhoDllFilePath(L"%SystemRoot%\\z.dll"), CString(szRoot) + L"\\z.dll");
}

TEST(ToolCommands, IconsAndCommandsThatCannotBe)
{
    EXPECT_TRUE(ExtractFirstIcon(L"C:\\nowhere\\missing.exe") == NULL);
    testsupport::ScratchFolder folder;
    testsupport::WriteFileBytes(folder.File(L"plain.txt"), "no icons here");
    EXPECT_TRUE(ExtractFirstIcon(folder.File(L"plain.txt").c_str()) == NULL);
    HICON hIcon = LoadUninstallDefaultIcon();
    EXPECT_TRUE(hIcon != NULL);
    if (hIcon)
        DestroyIcon(hIcon);
    // A file without an icon gets a plain program picture, never our own
    // logo, whose tick reads as a checked box.
    HICON hProgram = LoadProgramSmallIcon();
    HICON hOwn = LoadOwnSmallIcon();
    ASSERT_TRUE(hProgram != NULL);
    ASSERT_TRUE(hOwn != NULL);
    std::vector<COLORREF> program = tooltest::IconPixels(hProgram);
    EXPECT_NE(program, tooltest::IconPixels(hOwn));
    EXPECT_NE(std::count(program.begin(), program.end(), RGB(255, 255, 255)), (long)program.size());
    DestroyIcon(hProgram);
    DestroyIcon(hOwn);
    DWORD dwError = 0;
    EXPECT_FALSE(StartCommandLine(CString(L'a', TOOL_MAX_COMMAND + 1), &dwError));
    EXPECT_EQ(dwError, (DWORD)ERROR_FILENAME_EXCED_RANGE);
    EXPECT_FALSE(StartCommandLine(L"C:\\nowhere\\missing.exe", &dwError));
    EXPECT_NE(dwError, 0u);
    EXPECT_FALSE(StartCommandLine(L"", &dwError));
}

TEST(ToolCommands, ReadOnlySelectAndOneValueExport)
{
    testsupport::ScratchRegKey scratch;
    SetText(HKEY_CURRENT_USER, scratch.Path(), L"v", L"text");
    CNtRegistry reg;
    ASSERT_TRUE(reg.SetKeyForReading(HKEY_CURRENT_USER, scratch.Path().c_str()));
    EXPECT_EQ(reg.ReadString(L"v", L"ERR"), CString(L"text"));
    EXPECT_FALSE(reg.SetKeyForReading(HKEY_CURRENT_USER, (scratch.Path() + L"\\none").c_str()));
    EXPECT_EQ(reg.GetKey(), CString(scratch.Path().c_str()));
    EXPECT_FALSE(reg.SetKeyForReading(HKEY_CURRENT_CONFIG, L"Software"));

    testsupport::ScratchFolder folder;
    std::wstring file = folder.File(L"one.reg");
    HANDLE hFile = CreateFileW(file.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    ASSERT_NE(hFile, INVALID_HANDLE_VALUE);
    CRegFile regFile;
    regFile.m_hFile = hFile;
    regFile.m_nCount = 0;
    regFile.m_nColumn = 0;
    CString strPath = CString(L"HKEY_CURRENT_USER\\") + scratch.Path().c_str();
    EXPECT_EQ(regFile.ExportValue(strPath, L"missing"), (DWORD)ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(regFile.ExportValue(strPath, L"v"), 0u);
    CloseHandle(hFile);
    std::wstring expected = L"[" + std::wstring(strPath) + L"]\r\n\"v\"=\"text\"\r\n\r\n";
    EXPECT_EQ(testsupport::ReadFileBytes(file), std::string((const char*)expected.data(), expected.size() * 2));
    CRegFile noFile;
    noFile.m_hFile = INVALID_HANDLE_VALUE;
    EXPECT_EQ(noFile.ExportValue(strPath, L"v"), (DWORD)ERROR_INVALID_HANDLE);
}
