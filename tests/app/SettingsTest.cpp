#include "tests/app/AppTestSupport.h"
#include "framework/Time.h"
#include "repair/ScanLog.h"
#include "tests/support/MessageBoxRecorder.h"

#include <set>

namespace {
const wchar_t kRunKey[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// Keeps the real Run value "Tamsel" as it was before the test.
class RunValueGuard
{
public:
    RunValueGuard()
    {
        HKEY hKey;
        if (::RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_QUERY_VALUE, &hKey) == ERROR_SUCCESS)
        {
            DWORD dwSize = sizeof(m_szValue) - sizeof(wchar_t);
            m_bHad = ::RegQueryValueExW(hKey, L"Tamsel", NULL, NULL, (BYTE*)m_szValue, &dwSize) == ERROR_SUCCESS;
            ::RegCloseKey(hKey);
        }
    }
    ~RunValueGuard()
    {
        if (m_bHad)
            Set(m_szValue);
        else
            Remove();
    }
    static void Set(const wchar_t* pszValue)
    {
        HKEY hKey;
        if (::RegCreateKeyExW(HKEY_CURRENT_USER, kRunKey, 0, NULL, 0, KEY_SET_VALUE, NULL, &hKey, NULL) ==
            ERROR_SUCCESS)
        {
            ::RegSetValueExW(hKey, L"Tamsel", 0, REG_SZ, (const BYTE*)pszValue,
                             (DWORD)((wcslen(pszValue) + 1) * sizeof(wchar_t)));
            ::RegCloseKey(hKey);
        }
    }
    static void Remove()
    {
        HKEY hKey;
        if (::RegOpenKeyExW(HKEY_CURRENT_USER, kRunKey, 0, KEY_SET_VALUE, &hKey) == ERROR_SUCCESS)
        {
            ::RegDeleteValueW(hKey, L"Tamsel");
            ::RegCloseKey(hKey);
        }
    }

private:
    bool m_bHad = false;
    wchar_t m_szValue[1024] = {};
};

std::set<std::wstring> KeysOf(const CString& strFile, LPCWSTR pszSection)
{
    wchar_t szKeys[8192] = {};
    ::GetPrivateProfileStringW(pszSection, NULL, L"", szKeys, 8192, strFile);
    std::set<std::wstring> keys;
    for (const wchar_t* p = szKeys; *p; p += wcslen(p) + 1)
        keys.insert(p);
    return keys;
}

std::wstring ReadValue(const CString& strFile, LPCWSTR pszSection, LPCWSTR pszKey)
{
    wchar_t szValue[256] = {};
    ::GetPrivateProfileStringW(pszSection, pszKey, L"<missing>", szValue, 256, strFile);
    return szValue;
}

class SettingsTest : public AppFolderTest
{
protected:
    RunValueGuard m_runGuard;
};
} // namespace

// No Settings.ini: every default; at exit all 51 keys are there.
TEST_F(SettingsTest, MissingFileGivesDefaultsAndSaveWritesEveryKey)
{
    RunValueGuard::Remove();
    for (int i = 0; i < 15; ++i)
    {
        m_app.m_bScanCategory[i] = 7;
        m_app.m_nErrors[i] = m_app.m_nCleaned[i] = 9;
    }
    m_app.m_bCloseAfterScan = m_app.m_bAutoRepair = 5;
    m_app.m_bAutoUpdate = 0;

    m_app.m_strLastScanTime = L"20080614213000";
    m_app.LoadSettings();

    for (int i = 0; i < 15; ++i)
    {
        EXPECT_EQ(m_app.m_bScanCategory[i], 1) << i;
        EXPECT_EQ(m_app.m_nErrors[i], 0);
        EXPECT_EQ(m_app.m_nCleaned[i], 0);
    }
    EXPECT_EQ(m_app.m_bCloseAfterScan, 0);
    EXPECT_EQ(m_app.m_bAutoRepair, 0);
    EXPECT_EQ(m_app.m_bAutoUpdate, 1);
    EXPECT_EQ(m_app.m_bStartup, 0);
    // No scan yet: no time, not the time of the first start.
    EXPECT_TRUE(m_app.m_strLastScanTime.IsEmpty());

    m_app.m_bScheduleTask = 1;
    m_app.SaveSettings();
    std::set<std::wstring> options = KeysOf(m_app.m_strSettingsFile, L"General Options");
    std::set<std::wstring> general = KeysOf(m_app.m_strSettingsFile, L"General Settings");
    std::set<std::wstring> scanLog = KeysOf(m_app.m_strSettingsFile, L"ScanLog");
    EXPECT_EQ(options.size(), 16u);
    EXPECT_EQ(general.size(), 4u);
    EXPECT_EQ(scanLog.size(), 31u);
    EXPECT_EQ(options.size() + general.size() + scanLog.size(), 51u);
    EXPECT_TRUE(options.count(L"Schedule Task"));
    EXPECT_FALSE(general.count(L"Language"));
    EXPECT_TRUE(scanLog.count(L"Cleaned15"));
    EXPECT_EQ(ReadValue(m_app.m_strSettingsFile, L"General Settings", L"AutoUpdate"), L"1");
}

// Every value written comes back into the member it came from.
TEST_F(SettingsTest, RoundTripKeepsEveryValue)
{
    RunValueGuard::Remove();
    for (int i = 0; i < 15; ++i)
    {
        m_app.m_bScanCategory[i] = i % 2;
        m_app.m_nErrors[i] = 100 + i;
        m_app.m_nCleaned[i] = 200 + i;
    }
    m_app.m_bCloseAfterScan = 1;
    m_app.m_bAutoRepair = 1;
    m_app.m_bAutoUpdate = 0;
    m_app.m_bScheduleTask = 0;
    m_app.m_strLastScanTime = L"20080614213000";
    m_app.SaveSettings();

    for (int i = 0; i < 15; ++i)
        m_app.m_bScanCategory[i] = m_app.m_nErrors[i] = m_app.m_nCleaned[i] = -1;
    m_app.m_strLastScanTime.Empty();
    m_app.LoadSettings();

    for (int i = 0; i < 15; ++i)
    {
        EXPECT_EQ(m_app.m_bScanCategory[i], i % 2) << i;
        EXPECT_EQ(m_app.m_nErrors[i], 100 + i);
        EXPECT_EQ(m_app.m_nCleaned[i], 200 + i);
    }
    EXPECT_EQ(m_app.m_bCloseAfterScan, 1);
    EXPECT_EQ(m_app.m_bAutoRepair, 1);
    EXPECT_EQ(m_app.m_bAutoUpdate, 0);
    EXPECT_STREQ(m_app.m_strLastScanTime, L"20080614213000");
    EXPECT_EQ(ReadValue(m_app.m_strSettingsFile, L"General Options", L"Schedule Task"), L"0");
    EXPECT_EQ(ReadValue(m_app.m_strSettingsFile, L"ScanLog", L"Error13"), L"112");
}

// The switch keys land in key order, which is neither category nor display order.
TEST_F(SettingsTest, SwitchKeysFollowKeyOrder)
{
    WriteText(Path(L"Settings.ini"), "[General Options]\r\nScanCOM=1\r\nScanSharedDLL=0\r\nScanDrivers=0\r\n"
                                     "ScanEmpty=0\r\nScanFonts=yes\r\n");
    m_app.LoadSettings();
    EXPECT_EQ(m_app.m_bScanCategory[0], 1);   // ScanCOM, category 1
    EXPECT_EQ(m_app.m_bScanCategory[1], 0);   // ScanSharedDLL, category 5
    EXPECT_EQ(m_app.m_bScanCategory[4], 1);   // ScanAddRemove, category 2
    EXPECT_EQ(m_app.m_bScanCategory[12], 0);  // ScanDrivers, category 13
    EXPECT_EQ(m_app.m_bScanCategory[14], 0);  // ScanEmpty, category 15
    EXPECT_EQ(m_app.m_bScanCategory[6], 0);   // ScanFonts=yes is no number
    EXPECT_EQ(m_app.m_bScanCategory[5], 1);
}

// "Startup" follows the Run value, not the file.
TEST_F(SettingsTest, StartupComesFromTheRunValue)
{
    WriteText(Path(L"Settings.ini"), "[General Settings]\r\nStartup=1\r\n");
    RunValueGuard::Remove();
    m_app.LoadSettings();
    EXPECT_EQ(m_app.m_bStartup, 0);
    m_app.SaveSettings();
    EXPECT_EQ(ReadValue(m_app.m_strSettingsFile, L"General Settings", L"Startup"), L"0");

    RunValueGuard::Set(L"C:\\Program Files\\Tamsel\\Tamsel.exe");
    m_app.LoadSettings();
    EXPECT_EQ(m_app.m_bStartup, 1);
}

// The three category orders of the application object.
TEST(CategoryOrders, KeySlotsDisplaySlotsAndNames)
{
    const int kCategoryOfKeySlot[15] = { 1, 5, 9, 7, 2, 3, 4, 6, 12, 11, 8, 10, 13, 14, 15 };
    const int kDisplaySlotOfCategory[16] = { -1, 0, 1, 2, 3, 4, 5, 7, 8, 9, 10, 11, 12, 6, 13, 14 };
    for (int nSlot = 0; nSlot < 15; ++nSlot)
    {
        EXPECT_EQ(CTamselApp::s_nKeySlotCategory[nSlot], kCategoryOfKeySlot[nSlot]);
        EXPECT_EQ(CTamselApp::KeySlotOfCategory(kCategoryOfKeySlot[nSlot]), nSlot);
    }
    for (int nCategory = 1; nCategory <= 15; ++nCategory)
        EXPECT_EQ(CTamselApp::DisplaySlotOfCategory(nCategory), kDisplaySlotOfCategory[nCategory]);
    EXPECT_EQ(CTamselApp::KeySlotOfCategory(0), -1);
    EXPECT_EQ(CTamselApp::DisplaySlotOfCategory(16), -1);
    EXPECT_STREQ(CTamselApp::s_pszScanKeys[10], L"ScanShortcuts");  // category 8
    EXPECT_EQ(CTamselApp::s_nKeySlotCategory[10], 8);
    EXPECT_STREQ(CTamselApp::s_pszCategoryNameKeys[6], L"IDD_131_1021");  // Drivers, category 13
    EXPECT_STREQ(CTamselApp::s_pszCategoryNameKeys[CTamselApp::DisplaySlotOfCategory(7)], L"IDD_131_1016");
}

namespace {
class CCountingUnknown : public IUnknown
{
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** ppv) override
    {
        *ppv = NULL;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_nRefs; }
    ULONG STDMETHODCALLTYPE Release() override { return --m_nRefs; }
    ULONG m_nRefs = 1;
};
} // namespace

// Exit writes the settings and lets go of the update collection.
TEST_F(SettingsTest, ExitWritesSettingsAndReleasesTheCollection)
{
    CCountingUnknown collection;
    m_app.m_pComObject = &collection;
    m_app.m_bAutoUpdate = 0;
    m_app.ExitInstance();
    EXPECT_EQ(collection.m_nRefs, 0u);
    EXPECT_EQ(m_app.m_pComObject, (IUnknown*)NULL);
    EXPECT_EQ(ReadValue(m_app.m_strSettingsFile, L"General Settings", L"AutoUpdate"), L"0");
}

// A start that ended before reading its settings writes none (a second copy).
TEST_F(SettingsTest, ExitBeforeStartUpWritesNothing)
{
    m_app.m_strSettingsFile.Empty();
    m_app.ExitInstance();
    EXPECT_EQ((int)::GetPrivateProfileIntW(L"General Options", L"ScanCOM", -1, L"win.ini"), -1);
    EXPECT_EQ(::GetFileAttributesW(Path(L"Settings.ini").c_str()), INVALID_FILE_ATTRIBUTES);
    m_app.m_strSettingsFile = Path(L"Settings.ini").c_str();
}

// Reading whether the program starts with Windows creates no Run key: an empty
// one would be reported by the empty-key scan at every scan.
TEST_F(SettingsTest, ReadingCreatesNoRunKey)
{
    testsupport::ScratchRegKey scratch;
    WriteText(Path(L"Settings.ini"), "[General Settings]\r\nStartup=1\r\n");
    ASSERT_EQ(::RegOverridePredefKey(HKEY_CURRENT_USER, scratch.Key()), ERROR_SUCCESS);
    m_app.LoadSettings();
    HKEY hKey = NULL;
    LONG nOpened = ::RegOpenKeyExW(scratch.Key(), kRunKey, 0, KEY_QUERY_VALUE, &hKey);
    ::RegOverridePredefKey(HKEY_CURRENT_USER, NULL);
    if (hKey != NULL)
        ::RegCloseKey(hKey);
    EXPECT_NE(nOpened, ERROR_SUCCESS);
    EXPECT_EQ(m_app.m_bStartup, 0);
}

// A settings file that cannot be written is reported once at exit, with no
// pending quit that would close the box at once.
TEST_F(SettingsTest, UnwritableSettingsAreReportedNotLost)
{
    m_app.m_strSettingsFile = Path(L"Settings.ini").c_str();
    EXPECT_TRUE(m_app.SaveSettings());
    m_app.m_strSettingsFile = Path(L"no such folder\\Settings.ini").c_str();
    EXPECT_FALSE(m_app.SaveSettings());

    testsupport::MessageBoxRecorder recorder;
    ::PostQuitMessage(0);
    m_app.ReportSettingsNotSaved();
    ASSERT_EQ(recorder.Count(), 1u);
    EXPECT_NE(recorder.LastText().find(Path(L"no such folder\\Settings.ini")), std::wstring::npos);
    MSG msg;
    EXPECT_FALSE(::PeekMessageW(&msg, NULL, WM_QUIT, WM_QUIT, PM_REMOVE));
}

namespace {
std::string Utf16Le(const std::string& text)
{
    std::string bytes;
    for (char ch : text)
        bytes += std::string{ch, '\0'};
    return bytes;
}

const char kUserSettings[] = "[General Options]\r\nScanFonts=0\r\nSchedule Task=0\r\n"
                             "[General Settings]\r\nAutoUpdate=0\r\nCloseAfterScan=1\r\nLanguage=German.ini\r\n"
                             "UpdateSite=http://127.0.0.1/\r\n[ScanLog]\r\nError3=17\r\n";

// The English texts, so a message reads as the user sees it.
void UseEnglish(CTamselApp& app, const std::wstring& strFile)
{
    ASSERT_TRUE(app.ExtractDefaultLanguage(424, strFile.c_str()));
    app.m_strLangFile = strFile.c_str();
}
} // namespace

// Settings.ini in every encoding the program writes or Windows reads: the
// user's values are read, and the exit keeps them and every other key.
TEST_F(SettingsTest, EveryEncodingReadsAndKeepsTheUsersValues)
{
    RunValueGuard::Remove();
    const std::pair<const char*, std::string> forms[] = {
        {"ANSI", kUserSettings},
        {"UTF-16LE with its mark", "\xFF\xFE" + Utf16Le(kUserSettings)},
        {"UTF-16LE without its mark", Utf16Le(kUserSettings)},
    };
    for (const auto& form : forms)
    {
        WriteText(Path(L"Settings.ini"), form.second);
        m_app.LoadSettings();
        EXPECT_FALSE(m_app.m_bSettingsUnread) << form.first;
        EXPECT_EQ(m_app.m_bAutoUpdate, 0) << form.first;
        EXPECT_EQ(m_app.m_bCloseAfterScan, 1) << form.first;
        EXPECT_EQ(m_app.m_bScanCategory[6], 0) << form.first;   // ScanFonts
        EXPECT_EQ(m_app.m_nErrors[2], 17) << form.first;
        testsupport::MessageBoxRecorder recorder;
        m_app.ExitInstance();
        EXPECT_EQ(recorder.Count(), 0u) << form.first;
        // Read back by the system's own profile functions.
        EXPECT_EQ(ReadValue(m_app.m_strSettingsFile, L"General Settings", L"AutoUpdate"), L"0") << form.first;
        EXPECT_EQ(ReadValue(m_app.m_strSettingsFile, L"General Options", L"ScanFonts"), L"0") << form.first;
        EXPECT_EQ(ReadValue(m_app.m_strSettingsFile, L"General Settings", L"Language"), L"German.ini") << form.first;
        EXPECT_EQ(ReadValue(m_app.m_strSettingsFile, L"General Settings", L"UpdateSite"), L"http://127.0.0.1/")
            << form.first;
        EXPECT_EQ(ReadValue(m_app.m_strSettingsFile, L"ScanLog", L"Error3"), L"17") << form.first;
        ::WritePrivateProfileStringW(NULL, NULL, NULL, m_app.m_strSettingsFile);
    }
}

// A file with one 10 MiB line does not read: it stays byte for byte through
// the run and the exit, which says so, and no default replaces its values.
TEST_F(SettingsTest, AFileThatDoesNotReadIsLeftAsItWasWithAMessage)
{
    UseEnglish(m_app, Path(L"English.ini"));
    std::string bytes = std::string(kUserSettings) + "[Notes]\r\nText=" + std::string(10 * 1024 * 1024, 'n') + "\r\n";
    WriteText(Path(L"Settings.ini"), bytes);
    m_app.LoadSettings();
    EXPECT_TRUE(m_app.m_bSettingsUnread);
    m_app.m_bAutoUpdate = 1;
    EXPECT_FALSE(m_app.SaveSettings());
    // The writers of single keys leave it alone as well.
    m_app.SelectLanguage(L"English.ini");
    CScanLog log(m_app.m_strSettingsFile);
    log.m_strLastScanTime = L"20261210040000";
    EXPECT_FALSE(log.Write());
    testsupport::MessageBoxRecorder recorder;
    m_app.ExitInstance();
    ASSERT_EQ(recorder.Count(), 1u);
    EXPECT_NE(recorder.LastText().find(L"could not be read"), std::wstring::npos) << Narrow(recorder.LastText());
    EXPECT_NE(recorder.LastText().find(L"Line 12 of " + Path(L"Settings.ini")), std::wstring::npos)
        << Narrow(recorder.LastText());
    EXPECT_TRUE(testsupport::ReadFileBytes(Path(L"Settings.ini")) == bytes);
}

// The look-alike: the same settings with a note of a normal length are read
// and written back as usual, without a message.
TEST_F(SettingsTest, ALongButReadableLineIsReadAndKept)
{
    UseEnglish(m_app, Path(L"English.ini"));
    WriteText(Path(L"Settings.ini"), std::string(kUserSettings) + "[Notes]\r\nText=" + std::string(30000, 'n') + "\r\n");
    m_app.LoadSettings();
    EXPECT_FALSE(m_app.m_bSettingsUnread);
    EXPECT_EQ(m_app.m_bAutoUpdate, 0);
    testsupport::MessageBoxRecorder recorder;
    m_app.ExitInstance();
    EXPECT_EQ(recorder.Count(), 0u);
    EXPECT_EQ(ReadValue(m_app.m_strSettingsFile, L"General Settings", L"AutoUpdate"), L"0");
    EXPECT_EQ(ReadValue(m_app.m_strSettingsFile, L"General Settings", L"Language"), L"German.ini");
    EXPECT_NE(KeysOf(m_app.m_strSettingsFile, L"Notes").count(L"Text"), 0u);
}
