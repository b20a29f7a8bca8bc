#include "benchmarks/support/BenchSupport.h"

#include <stdio.h>
#include <vector>

namespace benchsupport {

const wchar_t kBenchKey[] = L"Software\\TamselBench";

std::wstring WinPath(const std::string& strUnix)
{
    std::wstring str = L"Z:";
    for (char c : strUnix)
        str += c == '/' ? L'\\' : (wchar_t)(unsigned char)c;
    return str;
}

LARGE_INTEGER Now()
{
    LARGE_INTEGER li;
    QueryPerformanceCounter(&li);
    return li;
}

double Seconds(LARGE_INTEGER start, LARGE_INTEGER end)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart);
}

double SecondsSince(LARGE_INTEGER start)
{
    return Seconds(start, Now());
}

double NowSeconds()
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return double(Now().QuadPart) / double(frequency.QuadPart);
}

void Pump()
{
    MSG msg;
    while (PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE))
    {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

double Timed(const std::function<bool()>& run)
{
    LARGE_INTEGER start = Now();
    return run() ? SecondsSince(start) : -1;
}

LONGLONG FileSize(const std::wstring& strPath)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(strPath.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return ((LONGLONG)data.nFileSizeHigh << 32) | data.nFileSizeLow;
}

int RunProgram(const std::wstring& strCommand)
{
    return testsupport::RunWindowsProgram(strCommand, INFINITE);
}

int RunHost(const std::string& strCommand, DWORD dwTimeoutMs)
{
    // Wine hands a Unix program its own PATH, which may not hold the peers.
    return testsupport::RunHostCommand("PATH=/usr/local/bin:/usr/bin:/bin; " + strCommand, dwTimeoutMs);
}

std::string HostOutput(const std::string& strCommand)
{
    static LONG s_nCounter = 0;
    std::string strFile = "/tmp/tamsel-bench-output-" + std::to_string(GetCurrentProcessId()) + "-" +
                          std::to_string(InterlockedIncrement(&s_nCounter)) + "-" + std::to_string(GetTickCount()) + ".txt";
    std::string text;
    if (RunHost("( " + strCommand + " ) > " + strFile + " 2>/dev/null") >= 0)
        text = ReadFileBytes(WinPath(strFile));
    DeleteFileW(WinPath(strFile).c_str());
    return text;
}

namespace {

LONG SetBenchValue(HKEY hKey, int nKey, int nValue)
{
    wchar_t szValue[64], szText[160];
    wsprintfW(szValue, L"Value %02d", nValue);
    switch (nValue % 4)
    {
    case 0:
        wsprintfW(szText, L"C:\\Program Files\\Vendor %04d\\Product \"%02d\"\\app.exe", nKey, nValue);
        return RegSetValueExW(hKey, szValue, 0, REG_SZ, (const BYTE*)szText, (DWORD)(wcslen(szText) + 1) * 2);
    case 1:
    {
        DWORD dwData = (DWORD)(nKey * 131 + nValue);
        return RegSetValueExW(hKey, szValue, 0, REG_DWORD, (const BYTE*)&dwData, 4);
    }
    case 2:
    {
        BYTE data[48];
        for (int i = 0; i < 48; ++i)
            data[i] = (BYTE)(nKey + nValue * i);
        return RegSetValueExW(hKey, szValue, 0, REG_BINARY, data, sizeof(data));
    }
    default:
        wsprintfW(szText, L"%%SystemRoot%%\\system32\\vendor%04d_%02d.dll", nKey, nValue);
        return RegSetValueExW(hKey, szValue, 0, REG_EXPAND_SZ, (const BYTE*)szText, (DWORD)(wcslen(szText) + 1) * 2);
    }
}

} // namespace

bool FillBenchKey(HKEY hHive)
{
    HKEY hRoot = NULL;
    if (RegCreateKeyExW(hHive, kBenchKey, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &hRoot, NULL) != ERROR_SUCCESS)
        return false;
    bool bOk = true;
    for (int nKey = 0; nKey < kBenchSubKeys && bOk; ++nKey)
    {
        wchar_t szName[64];
        wsprintfW(szName, L"Vendor %04d", nKey);
        HKEY hKey = NULL;
        if (RegCreateKeyExW(hRoot, szName, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &hKey, NULL) != ERROR_SUCCESS)
        {
            bOk = false;
            break;
        }
        for (int nValue = 0; nValue < kBenchValuesPerKey && bOk; ++nValue)
            bOk = SetBenchValue(hKey, nKey, nValue) == ERROR_SUCCESS;
        RegCloseKey(hKey);
    }
    RegCloseKey(hRoot);
    return bOk;
}

BestTimes TimeInTurns(int nRuns, const char* pszWhat, const char* pszOurs, const std::function<double()>& ours,
                      const char* pszPeer, const std::function<double()>& peer)
{
    BestTimes best;
    for (int nRun = 0; nRun < nRuns && best.bOk; ++nRun)
    {
        double dRunOurs = 0, dRunPeer = 0;
        for (int nTurn = 0; nTurn < 2 && best.bOk; ++nTurn)
        {
            bool bOurs = (nTurn == 0) == (nRun % 2 == 0);
            double d = bOurs ? ours() : peer();
            best.bOk = d >= 0;
            (bOurs ? dRunOurs : dRunPeer) = d;
        }
        if (!best.bOk)
            break;
        if (dRunOurs < best.dOurs)
            best.dOurs = dRunOurs;
        if (dRunPeer < best.dPeer)
            best.dPeer = dRunPeer;
        printf("%s %d: %s %.3f s, %s %.3f s\n", pszWhat, nRun + 1, pszOurs, dRunOurs, pszPeer, dRunPeer);
    }
    return best;
}

void PrintRatio(const char* pszOurs, const char* pszPeer, double dOurs, double dPeer, double dTarget)
{
    printf("ratio %s / %s: %.2f (target <= %.2f: %s)\n", pszOurs, pszPeer, dOurs / dPeer, dTarget,
           dOurs <= dTarget * dPeer ? "met" : "NOT met");
}

} // namespace benchsupport
