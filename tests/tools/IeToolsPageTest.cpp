#include "tools/IeToolsPage.h"
#include "tools/IeProblemsPage.h"

#include <gtest/gtest.h>
#include <shlwapi.h>
#include <string>

namespace {

std::wstring ExeFolder()
{
    wchar_t szPath[MAX_PATH] = {};
    GetModuleFileNameW(NULL, szPath, MAX_PATH);
    PathRemoveFileSpecW(szPath);
    return szPath;
}

std::wstring Lower(std::wstring text)
{
    CharLowerBuffW(&text[0], (DWORD)text.size());
    return text;
}

// A rundll32.exe in the program folder or the current folder must not be the
// one started; on 64-bit Windows the 32-bit program starts the 64-bit
// rundll32 of the real System32, as the system's own Control Panel does.
TEST(IeToolsPageTest, InternetOptionsRunsTheSystemRundll32)
{
    std::wstring marker = ExeFolder() + L"\\tools_marker.exe";
    std::wstring planted = ExeFolder() + L"\\rundll32.exe";
    wchar_t szCurrent[MAX_PATH] = {};
    GetCurrentDirectoryW(MAX_PATH, szCurrent);
    std::wstring plantedCurrent = std::wstring(szCurrent) + L"\\rundll32.exe";
    ASSERT_TRUE(CopyFileW(marker.c_str(), planted.c_str(), FALSE));
    bool bPlantedCurrent = Lower(plantedCurrent) != Lower(planted) && CopyFileW(marker.c_str(), plantedCurrent.c_str(), FALSE);

    HANDLE hProcess = NULL;
    ASSERT_TRUE(CIeToolsPage::StartInternetOptions(&hProcess));
    ASSERT_TRUE(hProcess != NULL);
    wchar_t szImage[MAX_PATH] = {};
    DWORD nSize = MAX_PATH;
    typedef BOOL(WINAPI * QueryImageName)(HANDLE, DWORD, LPWSTR, PDWORD);
    QueryImageName pfnQuery = reinterpret_cast<QueryImageName>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "QueryFullProcessImageNameW")));
    BOOL bNamed = pfnQuery != NULL && pfnQuery(hProcess, 0, szImage, &nSize);
    typedef BOOL(WINAPI * IsWow64)(HANDLE, PBOOL);
    IsWow64 pfnIsWow64 =
        reinterpret_cast<IsWow64>(reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "IsWow64Process")));
    BOOL bChildWow64 = TRUE;
    BOOL bAsked = pfnIsWow64 != NULL && pfnIsWow64(hProcess, &bChildWow64);
    wchar_t szSystem[MAX_PATH] = {};
    GetSystemDirectoryW(szSystem, MAX_PATH);
    TerminateProcess(hProcess, 0);
    WaitForSingleObject(hProcess, 10000);
    CloseHandle(hProcess);
    DeleteFileW(planted.c_str());
    if (bPlantedCurrent)
        DeleteFileW(plantedCurrent.c_str());

    ASSERT_TRUE(bNamed);
    // A 64-bit process is named by its real path, System32, whoever asks;
    // 32-bit Windows has no other rundll32 (and no WOW64 process at all).
    EXPECT_EQ(Lower(std::wstring(szSystem) + L"\\rundll32.exe"), Lower(szImage));
    ASSERT_TRUE(bAsked);
    EXPECT_FALSE(bChildWow64) << "a 32-bit rundll32 was started";
    // The marker names its output after its first argument.
    for (const std::wstring& folder : {ExeFolder(), std::wstring(szCurrent), std::wstring(szSystem)})
        EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW((folder + L"\\shell32.dll,Control_RunDLL").c_str()));
}

TEST(IeToolsPageTest, HelpLinksPointAtTheSupportSite)
{
    EXPECT_EQ(L"http://www.tamsel.net/pcsupport/html/Internet-Explorer/5731-Internet-Explorer-does-not-Display-Images.html",
              std::wstring((LPCWSTR)CIeProblemsPage::LinkUrl(0)));
    EXPECT_EQ(L"http://www.tamsel.net/pcsupport/html/Internet-Explorer/5773-How-to-Uninstall-Internet-Explorer-7.html",
              std::wstring((LPCWSTR)CIeProblemsPage::LinkUrl(5)));
    EXPECT_TRUE(CIeProblemsPage::LinkUrl(6).IsEmpty());
}

} // namespace
