#pragma once
// What the backup page tests share: the application object pointed at a
// scratch program folder with the built-in English texts, the program's own
// resources, a host window for the pages, and archives in the layout that a
// repair's automatic backup writes.
#include "app/TamselApp.h"
#include "tests/support/HostScratch.h"
#include "tests/support/MessageBoxRecorder.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <string>
#include <utility>
#include <vector>

namespace backuptest {

// The test executable's application object (made on first use when no other
// test file made one).
CTamselApp& App();

// A shortcut entry of an automatic backup: its bytes, the name it has in the
// archive and the path where it stood.
struct ShortcutEntry
{
    std::wstring strName;
    std::string bytes;
    std::wstring strPath;
};

// Writes "AutoBackup<stamp>.zip" into strFolder as a repair writes it: the
// exported keys (full key texts) as "AutoBackup<stamp>.reg", the shortcut
// files, then "ShortCuts.txt". FALSE on any failure.
bool WriteAutoBackupArchive(const std::wstring& strArchive, const std::wstring& strStamp,
                            const std::vector<std::wstring>& keys, const std::vector<ShortcutEntry>& shortcuts);

// The .reg text of a key as CRegFile exports it (header included).
std::string ExportKeyText(const std::wstring& strKeyPath);

// Sets the stored CRC of the archive's item (central and local header) to a
// wrong value.
bool BreakItemCrc(const std::wstring& strArchive, const std::string& strItemName);

// The names in a folder (which ends in '\'), sorted: the archives a test
// expects and nothing left behind.
std::vector<std::wstring> FolderEntries(const std::wstring& strFolder);

// Whether a peer tool exists on the host; fails the test under TAMSEL_REQUIRE_PEERS=1.
bool RequirePeer(const char* pszTool);

// A Linux-side scratch folder, seen as Z:\tmp\... by the program.
class HostScratch : public testsupport::HostScratch
{
public:
    HostScratch() : testsupport::HostScratch("backups") {}
};

// A scratch folder inside the user's Start menu programs, which the
// shortcut scan walks, so a restore may put shortcuts there; removed with
// what it holds. Path() ends in '\'.
class ShortcutScanFolder
{
public:
    ShortcutScanFolder();
    ~ShortcutScanFolder();
    ShortcutScanFolder(const ShortcutScanFolder&) = delete;
    ShortcutScanFolder& operator=(const ShortcutScanFolder&) = delete;
    const std::wstring& Path() const { return m_strPath; }
private:
    std::wstring m_strPath;
};

using testsupport::RunWindowsProgram;

std::wstring Widen(const std::string& str);
std::string Narrow(const std::wstring& str);

} // namespace backuptest

// A program folder of its own, the English texts, a host window and a
// recorder that answers every message box.
class BackupPageTest : public ::testing::Test
{
protected:
    void SetUp() override;
    void TearDown() override;

    std::wstring AppDir() const { return m_folder.Path(); }
    // Creates a page of the program as a child of the host window and shows it.
    template <class TPage> void CreatePage(TPage& page)
    {
        ASSERT_TRUE(page.Create(page.GetTemplateID(), CWnd::FromHandle(m_hWndHost)));
        page.ShowWindow(SW_SHOW);
    }
    void Click(CWnd& page, UINT nID);
    // Selects list row nRow (-1: none).
    static void SelectRow(CListCtrl& list, int nRow);

    testsupport::ScratchFolder m_folder;
    testsupport::MessageBoxRecorder m_boxes;
    CTamselApp& m_app = backuptest::App();
    HWND m_hWndHost = NULL;
};
