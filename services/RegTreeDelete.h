#pragma once
// The one way a registry key is deleted with everything below it.
//
// DeleteRegTree deletes hRoot\pszPath and its subkeys, deepest first, every
// key opened and deleted in the view samView (0, KEY_WOW64_32KEY or
// KEY_WOW64_64KEY). It refuses an empty or malformed path (a separator at
// either end or two in a row), so a root is never deleted. It stops at the
// first key that stays (one that may not be changed stays): the keys deleted
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
// was not there; ERROR_INVALID_PARAMETER for a refused path; otherwise the
// error of the key named in pResult->strLeft. pResult may be NULL.
LONG DeleteRegTree(HKEY hRoot, LPCWSTR pszPath, REGSAM samView, CRegTreeDeleteResult* pResult);
