#pragma once
// The paint of a view drawn on white: the client area is filled as the paint
// begins, and the paint ends when this goes out of scope.
#include "framework/Afx.h"

class CWhitePaint
{
public:
    CWhitePaint(HWND hWnd, HBRUSH hbrWhite);
    ~CWhitePaint();
    CWhitePaint(const CWhitePaint&) = delete;
    CWhitePaint& operator=(const CWhitePaint&) = delete;

    // NULL when the paint could not begin: then there is nothing to draw on.
    HDC GetDC() const { return m_hDC; }
    const RECT& GetClientRect() const { return m_rcClient; }

private:
    HWND m_hWnd;
    PAINTSTRUCT m_ps;
    HDC m_hDC;
    RECT m_rcClient;
};
