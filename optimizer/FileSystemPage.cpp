#include "optimizer/FileSystemPage.h"
#include "optimizer/OptimizerText.h"
#include "optimizer/TuningOps.h"
#include "optimizer/shared/LangString.h"

namespace {
const UINT kRadioIDs[] = {5002, 5003};
const LPCWSTR kSchemeKeys[] = {L"IDC_RADSTC_FS_MP", L"IDC_RADSTC_FS_MQ"};
const LPCWSTR kColumnKeys[] = {L"IDC_LIST_FS_COLUMN_1"};
const CReviewPageIDs kIDs = {
    {5069, 5002, 5003, 5081, 5082, 5005, 5006}, {5042, 5008}, {5072, 5010}, {5078, 5079}};

enum { R2CH, BAM, DMP, EMP, DBT, OCF, DME, AWO, AWH, ROW_COUNT };
const LPCWSTR kRowKeys[ROW_COUNT] = {L"ID_ITEM_OPT_2CH", L"ID_ITEM_OPT_BAM", L"ID_ITEM_OPT_DMP",
                                     L"ID_ITEM_OPT_EMP", L"ID_ITEM_OPT_DBT", L"ID_ITEM_OPT_OCF",
                                     L"ID_ITEM_OPT_DME", L"ID_ITEM_OPT_AWO", L"ID_ITEM_OPT_AWH"};
const std::vector<int> kSchemeRows[2] = {{R2CH, BAM, DMP, DBT, DME, AWO, AWH},
                                         {R2CH, BAM, DBT, EMP, OCF, DME, AWO, AWH}};

const LPCWSTR kMemory = L"SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Memory Management";
const LPCWSTR kCdfs = L"SYSTEM\\CurrentControlSet\\Control\\FileSystem\\CDFS";
const LPCWSTR kPlayer = L"Software\\Microsoft\\MediaPlayer\\Player\\Settings";
const LPCWSTR kAeDebug = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\AeDebug";
const LPCWSTR kFileSystem = L"SYSTEM\\CurrentControlSet\\Control\\FileSystem";
const LPCWSTR kReporting = L"SOFTWARE\\Microsoft\\PCHealth\\ErrorReporting";
const LPCWSTR kBootOptimize = L"SOFTWARE\\Microsoft\\Dfrg\\BootOptimizeFunction";
const LPCWSTR kLayout = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\OptimalLayout";

// 2048, 1657 and 128, little-endian.
const BYTE kCacheSize[] = {0x00, 0x08, 0x00, 0x00};
const BYTE kPrefetch[] = {0x79, 0x06, 0x00, 0x00};
const BYTE kPrefetchTail[] = {0x80, 0x00, 0x00, 0x00};

const std::vector<CRegOp> kRowOps[ROW_COUNT] = {
    {RegDword(ROOT_HKLM, kMemory, L"SecondLevelDataCache", 1024)},
    {RegBinary(ROOT_HKLM, kCdfs, L"CacheSize", kCacheSize, 4), RegBinary(ROOT_HKLM, kCdfs, L"Prefetch", kPrefetch, 4),
     RegBinary(ROOT_HKLM, kCdfs, L"PrefetchTail", kPrefetchTail, 4)},
    {RegString(ROOT_HKCU, kPlayer, L"EnableDVDUI", L"no")},
    {RegString(ROOT_HKCU, kPlayer, L"EnableDVDUI", L"yes")},
    {RegString(ROOT_HKLM, kAeDebug, L"Auto", L"0")},
    {RegDword(ROOT_HKLM, kFileSystem, L"ContigFileAllocSize", 1024)},
    {RegDword(ROOT_HKLM, kReporting, L"DoReport", 0)},
    {RegString(ROOT_HKLM, kBootOptimize, L"Enable", L"Y")},
    {RegDword(ROOT_HKLM, kLayout, L"EnableAutoLayout", 1)},
};

const CRegOp kDefaults[] = {
    RegDword(ROOT_HKLM, kMemory, L"SecondLevelDataCache", 0),
    RegDelete(ROOT_HKLM, kCdfs, L"CacheSize"),
    RegDelete(ROOT_HKLM, kCdfs, L"Prefetch"),
    RegDelete(ROOT_HKLM, kCdfs, L"PrefetchTail"),
    RegDelete(ROOT_HKCU, kPlayer, L"EnableDVDUI"),
    RegString(ROOT_HKLM, kAeDebug, L"Auto", L"1"),
    RegDword(ROOT_HKLM, kReporting, L"DoReport", 0),
    RegString(ROOT_HKLM, kBootOptimize, L"Enable", L"Y"),
    RegDword(ROOT_HKLM, kLayout, L"EnableAutoLayout", 0),
};
} // namespace

CFileSystemPage::CFileSystemPage() : CReviewTuningPage(IDD, kIDs)
{
}

BOOL CFileSystemPage::OnInitDialog()
{
    CDialog::OnInitDialog();
    SetUpRadios(m_radios, kRadioIDs, SCHEME_COUNT, 0);
    SetUpReviewList(m_list, 5008);
    m_list.InsertColumn(0, LangText(kColumnKeys[0]), LVCFMT_LEFT, 440);
    SwitchLanguage();
    ShowStep(STEP_CHOOSE);
    return TRUE;
}

void CFileSystemPage::FillList()
{
    m_list.DeleteAllItems();
    SetReviewHeading(5042, L"IDC_STC_FS_LIST", kSchemeKeys);
    int nScheme = GetCheckedScheme();
    if (nScheme < 0)
        return;
    for (int nRow : kSchemeRows[nScheme])
        AddReviewRow(m_list, LangText(kRowKeys[nRow]), nRow);
    FitReviewColumns(m_list);
}

std::vector<int> CFileSystemPage::ChoiceRows(int nScheme) const
{
    return (nScheme >= 0 && nScheme < SCHEME_COUNT) ? kSchemeRows[nScheme] : std::vector<int>();
}

void CFileSystemPage::ApplyRow(int nRow, int, CRegistry& reg)
{
    // A row writes the same values whichever scheme offers it.
    if (nRow >= 0 && nRow < ROW_COUNT)
        RunRegOps(reg, kRowOps[nRow].data(), (int)kRowOps[nRow].size());
}

void CFileSystemPage::RestoreDefault(CRegistry& reg)
{
    RunRegOps(reg, kDefaults);
}

void CFileSystemPage::SwitchLanguage()
{
    SetText(5069, LangText(L"IDC_STC_FS_INFO"));
    SetText(5081, LangText(L"IDC_RADSTC_FS_MP"));
    SetText(5082, LangText(L"IDC_RADSTC_FS_MQ"));
    SetText(5005, LangText(L"IDC_STC_FS_MP"));
    SetText(5006, LangText(L"IDC_STC_FS_MQ"));
    SetText(5010, ExpandLineBreaks(LangText(L"IDC_STC_FS_FINISH")));
    SetColumnHeaders(kColumnKeys, _countof(kColumnKeys));
    if (m_nStep == STEP_REVIEW)
        FillList();
}
