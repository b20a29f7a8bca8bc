// The report page: the date text of a stamp, the counts of [ScanLog], and
// a fresh start without them.
#include "tests/repair/RepairTestSupport.h"
#include "app/TamselDlg.h"
#include "framework/Time.h"
#include "repair/BackupStamp.h"

using namespace repairtest;

TEST(BackupDate, StampsOfEveryShape)
{
    EXPECT_EQ(FormatBackupDate(L"20231231235959"), L"December 31, 2023 (23:59:59)");
    EXPECT_EQ(FormatBackupDate(L"20080908143122"), L"September 08, 2008 (14:31:22)");
    // A month outside 1 to 12 has no name; the other parts stay as stored.
    EXPECT_EQ(FormatBackupDate(L"20231301120000"), L" 01, 2023 (12:00:00)");
    EXPECT_EQ(FormatBackupDate(L"20230001120000"), L" 01, 2023 (12:00:00)");
    // Parts past the end of a short text are empty.
    EXPECT_EQ(FormatBackupDate(L"202312"), L"December , 2023 (::)");
    EXPECT_EQ(FormatBackupDate(L""), L" ,  (::)");
}

namespace {
CString ItemText(CWnd* pPage, UINT nID)
{
    CString str;
    CWnd* pItem = pPage->GetDlgItem(nID);
    if (pItem != NULL)
        pItem->GetWindowText(str);
    return str;
}
} // namespace

class ReportPageTest : public RepairWindowTest
{
};

TEST_F(ReportPageTest, ShowsTheCountsAndTheLastScanOfSettings)
{
    const CString& strFile = m_pApp->m_strSettingsFile;
    WritePrivateProfileStringW(L"ScanLog", L"LastScanTime", L"20231231235959", strFile);
    WritePrivateProfileStringW(L"ScanLog", L"Error1", L"5", strFile);
    WritePrivateProfileStringW(L"ScanLog", L"Cleaned1", L"3", strFile);
    WritePrivateProfileStringW(L"ScanLog", L"Error13", L"2", strFile);
    WritePrivateProfileStringW(L"ScanLog", L"Cleaned15", L"4", strFile);
    m_pDlg->SelectPage(PAGE_REPORT);
    Pump(50);
    CWnd* pPage = &m_pDlg->m_pageReport;
    EXPECT_EQ(ItemText(pPage, 1030), L"December 31, 2023 (23:59:59)");
    EXPECT_EQ(ItemText(pPage, 1080), L"5/3");
    EXPECT_EQ(ItemText(pPage, 1104), L"2/0");   // Drivers, category 13
    EXPECT_EQ(ItemText(pPage, 1106), L"0/4");
    EXPECT_EQ(ItemText(pPage, 1087), L"0/0");
    EXPECT_EQ(ItemText(pPage, 1161), L"Last Registry Scan Performed:");
    EXPECT_EQ(ItemText(pPage, 1152), L"Drivers");
    EXPECT_EQ(m_pApp->m_nErrors[12], 2);
    EXPECT_EQ(m_pApp->m_strLastScanTime, L"20231231235959");
}

TEST_F(ReportPageTest, FirstStartShowsZerosAndThatNoScanWasMade)
{
    m_pDlg->SelectPage(PAGE_REPORT);
    Pump(50);
    CWnd* pPage = &m_pDlg->m_pageReport;
    for (UINT nID : { 1080u, 1081u, 1086u, 1087u, 1091u, 1104u, 1105u, 1106u })
        EXPECT_EQ(ItemText(pPage, nID), L"0/0");
    EXPECT_EQ(ItemText(pPage, 1030), m_pApp->GetLangString(L"IDD_166_NO_SCAN"));
    EXPECT_FALSE(ItemText(pPage, 1030).IsEmpty());
    EXPECT_TRUE(m_pApp->m_strLastScanTime.IsEmpty());
    // Leaving the program writes no invented time either.
    m_pApp->SaveSettings();
    m_pDlg->SelectPage(PAGE_HOME);
    m_pDlg->SelectPage(PAGE_REPORT);
    Pump(50);
    EXPECT_EQ(ItemText(pPage, 1030), m_pApp->GetLangString(L"IDD_166_NO_SCAN"));
    TakeScreenshot("report");
}
