// The load panels painted off screen, and the processor sampler with injected
// readings and against the system's own idle time.
#include "optimizer/shared/CpuUsageGraph.h"
#include "optimizer/shared/UsagePanels.h"
#include "tests/optimizer/OptimizerTestSupport.h"
#include <atomic>
#include <thread>

namespace {

// A 32-bit off-screen picture to paint into and read back.
class Canvas
{
public:
    Canvas(int cx, int cy) : m_cx(cx), m_cy(cy)
    {
        BITMAPINFO bi = {};
        bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
        bi.bmiHeader.biWidth = cx;
        bi.bmiHeader.biHeight = -cy;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        m_hDC = ::CreateCompatibleDC(NULL);
        m_hBmp = ::CreateDIBSection(m_hDC, &bi, DIB_RGB_COLORS, (void**)&m_pBits, NULL, 0);
        m_hOld = ::SelectObject(m_hDC, m_hBmp);
    }
    ~Canvas()
    {
        ::SelectObject(m_hDC, m_hOld);
        ::DeleteObject(m_hBmp);
        ::DeleteDC(m_hDC);
    }
    HDC DC() const { return m_hDC; }
    RECT Rect() const { return RECT{0, 0, m_cx, m_cy}; }
    COLORREF At(int x, int y) const
    {
        ::GdiFlush();
        DWORD v = m_pBits[y * m_cx + x];
        return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
    }
    int Count(COLORREF cr, int x0, int x1) const
    {
        int n = 0;
        for (int y = 0; y < m_cy; ++y)
            for (int x = x0; x < x1; ++x)
                n += At(x, y) == cr;
        return n;
    }

private:
    int m_cx, m_cy;
    HDC m_hDC;
    HBITMAP m_hBmp;
    HGDIOBJ m_hOld;
    DWORD* m_pBits = NULL;
};

const COLORREF kLit = RGB(0, 255, 0);
const COLORREF kUnlit = RGB(32, 83, 47);

// Lit rows of a painted meter, counted in its right column from the bottom.
int LitRows(const Canvas& canvas, int nTop)
{
    int n = 0;
    for (int nRow = 0; nRow < kMeterRows; ++nRow)
    {
        COLORREF crLeft = canvas.At(20, MeterRowTop(nTop, nRow));
        COLORREF crRight = canvas.At(40, MeterRowTop(nTop, nRow) + 1);
        EXPECT_EQ(crLeft, crRight) << "both columns alike, row " << nRow;
        EXPECT_TRUE(crLeft == kLit || crLeft == kUnlit) << "row " << nRow;
        if (crLeft == kLit)
            ++n;
        else
            EXPECT_EQ(n, 0) << "lit rows are the bottom ones, row " << nRow;
    }
    return n;
}

} // namespace

TEST(UsagePanels, MeterLightsAQuarterOfTheLoadRoundedUpAndClamped)
{
    const struct { int nLoad, nRows; } cases[] = {{1, 1}, {4, 1}, {5, 2}, {96, 24}, {97, 24}, {100, 24},
                                                  {250, 24}, {0, 0}, {-1, 0}};
    for (const auto& c : cases)
    {
        Canvas canvas(67, 100);
        PaintMeter(canvas.DC(), canvas.Rect(), 8, c.nLoad, L"", 0, 0);
        EXPECT_EQ(MeterLitRows(c.nLoad), c.nRows) << c.nLoad;
        EXPECT_EQ(LitRows(canvas, 8), c.nRows) << c.nLoad;
        EXPECT_EQ(canvas.At(0, 0), RGB(0, 0, 0)) << "background black";
        EXPECT_EQ(canvas.At(16 + 17, 8), RGB(0, 0, 0)) << "gap between the columns";
    }
}

TEST(UsagePanels, HistoryKeepsTheLast108AndDrawsFromTheRight)
{
    CCpuHistoryStatic history;
    for (int k = 1; k <= 109; ++k)
        history.AddValue(k % 90);
    ASSERT_EQ(history.GetCount(), kHistorySamples);
    EXPECT_EQ(history.GetSample(0), 2 % 90) << "the first sample dropped";
    EXPECT_EQ(history.GetSample(kHistorySamples - 1), 109 % 90);

    // A flat curve at 50 on a 330 x 100 panel: newest at x = 327, oldest at 330 - 3n.
    std::vector<int> samples(10, 50);
    Canvas canvas(330, 100);
    PaintHistory(canvas.DC(), canvas.Rect(), samples.data(), (int)samples.size(), kLit);
    EXPECT_EQ(canvas.At(327 - 1, 50), kLit);
    EXPECT_EQ(canvas.At(300, 50), kLit) << "oldest point";
    EXPECT_EQ(canvas.At(290, 52), RGB(0, 128, 64)) << "grid line at bottom - 4s (s = 12)";
    EXPECT_EQ(canvas.At(294, 20), RGB(0, 128, 64)) << "grid line at right - 3s";
    EXPECT_EQ(canvas.At(290, 50), RGB(0, 0, 0)) << "curve starts at the oldest sample";

    // One more sample moves the oldest point 3 pixels left.
    samples.push_back(50);
    Canvas later(330, 100);
    PaintHistory(later.DC(), later.Rect(), samples.data(), (int)samples.size(), kLit);
    EXPECT_EQ(later.At(297, 50), kLit);

    // A failed reading (-1) lies one pixel below the edge: nothing drawn inside.
    int failed[2] = {-1, -1};
    Canvas below(60, 40);
    PaintHistory(below.DC(), below.Rect(), failed, 2, kLit);
    EXPECT_EQ(below.Count(kLit, 0, 60), 0);
}

TEST(UsagePanels, TinyControlsPaintWithoutDividingByZero)
{
    EXPECT_EQ(HistoryGridStep(7), 1);
    EXPECT_EQ(HistoryGridStep(0), 1);
    EXPECT_EQ(HistoryGridStep(80), 10);
    int samples[3] = {1, 2, 3};
    Canvas canvas(5, 3);
    PaintHistory(canvas.DC(), canvas.Rect(), samples, 3, kLit);
    PaintMeter(canvas.DC(), canvas.Rect(), 5, 100, L"100%", 0, 0);
    SUCCEED();
}

TEST(UsagePanels, ControlsRepaintThroughTheirOwnWindowAndReleaseGdi)
{
    optest::HostWindow host;
    CCpuMeterStatic meter;
    CMemoryHistoryStatic history;
    ASSERT_TRUE(meter.Create(L"", WS_CHILD | WS_VISIBLE, CRect(10, 10, 77, 110), host.Wnd(), 5095));
    ASSERT_TRUE(history.Create(L"", WS_CHILD | WS_VISIBLE, CRect(90, 10, 200, 110), host.Wnd(), 5098));
    const DWORD nGdi = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
    for (int k = 0; k < 30; ++k)
    {
        meter.SetValue(k * 3);
        history.AddValue(k);
        meter.UpdateWindow();
        history.UpdateWindow();
    }
    EXPECT_EQ(meter.GetValue(), 87);
    EXPECT_LE(::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS), nGdi + 2) << "fonts, pens, bitmaps freed";
    HDC hDC = ::GetDC(meter.m_hWnd);
    EXPECT_EQ(::GetPixel(hDC, 20, MeterRowTop(8, kMeterRows - 1)), kLit);
    EXPECT_EQ(::GetPixel(hDC, 20, MeterRowTop(8, 0)), kUnlit);
    ::ReleaseDC(meter.m_hWnd, hDC);
}

namespace {
// Injected native readings: processors, time and idle for each call.
struct FakeNative
{
    int nProcessors = 4;
    ULONGLONG ullTime = 0, ullIdle = 0;
    ULONG nPerformanceLength = 312;
    LONG nFailClass = -1;
    int nQueries = 0;
};
FakeNative g_fake;

LONG WINAPI FakeQuery(ULONG nClass, PVOID pBuffer, ULONG nLength, PULONG pReturned)
{
    ++g_fake.nQueries;
    if ((LONG)nClass == g_fake.nFailClass || g_fake.nFailClass == 99)
        return (LONG)0xC0000001;
    if (nClass == 0)
    {
        if (nLength != sizeof(CpuBasicInformation))
            return (LONG)0xC0000004;
        memset(pBuffer, 0xFF, nLength);
        ((CpuBasicInformation*)pBuffer)->NumberOfProcessors = (CCHAR)g_fake.nProcessors;
        return 0;
    }
    if (nClass == 3)
    {
        memset(pBuffer, 0, nLength);
        ((CpuTimeOfDayInformation*)pBuffer)->CurrentTime.QuadPart = (LONGLONG)g_fake.ullTime;
        return 0;
    }
    if (nLength < g_fake.nPerformanceLength)
    {
        if (pReturned != NULL)
            *pReturned = g_fake.nPerformanceLength;
        return (LONG)0xC0000004;
    }
    memcpy(pBuffer, &g_fake.ullIdle, 8);
    return 0;
}

BOOL WINAPI FakeTimes(LPFILETIME pIdle, LPFILETIME pKernel, LPFILETIME pUser)
{
    auto put = [](LPFILETIME p, ULONGLONG v) { p->dwLowDateTime = (DWORD)v; p->dwHighDateTime = (DWORD)(v >> 32); };
    put(pIdle, g_fake.ullIdle);
    put(pKernel, g_fake.ullTime);
    put(pUser, 0);
    return g_fake.nFailClass != 99;
}
} // namespace

TEST(CCpuUsageGraph, LoadFromInjectedReadings)
{
    g_fake = FakeNative();
    CCpuUsageGraph graph;
    graph.SetSources(&FakeQuery, &FakeTimes);
    g_fake.ullTime = 1000000;
    g_fake.ullIdle = 5000000;
    EXPECT_EQ(graph.GetCpuUsage(), 40) << "first reading has no delta";
    // 4 processors, 1 s, 3 s idle in total: 25% busy.
    g_fake.ullTime += 10000000;
    g_fake.ullIdle += 30000000;
    EXPECT_EQ(graph.GetCpuUsage(), 25);
    // No time passed: the last load stays (no NaN cast to int).
    EXPECT_EQ(graph.GetCpuUsage(), 25);
    // Idle beyond the processor count clamps to 0; none at all is 100.
    g_fake.ullTime += 10000000;
    g_fake.ullIdle += 50000000;
    EXPECT_EQ(graph.GetCpuUsage(), 0);
    g_fake.ullTime += 10000000;
    EXPECT_EQ(graph.GetCpuUsage(), 100);
    // A longer performance record is asked for again with the named length.
    g_fake.nPerformanceLength = 344;
    g_fake.ullTime += 10000000;
    g_fake.ullIdle += 20000000;
    EXPECT_EQ(graph.GetCpuUsage(), 50);
}

TEST(CCpuUsageGraph, FallsBackToSystemTimesAndFailsAsMinusOne)
{
    g_fake = FakeNative();
    g_fake.nFailClass = 2;
    CCpuUsageGraph graph;
    graph.SetSources(&FakeQuery, &FakeTimes);
    g_fake.ullTime = 1000;
    g_fake.ullIdle = 500;
    EXPECT_EQ(graph.GetCpuUsage(), 40);
    g_fake.ullTime += 1000;
    g_fake.ullIdle += 700;
    EXPECT_EQ(graph.GetCpuUsage(), 30) << "kernel plus user time against idle";
    g_fake.nFailClass = 99;
    EXPECT_EQ(graph.GetCpuUsage(), -1);
    EXPECT_EQ(graph.GetLastLoad(), 30) << "a failure stores nothing";
    EXPECT_EQ(CCpuUsageGraph::Load(0, 0, 2, 17), 17);
    EXPECT_EQ(CCpuUsageGraph::Load(5, 10, 0, 17), 17);
}

TEST(CCpuUsageGraph, LiveReadingFollowsABusyThread)
{
    CCpuUsageGraph graph;
    graph.GetCpuUsage();
    FILETIME ftIdle0, ftKernel0, ftUser0;
    ASSERT_TRUE(::GetSystemTimes(&ftIdle0, &ftKernel0, &ftUser0));
    std::atomic<bool> bStop(false);
    std::thread busy([&bStop] {
        volatile unsigned n = 0;
        while (!bStop.load())
            ++n;
    });
    ::Sleep(3000);
    const int nLoad = graph.GetCpuUsage();
    FILETIME ftIdle1, ftKernel1, ftUser1;
    ::GetSystemTimes(&ftIdle1, &ftKernel1, &ftUser1);
    bStop = true;
    busy.join();
    auto v = [](const FILETIME& ft) { return ((ULONGLONG)ft.dwHighDateTime << 32) | ft.dwLowDateTime; };
    const double dIdle = (double)(v(ftIdle1) - v(ftIdle0));
    const double dTotal = (double)(v(ftKernel1) - v(ftKernel0) + v(ftUser1) - v(ftUser0));
    ASSERT_GT(dTotal, 0.0);
    const int nExpected = (int)(100.0 - dIdle / dTotal * 100.0 + 0.5);
    EXPECT_GE(nLoad, 1) << "a busy thread shows";
    EXPECT_NEAR(nLoad, nExpected, 5);
}
