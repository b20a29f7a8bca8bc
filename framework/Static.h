#pragma once
// Static text and picture controls.
#include "framework/Wnd.h"

class CStatic : public CWnd
{
public:
    BOOL Create(LPCTSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID = 0xFFFF)
    {
        return CWnd::Create(L"STATIC", lpszText, dwStyle, rect, pParentWnd, nID);
    }

    // The set forms return the image shown before (SS_BITMAP, SS_ICON); the
    // control does not own its image.
    HBITMAP SetBitmap(HBITMAP hBitmap)
    {
        return (HBITMAP)::SendMessageW(m_hWnd, STM_SETIMAGE, IMAGE_BITMAP, (LPARAM)hBitmap);
    }
    HBITMAP GetBitmap() const { return (HBITMAP)::SendMessageW(m_hWnd, STM_GETIMAGE, IMAGE_BITMAP, 0); }
    HICON SetIcon(HICON hIcon) { return (HICON)::SendMessageW(m_hWnd, STM_SETICON, (WPARAM)hIcon, 0); }
    HICON GetIcon() const { return (HICON)::SendMessageW(m_hWnd, STM_GETICON, 0, 0); }
    HCURSOR SetCursor(HCURSOR hCursor)
    {
        return (HCURSOR)::SendMessageW(m_hWnd, STM_SETIMAGE, IMAGE_CURSOR, (LPARAM)hCursor);
    }
    HCURSOR GetCursor() const { return (HCURSOR)::SendMessageW(m_hWnd, STM_GETIMAGE, IMAGE_CURSOR, 0); }
};
