// The export contract on the real Tunekit.dll, as the host drives it. The
// library's message boxes come from its own class library, so they are
// answered by clicking the real box.
#include "libapi/LibraryExports.h"
#include "optimizer/OptimizerViews.h"
#include "optimizer/SystemOptimizerDlg.h"
#include "optimizer/TunekitExports.h"
#include "optimizer/shared/IniFile.h"
#include "tests/optimizer/OptimizerTestSupport.h"
#include <atomic>
#include <thread>

using namespace optest;

namespace {
std::wstring ExeFolder()
{
    wchar_t szPath[MAX_PATH * 4] = {};
    ::GetModuleFileNameW(NULL, szPath, MAX_PATH * 4);
    std::wstring str(szPath);
    return str.substr(0, str.rfind(L'\\') + 1);
}

class TunekitDll : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_bIniExisted = ::GetFileAttributesW((ExeFolder() + L"Tunekit.ini").c_str()) != INVALID_FILE_ATTRIBUTES;
        m_hModule = ::LoadLibraryW((ExeFolder() + L"Tunekit.dll").c_str());
        ASSERT_NE(m_hModule, (HMODULE)NULL);
        m_pfnSwitch = (PFN_FunOptimizerSwitchLanguage)(void*)::GetProcAddress(m_hModule, "FunOptimizerSwitchLanguage");
        m_pfnInit = (PFN_FunInitOptimizer)(void*)::GetProcAddress(m_hModule, "FunInitOptimizer");
        m_pfnShow = (PFN_FunShowOptimizer)(void*)::GetProcAddress(m_hModule, "FunShowOptimizer");
        m_pfnExit = (PFN_FunExitOptimizer)(void*)::GetProcAddress(m_hModule, "FunExitOptimizer");
        ASSERT_TRUE(m_pfnSwitch && m_pfnInit && m_pfnShow && m_pfnExit);
    }
    void TearDown() override
    {
        if (m_pfnExit != NULL)
            m_pfnExit();
        if (m_hModule != NULL)
            ::FreeLibrary(m_hModule);
        if (!m_bIniExisted)
            ::DeleteFileW((ExeFolder() + L"Tunekit.ini").c_str());
    }
    HWND View(UINT nID) { return ::GetDlgItem(m_host.m_hWnd, (int)nID); }
    int VisibleViews()
    {
        int nMask = 0;
        for (UINT nID = 0x11; nID <= 0x13; nID++)
            if (::IsWindowVisible(View(nID)))
                nMask |= 1 << (nID - 0x11);
        return nMask;
    }

    RedirectedHive m_hive;
    HostWindow m_host;
    HMODULE m_hModule = NULL;
    bool m_bIniExisted = false;
    PFN_FunOptimizerSwitchLanguage m_pfnSwitch = NULL;
    PFN_FunInitOptimizer m_pfnInit = NULL;
    PFN_FunShowOptimizer m_pfnShow = NULL;
    PFN_FunExitOptimizer m_pfnExit = NULL;
};

} // namespace

TEST_F(TunekitDll, LanguageFirstThenViewsShowHideSwitchAndExit)
{
    std::wstring strEnglish = EnglishLanguageFile();
    EXPECT_EQ(m_pfnSwitch(strEnglish.c_str()), 1);
    EXPECT_EQ(m_pfnSwitch(strEnglish.c_str()), 0) << "the same path is ignored";

    HHOOK hHook = m_pfnInit(m_host.m_hWnd, 0x10, 20, 30, L"", L"", L"");
    ASSERT_NE(hHook, (HHOOK)NULL);
    for (UINT nID = 0x11; nID <= 0x13; nID++)
    {
        ASSERT_NE(View(nID), (HWND)NULL) << nID;
        RECT rc;
        ::GetWindowRect(View(nID), &rc);
        ::MapWindowPoints(NULL, m_host.m_hWnd, (LPPOINT)&rc, 2);
        EXPECT_EQ(rc.left, 20);
        EXPECT_EQ(rc.top, 30);
    }
    EXPECT_EQ(VisibleViews(), 0);
    // A second init makes no second set of views and no second hook.
    HWND hWizard = View(0x11);
    EXPECT_EQ(m_pfnInit(m_host.m_hWnd, 0x10, 20, 30, L"", L"", L""), hHook);
    EXPECT_EQ(View(0x11), hWizard);
    int nChildren = 0;
    for (HWND h = ::GetWindow(m_host.m_hWnd, GW_CHILD); h != NULL; h = ::GetWindow(h, GW_HWNDNEXT))
        nChildren++;
    EXPECT_EQ(nChildren, 3);

    m_pfnShow(0x11, 1);
    EXPECT_EQ(VisibleViews(), 1);
    m_pfnShow(0x12, 1);
    EXPECT_EQ(VisibleViews(), 2);
    m_pfnShow(0x10, 0);
    EXPECT_EQ(VisibleViews(), 0);
    m_pfnShow(0x11, 1);
    EXPECT_EQ(VisibleViews(), 1);
    m_pfnShow(0x55, 0);
    EXPECT_EQ(VisibleViews(), 0);
    m_pfnShow(0x11, 1);
    EXPECT_EQ(VisibleViews(), 1) << "after an unknown view the wizard shows again";

    // A new language file: every view reads its texts again.
    testsupport::ScratchFolder folder;
    std::wstring strGerman = folder.File(L"German.ini");
    ASSERT_TRUE(::CopyFileW(strEnglish.c_str(), strGerman.c_str(), FALSE));
    ::WritePrivateProfileStringW(L"String", L"IDC_STC_SV_CAMPUS", L"Dienste", strGerman.c_str());
    ::WritePrivateProfileStringW(L"String", L"IDC_STC_MEM_APM", L"Speicher", strGerman.c_str());
    ::WritePrivateProfileStringW(L"String", L"IDC_BTN_OPTIMIZE_STEP1", L"Schritt1", strGerman.c_str());
    ::WritePrivateProfileStringW(L"String", L"IDC_STC_DC_INFO", L"Plattencache", strGerman.c_str());
    EXPECT_EQ(m_pfnSwitch(strGerman.c_str()), 1);
    wchar_t szText[256] = {};
    ::GetDlgItemTextW(View(0x12), 5089, szText, 256);
    EXPECT_STREQ(szText, L"Dienste");
    ::GetDlgItemTextW(View(0x13), 5104, szText, 256);
    EXPECT_STREQ(szText, L"Speicher");
    ::GetDlgItemTextW(View(0x11), 5027, szText, 256);
    EXPECT_STREQ(szText, L"Schritt1");

    m_pfnExit();
    EXPECT_EQ(View(0x11), (HWND)NULL);
    EXPECT_EQ(View(0x13), (HWND)NULL);
    EXPECT_FALSE(::UnhookWindowsHookEx(hHook)) << "already removed";
}

TEST_F(TunekitDll, DefaultAsksInTheLibrarysOwnBoxAndNoChangesNothing)
{
    m_pfnSwitch(EnglishLanguageFile().c_str());
    m_pfnInit(m_host.m_hWnd, 0x10, 0, 0, L"", L"", L"");
    m_pfnShow(0x11, 1);
    size_t nBefore = m_hive.Dump().size();
    std::atomic<bool> bStop(false);
    std::wstring strSeen;
    DWORD dwProcess = ::GetCurrentProcessId();
    std::thread clicker([&] {
        for (int i = 0; i < 2400 && !bStop; i++)
        {
            ::Sleep(50);
            HWND hBox = ::FindWindowW(L"#32770", NULL);
            DWORD dwOwner = 0;
            if (hBox == NULL || (::GetWindowThreadProcessId(hBox, &dwOwner), dwOwner != dwProcess))
                continue;
            // A box found while it is still being made has no text yet.
            wchar_t szText[256] = {};
            if (!::IsWindowVisible(hBox) || ::GetDlgItemTextW(hBox, 0xFFFF, szText, 256) == 0)
                continue;
            strSeen = szText;
            ::PostMessageW(hBox, WM_COMMAND, IDNO, (LPARAM)::GetDlgItem(hBox, IDNO));
            return;
        }
    });
    ::SendMessageW(View(0x11), WM_COMMAND, MAKEWPARAM(5024, BN_CLICKED), (LPARAM)::GetDlgItem(View(0x11), 5024));
    bStop = true;
    clicker.join();
    EXPECT_EQ(strSeen, L"You will restore default settings, are you sure to continue?");
    EXPECT_EQ(m_hive.Dump().size(), nBefore);
}

namespace {
WNDPROC s_pfnTipProc = NULL;
int s_nRelayed = 0;
LRESULT CALLBACK CountingTipProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == TTM_RELAYEVENT && lParam != 0 && ((MSG*)lParam)->message == WM_MOUSEMOVE)
        s_nRelayed++;
    return ::CallWindowProcW(s_pfnTipProc, hWnd, message, wParam, lParam);
}
} // namespace

// The hook hands the tooltips the mouse messages taken from the queue, and
// only those: a message that is merely peeked is not relayed.
TEST(OptimizerHook, RelaysOnlyRemovedMouseMessagesAndGoesAtExit)
{
    HostWindow host;
    RedirectedHive hive;
    testsupport::ScratchFolder folder;
    CIniFile::SetHostFolderForTests(folder.Path().c_str());
    FunOptimizerSwitchLanguage(EnglishLanguageFile().c_str());
    HHOOK hHook = FunInitOptimizer(host.m_hWnd, 0x11, 0, 0, L"", L"", L"");
    ASSERT_NE(hHook, (HHOOK)NULL);
    EXPECT_EQ(GetOptimizerHook(), hHook);
    FunShowOptimizer(0x11, 1);
    CSkinTab& tab = GetSystemOptimizerView()->TabStrip();
    HWND hTip = tab.GetToolTip().m_hWnd;
    ASSERT_NE(hTip, (HWND)NULL);
    s_pfnTipProc = (WNDPROC)::SetWindowLongPtrW(hTip, GWLP_WNDPROC, (LONG_PTR)&CountingTipProc);
    Pump(100);

    POINT pt = {150, 12};
    ::ClientToScreen(tab.m_hWnd, &pt);
    s_nRelayed = 0;
    ::SetCursorPos(pt.x, pt.y);
    // Only peeked: left in the queue, not relayed.
    MSG msg = {};
    BOOL bQueued = FALSE;
    for (int i = 0; i < 1000 && !bQueued; ++i)
    {
        bQueued = ::PeekMessageW(&msg, tab.m_hWnd, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_NOREMOVE);
        if (!bQueued)
            ::Sleep(10);
    }
    ASSERT_TRUE(bQueued) << "the pointer's move never reached the tab strip";
    ASSERT_EQ(msg.message, (UINT)WM_MOUSEMOVE);
    ::PeekMessageW(&msg, tab.m_hWnd, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_NOREMOVE);
    EXPECT_EQ(s_nRelayed, 0);
    Pump(100);
    EXPECT_GE(s_nRelayed, 1);
    EXPECT_EQ(tab.GetHoverTab(), 1);
    CString strTip;
    tab.GetToolTip().GetText(strTip, &tab);
    EXPECT_EQ(strTip, CString(L"Disk Cache Optimization"));
    // Other messages are not relayed.
    int nBefore = s_nRelayed;
    ::PostMessageW(tab.m_hWnd, WM_USER + 5, 0, 0);
    Pump(50);
    EXPECT_EQ(s_nRelayed, nBefore);

    ::SetWindowLongPtrW(hTip, GWLP_WNDPROC, (LONG_PTR)s_pfnTipProc);
    FunExitOptimizer();
    EXPECT_EQ(GetOptimizerHook(), (HHOOK)NULL);
    EXPECT_EQ(GetSystemOptimizerView(), nullptr);
    EXPECT_EQ(::GetDlgItem(host.m_hWnd, 0x11), (HWND)NULL);
    CIniFile::SetHostFolderForTests(NULL);
    ::SetCursorPos(900, 900);
}

// The library needs nothing but Windows' own DLLs, and never ends the session.
TEST_F(TunekitDll, ImportsOnlySystemLibrariesAndNoSessionEnd)
{
    const BYTE* pBase = (const BYTE*)m_hModule;
    const IMAGE_NT_HEADERS* pNt = (const IMAGE_NT_HEADERS*)(pBase + ((const IMAGE_DOS_HEADER*)pBase)->e_lfanew);
    const IMAGE_DATA_DIRECTORY& dir = pNt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    ASSERT_NE(dir.VirtualAddress, 0u);
    const char* allowed[] = {"advapi32.dll", "comctl32.dll", "gdi32.dll",   "kernel32.dll", "msvcrt.dll", "ole32.dll",
                             "oleaut32.dll", "shell32.dll",  "shlwapi.dll", "user32.dll",   "msimg32.dll", "winmm.dll",
                             "comdlg32.dll", "version.dll",  "wininet.dll", "uxtheme.dll"};
    int nLibraries = 0;
    for (auto* pDesc = (const IMAGE_IMPORT_DESCRIPTOR*)(pBase + dir.VirtualAddress); pDesc->Name != 0; pDesc++)
    {
        std::string strName = (const char*)(pBase + pDesc->Name);
        for (char& ch : strName)
            ch = (char)tolower((unsigned char)ch);
        bool bAllowed = false;
        for (const char* psz : allowed)
            bAllowed = bAllowed || strName == psz;
        EXPECT_TRUE(bAllowed) << strName;
        nLibraries++;
        for (auto* pThunk = (const IMAGE_THUNK_DATA*)(pBase + pDesc->OriginalFirstThunk); pThunk->u1.AddressOfData != 0;
             pThunk++)
        {
            if (IMAGE_SNAP_BY_ORDINAL(pThunk->u1.Ordinal))
                continue;
            const char* pszFunction = ((const IMAGE_IMPORT_BY_NAME*)(pBase + pThunk->u1.AddressOfData))->Name;
            EXPECT_STRNE(pszFunction, "ExitWindowsEx") << strName;
        }
    }
    EXPECT_GT(nLibraries, 3);
}
