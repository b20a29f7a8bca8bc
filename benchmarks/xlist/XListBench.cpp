// Filling and header-box speed of CXListCtrl against the system list view.
//
// Fill: 10,000 rows of 3 columns the startup page's way (row, column-0 box,
// two texts with tool tips, an image), redraw off, then redraw on and one
// paint; the peer is a SysListView32 with LVS_EX_CHECKBOXES, full-row select
// and grid lines, the same texts and image list, redraw off. Also our 10,000
// rows against our 1,000. Header: one click on the column-0 header box over
// 10,000 rows, then a paint, against LVM_SETITEMSTATE(-1, check state) and a
// paint on the peer. Five runs each, taking turns at going first; every run,
// the best and the median are printed.
// Targets: fill ratio <= 2.0, 10,000 / 1,000 <= 11, header ratio <= 2.0.
//
// Run by hand under wine64 on a display (the test build's prefix will do):
//   cmake -S . -B build/x86_64 ... -DTAMSEL_BUILD_BENCHMARKS=ON
//   cmake --build build/x86_64 --target xlist_bench
//   build/x86_64/wine-run.sh --setup
//   build/x86_64/wine-run.sh build/x86_64/bin/xlist_bench.exe
#include "controls/lists/XListCtrl.h"
#include "framework/ImageList.h"
#include "benchmarks/support/BenchSupport.h"

#include <stdio.h>
#include <algorithm>

namespace {

const int kRuns = 5;
const int kImages = 20;
const RECT kListRect = { 0, 0, 640, 420 };

double Now()
{
    LARGE_INTEGER frequency;
    LARGE_INTEGER counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return double(counter.QuadPart) / double(frequency.QuadPart);
}

void Pump()
{
    MSG msg;
    while (PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE))
    {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void RowTexts(int i, wchar_t* pszName, wchar_t* pszPath)
{
    wsprintfW(pszName, L"Startup program %05d", i);
    wsprintfW(pszPath, L"\"C:\\Program Files\\Vendor %05d\\Tools\\agent.exe\" /background /id=%d", i, i * 7);
}

HIMAGELIST MakeImages()
{
    HIMAGELIST hImages = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, kImages, 1);
    HICON hIcon = LoadIconW(NULL, IDI_APPLICATION);
    for (int i = 0; i < kImages; ++i)
        ImageList_AddIcon(hImages, hIcon);
    return hImages;
}

LVCOLUMNW Column(LPCWSTR pszText, int cx, int nImage)
{
    LVCOLUMNW column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | (nImage >= 0 ? LVCF_IMAGE : 0);
    column.fmt = LVCFMT_LEFT;
    column.pszText = (LPWSTR)pszText;
    column.cx = cx;
    column.iImage = nImage;
    return column;
}

struct Times
{
    double dFill;
    double dHeader;
};

Times RunOurs(CWnd& host, HIMAGELIST hImages, int nRows, bool bHeader)
{
    CXListCtrl list;
    list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS, kListRect, &host, 1013);
    list.SetExtendedStyle(LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    list.EnableToolTips(TRUE);
    ::SendMessageW(list.m_hWnd, LVM_SETIMAGELIST, LVSIL_SMALL, (LPARAM)hImages);
    LVCOLUMNW column = Column(L"", 25, 1);
    list.InsertColumn(0, &column);
    column = Column(L"Program Name", 140, -1);
    list.InsertColumn(1, &column);
    column = Column(L"Program Path", 393, -1);
    list.InsertColumn(2, &column);
    list.UpdateWindow();
    Pump();

    Times times = {};
    double dStart = Now();
    list.SetRedraw(FALSE);
    wchar_t szName[64];
    wchar_t szPath[160];
    for (int i = 0; i < nRows; ++i)
    {
        RowTexts(i, szName, szPath);
        list.InsertItem(i, L"");
        list.SetCheckbox(i, 0, 1);
        list.SetItemText(i, 1, szName);
        list.SetItemToolTipText(i, 1, szName);
        list.SetItemImage(i, 1, i % kImages);
        list.SetItemText(i, 2, szPath);
        list.SetItemToolTipText(i, 2, szPath);
    }
    list.SetRedraw(TRUE);
    list.UpdateWindow();
    times.dFill = Now() - dStart;

    if (bHeader)
    {
        CXHeaderCtrl* pHeader = list.GetXHeaderCtrl();
        CPoint point = pHeader->GetCheckboxRect(0).CenterPoint();
        dStart = Now();
        pHeader->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(point.x, point.y));
        pHeader->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(point.x, point.y));
        list.UpdateWindow();
        times.dHeader = Now() - dStart;
        if (list.GetCheckbox(nRows - 1, 0) != 2)
            wprintf(L"header click did not check the rows\n");
    }
    list.DestroyWindow();
    Pump();
    return times;
}

Times RunPeer(CWnd& host, HIMAGELIST hImages, int nRows)
{
    HWND hList = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS |
                                 LVS_SHAREIMAGELISTS, 0, 0, kListRect.right, kListRect.bottom, host.m_hWnd,
                                 (HMENU)1014, NULL, NULL);
    SendMessageW(hList, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                 LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_INFOTIP);
    SendMessageW(hList, LVM_SETIMAGELIST, LVSIL_SMALL, (LPARAM)hImages);
    LVCOLUMNW column = Column(L"Program Name", 165, -1);
    SendMessageW(hList, LVM_INSERTCOLUMNW, 0, (LPARAM)&column);
    column = Column(L"Program Path", 393, -1);
    SendMessageW(hList, LVM_INSERTCOLUMNW, 1, (LPARAM)&column);
    column = Column(L"", 40, -1);
    SendMessageW(hList, LVM_INSERTCOLUMNW, 2, (LPARAM)&column);
    UpdateWindow(hList);
    Pump();

    Times times = {};
    double dStart = Now();
    SendMessageW(hList, WM_SETREDRAW, FALSE, 0);
    wchar_t szName[64];
    wchar_t szPath[160];
    for (int i = 0; i < nRows; ++i)
    {
        RowTexts(i, szName, szPath);
        LVITEMW item = {};
        item.mask = LVIF_TEXT | LVIF_IMAGE;
        item.iItem = i;
        item.pszText = szName;
        item.iImage = i % kImages;
        SendMessageW(hList, LVM_INSERTITEMW, 0, (LPARAM)&item);
        LVITEMW state = {};
        state.stateMask = LVIS_STATEIMAGEMASK;
        state.state = INDEXTOSTATEIMAGEMASK(1);
        SendMessageW(hList, LVM_SETITEMSTATE, i, (LPARAM)&state);
        LVITEMW text = {};
        text.iSubItem = 1;
        text.pszText = szPath;
        SendMessageW(hList, LVM_SETITEMTEXTW, i, (LPARAM)&text);
        text.iSubItem = 2;
        text.pszText = (LPWSTR)L"";
        SendMessageW(hList, LVM_SETITEMTEXTW, i, (LPARAM)&text);
    }
    SendMessageW(hList, WM_SETREDRAW, TRUE, 0);
    UpdateWindow(hList);
    times.dFill = Now() - dStart;

    dStart = Now();
    LVITEMW state = {};
    state.stateMask = LVIS_STATEIMAGEMASK;
    state.state = INDEXTOSTATEIMAGEMASK(2);
    SendMessageW(hList, LVM_SETITEMSTATE, (WPARAM)-1, (LPARAM)&state);
    UpdateWindow(hList);
    times.dHeader = Now() - dStart;

    DestroyWindow(hList);
    Pump();
    return times;
}

} // namespace

int wmain()
{
    INITCOMMONCONTROLSEX icc = { sizeof(icc), ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES };
    InitCommonControlsEx(&icc);
    CWnd host;
    LPCTSTR lpszClass = AfxRegisterWndClass(CS_DBLCLKS, LoadCursorW(NULL, IDC_ARROW), (HBRUSH)(COLOR_WINDOW + 1));
    if (!host.CreateEx(0, lpszClass, L"List bench", WS_POPUP | WS_VISIBLE, 0, 0, 660, 440, NULL, NULL))
    {
        wprintf(L"no window (no display?)\n");
        return 1;
    }
    host.UpdateWindow();
    HIMAGELIST hImages = MakeImages();

    std::vector<double> arrOurs, arrPeer, arrOurs1k, arrOursHeader, arrPeerHeader;
    for (int nRun = 0; nRun < kRuns; ++nRun)
    {
        Times ours, peer;
        if (nRun % 2 == 0)
        {
            ours = RunOurs(host, hImages, 10000, true);
            peer = RunPeer(host, hImages, 10000);
        }
        else
        {
            peer = RunPeer(host, hImages, 10000);
            ours = RunOurs(host, hImages, 10000, true);
        }
        Times small = RunOurs(host, hImages, 1000, false);
        arrOurs.push_back(ours.dFill);
        arrPeer.push_back(peer.dFill);
        arrOurs1k.push_back(small.dFill);
        arrOursHeader.push_back(ours.dHeader);
        arrPeerHeader.push_back(peer.dHeader);
        wprintf(L"run %d: fill ours %.3f s, peer %.3f s, ours 1,000 rows %.3f s; header ours %.4f s, peer %.4f s\n",
                nRun + 1, ours.dFill, peer.dFill, small.dFill, ours.dHeader, peer.dHeader);
        fflush(stdout);
    }
    using benchsupport::Best;
    using benchsupport::Median;
    benchsupport::PrintRuns("fill CXListCtrl", arrOurs);
    benchsupport::PrintRuns("fill SysListView32", arrPeer);
    benchsupport::PrintRuns("fill CXListCtrl 1,000 rows", arrOurs1k);
    benchsupport::PrintRuns("header CXListCtrl", arrOursHeader);
    benchsupport::PrintRuns("header LVM_SETITEMSTATE", arrPeerHeader);
    const double dOurs = Best(arrOurs), dPeer = Best(arrPeer), dOurs1k = Best(arrOurs1k);
    const double dOursHeader = Best(arrOursHeader), dPeerHeader = Best(arrPeerHeader);
    wprintf(L"fill 10,000 rows: CXListCtrl %.3f s, SysListView32 %.3f s, ratio %.2f (target <= 2.00); median ratio %.2f\n",
            dOurs, dPeer, dOurs / dPeer, Median(arrOurs) / Median(arrPeer));
    wprintf(L"CXListCtrl 10,000 rows against 1,000: %.3f s / %.3f s, ratio %.2f (target <= 11.00); median ratio %.2f\n",
            dOurs, dOurs1k, dOurs / dOurs1k, Median(arrOurs) / Median(arrOurs1k));
    wprintf(L"header box over 10,000 rows: CXListCtrl %.4f s, LVM_SETITEMSTATE %.4f s, ratio %.2f (target <= 2.00); "
            L"median ratio %.2f\n",
            dOursHeader, dPeerHeader, dOursHeader / dPeerHeader, Median(arrOursHeader) / Median(arrPeerHeader));
    ImageList_Destroy(hImages);
    host.DestroyWindow();
    return 0;
}
