// The memory optimizer with injected memory status, allocator and snapshot:
// Deep Defrag never fills this machine's memory in the suite.
#include "optimizer/DebugPrivilegeScope.h"
#include "optimizer/MemoryOptimizerDlg.h"
#include "optimizer/OptimizerText.h"
#include "tests/optimizer/OptimizerTestSupport.h"
#include <atomic>
#include <cstdlib>

using namespace optest;

namespace {
const ULONGLONG MiB = 1024 * 1024;

struct FakeMemory
{
    std::atomic<int> nAllocs{0};
    std::atomic<int> nFrees{0};
    std::atomic<int> nFailAfter{-1};
    std::atomic<ULONGLONG> ullTotalPhys{64 * 1024 * MiB};
    std::atomic<ULONGLONG> ullAvailPhys{32 * 1024 * MiB};
    std::atomic<ULONGLONG> ullPhysStep{0};  // taken off per status read
    std::atomic<ULONGLONG> ullTotalPage{64 * 1024 * MiB};
    std::atomic<ULONGLONG> ullAvailPage{64 * 1024 * MiB};
    std::atomic<ULONGLONG> ullPageStep{0};
    std::atomic<int> nStatusReads{0};
};
FakeMemory* g_pMem = NULL;

void* FakeAlloc(SIZE_T)
{
    if (g_pMem->nFailAfter >= 0 && g_pMem->nAllocs >= g_pMem->nFailAfter)
        return NULL;
    ++g_pMem->nAllocs;
    return malloc(64);
}

void FakeFree(void* p)
{
    ++g_pMem->nFrees;
    free(p);
}

BOOL WINAPI FakeStatus(LPMEMORYSTATUSEX pStatus)
{
    ++g_pMem->nStatusReads;
    ULONGLONG ullAvail = g_pMem->ullAvailPhys.load();
    g_pMem->ullAvailPhys = ullAvail > g_pMem->ullPhysStep ? ullAvail - g_pMem->ullPhysStep : 0;
    ULONGLONG ullPage = g_pMem->ullAvailPage.load();
    g_pMem->ullAvailPage = ullPage > g_pMem->ullPageStep ? ullPage - g_pMem->ullPageStep : 0;
    pStatus->ullTotalPhys = g_pMem->ullTotalPhys;
    pStatus->ullAvailPhys = ullAvail;
    pStatus->dwMemoryLoad = (DWORD)(100 - ullAvail * 100 / g_pMem->ullTotalPhys);
    pStatus->ullTotalPageFile = g_pMem->ullTotalPage;
    pStatus->ullAvailPageFile = ullPage;
    pStatus->ullTotalVirtual = 128 * 1024 * MiB;
    pStatus->ullAvailVirtual = 96 * 1024 * MiB;
    return TRUE;
}

HANDLE WINAPI FailSnapshot(DWORD, DWORD)
{
    return INVALID_HANDLE_VALUE;
}

class MemoryView : public ::testing::Test
{
protected:
    void SetUp() override
    {
        g_pMem = &m_mem;
        CMemoryHooks hooks = {&FakeStatus, &FakeAlloc, &FakeFree, 5, 20, NULL};
        SetMemoryHooksForTests(&hooks);
        SetOptimizerLanguageFile(EnglishLanguageFile().c_str());
        m_pView.reset(new CMemoryOptimizerDlg);
        ASSERT_TRUE(m_pView->Create(CMemoryOptimizerDlg::IDD, m_host.Wnd()));
        m_pView->ShowWindow(SW_SHOW);
    }
    void TearDown() override
    {
        m_pView.reset();
        EXPECT_EQ(m_mem.nAllocs.load(), m_mem.nFrees.load()) << "every block freed";
        SetMemoryHooksForTests(NULL);
        g_pMem = NULL;
    }
    std::wstring Text(UINT nID)
    {
        wchar_t sz[128] = {};
        ::GetDlgItemTextW(m_pView->m_hWnd, (int)nID, sz, 128);
        return sz;
    }
    // Runs Deep Defrag with the given answer; waits (bounded) until it ended.
    bool RunDeep(int nAnswer, DWORD dwLimitMs = 10000)
    {
        testsupport::MessageBoxRecorder recorder;
        recorder.QueueAnswer(nAnswer);
        m_pView->OnDeepDefrag();
        EXPECT_EQ(recorder.Count(), 1u);
        if (m_pView->IsDeepDefragRunning())
        {
            EXPECT_FALSE(m_pView->GetDeepButton().IsButtonEnabled()) << "buttons off while it runs";
            EXPECT_FALSE(m_pView->GetFastButton().IsButtonEnabled());
        }
        const DWORD dwStart = ::GetTickCount();
        while (m_pView->IsDeepDefragRunning() && ::GetTickCount() - dwStart < dwLimitMs)
            Pump(10);
        return !m_pView->IsDeepDefragRunning();
    }

    FakeMemory m_mem;
    HostWindow m_host;
    std::unique_ptr<CMemoryOptimizerDlg> m_pView;
};
} // namespace

TEST(MemoryFigures, SixtyFourBitArithmeticAndZeroTotals)
{
    MEMORYSTATUSEX status = {};
    status.dwLength = sizeof(status);
    status.dwMemoryLoad = 58;
    status.ullTotalPhys = 12ULL * 1024 * 1024 * MiB;  // 12 TB
    status.ullAvailPhys = 5ULL * 1024 * 1024 * MiB;
    status.ullTotalPageFile = 3 * MiB + 5;
    status.ullAvailPageFile = 2 * MiB;
    status.ullTotalVirtual = 128ULL * 1024 * 1024 * MiB;
    status.ullAvailVirtual = 64ULL * 1024 * 1024 * MiB + 1;
    CMemoryFigures figures = ComputeMemoryFigures(status);
    EXPECT_EQ(figures.strPhysical, CString(L"5368709120KB")) << "over 4 GB in KB";
    EXPECT_EQ(figures.nLoad, 58);
    EXPECT_EQ(figures.nPhysicalPercent, 42);
    EXPECT_EQ(figures.strSwap, CString(L"2MB"));
    EXPECT_EQ(figures.nSwapPercent, 66) << "whole megabytes, rounded down";
    EXPECT_EQ(figures.strVirtual, CString(L"67108864MB"));
    EXPECT_EQ(figures.nVirtualPercent, 50);
    EXPECT_EQ(figures.nUsedKB, INT_MAX) << "meter figure capped, not wrapped";

    MEMORYSTATUSEX empty = {};
    figures = ComputeMemoryFigures(empty);
    EXPECT_EQ(figures.nSwapPercent, 0);
    EXPECT_EQ(figures.nVirtualPercent, 0);
    EXPECT_EQ(figures.nUsedKB, 0);
    EXPECT_EQ(figures.strPhysical, CString(L"0KB"));
}

TEST(MemoryFigures, LoadUsedAndFreeShareAgreeWhenTheTotalIsWrong)
{
    // As qemu-user tells a 32-bit process on a 24 GB host: the total cut to 32 bits, the load
    // computed from it wrapped, the available memory and the commit limit right.
    MEMORYSTATUSEX status = {};
    status.dwLength = sizeof(status);
    status.dwMemoryLoad = 136220962;
    status.ullTotalPhys = 3799789568ULL;
    status.ullAvailPhys = 18ULL * 1024 * MiB;
    status.ullTotalPageFile = 24ULL * 1024 * MiB;
    status.ullAvailPageFile = 18ULL * 1024 * MiB;
    CMemoryFigures figures = ComputeMemoryFigures(status);
    EXPECT_EQ(figures.nUsedKB, 6 * 1024 * 1024) << "the commit limit holds the physical memory";
    EXPECT_EQ(figures.nLoad, 25);
    EXPECT_EQ(figures.nPhysicalPercent, 75);
    EXPECT_EQ(figures.strPhysical, CString(L"18874368KB"));

    // Nothing larger to go by: all of it available, none used, no load.
    status.ullTotalPageFile = 2ULL * 1024 * MiB;
    figures = ComputeMemoryFigures(status);
    EXPECT_EQ(figures.nUsedKB, 0);
    EXPECT_EQ(figures.nLoad, 0);
    EXPECT_EQ(figures.nPhysicalPercent, 100);

    // A sane report: the load follows used and total, not a stale dwMemoryLoad.
    status.ullTotalPhys = 8ULL * 1024 * MiB;
    status.ullAvailPhys = 2ULL * 1024 * MiB;
    status.dwMemoryLoad = 100;
    figures = ComputeMemoryFigures(status);
    EXPECT_EQ(figures.nUsedKB, 6 * 1024 * 1024);
    EXPECT_EQ(figures.nLoad, 75);
}

TEST_F(MemoryView, RefreshShowsTheInjectedStatus)
{
    m_mem.ullTotalPhys = 8 * 1024 * MiB;
    m_mem.ullAvailPhys = 6 * 1024 * MiB;
    m_mem.ullTotalPage = 4 * 1024 * MiB;
    m_mem.ullAvailPage = 1024 * MiB;
    EXPECT_EQ(Text(5114), L"0%");
    EXPECT_EQ(Text(5104), L"Available Physical Memory:");
    m_pView->Refresh();
    EXPECT_EQ(Text(5099), L"6291456KB");
    EXPECT_EQ(Text(5111), L"75%");
    EXPECT_EQ(Text(5102), L"1024MB");
    EXPECT_EQ(Text(5112), L"25%");
    EXPECT_EQ(Text(5103), L"98304MB");
    EXPECT_EQ(Text(5113), L"75%");
    EXPECT_EQ(m_pView->GetMemoryMeter().GetValue(), 25);
    EXPECT_EQ(m_pView->GetMemoryMeter().GetUsedKB(), 2 * 1024 * 1024);
    EXPECT_EQ(m_pView->GetCpuHistory().GetCount(), 1);
    EXPECT_GE(m_pView->GetCpuHistory().GetSample(0), -1);
    EXPECT_LE(m_pView->GetCpuHistory().GetSample(0), 100);
}

TEST_F(MemoryView, DeepDefragNoStartsNothing)
{
    ASSERT_TRUE(RunDeep(IDNO));
    EXPECT_EQ(m_mem.nAllocs.load(), 0);
    EXPECT_TRUE(m_pView->GetDeepButton().IsButtonEnabled());
}

TEST_F(MemoryView, DeepDefragStopsWhenPhysicalMemoryRunsLow)
{
    m_mem.ullAvailPhys = 40 * MiB;
    m_mem.ullPhysStep = 8 * MiB;
    ASSERT_TRUE(RunDeep(IDYES));
    // 40, 32, 24, 16, 8 MiB free after each block; then under 8 MiB.
    EXPECT_EQ(m_mem.nAllocs.load(), 6);
    Pump(50);
    EXPECT_EQ(m_mem.nFrees.load(), 6);
    EXPECT_TRUE(m_pView->GetDeepButton().IsButtonEnabled()) << "buttons on again";
    EXPECT_TRUE(m_pView->GetFastButton().IsButtonEnabled());
    EXPECT_EQ(m_pView->ProgressPos(), 0);
    EXPECT_EQ(Text(5114), L"0%");
}

TEST_F(MemoryView, DeepDefragStopsAtTotalPhysicalMemoryCommitLimitOrFailedBlock)
{
    // Plenty free, but never more than the machine has in all.
    m_mem.ullTotalPhys = 40 * MiB;
    m_mem.ullAvailPhys = 40 * MiB;
    ASSERT_TRUE(RunDeep(IDYES));
    EXPECT_EQ(m_mem.nAllocs.load(), 5);

    // Others must keep their commit: stop under a tenth of the limit.
    m_mem.nAllocs = 0;
    m_mem.nFrees = 0;
    m_mem.ullTotalPhys = 64 * 1024 * MiB;
    m_mem.ullAvailPhys = 32 * 1024 * MiB;
    m_mem.ullTotalPage = 1000 * MiB;
    m_mem.ullAvailPage = 140 * MiB;
    m_mem.ullPageStep = 10 * MiB;
    ASSERT_TRUE(RunDeep(IDYES));
    EXPECT_EQ(m_mem.nAllocs.load(), 6) << "140 .. 100 MiB read go on, 90 stops";

    // A failed block ends the fill; what was held is freed.
    m_mem.nAllocs = 0;
    m_mem.nFrees = 0;
    m_mem.ullAvailPage = 1000 * MiB;
    m_mem.ullPageStep = 0;
    m_mem.nFailAfter = 3;
    ASSERT_TRUE(RunDeep(IDYES));
    EXPECT_EQ(m_mem.nAllocs.load(), 3);
    EXPECT_EQ(m_mem.nFrees.load(), 3);
}

TEST_F(MemoryView, ClosingDuringDeepDefragWaitsForTheWorker)
{
    // Never stops by itself: plenty of everything.
    m_mem.ullTotalPhys = 1024 * 1024 * MiB;
    m_mem.ullAvailPhys = 1024 * 1024 * MiB;
    testsupport::MessageBoxRecorder recorder;
    recorder.QueueAnswer(IDYES);
    m_pView->OnDeepDefrag();
    ASSERT_TRUE(m_pView->IsDeepDefragRunning());
    Pump(100);
    EXPECT_GT(m_mem.nAllocs.load(), 0);
    const DWORD dwStart = ::GetTickCount();
    m_pView.reset();
    EXPECT_LT(::GetTickCount() - dwStart, 5000u);
    EXPECT_EQ(m_mem.nAllocs.load(), m_mem.nFrees.load()) << "the worker freed all before the window went";
}

TEST_F(MemoryView, FastDefragPrivilegeOnlyWhileItRunsAndProgressOverTheSnapshot)
{
    const BOOL bBefore = CDebugPrivilegeScope::IsDebugPrivilegeOn();
    DWORD nHandles = 0;
    ::GetProcessHandleCount(::GetCurrentProcess(), &nHandles);
    {
        CDebugPrivilegeScope scope;
        EXPECT_TRUE(CDebugPrivilegeScope::IsDebugPrivilegeOn());
    }
    EXPECT_EQ(CDebugPrivilegeScope::IsDebugPrivilegeOn(), bBefore) << "back to its previous state";
    m_pView->OnFastDefrag();
    EXPECT_EQ(CDebugPrivilegeScope::IsDebugPrivilegeOn(), bBefore);
    EXPECT_GT(m_pView->SnapshotCount(), 0);
    EXPECT_GT(m_pView->TrimmedCount(), 0) << "at least this process";
    EXPECT_LE(m_pView->TrimmedCount(), m_pView->SnapshotCount());
    EXPECT_EQ(m_pView->ProgressPos(), 100);
    EXPECT_EQ(Text(5114), L"100%");
    DWORD nAfter = 0;
    ::GetProcessHandleCount(::GetCurrentProcess(), &nAfter);
    EXPECT_LE(nAfter, nHandles + 1) << "token, snapshot and processes closed";

    // A failed snapshot does nothing more.
    ::SendDlgItemMessageW(m_pView->m_hWnd, 5110, PBM_SETPOS, 37, 0);
    CMemoryHooks hooks = {&FakeStatus, &FakeAlloc, &FakeFree, 5, 20, &FailSnapshot};
    SetMemoryHooksForTests(&hooks);
    m_pView->OnFastDefrag();
    EXPECT_EQ(m_pView->ProgressPos(), 37);
    EXPECT_EQ(CDebugPrivilegeScope::IsDebugPrivilegeOn(), bBefore);
}
