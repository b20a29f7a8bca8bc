#pragma once
// A 32-bit top-down DIB section with a memory DC: tests draw on it and read
// pixels back.
#include <winsock2.h>
#include <windows.h>
#include <string.h>

// A white 32-bit surface to draw on and read back.
class TreeListSurface
{
public:
    TreeListSurface(int cx = 400, int cy = 100) : m_cx(cx), m_cy(cy)
    {
        BITMAPINFO bi = {};
        bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
        bi.bmiHeader.biWidth = cx;
        bi.bmiHeader.biHeight = -cy;
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        m_hDC = ::CreateCompatibleDC(NULL);
        m_hBitmap = ::CreateDIBSection(m_hDC, &bi, DIB_RGB_COLORS, (void**)&m_pBits, NULL, 0);
        m_hOld = ::SelectObject(m_hDC, m_hBitmap);
        Clear();
        ::SetBkMode(m_hDC, TRANSPARENT);
        ::SetTextColor(m_hDC, RGB(0, 0, 0));
    }
    ~TreeListSurface()
    {
        ::SelectObject(m_hDC, m_hOld);
        ::DeleteObject(m_hBitmap);
        ::DeleteDC(m_hDC);
    }
    void Clear()
    {
        RECT rc = { 0, 0, m_cx, m_cy };
        ::FillRect(m_hDC, &rc, (HBRUSH)::GetStockObject(WHITE_BRUSH));
        ::GdiFlush();
    }
    HDC DC() const { return m_hDC; }
    COLORREF Pixel(int x, int y) const
    {
        ::GdiFlush();
        const DWORD v = m_pBits[y * m_cx + x];
        return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
    }
    bool HasColor(COLORREF cr, int x0, int x1, int y0 = 0, int y1 = -1) const
    {
        if (y1 < 0)
            y1 = m_cy;
        for (int y = y0; y < y1; ++y)
            for (int x = x0; x < x1 && x < m_cx; ++x)
                if (Pixel(x, y) == cr)
                    return true;
        return false;
    }
    // First and last rows holding a non-white pixel in [x0, x1); -1 when none.
    int FirstInkRow(int x0, int x1) const
    {
        for (int y = 0; y < m_cy; ++y)
            for (int x = x0; x < x1; ++x)
                if (Pixel(x, y) != RGB(255, 255, 255))
                    return y;
        return -1;
    }
    int LastInkRow(int x0, int x1) const
    {
        for (int y = m_cy - 1; y >= 0; --y)
            for (int x = x0; x < x1; ++x)
                if (Pixel(x, y) != RGB(255, 255, 255))
                    return y;
        return -1;
    }
    bool SameAs(const TreeListSurface& other) const
    {
        ::GdiFlush();
        return memcmp(m_pBits, other.m_pBits, (size_t)m_cx * m_cy * 4) == 0;
    }

private:
    int m_cx, m_cy;
    HDC m_hDC;
    HBITMAP m_hBitmap;
    HGDIOBJ m_hOld;
    DWORD* m_pBits = nullptr;
};
