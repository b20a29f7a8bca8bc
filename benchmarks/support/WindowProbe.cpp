#include "benchmarks/support/WindowProbe.h"
#include "benchmarks/support/BenchSupport.h"

namespace benchsupport {

namespace {

struct CFind
{
    DWORD dwProcessId;
    LPCWSTR pszMark;
    HWND hWnd;
};

BOOL CALLBACK FindVisibleWindow(HWND hWnd, LPARAM lParam)
{
    CFind* pFind = (CFind*)lParam;
    DWORD dwProcessId = 0;
    ::GetWindowThreadProcessId(hWnd, &dwProcessId);
    if ((pFind->dwProcessId != 0 && dwProcessId != pFind->dwProcessId) || !::IsWindowVisible(hWnd))
        return TRUE;
    if (pFind->pszMark != NULL && ::GetPropW(hWnd, pFind->pszMark) == NULL)
        return TRUE;
    pFind->hWnd = hWnd;
    return FALSE;
}

// One file per benchmark process: two benchmarks on two displays stop only
// their own manager.
std::string ManagerPidFile()
{
    return "/tmp/tamsel-bench-window-manager-" + std::to_string(::GetCurrentProcessId()) + ".pid";
}

} // namespace

std::wstring ProgramFolder()
{
    wchar_t szPath[MAX_PATH] = {};
    ::GetModuleFileNameW(NULL, szPath, MAX_PATH);
    std::wstring strPath(szPath);
    return strPath.substr(0, strPath.rfind(L'\\') + 1);
}

bool StartProbedProgram(const std::wstring& strExe, const std::wstring& strFolder, CProbedProgram& program)
{
    program = CProbedProgram();
    std::wstring strCommand = L"\"" + strExe + L"\"";
    STARTUPINFOW si = {sizeof(si)};
    program.dStart = NowSeconds();
    return ::CreateProcessW(NULL, &strCommand[0], NULL, NULL, FALSE, 0, NULL, strFolder.c_str(), &si, &program.pi) !=
           FALSE;
}

bool WaitForMainWindow(CProbedProgram& program, LPCWSTR pszMark, DWORD dwWaitMs)
{
    CFind find = {program.pi.dwProcessId, pszMark, NULL};
    for (;;)
    {
        ::EnumWindows(FindVisibleWindow, (LPARAM)&find);
        double dElapsed = NowSeconds() - program.dStart;
        if (find.hWnd != NULL)
        {
            program.hWnd = find.hWnd;
            program.dVisible = dElapsed;
            return true;
        }
        if (dElapsed * 1000 > dwWaitMs || ::WaitForSingleObject(program.pi.hProcess, 0) == WAIT_OBJECT_0)
            return false;
        ::Sleep(2);
    }
}

double AnswerTime(HWND hWnd, DWORD dwLimitMs)
{
    double dSent = NowSeconds();
    DWORD_PTR dwResult = 0;
    if (::SendMessageTimeoutW(hWnd, WM_NULL, 0, 0, SMTO_NORMAL, dwLimitMs, &dwResult) == 0)
        return -1;
    return NowSeconds() - dSent;
}

void CloseProbedProgram(CProbedProgram& program, DWORD dwWaitMs)
{
    if (program.pi.hProcess == NULL)
        return;
    if (program.hWnd != NULL)
        ::PostMessageW(program.hWnd, WM_CLOSE, 0, 0);
    if (::WaitForSingleObject(program.pi.hProcess, dwWaitMs) != WAIT_OBJECT_0)
    {
        ::TerminateProcess(program.pi.hProcess, 1);
        ::WaitForSingleObject(program.pi.hProcess, 5000);
    }
    ::CloseHandle(program.pi.hThread);
    ::CloseHandle(program.pi.hProcess);
    program.pi = PROCESS_INFORMATION();
}

HWND FindMarkedWindow(LPCWSTR pszMark)
{
    CFind find = {0, pszMark, NULL};
    ::EnumWindows(FindVisibleWindow, (LPARAM)&find);
    return find.hWnd;
}

std::string FindWindowManager()
{
    for (const char* pszManager : {"matchbox-window-manager", "openbox", "fluxbox"})
        if (RunHost(std::string("command -v ") + pszManager) == 0)
            return pszManager;
    return std::string();
}

bool StartWindowManager(const std::string& strManager)
{
    // Started in the background on the display Wine uses; its process id is
    // kept so that only this manager is stopped afterwards.
    std::string strCommand = "setsid " + strManager + " </dev/null >/dev/null 2>&1 & echo $! > " + ManagerPidFile();
    if (RunHost(strCommand) != 0)
        return false;
    ::Sleep(1000);  // time to take over the display
    return RunHost("kill -0 $(cat " + ManagerPidFile() + ")") == 0;
}

void StopWindowManager()
{
    RunHost("kill $(cat " + ManagerPidFile() + ") && rm -f " + ManagerPidFile());
    ::Sleep(500);
}

} // namespace benchsupport
