#include "privacy/EvidenceTrace.h"
#include "services/RegHive.h"

namespace {

// Copies when the whole text fits with its terminator.
BOOL CopyWhole(wchar_t* pszTarget, size_t nSize, LPCWSTR pszSource)
{
    if (pszSource == NULL)
        pszSource = L"";
    size_t nLength = wcslen(pszSource);
    if (nLength >= nSize)
        return FALSE;
    wmemcpy(pszTarget, pszSource, nLength + 1);
    return TRUE;
}

} // namespace

BOOL EvidenceTrace::IsWholeKey() const
{
    return IsRegistry() && wcscmp(szName, EVIDENCE_WHOLE_KEY) == 0;
}

CString EvidenceRootName(HKEY hRootKey)
{
    const RegHive* pHive = FindRegHive(hRootKey, REG_HIVE_WITH_CONFIG);
    return pHive != NULL ? CString(pHive->pszName) + L"\\" : CString();
}

BOOL FillEvidenceTrace(EvidenceTrace& trace, HKEY hRootKey, LPCWSTR pszPath, LPCWSTR pszName, int nMode)
{
    trace = EvidenceTrace();
    trace.hRootKey = hRootKey;
    trace.nMode = nMode;
    CString strRootName = EvidenceRootName(hRootKey);
    if (!CopyWhole(trace.szRootName, EVIDENCE_ROOT_NAME_SIZE, strRootName) ||
        !CopyWhole(trace.szPath, EVIDENCE_PATH_SIZE, pszPath) || !CopyWhole(trace.szName, EVIDENCE_PATH_SIZE, pszName))
    {
        trace = EvidenceTrace();
        return FALSE;
    }
    return TRUE;
}

BOOL CEvidenceTraceList::AddRegistry(HKEY hRootKey, const CString& strPath, const CString& strValueName)
{
    // A registry trace needs a predefined root; any other names nothing.
    if (EvidenceRootName(hRootKey).IsEmpty())
        return FALSE;
    EvidenceTrace trace;
    if (!FillEvidenceTrace(trace, hRootKey, strPath, strValueName, EVIDENCE_MODE_NONE))
        return FALSE;
    return Add(trace);
}

BOOL CEvidenceTraceList::AddFolder(const CString& strFolder, const CString& strOperand, int nMode, BOOL bKeepFolder)
{
    EvidenceTrace trace;
    if (!FillEvidenceTrace(trace, NULL, strFolder, strOperand, nMode))
        return FALSE;
    trace.bKeepFolder = bKeepFolder;
    return Add(trace);
}

BOOL CEvidenceTraceList::Add(const EvidenceTrace& trace)
{
    if ((int)m_traces.size() >= EVIDENCE_MAX_TRACES)
        return FALSE;
    m_traces.push_back(trace);
    return TRUE;
}
