#pragma once
// File system tuning by scheme: level-2 cache, CD/DVD cache, Media Player
// DVD interface, debugger start, error reporting, layout optimization.
#include "optimizer/ReviewTuningPage.h"

class CFileSystemPage : public CReviewTuningPage
{
public:
    enum { IDD = 5000, SCHEME_COUNT = 2 };
    CFileSystemPage();

    void RestoreDefault(CRegistry& reg) override;
    void SwitchLanguage() override;
    BOOL OnInitDialog() override;

    // 0 Maximum Performance, 1 Best Multimedia Quality.
    int GetCheckedScheme() const { return CheckedRadio(m_radios, SCHEME_COUNT); }
    CSkinRadioButton& Radio(int nIndex) { return m_radios[nIndex]; }

protected:
    int GetChoice() const override { return GetCheckedScheme(); }
    void FillList() override;
    std::vector<int> ChoiceRows(int nScheme) const override;
    void ApplyRow(int nRow, int nScheme, CRegistry& reg) override;

private:
    CSkinRadioButton m_radios[SCHEME_COUNT];
};
