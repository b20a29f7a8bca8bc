// Start-up time of Tamsel.exe against an empty dialog program.
//
// Starts each program five times, taking turns at going first, and measures
// from the process start to its main window being visible (for Tamsel the
// top-level window that carries the "Tamsel" window property, the running
// copy's mark); then closes it. Prints the best time of each and their
// ratio. Target: 1.3 or less.
//
// Run by hand under wine64 from the worktree (Tamsel.exe, its Settings.ini
// and empty_dialog.exe sit beside this program):
//   scripts/build.sh x86_64 -DTAMSEL_BUILD_BENCHMARKS=ON
//   export WINEPREFIX=/tmp/tamsel-bench WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml="
//   wine64 wineboot -i
//   wineserver -p            # one server for the whole run
//   wine64 build/x86_64/bin/startup_bench.exe
//   wineserver -k
#include <windows.h>
#include <stdio.h>
#include <string>

namespace {

const int kRuns = 5;
const DWORD kWaitMs = 30000;

struct CFind
{
    DWORD dwProcessId;
    bool bNeedsMark;
    HWND hWnd;
};

BOOL CALLBACK FindMainWindow(HWND hWnd, LPARAM lParam)
{
    CFind* pFind = (CFind*)lParam;
    DWORD dwProcessId = 0;
    ::GetWindowThreadProcessId(hWnd, &dwProcessId);
    if (dwProcessId != pFind->dwProcessId || !::IsWindowVisible(hWnd))
        return TRUE;
    if (pFind->bNeedsMark && ::GetPropW(hWnd, L"Tamsel") == NULL)
        return TRUE;
    pFind->hWnd = hWnd;
    return FALSE;
}

std::wstring Folder()
{
    wchar_t szPath[MAX_PATH] = {};
    ::GetModuleFileNameW(NULL, szPath, MAX_PATH);
    std::wstring strPath(szPath);
    return strPath.substr(0, strPath.rfind(L'\\') + 1);
}

// Seconds to the visible main window; a negative number on failure.
double TimeToWindow(const std::wstring& strExe, bool bNeedsMark)
{
    std::wstring strCommand = L"\"" + strExe + L"\"";
    STARTUPINFOW si = { sizeof(si) };
    PROCESS_INFORMATION pi = {};
    LARGE_INTEGER frequency, start, now;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&start);
    if (!::CreateProcessW(NULL, &strCommand[0], NULL, NULL, FALSE, 0, NULL, Folder().c_str(), &si, &pi))
        return -1;
    CFind find = { pi.dwProcessId, bNeedsMark, NULL };
    double dSeconds = -1;
    for (;;)
    {
        ::EnumWindows(FindMainWindow, (LPARAM)&find);
        ::QueryPerformanceCounter(&now);
        double dElapsed = double(now.QuadPart - start.QuadPart) / double(frequency.QuadPart);
        if (find.hWnd != NULL)
        {
            dSeconds = dElapsed;
            break;
        }
        if (dElapsed * 1000 > kWaitMs || ::WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0)
            break;
        ::Sleep(2);
    }
    if (find.hWnd != NULL)
        ::PostMessageW(find.hWnd, WM_CLOSE, 0, 0);
    if (::WaitForSingleObject(pi.hProcess, kWaitMs) != WAIT_OBJECT_0)
    {
        ::TerminateProcess(pi.hProcess, 1);
        ::WaitForSingleObject(pi.hProcess, 5000);
    }
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    return dSeconds;
}

} // namespace

int wmain()
{
    std::wstring strTamsel = Folder() + L"Tamsel.exe";
    std::wstring strEmpty = Folder() + L"empty_dialog.exe";
    double dBestTamsel = 1e9, dBestEmpty = 1e9;
    for (int nRun = 0; nRun < kRuns; nRun++)
    {
        double dTamsel, dEmpty;
        if (nRun % 2 == 0)
        {
            dTamsel = TimeToWindow(strTamsel, true);
            dEmpty = TimeToWindow(strEmpty, false);
        }
        else
        {
            dEmpty = TimeToWindow(strEmpty, false);
            dTamsel = TimeToWindow(strTamsel, true);
        }
        if (dTamsel < 0 || dEmpty < 0)
        {
            wprintf(L"run %d: a program showed no window\n", nRun + 1);
            return 1;
        }
        wprintf(L"run %d: Tamsel %.3f s, empty dialog %.3f s\n", nRun + 1, dTamsel, dEmpty);
        if (dTamsel < dBestTamsel)
            dBestTamsel = dTamsel;
        if (dEmpty < dBestEmpty)
            dBestEmpty = dEmpty;
    }
    wprintf(L"best of %d: Tamsel %.3f s, empty dialog %.3f s, ratio %.2f (target 1.30 or less)\n", kRuns,
            dBestTamsel, dBestEmpty, dBestTamsel / dBestEmpty);
    return 0;
}
