// Cases of the browsers: Internet Explorer, Netscape, Opera, Firefox.
#include "privacy/EvidenceCaseBuilder.h"
#include "privacy/EvidenceCaseFolders.h"
#include "privacy/EvidenceProfiles.h"
#include <shlobj.h>

namespace {

const wchar_t kNetscape[] = L"\\Netscape\\Navigator\\";
const wchar_t kFirefox[] = L"\\Mozilla\\Firefox\\";
const wchar_t kIeMain[] = L"Software\\Microsoft\\Internet Explorer\\Main";

void AddShellFolderFiles(CEvidenceCaseBuilder& add, int nCsidl)
{
    CString strFolder;
    if (GetCaseShellFolder(nCsidl, strFolder))
        add.EveryFile(strFolder, TRUE);
}

// <PROFILE>Local Settings\Application Data<product>Profiles\<profile>\Cache\.
void AddMozillaCache(CEvidenceCaseBuilder& add, LPCWSTR pszProduct)
{
    CString strProfile, strAppData, strProfileDir;
    if (!GetCaseProfile(strProfile) || !GetCaseAppData(strAppData) ||
        !GetMozillaProfileDir(strAppData + pszProduct, strProfileDir))
        return;
    add.EveryFile(strProfile + L"Local Settings\\Application Data" + pszProduct + L"Profiles\\" + strProfileDir + L"Cache\\");
}

void AddMozillaNames(CEvidenceCaseBuilder& add, LPCWSTR pszProduct, std::initializer_list<LPCWSTR> names)
{
    CString strFolder;
    if (GetCaseMozillaFolder(pszProduct, strFolder))
        add.Names(strFolder, names);
}

void AddOperaNames(CEvidenceCaseBuilder& add, LPCWSTR pszSubFolder, std::initializer_list<LPCWSTR> names)
{
    CString strAppData;
    if (GetCaseAppData(strAppData))
        add.Names(strAppData + L"\\Opera\\Opera\\profile\\" + pszSubFolder, names);
}

} // namespace

BOOL ResolveBrowserCase(int nStringId, CEvidenceCaseBuilder& add)
{
    CString strFolder;
    switch (nStringId)
    {
    case 129:
        AddShellFolderFiles(add, CSIDL_INTERNET_CACHE);
        return TRUE;
    case 130:
        AddShellFolderFiles(add, CSIDL_HISTORY);
        // The clean clears the URL history before it walks the folder.
        if (add.Traces().GetCount() > 0)
            add.Traces().Last().bClearUrlHistory = TRUE;
        return TRUE;
    case 131:
        AddShellFolderFiles(add, CSIDL_FAVORITES);
        return TRUE;
    case 132:
        AddShellFolderFiles(add, CSIDL_COOKIES);
        return TRUE;
    case 133:
        add.Value(HKEY_CURRENT_USER, kIeMain, L"Start Page");
        return TRUE;
    case 136:
        add.Value(HKEY_CURRENT_USER, L"Software\\Microsoft\\Internet Explorer", L"Download Directory");
        return TRUE;
    case 137:
        add.Value(HKEY_CURRENT_USER, kIeMain, L"Save Directory");
        return TRUE;
    case 138:
        if (GetCaseAppData(strFolder))
            add.Extension(strFolder + L"\\Microsoft\\Internet Explorer\\", L".txt");
        return TRUE;
    case 139:
        add.WholeKey(HKEY_CURRENT_USER, L"Software\\Microsoft\\Internet Explorer\\IntelliForms\\SPW");
        return TRUE;
    case 141:
        add.WholeKey(HKEY_CURRENT_USER, L"Software\\Microsoft\\Internet Explorer\\TypedURLs");
        return TRUE;
    case 143:
        AddMozillaCache(add, kNetscape);
        return TRUE;
    case 144:
        AddMozillaNames(add, kNetscape, {L"history.dat"});
        return TRUE;
    case 145:
        AddMozillaNames(add, kNetscape, {L"formhistory.dat"});
        return TRUE;
    case 146:
        AddMozillaNames(add, kNetscape, {L"cookies.txt", L"webappsstore.sqlite"});
        return TRUE;
    case 147:
        AddMozillaNames(add, kNetscape, {L"history.dat", L"localstore.rdf"});
        return TRUE;
    case 148:
        AddMozillaNames(add, kNetscape, {L"bookmarks.bak", L"bookmarks.html"});
        if (GetCaseMozillaFolder(kNetscape, strFolder))
            add.EveryFile(strFolder + L"bookmarkbackups\\");
        return TRUE;
    case 149:
        AddMozillaNames(add, kNetscape, {L"linkpad.sqlite"});
        return TRUE;
    case 150:
        AddMozillaNames(add, kNetscape, {L"key3.db"});
        return TRUE;
    case 158:
        AddOperaNames(add, L"sessions\\", {L"autosave.win"});
        return TRUE;
    case 159:
        AddOperaNames(add, L"", {L"global.dat", L"vlink4.dat"});
        return TRUE;
    case 160:
        AddOperaNames(add, L"", {L"cookies4.dat"});
        return TRUE;
    case 162:
        AddOperaNames(add, L"", {L"download.dat"});
        return TRUE;
    case 164:
        AddMozillaNames(add, kFirefox, {L"places.sqlite", L"sessionstore.js", L"places.sqlite-journal"});
        return TRUE;
    case 165:
        AddMozillaNames(add, kFirefox, {L"formhistory.sqlite"});
        return TRUE;
    case 166:
        AddMozillaCache(add, kFirefox);
        return TRUE;
    case 167:
        AddMozillaNames(add, kFirefox, {L"downloads.sqlite"});
        return TRUE;
    case 168:
        AddMozillaNames(add, kFirefox, {L"cookies.sqlite", L"webappsstore.sqlite"});
        return TRUE;
    case 169:
        AddMozillaNames(add, kFirefox, {L"key3.db", L"signons3.txt"});
        return TRUE;
    default:
        return FALSE;
    }
}
