// Scan speed of all fifteen categories against Wine's "regedit /E" of the
// keys they read, on a registry seeded with 100,000 extra keys.
//
// Seeds 10,000 classes with InprocServer32 (every hundredth server missing),
// 6,000 ProgIDs with DefaultIcon and shell\open\command, 10,000 file
// extensions and 40,000 per-user keys four levels deep; then, three times
// and taking turns at going first, scans every category without windows and
// exports HKEY_CLASSES_ROOT, HKEY_USERS and the HKEY_LOCAL_MACHINE keys the
// scanners read with regedit /E (process starts included). Prints the medians, their ratio and
// the scan's peak working set, and removes the seeded keys again.
// Targets: ratio <= 1.00, peak <= 64 MB.
//
// Run by hand under wine64 from the worktree:
//   cmake -S . -B build/x86_64 ... -DTAMSEL_BUILD_BENCHMARKS=ON && cmake --build build/x86_64 --target scan_bench
//   export WINEPREFIX=/tmp/tamsel-scan-bench HOME=/tmp/tamsel-scan-bench.home WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml="
//   wine64 wineboot -i && wineserver -p
//   wine64 build/x86_64/bin/scan_bench.exe
//   wineserver -k
#include "scanner/ScanThread.h"
#include "app/TamselApp.h"
#include "benchmarks/support/BenchSupport.h"

#include <psapi.h>
#include <shlwapi.h>
#include <stdio.h>
#include <algorithm>
#include <string>
#include <vector>

using namespace benchsupport;

namespace {

const int kClasses = 10000;
const int kProgIds = 6000;
const int kExtensions = 10000;
const int kUserKeys = 40000;
const int kRuns = 3;
const wchar_t kUserRoot[] = L"Software\\TamselScanBench";

bool SetText(HKEY hRoot, const std::wstring& strKey, const wchar_t* pszName, const std::wstring& strText)
{
    HKEY hKey = NULL;
    if (RegCreateKeyExW(hRoot, strKey.c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL, &hKey, NULL) != ERROR_SUCCESS)
        return false;
    LONG nResult = RegSetValueExW(hKey, pszName, 0, REG_SZ, (const BYTE*)strText.c_str(),
                                  (DWORD)((strText.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(hKey);
    return nResult == ERROR_SUCCESS;
}

std::wstring BenchClsid(int n)
{
    wchar_t sz[64];
    wsprintfW(sz, L"{7A3E0000-BE9C-4D1A-9F00-%012d}", n);
    return sz;
}

bool Seed()
{
    bool bOk = true;
    for (int n = 0; n < kClasses && bOk; n++)
    {
        std::wstring strServer = n % 100 == 7 ? L"C:\\Program Files\\Gone Vendor\\gone.dll" : L"%SystemRoot%\\system32\\ole32.dll";
        bOk = SetText(HKEY_CLASSES_ROOT, L"CLSID\\" + BenchClsid(n) + L"\\InprocServer32", L"", strServer) &&
              SetText(HKEY_CLASSES_ROOT, L"CLSID\\" + BenchClsid(n), L"", L"Tamsel bench class");
    }
    for (int n = 0; n < kProgIds && bOk; n++)
    {
        wchar_t sz[64];
        wsprintfW(sz, L"TamselBench.Class%05d", n);
        std::wstring strKey = sz;
        bOk = SetText(HKEY_CLASSES_ROOT, strKey + L"\\DefaultIcon", L"", L"%SystemRoot%\\system32\\shell32.dll,3") &&
              SetText(HKEY_CLASSES_ROOT, strKey + L"\\shell\\open\\command", L"",
                      n % 100 == 3 ? L"\"C:\\Gone\\app.exe\" \"%1\"" : L"notepad.exe \"%1\"");
    }
    for (int n = 0; n < kExtensions && bOk; n++)
    {
        wchar_t sz[64];
        wsprintfW(sz, L".tb%05d", n);
        wchar_t szClass[64];
        wsprintfW(szClass, L"TamselBench.Class%05d", n % kProgIds);
        bOk = SetText(HKEY_CLASSES_ROOT, sz, L"", n % 100 == 5 ? L"TamselBench.Gone" : szClass);
    }
    for (int n = 0; n < kUserKeys / 4 && bOk; n++)
    {
        wchar_t sz[128];
        wsprintfW(sz, L"%s\\A%04d\\B\\C\\D", kUserRoot, n);
        bOk = SetText(HKEY_CURRENT_USER, sz, n % 100 == 1 ? NULL : L"Value", L"x");
    }
    return bOk;
}

void Unseed()
{
    for (int n = 0; n < kClasses; n++)
        SHDeleteKeyW(HKEY_CLASSES_ROOT, (L"CLSID\\" + BenchClsid(n)).c_str());
    for (int n = 0; n < kProgIds; n++)
    {
        wchar_t sz[64];
        wsprintfW(sz, L"TamselBench.Class%05d", n);
        SHDeleteKeyW(HKEY_CLASSES_ROOT, sz);
    }
    for (int n = 0; n < kExtensions; n++)
    {
        wchar_t sz[64];
        wsprintfW(sz, L".tb%05d", n);
        SHDeleteKeyW(HKEY_CLASSES_ROOT, sz);
    }
    SHDeleteKeyW(HKEY_CURRENT_USER, kUserRoot);
}

// One headless scan of all categories (or of one); the number of rows.
int Scan(int nOnly = 0)
{
    CArray<CRegProblem> arrProblems[SCAN_CATEGORIES], arrRepair[SCAN_CATEGORIES];
    CScanContext scan;
    scan.m_pProblems = arrProblems;
    scan.m_pRepair = arrRepair;
    for (int i = 0; i < SCAN_CATEGORIES; i++)
        scan.m_bScanCategory[i] = nOnly == 0 || i == CTamselApp::KeySlotOfCategory(nOnly);
    RunScan(scan);
    std::vector<CScanFeedItem> items;
    scan.m_feed.TakeAll(items);
    int nRows = 0;
    for (const CScanFeedItem& item : items)
        nRows += item.nKind == FEED_PROBLEM_ROW;
    return nRows;
}

bool Regedit(const std::wstring& strFile, const wchar_t* pszKey)
{
    int nExit = RunProgram(L"regedit.exe /E \"" + strFile + L"\" \"" + pszKey + L"\"");
    DeleteFileW(strFile.c_str());
    return nExit == 0;
}

bool ExportReadKeys(const std::wstring& strFile)
{
    static const wchar_t* s_pszKeys[] = {
        L"HKEY_CLASSES_ROOT",
        L"HKEY_USERS",
        L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall",
        L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths",
        L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts",
        L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs",
        L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\Help",
        L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\Html Help",
        L"HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services",
        L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Drivers32",
        L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders"};
    for (const wchar_t* pszKey : s_pszKeys)
    {
        // A key Wine does not have (Help, SharedDLLs) has nothing to export.
        const wchar_t szMachine[] = L"HKEY_LOCAL_MACHINE\\";
        HKEY hKey = NULL;
        if (wcsncmp(pszKey, szMachine, wcslen(szMachine)) == 0)
        {
            if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, pszKey + wcslen(szMachine), 0, KEY_READ, &hKey) != ERROR_SUCCESS)
                continue;
            RegCloseKey(hKey);
        }
        if (!Regedit(strFile, pszKey))
            return false;
    }
    return true;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace

int wmain()
{
    wchar_t szTemp[MAX_PATH];
    GetTempPathW(MAX_PATH, szTemp);
    std::wstring strFile = std::wstring(szTemp) + L"tamsel_scan_bench.reg";

    Unseed();
    printf("Seeding %d keys...\n", kClasses * 2 + kProgIds * 5 + kExtensions + kUserKeys);
    if (!Seed())
    {
        printf("FAILED: the keys could not be seeded\n");
        Unseed();
        return 1;
    }
    std::vector<double> arrOurs, arrWine;
    int nRows = 0;
    bool bOk = true;
    for (int nRun = 0; nRun < kRuns && bOk; nRun++)
    {
        double dOurs = 0, dWine = 0;
        for (int nTurn = 0; nTurn < 2 && bOk; nTurn++)
        {
            bool bOurs = (nTurn == 0) == (nRun % 2 == 0);
            LARGE_INTEGER t0, t1;
            QueryPerformanceCounter(&t0);
            if (bOurs)
                nRows = Scan();
            else
                bOk = ExportReadKeys(strFile);
            QueryPerformanceCounter(&t1);
            (bOurs ? dOurs : dWine) = Seconds(t0, t1);
        }
        arrOurs.push_back(dOurs);
        arrWine.push_back(dWine);
        printf("run %d: scan %.3f s (%d rows), regedit /E %.3f s\n", nRun + 1, dOurs, nRows, dWine);
    }
    // Where the time goes: each category alone, once.
    for (int nCategory = 1; nCategory <= SCAN_CATEGORIES && bOk; nCategory++)
    {
        LARGE_INTEGER t0, t1;
        QueryPerformanceCounter(&t0);
        int nCategoryRows = Scan(nCategory);
        QueryPerformanceCounter(&t1);
        printf("  category %2d alone: %.3f s, %d rows\n", nCategory, Seconds(t0, t1), nCategoryRows);
    }
    Unseed();
    if (!bOk)
    {
        printf("FAILED: regedit /E did not complete\n");
        return 1;
    }
    PROCESS_MEMORY_COUNTERS counters = {sizeof(counters)};
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    double dOurs = Median(arrOurs), dWine = Median(arrWine);
    double dPeakMb = counters.PeakWorkingSetSize / (1024.0 * 1024.0);
    printf("scan (all 15):      %.3f s (median of %d), %d rows\n", dOurs, kRuns, nRows);
    printf("regedit /E:         %.3f s (median of %d)\n", dWine, kRuns);
    PrintRatio("scan", "regedit /E", dOurs, dWine, 1.00);
    printf("peak working set: %.1f MB (target <= 64 MB: %s)\n", dPeakMb, dPeakMb <= 64.0 ? "met" : "NOT met");
    return 0;
}
