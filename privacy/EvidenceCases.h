#pragma once
// The case table: which traces each catalogue item (by string id) has on
// this machine. Folders and registry texts are read when the case runs.
#include "privacy/EvidenceTrace.h"

// Adds the traces of the item's case; FALSE for an id without a case.
BOOL ResolveEvidenceCase(int nStringId, CEvidenceTraceList& traces);
