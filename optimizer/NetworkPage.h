#pragma once
// Network tuning by connection type: TCP/IP parameters, the MTU of every
// interface and the browser's connections per server. No review list.
#include "optimizer/TuningPage.h"

class CNetworkPage : public CTuningPage
{
public:
    enum { IDD = 5003, TYPE_COUNT = 7, TYPE_OTHERS = 3 };
    CNetworkPage();

    void ApplyWizard(CRegistry& reg) override;
    BOOL ApplyOption(UINT nOptionID, CRegistry& reg) override;
    void RestoreDefault(CRegistry& reg) override;
    void SwitchLanguage() override;
    BOOL OnInitDialog() override;

    int GetCheckedType() const { return CheckedRadio(m_radios, TYPE_COUNT); }
    CSkinRadioButton& Radio(int nIndex) { return m_radios[nIndex]; }
    // The values of one connection type (index in the page's order).
    static void WriteType(int nType, CRegistry& reg);

protected:
    void ShowStep(int nStep) override;

private:
    void AlignOthersCaption();
    CSkinRadioButton m_radios[TYPE_COUNT];
};
