// The restore pages of the startup and helper object managers over hostile
// archives: an entry that unpacks too far, a row without a name, and an
// archive of 20,000 backups, listed while the window keeps answering.
#include "app/TamselApp.h"
#include "services/ZipWriter.h"
#include "tools/StartupManager.h"
#include "tests/support/MessageBoxRecorder.h"
#include "tests/support/ResponsiveWatch.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>
#include <shlwapi.h>
#include <memory>
#include <string>
#include <vector>

using testsupport::MessageBoxRecorder;

namespace {

std::string Utf16(const std::wstring& strText)
{
    std::string bytes = "\xFF\xFE";
    for (wchar_t ch : strText)
        bytes += std::string{(char)(ch & 0xFF), (char)(ch >> 8)};
    return bytes;
}

std::string StartupBackup(const std::wstring& strName, const std::wstring& strCommand)
{
    return Utf16(L"Windows Registry Editor Version 5.00\r\n\r\n"
                 L"[HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run]\r\n\"" +
                 strName + L"\"=\"" + strCommand + L"\"\r\n\r\n");
}

bool WriteArchive(const std::wstring& strArchive, const std::vector<std::pair<std::wstring, std::string>>& entries)
{
    ZipHandle hZip = CreateZipArchive(strArchive.c_str(), 0, ZipKindFile);
    if (hZip == NULL)
        return false;
    bool bOk = true;
    for (const auto& entry : entries)
        bOk = bOk && AddToZipArchive(hZip, entry.first.c_str(), entry.second.data(), (DWORD)entry.second.size(),
                                     ZipKindMemory) == ZipOk;
    return CloseZipWriter(hZip) == ZipOk && bOk;
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
        // The two texts as the built-in English file has them.
        std::wstring strLang = m_folder.Path() + L"English.ini";
        ::WritePrivateProfileStringW(L"String", L"M_TOOL_ENTRY_TOO_LARGE",
                                     L"These backups are too large to be backups of this tool and were left out:",
                                     strLang.c_str());
        ::WritePrivateProfileStringW(L"String", L"M_TOOL_RESTORE_REFUSED",
                                     L"These backups hold more than their entries and were not restored:", strLang.c_str());
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
    CStartupRestorePage& OpenRestore()
    {
        m_pStartup.reset(new CStartupManager());
        EXPECT_TRUE(m_pStartup->Create(254, &m_wndHost));
        m_pStartup->ShowWindow(SW_SHOW);
        m_pStartup->OnTabRestore();
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
    ASSERT_TRUE(WriteArchive(Archive(), {{L"Startup0.reg", StartupBackup(L"TamselKeep", L"C:\\keep.exe")},
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

// A refused backup without a value line is named by its file, not by an
// empty line.
TEST_F(ToolRestoreListingTest, RefusedRowWithoutNameIsNamedByItsFile)
{
    std::string notRun = Utf16(L"Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\TamselNotRun]\r\n\r\n");
    ASSERT_TRUE(WriteArchive(Archive(), {{L"Startup0.reg", notRun}}));
    MessageBoxRecorder boxes;
    CStartupRestorePage& page = OpenRestore();
    ASSERT_EQ(1, page.GetList().GetItemCount());
    EXPECT_TRUE(page.GetList().GetItemText(0, 1).IsEmpty());
    page.GetList().SetCheckbox(0, 0, 2);
    page.OnRestore();
    ASSERT_EQ(1u, boxes.Count());
    std::wstring strText = boxes.LastText();
    EXPECT_NE(std::wstring::npos, strText.find(L"hold more than their entries"));
    EXPECT_NE(std::wstring::npos, strText.find(L"\nStartup0.reg")) << strText.size();
    HKEY hKey = NULL;
    EXPECT_NE(ERROR_SUCCESS, ::RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\TamselNotRun", 0, KEY_READ, &hKey));
    if (hKey != NULL)
        ::RegCloseKey(hKey);
}

// 20,000 backups: the window's thread answers all the while the archive is
// unpacked and read, and every backup gets its row.
TEST_F(ToolRestoreListingTest, TwentyThousandBackupsListWhileTheWindowAnswers)
{
    const int nCount = 20000;
    std::vector<std::pair<std::wstring, std::string>> entries;
    entries.reserve(nCount);
    for (int i = 0; i < nCount; ++i)
        entries.push_back({L"Startup" + std::to_wstring(i) + L".reg",
                           StartupBackup(L"TamselMany" + std::to_wstring(i), L"C:\\many.exe")});
    ASSERT_TRUE(WriteArchive(Archive(), entries));
    entries.clear();

    m_pStartup.reset(new CStartupManager());
    ASSERT_TRUE(m_pStartup->Create(254, &m_wndHost));
    m_pStartup->ShowWindow(SW_SHOW);
    DWORD dwStart = ::GetTickCount();
    {
        testsupport::ResponsiveWatch watch(m_wndHost.m_hWnd, 50);
        m_pStartup->OnTabRestore();
        watch.Stop();
        EXPECT_EQ(0, watch.Unanswered()) << "longest wait " << watch.LongestWait() << " ms";
        // The watch ran through the listing, not only around it.
        EXPECT_GE(watch.Sends(), 5) << "listing took " << (::GetTickCount() - dwStart) << " ms";
    }
    CStartupRestorePage& page = m_pStartup->m_pageRestore;
    ASSERT_EQ(nCount, page.GetList().GetItemCount());
    EXPECT_EQ(CString(L"TamselMany19999"), page.GetList().GetItemText(nCount - 1, 1));
    EXPECT_EQ(nCount, (int)m_pApp->m_arrStartupBackups.GetSize());
}
