#pragma once
// The tuning pages whose choice leads to a check-box review list (disk cache,
// desktop, file system): the wizard writes only the rows left checked, and a
// one-click option writes every row of its choice.
#include "optimizer/TuningPage.h"
#include <vector>

// The controls each step shows, and the one-click option of each choice in
// the radios' order.
struct CReviewPageIDs
{
    std::vector<UINT> chooseIDs;
    std::vector<UINT> reviewIDs;
    std::vector<UINT> finishIDs;
    std::vector<UINT> optionIDs;
};

class CReviewTuningPage : public CTuningPage
{
public:
    void ApplyWizard(CRegistry& reg) override;
    BOOL ApplyOption(UINT nOptionID, CRegistry& reg) override;
    CListCtrl& ReviewList() { return m_list; }

protected:
    CReviewTuningPage(UINT nIDTemplate, const CReviewPageIDs& ids);
    void ShowStep(int nStep) override;
    // The checked choice (scheme or user type), -1 for none.
    virtual int GetChoice() const = 0;
    virtual void FillList() = 0;
    // The rows one choice offers, by their codes.
    virtual std::vector<int> ChoiceRows(int nChoice) const = 0;
    virtual void ApplyRow(int nRow, int nChoice, CRegistry& reg) = 0;
    // The list's column headers in the current language.
    void SetColumnHeaders(const LPCWSTR* pKeys, int nCount);
    // The text above the list: the translation of pszKey with the checked
    // choice's label (from pChoiceKeys) in place of its %s.
    void SetReviewHeading(UINT nID, LPCWSTR pszKey, const LPCWSTR* pChoiceKeys);

    const CReviewPageIDs& m_ids;
    CListCtrl m_list;
};
