#include "tests/scanner/ScanTestSupport.h"
#include "app/TamselApp.h"
#include "scanner/ScanThread.h"
#include <sddl.h>
#include <shlwapi.h>

// The application object of the test executable.
CTamselApp theApp;

namespace scantest {

void CRecordingSink::AddCategoryRows(const CString* pNames, int nCount)
{
    m_arrCalls.push_back(L"categories");
    for (int i = 0; i < nCount; i++)
        m_arrCategories.push_back((LPCWSTR)pNames[i]);
}

void CRecordingSink::AddProblemRows(const CScanResultRow* pRows, int nCount)
{
    m_arrCalls.push_back(L"rows");
    m_nBatches++;
    m_arrRows.insert(m_arrRows.end(), pRows, pRows + nCount);
}

std::vector<CScanFeedItem> Deliver(CScanFeed& feed, CScanResultSink& sink)
{
    std::vector<CScanFeedItem> items;
    feed.TakeAll(items);
    std::vector<CScanResultRow> rows;
    auto flush = [&]() {
        if (!rows.empty())
            sink.AddProblemRows(rows.data(), (int)rows.size());
        rows.clear();
    };
    for (const CScanFeedItem& item : items)
    {
        if (item.nKind == FEED_PROBLEM_ROW)
        {
            rows.push_back(item.row);
            continue;
        }
        flush();
        if (item.nKind == FEED_CLEAR_RESULTS)
            sink.ClearResults();
        else if (item.nKind == FEED_CATEGORY_ROWS)
            sink.AddCategoryRows(item.arrNames.GetData(), (int)item.arrNames.GetSize());
    }
    flush();
    return items;
}

HeadlessScan::HeadlessScan()
{
    scan.m_pProblems = arrProblems;
    scan.m_pRepair = arrRepair;
    for (int i = 0; i < SCAN_CATEGORIES; i++)
        scan.m_strCategoryNames[i].Format(L"Category slot %d", i);
    for (int i = 1; i < SCAN_DESCRIPTIONS; i++)
        scan.m_strDescriptions[i].Format(L"Description %d", i);
}

void HeadlessScan::Only(std::initializer_list<int> categories)
{
    for (int i = 0; i < SCAN_CATEGORIES; i++)
        scan.m_bScanCategory[i] = FALSE;
    for (int n : categories)
        scan.m_bScanCategory[CTamselApp::KeySlotOfCategory(n)] = TRUE;
}

void HeadlessScan::Ignore(const CString& strEntry)
{
    arrIgnore.Add(strEntry);
}

void HeadlessScan::Run()
{
    scan.m_ignoreList.Load(arrIgnore);
    RunScan(scan);
    items = Deliver(scan.m_feed, sink);
}

DWORD HeadlessScan::StopAtItem(const std::wstring& strPrefix)
{
    HANDLE hReached = ::CreateEventW(NULL, TRUE, FALSE, NULL);
    HANDLE hStopped = ::CreateEventW(NULL, TRUE, FALSE, NULL);
    bool bFired = false;
    scan.m_fnItemShown = [&](const CString& strItem) {
        if (bFired || strItem.Find(strPrefix.c_str()) != 0)
            return;
        bFired = true;
        ::SetEvent(hReached);
        ::WaitForSingleObject(hStopped, 10000);
    };
    scan.m_ignoreList.Load(arrIgnore);
    HANDLE hThread = AfxBeginWorker(ScanThreadProc, &scan, 8 * 1024 * 1024, STACK_SIZE_PARAM_IS_A_RESERVATION);
    EXPECT_NE(hThread, nullptr);
    DWORD dwTaken = INFINITE;
    if (hThread != NULL)
    {
        // A worker that ends without showing such an item is not waited for.
        HANDLE hWait[2] = {hReached, hThread};
        if (::WaitForMultipleObjects(2, hWait, FALSE, 60000) == WAIT_OBJECT_0)
        {
            DWORD dwStart = ::GetTickCount();
            scan.Stop();
            ::SetEvent(hStopped);
            if (::WaitForSingleObject(hThread, 20000) == WAIT_OBJECT_0)
                dwTaken = ::GetTickCount() - dwStart;
        }
        ::SetEvent(hStopped);
        ::WaitForSingleObject(hThread, 60000);
        ::CloseHandle(hThread);
    }
    ::CloseHandle(hReached);
    ::CloseHandle(hStopped);
    scan.m_fnItemShown = nullptr;
    items = Deliver(scan.m_feed, sink);
    return dwTaken;
}

std::vector<CScanResultRow> HeadlessScan::RowsWith(const std::wstring& strText) const
{
    std::vector<CScanResultRow> found;
    for (const CScanResultRow& row : sink.m_arrRows)
    {
        if (StrStrIW(row.strText, strText.c_str()) != NULL)
            found.push_back(row);
    }
    return found;
}

std::wstring NewGuid()
{
    GUID guid;
    ::CoCreateGuid(&guid);
    wchar_t szText[64];
    ::StringFromGUID2(guid, szText, 64);
    return szText;
}

std::wstring LowerCase(const std::wstring& str)
{
    std::wstring lower = str;
    if (!lower.empty())
        ::CharLowerBuffW(&lower[0], (DWORD)lower.size());
    return lower;
}

namespace {
// Sets a value of an existing key; the open's or the write's result.
LONG SetKeyValue(HKEY hRoot, REGSAM samView, const std::wstring& strPath, const std::wstring& strName, DWORD dwType,
                 const BYTE* pData, DWORD nBytes)
{
    HKEY hKey = NULL;
    LONG nResult = ::RegOpenKeyExW(hRoot, strPath.c_str(), 0, KEY_SET_VALUE | samView, &hKey);
    if (nResult != ERROR_SUCCESS)
        return nResult;
    nResult = ::RegSetValueExW(hKey, strName.empty() ? NULL : strName.c_str(), 0, dwType, pData, nBytes);
    ::RegCloseKey(hKey);
    return nResult;
}

LONG SetKeyString(HKEY hRoot, REGSAM samView, const std::wstring& strPath, const std::wstring& strName,
                  const std::wstring& strData, DWORD dwType)
{
    return SetKeyValue(hRoot, samView, strPath, strName, dwType, (const BYTE*)strData.c_str(),
                       (DWORD)((strData.size() + 1) * sizeof(wchar_t)));
}
}  // namespace

ClassesKeys::~ClassesKeys()
{
    for (const std::wstring& strPath : m_arrReadOnly)
    {
        HKEY hKey = NULL;
        if (::RegOpenKeyExW(m_hRoot, strPath.c_str(), 0, WRITE_DAC, &hKey) == ERROR_SUCCESS)
        {
            PSECURITY_DESCRIPTOR pSD = NULL;
            if (::ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:P(A;;KA;;;WD)", SDDL_REVISION_1, &pSD, NULL))
            {
                ::RegSetKeySecurity(hKey, DACL_SECURITY_INFORMATION, pSD);
                ::LocalFree(pSD);
            }
            ::RegCloseKey(hKey);
        }
    }
    for (const auto& value : m_arrValues)
    {
        HKEY hKey = NULL;
        if (::RegOpenKeyExW(m_hRoot, value.first.c_str(), 0, KEY_SET_VALUE, &hKey) == ERROR_SUCCESS)
        {
            ::RegDeleteValueW(hKey, value.second.empty() ? NULL : value.second.c_str());
            ::RegCloseKey(hKey);
        }
    }
    for (auto it = m_arrRoots.rbegin(); it != m_arrRoots.rend(); ++it)
        ::SHDeleteKeyW(m_hRoot, it->c_str());
}

bool ClassesKeys::Create(const std::wstring& strPath)
{
    // The first new level is what goes at the end.
    std::wstring strRoot;
    size_t nPos = 0;
    while (true)
    {
        size_t nNext = strPath.find(L'\\', nPos);
        std::wstring strPart = strPath.substr(0, nNext);
        HKEY hKey = NULL;
        if (::RegOpenKeyExW(m_hRoot, strPart.c_str(), 0, KEY_READ, &hKey) == ERROR_SUCCESS)
            ::RegCloseKey(hKey);
        else
        {
            strRoot = strPart;
            break;
        }
        if (nNext == std::wstring::npos)
            return true;
        nPos = nNext + 1;
    }
    HKEY hKey = NULL;
    if (::RegCreateKeyExW(m_hRoot, strPath.c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL, &hKey, NULL) !=
        ERROR_SUCCESS)
        return false;
    ::RegCloseKey(hKey);
    m_arrRoots.push_back(strRoot);
    return true;
}

bool ClassesKeys::SetString(const std::wstring& strPath, const std::wstring& strName, const std::wstring& strData,
                            DWORD dwType)
{
    if (!Create(strPath) || SetKeyString(m_hRoot, 0, strPath, strName, strData, dwType) != ERROR_SUCCESS)
        return false;
    m_arrValues.push_back({strPath, strName});
    return true;
}

bool ClassesKeys::SetDword(const std::wstring& strPath, const std::wstring& strName, DWORD dwValue)
{
    if (!Create(strPath) ||
        SetKeyValue(m_hRoot, 0, strPath, strName, REG_DWORD, (const BYTE*)&dwValue, sizeof(dwValue)) != ERROR_SUCCESS)
        return false;
    m_arrValues.push_back({strPath, strName});
    return true;
}

bool ClassesKeys::MakeReadOnly(const std::wstring& strPath)
{
    HKEY hKey = NULL;
    if (::RegOpenKeyExW(m_hRoot, strPath.c_str(), 0, WRITE_DAC, &hKey) != ERROR_SUCCESS)
        return false;
    PSECURITY_DESCRIPTOR pSD = NULL;
    bool bDone = false;
    if (::ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:P(A;;KRWD;;;WD)", SDDL_REVISION_1, &pSD, NULL))
    {
        bDone = ::RegSetKeySecurity(hKey, DACL_SECURITY_INFORMATION, pSD) == ERROR_SUCCESS;
        ::LocalFree(pSD);
    }
    ::RegCloseKey(hKey);
    if (bDone)
        m_arrReadOnly.push_back(strPath);
    return bDone;
}

RedirectionOff::RedirectionOff()
{
    typedef BOOL(WINAPI * PFN)(PVOID*);
    PFN pfn = (PFN)(void*)::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "Wow64DisableWow64FsRedirection");
    m_bOff = pfn != NULL && pfn(&m_pState);
}

RedirectionOff::~RedirectionOff()
{
    typedef BOOL(WINAPI * PFN)(PVOID);
    PFN pfn = (PFN)(void*)::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "Wow64RevertWow64FsRedirection");
    if (m_bOff && pfn != NULL)
        pfn(m_pState);
}

PlantedFiles::~PlantedFiles()
{
    RedirectionOff off;
    for (auto it = m_arrFiles.rbegin(); it != m_arrFiles.rend(); ++it)
        ::DeleteFileW(it->c_str());
    for (auto it = m_arrFolders.rbegin(); it != m_arrFolders.rend(); ++it)
        ::RemoveDirectoryW(it->c_str());
}

std::wstring PlantedFiles::Folder(const wchar_t* pszVariable)
{
    wchar_t sz[MAX_PATH] = {};
    DWORD n = ::GetEnvironmentVariableW(pszVariable, sz, MAX_PATH);
    std::wstring str = n > 0 && n < MAX_PATH ? sz : L"";
    while (!str.empty() && str.back() == L'\\')
        str.pop_back();
    return str;
}

std::wstring PlantedFiles::SystemFolder()
{
    wchar_t sz[MAX_PATH] = {};
    ::GetSystemDirectoryW(sz, MAX_PATH);
    return sz;
}

std::wstring PlantedFiles::Wow64Folder()
{
    wchar_t sz[MAX_PATH] = {};
    ::GetSystemWow64DirectoryW(sz, MAX_PATH);
    return sz;
}

bool PlantedFiles::Add(const std::wstring& strPath)
{
    RedirectionOff off;
    for (size_t nPos = strPath.find(L'\\', 3); nPos != std::wstring::npos; nPos = strPath.find(L'\\', nPos + 1))
    {
        std::wstring strFolder = strPath.substr(0, nPos);
        if (::CreateDirectoryW(strFolder.c_str(), NULL))
            m_arrFolders.push_back(strFolder);
        else if (::GetLastError() != ERROR_ALREADY_EXISTS)
            return false;
    }
    HANDLE hFile = ::CreateFileW(strPath.c_str(), GENERIC_WRITE, 0, NULL, CREATE_NEW, 0, NULL);
    if (hFile == INVALID_HANDLE_VALUE)
        return false;
    DWORD nWritten = 0;
    ::WriteFile(hFile, "MZ", 2, &nWritten, NULL);
    ::CloseHandle(hFile);
    m_arrFiles.push_back(strPath);
    return true;
}

ViewKeys::~ViewKeys()
{
    for (auto it = m_arrPlanted.rbegin(); it != m_arrPlanted.rend(); ++it)
        Remove(*it);
}

bool ViewKeys::Create(const std::wstring& strPath)
{
    // Each missing ancestor is remembered, so that nothing is left behind.
    size_t nPos = 0;
    while (nPos != std::wstring::npos)
    {
        nPos = strPath.find(L'\\', nPos + 1);
        std::wstring strPart = strPath.substr(0, nPos);
        if (!Exists(strPart))
            m_arrPlanted.push_back(strPart);
        HKEY hKey = NULL;
        if (RegCreateKeyExW(m_hRoot, strPart.c_str(), 0, NULL, 0, KEY_ALL_ACCESS | m_samView, NULL, &hKey, NULL) !=
            ERROR_SUCCESS)
            return false;
        RegCloseKey(hKey);
    }
    return true;
}

bool ViewKeys::SetString(const std::wstring& strPath, const std::wstring& strName, const std::wstring& strData,
                         DWORD dwType)
{
    return Create(strPath) && SetKeyString(m_hRoot, m_samView, strPath, strName, strData, dwType) == ERROR_SUCCESS;
}

bool ViewKeys::Exists(const std::wstring& strPath) const
{
    HKEY hKey = NULL;
    if (RegOpenKeyExW(m_hRoot, strPath.c_str(), 0, KEY_READ | m_samView, &hKey) != ERROR_SUCCESS)
        return false;
    RegCloseKey(hKey);
    return true;
}

std::wstring ViewKeys::Read(const std::wstring& strPath, const std::wstring& strName) const
{
    wchar_t szData[512] = {};
    DWORD dwSize = sizeof(szData) - sizeof(wchar_t);
    HKEY hKey = NULL;
    if (RegOpenKeyExW(m_hRoot, strPath.c_str(), 0, KEY_READ | m_samView, &hKey) != ERROR_SUCCESS)
        return L"<no key>";
    LONG nResult = RegQueryValueExW(hKey, strName.c_str(), NULL, NULL, (BYTE*)szData, &dwSize);
    RegCloseKey(hKey);
    return nResult == ERROR_SUCCESS ? szData : L"<no value>";
}

void ViewKeys::Remove(const std::wstring& strPath)
{
    size_t nSlash = strPath.rfind(L'\\');
    HKEY hParent = NULL;
    if (nSlash == std::wstring::npos ||
        RegOpenKeyExW(m_hRoot, strPath.substr(0, nSlash).c_str(), 0, KEY_ALL_ACCESS | m_samView, &hParent) !=
            ERROR_SUCCESS)
        return;
    SHDeleteKeyW(hParent, strPath.substr(nSlash + 1).c_str());
    RegCloseKey(hParent);
}

SeparateViewKey::SeparateViewKey(LPCWSTR pszLinkPath, LPCWSTR pszTarget, bool bCreate)
    : m_strLinkPath(pszLinkPath), m_strTarget(pszTarget)
{
    typedef LONG(NTAPI * PFN_NT_DELETE_KEY)(HANDLE);
    PFN_NT_DELETE_KEY pfnDelete =
        (PFN_NT_DELETE_KEY)(void*)::GetProcAddress(::GetModuleHandleW(L"ntdll.dll"), "NtDeleteKey");
    HKEY hLink = NULL;
    if (pfnDelete == NULL || ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, pszLinkPath, REG_OPTION_OPEN_LINK,
                                             DELETE | KEY_QUERY_VALUE | KEY_WOW64_64KEY, &hLink) != ERROR_SUCCESS)
        return;
    DWORD dwType = 0;
    m_bWasLink = ::RegQueryValueExW(hLink, L"SymbolicLinkValue", NULL, &dwType, NULL, NULL) == ERROR_SUCCESS &&
                 dwType == REG_LINK;
    if (m_bWasLink)
        m_bSeparate = pfnDelete(hLink) >= 0;
    ::RegCloseKey(hLink);
    if (m_bSeparate && bCreate)
    {
        HKEY hKey = NULL;
        m_bSeparate = ::RegCreateKeyExW(HKEY_LOCAL_MACHINE, pszLinkPath, 0, NULL, 0, KEY_ALL_ACCESS | KEY_WOW64_64KEY,
                                        NULL, &hKey, NULL) == ERROR_SUCCESS;
        if (hKey != NULL)
            ::RegCloseKey(hKey);
    }
}

SeparateViewKey::~SeparateViewKey()
{
    if (!m_bWasLink || !m_bSeparate)
        return;
    // SHDeleteKey takes no view: the parent is opened in the 64-bit one.
    size_t nSlash = m_strLinkPath.rfind(L'\\');
    HKEY hParent = NULL;
    if (nSlash != std::wstring::npos &&
        ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, m_strLinkPath.substr(0, nSlash).c_str(), 0,
                        KEY_ALL_ACCESS | KEY_WOW64_64KEY, &hParent) == ERROR_SUCCESS)
    {
        ::SHDeleteKeyW(hParent, m_strLinkPath.substr(nSlash + 1).c_str());
        ::RegCloseKey(hParent);
    }
    HKEY hLink = NULL;
    if (::RegCreateKeyExW(HKEY_LOCAL_MACHINE, m_strLinkPath.c_str(), 0, NULL, REG_OPTION_CREATE_LINK,
                          KEY_ALL_ACCESS | KEY_CREATE_LINK | KEY_WOW64_64KEY, NULL, &hLink, NULL) != ERROR_SUCCESS)
        return;
    ::RegSetValueExW(hLink, L"SymbolicLinkValue", 0, REG_LINK, (const BYTE*)m_strTarget.c_str(),
                     (DWORD)(m_strTarget.size() * sizeof(wchar_t)));
    ::RegCloseKey(hLink);
}

} // namespace scantest
