// Speed of each shred pass against the physical limit of the same write: dd
// overwriting the same 256 MB file in place with buffered 64 KiB blocks and
// an fsync ("dd bs=64K conv=notrunc,fsync"), in the same run.
//
// Ours, each in its own clock:
//   Quick:  the whole one-pass shred (random pass, flush, delete); the file
//           keeps its blocks between runs through a hard link made before
//           and renamed back after.
//   random, zeros, ones: one pass each of the three-pass method, alone.
// The random passes repeat one 64 KiB buffer over the file; that buffer is
// made inside their clock, and the time it took is printed. Five runs, ours
// and dd taking turns at going first; the shell times dd alone. Every run,
// the best and the median are printed. Target: each pass <= 1.2 x dd.
//
// Run by hand from the build folder (i686: wine, x86_64: wine64):
//   cmake ... -DTAMSEL_BUILD_BENCHMARKS=ON && cmake --build . --target shred_bench
//   WINEPREFIX=... wine bin/shred_bench.exe
#include "privacy/ShredPlan.h"
#include "benchmarks/junkscan/HostShell.h"
#include "benchmarks/support/BenchSupport.h"
#include <stdio.h>
#include <string>
#include <vector>

using benchsupport::NowSeconds;

namespace {

const ULONGLONG kSize = 256ull * 1024 * 1024;
const int kRuns = 5;
const double kTarget = 1.2;

enum Pass
{
    PASS_QUICK,
    PASS_RANDOM,
    PASS_ZEROS,
    PASS_ONES,
    PASS_DD,
    PASS_COUNT
};
const char* const kPassNames[PASS_COUNT] = {"Quick (random pass + delete)", "random pass", "zeros pass", "ones pass",
                                            "dd bs=64K conv=fsync"};

bool MakeFile(const std::wstring& strPath)
{
    HANDLE h = ::CreateFileW(strPath.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (h == INVALID_HANDLE_VALUE)
        return false;
    std::vector<char> block(1 << 20, 'd');
    bool bOk = true;
    for (ULONGLONG ull = 0; ull < kSize && bOk; ull += block.size())
    {
        DWORD n = 0;
        bOk = ::WriteFile(h, block.data(), (DWORD)block.size(), &n, NULL) && n == block.size();
    }
    bOk = bOk && ::FlushFileBuffers(h);
    ::CloseHandle(h);
    return bOk;
}

// One of our passes; dMakeSeconds gets the time the random buffer took.
double Ours(Pass pass, const std::wstring& strFile, const std::wstring& strLink, double& dMakeSeconds)
{
    if (pass == PASS_QUICK && !::CreateHardLinkW(strLink.c_str(), strFile.c_str(), NULL))
        return -1.0;
    const bool bRandom = pass == PASS_QUICK || pass == PASS_RANDOM;
    const double t0 = NowSeconds();
    CShredPatterns patterns;
    if (!patterns.Alloc(bRandom ? 1 : 3))
        return -1.0;
    if (bRandom)
        patterns.FillRandom(::GetTickCount());
    dMakeSeconds = NowSeconds() - t0;
    CShredRun run(SystemShredIo(), patterns, NULL);
    bool bOk;
    if (pass == PASS_QUICK)
    {
        size_t nSlash = strFile.rfind(L'\\');
        bOk = run.Run({ShredItem{strFile.substr(0, nSlash + 1), strFile.substr(nSlash + 1)}}, 1) == SHRED_RUN_DONE;
    }
    else
    {
        ShredPattern pattern = pass == PASS_RANDOM ? SHRED_RANDOM : pass == PASS_ZEROS ? SHRED_ZEROS : SHRED_ONES;
        bOk = run.WritePass(strFile.c_str(), pattern) == SHRED_PASS_DONE;
    }
    const double t1 = NowSeconds();
    if (pass == PASS_QUICK && !::MoveFileW(strLink.c_str(), strFile.c_str()))
        return -1.0;
    return bOk ? t1 - t0 : -1.0;
}

} // namespace

int wmain()
{
    wchar_t szTemp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, szTemp);
    std::wstring strFile = std::wstring(szTemp) + L"tamsel_shred_bench.bin";
    std::wstring strLink = strFile + L".link";
    ::DeleteFileW(strLink.c_str());
    printf("shred_bench: %s process\n", benchsupport::ProcessKind());
    printf("Writing a %u MB file...\n", (unsigned)(kSize >> 20));
    if (!MakeFile(strFile))
    {
        printf("FAILED: the file could not be written\n");
        return 1;
    }
    std::string strUnix = benchshell::UnixPath(strFile);
    std::string strOut;
    if (strUnix.empty() || !benchshell::Run("command -v dd", strOut))
    {
        printf("FAILED: dd is not reachable\n");
        ::DeleteFileW(strFile.c_str());
        return 1;
    }
    char szCount[32];
    sprintf(szCount, "%u", (unsigned)(kSize / 65536));
    const std::string strDd = "dd if=/dev/zero of='" + strUnix + "' bs=64K count=" + szCount +
                              " conv=notrunc,fsync status=none";

    std::vector<double> times[PASS_COUNT], makes;
    bool bOk = true;
    for (int nRun = 0; nRun < kRuns && bOk; nRun++)
    {
        double dRun[PASS_COUNT] = {};
        for (int nTurn = 0; nTurn < 2 && bOk; nTurn++)
        {
            if ((nTurn == 0) == (nRun % 2 == 0))
            {
                for (int nPass = PASS_QUICK; nPass < PASS_DD && bOk; nPass++)
                {
                    double dMake = 0;
                    dRun[nPass] = Ours((Pass)nPass, strFile, strLink, dMake);
                    bOk = dRun[nPass] >= 0;
                    if (nPass == PASS_RANDOM)
                        makes.push_back(dMake);
                }
            }
            else
            {
                dRun[PASS_DD] = benchshell::Time(strDd);
                bOk = dRun[PASS_DD] > 0;
            }
        }
        if (!bOk)
            break;
        printf("run %d:", nRun + 1);
        for (int nPass = 0; nPass < PASS_COUNT; nPass++)
        {
            times[nPass].push_back(dRun[nPass]);
            printf("%s %s %.3f s", nPass ? "," : "", kPassNames[nPass], dRun[nPass]);
        }
        printf("\n");
        fflush(stdout);
    }
    ::DeleteFileW(strFile.c_str());
    ::DeleteFileW(strLink.c_str());
    if (!bOk)
    {
        printf("FAILED: a run did not complete\n");
        return 1;
    }
    for (int nPass = 0; nPass < PASS_COUNT; nPass++)
        benchsupport::PrintRuns(kPassNames[nPass], times[nPass]);
    printf("The random passes repeat one 64 KiB buffer over the file; making it took %.3f ms (median, inside "
           "their clock).\n",
           benchsupport::Median(makes) * 1000);
    const double dBestDd = benchsupport::Best(times[PASS_DD]), dMedianDd = benchsupport::Median(times[PASS_DD]);
    for (int nPass = PASS_QUICK; nPass < PASS_DD; nPass++)
    {
        const double dBest = benchsupport::Best(times[nPass]) / dBestDd;
        const double dMedian = benchsupport::Median(times[nPass]) / dMedianDd;
        printf("ratio %s / dd, best: %.2f, median: %.2f (target <= %.2f: %s)\n", kPassNames[nPass], dBest, dMedian,
               kTarget, dMedian <= kTarget ? "met" : "NOT met");
    }
    return 0;
}
