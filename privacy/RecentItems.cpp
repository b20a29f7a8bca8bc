#include "privacy/RecentItems.h"
#include "optimizer/shared/IniFile.h"
#include "privacy/EvidenceCatalogue.h"

int WriteRecentItems(const CEvidenceItem* pFirstScanItem)
{
    CIniFile ini(SWEEPKIT_INI);
    // The cap also ends a chain that runs in a circle.
    const int nMax = EvidenceCatalogueItemCount();
    int nCount = 0;
    for (const CEvidenceItem* pItem = pFirstScanItem; pItem != NULL && nCount < nMax; pItem = pItem->m_pNext)
    {
        CString strKey;
        strKey.Format(L"item%d", nCount);
        ini.WriteInt(RECENT_ITEM_SECTION, strKey, pItem->m_nStringID);
        nCount++;
    }
    ini.WriteInt(RECENT_ITEM_SECTION, L"RecentItems", nCount);
    return nCount;
}

BOOL ReadRecentItems(std::vector<int>& ids)
{
    ids.clear();
    CIniFile ini(SWEEPKIT_INI);
    int nCount = ini.ReadInt(RECENT_ITEM_SECTION, L"RecentItems");
    // Missing reads as -1; any other negative number is no count either.
    if (nCount < 0)
        return FALSE;
    const int nMax = EvidenceCatalogueItemCount();
    if (nCount > nMax)
        nCount = nMax;
    for (int i = 0; i < nCount; i++)
    {
        CString strKey;
        strKey.Format(L"item%d", i);
        ids.push_back(ini.ReadInt(RECENT_ITEM_SECTION, strKey));
    }
    return TRUE;
}

std::vector<int> GetDefaultChoice(CEvidenceItem* pFirstRoot)
{
    std::vector<int> ids;
    int nCount = 0;
    const int* pIDs = EvidenceDefaultIDs(&nCount);
    for (int i = 0; i < nCount; i++)
    {
        if (FindCatalogueItem(pFirstRoot, pIDs[i]) != NULL)
            ids.push_back(pIDs[i]);
    }
    return ids;
}

std::vector<int> GetStartChoice(CEvidenceItem* pFirstRoot, BOOL* pbSaved)
{
    std::vector<int> saved;
    BOOL bSaved = ReadRecentItems(saved);
    if (pbSaved != NULL)
        *pbSaved = bSaved;
    if (!bSaved)
        return GetDefaultChoice(pFirstRoot);
    // An id that names no node checks nothing.
    std::vector<int> ids;
    for (int nID : saved)
    {
        if (FindCatalogueItem(pFirstRoot, nID) != NULL)
            ids.push_back(nID);
    }
    return ids;
}
