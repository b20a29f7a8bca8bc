#pragma once
// Desktop tuning by scheme: menu delays, icon cache, animations, refresh
// mode, Start menu and Explorer policies, shell restart.
#include "optimizer/ReviewTuningPage.h"

class CDesktopPage : public CReviewTuningPage
{
public:
    enum { IDD = 5017, SCHEME_COUNT = 2 };
    CDesktopPage();

    void RestoreDefault(CRegistry& reg) override;
    void SwitchLanguage() override;
    BOOL OnInitDialog() override;

    // 0 Best Appearance, 1 Maximum Performance.
    int GetCheckedScheme() const { return CheckedRadio(m_radios, SCHEME_COUNT); }
    CSkinRadioButton& Radio(int nIndex) { return m_radios[nIndex]; }

protected:
    int GetChoice() const override { return GetCheckedScheme(); }
    void FillList() override;
    std::vector<int> ChoiceRows(int nChoice) const override;
    void ApplyRow(int nRow, int nScheme, CRegistry& reg) override;

private:
    CSkinRadioButton m_radios[SCHEME_COUNT];
};
