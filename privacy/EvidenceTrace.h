#pragma once
// One place where a catalogue item's traces of use live: a registry key or
// value, or a folder with a file rule.
#include "framework/Afx.h"

// An item holds at most this many (the catalogue node's array).
#ifndef EVIDENCE_MAX_TRACES
#define EVIDENCE_MAX_TRACES 26
#endif

enum
{
    EVIDENCE_ROOT_NAME_SIZE = 64,
    EVIDENCE_PATH_SIZE = 260,
};

// Folder trace rules; registry traces carry 0, which nothing reads.
enum
{
    EVIDENCE_MODE_NONE = 0,
    EVIDENCE_MODE_EVERY_FILE = 10,
    EVIDENCE_MODE_EXTENSION = 11,  // files whose extension (with its dot) is the operand
    EVIDENCE_MODE_NAME = 12,       // the one file of that name in the folder
};
#define TRACE_MODE_EVERY_FILE EVIDENCE_MODE_EVERY_FILE
#define TRACE_MODE_EXTENSION EVIDENCE_MODE_EXTENSION
#define TRACE_MODE_NAME EVIDENCE_MODE_NAME

// A registry trace's name meaning the whole key.
#define EVIDENCE_WHOLE_KEY L"*.*"

struct EvidenceTrace
{
    HKEY hRootKey;                                // predefined key, or NULL for a folder
    wchar_t szRootName[EVIDENCE_ROOT_NAME_SIZE];  // "HKEY_CURRENT_USER\"; empty for folders
    wchar_t szPath[EVIDENCE_PATH_SIZE];           // key path, or folder ending in '\'
    wchar_t szName[EVIDENCE_PATH_SIZE];           // value name, "*.*", extension or file name
    int nMode;
    // The folder itself is never removed, even when emptied (TEMP, shell folders).
    BOOL bKeepFolder;
    // Never deleted: the clean reports it undeleted (the paging file).
    BOOL bNeverDelete;
    // The clean clears the browser's URL history before walking the folder.
    BOOL bClearUrlHistory;

    BOOL IsRegistry() const { return hRootKey != NULL; }
    BOOL IsWholeKey() const;
};

// "HKEY_CURRENT_USER\" and its siblings; empty for any other key.
CString EvidenceRootName(HKEY hRootKey);

// Fills a trace; FALSE (and the trace unusable) when the path or the name does
// not fit: cut short, a path can name one of its parents.
BOOL FillEvidenceTrace(EvidenceTrace& trace, HKEY hRootKey, LPCWSTR pszPath, LPCWSTR pszName, int nMode);

// The traces of one item, in the order its case adds them (at most 26).
class CEvidenceTraceList
{
public:
    CEvidenceTraceList() {}
    // FALSE when it does not fit or the list is full; nothing is added then.
    BOOL AddRegistry(HKEY hRootKey, const CString& strPath, const CString& strValueName);
    BOOL AddFolder(const CString& strFolder, const CString& strOperand, int nMode, BOOL bKeepFolder = FALSE);
    BOOL Add(const EvidenceTrace& trace);

    int GetCount() const { return (int)m_traces.size(); }
    const EvidenceTrace& operator[](int nIndex) const { return m_traces[(size_t)nIndex]; }
    EvidenceTrace& Last() { return m_traces.back(); }
    void Clear() { m_traces.clear(); }

private:
    std::vector<EvidenceTrace> m_traces;
};
