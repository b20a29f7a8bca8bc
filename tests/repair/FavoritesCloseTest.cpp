// Closing the main window while the favorites page makes its first backup of
// many favorites: the close stops the worker and waits for it before the
// pages go, and leaves no backup that is not whole.
#include "tests/repair/RepairTestSupport.h"
#include "app/TamselDlg.h"
#include "tests/support/MessageBoxRecorder.h"

#include <shlwapi.h>

using namespace repairtest;

namespace {

class FavoritesCloseTest : public RepairWindowTest
{
protected:
    void SetUp() override
    {
        // The user's own key stays untouched: HKEY_CURRENT_USER is the scratch key.
        ASSERT_EQ(ERROR_SUCCESS, ::RegOverridePredefKey(HKEY_CURRENT_USER, m_key.Key()));
        m_bOverridden = true;
        m_strFavorites = m_folder.Path() + L"Profile Favorites\\";
        ASSERT_TRUE(::CreateDirectoryW(m_strFavorites.c_str(), NULL));
        for (int i = 0; i < 3000; i++)
            ASSERT_TRUE(testsupport::WriteFileBytes(m_strFavorites + std::to_wstring(i) + L".url", "[InternetShortcut]\r\n"));
        HKEY hKey = NULL;
        ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExW(HKEY_CURRENT_USER,
                                                   L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                                                   0, NULL, 0, KEY_ALL_ACCESS, NULL, &hKey, NULL));
        ::RegSetValueExW(hKey, L"Favorites", 0, REG_SZ, (const BYTE*)m_strFavorites.c_str(),
                         (DWORD)(m_strFavorites.size() + 1) * 2);
        ::RegCloseKey(hKey);
        RepairWindowTest::SetUp();
    }
    void TearDown() override
    {
        RepairWindowTest::TearDown();
        if (m_bOverridden)
            ::RegOverridePredefKey(HKEY_CURRENT_USER, NULL);
    }

    testsupport::ScratchRegKey m_key;
    bool m_bOverridden = false;
    std::wstring m_strFavorites;
};

} // namespace

TEST_F(FavoritesCloseTest, ClosingStopsTheFirstBackupAndWaitsForIt)
{
    CFavoritesBackupPage& page = m_pDlg->m_pageFavorites;
    std::wstring strNew = m_folder.Path() + L"Utilities\\Favorites.new\\";
    // The pages come after the first paint; the copy then runs on its own.
    DWORD dwStart = ::GetTickCount();
    while (!(page.m_hWnd != NULL && page.IsBusy() && ::PathIsDirectoryW(strNew.c_str())) &&
           ::GetTickCount() - dwStart < 30000)
        Pump(20);
    ASSERT_TRUE(page.IsBusy()) << "the first backup did not start or ended too soon";

    testsupport::MessageBoxRecorder boxes;
    EXPECT_TRUE(m_pDlg->CloseMainWindow());
    EXPECT_FALSE(page.IsBusy());
    // The copy was stopped, not waited out: no backup; the half copy stays
    // (removing it made the close wait as long as the copy), and the next
    // start clears it as it makes the first backup again.
    EXPECT_TRUE(::PathIsDirectoryW(strNew.c_str()));
    EXPECT_FALSE(::PathFileExistsW((m_folder.Path() + L"Utilities\\Favorites").c_str()));
    // The stopped worker's answer, still queued, does nothing.
    Pump(200);
    EXPECT_EQ(0u, boxes.Count());
}
