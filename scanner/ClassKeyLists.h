#pragma once
// Names of HKEY_CLASSES_ROOT keys that the scanners look references up in,
// kept for the whole process and rebuilt by each scan's scanners. A list is
// "usable" only when its key opened and its enumeration reached the end: a
// scanner skips the tests that search a list that is not usable, so a key it
// could not read never makes every reference look dangling.
#include "framework/Afx.h"
#include <string>
#include <unordered_set>

class CClassKeyList
{
public:
    CClassKeyList() : m_bUsable(FALSE) {}

    // Empties the list; it is not usable until filled again.
    void Clear();
    void Add(const CString& strName);
    void SetUsable(BOOL bUsable) { m_bUsable = bUsable; }
    BOOL IsUsable() const { return m_bUsable; }
    // Whole name, without regard to letter case.
    BOOL Contains(const CString& strName) const;
    // Names in enumeration order, as stored.
    const CStringArray& GetNames() const { return m_arrNames; }
    int GetSize() const { return (int)m_arrNames.GetSize(); }

    // Empties the list and fills it with the subkey names of hRoot\strPath
    // (samView: a registry view). Usable when the key opened and was listed
    // to its end.
    BOOL FillFromKey(HKEY hRoot, const CString& strPath, REGSAM samView = 0);
    // Adds the names of another key (or view); usable when this one was listed to its end.
    BOOL AddFromKey(HKEY hRoot, const CString& strPath, REGSAM samView);

private:
    static std::wstring Fold(const CString& strName);
    CStringArray m_arrNames;
    std::unordered_set<std::wstring> m_folded;
    BOOL m_bUsable;
};

struct CClassKeyLists
{
    CClassKeyList m_extensions;     // top-level names beginning with "."
    CClassKeyList m_classNames;     // top-level names without a "."
    CClassKeyList m_progIds;        // top-level names with a "." after the first character
    CClassKeyList m_allNames;       // every top-level name
    CClassKeyList m_applications;   // HKEY_CLASSES_ROOT\Applications
    CClassKeyList m_clsids;         // HKEY_CLASSES_ROOT\CLSID
    CClassKeyList m_contentTypes;   // HKEY_CLASSES_ROOT\MIME\Database\Content Type
};

// The one set of lists; only the scan worker fills and searches them.
CClassKeyLists& ClassKeyLists();

// Sorts the subkey names of HKEY_CLASSES_ROOT\strKeyPath into the extension,
// class-name, ProgID and all-names lists (appending; the caller empties
// them). 1 when done; -1 when the key does not open; otherwise the error
// that ended the enumeration, and the four lists are then not usable.
int BuildKeyNameLists(const CString& strKeyPath);

// FALSE also for a list that is not usable: callers ask IsUsable first.
BOOL IsListedProgId(const CString& strName);
BOOL IsListedClassName(const CString& strName);
BOOL IsListedApplication(const CString& strName);
BOOL IsListedClsid(const CString& strName);
// Empties the CLSID list and fills it from HKEY_CLASSES_ROOT\CLSID; on 64-bit
// Windows from both registry views.
BOOL FillClsidList(BOOL bWow64);
