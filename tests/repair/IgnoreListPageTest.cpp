// The ignore list page: its rows, the category names of odd indexes, and
// Remove with and without a selection, on lists of a few and of 100,000
// entries.
#include "tests/repair/RepairTestSupport.h"
#include "app/TamselDlg.h"
#include "repair/IgnoreListFile.h"
#include "tests/support/MessageBoxRecorder.h"
#include "tests/support/ResponsiveWatch.h"

using namespace repairtest;

class IgnoreListPageTest : public RepairWindowTest
{
protected:
    std::wstring File() const { return m_folder.File(L"IgnoreList.dat"); }
    CListCtrl& List() { return m_pDlg->m_pageIgnore.m_list; }
    CIgnoreListPage& Page() { return m_pDlg->m_pageIgnore; }
    // Remove as a click on the button does it.
    void ClickRemove() { Page().SendMessage(WM_COMMAND, MAKEWPARAM(1001, BN_CLICKED), 0); }
    // Serves the window until the file is written after a Remove.
    bool WaitSaved(DWORD dwMs = 60000)
    {
        return testsupport::WaitFor([this] { return !Page().IsSaving(); }, dwMs);
    }
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
    ClickRemove();
    EXPECT_EQ(List().GetItemCount(), 4);
    ASSERT_TRUE(WaitSaved());
    m_pApp->LoadIgnoreList();
    ASSERT_EQ(m_pApp->m_arrIgnoreList.GetSize(), 4);
    EXPECT_EQ(m_pApp->m_arrIgnoreList[1], L"7;C:\\Links\\a.lnk|{Default}|C:\\gone.exe");
    EXPECT_EQ(m_pApp->m_arrIgnoreList[2], L"42;HKEY_CURRENT_USER\\Odd|x|y");

    // Two Removes in a row, and the page left before the file is written:
    // both go, in order, and the list read back on leaving has them gone.
    testsupport::MessageBoxRecorder boxes;
    List().SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
    ClickRemove();
    List().SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
    ClickRemove();
    m_pDlg->SelectPage(PAGE_SETTINGS);
    EXPECT_FALSE(Page().IsSaving());
    EXPECT_EQ(boxes.Count(), 0u);
    ASSERT_EQ(m_pApp->m_arrIgnoreList.GetSize(), 2);
    EXPECT_EQ(m_pApp->m_arrIgnoreList[0], L"7;C:\\Links\\a.lnk|{Default}|C:\\gone.exe");
    EXPECT_EQ(m_pApp->m_arrIgnoreList[1], L"no index here");
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
    ClickRemove();
    // The file is written after the click has returned: the row is gone and
    // nothing is told until the rewrite has failed.
    EXPECT_EQ(List().GetItemCount(), 0);
    EXPECT_EQ(boxes.Count(), 0u);
    bool bSaved = WaitSaved();
    CloseHandle(hHold);
    ASSERT_TRUE(bSaved);
    EXPECT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.LastText(), L"The ignore list could not be saved. It has not been changed.");
    EXPECT_EQ(List().GetItemCount(), 1);
    EXPECT_EQ(List().GetItemText(0, 1), L"HKEY_CURRENT_USER\\A|a|");
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
    ClickRemove();
    ASSERT_TRUE(WaitSaved());
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
    ClickRemove();
    ASSERT_TRUE(WaitSaved());
    EXPECT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.LastText(), L"IgnoreList.dat could not be read completely, so it was not changed.");
    EXPECT_EQ(testsupport::ReadFileBytes(File()), bytes);
    int nRows = List().GetItemCount();
    EXPECT_EQ(m_pApp->m_arrIgnoreList.GetSize(), nRows);

    // Nor does an entry added from the result page rewrite it.
    EXPECT_FALSE(CIgnoreListFile::AddEntry(m_pApp, L"3;HKEY_CURRENT_USER\\C|c|"));
    EXPECT_EQ(testsupport::ReadFileBytes(File()), bytes);
}


// The list asks the page for its texts. Leaving the page reads the file
// again; a list that shrank meanwhile gives empty rows to the hidden list
// until it shows again, and then only the entries the file holds.
TEST_F(IgnoreListPageTest, ListThatShrankWhileHiddenShowsWhatTheFileHolds)
{
    CStringArray entries;
    for (int i = 0; i < 5; i++)
    {
        CString strEntry;
        strEntry.Format(L"14;HKEY_CURRENT_USER\\Empty %d|{Default}|", i);
        entries.Add(strEntry);
    }
    ASSERT_TRUE(CIgnoreListFile::WriteFile(File().c_str(), entries));
    m_pDlg->SelectPage(PAGE_IGNORE);
    Pump(50);
    ASSERT_EQ(List().GetItemCount(), 5);
    EXPECT_EQ(List().GetItemText(4, 1), L"HKEY_CURRENT_USER\\Empty 4|{Default}|");

    entries.SetSize(2);
    ASSERT_TRUE(CIgnoreListFile::WriteFile(File().c_str(), entries));
    m_pDlg->SelectPage(PAGE_SETTINGS);
    ASSERT_EQ(m_pApp->m_arrIgnoreList.GetSize(), 2);
    EXPECT_EQ(List().GetItemText(4, 1), L"");
    EXPECT_EQ(List().GetItemText(4, 0), L"");

    m_pDlg->SelectPage(PAGE_IGNORE);
    Pump(50);
    ASSERT_EQ(List().GetItemCount(), 2);
    EXPECT_EQ(List().GetItemText(1, 0), L"Empty Registry Keys");
    EXPECT_EQ(List().GetItemText(1, 1), L"HKEY_CURRENT_USER\\Empty 1|{Default}|");
}


namespace {

// Entries as scans leave them, of several categories and lengths; some hold
// a line break of their data, which the file keeps encoded.
std::wstring ManyEntry(int i)
{
    wchar_t sz[400];
    switch (i % 5)
    {
    case 0:
        wsprintfW(sz, L"0;HKEY_CLASSES_ROOT\\CLSID\\{%08X-1234-5678-9ABC-%012d}\\InprocServer32|{Default}|"
                      L"C:\\Program Files\\Vendor %05d\\lib%d.dll", i * 7919, i, i % 977, i);
        break;
    case 1:
        wsprintfW(sz, L"7;C:\\Documents and Settings\\All Users\\Start Menu\\Programs\\Tool %d.lnk|{Default}|"
                      L"C:\\Program Files\\Tool %d\\tool.exe", i, i);
        break;
    case 2:
        wsprintfW(sz, L"14;HKEY_LOCAL_MACHINE\\Software\\Vendor %05d\\Empty %d|{Default}|", i % 977, i);
        break;
    case 3:
        wsprintfW(sz, L"12;HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Run|Helper %d|"
                      L"\"C:\\Program Files\\Helper %d\\helper.exe\" /background", i, i);
        break;
    default:
        wsprintfW(sz, L"9;HKEY_CURRENT_USER\\AppEvents\\Schemes\\Apps\\.Default\\Sound %d|{Default}|"
                      L"line one\x240Aline two\x240D", i);
        break;
    }
    return sz;
}

// The file of the entries 0 to nCount - 1, all but nSkipped.
std::string ManyEntriesFile(int nCount, int nSkipped)
{
    std::wstring strText = L"\xFEFF";
    for (int i = 0; i < nCount; ++i)
        if (i != nSkipped)
            strText += ManyEntry(i) + L"\n";
    return std::string((const char*)strText.data(), strText.size() * sizeof(wchar_t));
}

} // namespace

// 100,000 entries, one row removed through the page: the row goes at once,
// the window answers while the file is written, and the file then holds the
// other 99,999 entries byte for byte.
TEST_F(IgnoreListPageTest, RemoveFromAHundredThousandEntries)
{
    const int nCount = 100000, nRow = 50000;
    ASSERT_TRUE(testsupport::WriteFileBytes(File(), ManyEntriesFile(nCount, -1)));
    m_pDlg->SelectPage(PAGE_IGNORE);
    ASSERT_TRUE(testsupport::WaitFor([this] { return List().GetItemCount() == nCount; }, 600000));
    ASSERT_EQ(m_pApp->m_arrIgnoreList.GetSize(), nCount);
    CString strNext = List().GetItemText(nRow + 1, 1);
    std::wstring strNextEntry = ManyEntry(nRow + 1);
    EXPECT_EQ(std::wstring((LPCWSTR)strNext), strNextEntry.substr(strNextEntry.find(L';') + 1));

    testsupport::MessageBoxRecorder boxes;
    List().SetItemState(nRow, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    List().EnsureVisible(nRow, FALSE);
    Pump(50);
    {
        // Only a hang misses the limit; how long answers take is the benchmark's.
        testsupport::ResponsiveWatch watch(m_pDlg->m_hWnd, 20);
        ClickRemove();
        // The click has returned with the row gone, and the file is written
        // while the window serves its messages.
        EXPECT_EQ(List().GetItemCount(), nCount - 1);
        EXPECT_EQ(List().GetItemText(nRow, 1), strNext);
        EXPECT_TRUE(Page().IsSaving());
        ASSERT_TRUE(WaitSaved(600000));
        Pump(100);
        watch.Stop();
        EXPECT_EQ(watch.Unanswered(), 0) << "longest wait " << watch.LongestWait() << " ms";
        EXPECT_GE(watch.Sends(), 1);
    }
    EXPECT_EQ(boxes.Count(), 0u);
    EXPECT_TRUE(testsupport::ReadFileBytes(File()) == ManyEntriesFile(nCount, nRow))
        << "the file does not hold the other entries as they were";
    EXPECT_EQ(GetFileAttributesW((File() + L".tmp").c_str()), INVALID_FILE_ATTRIBUTES);
    ASSERT_EQ(m_pApp->m_arrIgnoreList.GetSize(), nCount - 1);
    EXPECT_EQ(std::wstring((LPCWSTR)m_pApp->m_arrIgnoreList[nRow]), ManyEntry(nRow + 1));

    // Leaving the page reads the file again: the entry stays gone, and the
    // line breaks kept encoded come back as they were.
    m_pDlg->SelectPage(PAGE_SETTINGS);
    ASSERT_EQ(m_pApp->m_arrIgnoreList.GetSize(), nCount - 1);
    EXPECT_EQ(m_pApp->m_arrIgnoreList[nRow - 1], CIgnoreListFile::DecodeLine(ManyEntry(nRow - 1).c_str()));
    EXPECT_EQ(std::wstring((LPCWSTR)m_pApp->m_arrIgnoreList[nRow]), ManyEntry(nRow + 1));
    EXPECT_EQ(m_pApp->m_arrIgnoreList[4], L"9;HKEY_CURRENT_USER\\AppEvents\\Schemes\\Apps\\.Default\\Sound 4|{Default}|"
                                          L"line one\nline two\r");
}
