#pragma once
// One section of an INI file read in a single call: each separate
// GetPrivateProfileInt opens and checks the file again, which costs start-up
// time when dozens of keys are read. Values read as the profile functions
// read them.
#include "framework/Afx.h"
#include <map>
#include <string>

class CIniSection
{
public:
    // FALSE when the section could not be read (a missing file or section
    // reads as empty, like the profile functions do).
    BOOL Read(LPCTSTR lpszFile, LPCTSTR lpszSection);

    // As GetPrivateProfileIntW: nDefault when the key is missing or empty,
    // else the leading number of the value (decimal, or 0x / 0o / 0b).
    int GetInt(LPCTSTR lpszKey, int nDefault) const;
    // As GetPrivateProfileStringW: enclosing quotes are removed.
    BOOL GetString(LPCTSTR lpszKey, CString& strValue) const;

private:
    struct NoCaseLess
    {
        bool operator()(const std::wstring& a, const std::wstring& b) const;
    };
    std::map<std::wstring, std::wstring, NoCaseLess> m_values;
};
