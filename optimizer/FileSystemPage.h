#pragma once
// File system tuning by scheme: level-2 cache, CD/DVD cache, Media Player
// DVD interface, debugger start, error reporting, layout optimization.
#include "optimizer/TuningPage.h"

class CFileSystemPage : public CTuningPage
{
public:
    enum { IDD = 5000, SCHEME_COUNT = 2 };
    CFileSystemPage();

    void ApplyWizard(CRegistry& reg) override;
    BOOL ApplyOption(UINT nOptionID, CRegistry& reg) override;
    void RestoreDefault(CRegistry& reg) override;
    void SwitchLanguage() override;
    BOOL OnInitDialog() override;

    // 0 Maximum Performance, 1 Best Multimedia Quality.
    int GetCheckedScheme() const { return CheckedRadio(m_radios, SCHEME_COUNT); }
    CSkinRadioButton& Radio(int nIndex) { return m_radios[nIndex]; }
    CListCtrl& ReviewList() { return m_list; }

protected:
    void ShowStep(int nStep) override;

private:
    void FillList();

    CSkinRadioButton m_radios[SCHEME_COUNT];
    CListCtrl m_list;
};
