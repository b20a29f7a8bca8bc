// The real Sweepkit.dll as the host drives it, through to FreeLibrary.
#include "libapi/LibraryExports.h"
#include "tests/privacy_frame/FrameTestSupport.h"

using namespace frametest;

TEST(SweepkitDll, LoadsShowsExitsAndUnloadsTwice)
{
    HostWindow host;
    for (int nRound = 0; nRound < 2; nRound++)
    {
        HMODULE hModule = ::LoadLibraryW((ExeFolder() + L"Sweepkit.dll").c_str());
        ASSERT_NE(hModule, (HMODULE)NULL);
        auto pfnSwitch = (PFN_FunPrivacySwitchLanguage)(void*)::GetProcAddress(hModule, "FunPrivacySwitchLanguage");
        auto pfnInit = (PFN_FunInitPrivacy)(void*)::GetProcAddress(hModule, "FunInitPrivacy");
        auto pfnShow = (PFN_FunShowWindow)(void*)::GetProcAddress(hModule, "FunShowWindow");
        auto pfnIsThread = (PFN_FunIsThread)(void*)::GetProcAddress(hModule, "FunIsThread");
        auto pfnStop = (PFN_FunStopThread)(void*)::GetProcAddress(hModule, "FunStopThread");
        auto pfnExit = (PFN_FunExitPrivacy)(void*)::GetProcAddress(hModule, "FunExitPrivacy");
        ASSERT_TRUE(pfnSwitch && pfnInit && pfnShow && pfnIsThread && pfnStop && pfnExit);

        pfnSwitch(EnglishLanguageFile().c_str());
        ASSERT_NE(pfnInit(host.m_hWnd, 0, 10, 20, L"", L"", L""), (HHOOK)NULL);
        HWND hJunk = ::GetDlgItem(host.m_hWnd, 350);
        ASSERT_NE(hJunk, (HWND)NULL);
        ASSERT_NE(::GetDlgItem(host.m_hWnd, 4000), (HWND)NULL);
        ASSERT_NE(::GetDlgItem(host.m_hWnd, 157), (HWND)NULL);
        pfnShow(2, 1);
        EXPECT_TRUE(::IsWindowVisible(hJunk));
        EXPECT_EQ(pfnIsThread(), 0);
        pfnStop();
        Pump(50);

        pfnExit();
        EXPECT_FALSE(::IsWindow(hJunk));
        EXPECT_TRUE(::FreeLibrary(hModule));
        // No hook or window of the unloaded code is left to run.
        ::PostMessageW(host.m_hWnd, WM_MOUSEMOVE, 0, 0);
        ::PostMessageW(host.m_hWnd, WM_LBUTTONUP, 0, 0);
        Pump(100);
        EXPECT_TRUE(::IsWindow(host.m_hWnd));
        EXPECT_EQ(::GetWindow(host.m_hWnd, GW_CHILD), (HWND)NULL);
    }
}
