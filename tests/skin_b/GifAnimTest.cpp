#include "controls/skin/GifAnimCtrl.h"
#include "controls/skin/GifDecoder.h"
#include "tests/skin_b/TestIds.h"
#include "tests/skin_b/TestWindow.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <vector>
#include <string>

namespace {

std::string ResourceBytes(UINT nID, LPCWSTR lpszType)
{
    HMODULE hModule = ::GetModuleHandleW(NULL);
    HRSRC hResource = ::FindResourceW(hModule, MAKEINTRESOURCEW(nID), lpszType);
    if (hResource == NULL)
        return std::string();
    const char* pData = (const char*)::LockResource(::LoadResource(hModule, hResource));
    return std::string(pData, ::SizeofResource(hModule, hResource));
}

struct GifFixture : public ::testing::Test
{
    CTestWindow window;
    CGifAnimCtrl gif;
    void SetUp() override
    {
        AfxSetResourceHandle(::GetModuleHandleW(NULL));
        ASSERT_TRUE(window.CreateTop(200, 200));
        ASSERT_TRUE(gif.Create(L"", WS_CHILD | WS_VISIBLE, CRect(10, 10, 30, 30), &window, 1106));
    }
};

}  // namespace

TEST(GifDecoder, SplitsFramesWithTheirPlaceDelayAndDisposal)
{
    std::string bytes = ResourceBytes(IDR_TEST_THREE_FRAMES, L"GIF");
    ASSERT_FALSE(bytes.empty());
    CGifDecoder decoder;
    ASSERT_TRUE(decoder.Open((const BYTE*)bytes.data(), (DWORD)bytes.size()));
    EXPECT_EQ(decoder.GetWidth(), 12);
    EXPECT_EQ(decoder.GetHeight(), 10);
    EXPECT_EQ(decoder.GetGlobalColorTableSize(), 3 * 4);
    std::vector<GifFrameBlock> frames = decoder.GetFrames();
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[0].nDelay, 3u);
    EXPECT_EQ(frames[1].nDelay, 10u);
    EXPECT_EQ(frames[2].nDelay, 50u);
    EXPECT_EQ(frames[1].nDisposal, 2u);
    EXPECT_EQ(frames[2].nDisposal, 3u);
    EXPECT_EQ(frames[1].x, 2);
    EXPECT_EQ(frames[1].y, 3);
    EXPECT_EQ(frames[1].cx, 4);
    EXPECT_EQ(frames[2].x, 8);
    EXPECT_EQ(frames[2].cy, 2);
    // The application extension before the first frame is not part of it.
    EXPECT_EQ((BYTE)bytes[frames[0].dwStart + 1], 0xF9);

    std::vector<BYTE> file = decoder.BuildFrameFile(frames[1]);
    DWORD dwHead = 13 + 12;
    ASSERT_EQ(file.size(), dwHead + (frames[1].dwEnd - frames[1].dwStart) + 1);
    EXPECT_EQ(std::string((const char*)file.data(), 6), "GIF89a");
    EXPECT_EQ(file[dwHead], 0x21);
    EXPECT_EQ(file.back(), 0x3B);

    EXPECT_EQ(CGifAnimCtrl::FrameDelayMs(3), 100u);
    EXPECT_EQ(CGifAnimCtrl::FrameDelayMs(10), 100u);
    EXPECT_EQ(CGifAnimCtrl::FrameDelayMs(50), 500u);
}

TEST(GifDecoder, TruncatedOrForeignDataEndsTheWalk)
{
    std::string bytes = ResourceBytes(IDR_TEST_THREE_FRAMES, L"GIF");
    ASSERT_FALSE(bytes.empty());
    CGifDecoder decoder;
    // Cut inside the last frame's image data: the first two frames remain.
    ASSERT_TRUE(decoder.Open((const BYTE*)bytes.data(), (DWORD)bytes.size() - 6));
    EXPECT_EQ(decoder.GetFrames().size(), 2u);
    EXPECT_FALSE(decoder.Open((const BYTE*)"BM\0\0\0\0\0\0\0\0\0\0\0\0", 14));
    EXPECT_FALSE(decoder.Open((const BYTE*)"GIF89a", 6));
    std::string header = bytes.substr(0, 13 + 12) + "\x99";  // unknown block
    ASSERT_TRUE(decoder.Open((const BYTE*)header.data(), (DWORD)header.size()));
    EXPECT_TRUE(decoder.GetFrames().empty());
}

TEST_F(GifFixture, PlaysTheFramesOfASmallGifAndStopsCleanly)
{
    ASSERT_TRUE(gif.Load(MAKEINTRESOURCEW(IDR_TEST_THREE_FRAMES), L"GIF"));
    EXPECT_TRUE(gif.IsGif());
    EXPECT_TRUE(gif.IsAnimatedGif());
    EXPECT_EQ(gif.GetFrameCount(), 3);
    CRect rect;
    gif.GetClientRect(&rect);
    EXPECT_EQ(rect.Size(), CSize(12, 10));  // the control takes the picture's size

    EXPECT_FALSE(gif.Draw());  // an animation starts its thread
    EXPECT_TRUE(gif.IsPlaying());
    // Frame 1 covers its own 4 x 4 square over frame 0.
    ASSERT_TRUE(testsupport::WaitFor([&] { return gif.GetCurrentFrame() == 1; }, 10000));
    PumpFor(20);
    EXPECT_EQ(gif.GetPicturePixel(3, 4), RGB(0, 255, 0));
    EXPECT_EQ(gif.GetPicturePixel(5, 6), RGB(0, 255, 0));
    EXPECT_EQ(gif.GetPicturePixel(7, 7), RGB(255, 0, 0));
    EXPECT_EQ(gif.GetPicturePixel(1, 2), RGB(255, 0, 0));
    // Frame 2 shows after frame 1 was disposed with the background colour.
    ASSERT_TRUE(testsupport::WaitFor([&] { return gif.GetCurrentFrame() == 2; }, 10000));
    EXPECT_EQ(gif.GetPicturePixel(0, 9), RGB(255, 0, 0));
    EXPECT_EQ(gif.GetPicturePixel(3, 4), gif.GetBkColor());
    // ...and the frames go round.
    ASSERT_TRUE(testsupport::WaitFor([&] { return gif.GetCurrentFrame() == 0; }, 10000));
    ASSERT_TRUE(testsupport::WaitFor([&] { return gif.GetCurrentFrame() == 1; }, 10000));

    gif.Stop();
    EXPECT_FALSE(gif.IsPlaying());
    int nFrame = gif.GetCurrentFrame();
    PumpFor(300);
    EXPECT_EQ(gif.GetCurrentFrame(), nFrame);  // nothing runs any more
    // Played again after a stop, then unloaded while playing.
    gif.Draw();
    EXPECT_TRUE(gif.IsPlaying());
    gif.UnLoad();
    EXPECT_FALSE(gif.IsPlaying());
    EXPECT_EQ(gif.GetFrameCount(), 0);
    EXPECT_FALSE(gif.Draw());
}

namespace {

// Waits, without dispatching anything, until a message is posted to hWnd.
bool WaitForPostedMessage(HWND hWnd, UINT nMessage, DWORD dwBoundMs)
{
    for (DWORD dwWaited = 0; dwWaited < dwBoundMs; dwWaited += 10)
    {
        MSG msg;
        if (::PeekMessageW(&msg, hWnd, nMessage, nMessage, PM_NOREMOVE))
            return true;
        ::Sleep(10);
    }
    return false;
}

// Takes the posted messages of one kind from the queue, all of them before
// dispatching any (a dispatch lets the thread post again), and dispatches them.
int DispatchPosted(HWND hWnd, UINT nMessage)
{
    std::vector<MSG> arrTaken;
    MSG msg;
    while (::PeekMessageW(&msg, hWnd, nMessage, nMessage, PM_REMOVE))
        arrTaken.push_back(msg);
    for (const MSG& taken : arrTaken)
        ::DispatchMessageW(&taken);
    return (int)arrTaken.size();
}

}  // namespace

// The animation thread draws nothing itself: it posts the next frame, one at
// a time however long the window's thread is away, and the frame changes only
// when the window's thread takes that post.
TEST_F(GifFixture, FramesChangeOnlyOnTheWindowsThread)
{
    ASSERT_TRUE(gif.Load(MAKEINTRESOURCEW(IDR_TEST_THREE_FRAMES), L"GIF"));
    gif.Draw();
    ASSERT_TRUE(gif.IsPlaying());
    ASSERT_EQ(gif.GetCurrentFrame(), 0);
    const UINT nNextFrame = WM_USER + 1;
    ASSERT_TRUE(WaitForPostedMessage(gif.m_hWnd, nNextFrame, 10000));
    // Frame 0 lasts 100 ms: long enough for several more posts, were there any.
    ::Sleep(500);
    EXPECT_EQ(gif.GetCurrentFrame(), 0);
    EXPECT_EQ(gif.GetPicturePixel(3, 4), RGB(255, 0, 0));
    EXPECT_EQ(DispatchPosted(gif.m_hWnd, nNextFrame), 1);
    EXPECT_EQ(gif.GetCurrentFrame(), 1);
    EXPECT_EQ(gif.GetPicturePixel(3, 4), RGB(0, 255, 0));
    // A post that arrives after the stop changes nothing.
    ASSERT_TRUE(WaitForPostedMessage(gif.m_hWnd, nNextFrame, 10000));
    gif.Stop();
    DispatchPosted(gif.m_hWnd, nNextFrame);
    EXPECT_EQ(gif.GetCurrentFrame(), 1);
    EXPECT_FALSE(gif.IsPlaying());
}

TEST_F(GifFixture, StopWithoutPlayingAndDestroyWhilePlaying)
{
    // Nothing to wait for: it returns, and the control can still play.
    gif.Stop();
    EXPECT_FALSE(gif.IsPlaying());
    {
        CGifAnimCtrl other;
        ASSERT_TRUE(other.Create(L"", WS_CHILD | WS_VISIBLE, CRect(40, 10, 60, 30), &window, 1107));
        ASSERT_TRUE(other.Load(MAKEINTRESOURCEW(154), L"GIF"));
        other.Draw();
        EXPECT_TRUE(other.IsPlaying());
        PumpFor(150);
        other.DestroyWindow();  // stops the thread first
        EXPECT_FALSE(other.IsPlaying());
    }
}

TEST_F(GifFixture, ProgramAnimationsLoadFromTheResourceModule)
{
    for (UINT nID : { 154u, 275u, 276u })
    {
        ASSERT_TRUE(gif.Load(MAKEINTRESOURCEW(nID), L"GIF")) << nID;
        EXPECT_EQ(gif.GetSize().cx, 24);
        EXPECT_EQ(gif.GetSize().cy, 24);
        EXPECT_TRUE(gif.IsAnimatedGif());
        gif.Stop();
        gif.UnLoad();
    }
    EXPECT_FALSE(gif.Load(MAKEINTRESOURCEW(4711), L"GIF"));
    // A library that points the resource handle at itself finds no such animation here.
    AfxSetResourceHandle(::GetModuleHandleW(L"kernel32.dll"));
    EXPECT_FALSE(gif.Load(MAKEINTRESOURCEW(154), L"GIF"));
    AfxSetResourceHandle(::GetModuleHandleW(NULL));
}

TEST_F(GifFixture, OtherPicturesAndSingleFramesShowStill)
{
    ASSERT_TRUE(gif.Load(MAKEINTRESOURCEW(IDR_TEST_STILL_BMP), L"IMAGE"));
    EXPECT_FALSE(gif.IsGif());
    EXPECT_EQ(gif.GetSize().cx, 23 * 16);
    EXPECT_EQ(gif.GetSize().cy, 16);
    EXPECT_TRUE(gif.Draw());
    EXPECT_FALSE(gif.IsPlaying());
    EXPECT_EQ(gif.GetPicturePixel(0, 0), RGB(255, 0, 255));  // the strip's key colour, drawn as is

    // The first frame alone is a one-frame GIF: shown still, no thread.
    std::string bytes = ResourceBytes(IDR_TEST_THREE_FRAMES, L"GIF");
    CGifDecoder decoder;
    ASSERT_TRUE(decoder.Open((const BYTE*)bytes.data(), (DWORD)bytes.size()));
    std::vector<BYTE> single = decoder.BuildFrameFile(decoder.GetFrames()[0]);
    HGLOBAL hGlobal = ::GlobalAlloc(GMEM_MOVEABLE, single.size());
    memcpy(::GlobalLock(hGlobal), single.data(), single.size());
    ::GlobalUnlock(hGlobal);
    ASSERT_TRUE(gif.LoadFromMemory(hGlobal, (DWORD)single.size()));
    ::GlobalFree(hGlobal);
    EXPECT_TRUE(gif.IsGif());
    EXPECT_FALSE(gif.IsAnimatedGif());
    EXPECT_TRUE(gif.Draw());
    EXPECT_FALSE(gif.IsPlaying());
    EXPECT_EQ(gif.GetPicturePixel(5, 5), RGB(255, 0, 0));
}
