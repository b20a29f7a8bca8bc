#include "optimizer/ReviewTuningPage.h"
#include "optimizer/OptimizerText.h"
#include "optimizer/shared/ListColumnText.h"

CReviewTuningPage::CReviewTuningPage(UINT nIDTemplate, const CReviewPageIDs& ids) : CTuningPage(nIDTemplate), m_ids(ids)
{
}

void CReviewTuningPage::ShowStep(int nStep)
{
    ShowControls(m_ids.chooseIDs.data(), (int)m_ids.chooseIDs.size(), nStep == STEP_CHOOSE);
    ShowControls(m_ids.reviewIDs.data(), (int)m_ids.reviewIDs.size(), nStep == STEP_REVIEW);
    ShowControls(m_ids.finishIDs.data(), (int)m_ids.finishIDs.size(), nStep == STEP_FINISH);
    if (nStep == STEP_REVIEW)
        FillList();
}

void CReviewTuningPage::ApplyWizard(CRegistry& reg)
{
    // Rows are known by their code, so equal or empty texts cannot mix them up.
    int nChoice = GetChoice();
    for (int i = 0; i < m_list.GetItemCount(); i++)
    {
        if (m_list.GetCheck(i))
            ApplyRow((int)m_list.GetItemData(i), nChoice, reg);
    }
}

BOOL CReviewTuningPage::ApplyOption(UINT nOptionID, CRegistry& reg)
{
    for (int nChoice = 0; nChoice < (int)m_ids.optionIDs.size(); nChoice++)
    {
        if (m_ids.optionIDs[nChoice] != nOptionID)
            continue;
        for (int nRow : ChoiceRows(nChoice))
            ApplyRow(nRow, nChoice, reg);
        return TRUE;
    }
    return FALSE;
}

void CReviewTuningPage::SetReviewHeading(UINT nID, LPCWSTR pszKey, const LPCWSTR* pChoiceKeys)
{
    int nChoice = GetChoice();
    // The translation is text, not a format: only its %s is replaced.
    CString strHeading = LangText(pszKey);
    strHeading.Replace(L"%s", nChoice >= 0 ? LangText(pChoiceKeys[nChoice]) : CString());
    SetText(nID, strHeading);
}

void CReviewTuningPage::SetColumnHeaders(const LPCWSTR* pKeys, int nCount)
{
    if (m_list.GetSafeHwnd() == NULL)
        return;
    for (int i = 0; i < nCount; i++)
        SetColumnText(m_list, i, LangText(pKeys[i]));
}
