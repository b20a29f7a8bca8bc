// Scan speed of all fifteen categories against Wine's "regedit /E" of the
// keys they read, on a registry seeded with 100,000 extra keys.
//
// Seeds 10,000 classes with InprocServer32 (every hundredth server missing),
// 6,000 ProgIDs with DefaultIcon and shell\open\command, 10,000 file
// extensions and 40,000 per-user keys four levels deep; then, three times (or
// the number given as the first argument) and taking turns at going first,
// scans every category without windows (as the program does on this system:
// a 32-bit build on 64-bit Windows leaves out Services and Empty Registry
// Keys) and exports the keys that scan reads (process starts included). The
// peer runs with the scan's own bitness, so it pays what the scan pays for
// it (WOW64, or an emulator): the regedit of that bitness exports the scan's
// own view, and reg.exe of that bitness ("reg export /reg:32|64", as regedit
// has no switch for the view) the keys the scan also reads in the other view
// (Uninstall, App Paths, and on WOW64 the 64-bit CLSID list). Prints every
// run, the medians, their ratio and the scan's peak working set, and removes
// the seeded keys. Targets: ratio <= 1.00, peak <= 64 MB.
//
// Run by hand from the worktree, i686 (the product) with wine, x86_64 with
// wine64, in a 64-bit prefix of its own booted by the 32-bit loader (prefix
// the 32-bit loader with scripts/i686-emulated.sh where the kernel runs no
// 32-bit code):
//   cmake -S . -B build/bench-i686 -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-i686.cmake -DTAMSEL_BUILD_BENCHMARKS=ON ...
//   cmake --build build/bench-i686 --target scan_bench
//   export WINEPREFIX=/tmp/tamsel-scan-bench HOME=/tmp/tamsel-scan-bench.home WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml="
//   /usr/lib/wine/wine wineboot -i && wineserver -p
//   /usr/lib/wine/wine build/bench-i686/bin/scan_bench.exe [runs]     (wine64 build/bench-x86_64/bin/scan_bench.exe)
//   wineserver -k
#include "scanner/ScanThread.h"
#include "app/TamselApp.h"
#include "benchmarks/support/BenchSupport.h"
#include "services/Wow64.h"

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
const int kDefaultRuns = 3;
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
    scan.m_bWow64 = IsRunningOnWow64();
    scan.m_pathTest.SetWow64(scan.m_bWow64);
    RunScan(scan);
    std::vector<CScanFeedItem> items;
    scan.m_feed.TakeAll(items);
    int nRows = 0;
    for (const CScanFeedItem& item : items)
        nRows += item.nKind == FEED_PROBLEM_ROW;
    return nRows;
}

// One key the scan reads, in the registry view of the scan (or the other one).
struct PeerKey
{
    std::wstring strKey;
    bool bOtherView;
};

HKEY RootOf(const std::wstring& strKey, std::wstring& strRest)
{
    static const struct
    {
        const wchar_t* pszName;
        HKEY hKey;
    } s_roots[] = {{L"HKEY_CLASSES_ROOT", HKEY_CLASSES_ROOT},
                   {L"HKEY_CURRENT_USER", HKEY_CURRENT_USER},
                   {L"HKEY_LOCAL_MACHINE", HKEY_LOCAL_MACHINE},
                   {L"HKEY_USERS", HKEY_USERS}};
    for (const auto& root : s_roots)
    {
        size_t nLength = wcslen(root.pszName);
        if (strKey.compare(0, nLength, root.pszName) == 0)
        {
            strRest = strKey.size() > nLength ? strKey.substr(nLength + 1) : std::wstring();
            return root.hKey;
        }
    }
    return NULL;
}

REGSAM ViewFlag(bool bOtherView)
{
    bool b32Bit = (sizeof(void*) == 4) != bOtherView;
    return b32Bit ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
}

bool Exists(const PeerKey& key)
{
    std::wstring strRest;
    HKEY hRoot = RootOf(key.strKey, strRest), hKey = NULL;
    if (hRoot == NULL || RegOpenKeyExW(hRoot, strRest.c_str(), 0, KEY_READ | ViewFlag(key.bOtherView), &hKey) != ERROR_SUCCESS)
        return false;
    RegCloseKey(hKey);
    return true;
}

// The keys the scan reads: what it walks whole, and the small keys it reads
// when the empty-key walk of HKEY_USERS does not cover them. A key Wine does
// not have (Help, SharedDLLs) has nothing to export and is left out.
std::vector<PeerKey> KeysRead(bool bWow64)
{
    const bool b64BitSystem = sizeof(void*) == 8 || bWow64;
    const wchar_t szUninstall[] = L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
    const wchar_t szAppPaths[] = L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths";
    std::vector<PeerKey> keys = {
        {L"HKEY_CLASSES_ROOT", false},
        {szUninstall, false},
        {szAppPaths, false},
        {L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts", false},
        {L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs", false},
        {L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\Help", false},
        {L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\Html Help", false},
        {L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Drivers32", false},
        {L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", false}};
    if (!bWow64)
    {
        // Services and the empty-key walk over all of HKEY_USERS.
        keys.push_back({L"HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services", false});
        keys.push_back({L"HKEY_USERS", false});
    }
    else
    {
        keys.push_back({L"HKEY_CURRENT_USER\\AppEvents\\Schemes\\Apps", false});
        keys.push_back({L"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer", false});
        keys.push_back({L"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\App Paths", false});
        keys.push_back({L"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\ShellNoRoam\\MUICache", false});
        // 64-bit shell extensions count as known classes.
        keys.push_back({L"HKEY_CLASSES_ROOT\\CLSID", true});
    }
    if (b64BitSystem)
    {
        keys.push_back({szUninstall, true});
        keys.push_back({szAppPaths, true});
    }
    std::vector<PeerKey> present;
    for (const PeerKey& key : keys)
    {
        if (Exists(key))
            present.push_back(key);
    }
    return present;
}

// How the peer exports one view: the regedit of the scan's bitness for its
// own view, reg.exe of the same bitness for the other one.
struct PeerTool
{
    std::wstring strProgram;
    bool bRegExport = false;
    REGSAM samView = 0;

    bool Export(const std::wstring& strFile, const std::wstring& strKey) const
    {
        std::wstring strCommand = L"\"" + strProgram + L"\" ";
        if (bRegExport)
            strCommand += L"export \"" + strKey + L"\" \"" + strFile + L"\" /y " +
                          (samView == KEY_WOW64_32KEY ? L"/reg:32" : L"/reg:64");
        else
            strCommand += L"/E \"" + strFile + L"\" \"" + strKey + L"\"";
        int nExit = RunProgram(strCommand);
        bool bWritten = FileSize(strFile) > 0;
        DeleteFileW(strFile.c_str());
        return nExit == 0 && bWritten;
    }
    std::string Describe() const
    {
        std::string str;
        for (wchar_t c : strProgram + (bRegExport ? L" export" : L" /E"))
            str += (char)c;
        return str + (samView == KEY_WOW64_32KEY ? " (32-bit view)" : " (64-bit view)");
    }
};

PeerTool ToolFor(bool bOtherView)
{
    PeerTool tool;
    tool.samView = ViewFlag(bOtherView);
    tool.bRegExport = bOtherView;
    tool.strProgram = bOtherView ? OwnRegExe() : RegeditPath(sizeof(void*) == 4);
    return tool;
}

bool ExportReadKeys(const std::wstring& strFile, const std::vector<PeerKey>& keys, const PeerTool& own,
                    const PeerTool& other)
{
    for (const PeerKey& key : keys)
    {
        if (!(key.bOtherView ? other : own).Export(strFile, key.strKey))
        {
            printf("FAILED: the export of %ls did not complete\n", key.strKey.c_str());
            return false;
        }
    }
    return true;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    // A first argument sets the number of runs (a quick look: 1).
    const int kRuns = argc > 1 && _wtoi(argv[1]) > 0 ? _wtoi(argv[1]) : kDefaultRuns;
    wchar_t szTemp[MAX_PATH];
    GetTempPathW(MAX_PATH, szTemp);
    std::wstring strFile = std::wstring(szTemp) + L"tamsel_scan_bench.reg";
    const bool bWow64 = IsRunningOnWow64();
    printf("scan_bench: %s process\n", ProcessKind());

    Unseed();
    printf("Seeding %d keys...\n", kClasses * 2 + kProgIds * 5 + kExtensions + kUserKeys);
    if (!Seed())
    {
        printf("FAILED: the keys could not be seeded\n");
        Unseed();
        return 1;
    }
    std::vector<PeerKey> keys = KeysRead(bWow64);
    PeerTool own = ToolFor(false), other = ToolFor(true);
    printf("peer, the scan's own view: %s\n", own.Describe().c_str());
    printf("peer, the other view:      %s\n", other.Describe().c_str());
    for (const PeerKey& key : keys)
        printf("  exports %ls%s\n", key.strKey.c_str(), key.bOtherView ? " (other view)" : "");

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
                bOk = ExportReadKeys(strFile, keys, own, other);
            QueryPerformanceCounter(&t1);
            (bOurs ? dOurs : dWine) = Seconds(t0, t1);
        }
        if (!bOk)
            break;
        arrOurs.push_back(dOurs);
        arrWine.push_back(dWine);
        printf("run %d: scan %.3f s (%d rows), regedit /E %.3f s\n", nRun + 1, dOurs, nRows, dWine);
        fflush(stdout);
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
        return 1;
    PROCESS_MEMORY_COUNTERS counters = {sizeof(counters)};
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters));
    double dOurs = Median(arrOurs), dWine = Median(arrWine);
    double dPeakMb = counters.PeakWorkingSetSize / (1024.0 * 1024.0);
    PrintRuns("scan", arrOurs);
    PrintRuns("regedit /E", arrWine);
    printf("scan (all 15):      %.3f s (median of %d), %d rows\n", dOurs, kRuns, nRows);
    printf("regedit /E:         %.3f s (median of %d)\n", dWine, kRuns);
    PrintRatio("scan", "regedit /E (medians)", dOurs, dWine, 1.00);
    printf("ratio of the best runs: %.2f\n", Best(arrOurs) / Best(arrWine));
    printf("peak working set (%s): %.1f MB (target <= 64 MB: %s)\n", ProcessKind(), dPeakMb,
           dPeakMb <= 64.0 ? "met" : "NOT met");
    return 0;
}
