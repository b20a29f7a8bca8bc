#pragma once
// The keys the category scanners walk for problems. A repair removes nothing
// outside them, so the restore of an automatic backup writes nothing outside
// them either: both read this one table.
#include "framework/Afx.h"

struct ScanRoot
{
    int nCategory;          // 1..15
    LPCWSTR pszRootName;    // "HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", ...
    LPCWSTR pszKey;         // below the root; empty: every subkey of the root
    BOOL bValues;           // a repair there can remove values, not only empty keys
    BOOL bBothViews = FALSE; // walked in the other registry view of 64-bit Windows too
};

extern const wchar_t SCAN_KEY_UNINSTALL[];
extern const wchar_t SCAN_KEY_APP_PATHS[];
extern const wchar_t SCAN_KEY_FONTS[];
extern const wchar_t SCAN_KEY_SHARED_DLLS[];
extern const wchar_t SCAN_KEY_HELP[];
extern const wchar_t SCAN_KEY_HTML_HELP[];
extern const wchar_t SCAN_KEY_SERVICES[];
extern const wchar_t SCAN_KEY_HANDLERS[];
extern const wchar_t SCAN_KEY_SOUNDS[];
extern const wchar_t SCAN_KEY_OPEN_SAVE[];
extern const wchar_t SCAN_KEY_MUI_CACHE[];
extern const wchar_t SCAN_KEY_USER_ASSIST[];
extern const wchar_t SCAN_KEY_MENU_ORDER[];
extern const wchar_t SCAN_KEY_DRIVERS[];
extern const wchar_t SCAN_KEY_FILE_EXTS[];

extern const ScanRoot g_scanRoots[];
extern const int g_nScanRootCount;

// What a key line "ROOT\\path" of an automatic backup may do: RegKeyRefused
// outside every root (and for a bare root), RegKeyWithoutValues where only
// empty keys are repaired, RegKeyWithValues otherwise (RegKeyAllowance of
// services/RegFile.h). Root names and keys compare without regard to case.
// bOtherView: the key is one of the other registry view, where only the roots
// walked in both views count. A path through Wow6432Node counts as such a key.
int ScanRootAllowance(const CString& strKeyPath, BOOL bOtherView = FALSE);
// The same for a key as the import really writes it (RegKeyTargetRule of
// services/RegFile.h): samView is the view only that key is in, 0 for a key
// both views share.
int ScanRootTargetAllowance(const CString& strKeyPath, REGSAM samView);
