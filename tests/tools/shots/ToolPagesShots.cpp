#include "tests/tools/ToolPagesFixture.h"
#include "tests/support/shots/ShotsMain.h"

// The startup, browser helper object and uninstall pages with sample rows;
// the screen is saved with ImageMagick's import.
TEST_F(ToolPagesTest, Showcase)
{
    auto shoot = [&](const char* pszName) {
        testsupport::WaitFor([] { return false; }, 700);
        ASSERT_EQ(testsupport::RunHostCommand("PATH=/usr/bin:/bin; import -window root '" + ShotFolder() + "/" + pszName + ".png'"), 0);
    };
    PlantRun(HKEY_CURRENT_USER, L"TamselShowNotepad", L"\"C:\\windows\\notepad.exe\" /a");
    PlantRun(HKEY_CURRENT_USER, L"TamselShowHelper", L"C:\\Program Files\\Helper\\helper.exe -tray");
    PlantRun(HKEY_LOCAL_MACHINE, L"TamselShowUpdater", L"%ProgramFiles%\\Updater\\update.exe", REG_EXPAND_SZ);
    m_wndHost.SetWindowPos(NULL, 0, 0, 560, 460, SWP_NOZORDER | SWP_NOMOVE);
    m_wndHost.ShowWindow(SW_SHOW);
    CStartupRemovePage& page = OpenStartup();
    m_pStartup->MoveWindow(0, 0, 540, 420, TRUE);
    CXListCtrl& list = page.GetList();
    int nRow = FindRow(list, L"TamselShowNotepad");
    list.SetCheckbox(FindRow(list, L"TamselShowHelper"), 0, 2);
    list.SetItemState(nRow, LVIS_SELECTED, LVIS_SELECTED);
    page.ShowDetails();
    shoot("startup_remove");
    list.SetCheckbox(FindRow(list, L"TamselShowUpdater"), 0, 2);
    page.OnRemove();
    m_pStartup->OnTabRestore();
    WaitListed(m_pStartup->m_pageRestore);
    shoot("startup_restore");
    m_pStartup->ShowWindow(SW_HIDE);

    SHDeleteKeyW(HKEY_LOCAL_MACHINE, kBho);
    m_keys.push_back(kBho);
    PlantBho(L"{C0000000-0000-0000-0000-000000000001}", L"C:\\Program Files\\Toolbar\\toolbar.dll");
    PlantBho(L"{C0000000-0000-0000-0000-000000000002}", L"shell32.dll");
    OpenBho();
    m_pBho->MoveWindow(0, 0, 540, 420, TRUE);
    shoot("bho_remove");
    m_pBho->ShowWindow(SW_HIDE);

    std::wstring key = std::wstring(kUninstall) + L"\\TamselShow";
    SetText(HKEY_LOCAL_MACHINE, key, L"DisplayName", L"Tamsel Sample Program");
    SetText(HKEY_LOCAL_MACHINE, key, L"Publisher", L"Tamsel Test");
    SetText(HKEY_LOCAL_MACHINE, key, L"InstallDate", L"20261209");
    m_keys.push_back(key);
    CUninstallRemovePage& uninstall = OpenUninstall();
    uninstall.MoveWindow(0, 0, 540, 420, TRUE);
    shoot("uninstall");
}
