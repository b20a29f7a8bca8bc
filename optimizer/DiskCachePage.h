#pragma once
// Disk cache tuning by user type: hung programs, the I/O page lock limit, the
// server's memory profile and the foreground/background processor split.
#include "optimizer/TuningPage.h"

class CDiskCachePage : public CTuningPage
{
public:
    enum { IDD = 5015, TYPE_COUNT = 5 };
    CDiskCachePage();

    void ApplyWizard(CRegistry& reg) override;
    BOOL ApplyOption(UINT nOptionID, CRegistry& reg) override;
    void RestoreDefault(CRegistry& reg) override;
    void SwitchLanguage() override;
    BOOL OnInitDialog() override;

    int GetCheckedType() const { return CheckedRadio(m_radios, TYPE_COUNT); }
    CSkinRadioButton& Radio(int nIndex) { return m_radios[nIndex]; }
    CListCtrl& ReviewList() { return m_list; }

protected:
    void ShowStep(int nStep) override;

private:
    void ApplyRow(int nRow, CRegistry& reg);
    void FillList();

    CSkinRadioButton m_radios[TYPE_COUNT];
    CListCtrl m_list;
};
