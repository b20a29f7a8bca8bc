#pragma once
// What the optimizer's tests share: a registry whose HKLM and HKCU are
// scratch keys, a host window for the views, and the built-in language file.
#include "framework/Afx.h"
#include "tests/support/MessageBoxRecorder.h"
#include "tests/support/TestSupport.h"
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <vector>

namespace optest {

struct RegEntry
{
    DWORD dwType;  // REG_NONE for a key without values
    std::vector<BYTE> data;
    bool operator==(const RegEntry& other) const { return dwType == other.dwType && data == other.data; }
};
// "HKLM\path|value" (or "HKLM\path|" for a key) to its type and bytes.
typedef std::map<std::wstring, RegEntry> RegDump;

// HKLM and HKCU of this process point at empty scratch keys while it lives.
class RedirectedHive
{
public:
    RedirectedHive();
    ~RedirectedHive();
    // Every key and value under both redirected roots.
    RegDump Dump() const;
    // Creates a key (and its path) under the redirected root.
    void PlantKey(HKEY hRoot, const std::wstring& strPath);
    void PlantValue(HKEY hRoot, const std::wstring& strPath, const std::wstring& strName, DWORD dwType,
                    const std::vector<BYTE>& data);

private:
    std::wstring m_strBase;
    HKEY m_hMachine = NULL;
    HKEY m_hUser = NULL;
};

std::vector<BYTE> DwordBytes(DWORD dw);
std::vector<BYTE> StringBytes(const std::wstring& str);
std::string Describe(const RegDump& dump);

// The built-in English language file in the source tree (read only).
std::wstring EnglishLanguageFile();

// A visible top-level window standing in for the host's main window. It
// draws itself green on screen but red when asked to print its client area,
// so a control that copies the screen shows the wrong colour.
class HostWindow : public CWnd
{
public:
    HostWindow();
    ~HostWindow() override;
    HWND Handle() const { return m_hWnd; }
    CWnd* Wnd() { return this; }
    // Messages posted to it that it does not handle.
    std::vector<MSG> m_posted;

protected:
    afx_msg void OnPaint();
    afx_msg BOOL OnEraseBkgnd(CDC* pDC);
    afx_msg LRESULT OnPrintClient(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnTabChange(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()
};
const COLORREF SCREEN_GREEN = RGB(0, 200, 0);
const COLORREF PRINT_RED = RGB(200, 0, 0);

// Pumps this thread's messages for a while.
void Pump(DWORD dwMs = 50);

// A real mouse: the cursor moves there, then the window gets the messages.
void MoveMouseTo(HWND hWnd, POINT ptClient);
void ClickAt(HWND hWnd, POINT ptClient);

} // namespace optest
