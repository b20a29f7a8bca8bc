#include "framework/Afx.h"
#include "tests/framework/WindowTestHelpers.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <stdexcept>
#include <string>
#include <vector>

using namespace windowtest;

namespace {

const UINT WM_TEST_BOTH = WM_APP + 1;
const UINT WM_TEST_BASE_ONLY = WM_APP + 2;
const UINT WM_TEST_UNMAPPED = WM_APP + 3;
const UINT WM_TEST_THROW = WM_APP + 4;
const UINT s_nRegisteredMsg = ::RegisterWindowMessageW(L"TamselTest.Registered");

class CBaseWnd : public CWnd
{
public:
    std::vector<std::wstring> m_vecCalls;
    UINT_PTR m_nTimerID = 0;

protected:
    afx_msg LRESULT OnBoth(WPARAM wParam, LPARAM) { m_vecCalls.push_back(L"base-both"); return (LRESULT)wParam + 1; }
    afx_msg LRESULT OnBaseOnly(WPARAM, LPARAM) { m_vecCalls.push_back(L"base-only"); return 20; }
    afx_msg void OnTimer(UINT_PTR nIDEvent)
    {
        m_nTimerID = nIDEvent;
        KillTimer(nIDEvent);
    }
    afx_msg void OnCommandRange(UINT nID) { m_vecCalls.push_back(L"range-" + std::to_wstring(nID)); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBaseWnd, CWnd)
    ON_MESSAGE(WM_TEST_BOTH, OnBoth)
    ON_MESSAGE(WM_TEST_BASE_ONLY, OnBaseOnly)
    ON_WM_TIMER()
    ON_COMMAND_RANGE(300, 309, OnCommandRange)
END_MESSAGE_MAP()

class CDerivedWnd : public CBaseWnd
{
public:
    LRESULT m_lHitTest = 0;
    CPoint m_ptLastMove;

protected:
    afx_msg LRESULT OnBoth(WPARAM, LPARAM) { m_vecCalls.push_back(L"derived-both"); return 10; }
    afx_msg LRESULT OnRegistered(WPARAM wParam, LPARAM lParam) { return (LRESULT)(wParam * 100 + lParam); }
    afx_msg LRESULT OnThrow(WPARAM, LPARAM) { throw std::runtime_error("handler failed"); }
    afx_msg void OnCommand305() { m_vecCalls.push_back(L"cmd-305"); }
    afx_msg LRESULT OnNcHitTest(CPoint point)
    {
        // The default procedure's answer, through Default().
        m_lHitTest = CWnd::OnNcHitTest(point);
        return m_lHitTest;
    }
    afx_msg void OnMouseMove(UINT, CPoint point) { m_ptLastMove = point; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDerivedWnd, CBaseWnd)
    ON_MESSAGE(WM_TEST_BOTH, OnBoth)
    ON_REGISTERED_MESSAGE(s_nRegisteredMsg, OnRegistered)
    ON_MESSAGE(WM_TEST_THROW, OnThrow)
    ON_COMMAND(305, OnCommand305)
    ON_WM_NCHITTEST()
    ON_WM_MOUSEMOVE()
END_MESSAGE_MAP()

class CFailCreateWnd : public CWnd
{
public:
    BOOL m_bPostNcDestroy = FALSE;

protected:
    afx_msg int OnCreate(LPCREATESTRUCT) { return -1; }
    void PostNcDestroy() override { m_bPostNcDestroy = TRUE; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CFailCreateWnd, CWnd)
    ON_WM_CREATE()
END_MESSAGE_MAP()

} // namespace

// The derived map wins, the base map answers what the derived one lacks, and
// anything unmapped reaches the default procedure.
TEST(MessageMap, DispatchesThroughBaseClassChain)
{
    CDerivedWnd wnd;
    ASSERT_TRUE(CreateTopLevel(wnd));

    EXPECT_EQ(wnd.SendMessage(WM_TEST_BOTH, 5), 10);
    EXPECT_EQ(wnd.SendMessage(WM_TEST_BASE_ONLY), 20);
    EXPECT_EQ(wnd.SendMessage(WM_TEST_UNMAPPED), 0);
    EXPECT_EQ(wnd.SendMessage(s_nRegisteredMsg, 3, 4), 304);
    EXPECT_EQ(wnd.m_vecCalls, (std::vector<std::wstring>{ L"derived-both", L"base-only" }));

    // A command id handled in the derived map does not also reach the base range.
    wnd.m_vecCalls.clear();
    wnd.SendMessage(WM_COMMAND, MAKEWPARAM(305, 0), 0);
    wnd.SendMessage(WM_COMMAND, MAKEWPARAM(307, 1), 0);  // accelerator form
    wnd.SendMessage(WM_COMMAND, MAKEWPARAM(310, 0), 0);  // outside the range
    EXPECT_EQ(wnd.m_vecCalls, (std::vector<std::wstring>{ L"cmd-305", L"range-307" }));

    // Real messages with their cracked arguments.
    wnd.PostMessage(WM_MOUSEMOVE, 0, MAKELPARAM(-3, 17));
    EXPECT_TRUE(testsupport::WaitFor([&] { return wnd.m_ptLastMove == CPoint(-3, 17); }));
    wnd.SetTimer(42, 10);
    EXPECT_TRUE(testsupport::WaitFor([&] { return wnd.m_nTimerID == 42; }));

    CRect rcClient;
    wnd.GetClientRect(&rcClient);
    CPoint ptCenter = rcClient.CenterPoint();
    wnd.ClientToScreen(&ptCenter);
    EXPECT_EQ(wnd.SendMessage(WM_NCHITTEST, 0, MAKELPARAM(ptCenter.x, ptCenter.y)), HTCLIENT);
    EXPECT_EQ(wnd.m_lHitTest, HTCLIENT);

    EXPECT_TRUE(wnd.DestroyWindow());
    EXPECT_EQ(wnd.m_hWnd, (HWND)NULL);
}

// An exception from a handler stops at the window procedure.
TEST(MessageMap, ExceptionDoesNotUnwindThroughUser32)
{
    CDerivedWnd wnd;
    ASSERT_TRUE(CreateTopLevel(wnd));
    EXPECT_EQ(wnd.SendMessage(WM_TEST_THROW), 0);
    EXPECT_EQ(wnd.SendMessage(WM_TEST_BASE_ONLY), 20);
    wnd.DestroyWindow();
}

// OnCreate returning -1 fails the creation and leaves the object detached.
TEST(MessageMap, FailedCreateLeavesNoWindow)
{
    CFailCreateWnd wnd;
    EXPECT_FALSE(CreateTopLevel(wnd));
    EXPECT_EQ(wnd.m_hWnd, (HWND)NULL);
    EXPECT_TRUE(wnd.m_bPostNcDestroy);
}

namespace {

const UINT ID_REFLECT_BUTTON = 501;
const UINT ID_REFLECT_EX_BUTTON = 502;
const UINT ID_NOTIFY_CHILD = 503;
const UINT NM_TEST_CODE = (UINT)-900;

class CParentWnd : public CWnd
{
public:
    std::vector<std::wstring> m_vecCalls;
    HBRUSH m_hParentBrush = (HBRUSH)::GetStockObject(GRAY_BRUSH);

protected:
    afx_msg void OnReflectClicked() { m_vecCalls.push_back(L"parent-click-501"); }
    afx_msg void OnReflectExClicked() { m_vecCalls.push_back(L"parent-click-502"); }
    afx_msg void OnTestNotify(NMHDR*, LRESULT* pResult)
    {
        m_vecCalls.push_back(L"parent-notify");
        *pResult = 7;
    }
    afx_msg HBRUSH OnCtlColor(CDC*, CWnd*, UINT) { return m_hParentBrush; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CParentWnd, CWnd)
    ON_BN_CLICKED(ID_REFLECT_BUTTON, OnReflectClicked)
    ON_BN_CLICKED(ID_REFLECT_EX_BUTTON, OnReflectExClicked)
    ON_NOTIFY(NM_TEST_CODE, ID_NOTIFY_CHILD, OnTestNotify)
    ON_WM_CTLCOLOR()
END_MESSAGE_MAP()

// Keeps its own click; the parent never hears of it.
class CReflectButton : public CWnd
{
public:
    int m_nClicks = 0;
    HBRUSH m_hBrush = NULL;

protected:
    afx_msg void OnClicked() { ++m_nClicks; }
    afx_msg HBRUSH CtlColor(CDC*, UINT nCtlColor)
    {
        EXPECT_EQ(nCtlColor, (UINT)CTLCOLOR_BTN);
        return m_hBrush;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CReflectButton, CWnd)
    ON_CONTROL_REFLECT(BN_CLICKED, OnClicked)
    ON_WM_CTLCOLOR_REFLECT()
END_MESSAGE_MAP()

// Sees its click first and lets the parent see it too.
class CReflectExButton : public CWnd
{
public:
    int m_nClicks = 0;

protected:
    afx_msg BOOL OnClicked()
    {
        ++m_nClicks;
        return FALSE;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CReflectExButton, CWnd)
    ON_CONTROL_REFLECT_EX(BN_CLICKED, OnClicked)
END_MESSAGE_MAP()

class CNotifyChild : public CWnd
{
public:
    BOOL m_bHandle = TRUE;
    int m_nNotifies = 0;

protected:
    afx_msg BOOL OnTestNotify(NMHDR* pNMHDR, LRESULT* pResult)
    {
        EXPECT_EQ(pNMHDR->idFrom, (UINT_PTR)ID_NOTIFY_CHILD);
        ++m_nNotifies;
        *pResult = 42;
        return m_bHandle;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CNotifyChild, CWnd)
    ON_NOTIFY_REFLECT_EX(NM_TEST_CODE, OnTestNotify)
END_MESSAGE_MAP()

HWND CreateChildButton(CWnd& parent, UINT nID, int x)
{
    return ::CreateWindowExW(0, L"BUTTON", L"Push", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, x, 10, 60, 24,
                             parent.m_hWnd, (HMENU)(UINT_PTR)nID, AfxGetInstanceHandle(), NULL);
}

} // namespace

// Clicks, notifications and colour requests go back to a subclassed control
// first; the _EX forms and unhandled requests still reach the parent.
TEST(MessageMap, ReflectsToSubclassedControls)
{
    CParentWnd parent;
    ASSERT_TRUE(CreateTopLevel(parent));
    CReflectButton button;
    CReflectExButton buttonEx;
    ASSERT_TRUE(button.SubclassWindow(CreateChildButton(parent, ID_REFLECT_BUTTON, 10)));
    ASSERT_TRUE(buttonEx.SubclassWindow(CreateChildButton(parent, ID_REFLECT_EX_BUTTON, 80)));
    EXPECT_EQ(CWnd::FromHandlePermanent(button.m_hWnd), &button);

    button.SendMessage(BM_CLICK);
    buttonEx.SendMessage(BM_CLICK);
    EXPECT_TRUE(testsupport::WaitFor([&] { return button.m_nClicks == 1 && buttonEx.m_nClicks == 1; }));
    EXPECT_EQ(parent.m_vecCalls, (std::vector<std::wstring>{ L"parent-click-502" }));

    // WM_NOTIFY: handled by the child's _EX entry (result 42), or passed on.
    CNotifyChild child;
    ASSERT_TRUE(child.CreateEx(0, TestWndClass(), L"", WS_CHILD | WS_VISIBLE, CRect(10, 50, 50, 70), &parent,
                               ID_NOTIFY_CHILD));
    NMHDR nmhdr = { child.m_hWnd, ID_NOTIFY_CHILD, NM_TEST_CODE };
    parent.m_vecCalls.clear();
    EXPECT_EQ(parent.SendMessage(WM_NOTIFY, ID_NOTIFY_CHILD, (LPARAM)&nmhdr), 42);
    EXPECT_TRUE(parent.m_vecCalls.empty());
    child.m_bHandle = FALSE;
    EXPECT_EQ(parent.SendMessage(WM_NOTIFY, ID_NOTIFY_CHILD, (LPARAM)&nmhdr), 7);
    EXPECT_EQ(parent.m_vecCalls, (std::vector<std::wstring>{ L"parent-notify" }));
    EXPECT_EQ(child.m_nNotifies, 2);

    // Control colours: the control's brush, or the parent's when it gives none.
    HDC hDC = ::GetDC(button.m_hWnd);
    button.m_hBrush = (HBRUSH)::GetStockObject(BLACK_BRUSH);
    EXPECT_EQ((HBRUSH)parent.SendMessage(WM_CTLCOLORBTN, (WPARAM)hDC, (LPARAM)button.m_hWnd), button.m_hBrush);
    button.m_hBrush = NULL;
    EXPECT_EQ((HBRUSH)parent.SendMessage(WM_CTLCOLORBTN, (WPARAM)hDC, (LPARAM)button.m_hWnd),
              parent.m_hParentBrush);
    ::ReleaseDC(button.m_hWnd, hDC);

    // Unsubclassed, the control reports to the parent again.
    EXPECT_NE(button.UnsubclassWindow(), (HWND)NULL);
    parent.m_vecCalls.clear();
    ::SendDlgItemMessageW(parent.m_hWnd, ID_REFLECT_BUTTON, BM_CLICK, 0, 0);
    EXPECT_TRUE(testsupport::WaitFor([&] { return !parent.m_vecCalls.empty(); }));
    EXPECT_EQ(button.m_nClicks, 1);
    parent.DestroyWindow();
    EXPECT_EQ(buttonEx.m_hWnd, (HWND)NULL);
    EXPECT_EQ(child.m_hWnd, (HWND)NULL);
}

namespace {

struct CWorkerProbe
{
    HWND hWnd = NULL;
    HWND hWndUnknown = NULL;
    CWnd* pFound = NULL;
    CWnd* pTempOnWorker = NULL;
    HANDLE hDone = NULL;
};

UINT __cdecl FromHandleThreadProc(LPVOID pParam)
{
    CWorkerProbe* pProbe = (CWorkerProbe*)pParam;
    pProbe->pFound = CWnd::FromHandle(pProbe->hWnd);
    pProbe->pTempOnWorker = CWnd::FromHandle(pProbe->hWndUnknown);
    // Window members straight from the worker, as the pages' workers do.
    pProbe->pFound->SetWindowText(L"Set by worker");
    ::SetEvent(pProbe->hDone);
    return 0;
}

} // namespace

// Permanent objects are found from any thread; temporaries are per thread
// and live until the idle purge.
TEST(HandleMap, FromHandleAcrossThreads)
{
    CWnd wnd;
    ASSERT_TRUE(CreateTopLevel(wnd, L"Before"));
    HWND hWndUnknown = ::CreateWindowExW(0, L"STATIC", L"raw", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
    ASSERT_NE(hWndUnknown, (HWND)NULL);

    CWnd* pTemp = CWnd::FromHandle(hWndUnknown);
    EXPECT_EQ(CWnd::FromHandle(hWndUnknown), pTemp);
    EXPECT_EQ(CWnd::FromHandlePermanent(hWndUnknown), (CWnd*)NULL);
    EXPECT_EQ(pTemp->m_hWnd, hWndUnknown);

    CWorkerProbe probe;
    probe.hWnd = wnd.m_hWnd;
    probe.hWndUnknown = hWndUnknown;
    probe.hDone = ::CreateEventW(NULL, TRUE, FALSE, NULL);
    CWinThread* pThread = AfxBeginThread(&FromHandleThreadProc, &probe);
    ASSERT_NE(pThread, (CWinThread*)NULL);
    // The worker's SetWindowText needs this thread to take sent messages.
    EXPECT_TRUE(testsupport::WaitFor([&] { return ::WaitForSingleObject(probe.hDone, 0) == WAIT_OBJECT_0; }));
    ::CloseHandle(probe.hDone);
    EXPECT_EQ(probe.pFound, &wnd);
    EXPECT_NE(probe.pTempOnWorker, pTemp);
    CString strText;
    wnd.GetWindowText(strText);
    EXPECT_STREQ(strText, L"Set by worker");

    // Attaching makes the handle permanent for everyone.
    CWnd wndAttached;
    ASSERT_TRUE(wndAttached.Attach(hWndUnknown));
    EXPECT_EQ(CWnd::FromHandle(hWndUnknown), &wndAttached);
    EXPECT_FALSE(CWnd().Attach(hWndUnknown));
    EXPECT_EQ(wndAttached.Detach(), hWndUnknown);
    ::DestroyWindow(hWndUnknown);
    wnd.DestroyWindow();
    CWnd::DeleteTempMap();
}

// A NULL object gives a NULL handle, as callers of GetSafeHwnd expect.
TEST(HandleMap, NullObjectHasNoHandle)
{
    CWnd* pNone = CWnd::FromHandle(NULL);
    EXPECT_EQ(pNone, (CWnd*)NULL);
    EXPECT_EQ(AfxGetSafeHwnd(pNone), (HWND)NULL);
}
