#include "controls/skin/WindowShadow.h"
#include "tests/skin_c/KitTestWindow.h"
#include <gtest/gtest.h>
#include <cmath>

namespace {

// The buffer ends where a page without access begins, and a filled band
// before it shows any write ahead of its start.
class CGuardedBuffer
{
public:
    explicit CGuardedBuffer(size_t nPixels)
    {
        SYSTEM_INFO si;
        ::GetSystemInfo(&si);
        m_nPage = si.dwPageSize;
        size_t nBytes = nPixels * 4;
        size_t nData = ((nBytes + CANARY + m_nPage - 1) / m_nPage) * m_nPage;
        m_pBase = (BYTE*)::VirtualAlloc(NULL, nData + m_nPage, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
        DWORD dwOld = 0;
        ::VirtualProtect(m_pBase + nData, m_nPage, PAGE_NOACCESS, &dwOld);
        m_pBits = (DWORD*)(m_pBase + nData - nBytes);
        memset(m_pBase, 0xCD, nData - nBytes);
        memset(m_pBits, 0, nBytes);
        m_nBefore = nData - nBytes;
    }
    ~CGuardedBuffer() { ::VirtualFree(m_pBase, 0, MEM_RELEASE); }
    DWORD* Bits() { return m_pBits; }
    bool BandIntact() const
    {
        for (size_t i = 0; i < m_nBefore; i++)
            if (m_pBase[i] != 0xCD)
                return false;
        return true;
    }

private:
    enum { CANARY = 4096 };
    size_t m_nPage = 4096;
    size_t m_nBefore = 0;
    BYTE* m_pBase = NULL;
    DWORD* m_pBits = NULL;
};

// The alpha a rectangle's shadow must have at (x, y) of the bitmap, top-down.
int ExpectedAlpha(int x, int y, int nWidth, int nHeight, int nSize, int nSharpness, int nDarkness)
{
    int nLeft = std::max(nSize, 0), nTop = std::max(nSize, 0);
    int nRight = nSize >= 0 ? nWidth - nSize - 1 : nWidth - 1;
    int nBottom = nSize >= 0 ? nHeight - nSize - 1 : nHeight - 1;
    int dx = x < nLeft ? nLeft - x : (x > nRight ? x - nRight : 0);
    int dy = y < nTop ? nTop - y : (y > nBottom ? y - nBottom : 0);
    if (dx == 0 && dy == 0)
        return nDarkness;
    double d = std::sqrt((double)(dx * dx + dy * dy));
    int nRadius = std::max(nSize, nSharpness);
    int nSolid = nSize > nSharpness ? nSize - nSharpness : 0;
    if (d <= nSolid)
        return nDarkness;
    if (d > nRadius)
        return 0;
    return (int)(nDarkness * (1.0 - (d - nSolid) / (nSharpness + 1)));
}

void CheckShadow(int nParentWidth, int nParentHeight, int nSize, int nSharpness, int nDarkness)
{
    CWindowShadow shadow;
    ASSERT_TRUE(shadow.SetSize(nSize));
    ASSERT_TRUE(shadow.SetSharpness(nSharpness));
    ASSERT_TRUE(shadow.SetDarkness(nDarkness));
    ASSERT_TRUE(shadow.SetColor(RGB(255, 0, 0)));
    int nWidth = nParentWidth + 2 * nSize, nHeight = nParentHeight + 2 * nSize;
    CGuardedBuffer buffer((size_t)nWidth * nHeight);
    shadow.MakeShadow(buffer.Bits(), nWidth, nHeight, NULL, nParentWidth, nParentHeight);
    EXPECT_TRUE(buffer.BandIntact());
    int nWrong = 0;
    for (int y = 0; y < nHeight; y++)
    {
        for (int x = 0; x < nWidth; x++)
        {
            DWORD dwPixel = buffer.Bits()[(nHeight - 1 - y) * nWidth + x];
            int nAlpha = (int)(dwPixel >> 24);
            int nExpected = ExpectedAlpha(x, y, nWidth, nHeight, nSize, nSharpness, nDarkness);
            // Premultiplied red: the colour scaled by its alpha.
            if (nAlpha != nExpected || (int)((dwPixel >> 16) & 0xFF) != nAlpha || (dwPixel & 0xFFFF) != 0)
            {
                if (nWrong++ < 5)
                    ADD_FAILURE() << "size " << nSize << " sharpness " << nSharpness << " at " << x << "," << y
                                  << ": alpha " << nAlpha << " expected " << nExpected;
            }
        }
    }
    EXPECT_EQ(nWrong, 0);
}

} // namespace

TEST(CWindowShadow, SettersRefuseValuesOutOfRange)
{
    CWindowShadow shadow;
    EXPECT_FALSE(shadow.SetSize(21));
    EXPECT_FALSE(shadow.SetSize(-21));
    EXPECT_FALSE(shadow.SetSharpness(21));
    EXPECT_FALSE(shadow.SetDarkness(256));
    EXPECT_FALSE(shadow.SetPosition(-21, 0));
    EXPECT_FALSE(shadow.SetPosition(0, 21));
    EXPECT_EQ(shadow.m_nSize, 0);
    EXPECT_EQ(shadow.m_nSharpness, 5);
    EXPECT_EQ(shadow.m_nDarkness, 150);
    EXPECT_EQ(shadow.m_nxOffset, 5);
    EXPECT_EQ(shadow.m_nyOffset, 5);
    EXPECT_TRUE(shadow.SetSize(-20));
    EXPECT_TRUE(shadow.SetPosition(20, -20));
    EXPECT_EQ(shadow.m_nSize, -20);
    EXPECT_EQ(shadow.m_nyOffset, -20);
    EXPECT_EQ(shadow.m_hWnd, (HWND)-1);
}

TEST(CWindowShadow, KernelFollowsTheFormulaAndStaysInsideTheBitmap)
{
    // The defaults: the kernel reaches 5 pixels past the bitmap on every side.
    CheckShadow(40, 30, 0, 5, 150);
    CheckShadow(40, 30, 8, 3, 200);
    CheckShadow(40, 30, 6, 6, 255);
    CheckShadow(40, 30, -3, 4, 100);
    CheckShadow(3, 2, 0, 20, 255);
}

TEST(CWindowShadow, FollowsItsWindowAndLetsItGo)
{
    CWindowShadow::Initialize(::GetModuleHandleW(NULL));
    EXPECT_FALSE(CWindowShadow::Initialize(::GetModuleHandleW(NULL)));
    CKitTestWindow window;
    ASSERT_TRUE(window.CreateTop(100, 100, 200, 150, L"Shadowed"));
    WNDPROC pfnBefore = (WNDPROC)::GetWindowLongPtrW(window.m_hWnd, GWLP_WNDPROC);
    {
        CWindowShadow shadow;
        shadow.Create(window.m_hWnd);
        ASSERT_NE(shadow.m_hWnd, (HWND)-1);
        EXPECT_TRUE(::IsWindowVisible(shadow.m_hWnd));
        RECT rc;
        ::GetWindowRect(shadow.m_hWnd, &rc);
        EXPECT_EQ(rc.left, 105);
        EXPECT_EQ(rc.top, 105);
        EXPECT_EQ(rc.right - rc.left, 200);

        window.SetWindowPos(NULL, 300, 200, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        ::GetWindowRect(shadow.m_hWnd, &rc);
        EXPECT_EQ(rc.left, 305);
        EXPECT_EQ(rc.top, 205);

        window.ShowWindow(SW_MINIMIZE);
        EXPECT_FALSE(::IsWindowVisible(shadow.m_hWnd));
        window.ShowWindow(SW_RESTORE);
        PumpFor(100);
        EXPECT_TRUE(::IsWindowVisible(shadow.m_hWnd));

        EXPECT_TRUE(shadow.SetSize(10));
        ::GetWindowRect(shadow.m_hWnd, &rc);
        EXPECT_EQ(rc.right - rc.left, 220);
        HWND hShadow = shadow.m_hWnd;
        // Gone with its object, and the window's procedure is its own again.
        (void)hShadow;
    }
    EXPECT_EQ((WNDPROC)::GetWindowLongPtrW(window.m_hWnd, GWLP_WNDPROC), pfnBefore);
    window.ShowWindow(SW_HIDE);
    window.DestroyWindow();
}
