#pragma once
// Press-and-track for a button-like element drawn inside a window: holds the
// mouse until the button is released, the capture is lost or Escape is
// pressed; auto-repeating elements send their command every 100 ms, and a
// synthetic mouse move every 300 ms lets a hot element notice the mouse left.
#include "framework/Afx.h"

class CPressTracker
{
public:
    CPressTracker(HWND hWnd, const RECT& rcElement, UINT nCmdID, BOOL bAutoRepeat);

    // TRUE when the button was released over the element.
    BOOL Track();

    int m_nRepeats;  // commands sent by the auto-repeat

private:
    BOOL IsMouseOver() const;

    HWND m_hWnd;
    RECT m_rcElement;  // client coordinates of m_hWnd
    UINT m_nCmdID;
    BOOL m_bAutoRepeat;
};
