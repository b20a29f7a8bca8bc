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

bool WriteFileBytes(const std::wstring& strPath, const std::string& bytes)
{
    HANDLE h = CreateFileW(strPath.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    DWORD dwWritten = 0;
    BOOL bOk = WriteFile(h, bytes.data(), (DWORD)bytes.size(), &dwWritten, NULL);
    CloseHandle(h);
    return bOk && dwWritten == bytes.size();
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

std::string ReadFileBytes(const std::wstring& strPath)
{
    HANDLE h = CreateFileW(strPath.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (h == INVALID_HANDLE_VALUE)
        return std::string();
    std::string data;
    char buf[65536];
    DWORD dwRead = 0;
    while (ReadFile(h, buf, sizeof(buf), &dwRead, NULL) && dwRead > 0)
        data.append(buf, dwRead);
    CloseHandle(h);
    return data;
}

bool WaitFor(const std::function<bool()>& condition, DWORD dwTimeoutMs)
{
    DWORD dwStart = GetTickCount();
    for (;;)
    {
        MSG msg;
        while (PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE))
        {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (condition())
            return true;
        if (GetTickCount() - dwStart >= dwTimeoutMs)
            return false;
        MsgWaitForMultipleObjects(0, NULL, FALSE, 20, QS_ALLINPUT);
    }
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
    std::wstring result = L"Z:";
    for (char c : strUnixPath)
        result += (c == '/') ? L'\\' : (wchar_t)(unsigned char)c;
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

int RunHostCommand(const std::string& strCommand, DWORD dwTimeoutMs)
{
    static LONG s_nCounter = 0;
    char szMarker[128];
    // Suites run side by side in prefixes of their own, whose process ids repeat:
    // the counter reading keeps one suite's marker apart from another's.
    LARGE_INTEGER li;
    QueryPerformanceCounter(&li);
    wsprintfA(szMarker, "/tmp/tamsel-host-%lu-%ld-%08lx%08lx.rc", GetCurrentProcessId(), InterlockedIncrement(&s_nCounter),
              (unsigned long)li.HighPart, (unsigned long)li.LowPart);
    std::wstring markerWin = L"Z:";
    for (const char* p = szMarker; *p; ++p)
        markerWin += (*p == '/') ? L'\\' : (wchar_t)*p;
    DeleteFileW(markerWin.c_str());

    std::string script = "( " + strCommand + " ) >/dev/null 2>&1; echo $? > " + szMarker + ".tmp; mv " + szMarker + ".tmp " + szMarker;
    std::wstring cmd = L"Z:\\bin\\sh -c \"";
    for (char c : script)
    {
        if (c == '"' || c == '\\')
            cmd += L'\\';
        cmd += (wchar_t)(unsigned char)c;
    }
    cmd += L"\"";
    std::vector<wchar_t> buf(cmd.begin(), cmd.end());
    buf.push_back(0);
    STARTUPINFOW si = { sizeof(si) };
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(NULL, buf.data(), NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi))
        return -1;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    bool bDone = WaitFor([&] { return GetFileAttributesW(markerWin.c_str()) != INVALID_FILE_ATTRIBUTES; }, dwTimeoutMs);
    if (!bDone)
        return -1;
    std::string text = ReadFileBytes(markerWin);
    DeleteFileW(markerWin.c_str());
    return atoi(text.c_str());
}

} // namespace testsupport
