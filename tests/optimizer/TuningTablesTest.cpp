// Every option and every Default of the four tuning pages against the values
// the pages must write, in a redirected hive: type, size and bytes, and
// nothing else created.
#include "optimizer/DesktopPage.h"
#include "optimizer/DiskCachePage.h"
#include "optimizer/FileSystemPage.h"
#include "optimizer/NetworkPage.h"
#include "tests/optimizer/OptimizerTestSupport.h"
#include <algorithm>
#include <cwctype>
#include <set>
#include <sddl.h>

using namespace optest;

namespace {

struct Golden
{
    std::wstring strKey;  // "HKCU\...", "HKLM\..." or "SETS\..." for both control sets
    std::wstring strName;
    DWORD dwType;
    std::vector<BYTE> data;
};

Golden Dw(const std::wstring& k, const std::wstring& n, DWORD v) { return {k, n, REG_DWORD, DwordBytes(v)}; }
Golden Sz(const std::wstring& k, const std::wstring& n, const std::wstring& s) { return {k, n, REG_SZ, StringBytes(s)}; }
Golden Bin(const std::wstring& k, const std::wstring& n, std::vector<BYTE> b) { return {k, n, REG_BINARY, b}; }

std::wstring Lower(std::wstring str)
{
    std::transform(str.begin(), str.end(), str.begin(), [](wchar_t ch) { return (wchar_t)std::towlower(ch); });
    return str;
}

// The whole hive that must result: the values, their keys and the planted keys.
RegDump Expected(const std::vector<Golden>& values, bool bControlSet001, const std::vector<std::wstring>& planted)
{
    RegDump dump;
    auto addKeyPath = [&](const std::wstring& strKey) {
        for (size_t n = strKey.find(L'\\'); ; n = strKey.find(L'\\', n + 1))
        {
            dump[Lower(strKey.substr(0, n)) + L"|"] = RegEntry{REG_NONE, {}};
            if (n == std::wstring::npos)
                break;
        }
    };
    dump[L"hklm|"] = RegEntry{REG_NONE, {}};
    dump[L"hkcu|"] = RegEntry{REG_NONE, {}};
    for (const std::wstring& strKey : planted)
        addKeyPath(strKey);
    for (const Golden& value : values)
    {
        std::vector<std::wstring> keys;
        if (value.strKey.compare(0, 5, L"SETS\\") == 0)
        {
            if (bControlSet001)
                keys.push_back(L"HKLM\\SYSTEM\\ControlSet001\\" + value.strKey.substr(5));
            keys.push_back(L"HKLM\\SYSTEM\\CurrentControlSet\\" + value.strKey.substr(5));
        }
        else
            keys.push_back(value.strKey);
        for (const std::wstring& strKey : keys)
        {
            addKeyPath(strKey);
            dump[Lower(strKey + L"|" + value.strName)] = RegEntry{value.dwType, value.data};
        }
    }
    return dump;
}

RegDump Lowered(const RegDump& dump)
{
    RegDump result;
    for (const auto& entry : dump)
        result[Lower(entry.first)] = entry.second;
    return result;
}

const std::wstring kDesk = L"HKCU\\Control Panel\\Desktop";
const std::wstring kMem = L"SETS\\Control\\Session Manager\\Memory Management";
const std::wstring kSrv = L"SETS\\Services\\lanmanserver\\parameters";
const std::wstring kPrio = L"SETS\\Control\\PriorityControl";

std::vector<Golden> DiskCache(UINT nOption)
{
    std::vector<Golden> v = {Sz(kDesk, L"AutoEndTasks", L"1"), Sz(kDesk, L"WaitToKillAppTimeout", L"1000"),
                             Sz(kDesk, L"HungAppTimeout", L"1000"), Dw(kDesk, L"ForegroundLockTimeout", 0)};
    v.push_back(Dw(kMem, L"IoPageLockLimit", nOption == 5072 ? 0 : 134217728));
    v.push_back(Dw(kSrv, L"Size", nOption == 5073 ? 2 : nOption == 5074 ? 3 : 1));
    v.push_back(Dw(kPrio, L"Win32PrioritySeparation", nOption == 5074 ? 24 : 38));
    return v;
}

const std::wstring kClsid = L"HKLM\\SOFTWARE\\Classes\\CLSID\\{00021400-0000-0000-C000-000000000046}";
const std::wstring kExpl = L"HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer";
const std::wstring kMetrics = L"HKCU\\Control Panel\\Desktop\\WindowMetrics";
const std::wstring kPol = L"HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
const std::wstring kExplU = L"HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer";
const std::wstring kLogon = L"HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";

std::vector<Golden> Desktop(bool bPerformance)
{
    if (!bPerformance)
        return {Sz(kClsid, L"MenuShowDelay", L"900"), Sz(kDesk, L"MenuShowDelay", L"400"),
                Sz(kExpl, L"Max Cached Icons", L"2000"), Sz(kMetrics, L"MinAnimate", L"1"),
                Dw(kDesk, L"SmoothScroll", 1), Bin(L"SETS\\Control\\Update\\UpdateMode", L"UpdateMode", {0, 0, 0, 0}),
                Bin(kDesk, L"UserPreferencesMask", {0xBE, 0x3E, 0x07, 0x80}), Sz(kDesk, L"DragFullWindows", L"1"),
                Dw(kExplU, L"DesktopProcess", 1), Dw(kLogon, L"AutoRestartShell", 0)};
    return {Sz(kClsid, L"MenuShowDelay", L"1"), Sz(kDesk, L"MenuShowDelay", L"0"),
            Sz(kExpl, L"Max Cached Icons", L"500"), Sz(kMetrics, L"MinAnimate", L"0"), Dw(kDesk, L"SmoothScroll", 0),
            Bin(L"SETS\\Control\\Update", L"UpdateMode", {1, 0, 0, 0}), Bin(kPol, L"NoStartBanner", {1}),
            Bin(kDesk, L"UserPreferencesMask", {0xB0, 0x32, 0x03, 0x80}), Sz(kDesk, L"DragFullWindows", L"0"),
            Dw(kExplU, L"DesktopProcess", 0), Bin(kPol, L"NoInstrumentation", {1}), Dw(kLogon, L"AutoRestartShell", 1)};
}

const std::wstring kMm = L"HKLM\\SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Memory Management";
const std::wstring kCdfs = L"HKLM\\SYSTEM\\CurrentControlSet\\Control\\FileSystem\\CDFS";
const std::wstring kPlayer = L"HKCU\\Software\\Microsoft\\MediaPlayer\\Player\\Settings";
const std::wstring kAe = L"HKLM\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\AeDebug";
const std::wstring kReport = L"HKLM\\SOFTWARE\\Microsoft\\PCHealth\\ErrorReporting";
const std::wstring kBoot = L"HKLM\\SOFTWARE\\Microsoft\\Dfrg\\BootOptimizeFunction";
const std::wstring kLayout = L"HKLM\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\OptimalLayout";

std::vector<Golden> FileSystem(bool bMultimedia)
{
    std::vector<Golden> v = {Dw(kMm, L"SecondLevelDataCache", 1024), Bin(kCdfs, L"CacheSize", {0x00, 0x08, 0, 0}),
                             Bin(kCdfs, L"Prefetch", {0x79, 0x06, 0, 0}), Bin(kCdfs, L"PrefetchTail", {0x80, 0, 0, 0}),
                             Sz(kPlayer, L"EnableDVDUI", bMultimedia ? L"yes" : L"no"), Sz(kAe, L"Auto", L"0"),
                             Dw(kReport, L"DoReport", 0), Sz(kBoot, L"Enable", L"Y"),
                             Dw(kLayout, L"EnableAutoLayout", 1)};
    if (bMultimedia)
        v.push_back(Dw(L"HKLM\\SYSTEM\\CurrentControlSet\\Control\\FileSystem", L"ContigFileAllocSize", 1024));
    return v;
}

const std::wstring kTcp = L"SETS\\Services\\Tcpip\\Parameters";
const std::wstring kInet = L"HKCU\\Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";

std::vector<Golden> Network(DWORD ttl, DWORD seg, DWORD win, DWORD mtu, bool bTyped)
{
    std::vector<Golden> v = {Dw(kTcp, L"SackOpts", 1),           Dw(kTcp, L"TcpMaxDupAcks", 2),
                             Dw(kTcp, L"EnablePMTUBHDetect", 1), Dw(kTcp, L"EnablePMTUDiscovery", 1),
                             Dw(kTcp, L"Tcp1323Opts", 3),        Dw(kInet, L"MaxConnectionsPer1_0Server", 5),
                             Dw(kInet, L"MaxConnectionsPerServer", 5)};
    if (bTyped)
    {
        v.push_back(Dw(kTcp, L"DefaultTTL", ttl));
        v.push_back(Dw(kTcp, L"TcpRecvSegmentSize", seg));
        v.push_back(Dw(kTcp, L"GlobalMaxTcpWindowSize", win));
        v.push_back(Dw(kTcp, L"TcpWindowSize", win));
        v.push_back(Dw(kTcp + L"\\Interfaces\\{A1}", L"MTU", mtu));
        v.push_back(Dw(kTcp + L"\\Interfaces\\{B2}", L"MTU", mtu));
    }
    return v;
}

class TuningTablesTest : public ::testing::TestWithParam<bool>
{
protected:
    // With ControlSet001 planted (the parameter) or without it, as on Wine.
    void SetUp() override
    {
        m_hive.reset(new RedirectedHive);
        m_bSet001 = GetParam();
        if (m_bSet001)
            Plant(L"HKLM\\SYSTEM\\ControlSet001");
    }
    void Plant(const std::wstring& strKey)
    {
        m_planted.push_back(strKey);
        m_hive->PlantKey(strKey.compare(0, 4, L"HKLM") == 0 ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER,
                         strKey.substr(5));
    }
    void PlantInterfaces()
    {
        for (const wchar_t* pszSet : {L"ControlSet001", L"CurrentControlSet"})
        {
            if (std::wstring(pszSet) == L"ControlSet001" && !m_bSet001)
                continue;
            for (const wchar_t* pszName : {L"{A1}", L"{B2}"})
                Plant(std::wstring(L"HKLM\\SYSTEM\\") + pszSet + L"\\Services\\Tcpip\\Parameters\\Interfaces\\" + pszName);
        }
    }
    void ExpectHive(const std::vector<Golden>& values, const char* pszWhat)
    {
        RegDump expected = Expected(values, m_bSet001, m_planted);
        RegDump actual = Lowered(m_hive->Dump());
        EXPECT_TRUE(actual == expected) << pszWhat << "\nexpected:\n" << Describe(expected) << "actual:\n"
                                        << Describe(actual);
    }
    void Reset()
    {
        m_hive.reset();
        std::vector<std::wstring> planted;
        planted.swap(m_planted);
        m_hive.reset(new RedirectedHive);
        for (const std::wstring& strKey : planted)
            Plant(strKey);
    }

    std::unique_ptr<RedirectedHive> m_hive;
    std::vector<std::wstring> m_planted;
    bool m_bSet001 = false;
};

} // namespace

INSTANTIATE_TEST_SUITE_P(ControlSets, TuningTablesTest, ::testing::Bool());

TEST_P(TuningTablesTest, DiskCacheOptionsAndDefault)
{
    for (UINT nOption = 5071; nOption <= 5075; nOption++)
    {
        Reset();
        CDiskCachePage page;
        CRegistry reg;
        EXPECT_TRUE(page.ApplyOption(nOption, reg));
        EXPECT_EQ(reg.GetFailureCount(), 0);
        ExpectHive(DiskCache(nOption), std::to_string(nOption).c_str());
    }
    Reset();
    CDiskCachePage page;
    CRegistry reg;
    EXPECT_FALSE(page.ApplyOption(5076, reg));
    ExpectHive({}, "an id of another page writes nothing");
    page.RestoreDefault(reg);
    ExpectHive({Sz(kDesk, L"AutoEndTasks", L"0"), Sz(kDesk, L"WaitToKillAppTimeout", L"20000"),
                Sz(kDesk, L"HungAppTimeout", L"5000"), Dw(kDesk, L"ForegroundLockTimeout", 200000),
                Dw(kMem, L"IoPageLockLimit", 0), Dw(kSrv, L"Size", 1), Dw(kPrio, L"Win32PrioritySeparation", 38)},
               "disk cache default");
}

TEST_P(TuningTablesTest, DesktopSchemesAndDefault)
{
    CDesktopPage page;
    CRegistry reg;
    EXPECT_TRUE(page.ApplyOption(5076, reg));
    ExpectHive(Desktop(false), "best appearance");
    Reset();
    EXPECT_TRUE(page.ApplyOption(5077, reg));
    ExpectHive(Desktop(true), "maximum performance");
    // Default after Maximum Performance: the policies go, the shell restarts.
    page.RestoreDefault(reg);
    EXPECT_EQ(reg.GetFailureCount(), 0);
    std::vector<Golden> after = {Sz(kDesk, L"MenuShowDelay", L"400"), Sz(kMetrics, L"MinAnimate", L"1"),
                                 Dw(kDesk, L"SmoothScroll", 1),
                                 Bin(L"SETS\\Control\\Update", L"UpdateMode", {1, 0, 0, 0}),
                                 Bin(L"SETS\\Control\\Update\\UpdateMode", L"UpdateMode", {1, 0, 0, 0}),
                                 Bin(kDesk, L"UserPreferencesMask", {0xBE, 0x3E, 0x07, 0x80}),
                                 Sz(kDesk, L"DragFullWindows", L"1"), Dw(kExplU, L"DesktopProcess", 0),
                                 Dw(kLogon, L"AutoRestartShell", 1)};
    m_planted.push_back(kClsid);
    m_planted.push_back(kExpl);
    m_planted.push_back(kPol);
    ExpectHive(after, "desktop default");
}

TEST_P(TuningTablesTest, UserPreferencesMaskKeepsItsTail)
{
    m_hive->PlantValue(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"UserPreferencesMask", REG_BINARY,
                       {0x9E, 0x3E, 0x07, 0x80, 0x12, 0x01, 0x00, 0x00});
    CDesktopPage page;
    CRegistry reg;
    page.ApplyOption(5077, reg);
    RegDump dump = Lowered(m_hive->Dump());
    EXPECT_EQ(dump[L"hkcu\\control panel\\desktop|userpreferencesmask"].data,
              (std::vector<BYTE>{0xB0, 0x32, 0x03, 0x80, 0x12, 0x01, 0x00, 0x00}));
}

TEST_P(TuningTablesTest, FileSystemSchemesAndDefault)
{
    CFileSystemPage page;
    CRegistry reg;
    EXPECT_TRUE(page.ApplyOption(5078, reg));
    ExpectHive(FileSystem(false), "maximum performance");
    Reset();
    EXPECT_TRUE(page.ApplyOption(5079, reg));
    ExpectHive(FileSystem(true), "best multimedia quality");
    Reset();
    page.RestoreDefault(reg);
    EXPECT_EQ(reg.GetFailureCount(), 0);
    ExpectHive({Dw(kMm, L"SecondLevelDataCache", 0), Sz(kAe, L"Auto", L"1"), Dw(kReport, L"DoReport", 0),
                Sz(kBoot, L"Enable", L"Y"), Dw(kLayout, L"EnableAutoLayout", 0)},
               "file system default");
}

TEST_P(TuningTablesTest, NetworkTypesOthersAndDefault)
{
    const struct
    {
        UINT nOption;
        DWORD ttl, seg, win, mtu;
    } types[] = {{5065, 32, 536, 65392, 576},    {5066, 128, 1460, 256960, 1500}, {5067, 128, 1460, 186880, 1500},
                 {5068, 64, 536, 32767, 576},    {5069, 64, 1452, 255552, 1492},  {5070, 64, 1460, 8192, 1500}};
    for (const auto& type : types)
    {
        Reset();
        PlantInterfaces();
        CNetworkPage page;
        CRegistry reg;
        EXPECT_TRUE(page.ApplyOption(type.nOption, reg));
        ExpectHive(Network(type.ttl, type.seg, type.win, type.mtu, true), std::to_string(type.nOption).c_str());
    }
    // Others (the wizard's seventh choice) writes the common values only.
    Reset();
    PlantInterfaces();
    CRegistry reg;
    CNetworkPage::WriteType(CNetworkPage::TYPE_OTHERS, reg);
    ExpectHive(Network(0, 0, 0, 0, false), "others");

    // Default after PPPoE: DefaultTTL 64, every MTU gone, the browser's values kept.
    CNetworkPage page;
    page.ApplyOption(5069, reg);
    page.RestoreDefault(reg);
    EXPECT_EQ(reg.GetFailureCount(), 0);
    m_planted.push_back(L"HKLM\\SYSTEM\\CurrentControlSet\\Services\\Tcpip\\Parameters");
    ExpectHive({Dw(kTcp, L"DefaultTTL", 64), Dw(kInet, L"MaxConnectionsPer1_0Server", 5),
                Dw(kInet, L"MaxConnectionsPerServer", 5)},
               "network default");
}

TEST_P(TuningTablesTest, WithoutInterfacesTheMtuWalkWritesNothing)
{
    CNetworkPage page;
    CRegistry reg;
    page.ApplyOption(5070, reg);
    EXPECT_EQ(reg.GetFailureCount(), 0);
    RegDump dump = Lowered(m_hive->Dump());
    for (const auto& entry : dump)
        EXPECT_EQ(entry.first.find(L"interfaces"), std::wstring::npos) << CString(entry.first.c_str()).ToUtf8();
}

// Failed writes are counted; a missing value's delete is none.
TEST(CRegistry, CountsFailuresButNotMissingValues)
{
    RedirectedHive hive;
    CRegistry reg;
    EXPECT_TRUE(reg.DeleteValue(HKEY_CURRENT_USER, L"No\\Such\\Key", L"Value"));
    EXPECT_TRUE(reg.DeleteValue(HKEY_CURRENT_USER, L"Software", L"NoSuchValue"));
    EXPECT_EQ(reg.GetFailureCount(), 0);
    EXPECT_EQ(hive.Dump().count(L"HKCU\\No|"), 0u) << "a delete creates nothing";

    // A volatile HKLM refuses lasting subkeys.
    std::wstring strVolatile = L"Software\\TamselTest\\" + testsupport::CurrentTestName() + L"Volatile";
    HKEY hVolatile = NULL;
    ::RegOverridePredefKey(HKEY_LOCAL_MACHINE, NULL);
    ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, strVolatile.c_str(), 0, NULL, REG_OPTION_VOLATILE, KEY_ALL_ACCESS,
                                NULL, &hVolatile, NULL),
              ERROR_SUCCESS);
    ::RegOverridePredefKey(HKEY_LOCAL_MACHINE, hVolatile);
    CDiskCachePage page;
    page.ApplyOption(5071, reg);
    EXPECT_EQ(reg.GetFailureCount(), 3) << "the three machine-wide values";
    ::RegOverridePredefKey(HKEY_LOCAL_MACHINE, NULL);
    ::RegCloseKey(hVolatile);
    ::RegDeleteKeyW(HKEY_CURRENT_USER, strVolatile.c_str());
}

// A key that grants only the setting of values is enough.
TEST(CRegistry, WritesWithTheLeastRights)
{
    RedirectedHive hive;
    hive.PlantKey(HKEY_CURRENT_USER, L"Locked");
    PSECURITY_DESCRIPTOR pSD = NULL;
    ASSERT_TRUE(::ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:P(A;;0x20002;;;WD)", SDDL_REVISION_1, &pSD,
                                                                        NULL));
    HKEY hKey = NULL;
    ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, L"Locked", 0, WRITE_DAC, &hKey), ERROR_SUCCESS);
    EXPECT_EQ(::RegSetKeySecurity(hKey, DACL_SECURITY_INFORMATION, pSD), ERROR_SUCCESS);
    ::RegCloseKey(hKey);
    ::LocalFree(pSD);
    HKEY hAll = NULL;
    ASSERT_NE(::RegOpenKeyExW(HKEY_CURRENT_USER, L"Locked", 0, KEY_ALL_ACCESS, &hAll), ERROR_SUCCESS);

    CRegistry reg;
    EXPECT_TRUE(reg.SetDword(HKEY_CURRENT_USER, L"Locked", L"Number", 7));
    EXPECT_TRUE(reg.SetString(HKEY_CURRENT_USER, L"Locked", L"Text", L"1"));
    EXPECT_TRUE(reg.DeleteValue(HKEY_CURRENT_USER, L"Locked", L"Number"));
    EXPECT_EQ(reg.GetFailureCount(), 0);
}
