// The listing shared by the automatic and the full backup pages.
#include "tests/repair/BackupTestSupport.h"
#include "repair/AutoBackupPage.h"
#include "repair/BackupList.h"

using namespace backuptest;

namespace {
void Touch(const std::wstring& strPath)
{
    ASSERT_TRUE(testsupport::WriteFileBytes(strPath, "x"));
}
} // namespace

TEST_F(BackupPageTest, ListsZipFilesOfAnyCaseNewestFirst)
{
    std::wstring strFolder = AppDir() + L"AutoBackup\\";
    ASSERT_TRUE(::CreateDirectoryW(strFolder.c_str(), NULL));
    Touch(strFolder + L"AutoBackup20091231235959.ZIP");
    Touch(strFolder + L"AutoBackup20080908143122.zip");
    Touch(strFolder + L"AutoBackup20100101000000.reg");
    Touch(strFolder + L"ShortCuts.txt");
    Touch(strFolder + L"AutoBackup20110101000000.zip.bak");
    ASSERT_TRUE(::CreateDirectoryW((strFolder + L"Folder.zip").c_str(), NULL));

    CAutoBackupPage page;
    CreatePage(page);
    ASSERT_EQ(2, page.m_list.GetItemCount());
    EXPECT_STREQ(L"AutoBackup20091231235959", page.m_list.GetItemText(0, 0));
    EXPECT_STREQ(L"December 31, 2009 (23:59:59)", page.m_list.GetItemText(0, 1));
    EXPECT_STREQ(L"AutoBackup20080908143122", page.m_list.GetItemText(1, 0));
    EXPECT_STREQ(L"September 08, 2008 (14:31:22)", page.m_list.GetItemText(1, 1));
    ASSERT_EQ(2, m_app.m_arrBackupFiles.GetSize());
    // Row i stands for element n - 1 - i.
    EXPECT_STREQ((strFolder + L"AutoBackup20091231235959.ZIP").c_str(), m_app.m_arrBackupFiles[1]);
}

TEST_F(BackupPageTest, AbsentFolderEmptiesTheSharedArrayAndActsOnNothingElse)
{
    // Another page's paths are in the shared array.
    std::wstring strOther = AppDir() + L"FullBackup\\";
    ASSERT_TRUE(::CreateDirectoryW(strOther.c_str(), NULL));
    Touch(strOther + L"FullBackup20090101000000.zip");
    CAutoBackupPage page;
    CreatePage(page);
    EXPECT_EQ(0, page.m_list.GetItemCount());
    FillBackupList(page.m_list, m_app.m_arrBackupFiles, strOther.c_str());
    ASSERT_EQ(1, page.m_list.GetItemCount());

    // Shown again without its folder: nothing of the other page stays.
    page.FillList();
    EXPECT_EQ(0, page.m_list.GetItemCount());
    EXPECT_EQ(0, m_app.m_arrBackupFiles.GetSize());

    // A row whose element lies in another folder is never acted on.
    FillBackupList(page.m_list, m_app.m_arrBackupFiles, strOther.c_str());
    SelectRow(page.m_list, 0);
    EXPECT_EQ(-1, SelectedBackupIndex(page.m_list, m_app.m_arrBackupFiles, page.GetBackupFolder()));
    m_boxes.QueueAnswer(IDYES);
    Click(page, 1002);
    // Taken as no selection: the user is asked to select one, nothing more.
    ASSERT_EQ(1u, m_boxes.Count());
    EXPECT_EQ(std::wstring(m_app.GetLangString(L"M_SELECT_BACKUP")), m_boxes.LastText());
    EXPECT_NE(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW((strOther + L"FullBackup20090101000000.zip").c_str()));
}

TEST_F(BackupPageTest, RemoveDeletesTheSelectedBackupOnlyAfterYes)
{
    std::wstring strFolder = AppDir() + L"AutoBackup\\";
    ASSERT_TRUE(::CreateDirectoryW(strFolder.c_str(), NULL));
    Touch(strFolder + L"AutoBackup20080101000000.zip");
    Touch(strFolder + L"AutoBackup20090101000000.zip");
    CAutoBackupPage page;
    CreatePage(page);

    // No selection: no question, but a word to select a backup first.
    SelectRow(page.m_list, -1);
    Click(page, 1002);
    ASSERT_EQ(1u, m_boxes.Count());
    EXPECT_EQ(std::wstring(m_app.GetLangString(L"M_SELECT_BACKUP")), m_boxes.LastText());
    EXPECT_EQ(2, page.m_list.GetItemCount());

    SelectRow(page.m_list, 0);
    m_boxes.QueueAnswer(IDNO);
    Click(page, 1002);
    EXPECT_EQ(2, page.m_list.GetItemCount());

    m_boxes.QueueAnswer(IDYES);
    Click(page, 1002);
    ASSERT_EQ(1, page.m_list.GetItemCount());
    EXPECT_STREQ(L"AutoBackup20080101000000", page.m_list.GetItemText(0, 0));
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW((strFolder + L"AutoBackup20090101000000.zip").c_str()));

    // A file that will not go keeps its row and element, and says so.
    std::wstring strLast = strFolder + L"AutoBackup20080101000000.zip";
    HANDLE hHeld = ::CreateFileW(strLast.c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(INVALID_HANDLE_VALUE, hHeld);
    SelectRow(page.m_list, 0);
    m_boxes.QueueAnswer(IDYES);
    Click(page, 1002);
    ::CloseHandle(hHeld);
    EXPECT_EQ(1, page.m_list.GetItemCount());
    EXPECT_EQ(1, m_app.m_arrBackupFiles.GetSize());
    ASSERT_EQ(5u, m_boxes.Count());
    EXPECT_NE(std::wstring::npos, m_boxes.LastText().find(L"AutoBackup20080101000000.zip"));

    // Removing the last one leaves an empty list.
    SelectRow(page.m_list, 0);
    m_boxes.QueueAnswer(IDYES);
    Click(page, 1002);
    EXPECT_EQ(0, page.m_list.GetItemCount());
    EXPECT_EQ(0, m_app.m_arrBackupFiles.GetSize());
}
