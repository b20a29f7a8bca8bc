// Creations that fail: the object may be gone afterwards, and a throwing
// creation handler fails the create instead of leaving half a window.
#include "framework/Afx.h"
#include "WindowTestHelpers.h"
#include <gtest/gtest.h>

namespace {

int g_nSelfDeletedFreed = 0;

// Deletes itself when its window is released, as a splash window does.
class CSelfDeletingWnd : public CWnd
{
public:
    explicit CSelfDeletingWnd(int nCreateResult) : m_nCreateResult(nCreateResult) {}
    ~CSelfDeletingWnd() override
    {
        ++g_nSelfDeletedFreed;
        // Poison what a careless creator would read after a failure.
        m_hWnd = (HWND)(UINT_PTR)0xDEAD;
    }
    BOOL m_bCreated = FALSE;

protected:
    int m_nCreateResult;
    afx_msg int OnCreate(LPCREATESTRUCT)
    {
        if (m_nCreateResult == 1)
            throw 7;
        return m_nCreateResult;
    }
    void PostNcDestroy() override { delete this; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CSelfDeletingWnd, CWnd)
    ON_WM_CREATE()
END_MESSAGE_MAP()

class CThrowingSubclassWnd : public CWnd
{
protected:
    void PreSubclassWindow() override { throw 3; }
};

struct FindTitle
{
    LPCWSTR lpszTitle;
    int nCount;
};

BOOL CALLBACK CountTitleProc(HWND hWnd, LPARAM lParam)
{
    FindTitle* pFind = (FindTitle*)lParam;
    wchar_t szTitle[64] = {};
    ::GetWindowTextW(hWnd, szTitle, 64);
    if (wcscmp(szTitle, pFind->lpszTitle) == 0)
        ++pFind->nCount;
    return TRUE;
}

int CountTopLevelWindows(LPCWSTR lpszTitle)
{
    FindTitle find = { lpszTitle, 0 };
    ::EnumThreadWindows(::GetCurrentThreadId(), CountTitleProc, (LPARAM)&find);
    return find.nCount;
}

} // namespace

TEST(Creation, AFailedCreateOfASelfDeletingWindowTouchesNothing)
{
    g_nSelfDeletedFreed = 0;
    CSelfDeletingWnd* pWnd = new CSelfDeletingWnd(-1);
    // The object is freed inside the create; the create must not read it after.
    EXPECT_FALSE(windowtest::CreateTopLevel(*pWnd, L"SelfDeleting"));
    EXPECT_EQ(g_nSelfDeletedFreed, 1);
    EXPECT_EQ(CountTopLevelWindows(L"SelfDeleting"), 0);

    pWnd = new CSelfDeletingWnd(0);
    ASSERT_TRUE(windowtest::CreateTopLevel(*pWnd, L"SelfDeleting"));
    ::DestroyWindow(pWnd->m_hWnd);
    EXPECT_EQ(g_nSelfDeletedFreed, 2);
}

TEST(Creation, AnExceptionInCreationFailsTheCreate)
{
    g_nSelfDeletedFreed = 0;
    CSelfDeletingWnd* pWnd = new CSelfDeletingWnd(1);
    EXPECT_FALSE(windowtest::CreateTopLevel(*pWnd, L"ThrowsInCreate"));
    EXPECT_EQ(g_nSelfDeletedFreed, 1);
    EXPECT_EQ(CountTopLevelWindows(L"ThrowsInCreate"), 0);

    // A throwing hook before any message: refused, the object untouched.
    CThrowingSubclassWnd wnd;
    EXPECT_FALSE(windowtest::CreateTopLevel(wnd, L"ThrowsInHook"));
    EXPECT_EQ(wnd.m_hWnd, (HWND)NULL);
    EXPECT_EQ(CountTopLevelWindows(L"ThrowsInHook"), 0);
    // The hook is gone: the next window is created normally.
    CWnd wndNext;
    EXPECT_TRUE(windowtest::CreateTopLevel(wndNext, L"Next"));
    wndNext.DestroyWindow();
}
