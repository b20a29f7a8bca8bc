#pragma once
// A plain top-level window hosting the kit's controls in the tests; it
// records the commands it receives and forwards owner-drawn menus.
#include "framework/Afx.h"
#include <vector>

class CKitTestWindow : public CWnd
{
public:
    BOOL CreateTop(int x, int y, int cx, int cy, LPCTSTR lpszTitle = L"Kit");
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
    std::vector<UINT> m_commands;
    int m_nMeasured = 0;
    int m_nDrawn = 0;
};

// Runs this thread's messages for a while.
void PumpFor(DWORD dwMilliseconds);
// Paints the window now and reads a pixel of its client area from the screen.
COLORREF ClientPixel(HWND hWnd, int x, int y);
// GDI objects of this process.
DWORD GdiObjects();
// Saves the screen to a PNG under the build folder when the peer tool is there.
void SaveScreenshot(const char* pszName);
