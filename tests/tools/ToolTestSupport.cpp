#include "tests/tools/ToolTestSupport.h"
#include "tests/support/TestSupport.h"
#include "tests/support/ResponsiveWatch.h"
#include "tools/ToolRestorePage.h"
#include "services/ZipWriter.h"

namespace tooltest {

bool WaitListed(CToolRestorePage& page)
{
    // Only a hang misses this: 20,000 rows list in seconds.
    return testsupport::PumpUntil([&page]() { return !page.IsListing(); }, 300000);
}

void SetValue(HKEY hRoot, const std::wstring& key, const std::wstring& name, DWORD dwType, const Bytes& data, REGSAM samView)
{
    HKEY hKey = NULL;
    if (RegCreateKeyExW(hRoot, key.c_str(), 0, NULL, 0, KEY_ALL_ACCESS | samView, NULL, &hKey, NULL) != ERROR_SUCCESS)
        return;
    RegSetValueExW(hKey, name.c_str(), 0, dwType, data.empty() ? NULL : data.data(), (DWORD)data.size());
    RegCloseKey(hKey);
}

std::string Utf16(const std::wstring& strText)
{
    std::string bytes = "\xFF\xFE";
    for (wchar_t ch : strText)
        bytes += std::string{(char)(ch & 0xFF), (char)(ch >> 8)};
    return bytes;
}

bool WriteArchive(const std::wstring& strArchive, const std::vector<std::pair<std::wstring, std::string>>& entries)
{
    ZipHandle hZip = CreateZipArchive(strArchive.c_str(), 0, ZipKindFile);
    if (hZip == NULL)
        return false;
    bool bOk = true;
    for (const auto& entry : entries)
        bOk = bOk && AddToZipArchive(hZip, entry.first.c_str(), entry.second.data(), (DWORD)entry.second.size(),
                                     ZipKindMemory) == ZipOk;
    return CloseZipWriter(hZip) == ZipOk && bOk;
}

Bytes TextBytes(const std::wstring& text)
{
    const BYTE* p = reinterpret_cast<const BYTE*>(text.c_str());
    return Bytes(p, p + (text.size() + 1) * sizeof(wchar_t));
}

void SetText(HKEY hRoot, const std::wstring& key, const std::wstring& name, const std::wstring& text, DWORD dwType,
             REGSAM samView)
{
    SetValue(hRoot, key, name, dwType, TextBytes(text), samView);
}

bool GetValue(HKEY hRoot, const std::wstring& key, const std::wstring& name, DWORD& dwType, Bytes& data, REGSAM samView)
{
    HKEY hKey = NULL;
    if (RegOpenKeyExW(hRoot, key.c_str(), 0, KEY_READ | samView, &hKey) != ERROR_SUCCESS)
        return false;
    DWORD dwSize = 0;
    LONG n = RegQueryValueExW(hKey, name.c_str(), NULL, &dwType, NULL, &dwSize);
    data.assign(dwSize, 0);
    if (n == ERROR_SUCCESS && dwSize > 0)
        n = RegQueryValueExW(hKey, name.c_str(), NULL, &dwType, data.data(), &dwSize);
    RegCloseKey(hKey);
    return n == ERROR_SUCCESS;
}

std::wstring GetText(HKEY hRoot, const std::wstring& key, const std::wstring& name, REGSAM samView)
{
    DWORD dwType = 0;
    Bytes data;
    if (!GetValue(hRoot, key, name, dwType, data, samView))
        return L"(none)";
    std::wstring text((const wchar_t*)data.data(), data.size() / sizeof(wchar_t));
    while (!text.empty() && text.back() == L'\0')
        text.pop_back();
    return text;
}

bool KeyExists(HKEY hRoot, const std::wstring& key, REGSAM samView)
{
    HKEY hKey = NULL;
    if (RegOpenKeyExW(hRoot, key.c_str(), 0, KEY_READ | samView, &hKey) != ERROR_SUCCESS)
        return false;
    RegCloseKey(hKey);
    return true;
}

void DeleteValue(HKEY hRoot, const std::wstring& key, const std::wstring& name, REGSAM samView)
{
    HKEY hKey = NULL;
    if (RegOpenKeyExW(hRoot, key.c_str(), 0, KEY_SET_VALUE | samView, &hKey) != ERROR_SUCCESS)
        return;
    RegDeleteValueW(hKey, name.c_str());
    RegCloseKey(hKey);
}

bool HostHas(const char* pszTool)
{
    return testsupport::RunHostCommand(std::string("PATH=/usr/local/bin:/usr/bin:/bin; command -v ") + pszTool) == 0;
}

bool PeersRequired()
{
    wchar_t szValue[8] = {};
    return GetEnvironmentVariableW(L"TAMSEL_REQUIRE_PEERS", szValue, 8) > 0 && lstrcmpW(szValue, L"1") == 0;
}

std::vector<COLORREF> IconPixels(HICON hIcon)
{
    std::vector<COLORREF> pixels;
    HDC hScreen = ::GetDC(NULL);
    HDC hDC = ::CreateCompatibleDC(hScreen);
    HBITMAP hBitmap = ::CreateCompatibleBitmap(hScreen, 16, 16);
    HGDIOBJ hOld = ::SelectObject(hDC, hBitmap);
    RECT rc = {0, 0, 16, 16};
    ::FillRect(hDC, &rc, (HBRUSH)::GetStockObject(WHITE_BRUSH));
    ::DrawIconEx(hDC, 0, 0, hIcon, 16, 16, 0, NULL, DI_NORMAL);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            pixels.push_back(::GetPixel(hDC, x, y));
    ::SelectObject(hDC, hOld);
    ::DeleteObject(hBitmap);
    ::DeleteDC(hDC);
    ::ReleaseDC(NULL, hScreen);
    return pixels;
}

} // namespace tooltest
