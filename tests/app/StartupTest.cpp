#include "tests/app/AppTestSupport.h"

#include <gtest/gtest.h>
#include <string>

using namespace testsupport;

namespace {
std::wstring TestFolder()
{
    wchar_t szPath[MAX_PATH];
    ::GetModuleFileNameW(NULL, szPath, MAX_PATH);
    std::wstring strPath = szPath;
    return strPath.substr(0, strPath.rfind(L'\\') + 1);
}

class Process
{
public:
    explicit Process(const std::wstring& strExe)
    {
        std::wstring strCmd = L"\"" + strExe + L"\"";
        STARTUPINFOW si = { sizeof(si) };
        m_bStarted = ::CreateProcessW(NULL, &strCmd[0], NULL, NULL, FALSE, 0, NULL, NULL, &si, &m_pi) != FALSE;
    }
    ~Process()
    {
        if (!m_bStarted)
            return;
        if (::WaitForSingleObject(m_pi.hProcess, 0) != WAIT_OBJECT_0)
            ::TerminateProcess(m_pi.hProcess, 1);
        ::CloseHandle(m_pi.hThread);
        ::CloseHandle(m_pi.hProcess);
    }
    bool Started() const { return m_bStarted; }
    DWORD Id() const { return m_pi.dwProcessId; }
    bool WaitForEnd(DWORD dwMs) const { return ::WaitForSingleObject(m_pi.hProcess, dwMs) == WAIT_OBJECT_0; }

private:
    bool m_bStarted = false;
    PROCESS_INFORMATION m_pi = {};
};

int CountKeys(const std::wstring& strFile, LPCWSTR pszSection)
{
    wchar_t szKeys[8192] = {};
    ::GetPrivateProfileStringW(pszSection, NULL, L"", szKeys, 8192, strFile.c_str());
    int nKeys = 0;
    for (const wchar_t* p = szKeys; *p; p += wcslen(p) + 1)
        ++nKeys;
    return nKeys;
}
} // namespace

// A first start in an empty folder prepares it; a second start raises the
// first copy and ends; closing the window writes the settings.
TEST(Startup, SecondStartRaisesTheFirstAndEnds)
{
    ScratchFolder folder;
    wchar_t szWindows[MAX_PATH] = {};
    ::GetWindowsDirectoryW(szWindows, MAX_PATH);
    std::wstring strJob = std::wstring(szWindows) + L"\\Tasks\\Tamsel Schedule.job";
    ::DeleteFileW(strJob.c_str());
    std::wstring strExe = folder.File(L"Tamsel.exe");
    ASSERT_TRUE(::CopyFileW((TestFolder() + L"Tamsel.exe").c_str(), strExe.c_str(), FALSE));
    bool bSchedulerRunning = SchedulerRunning();

    Process first(strExe);
    ASSERT_TRUE(first.Started());
    HWND hWnd = NULL;
    ASSERT_TRUE(WaitFor([&] { return (hWnd = FindProcessWindow(first.Id())) != NULL; }, 30000));
    EXPECT_NE(::GetFileAttributesW(folder.File(L"Utilities").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_NE(::GetFileAttributesW(folder.File(L"Language\\English.ini").c_str()), INVALID_FILE_ATTRIBUTES);
    wchar_t szTitle[64] = {};
    ::GetWindowTextW(hWnd, szTitle, 64);
    EXPECT_STREQ(szTitle, L"Tamsel");

    ::ShowWindow(hWnd, SW_MINIMIZE);
    ASSERT_TRUE(WaitFor([&] { return ::IsIconic(hWnd) != FALSE; }, 5000));
    {
        Process second(strExe);
        ASSERT_TRUE(second.Started());
        EXPECT_TRUE(second.WaitForEnd(30000));
    }
    EXPECT_TRUE(WaitFor([&] { return !::IsIconic(hWnd); }, 5000)) << "the first copy was not restored";
    EXPECT_FALSE(first.WaitForEnd(0));

    ::PostMessageW(hWnd, WM_CLOSE, 0, 0);
    EXPECT_TRUE(first.WaitForEnd(30000));

    std::wstring strSettings = folder.File(L"Settings.ini");
    EXPECT_EQ(CountKeys(strSettings, L"General Options"), 16);
    EXPECT_EQ(CountKeys(strSettings, L"General Settings"), 5);  // with Language
    EXPECT_EQ(CountKeys(strSettings, L"ScanLog"), 31);
    wchar_t szLanguage[64] = {};
    ::GetPrivateProfileStringW(L"General Settings", L"Language", L"", szLanguage, 64, strSettings.c_str());
    EXPECT_STREQ(szLanguage, L"English");
    // The weekly job was asked for by default, made, and the request cleared.
    if (bSchedulerRunning)
    {
        EXPECT_NE(::GetFileAttributesW(strJob.c_str()), INVALID_FILE_ATTRIBUTES);
        EXPECT_EQ((int)::GetPrivateProfileIntW(L"General Options", L"Schedule Task", -1, strSettings.c_str()), 0);
    }
    ::DeleteFileW(strJob.c_str());
    ::WritePrivateProfileStringW(NULL, NULL, NULL, strSettings.c_str());
}
