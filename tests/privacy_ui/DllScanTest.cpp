// The real Sweepkit.dll left and unloaded while its evidence scan runs.
#include "libapi/LibraryExports.h"
#include "tests/privacy_ui/PrivacyUiSupport.h"

using namespace privtest;

namespace {
std::wstring ExeFolder()
{
    wchar_t szPath[MAX_PATH] = L"";
    ::GetModuleFileNameW(NULL, szPath, MAX_PATH);
    std::wstring strPath = szPath;
    return strPath.substr(0, strPath.rfind(L'\\') + 1);
}
} // namespace

TEST(SweepkitDllScan, ExitAndFreeLibraryWhileTheScanRuns)
{
    // The DLL's own settings file lands beside this executable.
    const std::wstring strIni = ExeFolder() + L"Sweepkit.ini";
    const bool bIniWasThere = ::GetFileAttributesW(strIni.c_str()) != INVALID_FILE_ATTRIBUTES;
    HostWindow host;
    HMODULE hModule = ::LoadLibraryW((ExeFolder() + L"Sweepkit.dll").c_str());
    ASSERT_NE(hModule, (HMODULE)NULL);
    auto pfnSwitch = (PFN_FunPrivacySwitchLanguage)(void*)::GetProcAddress(hModule, "FunPrivacySwitchLanguage");
    auto pfnInit = (PFN_FunInitPrivacy)(void*)::GetProcAddress(hModule, "FunInitPrivacy");
    auto pfnShow = (PFN_FunShowWindow)(void*)::GetProcAddress(hModule, "FunShowWindow");
    auto pfnIsThread = (PFN_FunIsThread)(void*)::GetProcAddress(hModule, "FunIsThread");
    auto pfnExit = (PFN_FunExitPrivacy)(void*)::GetProcAddress(hModule, "FunExitPrivacy");
    ASSERT_TRUE(pfnSwitch && pfnInit && pfnShow && pfnIsThread && pfnExit);
    pfnSwitch(EnglishLanguageFile().c_str());
    pfnInit(host.m_hWnd, 1, 10, 20, L"", L"", L"");
    HWND hPage = ::GetDlgItem(host.m_hWnd, 4000);
    ASSERT_NE(hPage, (HWND)NULL);
    pfnShow(1, 1);
    ::SendMessageW(hPage, WM_COMMAND, MAKEWPARAM(15001, BN_CLICKED), (LPARAM)::GetDlgItem(hPage, 15001));
    EXPECT_EQ(pfnIsThread(), 1) << "busy as soon as Scan returns";
    // The host leaves at once: the stop is seen before the next item.
    pfnExit();
    EXPECT_EQ(pfnIsThread(), 0);
    EXPECT_FALSE(::IsWindow(hPage));
    EXPECT_TRUE(::FreeLibrary(hModule));
    // Rows or item marks posted to the gone page find no window.
    Pump(300);
    EXPECT_TRUE(::IsWindow(host.m_hWnd));
    EXPECT_EQ(::GetWindow(host.m_hWnd, GW_CHILD), (HWND)NULL);
    if (!bIniWasThere)
        ::DeleteFileW(strIni.c_str());
}
