// Cases of the messengers, Office, media players, file sharing, mail and
// other programs.
#include "privacy/EvidenceCaseBuilder.h"
#include "privacy/EvidenceCaseFolders.h"
#include "privacy/EvidenceProfiles.h"
#include "privacy/FolderGuard.h"
#include "privacy/RegTraceRead.h"
#include <shlobj.h>

namespace {

const wchar_t kOffice[] = L"Software\\Microsoft\\Office\\11.0\\";
const wchar_t kOpenFind[] = L"Software\\Microsoft\\Office\\11.0\\Common\\Open Find\\Microsoft Office ";
const wchar_t kFrontPage[] = L"Software\\Microsoft\\FrontPage\\Explorer\\FrontPage Explorer\\";
const wchar_t kAcdSee[] = L"Software\\ACD Systems\\ACDSee\\50";
const wchar_t kThunderbird[] = L"\\Thunderbird\\";

CString Office(LPCWSTR pszRest)
{
    return CString(kOffice) + pszRest;
}

CString OpenFind(LPCWSTR pszProgram)
{
    return CString(kOpenFind) + pszProgram + L"\\Settings";
}

// <APPDATA><sub folder>, FALSE when the application-data folder is not there.
BOOL AppData(LPCWSTR pszSubFolder, CString& strFolder)
{
    if (!GetCaseAppData(strFolder))
        return FALSE;
    strFolder += pszSubFolder;
    return TRUE;
}

void AddAppDataFiles(CEvidenceCaseBuilder& add, LPCWSTR pszSubFolder, BOOL bKeepFolder = FALSE)
{
    CString strFolder;
    if (AppData(pszSubFolder, strFolder))
        add.EveryFile(strFolder, bKeepFolder);
}

void AddAppDataNames(CEvidenceCaseBuilder& add, LPCWSTR pszSubFolder, std::initializer_list<LPCWSTR> names)
{
    CString strFolder;
    if (AppData(pszSubFolder, strFolder))
        add.Names(strFolder, names);
}

void AddYahooFiles(CEvidenceCaseBuilder& add, LPCWSTR pszSubFolder)
{
    CString strFolder;
    if (GetCaseRegistryFolder(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Yahoo\\Essentials", L"MainDir", strFolder))
        add.EveryFile(strFolder + pszSubFolder);
}

// One folder per passport that keeps message logs.
void AddMessengerLogs(CEvidenceCaseBuilder& add)
{
    const CString strKey = L"Software\\Microsoft\\MSNMessenger\\PerPassportSettings";
    CStringArray arrNames;
    ReadRegSubKeys(HKEY_CURRENT_USER, strKey, arrNames);
    for (INT_PTR i = 0; i < arrNames.GetSize(); ++i)
    {
        CString strText, strFolder;
        if (RegReadValue(HKEY_CURRENT_USER, strKey + L"\\" + arrNames[i], L"MessageLogPath", strText) &&
            MakeCaseFolder(strText, strFolder))
            add.EveryFile(strFolder);
    }
}

void AddTorrentFolder(CEvidenceCaseBuilder& add, LPCWSTR pszSubFolder)
{
    CString strFolder;
    if (!AppData(pszSubFolder, strFolder))
        return;
    add.Names(strFolder, {L"dht.dat", L"dht.dat.old", L"resume.dat.old", L"resume.dat"});
    // No file is named "*.torrent": the torrents are the files of that extension.
    add.Extension(strFolder, L".torrent");
}

BOOL BitCometFolder(CString& strFolder)
{
    return GetCaseRegistryFolder(HKEY_CURRENT_USER, L"Software\\BitComet", L"", strFolder);
}

void AddThunderbirdNames(CEvidenceCaseBuilder& add, LPCWSTR pszSubFolder, std::initializer_list<LPCWSTR> names)
{
    CString strFolder;
    if (GetCaseMozillaFolder(kThunderbird, strFolder))
        add.Names(strFolder + pszSubFolder, names);
}

void AddPocoMailNames(CEvidenceCaseBuilder& add, std::initializer_list<LPCWSTR> names)
{
    CString strFolder;
    if (GetPocoMailPath(3, strFolder))
        add.Names(strFolder, names);
}

// <ApplicationPath>\Identities\<identity>\<sub folder>.
BOOL IncrediMailFolder(LPCWSTR pszSubFolder, CString& strFolder)
{
    CString strApplication, strIdentity;
    if (!GetCaseRegistryFolder(HKEY_CURRENT_USER, L"Software\\IncrediMail", L"ApplicationPath", strApplication) ||
        !ReadRegString(HKEY_CURRENT_USER, L"Software\\IncrediMail\\Identities", L"", strIdentity) ||
        !IsPlainFileName(strIdentity))
        return FALSE;
    strFolder = strApplication + L"Identities\\" + strIdentity + L"\\" + pszSubFolder;
    return TRUE;
}

void AddIncrediMailNames(CEvidenceCaseBuilder& add, std::initializer_list<LPCWSTR> names)
{
    CString strFolder;
    if (IncrediMailFolder(L"Message Store\\", strFolder))
        add.Names(strFolder, names);
}

void AddWindowsMediaDatabase(CEvidenceCaseBuilder& add)
{
    // "...\Microsoft\CD Burning" -> "...\Microsoft\Media Player\"; any other folder names nothing.
    CString strBurn;
    if (!GetCaseShellFolder(CSIDL_CDBURN_AREA, strBurn))
        return;
    const CString strTail = L"\\CD Burning\\";
    if (strBurn.GetLength() <= strTail.GetLength() || strBurn.Right(strTail.GetLength()).CompareNoCase(strTail) != 0)
        return;
    add.Extension(strBurn.Left(strBurn.GetLength() - strTail.GetLength() + 1) + L"Media Player\\", L".wmdb");
}

BOOL ResolveMessengerOrOfficeCase(int nStringId, CEvidenceCaseBuilder& add)
{
    CString strFolder;
    switch (nStringId)
    {
    case 183:
        AddAppDataNames(add, L"\\ICQ\\", {L"Messages.mdb"});
        return TRUE;
    case 184:
        AddAppDataNames(add, L"\\ICQ\\", {L"Application.mdb"});
        return TRUE;
    case 191:
        AddYahooFiles(add, L"Messenger\\cache\\");
        return TRUE;
    case 192:
        AddYahooFiles(add, L"Messenger\\Profiles\\");
        return TRUE;
    case 193:
        AddYahooFiles(add, L"Messenger\\logs\\");
        return TRUE;
    case 205:
        AddMessengerLogs(add);
        return TRUE;
    case 210:
        AddAppDataFiles(add, L"\\Microsoft\\office\\Recent\\");
        return TRUE;
    case 211:
        add.WholeKey(HKEY_CURRENT_USER, Office(L"Common\\Internet\\Server Cache"));
        return TRUE;
    case 213:
        for (LPCWSTR pszList : {L"Recent File List", L"Recent Page List", L"Recent Web List", L"Recently Created Servers"})
            add.WholeKey(HKEY_CURRENT_USER, CString(kFrontPage) + pszList);
        add.Value(HKEY_CURRENT_USER, CString(kFrontPage) + L"Settings", L"LastWebOpen");
        add.WholeKey(HKEY_CURRENT_USER, L"Software\\Microsoft\\FrontPage\\Editor\\Recent Templates");
        return TRUE;
    case 215:
        add.WholeKey(HKEY_CURRENT_USER, OpenFind(L"Word"));
        add.Value(HKEY_CURRENT_USER, Office(L"Word\\Data"), L"Settings");
        return TRUE;
    case 216:
        add.WholeKey(HKEY_CURRENT_USER, OpenFind(L"Access"));
        add.WholeKey(HKEY_CURRENT_USER, Office(L"Access\\Settings"));
        return TRUE;
    case 217:
        add.WholeKey(HKEY_CURRENT_USER, OpenFind(L"Excel"));
        add.WholeKey(HKEY_CURRENT_USER, Office(L"Excel\\Recent Files"));
        return TRUE;
    case 218:
        add.WholeKey(HKEY_CURRENT_USER, Office(L"Visio\\Application"));
        return TRUE;
    case 219:
        add.WholeKey(HKEY_CURRENT_USER, Office(L"PowerPoint\\Recent File List"));
        return TRUE;
    case 220:
        add.WholeKey(HKEY_CURRENT_USER, OpenFind(L"Publisher"));
        add.WholeKey(HKEY_CURRENT_USER, Office(L"Publisher\\Recent File List"));
        return TRUE;
    case 221:
        add.WholeKey(HKEY_CURRENT_USER, OpenFind(L"FrontPage"));
        return TRUE;
    case 222:
        add.WholeKey(HKEY_CURRENT_USER, Office(L"MS Project\\Recent File List"));
        return TRUE;
    case 223:
        add.WholeKey(HKEY_CURRENT_USER, OpenFind(L"InfoPath"));
        add.WholeKey(HKEY_CURRENT_USER, Office(L"InfoPath\\Recent File List"));
        return TRUE;
    case 224:
        add.WholeKey(HKEY_CURRENT_USER, Office(L"Clip Organizer\\Search\\Last Query"));
        return TRUE;
    case 225:
        add.Value(HKEY_CURRENT_USER, Office(L"OIS\\Options"), L"LastTreeConfig");
        add.Value(HKEY_CURRENT_USER, Office(L"OIS\\Options"), L"LastTreeSelection");
        if (GetCaseProfile(strFolder))
            add.EveryFile(strFolder + L"Local Settings\\Application Data\\Microsoft\\OIS\\");
        return TRUE;
    case 226:
        add.WholeKey(HKEY_CURRENT_USER, L"Software\\Microsoft\\Snapshot Viewer\\Recent File List");
        return TRUE;
    case 227:
        add.WholeKey(HKEY_CURRENT_USER, L"Software\\Microsoft\\OfficeProfileWizard\\11.0\\RecentFileList");
        return TRUE;
    default:
        return FALSE;
    }
}

BOOL ResolveMediaOrSharingCase(int nStringId, CEvidenceCaseBuilder& add)
{
    CString strFolder;
    switch (nStringId)
    {
    case 246:
        add.WholeKey(HKEY_CURRENT_USER, L"Software\\Microsoft\\MediaPlayer\\Player\\RecentFileList");
        return TRUE;
    case 247:
        add.WholeKey(HKEY_CURRENT_USER, L"Software\\Microsoft\\MediaPlayer\\Player\\RecentURLList");
        return TRUE;
    case 369:
        AddWindowsMediaDatabase(add);
        return TRUE;
    case 251:
        if (GetCaseProfile(strFolder))
            add.Extension(strFolder + L"Application Data\\Winamp\\", L".bm");
        return TRUE;
    case 252:
        if (GetCaseProfile(strFolder))
            add.EveryFile(strFolder + L"Application Data\\Winamp\\Plugins\\ml\\");
        return TRUE;
    case 256:
        if (AppData(L"\\Real\\RealPlayer\\", strFolder))
        {
            add.Names(strFolder, {L"cookies.txt", L"realplayer.ste"});
            add.EveryFile(strFolder + L"ErrorLogs\\", TRUE);
            add.EveryFile(strFolder + L"History\\", TRUE);
        }
        return TRUE;
    case 258:
        add.WholeKey(HKEY_CURRENT_USER, L"Software\\DivXNetworks\\DivX Player\\RecentFiles");
        return TRUE;
    case 261:
        add.WholeKey(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Apple Computer, Inc.\\QuickTime\\Recent Movies");
        return TRUE;
    case 263:
        AddAppDataFiles(add, L"\\Apple Computer\\QuickTime\\");
        return TRUE;
    case 265:
        AddAppDataFiles(add, L"\\ACD Systems\\ImageDB\\", TRUE);
        return TRUE;
    case 267:
        add.Value(HKEY_CURRENT_USER, kAcdSee, L"HistPaths");
        return TRUE;
    case 268:
        add.Value(HKEY_CURRENT_USER, kAcdSee, L"HistMCFDestFolder");
        return TRUE;
    case 269:
        add.Value(HKEY_CURRENT_USER, kAcdSee, L"OpenFolder");
        return TRUE;
    case 270:
        add.Value(HKEY_CURRENT_USER, kAcdSee, L"HistPaths");
        add.Value(HKEY_CURRENT_USER, kAcdSee, L"HistMCFDestFolder");
        return TRUE;
    case 278:
        AddAppDataFiles(add, L"\\Azureus\\torrents\\", TRUE);
        return TRUE;
    case 279:
        if (AppData(L"\\Azureus\\", strFolder))
        {
            add.Names(strFolder, {L"downloads.config", L"downloads.config.bak", L"tracker.config", L"tracker.config.bak"});
            add.EveryFile(strFolder + L"dht\\", TRUE);
        }
        return TRUE;
    case 281:
        AddAppDataFiles(add, L"\\Azureus\\logs\\", TRUE);
        return TRUE;
    case 283:
    case 289:
        // A user's Downloads folder holds the user's files, not traces.
        return TRUE;
    case 285:
        AddTorrentFolder(add, L"\\BitTorrent\\");
        return TRUE;
    case 288:
        AddTorrentFolder(add, L"\\uTorrent\\");
        return TRUE;
    case 306:
        AddAppDataNames(add, L"\\LimeWire\\", {L"limewire.props", L"installation.props"});
        return TRUE;
    case 308:
        AddAppDataNames(add, L"\\LimeWire\\", {L"fileurns.cache", L"fileurns.bak"});
        return TRUE;
    case 320:
        if (BitCometFolder(strFolder))
            add.Names(strFolder, {L"BitComet.xml"});
        return TRUE;
    case 321:
        if (BitCometFolder(strFolder))
        {
            add.EveryFile(strFolder + L"torrents\\");
            add.Names(strFolder + L"torrents\\", {L"signons.txt"});
        }
        return TRUE;
    case 322:
        if (BitCometFolder(strFolder))
            add.Names(strFolder, {L"Downloads.xml"});
        return TRUE;
    default:
        return FALSE;
    }
}

BOOL ResolveMailOrOtherCase(int nStringId, CEvidenceCaseBuilder& add)
{
    const LPCWSTR pszEudora = L"\\Qualcomm\\Eudora\\";
    CString strFolder;
    switch (nStringId)
    {
    case 337:
        AddThunderbirdNames(add, L"", {L"signons.txt"});
        return TRUE;
    case 338:
        AddThunderbirdNames(add, L"", {L"key3.db"});
        return TRUE;
    case 339:
        AddThunderbirdNames(add, L"Mail\\", {L"Sent.msf"});
        return TRUE;
    case 340:
        AddThunderbirdNames(add, L"Mail\\", {L"Trash.msf"});
        return TRUE;
    case 341:
        AddThunderbirdNames(add, L"Mail\\", {L"Drafts.msf"});
        return TRUE;
    case 342:
        AddThunderbirdNames(add, L"Mail\\", {L"Unsent Messages.msf"});
        return TRUE;
    case 343:
        AddThunderbirdNames(add, L"Mail\\", {L"Inbox.msf"});
        return TRUE;
    case 345:
        AddAppDataNames(add, pszEudora, {L"Trash.mbx", L"Trash.toc"});
        return TRUE;
    case 346:
        AddAppDataNames(add, pszEudora, {L"Out.mbx", L"Out.toc"});
        return TRUE;
    case 347:
        AddAppDataNames(add, pszEudora, {L"History.lst"});
        return TRUE;
    case 348:
        AddAppDataFiles(add, L"\\Qualcomm\\Eudora\\EudPriv\\Ads\\AdCache\\");
        return TRUE;
    case 350:
        AddAppDataNames(add, pszEudora, {L"NNdbase.toc", L"NNdbase.txt"});
        return TRUE;
    case 351:
        AddAppDataNames(add, pszEudora, {L"eudora.log"});
        return TRUE;
    case 352:
        if (GetCaseRegistryFolder(HKEY_CURRENT_USER, L"Software\\Qualcomm\\Eudora\\LaunchManager", L"Path#1", strFolder))
            add.EveryFile(strFolder);
        return TRUE;
    case 354:
        AddAppDataFiles(add, L"\\PocoMail\\Cache\\");
        return TRUE;
    case 355:
        if (GetPocoMailPath(1, strFolder))
            add.EveryFile(strFolder);
        return TRUE;
    case 356:
        AddAppDataNames(add, L"\\PocoMail\\", {L"history.txt"});
        return TRUE;
    case 357:
        AddPocoMailNames(add, {L"Trash.mbx"});
        return TRUE;
    case 358:
        AddPocoMailNames(add, {L"Out.mbx"});
        return TRUE;
    case 359:
        AddPocoMailNames(add, {L"Sent.mbx"});
        return TRUE;
    case 360:
        AddPocoMailNames(add, {L"Draft.mbx"});
        return TRUE;
    case 362:
        if (IncrediMailFolder(L"AddressBook\\", strFolder))
            add.EveryFile(strFolder);
        return TRUE;
    case 363:
        AddIncrediMailNames(add, {L"Deleted Items.imm", L"Deleted Items.imh"});
        return TRUE;
    case 364:
        AddIncrediMailNames(add, {L"Outbox.imm", L"Outbox.imh"});
        return TRUE;
    case 365:
        AddIncrediMailNames(add, {L"Sent Items.imm", L"Sent Items.imh"});
        return TRUE;
    case 366:
        AddIncrediMailNames(add, {L"Drafts.imm", L"Drafts.imh"});
        return TRUE;
    case 370:
        add.WholeKey(HKEY_CURRENT_USER, L"Software\\Adobe\\Acrobat Reader\\9.0\\AVGeneral\\cRecentFiles");
        return TRUE;
    case 372:
        AddAppDataFiles(add, L"\\Macromedia\\Flash Player\\");
        return TRUE;
    case 374:
        if (GetCaseRegistryFolder(HKEY_CURRENT_USER, L"Software\\Google\\Google Desktop", L"data_dir", strFolder))
            add.EveryFile(strFolder);
        return TRUE;
    default:
        return FALSE;
    }
}

} // namespace

BOOL ResolveProgramCase(int nStringId, CEvidenceCaseBuilder& add)
{
    return ResolveMessengerOrOfficeCase(nStringId, add) || ResolveMediaOrSharingCase(nStringId, add) ||
           ResolveMailOrOtherCase(nStringId, add);
}
