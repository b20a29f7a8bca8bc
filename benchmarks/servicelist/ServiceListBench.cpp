// Repaint speed of the service optimizer's list against a plain report-view
// SysListView32 holding the same rows.
//
// 300 services with 500-character descriptions in the older layout (display
// name, description, type, status), filled as the view fills its list; the
// system list gets the same texts and column widths. Fifty full repaints
// (invalidate, erase, paint now) of each, in its own visible window of the
// same size; five runs, taking turns at going first, each printed with the
// best and the median.
// Target: a ratio of 2.0 or less.
//
// Run by hand under wine64 on a display (Xvfb), from the build folder:
//   cmake ... -DTAMSEL_BUILD_BENCHMARKS=ON && cmake --build . --target servicelist_bench
//   ./wine-run.sh --setup && ./wine-run.sh bin/servicelist_bench.exe
#include "framework/Afx.h"
#include "optimizer/ServiceOptimizerDlg.h"
#include "benchmarks/support/BenchSupport.h"

#include <commctrl.h>
#include <stdio.h>
#include <algorithm>
#include <vector>

using benchsupport::Best;
using benchsupport::Median;
using benchsupport::NowSeconds;
using benchsupport::Pump;

namespace {

const int kRows = 300;
const int kRepaints = 50;
const int kRuns = 5;
const int kWidth = 600, kHeight = 500;
const int kWidths[4] = {100, 280, 100, 100};
const LPCWSTR kHeaders[4] = {L"Display Name", L"Description", L"Type", L"Status"};

std::vector<CServiceRecord> Services()
{
    std::vector<CServiceRecord> services(kRows);
    for (int n = 0; n < kRows; ++n)
    {
        CServiceRecord& record = services[n];
        record = {};
        record.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
        record.dwStartType = 2 + n % 3;
        record.dwCurrentState = n % 2 ? SERVICE_RUNNING : SERVICE_STOPPED;
        wsprintfW(record.szServiceName, L"Service%03d", n);
        wsprintfW(record.szDisplayName, L"Bench Service Number %03d", n);
        for (int i = 0; i < 500; ++i)
            record.szDescription[i] = i % 7 == 6 ? L' ' : (wchar_t)(L'a' + (n + i) % 26);
        record.szDescription[500] = 0;
    }
    return services;
}

class CHost : public CWnd
{
public:
    explicit CHost(int x)
    {
        CreateEx(0, AfxRegisterWndClass(0, ::LoadCursorW(NULL, IDC_ARROW), (HBRUSH)::GetStockObject(WHITE_BRUSH)),
                 L"List", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, x, 0, kWidth, kHeight, NULL, NULL);
    }
    ~CHost() override
    {
        if (m_hWnd != NULL)
            DestroyWindow();
    }
};

double Repaint(HWND hList)
{
    Pump();
    ::GdiFlush();
    const double dStart = NowSeconds();
    for (int i = 0; i < kRepaints; ++i)
        ::RedrawWindow(hList, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_FRAME);
    ::GdiFlush();
    return NowSeconds() - dStart;
}

// The service optimizer's list, made and filled as the view does.
double Ours(const std::vector<CServiceRecord>& services)
{
    CHost host(0);
    CMyListCtrl list;
    for (int i = 0; i < 4; ++i)
        list.AddColumnRecord(kHeaders[i], kWidths[i]);
    list.SetCreateExStyle(WS_EX_CLIENTEDGE);
    CRect rc(5, 5, kWidth - 5, kHeight - 5);
    list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_OWNERDRAWFIXED | LVS_SHOWSELALWAYS, rc, &host,
                CServiceOptimizerDlg::IDC_SERVICE_LIST);
    FillServiceList(list, services, 5);
    const double dTime = Repaint(list.m_hWnd);
    list.DestroyWindow();
    return dTime;
}

double Peer(const std::vector<CServiceRecord>& services)
{
    CHost host(0);
    HWND hList = ::CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                                   WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_SHOWSELALWAYS, 5, 5, kWidth - 10,
                                   kHeight - 10, host.m_hWnd, NULL, NULL, NULL);
    for (int i = 0; i < 4; ++i)
    {
        LVCOLUMNW column = {};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = (LPWSTR)kHeaders[i];
        column.cx = kWidths[i];
        ::SendMessageW(hList, LVM_INSERTCOLUMNW, i, (LPARAM)&column);
    }
    ::SendMessageW(hList, WM_SETREDRAW, FALSE, 0);
    for (int n = 0; n < kRows; ++n)
    {
        const CServiceRecord& record = services[n];
        LVITEMW item = {};
        item.mask = LVIF_TEXT;
        item.iItem = n;
        item.pszText = (LPWSTR)record.szDisplayName;
        const int nItem = (int)::SendMessageW(hList, LVM_INSERTITEMW, 0, (LPARAM)&item);
        const LPCWSTR texts[3] = {record.szDescription,
                                  record.dwStartType == 2 ? L"Auto" : record.dwStartType == 3 ? L"Manual" : L"Disable",
                                  record.dwCurrentState == SERVICE_RUNNING ? L"Start" : L"Stop"};
        for (int i = 0; i < 3; ++i)
        {
            LVITEMW sub = {};
            sub.iSubItem = i + 1;
            sub.pszText = (LPWSTR)texts[i];
            ::SendMessageW(hList, LVM_SETITEMTEXTW, nItem, (LPARAM)&sub);
        }
    }
    ::SendMessageW(hList, WM_SETREDRAW, TRUE, 0);
    const double dTime = Repaint(hList);
    ::DestroyWindow(hList);
    return dTime;
}

} // namespace

int wmain()
{
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&icc);
    const std::vector<CServiceRecord> services = Services();
    std::vector<double> ours, peer;
    for (int nRun = 0; nRun < kRuns; ++nRun)
    {
        if (nRun % 2 == 0)
        {
            ours.push_back(Ours(services));
            peer.push_back(Peer(services));
        }
        else
        {
            peer.push_back(Peer(services));
            ours.push_back(Ours(services));
        }
        printf("run %d: service list %.3f s, report list %.3f s\n", nRun + 1, ours.back(), peer.back());
        fflush(stdout);
    }
    benchsupport::PrintRuns("service list", ours);
    benchsupport::PrintRuns("report list", peer);
    printf("%d repaints of %d rows with 500-character descriptions: service list %.3f s, report list %.3f s, "
           "ratio %.2f (target <= 2.0: %s); medians %.3f s, %.3f s, ratio %.2f\n",
           kRepaints, kRows, Best(ours), Best(peer), Best(ours) / Best(peer),
           Best(ours) <= 2.0 * Best(peer) ? "met" : "NOT met", Median(ours), Median(peer), Median(ours) / Median(peer));
    return 0;
}
