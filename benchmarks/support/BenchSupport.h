#pragma once
// Shared by the benchmarks: clocks, peers run through Wine or the host's shell,
// the registry key of 100,000 values that the export benchmarks seed, and
// taking turns with a peer.
#include "tests/support/HostSupport.h"

#include <windows.h>
#include <functional>
#include <string>
#include <vector>

namespace benchsupport {

// Windows path of a Linux path ("/tmp/x" -> "Z:\tmp\x").
std::wstring WinPath(const std::string& strUnix);

LARGE_INTEGER Now();
double Seconds(LARGE_INTEGER start, LARGE_INTEGER end);
double SecondsSince(LARGE_INTEGER start);
// The performance counter in seconds.
double NowSeconds();
// Dispatches the messages waiting on this thread.
void Pump();
// Seconds that run took, or -1 when it returned false.
double Timed(const std::function<bool()>& run);

using testsupport::ReadFileBytes;
using testsupport::WriteFileBytes;
// Size of a file, or -1.
LONGLONG FileSize(const std::wstring& strPath);

// Starts a Windows program and waits for it; its exit code, or -1.
int RunProgram(const std::wstring& strCommand);
// A command in the host's /bin/sh with the usual PATH; its exit code, or -1
// when it could not start or did not end in time.
int RunHost(const std::string& strCommand, DWORD dwTimeoutMs = 300000);
// What a host command printed: Wine passes no output back, so it goes
// through a file. Empty when the command could not run.
std::string HostOutput(const std::string& strCommand);

// <hive>\Software\TamselBench: 5,000 subkeys of 20 values each, of four types.
extern const wchar_t kBenchKey[];
const int kBenchSubKeys = 5000;
const int kBenchValuesPerKey = 20;
bool FillBenchKey(HKEY hHive);

// The smallest value, and the middle one (the mean of the middle two for an
// even count); 0 for none.
double Best(const std::vector<double>& values);
double Median(std::vector<double> values);
// "<what>: a, b, c <unit>; best x, median y" (values scaled by dScale).
void PrintRuns(const char* pszWhat, const std::vector<double>& values, const char* pszUnit = "s", double dScale = 1);

// Times of ours and of the peer over nRuns runs, each going first in turn so
// neither always meets a warmer cache. A run returns its seconds, or a
// negative number when it failed, which ends the measurement. Each run is
// printed as "<what> <n>: <ours> x s, <peer> y s", then every time of each
// side with its best and median.
struct BestTimes
{
    double dOurs = 1e9;
    double dPeer = 1e9;
    std::vector<double> arrOurs;
    std::vector<double> arrPeer;
    bool bOk = true;
    double MedianOurs() const { return Median(arrOurs); }
    double MedianPeer() const { return Median(arrPeer); }
};
BestTimes TimeInTurns(int nRuns, const char* pszWhat, const char* pszOurs, const std::function<double()>& ours,
                      const char* pszPeer, const std::function<double()>& peer);

// "ratio <ours> / <peer>: r (target <= t: met)".
void PrintRatio(const char* pszOurs, const char* pszPeer, double dOurs, double dPeer, double dTarget);
// Both ratios of a measurement, best and median: "ratio <ours> / <peer>, best
// of n: r (target <= t: met); median: m (met)".
void PrintRatios(const char* pszOurs, const char* pszPeer, const BestTimes& times, double dTarget);

// "32-bit (WOW64)", "32-bit" or "64-bit": how this process runs.
const char* ProcessKind();
// Full path of the regedit.exe that runs with the given bitness, so that it
// reads the same registry view as a program of that bitness.
std::wstring RegeditPath(bool b32Bit);
// The quoted regedit of this process's own bitness: the peer of a 32-bit
// program on 64-bit Windows is the 32-bit regedit, which sees its view.
std::wstring OwnRegedit();
// Full path of reg.exe of this process's own bitness, in the real folder of
// that bitness's tools (SysWOW64 for a 32-bit process on 64-bit Windows).
// With /reg:32 or /reg:64 it reads and writes a view regedit cannot reach.
std::wstring OwnRegExe();

} // namespace benchsupport
