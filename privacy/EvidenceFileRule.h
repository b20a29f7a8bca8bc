#pragma once
// The file rules of folder traces, shared by the listing and the clean, so
// both always agree on what a trace covers.
#include "privacy/EvidenceTrace.h"

// A file name the trace's rule takes: every file, the extension (from the
// last '.', the whole name without one) or the exact name; case-sensitive.
BOOL EvidenceFileMatches(const EvidenceTrace& trace, LPCWSTR pszFileName);
// A found entry that is a link, junction or other reparse point: never entered
// nor deleted.
BOOL IsReparseEntry(DWORD dwAttributes);
// The trace's folder exists as a plain folder (not a link) the walk may enter.
BOOL IsWalkableFolder(const CString& strFolder);
// The folder trace passes the folder guard and its folder may be entered.
BOOL IsFolderTraceUsable(const EvidenceTrace& trace);
