#pragma once
// What the privacy controls' tests share: a host window, the built-in
// language file, scripted steps inside a modal loop, screenshots, and a
// session end that fails the test when reached.
#include "framework/Afx.h"
#include "framework/Wnd.h"
#include "tests/support/MessageBoxRecorder.h"
#include "tests/support/TestSupport.h"
#include <gtest/gtest.h>
#include <functional>
#include <string>
#include <vector>

namespace privtest {

// The built-in English language file in the source tree (read only).
std::wstring EnglishLanguageFile();

// A visible, white top-level window standing in for the host's main window.
class HostWindow : public CWnd
{
public:
    HostWindow();
    ~HostWindow() override;
};

void Pump(DWORD dwMs = 50);
void ClickAt(HWND hWnd, POINT ptClient);

// Runs each step on this thread's message loop (a modal dialog's too), one
// every nIntervalMs, the first after nIntervalMs; a step returning false is
// tried again at the next tick. Stops with the object.
class ModalScript
{
public:
    explicit ModalScript(std::vector<std::function<bool()>> steps, UINT nIntervalMs = 50);
    ~ModalScript();
    bool Finished() const { return m_nNext >= m_steps.size(); }

private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR nID, DWORD);
    std::vector<std::function<bool()>> m_steps;
    size_t m_nNext = 0;
    UINT_PTR m_nTimer = 0;
};

// Calls of the replaceable session end while it lives (the default one of
// this suite fails the running test).
class ExitWindowsRecorder
{
public:
    ExitWindowsRecorder();
    ~ExitWindowsRecorder();
    std::vector<UINT> m_calls;
};

// A PNG of the window's screen area in TAMSEL_SCREENSHOT_DIR, when set.
bool ScreenshotsWanted();
void Shoot(HWND hWnd, const std::string& strName);

// The colour of a client pixel as the screen shows it.
COLORREF ScreenPixel(HWND hWnd, int x, int y);

} // namespace privtest
