#pragma once
// Disk cache tuning by user type: hung programs, the I/O page lock limit, the
// server's memory profile and the foreground/background processor split.
#include "optimizer/ReviewTuningPage.h"

class CDiskCachePage : public CReviewTuningPage
{
public:
    enum { IDD = 5015, TYPE_COUNT = 5 };
    CDiskCachePage();

    void RestoreDefault(CRegistry& reg) override;
    void SwitchLanguage() override;
    BOOL OnInitDialog() override;

    int GetCheckedType() const { return CheckedRadio(m_radios, TYPE_COUNT); }
    CSkinRadioButton& Radio(int nIndex) { return m_radios[nIndex]; }

protected:
    int GetChoice() const override { return GetCheckedType(); }
    void FillList() override;
    std::vector<int> ChoiceRows(int nType) const override;
    void ApplyRow(int nRow, int nType, CRegistry& reg) override;

private:
    CSkinRadioButton m_radios[TYPE_COUNT];
};
