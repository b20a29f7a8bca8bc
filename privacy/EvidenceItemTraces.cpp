// The item-level calls of the page's workers: an item's traces collected,
// listed and deleted in order.
#include "privacy/EvidenceCases.h"
#include "privacy/EvidenceEngine.h"
#include "privacy/EvidenceItem.h"
#include <new>

void FreeEvidenceTraces(CEvidenceItem* pItem)
{
    if (pItem != NULL)
        pItem->ClearTraces();
}

BOOL AddEvidenceTrace(CEvidenceItem* pItem, HKEY hRootKey, LPCWSTR pszPath, LPCWSTR pszName, int nMode)
{
    EvidenceTrace trace;
    if (pItem == NULL || !FillEvidenceTrace(trace, hRootKey, pszPath, pszName, nMode))
        return FALSE;
    EvidenceTrace* pTrace = new (std::nothrow) EvidenceTrace(trace);
    if (pTrace != NULL && pItem->AddTrace(pTrace))
        return TRUE;
    delete pTrace;
    return FALSE;
}

int CollectEvidenceTraces(CEvidenceItem* pItem)
{
    if (pItem == NULL)
        return 0;
    pItem->ClearTraces();
    CEvidenceTraceList traces;
    ResolveEvidenceCase(pItem->m_nStringID, traces);
    for (int i = 0; i < traces.GetCount(); ++i)
    {
        EvidenceTrace* pTrace = new (std::nothrow) EvidenceTrace(traces[i]);
        if (pTrace == NULL || !pItem->AddTrace(pTrace))
        {
            delete pTrace;
            break;
        }
    }
    return pItem->m_nTraceCount;
}

int ListEvidenceItem(CEvidenceItem* pItem, CEvidenceListSink& sink)
{
    if (pItem == NULL)
        return 0;
    sink.OnItemStart(pItem);
    int nFound = 0;
    for (int i = 0; i < pItem->m_nTraceCount && i < EVIDENCE_MAX_TRACES && !sink.IsStopRequested(); ++i)
    {
        pItem->m_nTraceIndex = i;
        if (pItem->m_pTraces[i] != NULL)
            nFound += ListEvidenceTrace(pItem, *pItem->m_pTraces[i], sink);
    }
    sink.OnItemEnd(pItem, nFound);
    return nFound;
}

void CleanEvidenceItem(CEvidenceItem* pItem, CEvidenceCleanReport* pReport)
{
    if (pItem == NULL)
        return;
    for (int i = 0; i < pItem->m_nTraceCount && i < EVIDENCE_MAX_TRACES; ++i)
    {
        if (pReport != NULL && pReport->IsStopRequested())
            break;
        pItem->m_nTraceIndex = i;
        if (pItem->m_pTraces[i] != NULL)
            CleanEvidenceTrace(*pItem->m_pTraces[i], pReport);
    }
}
