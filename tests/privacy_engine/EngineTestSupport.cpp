#include "EngineTestSupport.h"
#include "tests/support/HostPath.h"
#include "tests/support/TestSupport.h"
#include <shlwapi.h>

namespace {

const wchar_t kSessionManager[] = L"SYSTEM\\CurrentControlSet\\Control\\Session Manager";

} // namespace

std::vector<std::wstring> CRecordingSink::Lines() const
{
    std::vector<std::wstring> lines;
    for (const EvidenceRow& row : m_rows)
        lines.push_back(std::wstring(row.strLocation.GetString()) + L"|" + row.strName.GetString());
    return lines;
}

CPlantedRegistry::~CPlantedRegistry()
{
    for (auto it = m_saved.rbegin(); it != m_saved.rend(); ++it)
    {
        HKEY hKey = NULL;
        if (::RegOpenKeyExW(it->hRoot, it->strPath.c_str(), 0, KEY_ALL_ACCESS, &hKey) != ERROR_SUCCESS)
            continue;
        if (it->bExisted)
            ::RegSetValueExW(hKey, it->strName.c_str(), 0, it->dwType, it->data.data(), (DWORD)it->data.size());
        else
            ::RegDeleteValueW(hKey, it->strName.c_str());
        ::RegCloseKey(hKey);
    }
    for (auto it = m_created.rbegin(); it != m_created.rend(); ++it)
        ::SHDeleteKeyW(it->first, it->second.c_str());
}

void CPlantedRegistry::Save(HKEY hRoot, const std::wstring& strPath, const std::wstring& strName)
{
    // The outermost missing key is removed afterwards, with all below it.
    std::wstring strSoFar;
    size_t nStart = 0;
    while (nStart <= strPath.size())
    {
        size_t nEnd = strPath.find(L'\\', nStart);
        if (nEnd == std::wstring::npos)
            nEnd = strPath.size();
        strSoFar = strPath.substr(0, nEnd);
        HKEY hKey = NULL;
        if (::RegOpenKeyExW(hRoot, strSoFar.c_str(), 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        {
            m_created.push_back(std::make_pair(hRoot, strSoFar));
            break;
        }
        ::RegCloseKey(hKey);
        nStart = nEnd + 1;
    }
    Saved saved = {hRoot, strPath, strName, false, 0, {}};
    HKEY hKey = NULL;
    if (::RegOpenKeyExW(hRoot, strPath.c_str(), 0, KEY_READ, &hKey) == ERROR_SUCCESS)
    {
        DWORD nBytes = 0;
        if (::RegQueryValueExW(hKey, strName.c_str(), NULL, &saved.dwType, NULL, &nBytes) == ERROR_SUCCESS)
        {
            saved.data.resize(nBytes);
            saved.bExisted = ::RegQueryValueExW(hKey, strName.c_str(), NULL, &saved.dwType,
                                                nBytes ? saved.data.data() : NULL, &nBytes) == ERROR_SUCCESS;
        }
        ::RegCloseKey(hKey);
    }
    m_saved.push_back(saved);
}

void CPlantedRegistry::SetText(HKEY hRoot, const std::wstring& strPath, const std::wstring& strName,
                               const std::wstring& strText, DWORD dwType)
{
    SetBytes(hRoot, strPath, strName, dwType, strText.c_str(), (DWORD)((strText.size() + 1) * sizeof(wchar_t)));
}

void CPlantedRegistry::SetBytes(HKEY hRoot, const std::wstring& strPath, const std::wstring& strName, DWORD dwType,
                                const void* pData, DWORD nBytes)
{
    Save(hRoot, strPath, strName);
    HKEY hKey = NULL;
    if (::RegCreateKeyExW(hRoot, strPath.c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL, &hKey, NULL) != ERROR_SUCCESS)
        return;
    ::RegSetValueExW(hKey, strName.c_str(), 0, dwType, (const BYTE*)pData, nBytes);
    ::RegCloseKey(hKey);
}

void CPlantedRegistry::Remove(HKEY hRoot, const std::wstring& strPath, const std::wstring& strName)
{
    Save(hRoot, strPath, strName);
    HKEY hKey = NULL;
    if (::RegOpenKeyExW(hRoot, strPath.c_str(), 0, KEY_ALL_ACCESS, &hKey) != ERROR_SUCCESS)
        return;
    ::RegDeleteValueW(hKey, strName.c_str());
    ::RegCloseKey(hKey);
}

void PlantFile(const std::wstring& strPath, const std::string& strBytes)
{
    for (size_t nSlash = strPath.find(L'\\', 3); nSlash != std::wstring::npos; nSlash = strPath.find(L'\\', nSlash + 1))
        ::CreateDirectoryW(strPath.substr(0, nSlash).c_str(), NULL);
    testsupport::WriteFileBytes(strPath, strBytes);
}

bool FileExists(const std::wstring& strPath)
{
    DWORD dwAttributes = ::GetFileAttributesW(strPath.c_str());
    return dwAttributes != INVALID_FILE_ATTRIBUTES && !(dwAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool FolderExists(const std::wstring& strPath)
{
    DWORD dwAttributes = ::GetFileAttributesW(strPath.c_str());
    return dwAttributes != INVALID_FILE_ATTRIBUTES && (dwAttributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string UnixPathOf(const std::wstring& strPath)
{
    std::string strUnix = testsupport::UnixPathOf(strPath);
    while (strUnix.size() > 1 && strUnix.back() == '/')
        strUnix.pop_back();
    return strUnix;
}

std::string Narrow(const std::wstring& str)
{
    return CString(str.c_str()).ToUtf8();
}

std::wstring HostOutputFile()
{
    // Not the test's scratch folder: making that anew would empty it.
    static LONG s_nCounter = 0;
    wchar_t szTemp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, szTemp);
    return std::wstring(szTemp) + L"tamsel-engine-host-" + std::to_wstring(::GetCurrentProcessId()) + L"-" +
           std::to_wstring(::InterlockedIncrement(&s_nCounter)) + L".txt";
}

bool HostLines(const std::string& strCommand, std::set<std::string>& lines)
{
    lines.clear();
    std::wstring strFile = HostOutputFile();
    ::DeleteFileW(strFile.c_str());
    std::string strOut = UnixPathOf(strFile);
    if (strOut.empty() || testsupport::RunHostCommand("(" + strCommand + ") > '" + strOut + "'") != 0)
    {
        ::DeleteFileW(strFile.c_str());
        return false;
    }
    std::string strText = testsupport::ReadFileBytes(strFile);
    ::DeleteFileW(strFile.c_str());
    size_t nStart = 0;
    while (nStart < strText.size())
    {
        size_t nEnd = strText.find('\n', nStart);
        if (nEnd == std::string::npos)
            nEnd = strText.size();
        std::string strLine = strText.substr(nStart, nEnd - nStart);
        if (!strLine.empty() && strLine.back() == '\r')
            strLine.pop_back();
        if (!strLine.empty())
            lines.insert(strLine);
        nStart = nEnd + 1;
    }
    return true;
}

std::vector<std::wstring> PendingRenames()
{
    std::vector<std::wstring> names;
    HKEY hKey = NULL;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return names;
    DWORD nBytes = 0;
    if (::RegQueryValueExW(hKey, L"PendingFileRenameOperations", NULL, NULL, NULL, &nBytes) == ERROR_SUCCESS && nBytes)
    {
        std::vector<wchar_t> data(nBytes / sizeof(wchar_t) + 2, L'\0');
        if (::RegQueryValueExW(hKey, L"PendingFileRenameOperations", NULL, NULL, (BYTE*)data.data(), &nBytes) == ERROR_SUCCESS)
        {
            // Pairs of source and target; the target of a delete is empty.
            for (const wchar_t* p = data.data(); p < data.data() + nBytes / sizeof(wchar_t) && *p; p += wcslen(p) + 1)
            {
                names.push_back(p);
                p += wcslen(p) + 1;
                if (p >= data.data() + nBytes / sizeof(wchar_t))
                    break;
            }
        }
    }
    ::RegCloseKey(hKey);
    return names;
}

void ClearPendingRenames()
{
    HKEY hKey = NULL;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kSessionManager, 0, KEY_SET_VALUE, &hKey) != ERROR_SUCCESS)
        return;
    ::RegDeleteValueW(hKey, L"PendingFileRenameOperations");
    ::RegCloseKey(hKey);
}
