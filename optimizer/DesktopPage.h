#pragma once
// Desktop tuning by scheme: menu delays, icon cache, animations, refresh
// mode, Start menu and Explorer policies, shell restart.
#include "optimizer/TuningPage.h"

class CDesktopPage : public CTuningPage
{
public:
    enum { IDD = 5017, SCHEME_COUNT = 2 };
    CDesktopPage();

    void ApplyWizard(CRegistry& reg) override;
    BOOL ApplyOption(UINT nOptionID, CRegistry& reg) override;
    void RestoreDefault(CRegistry& reg) override;
    void SwitchLanguage() override;
    BOOL OnInitDialog() override;

    // 0 Best Appearance, 1 Maximum Performance.
    int GetCheckedScheme() const { return CheckedRadio(m_radios, SCHEME_COUNT); }
    CSkinRadioButton& Radio(int nIndex) { return m_radios[nIndex]; }
    CListCtrl& ReviewList() { return m_list; }

protected:
    void ShowStep(int nStep) override;

private:
    void FillList();
    CString SchemeLabel() const;

    CSkinRadioButton m_radios[SCHEME_COUNT];
    CListCtrl m_list;
};
