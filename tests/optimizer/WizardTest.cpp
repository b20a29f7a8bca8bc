// The system optimizer wizard driven by the commands its buttons send.
#include "optimizer/DiskCachePage.h"
#include "optimizer/FileSystemPage.h"
#include "optimizer/NetworkPage.h"
#include "optimizer/OptimizerText.h"
#include "optimizer/SystemOptimizerDlg.h"
#include "optimizer/TunekitSettings.h"
#include "optimizer/shared/IniFile.h"
#include "tests/optimizer/WizardFixture.h"
#include "tests/support/PictureContrast.h"

using namespace optest;
using testsupport::MessageBoxRecorder;

TEST_F(WizardTest, StepsEnableTheirButtonsAndOptimizeAppliesTheCheckedRows)
{
    EXPECT_EQ(m_pDlg->GetCurrentPage(), CSystemOptimizerDlg::PAGE_NETWORK);
    EXPECT_TRUE(m_pDlg->GetNetworkPage()->IsWindowVisible());
    ExpectButtons(TRUE, FALSE, FALSE, TRUE, FALSE, __LINE__);

    m_pDlg->SwitchPage(CSystemOptimizerDlg::PAGE_DISK_CACHE);
    CDiskCachePage* pPage = m_pDlg->GetDiskCachePage();
    EXPECT_TRUE(pPage->IsWindowVisible());
    EXPECT_FALSE(m_pDlg->GetNetworkPage()->IsWindowVisible());
    Command(5028);  // Optimize is off at step 0: a stale command does nothing
    EXPECT_EQ(m_pDlg->GetStep(), 0);

    Command(5027);
    EXPECT_EQ(m_pDlg->GetStep(), 1);
    ExpectButtons(FALSE, TRUE, FALSE, FALSE, TRUE, __LINE__);
    CListCtrl& list = pPage->ReviewList();
    EXPECT_TRUE(list.IsWindowVisible());
    ASSERT_EQ(list.GetItemCount(), 7);
    EXPECT_EQ(list.GetItemText(4, 0), CString(L"Set Input/Output Cache as 128MB."));
    // The user leaves the I/O cache alone.
    list.SetCheck(4, FALSE);

    Command(5026);
    EXPECT_EQ(m_pDlg->GetStep(), 2);
    ExpectButtons(FALSE, FALSE, TRUE, FALSE, TRUE, __LINE__);
    EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(pPage->m_hWnd, 5041)));
    EXPECT_FALSE(list.IsWindowVisible());

    MessageBoxRecorder recorder;
    Command(5028);
    ASSERT_EQ(recorder.Count(), 1u);
    EXPECT_EQ(recorder.LastText(), L"Now the optimization process is complete!");
    EXPECT_EQ(recorder.Boxes()[0].strCaption, L"notice");
    EXPECT_EQ(m_pDlg->GetStep(), 0);
    ExpectButtons(TRUE, FALSE, FALSE, TRUE, FALSE, __LINE__);
    EXPECT_TRUE(HasValue(L"HKCU\\Control Panel\\Desktop|AutoEndTasks"));
    EXPECT_TRUE(HasValue(L"HKLM\\SYSTEM\\CurrentControlSet\\Control\\PriorityControl|Win32PrioritySeparation"));
    EXPECT_FALSE(HasValue(L"HKLM\\SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Memory Management|IoPageLockLimit"));

    // Reset from step 1 goes back to the choice.
    Command(5027);
    Command(5025);
    EXPECT_EQ(m_pDlg->GetStep(), 0);
    EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(pPage->m_hWnd, 5032)));
}

TEST_F(WizardTest, NetworkPageSkipsTheReviewAndWritesTheCheckedType)
{
    Command(5027);
    EXPECT_EQ(m_pDlg->GetStep(), 2);
    ExpectButtons(FALSE, FALSE, TRUE, FALSE, TRUE, __LINE__);
    EXPECT_TRUE(::IsWindowVisible(::GetDlgItem(m_pDlg->GetNetworkPage()->m_hWnd, 5057)));
    EXPECT_EQ(m_pDlg->GetNetworkPage()->GetCheckedType(), 5) << "PPPoE first";
    MessageBoxRecorder recorder;
    Command(5028);
    EXPECT_EQ(recorder.Count(), 1u);
    RegDump dump = m_hive->Dump();
    EXPECT_EQ(dump[L"HKLM\\SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters|DefaultTTL"].data, DwordBytes(64));
    EXPECT_EQ(dump[L"HKLM\\SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters|TcpRecvSegmentSize"].data,
              DwordBytes(1452));
    EXPECT_EQ(dump.count(L"HKLM\\SYSTEM\\ControlSet001|"), 0u) << "no control set is made up";
}

TEST_F(WizardTest, SwitchingAtAStepAsksAndNoKeepsThePage)
{
    MessageBoxRecorder recorder;
    m_pDlg->SendMessage(SKINTAB_SELCHANGE, 0, CSystemOptimizerDlg::PAGE_DESKTOP);
    EXPECT_EQ(recorder.Count(), 0u) << "at step 0 no question";
    EXPECT_EQ(m_pDlg->GetCurrentPage(), CSystemOptimizerDlg::PAGE_DESKTOP);

    Command(5027);
    recorder.QueueAnswer(IDNO);
    m_pDlg->SendMessage(SKINTAB_SELCHANGE, 0, CSystemOptimizerDlg::PAGE_FILE_SYSTEM);
    ASSERT_EQ(recorder.Count(), 1u);
    EXPECT_EQ(recorder.LastText(), L"The current optimization is running, whether switch to another?");
    EXPECT_EQ(recorder.Boxes()[0].strCaption, L"warning");
    EXPECT_EQ(recorder.Boxes()[0].nType & MB_TYPEMASK, (UINT)MB_YESNO);
    EXPECT_EQ(m_pDlg->GetCurrentPage(), CSystemOptimizerDlg::PAGE_DESKTOP);
    EXPECT_EQ(m_pDlg->GetStep(), 1);
    EXPECT_EQ(m_pDlg->TabStrip().GetCurSel(), CSystemOptimizerDlg::PAGE_DESKTOP);

    recorder.QueueAnswer(IDYES);
    m_pDlg->SendMessage(SKINTAB_SELCHANGE, 0, CSystemOptimizerDlg::PAGE_FILE_SYSTEM);
    EXPECT_EQ(m_pDlg->GetCurrentPage(), CSystemOptimizerDlg::PAGE_FILE_SYSTEM);
    EXPECT_EQ(m_pDlg->GetStep(), 0);
    EXPECT_TRUE(m_pDlg->GetFileSystemPage()->IsWindowVisible());
    // Out of range: ignored.
    m_pDlg->SendMessage(SKINTAB_SELCHANGE, 0, 9);
    m_pDlg->SendMessage(SKINTAB_SELCHANGE, 0, -1);
    EXPECT_EQ(m_pDlg->GetCurrentPage(), CSystemOptimizerDlg::PAGE_FILE_SYSTEM);
}

TEST_F(WizardTest, DefaultAsksFirstAndRestoresOnlyTheCurrentTab)
{
    m_pDlg->SwitchPage(CSystemOptimizerDlg::PAGE_FILE_SYSTEM);
    MessageBoxRecorder recorder;
    recorder.QueueAnswer(IDNO);
    Command(5024);
    ASSERT_EQ(recorder.Count(), 1u);
    EXPECT_EQ(recorder.LastText(), L"You will restore default settings, are you sure to continue?");
    EXPECT_EQ(m_hive->Dump().size(), 2u) << "No changes nothing";

    recorder.QueueAnswer(IDYES);
    Command(5024);
    ASSERT_EQ(recorder.Count(), 3u);
    EXPECT_EQ(recorder.LastText(),
              L"File system optimization is completed.\nSome settings take effect after you restart Windows.");
    EXPECT_TRUE(HasValue(L"HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\AeDebug|Auto"));
    EXPECT_FALSE(HasValue(L"HKCU\\Control Panel\\Desktop|AutoEndTasks"));
}

TEST_F(WizardTest, RowsAreKnownByCodeEvenWithEmptyOrEqualTexts)
{
    // A translation that left every disk cache row empty.
    std::wstring strLang = m_folder.File(L"Empty.ini");
    ASSERT_TRUE(::CopyFileW(EnglishLanguageFile().c_str(), strLang.c_str(), FALSE));
    for (const wchar_t* pszKey : {L"ID_ITEM_DC_AUA", L"ID_ITEM_DC_WCA", L"ID_ITEM_DC_WAE", L"ID_ITEM_DC_SRR",
                                  L"ID_ITEM_DC_SIC", L"ID_ITEM_DC_CMP", L"ID_ITEM_DC_MOC"})
        ::WritePrivateProfileStringW(L"String", pszKey, L"", strLang.c_str());
    SetOptimizerLanguageFile(strLang.c_str());
    m_pDlg->SwitchPage(CSystemOptimizerDlg::PAGE_DISK_CACHE);
    Command(5027);
    CListCtrl& list = m_pDlg->GetDiskCachePage()->ReviewList();
    ASSERT_EQ(list.GetItemCount(), 7);
    for (int i = 0; i < 7; i++)
        list.SetCheck(i, i == 0);  // only the first row
    Command(5026);
    MessageBoxRecorder recorder;
    Command(5028);
    EXPECT_TRUE(HasValue(L"HKCU\\Control Panel\\Desktop|AutoEndTasks"));
    EXPECT_FALSE(HasValue(L"HKCU\\Control Panel\\Desktop|WaitToKillAppTimeout"));
    EXPECT_FALSE(HasValue(L"HKLM\\SYSTEM\\CurrentControlSet\\Control\\PriorityControl|Win32PrioritySeparation"));
}

TEST_F(WizardTest, FailedWritesAreToldInsteadOfSuccess)
{
    std::wstring strVolatile = L"Software\\TamselTest\\" + testsupport::CurrentTestName() + L"Volatile";
    HKEY hVolatile = NULL;
    ::RegOverridePredefKey(HKEY_CURRENT_USER, NULL);
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, strVolatile.c_str(), 0, NULL, REG_OPTION_VOLATILE, KEY_ALL_ACCESS,
                                NULL, &hVolatile, NULL),
              ERROR_SUCCESS);
    ::RegOverridePredefKey(HKEY_LOCAL_MACHINE, hVolatile);
    m_pDlg->SwitchPage(CSystemOptimizerDlg::PAGE_FILE_SYSTEM);
    Command(5027);
    Command(5026);
    MessageBoxRecorder recorder;
    Command(5028);
    ASSERT_EQ(recorder.Count(), 1u);
    EXPECT_EQ(recorder.LastText(), L"Some settings could not be changed. Run the program as an administrator.");
    ::RegOverridePredefKey(HKEY_LOCAL_MACHINE, NULL);
    ::RegCloseKey(hVolatile);
    ::RegDeleteKeyW(HKEY_CURRENT_USER, strVolatile.c_str());
}

TEST_F(WizardTest, LanguageSwitchRereadsTabsButtonsAndTheReviewRows)
{
    m_pDlg->SwitchPage(CSystemOptimizerDlg::PAGE_DISK_CACHE);
    Command(5027);
    std::wstring strLang = m_folder.File(L"German.ini");
    ASSERT_TRUE(::CopyFileW(EnglishLanguageFile().c_str(), strLang.c_str(), FALSE));
    ::WritePrivateProfileStringW(L"String", L"IDC_BTN_OPTIMIZE_STEP1", L"Schritt1", strLang.c_str());
    ::WritePrivateProfileStringW(L"String", L"IDC_STC_DC", L"Plattencache", strLang.c_str());
    ::WritePrivateProfileStringW(L"String", L"ID_ITEM_DC_AUA", L"Haengende Programme beenden", strLang.c_str());
    SetOptimizerLanguageFile(strLang.c_str());
    m_pDlg->SwitchLanguage();
    CString strText;
    m_pDlg->GetButton(5027)->GetWindowText(strText);
    EXPECT_EQ(strText, CString(L"Schritt1"));
    EXPECT_EQ(m_pDlg->TabStrip().GetTabTooltip(1), CString(L"Plattencache"));
    EXPECT_EQ(m_pDlg->GetDiskCachePage()->ReviewList().GetItemText(0, 0), CString(L"Haengende Programme beenden"));
}

TEST_F(WizardTest, HelpTopicLiesBesideTheHostProgram)
{
    EXPECT_EQ(CSystemOptimizerDlg::HelpTopicPath(),
              CString((m_folder.Path() + L"manual.chm::/html/HowtousetheprogramSystemOptimizer.htm").c_str()));
    // No manual.chm: nothing opens, and the user is told why.
    MessageBoxRecorder recorder;
    Command(5066);
    Pump(100);
    ASSERT_EQ(1u, recorder.Count());
    EXPECT_NE(std::wstring::npos, recorder.LastText().find(L"manual.chm")) << std::string(recorder.LastText().begin(), recorder.LastText().end());
}

// One-Click Optimize draws two lines of white text over its pictures: every
// face pixel behind those lines is dark enough for white (contrast 3:1).
TEST(OneClickPictures, WhiteTextReadsOnTheFaceBehindIt)
{
    // 120 x 62: the two centred lines, from a quarter of the height to three quarters.
    const RECT rcLines = { 12, 62 / 4 + 2, 120 - 12, 62 * 3 / 4 };
    for (UINT nID : { 5044u, 5045u })
        EXPECT_GE(testsupport::WorstWhiteContrast(nID, rcLines), 3.0) << nID;
}
