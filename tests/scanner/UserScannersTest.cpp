#include "tests/scanner/ScanTestSupport.h"
#include "tests/support/TestSupport.h"
#include "scanner/ScanThread.h"
#include <objbase.h>
#include <shlobj.h>
#include <shlwapi.h>
#include <algorithm>
#include <string>

using namespace scantest;

namespace {
std::wstring Tag(const wchar_t* pszName)
{
    return std::wstring(pszName) + NewGuid().substr(1, 8);
}

std::wstring WindowsFolder()
{
    wchar_t sz[MAX_PATH];
    ::GetWindowsDirectoryW(sz, MAX_PATH);
    return sz;
}

const wchar_t SHELL_FOLDERS[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// Points one Shell Folders value elsewhere for the test's time.
class ShellFolderOverride
{
public:
    ShellFolderOverride(HKEY hRoot, const wchar_t* pszName, const std::wstring& strFolder)
        : m_hRoot(hRoot), m_strName(pszName)
    {
        HKEY hKey = NULL;
        if (::RegCreateKeyExW(hRoot, SHELL_FOLDERS, 0, NULL, 0, KEY_ALL_ACCESS, NULL, &hKey, NULL) != ERROR_SUCCESS)
            return;
        wchar_t szOld[1024] = {};
        DWORD nBytes = sizeof(szOld) - sizeof(wchar_t);
        m_bHadValue = ::RegQueryValueExW(hKey, pszName, NULL, &m_dwType, (BYTE*)szOld, &nBytes) == ERROR_SUCCESS;
        m_strOld = szOld;
        ::RegSetValueExW(hKey, pszName, 0, REG_SZ, (const BYTE*)strFolder.c_str(),
                         (DWORD)((strFolder.size() + 1) * sizeof(wchar_t)));
        ::RegCloseKey(hKey);
    }
    ~ShellFolderOverride()
    {
        HKEY hKey = NULL;
        if (::RegOpenKeyExW(m_hRoot, SHELL_FOLDERS, 0, KEY_ALL_ACCESS, &hKey) != ERROR_SUCCESS)
            return;
        if (m_bHadValue)
            ::RegSetValueExW(hKey, m_strName.c_str(), 0, m_dwType, (const BYTE*)m_strOld.c_str(),
                             (DWORD)((m_strOld.size() + 1) * sizeof(wchar_t)));
        else
            ::RegDeleteValueW(hKey, m_strName.c_str());
        ::RegCloseKey(hKey);
    }

private:
    HKEY m_hRoot;
    std::wstring m_strName, m_strOld;
    DWORD m_dwType = REG_SZ;
    bool m_bHadValue = false;
};

// HKEY_CURRENT_USER of this process pointed at an empty scratch key. Under
// Wine every shortcut saved through the shell sends a change notification,
// and the prefix's explorer.exe answers it a few hundred milliseconds later
// by writing the real Desktop path into the user's Shell Folders key: an
// override made in the real key can be undone under a running scan. Another
// process's writes do not reach the scratch key.
class UserHiveRedirect
{
public:
    UserHiveRedirect() : m_strPath(L"Software\\TamselTest\\UserHive" + NewGuid())
    {
        if (::RegCreateKeyExW(HKEY_CURRENT_USER, m_strPath.c_str(), 0, NULL, 0, KEY_ALL_ACCESS, NULL, &m_hKey, NULL) ==
            ERROR_SUCCESS)
            m_bRedirected = ::RegOverridePredefKey(HKEY_CURRENT_USER, m_hKey) == ERROR_SUCCESS;
    }
    ~UserHiveRedirect()
    {
        if (m_bRedirected)
            ::RegOverridePredefKey(HKEY_CURRENT_USER, NULL);
        if (m_hKey != NULL)
            ::RegCloseKey(m_hKey);
        ::SHDeleteKeyW(HKEY_CURRENT_USER, m_strPath.c_str());
    }
    UserHiveRedirect(const UserHiveRedirect&) = delete;
    UserHiveRedirect& operator=(const UserHiveRedirect&) = delete;
    bool IsRedirected() const { return m_bRedirected; }

private:
    std::wstring m_strPath;
    HKEY m_hKey = NULL;
    bool m_bRedirected = false;
};

// The shortcut scan's folders with a desktop alone: every other folder unset,
// which skips only those. The user hive is redirected first.
struct DesktopOnly
{
    explicit DesktopOnly(const std::wstring& strDesk) : desktop(HKEY_CURRENT_USER, L"Desktop", strDesk) {}
    UserHiveRedirect user;
    ShellFolderOverride desktop;
    ShellFolderOverride programs{HKEY_CURRENT_USER, L"Programs", L""};
    ShellFolderOverride recent{HKEY_CURRENT_USER, L"Recent", L""};
    ShellFolderOverride commonDesktop{HKEY_LOCAL_MACHINE, L"Common Desktop", L""};
    ShellFolderOverride commonPrograms{HKEY_LOCAL_MACHINE, L"Common Programs", L""};
};

bool MakeShortcut(const std::wstring& strFile, const std::wstring& strTarget)
{
    HRESULT hrCom = ::CoInitializeEx(NULL, COINIT_APARTMENTTHREADED);
    bool bDone = false;
    IShellLinkW* pLink = NULL;
    if (SUCCEEDED(::CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkW, (void**)&pLink)))
    {
        pLink->SetPath(strTarget.c_str());
        IPersistFile* pFile = NULL;
        if (SUCCEEDED(pLink->QueryInterface(IID_IPersistFile, (void**)&pFile)))
        {
            bDone = SUCCEEDED(pFile->Save(strFile.c_str(), TRUE));
            pFile->Release();
        }
        pLink->Release();
    }
    if (SUCCEEDED(hrCom))
        ::CoUninitialize();
    return bDone;
}

std::wstring ReadShellFolder(HKEY hRoot, const wchar_t* pszName)
{
    wchar_t szFolder[1024] = {};
    DWORD nBytes = sizeof(szFolder) - sizeof(wchar_t);
    ::RegGetValueW(hRoot, SHELL_FOLDERS, pszName, RRF_RT_REG_SZ, NULL, szFolder, &nBytes);
    return szFolder;
}
}  // namespace

// What a shortcut walk saw, for the message of a failed check.
static std::wstring DescribeWalk(const std::wstring& strDesk, const std::vector<std::wstring>& shown)
{
    std::wstring strText = L"Desktop value now: " + ReadShellFolder(HKEY_CURRENT_USER, L"Desktop") + L"\nshown:";
    for (const std::wstring& strItem : shown)
        strText += L"\n  " + strItem;
    strText += L"\nfolder holds:";
    WIN32_FIND_DATAW data;
    HANDLE hFind = ::FindFirstFileW((strDesk + L"\\*").c_str(), &data);
    if (hFind == INVALID_HANDLE_VALUE)
        return strText + L" (cannot be listed)";
    do
        strText += std::wstring(L"\n  ") + data.cFileName;
    while (::FindNextFileW(hFind, &data));
    ::FindClose(hFind);
    return strText;
}

TEST(ShortcutScanner, ShortcutsWhoseTargetIsGone)
{
    testsupport::ScratchFolder folder;
    std::wstring strDesk = folder.Path() + L"Desk";
    ASSERT_TRUE(::CreateDirectoryW(strDesk.c_str(), NULL));
    ASSERT_TRUE(::CreateDirectoryW((strDesk + L"\\Sub").c_str(), NULL));
    ASSERT_TRUE(::CreateDirectoryW((strDesk + L"\\Sub\\Deeper").c_str(), NULL));
    wchar_t szSystem[MAX_PATH];
    ::GetSystemDirectoryW(szSystem, MAX_PATH);
    std::wstring strNotepad = std::wstring(szSystem) + L"\\notepad.exe";
    ASSERT_TRUE(MakeShortcut(strDesk + L"\\my.app.v2.lnk", L"C:\\tamsel\\gone.exe"));
    ASSERT_TRUE(MakeShortcut(strDesk + L"\\CAPITALS.LNK", L"C:\\tamsel\\gone2.exe"));
    ASSERT_TRUE(MakeShortcut(strDesk + L"\\present.lnk", strNotepad));
    ASSERT_TRUE(MakeShortcut(strDesk + L"\\folder.lnk", szSystem));
    ASSERT_TRUE(MakeShortcut(strDesk + L"\\Sub\\Deeper\\deep.lnk", L"C:\\tamsel\\gone3.exe"));
    DesktopOnly folders(strDesk);
    ASSERT_TRUE(folders.user.IsRedirected());
    HeadlessScan run;
    run.Only({8});
    std::vector<std::wstring> shown;
    run.scan.m_fnItemShown = [&](const CString& strItem) { shown.push_back((LPCWSTR)strItem); };
    run.Run();
    SCOPED_TRACE(testing::PrintToString(DescribeWalk(strDesk, shown)));
    EXPECT_EQ(run.RowsWith(L"my.app.v2.lnk").size(), 1u);
    EXPECT_EQ(run.RowsWith(L"CAPITALS.LNK").size(), 1u);
    EXPECT_EQ(run.RowsWith(L"Deeper\\deep.lnk").size(), 1u);
    EXPECT_EQ(run.RowsWith(L"present.lnk").size(), 0u);
    EXPECT_EQ(run.RowsWith(L"folder.lnk").size(), 0u);
    ASSERT_EQ(run.scan.ProblemList(8).GetSize(), 3);
    // A file problem: the path is the key, with no hive in front.
    EXPECT_STREQ(run.scan.ProblemList(8)[0].m_strKeyPath, run.scan.ProblemList(8)[0].m_strKey);
}

// Under Wine a folder can be a link to the host's root: the walk does not
// enter it and the scan still ends.
TEST(ShortcutScanner, ALinkToTheHostRootIsNotEntered)
{
    // Suites side by side in prefixes of their own repeat process ids: the
    // salt keeps one run's folder from another's cleanup.
    const std::string strBase = "/tmp/tamsel-scan-" + std::to_string(testsupport::ProcessSalt()) + "-" +
                                std::to_string(::GetCurrentProcessId());
    std::string strUnix = strBase + "/desk";
    if (testsupport::RunHostCommand("rm -rf '" + strUnix + "' && mkdir -p '" + strUnix + "/Sub' && ln -s / '" + strUnix +
                                    "/root'") != 0)
        TAMSEL_PEER_MISSING("no host shell");
    std::wstring strDesk = testsupport::HostPath(strUnix);
    ASSERT_FALSE(strDesk.empty());
    ASSERT_TRUE(MakeShortcut(strDesk + L"\\Sub\\gone.lnk", L"C:\\tamsel\\gone.exe"));
    {
        UserHiveRedirect user;
        ASSERT_TRUE(user.IsRedirected());
        ShellFolderOverride desktop(HKEY_CURRENT_USER, L"Desktop", strDesk);
        HeadlessScan run;
        run.Only({8, 12});
        run.scan.m_ignoreList.Load(run.arrIgnore);
        std::vector<std::wstring> shown;
        run.scan.m_fnItemShown = [&](const CString& strItem) { shown.push_back((LPCWSTR)strItem); };
        HANDLE hThread = AfxBeginWorker(ScanThreadProc, &run.scan, 8 * 1024 * 1024, STACK_SIZE_PARAM_IS_A_RESERVATION);
        ASSERT_NE(hThread, nullptr);
        if (::WaitForSingleObject(hThread, 60000) != WAIT_OBJECT_0)
        {
            run.scan.Stop();
            ::WaitForSingleObject(hThread, 30000);
            ADD_FAILURE() << "the walk went on for a minute";
        }
        ::CloseHandle(hThread);
        run.items = Deliver(run.scan.m_feed, run.sink);
        EXPECT_TRUE(run.scan.m_bCompleted);
        // The walk went into the real subfolder and not into the link.
        EXPECT_EQ(std::count_if(shown.begin(), shown.end(),
                                [](const std::wstring& str) { return str.find(L"Sub\\gone.lnk") != std::wstring::npos; }),
                  1);
        EXPECT_EQ(std::count_if(shown.begin(), shown.end(),
                                [](const std::wstring& str) { return str.find(L"\\root\\") != std::wstring::npos; }),
                  0);
        EXPECT_EQ(run.RowsWith(L"\\root\\").size(), 0u);
    }
    testsupport::RunHostCommand("rm -rf '" + strBase + "'");
}

TEST(SoundScanner, SchemeSoundsThatAreGone)
{
    std::wstring strMedia = WindowsFolder() + L"\\Media";
    ::CreateDirectoryW(strMedia.c_str(), NULL);
    std::wstring strSound = Tag(L"tamsel") + L".wav";
    ASSERT_TRUE(testsupport::WriteFileBytes(strMedia + L"\\" + strSound, "RIFF"));
    ClassesKeys user(HKEY_CURRENT_USER);
    std::wstring strApp = L"AppEvents\\Schemes\\Apps\\" + Tag(L"TamselApp");
    struct Event
    {
        const wchar_t* pszEvent;
        const wchar_t* pszScheme;
        std::wstring strData;
        DWORD dwType;
        size_t nRows;
    };
    std::vector<Event> events = {
        {L"BareInMedia", L".Current", strSound, REG_SZ, 0},
        {L"BareMissing", L".Current", L"tamsel_gone.wav", REG_SZ, 1},
        {L"Expanded", L".Current", L"%SystemRoot%\\Media\\" + strSound, REG_EXPAND_SZ, 0},
        {L"Quoted", L".Default", L"\"" + strMedia + L"\\" + strSound + L"\"", REG_SZ, 0},
        {L"FullMissing", L".Default", L"C:\\tamsel\\gone.wav", REG_SZ, 1},
        {L"NamedScheme", L"MyTheme", L"C:\\tamsel\\gone.wav", REG_SZ, 0},
        {L"Empty", L".Current", L"", REG_SZ, 0},
        {L"Binary", L".Current", L"C:\\tamsel\\gone.wav", REG_BINARY, 0},
    };
    for (const Event& event : events)
        ASSERT_TRUE(user.SetString(strApp + L"\\" + event.pszEvent + L"\\" + event.pszScheme, L"", event.strData,
                                   event.dwType));
    // The same missing file under both schemes: one row each.
    ASSERT_TRUE(user.SetString(strApp + L"\\Both\\.Current", L"", L"C:\\tamsel\\gone.wav", REG_EXPAND_SZ));
    ASSERT_TRUE(user.SetString(strApp + L"\\Both\\.Default", L"", L"C:\\tamsel\\gone.wav", REG_EXPAND_SZ));
    HeadlessScan run;
    run.Only({10});
    run.Run();
    for (const Event& event : events)
        EXPECT_EQ(run.RowsWith(strApp + L"\\" + event.pszEvent + L"\\").size(), event.nRows)
            << testing::PrintToString(std::wstring(event.pszEvent));
    EXPECT_EQ(run.RowsWith(strApp + L"\\Both\\").size(), 2u);
    ::DeleteFileW((strMedia + L"\\" + strSound).c_str());
}

TEST(MruScanner, HistoryEntriesOfGoneFiles)
{
    testsupport::ScratchFolder folder;
    ASSERT_TRUE(testsupport::WriteFileBytes(folder.File(L"kept.txt"), "x"));
    ClassesKeys user(HKEY_CURRENT_USER);
    const std::wstring strOpenSave = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ComDlg32\\OpenSaveMRU\\";
    std::wstring strList = Tag(L"tamsel"), strEmptyList = Tag(L"tamselempty");
    std::wstring strGone = L"C:\\" + Tag(L"tamsel") + L"\\gone.txt";
    ASSERT_TRUE(user.SetString(strOpenSave + strList, L"a", strGone));
    ASSERT_TRUE(user.SetString(strOpenSave + strList, L"b", folder.File(L"kept.txt")));
    ASSERT_TRUE(user.SetString(strOpenSave + strList, L"MRUList", L"ab"));
    ASSERT_TRUE(user.Create(strOpenSave + strEmptyList));
    const std::wstring strCache = L"Software\\Microsoft\\Windows\\ShellNoRoam\\MUICache";
    std::wstring strGoneProgram = L"C:\\" + Tag(L"tamsel") + L"\\gone.exe";
    ASSERT_TRUE(user.SetString(strCache, strGoneProgram, L"Gone Program"));
    ASSERT_TRUE(user.SetString(strCache, L"@tamsel.dll,-" + Tag(L"1"), L"Resource"));
    ASSERT_TRUE(user.SetString(strCache, L"LangID", L"x"));
    ASSERT_TRUE(user.SetString(strCache, folder.File(L"kept.txt"), L"Kept"));
    const std::wstring strCount =
        L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\UserAssist\\{75048700-EF1F-11D0-9888-006097DEACF9}\\Count";
    std::wstring strCounter = Tag(L"HRZR_Gnzfry");
    ASSERT_TRUE(user.SetString(strCount, strCounter, L"whatever", REG_BINARY));
    HeadlessScan run;
    run.Only({11});
    run.Run();
    EXPECT_EQ(run.RowsWith(strGone).size(), 1u);
    EXPECT_EQ(run.RowsWith(strList + L"<").size(), 1u);
    EXPECT_EQ(run.RowsWith(strEmptyList + L"<").size(), 1u);
    EXPECT_EQ(run.RowsWith(strGoneProgram + L"=Gone Program").size(), 1u);
    EXPECT_EQ(run.RowsWith(L"@tamsel.dll").size(), 0u);
    EXPECT_EQ(run.RowsWith(L"LangID").size(), 0u);
    EXPECT_EQ(run.RowsWith(L"kept.txt").size(), 0u);
    ASSERT_EQ(run.RowsWith(strCounter).size(), 1u);
    const CArray<CRegProblem>& list = run.scan.ProblemList(11);
    for (int i = 0; i < list.GetSize(); i++)
    {
        if (list[i].m_strValueName == strCounter.c_str())
        {
            EXPECT_EQ(list[i].m_nKind, 3);
            EXPECT_TRUE(list[i].m_strData.IsEmpty());
        }
    }
}

TEST(MenuOrderScanner, MenuOrderEntriesOfGoneFolders)
{
    std::wstring strPrograms = ReadShellFolder(HKEY_CURRENT_USER, L"Programs");
    ASSERT_FALSE(strPrograms.empty());
    ::SHCreateDirectoryExW(NULL, strPrograms.c_str(), NULL);
    std::wstring strFolder = Tag(L"Tamsel Tools");
    ASSERT_TRUE(::CreateDirectoryW((strPrograms + L"\\" + strFolder).c_str(), NULL));
    ClassesKeys user(HKEY_CURRENT_USER);
    const std::wstring strOrder = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MenuOrder\\Start Menu2\\Programs\\";
    std::wstring strUpper = strFolder;
    ::CharUpperBuffW(&strUpper[0], (DWORD)strUpper.size());
    std::wstring strGone = Tag(L"Tamsel Gone");
    ASSERT_TRUE(user.SetString(strOrder + strFolder, L"Order", L"x", REG_BINARY));
    ASSERT_TRUE(user.Create(strOrder + strGone));
    HeadlessScan run;
    run.Only({12});
    run.Run();
    EXPECT_EQ(run.RowsWith(strOrder + strFolder).size(), 0u);
    EXPECT_EQ(run.RowsWith(strOrder + strGone + L"<").size(), 1u);
    ::RemoveDirectoryW((strPrograms + L"\\" + strFolder).c_str());

    // A name that differs from its folder in case only names the same folder.
    ASSERT_TRUE(::CreateDirectoryW((strPrograms + L"\\" + strFolder).c_str(), NULL));
    ClassesKeys upper(HKEY_CURRENT_USER);
    ASSERT_TRUE(upper.Create(strOrder + strUpper));
    HeadlessScan again;
    again.Only({12});
    again.Run();
    EXPECT_EQ(again.RowsWith(strUpper).size(), 0u);
    ::RemoveDirectoryW((strPrograms + L"\\" + strFolder).c_str());
}

TEST(EmptyKeyScanner, EmptyUserKeysOnceEach)
{
    ClassesKeys user(HKEY_CURRENT_USER);
    std::wstring strBase = L"Software\\" + Tag(L"TamselEmpty");
    ASSERT_TRUE(user.Create(strBase + L"\\Empty"));
    ASSERT_TRUE(user.SetString(strBase + L"\\Named", L"x", L"1"));
    ASSERT_TRUE(user.SetString(strBase + L"\\DefaultOnly", L"", L""));
    ASSERT_TRUE(user.Create(strBase + L"\\Parent\\Child1"));
    ASSERT_TRUE(user.Create(strBase + L"\\Parent\\Child2"));
    // The user's classes: seen through a link on Windows, walked once.
    std::wstring strClasses = L"Software\\Classes\\" + Tag(L"TamselEmpty");
    ASSERT_TRUE(user.Create(strClasses));
    HeadlessScan run;
    run.Only({15});
    run.Run();
    EXPECT_EQ(run.RowsWith(strBase + L"\\Empty<").size(), 1u);
    EXPECT_EQ(run.RowsWith(strBase + L"\\Named").size(), 0u);
    EXPECT_EQ(run.RowsWith(strBase + L"\\DefaultOnly").size(), 0u);
    EXPECT_EQ(run.RowsWith(strBase + L"\\Parent<").size(), 0u);
    EXPECT_EQ(run.RowsWith(strBase + L"\\Parent\\").size(), 2u);
    EXPECT_EQ(run.RowsWith(strClasses.substr(strClasses.find(L"TamselEmpty")) + L"<").size(), 1u);
    for (const CScanResultRow& row : run.sink.m_arrRows)
        EXPECT_TRUE(StrStrIW(row.strText, L"Key:</b> HKEY_USERS\\") != NULL);
}

// Nothing deleted below a volatile key could be stored again: an empty key
// there is no fault, while the same empty key below a lasting parent is.
TEST(EmptyKeyScanner, EmptyKeysBelowAVolatileKeyAreNotReported)
{
    ClassesKeys user(HKEY_CURRENT_USER);
    std::wstring strBase = L"Software\\" + Tag(L"TamselVolatile");
    ASSERT_TRUE(user.Create(strBase + L"\\Lasting\\Empty"));
    HKEY hVolatile = NULL, hEmpty = NULL;
    ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExW(HKEY_CURRENT_USER, (strBase + L"\\Volatile").c_str(), 0, NULL,
                                               REG_OPTION_VOLATILE, KEY_ALL_ACCESS, NULL, &hVolatile, NULL));
    ASSERT_EQ(ERROR_SUCCESS, ::RegCreateKeyExW(hVolatile, L"Empty", 0, NULL, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, NULL,
                                               &hEmpty, NULL));
    ::RegCloseKey(hEmpty);
    ::RegCloseKey(hVolatile);
    HeadlessScan run;
    run.Only({15});
    run.Run();
    EXPECT_EQ(run.RowsWith(strBase + L"\\Lasting\\Empty<").size(), 1u);
    EXPECT_EQ(run.RowsWith(strBase + L"\\Volatile").size(), 0u);
    // Wine's own volatile key, where this registry has one.
    EXPECT_EQ(run.RowsWith(L"Temporary System Parameters").size(), 0u);
    // The asking left nothing behind in the empty keys.
    HKEY hKey = NULL;
    DWORD dwSubKeys = 1;
    ASSERT_EQ(ERROR_SUCCESS, ::RegOpenKeyExW(HKEY_CURRENT_USER, (strBase + L"\\Lasting\\Empty").c_str(), 0, KEY_READ, &hKey));
    ::RegQueryInfoKeyW(hKey, NULL, NULL, NULL, &dwSubKeys, NULL, NULL, NULL, NULL, NULL, NULL, NULL);
    ::RegCloseKey(hKey);
    EXPECT_EQ(0u, dwSubKeys);
    ::SHDeleteKeyW(HKEY_CURRENT_USER, (strBase + L"\\Volatile").c_str());
}

// Targets in the 64-bit program folder and in the real System32 are there
// for a 64-bit user's shell, also when a 32-bit program reads the shortcuts.
TEST(ShortcutScanner, TargetsInTheNativeProgramAndSystemFolders)
{
    PlantedFiles files;
    const std::wstring strTag = NewGuid().substr(1, 8);
    const std::wstring strApp = PlantedFiles::Folder(L"ProgramW6432") + L"\\TamselLink64_" + strTag;
    const std::wstring strDll = PlantedFiles::SystemFolder() + L"\\tamsel_link64_" + strTag + L".dll";
    ASSERT_TRUE(files.Add(strApp + L"\\app64.exe"));
    ASSERT_TRUE(files.Add(strDll));
    testsupport::ScratchFolder folder;
    std::wstring strDesk = folder.Path() + L"Desk";
    ASSERT_TRUE(::CreateDirectoryW(strDesk.c_str(), NULL));
    struct Case
    {
        const wchar_t* pszLink;
        std::wstring strTarget;
        bool bProblem;
    };
    const Case cases[] = {
        {L"app64.lnk", strApp + L"\\app64.exe", false},
        {L"native-system.lnk", strDll, false},
        {L"gone64.lnk", strApp + L"\\gone.exe", true},
        {L"gone-system.lnk", PlantedFiles::SystemFolder() + L"\\tamsel_gone_" + strTag + L".dll", true},
    };
    for (const Case& c : cases)
        ASSERT_TRUE(MakeShortcut(strDesk + L"\\" + c.pszLink, c.strTarget));
    DesktopOnly folders(strDesk);
    ASSERT_TRUE(folders.user.IsRedirected());
    HeadlessScan run;
    run.Only({8});
    run.Run();
    for (const Case& c : cases)
        EXPECT_EQ(run.RowsWith(std::wstring(L"\\") + c.pszLink).size(), c.bProblem ? 1u : 0u) << c.pszLink;
}
