// Speed of the Quick shred (one random pass of 64 KiB writes and a flush)
// against GNU shred on the same 256 MB file:
//  (a) Quick against "shred -n1 -z -x" (their one random pass and a zero
//      pass: two to our one). Target <= 1.0.
//  (b) Quick against "shred -n0 -z -x" (one zero pass): per pass. Target <= 1.5.
// The file keeps its blocks between runs: a hard link made before our shred
// deletes the name is renamed back after it. Best of three runs each; the
// shell times shred alone, without the start of the shell.
//
// Run by hand under wine64, from the build folder:
//   cmake ... -DTAMSEL_BUILD_BENCHMARKS=ON && cmake --build . --target shred_bench
//   ./wine-run.sh --setup && ./wine-run.sh bin/shred_bench.exe
#include "privacy/ShredPlan.h"
#include "benchmarks/junkscan/HostShell.h"
#include <algorithm>
#include <stdio.h>
#include <string>
#include <vector>

namespace {

const ULONGLONG kSize = 256ull * 1024 * 1024;
const int kRuns = 3;

double Now()
{
    LARGE_INTEGER counter, frequency;
    ::QueryPerformanceCounter(&counter);
    ::QueryPerformanceFrequency(&frequency);
    return double(counter.QuadPart) / double(frequency.QuadPart);
}

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

// Our Quick on the file; the link keeps its blocks and takes its name back.
double OursQuick(const std::wstring& strFile, const std::wstring& strLink, CShredPatterns& patterns)
{
    if (!::CreateHardLinkW(strLink.c_str(), strFile.c_str(), NULL))
        return -1.0;
    size_t nSlash = strFile.rfind(L'\\');
    CShredRun run(SystemShredIo(), patterns, NULL);
    double t0 = Now();
    ShredRunResult result = run.Run({ShredItem{strFile.substr(0, nSlash + 1), strFile.substr(nSlash + 1)}}, 1);
    double t1 = Now();
    if (!::MoveFileW(strLink.c_str(), strFile.c_str()) || result != SHRED_RUN_DONE)
        return -1.0;
    return t1 - t0;
}

} // namespace

int wmain()
{
    wchar_t szTemp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, szTemp);
    std::wstring strFile = std::wstring(szTemp) + L"tamsel_shred_bench.bin";
    std::wstring strLink = strFile + L".link";
    ::DeleteFileW(strLink.c_str());
    printf("Writing a %u MB file...\n", (unsigned)(kSize >> 20));
    if (!MakeFile(strFile))
    {
        printf("FAILED: the file could not be written\n");
        return 1;
    }
    std::string strUnix = benchshell::UnixPath(strFile);
    std::string strOut;
    if (strUnix.empty() || !benchshell::Run("command -v shred", strOut))
    {
        printf("FAILED: GNU shred is not reachable\n");
        ::DeleteFileW(strFile.c_str());
        return 1;
    }
    CShredPatterns patterns;
    if (!patterns.Alloc(1))
        return 1;
    patterns.FillRandom(::GetTickCount());

    double dOurs = 1e9, dTwo = 1e9, dOne = 1e9;
    bool bOk = true;
    for (int nRun = 0; nRun < kRuns && bOk; nRun++)
    {
        double dRunOurs = OursQuick(strFile, strLink, patterns);
        double dRunTwo = benchshell::Time("shred -n1 -z -x '" + strUnix + "'");
        double dRunOne = benchshell::Time("shred -n0 -z -x '" + strUnix + "'");
        bOk = dRunOurs >= 0 && dRunTwo >= 0 && dRunOne >= 0;
        printf("run %d: Quick %.3f s, shred -n1 -z -x %.3f s, shred -n0 -z -x %.3f s\n", nRun + 1, dRunOurs, dRunTwo,
               dRunOne);
        dOurs = std::min(dOurs, dRunOurs);
        dTwo = std::min(dTwo, dRunTwo);
        dOne = std::min(dOne, dRunOne);
    }
    ::DeleteFileW(strFile.c_str());
    ::DeleteFileW(strLink.c_str());
    if (!bOk)
    {
        printf("FAILED: a run did not complete\n");
        return 1;
    }
    printf("Quick:            %.3f s (best of %d)\n", dOurs, kRuns);
    printf("shred -n1 -z -x:  %.3f s\n", dTwo);
    printf("shred -n0 -z -x:  %.3f s\n", dOne);
    printf("ratio Quick / shred -n1 -z -x: %.2f (target <= 1.00: %s)\n", dOurs / dTwo, dOurs <= dTwo ? "met" : "NOT met");
    printf("ratio per pass, Quick / shred -n0 -z -x: %.2f (target <= 1.50: %s)\n", dOurs / dOne,
           dOurs <= 1.5 * dOne ? "met" : "NOT met");
    return 0;
}
