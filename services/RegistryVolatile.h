#pragma once
// Volatile registry keys live in memory only (HKCU\Volatile Environment,
// HKLM\HARDWARE on Windows; Wine keeps some of its own). A key removed below
// one can never be stored again: the registry makes no lasting key under a
// volatile parent, and every key under a volatile key is volatile itself.
#include "framework/Afx.h"

enum RegKeyVolatility
{
    RegKeyLasting = 0,
    RegKeyVolatile = 1,
    RegKeyVolatilityUnknown = 2,
};

// Whether hRoot\pszPath (in the view samView) is volatile. The key's own
// flags are asked first; where the system does not tell them, a lasting
// subkey is created in the key and removed again at once: the registry
// refuses it under a volatile key. Unknown when neither answers (a key that
// cannot be opened, or one the caller may not add to).
RegKeyVolatility GetRegistryKeyVolatility(HKEY hRoot, LPCWSTR pszPath, REGSAM samView = 0);
