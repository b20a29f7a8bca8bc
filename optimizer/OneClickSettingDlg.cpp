#include "optimizer/OneClickSettingDlg.h"
#include "optimizer/OptimizerText.h"
#include "optimizer/SystemOptimizerDlg.h"
#include "optimizer/TunekitSettings.h"
#include "optimizer/shared/IniFile.h"

const COneClickSettingDlg::CGroup COneClickSettingDlg::s_groups[4] = {
    {L"nw", 5003, 5065, 5070, 5069},
    {L"dt", 5017, 5076, 5077, 5077},
    {L"dc", 5015, 5071, 5075, 5071},
    {L"fs", 5000, 5078, 5079, 5078},
};

namespace {
struct CCaption
{
    UINT nID;
    LPCWSTR pszKey;
};
const CCaption kCaptions[] = {
    {5121, L"IDC_STC_NW"},       {5065, L"IDC_STC_NW_MOD"},   {5066, L"IDC_STC_NW_DSL"},
    {5067, L"IDC_STC_NW_CBM"},   {5068, L"IDC_STC_NW_ISDN"},  {5069, L"IDC_STC_NW_PPP"},
    {5070, L"IDC_STC_NW_LOB"},   {5122, L"IDC_STC_DC"},       {5071, L"IDC_STC_DC_WSU"},
    {5072, L"IDC_STC_DC_SRU"},   {5073, L"IDC_STC_DC_LSU"},   {5074, L"IDC_STC_DC_WFS"},
    {5075, L"IDC_STC_DC_MCU"},   {5123, L"IDC_STC_DT"},       {5076, L"IDC_RADSTC_DT_BA"},
    {5077, L"IDC_RADSTC_DT_MP"}, {5124, L"IDC_STC_FS"},       {5078, L"IDC_RADSTC_FS_MP"},
    {5079, L"IDC_RADSTC_FS_MQ"}, {5120, L"IDC_STC_SETTING_TITLE"}, {IDOK, L"BTN_IDOK"},
    {IDCANCEL, L"BTN_IDCANCEL"},
};
} // namespace

COneClickSettingDlg::COneClickSettingDlg(CSystemOptimizerDlg* pWizard) : CDialog(IDD, pWizard), m_pWizard(pWizard)
{
}

UINT COneClickSettingDlg::ShownOption(const CGroup& group, int nStored)
{
    if (nStored >= (int)group.nFirst && nStored <= (int)group.nLast)
        return (UINT)nStored;
    return group.nDefault;
}

BOOL COneClickSettingDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    CIniFile ini(TUNEKIT_INI);
    for (const CGroup& group : s_groups)
        CheckRadioButton(group.nFirst, group.nLast, ShownOption(group, ini.ReadInt(L"setting", group.pszKey)));
    SetWindowText(LangText(L"IDD_DIG_OPT_SETTING"));
    for (const CCaption& caption : kCaptions)
        SetDlgItemText(caption.nID, LangText(caption.pszKey));
    return TRUE;
}

void COneClickSettingDlg::OnOK()
{
    // What is shown is what is stored and applied.
    CIniFile ini(TUNEKIT_INI);
    UINT nChosen[4] = {};
    for (int i = 0; i < 4; i++)
    {
        const CGroup& group = s_groups[i];
        int nChecked = GetCheckedRadioButton(group.nFirst, group.nLast);
        nChosen[i] = nChecked != 0 ? (UINT)nChecked : group.nDefault;
        ini.WriteInt(L"setting", group.pszKey, (int)nChosen[i]);
    }
    CRegistry reg;
    for (int i = 0; i < 4; i++)
    {
        if (m_pWizard != NULL)
            m_pWizard->ApplyPageOption(nChosen[i], s_groups[i].nPageTemplate, reg);
    }
    if (reg.GetFailureCount() > 0)
        ShowFailureNotice(this);
    else
        ShowLibraryMessage(this, L"MESSAGEBOX_7", L"MESSAGEBOX_NOTICE", MB_OK | MB_ICONINFORMATION);
    EndDialog(IDOK);
}
