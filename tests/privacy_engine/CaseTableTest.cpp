#include "EngineTestSupport.h"
#include "EvidenceTestEnvironment.h"
#include "privacy/EvidenceCases.h"
#include "privacy/EvidenceItem.h"
#include "tests/support/TestSupport.h"
#include <gtest/gtest.h>
#include <map>
#include <shlobj.h>

namespace {

const wchar_t kMemory[] = L"SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Memory Management";
const wchar_t kWinlogon[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
const wchar_t kPassports[] = L"Software\\Microsoft\\MSNMessenger\\PerPassportSettings";

std::wstring Describe(const EvidenceTrace& trace)
{
    if (trace.IsRegistry())
        return std::wstring(trace.szRootName) + trace.szPath + L"|" + trace.szName;
    std::wstring strText = std::wstring(trace.szPath) + L"|" + trace.szName + L"|" + std::to_wstring(trace.nMode);
    if (trace.bKeepFolder)
        strText += L"|keep";
    if (trace.bNeverDelete)
        strText += L"|never";
    if (trace.bClearUrlHistory)
        strText += L"|history";
    return strText;
}

std::vector<std::wstring> Resolve(int nId, BOOL* pbHasCase = NULL)
{
    CEvidenceTraceList traces;
    BOOL bHasCase = ResolveEvidenceCase(nId, traces);
    if (pbHasCase != NULL)
        *pbHasCase = bHasCase;
    std::vector<std::wstring> lines;
    for (int i = 0; i < traces.GetCount(); ++i)
        lines.push_back(Describe(traces[i]));
    return lines;
}

std::wstring Replace(std::wstring strText, const std::wstring& strFrom, const std::wstring& strTo)
{
    for (size_t nAt = strText.find(strFrom); nAt != std::wstring::npos; nAt = strText.find(strFrom, nAt + strTo.size()))
        strText.replace(nAt, strFrom.size(), strTo);
    return strText;
}

void WriteIni(const std::wstring& strFile, LPCWSTR pszSection, LPCWSTR pszKey, const std::wstring& strValue)
{
    if (!FileExists(strFile))
        PlantFile(strFile, "");
    ::WritePrivateProfileStringW(pszSection, pszKey, strValue.c_str(), strFile.c_str());
}

// A planted machine: profile folders in a scratch folder, the registry values
// and the other programs' INI files the cases read.
class PlantedMachine
{
public:
    PlantedMachine()
    {
        m_strRoot = m_scratch.Path();
        m_strAppData = m_strRoot + L"AppData";
        m_strProfile = m_strRoot + L"profile\\";
        m_env.m_shellFolders[CSIDL_APPDATA] = m_strAppData;
        m_env.m_shellFolders[CSIDL_PROFILE] = m_strRoot + L"profile";
        m_env.m_shellFolders[CSIDL_RECENT] = m_strRoot + L"Recent";
        m_env.m_shellFolders[CSIDL_INTERNET_CACHE] = m_strRoot + L"Cache\\";
        m_env.m_shellFolders[CSIDL_HISTORY] = m_strRoot + L"History";
        m_env.m_shellFolders[CSIDL_FAVORITES] = m_strRoot + L"Favorites";
        m_env.m_shellFolders[CSIDL_COOKIES] = m_strRoot + L"Cookies";
        m_env.m_shellFolders[CSIDL_CDBURN_AREA] = m_strRoot + L"Local\\Microsoft\\CD Burning";
        m_env.m_shellFolders[CSIDL_PERSONAL] = m_strRoot + L"profile\\Documents";
        m_env.m_strTemp = m_strRoot + L"Temp";
        m_env.m_strWindows = m_strRoot + L"win";
        m_env.m_drives = {L"C:\\", L"D:\\"};

        WriteIni(m_strAppData + L"\\Mozilla\\Firefox\\profiles.ini", L"Profile0", L"Path", L"Profiles/ff.default");
        WriteIni(m_strAppData + L"\\Netscape\\Navigator\\profiles.ini", L"Profile0", L"Path", L"Profiles/ns.default");
        WriteIni(m_strAppData + L"\\Thunderbird\\profiles.ini", L"Profile0", L"Path", L"Profiles/tb.default");
        WriteIni(m_strAppData + L"\\PocoMail\\poco.ini", L"Mail", L"AttachPath", L"Attach");
        WriteIni(m_strAppData + L"\\PocoMail\\poco.ini", L"Program", L"MailPath", L"D:\\Poco\\Mail\\");

        m_reg.SetText(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Yahoo\\Essentials", L"MainDir", L"D:\\Yahoo\\");
        m_reg.SetText(HKEY_CURRENT_USER, std::wstring(kPassports) + L"\\p1", L"MessageLogPath", L"D:\\MSN Logs");
        m_reg.SetText(HKEY_CURRENT_USER, std::wstring(kPassports) + L"\\p2", L"MessageLogPath", L"C:\\");
        m_reg.SetText(HKEY_CURRENT_USER, std::wstring(kPassports) + L"\\p3", L"Other", L"D:\\Other");
        m_reg.SetText(HKEY_CURRENT_USER, L"Software\\BitComet", L"", L"D:\\BitComet");
        m_reg.SetText(HKEY_CURRENT_USER, L"Software\\Qualcomm\\Eudora\\LaunchManager", L"Path#1", L"D:\\Eudora\\Attach");
        m_reg.SetText(HKEY_CURRENT_USER, L"Software\\IncrediMail", L"ApplicationPath", L"D:\\IM");
        m_reg.SetText(HKEY_CURRENT_USER, L"Software\\IncrediMail\\Identities", L"", L"id1");
        m_reg.SetText(HKEY_CURRENT_USER, L"Software\\Google\\Google Desktop", L"data_dir", L"D:\\GDS");
        const wchar_t szPaging[] = L"C:\\pagefile.sys 27 77\0";
        m_reg.SetBytes(HKEY_LOCAL_MACHINE, kMemory, L"PagingFiles", REG_MULTI_SZ, szPaging, sizeof(szPaging));
        m_reg.Remove(HKEY_LOCAL_MACHINE, kWinlogon, L"AutoAdminLogon");
    }

    // The table's shorthand: {R} the scratch root, {A} APPDATA, {P} the profile.
    std::vector<std::wstring> Expand(std::initializer_list<LPCWSTR> lines) const
    {
        std::vector<std::wstring> expanded;
        for (LPCWSTR pszLine : lines)
            expanded.push_back(
                Replace(Replace(Replace(pszLine, L"{R}", m_strRoot), L"{A}", m_strAppData), L"{P}", m_strProfile));
        return expanded;
    }

    testsupport::ScratchFolder m_scratch;
    CTestEvidenceEnvironment m_env;
    CPlantedRegistry m_reg;
    std::wstring m_strRoot, m_strAppData, m_strProfile;
};

} // namespace

// Every case resolved against the planted machine, in the order its traces
// are added; refused folders and cases without traces included.
TEST(CaseTable, EveryCaseResolvesAgainstAPlantedMachine)
{
    PlantedMachine machine;
    const wchar_t* HKCU = L"HKEY_CURRENT_USER\\";
    (void)HKCU;
#define EXPLORER L"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer"
#define OFFICE L"HKEY_CURRENT_USER\\Software\\Microsoft\\Office\\11.0\\"
#define OPENFIND L"HKEY_CURRENT_USER\\Software\\Microsoft\\Office\\11.0\\Common\\Open Find\\Microsoft Office "
#define FRONTPAGE L"HKEY_CURRENT_USER\\Software\\Microsoft\\FrontPage\\Explorer\\FrontPage Explorer\\"
#define ACDSEE L"HKEY_CURRENT_USER\\Software\\ACD Systems\\ACDSee\\50|"
#define FF L"{A}\\Mozilla\\Firefox\\Profiles\\ff.default\\|"
#define NS L"{A}\\Netscape\\Navigator\\Profiles\\ns.default\\|"
#define TB L"{A}\\Thunderbird\\Profiles\\tb.default\\"
#define EUDORA L"{A}\\Qualcomm\\Eudora\\|"
#define IMSTORE L"D:\\IM\\Identities\\id1\\Message Store\\|"
    const std::map<int, std::vector<std::wstring>> table = {
        {104, machine.Expand({EXPLORER L"\\RecentDocs|*.*", L"{R}Recent\\|*.*|10|keep"})},
        {105, machine.Expand({L"HKEY_CURRENT_USER\\Software\\Microsoft\\Search Assistant\\ACMru|*.*"})},
        {106, machine.Expand({L"{R}Temp\\|*.*|10|keep"})},
        {107, machine.Expand({L"C:\\RECYCLER\\|*.*|10|keep", L"C:\\Recycled\\|*.*|10|keep", L"D:\\RECYCLER\\|*.*|10|keep",
                              L"D:\\Recycled\\|*.*|10|keep"})},
        {108, machine.Expand({EXPLORER L"\\UserAssist|*.*"})},
        {109, machine.Expand({EXPLORER L"\\MenuOrder\\Start Menu|*.*", EXPLORER L"\\MenuOrder\\Start Menu2|*.*"})},
        {110, machine.Expand({L"{R}win\\|setupapi.log|12", L"{R}win\\|DirectX.log|12"})},
        {111, machine.Expand({L"C:\\|pagefile.sys|12|never"})},
        {112, machine.Expand({L"{R}win\\temp\\|*.*|10|keep"})},
        {113, machine.Expand({EXPLORER L"\\RunMRU|*.*"})},
        {116, machine.Expand({L"{P}UserData\\|*.*|10|keep"})},
        {118, machine.Expand({L"{R}Local\\Microsoft\\CD Burning\\|*.*|10|keep"})},
        {119, machine.Expand({L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon|DefaultUserName",
                              L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon|AltDefaultUserName",
                              EXPLORER L"|Logon User Name"})},
        {120, machine.Expand({L"{R}win\\Debug\\|*.*|10|keep"})},
        {121, machine.Expand({EXPLORER L"\\ComDlg32|*.*"})},
        {122, machine.Expand({L"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Paint\\Recent File List|*.*"})},
        {123, machine.Expand({EXPLORER L"\\Map Network Drive MRU|*.*"})},
        {125, machine.Expand({L"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Regedit|lastkey"})},
        {126, machine.Expand({L"HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Wordpad\\Recent File List|*.*"})},
        {129, machine.Expand({L"{R}Cache\\|*.*|10|keep"})},
        {130, machine.Expand({L"{R}History\\|*.*|10|keep|history"})},
        {131, machine.Expand({L"{R}Favorites\\|*.*|10|keep"})},
        {132, machine.Expand({L"{R}Cookies\\|*.*|10|keep"})},
        {133, machine.Expand({L"HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Explorer\\Main|Start Page"})},
        {136, machine.Expand({L"HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Explorer|Download Directory"})},
        {137, machine.Expand({L"HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Explorer\\Main|Save Directory"})},
        {138, machine.Expand({L"{A}\\Microsoft\\Internet Explorer\\|.txt|11"})},
        {139, machine.Expand({L"HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Explorer\\IntelliForms\\SPW|*.*"})},
        {141, machine.Expand({L"HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Explorer\\TypedURLs|*.*"})},
        {143, machine.Expand({L"{P}Local Settings\\Application Data\\Netscape\\Navigator\\Profiles\\ns.default\\Cache\\|*.*|10"})},
        {144, machine.Expand({NS L"history.dat|12"})},
        {145, machine.Expand({NS L"formhistory.dat|12"})},
        {146, machine.Expand({NS L"cookies.txt|12", NS L"webappsstore.sqlite|12"})},
        {147, machine.Expand({NS L"history.dat|12", NS L"localstore.rdf|12"})},
        {148, machine.Expand({NS L"bookmarks.bak|12", NS L"bookmarks.html|12",
                              L"{A}\\Netscape\\Navigator\\Profiles\\ns.default\\bookmarkbackups\\|*.*|10"})},
        {149, machine.Expand({NS L"linkpad.sqlite|12"})},
        {150, machine.Expand({NS L"key3.db|12"})},
        {158, machine.Expand({L"{A}\\Opera\\Opera\\profile\\sessions\\|autosave.win|12"})},
        {159, machine.Expand({L"{A}\\Opera\\Opera\\profile\\|global.dat|12", L"{A}\\Opera\\Opera\\profile\\|vlink4.dat|12"})},
        {160, machine.Expand({L"{A}\\Opera\\Opera\\profile\\|cookies4.dat|12"})},
        {162, machine.Expand({L"{A}\\Opera\\Opera\\profile\\|download.dat|12"})},
        {164, machine.Expand({FF L"places.sqlite|12", FF L"sessionstore.js|12", FF L"places.sqlite-journal|12"})},
        {165, machine.Expand({FF L"formhistory.sqlite|12"})},
        {166, machine.Expand({L"{P}Local Settings\\Application Data\\Mozilla\\Firefox\\Profiles\\ff.default\\Cache\\|*.*|10"})},
        {167, machine.Expand({FF L"downloads.sqlite|12"})},
        {168, machine.Expand({FF L"cookies.sqlite|12", FF L"webappsstore.sqlite|12"})},
        {169, machine.Expand({FF L"key3.db|12", FF L"signons3.txt|12"})},
        {183, machine.Expand({L"{A}\\ICQ\\|Messages.mdb|12"})},
        {184, machine.Expand({L"{A}\\ICQ\\|Application.mdb|12"})},
        {191, machine.Expand({L"D:\\Yahoo\\Messenger\\cache\\|*.*|10"})},
        {192, machine.Expand({L"D:\\Yahoo\\Messenger\\Profiles\\|*.*|10"})},
        {193, machine.Expand({L"D:\\Yahoo\\Messenger\\logs\\|*.*|10"})},
        // p2 names the drive root, p3 no log folder.
        {205, machine.Expand({L"D:\\MSN Logs\\|*.*|10"})},
        {210, machine.Expand({L"{A}\\Microsoft\\office\\Recent\\|*.*|10"})},
        {211, machine.Expand({OFFICE L"Common\\Internet\\Server Cache|*.*"})},
        {213, machine.Expand({FRONTPAGE L"Recent File List|*.*", FRONTPAGE L"Recent Page List|*.*", FRONTPAGE L"Recent Web List|*.*",
                              FRONTPAGE L"Recently Created Servers|*.*", FRONTPAGE L"Settings|LastWebOpen",
                              L"HKEY_CURRENT_USER\\Software\\Microsoft\\FrontPage\\Editor\\Recent Templates|*.*"})},
        {215, machine.Expand({OPENFIND L"Word\\Settings|*.*", OFFICE L"Word\\Data|Settings"})},
        {216, machine.Expand({OPENFIND L"Access\\Settings|*.*", OFFICE L"Access\\Settings|*.*"})},
        {217, machine.Expand({OPENFIND L"Excel\\Settings|*.*", OFFICE L"Excel\\Recent Files|*.*"})},
        {218, machine.Expand({OFFICE L"Visio\\Application|*.*"})},
        {219, machine.Expand({OFFICE L"PowerPoint\\Recent File List|*.*"})},
        {220, machine.Expand({OPENFIND L"Publisher\\Settings|*.*", OFFICE L"Publisher\\Recent File List|*.*"})},
        {221, machine.Expand({OPENFIND L"FrontPage\\Settings|*.*"})},
        {222, machine.Expand({OFFICE L"MS Project\\Recent File List|*.*"})},
        {223, machine.Expand({OPENFIND L"InfoPath\\Settings|*.*", OFFICE L"InfoPath\\Recent File List|*.*"})},
        {224, machine.Expand({OFFICE L"Clip Organizer\\Search\\Last Query|*.*"})},
        {225, machine.Expand({OFFICE L"OIS\\Options|LastTreeConfig", OFFICE L"OIS\\Options|LastTreeSelection",
                              L"{P}Local Settings\\Application Data\\Microsoft\\OIS\\|*.*|10"})},
        {226, machine.Expand({L"HKEY_CURRENT_USER\\Software\\Microsoft\\Snapshot Viewer\\Recent File List|*.*"})},
        {227, machine.Expand({L"HKEY_CURRENT_USER\\Software\\Microsoft\\OfficeProfileWizard\\11.0\\RecentFileList|*.*"})},
        {246, machine.Expand({L"HKEY_CURRENT_USER\\Software\\Microsoft\\MediaPlayer\\Player\\RecentFileList|*.*"})},
        {247, machine.Expand({L"HKEY_CURRENT_USER\\Software\\Microsoft\\MediaPlayer\\Player\\RecentURLList|*.*"})},
        {369, machine.Expand({L"{R}Local\\Microsoft\\Media Player\\|.wmdb|11"})},
        {251, machine.Expand({L"{P}Application Data\\Winamp\\|.bm|11"})},
        {252, machine.Expand({L"{P}Application Data\\Winamp\\Plugins\\ml\\|*.*|10"})},
        {256, machine.Expand({L"{A}\\Real\\RealPlayer\\|cookies.txt|12", L"{A}\\Real\\RealPlayer\\|realplayer.ste|12",
                              L"{A}\\Real\\RealPlayer\\ErrorLogs\\|*.*|10|keep", L"{A}\\Real\\RealPlayer\\History\\|*.*|10|keep"})},
        {258, machine.Expand({L"HKEY_CURRENT_USER\\Software\\DivXNetworks\\DivX Player\\RecentFiles|*.*"})},
        {261, machine.Expand({L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Apple Computer, Inc.\\QuickTime\\Recent Movies|*.*"})},
        {263, machine.Expand({L"{A}\\Apple Computer\\QuickTime\\|*.*|10"})},
        {265, machine.Expand({L"{A}\\ACD Systems\\ImageDB\\|*.*|10|keep"})},
        {267, machine.Expand({ACDSEE L"HistPaths"})},
        {268, machine.Expand({ACDSEE L"HistMCFDestFolder"})},
        {269, machine.Expand({ACDSEE L"OpenFolder"})},
        {270, machine.Expand({ACDSEE L"HistPaths", ACDSEE L"HistMCFDestFolder"})},
        {278, machine.Expand({L"{A}\\Azureus\\torrents\\|*.*|10|keep"})},
        {279, machine.Expand({L"{A}\\Azureus\\|downloads.config|12", L"{A}\\Azureus\\|downloads.config.bak|12",
                              L"{A}\\Azureus\\|tracker.config|12", L"{A}\\Azureus\\|tracker.config.bak|12",
                              L"{A}\\Azureus\\dht\\|*.*|10|keep"})},
        {281, machine.Expand({L"{A}\\Azureus\\logs\\|*.*|10|keep"})},
        {283, {}},
        {289, {}},
        {285, machine.Expand({L"{A}\\BitTorrent\\|dht.dat|12", L"{A}\\BitTorrent\\|dht.dat.old|12",
                              L"{A}\\BitTorrent\\|resume.dat.old|12", L"{A}\\BitTorrent\\|resume.dat|12",
                              L"{A}\\BitTorrent\\|.torrent|11"})},
        {288, machine.Expand({L"{A}\\uTorrent\\|dht.dat|12", L"{A}\\uTorrent\\|dht.dat.old|12", L"{A}\\uTorrent\\|resume.dat.old|12",
                              L"{A}\\uTorrent\\|resume.dat|12", L"{A}\\uTorrent\\|.torrent|11"})},
        {306, machine.Expand({L"{A}\\LimeWire\\|limewire.props|12", L"{A}\\LimeWire\\|installation.props|12"})},
        {308, machine.Expand({L"{A}\\LimeWire\\|fileurns.cache|12", L"{A}\\LimeWire\\|fileurns.bak|12"})},
        {320, machine.Expand({L"D:\\BitComet\\|BitComet.xml|12"})},
        {321, machine.Expand({L"D:\\BitComet\\torrents\\|*.*|10", L"D:\\BitComet\\torrents\\|signons.txt|12"})},
        {322, machine.Expand({L"D:\\BitComet\\|Downloads.xml|12"})},
        {337, machine.Expand({TB L"|signons.txt|12"})},
        {338, machine.Expand({TB L"|key3.db|12"})},
        {339, machine.Expand({TB L"Mail\\|Sent.msf|12"})},
        {340, machine.Expand({TB L"Mail\\|Trash.msf|12"})},
        {341, machine.Expand({TB L"Mail\\|Drafts.msf|12"})},
        {342, machine.Expand({TB L"Mail\\|Unsent Messages.msf|12"})},
        {343, machine.Expand({TB L"Mail\\|Inbox.msf|12"})},
        {345, machine.Expand({EUDORA L"Trash.mbx|12", EUDORA L"Trash.toc|12"})},
        {346, machine.Expand({EUDORA L"Out.mbx|12", EUDORA L"Out.toc|12"})},
        {347, machine.Expand({EUDORA L"History.lst|12"})},
        {348, machine.Expand({L"{A}\\Qualcomm\\Eudora\\EudPriv\\Ads\\AdCache\\|*.*|10"})},
        {350, machine.Expand({EUDORA L"NNdbase.toc|12", EUDORA L"NNdbase.txt|12"})},
        {351, machine.Expand({EUDORA L"eudora.log|12"})},
        {352, machine.Expand({L"D:\\Eudora\\Attach\\|*.*|10"})},
        {354, machine.Expand({L"{A}\\PocoMail\\Cache\\|*.*|10"})},
        {355, machine.Expand({L"{A}\\PocoMail\\Attach\\|*.*|10"})},
        {356, machine.Expand({L"{A}\\PocoMail\\|history.txt|12"})},
        {357, machine.Expand({L"D:\\Poco\\Mail\\|Trash.mbx|12"})},
        {358, machine.Expand({L"D:\\Poco\\Mail\\|Out.mbx|12"})},
        {359, machine.Expand({L"D:\\Poco\\Mail\\|Sent.mbx|12"})},
        {360, machine.Expand({L"D:\\Poco\\Mail\\|Draft.mbx|12"})},
        {362, machine.Expand({L"D:\\IM\\Identities\\id1\\AddressBook\\|*.*|10"})},
        {363, machine.Expand({IMSTORE L"Deleted Items.imm|12", IMSTORE L"Deleted Items.imh|12"})},
        {364, machine.Expand({IMSTORE L"Outbox.imm|12", IMSTORE L"Outbox.imh|12"})},
        {365, machine.Expand({IMSTORE L"Sent Items.imm|12", IMSTORE L"Sent Items.imh|12"})},
        {366, machine.Expand({IMSTORE L"Drafts.imm|12", IMSTORE L"Drafts.imh|12"})},
        {370, machine.Expand({L"HKEY_CURRENT_USER\\Software\\Adobe\\Acrobat Reader\\9.0\\AVGeneral\\cRecentFiles|*.*"})},
        {372, machine.Expand({L"{A}\\Macromedia\\Flash Player\\|*.*|10"})},
        {374, machine.Expand({L"D:\\GDS\\|*.*|10"})},
    };
    for (const auto& entry : table)
    {
        BOOL bHasCase = FALSE;
        std::vector<std::wstring> actual = Resolve(entry.first, &bHasCase);
        EXPECT_TRUE(bHasCase) << entry.first;
        EXPECT_EQ(actual, entry.second) << "item " << entry.first;
    }
    // Every other id has no case.
    for (int nId = 100; nId <= 380; ++nId)
    {
        if (table.count(nId) != 0)
            continue;
        BOOL bHasCase = TRUE;
        EXPECT_TRUE(Resolve(nId, &bHasCase).empty()) << nId;
        EXPECT_FALSE(bHasCase) << nId;
    }
}

// Registry-given folders that are empty, drive-relative or a drive root, cut
// or odd profile names, and missing folders give no trace at all.
TEST(CaseTable, UnfitPathsGiveNoTrace)
{
    PlantedMachine machine;
    for (LPCWSTR pszBad : {L"", L"C:", L"C:\\", L"\\", L"Yahoo", L"D:\\a\\..\\..\\"})
    {
        machine.m_reg.SetText(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Yahoo\\Essentials", L"MainDir", pszBad);
        machine.m_reg.SetText(HKEY_CURRENT_USER, std::wstring(kPassports) + L"\\p1", L"MessageLogPath", pszBad);
        machine.m_reg.SetText(HKEY_CURRENT_USER, L"Software\\BitComet", L"", pszBad);
        machine.m_reg.SetText(HKEY_CURRENT_USER, L"Software\\Qualcomm\\Eudora\\LaunchManager", L"Path#1", pszBad);
        machine.m_reg.SetText(HKEY_CURRENT_USER, L"Software\\IncrediMail", L"ApplicationPath", pszBad);
        machine.m_reg.SetText(HKEY_CURRENT_USER, L"Software\\Google\\Google Desktop", L"data_dir", pszBad);
        machine.m_env.m_strTemp = pszBad;
        for (int nId : {106, 191, 192, 193, 205, 320, 321, 322, 352, 362, 363, 364, 365, 366, 374})
            EXPECT_TRUE(Resolve(nId).empty()) << nId << " with " << Narrow(pszBad);
    }
    // PocoMail's relative values lie below its folder; these lead elsewhere.
    for (LPCWSTR pszBad : {L"C:", L"C:\\", L"D:\\a\\..\\..\\", L"..\\..\\"})
    {
        WriteIni(machine.m_strAppData + L"\\PocoMail\\poco.ini", L"Mail", L"AttachPath", pszBad);
        WriteIni(machine.m_strAppData + L"\\PocoMail\\poco.ini", L"Program", L"MailPath", pszBad);
        for (int nId : {355, 357, 358, 359, 360})
            EXPECT_TRUE(Resolve(nId).empty()) << nId << " with " << Narrow(pszBad);
    }
    // TEMP unset.
    machine.m_env.m_strTemp.clear();
    EXPECT_TRUE(Resolve(106).empty());
    // An identity that is no plain folder name.
    machine.m_reg.SetText(HKEY_CURRENT_USER, L"Software\\IncrediMail", L"ApplicationPath", L"D:\\IM");
    machine.m_reg.SetText(HKEY_CURRENT_USER, L"Software\\IncrediMail\\Identities", L"", L"..\\..");
    EXPECT_TRUE(Resolve(363).empty());
    // A value of another type is missing.
    DWORD dwNumber = 0x003A0044;
    machine.m_reg.SetBytes(HKEY_CURRENT_USER, L"Software\\Google\\Google Desktop", L"data_dir", REG_DWORD, &dwNumber, 4);
    EXPECT_TRUE(Resolve(374).empty());

    // Mozilla: no slash, nothing after it, a way out, or a value cut short.
    const std::wstring strIni = machine.m_strAppData + L"\\Mozilla\\Firefox\\profiles.ini";
    for (const std::wstring& strPath : {std::wstring(L"ff.default"), std::wstring(L"Profiles/"), std::wstring(L"Profiles/.."),
                                        std::wstring(L"Profiles/a/b"), L"Profiles/" + std::wstring(400, L'x')})
    {
        WriteIni(strIni, L"Profile0", L"Path", strPath);
        EXPECT_TRUE(Resolve(164).empty()) << Narrow(strPath);
        EXPECT_TRUE(Resolve(166).empty()) << Narrow(strPath);
    }
    ::DeleteFileW(strIni.c_str());
    EXPECT_TRUE(Resolve(169).empty());

    // Media Player's folder only beside "\CD Burning".
    machine.m_env.m_shellFolders[CSIDL_CDBURN_AREA] = machine.m_strRoot + L"Local\\Microsoft\\Burn";
    EXPECT_TRUE(Resolve(369).empty());
    EXPECT_EQ(Resolve(118).size(), 1u);
    machine.m_env.m_shellFolders.erase(CSIDL_CDBURN_AREA);
    EXPECT_TRUE(Resolve(118).empty());

    // A folder too long for the trace gives none (cut, it would name a parent).
    machine.m_env.m_shellFolders[CSIDL_APPDATA] = machine.m_strRoot + std::wstring(230, L'a');
    EXPECT_TRUE(Resolve(138).empty());
    EXPECT_TRUE(Resolve(372).empty());
    // Without a profile folder the profile cases add nothing.
    machine.m_env.m_shellFolders.erase(CSIDL_PROFILE);
    EXPECT_TRUE(Resolve(116).empty());
    EXPECT_TRUE(Resolve(252).empty());
    // A shell folder that is a protected one is refused.
    machine.m_env.m_shellFolders[CSIDL_PROFILE] = machine.m_strRoot + L"profile";
    machine.m_env.m_shellFolders[CSIDL_RECENT] = machine.m_strRoot + L"profile";
    EXPECT_EQ(Resolve(104).size(), 1u);

    // The paging file needs a folder; the automatic logon keeps its user.
    machine.m_reg.SetText(HKEY_LOCAL_MACHINE, kMemory, L"PagingFiles", L"pagefile.sys 27 77");
    EXPECT_TRUE(Resolve(111).empty());
    machine.m_reg.SetText(HKEY_LOCAL_MACHINE, kWinlogon, L"AutoAdminLogon", L"1");
    std::vector<std::wstring> logon = Resolve(119);
    ASSERT_EQ(logon.size(), 2u);
    EXPECT_EQ(logon[0].find(L"DefaultUserName"), logon[0].size() - 15);
    EXPECT_NE(logon[0].find(L"AltDefaultUserName"), std::wstring::npos);
    machine.m_reg.SetText(HKEY_LOCAL_MACHINE, kWinlogon, L"AutoAdminLogon", L"0");
    EXPECT_EQ(Resolve(119).size(), 3u);
}

// An item holds at most 26 traces; collecting again starts afresh.
TEST(CaseTable, AnItemHoldsAtMostTwentySixTraces)
{
    PlantedMachine machine;
    machine.m_env.m_drives.clear();
    for (wchar_t chDrive = L'C'; chDrive <= L'Z'; ++chDrive)
        machine.m_env.m_drives.push_back(std::wstring(1, chDrive) + L":\\");
    CEvidenceItem item;
    item.m_nStringID = 107;
    EXPECT_EQ(CollectEvidenceTraces(&item), 26);
    machine.m_env.m_drives = {L"C:\\"};
    EXPECT_EQ(CollectEvidenceTraces(&item), 2);
    machine.m_env.m_drives.clear();
    EXPECT_EQ(CollectEvidenceTraces(&item), 0);
    item.m_nStringID = 114;
    EXPECT_EQ(CollectEvidenceTraces(&item), 0);
    // By hand: a path too long for the record is refused, not cut.
    EXPECT_TRUE(AddEvidenceTrace(&item, HKEY_CURRENT_USER, L"Software\\A\\B", L"v", 0));
    EXPECT_STREQ(item.m_pTraces[0]->szRootName, L"HKEY_CURRENT_USER\\");
    EXPECT_FALSE(AddEvidenceTrace(&item, NULL, (L"C:\\" + std::wstring(258, L'a') + L"\\").c_str(), L"*.*", 10));
    EXPECT_EQ(item.m_nTraceCount, 1);
}

// The item's road as the page's workers take it, for the temporary folder:
// the rows, then the clean, which leaves TEMP itself in place.
TEST(CaseTable, TemporaryFolderListedAndCleanedButKept)
{
    PlantedMachine machine;
    const std::wstring strTemp = machine.m_strRoot + L"Temp\\";
    PlantFile(strTemp + L"a.tmp");
    PlantFile(strTemp + L"sub\\b.tmp");
    CEvidenceItem item;
    item.m_nStringID = 106;
    ASSERT_EQ(CollectEvidenceTraces(&item), 1);
    struct Sink : CRecordingSink
    {
        void OnItemStart(CEvidenceItem*) override { ++m_nStarts; }
        void OnItemEnd(CEvidenceItem*, int nFound) override { m_nEndFound = nFound; }
        int m_nStarts = 0;
        int m_nEndFound = -1;
    } sink;
    EXPECT_EQ(ListEvidenceItem(&item, sink), 2);
    EXPECT_EQ(sink.m_nStarts, 1);
    EXPECT_EQ(sink.m_nEndFound, 2);
    CCountingReport report;
    CleanEvidenceItem(&item, &report);
    EXPECT_EQ(report.m_nDeleted, 2);
    EXPECT_FALSE(FolderExists(strTemp + L"sub"));
    EXPECT_TRUE(FolderExists(strTemp));
}

// The Windows log files: the two names directly in the Windows folder; the
// walk neither goes below it nor removes its empty folders.
TEST(CaseTable, WindowsLogFilesStayInTheWindowsFolder)
{
    PlantedMachine machine;
    const std::wstring strWin = machine.m_strRoot + L"win\\";
    PlantFile(strWin + L"setupapi.log");
    PlantFile(strWin + L"DirectX.log");
    PlantFile(strWin + L"inf\\setupapi.log");
    PlantFile(strWin + L"directx.log.1");
    ::CreateDirectoryW((strWin + L"empty").c_str(), NULL);
    CEvidenceItem item;
    item.m_nStringID = 110;
    ASSERT_EQ(CollectEvidenceTraces(&item), 2);
    CRecordingSink sink;
    EXPECT_EQ(ListEvidenceItem(&item, sink), 2);
    std::set<std::string> expected;
    std::string strUnix = UnixPathOf(strWin);
    if (!HostLines("find '" + strUnix + "' -maxdepth 1 -name setupapi.log; find '" + strUnix +
                       "' -maxdepth 1 -name DirectX.log",
                   expected))
        TAMSEL_PEER_MISSING("no host shell for find");
    std::set<std::string> ours;
    for (const EvidenceRow& row : sink.m_rows)
        ours.insert(strUnix + "/" + Narrow(row.strName.GetString()));
    EXPECT_EQ(ours, expected);
    CCountingReport report;
    CleanEvidenceItem(&item, &report);
    EXPECT_EQ(report.m_nDeleted, 2);
    EXPECT_TRUE(FileExists(strWin + L"inf\\setupapi.log"));
    EXPECT_TRUE(FileExists(strWin + L"directx.log.1"));
    EXPECT_TRUE(FolderExists(strWin + L"empty"));
}

// The downloads items stay empty: a user's Downloads are not traces.
TEST(CaseTable, DownloadsFoldersAreNeverTraces)
{
    PlantedMachine machine;
    PlantFile(machine.m_strProfile + L"Documents\\Downloads\\mine.iso");
    for (int nId : {283, 289})
    {
        CEvidenceItem item;
        item.m_nStringID = nId;
        EXPECT_EQ(CollectEvidenceTraces(&item), 0);
        CRecordingSink sink;
        EXPECT_EQ(ListEvidenceItem(&item, sink), 0);
        CleanEvidenceItem(&item, NULL);
    }
    EXPECT_TRUE(FileExists(machine.m_strProfile + L"Documents\\Downloads\\mine.iso"));
}

// The paging file is listed where the registry says, and never deleted: each
// clean counts it undeleted.
TEST(CaseTable, PagingFileIsNeverDeleted)
{
    PlantedMachine machine;
    const std::wstring strFile = machine.m_strRoot + L"pagefile.sys";
    PlantFile(strFile);
    std::wstring strValue = strFile + L" 27 77";
    strValue.push_back(L'\0');
    machine.m_reg.SetBytes(HKEY_LOCAL_MACHINE, kMemory, L"PagingFiles", REG_MULTI_SZ, strValue.c_str(),
                           (DWORD)((strValue.size() + 1) * sizeof(wchar_t)));
    CEvidenceItem item;
    item.m_nStringID = 111;
    ASSERT_EQ(CollectEvidenceTraces(&item), 1);
    CRecordingSink sink;
    EXPECT_EQ(ListEvidenceItem(&item, sink), 1);
    ClearPendingRenames();
    for (int nRun = 1; nRun <= 2; ++nRun)
    {
        CCountingReport report;
        CleanEvidenceItem(&item, &report);
        EXPECT_EQ(report.m_nDeleted, 0);
        EXPECT_EQ(report.m_nUndeleted, 1);
    }
    EXPECT_TRUE(FileExists(strFile));
    EXPECT_TRUE(PendingRenames().empty());
}
