#include "tests/tools/ToolPagesFixture.h"
#include "tools/ToolCommands.h"

TEST_F(ToolPagesTest, StartupListTakesStringValuesInSourceOrder)
{
    PlantRun(HKEY_CURRENT_USER, L"TamselPgA", L"C:\\a.exe");
    PlantRun(HKEY_CURRENT_USER, L"TamselPgB", L"", REG_DWORD);
    PlantRun(HKEY_CURRENT_USER, L"TamselPgC", L"ERR");
    PlantRun(HKEY_CURRENT_USER, L"TamselPgD", L"%windir%\\d.exe", REG_EXPAND_SZ);
    PlantRun(HKEY_LOCAL_MACHINE, L"TamselPgA", L"C:\\machine.exe");
    std::wstring startup = UserStartupFolder();
    ASSERT_FALSE(startup.empty());
    SHCreateDirectoryExW(NULL, startup.c_str(), NULL);
    std::wstring link = startup + L"\\TamselPgLink.LNK";
    ASSERT_TRUE(MakeShortcut(link, L"C:\\windows\\notepad.exe"));
    m_files.push_back(link);
    testsupport::WriteFileBytes(startup + L"\\TamselPgText.lnk.txt", "x");
    m_files.push_back(startup + L"\\TamselPgText.lnk.txt");

    CStartupRemovePage& page = OpenStartup();
    CXListCtrl& list = page.GetList();
    EXPECT_EQ(Rows(list, L"TamselPg"),
              (std::vector<std::wstring>{ L"TamselPgA|C:\\a.exe", L"TamselPgD|%windir%\\d.exe", L"TamselPgA|C:\\machine.exe",
                                          L"TamselPgLink|C:\\windows\\notepad.exe" }));
    ASSERT_EQ(s_app.m_arrStartupItems.GetSize(), list.GetItemCount());
    int nLink = FindRow(list, L"TamselPgLink");
    ASSERT_GE(nLink, 0);
    EXPECT_EQ(s_app.m_arrStartupItems[nLink].m_strKeyPath, CString(link.c_str()));
    // Every row has an image of its own.
    for (int i = 0; i < list.GetItemCount(); ++i)
        EXPECT_EQ(list.GetItemImage(i, 1), i);
    // A program that is not there shows the plain program picture.
    int nMissing = FindRow(list, L"TamselPgA");
    ASSERT_GE(nMissing, 0);
    HIMAGELIST hImages = (HIMAGELIST)::SendMessageW(list.m_hWnd, LVM_GETIMAGELIST, LVSIL_SMALL, 0);
    HICON hRow = ImageList_GetIcon(hImages, list.GetItemImage(nMissing, 1), ILD_NORMAL);
    HICON hProgram = LoadProgramSmallIcon();
    ASSERT_TRUE(hRow != NULL && hProgram != NULL);
    EXPECT_EQ(tooltest::IconPixels(hRow), tooltest::IconPixels(hProgram));
    DestroyIcon(hRow);
    DestroyIcon(hProgram);
}

TEST_F(ToolPagesTest, ValueAndShortcutGiveOneQuestion)
{
    std::wstring startup = UserStartupFolder();
    SHCreateDirectoryExW(NULL, startup.c_str(), NULL);
    for (int nAnswer : { IDNO, IDYES })
    {
        PlantRun(HKEY_CURRENT_USER, L"TamselPgQ", L"C:\\q.exe");
        std::wstring link = startup + L"\\TamselPgQ.lnk";
        ASSERT_TRUE(MakeShortcut(link, L"C:\\windows\\notepad.exe"));
        m_files.push_back(link);
        CStartupRemovePage& page = OpenStartup();
        CXListCtrl& list = page.GetList();
        int nValue = FindRow(list, L"TamselPgQ"), nLink = -1;
        for (int i = 0; i < list.GetItemCount(); ++i)
            if (i != nValue && list.GetItemText(i, 1) == L"TamselPgQ")
                nLink = i;
        ASSERT_GE(nValue, 0);
        ASSERT_GE(nLink, 0);
        list.SetCheckbox(nValue, 0, 2);
        list.SetCheckbox(nLink, 0, 2);
        MessageBoxRecorder boxes;
        boxes.QueueAnswer(nAnswer);
        page.OnRemove();
        EXPECT_EQ(boxes.Count(), 1u);
        EXPECT_FALSE(RunValueExists(HKEY_CURRENT_USER, L"TamselPgQ"));
        EXPECT_EQ(PathFileExistsW(link.c_str()) != FALSE, nAnswer == IDNO);
        EXPECT_EQ(Rows(list, L"TamselPgQ").size(), nAnswer == IDNO ? 1u : 0u);
        DeleteFileW(link.c_str());
    }
    CToolBackupArchive archive(ToolBackupStartup, s_app.m_strAppDir, s_app.m_arrStartupBackups);
    ASSERT_EQ(archive.Load(), CToolBackupArchive::LoadOk);
    EXPECT_EQ(s_app.m_arrStartupBackups.GetSize(), 2);
}

TEST_F(ToolPagesTest, VanishedShortcutTouchesNothing)
{
    std::wstring startup = UserStartupFolder();
    SHCreateDirectoryExW(NULL, startup.c_str(), NULL);
    std::wstring link = startup + L"\\TamselPgGone.lnk";
    ASSERT_TRUE(MakeShortcut(link, L"C:\\windows\\notepad.exe"));
    m_files.push_back(link);
    CStartupRemovePage& page = OpenStartup();
    CXListCtrl& list = page.GetList();
    int nLink = FindRow(list, L"TamselPgGone");
    ASSERT_GE(nLink, 0);
    list.SetCheckbox(nLink, 0, 2);
    DeleteFileW(link.c_str());
    MessageBoxRecorder boxes;
    page.OnRemove();
    EXPECT_EQ(boxes.Count(), 0u);
    EXPECT_FALSE(PathFileExistsW(CToolBackupArchive(ToolBackupStartup, s_app.m_strAppDir, s_app.m_arrStartupBackups)
                                     .GetArchivePath()));
}

TEST_F(ToolPagesTest, LongCommandStartsWhole)
{
    std::wstring marker = m_folder.File(L"marker.txt");
    std::wstring command = L"\"" + MarkerProgram() + L"\" \"" + marker + L"\" ";
    while (command.size() < 300)
        command += L'x';
    PlantRun(HKEY_CURRENT_USER, L"TamselPgLong", command);
    CStartupRemovePage& page = OpenStartup();
    CXListCtrl& list = page.GetList();
    int nRow = FindRow(list, L"TamselPgLong");
    ASSERT_GE(nRow, 0);
    list.SetItemState(nRow, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    page.OnRun();
    EXPECT_EQ(WaitForMarker(marker), command);

    // Over the system's limit: a message and nothing started.
    std::wstring tooLong = L"\"" + MarkerProgram() + L"\" \"" + marker + L"2\" " + std::wstring(33000, L'y');
    PlantRun(HKEY_CURRENT_USER, L"TamselPgLong", tooLong);
    page.FillList();
    nRow = FindRow(list, L"TamselPgLong");
    list.SetItemState(nRow, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    MessageBoxRecorder boxes;
    page.OnRun();
    EXPECT_EQ(boxes.Count(), 1u);
}

TEST_F(ToolPagesTest, DetailsOfQuotedCommandAndMissingFile)
{
    wchar_t szNotepad[MAX_PATH];
    GetWindowsDirectoryW(szNotepad, MAX_PATH);
    std::wstring notepad = std::wstring(szNotepad) + L"\\notepad.exe";
    PlantRun(HKEY_CURRENT_USER, L"TamselPgDet1", L"\"" + notepad + L"\" /switch");
    PlantRun(HKEY_CURRENT_USER, L"TamselPgDet2", L"C:\\nowhere\\missing.exe -x");
    CStartupRemovePage& page = OpenStartup();
    CXListCtrl& list = page.GetList();
    list.SetItemState(FindRow(list, L"TamselPgDet1"), LVIS_SELECTED, LVIS_SELECTED);
    page.ShowDetails();
    EXPECT_EQ(std::wstring(page.GetDetail(0)).find(L"notepad.exe"), 0u);
    list.SetItemState(FindRow(list, L"TamselPgDet1"), 0, LVIS_SELECTED);
    list.SetItemState(FindRow(list, L"TamselPgDet2"), LVIS_SELECTED, LVIS_SELECTED);
    page.ShowDetails();
    for (int i = 0; i < 4; ++i)
        EXPECT_TRUE(page.GetDetail(i).IsEmpty());
}

TEST_F(ToolPagesTest, StartupRemoveAndRestoreThroughThePages)
{
    PlantRun(HKEY_CURRENT_USER, L"TamselPgR1", L"C:\\r1.exe");
    PlantRun(HKEY_CURRENT_USER, L"TamselPgR2", L"C:\\with \\\"quote\\\".exe");
    CStartupRemovePage& page = OpenStartup();
    CXListCtrl& list = page.GetList();
    MessageBoxRecorder boxes;
    // Nothing checked: the user is told so and nothing goes.
    page.OnRemove();
    ASSERT_EQ(boxes.Count(), 1u);
    EXPECT_EQ(boxes.LastText(), std::wstring(s_app.GetLangString(L"M_TOOL_CHECK_ROWS")));
    EXPECT_TRUE(RunValueExists(HKEY_CURRENT_USER, L"TamselPgR1"));
    list.SetCheckbox(FindRow(list, L"TamselPgR1"), 0, 2);
    list.SetCheckbox(FindRow(list, L"TamselPgR2"), 0, 2);
    page.OnRemove();
    EXPECT_EQ(boxes.Count(), 1u);
    EXPECT_TRUE(Rows(list, L"TamselPgR").empty());

    m_pStartup->OnTabRestore();
    CStartupRestorePage& restore = m_pStartup->m_pageRestore;
    EXPECT_TRUE((restore.GetStyle() & WS_VISIBLE));
    ASSERT_TRUE(WaitListed(restore));
    EXPECT_EQ(Rows(restore.GetList(), L"TamselPgR"),
              (std::vector<std::wstring>{ L"TamselPgR1|C:\\r1.exe", L"TamselPgR2|C:\\with \\\"quote\\\".exe" }));
    restore.OnRestore();
    EXPECT_EQ(boxes.Count(), 2u);
    EXPECT_FALSE(RunValueExists(HKEY_CURRENT_USER, L"TamselPgR1"));
    restore.GetList().SetCheckbox(1, 0, 2);
    restore.OnRestore();
    ASSERT_TRUE(WaitListed(restore));
    EXPECT_TRUE(RunValueExists(HKEY_CURRENT_USER, L"TamselPgR2"));
    EXPECT_FALSE(RunValueExists(HKEY_CURRENT_USER, L"TamselPgR1"));
    EXPECT_EQ(Rows(restore.GetList(), L"TamselPgR").size(), 1u);
    // Leaving the tab removes the work folder; the archive stays.
    m_pStartup->OnTabRemove();
    EXPECT_FALSE(PathFileExistsW(s_app.m_strAppDir + L"Utilities\\Startup"));
    EXPECT_TRUE(PathFileExistsW(s_app.m_strAppDir + L"Utilities\\Startup.dat"));
    // Only the two nothing-checked answers.
    EXPECT_EQ(boxes.Count(), 2u);
}

TEST_F(ToolPagesTest, BhoRestoreRowsKeepTheirEntries)
{
    SHDeleteKeyW(HKEY_LOCAL_MACHINE, kBho);
    m_keys.push_back(kBho);
    const wchar_t* clsids[] = { L"{A0000000-0000-0000-0000-000000000001}", L"{A0000000-0000-0000-0000-000000000002}",
                                L"{A0000000-0000-0000-0000-000000000003}" };
    for (int i = 0; i < 3; ++i)
        PlantBho(clsids[i], L"C:\\bho" + std::to_wstring(i) + L".dll");
    CBhoRemovePage& page = OpenBho();
    CXListCtrl& list = page.GetList();
    ASSERT_EQ(list.GetItemCount(), 3);
    for (int i = 0; i < 3; ++i)
        list.SetCheckbox(i, 0, 2);
    page.OnRemove();
    EXPECT_EQ(list.GetItemCount(), 0);

    // The first object's class goes: its backup gets no row, and the first
    // row now stands for the second backup.
    SHDeleteKeyW(HKEY_CLASSES_ROOT, (std::wstring(L"CLSID\\") + clsids[0]).c_str());
    m_pBho->OnTabRestore();
    CBhoRestorePage& restore = m_pBho->m_pageRestore;
    ASSERT_TRUE(WaitListed(restore));
    ASSERT_EQ(restore.GetList().GetItemCount(), 2);
    EXPECT_EQ(restore.GetList().GetItemText(0, 1), CString(L"C:\\bho1.dll"));
    EXPECT_EQ(restore.GetRowEntry(0), 1);
    restore.GetList().SetCheckbox(0, 0, 2);
    restore.OnRestore();
    ASSERT_TRUE(WaitListed(restore));
    HKEY hKey = NULL;
    EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, (std::wstring(kBho) + L"\\" + clsids[1]).c_str(), 0, KEY_READ, &hKey), ERROR_SUCCESS);
    if (hKey)
        RegCloseKey(hKey);
    hKey = NULL;
    EXPECT_NE(RegOpenKeyExW(HKEY_LOCAL_MACHINE, (std::wstring(kBho) + L"\\" + clsids[0]).c_str(), 0, KEY_READ, &hKey), ERROR_SUCCESS);
    EXPECT_EQ(restore.GetList().GetItemCount(), 1);
    EXPECT_EQ(s_app.m_arrBhoBackups.GetSize(), 2);
}

TEST_F(ToolPagesTest, BhoDetailsFromTheSystemFolder)
{
    SHDeleteKeyW(HKEY_LOCAL_MACHINE, kBho);
    m_keys.push_back(kBho);
    PlantBho(L"{B0000000-0000-0000-0000-000000000001}", L"shell32.dll");
    SetText(HKEY_CLASSES_ROOT, L"CLSID\\{B0000000-0000-0000-0000-000000000002}\\InprocServer32", L"", L"%SystemRoot%\\system32\\ole32.dll",
            REG_EXPAND_SZ);
    SetText(HKEY_LOCAL_MACHINE, std::wstring(kBho) + L"\\{B0000000-0000-0000-0000-000000000002}", L"x", L"1");
    m_classKeys.push_back(L"CLSID\\{B0000000-0000-0000-0000-000000000002}");
    CBhoRemovePage& page = OpenBho();
    CXListCtrl& list = page.GetList();
    ASSERT_EQ(list.GetItemCount(), 2);
    list.SetItemState(0, LVIS_SELECTED, LVIS_SELECTED);
    page.ShowDetails();
    EXPECT_EQ(std::wstring(page.GetDetail(0)).find(L"shell32.dll"), 0u) << (LPCWSTR)page.GetDetail(0);
    list.SetItemState(0, 0, LVIS_SELECTED);
    list.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
    page.ShowDetails();
    EXPECT_EQ(std::wstring(page.GetDetail(0)).find(L"ole32.dll"), 0u) << (LPCWSTR)page.GetDetail(0);
}

TEST_F(ToolPagesTest, UninstallListRules)
{
    struct Entry { const wchar_t* key; const wchar_t* name; int nNoRemove; } entries[] = {
        { L"KBTamsel1", L"TamselUn KB", -1 },
        { L"Microsoft Security Patch Tamsel", L"TamselUn Patch", -1 },
        { L"TamselKB", L"TamselUn Later KB", -1 },
        { L"kbTamsel", L"TamselUn lower kb", -1 },
        { L"TamselNoRemove1", L"TamselUn NoRemove1", 1 },
        { L"TamselNoRemove0", L"TamselUn NoRemove0", 0 },
        { L"TamselNoName", NULL, -1 },
        { L"TamselEmptyName", L"", -1 },
    };
    for (const Entry& e : entries)
    {
        std::wstring key = std::wstring(kUninstall) + L"\\" + e.key;
        SetText(HKEY_LOCAL_MACHINE, key, L"Publisher", L"Tamsel Test");
        if (e.name != NULL)
            SetText(HKEY_LOCAL_MACHINE, key, L"DisplayName", e.name);
        if (e.nNoRemove >= 0)
            SetValue(HKEY_LOCAL_MACHINE, key, L"NoRemove", REG_DWORD, Bytes{ (BYTE)e.nNoRemove, 0, 0, 0 });
        m_keys.push_back(key);
    }
    CUninstallRemovePage& page = OpenUninstall();
    auto names = [&] {
        std::vector<std::wstring> result;
        for (int i = 0; i < page.GetList().GetItemCount(); ++i)
            if (page.GetList().GetItemText(i, 2) == L"Tamsel Test")
                result.push_back((LPCWSTR)page.GetList().GetItemText(i, 0));
        std::sort(result.begin(), result.end());
        return result;
    };
    EXPECT_EQ(names(), (std::vector<std::wstring>{ L"", L"TamselUn Later KB", L"TamselUn NoRemove0", L"TamselUn lower kb" }));
    EXPECT_EQ(page.GetImageCount(), page.GetList().GetItemCount());
    page.OnShowUpdates();
    EXPECT_EQ(names(), (std::vector<std::wstring>{ L"", L"TamselUn KB", L"TamselUn Later KB", L"TamselUn NoRemove0", L"TamselUn Patch",
                                                   L"TamselUn lower kb" }));
    EXPECT_EQ(s_app.m_arrUninstallItems.GetSize(), page.GetList().GetItemCount());
}

TEST_F(ToolPagesTest, UninstallStartsTheCommandAfterYes)
{
    std::wstring marker = m_folder.File(L"uninstall.txt");
    std::wstring key = std::wstring(kUninstall) + L"\\TamselUnRun";
    std::wstring command = L"\"" + MarkerProgram() + L"\" \"" + marker + L"\" /remove " + std::wstring(300, L'z');
    SetText(HKEY_LOCAL_MACHINE, key, L"DisplayName", L"TamselUn Runner");
    SetText(HKEY_LOCAL_MACHINE, key, L"UninstallString", command);
    m_keys.push_back(key);
    CUninstallRemovePage& page = OpenUninstall();
    MessageBoxRecorder boxes;
    page.OnRemove();   // nothing selected: no question
    EXPECT_EQ(boxes.Count(), 0u);
    int nRow = FindRow(page.GetList(), L"TamselUn Runner", 0);
    ASSERT_GE(nRow, 0);
    page.GetList().SetItemState(nRow, LVIS_SELECTED, LVIS_SELECTED);
    boxes.QueueAnswer(IDNO);
    page.OnRemove();
    EXPECT_EQ(boxes.Count(), 1u);
    Sleep(500);
    EXPECT_FALSE(PathFileExistsW(marker.c_str()));
    boxes.QueueAnswer(IDYES);
    page.OnRemove();
    EXPECT_NE(boxes.LastText().find(L"TamselUn Runner"), std::wstring::npos);
    EXPECT_EQ(WaitForMarker(marker), command);
}

TEST_F(ToolPagesTest, RefillsKeepGdiObjectsFlat)
{
    PlantRun(HKEY_CURRENT_USER, L"TamselPgGdi", L"C:\\windows\\notepad.exe");
    CStartupRemovePage& page = OpenStartup();
    CUninstallRemovePage& uninstall = OpenUninstall();
    page.FillList();
    uninstall.FillList();
    DWORD dwBefore = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    DWORD dwUserBefore = GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS);
    for (int i = 0; i < 50; ++i)
    {
        page.FillList();
        uninstall.FillList();
    }
    EXPECT_LE(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), dwBefore + 2);
    EXPECT_LE(GetGuiResources(GetCurrentProcess(), GR_USEROBJECTS), dwUserBefore + 2);
}

TEST_F(ToolPagesTest, ContainerPageTable)
{
    OpenStartup();
    CStartupManager& manager = *m_pStartup;
    EXPECT_EQ(manager.GetCurPage(), 0);
    EXPECT_TRUE((manager.m_pageRemove.GetStyle() & WS_VISIBLE));
    // The help button and the page-area marker are never shown.
    EXPECT_FALSE(manager.GetDlgItem(1004)->GetStyle() & WS_VISIBLE);
    EXPECT_FALSE(manager.GetDlgItem(130)->GetStyle() & WS_VISIBLE);
    EXPECT_FALSE(manager.AddPage(&manager.m_pageRemove, 269, L"Again"));
    EXPECT_EQ(manager.GetPageCount(), 2);
    EXPECT_TRUE(manager.ShowPage(0));
    EXPECT_FALSE(manager.ShowPage(5));
    EXPECT_EQ(manager.GetCurPage(), 0);
    EXPECT_FALSE((manager.m_pageRemove.GetStyle() & WS_VISIBLE));
    manager.OnTabRestore();
    EXPECT_EQ(manager.GetCurPage(), 1);
    EXPECT_TRUE((manager.m_pageRestore.GetStyle() & WS_VISIBLE));
    // Every visit starts on the list page.
    manager.ShowWindow(SW_HIDE);
    manager.ShowWindow(SW_SHOW);
    EXPECT_EQ(manager.GetCurPage(), 0);
    CRect rcPage;
    manager.m_pageRemove.GetWindowRect(&rcPage);
    manager.ScreenToClient(&rcPage);
    EXPECT_EQ(rcPage, manager.GetPageRect());
}

// The rows equal those a script derives from "reg query ... /s", run for the
// program's own view and then for the other one where that keeps an
// Uninstall key of its own.
TEST_F(ToolPagesTest, UninstallRowsMatchRegQuery)
{
    if (!HostHas("python3"))
        TOOL_PEER_MISSING("python3");
    REGSAM samOther = OtherView();
    ASSERT_NE(samOther, 0u);
    struct Entry { const wchar_t* key; const wchar_t* name; REGSAM samView; } entries[] = {
        { L"KBTamselQ", L"TamselQ update", 0 }, { L"TamselQ1", L"TamselQ one", 0 }, { L"TamselQ2", L"TamselQ two", 0 },
        { L"TamselQ3", NULL, 0 }, { L"KBTamselQ4", L"TamselQ other update", samOther },
        { L"TamselQ5", L"TamselQ other five", samOther },
    };
    for (const Entry& entry : entries)
    {
        std::wstring key = std::wstring(kUninstall) + L"\\" + entry.key;
        SetText(HKEY_LOCAL_MACHINE, key, L"Publisher", L"Q", REG_SZ, entry.samView);
        if (entry.name != NULL)
            SetText(HKEY_LOCAL_MACHINE, key, L"DisplayName", entry.name, REG_SZ, entry.samView);
        ForgetKeyIn(HKEY_LOCAL_MACHINE, key, entry.samView);
    }
    SetValue(HKEY_LOCAL_MACHINE, std::wstring(kUninstall) + L"\\TamselQ2", L"NoRemove", REG_DWORD, Bytes{ 0, 0, 0, 0 });
    CKeyReader own, other;
    own.Open(HKEY_LOCAL_MACHINE, kUninstall);
    other.OpenOtherView(HKEY_LOCAL_MACHINE, kUninstall, own);
    std::vector<REGSAM> views{ OwnRegistryView() };
    if (other.IsOpen())
        views.push_back(samOther);
    HostScratch host;
    std::string queries;
    for (size_t i = 0; i < views.size(); ++i)
    {
        std::string file = "query" + std::to_string(i) + ".txt";
        std::wstring query = L"cmd.exe /c reg.exe query \"HKLM\\" + std::wstring(kUninstall) + L"\" /s " +
                             (views[i] == KEY_WOW64_64KEY ? L"/reg:64" : L"/reg:32") + L" > \"" + host.Win(file) + L"\"";
        if (RunWindowsProgram(query) == -1)
            TOOL_PEER_MISSING("Wine's reg.exe");
        queries += " '" + host.Unix(file) + "'";
    }
    CUninstallRemovePage& page = OpenUninstall();
    for (bool bAll : { false, true })
    {
        std::string script = std::string(TAMSEL_TEST_DATA_A) + "/uninstall_rows.py";
        ASSERT_EQ(testsupport::RunHostCommand("PATH=/usr/bin:/bin; python3 '" + script + "'" + (bAll ? " --all" : "") + " '" +
                                              host.Unix("rows.txt") + "'" + queries),
                  0);
        std::string expected = testsupport::ReadFileBytes(host.Win("rows.txt"));
        std::string actual;
        for (int i = 0; i < page.GetList().GetItemCount(); ++i)
        {
            CString strName = page.GetList().GetItemText(i, 0);
            char szUtf8[1024] = {};
            WideCharToMultiByte(CP_UTF8, 0, strName, -1, szUtf8, sizeof(szUtf8), NULL, NULL);
            actual += std::string(szUtf8) + "\n";
        }
        EXPECT_EQ(actual, expected);
        EXPECT_NE(actual.find("TamselQ two"), std::string::npos);
        EXPECT_EQ(actual.find("TamselQ update") != std::string::npos, bAll);
        // On 64-bit Windows the other view keeps programs of its own.
        EXPECT_NE(actual.find("TamselQ other five"), std::string::npos);
        EXPECT_EQ(actual.find("TamselQ other update") != std::string::npos, bAll);
        page.OnShowUpdates();
    }
}

// As the system's own list of programs: the 32-bit and the 64-bit ones, and
// each uninstalled with the command its own view holds.
TEST_F(ToolPagesTest, UninstallRowsOfBothViewsStartTheirOwnCommands)
{
    REGSAM samOther = OtherView();
    ASSERT_NE(samOther, 0u);
    std::wstring key = std::wstring(kUninstall) + L"\\TamselUnView";
    std::wstring commands[2];
    const REGSAM views[2] = { 0, samOther };
    for (int i = 0; i < 2; ++i)
    {
        commands[i] = L"\"" + MarkerProgram() + L"\" \"" + m_folder.File(i == 0 ? L"own.txt" : L"other.txt") + L"\" /x";
        SetText(HKEY_LOCAL_MACHINE, key, L"DisplayName", i == 0 ? L"TamselUn View own" : L"TamselUn View other", REG_SZ,
                views[i]);
        SetText(HKEY_LOCAL_MACHINE, key, L"UninstallString", commands[i], REG_SZ, views[i]);
        ForgetKeyIn(HKEY_LOCAL_MACHINE, key, views[i]);
    }
    CUninstallRemovePage& page = OpenUninstall();
    int nOwn = FindRow(page.GetList(), L"TamselUn View own", 0);
    int nOther = FindRow(page.GetList(), L"TamselUn View other", 0);
    ASSERT_GE(nOwn, 0);
    ASSERT_GT(nOther, nOwn);
    EXPECT_EQ(s_app.m_arrUninstallItems[nOwn].m_samView, 0u);
    EXPECT_EQ(s_app.m_arrUninstallItems[nOther].m_samView, samOther);
    page.GetList().SetItemState(nOther, LVIS_SELECTED, LVIS_SELECTED);
    MessageBoxRecorder boxes;
    boxes.QueueAnswer(IDYES);
    page.OnRemove();
    EXPECT_EQ(WaitForMarker(m_folder.File(L"other.txt")), commands[1]);
    EXPECT_FALSE(PathFileExistsW(m_folder.File(L"own.txt").c_str()));
}

// Windows starts the Run values of both views at logon: the list shows
// each, and a removal and its restore act in the row's own view only. The
// user's Run key is one key for both views and is listed once.
TEST_F(ToolPagesTest, StartupRowsOfBothViewsStayInTheirViews)
{
    REGSAM samOther = OtherView();
    ASSERT_NE(samOther, 0u);
    PlantRun(HKEY_CURRENT_USER, L"TamselPgShared", L"C:\\shared.exe");
    PlantRunIn(HKEY_LOCAL_MACHINE, L"TamselPgView", L"C:\\own.exe", 0);
    PlantRunIn(HKEY_LOCAL_MACHINE, L"TamselPgView", L"C:\\other.exe", samOther);
    CStartupRemovePage& page = OpenStartup();
    CXListCtrl& list = page.GetList();
    EXPECT_EQ(Rows(list, L"TamselPg"), (std::vector<std::wstring>{ L"TamselPgShared|C:\\shared.exe", L"TamselPgView|C:\\own.exe",
                                                                   L"TamselPgView|C:\\other.exe" }));
    int nOther = FindRow(list, L"C:\\other.exe", 2);
    ASSERT_GE(nOther, 0);
    EXPECT_EQ(s_app.m_arrStartupItems[nOther].m_samView, samOther);
    EXPECT_EQ(s_app.m_arrStartupItems[FindRow(list, L"C:\\own.exe", 2)].m_samView, 0u);

    list.SetCheckbox(nOther, 0, 2);
    MessageBoxRecorder boxes;
    page.OnRemove();
    EXPECT_EQ(boxes.Count(), 0u) << boxes.LastText();
    EXPECT_EQ(GetText(HKEY_LOCAL_MACHINE, kRun, L"TamselPgView", samOther), L"(none)");
    EXPECT_EQ(GetText(HKEY_LOCAL_MACHINE, kRun, L"TamselPgView"), L"C:\\own.exe");
    EXPECT_EQ(Rows(list, L"TamselPgView"), (std::vector<std::wstring>{ L"TamselPgView|C:\\own.exe" }));

    m_pStartup->OnTabRestore();
    CStartupRestorePage& restore = m_pStartup->m_pageRestore;
    ASSERT_TRUE(WaitListed(restore));
    ASSERT_EQ(Rows(restore.GetList(), L"TamselPg"), (std::vector<std::wstring>{ L"TamselPgView|C:\\other.exe" }));
    restore.GetList().SetCheckbox(FindRow(restore.GetList(), L"TamselPgView"), 0, 2);
    restore.OnRestore();
    ASSERT_TRUE(WaitListed(restore));
    EXPECT_EQ(boxes.Count(), 0u) << boxes.LastText();
    EXPECT_EQ(GetText(HKEY_LOCAL_MACHINE, kRun, L"TamselPgView", samOther), L"C:\\other.exe");
    EXPECT_EQ(GetText(HKEY_LOCAL_MACHINE, kRun, L"TamselPgView"), L"C:\\own.exe");
    EXPECT_TRUE(Rows(restore.GetList(), L"TamselPg").empty());
}

// The 64-bit and the 32-bit Internet Explorer each load the helper objects
// of their own view, created from their own view's classes.
TEST_F(ToolPagesTest, BhoRowsOfBothViewsStayInTheirViews)
{
    REGSAM samOther = OtherView();
    ASSERT_NE(samOther, 0u);
    SHDeleteKeyW(HKEY_LOCAL_MACHINE, kBho);
    m_keys.push_back(kBho);
    DeleteRegTree(HKEY_LOCAL_MACHINE, kBho, samOther, NULL);
    ForgetKeyIn(HKEY_LOCAL_MACHINE, kBho, samOther);
    const std::wstring own = L"{C0000000-0000-0000-0000-000000000001}", other = L"{C0000000-0000-0000-0000-000000000002}",
                       stray = L"{C0000000-0000-0000-0000-000000000003}";
    PlantBhoIn(own, L"C:\\own.dll", 0);
    PlantBhoIn(other, L"C:\\other.dll", samOther);
    // Listed in the other view, registered as a class in the own one only:
    // no Internet Explorer creates it.
    SetText(HKEY_LOCAL_MACHINE, std::wstring(kBho) + L"\\" + stray, L"NoExplorer", L"1", REG_SZ, samOther);
    SetText(HKEY_CLASSES_ROOT, L"CLSID\\" + stray + L"\\InprocServer32", L"", L"C:\\stray.dll");
    ForgetKeyIn(HKEY_CLASSES_ROOT, L"CLSID\\" + stray, 0);
    CBhoRemovePage& page = OpenBho();
    CXListCtrl& list = page.GetList();
    ASSERT_EQ(Rows(list, L"C:\\"), (std::vector<std::wstring>{ L"C:\\own.dll|", L"C:\\other.dll|" }));
    EXPECT_EQ(s_app.m_arrBhoItems[1].m_samView, samOther);

    list.SetCheckbox(1, 0, 2);
    page.OnRemove();
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, std::wstring(kBho) + L"\\" + other, samOther));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, std::wstring(kBho) + L"\\" + own));
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, std::wstring(kBho) + L"\\" + stray, samOther));

    m_pBho->OnTabRestore();
    CBhoRestorePage& restore = m_pBho->m_pageRestore;
    ASSERT_TRUE(WaitListed(restore));
    ASSERT_EQ(Rows(restore.GetList(), L"C:\\"), (std::vector<std::wstring>{ L"C:\\other.dll|" }));
    restore.GetList().SetCheckbox(0, 0, 2);
    restore.OnRestore();
    ASSERT_TRUE(WaitListed(restore));
    EXPECT_EQ(GetText(HKEY_LOCAL_MACHINE, std::wstring(kBho) + L"\\" + other, L"NoExplorer", samOther), L"1");
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, std::wstring(kBho) + L"\\" + other));
    EXPECT_EQ(restore.GetList().GetItemCount(), 0);
}

// The page buttons draw their text centred over a picture that carries a
// sign at its left: a few columns of the face part the sign from the text
// (Refresh is the longest).
TEST_F(ToolPagesTest, ButtonSignsStayClearOfTheirTexts)
{
    m_wndHost.ShowWindow(SW_SHOW);
    CStartupRemovePage& startup = OpenStartup();
    CUninstallRemovePage& uninstall = OpenUninstall();
    for (CWnd* pButton : { startup.GetDlgItem(1001), uninstall.GetDlgItem(1003) })
    {
        ASSERT_TRUE(pButton != NULL);
        pButton->GetParent()->ShowWindow(SW_SHOW);
        pButton->RedrawWindow(NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        CString strText;
        pButton->GetWindowText(strText);
        CRect rc;
        pButton->GetClientRect(&rc);
        HDC hDC = ::GetDC(pButton->m_hWnd);
        int nSignRight = -1, nTextLeft = -1;
        // Inside the rounded border: green is the sign, dark ink the text.
        for (int x = 3; x < rc.Width() - 3; ++x)
            for (int y = 3; y < rc.Height() - 3; ++y)
            {
                COLORREF clr = ::GetPixel(hDC, x, y);
                int r = GetRValue(clr), g = GetGValue(clr), b = GetBValue(clr);
                if (g > r + 40 && g > b + 20)
                    nSignRight = x;
                else if (r + g + b < 450 && nTextLeft < 0)
                    nTextLeft = x;
            }
        ::ReleaseDC(pButton->m_hWnd, hDC);
        SCOPED_TRACE((LPCWSTR)strText);
        ASSERT_GE(nSignRight, 0);
        ASSERT_GT(nTextLeft, 0);
        EXPECT_GE(nTextLeft - nSignRight, 5) << "sign to column " << nSignRight << ", text from " << nTextLeft;
    }
}
