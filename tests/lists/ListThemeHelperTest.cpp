#include "controls/lists/ListThemeHelper.h"

#include <gtest/gtest.h>

namespace {

ListThemeLibrary Library(LPCWSTR pszName)
{
    ListThemeLibrary library = {};
    library.pszLibrary = pszName;
    return library;
}

typedef LONG(WINAPI* PFNSTUBCALLCOUNT)();

LONG StubCalls(const ListThemeLibrary& library)
{
    PFNSTUBCALLCOUNT pfn = (PFNSTUBCALLCOUNT)(void*)::GetProcAddress(library.hModule, "StubCallCount");
    return pfn != NULL ? pfn() : -1;
}

} // namespace

TEST(ListThemeHelper, ReadyWithTheSystemLibraryAndFreedWithTheLastHelper)
{
    ListThemeLibrary library = Library(L"UXTHEME.DLL");
    {
        CListThemeHelper first(library);
        ASSERT_TRUE(first.IsReady());
        EXPECT_NE(library.hModule, (HMODULE)NULL);
        EXPECT_NE(library.pfnGetThemeColor, nullptr);
        EXPECT_NE(library.pfnIsThemeActive, nullptr);
        {
            CListThemeHelper second(library);
            EXPECT_EQ(library.nInstances, 2);
        }
        EXPECT_TRUE(first.IsReady()) << "one helper left keeps the library";
        EXPECT_TRUE(first.IsAppThemed()) << "the test prefix is themed";
        HWND hWnd = ::CreateWindowExW(0, L"BUTTON", L"", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
        HTHEME hTheme = first.OpenThemeData(hWnd, L"Button");
        EXPECT_NE(hTheme, (HTHEME)NULL);
        EXPECT_TRUE(first.CloseThemeData(hTheme));
        ::DestroyWindow(hWnd);
    }
    EXPECT_EQ(library.nInstances, 0);
    EXPECT_FALSE(library.bReady);
    EXPECT_EQ(library.hModule, (HMODULE)NULL);
    EXPECT_EQ(library.pfnOpenThemeData, nullptr);
}

TEST(ListThemeHelper, NullHandlesFailWithoutCallingTheLibrary)
{
    ListThemeLibrary library = Library(L"xlist_stub_theme.dll");
    CListThemeHelper helper(library);
    ASSERT_TRUE(helper.IsReady());
    LONG nCalls = StubCalls(library);
    RECT rc = { 0, 0, 10, 10 };
    EXPECT_FALSE(helper.CloseThemeData(NULL));
    EXPECT_FALSE(helper.DrawThemeBackground(NULL, NULL, 3, 1, &rc, NULL));
    EXPECT_FALSE(helper.DrawThemeText(NULL, NULL, 1, 1, L"x", 0, 0, &rc));
    EXPECT_EQ(StubCalls(library), nCalls);
    // A real handle goes through.
    HTHEME hTheme = helper.OpenThemeData(NULL, L"Button");
    EXPECT_TRUE(helper.CloseThemeData(hTheme));
    EXPECT_EQ(StubCalls(library), nCalls + 2);
}

TEST(ListThemeHelper, ALibraryMissingOneFunctionIsNotUsedAtAll)
{
    ListThemeLibrary library = Library(L"xlist_stub_theme7.dll");
    {
        CListThemeHelper helper(library);
        EXPECT_FALSE(helper.IsReady());
        EXPECT_EQ(library.hModule, (HMODULE)NULL);
        EXPECT_EQ(::GetModuleHandleW(L"xlist_stub_theme7.dll"), (HMODULE)NULL) << "freed again";
        EXPECT_EQ(helper.OpenThemeData(NULL, L"Button"), (HTHEME)NULL);
        EXPECT_FALSE(helper.IsAppThemed());
        RECT rc = { 0, 0, 10, 10 };
        EXPECT_FALSE(helper.DrawThemeBackground((HTHEME)1, NULL, 3, 1, &rc, NULL));
        EXPECT_FALSE(helper.CloseThemeData((HTHEME)1));
        EXPECT_EQ(library.pfnCloseThemeData, nullptr);
        EXPECT_EQ(library.pfnOpenThemeData, nullptr);
    }
    ListThemeLibrary missing = Library(L"no_such_theme_library.dll");
    CListThemeHelper helper(missing);
    EXPECT_FALSE(helper.IsReady());
    EXPECT_FALSE(helper.IsAppThemed());
}

TEST(ListThemeHelper, TheProcessLibraryIsTheSystemOne)
{
    CListThemeHelper helper;
    EXPECT_TRUE(helper.IsReady());
    EXPECT_STREQ(CListThemeHelper::ProcessLibrary().pszLibrary, L"UXTHEME.DLL");
    EXPECT_GE(CListThemeHelper::ProcessLibrary().nInstances, 3) << "the box and header units hold one each";
}
