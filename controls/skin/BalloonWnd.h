#pragma once
// A balloon-shaped hint with an icon and a text, shown when the mouse rests
// over one of the registered windows and hidden when it moves on.
#include "framework/Afx.h"
#include <map>

class CBalloonWnd : public CWnd
{
public:
    enum { TIMER_SHOW = 100, TIMER_WATCH = 101 };

    CBalloonWnd();
    virtual ~CBalloonWnd();

    BOOL Create(CWnd* pParent);
    void AddTool(CWnd* pWnd, LPCTSTR lpszText, HICON hIcon = NULL);
    void RemoveTool(CWnd* pWnd);
    // The owner passes its mouse messages here.
    void RelayEvent(const MSG* pMsg);
    // Shows the text at the point (the cursor when NULL) after the delay.
    void Show(LPCTSTR lpszText, const POINT* pPoint = NULL);
    void Hide();

    // The window's outline for the current text and icon, in window
    // coordinates; the caller deletes it. Its size comes back in pSize.
    HRGN MakeRegion(SIZE* pSize);

    LPCTSTR m_lpszClassName;
    UINT m_nDelay;
    POINT m_ptAnchor;
    CString m_strText;
    UINT_PTR m_nTimer;
    HICON m_hIcon;
    SIZE m_sizeIcon;
    HFONT m_hFont;

    struct Entry
    {
        CString strText;
        HICON hIcon;
    };
    std::map<HWND, Entry> m_tools;

protected:
    afx_msg void OnTimer(UINT_PTR nIDEvent);
    afx_msg void OnPaint();
    afx_msg void OnDestroy();
    void StartTimer(UINT_PTR nID, UINT nElapse);
    void StopTimer();
    void PopUp();
    DECLARE_MESSAGE_MAP()
};

// The size of an icon: twice its hot spot, as icons centre their hot spot.
SIZE GetIconSizeFromHotSpot(HICON hIcon);
