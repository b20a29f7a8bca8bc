#include "optimizer/DesktopPage.h"
#include "optimizer/OptimizerText.h"
#include "optimizer/TuningOps.h"
#include "optimizer/shared/LangString.h"

namespace {
const UINT kRadioIDs[] = {5046, 5045};
const LPCWSTR kSchemeKeys[] = {L"IDC_RADSTC_DT_BA", L"IDC_RADSTC_DT_MP"};
const LPCWSTR kColumnKeys[] = {L"IDC_LIST_DT_COLUMN_1", L"IDC_LIST_DT_COLUMN_2"};
const CReviewPageIDs kIDs = {
    {5068, 5046, 5045, 5079, 5080, 5048, 5047}, {5049, 5050}, {5071, 5052}, {5076, 5077}};

const LPCWSTR kStartMenu = L"SOFTWARE\\Classes\\CLSID\\{00021400-0000-0000-C000-000000000046}";
const LPCWSTR kDesktopLower = L"Control Panel\\desktop";
const LPCWSTR kDesktop = L"Control Panel\\Desktop";
const LPCWSTR kExplorerHklm = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer";
const LPCWSTR kMetrics = L"Control Panel\\Desktop\\WindowMetrics";
const LPCWSTR kPolicies = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
const LPCWSTR kExplorerHkcu = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer";
const LPCWSTR kWinlogon = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";

const BYTE kZero4[] = {0x00, 0x00, 0x00, 0x00};
const BYTE kOne4[] = {0x01, 0x00, 0x00, 0x00};
const BYTE kOne1[] = {0x01};
const BYTE kMaskAppearance[] = {0xBE, 0x3E, 0x07, 0x80};
const BYTE kMaskPerformance[] = {0xB0, 0x32, 0x03, 0x80};

// A row's writes for one scheme: at most two.
struct CRow
{
    LPCWSTR pszKey;
    LPCWSTR pszValue[2];  // shown value: a number, or a language key
    CRegOp ops[2][2];
    int nOps;
};

const CRow kRows[] = {
    {L"ID_ITEM_DT_SMS", {L"900", L"1"},
     {{RegString(ROOT_HKLM, kStartMenu, L"MenuShowDelay", L"900")},
      {RegString(ROOT_HKLM, kStartMenu, L"MenuShowDelay", L"1")}}, 1},
    {L"ID_ITEM_DT_MSO", {L"400", L"0"},
     {{RegString(ROOT_HKCU, kDesktopLower, L"MenuShowDelay", L"400")},
      {RegString(ROOT_HKCU, kDesktopLower, L"MenuShowDelay", L"0")}}, 1},
    // Explorer reads the icon cache size as a string.
    {L"ID_ITEM_DT_DIC", {L"2000", L"500"},
     {{RegString(ROOT_HKLM, kExplorerHklm, L"Max Cached Icons", L"2000")},
      {RegString(ROOT_HKLM, kExplorerHklm, L"Max Cached Icons", L"500")}}, 1},
    {L"ID_ITEM_DT_DMA", {L"IDC_LIST_DT_ITEM_EN", L"IDC_LIST_DT_ITEM_DIS"},
     {{RegString(ROOT_HKCU, kMetrics, L"MinAnimate", L"1")}, {RegString(ROOT_HKCU, kMetrics, L"MinAnimate", L"0")}}, 1},
    {L"ID_ITEM_DT_DSE", {L"IDC_LIST_DT_ITEM_EN", L"IDC_LIST_DT_ITEM_DIS"},
     {{RegDword(ROOT_HKCU, kDesktopLower, L"SmoothScroll", 1)}, {RegDword(ROOT_HKCU, kDesktopLower, L"SmoothScroll", 0)}},
     1},
    {L"ID_ITEM_DT_ARR", {L"IDC_LIST_DT_ITEM_DIS", L"IDC_LIST_DT_ITEM_DIS"},
     {{RegBinary(ROOT_BOTH_SETS, L"Control\\Update\\UpdateMode", L"UpdateMode", kZero4, 4)},
      {RegBinary(ROOT_BOTH_SETS, L"Control\\Update", L"UpdateMode", kOne4, 4)}}, 1},
    {L"ID_ITEM_DT_DSM", {L"IDC_LIST_DT_ITEM_EN", L"IDC_LIST_DT_ITEM_DIS"},
     {{RegDelete(ROOT_HKCU, kPolicies, L"NoStartBanner")}, {RegBinary(ROOT_HKCU, kPolicies, L"NoStartBanner", kOne1, 1)}},
     1},
    {L"ID_ITEM_DT_TFA", {L"IDC_LIST_DT_ITEM_EN", L"IDC_LIST_DT_ITEM_DIS"},
     {{RegBinaryHead(ROOT_HKCU, kDesktop, L"UserPreferencesMask", kMaskAppearance, 4),
       RegString(ROOT_HKCU, kDesktop, L"DragFullWindows", L"1")},
      {RegBinaryHead(ROOT_HKCU, kDesktop, L"UserPreferencesMask", kMaskPerformance, 4),
       RegString(ROOT_HKCU, kDesktop, L"DragFullWindows", L"0")}}, 2},
    {L"ID_ITEM_DT_CIP", {L"IDC_LIST_DT_ITEM_EN", L"IDC_LIST_DT_ITEM_DIS"},
     {{RegDword(ROOT_HKCU, kExplorerHkcu, L"DesktopProcess", 1)}, {RegDword(ROOT_HKCU, kExplorerHkcu, L"DesktopProcess", 0)}},
     1},
    {L"ID_ITEM_DT_SRI", {L"IDC_LIST_DT_ITEM_EN", L"IDC_LIST_DT_ITEM_DIS"},
     {{RegDelete(ROOT_HKCU, kPolicies, L"NoInstrumentation")},
      {RegBinary(ROOT_HKCU, kPolicies, L"NoInstrumentation", kOne1, 1)}}, 1},
    {L"ID_ITEM_DT_UCS", {L"IDC_LIST_DT_ITEM_EN", L"IDC_LIST_DT_ITEM_DIS"},
     {{RegDelete(ROOT_HKCU, kPolicies, L"NoSimpleStartMenu")}, {RegDelete(ROOT_HKCU, kPolicies, L"NoSimpleStartMenu")}},
     1},
    // The row says Disable, then Enable: the value follows what it says.
    {L"ID_ITEM_DT_ARI", {L"IDC_LIST_DT_ITEM_DIS", L"IDC_LIST_DT_ITEM_EN"},
     {{RegDword(ROOT_HKLM, kWinlogon, L"AutoRestartShell", 0)}, {RegDword(ROOT_HKLM, kWinlogon, L"AutoRestartShell", 1)}},
     1},
};
const int kRowCount = (int)_countof(kRows);

const CRegOp kDefaults[] = {
    RegDelete(ROOT_HKLM, kStartMenu, L"MenuShowDelay"),
    RegString(ROOT_HKCU, kDesktopLower, L"MenuShowDelay", L"400"),
    RegDelete(ROOT_HKLM, kExplorerHklm, L"Max Cached Icons"),
    RegString(ROOT_HKCU, kMetrics, L"MinAnimate", L"1"),
    RegDword(ROOT_HKCU, kDesktopLower, L"SmoothScroll", 1),
    RegBinary(ROOT_BOTH_SETS, L"Control\\Update\\UpdateMode", L"UpdateMode", kOne4, 4),
    RegDelete(ROOT_HKCU, kPolicies, L"NoStartBanner"),
    RegBinaryHead(ROOT_HKCU, kDesktop, L"UserPreferencesMask", kMaskAppearance, 4),
    RegString(ROOT_HKCU, kDesktop, L"DragFullWindows", L"1"),
    RegDword(ROOT_HKCU, kExplorerHkcu, L"DesktopProcess", 0),
    RegDelete(ROOT_HKCU, kPolicies, L"NoInstrumentation"),
    RegDelete(ROOT_HKCU, kPolicies, L"NoSimpleStartMenu"),
    // Windows restarts its shell by default.
    RegDword(ROOT_HKLM, kWinlogon, L"AutoRestartShell", 1),
};

CString ValueText(LPCWSTR pszValue)
{
    return (pszValue[0] >= L'0' && pszValue[0] <= L'9') ? CString(pszValue) : LangText(pszValue);
}
} // namespace

CDesktopPage::CDesktopPage() : CReviewTuningPage(IDD, kIDs)
{
}

BOOL CDesktopPage::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetUpRadios(m_radios, kRadioIDs, SCHEME_COUNT, 0);
    SetUpReviewList(m_list, 5050);
    m_list.InsertColumn(0, LangText(kColumnKeys[0]), LVCFMT_LEFT, 350);
    m_list.InsertColumn(1, LangText(kColumnKeys[1]), LVCFMT_LEFT, 100);
    SwitchLanguage();
    ShowStep(STEP_CHOOSE);
    return TRUE;
}

void CDesktopPage::FillList()
{
    m_list.DeleteAllItems();
    SetReviewHeading(5049, L"IDC_STC_DT_LIST", kSchemeKeys);
    int nScheme = GetCheckedScheme();
    if (nScheme < 0)
        return;
    for (int nRow = 0; nRow < kRowCount; nRow++)
    {
        AddReviewRow(m_list, LangText(kRows[nRow].pszKey), nRow);
        m_list.SetItemText(m_list.GetItemCount() - 1, 1, ValueText(kRows[nRow].pszValue[nScheme]));
    }
    FitReviewColumns(m_list);
}

std::vector<int> CDesktopPage::ChoiceRows(int) const
{
    // Both schemes write every row, each with its own values.
    std::vector<int> rows;
    for (int nRow = 0; nRow < kRowCount; nRow++)
        rows.push_back(nRow);
    return rows;
}

void CDesktopPage::ApplyRow(int nRow, int nScheme, CRegistry& reg)
{
    if (nRow < 0 || nRow >= kRowCount || nScheme < 0 || nScheme >= SCHEME_COUNT)
        return;
    RunRegOps(reg, kRows[nRow].ops[nScheme], kRows[nRow].nOps);
}

void CDesktopPage::RestoreDefault(CRegistry& reg)
{
    RunRegOps(reg, kDefaults);
}

void CDesktopPage::SwitchLanguage()
{
    SetText(5068, LangText(L"IDC_STC_DT_INFO"));
    SetText(5079, LangText(L"IDC_RADSTC_DT_BA"));
    SetText(5080, LangText(L"IDC_RADSTC_DT_MP"));
    SetText(5048, LangText(L"IDC_STC_DT_BA"));
    SetText(5047, LangText(L"IDC_STC_DT_MP"));
    SetText(5052, ExpandLineBreaks(LangText(L"IDC_STC_DT_FINISH")));
    SetColumnHeaders(kColumnKeys, _countof(kColumnKeys));
    if (m_nStep == STEP_REVIEW)
        FillList();
}
