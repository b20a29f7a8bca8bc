#pragma once
// Tooltip controls. A tool is a window (nIDTool 0: the window itself, shown
// over its whole area) or an area of a window with an id of the caller's.
// Tools added here are not subclassed: the owner relays mouse messages with
// RelayEvent.
#include "framework/Wnd.h"

class CToolTipCtrl : public CWnd
{
public:
    // A pop-up owned by pParentWnd; TTS_ALWAYSTIP, TTS_BALLOON... in dwStyle.
    BOOL Create(CWnd* pParentWnd, DWORD dwStyle = 0);

    // lpszText may be LPSTR_TEXTCALLBACK. lpRectTool NULL covers the whole
    // client area of pWnd (at the time of the call).
    BOOL AddTool(CWnd* pWnd, LPCTSTR lpszText = LPSTR_TEXTCALLBACK, LPCRECT lpRectTool = NULL,
                 UINT_PTR nIDTool = 0);
    // The text is a string resource (AfxGetResourceHandle).
    BOOL AddTool(CWnd* pWnd, UINT nIDText, LPCRECT lpRectTool = NULL, UINT_PTR nIDTool = 0);
    void DelTool(CWnd* pWnd, UINT_PTR nIDTool = 0);
    void UpdateTipText(LPCTSTR lpszText, CWnd* pWnd, UINT_PTR nIDTool = 0);
    void UpdateTipText(UINT nIDText, CWnd* pWnd, UINT_PTR nIDTool = 0);
    void SetToolRect(CWnd* pWnd, UINT_PTR nIDTool, LPCRECT lpRect);
    // The tool's current text, empty when there is no such tool.
    void GetText(CString& str, CWnd* pWnd, UINT_PTR nIDTool = 0) const;
    // lpToolInfo must come from FillInToolInfo or have cbSize set.
    BOOL GetToolInfo(LPTOOLINFO lpToolInfo, CWnd* pWnd, UINT_PTR nIDTool = 0) const;
    void SetToolInfo(LPTOOLINFO lpToolInfo);
    int GetToolCount() const { return (int)::SendMessageW(m_hWnd, TTM_GETTOOLCOUNT, 0, 0); }

    void RelayEvent(LPMSG lpMsg) { ::SendMessageW(m_hWnd, TTM_RELAYEVENT, 0, (LPARAM)lpMsg); }
    void Activate(BOOL bActivate) { ::SendMessageW(m_hWnd, TTM_ACTIVATE, (WPARAM)bActivate, 0); }
    void Pop() { ::SendMessageW(m_hWnd, TTM_POP, 0, 0); }
    void Update() { ::SendMessageW(m_hWnd, TTM_UPDATE, 0, 0); }
    // All three delays from one value (TTDT_AUTOMATIC), or one of them.
    void SetDelayTime(UINT nDelay) { ::SendMessageW(m_hWnd, TTM_SETDELAYTIME, TTDT_AUTOMATIC, MAKELPARAM(nDelay, 0)); }
    void SetDelayTime(DWORD dwDuration, int iTime)
    {
        ::SendMessageW(m_hWnd, TTM_SETDELAYTIME, (WPARAM)dwDuration, MAKELPARAM(iTime, 0));
    }
    int GetDelayTime(DWORD dwDuration) const { return (int)::SendMessageW(m_hWnd, TTM_GETDELAYTIME, (WPARAM)dwDuration, 0); }
    // Returns the width before; -1 lets the tip be as wide as its text.
    int SetMaxTipWidth(int iWidth) { return (int)::SendMessageW(m_hWnd, TTM_SETMAXTIPWIDTH, 0, (LPARAM)iWidth); }
    int GetMaxTipWidth() const { return (int)::SendMessageW(m_hWnd, TTM_GETMAXTIPWIDTH, 0, 0); }
    void SetTipBkColor(COLORREF clr) { ::SendMessageW(m_hWnd, TTM_SETTIPBKCOLOR, (WPARAM)clr, 0); }
    COLORREF GetTipBkColor() const { return (COLORREF)::SendMessageW(m_hWnd, TTM_GETTIPBKCOLOR, 0, 0); }
    void SetTipTextColor(COLORREF clr) { ::SendMessageW(m_hWnd, TTM_SETTIPTEXTCOLOR, (WPARAM)clr, 0); }
    COLORREF GetTipTextColor() const { return (COLORREF)::SendMessageW(m_hWnd, TTM_GETTIPTEXTCOLOR, 0, 0); }

    // A TOOLINFO for the tool of pWnd and nIDTool, sized for every version of
    // the control.
    static void FillInToolInfo(TOOLINFO& ti, CWnd* pWnd, UINT_PTR nIDTool);
};
