// The startup manager's Restore tab over an archive of 20,000 backups against
// Info-ZIP's "unzip -l" of the same archive.
//
// Writes Utilities\Startup.dat with 20,000 startup backups into a scratch
// program folder, then per run: shows the manager, presses the Restore tab
// and serves messages until every row is in (the listing time), while a
// thread of its own sends WM_NULL to the window every 20 ms (the longest
// wait for an answer is the longest stall); then closes the manager (the
// close time: leaving the tab and destroying the window). The peer lists the
// same archive with "unzip -l", timed inside the host shell. Five runs (or
// the number given as the first argument), taking turns at going first,
// each printed, with the best and the median.
// Targets: the list within 5 s, no stall over 1 s, the close within 1 s.
//
// Run by hand under wine64 on a display (Xvfb) from the worktree (unzip
// must be on the host):
//   cmake -S . -B build/x86_64 ... -DTAMSEL_BUILD_BENCHMARKS=ON
//   cmake --build build/x86_64 --target toolrestore_bench
//   build/x86_64/wine-run.sh --setup && build/x86_64/wine-run.sh build/x86_64/bin/toolrestore_bench.exe
#include "app/TamselApp.h"
#include "benchmarks/support/BenchSupport.h"
#include "services/ZipWriter.h"
#include "tests/support/ResponsiveWatch.h"
#include "tools/StartupManager.h"

#include <commctrl.h>
#include <stdio.h>
#include <memory>
#include <string>
#include <vector>

using namespace benchsupport;

CTamselApp theApp;

namespace {

const char kScratch[] = "/tmp/tamsel-toolrestore-bench/";
const int kEntries = 20000;
const int kDefaultRuns = 5;

std::string Utf16(const std::wstring& strText)
{
    std::string bytes = "\xFF\xFE";
    for (wchar_t ch : strText)
        bytes += std::string{(char)(ch & 0xFF), (char)(ch >> 8)};
    return bytes;
}

bool WriteArchive(const std::wstring& strArchive)
{
    ZipHandle hZip = CreateZipArchive(strArchive.c_str(), 0, ZipKindFile);
    if (hZip == NULL)
        return false;
    bool bOk = true;
    for (int i = 0; i < kEntries && bOk; ++i)
    {
        std::string entry = Utf16(L"Windows Registry Editor Version 5.00\r\n\r\n"
                                  L"[HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run]\r\n"
                                  L"\"TamselBench" + std::to_wstring(i) + L"\"=\"C:\\\\Program Files\\\\Bench\\\\bench" +
                                  std::to_wstring(i) + L".exe /background\"\r\n\r\n");
        std::wstring strName = L"Startup" + std::to_wstring(i) + L".reg";
        bOk = AddToZipArchive(hZip, strName.c_str(), entry.data(), (DWORD)entry.size(), ZipKindMemory) == ZipOk;
    }
    return CloseZipWriter(hZip) == ZipOk && bOk;
}

class CHost : public CWnd
{
};

struct OursRun
{
    double dList = -1;
    double dStall = -1;
    double dClose = -1;
};

OursRun RunOurs(CHost& host)
{
    OursRun run;
    std::unique_ptr<CStartupManager> pManager(new CStartupManager());
    if (!pManager->Create(254, &host))
        return run;
    pManager->MoveWindow(0, 0, 600, 460, TRUE);
    pManager->ShowWindow(SW_SHOW);
    Pump();
    CStartupRestorePage& page = pManager->m_pageRestore;
    {
        testsupport::ResponsiveWatch watch(host.m_hWnd, 20, 60000);
        const double dStart = NowSeconds();
        pManager->OnTabRestore();
        bool bListed = testsupport::PumpUntil([&page]() { return !page.IsListing(); }, 600000);
        // The rows on screen count too.
        page.UpdateWindow();
        run.dList = NowSeconds() - dStart;
        // A few more turns: a stall right after the last row counts as well.
        testsupport::PumpUntil([]() { return false; }, 100);
        watch.Stop();
        run.dStall = watch.LongestWait() / 1000.0;
        if (!bListed || page.GetList().GetItemCount() != kEntries)
        {
            printf("listed %d of %d rows\n", page.GetList().GetItemCount(), kEntries);
            run.dList = -1;
        }
    }
    const double dStart = NowSeconds();
    pManager->OnTabRemove();
    pManager->DestroyWindow();
    pManager.reset();
    Pump();
    run.dClose = NowSeconds() - dStart;
    return run;
}

double RunPeer()
{
    std::string strArchive = std::string(kScratch) + "Utilities/Startup.dat";
    std::string strTime = std::string(kScratch) + "unzip-ns.txt";
    std::string strCommand = "s=$(date +%s%N); unzip -l " + strArchive + " > " + kScratch + "unzip-l.txt || exit 1; " +
                             "e=$(date +%s%N); echo $((e-s)) > " + strTime;
    if (RunHost(strCommand) != 0)
        return -1;
    return _atoi64(ReadFileBytes(WinPath(strTime)).c_str()) / 1e9;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    // A first argument sets the number of runs (a quick look: 1).
    const int kRuns = argc > 1 && _wtoi(argv[1]) > 0 ? _wtoi(argv[1]) : kDefaultRuns;
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_LISTVIEW_CLASSES};
    ::InitCommonControlsEx(&icc);
    if (RunHost(std::string("rm -rf ") + kScratch + " && mkdir -p " + kScratch + "Utilities") != 0)
    {
        printf("cannot make %s\n", kScratch);
        return 1;
    }
    CTamselApp* pApp = static_cast<CTamselApp*>(AfxGetApp());
    pApp->m_strAppDir = WinPath(kScratch).c_str();
    if (!WriteArchive((LPCWSTR)(pApp->m_strAppDir + L"Utilities\\Startup.dat")))
    {
        printf("cannot write the archive\n");
        return 1;
    }
    CHost host;
    if (!host.CreateEx(0, AfxRegisterWndClass(0, ::LoadCursorW(NULL, IDC_ARROW), (HBRUSH)(COLOR_WINDOW + 1)),
                       L"Restore bench", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 620, 480, NULL, NULL))
        return 1;

    std::vector<double> list, stall, close, peer;
    for (int nRun = 0; nRun < kRuns; ++nRun)
    {
        OursRun ours;
        double dPeer;
        if (nRun % 2 == 0)
        {
            ours = RunOurs(host);
            dPeer = RunPeer();
        }
        else
        {
            dPeer = RunPeer();
            ours = RunOurs(host);
        }
        if (ours.dList < 0 || dPeer < 0)
        {
            printf("run %d failed (unzip on the host?)\n", nRun + 1);
            return 1;
        }
        list.push_back(ours.dList);
        stall.push_back(ours.dStall);
        close.push_back(ours.dClose);
        peer.push_back(dPeer);
        printf("run %d: listing %.3f s, longest stall %.3f s, close %.3f s; unzip -l %.3f s\n", nRun + 1, ours.dList,
               ours.dStall, ours.dClose, dPeer);
        fflush(stdout);
    }
    PrintRuns("listing", list);
    PrintRuns("longest stall", stall);
    PrintRuns("close", close);
    PrintRuns("unzip -l", peer);
    printf("%d backups: listing best %.3f s, median %.3f s (target <= 5 s: %s); longest stall median %.3f s "
           "(target <= 1 s: %s); close median %.3f s (target <= 1 s: %s); listing / unzip -l, best %.1f, median %.1f\n",
           kEntries, Best(list), Median(list), Median(list) <= 5.0 ? "met" : "NOT met", Median(stall),
           Median(stall) <= 1.0 ? "met" : "NOT met", Median(close), Median(close) <= 1.0 ? "met" : "NOT met",
           Best(list) / Best(peer), Median(list) / Median(peer));
    host.DestroyWindow();
    RunHost(std::string("rm -rf ") + kScratch);
    return 0;
}
