#include "privacy/EvidenceItem.h"
#include "privacy/EvidenceTrace.h"
#include <cwchar>

namespace {
void CopyBounded(WCHAR* pszTarget, LPCWSTR lpszSource)
{
    if (lpszSource == NULL)
        lpszSource = L"";
    size_t nLength = ::wcsnlen(lpszSource, EVIDENCE_TEXT_SIZE - 1);
    ::wmemcpy(pszTarget, lpszSource, nLength);
    pszTarget[nLength] = 0;
}
} // namespace

CEvidenceItem::CEvidenceItem()
    : m_hItem(NULL), m_nStringID(0), m_nLevel(0), m_nImage(0), m_nTraceCount(0), m_nTraceIndex(0),
      m_hRootKey(HKEY_CURRENT_USER), m_pFirstChild(NULL), m_pNextSibling(NULL), m_pParent(NULL), m_pNext(NULL),
      m_nFoundCount(0), m_nStatus(0), m_nShownCount(0), m_sizeCountText(), m_rcCount(), m_rcStatusIcon()
{
    m_szText[0] = 0;
    m_szLanguageKey[0] = 0;
    for (EvidenceTrace*& pTrace : m_pTraces)
        pTrace = NULL;
}

CEvidenceItem::~CEvidenceItem()
{
    ClearTraces();
    FreeChildren();
}

void CEvidenceItem::AddChild(CEvidenceItem* pChild)
{
    if (pChild == NULL)
        return;
    pChild->m_pParent = this;
    pChild->m_pNextSibling = NULL;
    if (m_pFirstChild == NULL)
    {
        m_pFirstChild = pChild;
        return;
    }
    CEvidenceItem* pLast = m_pFirstChild;
    while (pLast->m_pNextSibling != NULL)
        pLast = pLast->m_pNextSibling;
    pLast->m_pNextSibling = pChild;
}

void CEvidenceItem::FreeChildren()
{
    CEvidenceItem* pChild = m_pFirstChild;
    m_pFirstChild = NULL;
    while (pChild != NULL)
    {
        CEvidenceItem* pNext = pChild->m_pNextSibling;
        delete pChild;  // its destructor frees its own subtree first
        pChild = pNext;
    }
}

void CEvidenceItem::ClearTraces()
{
    for (int i = 0; i < EVIDENCE_MAX_TRACES; i++)
    {
        delete m_pTraces[i];
        m_pTraces[i] = NULL;
    }
    m_nTraceCount = 0;
    m_nTraceIndex = 0;
}

BOOL CEvidenceItem::AddTrace(EvidenceTrace* pTrace)
{
    if (pTrace == NULL || m_nTraceCount >= EVIDENCE_MAX_TRACES)
        return FALSE;
    m_pTraces[m_nTraceCount++] = pTrace;
    return TRUE;
}

void CEvidenceItem::SetText(LPCWSTR lpszText)
{
    CopyBounded(m_szText, lpszText);
}

void CEvidenceItem::SetLanguageKey(LPCWSTR lpszKey)
{
    CopyBounded(m_szLanguageKey, lpszKey);
}
