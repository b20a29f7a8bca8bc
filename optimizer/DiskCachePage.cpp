#include "optimizer/DiskCachePage.h"
#include "optimizer/OptimizerText.h"
#include "optimizer/TuningOps.h"
#include "optimizer/shared/LangString.h"
#include <iterator>

namespace {
const UINT kRadioIDs[] = {5032, 5033, 5034, 5035, 5036};
const LPCWSTR kTypeKeys[] = {L"IDC_STC_DC_WSU", L"IDC_STC_DC_SRU", L"IDC_STC_DC_LSU", L"IDC_STC_DC_WFS",
                             L"IDC_STC_DC_MCU"};
const UINT kTypeLabelIDs[] = {5074, 5075, 5076, 5077, 5078};
const CReviewPageIDs kIDs = {{5037, 5067, 5032, 5033, 5034, 5035, 5036, 5074, 5075, 5076, 5077, 5078},
                             {5039, 5038},
                             {5070, 5041},
                             {5071, 5072, 5073, 5074, 5075}};

enum { AUA, WCA, WAE, SRR, SIC, SIC1, CMP, CMP1, CMP2, MOC, MOC1, ROW_COUNT };
const LPCWSTR kRowKeys[ROW_COUNT] = {
    L"ID_ITEM_DC_AUA", L"ID_ITEM_DC_WCA", L"ID_ITEM_DC_WAE", L"ID_ITEM_DC_SRR",  L"ID_ITEM_DC_SIC", L"ID_ITEM_DC_SIC1",
    L"ID_ITEM_DC_CMP", L"ID_ITEM_DC_CMP1", L"ID_ITEM_DC_CMP2", L"ID_ITEM_DC_MOC", L"ID_ITEM_DC_MOC1"};
const int kTypeRows[CDiskCachePage::TYPE_COUNT][7] = {
    {AUA, WCA, WAE, SRR, SIC, CMP, MOC},  {AUA, WCA, WAE, SRR, SIC1, CMP, MOC}, {AUA, WCA, WAE, SRR, SIC, CMP1, MOC},
    {AUA, WCA, WAE, SRR, SIC, CMP2, MOC1}, {AUA, WCA, WAE, SRR, SIC, CMP, MOC}};

const LPCWSTR kDesktop = L"Control Panel\\Desktop";
const LPCWSTR kDesktopLower = L"Control Panel\\desktop";
const LPCWSTR kMemory = L"Control\\Session Manager\\Memory Management";
const LPCWSTR kServer = L"Services\\lanmanserver\\parameters";
const LPCWSTR kPriority = L"Control\\PriorityControl";

const CRegOp kRowOps[ROW_COUNT] = {
    RegString(ROOT_HKCU, kDesktop, L"AutoEndTasks", L"1"),
    RegString(ROOT_HKCU, kDesktop, L"WaitToKillAppTimeout", L"1000"),
    RegString(ROOT_HKCU, kDesktopLower, L"HungAppTimeout", L"1000"),
    RegDword(ROOT_HKCU, kDesktopLower, L"ForegroundLockTimeout", 0),
    RegDword(ROOT_BOTH_SETS, kMemory, L"IoPageLockLimit", 0x8000000),
    RegDword(ROOT_BOTH_SETS, kMemory, L"IoPageLockLimit", 0),
    RegDword(ROOT_BOTH_SETS, kServer, L"Size", 1),
    RegDword(ROOT_BOTH_SETS, kServer, L"Size", 2),
    RegDword(ROOT_BOTH_SETS, kServer, L"Size", 3),
    RegDword(ROOT_BOTH_SETS, kPriority, L"Win32PrioritySeparation", 38),
    RegDword(ROOT_BOTH_SETS, kPriority, L"Win32PrioritySeparation", 24),
};

const CRegOp kDefaults[] = {
    RegString(ROOT_HKCU, kDesktop, L"AutoEndTasks", L"0"),
    RegString(ROOT_HKCU, kDesktop, L"WaitToKillAppTimeout", L"20000"),
    RegString(ROOT_HKCU, kDesktopLower, L"HungAppTimeout", L"5000"),
    RegDword(ROOT_HKCU, kDesktopLower, L"ForegroundLockTimeout", 200000),
    RegDword(ROOT_BOTH_SETS, kMemory, L"IoPageLockLimit", 0),
    RegDword(ROOT_BOTH_SETS, kServer, L"Size", 1),
    RegDword(ROOT_BOTH_SETS, kPriority, L"Win32PrioritySeparation", 38),
};
} // namespace

CDiskCachePage::CDiskCachePage() : CReviewTuningPage(IDD, kIDs)
{
}

BOOL CDiskCachePage::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetUpReviewList(m_list, 5038);
    m_list.InsertColumn(0, L"Optimization Items", LVCFMT_LEFT, 450);
    SetUpRadios(m_radios, kRadioIDs, TYPE_COUNT, 0);
    SwitchLanguage();
    ShowStep(STEP_CHOOSE);
    return TRUE;
}

void CDiskCachePage::FillList()
{
    m_list.DeleteAllItems();
    int nType = GetCheckedType();
    if (nType < 0)
        return;
    SetText(5039, LangText(L"IDC_STC_DC_LIST") + L" " + LangText(kTypeKeys[nType]));
    for (int nRow : kTypeRows[nType])
        AddReviewRow(m_list, LangText(kRowKeys[nRow]), nRow);
    FitReviewColumns(m_list);
}

std::vector<int> CDiskCachePage::ChoiceRows(int nType) const
{
    if (nType < 0 || nType >= TYPE_COUNT)
        return std::vector<int>();
    return std::vector<int>(std::begin(kTypeRows[nType]), std::end(kTypeRows[nType]));
}

void CDiskCachePage::ApplyRow(int nRow, int, CRegistry& reg)
{
    // The user types differ in which rows they offer, not in a row's value.
    if (nRow >= 0 && nRow < ROW_COUNT)
        RunRegOp(reg, kRowOps[nRow]);
}

void CDiskCachePage::RestoreDefault(CRegistry& reg)
{
    RunRegOps(reg, kDefaults);
}

void CDiskCachePage::SwitchLanguage()
{
    SetText(5037, LangText(L"IDC_STC_DC_TYPE"));
    SetText(5067, LangText(L"IDC_STC_DC_INFO"));
    SetText(5041, ExpandLineBreaks(LangText(L"IDC_STC_DC_FINISH")));
    for (int i = 0; i < TYPE_COUNT; i++)
        SetText(kTypeLabelIDs[i], LangText(kTypeKeys[i]));
    int nType = GetCheckedType();
    if (nType >= 0)
        SetText(5039, LangText(L"IDC_STC_DC_LIST") + L" " + LangText(kTypeKeys[nType]));
    if (m_nStep == STEP_REVIEW)
        FillList();
}
