#pragma once
// A plain top-level window for the control tests: hosts the controls and
// records the commands it receives.
#include "framework/Afx.h"
#include "framework/Dc.h"
#include <vector>

class CTestWindow : public CWnd
{
public:
    BOOL CreateTop(int cx = 640, int cy = 480, COLORREF clrBack = RGB(255, 255, 255));
    virtual BOOL OnCommand(WPARAM wParam, LPARAM lParam);
    // Control ids of the WM_COMMAND messages received, in order.
    std::vector<UINT> m_commands;
    COLORREF m_clrBack = RGB(255, 255, 255);

protected:
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    DECLARE_MESSAGE_MAP()
};

// Repaints a window now and reads a pixel of its client area from the screen.
COLORREF ClientPixel(CWnd& wnd, int x, int y);
// Runs the message loop for a while.
void PumpFor(DWORD dwMilliseconds);
