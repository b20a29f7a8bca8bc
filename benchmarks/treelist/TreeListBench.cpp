// Speed of the result tree list against the system tree view (SysTreeView32
// with TVS_CHECKBOXES), both in a visible window.
//
//  (a) 20,000 problem rows under one category with the result rows' calls
//      and markup, expand, paint; the tree view gets the same texts without
//      tags. Target <= 1.0.
//  (b) the same rows added from a worker through the feed until shown,
//      against (a). Target <= 1.2.
//  (c) our 20,000 rows against our 2,000. Target <= 11.
//  (d) 200 one-row scrolls with a repaint each, mid-list, and deleting
//      everything, each against the tree view. Target <= 1.5.
// Five runs, taking turns at going first; every run, the best and the median
// are printed, the ratios of both.
//
// Run by hand under wine64 on a display (Xvfb), from the build folder:
//   cmake ... -DTAMSEL_BUILD_BENCHMARKS=ON && cmake --build . --target treelist_bench
//   ./wine-run.sh --setup && ./wine-run.sh bin/treelist_bench.exe
#include "framework/Afx.h"
#include "controls/lists/TreeListCtrl.h"
#include "benchmarks/support/BenchSupport.h"

#include <commctrl.h>
#include <stdio.h>
#include <algorithm>
#include <atomic>
#include <functional>
#include <vector>

using benchsupport::Best;
using benchsupport::Median;
using benchsupport::NowSeconds;
using benchsupport::Pump;

namespace {

const int kRuns = 5;
const int kWidth = 780, kHeight = 560;

CString Markup(int n)
{
    CString strText;
    strText.Format(L"<font color=#ff0000><b>Invalid class %d.</b></font><br><b>Key:</b> "
                   L"HKEY_CLASSES_ROOT\\CLSID\\{0000%04d-0000-0000-C000-000000000046}<br><b>Value:</b> "
                   L"{Default}=C:\\Program Files\\Missing\\lib%d.dll<br>",
                   n, n % 10000, n);
    return strText;
}

CString Plain(int n)
{
    CString strText;
    strText.Format(L"Invalid class %d.\nKey: HKEY_CLASSES_ROOT\\CLSID\\{0000%04d-0000-0000-C000-000000000046}\n"
                   L"Value: {Default}=C:\\Program Files\\Missing\\lib%d.dll\n",
                   n, n % 10000, n);
    return strText;
}

HWND MakeHost()
{
    HWND hWnd = ::CreateWindowExW(0, AfxRegisterWndClass(0), L"bench", WS_POPUP | WS_VISIBLE, 0, 0, kWidth, kHeight,
                                  NULL, NULL, AfxGetInstanceHandle(), NULL);
    ::UpdateWindow(hWnd);
    Pump();
    return hWnd;
}

// ---- Ours ------------------------------------------------------------------------

struct Ours
{
    CWnd host;
    CTreeListCtrl tree;
    CTreeListItem* pCategory = NULL;

    bool Make()
    {
        if (!host.Attach(MakeHost()))
            return false;
        if (!tree.Create(WS_VISIBLE, CRect(0, 0, kWidth, kHeight), &host, 1113))
            return false;
        tree.SetStyle(0xEC00C1);
        tree.InsertColumn(L"", 0x504144, 578);
        tree.UpdateWindow();
        Pump();
        return true;
    }
    ~Ours()
    {
        tree.DestroyWindow();
        if (host.m_hWnd != NULL)
            host.DestroyWindow();
    }
    void Fill(int nRows)
    {
        pCategory = tree.InsertItem(L"ActiveX/OLE/COM", TLI_ROOT, TLI_LAST, 1, 0);
        for (int n = 0; n < nRows; ++n)
        {
            CTreeListItem* pItem = tree.InsertItem(Markup(n), pCategory, TLI_LAST, 1, 0);
            tree.SetItemData(pItem, n);
            tree.SetItemState(pItem, 0xD0, 0);
            tree.SetItemImage(pItem, 0, 0, 0, 0);
            tree.SetCheck(pItem, 1);
        }
        tree.Expand(pCategory, 0);
        tree.UpdateWindow();
        Pump();
    }
};

struct FeedJob
{
    CTreeListCtrl* pTree;
    int nRows;
    std::atomic<bool> bDone{ false };
};

UINT FeedThreadProc(LPVOID pParam)
{
    FeedJob* pJob = (FeedJob*)pParam;
    pJob->pTree->QueueRow(TreeListRow(1, 0, L"ActiveX/OLE/COM"));
    for (int n = 0; n < pJob->nRows; ++n)
    {
        TreeListRow row(0, 1, Markup(n));
        row.dwData = n;
        row.dwState = TLIS_CHECKBOX | TLIS_OPENLINK | TLIS_IGNORELINK;
        row.nCheck = 1;
        row.nImage = 0;
        pJob->pTree->QueueRow(row);
    }
    pJob->pTree->FlushQueue();
    pJob->bDone = true;
    return 0;
}

double OursFill(int nRows)
{
    Ours ours;
    if (!ours.Make())
        return -1;
    const double t0 = NowSeconds();
    ours.Fill(nRows);
    return NowSeconds() - t0;
}

double OursFeed(int nRows)
{
    Ours ours;
    if (!ours.Make())
        return -1;
    const double t0 = NowSeconds();
    FeedJob job;
    job.pTree = &ours.tree;
    job.nRows = nRows;
    CWinThread* pThread = AfxBeginThread(FeedThreadProc, &job, THREAD_PRIORITY_NORMAL, 0, CREATE_SUSPENDED);
    if (pThread == NULL)
        return -1;
    pThread->m_bAutoDelete = FALSE;
    pThread->ResumeThread();
    while (!job.bDone.load())
    {
        ::MsgWaitForMultipleObjects(0, NULL, FALSE, 5, QS_ALLINPUT);
        Pump();
    }
    ::WaitForSingleObject(pThread->m_hThread, INFINITE);
    delete pThread;
    ours.tree.Expand(ours.tree.FindItemByKey(1), 0);
    ours.tree.UpdateWindow();
    Pump();
    return NowSeconds() - t0;
}

// Scrolls and deletion: returns the two times through the out parameters.
bool OursScrollDelete(int nRows, double& dScroll, double& dDelete)
{
    Ours ours;
    if (!ours.Make())
        return false;
    ours.Fill(nRows);
    ours.tree.SetTopRow(nRows / 2);
    ours.tree.UpdateWindow();
    const double t0 = NowSeconds();
    for (int n = 0; n < 200; ++n)
    {
        ours.tree.SendMessage(WM_VSCROLL, SB_LINEDOWN, 0);
        ours.tree.UpdateWindow();
    }
    dScroll = NowSeconds() - t0;
    const double t1 = NowSeconds();
    ours.tree.DeleteAllItems();
    ours.tree.UpdateWindow();
    Pump();
    dDelete = NowSeconds() - t1;
    return true;
}

// ---- The system tree view ------------------------------------------------------------

struct Peer
{
    HWND hHost = NULL;
    HWND hTree = NULL;
    HTREEITEM hCategory = NULL;

    bool Make()
    {
        hHost = MakeHost();
        hTree = ::CreateWindowExW(0, WC_TREEVIEWW, L"",
                                  WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT |
                                      TVS_CHECKBOXES | TVS_SHOWSELALWAYS,
                                  0, 0, kWidth, kHeight, hHost, (HMENU)1113, AfxGetInstanceHandle(), NULL);
        ::UpdateWindow(hTree);
        Pump();
        return hTree != NULL;
    }
    ~Peer()
    {
        if (hHost != NULL)
            ::DestroyWindow(hHost);
    }
    void Fill(int nRows)
    {
        TVINSERTSTRUCTW tvi = {};
        tvi.hParent = TVI_ROOT;
        tvi.hInsertAfter = TVI_LAST;
        tvi.item.mask = TVIF_TEXT;
        tvi.item.pszText = (LPWSTR)L"ActiveX/OLE/COM";
        hCategory = (HTREEITEM)::SendMessageW(hTree, TVM_INSERTITEMW, 0, (LPARAM)&tvi);
        for (int n = 0; n < nRows; ++n)
        {
            CString strText = Plain(n);
            tvi.hParent = hCategory;
            tvi.item.mask = TVIF_TEXT | TVIF_PARAM;
            tvi.item.pszText = (LPWSTR)(LPCWSTR)strText;
            tvi.item.lParam = n;
            HTREEITEM hItem = (HTREEITEM)::SendMessageW(hTree, TVM_INSERTITEMW, 0, (LPARAM)&tvi);
            TVITEMW item = {};
            item.mask = TVIF_STATE;
            item.hItem = hItem;
            item.stateMask = TVIS_STATEIMAGEMASK;
            item.state = INDEXTOSTATEIMAGEMASK(2);
            ::SendMessageW(hTree, TVM_SETITEMW, 0, (LPARAM)&item);
        }
        ::SendMessageW(hTree, TVM_EXPAND, TVE_EXPAND, (LPARAM)hCategory);
        ::UpdateWindow(hTree);
        Pump();
    }
};

double PeerFill(int nRows)
{
    Peer peer;
    if (!peer.Make())
        return -1;
    const double t0 = NowSeconds();
    peer.Fill(nRows);
    return NowSeconds() - t0;
}

bool PeerScrollDelete(int nRows, double& dScroll, double& dDelete)
{
    Peer peer;
    if (!peer.Make())
        return false;
    peer.Fill(nRows);
    // Mid-list: the row in the middle on top.
    HTREEITEM hItem = (HTREEITEM)::SendMessageW(peer.hTree, TVM_GETNEXTITEM, TVGN_CHILD, (LPARAM)peer.hCategory);
    for (int n = 0; n < nRows / 2 && hItem != NULL; ++n)
        hItem = (HTREEITEM)::SendMessageW(peer.hTree, TVM_GETNEXTITEM, TVGN_NEXT, (LPARAM)hItem);
    ::SendMessageW(peer.hTree, TVM_SELECTITEM, TVGN_FIRSTVISIBLE, (LPARAM)hItem);
    ::UpdateWindow(peer.hTree);
    const double t0 = NowSeconds();
    for (int n = 0; n < 200; ++n)
    {
        ::SendMessageW(peer.hTree, WM_VSCROLL, SB_LINEDOWN, 0);
        ::UpdateWindow(peer.hTree);
    }
    dScroll = NowSeconds() - t0;
    const double t1 = NowSeconds();
    ::SendMessageW(peer.hTree, TVM_DELETEITEM, 0, (LPARAM)TVI_ROOT);
    ::UpdateWindow(peer.hTree);
    Pump();
    dDelete = NowSeconds() - t1;
    return true;
}

} // namespace

int wmain()
{
    INITCOMMONCONTROLSEX icc = { sizeof(icc), ICC_TREEVIEW_CLASSES };
    ::InitCommonControlsEx(&icc);
    std::vector<double> a, peerA, b, small, scroll, peerScroll, del, peerDel;
    for (int nRun = 0; nRun < kRuns; ++nRun)
    {
        const bool bOursFirst = nRun % 2 == 0;
        for (int nTurn = 0; nTurn < 2; ++nTurn)
        {
            if ((nTurn == 0) == bOursFirst)
            {
                a.push_back(OursFill(20000));
                b.push_back(OursFeed(20000));
                small.push_back(OursFill(2000));
                double dScroll = 0, dDelete = 0;
                OursScrollDelete(20000, dScroll, dDelete);
                scroll.push_back(dScroll);
                del.push_back(dDelete);
            }
            else
            {
                peerA.push_back(PeerFill(20000));
                double dScroll = 0, dDelete = 0;
                PeerScrollDelete(20000, dScroll, dDelete);
                peerScroll.push_back(dScroll);
                peerDel.push_back(dDelete);
            }
        }
        printf("run %d: ours %.3f s, tree view %.3f s, feed %.3f s, 2,000 rows %.3f s; scrolls ours %.3f s, tree view "
               "%.3f s; delete ours %.3f s, tree view %.3f s\n",
               nRun + 1, a.back(), peerA.back(), b.back(), small.back(), scroll.back(), peerScroll.back(), del.back(),
               peerDel.back());
        fflush(stdout);
    }
    benchsupport::PrintRuns("(a) ours", a);
    benchsupport::PrintRuns("(a) tree view", peerA);
    benchsupport::PrintRuns("(b) from a worker", b);
    benchsupport::PrintRuns("(c) 2,000 rows", small);
    benchsupport::PrintRuns("(d) scrolls ours", scroll);
    benchsupport::PrintRuns("(d) scrolls tree view", peerScroll);
    benchsupport::PrintRuns("(d) delete ours", del);
    benchsupport::PrintRuns("(d) delete tree view", peerDel);
    auto ratio = [](const char* pszWhat, const std::vector<double>& ours, const std::vector<double>& peer, double dTarget) {
        const double dBest = Best(ours) / Best(peer), dMedian = Median(ours) / Median(peer);
        printf("%s: best %.3f s / %.3f s, ratio %.2f; median %.3f s / %.3f s, ratio %.2f (target <= %.1f: %s)\n",
               pszWhat, Best(ours), Best(peer), dBest, Median(ours), Median(peer), dMedian, dTarget,
               dMedian <= dTarget ? "met" : "NOT met");
    };
    ratio("(a) 20,000 rows, expand, paint: ours / tree view", a, peerA, 1.0);
    ratio("(b) from a worker until shown / (a)", b, a, 1.2);
    ratio("(c) 20,000 / 2,000 rows", a, small, 11);
    ratio("(d) 200 one-row scrolls: ours / tree view", scroll, peerScroll, 1.5);
    ratio("(d) delete all: ours / tree view", del, peerDel, 1.5);
    return 0;
}
