// Filling the tree from a worker: the feed and calls sent to the window's thread.
#include <gtest/gtest.h>

#include "tests/lists/TreeListTestHost.h"
#include "tests/support/TestSupport.h"

#include <atomic>

namespace {

const int kRows = 20000;

struct FeedJob
{
    CTreeListCtrl* pTree;
    std::atomic<bool> bDone{ false };
    int nCountSeen = -1;
};

UINT FeedThreadProc(LPVOID pParam)
{
    FeedJob* pJob = (FeedJob*)pParam;
    CTreeListCtrl& tree = *pJob->pTree;
    tree.QueueDeleteAll();
    for (UINT_PTR nCategory = 1; nCategory <= 15; ++nCategory)
    {
        CString strName;
        strName.Format(L"Category %d", (int)nCategory);
        tree.QueueRow(TreeListRow(nCategory, 0, strName));
    }
    for (int n = 0; n < kRows; ++n)
    {
        TreeListRow row(0, n % 2 == 0 ? 1 : 12, ProblemMarkup(n));
        row.dwData = (DWORD_PTR)n;
        row.dwState = TLIS_CHECKBOX | TLIS_OPENLINK | TLIS_IGNORELINK;
        row.nCheck = 1;
        row.nImage = 0;
        tree.QueueRow(row);
    }
    // A row whose parent is gone is dropped, not attached to a stale pointer.
    tree.QueueRow(TreeListRow(0, 999, L"orphan"));
    tree.FlushQueue();
    pJob->nCountSeen = tree.GetCount();
    pJob->bDone = true;
    return 0;
}

HWND g_hRepaint = NULL;
UINT_PTR g_nRepaintTimer = 0;
void CALLBACK RepaintTimerProc(HWND, UINT, UINT_PTR, DWORD)
{
    // The next repaint is 10 ms after this one ends, not 10 ms after it began: where a paint
    // takes longer than that (emulated), a timer due again at once would leave the thread's
    // queue never empty and starve everything else the thread waits on.
    ::KillTimer(NULL, g_nRepaintTimer);
    ::RedrawWindow(g_hRepaint, NULL, NULL, RDW_INVALIDATE | RDW_UPDATENOW);
    g_nRepaintTimer = ::SetTimer(NULL, 0, 10, RepaintTimerProc);
}

} // namespace

TEST(TreeListThreads, WorkerAddsTwentyThousandRowsWhileRepainting)
{
    CTreeListTestDialog dlg;
    ASSERT_TRUE(ShowTreeListTestDialog(dlg));
    CTreeListCtrl& tree = dlg.m_tree;
    SetUpResultStyle(tree);
    tree.InsertItem(L"left over from the last scan");
    g_hRepaint = tree.m_hWnd;
    g_nRepaintTimer = ::SetTimer(NULL, 0, 10, RepaintTimerProc);

    FeedJob job;
    job.pTree = &tree;
    CWinThread* pThread = AfxBeginThread(FeedThreadProc, &job, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    ASSERT_NE(nullptr, pThread);
    pThread->m_bAutoDelete = FALSE;
    pThread->ResumeThread();
    // Expand while rows arrive, as a user might.
    const bool bDone = testsupport::WaitFor([&] {
        if (CTreeListItem* pFirst = tree.FindItemByKey(1))
            if (!(tree.GetItemState(pFirst) & TLIS_EXPANDED))
                tree.Expand(pFirst, 0);
        return job.bDone.load();
    }, 120000);
    ::KillTimer(NULL, g_nRepaintTimer);
    ASSERT_TRUE(bDone);
    ::WaitForSingleObject(pThread->m_hThread, 10000);
    delete pThread;

    EXPECT_EQ(15 + kRows, job.nCountSeen);
    EXPECT_EQ(15 + kRows, tree.GetCount());
    EXPECT_EQ(0, tree.GetForeignChangeCount());
    CTreeListItem* pFirst = tree.FindItemByKey(1);
    CTreeListItem* pTwelfth = tree.FindItemByKey(12);
    ASSERT_NE(nullptr, pFirst);
    ASSERT_NE(nullptr, pTwelfth);
    EXPECT_EQ(pFirst, tree.GetRootItem());
    EXPECT_EQ(kRows / 2, tree.GetChildCount(pFirst));
    EXPECT_EQ(kRows / 2, tree.GetCheckedChildCount(pTwelfth));
    EXPECT_EQ(1, tree.GetCheck(pTwelfth));
    // Rows in the order they were queued, with their data and state.
    int nExpected = 1;
    for (CTreeListItem* p = tree.GetChildItem(pTwelfth); p != NULL; p = tree.GetNextSiblingItem(p), nExpected += 2)
    {
        ASSERT_EQ((DWORD_PTR)nExpected, tree.GetItemData(p));
        ASSERT_EQ((DWORD)(TLIS_CHECKBOX | TLIS_OPENLINK | TLIS_IGNORELINK | TLIS_IMAGES | TLIS_CHECKED),
                  tree.GetItemState(p) & ~(DWORD)(TLIS_SELECTED | TLIS_EXPANDED | TLIS_EXPANDEDONCE));
    }
    EXPECT_EQ(kRows + 1, nExpected);
    EXPECT_EQ(CString(L"Category 15"), tree.GetItemText(tree.FindItemByKey(15)));
    dlg.DestroyWindow();
}

namespace {

struct CallJob
{
    CTreeListCtrl* pTree;
    CTreeListItem* pCategory = nullptr;
    CTreeListItem* pRow = nullptr;
    int nCheck = -1;
    std::atomic<bool> bDone{ false };
};

UINT CallThreadProc(LPVOID pParam)
{
    CallJob* pJob = (CallJob*)pParam;
    CTreeListCtrl& tree = *pJob->pTree;
    pJob->pCategory = tree.InsertItem(L"Fonts", TLI_ROOT, TLI_LAST, 1, 0);
    pJob->pRow = AddProblemRow(tree, pJob->pCategory, 5);
    tree.SetCheck(pJob->pRow, FALSE);
    pJob->nCheck = tree.GetCheck(pJob->pCategory);
    pJob->bDone = true;
    return 0;
}

} // namespace

TEST(TreeListThreads, CallsFromAWorkerRunOnTheWindowsThread)
{
    CTreeListTestDialog dlg;
    ASSERT_TRUE(ShowTreeListTestDialog(dlg));
    SetUpResultStyle(dlg.m_tree);
    CallJob job;
    job.pTree = &dlg.m_tree;
    CWinThread* pThread = AfxBeginThread(CallThreadProc, &job, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    ASSERT_NE(nullptr, pThread);
    pThread->m_bAutoDelete = FALSE;
    pThread->ResumeThread();
    ASSERT_TRUE(testsupport::WaitFor([&] { return job.bDone.load(); }, 20000));
    ::WaitForSingleObject(pThread->m_hThread, 10000);
    delete pThread;
    EXPECT_EQ(0, dlg.m_tree.GetForeignChangeCount());
    EXPECT_EQ(2, dlg.m_tree.GetCount());
    EXPECT_EQ(0, job.nCheck);
    EXPECT_EQ(job.pRow, dlg.m_tree.GetChildItem(job.pCategory));
    EXPECT_EQ((DWORD_PTR)5, dlg.m_tree.GetItemData(job.pRow));
    dlg.DestroyWindow();
}
