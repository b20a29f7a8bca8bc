#include "privacy/EvidenceCatalogue.h"
#include "optimizer/shared/LangString.h"
#include <new>

namespace {

// One catalogue row: string id, level, image (-1: the program's), language key.
struct CCatalogueRow
{
    int nStringID;
    int nLevel;
    int nImage;
    LPCWSTR pszKey;
};

// Each program is followed at once by its items, each root by its programs.
const CCatalogueRow s_rows[] = {
    {102, 0, 0, L"IDS_STR_ROOT_WCH"},
    {103, 1, 8, L"IDS_STR_WCH_WET"},
    {104, 2, -1, L"IDS_STR_WCH_WET_DHY"},
    {105, 2, -1, L"IDS_STR_WCH_WET_FSH"},
    {106, 2, -1, L"IDS_STR_WCH_WET_TFD"},
    {107, 2, -1, L"IDS_STR_WCH_WET_FRB"},
    {108, 2, -1, L"IDS_STR_WCH_WET_SMC"},
    {109, 2, -1, L"IDS_STR_WCH_WET_SMO"},
    {110, 2, -1, L"IDS_STR_WCH_WET_WLF"},
    {111, 2, -1, L"IDS_STR_WCH_WET_PSF"},
    {112, 2, -1, L"IDS_STR_WCH_WET_WTF"},
    {113, 2, -1, L"IDS_STR_WCH_WET_RCH"},
    {114, 2, -1, L"IDS_STR_WCH_WET_DEL"},
    {115, 2, -1, L"IDS_STR_WCH_WET_DTF"},
    {116, 2, -1, L"IDS_STR_WCH_WET_TWU"},
    {117, 2, -1, L"IDS_STR_WCH_WET_MDF"},
    {118, 2, -1, L"IDS_STR_WCH_WET_BSF"},
    {119, 2, -1, L"IDS_STR_WCH_WET_RLU"},
    {120, 2, -1, L"IDS_STR_WCH_WET_ADH"},
    {121, 2, -1, L"IDS_STR_WCH_WET_CDH"},
    {122, 2, -1, L"IDS_STR_WCH_WET_PRF"},
    {123, 2, -1, L"IDS_STR_WCH_WET_RNC"},
    {124, 2, -1, L"IDS_STR_WCH_WET_RPC"},
    {125, 2, -1, L"IDS_STR_WCH_WET_LRK"},
    {126, 2, -1, L"IDS_STR_WCH_WET_WRF"},
    {127, 0, 1, L"IDS_STR_ROOT_IBH"},
    {128, 1, 9, L"IDS_STR_IBH_IE"},
    {129, 2, -1, L"IDS_STR_IBH_IE_TIF"},
    {130, 2, -1, L"IDS_STR_IBH_IE_HVS"},
    {131, 2, -1, L"IDS_STR_IBH_IE_FBS"},
    {132, 2, -1, L"IDS_STR_IBH_IE_COK"},
    {133, 2, -1, L"IDS_STR_IBH_IE_SPS"},
    {135, 2, -1, L"IDS_STR_IBH_IE_ACD"},
    {136, 2, -1, L"IDS_STR_IBH_IE_DDM"},
    {137, 2, -1, L"IDS_STR_IBH_IE_SDM"},
    {138, 2, -1, L"IDS_STR_IBH_IE_SLI"},
    {139, 2, -1, L"IDS_STR_IBH_IE_SPD"},
    {141, 2, -1, L"IDS_STR_IBH_IE_ABH"},
    {142, 1, 10, L"IDS_STR_IBH_NSP"},
    {143, 2, -1, L"IDS_STR_IBH_NSP_CAH"},
    {144, 2, -1, L"IDS_STR_IBH_NSP_ABH"},
    {145, 2, -1, L"IDS_STR_IBH_NSP_SFH"},
    {146, 2, -1, L"IDS_STR_IBH_NSP_COK"},
    {147, 2, -1, L"IDS_STR_IBH_NSP_SEH"},
    {148, 2, -1, L"IDS_STR_IBH_NSP_DMH"},
    {149, 2, -1, L"IDS_STR_IBH_NSP_DDM"},
    {150, 2, -1, L"IDS_STR_IBH_NSP_PMH"},
    {156, 1, 11, L"IDS_STR_IBH_OPA"},
    {157, 2, -1, L"IDS_STR_IBH_OPA_CAH"},
    {158, 2, -1, L"IDS_STR_IBH_OPA_HVP"},
    {159, 2, -1, L"IDS_STR_IBH_OPA_HTA"},
    {160, 2, -1, L"IDS_STR_IBH_OPA_COK"},
    {161, 2, -1, L"IDS_STR_IBH_OPA_WPD"},
    {162, 2, -1, L"IDS_STR_IBH_OPA_HFT"},
    {163, 1, 12, L"IDS_STR_IBH_FFX"},
    {164, 2, -1, L"IDS_STR_IBH_FFX_BRH"},
    {165, 2, -1, L"IDS_STR_IBH_FFX_SFH"},
    {166, 2, -1, L"IDS_STR_IBH_FFX_CAH"},
    {167, 2, -1, L"IDS_STR_IBH_FFX_DLH"},
    {168, 2, -1, L"IDS_STR_IBH_FFX_COK"},
    {169, 2, -1, L"IDS_STR_IBH_FFX_SAP"},
    {171, 0, 2, L"IDS_STR_ROOT_IME"},
    {182, 1, 13, L"IDS_STR_IME_ICQ2003"},
    {183, 2, -1, L"IDS_STR_IME_ICQ2003_CAC"},
    {184, 2, -1, L"IDS_STR_IME_ICQ2003_REF"},
    {190, 1, 14, L"IDS_STR_IME_YIM"},
    {191, 2, -1, L"IDS_STR_IME_YIM_CHE"},
    {192, 2, -1, L"IDS_STR_IME_YIM_CVH"},
    {193, 2, -1, L"IDS_STR_IME_YIM_PRL"},
    {204, 1, 15, L"IDS_STR_IME_MSN"},
    {205, 2, -1, L"IDS_STR_IME_MSN_CLF"},
    {208, 0, 3, L"IDS_STR_ROOT_MSO"},
    {209, 1, 16, L"IDS_STR_MSO_SOR"},
    {210, 2, -1, L"IDS_STR_MSO_SOR_ORF"},
    {211, 2, -1, L"IDS_STR_MSO_SOR_ISC"},
    {212, 2, -1, L"IDS_STR_MSO_SOR_SEH"},
    {213, 2, -1, L"IDS_STR_MSO_SOR_FRP"},
    {214, 1, 17, L"IDS_STR_MSO_2003"},
    {215, 2, -1, L"IDS_STR_MSO_2003_WOD"},
    {216, 2, -1, L"IDS_STR_MSO_2003_ACC"},
    {217, 2, -1, L"IDS_STR_MSO_2003_EXC"},
    {218, 2, -1, L"IDS_STR_MSO_2003_VIS"},
    {219, 2, -1, L"IDS_STR_MSO_2003_PPT"},
    {220, 2, -1, L"IDS_STR_MSO_2003_PUB"},
    {221, 2, -1, L"IDS_STR_MSO_2003_FRP"},
    {222, 2, -1, L"IDS_STR_MSO_2003_PRO"},
    {223, 2, -1, L"IDS_STR_MSO_2003_INF"},
    {224, 2, -1, L"IDS_STR_MSO_2003_COR"},
    {225, 2, -1, L"IDS_STR_MSO_2003_PIC"},
    {226, 2, -1, L"IDS_STR_MSO_2003_SNV"},
    {227, 2, -1, L"IDS_STR_MSO_2003_SMS"},
    {244, 0, 4, L"IDS_STR_ROOT_MED"},
    {245, 1, 18, L"IDS_STR_MED_WMP"},
    {246, 2, -1, L"IDS_STR_MED_WMP_ROF"},
    {247, 2, -1, L"IDS_STR_MED_WMP_ROU"},
    {369, 2, -1, L"IDS_STR_MED_WMP_WMD"},
    {248, 2, -1, L"IDS_STR_MED_WMP_MPC"},
    {249, 1, 19, L"IDS_STR_MED_WNP"},
    {250, 2, -1, L"IDS_STR_MED_WNP_ROF"},
    {251, 2, -1, L"IDS_STR_MED_WNP_BKM"},
    {252, 2, -1, L"IDS_STR_MED_WNP_MLV"},
    {255, 1, 20, L"IDS_STR_MED_RLP"},
    {256, 2, -1, L"IDS_STR_MED_RLP_HIS"},
    {257, 1, 21, L"IDS_STR_MED_DIV"},
    {258, 2, -1, L"IDS_STR_MED_DIV_ROF"},
    {259, 2, -1, L"IDS_STR_MED_DIV_MOV"},
    {260, 1, 22, L"IDS_STR_MED_QUT"},
    {261, 2, -1, L"IDS_STR_MED_QUT_ROF"},
    {263, 2, -1, L"IDS_STR_MED_QUT_FAV"},
    {264, 1, 23, L"IDS_STR_MED_ACD"},
    {265, 2, -1, L"IDS_STR_MED_ACD_IMD"},
    {266, 2, -1, L"IDS_STR_MED_ACD_SSH"},
    {267, 2, -1, L"IDS_STR_MED_ACD_PAH"},
    {268, 2, -1, L"IDS_STR_MED_ACD_CMD"},
    {269, 2, -1, L"IDS_STR_MED_ACD_LOF"},
    {270, 2, 2, L"IDS_STR_MED_ACD_SEH"},
    {271, 2, 2, L"IDS_STR_MED_ACD_SCF"},
    {273, 0, 5, L"IDS_STR_ROOT_FIS"},
    {277, 1, 24, L"IDS_STR_FIS_AZU"},
    {278, 2, -1, L"IDS_STR_FIS_AZU_TOR"},
    {279, 2, -1, L"IDS_STR_FIS_AZU_DOH"},
    {280, 2, -1, L"IDS_STR_FIS_AZU_SFF"},
    {281, 2, -1, L"IDS_STR_FIS_AZU_LOG"},
    {282, 1, 25, L"IDS_STR_FIS_BIT"},
    {283, 2, -1, L"IDS_STR_FIS_BIT_DOF"},
    {285, 2, -1, L"IDS_STR_FIS_BIT_TOR"},
    {287, 1, 26, L"IDS_STR_FIS_UTO"},
    {288, 2, -1, L"IDS_STR_FIS_UTO_TAH"},
    {289, 2, -1, L"IDS_STR_FIS_UTO_DOF"},
    {305, 1, 27, L"IDS_STR_FIS_LIM"},
    {306, 2, -1, L"IDS_STR_FIS_LIM_SHF"},
    {307, 2, -1, L"IDS_STR_FIS_LIM_INF"},
    {308, 2, -1, L"IDS_STR_FIS_LIM_IAS"},
    {319, 1, 28, L"IDS_STR_FIS_BCT"},
    {320, 2, -1, L"IDS_STR_FIS_BCT_DOF"},
    {321, 2, -1, L"IDS_STR_FIS_BCT_TOR"},
    {322, 2, -1, L"IDS_STR_FIS_BCT_DOH"},
    {323, 0, 6, L"IDS_STR_ROOT_MAIL"},
    {336, 1, 30, L"IDS_STR_MAIL_THB"},
    {337, 2, -1, L"IDS_STR_MAIL_THB_SAP"},
    {338, 2, -1, L"IDS_STR_MAIL_THB_KDM"},
    {339, 2, -1, L"IDS_STR_MAIL_THB_SEM"},
    {340, 2, -1, L"IDS_STR_MAIL_THB_TRM"},
    {341, 2, -1, L"IDS_STR_MAIL_THB_DRA"},
    {342, 2, -1, L"IDS_STR_MAIL_THB_UNM"},
    {343, 2, -1, L"IDS_STR_MAIL_THB_DWN"},
    {344, 1, 31, L"IDS_STR_MAIL_EUD"},
    {345, 2, -1, L"IDS_STR_MAIL_EUD_TRF"},
    {346, 2, -1, L"IDS_STR_MAIL_EUD_OUF"},
    {347, 2, -1, L"IDS_STR_MAIL_EUD_HEA"},
    {348, 2, -1, L"IDS_STR_MAIL_EUD_CAD"},
    {350, 2, -1, L"IDS_STR_MAIL_EUD_NUF"},
    {351, 2, -1, L"IDS_STR_MAIL_EUD_LOG"},
    {352, 2, -1, L"IDS_STR_MAIL_EUD_EMA"},
    {353, 1, 32, L"IDS_STR_MAIL_POM"},
    {354, 2, -1, L"IDS_STR_MAIL_POM_CAD"},
    {355, 2, -1, L"IDS_STR_MAIL_POM_EMA"},
    {356, 2, -1, L"IDS_STR_MAIL_POM_HEA"},
    {357, 2, -1, L"IDS_STR_MAIL_POM_TRF"},
    {358, 2, -1, L"IDS_STR_MAIL_POM_OUF"},
    {359, 2, -1, L"IDS_STR_MAIL_POM_SEF"},
    {360, 2, -1, L"IDS_STR_MAIL_POM_DRF"},
    {361, 1, 33, L"IDS_STR_MAIL_INM"},
    {362, 2, -1, L"IDS_STR_MAIL_INM_HEA"},
    {363, 2, -1, L"IDS_STR_MAIL_INM_DEM"},
    {364, 2, -1, L"IDS_STR_MAIL_INM_OUF"},
    {365, 2, -1, L"IDS_STR_MAIL_INM_SEF"},
    {366, 2, -1, L"IDS_STR_MAIL_INM_DRF"},
    {367, 0, 7, L"IDS_STR_ROOT_APP"},
    {368, 1, 34, L"IDS_STR_APP_ADB"},
    {370, 2, -1, L"IDS_STR_APP_ADB_ADB"},
    {371, 1, 35, L"IDS_STR_APP_MFP"},
    {372, 2, -1, L"IDS_STR_APP_MFP_HTF"},
    {373, 1, 36, L"IDS_STR_APP_GDS"},
    {374, 2, -1, L"IDS_STR_APP_GDS_IDF"},
};

const int s_defaultIDs[] = {104, 105, 106, 107, 108, 109, 113, 129, 130, 135, 139, 141};

} // namespace

int EvidenceCatalogueRowCount()
{
    return (int)(sizeof(s_rows) / sizeof(s_rows[0]));
}

int EvidenceCatalogueItemCount()
{
    int nItems = 0;
    for (const CCatalogueRow& row : s_rows)
        nItems += row.nLevel == EVIDENCE_LEVEL_ITEM ? 1 : 0;
    return nItems;
}

const int* EvidenceDefaultIDs(int* pnCount)
{
    if (pnCount != NULL)
        *pnCount = (int)(sizeof(s_defaultIDs) / sizeof(s_defaultIDs[0]));
    return s_defaultIDs;
}

CEvidenceItem* AddEvidenceItem(CEvidenceItem* pParent, int nStringID, int nLevel, int nImage, LPCWSTR lpszLanguageFile,
                               LPCWSTR lpszKey)
{
    CEvidenceItem* pItem = new (std::nothrow) CEvidenceItem;
    if (pItem == NULL)
        return NULL;
    pItem->m_nStringID = nStringID;
    pItem->m_nLevel = nLevel;
    pItem->m_nImage = nImage;
    pItem->SetLanguageKey(lpszKey);
    pItem->SetText(ReadEvidenceText(lpszLanguageFile, lpszKey));
    if (pParent != NULL)
        pParent->AddChild(pItem);
    return pItem;
}

CString ReadEvidenceText(LPCWSTR lpszLanguageFile, LPCWSTR lpszKey)
{
    // Cut as every other text of the views: a language file of very long
    // texts once held the window half a second reading them whole.
    if (lpszKey == NULL || *lpszKey == 0)
        return CString();
    return ReadLangString(lpszLanguageFile, L"String", lpszKey);
}

CEvidenceItem* BuildEvidenceItemTree(LPCWSTR lpszLanguageFile)
{
    CEvidenceItem* pFirstRoot = NULL;
    CEvidenceItem* pLastRoot = NULL;
    CEvidenceItem* pProgram = NULL;
    for (const CCatalogueRow& row : s_rows)
    {
        if (row.nLevel == EVIDENCE_LEVEL_ROOT)
        {
            CEvidenceItem* pRoot = AddEvidenceItem(NULL, row.nStringID, row.nLevel, row.nImage, lpszLanguageFile,
                                                   row.pszKey);
            pProgram = NULL;
            if (pRoot == NULL)
            {
                pLastRoot = NULL;  // its programs and items have no place
                continue;
            }
            if (pLastRoot != NULL)
                pLastRoot->m_pNext = pRoot;
            else if (pFirstRoot == NULL)
                pFirstRoot = pRoot;
            else
            {
                // A root before this one could not be made: chain after the last one made.
                CEvidenceItem* pTail = pFirstRoot;
                while (pTail->m_pNext != NULL)
                    pTail = pTail->m_pNext;
                pTail->m_pNext = pRoot;
            }
            pLastRoot = pRoot;
        }
        else if (row.nLevel == EVIDENCE_LEVEL_PROGRAM)
        {
            pProgram = pLastRoot == NULL ? NULL
                                         : AddEvidenceItem(pLastRoot, row.nStringID, row.nLevel, row.nImage,
                                                           lpszLanguageFile, row.pszKey);
        }
        else if (pProgram != NULL)
        {
            int nImage = row.nImage >= 0 ? row.nImage : pProgram->m_nImage;
            AddEvidenceItem(pProgram, row.nStringID, row.nLevel, nImage, lpszLanguageFile, row.pszKey);
        }
    }
    return pFirstRoot;
}

void FreeEvidenceCatalogue(CEvidenceItem* pFirstRoot)
{
    while (pFirstRoot != NULL)
    {
        CEvidenceItem* pNext = pFirstRoot->m_pNext;
        pFirstRoot->FreeChildren();
        delete pFirstRoot;
        pFirstRoot = pNext;
    }
}

CEvidenceItem* FindEvidenceItem(CEvidenceItem* pNode, int nStringID)
{
    for (; pNode != NULL; pNode = pNode->m_pNextSibling)
    {
        if (pNode->m_nStringID == nStringID)
            return pNode;
        if (CEvidenceItem* pFound = FindEvidenceItem(pNode->m_pFirstChild, nStringID))
            return pFound;
    }
    return NULL;
}

CEvidenceItem* FindCatalogueItem(CEvidenceItem* pFirstRoot, int nStringID)
{
    for (CEvidenceItem* pRoot = pFirstRoot; pRoot != NULL; pRoot = pRoot->m_pNext)
    {
        if (pRoot->m_nStringID == nStringID)
            return pRoot;
        if (CEvidenceItem* pFound = FindEvidenceItem(pRoot->m_pFirstChild, nStringID))
            return pFound;
    }
    return NULL;
}

namespace {
void RelabelSubtree(CEvidenceItem* pNode, LPCWSTR lpszLanguageFile)
{
    for (; pNode != NULL; pNode = pNode->m_pNextSibling)
    {
        pNode->SetText(ReadEvidenceText(lpszLanguageFile, pNode->m_szLanguageKey));
        RelabelSubtree(pNode->m_pFirstChild, lpszLanguageFile);
    }
}
} // namespace

void RelabelEvidenceCatalogue(CEvidenceItem* pFirstRoot, LPCWSTR lpszLanguageFile)
{
    for (CEvidenceItem* pRoot = pFirstRoot; pRoot != NULL; pRoot = pRoot->m_pNext)
    {
        pRoot->SetText(ReadEvidenceText(lpszLanguageFile, pRoot->m_szLanguageKey));
        RelabelSubtree(pRoot->m_pFirstChild, lpszLanguageFile);
    }
}
