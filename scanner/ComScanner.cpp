#include "scanner/Scanners.h"
#include "scanner/ClassKeyLists.h"
#include "scanner/CommandLine.h"
#include "scanner/KeyWalk.h"
#include "scanner/ProblemRecorder.h"

namespace {

const int COM_CATEGORY = 1;

// Every problem names the view its key was read in (the key's GetView), so
// that backup, repair and restore act there and nowhere else.
void RecordCom(CScanContext& scan, const CKeyReader& key, const CString& strKey, BOOL bValue,
               const CString& strValueName, const CString& strData, const CString& strDescription)
{
    CFoundProblem found;
    found.hRoot = HKEY_CLASSES_ROOT;
    found.samView = key.GetView();
    found.strKey = strKey;
    found.bValue = bValue;
    found.strValueName = strValueName;
    found.strData = strData;
    found.strDescription = strDescription;
    RecordProblem(scan, COM_CATEGORY, found);
}

// The default value of a server key, or "ERR" when the key or the value is absent.
CString ReadServerCommand(const CKeyReader& classKey, LPCWSTR pszServer, CString& strKey)
{
    CKeyReader server;
    strKey = classKey.GetPath() + L"\\" + pszServer;
    if (server.OpenChild(classKey, pszServer) != ERROR_SUCCESS || !server.HasValue(L""))
        return L"ERR";
    return server.ReadString(L"", L"ERR");
}

// A local server is a command line; an empty one starts nothing.
BOOL LocalServerExists(CScanContext& scan, const CString& strCommand, PathView view)
{
    CString strTrimmed = strCommand;
    strTrimmed.Trim();
    if (strTrimmed.IsEmpty())
        return FALSE;
    CCommandProgram program = FindCommandProgram(strTrimmed, scan.m_pathTest, view);
    return !program.bTestable || program.bExists;
}

void CheckClass(CScanContext& scan, const CKeyReader& classKey, const CClassKeyList& appIds,
                const CClassKeyList& typeLibs, PathView view)
{
    const CString& strKey = classKey.GetPath();
    if (appIds.IsUsable())
    {
        CString strAppId = classKey.ReadString(L"AppID", L"ERR");
        if (strAppId != L"ERR" && !appIds.Contains(strAppId))
            RecordCom(scan, classKey, strKey, TRUE, classKey.GetValueNameAsStored(L"AppID"), strAppId,
                      scan.m_strDescriptions[1]);
    }

    CString strServerKey;
    CString strCommand = ReadServerCommand(classKey, L"InprocServer32", strServerKey);
    if (strCommand != L"ERR" && !scan.m_pathTest.FileExists(strCommand, view))
        RecordCom(scan, classKey, strServerKey, TRUE, CString(), strCommand, scan.m_strDescriptions[13]);

    strCommand = ReadServerCommand(classKey, L"LocalServer32", strServerKey);
    if (strCommand != L"ERR" && !LocalServerExists(scan, strCommand, view))
        RecordCom(scan, classKey, strServerKey, TRUE, CString(), strCommand, scan.m_strDescriptions[13]);

    CKeyReader typeLib;
    if (typeLib.OpenChild(classKey, L"TypeLib") == ERROR_SUCCESS)
    {
        DWORD nValues = 0;
        if (typeLib.GetCounts(NULL, &nValues) == ERROR_SUCCESS && nValues == 0)
            RecordCom(scan, typeLib, typeLib.GetPath(), FALSE, CString(), CString(), scan.m_strDescriptions[12]);
        else if (typeLibs.IsUsable() && typeLib.HasValue(L""))
        {
            CString strLibrary = typeLib.ReadString(L"", L"ERR");
            if (strLibrary != L"ERR" && !typeLibs.Contains(strLibrary))
                RecordCom(scan, typeLib, typeLib.GetPath(), FALSE, CString(), strLibrary, scan.m_strDescriptions[12]);
        }
    }
}

// The classes of one view, checked against the AppID and TypeLib keys of
// that view (the same keys where the views share them). FALSE when the
// scan was stopped.
BOOL WalkClasses(CScanContext& scan, const CKeyReader& classes)
{
    if (!classes.IsOpen())
        return TRUE;
    CClassKeyList typeLibs, appIds;
    typeLibs.FillFromKey(HKEY_CLASSES_ROOT, L"TypeLib", classes.GetView());
    appIds.FillFromKey(HKEY_CLASSES_ROOT, L"AppID", classes.GetView());
    // Servers are judged as a program of the classes' own view finds them.
    PathView view = scan.m_pathTest.ViewOfKey(classes);
    return WalkEntries(scan, classes, [&](const CKeyReader& classKey, const CString&) {
        CheckClass(scan, classKey, appIds, typeLibs, view);
        return TRUE;
    });
}

BOOL IsEmptyOfValues(const CKeyReader& key)
{
    DWORD nValues = 0;
    return key.GetCounts(NULL, &nValues) == ERROR_SUCCESS && nValues == 0;
}

void CheckVersion(CScanContext& scan, const CKeyReader& version)
{
    CStringArray arrNames;
    version.GetSubKeyNames(arrNames);
    for (int i = 0; i < arrNames.GetSize(); i++)
    {
        if (scan.IsStopped())
            return;
        CKeyReader locale, win32;
        if (locale.OpenChild(version, arrNames[i]) != ERROR_SUCCESS ||
            win32.OpenChild(locale, L"win32") != ERROR_SUCCESS || !IsEmptyOfValues(win32))
            continue;
        RecordCom(scan, win32, win32.GetPath(), FALSE, CString(), CString(), L"Empty win32 key");
        // The locale key goes only when the empty win32 key is all it holds:
        // a win64 key beside it is valid.
        DWORD nSubKeys = 0, nValues = 0;
        if (locale.GetCounts(&nSubKeys, &nValues) == ERROR_SUCCESS && nSubKeys == 1 && nValues == 0)
            RecordCom(scan, locale, locale.GetPath(), FALSE, CString(), CString(), scan.m_strDescriptions[2]);
    }
    static const LPCWSTR s_pszEmptyKeys[] = {L"FLAGS", L"HELPDIR"};
    for (LPCWSTR pszName : s_pszEmptyKeys)
    {
        CKeyReader key;
        if (key.OpenChild(version, pszName) == ERROR_SUCCESS && IsEmptyOfValues(key))
            RecordCom(scan, key, key.GetPath(), FALSE, CString(), CString(), scan.m_strDescriptions[2]);
    }
}

BOOL WalkTypeLibraries(CScanContext& scan, const CKeyReader& libraries)
{
    return WalkEntries(scan, libraries, [&](const CKeyReader& library, const CString&) {
        CStringArray arrVersions;
        library.GetSubKeyNames(arrVersions);
        for (int j = 0; j < arrVersions.GetSize(); j++)
        {
            if (scan.IsStopped())
                return FALSE;
            CKeyReader version;
            if (version.OpenChild(library, arrVersions[j]) == ERROR_SUCCESS)
                CheckVersion(scan, version);
        }
        return TRUE;
    });
}

BOOL WalkInterfaces(CScanContext& scan, const CKeyReader& interfaces)
{
    const CClassKeyList& clsids = ClassKeyLists().m_clsids;
    CStringArray arrProxies;
    interfaces.GetSubKeyNames(arrProxies);
    for (int i = 0; i < arrProxies.GetSize(); i++)
        arrProxies[i] += L"\\ProxyStubClsid32";
    return WalkEntries(scan, interfaces, arrProxies, [&](const CKeyReader& proxy, const CString&) {
        if (!clsids.IsUsable() || !proxy.HasValue(L""))
            return TRUE;
        CString strClsid = proxy.ReadString(L"", L"ERR");
        if (strClsid != L"ERR" && !IsListedClsid(strClsid))
            RecordCom(scan, proxy, proxy.GetPath(), FALSE, CString(), strClsid, scan.m_strDescriptions[14]);
        return TRUE;
    });
}

// HKEY_CLASSES_ROOT\strPath in the process's own view, and in the other
// view when that view keeps a key of its own there (CLSID and Interface on
// 64-bit Windows; AppID and TypeLib are shared, so they are read once).
void OpenInBothViews(const CString& strPath, CKeyReader& own, CKeyReader& other)
{
    own.Open(HKEY_CLASSES_ROOT, strPath);
    other.OpenOtherView(HKEY_CLASSES_ROOT, strPath, own);
}

}  // namespace

void ScanComObjects(CScanContext& scan)
{
    if (!BeginCategory(scan, COM_CATEGORY))
        return;
    CKeyReader classes[2];
    OpenInBothViews(L"CLSID", classes[0], classes[1]);
    if (!WalkClasses(scan, classes[0]) || !WalkClasses(scan, classes[1]))
        return;
    CKeyReader libraries[2];
    OpenInBothViews(L"TypeLib", libraries[0], libraries[1]);
    if (!WalkTypeLibraries(scan, libraries[0]) || !WalkTypeLibraries(scan, libraries[1]))
        return;
    // A proxy/stub class may be registered in either view.
    FillClsidList(CKeyReader::OtherView() != 0);
    CKeyReader interfaces[2];
    OpenInBothViews(L"Interface", interfaces[0], interfaces[1]);
    if (!WalkInterfaces(scan, interfaces[0]) || !WalkInterfaces(scan, interfaces[1]))
        return;
    EndCategory(scan, COM_CATEGORY);
}
