#include "tests/app/AppTestSupport.h"

#include "services/ScheduledTask.h"

#include <objbase.h>
#include <shlobj.h>

namespace {
class HelpersTest : public AppFolderTest
{
};

std::string Utf16(const std::wstring& strText)
{
    std::string bytes = "\xFF\xFE";
    for (wchar_t ch : strText)
    {
        bytes += (char)(ch & 0xFF);
        bytes += (char)(ch >> 8);
    }
    return bytes;
}

// A shortcut made through the shell's own link object.
HRESULT MakeShortcut(const std::wstring& strLink, const wchar_t* pszTarget)
{
    IShellLinkW* pLink = NULL;
    HRESULT hr = ::CoCreateInstance(CLSID_ShellLink, NULL, CLSCTX_INPROC_SERVER, IID_IShellLinkW, (void**)&pLink);
    if (FAILED(hr))
        return hr;
    IPersistFile* pFile = NULL;
    hr = pLink->SetPath(pszTarget);
    if (SUCCEEDED(hr))
        hr = pLink->QueryInterface(IID_IPersistFile, (void**)&pFile);
    if (SUCCEEDED(hr))
    {
        hr = pFile->Save(strLink.c_str(), TRUE);
        pFile->Release();
    }
    pLink->Release();
    return hr;
}

class ComScope
{
public:
    ComScope() { m_hr = ::CoInitialize(NULL); }
    ~ComScope()
    {
        if (SUCCEEDED(m_hr))
            ::CoUninitialize();
    }

private:
    HRESULT m_hr;
};
} // namespace

// Lines are kept as written; empty lines and line ends are not entries.
TEST_F(HelpersTest, IgnoreListSkipsEmptyLinesAndKeepsOrder)
{
    WriteText(Path(L"IgnoreList.dat"),
              Utf16(L"0;HKEY_CLASSES_ROOT\\CLSID\\{1}|{Default}|C:\\a.dll\n\n"
                    L"8;HKEY_CURRENT_USER\\Software\\x|Name|data\r\n\r\n"
                    L"12;HKEY_LOCAL_MACHINE\\Software\\y|{Default}|"));
    m_app.LoadIgnoreList();
    ASSERT_EQ(m_app.m_arrIgnoreList.GetSize(), 3);
    EXPECT_STREQ(m_app.m_arrIgnoreList[0], L"0;HKEY_CLASSES_ROOT\\CLSID\\{1}|{Default}|C:\\a.dll");
    EXPECT_STREQ(m_app.m_arrIgnoreList[1], L"8;HKEY_CURRENT_USER\\Software\\x|Name|data");
    EXPECT_STREQ(m_app.m_arrIgnoreList[2], L"12;HKEY_LOCAL_MACHINE\\Software\\y|{Default}|");

    ::DeleteFileW(Path(L"IgnoreList.dat").c_str());
    m_app.LoadIgnoreList();
    EXPECT_EQ(m_app.m_arrIgnoreList.GetSize(), 0);
}

TEST_F(HelpersTest, DeleteDirectoryRemovesTheTreeOrReportsWhatStays)
{
    std::wstring strTop = Path(L"tree");
    ::CreateDirectoryW(strTop.c_str(), NULL);
    ::CreateDirectoryW((strTop + L"\\sub").c_str(), NULL);
    ::CreateDirectoryW((strTop + L"\\sub\\deeper").c_str(), NULL);
    WriteText(strTop + L"\\a.txt", "a");
    WriteText(strTop + L"\\sub\\deeper\\b.txt", "b");
    EXPECT_TRUE(m_app.DeleteDirectory((strTop + L"\\").c_str()));
    EXPECT_EQ(::GetFileAttributesW(strTop.c_str()), INVALID_FILE_ATTRIBUTES);

    ::CreateDirectoryW(strTop.c_str(), NULL);
    ::CreateDirectoryW((strTop + L"\\sub").c_str(), NULL);
    WriteText(strTop + L"\\gone.txt", "x");
    WriteText(strTop + L"\\sub\\locked.txt", "y");
    ::SetFileAttributesW((strTop + L"\\sub\\locked.txt").c_str(), FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(m_app.DeleteDirectory(strTop.c_str()));
    EXPECT_NE(::GetFileAttributesW((strTop + L"\\sub\\locked.txt").c_str()), INVALID_FILE_ATTRIBUTES);
    ::SetFileAttributesW((strTop + L"\\sub\\locked.txt").c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_TRUE(m_app.DeleteDirectory(strTop.c_str()));
}

// An empty path must not become the root of the current drive. The current
// drive here is a stand-in drive over a scratch folder, so a fault stays there.
TEST_F(HelpersTest, DeleteDirectoryRefusesAnEmptyPath)
{
    WriteText(Path(L"keep.txt"), "k");
    std::wstring strFolder = m_folder.Path();
    strFolder.pop_back();
    if (!::DefineDosDeviceW(0, L"Q:", strFolder.c_str()))
        GTEST_SKIP() << "no stand-in drive";
    wchar_t szSaved[MAX_PATH] = {};
    ::GetCurrentDirectoryW(MAX_PATH, szSaved);
    if (::SetCurrentDirectoryW(L"Q:\\"))
    {
        EXPECT_FALSE(m_app.DeleteDirectory(L""));
        ::SetCurrentDirectoryW(szSaved);
    }
    ::DefineDosDeviceW(DDD_REMOVE_DEFINITION, L"Q:", NULL);
    EXPECT_NE(::GetFileAttributesW(Path(L"keep.txt").c_str()), INVALID_FILE_ATTRIBUTES);
}

// A linked folder inside the tree goes as a link: what it points to stays.
// A drive root is never emptied.
TEST_F(HelpersTest, DeleteDirectoryNeitherFollowsLinksNorEmptiesARoot)
{
    typedef char*(__cdecl * UNIXNAME)(LPCWSTR);
    UNIXNAME pfnUnixName = (UNIXNAME)::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name");
    ASSERT_NE(pfnUnixName, (UNIXNAME)NULL);
    std::wstring strVictim = Path(L"victim"), strTop = Path(L"tree");
    ::CreateDirectoryW(strVictim.c_str(), NULL);
    ::CreateDirectoryW(strTop.c_str(), NULL);
    WriteText(strVictim + L"\\keep.txt", "k");
    WriteText(strTop + L"\\own.txt", "o");
    char* pszVictim = pfnUnixName(strVictim.c_str());
    char* pszTop = pfnUnixName(strTop.c_str());
    ASSERT_TRUE(pszVictim != NULL && pszTop != NULL);
    std::string strCommand = std::string("ln -s '") + pszVictim + "' '" + pszTop + "/link'";
    ::HeapFree(::GetProcessHeap(), 0, pszVictim);
    ::HeapFree(::GetProcessHeap(), 0, pszTop);
    ASSERT_EQ(testsupport::RunHostCommand(strCommand, 20000), 0);
    ASSERT_NE(::GetFileAttributesW((strTop + L"\\link\\keep.txt").c_str()), INVALID_FILE_ATTRIBUTES);

    // Asked for the link itself, then for the tree holding it. (Wine cannot
    // remove a linked folder, so the tree may stay; the target must.)
    m_app.DeleteDirectory((strTop + L"\\link\\").c_str());
    EXPECT_NE(::GetFileAttributesW((strVictim + L"\\keep.txt").c_str()), INVALID_FILE_ATTRIBUTES);
    m_app.DeleteDirectory(strTop.c_str());
    EXPECT_NE(::GetFileAttributesW((strVictim + L"\\keep.txt").c_str()), INVALID_FILE_ATTRIBUTES);

    std::wstring strFolder = m_folder.Path();
    strFolder.pop_back();
    ASSERT_TRUE(::DefineDosDeviceW(0, L"Q:", strFolder.c_str()));
    EXPECT_FALSE(m_app.DeleteDirectory(L"Q:\\"));
    EXPECT_FALSE(m_app.DeleteDirectory(L"Q:"));
    ::DefineDosDeviceW(DDD_REMOVE_DEFINITION, L"Q:", NULL);
    EXPECT_NE(::GetFileAttributesW((strVictim + L"\\keep.txt").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST(ParseIconLocation, PathsFromIconLocationsAndCommands)
{
    CTamselApp& app = TestApp();
    EXPECT_STREQ(app.ParseIconLocation(L"\"C:\\Program Files\\My App\\App.EXE\",3"),
                 L"c:\\program files\\my app\\app.exe");
    EXPECT_STREQ(app.ParseIconLocation(L"C:\\Tools\\Run.exe /background"), L"c:\\tools\\run.exe");
    EXPECT_STREQ(app.ParseIconLocation(L"C:\\Tools\\Run.exe -silent -x"), L"c:\\tools\\run.exe");
    EXPECT_STREQ(app.ParseIconLocation(L"c:\\windows\\system32\\shell32.dll,-12"),
                 L"c:\\windows\\system32\\shell32.dll");
    EXPECT_STREQ(app.ParseIconLocation(L"rundll32.exe c:\\x.dll,Entry"), L"rundll32.exe c:\\x.dll");
    EXPECT_STREQ(app.ParseIconLocation(L"  C:\\A\\..\\B\\c.exe  "), L"c:\\b\\c.exe");
    EXPECT_STREQ(app.ParseIconLocation(L"ERR"), L"err");
    EXPECT_STREQ(app.ParseIconLocation(L""), L"");
}

// Targets of real shortcut files, read raw.
TEST_F(HelpersTest, ShortcutTargetsAreReadRaw)
{
    ComScope com;
    std::wstring strPlain = Path(L"plain.lnk");
    ASSERT_HRESULT_SUCCEEDED(MakeShortcut(strPlain, L"C:\\windows\\notepad.exe"));
    wchar_t szTarget[MAX_PATH] = L"junk";
    EXPECT_EQ(m_app.GetShortcutTarget(strPlain.c_str(), szTarget), S_OK);
    EXPECT_EQ(lstrcmpiW(szTarget, L"C:\\windows\\notepad.exe"), 0) << Narrow(szTarget);

    // Wine's link writer resolves "%windir%" when the link is made, so an
    // unexpanded target cannot be made here; a long path with blanks can.
    std::wstring strTool = Path(L"some long tool name.exe");
    WriteText(strTool, "MZ");
    std::wstring strSpaces = Path(L"spaces.lnk");
    ASSERT_HRESULT_SUCCEEDED(MakeShortcut(strSpaces, strTool.c_str()));
    EXPECT_EQ(m_app.GetShortcutTarget(strSpaces.c_str(), szTarget), S_OK);
    EXPECT_EQ(lstrcmpiW(szTarget, strTool.c_str()), 0) << Narrow(szTarget);

    wcscpy(szTarget, L"junk");
    EXPECT_TRUE(FAILED(m_app.GetShortcutTarget(Path(L"missing.lnk").c_str(), szTarget)));
    EXPECT_STREQ(szTarget, L"");

    WriteText(Path(L"broken.lnk"), "not a shortcut at all");
    wcscpy(szTarget, L"junk");
    EXPECT_TRUE(FAILED(m_app.GetShortcutTarget(Path(L"broken.lnk").c_str(), szTarget)));
    EXPECT_STREQ(szTarget, L"");
}


// The pending request creates the weekly job once, then is cleared in the file.
TEST_F(HelpersTest, ScheduleRequestCreatesTheWeeklyTaskOnce)
{
    if (!SchedulerRunning())
        TAMSEL_PEER_MISSING("the Task Scheduler service of this prefix does not run");
    ComScope com;
    CString strSavedName = m_app.m_strTaskName;
    m_app.m_strTaskName = L"Tamsel Schedule Test";
    wchar_t szWindows[MAX_PATH] = {};
    ::GetWindowsDirectoryW(szWindows, MAX_PATH);
    std::wstring strJob = std::wstring(szWindows) + L"\\Tasks\\Tamsel Schedule Test.job";
    ::DeleteFileW(strJob.c_str());

    m_app.UpdateScheduleTask();
    EXPECT_EQ(m_app.m_bScheduleTask, 0);
    EXPECT_EQ((int)::GetPrivateProfileIntW(L"General Options", L"Schedule Task", -1, m_app.m_strSettingsFile), 0);
    EXPECT_NE(::GetFileAttributesW(strJob.c_str()), INVALID_FILE_ATTRIBUTES);

    CScheduledTask::Delete(L"Tamsel Schedule Test");
    m_app.UpdateScheduleTask();
    EXPECT_EQ(m_app.m_bScheduleTask, 0);
    EXPECT_EQ(::GetFileAttributesW(strJob.c_str()), INVALID_FILE_ATTRIBUTES) << "a cleared request creates nothing";

    m_app.m_strTaskName = strSavedName;
}

// The request runs beside the window: starting it returns at once, and the
// exit takes its outcome.
TEST_F(HelpersTest, ScheduleRequestRunsOnAWorker)
{
    if (!SchedulerRunning())
        TAMSEL_PEER_MISSING("the Task Scheduler service of this prefix does not run");
    ComScope com;
    CString strSavedName = m_app.m_strTaskName;
    m_app.m_strTaskName = L"Tamsel Schedule Worker";
    ::WritePrivateProfileStringW(L"General Options", L"Schedule Task", L"1", m_app.m_strSettingsFile);
    ASSERT_TRUE(m_app.StartScheduleRequest());
    // A worker asks; the outcome is taken only when it is waited for.
    EXPECT_NE(m_app.m_hScheduleThread, (HANDLE)NULL);
    EXPECT_EQ(m_app.m_bScheduleTask, 1);
    EXPECT_FALSE(m_app.StartScheduleRequest());  // once
    m_app.FinishScheduleRequest(20000);
    EXPECT_EQ(m_app.m_bScheduleTask, 0);
    EXPECT_EQ((int)::GetPrivateProfileIntW(L"General Options", L"Schedule Task", -1, m_app.m_strSettingsFile), 0);
    EXPECT_EQ(CScheduledTask::Delete(L"Tamsel Schedule Worker"), S_OK);
    m_app.m_strTaskName = strSavedName;
}
