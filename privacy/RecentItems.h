#pragma once
// Sweepkit.ini, section "RecentItem": the items checked at the last scan,
// and the choice the evidence page opens with.
#include "privacy/EvidenceItem.h"
#include <vector>

#define SWEEPKIT_INI L"Sweepkit.ini"
#define RECENT_ITEM_SECTION L"RecentItem"

// Writes "item0".. for the items chained through m_pNext from pFirstScanItem,
// then "RecentItems" with their number (at most the catalogue's item count).
// Returns the number written.
int WriteRecentItems(const CEvidenceItem* pFirstScanItem);

// The string ids saved by the last scan, in scan order; FALSE (and no ids)
// when none were saved. The count read is capped at the catalogue's items.
BOOL ReadRecentItems(std::vector<int>& ids);

// The ids the evidence page checks when it opens: the saved ones that name a
// node of the catalogue, or the default choice when nothing was saved.
// pbSaved tells which (may be NULL). The page unchecks everything first.
std::vector<int> GetStartChoice(CEvidenceItem* pFirstRoot, BOOL* pbSaved);

// The default choice's ids that name a node of the catalogue.
std::vector<int> GetDefaultChoice(CEvidenceItem* pFirstRoot);
