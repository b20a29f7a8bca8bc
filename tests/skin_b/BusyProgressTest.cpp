#include "controls/skin/BusyProgressCtrl.h"
#include "tests/skin_b/TestWindow.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <vector>

namespace {

struct BusyFixture : public ::testing::Test
{
    CTestWindow window;
    CBusyProgressCtrl busy{ 10, 0 };
    void SetUp() override
    {
        ASSERT_TRUE(window.CreateTop(300, 100));
        ASSERT_TRUE(busy.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 210, 12), &window, 1027));
    }
    std::vector<int> Steps(int nCount)
    {
        std::vector<int> positions;
        for (int i = 0; i < nCount; ++i)
        {
            busy.Step();
            positions.push_back(busy.GetCurPos());
        }
        return positions;
    }
};

}  // namespace

TEST_F(BusyFixture, BusyTypesWalkTheirPositions)
{
    EXPECT_EQ(Steps(12), (std::vector<int>{ 1, 2, 3, 4, 5, 6, 7, 8, 9, 8, 7, 6 }));
    busy.SetCurPos(1);
    EXPECT_EQ(Steps(3), (std::vector<int>{ 0, 1, 2 }));

    busy.SetBusyType(BPC_BUSY_LTR);
    busy.Reset();
    EXPECT_EQ(busy.GetCurPos(), 0);
    EXPECT_EQ(Steps(11), (std::vector<int>{ 1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 1 }));

    busy.SetBusyType(BPC_BUSY_RTL);
    busy.Reset();
    EXPECT_EQ(Steps(11), (std::vector<int>{ 9, 8, 7, 6, 5, 4, 3, 2, 1, 0, 9 }));

    // Sub-steps: 10 blocks of 5 positions each.
    busy.SetBusyType(BPC_BUSY_LTR);
    busy.SetGranularity(BPC_BUSYGRAN_SUBBLOCK);
    busy.SetCurPos(48);
    EXPECT_EQ(Steps(2), (std::vector<int>{ 49, 0 }));
}

TEST_F(BusyFixture, ProgressLightsWholeBlocksAndPartOfTheNext)
{
    busy.SetMode(BPC_MODE_PROGRESS);
    busy.SetRange(0, 100);
    busy.SetCurPos(55);
    // 10 blocks of 20 pixels with a gap of 1.
    CRect rc5 = busy.GetBlockRect(5);
    EXPECT_EQ(rc5.left, 105);
    EXPECT_EQ(rc5.right, 125);
    const COLORREF clrLit = RGB(190, 220, 255), clrNormal = RGB(160, 190, 220);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(ClientPixel(busy, busy.GetBlockRect(i).CenterPoint().x, 6), clrLit) << i;
    EXPECT_EQ(ClientPixel(busy, rc5.left + 3, 6), clrLit);
    EXPECT_EQ(ClientPixel(busy, rc5.right - 3, 6), clrNormal);
    for (int i = 6; i < 10; ++i)
        EXPECT_EQ(ClientPixel(busy, busy.GetBlockRect(i).CenterPoint().x, 6), clrNormal) << i;
    // Outside the range: all or nothing, never a stray block.
    busy.SetCurPos(250);
    EXPECT_EQ(ClientPixel(busy, busy.GetBlockRect(9).CenterPoint().x, 6), clrLit);
    busy.SetCurPos(-20);
    EXPECT_EQ(ClientPixel(busy, busy.GetBlockRect(0).CenterPoint().x, 6), clrNormal);
}

TEST_F(BusyFixture, MessagesDriveTheControl)
{
    busy.SendMessage(BPM_SETNUMSTEPS, 20);
    EXPECT_EQ(busy.GetNumSteps(), 20);
    busy.SendMessage(BPM_SETSPEED, 250);
    EXPECT_EQ(busy.GetSpeed(), 250);
    busy.SendMessage(BPM_SETCURPOS, 7);
    busy.SendMessage(BPM_STEPIT);
    EXPECT_EQ(busy.GetCurPos(), 8);
    busy.SendMessage(BPM_RESET);
    EXPECT_EQ(busy.GetCurPos(), 0);
    busy.SendMessage(BPM_SETMODE, BPC_MODE_PROGRESS);
    EXPECT_EQ(busy.GetMode(), BPC_MODE_PROGRESS);
}

TEST_F(BusyFixture, StartsAndEndsCleanly)
{
    busy.SetSpeed(20);
    busy.Start();
    EXPECT_TRUE(busy.IsRunning());
    ASSERT_TRUE(testsupport::WaitFor([&] { return busy.GetCurPos() >= 3; }, 10000));
    busy.End();
    EXPECT_FALSE(busy.IsRunning());
    int nPos = busy.GetCurPos();
    PumpFor(100);
    EXPECT_EQ(busy.GetCurPos(), nPos);

    // End right after Start stops the thread too; Start twice keeps one thread.
    for (int i = 0; i < 20; ++i)
    {
        busy.Start();
        busy.End();
    }
    busy.Start();
    busy.Start();
    EXPECT_TRUE(busy.IsRunning());
    busy.SendMessage(BPM_END);
    EXPECT_FALSE(busy.IsRunning());

    // End in the middle of a long interval ends the thread, and no step
    // comes after it, not even one posted before it.
    busy.SetSpeed(400);
    int nBefore = busy.GetCurPos();
    busy.Start();
    // The first step has run, so the thread is in its long wait (a loaded
    // machine may start it late; ending it before then proves nothing).
    ASSERT_TRUE(testsupport::WaitFor([&] { return busy.GetCurPos() != nBefore; }, 10000));
    busy.End();
    EXPECT_FALSE(busy.IsRunning());
    EXPECT_FALSE(busy.IsStepPending());
    nBefore = busy.GetCurPos();
    busy.PostMessage(BPM_ANIMATIONSTEP);
    PumpFor(600);
    EXPECT_EQ(busy.GetCurPos(), nBefore);
}

// The animation thread only asks for steps: the position moves when the
// window's thread takes the post, and a window that is away for a while gets
// one step, not a burst of them.
TEST_F(BusyFixture, StepsAreMadeOnTheWindowsThreadOneAtATime)
{
    busy.SetSpeed(10);
    busy.Start();
    MSG msg;
    bool bPosted = false;
    for (int i = 0; i < 1000 && !bPosted; ++i)
    {
        bPosted = ::PeekMessageW(&msg, busy.m_hWnd, BPM_ANIMATIONSTEP, BPM_ANIMATIONSTEP, PM_NOREMOVE) != FALSE;
        if (!bPosted)
            ::Sleep(10);
    }
    ASSERT_TRUE(bPosted);
    EXPECT_TRUE(busy.IsStepPending());
    // Thirty intervals pass without the window's thread looking.
    ::Sleep(300);
    EXPECT_EQ(busy.GetCurPos(), 0);
    // All taken before any is dispatched: a dispatch lets the thread post again.
    std::vector<MSG> arrPosts;
    while (::PeekMessageW(&msg, busy.m_hWnd, BPM_ANIMATIONSTEP, BPM_ANIMATIONSTEP, PM_REMOVE))
        arrPosts.push_back(msg);
    EXPECT_EQ(arrPosts.size(), 1u);
    for (const MSG& post : arrPosts)
        ::DispatchMessageW(&post);
    EXPECT_EQ(busy.GetCurPos(), 1);
    // Steps go on once the window's thread takes them.
    ASSERT_TRUE(testsupport::WaitFor([&] { return busy.GetCurPos() >= 3; }, 10000));
    busy.End();
}

TEST(BusyProgress, DestroyedWhileRunning)
{
    CTestWindow window;
    ASSERT_TRUE(window.CreateTop(300, 100));
    {
        CBusyProgressCtrl busy(10, 0);
        ASSERT_TRUE(busy.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 100, 10), &window, 1));
        busy.SetSpeed(10);
        busy.Start();
        PumpFor(50);
    }
    PumpFor(50);
    SUCCEED();
}
