#pragma once
// Push buttons, check boxes, radio buttons and group boxes.
#include "framework/Wnd.h"

class CButton : public CWnd
{
public:
    BOOL Create(LPCTSTR lpszCaption, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
    {
        return CWnd::Create(L"BUTTON", lpszCaption, dwStyle, rect, pParentWnd, nID);
    }

    // BST_UNCHECKED, BST_CHECKED or BST_INDETERMINATE.
    int GetCheck() const { return (int)::SendMessageW(m_hWnd, BM_GETCHECK, 0, 0); }
    void SetCheck(int nCheck) { ::SendMessageW(m_hWnd, BM_SETCHECK, (WPARAM)nCheck, 0); }
    // BST_PUSHED, BST_FOCUS and the check bits.
    UINT GetState() const { return (UINT)::SendMessageW(m_hWnd, BM_GETSTATE, 0, 0); }
    void SetState(BOOL bHighlight) { ::SendMessageW(m_hWnd, BM_SETSTATE, (WPARAM)bHighlight, 0); }
    UINT GetButtonStyle() const { return (UINT)::GetWindowLongPtrW(m_hWnd, GWL_STYLE) & 0xFFFF; }
    void SetButtonStyle(UINT nStyle, BOOL bRedraw = TRUE)
    {
        ::SendMessageW(m_hWnd, BM_SETSTYLE, (WPARAM)nStyle, (LPARAM)bRedraw);
    }

    // The set forms return the image that was shown before; the button does
    // not own its image.
    HBITMAP SetBitmap(HBITMAP hBitmap)
    {
        return (HBITMAP)::SendMessageW(m_hWnd, BM_SETIMAGE, IMAGE_BITMAP, (LPARAM)hBitmap);
    }
    HBITMAP GetBitmap() const { return (HBITMAP)::SendMessageW(m_hWnd, BM_GETIMAGE, IMAGE_BITMAP, 0); }
    HICON SetIcon(HICON hIcon) { return (HICON)::SendMessageW(m_hWnd, BM_SETIMAGE, IMAGE_ICON, (LPARAM)hIcon); }
    HICON GetIcon() const { return (HICON)::SendMessageW(m_hWnd, BM_GETIMAGE, IMAGE_ICON, 0); }
    HCURSOR SetCursor(HCURSOR hCursor)
    {
        return (HCURSOR)::SendMessageW(m_hWnd, BM_SETIMAGE, IMAGE_CURSOR, (LPARAM)hCursor);
    }
    HCURSOR GetCursor() const { return (HCURSOR)::SendMessageW(m_hWnd, BM_GETIMAGE, IMAGE_CURSOR, 0); }
};
