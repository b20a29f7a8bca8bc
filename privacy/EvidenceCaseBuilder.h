#pragma once
// What each case of the table is written with: traces added by kind, folders
// that do not pass the folder guard dropped at once.
#include "privacy/EvidenceTrace.h"
#include <initializer_list>

class CEvidenceCaseBuilder
{
public:
    explicit CEvidenceCaseBuilder(CEvidenceTraceList& traces) : m_traces(traces) {}

    void WholeKey(HKEY hRoot, LPCWSTR pszPath) { m_traces.AddRegistry(hRoot, pszPath, EVIDENCE_WHOLE_KEY); }
    void Value(HKEY hRoot, LPCWSTR pszPath, LPCWSTR pszName) { m_traces.AddRegistry(hRoot, pszPath, pszName); }
    // Every file of the folder tree. bKeepFolder: the folder itself stays.
    void EveryFile(const CString& strFolder, BOOL bKeepFolder = FALSE);
    void Extension(const CString& strFolder, LPCWSTR pszExtension);
    // The named files directly in the folder.
    void Names(const CString& strFolder, std::initializer_list<LPCWSTR> names);
    CEvidenceTraceList& Traces() { return m_traces; }

private:
    void AddFolder(const CString& strFolder, LPCWSTR pszOperand, int nMode, BOOL bKeepFolder);
    CEvidenceTraceList& m_traces;
};

// The groups of the table; each answers FALSE for an id it does not hold.
BOOL ResolveWindowsCase(int nStringId, CEvidenceCaseBuilder& add);
BOOL ResolveBrowserCase(int nStringId, CEvidenceCaseBuilder& add);
BOOL ResolveProgramCase(int nStringId, CEvidenceCaseBuilder& add);
