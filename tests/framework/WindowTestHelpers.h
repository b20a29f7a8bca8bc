#pragma once
// Helpers of the window tests: top-level test windows and scripts that run
// from inside whatever message loop is active (modal loops included).
#include "framework/Afx.h"
#include <functional>
#include <map>

namespace windowtest {

// Runs a function once, from the thread's message loop, after nDelayMs.
class CLoopScript
{
public:
    static void Run(std::function<void()> fnScript, UINT nDelayMs = 10)
    {
        UINT_PTR nID = ::SetTimer(NULL, 0, nDelayMs, &TimerProc);
        Scripts()[nID] = std::move(fnScript);
    }

private:
    static std::map<UINT_PTR, std::function<void()>>& Scripts()
    {
        static std::map<UINT_PTR, std::function<void()>> s_scripts;
        return s_scripts;
    }
    static void CALLBACK TimerProc(HWND, UINT, UINT_PTR nID, DWORD)
    {
        ::KillTimer(NULL, nID);
        auto it = Scripts().find(nID);
        if (it == Scripts().end())
            return;
        std::function<void()> fnScript = std::move(it->second);
        Scripts().erase(it);
        fnScript();
    }
};

inline LPCTSTR TestWndClass()
{
    return AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursorW(NULL, IDC_ARROW), (HBRUSH)(COLOR_WINDOW + 1));
}

// A visible top-level window of the test class.
inline BOOL CreateTopLevel(CWnd& wnd, LPCTSTR lpszTitle = L"Test")
{
    if (!wnd.CreateEx(0, TestWndClass(), lpszTitle, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 50, 50, 300, 200, NULL, NULL))
        return FALSE;
    wnd.UpdateWindow();
    return TRUE;
}

} // namespace windowtest
