// The programs the product starts from the system folder: on 64-bit Windows
// the ones a user of it gets (the real System32, which a 32-bit process names
// Sysnative), and never a program of that name from another folder.
#include "services/SystemProgram.h"
#include "services/Wow64.h"
#include "tools/ToolCommands.h"

#include <gtest/gtest.h>
#include <shlwapi.h>
#include <string>

namespace {

std::wstring Lower(const CString& str)
{
    std::wstring text = (LPCWSTR)str;
    if (!text.empty())
        CharLowerBuffW(&text[0], (DWORD)text.size());
    return text;
}

std::wstring SystemFolder()
{
    wchar_t szSystem[MAX_PATH] = {};
    GetSystemDirectoryW(szSystem, MAX_PATH);
    return szSystem;
}

// Where this process reaches the real System32: through Sysnative in a
// 32-bit process on 64-bit Windows, directly everywhere else.
std::wstring NativeSystemFolder()
{
    if (!IsRunningOnWow64())
        return SystemFolder();
    wchar_t szWindows[MAX_PATH] = {};
    GetSystemWindowsDirectoryW(szWindows, MAX_PATH);
    return std::wstring(szWindows) + L"\\Sysnative";
}

TEST(SystemProgram, PathsAreTheRealSystemFolders)
{
    std::wstring rundll = NativeSystemFolder() + L"\\rundll32.exe";
    EXPECT_EQ(Lower(SystemFolderPath()), Lower(SystemFolder().c_str()));
    EXPECT_EQ(Lower(SystemProgramPath(L"rundll32.exe")), Lower(rundll.c_str()));
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(rundll.c_str()));
    // A file below the folder is found the same way.
    std::wstring etc = NativeSystemFolder() + L"\\drivers\\etc\\hosts";
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(etc.c_str()));
    EXPECT_EQ(Lower(SystemProgramPath(L"drivers\\etc\\hosts")), Lower(etc.c_str()));
    // What the real System32 lacks is the process's own system folder's.
    EXPECT_EQ(Lower(SystemProgramPath(L"tamsel-not-there.exe")), Lower((SystemFolder() + L"\\tamsel-not-there.exe").c_str()));
    EXPECT_TRUE(SystemProgramPath(NULL).IsEmpty());
    EXPECT_TRUE(SystemProgramPath(L"").IsEmpty());
}

TEST(SystemProgram, CommandsNamingASystemProgramStartItFromThere)
{
    std::wstring rundll = Lower((NativeSystemFolder() + L"\\rundll32.exe").c_str());
    std::wstring system = SystemFolder();
    EXPECT_EQ(Lower(SystemProgramOfCommand(L"rundll32.exe shell32.dll,Control_RunDLL")), rundll);
    // CreateProcess adds ".exe" to a name without an extension; names compare without case.
    EXPECT_EQ(Lower(SystemProgramOfCommand(L"  RunDll32 x.dll,Entry")), rundll);
    EXPECT_EQ(Lower(SystemProgramOfCommand((L"\"" + system + L"\\rundll32.exe\" x.dll,Entry").c_str())), rundll);
    EXPECT_EQ(Lower(SystemProgramOfCommand((system + L"\\RUNDLL32.EXE\tx.dll,Entry").c_str())), rundll);
    EXPECT_EQ(Lower(SystemProgramOfCommand((L"\"" + system + L"\\rundll32\"").c_str())), rundll);
    // The console host is a 64-bit program only: a 32-bit process finds it
    // through Sysnative alone.
    std::wstring conhost = Lower((NativeSystemFolder() + L"\\conhost.exe").c_str());
    ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(conhost.c_str()));
    EXPECT_EQ(Lower(SystemProgramOfCommand((system + L"\\conhost.exe").c_str())), conhost);
    EXPECT_EQ(Lower(SystemProgramOfCommand(L"conhost")), conhost);

    // Look-alikes go to CreateProcess as they are.
    wchar_t szExe[MAX_PATH] = {};
    GetModuleFileNameW(NULL, szExe, MAX_PATH);
    wchar_t szWindows[MAX_PATH] = {};
    GetSystemWindowsDirectoryW(szWindows, MAX_PATH);
    for (const std::wstring& command : {std::wstring(L"C:\\nowhere\\rundll32.exe x"),
                                        L"\"" + std::wstring(szExe) + L"\" /x",
                                        std::wstring(L"tamsel-not-there.exe /x"),
                                        std::wstring(L"tamsel-not-there"),
                                        L"\"" + system + L"\\tamsel-not-there.exe\"",
                                        system + L"x\\rundll32.exe",
                                        std::wstring(szWindows) + L"\\notepad.exe",
                                        std::wstring(L"rundll32.exe\\"),
                                        std::wstring(L""),
                                        std::wstring(L"\"\"")})
        EXPECT_TRUE(SystemProgramOfCommand(command.c_str()).IsEmpty()) << command;
    // A program named in the 32-bit system folder is the 32-bit one on purpose.
    wchar_t szWow[MAX_PATH] = {};
    if (GetSystemWow64DirectoryW(szWow, MAX_PATH) > 0)
        EXPECT_TRUE(SystemProgramOfCommand((std::wstring(szWow) + L"\\rundll32.exe x").c_str()).IsEmpty());
}

TEST(SystemProgram, WhatCannotStartSaysWhy)
{
    HANDLE hProcess = INVALID_HANDLE_VALUE;
    DWORD dwError = 0;
    EXPECT_FALSE(StartSystemProgram(L"tamsel-not-there.exe", L"/x", &hProcess, &dwError));
    EXPECT_TRUE(hProcess == NULL);
    EXPECT_NE(dwError, 0u);
    // A command naming a missing file of the system folder fails as before.
    EXPECT_FALSE(StartCommandLine((L"\"" + SystemFolder() + L"\\tamsel-not-there.exe\" /x").c_str(), &dwError));
    EXPECT_NE(dwError, 0u);
}

} // namespace
