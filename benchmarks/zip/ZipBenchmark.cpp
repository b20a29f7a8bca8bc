// Zip writer and reader against Info-ZIP's zip -8 and unzip on the same 50 MB
// of mixed files (text-like and random), in the same run.
//
// Build and run (x86_64 under wine64; zip and unzip must be on the host):
//   scripts/build.sh x86_64 -DTAMSEL_BUILD_BENCHMARKS=ON
//   WINEPREFIX=/tmp/bench-prefix WINEDEBUG=-all /usr/lib/wine/wine64 build/x86_64/bin/zip_benchmark.exe [megabytes]
// (Wine makes the prefix on first use; after a test run, build/x86_64/wine-run.sh
// bin/zip_benchmark.exe uses the tests' prefix instead.)
// The peers run through the host's /bin/sh and time themselves, so Wine's
// process start does not count against them. Each side runs five times, in
// turn with its peer so that both meet the same machine load; every run is
// printed, and the best time counts (the median is printed beside it). Targets: writer <= 1.3 x zip -8, reader <= 1.3 x unzip, in wall-clock
// time; processor time is printed beside it, as it varies less with the load
// that other processes put on the machine.
#include "framework/Afx.h"

#include "services/ZipReader.h"
#include "services/ZipWriter.h"
#include "benchmarks/support/BenchSupport.h"
#include "tests/support/SampleBytes.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>
#include <vector>

using namespace benchsupport;

namespace {

const int Runs = 5;

struct BenchFile
{
    std::string strName;    // relative, '/' separated
    DWORD dwSize;
    bool bText;
};

// Wall-clock and processor seconds of one run; negative when it failed.
struct Timing
{
    double dWall = -1;
    double dCpu = -1;
};

double ProcessCpuSeconds()
{
    FILETIME ftCreate, ftExit, ftKernel, ftUser;
    if (!GetProcessTimes(GetCurrentProcess(), &ftCreate, &ftExit, &ftKernel, &ftUser))
        return 0;
    ULONGLONG ullKernel = ((ULONGLONG)ftKernel.dwHighDateTime << 32) | ftKernel.dwLowDateTime;
    ULONGLONG ullUser = ((ULONGLONG)ftUser.dwHighDateTime << 32) | ftUser.dwLowDateTime;
    return (double)(ullKernel + ullUser) / 1e7;
}

// Reads "1m2.5s" as seconds.
double ShellSeconds(const char* psz)
{
    double dMinutes = atof(psz);
    const char* pszM = strchr(psz, 'm');
    return pszM ? dMinutes * 60 + atof(pszM + 1) : -1;
}

// Times a host command from inside the shell: wall clock from date, processor
// time of the children from the shell's own "times" (user and system).
Timing TimeHost(const std::string& strScratch, const std::string& strCommand)
{
    Timing t;
    std::string strTimeFile = strScratch + "time.txt";
    std::string timed = "s=$(date +%s%N); " + strCommand + " || exit 1; e=$(date +%s%N); echo $((e-s)) > " + strTimeFile
        + "; times >> " + strTimeFile;
    if (RunHost(timed) != 0)
        return t;
    std::string text = ReadFileBytes(WinPath(strTimeFile));
    size_t nLine2 = text.find('\n');
    size_t nLine3 = nLine2 == std::string::npos ? nLine2 : text.find('\n', nLine2 + 1);
    if (nLine3 == std::string::npos)
        return t;
    const char* pszChildren = text.c_str() + nLine3 + 1;
    const char* pszSystem = strchr(pszChildren, ' ');
    t.dWall = _atoi64(text.c_str()) / 1e9;
    t.dCpu = pszSystem ? ShellSeconds(pszChildren) + ShellSeconds(pszSystem + 1) : -1;
    return t;
}

// Registry-export-like text: what the program's backups mostly hold.
std::string TextData(DWORD dwSize, unsigned nSeed)
{
    static const char* const s_words[] = { "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Classes\\CLSID\\{", "}]\r\n", "\"InprocServer32\"=",
                                           "\"C:\\\\Program Files\\\\", "dword:0000000", "hex:", "0a,", "ff,", "\r\n",
                                           "@=\"", "\"ThreadingModel\"=\"Apartment\"\r\n", "Shell", "Open", "Command" };
    std::string text;
    text.reserve(dwSize + 64);
    unsigned x = nSeed * 2654435761u + 1;
    while (text.size() < dwSize)
    {
        x = x * 1103515245u + 12345u;
        text += s_words[(x >> 16) % (sizeof(s_words) / sizeof(s_words[0]))];
        if ((x >> 8) % 5 == 0)
        {
            char szHex[16];
            sprintf(szHex, "%08X", x);
            text += szHex;
        }
    }
    text.resize(dwSize);
    return text;
}

std::vector<BenchFile> MakeFiles(const std::string& strSource, DWORD dwTotal)
{
    std::vector<BenchFile> files;
    CreateDirectoryW(WinPath(strSource).c_str(), NULL);
    CreateDirectoryW(WinPath(strSource + "sub").c_str(), NULL);
    DWORD dwDone = 0;
    unsigned n = 0;
    while (dwDone < dwTotal)
    {
        ++n;
        bool bText = n % 5 != 0;                            // a fifth random, by count
        DWORD dwSize = 20000 + (n * 7919u % 13) * 80000;    // 20 KB .. 1 MB
        if (dwSize > dwTotal - dwDone)
            dwSize = dwTotal - dwDone;
        char szName[64];
        sprintf(szName, "%sfile%03u.%s", n % 3 == 0 ? "sub/" : "", n, bText ? "reg" : "bin");
        std::string data = bText ? TextData(dwSize, n) : testsupport::PseudoRandomBytes(dwSize, n);
        if (!WriteFileBytes(WinPath(strSource + szName), data))
            return std::vector<BenchFile>();
        files.push_back({ szName, dwSize, bText });
        dwDone += dwSize;
    }
    return files;
}

Timing RunWriter(const std::string& strScratch, const std::vector<BenchFile>& files)
{
    Timing t;
    std::wstring strZip = WinPath(strScratch + "ours.zip");
    double dCpuStart = ProcessCpuSeconds();
    LARGE_INTEGER liStart = Now();
    ZipHandle hZip = CreateZipArchive(strZip.c_str(), 0, ZipKindFile);
    if (!hZip)
        return t;
    bool bOk = true;
    for (const BenchFile& f : files)
    {
        std::wstring strName(f.strName.begin(), f.strName.end());
        bOk = AddToZipArchive(hZip, strName.c_str(), WinPath(strScratch + "src/" + f.strName).c_str(), 0, ZipKindFile) == ZipOk && bOk;
    }
    bOk = CloseZipWriter(hZip) == ZipOk && bOk;
    if (bOk)
    {
        t.dWall = SecondsSince(liStart);
        t.dCpu = ProcessCpuSeconds() - dCpuStart;
    }
    return t;
}

Timing RunReader(const std::string& strScratch)
{
    Timing t;
    std::string strOut = strScratch + "out-ours/";
    CreateDirectoryW(WinPath(strOut).c_str(), NULL);
    CreateDirectoryW(WinPath(strOut + "sub").c_str(), NULL);
    double dCpuStart = ProcessCpuSeconds();
    LARGE_INTEGER liStart = Now();
    ZipHandle hZip = OpenZipArchive(WinPath(strScratch + "ours.zip").c_str(), 0, ZipKindFile);
    if (!hZip)
        return t;
    ZipArchiveEntry e;
    bool bOk = GetZipArchiveItem(hZip, -1, &e) == ZipOk;
    int nCount = e.m_nIndex;
    std::wstring strBase = WinPath(strOut);
    for (int i = 0; bOk && i < nCount; ++i)
    {
        bOk = GetZipArchiveItem(hZip, i, &e) == ZipOk;
        bOk = bOk && ExtractZipArchiveItem(hZip, i, (strBase + e.m_szName).c_str(), 0, ZipKindFile) == ZipOk;
    }
    CloseZipReader(hZip);
    if (bOk)
    {
        t.dWall = SecondsSince(liStart);
        t.dCpu = ProcessCpuSeconds() - dCpuStart;
    }
    return t;
}

std::vector<double> g_arrWall[4];

// The best of the runs so far; a failed run fails the whole measurement.
// Each run's wall-clock time is kept for the median.
void KeepBest(Timing& best, const Timing& run, bool& bFailed, int nSide)
{
    g_arrWall[nSide].push_back(run.dWall);
    if (run.dWall < 0 || run.dCpu < 0)
        bFailed = true;
    if (best.dWall < 0 || run.dWall < best.dWall)
        best.dWall = run.dWall;
    if (best.dCpu < 0 || run.dCpu < best.dCpu)
        best.dCpu = run.dCpu;
}

void PrintRatio(const char* pszWhat, const char* pszPeer, const Timing& ours, const Timing& peer)
{
    printf("%s ours %.3f s, %s %.3f s, ratio %.2f (target <= 1.30); processor time ours %.3f s, %s %.3f s, ratio %.2f\n",
           pszWhat, ours.dWall, pszPeer, peer.dWall, ours.dWall / peer.dWall, ours.dCpu, pszPeer, peer.dCpu, ours.dCpu / peer.dCpu);
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    DWORD dwMegabytes = argc > 1 ? (DWORD)_wtoi(argv[1]) : 50;
    if (dwMegabytes == 0)
        dwMegabytes = 50;
    std::string strScratch = "/tmp/tamsel-zipbench-" + std::to_string(GetCurrentProcessId()) + "/";
    if (RunHost("mkdir -p " + strScratch) != 0)
    {
        printf("cannot run /bin/sh on the host\n");
        return 1;
    }
    if (RunHost("command -v zip && command -v unzip") != 0)
    {
        printf("zip and unzip are needed on the host\n");
        RunHost("rm -rf " + strScratch);
        return 1;
    }
    std::vector<BenchFile> files = MakeFiles(strScratch + "src/", dwMegabytes * 1000000);
    if (files.empty())
    {
        printf("cannot write the test files\n");
        return 1;
    }
    printf("%u files, %lu MB (a fifth random, the rest registry-like text)\n", (unsigned)files.size(), dwMegabytes);

    Timing writer, zip, reader, unzip;
    bool bFailed = false;
    for (int i = 0; i < Runs; ++i)
    {
        KeepBest(writer, RunWriter(strScratch, files), bFailed, 0);
        RunHost("rm -f " + strScratch + "peer.zip");
        KeepBest(zip, TimeHost(strScratch, "cd " + strScratch + "src && zip -8 -q -r ../peer.zip ."), bFailed, 1);
        printf("write run %d: ours %.3f s, zip -8 %.3f s\n", i + 1, g_arrWall[0].back(), g_arrWall[1].back());
        fflush(stdout);
    }
    for (int i = 0; i < Runs; ++i)
    {
        RunHost("rm -rf " + strScratch + "out-ours " + strScratch + "out-unzip");
        KeepBest(reader, RunReader(strScratch), bFailed, 2);
        KeepBest(unzip, TimeHost(strScratch, "unzip -q -o " + strScratch + "ours.zip -d " + strScratch + "out-unzip"), bFailed, 3);
        printf("read run %d: ours %.3f s, unzip %.3f s\n", i + 1, g_arrWall[2].back(), g_arrWall[3].back());
        fflush(stdout);
    }
    int nSame = RunHost("diff -r " + strScratch + "src " + strScratch + "out-ours && unzip -tq " + strScratch + "ours.zip");
    LONGLONG llOurs = FileSize(WinPath(strScratch + "ours.zip")), llPeer = FileSize(WinPath(strScratch + "peer.zip"));
    RunHost("rm -rf " + strScratch);

    if (bFailed)
    {
        printf("a run failed\n");
        return 1;
    }
    printf("archive: ours %lld bytes, zip -8 %lld bytes; extracted files %s\n", llOurs, llPeer,
           nSame == 0 ? "match the sources" : "DIFFER from the sources");
    benchsupport::PrintRuns("write ours", g_arrWall[0]);
    benchsupport::PrintRuns("zip -8", g_arrWall[1]);
    benchsupport::PrintRuns("read ours", g_arrWall[2]);
    benchsupport::PrintRuns("unzip", g_arrWall[3]);
    PrintRatio("write:", "zip -8", writer, zip);
    printf("  median ratio write / zip -8: %.2f\n", Median(g_arrWall[0]) / Median(g_arrWall[1]));
    PrintRatio("read: ", "unzip", reader, unzip);
    printf("  median ratio read / unzip: %.2f\n", Median(g_arrWall[2]) / Median(g_arrWall[3]));
    return nSame == 0 ? 0 : 1;
}
