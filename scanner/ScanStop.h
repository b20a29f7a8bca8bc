#pragma once
// The stop of the scan that runs on this thread, for the loops below the
// scanners that are handed no scan: the enumeration of a key and the file
// look-ups of one registry text. With a huge key or a long text they would
// go on long after a stop. Outside a scan nothing is ever stopped.
#include "framework/Afx.h"

class CScanContext;

// While it lives, the calling thread's loops ask this scan whether it was
// stopped. Scopes nest; each puts back the one it replaced.
class CScanStopScope
{
public:
    explicit CScanStopScope(CScanContext& scan);
    ~CScanStopScope();
    CScanStopScope(const CScanStopScope&) = delete;
    CScanStopScope& operator=(const CScanStopScope&) = delete;

private:
    CScanContext* m_pOuter;
};

// TRUE once the scan of the calling thread's innermost scope was stopped.
BOOL IsThreadScanStopped();
