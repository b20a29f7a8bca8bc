#include "benchmarks/support/BenchSupport.h"
#include "services/Wow64.h"

#include <stdio.h>
#include <algorithm>
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
        best.arrOurs.push_back(dRunOurs);
        best.arrPeer.push_back(dRunPeer);
        printf("%s %d: %s %.3f s, %s %.3f s\n", pszWhat, nRun + 1, pszOurs, dRunOurs, pszPeer, dRunPeer);
        fflush(stdout);
    }
    if (best.bOk)
    {
        PrintRuns(pszOurs, best.arrOurs);
        PrintRuns(pszPeer, best.arrPeer);
    }
    return best;
}

double Best(const std::vector<double>& values)
{
    return values.empty() ? 0 : *std::min_element(values.begin(), values.end());
}

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

void PrintRuns(const char* pszWhat, const std::vector<double>& values, const char* pszUnit, double dScale)
{
    printf("  %s:", pszWhat);
    for (size_t i = 0; i < values.size(); ++i)
        printf("%s %.3f", i ? "," : "", values[i] * dScale);
    printf("%s%s; best %.3f, median %.3f\n", *pszUnit ? " " : "", pszUnit, Best(values) * dScale,
           Median(values) * dScale);
    fflush(stdout);
}

void PrintRatio(const char* pszOurs, const char* pszPeer, double dOurs, double dPeer, double dTarget)
{
    printf("ratio %s / %s: %.2f (target <= %.2f: %s)\n", pszOurs, pszPeer, dOurs / dPeer, dTarget,
           dOurs <= dTarget * dPeer ? "met" : "NOT met");
}

void PrintRatios(const char* pszOurs, const char* pszPeer, const BestTimes& times, double dTarget)
{
    double dBest = times.dOurs / times.dPeer, dMedian = times.MedianOurs() / times.MedianPeer();
    printf("ratio %s / %s, best of %u: %.2f (target <= %.2f: %s); median: %.2f (%s)\n", pszOurs, pszPeer,
           (unsigned)times.arrOurs.size(), dBest, dTarget, dBest <= dTarget ? "met" : "NOT met", dMedian,
           dMedian <= dTarget ? "met" : "NOT met");
}

const char* ProcessKind()
{
    if (sizeof(void*) == 8)
        return "64-bit";
    return IsRunningOnWow64() ? "32-bit (WOW64)" : "32-bit";
}

std::wstring RegeditPath(bool b32Bit)
{
    wchar_t szFolder[MAX_PATH] = {};
    // On 64-bit Windows the 32-bit tools live in SysWOW64; the Windows
    // folder itself is not redirected, so its regedit is the 64-bit one.
    bool b64BitSystem = sizeof(void*) == 8 || IsRunningOnWow64();
    if (b32Bit && b64BitSystem && GetSystemWow64DirectoryW(szFolder, MAX_PATH) > 0)
        return std::wstring(szFolder) + L"\\regedit.exe";
    GetWindowsDirectoryW(szFolder, MAX_PATH);
    return std::wstring(szFolder) + L"\\regedit.exe";
}

std::wstring OwnRegedit()
{
    return L"\"" + RegeditPath(sizeof(void*) == 4) + L"\"";
}

std::wstring OwnRegExe()
{
    wchar_t szFolder[MAX_PATH] = {};
    if (sizeof(void*) == 8 || !IsRunningOnWow64() || GetSystemWow64DirectoryW(szFolder, MAX_PATH) == 0)
        GetSystemDirectoryW(szFolder, MAX_PATH);
    return std::wstring(szFolder) + L"\\reg.exe";
}

} // namespace benchsupport
