#include "tests/main_window/MainWindowFixture.h"
#include "app/SkinDialog.h"
#include "app/SplashWnd.h"
#include "controls/lists/IconComboBox.h"

using testsupport::WaitFor;

namespace {
// A 24-bit bitmap of one colour with some pixels in another.
HBITMAP MakeBitmap(int nWidth, int nHeight, COLORREF crFill, std::initializer_list<POINT> keyPixels, COLORREF crKey)
{
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = nWidth;
    bmi.bmiHeader.biHeight = -nHeight;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    void* pBits = NULL;
    HBITMAP hBitmap = ::CreateDIBSection(NULL, &bmi, DIB_RGB_COLORS, &pBits, NULL, 0);
    DWORD* pPixels = static_cast<DWORD*>(pBits);
    auto toDib = [](COLORREF cr) { return (DWORD)(GetRValue(cr) << 16 | GetGValue(cr) << 8 | GetBValue(cr)); };
    for (int i = 0; i < nWidth * nHeight; i++)
        pPixels[i] = toDib(crFill);
    for (POINT pt : keyPixels)
        pPixels[pt.y * nWidth + pt.x] = toDib(crKey);
    return hBitmap;
}

class CTestSkinDialog : public CSkinDialog
{
public:
    CTestSkinDialog() : CSkinDialog(150, NULL) {}
    int m_nBackgroundCalls = 0;
    void SetButtonsBk(CDC*) override { ++m_nBackgroundCalls; }
};
} // namespace

TEST(CSkinDialog, CutsTheKeyColourAndKeepsTheWindowRectangularWithoutOne)
{
    CTestSkinDialog dlg;
    ASSERT_TRUE(dlg.Create(150, CWnd::GetDesktopWindow()));
    // Black counts as a key colour like any other.
    HBITMAP hBitmap = MakeBitmap(801, 20, RGB(200, 200, 200), {{0, 0}, {5, 7}}, RGB(0, 0, 0));
    EXPECT_EQ(dlg.SetBitmap(hBitmap, RGB(0, 0, 0)), 0u);
    CRgn rgn;
    rgn.CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(dlg.GetWindowRgn(rgn), ERROR);
    EXPECT_FALSE(rgn.PtInRegion(0, 0));
    EXPECT_FALSE(rgn.PtInRegion(5, 7));
    EXPECT_TRUE(rgn.PtInRegion(6, 7));
    // 801 pixels wide: the region ends after 800.
    EXPECT_TRUE(rgn.PtInRegion(799, 10));
    EXPECT_FALSE(rgn.PtInRegion(800, 10));

    HBITMAP hPlain = MakeBitmap(40, 30, RGB(200, 200, 200), {{1, 1}}, RGB(255, 0, 255));
    EXPECT_EQ(dlg.SetBitmap(hPlain, 0xFFFFFFFF), 0u);
    EXPECT_EQ(dlg.GetWindowRgn(rgn), ERROR);  // no region at all
    EXPECT_EQ(dlg.m_nBitmapWidth, 40);

    dlg.ShowWindow(SW_SHOW);
    dlg.RedrawWindow();
    EXPECT_GT(dlg.m_nBackgroundCalls, 0);
    dlg.DestroyWindow();
}

TEST(CSkinDialog, RefusesLayoutsAbove12)
{
    CTestSkinDialog dlg;
    EXPECT_EQ(dlg.SetLayout(12, FALSE), 0u);
    EXPECT_EQ(dlg.SetLayout(13, FALSE), 2u);
    EXPECT_EQ(dlg.m_nLayout, 12);
    EXPECT_EQ(dlg.SetBitmap((HBITMAP)NULL, 0), 0u);
    EXPECT_EQ(dlg.SetBitmap((UINT)9999, 0), 0u);  // no such resource: no skin
    EXPECT_EQ(dlg.m_hBitmap, (HBITMAP)NULL);
}

TEST(CIconComboBox, KeepsTheLastIconOfAnItem)
{
    CWnd host;
    ASSERT_TRUE(host.CreateEx(0, AfxRegisterWndClass(0), L"Host", WS_POPUP, 0, 0, 300, 300, NULL, NULL));
    CIconComboBox combo;
    ASSERT_TRUE(combo.Create(WS_CHILD | CBS_DROPDOWNLIST | CBS_OWNERDRAWFIXED | CBS_HASSTRINGS, CRect(0, 0, 200, 200),
                             &host, 1029));
    combo.AddString(L"English");
    combo.AddString(L"More Languages...");
    combo.SetItemIcon(0, IDI_TAMSEL);
    HICON hFirst = combo.GetItemIcon(0);
    combo.SetItemIcon(0, IDI_FLAG_ENGLISH);
    EXPECT_NE(combo.GetItemIcon(0), (HICON)NULL);
    EXPECT_NE(combo.GetItemIcon(0), hFirst);
    EXPECT_EQ(combo.GetItemIcon(1), (HICON)NULL);
    combo.SetItemIcon(1, 0);
    EXPECT_EQ(combo.GetItemIcon(1), (HICON)NULL);
    combo.DestroyWindow();
    host.DestroyWindow();
}

TEST(CSplashWnd, ShowsOnceAndGoesOnTheFirstClickOrAfterHalfASecond)
{
    CSplashWnd::EnableSplashScreen(FALSE);
    CSplashWnd::ShowSplashScreen(NULL);
    EXPECT_EQ(CSplashWnd::GetSplashWnd(), nullptr);

    CSplashWnd::EnableSplashScreen(TRUE);
    CSplashWnd::ShowSplashScreen(NULL);
    ASSERT_NE(CSplashWnd::GetSplashWnd(), nullptr);
    CRect rc;
    CSplashWnd::GetSplashWnd()->GetWindowRect(&rc);
    EXPECT_EQ(rc.Size(), CSize(347, 235));
    MSG msg = {};
    msg.message = WM_MOUSEMOVE;
    EXPECT_FALSE(CSplashWnd::PreTranslateAppMessage(&msg));
    msg.message = WM_LBUTTONDOWN;
    EXPECT_TRUE(CSplashWnd::PreTranslateAppMessage(&msg));
    EXPECT_EQ(CSplashWnd::GetSplashWnd(), nullptr);
    EXPECT_FALSE(CSplashWnd::PreTranslateAppMessage(&msg));

    CSplashWnd::ShowSplashScreen(NULL);
    ASSERT_NE(CSplashWnd::GetSplashWnd(), nullptr);
    EXPECT_TRUE(WaitFor([] { return CSplashWnd::GetSplashWnd() == nullptr; }, 10000));
    CSplashWnd::EnableSplashScreen(FALSE);
}

// Shown without taking the activation and without a task-bar button, so no
// window manager takes it over (and Wine waits for none when it goes); the
// window that was active stays so.
TEST(CSplashWnd, ShowsAsAnUnmanagedPopupThatNeverTakesTheActivation)
{
    CWnd owner;
    ASSERT_TRUE(owner.CreateEx(WS_EX_APPWINDOW, AfxRegisterWndClass(0), L"owner", WS_POPUP | WS_VISIBLE,
                               CRect(0, 0, 200, 100), NULL, 0));
    owner.SetActiveWindow();
    HWND hActive = ::GetActiveWindow();
    CSplashWnd::EnableSplashScreen(TRUE);
    CSplashWnd::ShowSplashScreen(&owner);
    CSplashWnd* pSplash = CSplashWnd::GetSplashWnd();
    ASSERT_NE(pSplash, nullptr);
    HWND hSplash = pSplash->m_hWnd;
    EXPECT_TRUE(::IsWindowVisible(hSplash));
    LONG nStyle = ::GetWindowLongW(hSplash, GWL_STYLE), nExStyle = ::GetWindowLongW(hSplash, GWL_EXSTYLE);
    EXPECT_EQ(nStyle & (WS_POPUP | WS_CAPTION | WS_THICKFRAME | WS_SYSMENU), WS_POPUP);
    EXPECT_EQ(nExStyle & (WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_APPWINDOW), WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE);
    EXPECT_NE(::GetActiveWindow(), hSplash);
    EXPECT_EQ(::GetActiveWindow(), hActive);
    EXPECT_TRUE(WaitFor([] { return CSplashWnd::GetSplashWnd() == nullptr; }, 3000));
    EXPECT_FALSE(::IsWindow(hSplash));
    EXPECT_EQ(::GetActiveWindow(), hActive);
    CSplashWnd::EnableSplashScreen(FALSE);
    owner.DestroyWindow();
}

TEST(CCommandLineInfo, EmbeddingSwitchesTurnTheSplashOff)
{
    for (LPCWSTR pszSwitch : {L"/Embedding", L"-automation", L"/EMBEDDING"})
    {
        CCommandLineInfo info;
        info.ParseParam(pszSwitch + 1, TRUE, TRUE);
        EXPECT_FALSE(info.m_bShowSplash) << pszSwitch;
    }
    CCommandLineInfo info;
    info.ParseParam(L"/silent", TRUE, TRUE);
    EXPECT_TRUE(info.m_bShowSplash);
}

TEST_F(MainWindowTest, TaskPagesPaintWhiteAndClearTheTextAboveTheirDivider)
{
    CreateMainWindow();
    CTaskPage& page = m_pDlg->m_pageSettings;
    // The divider is hidden; the controls above it get the page's brush.
    EXPECT_FALSE(page.GetDlgItem(IDC_PAGE_DIVIDER)->IsWindowVisible());
    CClientDC dc(&page);
    HBRUSH hBrush = (HBRUSH)page.SendMessage(WM_CTLCOLORBTN, (WPARAM)dc.GetSafeHdc(),
                                             (LPARAM)AfxGetSafeHwnd(page.GetDlgItem(1001)));
    EXPECT_EQ(hBrush, page.m_hbrBackground);
    EXPECT_EQ(dc.GetBkMode(), TRANSPARENT);
    // The divider itself is not above itself.
    hBrush = (HBRUSH)page.SendMessage(WM_CTLCOLORSTATIC, (WPARAM)dc.GetSafeHdc(),
                                      (LPARAM)AfxGetSafeHwnd(page.GetDlgItem(IDC_PAGE_DIVIDER)));
    EXPECT_NE(hBrush, page.m_hbrBackground);
    page.SendMessage(WM_SYSCOLORCHANGE);
    EXPECT_EQ(page.m_crBackground, RGB(255, 255, 255));
}

// The suite runs twice, themed and classic (TAMSEL_CLASSIC_THEME=1): each run
// really takes its drawing path.
TEST(DrawingPath, FollowsThePrefixTheme)
{
    HMODULE hTheme = ::LoadLibraryW(L"uxtheme.dll");
    ASSERT_NE(hTheme, (HMODULE)NULL);
    typedef BOOL(WINAPI * PFN_ISTHEMEACTIVE)();
    PFN_ISTHEMEACTIVE pfnIsThemeActive = (PFN_ISTHEMEACTIVE)(void*)::GetProcAddress(hTheme, "IsThemeActive");
    ASSERT_NE(pfnIsThemeActive, (PFN_ISTHEMEACTIVE)NULL);
    wchar_t szClassic[4] = {};
    bool bClassic = ::GetEnvironmentVariableW(L"TAMSEL_CLASSIC_THEME", szClassic, 4) > 0 && szClassic[0] == L'1';
    EXPECT_EQ(pfnIsThemeActive() != FALSE, !bClassic);
    ::FreeLibrary(hTheme);
}
