// Start-up time of Tamsel.exe against an empty dialog program, on a display
// without a window manager and, when one is installed, with a small one.
//
// Starts each program five times, taking turns at going first, and measures
// from the process start
//   visible: to its main window being visible (for Tamsel the top-level
//            window that carries the "Tamsel" window property, the running
//            copy's mark);
//   ready:   to the first WM_NULL sent to that window that its thread answers
//            within 50 ms (the pages Tamsel builds after showing its window
//            run on that thread);
//   closed:  from asking the window to close to the end of the process;
// Prints every run, the best and the median of each, and the ratios to the
// empty dialog. Targets: the visible window at 2.0 or less without a window
// manager and 1.5 or less with one, the answering window at 2.0 or less.
//
// Run by hand from the worktree (Tamsel.exe and empty_dialog.exe of the same
// build sit beside this program; i686 with wine, x86_64 with wine64), on a
// display without a window manager (Xvfb):
//   apt-get install -y matchbox-window-manager   # for the runs with a manager
//   cmake --build build/bench-x86_64 --target startup_bench
//   export WINEPREFIX=/tmp/tamsel-bench WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml="
//   wine64 wineboot -i
//   wineserver -p            # one server for the whole run
//   wine64 build/bench-x86_64/bin/startup_bench.exe    (wine build/bench-i686/bin/startup_bench.exe)
//   wineserver -k
// The benchmark starts the manager itself for its second half and stops it.
#include "benchmarks/support/BenchSupport.h"
#include "benchmarks/support/WindowProbe.h"

#include <stdio.h>
#include <string>
#include <vector>

using namespace benchsupport;

namespace {

const int kRuns = 5;
const DWORD kWaitMs = 30000;
// A thread that answers a sent message within this time counts as ready.
const DWORD kAnswerMs = 50;

struct StartTimes
{
    double dVisible = -1;
    double dReady = -1;
    double dClosed = -1;
};

StartTimes TimeStart(const std::wstring& strExe, LPCWSTR pszMark)
{
    StartTimes times;
    CProbedProgram program;
    if (!StartProbedProgram(strExe, ProgramFolder(), program))
        return times;
    if (WaitForMainWindow(program, pszMark, kWaitMs))
    {
        times.dVisible = program.dVisible;
        while ((NowSeconds() - program.dStart) * 1000 < kWaitMs)
        {
            double dAnswer = AnswerTime(program.hWnd, kAnswerMs);
            if (dAnswer >= 0 && dAnswer * 1000 <= kAnswerMs)
            {
                times.dReady = NowSeconds() - program.dStart;
                break;
            }
            if (dAnswer < 0 && !::IsWindow(program.hWnd))
                break;
        }
    }
    double dClose = NowSeconds();
    CloseProbedProgram(program, kWaitMs);
    times.dClosed = NowSeconds() - dClose;
    return times;
}

// Five runs of both programs; false when one failed.
bool MeasureStarts(const char* pszDisplay, double dVisibleTarget)
{
    std::wstring strTamsel = ProgramFolder() + L"Tamsel.exe";
    std::wstring strEmpty = ProgramFolder() + L"empty_dialog.exe";
    printf("%s:\n", pszDisplay);
    std::vector<double> tamselVisible, tamselReady, tamselClosed, emptyVisible, emptyReady, emptyClosed;
    for (int nRun = 0; nRun < kRuns; nRun++)
    {
        StartTimes tamsel, empty;
        if (nRun % 2 == 0)
        {
            tamsel = TimeStart(strTamsel, L"Tamsel");
            empty = TimeStart(strEmpty, NULL);
        }
        else
        {
            empty = TimeStart(strEmpty, NULL);
            tamsel = TimeStart(strTamsel, L"Tamsel");
        }
        if (tamsel.dVisible < 0 || empty.dVisible < 0)
        {
            printf("run %d: a program showed no window\n", nRun + 1);
            return false;
        }
        if (tamsel.dReady < 0 || empty.dReady < 0)
        {
            printf("run %d: a window's thread did not answer within %lu ms\n", nRun + 1, kAnswerMs);
            return false;
        }
        printf("run %d: Tamsel visible %.3f s, ready %.3f s, closed in %.3f s; empty dialog visible %.3f s, ready "
               "%.3f s, closed in %.3f s\n",
               nRun + 1, tamsel.dVisible, tamsel.dReady, tamsel.dClosed, empty.dVisible, empty.dReady, empty.dClosed);
        fflush(stdout);
        tamselVisible.push_back(tamsel.dVisible);
        tamselReady.push_back(tamsel.dReady);
        tamselClosed.push_back(tamsel.dClosed);
        emptyVisible.push_back(empty.dVisible);
        emptyReady.push_back(empty.dReady);
        emptyClosed.push_back(empty.dClosed);
    }
    PrintRuns("  Tamsel visible", tamselVisible);
    PrintRuns("  empty dialog visible", emptyVisible);
    PrintRuns("  Tamsel ready", tamselReady);
    PrintRuns("  empty dialog ready", emptyReady);
    PrintRuns("  Tamsel closed", tamselClosed);
    PrintRuns("  empty dialog closed", emptyClosed);
    BestTimes visible, ready;
    visible.arrOurs = tamselVisible;
    visible.arrPeer = emptyVisible;
    visible.dOurs = Best(tamselVisible);
    visible.dPeer = Best(emptyVisible);
    ready.arrOurs = tamselReady;
    ready.arrPeer = emptyReady;
    ready.dOurs = Best(tamselReady);
    ready.dPeer = Best(emptyReady);
    printf("visible window, %s: ", pszDisplay);
    PrintRatios("Tamsel", "empty dialog", visible, dVisibleTarget);
    printf("answering window, %s: ", pszDisplay);
    PrintRatios("Tamsel", "empty dialog", ready, 2.0);
    fflush(stdout);
    return true;
}

} // namespace

int wmain()
{
    printf("startup_bench: %s process\n", ProcessKind());
    // A running copy makes each new one end at once (its weekly task may have
    // started one in this prefix).
    if (HWND hRunning = FindMarkedWindow(L"Tamsel"))
    {
        DWORD dwProcessId = 0;
        ::GetWindowThreadProcessId(hRunning, &dwProcessId);
        printf("FAILED: Tamsel already runs in this prefix (process %lu); close it first\n", dwProcessId);
        return 1;
    }
    if (!MeasureStarts("without a window manager", 2.0))
        return 1;
    std::string strManager = FindWindowManager();
    if (strManager.empty())
    {
        printf("with a window manager: not measured, none is installed (apt-get install matchbox-window-manager)\n");
        return 0;
    }
    if (!StartWindowManager(strManager))
    {
        printf("with a window manager: not measured, %s did not start\n", strManager.c_str());
        return 1;
    }
    bool bOk = MeasureStarts(("with " + strManager).c_str(), 1.5);
    StopWindowManager();
    return bOk ? 0 : 1;
}
