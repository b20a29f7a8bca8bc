#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <shlwapi.h>
#include <vector>

namespace testsupport {

bool PeersRequired()
{
    wchar_t szValue[8] = {};
    DWORD dwLength = ::GetEnvironmentVariableW(L"TAMSEL_REQUIRE_PEERS", szValue, 8);
    return dwLength > 0 && dwLength < 8 && wcscmp(szValue, L"1") == 0;
}

std::wstring CurrentTestName()
{
    const ::testing::TestInfo* pInfo = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = pInfo ? std::string(pInfo->test_suite_name()) + "." + pInfo->name() : "NoTest";
    std::wstring result;
    for (char c : name)
        result += (c == '/' || c == '\\') ? L'_' : (wchar_t)(unsigned char)c;
    return result;
}

ScratchRegKey::ScratchRegKey()
{
    m_strPath = L"Software\\TamselTest\\" + CurrentTestName();
    SHDeleteKeyW(HKEY_CURRENT_USER, m_strPath.c_str());
    RegCreateKeyExW(HKEY_CURRENT_USER, m_strPath.c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL, &m_hKey, NULL);
}

ScratchRegKey::~ScratchRegKey()
{
    if (m_hKey)
        RegCloseKey(m_hKey);
    SHDeleteKeyW(HKEY_CURRENT_USER, m_strPath.c_str());
}

ScratchFolder::ScratchFolder()
{
    wchar_t szTemp[MAX_PATH];
    GetTempPathW(MAX_PATH, szTemp);
    std::wstring root = std::wstring(szTemp) + L"TamselTest\\";
    CreateDirectoryW(root.c_str(), NULL);
    m_strPath = root + CurrentTestName() + L"\\";
    RemoveTree(m_strPath);
    CreateDirectoryW(m_strPath.c_str(), NULL);
}

ScratchFolder::~ScratchFolder()
{
    RemoveTree(m_strPath);
}

bool RemoveTree(const std::wstring& strPath)
{
    std::wstring base = strPath;
    if (!base.empty() && base.back() != L'\\')
        base += L'\\';
    WIN32_FIND_DATAW fd;
    HANDLE hFind = FindFirstFileW((base + L"*").c_str(), &fd);
    if (hFind != INVALID_HANDLE_VALUE)
    {
        do
        {
            std::wstring name = fd.cFileName;
            if (name == L"." || name == L"..")
                continue;
            std::wstring full = base + name;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(full);
            else
            {
                SetFileAttributesW(full.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileW(full.c_str());
            }
        } while (FindNextFileW(hFind, &fd));
        FindClose(hFind);
    }
    RemoveDirectoryW(base.c_str());
    return GetFileAttributesW(base.c_str()) == INVALID_FILE_ATTRIBUTES;
}

SYSTEMTIME SystemTimeOf(WORD wYear, WORD wMonth, WORD wDay, WORD wHour, WORD wMinute, WORD wSecond)
{
    SYSTEMTIME st = {};
    st.wYear = wYear;
    st.wMonth = wMonth;
    st.wDay = wDay;
    st.wHour = wHour;
    st.wMinute = wMinute;
    st.wSecond = wSecond;
    return st;
}

namespace {
struct FindWindowData
{
    DWORD dwProcessId;
    HWND hFound;
};

BOOL CALLBACK FindProcessWindowProc(HWND hWnd, LPARAM lParam)
{
    FindWindowData* pData = reinterpret_cast<FindWindowData*>(lParam);
    DWORD dwPid = 0;
    GetWindowThreadProcessId(hWnd, &dwPid);
    if (dwPid == pData->dwProcessId && IsWindowVisible(hWnd) && GetWindow(hWnd, GW_OWNER) == NULL)
    {
        pData->hFound = hWnd;
        return FALSE;
    }
    return TRUE;
}
} // namespace

HWND FindProcessWindow(DWORD dwProcessId)
{
    FindWindowData data = { dwProcessId, NULL };
    EnumWindows(FindProcessWindowProc, reinterpret_cast<LPARAM>(&data));
    return data.hFound;
}

std::wstring HostPath(const std::string& strUnixPath)
{
    std::wstring result = DrivePathOf(strUnixPath);
    if (GetFileAttributesW(result.c_str()) == INVALID_FILE_ATTRIBUTES)
        return std::wstring();
    return result;
}

unsigned ProcessSalt()
{
    static unsigned s_nSalt = 0;
    if (s_nSalt == 0)
    {
        LARGE_INTEGER li;
        QueryPerformanceCounter(&li);
        s_nSalt = (unsigned)(li.LowPart ^ (li.HighPart * 2654435761u) ^ (GetCurrentProcessId() << 16)) | 1u;
    }
    return s_nSalt;
}

bool SetKeyAccess(HKEY hRoot, const std::wstring& strPath, LPCWSTR pszDescriptor)
{
    typedef BOOL(WINAPI * CONVERT)(LPCWSTR, DWORD, PSECURITY_DESCRIPTOR*, PULONG);
    CONVERT pfnConvert = (CONVERT)::GetProcAddress(::GetModuleHandleW(L"advapi32.dll"),
                                                   "ConvertStringSecurityDescriptorToSecurityDescriptorW");
    PSECURITY_DESCRIPTOR pDescriptor = NULL;
    if (pfnConvert == NULL || !pfnConvert(pszDescriptor, 1, &pDescriptor, NULL))
        return false;
    HKEY hKey = NULL;
    bool bDone = ::RegOpenKeyExW(hRoot, strPath.c_str(), 0, WRITE_DAC, &hKey) == ERROR_SUCCESS &&
                 ::RegSetKeySecurity(hKey, DACL_SECURITY_INFORMATION, pDescriptor) == ERROR_SUCCESS;
    if (hKey != NULL)
        ::RegCloseKey(hKey);
    ::LocalFree(pDescriptor);
    return bDone;
}

} // namespace testsupport
