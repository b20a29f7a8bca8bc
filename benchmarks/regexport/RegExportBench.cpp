// Export speed of CRegFile against Wine's "regedit /E" on the same key.
//
// Builds a key of 100,000 values in 5,000 subkeys under
// HKEY_CURRENT_USER\Software\TamselBench, exports it with CRegFile and with
// regedit /E (best of five runs each, taking turns at going first; the
// process start of regedit included, as a user of it pays for it), prints
// both times and their ratio, and removes the key again. Target: a ratio of 1.00 or less.
//
// Run by hand under wine64 from the worktree:
//   scripts/build.sh x86_64 -DTAMSEL_BUILD_BENCHMARKS=ON
//   export WINEPREFIX=/tmp/tamsel-bench WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml="
//   wine64 wineboot -i
//   wineserver -p            # one server for the whole run
//   wine64 build/x86_64/bin/regexport_bench.exe
//   wineserver -k
#include "services/RegFile.h"

#include <shlwapi.h>
#include <stdio.h>
#include <string>
#include <vector>

namespace {

const wchar_t kBenchKey[] = L"Software\\TamselBench";
const wchar_t kBenchPath[] = L"HKEY_CURRENT_USER\\Software\\TamselBench";
const int kSubKeys = 5000;
const int kValuesPerKey = 20;
const int kRuns = 5;

double Seconds(LARGE_INTEGER start, LARGE_INTEGER end)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart);
}

bool FillBenchKey()
{
    HKEY hRoot = NULL;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kBenchKey, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &hRoot, NULL) != ERROR_SUCCESS)
        return false;
    bool bOk = true;
    for (int nKey = 0; nKey < kSubKeys && bOk; ++nKey)
    {
        wchar_t szName[64];
        wsprintfW(szName, L"Vendor %04d", nKey);
        HKEY hKey = NULL;
        if (RegCreateKeyExW(hRoot, szName, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &hKey, NULL) != ERROR_SUCCESS)
        {
            bOk = false;
            break;
        }
        for (int nValue = 0; nValue < kValuesPerKey && bOk; ++nValue)
        {
            wchar_t szValue[64], szText[160];
            wsprintfW(szValue, L"Value %02d", nValue);
            LONG nResult = ERROR_SUCCESS;
            switch (nValue % 4)
            {
            case 0:
                wsprintfW(szText, L"C:\\Program Files\\Vendor %04d\\Product \"%02d\"\\app.exe", nKey, nValue);
                nResult = RegSetValueExW(hKey, szValue, 0, REG_SZ, (const BYTE*)szText, (DWORD)(wcslen(szText) + 1) * 2);
                break;
            case 1:
            {
                DWORD dwData = (DWORD)(nKey * 131 + nValue);
                nResult = RegSetValueExW(hKey, szValue, 0, REG_DWORD, (const BYTE*)&dwData, 4);
                break;
            }
            case 2:
            {
                BYTE data[48];
                for (int i = 0; i < 48; ++i)
                    data[i] = (BYTE)(nKey + nValue * i);
                nResult = RegSetValueExW(hKey, szValue, 0, REG_BINARY, data, sizeof(data));
                break;
            }
            default:
                wsprintfW(szText, L"%%SystemRoot%%\\system32\\vendor%04d_%02d.dll", nKey, nValue);
                nResult = RegSetValueExW(hKey, szValue, 0, REG_EXPAND_SZ, (const BYTE*)szText, (DWORD)(wcslen(szText) + 1) * 2);
                break;
            }
            bOk = nResult == ERROR_SUCCESS;
        }
        RegCloseKey(hKey);
    }
    RegCloseKey(hRoot);
    return bOk;
}

// The program's own writing sequence: BOM, header, ExportKey.
bool ExportWithRegFile(const std::wstring& file)
{
    HANDLE hFile = CreateFileW(file.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (hFile == INVALID_HANDLE_VALUE)
        return false;
    DWORD dwWritten = 0;
    WriteFile(hFile, "\xFF\xFE", 2, &dwWritten, NULL);
    CRegFile regFile;
    regFile.m_hFile = hFile;
    regFile.m_nCount = 0;
    regFile.m_nColumn = 0;
    regFile.PutString(L"Windows Registry Editor Version");
    regFile.PutString(L" ");
    regFile.PutString(L"5.00");
    regFile.PutString(L"\n\n");
    DWORD dwResult = regFile.ExportKey(kBenchPath);
    CloseHandle(hFile);
    return dwResult == 0;
}

bool ExportWithRegedit(const std::wstring& file)
{
    std::wstring command = L"regedit.exe /E \"" + file + L"\" \"" + kBenchPath + L"\"";
    std::vector<wchar_t> buffer(command.begin(), command.end());
    buffer.push_back(0);
    STARTUPINFOW si = { sizeof(si) };
    PROCESS_INFORMATION pi = {};
    if (!CreateProcessW(NULL, buffer.data(), NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi))
        return false;
    WaitForSingleObject(pi.hProcess, INFINITE);
    DWORD dwExit = 1;
    GetExitCodeProcess(pi.hProcess, &dwExit);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return dwExit == 0;
}

std::string ReadAll(const std::wstring& file)
{
    std::string bytes;
    HANDLE hFile = CreateFileW(file.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    if (hFile == INVALID_HANDLE_VALUE)
        return bytes;
    std::vector<char> buffer(1 << 20);
    DWORD dwRead = 0;
    while (ReadFile(hFile, buffer.data(), (DWORD)buffer.size(), &dwRead, NULL) && dwRead > 0)
        bytes.append(buffer.data(), dwRead);
    CloseHandle(hFile);
    return bytes;
}

} // namespace

int main()
{
    wchar_t szTemp[MAX_PATH];
    GetTempPathW(MAX_PATH, szTemp);
    std::wstring ours = std::wstring(szTemp) + L"tamsel_bench_ours.reg";
    std::wstring wine = std::wstring(szTemp) + L"tamsel_bench_regedit.reg";

    SHDeleteKeyW(HKEY_CURRENT_USER, kBenchKey);
    printf("Building %d values in %d subkeys...\n", kSubKeys * kValuesPerKey, kSubKeys);
    if (!FillBenchKey())
    {
        printf("FAILED: the benchmark key could not be built\n");
        SHDeleteKeyW(HKEY_CURRENT_USER, kBenchKey);
        return 1;
    }

    double dOurs = 1e9, dWine = 1e9;
    bool bOk = true;
    for (int nRun = 0; nRun < kRuns && bOk; ++nRun)
    {
        // Each goes first in turn, so neither always meets a warmer cache.
        double dRunOurs = 0, dRunWine = 0;
        for (int nTurn = 0; nTurn < 2 && bOk; ++nTurn)
        {
            bool bOurs = (nTurn == 0) == (nRun % 2 == 0);
            LARGE_INTEGER t0, t1;
            QueryPerformanceCounter(&t0);
            bOk = bOurs ? ExportWithRegFile(ours) : ExportWithRegedit(wine);
            QueryPerformanceCounter(&t1);
            (bOurs ? dRunOurs : dRunWine) = Seconds(t0, t1);
        }
        if (dRunOurs < dOurs)
            dOurs = dRunOurs;
        if (dRunWine < dWine)
            dWine = dRunWine;
        printf("run %d: CRegFile %.3f s, regedit /E %.3f s\n", nRun + 1, dRunOurs, dRunWine);
    }
    SHDeleteKeyW(HKEY_CURRENT_USER, kBenchKey);
    if (!bOk)
    {
        printf("FAILED: an export did not complete\n");
        return 1;
    }

    std::string ourBytes = ReadAll(ours), wineBytes = ReadAll(wine);
    DeleteFileW(ours.c_str());
    DeleteFileW(wine.c_str());
    printf("CRegFile export:  %.3f s (best of %d), %u bytes\n", dOurs, kRuns, (unsigned)ourBytes.size());
    printf("regedit /E:       %.3f s (best of %d), %u bytes\n", dWine, kRuns, (unsigned)wineBytes.size());
    printf("files identical:  %s\n", ourBytes == wineBytes ? "yes" : "no");
    printf("ratio CRegFile / regedit /E: %.2f (target <= 1.00: %s)\n", dOurs / dWine, dOurs <= dWine ? "met" : "NOT met");
    return 0;
}
