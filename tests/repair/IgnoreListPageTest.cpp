// The ignore list page: its rows, the category names of odd indexes, and
// Remove with and without a selection.
#include "tests/repair/RepairTestSupport.h"
#include "app/TamselDlg.h"
#include "repair/IgnoreListFile.h"
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

namespace {
// The text as UTF-16LE bytes, with or without the mark.
std::string Utf16Bytes(const std::wstring& strText, bool bMark)
{
    std::wstring str = bMark ? L"\xFEFF" + strText : strText;
    return std::string((const char*)str.c_str(), str.size() * 2);
}
} // namespace

// Saved by another editor as UTF-16LE without a mark, CR LF line ends: the
// entries read as entries, and a Remove keeps the four others.
TEST_F(IgnoreListPageTest, UnmarkedUtf16ListReadsAndRemovesOneEntry)
{
    std::wstring strText = L"0;HKEY_CLASSES_ROOT\\CLSID\\{1}|{Default}|a.dll\r\n"
                           L"7;C:\\Links\\b.lnk|{Default}|C:\\gone.exe\r\n"
                           L"14;HKEY_LOCAL_MACHINE\\Software\\Empty|{Default}|\r\n"
                           L"2;HKEY_LOCAL_MACHINE\\Software\\App Paths\\x.exe|{Default}|C:\\x.exe\r\n"
                           L"9;HKEY_CURRENT_USER\\Sounds|y|z\r\n";
    ASSERT_TRUE(testsupport::WriteFileBytes(File(), Utf16Bytes(strText, false)));
    m_pDlg->SelectPage(PAGE_IGNORE);
    Pump(50);
    ASSERT_EQ(List().GetItemCount(), 5);
    EXPECT_EQ(List().GetItemText(0, 0), L"ActiveX/OLE/COM");
    EXPECT_EQ(List().GetItemText(0, 1), L"HKEY_CLASSES_ROOT\\CLSID\\{1}|{Default}|a.dll");
    EXPECT_EQ(List().GetItemText(2, 0), L"Empty Registry Keys");
    EXPECT_EQ(List().GetItemText(4, 1), L"HKEY_CURRENT_USER\\Sounds|y|z");

    testsupport::MessageBoxRecorder boxes;
    List().SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
    m_pDlg->m_pageIgnore.SendMessage(WM_COMMAND, MAKEWPARAM(1001, BN_CLICKED), 0);
    EXPECT_EQ(boxes.Count(), 0u);
    EXPECT_EQ(List().GetItemCount(), 4);
    // Written back in our own form: marked, LF line ends, the four others.
    std::wstring strExpected = L"0;HKEY_CLASSES_ROOT\\CLSID\\{1}|{Default}|a.dll\n"
                               L"14;HKEY_LOCAL_MACHINE\\Software\\Empty|{Default}|\n"
                               L"2;HKEY_LOCAL_MACHINE\\Software\\App Paths\\x.exe|{Default}|C:\\x.exe\n"
                               L"9;HKEY_CURRENT_USER\\Sounds|y|z\n";
    EXPECT_EQ(testsupport::ReadFileBytes(File()), Utf16Bytes(strExpected, true));
}

// A list that does not read cleanly (here UTF-16 with zero units and a
// half unit at its end) is shown as far as it goes, but never written back.
TEST_F(IgnoreListPageTest, ListNotReadCleanlyIsLeftUntouched)
{
    std::string bytes = Utf16Bytes(L"0;HKEY_CURRENT_USER\\A|a|\n1;HKEY_CURRENT_USER\\B|b|", true);
    bytes += std::string(4, '\0');
    bytes += "\n";
    ASSERT_TRUE(testsupport::WriteFileBytes(File(), bytes));
    m_pDlg->SelectPage(PAGE_IGNORE);
    Pump(50);
    ASSERT_GE(List().GetItemCount(), 1);
    testsupport::MessageBoxRecorder boxes;
    List().SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
    m_pDlg->m_pageIgnore.OnRemove();
    EXPECT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.LastText(), L"IgnoreList.dat could not be read completely, so it was not changed.");
    EXPECT_EQ(testsupport::ReadFileBytes(File()), bytes);
    int nRows = List().GetItemCount();
    EXPECT_EQ(m_pApp->m_arrIgnoreList.GetSize(), nRows);

    // Nor does an entry added from the result page rewrite it.
    EXPECT_FALSE(CIgnoreListFile::AddEntry(m_pApp, L"3;HKEY_CURRENT_USER\\C|c|"));
    EXPECT_EQ(testsupport::ReadFileBytes(File()), bytes);
}
