// The ignore list page: its rows, the category names of odd indexes, and
// Remove with and without a selection.
#include "tests/repair/RepairTestSupport.h"
#include "app/TamselDlg.h"
#include "repair/IgnoreList.h"
#include "tests/support/MessageBoxRecorder.h"

using namespace repairtest;

class IgnoreListPageTest : public RepairWindowTest
{
protected:
    std::wstring File() const { return m_folder.File(L"IgnoreList.dat"); }
    CListCtrl& List() { return m_pDlg->m_pageIgnore.m_list; }
};

TEST_F(IgnoreListPageTest, ShowsEntriesAndRemovesTheSelectedOne)
{
    CStringArray entries;
    entries.Add(L"14;HKEY_LOCAL_MACHINE\\Software\\Empty|{Default}|");
    entries.Add(L"7;C:\\Links\\a.lnk|{Default}|C:\\gone.exe");
    entries.Add(L"7;C:\\Links\\a.lnk|{Default}|C:\\gone.exe");
    entries.Add(L"42;HKEY_CURRENT_USER\\Odd|x|y");
    entries.Add(L"no index here");
    ASSERT_TRUE(CIgnoreListFile::WriteFile(File().c_str(), entries));
    m_pDlg->SelectPage(PAGE_IGNORE);
    Pump(50);
    ASSERT_EQ(List().GetItemCount(), 5);
    EXPECT_EQ(List().GetItemText(0, 0), L"Empty Registry Keys");
    EXPECT_EQ(List().GetItemText(0, 1), L"HKEY_LOCAL_MACHINE\\Software\\Empty|{Default}|");
    EXPECT_EQ(List().GetItemText(1, 0), L"Invalid Shortcuts");
    EXPECT_EQ(List().GetItemText(3, 0), L"ActiveX/OLE/COM");
    EXPECT_EQ(List().GetItemText(4, 0), L"");
    EXPECT_EQ(List().GetItemText(4, 1), L"no index here");
    TakeScreenshot("ignore");

    // Nothing selected: nothing happens.
    m_pDlg->m_pageIgnore.OnRemove();
    EXPECT_EQ(List().GetItemCount(), 5);

    // The second of two equal entries goes alone.
    List().SetItemState(2, LVIS_SELECTED, LVIS_SELECTED);
    m_pDlg->m_pageIgnore.SendMessage(WM_COMMAND, MAKEWPARAM(1001, BN_CLICKED), 0);
    EXPECT_EQ(List().GetItemCount(), 4);
    m_pApp->LoadIgnoreList();
    ASSERT_EQ(m_pApp->m_arrIgnoreList.GetSize(), 4);
    EXPECT_EQ(m_pApp->m_arrIgnoreList[1], L"7;C:\\Links\\a.lnk|{Default}|C:\\gone.exe");
    EXPECT_EQ(m_pApp->m_arrIgnoreList[2], L"42;HKEY_CURRENT_USER\\Odd|x|y");
}

TEST_F(IgnoreListPageTest, RemoveThatCannotBeSavedTellsTheUser)
{
    CStringArray entries;
    entries.Add(L"1;HKEY_CURRENT_USER\\A|a|");
    ASSERT_TRUE(CIgnoreListFile::WriteFile(File().c_str(), entries));
    m_pDlg->SelectPage(PAGE_IGNORE);
    Pump(50);
    ASSERT_EQ(List().GetItemCount(), 1);
    HANDLE hHold = CreateFileW(File().c_str(), GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(hHold, INVALID_HANDLE_VALUE);
    testsupport::MessageBoxRecorder boxes;
    List().SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
    m_pDlg->m_pageIgnore.OnRemove();
    CloseHandle(hHold);
    EXPECT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.LastText(), L"The ignore list could not be saved. It has not been changed.");
    EXPECT_EQ(List().GetItemCount(), 1);
    EXPECT_EQ(m_pApp->m_arrIgnoreList.GetSize(), 1);
}
