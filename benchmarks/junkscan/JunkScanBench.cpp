// Speed of the junk scan, to a filled result list, against find with the same
// twelve default masks, over one planted tree of 100,000 files in 1,000
// folders of which 10% match. Both warm (one run each first), then three runs;
// every run, the best and the median are printed. The shell times find alone.
// Target: a ratio of 8 or less.
//
// Run by hand under wine64 on a display (Xvfb), from the build folder:
//   cmake ... -DTAMSEL_BUILD_BENCHMARKS=ON && cmake --build . --target junkscan_bench
//   ./wine-run.sh --setup && ./wine-run.sh bin/junkscan_bench.exe
#include "framework/Afx.h"
#include "privacy/JunkCleanerDlg.h"
#include "privacy/JunkMaskRules.h"
#include "privacy/PrivacyState.h"
#include "benchmarks/junkscan/HostShell.h"
#include "benchmarks/support/BenchSupport.h"
#include <algorithm>
#include <stdio.h>

namespace {

const int kRuns = 3;

double Now()
{
    LARGE_INTEGER counter, frequency;
    ::QueryPerformanceCounter(&counter);
    ::QueryPerformanceFrequency(&frequency);
    return double(counter.QuadPart) / double(frequency.QuadPart);
}

void PumpUntil(const std::function<bool()>& done)
{
    while (!done())
    {
        MSG msg;
        while (::PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE))
        {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::MsgWaitForMultipleObjects(0, NULL, FALSE, 5, QS_ALLINPUT);
    }
}

class CHostWindow : public CWnd
{
public:
    CHostWindow()
    {
        CreateEx(0, AfxRegisterWndClass(0, NULL, (HBRUSH)::GetStockObject(WHITE_BRUSH)), L"junk scan", WS_POPUP | WS_VISIBLE,
                 0, 0, 800, 600, NULL, NULL);
    }
    ~CHostWindow() override { DestroyWindow(); }
};

} // namespace

int wmain()
{
    wchar_t szTemp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, szTemp);
    std::wstring strTree = std::wstring(szTemp) + L"tamsel_junk_bench";
    ::CreateDirectoryW(strTree.c_str(), NULL);
    std::string strUnix = benchshell::UnixPath(strTree);
    std::string strOut;
    if (strUnix.empty() || !benchshell::Run("command -v find", strOut))
    {
        printf("FAILED: find is not reachable\n");
        return 1;
    }
    printf("Planting 100,000 files in 1,000 folders...\n");
    // 90 plain names and 10 that match the default masks, in every folder.
    const char* pszPlant =
        "cd '%s' && rm -rf d* && for d in $(seq 0 999); do mkdir d$d && (cd d$d && "
        "touch $(seq -f 'doc%%g.txt' 1 90) a.tmp b.swp 'c.$$$' d.~wr ~e.doc 'f.db$' g.nch h.temp i.ba~ j.___); done";
    char szCommand[1024];
    snprintf(szCommand, sizeof(szCommand), pszPlant, strUnix.c_str());
    if (!benchshell::Run(szCommand, strOut, 1800000))
    {
        printf("FAILED: the tree could not be planted\n");
        return 1;
    }

    std::vector<CString> masks;
    std::string strFind = "find '" + strUnix + "' -type f '('";
    for (int i = 0; i < JUNK_DEFAULT_MASK_COUNT; i++)
    {
        masks.push_back(JunkMaskTable[i].lpszMask);
        std::string strMask = CString(JunkMaskTable[i].lpszMask).ToUtf8();
        strFind += std::string(i ? " -o" : "") + " -iname '" + strMask + "'";
    }
    strFind += " ')'";

    CHostWindow host;
    CJunkCleanerDlg view;
    if (!view.CreateView(host.m_hWnd, 0, 0))
    {
        printf("FAILED: the view could not be created\n");
        return 1;
    }
    view.ShowWindow(SW_SHOW);
    CString strFolder = strTree.c_str();
    strFolder += L"\\";

    std::vector<double> arrOurs, arrFind;
    int nRows = 0;
    bool bOk = true;
    for (int nRun = 0; nRun <= kRuns && bOk; nRun++)
    {
        double t0 = Now();
        bOk = view.StartScan(strFolder, masks) != FALSE;
        PumpUntil([&] { return !view.GetResults().IsScanning(); });
        double dRunOurs = Now() - t0;
        nRows = view.GetResults().GetList().GetItemCount();
        double dRunFind = benchshell::Time(strFind);
        bOk = bOk && dRunFind >= 0;
        printf("run %d%s: scan to a filled list %.3f s (%d rows), find %.3f s\n", nRun, nRun == 0 ? " (warm-up)" : "",
               dRunOurs, nRows, dRunFind);
        fflush(stdout);
        if (nRun > 0)
        {
            arrOurs.push_back(dRunOurs);
            arrFind.push_back(dRunFind);
        }
    }
    std::string strFindCount;
    benchshell::Run(strFind + " | wc -l", strFindCount);
    benchshell::Run("rm -rf '" + strUnix + "'", strOut, 600000);
    if (!bOk)
    {
        printf("FAILED: a run did not complete\n");
        return 1;
    }
    benchsupport::PrintRuns("junk scan", arrOurs);
    benchsupport::PrintRuns("find", arrFind);
    const double dOurs = benchsupport::Best(arrOurs), dFind = benchsupport::Best(arrFind);
    const double dMedian = benchsupport::Median(arrOurs) / benchsupport::Median(arrFind);
    printf("junk scan:  %.3f s (best of %d), %d rows\n", dOurs, kRuns, nRows);
    printf("find:       %.3f s, %d names\n", dFind, atoi(strFindCount.c_str()));
    printf("ratio scan / find, best: %.2f (target <= 8.00: %s); median: %.2f\n", dOurs / dFind,
           dOurs <= 8 * dFind ? "met" : "NOT met", dMedian);
    return 0;
}
