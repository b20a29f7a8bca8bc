// Processor time of the memory optimizer view against Wine's task manager on
// its Performance page, both running side by side for the same time.
//
// The view alone (in a bare host window) refreshes once a second as it does
// in the program; taskmgr.exe is started, switched to its Performance page
// (TCM_SETCURFOCUS 2) and left at its normal update speed. The processor
// ticks of both processes (user + system, /proc/<pid>/stat) over the run are
// compared: GetProcessTimes of another process gives zeros under Wine. The
// time is cut in three runs of equal length; every run's ticks and ratio, the
// totals and the median ratio are printed. Target: a ratio of 1.0 or less.
//
// Run by hand under wine64 on a display (Xvfb), from the build folder:
//   cmake ... -DTAMSEL_BUILD_BENCHMARKS=ON && cmake --build . --target memview_bench
//   ./wine-run.sh --setup && ./wine-run.sh bin/memview_bench.exe [seconds, default 60]
#include "framework/Afx.h"
#include "optimizer/MemoryOptimizerDlg.h"
#include "optimizer/OptimizerText.h"
#include "benchmarks/support/BenchSupport.h"

#include <commctrl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string>
#include <vector>

using benchsupport::HostOutput;

namespace {

std::string ReadText(LPCWSTR lpszPath)
{
    std::string text;
    HANDLE h = ::CreateFileW(lpszPath, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0, NULL);
    if (h == INVALID_HANDLE_VALUE)
        return text;
    char buf[4096];
    DWORD dwRead = 0;
    while (::ReadFile(h, buf, sizeof(buf), &dwRead, NULL) && dwRead > 0)
        text.append(buf, dwRead);
    ::CloseHandle(h);
    return text;
}

// utime + stime of a Linux process in clock ticks; -1 when unreadable.
long long ProcessTicks(const std::wstring& strProc)
{
    const std::string text = ReadText((L"Z:\\proc\\" + strProc + L"\\stat").c_str());
    // The command name may hold spaces: fields count from its closing parenthesis.
    const size_t nParen = text.rfind(')');
    if (nParen == std::string::npos)
        return -1;
    // From the state (field 3) on: utime and stime are fields 14 and 15.
    const char* p = text.c_str() + nParen + 1;
    unsigned long long ullUser = 0, ullSystem = 0;
    for (int nField = 3; nField <= 15; ++nField)
    {
        while (*p == ' ')
            ++p;
        if (*p == 0)
            return -1;
        const unsigned long long ull = strtoull(p, NULL, 10);
        if (nField == 14)
            ullUser = ull;
        if (nField == 15)
            ullSystem = ull;
        while (*p != ' ' && *p != 0)
            ++p;
    }
    return (long long)(ullUser + ullSystem);
}

// The Linux process id of a program of this prefix, by the start of its
// process name: the newest one whose environment names our WINEPREFIX (other
// prefixes may run the same program).
std::wstring FindLinuxPid(const std::string& strName)
{
    WCHAR szPrefix[MAX_PATH] = {};
    ::GetEnvironmentVariableW(L"WINEPREFIX", szPrefix, MAX_PATH);
    std::string strPrefix;
    for (const WCHAR* p = szPrefix; *p; ++p)
        strPrefix += (char)*p;
    std::string strCommand = "for p in $(pgrep '^" + strName + "'); do ";
    if (!strPrefix.empty())
        strCommand += "tr '\\0' '\\n' < /proc/$p/environ | grep -qx 'WINEPREFIX=" + strPrefix + "' && ";
    strCommand += "echo $p; done | tail -n 1";
    std::string text = HostOutput(strCommand);
    std::wstring strPid;
    for (char ch : text)
    {
        if (ch >= '0' && ch <= '9')
            strPid += (wchar_t)ch;
    }
    return strPid;
}

struct TaskManagerFind
{
    DWORD dwProcessId;
    HWND hWnd;
};

BOOL CALLBACK FindWindowOf(HWND hWnd, LPARAM lParam)
{
    TaskManagerFind* pFind = (TaskManagerFind*)lParam;
    DWORD dwProcessId = 0;
    ::GetWindowThreadProcessId(hWnd, &dwProcessId);
    if (dwProcessId == pFind->dwProcessId && ::IsWindowVisible(hWnd) &&
        ::FindWindowExW(hWnd, NULL, WC_TABCONTROLW, NULL) != NULL)
    {
        pFind->hWnd = hWnd;
        return FALSE;
    }
    return TRUE;
}

// Waits for messages until the time is up.
void PumpFor(DWORD dwMs)
{
    const DWORD dwStart = ::GetTickCount();
    for (;;)
    {
        const DWORD dwElapsed = ::GetTickCount() - dwStart;
        if (dwElapsed >= dwMs)
            return;
        ::MsgWaitForMultipleObjects(0, NULL, FALSE, dwMs - dwElapsed, QS_ALLINPUT);
        MSG msg;
        while (::PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE))
        {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
}

class CHost : public CWnd
{
public:
    CHost()
    {
        CreateEx(0, AfxRegisterWndClass(0, ::LoadCursorW(NULL, IDC_ARROW)), L"Memory view",
                 WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 700, 600, NULL, NULL);
    }
    ~CHost() override
    {
        if (m_hWnd != NULL)
            DestroyWindow();
    }
};

} // namespace

int wmain(int argc, wchar_t** argv)
{
    int nSeconds = argc > 1 ? _wtoi(argv[1]) : 60;
    if (nSeconds < 5 || nSeconds > 600)
        nSeconds = 60;
    INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES | ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&icc);
    SetOptimizerLanguageFile(TAMSEL_SOURCE_ROOT L"\\resources\\English.ini");

    // The task manager, on its Performance page, away from our window.
    WCHAR szCommand[MAX_PATH] = L"taskmgr.exe";
    STARTUPINFOW si = {sizeof(si)};
    PROCESS_INFORMATION pi = {};
    if (!::CreateProcessW(NULL, szCommand, NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi))
    {
        printf("taskmgr.exe did not start (%lu)\n", ::GetLastError());
        return 1;
    }
    ::CloseHandle(pi.hThread);
    TaskManagerFind find = {pi.dwProcessId, NULL};
    for (int i = 0; i < 300 && find.hWnd == NULL; ++i)
    {
        PumpFor(100);
        ::EnumWindows(&FindWindowOf, (LPARAM)&find);
    }
    if (find.hWnd == NULL)
    {
        printf("no task manager window\n");
        ::TerminateProcess(pi.hProcess, 1);
        ::CloseHandle(pi.hProcess);
        return 1;
    }
    ::SetWindowPos(find.hWnd, NULL, 720, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    HWND hTab = ::FindWindowExW(find.hWnd, NULL, WC_TABCONTROLW, NULL);
    ::SendMessageW(hTab, TCM_SETCURFOCUS, 2, 0);
    // Files are opened by the wineserver, so /proc/self would be the server's:
    // our own process is looked up like the peer.
    const std::wstring strPeer = FindLinuxPid("taskmgr");
    const std::wstring strOurs = FindLinuxPid("memview_bench");
    int nResult = 1;
    {
        CHost host;
        CMemoryOptimizerDlg view;
        if (strPeer.empty() || strOurs.empty() || !view.Create(CMemoryOptimizerDlg::IDD, &host))
        {
            printf("%s\n", strPeer.empty() || strOurs.empty() ? "a Linux process id was not found" : "no memory view");
        }
        else
        {
            view.ShowWindow(SW_SHOW);
            // Both settle first: start-up costs are not what is measured.
            PumpFor(3000);
            printf("taskmgr.exe (Linux process %ls) on page %d, memory view (%ls): %d s side by side in 3 runs...\n",
                   strPeer.c_str(), (int)::SendMessageW(hTab, TCM_GETCURSEL, 0, 0), strOurs.c_str(), nSeconds);
            fflush(stdout);
            const int kRuns = 3;
            long long llOursTotal = 0, llPeerTotal = 0;
            std::vector<double> ratios;
            bool bRead = true;
            for (int nRun = 0; nRun < kRuns && bRead; ++nRun)
            {
                const long long llOurs0 = ProcessTicks(strOurs), llPeer0 = ProcessTicks(strPeer);
                PumpFor((DWORD)nSeconds * 1000 / kRuns);
                const long long llOurs1 = ProcessTicks(strOurs), llPeer1 = ProcessTicks(strPeer);
                if (llOurs0 < 0 || llPeer0 < 0 || llOurs1 < 0 || llPeer1 < 0)
                {
                    printf("the ticks could not be read (ours %lld, taskmgr.exe %lld, Linux process %ls)\n", llOurs0,
                           llPeer0, strPeer.c_str());
                    bRead = false;
                    break;
                }
                const long long llOurs = llOurs1 - llOurs0, llPeer = llPeer1 - llPeer0;
                llOursTotal += llOurs;
                llPeerTotal += llPeer;
                ratios.push_back(llPeer > 0 ? (double)llOurs / (double)llPeer : 0.0);
                printf("run %d: memory view %lld ticks, taskmgr.exe %lld ticks, ratio %.2f\n", nRun + 1, llOurs, llPeer,
                       ratios.back());
                fflush(stdout);
            }
            if (bRead)
            {
                benchsupport::PrintRuns("ratio memory view / taskmgr.exe", ratios, "");
                printf("memory view: %lld ticks, taskmgr.exe Performance page: %lld ticks in %d s\n", llOursTotal,
                       llPeerTotal, nSeconds);
                const double dRatio = llPeerTotal > 0 ? (double)llOursTotal / (double)llPeerTotal : 0.0;
                printf("ratio %.2f (target <= 1.0: %s); median of the runs %.2f\n", dRatio,
                       llPeerTotal > 0 && dRatio <= 1.0 ? "met" : "NOT met", benchsupport::Median(ratios));
                nResult = 0;
            }
            view.DestroyWindow();
        }
    }
    ::PostMessageW(find.hWnd, WM_CLOSE, 0, 0);
    if (::WaitForSingleObject(pi.hProcess, 5000) != WAIT_OBJECT_0)
        ::TerminateProcess(pi.hProcess, 0);
    ::CloseHandle(pi.hProcess);
    return nResult;
}
