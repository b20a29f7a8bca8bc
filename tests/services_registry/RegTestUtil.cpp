#include "tests/services_registry/RegTestUtil.h"

#include "services/RegFile.h"
#include "services/RegistryLink.h"
#include "tests/support/TestSupport.h"

#include <algorithm>
#include <shlwapi.h>

namespace regtest {

namespace {
std::wstring Lower(std::wstring text)
{
    CharLowerBuffW(&text[0], (DWORD)text.size());
    return text;
}

void SnapshotInto(HKEY hKey, const std::wstring& relPath, TreeSnapshot& snapshot)
{
    std::map<std::wstring, RawValue>& values = snapshot[Lower(relPath)];
    std::vector<wchar_t> name(32768);
    Bytes data(1024 * 1024);
    for (DWORD i = 0; ; ++i)
    {
        DWORD dwName = (DWORD)name.size(), dwData = (DWORD)data.size(), dwType = 0;
        if (RegEnumValueW(hKey, i, name.data(), &dwName, NULL, &dwType, data.data(), &dwData) != ERROR_SUCCESS)
            break;
        RawValue& value = values[Lower(std::wstring(name.data(), dwName))];
        value.dwType = dwType;
        value.data.assign(data.begin(), data.begin() + dwData);
    }
    std::vector<std::wstring> subKeys;
    for (DWORD i = 0; ; ++i)
    {
        DWORD dwName = (DWORD)name.size();
        if (RegEnumKeyExW(hKey, i, name.data(), &dwName, NULL, NULL, NULL, NULL) != ERROR_SUCCESS)
            break;
        subKeys.push_back(std::wstring(name.data(), dwName));
    }
    for (const std::wstring& sub : subKeys)
    {
        HKEY hSub = NULL;
        if (RegOpenKeyExW(hKey, sub.c_str(), 0, KEY_READ, &hSub) == ERROR_SUCCESS)
        {
            SnapshotInto(hSub, relPath.empty() ? sub : relPath + L"\\" + sub, snapshot);
            RegCloseKey(hSub);
        }
    }
}
} // namespace

Bytes TextBytes(const std::wstring& text, bool bTerminate)
{
    const BYTE* p = reinterpret_cast<const BYTE*>(text.c_str());
    return Bytes(p, p + (text.size() + (bTerminate ? 1 : 0)) * sizeof(wchar_t));
}

bool SetRaw(HKEY hKey, const std::wstring& name, DWORD dwType, const Bytes& data)
{
    return RegSetValueExW(hKey, name.c_str(), 0, dwType, data.empty() ? NULL : data.data(), (DWORD)data.size()) == ERROR_SUCCESS;
}

bool SetText(HKEY hKey, const std::wstring& name, const std::wstring& text, DWORD dwType)
{
    return SetRaw(hKey, name, dwType, TextBytes(text));
}

bool SetDword(HKEY hKey, const std::wstring& name, DWORD dwValue)
{
    const BYTE* p = reinterpret_cast<const BYTE*>(&dwValue);
    return SetRaw(hKey, name, REG_DWORD, Bytes(p, p + 4));
}

bool GetRaw(HKEY hRoot, const std::wstring& keyPath, const std::wstring& name, RawValue& value)
{
    HKEY hKey = NULL;
    if (RegOpenKeyExW(hRoot, keyPath.c_str(), 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return false;
    DWORD dwSize = 0;
    LONG nResult = RegQueryValueExW(hKey, name.c_str(), NULL, &value.dwType, NULL, &dwSize);
    if (nResult == ERROR_SUCCESS)
    {
        value.data.assign(dwSize, 0);
        nResult = RegQueryValueExW(hKey, name.c_str(), NULL, &value.dwType, value.data.empty() ? NULL : value.data.data(), &dwSize);
        value.data.resize(dwSize);
    }
    RegCloseKey(hKey);
    return nResult == ERROR_SUCCESS;
}

bool KeyExists(HKEY hRoot, const std::wstring& keyPath)
{
    HKEY hKey = NULL;
    if (RegOpenKeyExW(hRoot, keyPath.c_str(), 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return false;
    RegCloseKey(hKey);
    return true;
}

HKEY CreateKey(HKEY hParent, const std::wstring& path)
{
    HKEY hKey = NULL;
    RegCreateKeyExW(hParent, path.c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL, &hKey, NULL);
    return hKey;
}

TreeSnapshot Snapshot(HKEY hRoot, const std::wstring& keyPath)
{
    TreeSnapshot snapshot;
    HKEY hKey = NULL;
    if (RegOpenKeyExW(hRoot, keyPath.c_str(), 0, KEY_READ, &hKey) == ERROR_SUCCESS)
    {
        SnapshotInto(hKey, L"", snapshot);
        RegCloseKey(hKey);
    }
    return snapshot;
}

std::wstring Hex(const Bytes& data)
{
    std::wstring text;
    wchar_t sz[4];
    for (BYTE b : data)
    {
        wsprintfW(sz, L"%02x ", b);
        text += sz;
    }
    return text;
}

std::wstring Difference(const TreeSnapshot& expected, const TreeSnapshot& actual)
{
    std::wstring report;
    for (const auto& key : expected)
    {
        auto found = actual.find(key.first);
        if (found == actual.end())
        {
            report += L"missing key [" + key.first + L"]\n";
            continue;
        }
        for (const auto& value : key.second)
        {
            auto other = found->second.find(value.first);
            if (other == found->second.end())
                report += L"missing value [" + key.first + L"] \"" + value.first + L"\"\n";
            else if (!(other->second == value.second))
                report += L"changed value [" + key.first + L"] \"" + value.first + L"\": type " + std::to_wstring(value.second.dwType)
                          + L" " + Hex(value.second.data) + L"-> type " + std::to_wstring(other->second.dwType) + L" "
                          + Hex(other->second.data) + L"\n";
        }
        for (const auto& value : found->second)
        {
            if (key.second.find(value.first) == key.second.end())
                report += L"extra value [" + key.first + L"] \"" + value.first + L"\"\n";
        }
    }
    for (const auto& key : actual)
    {
        if (expected.find(key.first) == expected.end())
            report += L"extra key [" + key.first + L"]\n";
    }
    return report;
}

bool WriteRegText(const std::wstring& path, const std::wstring& text)
{
    std::string bytes("\xFF\xFE", 2);
    bytes.append((const char*)text.data(), text.size() * sizeof(wchar_t));
    return testsupport::WriteFileBytes(path, bytes);
}

std::wstring ReadRegText(const std::wstring& path, bool& bHasBom)
{
    std::string bytes = testsupport::ReadFileBytes(path);
    bHasBom = bytes.size() >= 2 && (BYTE)bytes[0] == 0xFF && (BYTE)bytes[1] == 0xFE;
    if (!bHasBom)
        return std::wstring();
    return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / sizeof(wchar_t));
}

void BeginRegFile(CRegFile& regFile, HANDLE hFile)
{
    DWORD dwWritten = 0;
    BYTE bom[2] = { 0xFF, 0xFE };
    WriteFile(hFile, bom, 2, &dwWritten, NULL);
    regFile.m_hFile = hFile;
    regFile.m_nCount = 0;
    regFile.m_nColumn = 0;
    regFile.PutString(L"Windows Registry Editor Version");
    regFile.PutString(L" ");
    regFile.PutString(L"5.00");
    regFile.PutString(L"\n\n");
}

DWORD ExportWithRegFile(const std::wstring& file, const std::wstring& keyPath)
{
    HANDLE h = CreateFileW(file.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (h == INVALID_HANDLE_VALUE)
        return GetLastError();
    CRegFile regFile;
    BeginRegFile(regFile, h);
    DWORD dwResult = regFile.ExportKey(keyPath.c_str());
    CloseHandle(h);
    return dwResult;
}

} // namespace regtest

namespace regtest {

std::wstring NtPathOf(HKEY hRoot, const std::wstring& path, REGSAM samView)
{
    HKEY hKey = NULL;
    if (::RegOpenKeyExW(hRoot, path.c_str(), REG_OPTION_OPEN_LINK, KEY_QUERY_VALUE | samView, &hKey) != ERROR_SUCCESS)
        return std::wstring();
    CString strPath;
    GetRegistryKeyNtPath(hKey, strPath);
    ::RegCloseKey(hKey);
    return strPath.Str();
}

bool CreateLinkKey(HKEY hRoot, const std::wstring& path, const std::wstring& target, REGSAM samView)
{
    HKEY hLink = NULL;
    if (::RegCreateKeyExW(hRoot, path.c_str(), 0, NULL, REG_OPTION_CREATE_LINK,
                          KEY_ALL_ACCESS | KEY_CREATE_LINK | samView, NULL, &hLink, NULL) != ERROR_SUCCESS)
        return false;
    LONG nResult = ::RegSetValueExW(hLink, L"SymbolicLinkValue", 0, REG_LINK, (const BYTE*)target.c_str(),
                                    (DWORD)(target.size() * sizeof(wchar_t)));
    if (nResult != ERROR_SUCCESS)
        DeleteRegistryKeyHandle(hLink);
    ::RegCloseKey(hLink);
    return nResult == ERROR_SUCCESS;
}

bool DeleteLinkKey(HKEY hRoot, const std::wstring& path, REGSAM samView)
{
    HKEY hLink = NULL;
    if (::RegOpenKeyExW(hRoot, path.c_str(), REG_OPTION_OPEN_LINK, DELETE | KEY_QUERY_VALUE | samView, &hLink) !=
        ERROR_SUCCESS)
        return false;
    bool bDeleted = GetRegistryLinkTarget(hLink) && DeleteRegistryKeyHandle(hLink) == ERROR_SUCCESS;
    ::RegCloseKey(hLink);
    return bDeleted;
}

bool IsLinkKey(HKEY hRoot, const std::wstring& path, REGSAM samView)
{
    HKEY hLink = NULL;
    if (::RegOpenKeyExW(hRoot, path.c_str(), REG_OPTION_OPEN_LINK, KEY_QUERY_VALUE | samView, &hLink) != ERROR_SUCCESS)
        return false;
    bool bLink = GetRegistryLinkTarget(hLink) != FALSE;
    ::RegCloseKey(hLink);
    return bLink;
}

} // namespace regtest
