#pragma once
// What the evidence page and its workers call: work out an item's traces,
// list what exists there, delete it. No windows here: rows and counts go out
// through the two interfaces below, on the calling (worker) thread.
#include "privacy/EvidenceTrace.h"

class CEvidenceItem;

// Row kinds, kept as the result row's data.
enum
{
    EVIDENCE_ROW_FILE = 0,
    EVIDENCE_ROW_REGISTRY = 1,
};

// One value or file found by the listing.
struct EvidenceRow
{
    CString strName;      // value name ("" = default value) or file name
    CString strLocation;  // root name and key path, or the folder ending in '\'
    int nKind = EVIDENCE_ROW_FILE;
};

// Receives the listing of the scan thread. Implementations must not touch
// another thread's windows from here: queue the rows and post.
class CEvidenceListSink
{
public:
    virtual ~CEvidenceListSink() {}
    // The item's listing begins (the tree marks it as being scanned) and ends.
    virtual void OnItemStart(CEvidenceItem* pItem) { (void)pItem; }
    virtual void OnItemEnd(CEvidenceItem* pItem, int nFound) { (void)pItem; (void)nFound; }
    // One row found for the item.
    virtual void OnRow(CEvidenceItem* pItem, const EvidenceRow& row) = 0;
    // Polled with no wait before each value, subkey and folder and after each file.
    virtual BOOL IsStopRequested() = 0;
};

// Receives the counts of the clean thread (the cleaning progress dialog).
class CEvidenceCleanReport
{
public:
    virtual ~CEvidenceCleanReport() {}
    virtual void AddDeleted(int nCount) = 0;
    virtual void AddUndeleted() = 0;
    // A file in use, left for now and set to go at the next start of Windows.
    virtual void AddScheduled() { AddUndeleted(); }
    // Polled before each trace, file and folder: once TRUE, the clean leaves
    // what it has not reached and reports nothing for it.
    virtual BOOL IsStopRequested() { return FALSE; }
};

// Frees the item's traces, then adds those of its case (none for an id
// without one). Returns the number of traces.
int CollectEvidenceTraces(CEvidenceItem* pItem);

// Appends one trace to the item (its root name set from the root key); FALSE
// when it does not fit or the item is full.
BOOL AddEvidenceTrace(CEvidenceItem* pItem, HKEY hRootKey, LPCWSTR pszPath, LPCWSTR pszName, int nMode);

// Lists every trace of the item in order; returns the number of rows found.
// Stops early when the sink asks to.
int ListEvidenceItem(CEvidenceItem* pItem, CEvidenceListSink& sink);

// Deletes every trace of the item in order, reporting each entry, until the
// report asks to stop; a NULL report deletes the same and tells nobody.
void CleanEvidenceItem(CEvidenceItem* pItem, CEvidenceCleanReport* pReport);

// The trace-level forms, for callers that hold traces of their own. The item
// pointer is only handed on to the sink.
int ListEvidenceTrace(CEvidenceItem* pItem, const EvidenceTrace& trace, CEvidenceListSink& sink);
void CleanEvidenceTrace(const EvidenceTrace& trace, CEvidenceCleanReport* pReport);

// Deletes what one result row shows (the page's Delete): the file, or the
// registry value under its root. TRUE when the row may go: deleted, or
// already gone. A root other than the five predefined ones deletes nothing.
BOOL DeleteEvidenceRow(const EvidenceRow& row);
// The predefined key of "HKEY_CURRENT_USER" and its siblings; NULL otherwise.
HKEY EvidenceRootFromName(const CString& strRootName);

// Frees the traces an item holds, as its ClearTraces does.
void FreeEvidenceTraces(CEvidenceItem* pItem);
