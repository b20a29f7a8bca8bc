#pragma once
// One node of the evidence catalogue: a root (area), a program or an item
// the user checks. Each node owns its children; the scan engine fills an
// item's traces.
#include "framework/Afx.h"

struct EvidenceTrace;

#define EVIDENCE_TEXT_SIZE 260
#define EVIDENCE_MAX_TRACES 26

#define EVIDENCE_LEVEL_ROOT 0
#define EVIDENCE_LEVEL_PROGRAM 1
#define EVIDENCE_LEVEL_ITEM 2

class CEvidenceItem
{
public:
    CEvidenceItem();
    virtual ~CEvidenceItem();

    // Appends the child at the end of the child chain and becomes its parent.
    void AddChild(CEvidenceItem* pChild);
    // Frees the subtree depth first (each child's subtree, then the child).
    void FreeChildren();
    // Frees the traces and empties the array.
    void ClearTraces();
    // Appends a trace the item then owns; FALSE (trace not taken) when full.
    BOOL AddTrace(EvidenceTrace* pTrace);
    // Sets the text, cut to what the field holds.
    void SetText(LPCWSTR lpszText);
    void SetLanguageKey(LPCWSTR lpszKey);

    HTREEITEM m_hItem;
    WCHAR m_szText[EVIDENCE_TEXT_SIZE];
    int m_nStringID;
    int m_nLevel;
    int m_nImage;
    WCHAR m_szLanguageKey[EVIDENCE_TEXT_SIZE];

    EvidenceTrace* m_pTraces[EVIDENCE_MAX_TRACES];
    int m_nTraceCount;
    // The trace being listed or deleted.
    int m_nTraceIndex;

    HKEY m_hRootKey;

    CEvidenceItem* m_pFirstChild;
    CEvidenceItem* m_pNextSibling;
    CEvidenceItem* m_pParent;
    // Roots: the next root of the catalogue; items: the next item of the scan list.
    CEvidenceItem* m_pNext;

    // Rows the last scan found for this node (an item's rows count for its
    // program and root too).
    int m_nFoundCount;

    // What the check-box tree shows for the node.
    int m_nStatus;        // 0 idle, 1 scanning, 2 done
    int m_nShownCount;    // the count drawn
    SIZE m_sizeCountText; // extent of "67890" in the tree's font
    RECT m_rcCount;
    RECT m_rcStatusIcon;  // items only

private:
    CEvidenceItem(const CEvidenceItem&) = delete;
    CEvidenceItem& operator=(const CEvidenceItem&) = delete;
};
