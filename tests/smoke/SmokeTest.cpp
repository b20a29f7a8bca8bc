#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <string>

using namespace testsupport;

namespace {
std::wstring ProgramFolder()
{
    wchar_t szPath[MAX_PATH];
    GetModuleFileNameW(NULL, szPath, MAX_PATH);
    std::wstring path = szPath;
    return path.substr(0, path.rfind(L'\\') + 1);
}
} // namespace

// The program starts, shows a top-level window, and ends when it is closed.
TEST(Smoke, StartsShowsWindowAndEndsOnClose)
{
    std::wstring exe = ProgramFolder() + L"Tamsel.exe";
    ASSERT_NE(GetFileAttributesW(exe.c_str()), INVALID_FILE_ATTRIBUTES) << "Tamsel.exe is not beside the tests";
    std::wstring cmd = L"\"" + exe + L"\"";
    STARTUPINFOW si = { sizeof(si) };
    PROCESS_INFORMATION pi = {};
    ASSERT_TRUE(CreateProcessW(NULL, &cmd[0], NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi));
    HWND hWnd = NULL;
    bool bShown = WaitFor([&] { return (hWnd = FindProcessWindow(pi.dwProcessId)) != NULL; }, 30000);
    if (bShown)
        PostMessageW(hWnd, WM_CLOSE, 0, 0);
    DWORD dwWait = WaitForSingleObject(pi.hProcess, 30000);
    if (dwWait != WAIT_OBJECT_0)
        TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    EXPECT_TRUE(bShown);
    EXPECT_EQ(dwWait, (DWORD)WAIT_OBJECT_0);
}

// Both libraries load from the program's folder.
TEST(Smoke, LibrariesLoad)
{
    for (const wchar_t* pszName : { L"Tunekit.dll", L"Sweepkit.dll" })
    {
        HMODULE hLib = LoadLibraryW((ProgramFolder() + pszName).c_str());
        EXPECT_NE(hLib, (HMODULE)NULL) << "cannot load";
        if (hLib)
            FreeLibrary(hLib);
    }
}
