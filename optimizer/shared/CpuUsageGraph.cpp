#include "optimizer/shared/CpuUsageGraph.h"
#include <vector>

namespace {
const LONG kInfoLengthMismatch = (LONG)0xC0000004;
const ULONG kPerformanceLength = 312;
const ULONG kPerformanceLimit = 64 * 1024;

ULONGLONG FileTimeValue(const FILETIME& ft)
{
    return ((ULONGLONG)ft.dwHighDateTime << 32) | ft.dwLowDateTime;
}
} // namespace

CCpuUsageGraph::CCpuUsageGraph()
    : m_nLastLoad(40), m_ullPrevIdle(0), m_ullPrevTime(0), m_nPrevSource(0), m_bInjected(false), m_pfnQuery(NULL),
      m_pfnTimes(NULL)
{
}

void CCpuUsageGraph::SetSources(PFN_QUERY_SYSTEM_INFORMATION pfnQuery, PFN_GET_SYSTEM_TIMES pfnTimes)
{
    m_bInjected = pfnQuery != NULL || pfnTimes != NULL;
    m_pfnQuery = pfnQuery;
    m_pfnTimes = pfnTimes;
}

int CCpuUsageGraph::Load(ULONGLONG ullIdleDelta, ULONGLONG ullTimeDelta, int nProcessors, int nPrevious)
{
    if (ullTimeDelta == 0 || nProcessors <= 0)
        return nPrevious;
    const double dLoad = 100.0 - (double)ullIdleDelta / (double)ullTimeDelta * 100.0 / nProcessors;
    int nLoad = (int)(dLoad + 0.5);
    if (dLoad + 0.5 < 0.0)
        nLoad = 0;
    if (nLoad < 0)
        nLoad = 0;
    if (nLoad > 100)
        nLoad = 100;
    return nLoad;
}

bool CCpuUsageGraph::ReadNative(ULONGLONG& ullIdle, ULONGLONG& ullTime, int& nProcessors)
{
    PFN_QUERY_SYSTEM_INFORMATION pfnQuery = m_pfnQuery;
    if (!m_bInjected)
    {
        HMODULE hNtdll = ::GetModuleHandleW(L"ntdll");
        if (hNtdll != NULL)
            pfnQuery = (PFN_QUERY_SYSTEM_INFORMATION)(void*)::GetProcAddress(hNtdll, "NtQuerySystemInformation");
    }
    if (pfnQuery == NULL)
        return false;
    CpuBasicInformation basic = {};
    if (pfnQuery(0, &basic, sizeof(basic), NULL) != 0)
        return false;
    CpuTimeOfDayInformation timeOfDay = {};
    if (pfnQuery(3, &timeOfDay, sizeof(timeOfDay), NULL) != 0)
        return false;
    // Newer systems want a longer performance record: ask again with the length they name.
    std::vector<BYTE> buffer(kPerformanceLength);
    ULONG nReturned = 0;
    LONG nStatus = pfnQuery(2, buffer.data(), (ULONG)buffer.size(), &nReturned);
    if (nStatus == kInfoLengthMismatch && nReturned > buffer.size() && nReturned <= kPerformanceLimit)
    {
        buffer.assign(nReturned, 0);
        nStatus = pfnQuery(2, buffer.data(), (ULONG)buffer.size(), &nReturned);
    }
    if (nStatus != 0)
        return false;
    LARGE_INTEGER idle;
    memcpy(&idle, buffer.data(), sizeof(idle));
    ullIdle = (ULONGLONG)idle.QuadPart;
    ullTime = (ULONGLONG)timeOfDay.CurrentTime.QuadPart;
    nProcessors = (unsigned char)basic.NumberOfProcessors;
    return nProcessors > 0;
}

bool CCpuUsageGraph::ReadSystemTimes(ULONGLONG& ullIdle, ULONGLONG& ullTime)
{
    PFN_GET_SYSTEM_TIMES pfnTimes = m_bInjected ? m_pfnTimes : &::GetSystemTimes;
    if (pfnTimes == NULL)
        return false;
    FILETIME ftIdle, ftKernel, ftUser;
    if (!pfnTimes(&ftIdle, &ftKernel, &ftUser))
        return false;
    // Kernel time includes idle time: the busy share is everything else.
    ullIdle = FileTimeValue(ftIdle);
    ullTime = FileTimeValue(ftKernel) + FileTimeValue(ftUser);
    return true;
}

int CCpuUsageGraph::GetCpuUsage()
{
    ULONGLONG ullIdle = 0, ullTime = 0;
    int nProcessors = 1;
    int nSource = 1;
    if (!ReadNative(ullIdle, ullTime, nProcessors))
    {
        nSource = 2;
        nProcessors = 1;
        if (!ReadSystemTimes(ullIdle, ullTime))
            return -1;
    }
    // Deltas only between readings of one kind, and only forward.
    if (m_nPrevSource == nSource && ullIdle >= m_ullPrevIdle && ullTime >= m_ullPrevTime)
        m_nLastLoad = Load(ullIdle - m_ullPrevIdle, ullTime - m_ullPrevTime, nProcessors, m_nLastLoad);
    m_ullPrevIdle = ullIdle;
    m_ullPrevTime = ullTime;
    m_nPrevSource = nSource;
    return m_nLastLoad;
}
