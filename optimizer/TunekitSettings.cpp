#include "optimizer/TunekitSettings.h"
#include "optimizer/shared/IniFile.h"
#include <shlwapi.h>

namespace {
// Start types per profile, in the key order "campus", "home", "interner",
// "notebook", "offic", "default": D disabled, A automatic, M on demand.
struct CProfileRow
{
    LPCWSTR pszService;
    const char* pszTypes;
};
const CProfileRow kProfiles[] = {
    {L"Alerter", "DDDDDD"},
    {L"ALG", "AADAAA"},
    {L"AppMgmt", "MMMMMM"},
    {L"AudioSrv", "AAAAAA"},
    {L"BITS", "AAAAAA"},
    {L"Browser", "AAAAAA"},
    {L"CiSvc", "MMMMMM"},
    {L"ClipSrv", "DDDDDD"},
    {L"COMSysApp", "MMMMMM"},
    {L"CryptSvc", "AAAAAA"},
    {L"DcomLaunch", "AAAAAA"},
    {L"Dhcp", "AAAAAA"},
    {L"dmadmin", "MMMMMM"},
    {L"dmserver", "AAAAAA"},
    {L"Dnscache", "AAAAAA"},
    {L"ERSvc", "AAAAAA"},
    {L"Eventlog", "AAAAAA"},
    {L"EventSystem", "AAAAAA"},
    {L"FastUserSwitchingCompatibility", "MMMMMM"},
    {L"helpsvc", "DDDDDA"},
    {L"HidServ", "DDDDDD"},
    {L"HTTPFilter", "MMMMMM"},
    {L"ImapiService", "DDDAAA"},
    {L"lanmanserver", "AAAAAA"},
    {L"lanmanworkstation", "AAAAAA"},
    {L"LmHosts", "AAAAAA"},
    {L"Messenger", "DDDDAA"},
    {L"mnmsrvc", "DDDDDA"},
    {L"MSDTC", "MMMMMM"},
    {L"MSIServer", "MMMMMM"},
    {L"NetDDE", "DDDDDD"},
    {L"NetDDEdsdm", "DDDDDD"},
    {L"Netlogon", "MMMMMM"},
    {L"Netman", "MMMMMM"},
    {L"Nla", "MMMMMM"},
    {L"NtLmSsp", "MMMMMM"},
    {L"NtmsSvc", "MMMMMM"},
    {L"PlugPlay", "AAAAAA"},
    {L"PolicyAgent", "AAAAAA"},
    {L"ProtectedStorage", "AAAAAA"},
    {L"RasAuto", "MMMMMM"},
    {L"Rasman", "MMMMMM"},
    {L"RDSessMgr", "MMMMMM"},
    {L"RemoteAccess", "DDDDDD"},
    {L"RemoteRegistry", "AAAAAA"},
    {L"RpcLocator", "MMMMMM"},
    {L"RpcSs", "AAAAAA"},
    {L"RSVP", "MMMMMM"},
    {L"SamSs", "AAAAAA"},
    {L"SCardSvr", "AAAAAA"},
    {L"Schedule", "AAAAAA"},
    {L"seclogon", "AAAAAA"},
    {L"SENS", "DDDAAA"},
    {L"SharedAccess", "AAAAAA"},
    {L"ShellHWDetection", "DDDDDA"},
    {L"Spooler", "DADAAA"},
    {L"srservice", "AADAAA"},
    {L"SSDPSRV", "DADAAA"},
    {L"stisvc", "MMMMMM"},
    {L"SwPrv", "MMMMMM"},
    {L"SysmonLog", "MMMMMM"},
    {L"TapiSrv", "MMMMMM"},
    {L"TermService", "DDADDA"},
    {L"Themes", "AAAAAA"},
    {L"TlntSvr", "DDDDDD"},
    {L"TrkWks", "AAAAAA"},
    {L"upnphost", "MMMMMM"},
    {L"UPS", "AAAAAA"},
    {L"VSS", "AAAAAA"},
    {L"W32Time", "DDDDDA"},
    {L"WebClient", "AAAAAA"},
    {L"winmgmt", "AAAAAA"},
    {L"WmdmPmSN", "MMMMMM"},
    {L"Wmi", "MMMMMM"},
    {L"WmiApSrv", "MMMMMM"},
    {L"wscsvc", "DDDDDA"},
    {L"wuauserv", "DADAAA"},
    {L"WZCSVC", "DAAAAA"},
    {L"xmlprov", "MMMMMM"},
};
const LPCWSTR kProfileKeys[] = {L"campus", L"home", L"interner", L"notebook", L"offic", L"default"};

LPCWSTR StartTypeWord(char chType)
{
    return chType == 'A' ? L"AUTO" : chType == 'M' ? L"DEMAND" : L"DISABLED";
}
} // namespace

BOOL SettingsFileExists()
{
    return ::PathFileExistsW(CIniFile(TUNEKIT_INI).GetPath());
}

void WriteDefaultSettings()
{
    CIniFile ini(TUNEKIT_INI);
    ini.WriteInt(L"setting", L"nw", 5069);
    ini.WriteInt(L"setting", L"dc", 5071);
    ini.WriteInt(L"setting", L"dt", 5077);
    ini.WriteInt(L"setting", L"fs", 5078);
    for (int n = 0; n < (int)_countof(kProfiles); n++)
    {
        CString strSection;
        strSection.Format(L"ITEM%d", n);
        ini.WriteString(strSection, L"key", kProfiles[n].pszService);
        for (int i = 0; i < 6; i++)
            ini.WriteString(strSection, kProfileKeys[i], StartTypeWord(kProfiles[n].pszTypes[i]));
    }
}
