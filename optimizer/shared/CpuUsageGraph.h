#pragma once
// The processor-load sampler: idle time against system time between two calls.
#include "framework/Afx.h"
#include <cstddef>

// The native basic-information record as this build lays it out.
struct CpuBasicInformation
{
    ULONG Reserved;
    ULONG TimerResolution;
    ULONG PageSize;
    ULONG NumberOfPhysicalPages;
    ULONG LowestPhysicalPageNumber;
    ULONG HighestPhysicalPageNumber;
    ULONG AllocationGranularity;
    ULONG_PTR MinimumUserModeAddress;
    ULONG_PTR MaximumUserModeAddress;
    ULONG_PTR ActiveProcessorsAffinityMask;
    CCHAR NumberOfProcessors;
};
#ifdef _WIN64
static_assert(sizeof(CpuBasicInformation) == 64, "basic information is 64 bytes on x86_64");
static_assert(offsetof(CpuBasicInformation, NumberOfProcessors) == 56, "processor count at 56 on x86_64");
#else
static_assert(sizeof(CpuBasicInformation) == 44, "basic information is 44 bytes on i686");
static_assert(offsetof(CpuBasicInformation, NumberOfProcessors) == 40, "processor count at 40 on i686");
#endif

struct CpuTimeOfDayInformation
{
    LARGE_INTEGER BootTime;
    LARGE_INTEGER CurrentTime;
    LARGE_INTEGER TimeZoneBias;
    ULONG TimeZoneId;
    ULONG Reserved;
    ULONGLONG BootTimeBias;
    ULONGLONG SleepTimeBias;
};
static_assert(sizeof(CpuTimeOfDayInformation) == 48, "time of day is 48 bytes");
static_assert(offsetof(CpuTimeOfDayInformation, CurrentTime) == 8, "current time at 8");

typedef LONG(WINAPI* PFN_QUERY_SYSTEM_INFORMATION)(ULONG, PVOID, ULONG, PULONG);
typedef BOOL(WINAPI* PFN_GET_SYSTEM_TIMES)(LPFILETIME, LPFILETIME, LPFILETIME);

class CCpuUsageGraph
{
public:
    CCpuUsageGraph();
    // Load in percent (0 to 100), or -1 when nothing could be read.
    int GetCpuUsage();
    int GetLastLoad() const { return m_nLastLoad; }
    // Tests: replace the system calls (NULL: the system's own).
    void SetSources(PFN_QUERY_SYSTEM_INFORMATION pfnQuery, PFN_GET_SYSTEM_TIMES pfnTimes);
    // The load from two readings; the previous load when no time passed.
    static int Load(ULONGLONG ullIdleDelta, ULONGLONG ullTimeDelta, int nProcessors, int nPrevious);

private:
    bool ReadNative(ULONGLONG& ullIdle, ULONGLONG& ullTime, int& nProcessors);
    bool ReadSystemTimes(ULONGLONG& ullIdle, ULONGLONG& ullTime);

    int m_nLastLoad;
    ULONGLONG m_ullPrevIdle;
    ULONGLONG m_ullPrevTime;
    // Which reading the previous figures came from: 0 none, 1 native, 2 system times.
    int m_nPrevSource;
    bool m_bInjected;
    PFN_QUERY_SYSTEM_INFORMATION m_pfnQuery;
    PFN_GET_SYSTEM_TIMES m_pfnTimes;
};
