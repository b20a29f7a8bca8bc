#include "controls/skin/VisualStyles.h"

#include <gtest/gtest.h>

namespace {
FARPROC s_pfnMarker = (FARPROC)&GetTickCount;
}

TEST(VisualStyles, MissingExportsAnswerThroughTheStub)
{
    EXPECT_EQ(g_VisualStyles.GetProc("NoSuchThemeExport", s_pfnMarker), s_pfnMarker);
    if (g_VisualStyles.m_hThemeDll != NULL)
        EXPECT_NE(g_VisualStyles.GetProc("OpenThemeData", s_pfnMarker), s_pfnMarker);
}

TEST(VisualStyles, WithoutTheLibraryEveryLookupFails)
{
    CVisualStyles styles;
    if (styles.m_hThemeDll != NULL)
        FreeLibrary(styles.m_hThemeDll);
    styles.m_hThemeDll = NULL;
    EXPECT_EQ(styles.GetProc("OpenThemeData", s_pfnMarker), s_pfnMarker);
}

TEST(VisualStyles, ClassicLookDecisionIsTakenOnce)
{
    // Only the version 6.0 common controls with a Luna colour scheme give the
    // themed look; this process has neither, whatever the theme.
    int nFirst = g_VisualStyles.UseVisualStyles();
    EXPECT_EQ(nFirst, 0);
    EXPECT_EQ(g_VisualStyles.UseVisualStyles(), nFirst);
}

TEST(VisualStyles, ForwardsToTheLibrary)
{
    HWND hWnd = CreateWindowW(L"BUTTON", L"x", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
    ASSERT_NE(hWnd, (HWND)NULL);
    HTHEME hTheme = g_VisualStyles.OpenThemeData(hWnd, L"Button");
    EXPECT_EQ(hTheme != NULL, g_VisualStyles.IsThemeActive() != FALSE);
    if (hTheme != NULL)
    {
        RECT rc = { 0, 0, 80, 24 }, rcContent = {};
        HDC hDC = GetDC(hWnd);
        EXPECT_EQ(g_VisualStyles.GetThemeBackgroundContentRect(hTheme, hDC, 1, 1, &rc, &rcContent), S_OK);
        EXPECT_LT(rcContent.right - rcContent.left, 80);
        ReleaseDC(hWnd, hDC);
        EXPECT_EQ(g_VisualStyles.CloseThemeData(hTheme), S_OK);
    }
    DestroyWindow(hWnd);
}
