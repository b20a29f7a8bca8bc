// One-Click with its defaults on the prefix's real registry, read back with
// Wine's own reg tool; every value it touches is put back afterwards.
#include "optimizer/DesktopPage.h"
#include "optimizer/DiskCachePage.h"
#include "optimizer/FileSystemPage.h"
#include "optimizer/NetworkPage.h"
#include "optimizer/OneClickSettingDlg.h"
#include "optimizer/OptimizerText.h"
#include "optimizer/SystemOptimizerDlg.h"
#include "optimizer/shared/IniFile.h"
#include "tests/optimizer/OptimizerTestSupport.h"
#include <cstdlib>
#include <set>
#include <shlwapi.h>

using namespace optest;

namespace {
struct Expect
{
    HKEY hRoot;
    std::wstring strKey;
    std::wstring strName;
    std::string strType;   // as reg query prints it
    std::string strData;   // as reg query prints it
};

std::string Hex(DWORD dw)
{
    char sz[16];
    sprintf(sz, "0x%lx", (unsigned long)dw);
    return sz;
}

std::string Narrow(const std::wstring& str)
{
    return CString(str.c_str()).ToUtf8();
}

// The control sets the machine-wide values go to: ControlSet001 as well when
// the prefix has it.
std::vector<std::wstring> ControlSets(bool bSet001)
{
    std::vector<std::wstring> sets = {L"SYSTEM\\CurrentControlSet\\"};
    if (bSet001)
        sets.insert(sets.begin(), L"SYSTEM\\ControlSet001\\");
    return sets;
}

// What One-Click with nw 5069, dt 5077, dc 5071 and fs 5078 leaves behind.
std::vector<Expect> Expected(bool bSet001)
{
    std::vector<Expect> v;
    HKEY M = HKEY_LOCAL_MACHINE, U = HKEY_CURRENT_USER;
    for (const std::wstring& s : ControlSets(bSet001))
    {
        const std::wstring tcp = s + L"Services\\Tcpip\\Parameters";
        const std::pair<const wchar_t*, DWORD> tcpValues[] = {
            {L"SackOpts", 1}, {L"TcpMaxDupAcks", 2}, {L"EnablePMTUBHDetect", 1}, {L"EnablePMTUDiscovery", 1},
            {L"Tcp1323Opts", 3}, {L"DefaultTTL", 64}, {L"TcpRecvSegmentSize", 1452},
            {L"GlobalMaxTcpWindowSize", 255552}, {L"TcpWindowSize", 255552}};
        for (const auto& tv : tcpValues)
            v.push_back({M, tcp, tv.first, "REG_DWORD", Hex(tv.second)});
        v.push_back({M, s + L"Control\\Update", L"UpdateMode", "REG_BINARY", "01000000"});
        v.push_back({M, s + L"Control\\Session Manager\\Memory Management", L"IoPageLockLimit", "REG_DWORD", Hex(0x8000000)});
        v.push_back({M, s + L"Services\\lanmanserver\\parameters", L"Size", "REG_DWORD", Hex(1)});
        v.push_back({M, s + L"Control\\PriorityControl", L"Win32PrioritySeparation", "REG_DWORD", Hex(38)});
    }
    const std::wstring inet = L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
    v.push_back({U, inet, L"MaxConnectionsPer1_0Server", "REG_DWORD", Hex(5)});
    v.push_back({U, inet, L"MaxConnectionsPerServer", "REG_DWORD", Hex(5)});
    v.push_back({M, L"SOFTWARE\\Classes\\CLSID\\{00021400-0000-0000-C000-000000000046}", L"MenuShowDelay", "REG_SZ", "1"});
    v.push_back({U, L"Control Panel\\desktop", L"MenuShowDelay", "REG_SZ", "0"});
    v.push_back({M, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer", L"Max Cached Icons", "REG_SZ", "500"});
    v.push_back({U, L"Control Panel\\Desktop\\WindowMetrics", L"MinAnimate", "REG_SZ", "0"});
    v.push_back({U, L"Control Panel\\desktop", L"SmoothScroll", "REG_DWORD", Hex(0)});
    const std::wstring pol = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
    v.push_back({U, pol, L"NoStartBanner", "REG_BINARY", "01"});
    v.push_back({U, pol, L"NoInstrumentation", "REG_BINARY", "01"});
    // The first four bytes; Windows and Wine keep more after them.
    v.push_back({U, L"Control Panel\\Desktop", L"UserPreferencesMask", "REG_BINARY", "B0320380"});
    v.push_back({U, L"Control Panel\\Desktop", L"DragFullWindows", "REG_SZ", "0"});
    v.push_back({U, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer", L"DesktopProcess", "REG_DWORD", Hex(0)});
    v.push_back({M, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon", L"AutoRestartShell", "REG_DWORD", Hex(1)});
    v.push_back({U, L"Control Panel\\Desktop", L"AutoEndTasks", "REG_SZ", "1"});
    v.push_back({U, L"Control Panel\\Desktop", L"WaitToKillAppTimeout", "REG_SZ", "1000"});
    v.push_back({U, L"Control Panel\\desktop", L"HungAppTimeout", "REG_SZ", "1000"});
    v.push_back({U, L"Control Panel\\desktop", L"ForegroundLockTimeout", "REG_DWORD", Hex(0)});
    const std::wstring mm = L"SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Memory Management";
    v.push_back({M, mm, L"SecondLevelDataCache", "REG_DWORD", Hex(1024)});
    const std::wstring cdfs = L"SYSTEM\\CurrentControlSet\\Control\\FileSystem\\CDFS";
    v.push_back({M, cdfs, L"CacheSize", "REG_BINARY", "00080000"});
    v.push_back({M, cdfs, L"Prefetch", "REG_BINARY", "79060000"});
    v.push_back({M, cdfs, L"PrefetchTail", "REG_BINARY", "80000000"});
    v.push_back({U, L"Software\\Microsoft\\MediaPlayer\\Player\\Settings", L"EnableDVDUI", "REG_SZ", "no"});
    v.push_back({M, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\AeDebug", L"Auto", "REG_SZ", "0"});
    v.push_back({M, L"SOFTWARE\\Microsoft\\PCHealth\\ErrorReporting", L"DoReport", "REG_DWORD", Hex(0)});
    v.push_back({M, L"SOFTWARE\\Microsoft\\Dfrg\\BootOptimizeFunction", L"Enable", "REG_SZ", "Y"});
    v.push_back({M, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\OptimalLayout", L"EnableAutoLayout", "REG_DWORD", Hex(1)});
    return v;
}

// What Default on each of the four tabs leaves after that; an empty type
// means the value must be gone.
std::vector<Expect> DefaultsExpected(bool bSet001)
{
    std::vector<Expect> v;
    HKEY M = HKEY_LOCAL_MACHINE, U = HKEY_CURRENT_USER;
    for (const std::wstring& s : ControlSets(bSet001))
    {
        const std::wstring tcp = s + L"Services\\Tcpip\\Parameters";
        for (const wchar_t* pszGone : {L"SackOpts", L"TcpMaxDupAcks", L"EnablePMTUBHDetect", L"EnablePMTUDiscovery",
                                       L"Tcp1323Opts", L"TcpRecvSegmentSize", L"GlobalMaxTcpWindowSize", L"TcpWindowSize"})
            v.push_back({M, tcp, pszGone, "", ""});
        v.push_back({M, tcp, L"DefaultTTL", "REG_DWORD", Hex(64)});
        v.push_back({M, s + L"Control\\Update\\UpdateMode", L"UpdateMode", "REG_BINARY", "01000000"});
        v.push_back({M, s + L"Control\\Session Manager\\Memory Management", L"IoPageLockLimit", "REG_DWORD", Hex(0)});
        v.push_back({M, s + L"Services\\lanmanserver\\parameters", L"Size", "REG_DWORD", Hex(1)});
        v.push_back({M, s + L"Control\\PriorityControl", L"Win32PrioritySeparation", "REG_DWORD", Hex(38)});
    }
    const std::wstring inet = L"Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
    v.push_back({U, inet, L"MaxConnectionsPerServer", "REG_DWORD", Hex(5)});
    v.push_back({M, L"SOFTWARE\\Classes\\CLSID\\{00021400-0000-0000-C000-000000000046}", L"MenuShowDelay", "", ""});
    v.push_back({U, L"Control Panel\\desktop", L"MenuShowDelay", "REG_SZ", "400"});
    v.push_back({M, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer", L"Max Cached Icons", "", ""});
    v.push_back({U, L"Control Panel\\Desktop\\WindowMetrics", L"MinAnimate", "REG_SZ", "1"});
    v.push_back({U, L"Control Panel\\desktop", L"SmoothScroll", "REG_DWORD", Hex(1)});
    const std::wstring pol = L"Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
    v.push_back({U, pol, L"NoStartBanner", "", ""});
    v.push_back({U, pol, L"NoInstrumentation", "", ""});
    v.push_back({U, L"Control Panel\\Desktop", L"UserPreferencesMask", "REG_BINARY", "BE3E0780"});
    v.push_back({U, L"Control Panel\\Desktop", L"DragFullWindows", "REG_SZ", "1"});
    v.push_back({U, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer", L"DesktopProcess", "REG_DWORD", Hex(0)});
    v.push_back({M, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon", L"AutoRestartShell", "REG_DWORD", Hex(1)});
    v.push_back({U, L"Control Panel\\Desktop", L"AutoEndTasks", "REG_SZ", "0"});
    v.push_back({U, L"Control Panel\\Desktop", L"WaitToKillAppTimeout", "REG_SZ", "20000"});
    v.push_back({U, L"Control Panel\\desktop", L"HungAppTimeout", "REG_SZ", "5000"});
    v.push_back({U, L"Control Panel\\desktop", L"ForegroundLockTimeout", "REG_DWORD", Hex(200000)});
    const std::wstring mm = L"SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Memory Management";
    v.push_back({M, mm, L"SecondLevelDataCache", "REG_DWORD", Hex(0)});
    const std::wstring cdfs = L"SYSTEM\\CurrentControlSet\\Control\\FileSystem\\CDFS";
    v.push_back({M, cdfs, L"CacheSize", "", ""});
    v.push_back({M, cdfs, L"PrefetchTail", "", ""});
    v.push_back({U, L"Software\\Microsoft\\MediaPlayer\\Player\\Settings", L"EnableDVDUI", "", ""});
    v.push_back({M, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\AeDebug", L"Auto", "REG_SZ", "1"});
    v.push_back({M, L"SOFTWARE\\Microsoft\\PCHealth\\ErrorReporting", L"DoReport", "REG_DWORD", Hex(0)});
    v.push_back({M, L"SOFTWARE\\Microsoft\\Dfrg\\BootOptimizeFunction", L"Enable", "REG_SZ", "Y"});
    v.push_back({M, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\OptimalLayout", L"EnableAutoLayout", "REG_DWORD", Hex(0)});
    return v;
}

// Everything One-Click may touch, as it was, put back on the way out.
class RegistryBackup
{
public:
    explicit RegistryBackup(const std::vector<Expect>& values)
    {
        for (const Expect& e : values)
        {
            Saved saved{e.hRoot, e.strKey, e.strName, false, 0, {}};
            HKEY hKey = NULL;
            if (::RegOpenKeyExW(e.hRoot, e.strKey.c_str(), 0, KEY_READ, &hKey) == ERROR_SUCCESS)
            {
                DWORD cb = 0;
                if (::RegQueryValueExW(hKey, e.strName.c_str(), NULL, &saved.dwType, NULL, &cb) == ERROR_SUCCESS)
                {
                    saved.data.resize(cb);
                    saved.bExisted = ::RegQueryValueExW(hKey, e.strName.c_str(), NULL, &saved.dwType, saved.data.data(),
                                                        &cb) == ERROR_SUCCESS;
                }
                ::RegCloseKey(hKey);
            }
            m_values.push_back(saved);
            // The first missing key of the path goes again at the end.
            std::wstring strPath;
            for (size_t n = 0; n != std::wstring::npos;)
            {
                size_t nNext = e.strKey.find(L'\\', n);
                strPath = e.strKey.substr(0, nNext);
                HKEY hProbe = NULL;
                if (::RegOpenKeyExW(e.hRoot, strPath.c_str(), 0, KEY_READ, &hProbe) != ERROR_SUCCESS)
                {
                    m_newKeys.insert(std::make_pair(e.hRoot == HKEY_LOCAL_MACHINE ? 1 : 0, strPath));
                    break;
                }
                ::RegCloseKey(hProbe);
                n = nNext == std::wstring::npos ? nNext : nNext + 1;
            }
        }
    }
    ~RegistryBackup()
    {
        for (const Saved& s : m_values)
        {
            HKEY hKey = NULL;
            if (::RegOpenKeyExW(s.hRoot, s.strKey.c_str(), 0, KEY_SET_VALUE, &hKey) != ERROR_SUCCESS)
                continue;
            if (s.bExisted)
                ::RegSetValueExW(hKey, s.strName.c_str(), 0, s.dwType, s.data.data(), (DWORD)s.data.size());
            else
                ::RegDeleteValueW(hKey, s.strName.c_str());
            ::RegCloseKey(hKey);
        }
        for (const auto& key : m_newKeys)
            ::SHDeleteKeyW(key.first ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER, key.second.c_str());
    }

private:
    struct Saved
    {
        HKEY hRoot;
        std::wstring strKey, strName;
        bool bExisted;
        DWORD dwType;
        std::vector<BYTE> data;
    };
    std::vector<Saved> m_values;
    std::set<std::pair<int, std::wstring>> m_newKeys;
};

// "name    REG_TYPE    data" lines of reg query, by lower-cased name.
std::map<std::string, std::pair<std::string, std::string>> ParseQuery(const std::string& strText)
{
    std::map<std::string, std::pair<std::string, std::string>> values;
    size_t nStart = 0;
    while (nStart < strText.size())
    {
        size_t nEnd = strText.find('\n', nStart);
        if (nEnd == std::string::npos)
            nEnd = strText.size();
        std::string strLine = strText.substr(nStart, nEnd - nStart);
        nStart = nEnd + 1;
        if (!strLine.empty() && strLine.back() == '\r')
            strLine.pop_back();
        size_t nType = strLine.find("    REG_");
        if (strLine.compare(0, 4, "    ") != 0 || nType == std::string::npos)
            continue;
        std::string strName = strLine.substr(4, nType - 4);
        std::string strRest = strLine.substr(nType + 4);
        size_t nGap = strRest.find("    ");
        std::string strType = strRest.substr(0, nGap);
        std::string strData = nGap == std::string::npos ? "" : strRest.substr(nGap + 4);
        for (char& ch : strName)
            ch = (char)tolower((unsigned char)ch);
        values[strName] = std::make_pair(strType, strData);
    }
    return values;
}
} // namespace

TEST(OneClickPeers, WinesRegToolReadsEveryValueOfTheDefaults)
{
    if (testsupport::RunHostCommand("command -v wine64") != 0)
        TAMSEL_PEER_MISSING("wine64 is missing on the host");
    HKEY hSet001 = NULL;
    bool bSet001 = ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SYSTEM\\ControlSet001", 0, KEY_READ, &hSet001) == ERROR_SUCCESS;
    if (hSet001 != NULL)
        ::RegCloseKey(hSet001);
    std::vector<Expect> expected = Expected(bSet001);
    std::vector<Expect> defaults = DefaultsExpected(bSet001);
    std::vector<Expect> touchedAll(expected);
    touchedAll.insert(touchedAll.end(), defaults.begin(), defaults.end());
    std::string strUnix = "/tmp/tamsel-optimizer-peer-" + std::to_string(testsupport::ProcessSalt()) + "/";
    testsupport::RunHostCommand("rm -rf '" + strUnix + "' && mkdir -p '" + strUnix + "'");
    std::wstring strWin = testsupport::HostPath(strUnix);
    ASSERT_FALSE(strWin.empty());
    CIniFile::SetHostFolderForTests(strWin.c_str());
    SetOptimizerLanguageFile(EnglishLanguageFile().c_str());

    // The keys as reg exports them before.
    std::set<std::pair<HKEY, std::wstring>> keys;
    for (const Expect& e : expected)
        keys.insert(std::make_pair(e.hRoot, e.strKey));
    // Single backslashes: the command line doubles them and sh's double quotes undo that.
    // Each query is tried up to three times: a wine64 start can fail while the machine is busy.
    auto regPath = [](HKEY hRoot, const std::wstring& strKey) {
        return std::string(hRoot == HKEY_LOCAL_MACHINE ? "HKLM\\" : "HKCU\\") + Narrow(strKey);
    };
    std::string strBefore;
    int nKey = 0;
    for (const auto& key : keys)
        strBefore += "for i in 1 2 3; do wine64 reg query \"" + regPath(key.first, key.second) + "\" > '" + strUnix + "before" +
                     std::to_string(nKey++) + ".txt' 2>/dev/null && break; sleep 1; done; ";
    testsupport::RunHostCommand(strBefore, 300000);

    {
        RegistryBackup backup(touchedAll);
        {
            HostWindow host;
            CSystemOptimizerDlg wizard;
            ASSERT_TRUE(wizard.Create(CSystemOptimizerDlg::IDD, &host));
            COneClickSettingDlg oneClick(&wizard);
            ASSERT_TRUE(oneClick.Create(COneClickSettingDlg::IDD, &wizard));
            testsupport::MessageBoxRecorder recorder;
            oneClick.SendMessage(WM_COMMAND, IDOK, 0);
            EXPECT_EQ(recorder.LastText(), L"One-click Optimization is completed.");
            oneClick.DestroyWindow();
        }
        std::string strAfter;
        nKey = 0;
        for (const auto& key : keys)
            strAfter += "for i in 1 2 3; do wine64 reg query \"" + regPath(key.first, key.second) + "\" > '" + strUnix + "after" +
                        std::to_string(nKey++) + ".txt' 2>/dev/null && break; sleep 1; done; ";
        ASSERT_EQ(testsupport::RunHostCommand(strAfter, 300000), 0);

        // Default on each tab, then the reg tool once more.
        CRegistry reg;
        CNetworkPage().RestoreDefault(reg);
        CDesktopPage().RestoreDefault(reg);
        CDiskCachePage().RestoreDefault(reg);
        CFileSystemPage().RestoreDefault(reg);
        EXPECT_EQ(reg.GetFailureCount(), 0);
        std::string strDefaults;
        int nDefault = 0;
        for (const Expect& e : defaults)
            strDefaults += "for i in 1 2 3; do wine64 reg query \"" + regPath(e.hRoot, e.strKey) + "\" > '" + strUnix + "default" +
                           std::to_string(nDefault++) + ".txt' 2>/dev/null && break; sleep 1; done; ";
        testsupport::RunHostCommand(strDefaults, 600000);
        nDefault = 0;
        for (const Expect& e : defaults)
        {
            auto values = ParseQuery(testsupport::ReadFileBytes(strWin + L"default" + std::to_wstring(nDefault++) + L".txt"));
            std::string strName = Narrow(e.strName);
            for (char& ch : strName)
                ch = (char)tolower((unsigned char)ch);
            if (e.strType.empty())
            {
                EXPECT_EQ(values.count(strName), 0u) << Narrow(e.strKey) << " " << strName << " should be gone";
                continue;
            }
            ASSERT_EQ(values.count(strName), 1u) << Narrow(e.strKey) << " " << strName;
            EXPECT_EQ(values[strName].first, e.strType) << strName;
            std::string strData = values[strName].second;
            if (strName == "userpreferencesmask")
                strData = strData.substr(0, 8);
            EXPECT_EQ(strData, e.strData) << Narrow(e.strKey) << " " << strName;
        }
    }
    CIniFile::SetHostFolderForTests(NULL);

    // Every value reads back as the tables say; nothing else in those keys changed.
    nKey = 0;
    for (const auto& key : keys)
    {
        auto before = ParseQuery(testsupport::ReadFileBytes(strWin + L"before" + std::to_wstring(nKey) + L".txt"));
        auto after = ParseQuery(testsupport::ReadFileBytes(strWin + L"after" + std::to_wstring(nKey) + L".txt"));
        nKey++;
        std::set<std::string> touched;
        for (const Expect& e : expected)
        {
            if (e.hRoot != key.first || CString(e.strKey.c_str()).CompareNoCase(key.second.c_str()) != 0)
                continue;
            std::string strName = Narrow(e.strName);
            for (char& ch : strName)
                ch = (char)tolower((unsigned char)ch);
            touched.insert(strName);
            ASSERT_EQ(after.count(strName), 1u) << Narrow(key.second) << " " << strName;
            EXPECT_EQ(after[strName].first, e.strType) << strName;
            std::string strData = after[strName].second;
            if (e.strType == "REG_BINARY" && strName == "userpreferencesmask")
                strData = strData.substr(0, 8);
            EXPECT_EQ(strData, e.strData) << Narrow(key.second) << " " << strName;
        }
        for (const auto& value : before)
        {
            if (touched.count(value.first))
                continue;
            EXPECT_TRUE(after.count(value.first) && after[value.first] == value.second)
                << Narrow(key.second) << " " << value.first << " changed";
        }
    }
    testsupport::RunHostCommand("rm -rf '" + strUnix + "'");
}
