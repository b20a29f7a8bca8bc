// Cases of the Windows entries group.
#include "privacy/EvidenceCaseBuilder.h"
#include "privacy/EvidenceCaseFolders.h"
#include "privacy/EvidenceEnvironment.h"
#include "privacy/FolderGuard.h"
#include "privacy/RegTraceRead.h"
#include <shlobj.h>

namespace {

const wchar_t kExplorer[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer";
const wchar_t kWinlogon[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";

CString ExplorerKey(LPCWSTR pszSubKey)
{
    return CString(kExplorer) + L"\\" + pszSubKey;
}

void AddWindowsFolder(CEvidenceCaseBuilder& add, LPCWSTR pszSubFolder)
{
    CString strWindows, strFolder;
    if (EvidenceEnvironment().GetWindowsFolder(strWindows) && MakeCaseFolder(strWindows + pszSubFolder, strFolder))
        add.EveryFile(strFolder, TRUE);
}

// The paging file: "C:\pagefile.sys 27 77" names the folder C:\ and the file.
void AddPagingFile(CEvidenceCaseBuilder& add)
{
    CString strValue;
    if (!ReadRegFirstString(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Memory Management",
                            L"PagingFiles", strValue))
        return;
    int nBlank = strValue.Find(L' ');
    CString strFile = nBlank >= 0 ? strValue.Left(nBlank) : strValue;
    int nSlash = strFile.ReverseFind(L'\\');
    if (nSlash < 0)
        return;
    EvidenceTrace trace;
    if (!FillEvidenceTrace(trace, NULL, strFile.Left(nSlash + 1), strFile.Mid(nSlash + 1), EVIDENCE_MODE_NAME))
        return;
    trace.bNeverDelete = TRUE;
    if (IsFolderTraceAllowed(trace))
        add.Traces().Add(trace);
}

void AddRecycleBins(CEvidenceCaseBuilder& add)
{
    CStringArray arrRoots;
    EvidenceEnvironment().GetFixedDriveRoots(arrRoots);
    for (INT_PTR i = 0; i < arrRoots.GetSize(); ++i)
    {
        CString strRoot = arrRoots[i];
        if (!IsRootTraceFolder(strRoot))
            continue;
        add.EveryFile(strRoot + L"RECYCLER\\", TRUE);
        add.EveryFile(strRoot + L"Recycled\\", TRUE);
    }
}

// An automatic logon needs the user name it logs on with.
BOOL IsAutoLogonOn()
{
    CString strValue;
    return ReadRegString(HKEY_LOCAL_MACHINE, kWinlogon, L"AutoAdminLogon", strValue) && strValue == L"1";
}

} // namespace

BOOL ResolveWindowsCase(int nStringId, CEvidenceCaseBuilder& add)
{
    CString strFolder;
    switch (nStringId)
    {
    case 104:
        add.WholeKey(HKEY_CURRENT_USER, ExplorerKey(L"RecentDocs"));
        if (GetCaseShellFolder(CSIDL_RECENT, strFolder))
            add.EveryFile(strFolder, TRUE);
        return TRUE;
    case 105:
        add.WholeKey(HKEY_CURRENT_USER, L"Software\\Microsoft\\Search Assistant\\ACMru");
        return TRUE;
    case 106:
        if (EvidenceEnvironment().GetTempFolder(strFolder) && MakeCaseFolder(strFolder, strFolder))
            add.EveryFile(strFolder, TRUE);
        return TRUE;
    case 107:
        AddRecycleBins(add);
        return TRUE;
    case 108:
        add.WholeKey(HKEY_CURRENT_USER, ExplorerKey(L"UserAssist"));
        return TRUE;
    case 109:
        add.WholeKey(HKEY_CURRENT_USER, ExplorerKey(L"MenuOrder\\Start Menu"));
        add.WholeKey(HKEY_CURRENT_USER, ExplorerKey(L"MenuOrder\\Start Menu2"));
        return TRUE;
    case 110:
        if (EvidenceEnvironment().GetWindowsFolder(strFolder) && MakeCaseFolder(strFolder, strFolder))
            add.Names(strFolder, {L"setupapi.log", L"DirectX.log"});
        return TRUE;
    case 111:
        AddPagingFile(add);
        return TRUE;
    case 112:
        AddWindowsFolder(add, L"\\temp");
        return TRUE;
    case 113:
        add.WholeKey(HKEY_CURRENT_USER, ExplorerKey(L"RunMRU"));
        return TRUE;
    case 116:
        if (GetCaseProfile(strFolder))
            add.EveryFile(strFolder + L"UserData\\", TRUE);
        return TRUE;
    case 118:
        if (GetCaseShellFolder(CSIDL_CDBURN_AREA, strFolder))
            add.EveryFile(strFolder, TRUE);
        return TRUE;
    case 119:
        if (!IsAutoLogonOn())
            add.Value(HKEY_LOCAL_MACHINE, kWinlogon, L"DefaultUserName");
        add.Value(HKEY_LOCAL_MACHINE, kWinlogon, L"AltDefaultUserName");
        add.Value(HKEY_CURRENT_USER, kExplorer, L"Logon User Name");
        return TRUE;
    case 120:
        AddWindowsFolder(add, L"\\Debug");
        return TRUE;
    case 121:
        add.WholeKey(HKEY_CURRENT_USER, ExplorerKey(L"ComDlg32"));
        return TRUE;
    case 122:
        add.WholeKey(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Paint\\Recent File List");
        return TRUE;
    case 123:
        add.WholeKey(HKEY_CURRENT_USER, ExplorerKey(L"Map Network Drive MRU"));
        return TRUE;
    case 125:
        add.Value(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Regedit", L"lastkey");
        return TRUE;
    case 126:
        add.WholeKey(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Applets\\Wordpad\\Recent File List");
        return TRUE;
    default:
        return FALSE;
    }
}
