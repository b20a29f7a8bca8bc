#pragma once
// The predefined registry keys with their names. Header-only so the libraries,
// which do not link the services, read the same table.
#include <windows.h>
#include <wchar.h>

struct RegHive
{
    LPCWSTR pszName;       // "HKEY_LOCAL_MACHINE"
    LPCWSTR pszShortName;  // "HKLM"
    HKEY hRoot;
};

// The four hives the scan, the repair and the tools work in come first; the
// rarer ones follow, so a caller that accepts only those four passes
// REG_HIVE_COMMON as its count.
const int REG_HIVE_COMMON = 4;
const int REG_HIVE_WITH_CONFIG = 5;  // the common four and HKEY_CURRENT_CONFIG
const int REG_HIVE_FILE = 6;         // also HKEY_DYN_DATA, which .reg files may name
const int REG_HIVE_ALL = 7;

inline const RegHive* RegHiveTable()
{
    static const RegHive s_hives[REG_HIVE_ALL] = {
        { L"HKEY_CLASSES_ROOT", L"HKCR", HKEY_CLASSES_ROOT },
        { L"HKEY_CURRENT_USER", L"HKCU", HKEY_CURRENT_USER },
        { L"HKEY_LOCAL_MACHINE", L"HKLM", HKEY_LOCAL_MACHINE },
        { L"HKEY_USERS", L"HKU", HKEY_USERS },
        { L"HKEY_CURRENT_CONFIG", L"HKCC", HKEY_CURRENT_CONFIG },
        { L"HKEY_DYN_DATA", L"HKDD", HKEY_DYN_DATA },
        { L"HKEY_PERFORMANCE_DATA", L"HKPD", HKEY_PERFORMANCE_DATA },
    };
    return s_hives;
}

// The hive of that long name among the first nHives; NULL when none. Names
// compare exactly unless bIgnoreCase.
inline const RegHive* FindRegHive(LPCWSTR pszName, int nHives, BOOL bIgnoreCase = FALSE)
{
    const RegHive* pHives = RegHiveTable();
    for (int i = 0; i < nHives && i < REG_HIVE_ALL; i++)
    {
        if ((bIgnoreCase ? _wcsicmp(pszName, pHives[i].pszName) : wcscmp(pszName, pHives[i].pszName)) == 0)
            return &pHives[i];
    }
    return NULL;
}

// The hive of that handle among the first nHives; NULL when none.
inline const RegHive* FindRegHive(HKEY hRoot, int nHives)
{
    const RegHive* pHives = RegHiveTable();
    for (int i = 0; i < nHives && i < REG_HIVE_ALL; i++)
    {
        if (pHives[i].hRoot == hRoot)
            return &pHives[i];
    }
    return NULL;
}
