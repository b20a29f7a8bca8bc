#include "privacy/EvidenceCases.h"
#include "privacy/EvidenceCaseBuilder.h"
#include "privacy/FolderGuard.h"

void CEvidenceCaseBuilder::EveryFile(const CString& strFolder, BOOL bKeepFolder)
{
    AddFolder(strFolder, L"*.*", EVIDENCE_MODE_EVERY_FILE, bKeepFolder);
}

void CEvidenceCaseBuilder::Extension(const CString& strFolder, LPCWSTR pszExtension)
{
    AddFolder(strFolder, pszExtension, EVIDENCE_MODE_EXTENSION, FALSE);
}

void CEvidenceCaseBuilder::Names(const CString& strFolder, std::initializer_list<LPCWSTR> names)
{
    for (LPCWSTR pszName : names)
        AddFolder(strFolder, pszName, EVIDENCE_MODE_NAME, FALSE);
}

void CEvidenceCaseBuilder::AddFolder(const CString& strFolder, LPCWSTR pszOperand, int nMode, BOOL bKeepFolder)
{
    EvidenceTrace trace;
    if (!FillEvidenceTrace(trace, NULL, strFolder, pszOperand, nMode))
        return;
    trace.bKeepFolder = bKeepFolder;
    if (IsFolderTraceAllowed(trace))
        m_traces.Add(trace);
}

BOOL ResolveEvidenceCase(int nStringId, CEvidenceTraceList& traces)
{
    if (nStringId < 104 || nStringId > 374)
        return FALSE;
    CEvidenceCaseBuilder add(traces);
    return ResolveWindowsCase(nStringId, add) || ResolveBrowserCase(nStringId, add) ||
           ResolveProgramCase(nStringId, add);
}
