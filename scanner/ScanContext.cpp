#include "scanner/ScanContext.h"
#include "app/TamselApp.h"

CScanContext::CScanContext()
    : m_hStopEvent(::CreateEventW(NULL, TRUE, FALSE, NULL)), m_pProblems(NULL), m_pRepair(NULL), m_nNextProblem(1),
      m_bWow64(FALSE), m_bUnwritableSkipped(FALSE), m_bCompleted(0), m_bClassListsBuilt(FALSE), m_bStopSeen(0), m_nPolls(0)
{
    for (int i = 0; i < SCAN_CATEGORIES; i++)
    {
        m_nCategoryCount[i] = 1;
        m_bScanCategory[i] = TRUE;
    }
}

CScanContext::~CScanContext()
{
    if (m_hStopEvent != NULL)
        ::CloseHandle(m_hStopEvent);
}

BOOL CScanContext::IsStopped()
{
    if (m_bStopSeen)
        return TRUE;
    if ((m_nPolls++ & 15) == 0 && m_hStopEvent != NULL && ::WaitForSingleObject(m_hStopEvent, 0) == WAIT_OBJECT_0)
        m_bStopSeen = 1;
    return m_bStopSeen != 0;
}

void CScanContext::Stop()
{
    m_bStopSeen = 1;
    if (m_hStopEvent != NULL)
        ::SetEvent(m_hStopEvent);
}

CArray<CRegProblem>& CScanContext::ProblemList(int nCategory)
{
    return m_pProblems[CTamselApp::KeySlotOfCategory(nCategory)];
}
