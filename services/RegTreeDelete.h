#pragma once
// The one way a registry key is deleted with everything below it.
//
// DeleteRegTree deletes hRoot\pszPath and its subkeys, deepest first, every
// key opened and deleted in the view samView (0, KEY_WOW64_32KEY or
// KEY_WOW64_64KEY). It refuses an empty or malformed path (a separator at
// either end or two in a row), so a root is never deleted, and it refuses
// every key IsProtectedRegKey names. A registry link is opened as itself and
// deleted as itself: what it points to is never read, changed or deleted;
// where a link cannot be deleted as itself it stays. It stops at the first
// key that stays (one that may not be changed stays): the keys deleted
// before it are gone, the rest is left.
#include "framework/Afx.h"

struct CRegTreeDeleteResult
{
    // The key that stopped the delete, below hRoot; empty when nothing stayed.
    CString strLeft;
    int nKeysDeleted = 0;
    // Values that went with the deleted keys.
    int nValuesDeleted = 0;
};

// ERROR_SUCCESS when the whole tree went; ERROR_FILE_NOT_FOUND when the key
// was not there; ERROR_INVALID_PARAMETER for a refused path;
// ERROR_ACCESS_DENIED for a protected key; otherwise the error of the key
// named in pResult->strLeft. pResult may be NULL.
LONG DeleteRegTree(HKEY hRoot, LPCWSTR pszPath, REGSAM samView, CRegTreeDeleteResult* pResult);

// Keys no delete may remove, whatever the caller: a root, a key directly
// under HKEY_LOCAL_MACHINE, HKEY_USERS, HKEY_CURRENT_USER or
// HKEY_CURRENT_CONFIG, every hive's mount point (HKEY_USERS\<sid>,
// <sid>_Classes, HKLM\SOFTWARE, SYSTEM, SAM, SECURITY, HARDWARE,
// BCD00000000), however it is named (through a link, an alias such as
// HKEY_CURRENT_USER or an open key), and the root of the 32-bit view
// (a key named Wow6432Node).
BOOL IsProtectedRegKey(HKEY hRoot, LPCWSTR pszPath, REGSAM samView);
