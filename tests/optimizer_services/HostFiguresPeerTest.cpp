// The memory view's figures against the Linux host's own over the same second:
// the processor load against /proc/stat, the memory figures against /proc/meminfo.
#include "optimizer/MemoryOptimizerDlg.h"
#include "optimizer/OptimizerText.h"
#include "optimizer/shared/CpuUsageGraph.h"
#include "tests/optimizer/OptimizerTestSupport.h"
#include <atomic>
#include <cstdlib>
#include <sstream>
#include <thread>

using namespace optest;

namespace {

struct HostCpu
{
    ULONGLONG ullIdle = 0;
    ULONGLONG ullIoWait = 0;
    ULONGLONG ullTotal = 0;
};

// The first "cpu" line of /proc/stat, in ticks. Only this file is read: Z: is never walked.
bool ReadHostCpu(HostCpu& cpu)
{
    std::istringstream in(testsupport::ReadFileBytes(L"Z:\\proc\\stat"));
    std::string strName;
    in >> strName;
    if (strName != "cpu")
        return false;
    ULONGLONG ullField[8] = {};
    for (ULONGLONG& ull : ullField)
        in >> ull;
    if (!in)
        return false;
    // user nice system idle iowait irq softirq steal
    cpu.ullIdle = ullField[3];
    cpu.ullIoWait = ullField[4];
    cpu.ullTotal = 0;
    for (ULONGLONG ull : ullField)
        cpu.ullTotal += ull;
    return true;
}

// /proc/meminfo's values in KB by name.
std::map<std::string, ULONGLONG> ReadHostMemory()
{
    std::map<std::string, ULONGLONG> values;
    std::istringstream in(testsupport::ReadFileBytes(L"Z:\\proc\\meminfo"));
    std::string strLine;
    while (std::getline(in, strLine))
    {
        const size_t nColon = strLine.find(':');
        if (nColon != std::string::npos)
            values[strLine.substr(0, nColon)] = strtoull(strLine.c_str() + nColon + 1, NULL, 10);
    }
    return values;
}

// What the host counts as free for programs: free pages, buffers and the page cache.
ULONGLONG HostAvailableKB(std::map<std::string, ULONGLONG>& mem)
{
    return mem["MemFree"] + mem["Buffers"] + mem["Cached"];
}

// A number from a label such as "22223932KB" or "21703MB".
ULONGLONG LabelNumber(HWND hView, int nID)
{
    WCHAR sz[64] = {};
    ::GetDlgItemTextW(hView, nID, sz, 64);
    return _wcstoui64(sz, NULL, 10);
}

bool HostFilesReadable()
{
    HostCpu cpu;
    return ReadHostCpu(cpu) && ReadHostMemory().count("MemTotal") != 0;
}

} // namespace

TEST(HostFigures, ProcessorLoadFollowsProcStatOverTheSameSecond)
{
    if (!HostFilesReadable())
        TAMSEL_PEER_MISSING("/proc/stat or /proc/meminfo cannot be read through Z:");
    // Idle, two busy threads, then idle again. Each of the graph's two readings lies between
    // two reads of /proc/stat; the counters only grow, so its second holds at least the idle
    // ticks between the inner reads and at most those between the outer ones, over no more and
    // no less time. Other load on the machine widens these bounds and cannot break them.
    // Time waiting for I/O is idle to Windows but not in Wine's idle figure: either may count.
    for (int nRound = 0; nRound < 3; ++nRound)
    {
        std::atomic<bool> bStop(false);
        std::vector<std::thread> busy;
        for (int i = 0; nRound == 1 && i < 2; ++i)
            busy.emplace_back([&bStop] {
                volatile unsigned n = 0;
                while (!bStop.load())
                    ++n;
            });
        CCpuUsageGraph graph;
        HostCpu outerBefore, innerBefore, innerAfter, outerAfter;
        ASSERT_TRUE(ReadHostCpu(outerBefore));
        graph.GetCpuUsage();
        ASSERT_TRUE(ReadHostCpu(innerBefore));
        ::Sleep(1000);
        ASSERT_TRUE(ReadHostCpu(innerAfter));
        const int nLoad = graph.GetCpuUsage();
        ASSERT_TRUE(ReadHostCpu(outerAfter));
        bStop = true;
        for (std::thread& thread : busy)
            thread.join();
        ASSERT_GT(innerAfter.ullTotal, innerBefore.ullTotal);
        const double dMostIdle = (double)(outerAfter.ullIdle + outerAfter.ullIoWait - outerBefore.ullIdle -
                                          outerBefore.ullIoWait) /
                                 (double)(innerAfter.ullTotal - innerBefore.ullTotal);
        const double dLeastIdle = (double)(innerAfter.ullIdle - innerBefore.ullIdle) /
                                  (double)(outerAfter.ullTotal - outerBefore.ullTotal);
        // Two points for the whole-number load and the counters' 10 ms ticks.
        const double dLow = 100.0 - dMostIdle * 100.0 - 2.0, dHigh = 100.0 - dLeastIdle * 100.0 + 2.0;
        EXPECT_TRUE(nLoad >= dLow && nLoad <= dHigh)
            << "round " << nRound << ": load " << nLoad << "%, host " << dLow << " .. " << dHigh;
        if (nRound == 1)
        {
            EXPECT_GE(nLoad, 1) << "two busy threads show";
        }
    }
}

TEST(HostFigures, MemoryViewShowsWhatProcMeminfoSays)
{
    if (!HostFilesReadable())
        TAMSEL_PEER_MISSING("/proc/stat or /proc/meminfo cannot be read through Z:");
    SetMemoryHooksForTests(NULL);
    SetOptimizerLanguageFile(EnglishLanguageFile().c_str());
    HostWindow host;
    CMemoryOptimizerDlg view;
    ASSERT_TRUE(view.Create(CMemoryOptimizerDlg::IDD, host.Wnd()));
    // qemu-user hands a 32-bit process a physical total cut to 32 bits (sysinfo's totalram),
    // below the available memory; the view then counts the commit limit, which Wine makes
    // MemTotal + SwapTotal, as the total.
    MEMORYSTATUSEX status = {};
    status.dwLength = sizeof(status);
    ASSERT_TRUE(::GlobalMemoryStatusEx(&status));
    const bool bTotalCut = status.ullTotalPhys < status.ullAvailPhys;
    std::map<std::string, ULONGLONG> before = ReadHostMemory();
    view.Refresh();
    std::map<std::string, ULONGLONG> after = ReadHostMemory();
    const double dTotal = (double)(after["MemTotal"] + (bTotalCut ? after["SwapTotal"] : 0));
    ASSERT_GT(dTotal, 0.0);
    // The host's figures move while we read: ours must lie within 2% of the total around them.
    auto Around = [dTotal](double dOurs, double dBefore, double dAfter) {
        const double dLow = (dBefore < dAfter ? dBefore : dAfter) - dTotal * 0.02;
        const double dHigh = (dBefore > dAfter ? dBefore : dAfter) + dTotal * 0.02;
        return dOurs >= dLow && dOurs <= dHigh;
    };
    const double dAvailBefore = (double)HostAvailableKB(before), dAvailAfter = (double)HostAvailableKB(after);
    const ULONGLONG ullAvail = LabelNumber(view.m_hWnd, 5099);
    EXPECT_TRUE(Around((double)ullAvail, dAvailBefore, dAvailAfter))
        << "available " << ullAvail << " KB, host " << dAvailBefore << " .. " << dAvailAfter;
    const int nUsed = view.GetMemoryMeter().GetUsedKB();
    EXPECT_TRUE(Around((double)nUsed, dTotal - dAvailBefore, dTotal - dAvailAfter)) << "used " << nUsed << " KB";
    const double dLoadBefore = 100.0 - dAvailBefore * 100.0 / dTotal, dLoadAfter = 100.0 - dAvailAfter * 100.0 / dTotal;
    const int nLoad = view.GetMemoryMeter().GetValue();
    EXPECT_TRUE(nLoad >= std::min(dLoadBefore, dLoadAfter) - 2.0 && nLoad <= std::max(dLoadBefore, dLoadAfter) + 2.0)
        << "load " << nLoad << "%, host " << dLoadBefore << " .. " << dLoadAfter;
    EXPECT_EQ(LabelNumber(view.m_hWnd, 5111), (ULONGLONG)(100 - nLoad));
    // Whatever the system says, the view's own figures agree: used and available make the load.
    EXPECT_NEAR(nLoad, nUsed * 100.0 / ((double)nUsed + (double)ullAvail), 1.0) << "used " << nUsed << " KB";
    // The swap figure is the commit still free: available physical memory and free swap.
    const ULONGLONG ullSwapMB = LabelNumber(view.m_hWnd, 5102);
    EXPECT_TRUE(Around((double)ullSwapMB * 1024.0, dAvailBefore + (double)before["SwapFree"],
                     dAvailAfter + (double)after["SwapFree"]))
        << "swap " << ullSwapMB << " MB";
    view.DestroyWindow();
}
