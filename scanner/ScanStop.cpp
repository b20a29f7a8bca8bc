#include "scanner/ScanStop.h"
#include "scanner/ScanContext.h"

namespace {
// Only the thread that set it reads it, so the scan's own counters stay
// with the worker.
thread_local CScanContext* t_pScan = NULL;
}  // namespace

CScanStopScope::CScanStopScope(CScanContext& scan) : m_pOuter(t_pScan)
{
    t_pScan = &scan;
}

CScanStopScope::~CScanStopScope()
{
    t_pScan = m_pOuter;
}

BOOL IsThreadScanStopped()
{
    return t_pScan != NULL && t_pScan->IsStopped();
}
