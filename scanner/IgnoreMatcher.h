#pragma once
// The ignore list as the scan tests it: entries "<index>;key|value|data",
// compared whole and without regard to letter case with the problem's own
// "key|value|data", so a "|" inside a field cannot shift the fields.
#include "framework/Afx.h"
#include <string>
#include <unordered_set>

class CIgnoreMatcher
{
public:
    // Takes the entries; one without ";" among its first three characters is
    // dropped, trailing CR and LF are not part of an entry.
    void Load(const CStringArray& arrEntries);
    BOOL IsEmpty() const { return m_entries.empty(); }
    // The problem's own text: hive name and key (the key alone for a file
    // problem, hHive NULL), the value name ("{Default}" when empty) and the
    // data ("ERR", an unreadable value, as empty).
    static CString ProblemText(HKEY hHive, const CString& strKey, const CString& strValue, const CString& strData);
    BOOL Matches(const CString& strProblemText) const;

private:
    static std::wstring Fold(const CString& strText);
    std::unordered_set<std::wstring> m_entries;
};

// The hive's name; any handle but the four scanned roots gives HKEY_LOCAL_MACHINE.
CString GetHiveName(HKEY hKey);
BOOL IsIgnored(const CIgnoreMatcher& matcher, HKEY hHive, const CString& strKey, const CString& strValue,
               const CString& strData);
