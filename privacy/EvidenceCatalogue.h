#pragma once
// The evidence catalogue: eight roots (areas), their programs and the items
// the user checks, with texts from the language file.
#include "privacy/EvidenceItem.h"

// Builds the whole catalogue; returns the first root (the roots chain
// through m_pNext). A node that cannot be allocated is left out.
CEvidenceItem* BuildEvidenceItemTree(LPCWSTR lpszLanguageFile);
// A new node with its text read under the key (empty when missing), appended
// to the parent's children when a parent is given; NULL when out of memory.
CEvidenceItem* AddEvidenceItem(CEvidenceItem* pParent, int nStringID, int nLevel, int nImage, LPCWSTR lpszLanguageFile,
                               LPCWSTR lpszKey);
// Frees every root with its subtree.
void FreeEvidenceCatalogue(CEvidenceItem* pFirstRoot);
// Reads every node's text again from the language file.
void RelabelEvidenceCatalogue(CEvidenceItem* pFirstRoot, LPCWSTR lpszLanguageFile);
// The text of a key in section "String", at most 999 characters; empty when
// missing.
CString ReadEvidenceText(LPCWSTR lpszLanguageFile, LPCWSTR lpszKey);

// The first node with the id, depth first (node before its children), in
// the catalogue or in one subtree and its following siblings.
CEvidenceItem* FindCatalogueItem(CEvidenceItem* pFirstRoot, int nStringID);
CEvidenceItem* FindEvidenceItem(CEvidenceItem* pNode, int nStringID);

// The number of nodes and of items (level 2) the catalogue holds.
int EvidenceCatalogueRowCount();
int EvidenceCatalogueItemCount();
// The string ids of the default choice.
const int* EvidenceDefaultIDs(int* pnCount);
