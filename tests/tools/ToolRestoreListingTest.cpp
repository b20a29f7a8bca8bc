// The restore pages of the startup and helper object managers over hostile
// archives: an entry that unpacks too far, a row without a name, a backup
// that holds more than its row shows, an entry named outside its folder (met
// by the listing and by a Remove), and an archive of 20,000 backups, listed
// while the window keeps answering.
#include "app/TamselApp.h"
#include "resources/AppResource.h"
#include "tools/BhoManager.h"
#include "tools/StartupManager.h"
#include "tests/support/MessageBoxRecorder.h"
#include "tests/support/ResponsiveWatch.h"
#include "tests/support/TestSupport.h"
#include "tests/tools/ToolTestSupport.h"

#include <gtest/gtest.h>
#include <shlwapi.h>
#include <memory>
#include <string>
#include <vector>

using testsupport::MessageBoxRecorder;

namespace {

using tooltest::Utf16;
using tooltest::WriteArchive;

std::string StartupBackup(const std::wstring& strName, const std::wstring& strCommand)
{
    return Utf16(L"Windows Registry Editor Version 5.00\r\n\r\n"
                 L"[HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run]\r\n\"" +
                 strName + L"\"=\"" + strCommand + L"\"\r\n\r\n");
}

class HostWnd : public CWnd
{
};

class ToolRestoreListingTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_pApp = static_cast<CTamselApp*>(AfxGetApp());
        ASSERT_NE(m_pApp, nullptr);
        m_pApp->m_strAppDir = m_folder.Path().c_str();
        // The texts the user reads: the built-in English file's.
        std::wstring strLang = m_folder.Path() + L"English.ini";
        ASSERT_TRUE(m_pApp->ExtractDefaultLanguage(IDR_DEFAULT_LANGUAGE, strLang.c_str()));
        m_pApp->m_strLangFile = strLang.c_str();
        m_pApp->m_arrStartupBackups.RemoveAll();
        ::CreateDirectoryW(m_pApp->m_strAppDir + L"Utilities", NULL);
        LPCTSTR lpszClass = AfxRegisterWndClass(0, ::LoadCursorW(NULL, IDC_ARROW), (HBRUSH)(COLOR_WINDOW + 1));
        ASSERT_TRUE(m_wndHost.CreateEx(0, lpszClass, L"Tool host", WS_OVERLAPPEDWINDOW, 0, 0, 640, 480, NULL, NULL));
    }
    void TearDown() override
    {
        m_pStartup.reset();
        if (::IsWindow(m_wndHost.m_hWnd))
            m_wndHost.DestroyWindow();
        m_pApp->m_arrStartupBackups.RemoveAll();
        m_pApp->m_strLangFile.Empty();
    }
    std::wstring Archive() const { return m_folder.Path() + L"Utilities\\Startup.dat"; }
    // nCount startup backups "<prefix><n>" of C:\many.exe.
    bool WriteManyBackups(const std::wstring& strPrefix, int nCount)
    {
        std::vector<std::pair<std::wstring, std::string>> entries;
        entries.reserve(nCount);
        for (int i = 0; i < nCount; ++i)
            entries.push_back({L"Startup" + std::to_wstring(i) + L".reg",
                               StartupBackup(strPrefix + std::to_wstring(i), L"C:\\\\many.exe")});
        return WriteArchive(Archive(), entries);
    }
    // The manager shown on its list page; its restore page not yet listed.
    CStartupRestorePage& OpenManager()
    {
        m_pStartup.reset(new CStartupManager());
        EXPECT_TRUE(m_pStartup->Create(254, &m_wndHost));
        m_pStartup->ShowWindow(SW_SHOW);
        return m_pStartup->m_pageRestore;
    }
    // The archive with a backup named strOutside beside a plain one; its bytes
    // as written. The writer takes no such name: it is written under a
    // stand-in of the same length, then renamed in place.
    std::string WriteArchiveNamedOutside(const std::wstring& strOutside)
    {
        std::wstring strStandIn(strOutside.size(), L'Q');
        EXPECT_TRUE(WriteArchive(Archive(), {{L"Startup0.reg", StartupBackup(L"TamselInside", L"C:\\\\in.exe")},
                                             {strStandIn, StartupBackup(L"TamselOutside", L"C:\\\\out.exe")}}));
        std::string bytes = testsupport::ReadFileBytes(Archive());
        std::string strFrom(strStandIn.begin(), strStandIn.end()), strTo(strOutside.begin(), strOutside.end());
        int nRenamed = 0;
        for (size_t nAt = bytes.find(strFrom); nAt != std::string::npos; nAt = bytes.find(strFrom, nAt + 1), ++nRenamed)
            bytes.replace(nAt, strFrom.size(), strTo);
        EXPECT_EQ(2, nRenamed);
        EXPECT_TRUE(testsupport::WriteFileBytes(Archive(), bytes));
        ::DeleteFileW((Archive() + L".damaged").c_str());
        return bytes;
    }
    CStartupRestorePage& OpenRestore()
    {
        m_pStartup.reset(new CStartupManager());
        EXPECT_TRUE(m_pStartup->Create(254, &m_wndHost));
        m_pStartup->ShowWindow(SW_SHOW);
        m_pStartup->OnTabRestore();
        EXPECT_TRUE(tooltest::WaitListed(m_pStartup->m_pageRestore));
        return m_pStartup->m_pageRestore;
    }

    testsupport::ScratchFolder m_folder;
    CTamselApp* m_pApp = NULL;
    HostWnd m_wndHost;
    std::unique_ptr<CStartupManager> m_pStartup;
};

} // namespace

// A 1 MiB archive must not become a gigabyte on disk: the entry is left out,
// and the user is told which.
TEST_F(ToolRestoreListingTest, EntryThatUnpacksTooFarIsLeftOutAndNamed)
{
    std::string bomb = Utf16(L"Windows Registry Editor Version 5.00\r\n\r\n");
    bomb.append(8u * 1024 * 1024, ';');
    ASSERT_TRUE(WriteArchive(Archive(), {{L"Startup0.reg", StartupBackup(L"TamselKeep", L"C:\\\\keep.exe")},
                                         {L"Startup1.reg", bomb}}));
    MessageBoxRecorder boxes;
    CStartupRestorePage& page = OpenRestore();
    ASSERT_EQ(1, page.GetList().GetItemCount());
    EXPECT_EQ(CString(L"TamselKeep"), page.GetList().GetItemText(0, 1));
    ASSERT_EQ(1u, boxes.Count());
    EXPECT_NE(std::wstring::npos, boxes.LastText().find(L"too large")) << boxes.LastText().size();
    EXPECT_NE(std::wstring::npos, boxes.LastText().find(L"Startup1.reg"));
    EXPECT_FALSE(::PathFileExistsW((m_folder.Path() + L"Utilities\\Startup\\Startup1.reg").c_str()));
}

// A refused backup without a value line is named as its row shows: no name
// and no path, never by the file it came from.
TEST_F(ToolRestoreListingTest, RefusedRowWithoutNameIsNamedAsItsRowShows)
{
    std::string notRun = Utf16(L"Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\TamselNotRun]\r\n\r\n");
    ASSERT_TRUE(WriteArchive(Archive(), {{L"Startup0.reg", notRun}}));
    MessageBoxRecorder boxes;
    CStartupRestorePage& page = OpenRestore();
    ASSERT_EQ(1, page.GetList().GetItemCount());
    EXPECT_TRUE(page.GetList().GetItemText(0, 1).IsEmpty());
    page.GetList().SetCheckbox(0, 0, 2);
    page.OnRestore();
    ASSERT_TRUE(tooltest::WaitListed(page));
    ASSERT_EQ(1u, boxes.Count());
    std::wstring strText = boxes.LastText();
    EXPECT_NE(std::wstring::npos, strText.find(L"hold more than their entries"));
    EXPECT_NE(std::wstring::npos, strText.find(L"\n(the row without a program name or path)")) << strText.size();
    EXPECT_EQ(std::wstring::npos, strText.find(L"Startup0.reg"));
    HKEY hKey = NULL;
    EXPECT_NE(ERROR_SUCCESS, ::RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\TamselNotRun", 0, KEY_READ, &hKey));
    if (hKey != NULL)
        ::RegCloseKey(hKey);
}

std::wstring RunKeyLine()
{
    return L"[HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run]\r\n";
}

std::wstring RegHeader()
{
    return L"Windows Registry Editor Version 5.00\r\n\r\n";
}

bool RunValue(const wchar_t* pszName, std::wstring* pText = NULL)
{
    DWORD dwType = 0;
    tooltest::Bytes data;
    if (!tooltest::GetValue(HKEY_CURRENT_USER, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", pszName, dwType, data))
        return false;
    if (pText != NULL)
        pText->assign((const wchar_t*)data.data(), data.size() / 2);
    return true;
}

void RemoveRunValues(std::initializer_list<const wchar_t*> names)
{
    HKEY hKey = NULL;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", 0, KEY_SET_VALUE,
                        &hKey) != ERROR_SUCCESS)
        return;
    for (const wchar_t* pszName : names)
        ::RegDeleteValueW(hKey, pszName);
    ::RegCloseKey(hKey);
}

// A startup backup whose key line carries two values: the row shows the last,
// and Restore writes neither, naming the row as it shows (not its file).
// The same backup with one value restores without a word.
TEST_F(ToolRestoreListingTest, BackupWithAHiddenValueIsRefusedByItsRow)
{
    RemoveRunValues({L"TamselHidden", L"TamselShown", L"TamselAlone"});
    std::string twoValues = Utf16(RegHeader() + RunKeyLine() + L"\"TamselHidden\"=\"calc.exe\"\r\n"
                                  L"\"TamselShown\"=\"C:\\\\shown.exe\"\r\n\r\n");
    ASSERT_TRUE(WriteArchive(Archive(), {{L"Startup0.reg", twoValues},
                                         {L"Startup1.reg", StartupBackup(L"TamselAlone", L"C:\\\\alone.exe")}}));
    MessageBoxRecorder boxes;
    CStartupRestorePage& page = OpenRestore();
    ASSERT_EQ(2, page.GetList().GetItemCount());
    EXPECT_EQ(CString(L"TamselShown"), page.GetList().GetItemText(0, 1));
    EXPECT_EQ(CString(L"C:\\shown.exe"), page.GetList().GetItemText(0, 2));
    page.GetList().SetCheckbox(0, 0, 2);
    page.GetList().SetCheckbox(1, 0, 2);
    page.OnRestore();
    ASSERT_TRUE(tooltest::WaitListed(page));
    EXPECT_FALSE(RunValue(L"TamselHidden"));
    EXPECT_FALSE(RunValue(L"TamselShown"));
    std::wstring strCommand;
    EXPECT_TRUE(RunValue(L"TamselAlone", &strCommand));
    EXPECT_EQ(std::wstring(L"C:\\alone.exe", 13), strCommand);
    ASSERT_EQ(1u, boxes.Count());
    std::wstring strText = boxes.LastText();
    EXPECT_NE(std::wstring::npos, strText.find(L"\nTamselShown (C:\\shown.exe)")) << strText.size();
    EXPECT_EQ(std::wstring::npos, strText.find(L"Startup0.reg"));
    EXPECT_EQ(std::wstring::npos, strText.find(L"TamselAlone"));
    // The refused backup stays, the restored one left the archive.
    ASSERT_EQ(1, page.GetList().GetItemCount());
    EXPECT_EQ(CString(L"TamselShown"), page.GetList().GetItemText(0, 1));
    RemoveRunValues({L"TamselHidden", L"TamselShown", L"TamselAlone"});
}

// What else a row can hide: the same key line twice, a NUL inside the text,
// a line the import skips. Each is refused; a text of the expandable kind
// that shows whole restores.
TEST_F(ToolRestoreListingTest, BackupsThatWriteMoreThanTheRowAreRefused)
{
    RemoveRunValues({L"TamselTwiceA", L"TamselTwiceB", L"TamselNul", L"TamselSkip", L"TamselExpand"});
    std::string twice = Utf16(RegHeader() + RunKeyLine() + L"\"TamselTwiceA\"=\"a.exe\"\r\n\r\n" + RunKeyLine() +
                              L"\"TamselTwiceB\"=\"b.exe\"\r\n\r\n");
    // "x.exe", NUL, "calc": the row would show x.exe alone.
    std::string nul = Utf16(RegHeader() + RunKeyLine() +
                            L"\"TamselNul\"=hex(1):78,00,2e,00,65,00,78,00,65,00,00,00,63,00,61,00,6c,00,63,00,00,00\r\n\r\n");
    std::string skipped = Utf16(RegHeader() + RunKeyLine() + L"\"TamselSkip\"=\"s.exe\" junk\r\n\r\n");
    // "%SystemRoot%\x.exe" as an expandable text.
    std::wstring strExpand = L"%SystemRoot%\\x.exe";
    std::wstring strHex;
    for (wchar_t ch : strExpand + L'\0')
    {
        wchar_t szByte[8];
        wsprintfW(szByte, L"%02x,00,", (int)ch);
        strHex += szByte;
    }
    strHex.pop_back();
    std::string expand = Utf16(RegHeader() + RunKeyLine() + L"\"TamselExpand\"=hex(2):" + strHex + L"\r\n\r\n");
    ASSERT_TRUE(WriteArchive(Archive(), {{L"Startup0.reg", twice}, {L"Startup1.reg", nul}, {L"Startup2.reg", skipped},
                                         {L"Startup3.reg", expand}}));
    MessageBoxRecorder boxes;
    CStartupRestorePage& page = OpenRestore();
    ASSERT_EQ(4, page.GetList().GetItemCount());
    EXPECT_EQ(CString(L"TamselTwiceB"), page.GetList().GetItemText(0, 1));
    EXPECT_EQ(CString(L"x.exe"), page.GetList().GetItemText(1, 2));
    EXPECT_EQ(CString(strExpand.c_str()), page.GetList().GetItemText(3, 2));
    for (int i = 0; i < 4; ++i)
        page.GetList().SetCheckbox(i, 0, 2);
    page.OnRestore();
    ASSERT_TRUE(tooltest::WaitListed(page));
    EXPECT_FALSE(RunValue(L"TamselTwiceA"));
    EXPECT_FALSE(RunValue(L"TamselTwiceB"));
    EXPECT_FALSE(RunValue(L"TamselNul"));
    EXPECT_FALSE(RunValue(L"TamselSkip"));
    DWORD dwType = 0;
    tooltest::Bytes data;
    EXPECT_TRUE(tooltest::GetValue(HKEY_CURRENT_USER, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run",
                                   L"TamselExpand", dwType, data));
    EXPECT_EQ((DWORD)REG_EXPAND_SZ, dwType);
    ASSERT_EQ(1u, boxes.Count());
    EXPECT_NE(std::wstring::npos, boxes.LastText().find(L"\nTamselTwiceB (b.exe)"));
    EXPECT_NE(std::wstring::npos, boxes.LastText().find(L"\nTamselNul (x.exe)"));
    EXPECT_EQ(3, page.GetList().GetItemCount());
    RemoveRunValues({L"TamselTwiceA", L"TamselTwiceB", L"TamselNul", L"TamselSkip", L"TamselExpand"});
}

// The archive rewritten after the list was made (another copy of the
// program, say): Restore writes only what the row showed, so the changed
// backup is refused.
TEST_F(ToolRestoreListingTest, BackupChangedAfterListingIsRefused)
{
    RemoveRunValues({L"TamselListed", L"TamselSwapped"});
    ASSERT_TRUE(WriteArchive(Archive(), {{L"Startup0.reg", StartupBackup(L"TamselListed", L"C:\\\\listed.exe")}}));
    MessageBoxRecorder boxes;
    CStartupRestorePage& page = OpenRestore();
    ASSERT_EQ(1, page.GetList().GetItemCount());
    ASSERT_EQ(1, (int)m_pApp->m_arrStartupBackups.GetSize());
    ASSERT_TRUE(WriteArchive(Archive(), {{L"Startup0.reg", StartupBackup(L"TamselSwapped", L"C:\\\\swapped.exe")}}));
    page.GetList().SetCheckbox(0, 0, 2);
    page.OnRestore();
    ASSERT_TRUE(tooltest::WaitListed(page));
    EXPECT_FALSE(RunValue(L"TamselSwapped"));
    EXPECT_FALSE(RunValue(L"TamselListed"));
    ASSERT_EQ(1u, boxes.Count());
    // It differs from its row; it holds nothing the row could not show.
    EXPECT_NE(std::wstring::npos, boxes.LastText().find(L"no longer the ones their rows showed"));
    EXPECT_EQ(std::wstring::npos, boxes.LastText().find(L"hold more than"));
    EXPECT_NE(std::wstring::npos, boxes.LastText().find(L"\nTamselListed (C:\\listed.exe)"));
    RemoveRunValues({L"TamselListed", L"TamselSwapped"});
}

// The archive swapped for one whose backup has the same name and command in
// another Run key: the row shows the key it was listed with, and Restore
// writes nowhere else.
TEST_F(ToolRestoreListingTest, SameValueUnderAnotherRootIsRefused)
{
    const wchar_t kMachineRun[] = L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
    const wchar_t kUserRun[] = L"HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
    const wchar_t kRunPath[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
    RemoveRunValues({L"TamselRoot"});
    tooltest::DeleteValue(HKEY_LOCAL_MACHINE, kRunPath, L"TamselRoot");
    ASSERT_TRUE(WriteArchive(Archive(), {{L"Startup0.reg", StartupBackup(L"TamselRoot", L"C:\\\\root.exe")}}));
    MessageBoxRecorder boxes;
    CStartupRestorePage& page = OpenRestore();
    ASSERT_EQ(1, page.GetList().GetItemCount());
    EXPECT_EQ(CString(kUserRun), page.GetList().GetItemText(0, 3));
    ASSERT_TRUE(WriteArchive(Archive(), {{L"Startup0.reg", Utf16(RegHeader() + L"[" + kMachineRun + L"]\r\n"
                                                                 L"\"TamselRoot\"=\"C:\\\\root.exe\"\r\n\r\n")}}));
    page.GetList().SetCheckbox(0, 0, 2);
    page.OnRestore();
    ASSERT_TRUE(tooltest::WaitListed(page));
    EXPECT_EQ(L"(none)", tooltest::GetText(HKEY_LOCAL_MACHINE, kRunPath, L"TamselRoot"));
    EXPECT_FALSE(RunValue(L"TamselRoot"));
    ASSERT_EQ(1u, boxes.Count());
    EXPECT_NE(std::wstring::npos, boxes.LastText().find(L"no longer the ones their rows showed"));
    EXPECT_NE(std::wstring::npos, boxes.LastText().find(L"\nTamselRoot (C:\\root.exe)"));
    // The backup stays, and its row now shows where it would write.
    ASSERT_EQ(1, page.GetList().GetItemCount());
    EXPECT_EQ(CString(kMachineRun), page.GetList().GetItemText(0, 3));
    tooltest::DeleteValue(HKEY_LOCAL_MACHINE, kRunPath, L"TamselRoot");
    RemoveRunValues({L"TamselRoot"});
}

// The archive swapped for an unreadable copy after it was listed: nothing
// was tried, and the user hears that it was set aside, and where.
TEST_F(ToolRestoreListingTest, ArchiveSwappedForAnUnreadableCopyIsSetAsideAndSaid)
{
    RemoveRunValues({L"TamselUnread"});
    ASSERT_TRUE(WriteArchive(Archive(), {{L"Startup0.reg", StartupBackup(L"TamselUnread", L"C:\\\\unread.exe")}}));
    MessageBoxRecorder boxes;
    CStartupRestorePage& page = OpenRestore();
    ASSERT_EQ(1, page.GetList().GetItemCount());
    testsupport::WriteFileBytes(Archive(), std::string(300, 'Z'));
    page.GetList().SetCheckbox(0, 0, 2);
    page.OnRestore();
    ASSERT_TRUE(tooltest::WaitListed(page));
    EXPECT_FALSE(RunValue(L"TamselUnread"));
    EXPECT_FALSE(::PathFileExistsW(Archive().c_str()));
    EXPECT_TRUE(::PathFileExistsW((Archive() + L".damaged").c_str()));
    ASSERT_EQ(1u, boxes.Count());
    std::wstring strText = boxes.LastText();
    EXPECT_NE(std::wstring::npos, strText.find(L"could not be read. It was kept under this name:")) << strText.size();
    EXPECT_NE(std::wstring::npos, strText.find(L"\n" + Archive() + L".damaged"));
    EXPECT_EQ(std::wstring::npos, strText.find(L"could not be written into the registry"));
    EXPECT_EQ(0, page.GetList().GetItemCount());
}

// An entry named outside its folder sets the archive aside whole; the box
// says that this is why, and names the entry.
TEST_F(ToolRestoreListingTest, EntryNamedOutsideItsFolderIsNamedAsTheReason)
{
    for (const std::wstring& strOutside : {std::wstring(L"..\\..\\x.reg"), std::wstring(L"C:\\x.reg")})
    {
        WriteArchiveNamedOutside(strOutside);
        MessageBoxRecorder boxes;
        CStartupRestorePage& page = OpenRestore();
        EXPECT_EQ(0, page.GetList().GetItemCount());
        EXPECT_TRUE(::PathFileExistsW((Archive() + L".damaged").c_str()));
        ASSERT_EQ(1u, boxes.Count());
        std::wstring strText = boxes.LastText();
        EXPECT_NE(std::wstring::npos, strText.find(L"\"" + strOutside + L"\" is named outside its folder")) << strText.size();
        EXPECT_NE(std::wstring::npos, strText.find(L"\n" + Archive() + L".damaged"));
        EXPECT_EQ(std::wstring::npos, strText.find(L"could not be read"));
    }
}

// A Remove on the Remove tab meets such an archive when it backs up what it
// removes: the box gives the same reason and the same set-aside name as the
// listing; the archive is set aside byte for byte, nothing of it is
// unpacked or imported, and the removed value's backup starts a new archive.
TEST_F(ToolRestoreListingTest, RemoveMeetingAnEntryNamedOutsideNamesTheReason)
{
    const std::wstring kRunPath = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
    for (const std::wstring& strOutside : {std::wstring(L"..\\..\\x.reg"), std::wstring(L"C:\\x.reg")})
    {
        RemoveRunValues({L"TamselRemoved", L"TamselKept", L"TamselInside", L"TamselOutside"});
        tooltest::SetText(HKEY_CURRENT_USER, kRunPath, L"TamselRemoved", L"C:\\removed.exe");
        tooltest::SetText(HKEY_CURRENT_USER, kRunPath, L"TamselKept", L"C:\\kept.exe");
        std::string planted = WriteArchiveNamedOutside(strOutside);
        ASSERT_FALSE(::PathFileExistsW(L"C:\\x.reg"));
        MessageBoxRecorder boxes;
        OpenManager();
        CStartupRemovePage& page = m_pStartup->m_pageRemove;
        ASSERT_TRUE((page.GetStyle() & WS_VISIBLE));
        int nRow = -1;
        for (int i = 0; i < page.GetList().GetItemCount(); ++i)
        {
            if (page.GetList().GetItemText(i, 1) == L"TamselRemoved")
                nRow = i;
        }
        ASSERT_GE(nRow, 0);
        page.GetList().SetCheckbox(nRow, 0, 2);
        page.OnRemove();

        ASSERT_EQ(1u, boxes.Count());
        std::wstring strText = boxes.LastText();
        EXPECT_NE(std::wstring::npos, strText.find(L"\"" + strOutside + L"\" is named outside its folder")) << strText.size();
        EXPECT_NE(std::wstring::npos, strText.find(L"\n" + Archive() + L".damaged"));
        EXPECT_EQ(std::wstring::npos, strText.find(L"could not be read"));
        EXPECT_EQ(planted, testsupport::ReadFileBytes(Archive() + L".damaged"));
        EXPECT_FALSE(::PathFileExistsW((Archive() + L".damaged1").c_str()));
        EXPECT_FALSE(::PathFileExistsW((m_folder.Path() + L"x.reg").c_str()));
        EXPECT_FALSE(::PathFileExistsW(L"C:\\x.reg"));
        EXPECT_FALSE(::PathFileExistsW((m_folder.Path() + L"Utilities\\Startup").c_str()));
        // Only the checked value went; nothing of the set-aside archive came in.
        EXPECT_FALSE(RunValue(L"TamselRemoved"));
        EXPECT_TRUE(RunValue(L"TamselKept"));
        EXPECT_FALSE(RunValue(L"TamselInside"));
        EXPECT_FALSE(RunValue(L"TamselOutside"));

        // The new archive holds the removed value's backup and nothing else.
        m_pStartup->OnTabRestore();
        ASSERT_TRUE(tooltest::WaitListed(m_pStartup->m_pageRestore));
        CXListCtrl& restore = m_pStartup->m_pageRestore.GetList();
        ASSERT_EQ(1, restore.GetItemCount());
        EXPECT_EQ(CString(L"TamselRemoved"), restore.GetItemText(0, 1));
        EXPECT_EQ(CString(L"C:\\removed.exe"), restore.GetItemText(0, 2));
        EXPECT_EQ(1u, boxes.Count());
        m_pStartup.reset();
        ::DeleteFileW(Archive().c_str());
    }
    RemoveRunValues({L"TamselRemoved", L"TamselKept"});
}

// 20,000 backups: the window's thread answers all the while the archive is
// read, every backup gets its row, and the page can then be
// left at once.
TEST_F(ToolRestoreListingTest, TwentyThousandBackupsListWhileTheWindowAnswers)
{
    const int nCount = 20000;
    ASSERT_TRUE(WriteManyBackups(L"TamselMany", nCount));
    CStartupRestorePage& page = OpenManager();
    {
        // Only a hang misses the limit; the figures are the benchmark's.
        testsupport::ResponsiveWatch watch(m_wndHost.m_hWnd, 50, 5000);
        m_pStartup->OnTabRestore();
        EXPECT_TRUE(page.IsListing());
        // Restore waits for the whole list.
        EXPECT_FALSE(page.GetDlgItem(1002)->IsWindowEnabled());
        ASSERT_TRUE(tooltest::WaitListed(page));
        watch.Stop();
        EXPECT_EQ(0, watch.Unanswered()) << "longest wait " << watch.LongestWait() << " ms";
        EXPECT_GE(watch.Sends(), 1);
    }
    EXPECT_TRUE(page.GetDlgItem(1002)->IsWindowEnabled());
    ASSERT_EQ(nCount, page.GetList().GetItemCount());
    EXPECT_EQ(CString(L"TamselMany0"), page.GetList().GetItemText(0, 1));
    EXPECT_EQ(CString(L"TamselMany19999"), page.GetList().GetItemText(nCount - 1, 1));
    EXPECT_EQ(nCount - 1, page.GetRowEntry(nCount - 1));
    EXPECT_EQ(nCount, (int)m_pApp->m_arrStartupBackups.GetSize());

    m_pStartup->OnTabRemove();
    EXPECT_FALSE(::PathFileExistsW((m_folder.Path() + L"Utilities\\Startup").c_str()));
    EXPECT_TRUE(::PathFileExistsW(Archive().c_str()));
}

// An archive whose last backup does not read: the rows of the backups before
// it may already be in, but the archive is set aside, so they all go again.
TEST_F(ToolRestoreListingTest, ArchiveFoundUnreadableWhileListedLeavesNoRows)
{
    ASSERT_TRUE(WriteManyBackups(L"TamselBroken", 1500));
    std::string bytes = testsupport::ReadFileBytes(Archive());
    // The last backup's data ends where the central directory starts.
    ASSERT_GT(bytes.size(), 22u);
    size_t nEnd = bytes.size() - 22;
    size_t nCentral = (BYTE)bytes[nEnd + 16] | ((BYTE)bytes[nEnd + 17] << 8) | ((BYTE)bytes[nEnd + 18] << 16) |
                      ((size_t)(BYTE)bytes[nEnd + 19] << 24);
    ASSERT_GT(nCentral, 4u);
    bytes[nCentral - 3] ^= 0x5A;
    testsupport::WriteFileBytes(Archive(), bytes);
    MessageBoxRecorder boxes;
    CStartupRestorePage& page = OpenRestore();
    EXPECT_EQ(0, page.GetList().GetItemCount());
    EXPECT_EQ(0, (int)m_pApp->m_arrStartupBackups.GetSize());
    EXPECT_FALSE(::PathFileExistsW(Archive().c_str()));
    ASSERT_EQ(1u, boxes.Count());
    EXPECT_NE(std::wstring::npos, boxes.LastText().find(L"Startup.dat.damaged"));
}

// Leaving the tab or closing the manager in the middle of a listing ends its
// worker: nothing arrives later, and the work folder goes.
TEST_F(ToolRestoreListingTest, LeavingOrClosingStopsTheListing)
{
    // The rows arrive as posted calls: until this thread serves them, the
    // listing runs, however short the archive.
    ASSERT_TRUE(WriteManyBackups(L"TamselStop", 2000));
    CStartupRestorePage& page = OpenManager();
    m_pStartup->OnTabRestore();
    ASSERT_TRUE(page.IsListing());
    m_pStartup->OnTabRemove();
    EXPECT_FALSE(page.IsListing());
    int nRows = page.GetList().GetItemCount();
    testsupport::PumpUntil([]() { return false; }, 300);
    EXPECT_EQ(nRows, page.GetList().GetItemCount());
    EXPECT_FALSE(::PathFileExistsW((m_folder.Path() + L"Utilities\\Startup").c_str()));

    // Closing with a listing under way: the window goes, and so does the worker.
    m_pStartup->OnTabRestore();
    ASSERT_TRUE(page.IsListing());
    m_pStartup->DestroyWindow();
    EXPECT_FALSE(page.IsListing());
    testsupport::PumpUntil([]() { return false; }, 300);
    EXPECT_FALSE(::PathFileExistsW((m_folder.Path() + L"Utilities\\Startup").c_str()));
}

// A helper object's archive swapped after listing for the backup of another
// object: the row stood for the first one's class, so nothing is written and
// the box says the backup differs from its row.
TEST_F(ToolRestoreListingTest, HelperObjectSwappedForAnotherIsSaidToDiffer)
{
    const std::wstring kBhoKey = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Browser Helper Objects\\";
    const std::wstring listed = L"{E4300000-0000-0000-0000-000000000001}", swapped = L"{E4300000-0000-0000-0000-000000000002}";
    for (const std::wstring& clsid : {listed, swapped})
    {
        tooltest::SetText(HKEY_CLASSES_ROOT, L"CLSID\\" + clsid + L"\\InprocServer32", L"", L"C:\\" + clsid + L".dll");
        ::SHDeleteKeyW(HKEY_LOCAL_MACHINE, (kBhoKey + clsid).c_str());
    }
    auto backup = [&](const std::wstring& clsid) {
        return Utf16(RegHeader() + L"[HKEY_LOCAL_MACHINE\\" + kBhoKey + clsid + L"]\r\n\"NoExplorer\"=\"1\"\r\n\r\n");
    };
    std::wstring strArchive = m_folder.Path() + L"Utilities\\BHO.dat";
    ASSERT_TRUE(WriteArchive(strArchive, {{L"BHO0.reg", backup(listed)}}));
    m_pApp->m_arrBhoBackups.RemoveAll();
    MessageBoxRecorder boxes;
    std::unique_ptr<CBhoManager> pBho(new CBhoManager());
    ASSERT_TRUE(pBho->Create(253, &m_wndHost));
    pBho->ShowWindow(SW_SHOW);
    pBho->OnTabRestore();
    CBhoRestorePage& page = pBho->m_pageRestore;
    ASSERT_TRUE(tooltest::WaitListed(page));
    ASSERT_EQ(1, page.GetList().GetItemCount());
    ASSERT_TRUE(WriteArchive(strArchive, {{L"BHO0.reg", backup(swapped)}}));
    page.GetList().SetCheckbox(0, 0, 2);
    page.OnRestore();
    ASSERT_TRUE(tooltest::WaitListed(page));
    EXPECT_FALSE(tooltest::KeyExists(HKEY_LOCAL_MACHINE, kBhoKey + swapped));
    EXPECT_FALSE(tooltest::KeyExists(HKEY_LOCAL_MACHINE, kBhoKey + listed));
    ASSERT_EQ(1u, boxes.Count());
    EXPECT_NE(std::wstring::npos, boxes.LastText().find(L"no longer the ones their rows showed"));
    EXPECT_NE(std::wstring::npos, boxes.LastText().find(L"\nC:\\" + listed + L".dll"));
    pBho.reset();
    m_pApp->m_arrBhoBackups.RemoveAll();
    for (const std::wstring& clsid : {listed, swapped})
    {
        ::SHDeleteKeyW(HKEY_CLASSES_ROOT, (L"CLSID\\" + clsid).c_str());
        ::SHDeleteKeyW(HKEY_LOCAL_MACHINE, (kBhoKey + clsid).c_str());
    }
}
