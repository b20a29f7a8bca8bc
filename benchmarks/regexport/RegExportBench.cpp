// Export speed of CRegFile against Wine's "regedit /E" on the same key.
//
// Builds a key of 100,000 values in 5,000 subkeys under
// HKEY_CURRENT_USER\Software\TamselBench, exports it with CRegFile and with
// the regedit of the same bitness (five runs each, taking turns at going first; the
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
#include "benchmarks/support/BenchSupport.h"

#include <shlwapi.h>
#include <stdio.h>
#include <string>

using namespace benchsupport;

namespace {

const wchar_t kBenchPath[] = L"HKEY_CURRENT_USER\\Software\\TamselBench";
const int kRuns = 5;

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

} // namespace

int main()
{
    wchar_t szTemp[MAX_PATH];
    GetTempPathW(MAX_PATH, szTemp);
    std::wstring ours = std::wstring(szTemp) + L"tamsel_bench_ours.reg";
    std::wstring wine = std::wstring(szTemp) + L"tamsel_bench_regedit.reg";

    printf("regexport_bench: %s process\n", ProcessKind());
    SHDeleteKeyW(HKEY_CURRENT_USER, kBenchKey);
    printf("Building %d values in %d subkeys...\n", kBenchSubKeys * kBenchValuesPerKey, kBenchSubKeys);
    if (!FillBenchKey(HKEY_CURRENT_USER))
    {
        printf("FAILED: the benchmark key could not be built\n");
        SHDeleteKeyW(HKEY_CURRENT_USER, kBenchKey);
        return 1;
    }

    BestTimes best = TimeInTurns(
        kRuns, "run", "CRegFile", [&] { return Timed([&] { return ExportWithRegFile(ours); }); }, "regedit /E",
        [&] { return Timed([&] { return RunProgram(OwnRegedit() + L" /E \"" + wine + L"\" \"" + kBenchPath + L"\"") == 0; }); });
    SHDeleteKeyW(HKEY_CURRENT_USER, kBenchKey);
    if (!best.bOk)
    {
        printf("FAILED: an export did not complete\n");
        return 1;
    }

    std::string ourBytes = ReadFileBytes(ours), wineBytes = ReadFileBytes(wine);
    DeleteFileW(ours.c_str());
    DeleteFileW(wine.c_str());
    printf("CRegFile export:  %.3f s best, %.3f s median of %d, %u bytes\n", best.dOurs, best.MedianOurs(), kRuns,
           (unsigned)ourBytes.size());
    printf("regedit /E:       %.3f s best, %.3f s median of %d, %u bytes\n", best.dPeer, best.MedianPeer(), kRuns,
           (unsigned)wineBytes.size());
    printf("files identical:  %s\n", ourBytes == wineBytes ? "yes" : "no");
    PrintRatios("CRegFile", "regedit /E", best, 1.00);
    return 0;
}
