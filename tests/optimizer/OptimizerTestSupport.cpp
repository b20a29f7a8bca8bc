#include "tests/optimizer/OptimizerTestSupport.h"
#include <shlwapi.h>

namespace optest {

namespace {
void DumpKey(HKEY hKey, const std::wstring& strPath, RegDump& dump)
{
    dump[strPath + L"|"] = RegEntry{REG_NONE, {}};
    for (DWORD i = 0;; i++)
    {
        WCHAR szName[16384];
        DWORD cchName = 16384, dwType = 0, cbData = 0;
        if (::RegEnumValueW(hKey, i, szName, &cchName, NULL, &dwType, NULL, &cbData) != ERROR_SUCCESS)
            break;
        std::vector<BYTE> data(cbData);
        cchName = 16384;
        if (::RegEnumValueW(hKey, i, szName, &cchName, NULL, &dwType, data.data(), &cbData) != ERROR_SUCCESS)
            break;
        data.resize(cbData);
        dump[strPath + L"|" + szName] = RegEntry{dwType, data};
    }
    for (DWORD i = 0;; i++)
    {
        WCHAR szName[256];
        DWORD cchName = 256;
        if (::RegEnumKeyExW(hKey, i, szName, &cchName, NULL, NULL, NULL, NULL) != ERROR_SUCCESS)
            break;
        HKEY hSub = NULL;
        if (::RegOpenKeyExW(hKey, szName, 0, KEY_READ, &hSub) == ERROR_SUCCESS)
        {
            DumpKey(hSub, strPath + L"\\" + szName, dump);
            ::RegCloseKey(hSub);
        }
    }
}
} // namespace

RedirectedHive::RedirectedHive()
{
    m_strBase = L"Software\\TamselTest\\" + testsupport::CurrentTestName();
    ::SHDeleteKeyW(HKEY_CURRENT_USER, m_strBase.c_str());
    ::RegCreateKeyExW(HKEY_CURRENT_USER, (m_strBase + L"\\HKLM").c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL,
                      &m_hMachine, NULL);
    ::RegCreateKeyExW(HKEY_CURRENT_USER, (m_strBase + L"\\HKCU").c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL, &m_hUser,
                      NULL);
    EXPECT_EQ(::RegOverridePredefKey(HKEY_LOCAL_MACHINE, m_hMachine), ERROR_SUCCESS);
    EXPECT_EQ(::RegOverridePredefKey(HKEY_CURRENT_USER, m_hUser), ERROR_SUCCESS);
}

RedirectedHive::~RedirectedHive()
{
    ::RegOverridePredefKey(HKEY_LOCAL_MACHINE, NULL);
    ::RegOverridePredefKey(HKEY_CURRENT_USER, NULL);
    ::RegCloseKey(m_hMachine);
    ::RegCloseKey(m_hUser);
    ::SHDeleteKeyW(HKEY_CURRENT_USER, m_strBase.c_str());
}

RegDump RedirectedHive::Dump() const
{
    RegDump dump;
    DumpKey(m_hMachine, L"HKLM", dump);
    DumpKey(m_hUser, L"HKCU", dump);
    return dump;
}

void RedirectedHive::PlantKey(HKEY hRoot, const std::wstring& strPath)
{
    HKEY hKey = NULL;
    ASSERT_EQ(::RegCreateKeyExW(hRoot, strPath.c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL, &hKey, NULL), ERROR_SUCCESS);
    ::RegCloseKey(hKey);
}

void RedirectedHive::PlantValue(HKEY hRoot, const std::wstring& strPath, const std::wstring& strName, DWORD dwType,
                                const std::vector<BYTE>& data)
{
    HKEY hKey = NULL;
    ASSERT_EQ(::RegCreateKeyExW(hRoot, strPath.c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL, &hKey, NULL), ERROR_SUCCESS);
    ::RegSetValueExW(hKey, strName.c_str(), 0, dwType, data.data(), (DWORD)data.size());
    ::RegCloseKey(hKey);
}

std::vector<BYTE> DwordBytes(DWORD dw)
{
    return std::vector<BYTE>((const BYTE*)&dw, (const BYTE*)&dw + 4);
}

std::vector<BYTE> StringBytes(const std::wstring& str)
{
    const BYTE* p = (const BYTE*)str.c_str();
    return std::vector<BYTE>(p, p + (str.size() + 1) * sizeof(wchar_t));
}

std::string Describe(const RegDump& dump)
{
    std::string strText;
    for (const auto& entry : dump)
    {
        strText += CString(entry.first.c_str()).ToUtf8() + " type " + std::to_string(entry.second.dwType) + ":";
        char szByte[4];
        for (BYTE b : entry.second.data)
        {
            sprintf(szByte, " %02x", b);
            strText += szByte;
        }
        strText += "\n";
    }
    return strText;
}

std::wstring EnglishLanguageFile()
{
    return testsupport::HostPath(std::string(TAMSEL_SOURCE_ROOT) + "/resources/English.ini");
}

BEGIN_MESSAGE_MAP(HostWindow, CWnd)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_MESSAGE(WM_PRINTCLIENT, OnPrintClient)
    ON_MESSAGE(WM_USER + 100, OnTabChange)
END_MESSAGE_MAP()

HostWindow::HostWindow()
{
    CreateEx(0, AfxRegisterWndClass(0, ::LoadCursorW(NULL, IDC_ARROW)), L"Host",
             WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 700, 600, NULL, NULL);
}

HostWindow::~HostWindow()
{
    if (m_hWnd != NULL)
        DestroyWindow();
}

void HostWindow::OnPaint()
{
    CPaintDC dc(this);
    CRect rc;
    GetClientRect(&rc);
    dc.FillSolidRect(&rc, SCREEN_GREEN);
}

BOOL HostWindow::OnEraseBkgnd(CDC*)
{
    return TRUE;
}

LRESULT HostWindow::OnPrintClient(WPARAM wParam, LPARAM)
{
    CRect rc;
    GetClientRect(&rc);
    HBRUSH hBrush = ::CreateSolidBrush(PRINT_RED);
    ::FillRect((HDC)wParam, &rc, hBrush);
    ::DeleteObject(hBrush);
    return 0;
}

LRESULT HostWindow::OnTabChange(WPARAM wParam, LPARAM lParam)
{
    MSG msg = {m_hWnd, WM_USER + 100, wParam, lParam};
    m_posted.push_back(msg);
    return 0;
}

void Pump(DWORD dwMs)
{
    testsupport::WaitFor([] { return false; }, dwMs);
}

void MoveMouseTo(HWND hWnd, POINT ptClient)
{
    POINT ptScreen = ptClient;
    ::ClientToScreen(hWnd, &ptScreen);
    ::SetCursorPos(ptScreen.x, ptScreen.y);
    ::SendMessageW(hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(ptClient.x, ptClient.y));
    Pump(30);
}

void ClickAt(HWND hWnd, POINT ptClient)
{
    MoveMouseTo(hWnd, ptClient);
    ::SendMessageW(hWnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(ptClient.x, ptClient.y));
    ::SendMessageW(hWnd, WM_LBUTTONUP, 0, MAKELPARAM(ptClient.x, ptClient.y));
    Pump(30);
}

} // namespace optest
