#include "scanner/ScanRoots.h"
#include "services/RegFile.h"
#include "services/RegKeyTarget.h"

const wchar_t SCAN_KEY_UNINSTALL[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall";
const wchar_t SCAN_KEY_APP_PATHS[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\App Paths";
const wchar_t SCAN_KEY_FONTS[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Fonts";
const wchar_t SCAN_KEY_SHARED_DLLS[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
const wchar_t SCAN_KEY_HELP[] = L"SOFTWARE\\Microsoft\\Windows\\Help";
const wchar_t SCAN_KEY_HTML_HELP[] = L"SOFTWARE\\Microsoft\\Windows\\Html Help";
const wchar_t SCAN_KEY_SERVICES[] = L"SYSTEM\\CurrentControlSet\\Services";
const wchar_t SCAN_KEY_HANDLERS[] = L"*\\shellex\\ContextMenuHandlers";
const wchar_t SCAN_KEY_SOUNDS[] = L"AppEvents\\Schemes\\Apps";
const wchar_t SCAN_KEY_OPEN_SAVE[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\ComDlg32\\OpenSaveMRU";
const wchar_t SCAN_KEY_MUI_CACHE[] = L"Software\\Microsoft\\Windows\\ShellNoRoam\\MUICache";
const wchar_t SCAN_KEY_USER_ASSIST[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\UserAssist\\{75048700-EF1F-11D0-9888-006097DEACF9}\\Count";
const wchar_t SCAN_KEY_MENU_ORDER[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MenuOrder\\Start Menu2\\Programs";
const wchar_t SCAN_KEY_DRIVERS[] = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\Drivers32";
const wchar_t SCAN_KEY_FILE_EXTS[] = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts";

const ScanRoot g_scanRoots[] = {
    {1, L"HKEY_CLASSES_ROOT", L"CLSID", TRUE, TRUE},
    {1, L"HKEY_CLASSES_ROOT", L"TypeLib", TRUE, TRUE},
    {1, L"HKEY_CLASSES_ROOT", L"Interface", TRUE, TRUE},
    {2, L"HKEY_LOCAL_MACHINE", SCAN_KEY_UNINSTALL, TRUE, TRUE},
    {3, L"HKEY_LOCAL_MACHINE", SCAN_KEY_APP_PATHS, TRUE, TRUE},
    {4, L"HKEY_LOCAL_MACHINE", SCAN_KEY_FONTS, TRUE},
    {5, L"HKEY_LOCAL_MACHINE", SCAN_KEY_SHARED_DLLS, TRUE},
    {6, L"HKEY_LOCAL_MACHINE", SCAN_KEY_HELP, TRUE},
    {6, L"HKEY_LOCAL_MACHINE", SCAN_KEY_HTML_HELP, TRUE},
    {7, L"HKEY_LOCAL_MACHINE", SCAN_KEY_SERVICES, TRUE},
    // File associations and extensions walk every class key.
    {9, L"HKEY_CLASSES_ROOT", L"", TRUE},
    {9, L"HKEY_CLASSES_ROOT", SCAN_KEY_HANDLERS, TRUE},
    {10, L"HKEY_CURRENT_USER", SCAN_KEY_SOUNDS, TRUE},
    {11, L"HKEY_CURRENT_USER", SCAN_KEY_OPEN_SAVE, TRUE},
    {11, L"HKEY_CURRENT_USER", SCAN_KEY_MUI_CACHE, TRUE},
    {11, L"HKEY_CURRENT_USER", SCAN_KEY_USER_ASSIST, TRUE},
    {12, L"HKEY_CURRENT_USER", SCAN_KEY_MENU_ORDER, TRUE},
    {13, L"HKEY_LOCAL_MACHINE", SCAN_KEY_DRIVERS, TRUE},
    {14, L"HKEY_CURRENT_USER", SCAN_KEY_FILE_EXTS, TRUE},
    {14, L"HKEY_CLASSES_ROOT", L"", TRUE},
    // Empty keys only: a key that held a value was never removed from here.
    {15, L"HKEY_USERS", L"", FALSE},
};
const int g_nScanRootCount = (int)(sizeof(g_scanRoots) / sizeof(g_scanRoots[0]));

int ScanRootAllowance(const CString& strKeyPath, BOOL bOtherView)
{
    // Backups written before the views had files of their own name the
    // other view's machine keys through Wow6432Node.
    static const wchar_t kMirror[] = L"HKEY_LOCAL_MACHINE\\SOFTWARE\\Wow6432Node\\";
    int nMirror = lstrlenW(kMirror);
    if (strKeyPath.GetLength() > nMirror && strKeyPath.Left(nMirror).CompareNoCase(kMirror) == 0)
    {
        CString strOwn = L"HKEY_LOCAL_MACHINE\\SOFTWARE\\" + strKeyPath.Mid(nMirror);
        return ScanRootAllowance(strOwn, TRUE);
    }
    int nAllowance = RegKeyRefused;
    for (int i = 0; i < g_nScanRootCount; i++)
    {
        const ScanRoot& root = g_scanRoots[i];
        if (bOtherView && !root.bBothViews)
            continue;
        CString strBase = root.pszRootName;
        if (root.pszKey[0] != 0)
            strBase = strBase + L"\\" + root.pszKey;
        // The key itself or a subkey; never a bare root.
        BOOL bInside = root.pszKey[0] != 0 && strKeyPath.CompareNoCase(strBase) == 0;
        int nBase = strBase.GetLength();
        if (!bInside && strKeyPath.GetLength() > nBase + 1 && strKeyPath[nBase] == L'\\' &&
            strKeyPath.Left(nBase).CompareNoCase(strBase) == 0)
            bInside = TRUE;
        if (!bInside)
            continue;
        // An empty step could reach a key the path does not seem to name.
        if (strKeyPath.Find(L"\\\\") >= 0 || strKeyPath[strKeyPath.GetLength() - 1] == L'\\')
            return RegKeyRefused;
        if (root.bValues)
            return RegKeyWithValues;
        nAllowance = RegKeyWithoutValues;
    }
    return nAllowance;
}

int ScanRootTargetAllowance(const CString& strKeyPath, REGSAM samView)
{
    // A key both views share is the process's own as well.
    BOOL bOtherView = samView != 0 && samView != OwnRegistryView();
    return ScanRootAllowance(strKeyPath, bOtherView);
}
