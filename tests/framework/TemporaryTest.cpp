// Lifetimes of temporary wrappers and of window objects across threads and
// nested loops.
#include "framework/Afx.h"
#include "framework/CommonControls.h"
#include "framework/ImageList.h"
#include "framework/ListCtrl.h"
#include "framework/MessageLoop.h"
#include "tests/framework/WindowTestHelpers.h"
#include "tests/framework/data/WindowTestIds.h"
#include "tests/support/TestSupport.h"
#include <gtest/gtest.h>
#include <atomic>
#include <typeinfo>

using namespace windowtest;

// A temporary is always of the class it is handed out as, and one handle
// can have temporaries of several classes side by side.
TEST(Temporaries, AreOfTheClassAskedFor)
{
    CWnd host;
    ASSERT_TRUE(CreateTopLevel(host));
    CListCtrl list;
    ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT, CRect(0, 0, 200, 100), &host, 1));
    CHeaderCtrl* pHeader = list.GetHeaderCtrl();
    ASSERT_NE(pHeader, (CHeaderCtrl*)NULL);
    EXPECT_TRUE(typeid(*pHeader) == typeid(CHeaderCtrl));
    CWnd* pPlain = CWnd::FromHandle(pHeader->m_hWnd);
    EXPECT_TRUE(typeid(*pPlain) == typeid(CWnd));
    EXPECT_NE((void*)pPlain, (void*)pHeader);
    EXPECT_EQ(list.GetHeaderCtrl(), pHeader);
    // A permanent object of the class asked for is preferred.
    EXPECT_EQ(AfxFromHandleAs<CListCtrl>(list.m_hWnd), &list);
    EXPECT_EQ(AfxFromHandleAs<CEdit>(NULL), (CEdit*)NULL);
    CWnd::DeleteTempMap();
    host.DestroyWindow();
}

TEST(Temporaries, ASecondOwnerOfAnImageListIsRefused)
{
    CImageList first, second;
    ASSERT_TRUE(first.Create(16, 16, ILC_COLOR32, 1, 1));
    EXPECT_FALSE(second.Attach(first.m_hImageList));
    EXPECT_EQ(second.m_hImageList, (HIMAGELIST)NULL);
    EXPECT_EQ(CImageList::FromHandlePermanent(first.m_hImageList), &first);
    CWnd wnd;
    ASSERT_TRUE(CreateTopLevel(wnd));
    EXPECT_FALSE(CWnd().Attach(wnd.m_hWnd));
    wnd.DestroyWindow();
}

namespace {

// Opens a modal dialog from a handler while holding a temporary.
class CNestingWnd : public CWnd
{
public:
    HWND m_hWndOther = NULL;
    bool m_bStillValid = false;

protected:
    afx_msg LRESULT OnNest(WPARAM, LPARAM)
    {
        CWnd* pTemp = CWnd::FromHandle(m_hWndOther);
        CDialog dlg(IDD_TEST_PLAIN);
        // The dialog ends itself after its loop has been idle a while.
        CLoopScript::Run([&dlg]() { dlg.EndDialog(IDCANCEL); }, 300);
        dlg.DoModal();
        m_bStillValid = pTemp->m_hWnd == m_hWndOther && CWnd::FromHandle(m_hWndOther) == pTemp;
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

const UINT WM_TEST_NEST = WM_APP + 40;

BEGIN_MESSAGE_MAP(CNestingWnd, CWnd)
    ON_MESSAGE(WM_TEST_NEST, OnNest)
END_MESSAGE_MAP()

} // namespace

// The idle purge of a nested modal loop leaves alone what outer handlers hold.
TEST(Temporaries, SurviveANestedModalLoop)
{
    CNestingWnd wnd;
    ASSERT_TRUE(CreateTopLevel(wnd));
    HWND hOther = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
    ASSERT_NE(hOther, (HWND)NULL);
    wnd.m_hWndOther = hOther;
    wnd.SendMessage(WM_TEST_NEST);
    EXPECT_TRUE(wnd.m_bStillValid);
    ::DestroyWindow(hOther);
    wnd.DestroyWindow();
    CWnd::DeleteTempMap();
}

namespace {

struct DeleteJob
{
    CWnd* pWnd;
};

UINT __cdecl DeleteObjectThreadProc(LPVOID pParam)
{
    delete static_cast<DeleteJob*>(pParam)->pWnd;
    return 0;
}

UINT __cdecl AskToDestroyThreadProc(LPVOID pParam)
{
    CWnd* pWnd = static_cast<CWnd*>(pParam);
    HWND hWnd = pWnd->m_hWnd;  // read before the request: the object goes with it
    AfxPostCall(hWnd, [pWnd]() { pWnd->DestroyWindow(); });
    return 0;
}

} // namespace

// A window object deleted on another thread lets go of its window, which
// keeps working and is destroyed by its own thread; a worker's request to
// destroy a window runs on the window's thread.
TEST(Temporaries, WindowObjectsEndedFromAnotherThread)
{
    CWnd* pWnd = new CWnd;
    ASSERT_TRUE(CreateTopLevel(*pWnd, L"Orphan"));
    HWND hWnd = pWnd->m_hWnd;
    DeleteJob job{ pWnd };
    HANDLE hThread = AfxBeginWorker(DeleteObjectThreadProc, &job);
    ASSERT_NE(hThread, (HANDLE)NULL);
    EXPECT_EQ(AfxWaitForObjectPumping(hThread, 5000), (DWORD)WAIT_OBJECT_0);
    ::CloseHandle(hThread);
    EXPECT_TRUE(::IsWindow(hWnd));
    EXPECT_EQ(CWnd::FromHandlePermanent(hWnd), (CWnd*)NULL);
    EXPECT_EQ(::SendMessageW(hWnd, WM_GETTEXTLENGTH, 0, 0), 6);
    EXPECT_TRUE(::DestroyWindow(hWnd));

    CWnd wnd;
    ASSERT_TRUE(CreateTopLevel(wnd, L"Asked"));
    hWnd = wnd.m_hWnd;
    hThread = AfxBeginWorker(AskToDestroyThreadProc, &wnd);
    ASSERT_NE(hThread, (HANDLE)NULL);
    EXPECT_TRUE(testsupport::WaitFor([&] { return !::IsWindow(hWnd); }, 5000));
    EXPECT_EQ(wnd.m_hWnd, (HWND)NULL);
    EXPECT_EQ(::WaitForSingleObject(hThread, 5000), WAIT_OBJECT_0);
    ::CloseHandle(hThread);
}

namespace {

std::atomic<int> s_nCountedTemporaries(0);

// A temporary that counts itself, so the test sees it freed.
class CCountedWnd : public CWnd
{
public:
    CCountedWnd() { ++s_nCountedTemporaries; }
    ~CCountedWnd() override { --s_nCountedTemporaries; }
};

struct ForeignThreadJob
{
    HWND hWnd;
    HMENU hMenu;
    int nMapsWhileRunning;
    bool bTemporariesMade;
};

// Started the way a system or library thread is, not through the framework.
DWORD WINAPI ForeignThreadProc(LPVOID pParam)
{
    ForeignThreadJob* pJob = static_cast<ForeignThreadJob*>(pParam);
    CWnd* pWnd = AfxLookupTempWnd(pJob->hWnd, typeid(CCountedWnd), []() -> CWnd* { return new CCountedWnd; });
    HDC hDC = ::GetDC(pJob->hWnd);
    CDC* pDC = CDC::FromHandle(hDC);
    CGdiObject* pFont = CGdiObject::FromHandle(::GetStockObject(DEFAULT_GUI_FONT));
    CMenu* pMenu = CMenu::FromHandle(pJob->hMenu);
    pJob->bTemporariesMade = pWnd != NULL && pDC != NULL && pFont != NULL && pMenu != NULL;
    pJob->nMapsWhileRunning = AfxGetTempMapCount();
    ::ReleaseDC(pJob->hWnd, hDC);
    return 0;
}

} // namespace

// A thread the framework did not start has no message loop and no end of the
// framework's own: its temporaries and their maps still go when it ends.
TEST(Temporaries, OfAThreadNotStartedByTheFrameworkAreFreedWhenItEnds)
{
    HWND hWnd = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, NULL, NULL, NULL, NULL);
    ASSERT_NE(hWnd, (HWND)NULL);
    HMENU hMenu = ::CreatePopupMenu();
    int nMapsBefore = AfxGetTempMapCount();
    for (int nRound = 0; nRound < 3; nRound++)
    {
        ForeignThreadJob job{ hWnd, hMenu, 0, false };
        HANDLE hThread = ::CreateThread(NULL, 0, ForeignThreadProc, &job, 0, NULL);
        ASSERT_NE(hThread, (HANDLE)NULL);
        EXPECT_EQ(::WaitForSingleObject(hThread, 5000), WAIT_OBJECT_0);
        ::CloseHandle(hThread);
        EXPECT_TRUE(job.bTemporariesMade);
        EXPECT_GE(job.nMapsWhileRunning, nMapsBefore + 4);
        EXPECT_EQ(s_nCountedTemporaries, 0) << "round " << nRound;
        EXPECT_EQ(AfxGetTempMapCount(), nMapsBefore) << "round " << nRound;
    }
    // A framework thread frees its own at its end, as before.
    ForeignThreadJob job{ hWnd, hMenu, 0, false };
    HANDLE hThread = AfxBeginWorker([](LPVOID pParam) -> UINT { return ForeignThreadProc(pParam); }, &job);
    ASSERT_NE(hThread, (HANDLE)NULL);
    EXPECT_EQ(::WaitForSingleObject(hThread, 5000), WAIT_OBJECT_0);
    ::CloseHandle(hThread);
    EXPECT_TRUE(job.bTemporariesMade);
    EXPECT_EQ(s_nCountedTemporaries, 0);
    EXPECT_EQ(AfxGetTempMapCount(), nMapsBefore);
    ::DestroyMenu(hMenu);
    ::DestroyWindow(hWnd);
}
