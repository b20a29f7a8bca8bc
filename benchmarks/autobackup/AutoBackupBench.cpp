// The automatic backup (export, archive, read-back check) against what a
// user would do by hand: Wine's "regedit /E" of the same key plus Info-ZIP's
// "zip -8" of the file.
//
// Builds the key of the registry export benchmark (100,000 values in 5,000
// subkeys under HKEY_CURRENT_USER\Software\TamselBench), chooses one key
// problem per subkey, and times WriteAutoBackup against regedit /E of the
// parent key followed by zip -8, five runs each, taking turns at going
// first (the regedit of the program's own bitness, which sees its registry
// view). regedit's process start counts, as a user pays for it; zip is
// timed inside the host shell. Target: a ratio of 1.10 or less.
//
// Run by hand under wine64 from the worktree (zip must be on the host):
//   cmake -S . -B build/x86_64 ... -DTAMSEL_BUILD_BENCHMARKS=ON
//   cmake --build build/x86_64 --target autobackup_bench
//   build/x86_64/wine-run.sh build/x86_64/bin/autobackup_bench.exe
#include "app/TamselApp.h"
#include "benchmarks/support/BenchSupport.h"
#include "repair/AutoBackup.h"
#include "repair/Repair.h"

#include <shlwapi.h>
#include <stdio.h>
#include <string>

using namespace benchsupport;

CTamselApp theApp;

namespace {

const wchar_t kBenchPath[] = L"HKEY_CURRENT_USER\\Software\\TamselBench";
const char kScratch[] = "/tmp/tamsel-autobackup-bench/";
const int kRuns = 5;

// regedit /E, then zip -8 timed inside the shell; -1 on failure.
double RunPeer()
{
    std::string strReg = std::string(kScratch) + "peer.reg";
    std::string strZip = std::string(kScratch) + "peer.zip";
    std::string strTime = std::string(kScratch) + "zip-ns.txt";
    DeleteFileW(WinPath(strZip).c_str());
    double dExport = Timed([&] { return RunProgram(OwnRegedit() + L" /E \"" + WinPath(strReg) + L"\" \"" + kBenchPath + L"\"") == 0; });
    if (dExport < 0)
        return -1;
    std::string strCommand = "s=$(date +%s%N); zip -8 -q -j " + strZip + " " + strReg + " || exit 1; e=$(date +%s%N); echo $((e-s)) > " + strTime;
    if (RunHost(strCommand) != 0)
        return -1;
    double dZip = _atoi64(ReadFileBytes(WinPath(strTime)).c_str()) / 1e9;
    return dExport + dZip;
}

double RunOurs(CTamselApp* pApp, LONGLONG& llArchiveSize)
{
    CAutoBackup backup;
    LARGE_INTEGER t0 = Now();
    BOOL bOk = WriteAutoBackup(pApp, backup);
    double dSeconds = SecondsSince(t0);
    if (!bOk || backup.m_strArchive.IsEmpty())
    {
        printf("WriteAutoBackup failed: %ls\n", (LPCWSTR)backup.m_strError);
        return -1;
    }
    llArchiveSize = FileSize((LPCWSTR)backup.m_strArchive);
    // The next run must not wait for a free name.
    DeleteFileW(backup.m_strArchive);
    return dSeconds;
}

} // namespace

int wmain()
{
    if (RunHost(std::string("rm -rf ") + kScratch + " && mkdir -p " + kScratch + "app") != 0 &&
        GetFileAttributesW(WinPath(kScratch).c_str()) == INVALID_FILE_ATTRIBUTES)
    {
        printf("FAILED: the scratch folder %s could not be made\n", kScratch);
        return 1;
    }
    if (RunHost("command -v zip") != 0)
    {
        printf("FAILED: zip is needed on the host\n");
        return 1;
    }
    printf("autobackup_bench: %s process\n", ProcessKind());
    CTamselApp* pApp = &theApp;
    pApp->m_strAppDir = WinPath(std::string(kScratch) + "app/").c_str();
    pApp->m_strSettingsFile = pApp->m_strAppDir + L"Settings.ini";

    SHDeleteKeyW(HKEY_CURRENT_USER, kBenchKey);
    printf("Building %d values in %d subkeys...\n", kBenchSubKeys * kBenchValuesPerKey, kBenchSubKeys);
    if (!FillBenchKey(HKEY_CURRENT_USER))
    {
        printf("FAILED: the benchmark key could not be built\n");
        SHDeleteKeyW(HKEY_CURRENT_USER, kBenchKey);
        return 1;
    }
    CArray<CRegProblem>& list = RepairListOf(pApp, 15);
    for (int nKey = 0; nKey < kBenchSubKeys; ++nKey)
    {
        CRegProblem problem;
        problem.m_bValue = 0;
        problem.m_strKey.Format(L"%s\\Vendor %04d", kBenchKey, nKey);
        problem.m_strKeyPath = CString(L"HKEY_CURRENT_USER\\") + problem.m_strKey;
        problem.m_nKind = 1;
        list.Add(problem);
    }

    LONGLONG llOurSize = 0;
    BestTimes best = TimeInTurns(kRuns, "run", "WriteAutoBackup", [&] { return RunOurs(pApp, llOurSize); },
                                 "regedit /E + zip -8", RunPeer);
    SHDeleteKeyW(HKEY_CURRENT_USER, kBenchKey);
    LONGLONG llPeerSize = FileSize(WinPath(std::string(kScratch) + "peer.zip"));
    RunHost(std::string("rm -rf ") + kScratch);
    if (!best.bOk)
    {
        printf("FAILED: a run did not complete\n");
        return 1;
    }
    printf("WriteAutoBackup (with read-back check): %.3f s best, %.3f s median of %d, archive %lld bytes\n", best.dOurs,
           best.MedianOurs(), kRuns, llOurSize);
    printf("regedit /E + zip -8:                    %.3f s best, %.3f s median of %d, archive %lld bytes\n", best.dPeer,
           best.MedianPeer(), kRuns, llPeerSize);
    PrintRatios("WriteAutoBackup", "(regedit /E + zip -8)", best, 1.10);
    return 0;
}
